#pragma once

#include "Arguments.h"
#include "Output.h"

#include <string>

namespace kinloom::cli {

/// Opens the file in a headless viewer and runs the command, writing what it
/// prints (UTF-8) to out line by line as it goes, and one line on a failure
/// to problem. Returns the exit status.
int runCommand(const Arguments& arguments, Output& out, std::string& problem);

} // namespace kinloom::cli
