// The record outline: the shown person's lines, raw or labelled, and their colours.

#include "LNKinloomController.h"

#include "support/TextServices.h"

namespace kinloom {

namespace {

SharedString childValue(const LNNode* node, StringView tag) {
    const LNNode* child = node ? node->childWithName(tag) : nullptr;
    return child ? child->value() : SharedString();
}

String labelled(StringView label, StringView text) {
    String result(label);
    result += u": ";
    result += text;
    return result;
}

// A collapsed line without value: its date and place, else its name.
String summary(const LNNode& node, StringView label) {
    SharedString date = dateString(&node);
    SharedString place = placeString(&node);
    if (date && place) return labelled(label, date.view()) + u", " + place.str();
    if (date) return labelled(label, date.view());
    if (place) return labelled(label, place.view());
    if (SharedString name = nameString(&node)) return labelled(label, name.view());
    return String(label);
}

} // namespace

SharedString dateString(const LNNode* node) {
    return childValue(node, u"DATE");
}
SharedString placeString(const LNNode* node) {
    return childValue(node, u"PLAC");
}
SharedString nameString(const LNNode* node) {
    return childValue(node, u"NAME");
}

int LNKinloomController::numberOfChildrenOfItem(LNOutlineView*, LNNode* item) {
    LNNode* node = item ? item : shown_->selectedRoot.get();
    return node ? node->numChildren() : 0;
}

bool LNKinloomController::isItemExpandable(LNOutlineView* outline, LNNode* item) {
    return numberOfChildrenOfItem(outline, item) > 0;
}

LNNode* LNKinloomController::child(LNOutlineView*, int index, LNNode* item) {
    LNNode* node = item ? item : shown_->selectedRoot.get();
    if (!node || index < 0 || index >= node->numChildren()) return nullptr;
    return node->childAt(index);
}

std::optional<String> LNKinloomController::objectValueForTableColumn(LNOutlineView* outline, LNTableColumn*,
                                                                     LNNode* item) {
    LNNode* node = item ? item : shown_->selectedRoot.get();
    if (!node) return std::nullopt;
    if (outlineMode_ == 0) return node->description();

    const LabelMap& labels = gedcomLabelMap();
    auto entry = labels.find(node->name().view());
    String label = entry != labels.end() ? String(entry->second) : toLower(node->name().view());
    if (node->value()) return labelled(label, node->value().view());
    if (outline && outline->isItemExpanded(node)) return label;
    return summary(*node, label);
}

void LNKinloomController::willDisplayCell(LNOutlineView*, LNCell& cell, LNTableColumn*, LNNode* item) {
    LNNode* node = item ? item : shown_->selectedRoot.get();
    cell.setTextColor(node ? textColorOf(node, LNColor::redColor()) : LNColor::blackColor());
}

void LNKinloomController::changeMode(LNView*) {
    if (!checkBox_) return;
    outlineMode_ = checkBox_->state() == LNButton::offState ? 1 : 0;
    if (personOutline_) personOutline_->reloadData();
}

} // namespace kinloom
