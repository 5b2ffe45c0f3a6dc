#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kinloom::cli {

/// What the command line asks for.
struct Arguments {
    enum class Command { help, version, load, persons, find, show, validate, relatives, problems };

    Command command = Command::help;
    std::string file;
    /// persons: the column to click, and whether to click it twice.
    std::optional<std::string> sortColumn;
    bool descending = false;
    /// find: the typed name; show and relatives: the person's key.
    std::string name;
    /// show.
    bool labels = false;
    bool expandAll = false;
    bool validate = false;
    /// validate and problems: a grammar file to use instead of the shipped one.
    std::optional<std::string> grammar;
};

/// The arguments after the program name, or absent for a usage error (with
/// the reason in *problem).
std::optional<Arguments> parseArguments(const std::vector<std::string>& words, std::string* problem);

/// The usage text, ending in a newline.
const char* usageText();

} // namespace kinloom::cli
