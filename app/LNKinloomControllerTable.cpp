// The person table: its rows, their values and colours, sorting and reversing.

#include "LNKinloomController.h"
#include "LNPersonRows.h"

#include "recordset/NameRanks.h"
#include "recordset/RecordWalk.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <unordered_map>

namespace kinloom {

namespace {

// The parent's root under rootKey and name under nameKey, or the none marker
// under both. A parent among the rows has its name set already.
void setParentValues(LNGedcomIndiRecord& person, const LNGedcomIndiRecord* parent, StringView rootKey,
                     StringView nameKey, SharedNames& names) {
    if (!parent) {
        person.setAttribute(NoneMarker(), rootKey);
        person.setAttribute(NoneMarker(), nameKey);
        return;
    }
    person.setAttribute(Ref<LNNode>(parent->root()), rootKey);
    std::optional<AttributeValue> name = parent->attributeValue(u"name");
    person.setAttribute(name ? std::move(*name) : names.valueOf(*parent), nameKey);
}

// The parent values of every row. The father and mother of fatherOfIndi and
// motherOfIndi, with the family looked up once for both; the record set's
// own list (ownList) has its links resolved already.
void setParentsOfRows(const LNGedcomRecordSet* records, const IndiList& rows, bool ownList,
                      SharedNames& names) {
    LNProgress::Meter meter(LNProgress::Stage::table, rows.size(), 1, 2);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        meter.count(i);
        LNGedcomIndiRecord* person = rows[i].get();
        std::pair<LNGedcomIndiRecord*, LNGedcomIndiRecord*> parents{nullptr, nullptr};
        Ref<LNGedcomIndiRecord> father, mother;
        if (ownList) {
            parents = records->parentsOfIndiAt(i);
        } else if (auto family = records ? records->natalFamilyOfIndi(*person) : nullptr) {
            father = records->husbandOfFam(*family);
            mother = records->wifeOfFam(*family);
            parents = {father.get(), mother.get()};
        }
        setParentValues(*person, parents.first, u"fatherRoot", u"father", names);
        setParentValues(*person, parents.second, u"motherRoot", u"mother", names);
    }
}

bool isParentColumn(StringView identifier) {
    return identifier == u"father" || identifier == u"mother";
}

StringView identifierOf(const LNTableColumn* column) {
    return column ? column->identifier() : StringView();
}

} // namespace

void LNPersonRows::make(const IndiList& list, const LNGedcomRecordSet* records, bool ownList, bool holdLog,
                        std::stop_token stop) {
    source = &list;
    const std::size_t count = list.size();
    SharedTexts::Column birthYears, birthPlaces, deathYears, deathPlaces;
    shared.expect(count);
    if (!ownList) idOfPosition.assign(records ? static_cast<std::size_t>(records->numIndis()) : 0, noId);
    names.expect(count);
    // The years are read by the date grammar of the file's standard.
    const GedcomStandard standard = records ? records->standard() : GedcomStandard::Gedcom55;
    std::optional<LogCapture> held;
    if (holdLog) held.emplace();
    // On the load's second thread the meter tells nothing; the stop request
    // is that thread's to heed.
    LNProgress::Meter meter(LNProgress::Stage::table, count, 0, 2);
    forEachRecordAhead<PersonLinesAhead>(list, [&](const LNGedcomIndiRecord&, std::size_t i) {
        meter.count(i);
        if (i % 4096 == 0 && stop.stop_requested()) throw LNProgress::Cancelled();
        LNGedcomIndiRecord* person = list[i].get();
        person->setAttribute(static_cast<std::int64_t>(i + 1), u"id");
        // A later person with the same key takes the id, as it takes the row.
        if (int position = ownList || !records ? -1 : records->indiPosition(person->key().view());
            position >= 0)
            idOfPosition[static_cast<std::size_t>(position)] = static_cast<std::uint32_t>(i);
        // A slice of the key where the key is one: no copy for each row.
        person->setAttribute(rowKey(person->key()), u"key");
        person->setAttribute(names.valueOf(*person), u"name");
        LNGedcomIndiRecord::LifeTexts life = person->lifeTexts(standard);
        if (standard == GedcomStandard::Gedcom7)
            for (std::optional<StringView>* place : {&life.birthPlace, &life.deathPlace})
                if (*place) *place = payloadText(standard, **place);
        person->setAttribute(shared.valueOf(life.birthYear, birthYears, i), u"birthYear");
        person->setAttribute(shared.valueOf(life.birthPlace, birthPlaces, i), u"birthPlace");
        person->setAttribute(shared.valueOf(life.deathYear, deathYears, i), u"deathYear");
        person->setAttribute(shared.valueOf(life.deathPlace, deathPlaces, i), u"deathPlace");
        // A row's own note that it logged, rather than its lines: a file of
        // such places would otherwise be held as text.
        if (held && !held->lines().empty()) {
            loggedRows.push_back(static_cast<std::uint32_t>(i));
            held->clear();
        }
    });
    textNumbers[u"birthYear"] = std::move(birthYears.numbers);
    textNumbers[u"birthPlace"] = std::move(birthPlaces.numbers);
    textNumbers[u"deathYear"] = std::move(deathYears.numbers);
    textNumbers[u"deathPlace"] = std::move(deathPlaces.numbers);
}

void LNPersonRows::logHeldLines(GedcomStandard standard) const {
    for (std::uint32_t row : loggedRows)
        (*source)[row]->lifeTexts(standard);
}

void LNKinloomController::setupTableData(const IndiList* persons) {
    const bool ownList = shown_->records && persons == &shown_->records->indiRecords();
    // The rows a load made beside its link checks, where they are the ones
    // asked for; otherwise the first pass is made here, over a copy of a
    // list that is not the record set's own (the rows read it while they stand).
    std::unique_ptr<LNPersonRows> made = std::move(shown_->madeRows);
    if (made && ownList && made->source == persons) {
        made->logHeldLines(shown_->records->standard());
    } else {
        if (!ownList) shown_->personsCopy = persons ? *persons : IndiList();
        made = std::make_unique<LNPersonRows>();
        made->make(ownList ? *persons : shown_->personsCopy, shown_->records, ownList, false);
    }
    shown_->persons = made->source;
    shown_->sorter.forget();
    // The rows are in "id" order: the ids are given in list order.
    const std::size_t count = made->source->size();
    shown_->order = LNRowOrder(count);
    shown_->idOfPosition = std::move(made->idOfPosition);
    shown_->sorter.setTexts(made->shared.take(), std::move(made->textNumbers));
    // A second pass, so that a parent listed after the child has its name
    // already; the child's cell shares the parent's text.
    setParentsOfRows(shown_->records, *shown_->persons, ownList, made->names);
    LNProgress::tell(LNProgress::Stage::table, 2 * count, 2 * count);
}

void LNKinloomController::resetPersonRowMap() {
    shown_->order.renumbered();
}

int LNKinloomController::rowOfKey(StringView key) const {
    int position = shown_->records ? shown_->records->indiPosition(key) : -1;
    const auto at = static_cast<std::size_t>(position);
    const std::vector<std::uint32_t>& ids = shown_->idOfPosition;
    if (position < 0 || at >= (ids.empty() ? shown_->order.size() : ids.size())) return -1;
    std::uint32_t id = ids.empty() ? static_cast<std::uint32_t>(at) : ids[at];
    return id == LNPersonRows::noId ? -1 : shown_->order.rowOfId(id);
}

void LNKinloomController::reversePersons() {
    std::vector<std::uint32_t>& ids = shown_->order.ids();
    std::reverse(ids.begin(), ids.end());
}

LNGedcomIndiRecord* LNKinloomController::personAtRow(int row) const {
    if (row < 0 || static_cast<std::size_t>(row) >= shown_->order.size()) return nullptr;
    return (*shown_->persons)[shown_->order.idOfRow(static_cast<std::size_t>(row))].get();
}

int LNKinloomController::numberOfRowsInTableView(LNTableView* table) {
    if (table && table == relativesTable_) return static_cast<int>(shown_->relativeRows.size());
    if (table && table == problemsTable_) return static_cast<int>(shown_->problemRows.size());
    return static_cast<int>(shown_->order.size());
}

std::optional<String> LNKinloomController::objectValueForTableColumn(LNTableView* table,
                                                                     LNTableColumn* column, int row) {
    if (!shown_->records) return std::nullopt;
    if (table && (table == relativesTable_ || table == problemsTable_))
        return paneValue(table, column ? column->identifier() : StringView(), row);
    LNGedcomIndiRecord* person = personAtRow(row);
    if (!person) return std::nullopt;
    StringView identifier = identifierOf(column);
    if (identifier == u"id") identifier = u"key";
    static constexpr StringView shown[] = {u"key",       u"name",       u"birthYear", u"birthPlace",
                                           u"deathYear", u"deathPlace", u"father",    u"mother"};
    if (std::find(std::begin(shown), std::end(shown), identifier) == std::end(shown)) return String(u"glunk");
    // Copies, not attributeForKey: scrolling through every row would leave a
    // lasting copy of each cell's value behind (see RecordAttributes).
    std::optional<AttributeValue> value = person->attributeValue(identifier);
    const SharedString* text = value ? std::get_if<SharedString>(&*value) : nullptr;
    if (!text) return std::nullopt;
    return text->str();
}

void LNKinloomController::willDisplayCell(LNTableView* table, LNCell& cell, LNTableColumn* column, int row) {
    cell.setTextColor(LNColor::blackColor());
    if (table != personTable_) return;
    StringView identifier = identifierOf(column);
    if (identifier == u"birthYear" || identifier == u"deathYear") return;
    LNGedcomIndiRecord* person = personAtRow(row);
    if (!person) return;
    const LNNode* decider = nullptr;
    if (identifier == u"name") {
        decider = person->root().get();
    } else if (isParentColumn(identifier)) {
        // The person keeps holding the node the copy names.
        std::optional<AttributeValue> root =
            person->attributeValue(identifier == u"father" ? u"fatherRoot" : u"motherRoot");
        if (const Ref<LNNode>* node = root ? std::get_if<Ref<LNNode>>(&*root) : nullptr)
            decider = node->get();
    }
    if (decider) cell.setTextColor(textColorOf(decider, LNColor::blackColor()));
}

bool LNKinloomController::shouldEditTableColumn(LNTableView*, LNTableColumn*, int) {
    return false;
}

void LNKinloomController::didClickTableColumn(LNTableView* table, LNTableColumn* column) {
    if (!table || table != personTable_ || !column || isParentColumn(column->identifier())) return;
    SharedString selectedKey;
    if (LNGedcomIndiRecord* selected = personAtRow(table->selectedRow())) selectedKey = selected->key();

    if (column == lastCol_) {
        sortAscending_ = !sortAscending_;
        reversePersons();
    } else {
        sortAscending_ = true;
        if (lastCol_) table->setIndicatorImage(std::nullopt, lastCol_);
        lastCol_ = column;
        table->setHighlightedTableColumn(column);
        if (shown_->persons) shown_->sorter.sort(*shown_->persons, shown_->order.ids(), column->identifier());
    }
    resetPersonRowMap();
    if (selectedKey) selectPerson(selectedKey, true, false);
    setIndicator(table, column);
    table->reloadData();
}

void LNKinloomController::setIndicator(LNTableView* table, LNTableColumn* column) {
    StringView name = sortAscending_ ? LNImage::ascendingSortIndicator : LNImage::descendingSortIndicator;
    table->setIndicatorImage(LNImage::imageNamed(name), column);
}

LNColor LNKinloomController::textColorOf(const LNNode* node, const LNColor& otherMark) {
    const SharedString* mark = attributeString(node->attributeForKey(u"validcode"));
    if (!mark || *mark == u"good") return LNColor::blackColor();
    if (*mark == u"badchild") return LNColor::orangeColor();
    if (*mark == u"bad") return LNColor::redColor();
    return otherMark;
}

} // namespace kinloom
