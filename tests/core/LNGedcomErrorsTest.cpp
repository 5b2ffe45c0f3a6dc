#include "LNGedcomErrors.h"
#include "SystemLog.h"

#include <gtest/gtest.h>

using namespace kinloom;

TEST(LNGedcomErrors, LogsAndCountsEveryReport) {
    LogCapture log;
    LNGedcomErrors errors;
    EXPECT_EQ(errors.count(), 0);
    errors.addError(LNGedcomErrorLineSyntax, 12);
    errors.addError(LNGedcomErrorLineSyntax, 12);
    errors.addError(LNGedcomErrorMissingKey, 7, u"SUBN record with no key");
    errors.addObject(u"INDI @I1@ is CHIL in multiple FAMs");
    EXPECT_EQ(errors.count(), 4);
    EXPECT_EQ(errors.numErrors(), 4);
    EXPECT_EQ(log.lines(),
              (std::vector<std::string>{
                  "just added error lineSyntax at line 12",
                  "just added error lineSyntax at line 12",
                  "just added error missingKey at line 7 with arg SUBN record with no key",
                  "DEPRECATED call to LNGedcomErrors addObject with string: INDI @I1@ is CHIL in "
                  "multiple FAMs",
              }));
}

TEST(LNGedcomErrors, KindsAreTheirTexts) {
    const ErrorKind kinds[] = {
        LNGedcomErrorCantReadSource, LNGedcomErrorEmptySource, LNGedcomErrorLineSyntax,
        LNGedcomErrorIllegalLevel,   LNGedcomErrorIllegalName, LNGedcomErrorMultiplyDefinedKey,
        LNGedcomErrorUndefinedKey,   LNGedcomErrorMissingKey,  LNGedcomErrorWrongSex,
        LNGedcomErrorWrongRole,      LNGedcomErrorMissingLink, LNGedcomErrorMultipleRoles};
    const char* texts[] = {"cantReadSource", "emptySource",        "lineSyntax",   "illegalLevel",
                           "illegalName",    "multiplyDefinedKey", "undefinedKey", "missingKey",
                           "wrongSex",       "wrongRole",          "missingLink",  "multipleRoles"};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(std::string(kinds[i].begin(), kinds[i].end()), texts[i]);
}

TEST(LNGedcomErrors, KeepsReportsUpToTheBoundAndCountsTheRest) {
    LogCapture log;
    LNGedcomErrors errors;
    EXPECT_EQ(errors.problems().capacity(), 0u);
    errors.addError(LNGedcomErrorLineSyntax, 3);
    errors.addError(LNGedcomErrorMissingKey, 7, u"arg");
    errors.addObject(u"text", 9);
    errors.addUncounted(LNGedcomProblemReference, 4, u"record with key @X@ does not exist");
    EXPECT_EQ(errors.count(), 3);
    ASSERT_EQ(errors.problems().size(), 4u);
    const LNGedcomProblem& link = errors.problems()[2];
    EXPECT_EQ(link.kind, LNGedcomProblemLink);
    EXPECT_EQ(link.line, 9);
    EXPECT_EQ(link.text, u"text");
    EXPECT_EQ(errors.problems()[1].text, u"arg");

    LNGedcomErrors second;
    for (std::size_t i = 0; i < LNGedcomErrors::maxKeptProblems; ++i)
        second.addError(LNGedcomErrorLineSyntax, 100);
    errors.absorb(second);
    EXPECT_EQ(errors.count(), 3 + static_cast<int>(LNGedcomErrors::maxKeptProblems));
    EXPECT_EQ(errors.problems().size(), LNGedcomErrors::maxKeptProblems);
    EXPECT_EQ(errors.droppedProblems(), 4);
    errors.addObject(u"late", 200);
    EXPECT_EQ(errors.droppedProblems(), 5);
}
