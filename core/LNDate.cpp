#include "LNDate.h"

#include "TextServices.h"

namespace kinloom {

namespace {

const CharSet& partSeparators() {
    static const CharSet separators = CharSet::fromChars(u" \t,-_/.()[]{}<>");
    return separators;
}

// Digits have no case, so the token's lower-case form need not be made:
// only a token that is already four ASCII digits qualifies.
bool isYear(StringView token) {
    if (token.size() != 4) return false;
    for (char16_t c : token)
        if (c < u'0' || c > u'9') return false;
    return true;
}

// The last year token of trimmed text: a later year replaces an earlier one,
// so a range gives the year it ends in.
StringView lastYear(StringView trimmed) {
    const CharSet& separators = partSeparators();
    StringView year;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= trimmed.size(); ++i) {
        if (i < trimmed.size() && !separators.contains(trimmed[i])) continue;
        if (StringView token = trimmed.substr(start, i - start); isYear(token)) year = token;
        start = i + 1;
    }
    return year;
}

} // namespace

std::unique_ptr<LNDate> LNDate::initFromString(StringView text) {
    const StringView trimmed = trim(text, CharSet::whiteSpace());
    if (trimmed.empty()) return nullptr;
    auto date = std::make_unique<LNDate>();
    if (StringView year = lastYear(trimmed); !year.empty()) date->yearString_ = String(year);
    return date;
}

StringView LNDate::yearIn(StringView text) {
    return lastYear(trim(text, CharSet::whiteSpace()));
}

} // namespace kinloom
