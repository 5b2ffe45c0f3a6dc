#pragma once

#include "memory/SharedString.h"
#include "support/GedcomStandard.h"

#include <string>
#include <string_view>

namespace kinloom {

/// The version a file's header names in GEDC VERS, and the standard it
/// follows: 7.x is GEDCOM 7, 5.5.1 is 5.5.1, anything else (no header, no
/// GEDC, no VERS, 5.5, 4.0, ...) is read as 5.5.
struct GedcomVersion {
    GedcomStandard standard = GedcomStandard::Gedcom55;
    /// The major and minor version as written ("7.0" for "7.0.18", "7.1"),
    /// "5.5.1", or "5.5" for every file read as 5.5.
    std::string text = "5.5";

    bool isSeven() const { return standard == GedcomStandard::Gedcom7; }

    /// Reads the header record of a file's bytes: one byte a character, or
    /// two in either order, told by the first two bytes as the 7.0 standard's
    /// version detection does (a byte-order mark or a "0" with a zero byte).
    /// Only the lines of the first record are read, and only a VERS line
    /// directly under a level-1 GEDC line counts.
    static GedcomVersion ofBytes(std::string_view bytes);
    /// The same over a decoded text.
    static GedcomVersion ofText(StringView text);
};

} // namespace kinloom
