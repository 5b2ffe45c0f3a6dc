#include "support/SystemLog.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace kinloom {
namespace {

// Each thread collects into its own capture: a loading helper thread keeps
// its lines apart until they can be written in file order.
thread_local LogCapture* currentCapture = nullptr;

// Loading can log a line per byte of a file; writing each line straight to an
// unbuffered stderr would dominate the load time.
class LogBuffer {
  public:
    LogBuffer() { buffer_.reserve(capacity); }
    void append(std::string_view line) {
        buffer_.append(line);
        buffer_.push_back('\n');
        if (buffer_.size() >= capacity) flush();
    }
    void flush() {
        if (buffer_.empty()) return;
        std::fwrite(buffer_.data(), 1, buffer_.size(), stderr);
        std::fflush(stderr);
        buffer_.clear();
    }

  private:
    static constexpr std::size_t capacity = 1 << 16;
    std::string buffer_;
};

LogBuffer* theBuffer = nullptr;

void flushAtExit() {
    if (theBuffer) theBuffer->flush();
}

// Never destroyed, so that lines logged by other objects' destructors at exit
// still find it.
LogBuffer& logBuffer() {
    if (!theBuffer) {
        theBuffer = new LogBuffer();
        std::atexit(flushAtExit);
    }
    return *theBuffer;
}

} // namespace

void systemLog(std::string_view line) {
    if (currentCapture) {
        currentCapture->lines_.emplace_back(line);
        return;
    }
    logBuffer().append(line);
}

void flushSystemLog() { logBuffer().flush(); }

LogCapture::LogCapture() : previous_(currentCapture) { currentCapture = this; }

LogCapture::~LogCapture() { currentCapture = previous_; }

bool LogCapture::contains(std::string_view line) const {
    return std::find(lines_.begin(), lines_.end(), line) != lines_.end();
}

} // namespace kinloom
