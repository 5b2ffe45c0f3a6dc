#include "support/LoadStages.h"

#include "support/LNProgress.h"

#include <string_view>

namespace kinloom {

namespace {

LoadStages::Observer theObserver = nullptr;
void* theContext = nullptr;

} // namespace

void LoadStages::setObserver(Observer observer, void* context) {
    theObserver = observer;
    theContext = context;
}

void LoadStages::ended(const char* stage) {
    if (theObserver) theObserver(stage, theContext);
    // The same points move a window's progress on: the records are read
    // after the text is decoded, and the links checked in three steps.
    struct Next {
        std::string_view ended;
        LNProgress::Stage stage;
        int step;
    };
    constexpr Next nexts[] = {{"start of record set", LNProgress::Stage::records, 0},
                              {"assemble", LNProgress::Stage::links, 0},
                              {"index", LNProgress::Stage::links, 1},
                              {"name index", LNProgress::Stage::links, 2},
                              {"link validation", LNProgress::Stage::links, 3}};
    for (const Next& next : nexts) {
        if (next.ended == stage) LNProgress::tell(next.stage, next.step, 3);
    }
}

} // namespace kinloom
