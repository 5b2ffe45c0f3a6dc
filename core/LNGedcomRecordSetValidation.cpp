#include "LNGedcomRecordSet.h"

namespace kinloom {

// The link checks are added here; until then loading validates nothing.
bool LNGedcomRecordSet::validate() {
    return true;
}

} // namespace kinloom
