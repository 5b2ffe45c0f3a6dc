#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kinloom {

/// Writes one line (UTF-8, no newline) to the system log, standard error.
/// Output is buffered, since loading may log a line per byte; it is flushed
/// at exit and by flushSystemLog().
void systemLog(std::string_view line);
void flushSystemLog();

/// While one exists, the log lines of its thread are collected here instead
/// of written out.
class LogCapture {
  public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::vector<std::string>& lines() const { return lines_; }
    void clear() { lines_.clear(); }
    /// Whether some line equals the text.
    bool contains(std::string_view line) const;

  private:
    friend void systemLog(std::string_view line);
    std::vector<std::string> lines_;
    LogCapture* previous_;
};

} // namespace kinloom
