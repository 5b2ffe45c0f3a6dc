#pragma once

#include "tree/AttributeValue.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace kinloom {

/// String-keyed attributes in insertion order (the order the XML dump writes).
class AttributeMap {
  public:
    void set(StringView key, AttributeValue value);
    /// Removes the key's entry, if any; the others keep their order.
    void remove(StringView key);
    /// The value under the key, or null.
    const AttributeValue* get(StringView key) const;
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::vector<std::pair<SharedString, AttributeValue>>& entries() const { return entries_; }

  private:
    std::vector<std::pair<SharedString, AttributeValue>> entries_;
};

} // namespace kinloom
