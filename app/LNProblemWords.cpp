// The error list's reports in words a person understands.

#include "LNKinloomController.h"

namespace kinloom {

namespace {

// Fills each "%1", "%2" with the report's first and second argument.
String say(StringView words, const LNGedcomProblem& problem) {
    String text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == u'%' && i + 1 < words.size() && (words[i + 1] == u'1' || words[i + 1] == u'2')) {
            const SharedString& arg = problem.args[static_cast<std::size_t>(words[++i] - u'1')];
            text += arg.empty() ? StringView(u"?") : arg.view();
        } else {
            text += words[i];
        }
    }
    return text;
}

struct Wording {
    ErrorKind kind;
    LNProblemFinding finding;
    StringView words;
};

using enum LNProblemFinding;

// By the report's kind and finding; a report of neither shows its own text.
constexpr Wording wordings[] = {
    {LNGedcomErrorCantReadSource, none, u"the file cannot be read"},
    {LNGedcomErrorLineSyntax, none, u"this line is not a GEDCOM line"},
    {LNGedcomErrorIllegalLevel, none, u"this line's level is more than one below the line before"},
    {LNGedcomErrorIllegalName, noName, u"%1 has no name"},
    {LNGedcomErrorMultiplyDefinedKey, duplicateKey, u"another record has the key %1 already"},
    {LNGedcomErrorMissingKey, noKey, u"the record has no key"},
    {LNGedcomErrorUndefinedKey, missingSource, u"cites %1, which no source record has"},
    {LNGedcomErrorUndefinedKey, missingFamily, u"links to %1, which no record has"},
    {LNGedcomErrorUndefinedKey, missingPerson, u"links to %1, which no record has"},
    {LNGedcomErrorWrongSex, husbandNotMale, u"is husband in %2 but not male"},
    {LNGedcomErrorWrongSex, wifeNotFemale, u"is wife in %2 but not female"},
    {LNGedcomErrorWrongRole, husbandInNatal, u"is husband in %2, which it names as its parents' family"},
    {LNGedcomErrorWrongRole, wifeInNatal, u"is wife in %2, which it names as its parents' family"},
    {LNGedcomErrorWrongRole, childInSpousal, u"is a child in %2, which it names as its own family"},
    {LNGedcomErrorMissingLink, notListedAsChild,
     u"names %2 as its parents' family, but %2 does not list it as a child"},
    {LNGedcomErrorMultipleRoles, manyRoles, u"has more than one role in %2"},
    {LNGedcomProblemLink, childOfManyFamilies, u"is a child in more than one family"},
    {LNGedcomProblemLink, husbandNamesAsNatal, u"its husband %2 names it as his parents' family"},
    {LNGedcomProblemLink, husbandMissesFamily, u"its husband %2 does not name it as his family"},
    {LNGedcomProblemLink, wifeNamesAsNatal, u"its wife %2 names it as her parents' family"},
    {LNGedcomProblemLink, childNamesAsSpousal, u"its child %2 names it as an own family"},
    {LNGedcomProblemLink, memberInManyRoles, u"%2 names it more than once"},
    {LNGedcomProblemLink, familyMissingSource, u"cites %2, which no source record has"},
    {LNGedcomProblemReference, referenceMissing, u"links to %1, which no record has"},
    {LNGedcomProblemReference, referenceWrongKind, u"links to %1, a record of the wrong kind for this line"},
    {LNGedcomProblemEncoding, none, u"from this line on the file is not UTF-8, which GEDCOM 7 requires"},
};

} // namespace

String problemWords(const LNGedcomProblem& problem) {
    for (const Wording& wording : wordings)
        if (wording.kind == problem.kind && wording.finding == problem.finding)
            return say(wording.words, problem);
    return problem.text.str();
}

} // namespace kinloom
