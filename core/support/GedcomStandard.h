#pragma once

#include <cstdint>

namespace kinloom {

/// The GEDCOM standard a file follows, as its header's GEDC VERS names it:
/// 7.x, 5.5.1, or anything else (5.5). Grammars that differ between the
/// standards (dates, pointers, what counts as a problem) take it.
enum class GedcomStandard : std::uint8_t { Gedcom55, Gedcom551, Gedcom7 };

} // namespace kinloom
