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
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "just added error lineSyntax at line 12",
                               "just added error lineSyntax at line 12",
                               "just added error missingKey at line 7 with arg SUBN record with no key",
                               "DEPRECATED call to LNGedcomErrors addObject with string: INDI @I1@ is CHIL in "
                               "multiple FAMs",
                           }));
}

TEST(LNGedcomErrors, KindsAreTheirTexts) {
    const ErrorKind kinds[] = {LNGedcomErrorCantReadSource, LNGedcomErrorEmptySource, LNGedcomErrorLineSyntax,
                               LNGedcomErrorIllegalLevel,   LNGedcomErrorIllegalName,  LNGedcomErrorMultiplyDefinedKey,
                               LNGedcomErrorUndefinedKey,   LNGedcomErrorMissingKey,   LNGedcomErrorWrongSex,
                               LNGedcomErrorWrongRole,      LNGedcomErrorMissingLink,  LNGedcomErrorMultipleRoles};
    const char* texts[] = {"cantReadSource", "emptySource", "lineSyntax",  "illegalLevel",
                           "illegalName",    "multiplyDefinedKey", "undefinedKey", "missingKey",
                           "wrongSex",       "wrongRole",   "missingLink", "multipleRoles"};
    for (int i = 0; i < 12; ++i) EXPECT_EQ(std::string(kinds[i].begin(), kinds[i].end()), texts[i]);
}
