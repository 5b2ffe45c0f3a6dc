#include "LNVersion.h"

#include "KinloomBuild.h"

#include <unicode/uversion.h>

namespace kinloom {

std::string versionText(std::string_view toolkitLine) {
    UVersionInfo version;
    u_getVersion(version);
    char icu[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(version, icu);
    std::string text = "Kinloom " KINLOOM_VERSION "\nICU " + std::string(icu) + "\n";
    if (!toolkitLine.empty()) text.append(toolkitLine).append("\n");
    return text + KINLOOM_LICENSE "\n";
}

} // namespace kinloom
