// kinloom-bench-links FILE [RUNS]
//
// Reads a UTF-8 GEDCOM file, builds its record set (which validates once as
// the last step of loading), then times the link checks again on the loaded
// set: each of the three checks alone and validate() as a whole, RUNS times
// each (default 5), printing the fastest wall and CPU time. Loading without
// validation takes about the build time less the validate() time. The checks'
// own log lines go to the system log as usual.

#include "BenchFile.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/LNGedcomErrors.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <limits>
#include <memory>
#include <string>

using namespace kinloom;

namespace {

double cpuSeconds() {
    return static_cast<double>(std::clock()) / CLOCKS_PER_SEC;
}

double wallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The fastest of the runs, wall and CPU, in milliseconds.
void time(const char* name, int runs, const std::function<void()>& work) {
    double bestWall = std::numeric_limits<double>::max();
    double bestCpu = bestWall;
    for (int i = 0; i < runs; ++i) {
        double wall = wallSeconds();
        double cpu = cpuSeconds();
        work();
        flushSystemLog();
        bestCpu = std::min(bestCpu, cpuSeconds() - cpu);
        bestWall = std::min(bestWall, wallSeconds() - wall);
    }
    std::printf("%-20s %8.1f ms wall %8.1f ms cpu (best of %d)\n", name, bestWall * 1e3, bestCpu * 1e3, runs);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::cerr << "usage: kinloom-bench-links FILE [RUNS]\n";
        return 2;
    }
    const int runs = argc == 3 ? std::max(1, std::atoi(argv[2])) : 5;
    std::optional<std::string> read = kinloom::bench::readWholeFile(argv[1]);
    if (!read) {
        std::cerr << "kinloom-bench-links: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string bytes = std::move(*read);
    String text = fromUtf8(bytes);
    std::string().swap(bytes);

    LNGedcomErrors errors;
    std::unique_ptr<LNGedcomRecordSet> set;
    time("build record set", 1, [&] { set = std::make_unique<LNGedcomRecordSet>(&text, &errors); });
    std::printf("records              %d (persons %d, families %d, sources %d), %d lines kept\n",
                set->count(), set->numIndis(), set->numFams(), set->numSours(), set->numNodes());
    std::printf("errors after loading %d\n", errors.count());

    time("validateReferences", runs, [&] { set->validateReferences(); });
    time("validateIndis", runs, [&] { set->validateIndis(); });
    time("validateFams", runs, [&] { set->validateFams(); });
    time("validate", runs, [&] { set->validate(); });
    return 0;
}
