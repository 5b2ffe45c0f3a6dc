#pragma once

#include "memory/SharedString.h"
#include "support/GedcomStandard.h"
#include "tree/LNGedcomNode.h"

namespace kinloom {

/// What a standard says a pointer must name.
struct PointerKinds {
    /// The tag of the record kind the pointer must name ("NOTE", "SNOTE",
    /// "INDI", ...); empty where the standard says nothing of it.
    StringView record;
    /// 5.5's ASSO: the kind its TYPE line names, a person without one.
    bool namedByType = false;
};

/// The kind of record a pointer with the tag must name, standing directly
/// under a line or record with superTag (empty: a record's own line).
/// Extension tags and tags that hold no pointer there give an empty record.
PointerKinds expectedKinds(GedcomStandard standard, StringView superTag, StringView tag);

/// The tag of the record kind the pointer line must name, with 5.5's ASSO
/// read from its TYPE line; empty where the standard says nothing of it.
StringView expectedRecordTag(GedcomStandard standard, const LNGedcomNode& line);

} // namespace kinloom
