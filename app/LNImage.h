#pragma once

#include "memory/SharedString.h"

namespace kinloom {

/// An image the toolkit knows by name; each toolkit draws its own picture for
/// each of the names below.
class LNImage {
  public:
    static LNImage imageNamed(StringView name) { return LNImage(String(name)); }

    static constexpr StringView ascendingSortIndicator = u"NSAscendingSortIndicator";
    static constexpr StringView descendingSortIndicator = u"NSDescendingSortIndicator";
    static constexpr StringView goLeftTemplate = u"NSGoLeftTemplate";
    static constexpr StringView goRightTemplate = u"NSGoRightTemplate";

    const String& name() const { return name_; }
    friend bool operator==(const LNImage&, const LNImage&) = default;

  private:
    explicit LNImage(String name) : name_(std::move(name)) {}
    String name_;
};

} // namespace kinloom
