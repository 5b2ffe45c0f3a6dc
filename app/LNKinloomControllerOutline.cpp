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
String summary(const LNNode& node, StringView label, GedcomStandard standard) {
    SharedString date = dateString(&node);
    SharedString place = placeString(&node);
    if (date && place)
        return labelled(label, date.view()) + u", " + String(payloadText(standard, place.view()));
    if (date) return labelled(label, date.view());
    if (place) return labelled(label, payloadText(standard, place.view()));
    if (SharedString name = nameString(&node)) return labelled(label, payloadText(standard, name.view()));
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

    const String label = labelOf(node->name().view());
    if (node->value()) return labelled(label, valueText(*node));
    if (outline && outline->isItemExpanded(node)) return label;
    return summary(*node, label, shown_->records ? shown_->records->standard() : GedcomStandard::Gedcom55);
}

String LNKinloomController::labelOf(StringView tag) const {
    const LabelMap& labels = gedcomLabelMap();
    if (auto entry = labels.find(tag); entry != labels.end()) return String(entry->second);
    if (!shown_->records || !shown_->records->version().isSeven()) return toLower(tag);
    if (auto entry = gedcom7LabelMap().find(tag); entry != gedcom7LabelMap().end())
        return String(entry->second);
    // An extension tag the header's schema documents is shown with its URI.
    const StringView uri = shown_->records->schemaUri(tag);
    return uri.empty() ? toLower(tag) : String(tag) + u" (" + String(uri) + u")";
}

// A GEDCOM 7 shared note's text stands where a pointer names it.
String LNKinloomController::valueText(const LNNode& node) const {
    const GedcomStandard standard = shown_->records ? shown_->records->standard() : GedcomStandard::Gedcom55;
    const StringView value = node.value().view();
    if (standard == GedcomStandard::Gedcom7 && node.name() == u"SNOTE" && isCrossReference(value)) {
        const auto& note = shown_->records->recordWithKey(value);
        if (note && note->tag() == u"SNOTE") {
            // Its CONT lines join the first, on one row.
            const LNNode& root = *note->root();
            String text(payloadText(standard, root.value().view()));
            for (int i = 0; i < root.numChildren(); ++i)
                if (root.childAt(i)->name() == u"CONT")
                    text += u' ' + String(payloadText(standard, root.childAt(i)->value().view()));
            return text;
        }
    }
    return String(payloadText(standard, value));
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
