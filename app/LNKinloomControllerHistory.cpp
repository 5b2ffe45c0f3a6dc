// Selecting a person, and the history of persons visited.

#include "LNKinloomController.h"

namespace kinloom {

namespace {
constexpr int backSegment = 0;
constexpr int forwardSegment = 1;
} // namespace

void LNKinloomController::selectPerson(const SharedString& key, bool inTable, bool inQueue) {
    if (inTable && personTable_) {
        int row = rowOfKey(key.view());
        if (row >= 0) {
            personTable_->scrollRowToVisible(row);
            personTable_->selectRowIndexes(indexSetWithIndex(row), false);
        }
    }
    showInOutline(key);
    if (inQueue) addPersonQueue(key);
}

void LNKinloomController::showInOutline(const SharedString& key) {
    releaseSelectedRoot();
    selectedRoot_ = makeRef<LNGedcomNode>(-1, SharedString::interned(u"top"), SharedString());
    const auto& person = gedcomRecords_ ? gedcomRecords_->indiWithKey(key.view()) : nullptr;
    if (person) selectedRoot_->addChild(person->root());
    showRelatives(key);
    showChart(key);
    if (!personOutline_) return;
    personOutline_->reloadData();
    personOutline_->expandItem(personOutline_->itemAtRow(0));
}

void LNKinloomController::releaseSelectedRoot() {
    if (!selectedRoot_) return;
    // The record's root keeps no link to a node that is about to go.
    for (const Ref<LNNode>& shown : selectedRoot_->childList()) {
        if (shown->parent() == selectedRoot_.get()) shown->setParent(nullptr);
    }
    selectedRoot_.reset();
}

void LNKinloomController::tableCellClicked(LNView*) {
    if (!personTable_) return;
    LNGedcomIndiRecord* person = recordAtRow(personTable_->clickedRow());
    if (!person) return;
    int column = personTable_->clickedColumn();
    std::vector<LNTableColumn*> columns = personTable_->tableColumns();
    if (column < 0 || column >= static_cast<int>(columns.size())) return;
    StringView identifier = columns[static_cast<std::size_t>(column)]->identifier();

    SharedString key = person->key();
    StringView parentRoot = identifier == u"father"   ? u"fatherRoot"
                            : identifier == u"mother" ? u"motherRoot"
                                                      : u"";
    const AttributeValue* root = parentRoot.empty() ? nullptr : person->attributeForKey(parentRoot);
    if (const Ref<LNNode>* parent = root ? std::get_if<Ref<LNNode>>(root) : nullptr)
        key = static_cast<const LNGedcomNode*>(parent->get())->key();
    if (!key) return;
    selectPerson(key, true, true);
}

void LNKinloomController::navigate(LNView*) {
    if (!backForwardButton_) return;
    int segment = backForwardButton_->selectedSegment();
    if (segment == backSegment) {
        SharedString key = personQueue_.back();
        if (!key) return;
        selectPerson(key, true, false);
        backForwardButton_->setEnabled(personQueue_.index() > 0, backSegment);
        backForwardButton_->setEnabled(true, forwardSegment);
    } else if (segment == forwardSegment) {
        SharedString key = personQueue_.forward();
        if (!key) return;
        selectPerson(key, true, false);
        backForwardButton_->setEnabled(true, backSegment);
        backForwardButton_->setEnabled(personQueue_.index() < personQueue_.count() - 1, forwardSegment);
    }
}

void LNKinloomController::addPersonQueue(const SharedString& key) {
    SharedString current = personQueue_.currentObject();
    if (current && current == key) return;
    personQueue_.addObject(key);
    if (!backForwardButton_) return;
    backForwardButton_->setEnabled(personQueue_.count() > 1, backSegment);
    backForwardButton_->setEnabled(false, forwardSegment);
}

void LNKinloomController::clearPersonQueue() {
    if (backForwardButton_) {
        backForwardButton_->setEnabled(false, backSegment);
        backForwardButton_->setEnabled(false, forwardSegment);
    }
    personQueue_.clear();
}

} // namespace kinloom
