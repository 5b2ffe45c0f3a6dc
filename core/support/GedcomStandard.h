#pragma once

#include <cstdint>
#include <string_view>

namespace kinloom {

/// The GEDCOM standard a file follows, as its header's GEDC VERS names it:
/// 7.x, 5.5.1, or anything else (5.5). Grammars that differ between the
/// standards (dates, pointers, what counts as a problem) take it.
enum class GedcomStandard : std::uint8_t { Gedcom55, Gedcom551, Gedcom7 };

/// The text a line value stands for: GEDCOM 7 doubles an at sign that
/// begins a text ("@@ home" is "@ home"); older standards escape nothing.
inline std::u16string_view payloadText(GedcomStandard standard, std::u16string_view value) {
    if (standard == GedcomStandard::Gedcom7 && value.size() >= 2 && value[0] == u'@' && value[1] == u'@')
        value.remove_prefix(1);
    return value;
}

} // namespace kinloom
