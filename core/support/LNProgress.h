#pragma once

#include <cstdint>
#include <thread>

namespace kinloom {

/// Hears how far a long job on this thread has come, and may ask it to stop.
/// A job runs without one unless its caller installs one with a Scope; the
/// loading code then calls tell() at the start of each stage and at coarse
/// intervals inside long loops. Only the thread that installed it is told:
/// helper threads of a job report nothing.
class LNProgress {
  public:
    /// The stages of opening a file, in the order they run, and the validate
    /// command.
    enum class Stage { reading, decoding, records, links, table, validating };

    /// Thrown by tell() out of a stage that can stop when the sink asked to
    /// stop; whatever the job had built is released on the way out.
    class Cancelled {};

    virtual ~LNProgress() = default;

    /// `done` of `total` units of the stage are done (total 0: unknown).
    /// `canStop` tells whether the job would stop now; the answer is true
    /// when it should.
    virtual bool progressed(Stage stage, std::uint64_t done, std::uint64_t total, bool canStop) = 0;

    /// Installs the sink for the calling thread for as long as the scope
    /// lives. Scopes nest; one thread at a time installs them.
    class Scope {
      public:
        explicit Scope(LNProgress* sink);
        ~Scope();
        Scope(const Scope&) = delete;
        Scope& operator=(const Scope&) = delete;

      private:
        LNProgress* previous_;
        std::thread::id previousThread_;
    };

    /// Tells this thread's sink, if any. Reading, decoding, records and links
    /// can stop: there a stop request throws Cancelled. The table and the
    /// validate command change what a window shows, so they run to the end.
    static void tell(Stage stage, std::uint64_t done, std::uint64_t total);
};

} // namespace kinloom
