#include "Output.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>

namespace kinloom::cli {

Output& Output::operator<<(std::string_view text) {
    if (!started_) {
        flushSystemLog();
        started_ = true;
    }
    std::fwrite(text.data(), 1, text.size(), stream_);
    return *this;
}

Output& Output::operator<<(const std::optional<String>& text) {
    if (text) *this << std::string_view(toUtf8(*text));
    return *this;
}

Output& Output::blanks(std::size_t count) {
    static constexpr std::string_view some =
        "                                                                ";
    while (count > 0) {
        std::size_t now = std::min(count, some.size());
        *this << some.substr(0, now);
        count -= now;
    }
    return *this;
}

} // namespace kinloom::cli
