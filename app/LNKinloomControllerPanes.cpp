// The relatives and problems panes.

#include "LNKinloomController.h"

#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <algorithm>
#include <typeinfo>

namespace kinloom {

namespace {

// The record whose lines include the line number: the last one starting at
// or before it. Records are in file order, so their first lines ascend.
const LNGedcomRecord* recordHoldingLine(const LNGedcomRecordSet& records, std::int32_t line) {
    const RecordList* list = records.records();
    if (!list || line <= 0) return nullptr;
    auto after = std::upper_bound(list->begin(), list->end(), line, [](std::int32_t at, const auto& record) {
        return at < record->lineNumber();
    });
    return after == list->begin() ? nullptr : std::prev(after)->get();
}

// The role as the pane shows it.
String roleLabel(LNRelativeRole role) {
    String label = fromUtf8(std::string(relativeRoleName(role)));
    label[0] = static_cast<char16_t>(label[0] - u'a' + u'A');
    return label;
}

// The person's value as the table stores it for that column.
std::optional<String> attributeText(const LNGedcomRecord& person, StringView key) {
    const SharedString* text = attributeString(person.attributeForKey(key));
    return text ? std::optional<String>(text->str()) : std::nullopt;
}

} // namespace

void LNKinloomController::showRelatives(const SharedString& key) {
    const auto& person = gedcomRecords_ && key ? gedcomRecords_->indiWithKey(key.view()) : nullptr;
    relatives_ = person ? gedcomRecords_->relativesOfIndi(*person) : std::vector<LNGedcomRelative>();
    if (relativesTable_) relativesTable_->reloadData();
}

void LNKinloomController::rebuildProblemRows() {
    problemRows_.clear();
    const LNGedcomErrors* errors = gedcomFile_ ? gedcomFile_->errors() : nullptr;
    if (gedcomRecords_ && errors) {
        const std::vector<LNGedcomProblem>* lists[] = {&errors->problems(), &structureProblems_};
        for (const std::vector<LNGedcomProblem>* list : lists)
            for (const LNGedcomProblem& problem : *list)
                problemRows_.push_back({problem.line, problem.kind,
                                        recordHoldingLine(*gedcomRecords_, problem.line),
                                        problemWords(problem)});
        std::stable_sort(problemRows_.begin(), problemRows_.end(),
                         [](const LNProblemRow& a, const LNProblemRow& b) { return a.line < b.line; });
    }
    if (problemsTable_) problemsTable_->reloadData();
}

std::optional<String> LNKinloomController::paneValue(LNTableView* table, StringView column, int row) const {
    if (table == relativesTable_) {
        if (row < 0 || row >= static_cast<int>(relatives_.size())) return std::nullopt;
        const LNGedcomRelative& relative = relatives_[static_cast<std::size_t>(row)];
        if (column == u"role") return roleLabel(relative.role);
        return attributeText(*relative.indi, column);
    }
    if (row < 0 || row >= static_cast<int>(problemRows_.size())) return std::nullopt;
    const LNProblemRow& problem = problemRows_[static_cast<std::size_t>(row)];
    if (column == u"line") return fromUtf8(std::to_string(problem.line));
    if (column == u"kind") return String(problem.kind);
    if (column == u"id")
        return problem.record && problem.record->key() ? String(stripAts(problem.record->key().view()))
                                                       : String();
    return problem.text;
}

void LNKinloomController::relativeClicked(LNView*) {
    if (!relativesTable_) return;
    const int row = relativesTable_->clickedRow();
    if (row < 0 || row >= static_cast<int>(relatives_.size())) return;
    // Copied: showing the relative replaces the list.
    const SharedString key = relatives_[static_cast<std::size_t>(row)].indi->key();
    selectPerson(key, true, true);
}

void LNKinloomController::problemClicked(LNView*) {
    if (!problemsTable_ || !gedcomRecords_) return;
    const int row = problemsTable_->clickedRow();
    if (row < 0 || row >= static_cast<int>(problemRows_.size())) return;
    const LNGedcomRecord* record = problemRows_[static_cast<std::size_t>(row)].record;
    if (!record) return;
    const std::int32_t line = problemRows_[static_cast<std::size_t>(row)].line;
    const bool isPerson = typeid(*record) == typeid(LNGedcomIndiRecord) && record->key() &&
                          gedcomRecords_->indiWithKey(record->key().view()).get() == record;
    if (isPerson)
        selectPerson(record->key(), true, true);
    else
        showRecordInOutline(record, SharedString());
    if (!personOutline_) return;
    LNNode* found = nullptr;
    forEachPreOrder(record->root().get(), [&](LNNode* node, std::size_t) {
        if (!found && static_cast<const LNGedcomNode*>(node)->lineNumber() == line) found = node;
        return !found;
    });
    if (found) personOutline_->selectItem(found);
}

} // namespace kinloom
