#include "LNGedcomErrors.h"

#include "SystemLog.h"
#include "TextServices.h"

namespace kinloom {

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line));
    ++numErrors_;
}

void LNGedcomErrors::addError(ErrorKind kind, std::int32_t line, StringView argOne) {
    systemLog("just added error " + toUtf8(kind) + " at line " + std::to_string(line) + " with arg " +
              toUtf8(argOne));
    ++numErrors_;
}

void LNGedcomErrors::addObject(StringView text) {
    systemLog("DEPRECATED call to LNGedcomErrors addObject with string: " + toUtf8(text));
    ++numErrors_;
}

} // namespace kinloom
