// kinloom-cli end to end: the built executable, run from the source tree.

#include "LNGedcomFile.h"
#include "SystemLog.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <vector>

namespace {

struct CliRun {
    int status = -1;
    std::string out;
    /// The bytes of standard output, also when they were not kept.
    std::size_t outBytes = 0;
    std::string err;
    /// The last line of standard error.
    std::string lastErrorLine() const {
        std::string text = err.substr(0, err.find_last_not_of('\n') + 1);
        return text.substr(text.find_last_of('\n') + 1);
    }
};

std::string shellQuoted(const std::string& word) {
    std::string result = "'";
    for (char c : word)
        result += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return result + "'";
}

/// Runs kinloom-cli with the words; keepOut false counts standard output
/// without keeping it.
CliRun runCli(const std::vector<std::string>& words, bool keepOut = true) {
    // CTest runs the cases as parallel processes: each needs a file of its own.
    std::string errPath = testing::TempDir() + "kinloom-cli-stderr-" + std::to_string(getpid()) + ".txt";
    std::string command = shellQuoted(KINLOOM_CLI);
    for (const std::string& word : words)
        command += " " + shellQuoted(word);
    command += " 2>" + shellQuoted(errPath);
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) {
        if (keepOut) run.out.append(buffer, got);
        run.outBytes += got;
    }
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::stringstream err;
    err << std::ifstream(errPath).rdbuf();
    run.err = err.str();
    std::remove(errPath.c_str());
    return run;
}

const std::string viewerFile = "tests/data/viewer.ged";
const std::string header = "id\tname\tbirthYear\tbirthPlace\tdeathYear\tdeathPlace\tfather\tmother\n";

} // namespace

TEST(KinloomCli, LoadPrintsTheCounts) {
    CliRun run = runCli({"load", viewerFile});
    EXPECT_EQ(run.status, 0);
    kinloom::LogCapture quiet;
    kinloom::LNGedcomFile file(viewerFile);
    EXPECT_EQ(run.out, "records 13\npersons 8\nfamilies 2\nsources 1\nlines 84\nerrors " +
                           std::to_string(file.errors()->count()) + "\n");
    EXPECT_NE(run.err.find("Found case of location ending with United States\n"), std::string::npos)
        << "the system log goes to standard error";
}

TEST(KinloomCli, PersonsPrintsTheTableInEachOrder) {
    CliRun run = runCli({"persons", viewerFile});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, header + "I1\tSmith, John\t1850\tEngland\t1910\tMassachusetts\tSmith, William\t\n"
                                "I2\tJones, Mary\t1852\tFrance\t\t\t\t\n"
                                "I3\tSmith, Jane\t1875\tEngland\t\t\tSmith, John\tJones, Mary\n"
                                "I4\tSmith, Adam\t1877\t\t\t\tSmith, John\tJones, Mary\n"
                                "I5\tSmith, William\t1820\tEngland\t\tOntario\t\t\n"
                                "I6\t\t\t\t\t\t\t\n"
                                "I10\tBrown, Peter\t1850\tSpain\t\t\t\t\n"
                                "I9\tBrown, Peter\t1850\tgermany\t\t\t\t\n");

    auto keys = [](const std::string& table) {
        std::string keys;
        std::istringstream lines(table);
        std::string line;
        std::getline(lines, line);
        while (std::getline(lines, line))
            keys += line.substr(0, line.find('\t')) + " ";
        return keys;
    };
    EXPECT_EQ(keys(runCli({"persons", viewerFile, "--sort", "name"}).out), "I6 I9 I10 I2 I4 I3 I1 I5 ");
    EXPECT_EQ(keys(runCli({"persons", viewerFile, "--sort", "birthYear", "--descending"}).out),
              "I6 I4 I3 I2 I1 I10 I9 I5 ");
    EXPECT_EQ(keys(runCli({"persons", viewerFile, "--sort", "id"}).out), "I9 I10 I6 I5 I4 I3 I2 I1 ")
        << "the first column is the sort column already: one click reverses";
    EXPECT_EQ(keys(runCli({"persons", viewerFile, "--sort", "father"}).out), "I1 I2 I3 I4 I5 I6 I10 I9 ");
}

TEST(KinloomCli, PrintsTextAsUtf8WhateverTheFileEncoding) {
    CliRun run = runCli({"persons", "tests/data/accents-utf16le.ged"});
    EXPECT_EQ(run.out, header + "I1\t\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB\t\tSverige\t\t\t\t\n"
                                "I2\t\xC3\x85ngstr\xC3\xB6m, \xC5\x81ukasz\t\t\t\t\t\t\n");
}

TEST(KinloomCli, FindPrintsTheMatchesInNameOrder) {
    CliRun run = runCli({"find", viewerFile, "J /Smith/"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "I3\tSmith, Jane\nI1\tSmith, John\n");
    run = runCli({"find", viewerFile, "Z /Nobody/"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(runCli({"find", "tests/data/accents-utf16le.ged", "Z /\xC3\x85ngstr\xC3\xB6m/"}).out,
              "I1\t\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB\n");
}

TEST(KinloomCli, ShowPrintsTheOutlineAfterAClick) {
    CliRun run = runCli({"show", viewerFile, "I5"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "0 @I5@ INDI\n  1 NAME William /Smith/\n  1 SEX M\n  1 BIRT\n  1 RESI\n  1 DEAT\n"
                       "  1 FAMS @F2@\n");
    EXPECT_EQ(runCli({"show", viewerFile, "@I5@", "--labels"}).out,
              "Person\n  Name: William /Smith/\n  Sex: M\n  Birth: 1820, York, England\n"
              "  Reside: Leeds, England\n  Death: Toronto, Ontario, Canada\n  fams: @F2@\n");
    EXPECT_EQ(runCli({"show", viewerFile, "I5", "--labels", "--expand-all"}).out,
              "Person\n  Name: William /Smith/\n  Sex: M\n  Birth\n    Date: 1820\n    Place: York, England\n"
              "  Reside\n    Name: Mill House\n    Place: Leeds, England\n  Death\n"
              "    Place: Toronto, Ontario, Canada\n  fams: @F2@\n");
    EXPECT_EQ(runCli({"show", viewerFile, "I5", "--validate", "--expand-all"}).out,
              "orange\t0 @I5@ INDI\nblack\t  1 NAME William /Smith/\nblack\t  1 SEX M\nblack\t  1 BIRT\n"
              "black\t    2 DATE 1820\nblack\t    2 PLAC York, England\norange\t  1 RESI\n"
              "red\t    2 NAME Mill House\nblack\t    2 PLAC Leeds, England\nblack\t  1 DEAT\n"
              "black\t    2 PLAC Toronto, Ontario, Canada\nblack\t  1 FAMS @F2@\n");
}

TEST(KinloomCli, ShowFailsForAKeyNobodyHas) {
    CliRun run = runCli({"show", viewerFile, "I99"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.lastErrorLine(), "kinloom-cli: no person I99");
    EXPECT_EQ(runCli({"show", viewerFile, "F1"}).status, 1) << "a family is no person";
}

TEST(KinloomCli, ValidatePrintsEveryPersonLineWithItsMark) {
    CliRun run = runCli({"validate", viewerFile});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(
        run.out.substr(0, run.out.find("good\t0 @I2@")),
        "badchild\t0 @I1@ INDI\ngood\t  1 NAME John /Smith/\ngood\t  1 SEX M\nbadchild\t  1 BIRT\n"
        "good\t    2 DATE 12 MAR 1850\ngood\t    2 PLAC London, England\nbad\t    2 XYZ not a GEDCOM line\n"
        "good\t  1 DEAT\ngood\t    2 DATE 1910\ngood\t    2 PLAC Boston, Suffolk, Massachusetts, United "
        "States\n"
        "good\t  1 FAMS @F1@\ngood\t  1 FAMC @F2@\n");
    EXPECT_EQ(run.out.find("@F1@ FAM"), std::string::npos) << "persons only";
    EXPECT_TRUE(run.out.ends_with("good\t0 @I9@ INDI\ngood\t  1 NAME Peter /Brown/\ngood\t  1 BIRT\n"
                                  "good\t    2 DATE 1850\ngood\t    2 PLAC Aachen, germany\n"));

    run = runCli({"validate", viewerFile, "--grammar", "tests/data/family-only.spec"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.find("good"), std::string::npos) << "no person rule: every line is bad";
    EXPECT_TRUE(run.out.starts_with("bad\t0 @I1@ INDI\nbad\t  1 NAME John /Smith/\n"));
}

TEST(KinloomCli, FailsWhenTheFileOrTheGrammarCannotBeRead) {
    CliRun run = runCli({"load", "tests/data/no-such-file.ged"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.lastErrorLine(), "kinloom-cli: cannot read tests/data/no-such-file.ged");

    run = runCli({"validate", viewerFile, "--grammar", "tests/data/no-such.spec"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lastErrorLine(), "kinloom-cli: cannot read the grammar tests/data/no-such.spec");
    run = runCli({"validate", viewerFile, "--grammar", "tests/data/broken.spec"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.lastErrorLine(), "kinloom-cli: cannot parse the grammar tests/data/broken.spec");
    run = runCli({"show", viewerFile, "I1", "--validate"});
    EXPECT_EQ(run.status, 0) << "the shipped grammar lies next to the executable";
}

TEST(KinloomCli, UsageErrorsExitWithTwoAndHelpWithZero) {
    CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: kinloom-cli COMMAND FILE [ARGS]\n"));
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{},
                                               {"load"},
                                               {"list", viewerFile},
                                               {"persons", viewerFile, "--sort", "age"},
                                               {"persons", viewerFile, "--descending"},
                                               {"persons", viewerFile, "--sort"},
                                               {"find", viewerFile},
                                               {"show", viewerFile, "I1", "I2"},
                                               {"show", viewerFile, "I1", "--sort", "name"},
                                               {"validate", viewerFile, "extra"},
                                               {"load", viewerFile, "--labels"}}) {
        CliRun run = runCli(words);
        std::string shown;
        for (const std::string& word : words)
            shown += word + " ";
        EXPECT_EQ(run.status, 2) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_NE(run.err.find("usage: kinloom-cli COMMAND FILE [ARGS]"), std::string::npos) << shown;
    }
}

TEST(KinloomCli, ShowWritesADeepOutlineAsItGoesInBoundedMemory) {
    // One line a level, 20,000 levels: the outline, two blanks a level, is
    // 400 MB, which the process must not hold.
    constexpr int depth = 20000;
    const std::string path = testing::TempDir() + "kinloom-cli-deep-" + std::to_string(getpid()) + ".ged";
    std::size_t expected = std::string("0 @I1@ INDI\n").size();
    {
        std::ofstream file(path);
        file << "0 HEAD\n0 @I1@ INDI\n";
        for (int level = 1; level <= depth; ++level) {
            std::string line = std::to_string(level) + " NOTE x";
            file << line << '\n';
            expected += 2 * static_cast<std::size_t>(level) + line.size() + 1;
        }
        file << "0 TRLR\n";
    }
    CliRun run = runCli({"show", path, "I1", "--expand-all"}, false);
    std::remove(path.c_str());
    rusage children{};
    getrusage(RUSAGE_CHILDREN, &children);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.outBytes, expected);
    EXPECT_LT(children.ru_maxrss, 100 * 1024) << "peak resident kilobytes of kinloom-cli";
}

TEST(KinloomCli, RelativesAndProblemsPrintOneTabSeparatedLineEach) {
    CliRun run = runCli({"relatives", viewerFile, "I1"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "father\tI5\tSmith, William\nmother\tI6\t\nspouse\tI2\tJones, Mary\n"
                       "child\tI3\tSmith, Jane\nchild\tI4\tSmith, Adam\n");
    EXPECT_EQ(runCli({"relatives", viewerFile, "I99"}).status, 1);

    run = runCli({"problems", "tests/data/problems.ged", "--validate"});
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(
        run.out.starts_with("8\tstructure\tI1\tPLAC is not allowed directly under INDI\n"
                            "9\twrongRole\tI2\tis wife in @F1@, which it names as its parents' family\n"));
    EXPECT_TRUE(run.out.ends_with("19\tlineSyntax\tI1\tthis line is not a GEDCOM line\n"));
    EXPECT_EQ(runCli({"problems", "tests/data/problems.ged"}).out.find("structure"), std::string::npos);
}
