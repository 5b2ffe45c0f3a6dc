#include "recordset/LNGedcomRecordSet.h"

#include "memory/KeptText.h"
#include "records/LNGedcomRecordAssembler.h"

#include "recordset/RecordWalk.h"
#include "support/LoadStages.h"

#include <algorithm>
#include <limits>
#include <string>
#include <typeinfo>
#include <unordered_map>

namespace kinloom {

// Hashed as views, so that a lookup builds no string.
struct LNGedcomRecordSet::NameIndex {
    struct Hash {
        using is_transparent = void;
        std::size_t operator()(StringView text) const noexcept { return std::hash<StringView>()(text); }
    };
    std::unordered_map<SharedString, std::vector<std::uint32_t>, Hash, std::equal_to<>> positions;
};

namespace {

template <typename T>
const Ref<T>& atIndex(const std::vector<Ref<T>>& list, int index) {
    static const Ref<T> none;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return none;
    return list[static_cast<std::size_t>(index)];
}

} // namespace

LNGedcomRecordSet::LNGedcomRecordSet(const String* text, LNGedcomErrors* errors, LNLogger* logger)
    : logger_(logger), errors_(errors) {
    readRecords(text);
}

LNGedcomRecordSet::LNGedcomRecordSet(KeptText& text, LNGedcomErrors* errors, const Beside& beside)
    : errors_(errors) {
    readRecords(text.text() ? &*text.text() : nullptr, &text, beside);
}

LNGedcomRecordSet::~LNGedcomRecordSet() = default;

void LNGedcomRecordSet::readRecords(const String* text, KeptText* kept, const Beside& beside) {
    // Every single line-break character ends a line, so CR LF files number
    // their lines 1, 3, 5, ... The lines are taken one by one from the text:
    // a list of them would add 16 bytes a line to the peak.
    LoadStages::ended("start of record set");
    if (text) {
        version_ = GedcomVersion::ofText(*text);
        LNGedcomRecordAssembler assembler(0, errors_);
        assembler.setKeptText(kept);
        records_ = assembler.recordsFromText(*text);
        if (version_.isSeven()) readSevenLines();
    }
    if (logger_) {
        std::string count = std::to_string(records_ ? records_->size() : 0);
        logger_->addLogString(u"Number of Gedcom records is " + String(count.begin(), count.end()) + u"\n");
    }
    LoadStages::ended("assemble");
    fileRecords();
    LoadStages::ended("index");
    // The name index and the link checks here, a job beside them on the
    // load's other thread.
    auto indexAndCheck = [&] {
        buildNameIndex();
        LoadStages::ended("name index");
        validate();
    };
    if (beside)
        LNGedcomRecordAssembler::alongside([&](std::stop_token stop) { beside(*this, stop); }, indexAndCheck);
    else
        indexAndCheck();
    LoadStages::ended("link validation");
}

RecordKind recordKindOf(const LNGedcomRecord& record) {
    const std::type_info& type = typeid(record);
    return type == typeid(LNGedcomIndiRecord)   ? kindIndi
           : type == typeid(LNGedcomFamRecord)  ? kindFam
           : type == typeid(LNGedcomSourRecord) ? kindSour
                                                : kindOther;
}

void LNGedcomRecordSet::fileRecords() {
    indiRecords_.reserve(100);
    famRecords_.reserve(100);
    sourRecords_.reserve(100);
    if (!records_) return;
    const std::size_t total = records_->size();
    keyIndex_.reserve(total);
    filings_.assign(total, 0);
    LNProgress::Meter meter = LoadStages::meter("index", total);
    // A key is read through its record's root line: the holder asked for
    // ahead is that line, and the record a few steps before it.
    constexpr std::size_t recordAhead = 4;
    keyIndex_.forEachAhead(
        total,
        [&](std::size_t at) {
            if (at + recordAhead < total) __builtin_prefetch((*records_)[at + recordAhead].get());
            return (*records_)[at]->root().get();
        },
        [&](std::size_t at) -> const SharedString& { return (*records_)[at]->key(); },
        [&](std::size_t at, StringView key, std::uint64_t hash) {
            meter.count(at);
            fileRecord(static_cast<std::uint32_t>(at), key, hash);
        });
}

void LNGedcomRecordSet::fileRecord(std::uint32_t number, StringView key, std::uint64_t hash) {
    const auto& record = (*records_)[number];
    if (!record->key()) {
        StringView tag = record->tag();
        if (tag == u"HEAD" || tag == u"TRLR") return;
        // GEDCOM 7 needs a key only where a pointer names the record, and
        // nothing can name a record without one.
        if (errors_ && !version_.isSeven())
            errors_->addError(LNGedcomErrorMissingKey, record->lineNumber(),
                              String(tag) + u" record with no key", {LNProblemFinding::noKey, {tag}});
        return;
    }
    const RecordKind kind = recordKindOf(*record);
    const std::uint32_t first = keyIndex_.tryFile(key, hash, number);
    if (first != number) {
        if (errors_)
            errors_->addError(LNGedcomErrorMultiplyDefinedKey, record->lineNumber(),
                              String(record->tag()) + u" " + String(key),
                              {LNProblemFinding::duplicateKey, {key}});
        // Filed in its kind's list only as the first of its kind with the key.
        if (kind == kindOther || filedKind(first) == kind ||
            laterOfKind_[kind].tryFile(key, number) != number)
            return;
    }
    std::uint32_t position = 0;
    if (kind == kindIndi) {
        position = static_cast<std::uint32_t>(indiRecords_.size());
        indiRecords_.push_back(staticRefCast<LNGedcomIndiRecord>(record));
    } else if (kind == kindFam) {
        position = static_cast<std::uint32_t>(famRecords_.size());
        famRecords_.push_back(staticRefCast<LNGedcomFamRecord>(record));
    } else if (kind == kindSour) {
        position = static_cast<std::uint32_t>(sourRecords_.size());
        sourRecords_.push_back(staticRefCast<LNGedcomSourRecord>(record));
    } else {
        return;
    }
    filings_[number] = static_cast<std::uint32_t>(kind) << 30 | position;
}

std::uint32_t LNGedcomRecordSet::positionFrom(RecordKind kind, std::uint32_t number, StringView key,
                                              std::uint64_t hash) const {
    if (number == RecordIndex::none) return RecordIndex::none;
    if (filedKind(number) != kind) {
        number = laterOfKind_[kind].find(key, hash);
        if (number == RecordIndex::none) return RecordIndex::none;
    }
    return filedPosition(number);
}

std::uint32_t LNGedcomRecordSet::positionOf(RecordKind kind, StringView key, std::uint64_t hash) const {
    return positionFrom(kind, keyIndex_.find(key, hash), key, hash);
}

std::uint32_t LNGedcomRecordSet::positionOf(RecordKind kind, const LNGedcomNode* link) const {
    if (!link || !link->value()) return RecordIndex::none;
    return positionOf(kind, link->value().view());
}

void LNGedcomRecordSet::buildNameIndex() {
    nameIndex_ = std::make_unique<NameIndex>();
    auto& index = nameIndex_->positions;
    index.reserve(1000);
    // The name keys one person was filed under: a repeat can only come from
    // the person at hand, as persons arrive in file order.
    std::vector<const std::vector<std::uint32_t>*> filedUnder;
    LNProgress::Meter meter = LoadStages::meter("name index", indiRecords_.size());
    forEachRecordAhead<PersonAhead>(indiRecords_, [&](const LNGedcomIndiRecord& indi, std::size_t position) {
        meter.count(position);
        auto names = indi.nameArray();
        filedUnder.clear();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const SharedString& value = names[i]->value();
            if (value.empty()) continue;
            // The first NAME line is parsed already.
            String nameKey = i == 0 ? indi.gedcomName()->key() : LNGedcomName(value.view()).key();
            auto entry = index.find(StringView(nameKey));
            if (entry == index.end())
                entry = index.emplace(SharedString(nameKey), std::vector<std::uint32_t>()).first;
            std::vector<std::uint32_t>& positions = entry->second;
            if (std::find(filedUnder.begin(), filedUnder.end(), &positions) != filedUnder.end()) continue;
            filedUnder.push_back(&positions);
            positions.push_back(static_cast<std::uint32_t>(position));
        }
    });
}

void LNGedcomRecordSet::setRecords(std::unique_ptr<RecordList> records) {
    if (!recordsReplaced_) {
        filedRecords_ = std::move(records_);
        recordsReplaced_ = true;
    }
    records_ = std::move(records);
}

int LNGedcomRecordSet::count() const {
    return records_ ? static_cast<int>(records_->size()) : 0;
}

int LNGedcomRecordSet::numNodes() const {
    if (!records_) return 0;
    int total = 0;
    for (const auto& record : *records_)
        total += record->numNodes();
    return total;
}

const Ref<LNGedcomIndiRecord>& LNGedcomRecordSet::indiWithKey(StringView key) const {
    return atPosition(indiRecords_, positionOf(kindIndi, key));
}

const Ref<LNGedcomFamRecord>& LNGedcomRecordSet::famWithKey(StringView key) const {
    return atPosition(famRecords_, positionOf(kindFam, key));
}

const Ref<LNGedcomSourRecord>& LNGedcomRecordSet::sourWithKey(StringView key) const {
    return atPosition(sourRecords_, positionOf(kindSour, key));
}

const Ref<LNGedcomRecord>& LNGedcomRecordSet::recordWithKey(StringView key) const {
    static const Ref<LNGedcomRecord> none;
    const RecordList* filed = filedRecords();
    return filed ? atPosition(*filed, keyIndex_.find(key)) : none;
}

const Ref<LNGedcomIndiRecord>& LNGedcomRecordSet::indiByIndex(int index) const {
    return atIndex(indiRecords_, index);
}

const Ref<LNGedcomFamRecord>& LNGedcomRecordSet::famByIndex(int index) const {
    return atIndex(famRecords_, index);
}

const Ref<LNGedcomSourRecord>& LNGedcomRecordSet::sourByIndex(int index) const {
    return atIndex(sourRecords_, index);
}

const std::vector<std::uint32_t>* LNGedcomRecordSet::indisWithNameKey(StringView nameKey) const {
    if (!nameIndex_) return nullptr;
    auto found = nameIndex_->positions.find(nameKey);
    return found == nameIndex_->positions.end() ? nullptr : &found->second;
}

// Link validation: the checks are LNLinkValidator's; the operations by key
// resolve the keys and links to positions first.

bool LNGedcomRecordSet::validate() {
    LNLinkValidator checks = validator();
    checks.validateReferences();
    checks.validateIndis();
    checks.validateFams();
    return true;
}

void LNGedcomRecordSet::validateReferences() {
    validator().validateReferences();
}

void LNGedcomRecordSet::validateIndis() {
    validator().validateIndis();
}

void LNGedcomRecordSet::validateFams() {
    validator().validateFams();
}

// What a check of the source records would verify is open; loading does not
// call this.
void LNGedcomRecordSet::validateSours() {}

namespace {

// These operations answer in int, as they always have: a count beyond it
// (a file of two thousand million lines) is answered as the largest int.
int clamped(std::int64_t count) {
    return static_cast<int>(std::min<std::int64_t>(count, std::numeric_limits<int>::max()));
}

void storeIfWanted(int* out, std::int64_t value) {
    if (out) *out = clamped(value);
}

// A position as the link checks name records: plus one, 0 for none.
std::uint32_t target(std::uint32_t position) {
    return position == RecordIndex::none ? 0 : position + 1;
}

} // namespace

int LNGedcomRecordSet::checkIndi(StringView personKey, const LNGedcomNode* link, int* husb, int* wife,
                                 int* chil) {
    const RoleCounts roles = validator().checkIndi(target(positionOf(kindIndi, personKey)), link,
                                                   target(positionOf(kindFam, link)));
    storeIfWanted(husb, roles.count[1]);
    storeIfWanted(wife, roles.count[2]);
    storeIfWanted(chil, roles.count[3]);
    return clamped(roles.total());
}

int LNGedcomRecordSet::checkIndiNew(StringView personKey, const LNGedcomNode* link,
                                    std::vector<int>& husbLines, std::vector<int>& wifeLines,
                                    std::vector<int>& chilLines) {
    return validator().checkIndiNew(target(positionOf(kindIndi, personKey)), link,
                                    target(positionOf(kindFam, link)), {&husbLines, &wifeLines, &chilLines});
}

int LNGedcomRecordSet::checkFam(StringView famKey, const LNGedcomNode* link, int* famc, int* fams) {
    const RoleCounts roles =
        validator().checkFam(target(positionOf(kindFam, famKey)), target(positionOf(kindIndi, link)));
    storeIfWanted(famc, roles.count[1]);
    storeIfWanted(fams, roles.count[2]);
    return clamped(roles.total());
}

int LNGedcomRecordSet::checkFamNew(StringView famKey, const LNGedcomNode* link, std::vector<int>& famcLines,
                                   std::vector<int>& famsLines) {
    return validator().checkFamNew(target(positionOf(kindFam, famKey)), target(positionOf(kindIndi, link)),
                                   {&famcLines, &famsLines});
}

} // namespace kinloom
