#pragma once

namespace kinloom {

/// Anything shown in the window: the sender of an action and what can hold
/// the keyboard focus. The toolkit owns its views; the logic only points at
/// them.
class LNView {
  public:
    virtual ~LNView() = default;
};

} // namespace kinloom
