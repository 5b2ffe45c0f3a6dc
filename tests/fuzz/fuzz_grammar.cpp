// A grammar text through the specification reader, then validation of a
// fixed set of records against whatever grammar it made.

#include "FuzzText.h"
#include "LNGedcomRecord.h"
#include "LNGedcomSpecification.h"
#include "SystemLog.h"

#include <cstdlib>
#include <vector>

using namespace kinloom;

namespace {

// Lines the shipped grammar accepts, lines it does not, and nesting deeper
// than any rule.
constexpr StringView records = u"0 HEAD\n1 SOUR Kinloom\n2 VERS 0.2\n1 CHAR UTF-8\n1 GEDC\n2 VERS 5.5\n"
                               u"0 @I1@ INDI\n1 NAME John /Smith/\n2 SURN Smith\n1 SEX M\n"
                               u"1 BIRT\n2 DATE 1 JAN 1900\n2 PLAC Here\n3 MAP\n4 LATI N1\n"
                               u"1 FAMS @F1@\n1 FAMC @F2@\n2 PEDI birth\n1 NOTE a\n2 CONT b\n"
                               u"1 _CUSTOM x\n2 DEEP\n3 DEEPER\n4 DEEPEST\n1 SOUR @S1@\n2 PAGE 1\n"
                               u"0 @F1@ FAM\n1 HUSB @I1@\n1 CHIL @I2@\n1 MARR\n2 DATE 1920\n"
                               u"0 @S1@ SOUR\n1 TITL Book\n0 TRLR\n";

/// Whether every line of the tree carries a mark.
bool allMarked(const LNNode* root) {
    std::vector<const LNNode*> pending{root};
    while (!pending.empty()) {
        const LNNode* node = pending.back();
        pending.pop_back();
        if (!LNGedcomSpecification::markOf(node)) return false;
        for (const auto& child : node->childList())
            pending.push_back(child.get());
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogCapture quiet;
    std::unique_ptr<LNGedcomSpecification> grammar =
        LNGedcomSpecification::initFromString(fuzz::widened(fuzz::bytesOf(data, size)));
    if (!grammar) return 0;
    auto list = LNGedcomRecord::gedcomRecordsFromText(records, 0, nullptr);
    for (const auto& record : *list) {
        grammar->validateRecord(record->root().get());
        if (!allMarked(record->root().get())) std::abort();
    }
    return 0;
}
