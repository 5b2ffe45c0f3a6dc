#pragma once

#include <functional>
#include <memory>

namespace kinloom {

/// Ends the life of large things on a thread of their own. A loaded file is
/// millions of lines; freeing them one by one takes a second, which a user
/// closing a file or opening the next one should not wait for.
///
/// The one-thread-at-a-time rule of nodes and strings holds: the caller
/// hands over the object with everything only it holds, and must keep no
/// node, string or record that shares a count with it (strings from the
/// process's intern table are never counted, and may be shared). Counts of
/// nodes and arena blocks wait for the releases handed over before them.
class BackgroundRelease {
  public:
    template <typename T> static void release(std::unique_ptr<T> object) {
        if (!object) return;
        start([held = object.release()] { delete held; });
    }
    /// Returns when every release handed over so far has ended.
    static void wait();

  private:
    static void start(std::function<void()> work);
};

} // namespace kinloom
