#pragma once

#include "Arguments.h"

#include <string>

namespace kinloom::cli {

/// Opens the file in a headless viewer and runs the command, appending
/// what it prints (UTF-8) to out and one line on a failure to problem.
/// Returns the exit status.
int runCommand(const Arguments& arguments, std::string& out, std::string& problem);

} // namespace kinloom::cli
