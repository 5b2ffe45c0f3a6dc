#include "support/LoadStages.h"

#include <iterator>
#include <string_view>

namespace kinloom {

namespace {

LoadStages::Observer theObserver = nullptr;
void* theContext = nullptr;

// Where each step of loading sits in a window's progress, in the order the
// steps run: the steps of a stage share it equally. A step ended by one of
// the named points moves the progress on to the next step's start (the last
// to its own end), so that a file too small for a meter to tell still shows
// each stage.
struct Step {
    std::string_view name;
    std::string_view endPoint;
    LNProgress::Stage stage;
    int part;
    int parts;
};
using enum LNProgress::Stage;
constexpr Step steps[] = {
    {"read", "", reading, 0, 1},
    {"histogram", "", decoding, 0, 3},
    {"UTF-8 check", "", decoding, 1, 3},
    {"decode", "start of record set", decoding, 2, 3},
    {"assemble", "assemble", records, 0, 1},
    {"index", "index", links, 0, 5},
    {"name index", "name index", links, 1, 5},
    {"references", "", links, 2, 5},
    {"persons", "", links, 3, 5},
    {"families", "link validation", links, 4, 5},
};

} // namespace

void LoadStages::setObserver(Observer observer, void* context) {
    theObserver = observer;
    theContext = context;
}

void LoadStages::ended(const char* stage) {
    if (theObserver) theObserver(stage, theContext);
    for (auto step = std::begin(steps); step != std::end(steps); ++step) {
        if (step->endPoint != stage) continue;
        if (const auto next = step + 1; next != std::end(steps))
            LNProgress::tell(next->stage, next->part, next->parts);
        else
            LNProgress::tell(step->stage, step->parts, step->parts);
    }
}

LNProgress::Meter LoadStages::meter(std::string_view step, std::uint64_t total) {
    for (const Step& known : steps)
        if (known.name == step) return LNProgress::Meter(known.stage, total, known.part, known.parts);
    return LNProgress::Meter();
}

} // namespace kinloom
