#include "LNApplication.h"

#include <algorithm>
#include <vector>

namespace kinloom {

namespace {
// Every live application, newest last; tests make several in turn.
std::vector<LNApplication*>& liveApplications() {
    static std::vector<LNApplication*> applications;
    return applications;
}
} // namespace

LNApplication::LNApplication() {
    liveApplications().push_back(this);
}

LNApplication::~LNApplication() {
    auto& applications = liveApplications();
    applications.erase(std::remove(applications.begin(), applications.end(), this), applications.end());
}

LNApplication* LNApplication::sharedApplication() {
    auto& applications = liveApplications();
    return applications.empty() ? nullptr : applications.back();
}

} // namespace kinloom
