#include "records/LNDate.h"

#include "support/TextServices.h"

namespace kinloom {

namespace {

const CharSet& partSeparators() {
    static const CharSet separators = CharSet::fromChars(u" \t,-_/.()[]{}<>");
    return separators;
}

// Whether the text starts with "B.C." or "BC", in any case and with or
// without either dot, ending there or at a separator: so "BCE" is not.
bool startsBeforeChrist(StringView text) {
    std::size_t at = 0;
    auto take = [&](char16_t c) {
        if (at == text.size() || (text[at] | 0x20) != c) return false;
        ++at;
        return true;
    };
    auto skipDot = [&] { at += at < text.size() && text[at] == u'.'; };
    if (!take(u'b')) return false;
    skipDot();
    if (!take(u'c')) return false;
    skipDot();
    return at == text.size() || partSeparators().contains(text[at]);
}

// The year of the token of the given length at the start of the text (which
// runs on to its end): four digits alone, after Christ unless blanks and
// B.C. follow them, or four digits with B.C. attached. Digits have no case,
// so the token's lower-case form need not be made.
std::optional<LNYear> yearOfToken(StringView text, std::size_t tokenLength) {
    if (tokenLength < 4) return std::nullopt;
    const StringView rest = text.substr(4);
    const bool attached = tokenLength > 4;
    if (attached && !startsBeforeChrist(rest)) return std::nullopt;
    const std::size_t next = rest.find_first_not_of(u" \t");
    const bool beforeChrist = attached || (next != StringView::npos && startsBeforeChrist(rest.substr(next)));
    return LNYear::fromDigits(text.substr(0, 4), beforeChrist);
}

// The last year of trimmed text: a later year replaces an earlier one, so a
// range gives the year it ends in.
std::optional<LNYear> lastYear(StringView trimmed) {
    const CharSet& separators = partSeparators();
    std::optional<LNYear> year;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= trimmed.size(); ++i) {
        if (i < trimmed.size() && !separators.contains(trimmed[i])) continue;
        if (auto found = yearOfToken(trimmed.substr(start), i - start)) year = found;
        start = i + 1;
    }
    return year;
}

} // namespace

std::unique_ptr<LNDate> LNDate::initFromString(StringView text) {
    const StringView trimmed = trim(text, CharSet::whiteSpace());
    if (trimmed.empty()) return nullptr;
    auto date = std::make_unique<LNDate>();
    if (std::optional<LNYear> year = lastYear(trimmed)) date->yearString_ = year->text();
    return date;
}

std::optional<LNYear> LNDate::yearIn(StringView text) {
    return lastYear(trim(text, CharSet::whiteSpace()));
}

} // namespace kinloom
