// kinloom-bench FILE
//
// Times opening a GEDCOM file as the viewer's window does, stage by stage,
// and then the commands a user gives on it (sorting the person table, a name
// search, the validate command), and prints one table: wall and CPU seconds
// of each stage and the resident memory after it, then the peak resident
// memory of the whole run. Nothing is asserted. Run it with standard error
// discarded (2>/dev/null): loading logs a line for every byte above 128.
//
// Reading, byte statistics and decoding are first timed on their own, in a
// pass whose memory is freed before the open; the open then does them again
// inside the file object, where they are timed together.

#include "memory/BackgroundRelease.h"
#include "support/LNGedcomErrors.h"
#include "recordset/LNGedcomRecordSet.h"
#include "recordset/LNRelationWalk.h"
#include "tree/LNNode.h"
#include "memory/LoadArena.h"
#include "support/LoadStages.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#if __has_include("LNHeadlessViewer.h")
#include "LNHeadlessViewer.h"
#define KINLOOM_BENCH_VIEWER 1
#endif
#if __has_include("file/LNGedcomFile.h")
#include "file/LNAnsel.h"
#include "file/LNGedcomFile.h"
#define KINLOOM_BENCH_FILE 1
#endif
#if __has_include("LNGedcomSpecification.h")
#include "LNGedcomSpecification.h"
#define KINLOOM_BENCH_GRAMMAR 1
#endif

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

using namespace kinloom;

namespace {

double cpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

double residentMegabytes() {
    long pages = 0, resident = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / 1e6;
}

/// Bytes in use: malloc's count plus the load arena's blocks.
double inUseMegabytes() {
    struct mallinfo2 info = mallinfo2();
    double arena = static_cast<double>(LoadArena::numBytes());
    return (static_cast<double>(info.uordblks + info.hblkhd) + arena) / 1e6;
}

double peakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) * 1024.0 / 1e6;
}

/// Prints one row per stage: the time since the previous row, without the
/// time taken by reading the memory figures (mallinfo2 walks the heap).
class StageTable {
  public:
    StageTable() {
        std::printf("%-34s %9s %9s %10s %10s\n", "stage", "wall s", "cpu s", "RSS MB", "in use MB");
        restart();
    }
    void restart() {
        wall_ = std::chrono::steady_clock::now();
        cpu_ = cpuSeconds();
    }
    /// Prints the row, adds it to the running total and starts the next stage.
    void row(const char* stage) {
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall_).count();
        double cpu = cpuSeconds() - cpu_;
        totalWall_ += wall;
        totalCpu_ += cpu;
        print(stage, wall, cpu);
        restart();
    }
    /// Starts a running total of the rows that follow.
    void startTotal() { totalWall_ = totalCpu_ = 0; }
    /// A row for the sum of the rows since startTotal; remembers the memory
    /// figures of that moment.
    void total(const char* stage) {
        print(stage, totalWall_, totalCpu_);
        totalResident_ = residentMegabytes();
        totalInUse_ = inUseMegabytes();
        totalPeak_ = peakMegabytes();
    }
    double totalResident() const { return totalResident_; }
    double totalInUse() const { return totalInUse_; }
    double totalPeak() const { return totalPeak_; }
    static void note(const char* text) { std::printf("%s\n", text); }

  private:
    static void print(const char* stage, double wall, double cpu) {
        std::printf("%-34s %9.3f %9.3f %10.1f %10.1f\n", stage, wall, cpu, residentMegabytes(),
                    inUseMegabytes());
        std::fflush(stdout);
    }

    std::chrono::steady_clock::time_point wall_;
    double cpu_ = 0;
    double totalWall_ = 0;
    double totalCpu_ = 0;
    double totalResident_ = 0;
    double totalInUse_ = 0;
    double totalPeak_ = 0;
};

void stageEnded(const char* stage, void* context) {
    auto* table = static_cast<StageTable*>(context);
    if (std::string_view(stage) == "start of record set") {
        table->row("  read, statistics, decode");
        return;
    }
    std::string label = std::string("  ") + stage;
    table->row(label.c_str());
}

std::optional<std::string> readBytes(const char* path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

/// The number of lines as the record set splits them: every line-break
/// character ends one.
long splitLines(StringView text) {
    const CharSet& breaks = CharSet::newline();
    long lines = 1;
    for (char16_t c : text)
        lines += (c < 0x20 || c >= 0x7F) && breaks.contains(c);
    return lines;
}

/// Reading, statistics and decoding on their own; returns the line count.
long timeFileStages(const char* path, StageTable& table) {
    StageTable::note("file stages, each on its own:");
    std::optional<std::string> bytes = readBytes(path);
    if (!bytes) return -1;
    table.row("  read");
    String text;
#ifdef KINLOOM_BENCH_FILE
    bool ascii = false, ansel = false, utf8 = false;
    LNGedcomFile::checkData(*bytes, ascii, ansel, utf8);
    table.row("  statistics and histogram");
    if (ascii || (utf8 && !ansel)) {
        text = LNGedcomFile::stringFromUtf8Data(*bytes);
    } else if (ansel && !utf8) {
        text = LNAnsel::stringFromData(*bytes);
    } else if (!ansel && !utf8) {
        text = LNGedcomFile::stringFromUnicodeData(*bytes);
    } else {
        text = LNGedcomFile::stringFromUtf8Data(*bytes); // the header decides; UTF-8 is the longer way
    }
#else
    text = fromUtf8(*bytes);
#endif
    std::string().swap(*bytes);
    table.row("  decode");
    long lines = splitLines(text);
    table.row("  split (a pass over the text)");
    return lines;
}

#if defined(KINLOOM_BENCH_GRAMMAR) && !defined(KINLOOM_BENCH_VIEWER)
std::string grammarPath(const char* program) {
    std::string folder(program);
    std::size_t slash = folder.rfind('/');
    folder = slash == std::string::npos ? std::string(".") : folder.substr(0, slash);
    return folder + "/Gedcom5.5.spec";
}
#endif

#ifdef KINLOOM_BENCH_VIEWER

void clickColumn(LNHeadlessViewer& viewer, StringView identifier) {
    viewer.table().clickHeader(viewer.table().columnIndex(identifier));
}

// Descendants of the first person, of the oldest generation, then the
// ancestors of the deepest of them; the counts are of the persons listed.
void timeWalks(const LNGedcomRecordSet& set, StageTable& table) {
    const std::vector<LNWalkEntry> descendants =
        descendantsOfIndi(set, *set.indiRecords().front(), maxWalkGenerations);
    table.row(("  descendants, 64 gens (" + std::to_string(descendants.size()) + ")").c_str());
    const LNWalkEntry& deepest = *std::max_element(
        descendants.begin(), descendants.end(),
        [](const LNWalkEntry& a, const LNWalkEntry& b) { return a.generation < b.generation; });
    table.restart();
    const std::size_t listed = ancestorsOfIndi(set, *deepest.indi, maxWalkGenerations).size();
    table.row(("  ancestors, 64 gens (" + std::to_string(listed) + ")").c_str());
}

void timeViewer(const char* path, StageTable& table) {
    auto viewer = std::make_unique<LNHeadlessViewer>();
    StageTable::note("open as the window does:");
    table.startTotal();
    table.restart();
    viewer->controller().openFile(&viewer->application(), std::string(path));
    table.row("  person-table rows");
    table.total("open (all of the above)");
    const LNGedcomRecordSet* set = viewer->controller().gedcomRecords();
    if (set) std::printf("%-34s %d persons, %d lines\n", "record set", set->numIndis(), set->numNodes());

    StageTable::note("commands:");
    table.restart();
    clickColumn(*viewer, u"name");
    table.row("  sort by name");
    clickColumn(*viewer, u"name");
    table.row("  reverse");
    clickColumn(*viewer, u"birthYear");
    table.row("  sort by birth year");
    clickColumn(*viewer, u"deathPlace");
    table.row("  sort by death place");
    viewer->searchField().type(u"J /Smith/");
    viewer->searchField().endEditing();
    table.row("  name search (J /Smith/)");
    viewer->validate();
    // A 7.x file's validate checks every record, with counts and values.
    table.row(viewer->controller().validatedEveryRecord() ? "  validation, 7.0 (validate)"
                                                          : "  structure validation (validate)");
    if (set && !set->indiRecords().empty()) timeWalks(*set, table);
    viewer.reset();
    table.row("  close");
    BackgroundRelease::wait();
    table.row("  release, on its own thread");
}

#else

void timeRecordSet(const char* path, const char* program, StageTable& table) {
    table.startTotal();
    table.restart();
#ifdef KINLOOM_BENCH_FILE
    StageTable::note("open (the file object; the viewer is not built):");
    auto file = std::make_unique<LNGedcomFile>(std::string(path));
    const LNGedcomRecordSet* set = file->recordSet();
#else
    StageTable::note("open (the record set; the viewer is not built):");
    std::optional<std::string> bytes = readBytes(path);
    String text = fromUtf8(*bytes);
    std::string().swap(*bytes);
    LNGedcomErrors errors;
    auto file = std::make_unique<LNGedcomRecordSet>(&text, &errors);
    const LNGedcomRecordSet* set = file.get();
#endif
    table.total("open (all of the above)");
    StageTable::note("commands:");
    table.restart();
    auto found = set->indisWithName(u"J /Smith/");
    table.row("  name search (J /Smith/)");
#ifdef KINLOOM_BENCH_GRAMMAR
    auto grammar = LNGedcomSpecification::initFromFile(grammarPath(program));
    if (grammar) {
        for (const auto& person : set->indiRecords())
            grammar->validateRecord(person->root().get());
        table.row("  structure validation (persons)");
    }
#else
    (void)program;
#endif
    file.reset();
    table.row("  close");
}

#endif

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kinloom-bench FILE\n");
        return 2;
    }
    setCollationLocale("en");
    std::printf("%-34s %s\n", "file", argv[1]);
    StageTable table;
    long lines = timeFileStages(argv[1], table);
    if (lines < 0) {
        std::fprintf(stderr, "kinloom-bench: cannot read %s\n", argv[1]);
        return 1;
    }
    LoadStages::setObserver(stageEnded, &table);
#ifdef KINLOOM_BENCH_VIEWER
    timeViewer(argv[1], table);
#else
    timeRecordSet(argv[1], argv[0], table);
#endif
    LoadStages::setObserver(nullptr, nullptr);

    std::ifstream file(argv[1], std::ios::binary | std::ios::ate);
    double bytes = static_cast<double>(file.tellg());
    double peak = peakMegabytes();
    std::printf("%-34s %.1f MB, %ld lines\n", "file size", bytes / 1e6, lines);
    std::printf("%-34s %.1f MB resident, %.1f MB in use (%.1f and %.1f bytes a line)\n", "after the open",
                table.totalResident(), table.totalInUse(),
                table.totalResident() * 1e6 / static_cast<double>(lines),
                table.totalInUse() * 1e6 / static_cast<double>(lines));
    std::printf("%-34s %.1f MB (%.2f times the file)\n", "peak resident, open", table.totalPeak(),
                table.totalPeak() * 1e6 / bytes);
    std::printf("%-34s %.1f MB (%.1f bytes a line, %.2f times the file)\n", "peak resident memory", peak,
                peak * 1e6 / static_cast<double>(lines), peak * 1e6 / bytes);
    flushSystemLog();
    return 0;
}
