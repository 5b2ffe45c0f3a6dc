// kinloom-cli: the viewer's features in a terminal.

#include "Arguments.h"
#include "Commands.h"
#include "LNVersion.h"
#include "support/SystemLog.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int exitUsage = 2;

void write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

} // namespace

int main(int argc, char** argv) {
    using namespace kinloom::cli;
    std::vector<std::string> words(argv + 1, argv + argc);
    std::string problem;
    std::optional<Arguments> arguments = parseArguments(words, &problem);
    if (!arguments) {
        write(stderr, "kinloom-cli: " + problem + "\n" + usageText());
        return exitUsage;
    }
    if (arguments->command == Arguments::Command::help) {
        write(stdout, usageText());
        return 0;
    }
    if (arguments->command == Arguments::Command::version) {
        write(stdout, kinloom::versionText());
        return 0;
    }
    Output out(stdout);
    int status = runCommand(*arguments, out, problem);
    // The log of the work comes out before its results (Output sees to that),
    // and the reason for a failure last.
    kinloom::flushSystemLog();
    std::fflush(stdout);
    if (!problem.empty()) write(stderr, "kinloom-cli: " + problem + "\n");
    return status;
}
