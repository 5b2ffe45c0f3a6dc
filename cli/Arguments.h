#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kinloom::cli {

/// What the command line asks for.
struct Arguments {
    enum class Command {
        help,
        version,
        load,
        persons,
        find,
        show,
        validate,
        relatives,
        problems,
        ancestors,
        descendants,
        chart
    };

    Command command = Command::help;
    std::string file;
    /// persons: the column to click, and whether to click it twice.
    std::optional<std::string> sortColumn;
    bool descending = false;
    /// find: the typed name; show, relatives and the charts: the person's key.
    std::string name;
    /// show.
    bool labels = false;
    bool expandAll = false;
    bool validate = false;
    /// validate and problems: a grammar file to use instead of the shipped one.
    std::optional<std::string> grammar;
    /// ancestors, descendants and chart: generations counting the person.
    int generations = 4;
    /// chart: descendants instead of ancestors, and the SVG file to write.
    bool descendants = false;
    std::string output;
};

/// The arguments after the program name, or absent for a usage error (with
/// the reason in *problem).
std::optional<Arguments> parseArguments(const std::vector<std::string>& words, std::string* problem);

/// The usage text, ending in a newline.
const char* usageText();

} // namespace kinloom::cli
