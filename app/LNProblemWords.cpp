// The error list's reports in words a person understands.

#include "LNKinloomController.h"

#include "tree/LNGedcomNode.h"

#include <vector>

namespace kinloom {

namespace {

// The keys a report's argument names, in order ("(null)" for a line without value).
std::vector<String> keysIn(StringView text) {
    std::vector<String> keys;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find(u' ', start);
        if (end == StringView::npos) end = text.size();
        StringView word = text.substr(start, end - start);
        if (isCrossReference(word) || word == u"(null)") keys.emplace_back(word);
        start = end + 1;
    }
    return keys;
}

bool endsWith(StringView text, StringView end) {
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// Fills each "%1", "%2" with the report's first and second key.
String say(StringView words, const std::vector<String>& keys) {
    String text;
    for (std::size_t i = 0; i < words.size(); ++i) {
        if (words[i] == u'%' && i + 1 < words.size() && (words[i + 1] == u'1' || words[i + 1] == u'2')) {
            const std::size_t at = static_cast<std::size_t>(words[++i] - u'1');
            text += at < keys.size() ? keys[at] : String(u"?");
        } else {
            text += words[i];
        }
    }
    return text;
}

struct Wording {
    ErrorKind kind; // empty: any kind
    StringView end; // how the argument or text ends; empty: any
    StringView words;
};

// First match wins.
constexpr Wording wordings[] = {
    {LNGedcomErrorCantReadSource, u"", u"the file cannot be read"},
    {LNGedcomErrorLineSyntax, u"", u"this line is not a GEDCOM line"},
    {LNGedcomErrorIllegalLevel, u"", u"this line's level is more than one below the line before"},
    {LNGedcomErrorIllegalName, u"", u"%1 has no name"},
    {LNGedcomErrorMultiplyDefinedKey, u"", u"another record has the key %1 already"},
    {LNGedcomErrorMissingKey, u"", u"the record has no key"},
    {LNGedcomErrorUndefinedKey, u"does not exist", u"cites %1, which no source record has"},
    {LNGedcomErrorUndefinedKey, u"", u"links to %1, which no record has"},
    {LNGedcomErrorWrongSex, u"male", u"is husband in %2 but not male"},
    {LNGedcomErrorWrongSex, u"female", u"is wife in %2 but not female"},
    {LNGedcomErrorWrongRole, u"HUSB not CHILD", u"is husband in %2, which it names as its parents' family"},
    {LNGedcomErrorWrongRole, u"WIFE not CHILD", u"is wife in %2, which it names as its parents' family"},
    {LNGedcomErrorWrongRole, u"spouse", u"is a child in %2, which it names as its own family"},
    {LNGedcomErrorMissingLink, u"", u"names %2 as its parents' family, but %2 does not list it as a child"},
    {LNGedcomErrorMultipleRoles, u"", u"has more than one role in %2"},
    {LNGedcomProblemLink, u"multiple FAMs", u"is a child in more than one family"},
    {LNGedcomProblemLink, u"FAMS one", u"its husband %2 names it as his parents' family"},
    {LNGedcomProblemLink, u"isn't two", u"its husband %2 does not name it as his family"},
    {LNGedcomProblemLink, u"FAMS three", u"its wife %2 names it as her parents' family"},
    {LNGedcomProblemLink, u"FAMC four", u"its child %2 names it as an own family"},
    {LNGedcomProblemLink, u"multiple roles", u"%2 names it more than once"},
    {LNGedcomProblemLink, u"does not exist", u"cites %2, which no source record has"},
    {LNGedcomProblemReference, u"does not exist", u"links to %1, which no record has"},
    {LNGedcomProblemReference, u"wrong type", u"links to %1, a record of the wrong kind for this line"},
    {LNGedcomProblemEncoding, u"", u"from this line on the file is not UTF-8, which GEDCOM 7 requires"},
};

} // namespace

String problemWords(const LNGedcomProblem& problem) {
    for (const Wording& wording : wordings)
        if (wording.kind == problem.kind && endsWith(problem.text, wording.end))
            return say(wording.words, keysIn(problem.text));
    return problem.text;
}

} // namespace kinloom
