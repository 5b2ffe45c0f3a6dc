// kinloom-bench-records FILE
//
// Reads a UTF-8 GEDCOM file and times building a record set from its text.
// Two runs: the record assembler alone (split, parse, hang lines, make
// records), then the whole record set (the same plus filing by key, the name
// index and validation). Prints wall and CPU seconds, the heap each keeps per
// line, the node counts, and the peak resident size of the process.

#include "BenchFile.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/LNGedcomErrors.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"
#include "tree/LNNode.h"

#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <string>

using namespace kinloom;

namespace {

double cpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

/// Wall and CPU time of one stage, and the heap it left allocated.
class Stage {
  public:
    Stage() : wall_(std::chrono::steady_clock::now()), cpu_(cpuSeconds()), heap_(heapInUse()) {}
    void report(const char* name, long lines) const {
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
        double kept = static_cast<double>(heapInUse() - heap_);
        std::printf("%-18s %7.3f s wall %7.3f s cpu %8.1f MB heap %7.1f bytes/line\n", name, wall,
                    cpuSeconds() - cpu_, kept / 1e6, kept / static_cast<double>(lines));
    }

  private:
    static long heapInUse() {
        struct mallinfo2 info = mallinfo2();
        return static_cast<long>(info.uordblks + info.hblkhd);
    }
    std::chrono::steady_clock::time_point wall_;
    double cpu_;
    long heap_;
};

long countLines(StringView text) {
    long lines = 1;
    const CharSet& breaks = CharSet::newline();
    for (char16_t c : text)
        lines += breaks.contains(c);
    return lines;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: kinloom-bench-records FILE\n";
        return 2;
    }
    std::optional<std::string> read = kinloom::bench::readWholeFile(argv[1]);
    if (!read) {
        std::cerr << "kinloom-bench-records: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string bytes = std::move(*read);
    std::printf("file               %s\n", argv[1]);
    std::printf("bytes              %zu\n", bytes.size());

    Stage decode;
    String text = fromUtf8(bytes);
    std::string().swap(bytes);
    long lines = countLines(text);
    decode.report("decode UTF-8", lines);
    std::printf("lines              %ld\n", lines);

    {
        Stage assemble;
        auto records = LNGedcomRecord::gedcomRecordsFromText(text, 0, nullptr);
        assemble.report("assemble records", lines);
        Stage release;
        records.reset();
        release.report("release records", lines);
    }

    long nodesBefore = LNNode::numAllocated();
    LNGedcomErrors errors;
    Stage build;
    auto set = std::make_unique<LNGedcomRecordSet>(&text, &errors);
    build.report("build record set", lines);
    std::printf("records            %d (persons %d, families %d, sources %d)\n", set->count(),
                set->numIndis(), set->numFams(), set->numSours());
    std::printf("nodes              %d kept, %ld made\n", set->numNodes(),
                LNNode::numAllocated() - nodesBefore);
    std::printf("errors             %d\n", errors.count());

    Stage release;
    set.reset();
    release.report("release set", lines);

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    double peak = static_cast<double>(usage.ru_maxrss) * 1024.0;
    std::printf("peak RSS           %.1f MB, %.1f bytes/line (text included)\n", peak / 1e6,
                peak / static_cast<double>(lines));
    flushSystemLog();
    return 0;
}
