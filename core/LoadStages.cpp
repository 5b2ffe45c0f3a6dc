#include "LoadStages.h"

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
}

} // namespace kinloom
