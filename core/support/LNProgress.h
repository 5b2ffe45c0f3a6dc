#pragma once

#include <chrono>
#include <cstdint>
#include <limits>
#include <thread>

namespace kinloom {

/// Hears how far a long job on this thread has come, and may ask it to stop.
/// A job runs without one unless its caller installs one with a Scope; the
/// job then calls tell() where a stage starts or ends, and counts the units
/// of its long loops on a Meter. Only the thread that installed it is told:
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

    /// How far a long loop of a stage has come, told to this thread's sink
    /// once the interval (50 ms) has passed since its last report, so that a
    /// window moves on at a steady pace whatever the work a unit takes. A
    /// stage run as several loops gives each an equal share: the meter of
    /// part `part` of `parts` tells its loop's `done` of `total` within that
    /// share. The meter of a stage's first part tells the stage's start when
    /// it is made. An empty meter, one over no units, and one made where this
    /// thread has no sink tell nothing.
    class Meter {
      public:
        Meter() = default;
        Meter(Stage stage, std::uint64_t total, int part = 0, int parts = 1);

        /// `done` units of the loop are done; `done` never goes down. One
        /// comparison; about a thousand times over the loop, a look at the
        /// clock too.
        void count(std::uint64_t done) {
            if (done >= next_) check(done);
        }

        /// The least time between two reports; zero tells at every look at
        /// the clock, for tests.
        static void setInterval(std::chrono::nanoseconds interval);

      private:
        void check(std::uint64_t done);

        Stage stage_ = Stage::reading;
        std::uint64_t total_ = 0;
        std::uint64_t step_ = 0;
        std::uint64_t next_ = std::numeric_limits<std::uint64_t>::max();
        // The loop's share of the stage: units before it and in the whole stage.
        std::uint64_t before_ = 0;
        std::uint64_t stageTotal_ = 0;
    };
};

} // namespace kinloom
