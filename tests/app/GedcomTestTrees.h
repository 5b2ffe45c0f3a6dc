#pragma once

#include "LNGedcomNode.h"
#include "LNGedcomSpecification.h"

#include <optional>
#include <string>
#include <vector>

namespace kinloom::testing {

/// Record trees from GEDCOM text, each line hung below the last line of a
/// lower level: a stand-in for the record assembler in tests and tools.
/// Lines that do not parse are left out; a line's number is its physical
/// line (CR LF, CR and LF each end one).
std::vector<Ref<LNGedcomNode>> recordsFromText(StringView text);

/// The text of a GEDCOM test file read as UTF-8 without byte-order mark.
/// ANSEL bytes become U+FFFD in values, which leaves the tags intact.
/// Absent when the file cannot be read or is UTF-16 (it holds NUL bytes).
std::optional<String> readTestFile(const std::string& path);

/// The lines of a subtree in pre-order, one per line, indented two blanks a
/// level, each followed by its mark: "INDI badchild\n  NAME good\n".
std::string marksOf(const LNNode* root);

/// The test data folder shared between projects, from the repository root.
inline const char* sharedTestData() {
    return "../shared/testdata";
}

} // namespace kinloom::testing
