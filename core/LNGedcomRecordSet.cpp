#include "LNGedcomRecordSet.h"

#include "LoadStages.h"

#include <string>
#include <typeinfo>

namespace kinloom {

namespace {

template <typename T>
const std::shared_ptr<T>& atIndex(const std::vector<std::shared_ptr<T>>& list, int index) {
    static const std::shared_ptr<T> none;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return none;
    return list[static_cast<std::size_t>(index)];
}

} // namespace

LNGedcomRecordSet::LNGedcomRecordSet(const String* text, LNGedcomErrors* errors, LNLogger* logger)
    : logger_(logger), errors_(errors) {
    readRecords(text);
}

LNGedcomRecordSet::~LNGedcomRecordSet() = default;

void LNGedcomRecordSet::readRecords(const String* text) {
    // Every single line-break character ends a line, so CR LF files number
    // their lines 1, 3, 5, ... The lines are taken one by one from the text:
    // a list of them would add 16 bytes a line to the peak.
    LoadStages::ended("start of record set");
    if (text) records_ = LNGedcomRecord::gedcomRecordsFromText(*text, 0, errors_);
    if (logger_) {
        std::string count = std::to_string(records_ ? records_->size() : 0);
        logger_->addLogString(u"Number of Gedcom records is " + String(count.begin(), count.end()) + u"\n");
    }
    LoadStages::ended("assemble");
    fileRecords();
    LoadStages::ended("index");
    buildNameIndex();
    LoadStages::ended("name index");
    validate();
    LoadStages::ended("link validation");
}

void LNGedcomRecordSet::fileRecords() {
    indiRecords_.reserve(100);
    famRecords_.reserve(100);
    sourRecords_.reserve(100);
    if (!records_) return;
    const std::size_t total = records_->size();
    keyIndex_.reserve(total);
    filings_.assign(total, 0);
    for (std::uint32_t number = 0; number < total; ++number) {
        const auto& record = (*records_)[number];
        const SharedString& key = record->key();
        if (!key) {
            StringView tag = record->tag();
            if (tag == u"HEAD" || tag == u"TRLR") continue;
            if (errors_)
                errors_->addError(LNGedcomErrorMissingKey, record->lineNumber(),
                                  String(tag) + u" record with no key");
            continue;
        }
        // The assembler chose each record's class by its exact tag, so the
        // class tells the kind without reading the tag.
        const std::type_info& type = typeid(*record);
        const Kind kind = type == typeid(LNGedcomIndiRecord)   ? kindIndi
                          : type == typeid(LNGedcomFamRecord)  ? kindFam
                          : type == typeid(LNGedcomSourRecord) ? kindSour
                                                               : kindOther;
        const std::uint32_t first = keyIndex_.tryFile(key.view(), number);
        if (first != number) {
            if (errors_)
                errors_->addError(LNGedcomErrorMultiplyDefinedKey, record->lineNumber(),
                                  String(record->tag()) + u" " + key.str());
            // Filed in its kind's list only as the first of its kind with the key.
            if (kind == kindOther || static_cast<Kind>(filings_[first] >> 30) == kind ||
                laterOfKind_[kind].tryFile(key.view(), number) != number)
                continue;
        }
        std::uint32_t position = 0;
        if (kind == kindIndi) {
            position = static_cast<std::uint32_t>(indiRecords_.size());
            indiRecords_.push_back(std::static_pointer_cast<LNGedcomIndiRecord>(record));
        } else if (kind == kindFam) {
            position = static_cast<std::uint32_t>(famRecords_.size());
            famRecords_.push_back(std::static_pointer_cast<LNGedcomFamRecord>(record));
        } else if (kind == kindSour) {
            position = static_cast<std::uint32_t>(sourRecords_.size());
            sourRecords_.push_back(std::static_pointer_cast<LNGedcomSourRecord>(record));
        } else {
            continue;
        }
        filings_[number] = static_cast<std::uint32_t>(kind) << 30 | position;
    }
}

std::uint32_t LNGedcomRecordSet::positionFrom(Kind kind, std::uint32_t number, StringView key,
                                              std::uint64_t hash) const {
    if (number == RecordIndex::none) return RecordIndex::none;
    std::uint32_t filing = filings_[number];
    if (static_cast<Kind>(filing >> 30) != kind) {
        number = laterOfKind_[kind].find(key, hash);
        if (number == RecordIndex::none) return RecordIndex::none;
        filing = filings_[number];
    }
    return filing & positionMask;
}

std::uint32_t LNGedcomRecordSet::positionOf(Kind kind, StringView key, std::uint64_t hash) const {
    return positionFrom(kind, keyIndex_.find(key, hash), key, hash);
}

std::uint32_t LNGedcomRecordSet::positionOf(Kind kind, const LNGedcomNode* link) const {
    if (!link || !link->value()) return RecordIndex::none;
    return positionOf(kind, link->value().view());
}

void LNGedcomRecordSet::buildNameIndex() {
    nameIndex_.reserve(1000);
    for (const auto& indi : indiRecords_) {
        auto names = indi->nameArray();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const SharedString& value = names[i]->value();
            if (value.empty()) continue;
            // The first NAME line is parsed already.
            String nameKey = i == 0 ? indi->gedcomName()->key() : LNGedcomName(value.view()).key();
            auto entry = nameIndex_.find(StringView(nameKey));
            if (entry == nameIndex_.end())
                entry = nameIndex_.emplace(SharedString(nameKey), std::vector<SharedString>()).first;
            // Persons arrive in file order, so a repeat can only be the last entry.
            std::vector<SharedString>& keys = entry->second;
            if (keys.empty() || !(keys.back() == indi->key())) keys.push_back(indi->key());
        }
    }
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

const std::shared_ptr<LNGedcomIndiRecord>& LNGedcomRecordSet::indiWithKey(StringView key) const {
    return atPosition(indiRecords_, positionOf(kindIndi, key));
}

const std::shared_ptr<LNGedcomFamRecord>& LNGedcomRecordSet::famWithKey(StringView key) const {
    return atPosition(famRecords_, positionOf(kindFam, key));
}

const std::shared_ptr<LNGedcomSourRecord>& LNGedcomRecordSet::sourWithKey(StringView key) const {
    return atPosition(sourRecords_, positionOf(kindSour, key));
}

const std::shared_ptr<LNGedcomRecord>& LNGedcomRecordSet::recordWithKey(StringView key) const {
    return records_ ? atPosition(*records_, keyIndex_.find(key)) : atPosition(*records_, RecordIndex::none);
}

const std::shared_ptr<LNGedcomIndiRecord>& LNGedcomRecordSet::indiByIndex(int index) const {
    return atIndex(indiRecords_, index);
}

const std::shared_ptr<LNGedcomFamRecord>& LNGedcomRecordSet::famByIndex(int index) const {
    return atIndex(famRecords_, index);
}

const std::shared_ptr<LNGedcomSourRecord>& LNGedcomRecordSet::sourByIndex(int index) const {
    return atIndex(sourRecords_, index);
}

const std::vector<SharedString>* LNGedcomRecordSet::indisWithNameKey(StringView nameKey) const {
    auto found = nameIndex_.find(nameKey);
    return found == nameIndex_.end() ? nullptr : &found->second;
}

} // namespace kinloom
