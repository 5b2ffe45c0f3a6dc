#pragma once

#include "support/TextServices.h"

#include <cstddef>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace kinloom {

/// The position of the next line-break character (a member of
/// CharSet::newline) at or after from, or the text's size. Every scan of a
/// whole text for its lines goes through here, inline, as it runs once a
/// line: most characters are printable ASCII, which is never a line break,
/// and those are passed over eight at a time where the processor can.
inline std::size_t nextLineBreak(StringView text, std::size_t from) {
    const CharSet& breaks = CharSet::newline();
    const char16_t* units = text.data();
    std::size_t size = text.size();
    std::size_t at = from;
#ifdef __SSE2__
    const __m128i belowSpace = _mm_set1_epi16(0x1F);
    const __m128i aboveTilde = _mm_set1_epi16(0x7E);
    const __m128i zero = _mm_setzero_si128();
    const __m128i ones = _mm_set1_epi16(-1);
    while (at + 8 <= size) {
        __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units + at));
        // A lane is zero after the first subtraction when it is below 0x20,
        // and non-zero after the second when it is above 0x7E.
        __m128i control = _mm_cmpeq_epi16(_mm_subs_epu16(eight, belowSpace), zero);
        __m128i high = _mm_xor_si128(_mm_cmpeq_epi16(_mm_subs_epu16(eight, aboveTilde), zero), ones);
        if (_mm_movemask_epi8(_mm_or_si128(control, high)) == 0) {
            at += 8;
            continue;
        }
        // Tabs and letters beyond ASCII are no breaks: look closer at these
        // eight, then go on eight at a time.
        for (std::size_t end = at + 8; at < end; ++at) {
            char16_t c = units[at];
            if ((c < 0x20 || c >= 0x7F) && breaks.contains(c)) return at;
        }
    }
#endif
    for (; at < size; ++at) {
        char16_t c = units[at];
        if ((c < 0x20 || c >= 0x7F) && breaks.contains(c)) return at;
    }
    return size;
}

} // namespace kinloom
