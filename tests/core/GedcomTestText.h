#pragma once

// GEDCOM texts for the record tests, and a record set loaded from one.

#include "recordset/LNGedcomRecordSet.h"
#include "memory/SharedString.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kinloom::test {

/// The lines, each followed by the line end.
inline String gedcomText(std::initializer_list<std::string_view> lines, std::string_view lineEnd = "\n") {
    std::string text;
    for (std::string_view line : lines)
        text.append(line).append(lineEnd);
    return fromUtf8(text);
}

/// A record set over the text with its own error list and the log of loading.
struct LoadedText {
    explicit LoadedText(String text_) : text(std::move(text_)), set(&text, &errors), log(capture.lines()) {}
    LoadedText(std::initializer_list<std::string_view> lines) : LoadedText(gedcomText(lines)) {}
    /// The records in their line form, each line indented two blanks a level.
    std::string dump() const {
        std::string lines;
        for (const auto& record : *set.records())
            lines += toUtf8(record->root()->fullDescription());
        return lines;
    }

    String text;
    LogCapture capture;
    LNGedcomErrors errors;
    LNGedcomRecordSet set;
    std::vector<std::string> log;
};

} // namespace kinloom::test
