#include "LNHeadlessBundle.h"

namespace kinloom {

std::optional<std::string> LNHeadlessBundle::pathForResource(StringView name, StringView type) const {
    auto found = paths_.find({String(name), String(type)});
    if (found != paths_.end()) return found->second;
    return folders_.pathForResource(name, type);
}

void LNHeadlessBundle::setPathForResource(StringView name, StringView type, std::string path) {
    paths_.insert_or_assign({String(name), String(type)}, std::move(path));
}

} // namespace kinloom
