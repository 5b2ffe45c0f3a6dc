// kinloom-cli end to end: the built executable, run from the source tree.

#include "SharedTestData.h"

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

TEST(KinloomCli, PrintsCountsTableMatchesOutlinesAndMarksAsUtf8) {
    CliRun load = runCli({"load", viewerFile});
    EXPECT_EQ(load.status, 0);
    // The errors: I6 has no name; I10's FAMC names no family, reported twice,
    // and I10 is not a child there.
    EXPECT_EQ(load.out, "records 13\npersons 8\nfamilies 2\nsources 1\nlines 84\nerrors 4\nversion 5.5\n");
    // The rows are made beside the link checks, yet their lines follow the checks' own.
    const std::size_t place = load.err.find("Found case of location ending with United States\n");
    EXPECT_NE(place, std::string::npos) << "the system log goes to standard error";
    EXPECT_LT(load.err.find("after validating FAMs there are 4 errors\n"), place);
    CliRun persons = runCli({"persons", viewerFile, "--sort", "birthYear", "--descending"});
    EXPECT_EQ(persons.status, 0);
    EXPECT_EQ(persons.out, header + "I6\t\t\t\t\t\t\t\n"
                                    "I4\tSmith, Adam\t1877\t\t\t\tSmith, John\tJones, Mary\n"
                                    "I3\tSmith, Jane\t1875\tEngland\t\t\tSmith, John\tJones, Mary\n"
                                    "I2\tJones, Mary\t1852\tFrance\t\t\t\t\n"
                                    "I1\tSmith, John\t1850\tEngland\t1910\tMassachusetts\tSmith, William\t\n"
                                    "I10\tBrown, Peter\t1850\tSpain\t\t\t\t\n"
                                    "I9\tBrown, Peter\t1850\tgermany\t\t\t\t\n"
                                    "I5\tSmith, William\t1820\tEngland\t\tOntario\t\t\n");
    EXPECT_EQ(runCli({"find", viewerFile, "J /Smith/"}).out, "I3\tSmith, Jane\nI1\tSmith, John\n");
    EXPECT_EQ(runCli({"find", viewerFile, "j /SMI/"}).out, "I3\tSmith, Jane\nI1\tSmith, John\n")
        << "by the starts of the parts where the sound finds nobody";
    EXPECT_EQ(runCli({"find", "tests/data/accents-utf16le.ged", "Z /\xC3\x85ngstr\xC3\xB6m/"}).out,
              "I1\t\xC3\x85ngstr\xC3\xB6m, Zo\xC3\xAB\n");
    EXPECT_EQ(runCli({"show", viewerFile, "@I5@", "--labels"}).out,
              "Person\n  Name: William /Smith/\n  Sex: M\n  Birth: 1820, York, England\n"
              "  Reside: Leeds, England\n  Death: Toronto, Ontario, Canada\n  fams: @F2@\n");
    EXPECT_TRUE(runCli({"show", viewerFile, "I5", "--validate", "--expand-all"})
                    .out.starts_with("orange\t0 @I5@ INDI\nblack\t  1 NAME William /Smith/\n"));
    CliRun validate = runCli({"validate", viewerFile});
    EXPECT_TRUE(validate.out.starts_with("badchild\t0 @I1@ INDI\ngood\t  1 NAME John /Smith/\n"));
    EXPECT_TRUE(validate.out.ends_with("good\t    2 PLAC Aachen, germany\n")) << "persons only";
}

TEST(KinloomCli, FailsWithOneForWhatItCannotReadAndTwoForUsageErrors) {
    const std::pair<std::vector<std::string>, std::string> failures[] = {
        {{"load", "tests/data/no-such-file.ged"}, "kinloom-cli: cannot read tests/data/no-such-file.ged"},
        {{"persons", "tests/data/not-a-zip.gdz"},
         "kinloom-cli: cannot read tests/data/not-a-zip.gdz: it is not a zip archive"},
        {{"show", viewerFile, "F1"}, "kinloom-cli: no person F1"},
        {{"ancestors", viewerFile, "I99"}, "kinloom-cli: no person I99"},
        {{"chart", viewerFile, "I1", "--output", "/no-such-folder/chart.svg"},
         "kinloom-cli: cannot write /no-such-folder/chart.svg"},
        {{"validate", viewerFile, "--grammar", "tests/data/no-such.spec"},
         "kinloom-cli: cannot read the grammar tests/data/no-such.spec"},
        {{"validate", viewerFile, "--grammar", "tests/data/broken.spec"},
         "kinloom-cli: cannot parse the grammar tests/data/broken.spec"}};
    for (const auto& [words, message] : failures) {
        CliRun run = runCli(words);
        EXPECT_EQ(run.status, 1) << message;
        EXPECT_EQ(run.out, "") << message;
        EXPECT_EQ(run.lastErrorLine(), message);
    }
    CliRun help = runCli({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_TRUE(help.out.starts_with("usage: kinloom-cli COMMAND FILE [ARGS]\n"));
    for (const std::vector<std::string>& words :
         std::vector<std::vector<std::string>>{{},
                                               {"list", viewerFile},
                                               {"persons", viewerFile, "--sort", "age"},
                                               {"persons", viewerFile, "--descending"},
                                               {"show", viewerFile, "I1", "I2"},
                                               {"validate", viewerFile, "extra"},
                                               {"load", viewerFile, "--labels"},
                                               {"ancestors", viewerFile, "I1", "--generations", "0"},
                                               {"descendants", viewerFile, "I1", "--generations", "65"},
                                               {"ancestors", viewerFile, "I1", "--generations", "4x"},
                                               {"descendants", viewerFile},
                                               {"chart", viewerFile, "I1", "--output", "chart.pdf"}}) {
        CliRun run = runCli(words);
        EXPECT_EQ(run.status, 2) << words.size();
        EXPECT_TRUE(run.out.empty() &&
                    run.err.find("usage: kinloom-cli COMMAND FILE [ARGS]") != std::string::npos);
    }
}

TEST(KinloomCli, PrintsYearsBeforeChristAndTheAnselSharpSAsTheWindowShowsThem) {
    const std::string years = "tests/data/years-before-christ.ged";
    EXPECT_EQ(runCli({"persons", years, "--sort", "birthYear"}).out,
              header + "I1\tLevi, Aaron\t1032 B.C.\t\t0980 B.C.\t\t\t\n"
                       "I5\tLevi, Ezra\t1032 B.C.\t\t1000 B.C.\t\t\t\n"
                       "I6\tLevi, Felix\t560 B.C.\t\t999 B.C.\t\t\t\n"
                       "I2\tLevi, Boaz\t0500 B.C.\t\t0010\t\t\t\n"
                       "I3\tLevi, Cyrus\t1000\t\t1060\t\t\t\n"
                       "I4\tLevi, David\t1850\t\t\t\t\t\n");
    EXPECT_EQ(runCli({"show", years, "I5", "--expand-all"}).out,
              "0 @I5@ INDI\n  1 NAME Ezra /Levi/\n  1 BIRT\n    2 DATE 1032bc\n  1 DEAT\n    2 DATE AFT 1000 "
              "B.C.\n");

    const std::string ansel = "../shared/testdata/gedcom4j/ANSEL.GED";
    REQUIRE_SHARED_TESTDATA();
    const std::string sharpS = "es zet (\xC3\x9F)";
    std::string persons = runCli({"persons", ansel}).out;
    EXPECT_NE(
        persons.find("\nCHILD3\tSpecial Characters 3\t\tcopyright symbol (\xC2\xA9)\t\t" + sharpS + "\t"),
        std::string::npos)
        << persons;
    std::string shown = runCli({"show", ansel, "CHILD3", "--expand-all"}).out;
    EXPECT_NE(shown.find("inverted exclamation mark (\xC2\xA1), " + sharpS + "\n"), std::string::npos)
        << shown;
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
    EXPECT_TRUE(run.out.ends_with("24\tlink\tF2\t@I4@ names it more than once\n"));
    EXPECT_EQ(runCli({"problems", "tests/data/problems.ged"}).out.find("structure"), std::string::npos);
}

TEST(KinloomCli, AncestorsAndDescendantsPrintTheirNumbersAndChartWritesSvg) {
    const std::string chartFile = "tests/data/chart.ged";
    CliRun run = runCli({"ancestors", chartFile, "I11", "--generations", "3"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "1\tI11\tStone, Gus\t1901\t\n2\tI8\tStone, Fred\t\t\n3\tI10\tWood, Gwen\t\t\n"
                       "4\tI3\tStone, Bob\t1825\t\n5\tI6\tField, Dora\t\t\n6\tI9\tWood, Finn\t\t\n"
                       "7\tI4\tStone, Cleo\t\t\n");
    run = runCli({"descendants", chartFile, "@I3@", "--generations", "2"});
    EXPECT_EQ(
        run.out,
        "1\tI3\tStone, Bob\t1825\t\n1+\tI5\tHill, Carol\t\t\n1.1\tI7\tStone, Ed\t\t\n"
        "1.2\tI7\t=1.1\n1+\tI6\tField, Dora\t\t\n1.3\tI8\tStone, Fred\t\t\n1.3+\tI10\tWood, Gwen\t\t\n");

    const std::string svgPath = testing::TempDir() + "kinloom-chart-" + std::to_string(getpid()) + ".svg";
    run = runCli({"chart", chartFile, "I1", "--descendants", "--output", svgPath});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "");
    std::stringstream svg;
    svg << std::ifstream(svgPath).rdbuf();
    std::remove(svgPath.c_str());
    EXPECT_TRUE(svg.str().starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg "));
    for (const char* name : {">Stone, Adam<", ">Brook, Eve<", ">Stone, Gus<", ">1.1.2 = 1.1.1 "})
        EXPECT_NE(svg.str().find(name), std::string::npos) << name;
}

// Lines as a text editor numbers them, where a CR LF pair ends one line.
TEST(KinloomCli, ProblemsAreListedAtTheLinesAnEditorShows) {
    REQUIRE_SHARED_TESTDATA();
    const std::string twins = kinloom::test::sharedTestData + "gedcom4j/utf8_";
    const CliRun crlf = runCli({"problems", twins + "crlf_nobom.ged"});
    EXPECT_TRUE(crlf.out.starts_with("10\twrongSex\tI1\t")) << crlf.out;
    EXPECT_EQ(crlf.out, runCli({"problems", twins + "lf_nobom.ged"}).out);
    EXPECT_EQ(crlf.out, runCli({"problems", twins + "cr_nobom.ged"}).out);
    EXPECT_NE(crlf.err.find("just added error wrongSex at line 17 "), std::string::npos) << "the log's stays";
}
