// A grammar text through the specification reader, then validation of a
// fixed set of records against whatever grammar it made, checked against a
// plain validator that matches every alternative afresh.

#include "FuzzText.h"
#include "records/LNGedcomRecord.h"
#include "LNGedcomSpecification.h"
#include "tree/PreOrderWalk.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <string>
#include <variant>
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

/// The structure check written the plain way: a line fits an alternative
/// list when one item fits it, matched afresh each time; a rule item naming
/// a rule already being expanded for the same line does not fit.
class PlainValidator {
  public:
    explicit PlainValidator(const LNGedcomSpecification& grammar) : grammar_(grammar) {}

    void validateRecord(LNNode* root) const {
        auto rule = grammar_.recordMap().find(root->name());
        if (rule != grammar_.recordMap().end()) validateList(root, rule->second.get());
        forEachPreOrder(
            root, [](LNNode*, std::size_t) {},
            [](LNNode* node, std::size_t) {
                if (!LNGedcomSpecification::markOf(node)) mark(node, u"bad");
            });
        setBadChildren(root);
    }

  private:
    static void mark(LNNode* node, StringView code) { node->setAttribute(SharedString(code), u"validcode"); }
    static bool good(const LNNode* node) { return *LNGedcomSpecification::markOf(node) == u"good"; }

    // Whether every child fits; the children that fit are marked good.
    bool validateList(LNNode* node, const LNNode* alternatives) const {
        mark(node, u"good");
        bool all = true;
        for (int i = 0; i < node->numChildren(); ++i) {
            std::vector<const LNNode*> rulePath;
            const bool fit = fits(node->childAt(i), alternatives, rulePath);
            if (fit) mark(node->childAt(i), u"good");
            all &= fit;
        }
        return all;
    }

    bool fits(LNNode* node, const LNNode* alternatives, std::vector<const LNNode*>& rulePath) const {
        for (int i = 0; alternatives && i < alternatives->numChildren(); ++i) {
            const LNNode* item = alternatives->childAt(i);
            const SharedString* type = attributeString(item->attributeForKey(u"type"));
            bool fit = false;
            if (type && *type == u"rule") {
                auto rule = grammar_.ruleMap().find(item->name());
                if (rule == grammar_.ruleMap().end() || std::ranges::count(rulePath, rule->second.get()))
                    continue;
                rulePath.push_back(rule->second.get());
                fit = fits(node, rule->second.get(), rulePath);
                rulePath.pop_back();
            } else if (type && *type == u"tagset") {
                const auto* tags = std::get_if<std::vector<String>>(item->attributeForKey(u"tagarray"));
                fit = tags && std::ranges::count(*tags, node->name().str()) && validateList(node, item);
            } else {
                fit = item->name() == node->name() && validateList(node, item);
            }
            if (fit) return true;
        }
        return false;
    }

    static void setBadChildren(LNNode* node) {
        if (!good(node)) return;
        for (int i = 0; i < node->numChildren(); ++i) {
            setBadChildren(node->childAt(i));
            if (!good(node->childAt(i))) mark(node, u"badchild");
        }
    }

    const LNGedcomSpecification& grammar_;
};

std::string marksOf(const LNNode* root) {
    std::string marks;
    forEachPreOrder(root, [&](const LNNode* node, std::size_t depth) {
        marks += std::string(depth, ' ') + toUtf8(*LNGedcomSpecification::markOf(node)) + "\n";
    });
    return marks;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogCapture quiet;
    std::unique_ptr<LNGedcomSpecification> grammar =
        LNGedcomSpecification::initFromString(fuzz::widened(fuzz::bytesOf(data, size)));
    if (!grammar) return 0;
    auto mine = LNGedcomRecord::gedcomRecordsFromText(records, 0, nullptr);
    auto plain = LNGedcomRecord::gedcomRecordsFromText(records, 0, nullptr);
    PlainValidator reference(*grammar);
    for (std::size_t i = 0; i < mine->size(); ++i) {
        grammar->validateRecord((*mine)[i]->root().get());
        reference.validateRecord((*plain)[i]->root().get());
        fuzz::check(marksOf((*mine)[i]->root().get()) == marksOf((*plain)[i]->root().get()),
                    "grammar marks as matching every alternative afresh");
    }
    return 0;
}
