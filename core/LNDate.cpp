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

} // namespace

std::unique_ptr<LNDate> LNDate::initFromString(StringView text) {
    const StringView trimmed = trim(text, CharSet::whiteSpace());
    if (trimmed.empty()) return nullptr;
    auto date = std::make_unique<LNDate>();
    // A later year replaces an earlier one, so a range gives the year it ends in.
    for (StringView token : splitBySet(trimmed, partSeparators()))
        if (isYear(token)) date->yearString_ = String(token);
    return date;
}

} // namespace kinloom
