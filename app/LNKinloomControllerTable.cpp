// The person table: its rows, their values and colours, sorting and reversing.

#include "LNKinloomController.h"

#include "TextServices.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

namespace kinloom {

namespace {

// One shared copy of each distinct text: years and places repeat across
// thousands of persons.
class SharedTexts {
  public:
    AttributeValue valueOf(const std::optional<String>& text) {
        if (!text) return NoneMarker();
        auto found = texts_.find(StringView(*text));
        if (found != texts_.end()) return found->second;
        SharedString shared(*text);
        texts_.emplace(shared.view(), shared);
        return shared;
    }

  private:
    // Keyed by views into the mapped strings themselves.
    std::unordered_map<StringView, SharedString> texts_;
};

AttributeValue textOrNone(const std::optional<String>& text) {
    if (!text) return NoneMarker();
    return SharedString(*text);
}

AttributeValue nameOf(const LNGedcomIndiRecord& person) {
    return textOrNone(person.nameSurnameFirst(true, false, 64));
}

// The parent's root under rootKey and name under nameKey, or the none marker
// under both. A parent among the rows has its name set already.
void setParentValues(LNGedcomIndiRecord& person, const LNGedcomIndiRecord* parent, StringView rootKey,
                     StringView nameKey) {
    if (!parent) {
        person.setAttribute(NoneMarker(), rootKey);
        person.setAttribute(NoneMarker(), nameKey);
        return;
    }
    person.setAttribute(Ref<LNNode>(parent->root()), rootKey);
    const AttributeValue* name = parent->attributeForKey(u"name");
    person.setAttribute(name ? *name : nameOf(*parent), nameKey);
}

bool isParentColumn(StringView identifier) {
    return identifier == u"father" || identifier == u"mother";
}

StringView identifierOf(const LNTableColumn* column) {
    return column ? column->identifier() : StringView();
}

} // namespace

void LNKinloomController::setupTableData(const IndiList* persons) {
    sortedPersonRecords_ = persons ? std::make_unique<IndiList>(*persons) : std::make_unique<IndiList>();
    sorter_.forget();
    SharedTexts shared;
    std::int64_t id = 1;
    for (const auto& person : *sortedPersonRecords_) {
        person->setAttribute(id++, u"id");
        person->setAttribute(SharedString(stripAts(person->key().view())), u"key");
        person->setAttribute(nameOf(*person), u"name");
        person->setAttribute(shared.valueOf(person->birthYear()), u"birthYear");
        person->setAttribute(shared.valueOf(person->birthPlace()), u"birthPlace");
        person->setAttribute(shared.valueOf(person->deathYear()), u"deathYear");
        person->setAttribute(shared.valueOf(person->deathPlace()), u"deathPlace");
    }
    // A second pass, so that a parent listed after the child has its name
    // already; the child's cell shares the parent's text.
    for (const auto& person : *sortedPersonRecords_) {
        // The father and mother of fatherOfIndi and motherOfIndi, with the
        // family looked up once for both.
        std::shared_ptr<LNGedcomIndiRecord> father, mother;
        if (auto family = gedcomRecords_ ? gedcomRecords_->natalFamilyOfIndi(*person) : nullptr) {
            father = gedcomRecords_->husbandOfFam(*family);
            mother = gedcomRecords_->wifeOfFam(*family);
        }
        setParentValues(*person, father.get(), u"fatherRoot", u"father");
        setParentValues(*person, mother.get(), u"motherRoot", u"mother");
    }
    // The rows are in "id" order already: the ids were just given in list order.
    const std::size_t count = sortedPersonRecords_->size();
    rowIds_.resize(count);
    std::iota(rowIds_.begin(), rowIds_.end(), 0);
    personIds_.clear();
    personIds_.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        const SharedString& key = (*sortedPersonRecords_)[i]->key();
        if (key) personIds_.insert_or_assign(key, i);
    }
    resetPersonRowMap();
}

void LNKinloomController::resetPersonRowMap() {
    rowOfId_.assign(rowIds_.size(), -1);
    for (std::size_t row = 0; row < rowIds_.size(); ++row)
        rowOfId_[rowIds_[row]] = static_cast<int>(row);
}

int LNKinloomController::rowOfKey(StringView key) const {
    auto id = personIds_.find(key);
    return id == personIds_.end() ? -1 : rowOfId_[id->second];
}

void LNKinloomController::reversePersons() {
    if (!sortedPersonRecords_) return;
    std::reverse(sortedPersonRecords_->begin(), sortedPersonRecords_->end());
    std::reverse(rowIds_.begin(), rowIds_.end());
}

LNGedcomIndiRecord* LNKinloomController::recordAtRow(int row) const {
    if (!sortedPersonRecords_ || row < 0 || row >= static_cast<int>(sortedPersonRecords_->size()))
        return nullptr;
    return (*sortedPersonRecords_)[static_cast<std::size_t>(row)].get();
}

int LNKinloomController::numberOfRowsInTableView(LNTableView*) {
    return sortedPersonRecords_ ? static_cast<int>(sortedPersonRecords_->size()) : 0;
}

std::optional<String> LNKinloomController::objectValueForTableColumn(LNTableView*, LNTableColumn* column,
                                                                     int row) {
    if (!gedcomRecords_) return std::nullopt;
    LNGedcomIndiRecord* person = recordAtRow(row);
    if (!person) return std::nullopt;
    StringView identifier = identifierOf(column);
    if (identifier == u"id") identifier = u"key";
    static constexpr StringView shown[] = {u"key",       u"name",       u"birthYear", u"birthPlace",
                                           u"deathYear", u"deathPlace", u"father",    u"mother"};
    if (std::find(std::begin(shown), std::end(shown), identifier) == std::end(shown)) return String(u"glunk");
    const SharedString* text = attributeString(person->attributeForKey(identifier));
    if (!text) return std::nullopt;
    return text->str();
}

void LNKinloomController::willDisplayCell(LNTableView*, LNCell& cell, LNTableColumn* column, int row) {
    cell.setTextColor(LNColor::blackColor());
    StringView identifier = identifierOf(column);
    if (identifier == u"birthYear" || identifier == u"deathYear") return;
    LNGedcomIndiRecord* person = recordAtRow(row);
    if (!person) return;
    const LNNode* decider = nullptr;
    if (identifier == u"name") {
        decider = person->root().get();
    } else if (isParentColumn(identifier)) {
        const AttributeValue* root =
            person->attributeForKey(identifier == u"father" ? u"fatherRoot" : u"motherRoot");
        if (const Ref<LNNode>* node = root ? std::get_if<Ref<LNNode>>(root) : nullptr) decider = node->get();
    }
    if (decider) cell.setTextColor(textColorOf(decider, LNColor::blackColor()));
}

bool LNKinloomController::shouldEditTableColumn(LNTableView*, LNTableColumn*, int) {
    return false;
}

void LNKinloomController::didClickTableColumn(LNTableView* table, LNTableColumn* column) {
    if (!table || !column || isParentColumn(column->identifier())) return;
    SharedString selectedKey;
    if (LNGedcomIndiRecord* selected = recordAtRow(table->selectedRow())) selectedKey = selected->key();

    if (column == lastCol_) {
        sortAscending_ = !sortAscending_;
        reversePersons();
    } else {
        sortAscending_ = true;
        if (lastCol_) table->setIndicatorImage(std::nullopt, lastCol_);
        lastCol_ = column;
        table->setHighlightedTableColumn(column);
        if (sortedPersonRecords_) sorter_.sort(*sortedPersonRecords_, rowIds_, column->identifier());
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
