#pragma once

// Builds GEDCOM texts and line lists for the record tests.

#include "SharedString.h"
#include "TextServices.h"

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace kinloom::test {

/// The lines, each followed by the line end.
inline String gedcomText(std::initializer_list<std::string_view> lines, std::string_view lineEnd = "\n") {
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += lineEnd;
    }
    return fromUtf8(text);
}

/// Owned UTF-16 lines and views of them, as the assembler takes them.
struct GedcomLines {
    GedcomLines(std::initializer_list<std::string_view> lines) {
        for (std::string_view line : lines)
            texts.push_back(fromUtf8(line));
        for (const String& text : texts)
            views.emplace_back(text);
    }
    std::vector<String> texts;
    std::vector<StringView> views;
};

} // namespace kinloom::test
