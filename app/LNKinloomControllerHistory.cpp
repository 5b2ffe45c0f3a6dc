// Selecting a person, and the history of persons visited.

#include "LNKinloomController.h"

namespace kinloom {

namespace {
constexpr int backSegment = 0;
constexpr int forwardSegment = 1;
} // namespace

void LNKinloomController::selectPerson(const SharedString& key, bool inTable, bool inQueue) {
    showStatus(u"");
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
    const auto& person = shown_->records ? shown_->records->indiWithKey(key.view()) : nullptr;
    showRecordInOutline(person.get(), key);
}

void LNKinloomController::showRecordInOutline(const LNGedcomRecord* record, const SharedString& personKey) {
    shown_->detachSelectedRoot();
    shown_->selectedRoot = makeRef<LNGedcomNode>(-1, SharedString::interned(u"top"), SharedString());
    if (record) shown_->selectedRoot->addChild(record->root());
    showRelatives(personKey);
    showChart(personKey);
    if (!personOutline_) return;
    personOutline_->reloadData();
    personOutline_->expandItem(personOutline_->itemAtRow(0));
}

void LNKinloomController::tableCellClicked(LNView*) {
    if (!personTable_) return;
    LNGedcomIndiRecord* person = personAtRow(personTable_->clickedRow());
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
        SharedString key = shown_->history.back();
        if (!key) return;
        selectPerson(key, true, false);
        backForwardButton_->setEnabled(shown_->history.index() > 0, backSegment);
        backForwardButton_->setEnabled(true, forwardSegment);
    } else if (segment == forwardSegment) {
        SharedString key = shown_->history.forward();
        if (!key) return;
        selectPerson(key, true, false);
        backForwardButton_->setEnabled(true, backSegment);
        backForwardButton_->setEnabled(shown_->history.index() < shown_->history.count() - 1, forwardSegment);
    }
}

void LNKinloomController::addPersonQueue(const SharedString& key) {
    SharedString current = shown_->history.currentObject();
    if (current && current == key) return;
    shown_->history.addObject(key);
    if (!backForwardButton_) return;
    backForwardButton_->setEnabled(shown_->history.count() > 1, backSegment);
    backForwardButton_->setEnabled(false, forwardSegment);
}

void LNKinloomController::clearPersonQueue() {
    if (backForwardButton_) {
        backForwardButton_->setEnabled(false, backSegment);
        backForwardButton_->setEnabled(false, forwardSegment);
    }
    shown_->history.clear();
}

} // namespace kinloom
