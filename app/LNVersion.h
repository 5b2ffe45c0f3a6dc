#pragma once

#include <string>
#include <string_view>

namespace kinloom {

/// What names this build, one item a line: "Kinloom" and its version, the
/// ICU version in use, the toolkit line if one is given (such as "Qt 6.4.2"),
/// and the licence. Ends in a newline.
std::string versionText(std::string_view toolkitLine = {});

} // namespace kinloom
