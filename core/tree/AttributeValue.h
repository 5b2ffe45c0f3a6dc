#pragma once

#include "memory/Ref.h"
#include "memory/SharedString.h"

#include <cstdint>
#include <variant>
#include <vector>

namespace kinloom {

class LNNode;

/// The distinguished "no value" object (the none marker): a value of its own,
/// different from a missing attribute.
struct NoneMarker {
    friend bool operator==(const NoneMarker&, const NoneMarker&) { return true; }
};

/// What an attribute map holds: the none marker, a string, a list of strings
/// (a grammar node's "tagarray"), a number (a table row's "id") or a node (a
/// table row's "fatherRoot").
using AttributeValue = std::variant<NoneMarker, SharedString, std::vector<String>, std::int64_t, Ref<LNNode>>;

/// The text of a string attribute, or null for any other value or none.
inline const SharedString* attributeString(const AttributeValue* value) {
    return value ? std::get_if<SharedString>(value) : nullptr;
}

} // namespace kinloom
