#include "records/LNYear.h"

namespace kinloom {

namespace {

constexpr StringView beforeChristSuffix = u" B.C.";

} // namespace

std::optional<LNYear> LNYear::fromDigits(StringView digits, bool beforeChrist) {
    if (digits.size() != 4) return std::nullopt;
    std::uint16_t number = 0;
    for (char16_t c : digits) {
        if (c < u'0' || c > u'9') return std::nullopt;
        number = static_cast<std::uint16_t>(number * 10 + (c - u'0'));
    }
    return LNYear(number, beforeChrist);
}

String LNYear::text() const {
    String text(4, u'0');
    for (std::uint16_t rest = number_, at = 4; at > 0; rest /= 10)
        text[--at] = static_cast<char16_t>(u'0' + rest % 10);
    if (beforeChrist_) text += beforeChristSuffix;
    return text;
}

std::optional<LNYear> LNYear::fromText(StringView text) {
    const bool beforeChrist =
        text.size() == 4 + beforeChristSuffix.size() && text.ends_with(beforeChristSuffix);
    return fromDigits(text.substr(0, beforeChrist ? 4 : text.size()), beforeChrist);
}

int LNYear::compareTexts(StringView a, StringView b) {
    std::optional<LNYear> yearA = fromText(a);
    std::optional<LNYear> yearB = fromText(b);
    if (yearA && yearB) return yearA->order() < yearB->order() ? -1 : yearA->order() > yearB->order();
    if (yearA || yearB) return yearA ? -1 : 1;
    const int order = a.compare(b);
    return (order > 0) - (order < 0);
}

} // namespace kinloom
