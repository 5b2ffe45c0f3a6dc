#include "Arguments.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kinloom::cli {

namespace {

constexpr std::array<const char*, 8> columnIdentifiers{"id",        "name",       "birthYear", "birthPlace",
                                                       "deathYear", "deathPlace", "father",    "mother"};

bool isColumn(const std::string& word) {
    return std::find(columnIdentifiers.begin(), columnIdentifiers.end(), word) != columnIdentifiers.end();
}

std::optional<Arguments::Command> commandNamed(const std::string& word) {
    if (word == "load") return Arguments::Command::load;
    if (word == "persons") return Arguments::Command::persons;
    if (word == "find") return Arguments::Command::find;
    if (word == "show") return Arguments::Command::show;
    if (word == "validate") return Arguments::Command::validate;
    if (word == "relatives") return Arguments::Command::relatives;
    if (word == "problems") return Arguments::Command::problems;
    if (word == "ancestors") return Arguments::Command::ancestors;
    if (word == "descendants") return Arguments::Command::descendants;
    if (word == "chart") return Arguments::Command::chart;
    return std::nullopt;
}

enum class Option { taken, other, bad };

bool isChart(Arguments::Command command) {
    return command == Arguments::Command::ancestors || command == Arguments::Command::descendants ||
           command == Arguments::Command::chart;
}

// --generations N, --descendants and --output FILE of the chart commands.
Option takeChartOption(Arguments& arguments, const std::vector<std::string>& words, std::size_t& i,
                       std::string* problem) {
    const std::string& word = words[i];
    const bool hasNext = i + 1 < words.size();
    if (word == "--generations" && hasNext) {
        const std::string& value = words[++i];
        const bool digits =
            !value.empty() && value.size() <= 2 &&
            std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        arguments.generations = digits ? std::stoi(value) : 0;
        if (arguments.generations < 1 || arguments.generations > 64) {
            *problem = "--generations takes 1 to 64, not " + value;
            return Option::bad;
        }
        return Option::taken;
    }
    if (arguments.command != Arguments::Command::chart) return Option::other;
    if (word == "--descendants") {
        arguments.descendants = true;
        return Option::taken;
    }
    if (word == "--output" && hasNext) {
        arguments.output = words[++i];
        return Option::taken;
    }
    return Option::other;
}

// Takes words[i] as an option of the command, with its value (moving i on);
// other when the command has no such option; bad with the reason.
Option takeOption(Arguments& arguments, const std::vector<std::string>& words, std::size_t& i,
                  std::string* problem) {
    if (isChart(arguments.command)) return takeChartOption(arguments, words, i, problem);
    const std::string& word = words[i];
    bool hasNext = i + 1 < words.size();
    switch (arguments.command) {
    case Arguments::Command::persons:
        if (word == "--sort" && hasNext) {
            if (!isColumn(words[i + 1])) {
                *problem = "unknown column " + words[i + 1];
                return Option::bad;
            }
            arguments.sortColumn = words[++i];
            return Option::taken;
        }
        if (word == "--descending") {
            arguments.descending = true;
            return Option::taken;
        }
        return Option::other;
    case Arguments::Command::show:
        for (auto [flag, value] :
             {std::pair{"--labels", &arguments.labels}, std::pair{"--expand-all", &arguments.expandAll},
              std::pair{"--validate", &arguments.validate}}) {
            if (word == flag) {
                *value = true;
                return Option::taken;
            }
        }
        return Option::other;
    case Arguments::Command::problems:
        if (word == "--validate") {
            arguments.validate = true;
            return Option::taken;
        }
        [[fallthrough]];
    case Arguments::Command::validate:
        if (word == "--grammar" && hasNext) {
            arguments.grammar = words[++i];
            return Option::taken;
        }
        return Option::other;
    default:
        return Option::other;
    }
}

// Reads the words after COMMAND FILE into the arguments; false with the
// reason on a word the command does not take.
bool readOptions(Arguments& arguments, const std::string& commandWord, const std::vector<std::string>& words,
                 std::string* problem) {
    bool positionalWanted = arguments.command == Arguments::Command::find ||
                            arguments.command == Arguments::Command::show ||
                            arguments.command == Arguments::Command::relatives || isChart(arguments.command);
    bool positionalSeen = false;
    for (std::size_t i = 0; i < words.size(); ++i) {
        Option option = takeOption(arguments, words, i, problem);
        if (option == Option::bad) return false;
        if (option == Option::taken) continue;
        const std::string& word = words[i];
        if (positionalWanted && !positionalSeen && !word.starts_with("--")) {
            arguments.name = word;
            positionalSeen = true;
            continue;
        }
        *problem = "unexpected argument " + word;
        return false;
    }
    if (positionalWanted && !positionalSeen) {
        *problem = arguments.command == Arguments::Command::find ? "find needs a NAME"
                                                                 : commandWord + " needs a KEY";
        return false;
    }
    if (arguments.command == Arguments::Command::chart && !arguments.output.ends_with(".svg")) {
        *problem = "chart needs --output FILE.svg";
        return false;
    }
    if (arguments.descending && !arguments.sortColumn) {
        *problem = "--descending needs --sort";
        return false;
    }
    return true;
}

} // namespace

std::optional<Arguments> parseArguments(const std::vector<std::string>& words, std::string* problem) {
    Arguments arguments;
    if (std::find(words.begin(), words.end(), "--help") != words.end()) return arguments;
    if (std::find(words.begin(), words.end(), "--version") != words.end()) {
        arguments.command = Arguments::Command::version;
        return arguments;
    }
    if (words.empty()) {
        *problem = "no command";
        return std::nullopt;
    }
    std::optional<Arguments::Command> command = commandNamed(words[0]);
    if (!command) {
        *problem = "unknown command " + words[0];
        return std::nullopt;
    }
    arguments.command = *command;
    if (words.size() < 2) {
        *problem = "no FILE";
        return std::nullopt;
    }
    arguments.file = words[1];
    if (!readOptions(arguments, words[0], std::vector<std::string>(words.begin() + 2, words.end()), problem))
        return std::nullopt;
    return arguments;
}

const char* usageText() {
    return "usage: kinloom-cli COMMAND FILE [ARGS]\n"
           "\n"
           "Opens the GEDCOM file FILE as the viewer's open command does (the system log goes\n"
           "to standard error), then:\n"
           "\n"
           "  load                               records, persons, families, sources, lines\n"
           "                                     and errors found, one count a line\n"
           "  persons [--sort ID [--descending]] the person table, TAB-separated, after one\n"
           "                                     (two) clicks on the header of column ID: id,\n"
           "                                     name, birthYear, birthPlace, deathYear,\n"
           "                                     deathPlace, father or mother\n"
           "  find NAME                          the persons the name search finds for NAME\n"
           "                                     (such as \"J /Smith/\"), best match first\n"
           "  show KEY [--labels] [--expand-all] [--validate]\n"
           "                                     the record outline after a click on person\n"
           "                                     KEY: raw lines or labels, the level-0 line\n"
           "                                     or every line expanded, with colours\n"
           "  validate [--grammar SPECFILE]      the structure mark of every line of every\n"
           "                                     person, by the grammar of the file's version\n"
           "                                     (5.5 or 5.5.1) or SPECFILE\n"
           "  relatives KEY                      ROLE, ID and NAME of each relative of person\n"
           "                                     KEY: father, mother, sibling, spouse, child\n"
           "  problems [--validate] [--grammar SPECFILE]\n"
           "                                     LINE, KIND, ID and TEXT of every problem found,\n"
           "                                     by line; --validate adds the structure problems\n"
           "  ancestors KEY [--generations N]    SOSA, ID, NAME, BIRTH and DEATH of each known\n"
           "                                     ancestor of KEY over N generations (1 to 64,\n"
           "                                     by default 4, counting KEY); SOSA, ID and\n"
           "                                     =FIRST for a person listed before\n"
           "  descendants KEY [--generations N]  the same for descendants, numbered 1, 1.1,\n"
           "                                     1.2 ...; each family's partner as 1+\n"
           "  chart KEY [--generations N] [--descendants] --output FILE.svg\n"
           "                                     writes the ancestor (descendant) chart as SVG\n"
           "\n"
           "Exit status: 0 when FILE was read; 1 when it could not be read, KEY names no\n"
           "person, the grammar cannot be read or parsed, or the chart cannot be written;\n"
           "2 for a usage error.\n"
           "\n"
           "kinloom-cli --version prints the version, the ICU version and the licence.\n";
}

} // namespace kinloom::cli
