#pragma once

// Record trees for the grammar tests, made by the product's own loading.

#include "tree/LNGedcomNode.h"
#include "recordset/LNGedcomRecordSet.h"
#include "LNGedcomSpecification.h"
#include "tree/PreOrderWalk.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <string>
#include <vector>

namespace kinloom::testing {

/// The record roots of the GEDCOM text, as loading makes them (its log dropped).
inline std::vector<Ref<LNGedcomNode>> recordsFromText(const String& text) {
    LogCapture quiet;
    LNGedcomRecordSet set(&text, nullptr);
    std::vector<Ref<LNGedcomNode>> roots;
    for (const auto& record : *set.records())
        roots.push_back(record->root());
    return roots;
}

/// The lines of a subtree in pre-order, one per line, indented two blanks a
/// level, each followed by its mark: "INDI badchild\n  NAME good\n".
inline std::string marksOf(const LNNode* root) {
    std::string out;
    forEachPreOrder(root, [&](const LNNode* node, std::size_t depth) {
        const SharedString* mark = LNGedcomSpecification::markOf(node);
        out += std::string(2 * depth, ' ') + toUtf8(node->name()) + " " + (mark ? toUtf8(*mark) : "-") + "\n";
    });
    return out;
}

/// Validates the one record of the text against the grammar; its marks.
inline std::string validated(const LNGedcomSpecification& grammar, const String& text) {
    std::vector<Ref<LNGedcomNode>> records = recordsFromText(text);
    if (records.size() != 1) return "not one record";
    grammar.validateRecord(records.front().get());
    return marksOf(records.front().get());
}

} // namespace kinloom::testing
