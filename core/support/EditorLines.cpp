#include "support/EditorLines.h"

#include "support/LineBreaks.h"
#include "support/TextServices.h"

#include <algorithm>

namespace kinloom {

EditorLines::EditorLines(StringView text, std::int32_t lastLine) {
    std::int32_t line = 1;
    std::int32_t pairs = 0;
    for (std::size_t at = nextLineBreak(text, 0); at < text.size() && line <= lastLine;
         at = nextLineBreak(text, at + 1)) {
        const char16_t c = text[at];
        if (c != u'\r' || at + 1 >= text.size() || text[at + 1] != u'\n') {
            ++line;
            continue;
        }
        if (!runs_.empty() && runs_.back().first + 2 * runs_.back().count == line)
            ++runs_.back().count;
        else
            runs_.push_back({line, 1, pairs});
        ++pairs;
        line += 2;
        ++at;
    }
}

std::int32_t EditorLines::lineOf(std::int32_t loaderLine) const {
    auto after = std::upper_bound(runs_.begin(), runs_.end(), loaderLine,
                                  [](std::int32_t line, const Run& run) { return line <= run.first; });
    if (after == runs_.begin()) return loaderLine;
    const Run& run = *std::prev(after);
    return loaderLine - run.before - std::min(run.count, (loaderLine - run.first + 1) / 2);
}

} // namespace kinloom
