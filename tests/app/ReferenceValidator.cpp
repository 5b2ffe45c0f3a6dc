#include "ReferenceValidator.h"

#include <algorithm>
#include <variant>

namespace kinloom::testing {

namespace {

StringView typeOf(const LNNode* item) {
    const SharedString* type = attributeString(item->attributeForKey(u"type"));
    return type ? type->view() : StringView();
}

void mark(LNNode* node, StringView code) {
    node->setAttribute(SharedString(code), u"validcode");
}

bool isGood(const LNNode* node) {
    const SharedString* code = LNGedcomSpecification::markOf(node);
    return code && *code == u"good";
}

} // namespace

void ReferenceValidator::validateRecord(LNNode* root) const {
    auto record = specification_.recordMap().find(root->name());
    if (record != specification_.recordMap().end()) validateList(root, record->second.get());
    setBads(root);
    setBadChildren(root);
}

bool ReferenceValidator::validateList(LNNode* node, const LNNode* alternatives) const {
    mark(node, u"good");
    bool allFit = true;
    for (int i = 0; i < node->numChildren(); ++i) {
        LNNode* child = node->childAt(i);
        if (validateNode(child, alternatives))
            mark(child, u"good");
        else
            allFit = false;
    }
    return allFit;
}

bool ReferenceValidator::validateNode(LNNode* node, const LNNode* alternatives) const {
    std::vector<const LNNode*> rulePath;
    return validateNode(node, alternatives, rulePath);
}

bool ReferenceValidator::validateNode(LNNode* node, const LNNode* alternatives,
                                      std::vector<const LNNode*>& rulePath) const {
    for (int i = 0; alternatives && i < alternatives->numChildren(); ++i) {
        const LNNode* item = alternatives->childAt(i);
        bool fits = false;
        if (typeOf(item) == u"rule") {
            auto rule = specification_.ruleMap().find(item->name());
            if (rule == specification_.ruleMap().end()) continue;
            const LNNode* ruleNode = rule->second.get();
            if (std::find(rulePath.begin(), rulePath.end(), ruleNode) != rulePath.end()) continue;
            rulePath.push_back(ruleNode);
            fits = validateNode(node, ruleNode, rulePath);
            rulePath.pop_back();
        } else if (typeOf(item) == u"tagset") {
            const auto* tags = std::get_if<std::vector<String>>(item->attributeForKey(u"tagarray"));
            bool accepted = tags && std::find(tags->begin(), tags->end(), node->name().view()) != tags->end();
            fits = accepted && validateList(node, item);
        } else {
            fits = item->name() == node->name() && validateList(node, item);
        }
        if (fits) {
            mark(node, u"good");
            return true;
        }
    }
    return false;
}

void ReferenceValidator::setBads(LNNode* node) {
    for (int i = 0; i < node->numChildren(); ++i)
        setBads(node->childAt(i));
    if (!LNGedcomSpecification::markOf(node)) mark(node, u"bad");
}

void ReferenceValidator::setBadChildren(LNNode* node) {
    if (!isGood(node)) return;
    for (int i = 0; i < node->numChildren(); ++i) {
        setBadChildren(node->childAt(i));
        if (!isGood(node->childAt(i))) mark(node, u"badchild");
    }
}

} // namespace kinloom::testing
