#pragma once

#include <cstddef>
#include <cstdio>
#include <optional>
#include <string_view>

#include "memory/SharedString.h"

namespace kinloom::cli {

/// Where a command's results go, written as they are made: a deep record's
/// indented outline grows with the square of its depth, and is never held
/// whole. The first write flushes the system log, so that the log of the
/// work comes out before its results.
class Output {
  public:
    explicit Output(std::FILE* stream) : stream_(stream) {}
    Output(const Output&) = delete;
    Output& operator=(const Output&) = delete;

    Output& operator<<(std::string_view text);
    Output& operator<<(char c) { return *this << std::string_view(&c, 1); }
    /// The text in UTF-8; nothing when absent.
    Output& operator<<(const std::optional<String>& text);
    Output& blanks(std::size_t count);

  private:
    std::FILE* stream_;
    bool started_ = false;
};

} // namespace kinloom::cli
