#pragma once

#include "memory/SharedString.h"
#include "support/LNProgress.h"

#include <cstdint>
#include <string_view>

namespace kinloom {

/// ANSEL, the 8-bit character set of GEDCOM 5.5: ASCII below 0x80, spacing
/// special characters and non-spacing diacritics above. A diacritic stands
/// before its base letter, where Unicode puts the combining mark after it.
/// All operations are class operations; there is no state.
class LNAnsel {
  public:
    LNAnsel() = delete;

    /// 0x20 to 0x7E, LF, VT and CR. TAB, DEL and other controls are not.
    static constexpr bool validAsciiCharacter(std::uint16_t code) {
        return (code >= 0x20 && code <= 0x7E) || code == 0x0A || code == 0x0B || code == 0x0D;
    }
    /// The upper-half bytes that have a meaning in ANSEL.
    static constexpr bool validAnselCharacter(std::uint16_t code) {
        return (code >= 0xA1 && code <= 0xAE) || (code >= 0xB0 && code <= 0xBA) ||
               (code >= 0xBC && code <= 0xC8) || (code >= 0xCD && code <= 0xCF) ||
               (code >= 0xE0 && code <= 0xFB) || code == 0xFE;
    }
    /// Upper-half bytes that decode to a character of their own: every valid
    /// ANSEL byte that is not a diacritic. That takes in 0xBE, 0xBF and 0xCD
    /// to 0xCF (0xCF is the sharp s), which GEDCOM adds to ANSEL: dropping
    /// them lost letters such as the ß of Strauß.
    static constexpr bool spacingCharacter(std::uint16_t code) {
        return (code >= 0xA1 && code <= 0xAE) || (code >= 0xB0 && code <= 0xBA) ||
               (code >= 0xBC && code <= 0xC8) || (code >= 0xCD && code <= 0xCF);
    }
    /// Diacritics, written before the character they belong to.
    static constexpr bool nonSpacingDiacritic(std::uint16_t code) {
        return (code >= 0xE0 && code <= 0xFB) || code == 0xFE;
    }

    /// The Unicode code unit of a byte 0x80 to 0xFF, 0 where ANSEL has none;
    /// every other code is returned unchanged.
    static std::uint16_t unicodeEquivalent(std::uint16_t code);

    /// The ANSEL bytes as Unicode text in Normalization Form C: each run of
    /// diacritics follows its base character (at most 18 are kept). Bytes
    /// without a meaning are dropped, as are diacritics at the end of the data.
    /// The bytes read are counted on the meter.
    static String stringFromData(std::string_view data, LNProgress::Meter meter = {});
};

} // namespace kinloom
