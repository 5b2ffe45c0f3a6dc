#include "LNResourceBundle.h"

#include "support/TextServices.h"

#include <filesystem>
#include <system_error>

namespace kinloom {

LNResourceBundle LNResourceBundle::nextToExecutable() {
    std::error_code error;
    std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return LNResourceBundle({});
    std::filesystem::path folder = executable.parent_path();
    return LNResourceBundle(
        {folder.string(), (folder / ".." / "share" / "kinloom").lexically_normal().string()});
}

std::optional<std::string> LNResourceBundle::pathForResource(StringView name, StringView type) const {
    std::string fileName = toUtf8(name) + "." + toUtf8(type);
    for (const std::string& directory : directories_) {
        std::filesystem::path path = std::filesystem::path(directory) / fileName;
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error)) return path.string();
    }
    return std::nullopt;
}

} // namespace kinloom
