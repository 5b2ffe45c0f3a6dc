// The relatives and problems panes.

#include "LNKinloomController.h"

#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <algorithm>
#include <typeinfo>
#include <unordered_set>

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

bool isOfSpousalFamily(const LNGedcomRelative& relative) {
    return relative.role == LNRelativeRole::spouse || relative.role == LNRelativeRole::child;
}

// The relatives pane's rows: with more than one spousal family, a heading
// line before each family's partners and children, so that it is clear
// whose children are whose.
std::vector<std::size_t> paneRowsOf(const std::vector<LNGedcomRelative>& relatives) {
    std::vector<std::size_t> rows;
    std::size_t families = 0;
    const LNGedcomFamRecord* last = nullptr;
    for (const LNGedcomRelative& relative : relatives)
        if (isOfSpousalFamily(relative) && relative.family.get() != last) {
            last = relative.family.get();
            ++families;
        }
    last = nullptr;
    for (std::size_t i = 0; i < relatives.size(); ++i) {
        const LNGedcomRelative& relative = relatives[i];
        if (families > 1 && isOfSpousalFamily(relative) && relative.family.get() != last) {
            last = relative.family.get();
            rows.push_back(LNShownFile::noRelative);
        }
        rows.push_back(i);
    }
    return rows;
}

// The heading line of a spousal family: its key, the first partner, the
// marriage date: "F5 with Mary Jones, m. 1890".
String familyHeading(const std::vector<LNGedcomRelative>& relatives, std::size_t next) {
    const LNGedcomFamRecord& family = *relatives[next].family;
    String heading = family.key() ? String(stripAts(family.key().view())) : String(u"?");
    for (std::size_t i = next; i < relatives.size() && relatives[i].family.get() == &family; ++i) {
        if (relatives[i].role != LNRelativeRole::spouse) continue;
        if (std::optional<String> name = relatives[i].indi->nameSurnameFirst(false, false, 64))
            heading += u" with " + *name;
        break;
    }
    const LNNode* marriage = family.root()->childWithName(u"MARR");
    if (SharedString date = marriage ? dateString(marriage) : SharedString())
        heading += u", m. " + date.str();
    return heading;
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
    const auto& person = shown_->records && key ? shown_->records->indiWithKey(key.view()) : nullptr;
    shown_->relatives = person ? shown_->records->relativesOfIndi(*person) : std::vector<LNGedcomRelative>();
    shown_->relativeRows = paneRowsOf(shown_->relatives);
    if (relativesTable_) relativesTable_->reloadData();
}

void LNKinloomController::rebuildProblemRows() {
    std::vector<LNProblemRow>& rows = shown_->problemRows;
    rows.clear();
    const LNGedcomErrors* errors = shown_->file ? shown_->file->errors() : nullptr;
    if (shown_->records && errors) {
        const std::vector<LNGedcomProblem>* lists[] = {&errors->problems(), &shown_->structureProblems};
        rows.reserve(lists[0]->size() + lists[1]->size());
        for (const std::vector<LNGedcomProblem>* list : lists)
            for (const LNGedcomProblem& problem : *list) {
                // A report logged at no line is shown at its record's.
                const std::int32_t line = problem.line ? problem.line : problem.recordLine;
                rows.push_back({line, 0, &problem, recordHoldingLine(*shown_->records, line)});
            }
        dropRepeatedRows(rows);
        numberAsEditor(rows);
    }
    if (problemsTable_) problemsTable_->reloadData();
}

// In line order, reports of one line in the order made; of reports of one
// line and one text, the first. Only reports that share a line are worded.
void LNKinloomController::dropRepeatedRows(std::vector<LNProblemRow>& rows) {
    auto byLine = [](const LNProblemRow& a, const LNProblemRow& b) { return a.line < b.line; };
    // Often in line order already, as a load reports record by record: then
    // the sort and its buffer are spared.
    if (!std::is_sorted(rows.begin(), rows.end(), byLine)) std::stable_sort(rows.begin(), rows.end(), byLine);
    auto kept = rows.begin();
    for (auto run = rows.begin(); run != rows.end();) {
        auto end =
            std::find_if(run, rows.end(), [&](const LNProblemRow& row) { return row.line != run->line; });
        std::unordered_set<String> said;
        for (auto row = run; row != end; ++row)
            if (end - run == 1 || said.insert(problemWords(*row->problem)).second) *kept++ = *row;
        run = end;
    }
    rows.erase(kept, rows.end());
}

// Numbers the rows' lines as an editor does, reading the text once, as far
// as the last line; the rows are in line order.
void LNKinloomController::numberAsEditor(std::vector<LNProblemRow>& rows) {
    const std::optional<String>& text = shown_->file->string();
    if (!rows.empty() && text) shown_->editorLines = EditorLines(*text, rows.back().line);
    for (LNProblemRow& row : rows)
        row.editorLine = shown_->editorLines.lineOf(row.line);
}

std::optional<String> LNKinloomController::paneValue(LNTableView* table, StringView column, int row) const {
    if (table == relativesTable_) {
        const std::vector<std::size_t>& rows = shown_->relativeRows;
        if (row < 0 || row >= static_cast<int>(rows.size())) return std::nullopt;
        const auto at = static_cast<std::size_t>(row);
        if (rows[at] == LNShownFile::noRelative) {
            if (column == u"role") return String(u"Family");
            return column == u"name" ? std::optional<String>(familyHeading(shown_->relatives, rows[at + 1]))
                                     : std::nullopt;
        }
        const LNGedcomRelative& relative = shown_->relatives[rows[at]];
        if (column == u"role") return roleLabel(relative.role);
        return attributeText(*relative.indi, column);
    }
    if (row < 0 || row >= static_cast<int>(shown_->problemRows.size())) return std::nullopt;
    const LNProblemRow& problem = shown_->problemRows[static_cast<std::size_t>(row)];
    if (column == u"line") return fromUtf8(std::to_string(problem.editorLine));
    if (column == u"kind") return String(problem.problem->kind);
    if (column == u"id")
        return problem.record && problem.record->key() ? String(stripAts(problem.record->key().view()))
                                                       : String();
    return problemWords(*problem.problem);
}

void LNKinloomController::relativeClicked(LNView*) {
    if (!relativesTable_) return;
    const int row = relativesTable_->clickedRow();
    const std::vector<std::size_t>& rows = shown_->relativeRows;
    if (row < 0 || row >= static_cast<int>(rows.size())) return;
    const std::size_t relative = rows[static_cast<std::size_t>(row)];
    if (relative == LNShownFile::noRelative) return;
    // Copied: showing the relative replaces the list.
    const SharedString key = shown_->relatives[relative].indi->key();
    selectPerson(key, true, true);
}

void LNKinloomController::problemClicked(LNView*) {
    if (!problemsTable_ || !shown_->records) return;
    const int row = problemsTable_->clickedRow();
    if (row < 0 || row >= static_cast<int>(shown_->problemRows.size())) return;
    const LNGedcomRecord* record = shown_->problemRows[static_cast<std::size_t>(row)].record;
    if (!record) return;
    const std::int32_t line = shown_->problemRows[static_cast<std::size_t>(row)].line;
    const bool isPerson = typeid(*record) == typeid(LNGedcomIndiRecord) && record->key() &&
                          shown_->records->indiWithKey(record->key().view()).get() == record;
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
