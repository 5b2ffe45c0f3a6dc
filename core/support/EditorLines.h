#pragma once

#include "memory/SharedString.h"

#include <cstdint>
#include <vector>

namespace kinloom {

/// The line numbers a text editor shows, beside the loader's. The loader
/// ends a line at every line-break character, so a CR LF pair ends two (its
/// lines run 1, 3, 5, as the log says them); an editor ends one line at a CR
/// LF pair, and one at each other break: a lone CR, LF, VT, FF, NEL, LS or
/// PS. The two differ only by the CR LF pairs before a line, which are kept
/// as runs: a file with CR LF throughout is one run.
class EditorLines {
  public:
    /// A text without CR LF pairs: the numbers are the same.
    EditorLines() = default;
    /// Reads the text as far as the loader's line lastLine.
    EditorLines(StringView text, std::int32_t lastLine);

    /// The editor's number of the loader's line (0, no line, stays 0). The
    /// empty line between a CR and its LF is the line the CR ends.
    std::int32_t lineOf(std::int32_t loaderLine) const;

  private:
    // Pairs whose CR ends the loader's lines first, first + 2, ... (count of
    // them), with the pairs of the runs before.
    struct Run {
        std::int32_t first;
        std::int32_t count;
        std::int32_t before;
    };
    std::vector<Run> runs_;
};

} // namespace kinloom
