#include "LNGedcomRecordSet.h"

#include "LoadStages.h"

#include <algorithm>

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
    // The records and their keys lie scattered in memory: each record is
    // asked for well ahead, then its key, then the key's slot, so that the
    // waits overlap. The hashes wait in a ring until their record's turn.
    constexpr std::uint32_t far = 16, near = 8, next = 4;
    std::uint64_t hashes[next] = {};
    auto keyAt = [&](std::size_t at) -> const SharedString& { return (*records_)[at]->key(); };
    for (std::uint32_t at = 0; at < std::min<std::size_t>(next, total); ++at)
        hashes[at % next] = recordKeyHash(keyAt(at).view());
    for (std::uint32_t number = 0; number < total; ++number) {
        if (number + far < total) __builtin_prefetch((*records_)[number + far].get());
        if (number + near < total) __builtin_prefetch(keyAt(number + near).view().data());
        const std::uint64_t hash = hashes[number % next];
        if (number + next < total) {
            const std::uint64_t ahead = recordKeyHash(keyAt(number + next).view());
            keyIndex_.prefetch(ahead);
            hashes[number % next] = ahead;
        }
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
        const std::uint32_t first = keyIndex_.tryFile(key.view(), hash, number);
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
    // Persons, their lines and their parsed names lie scattered in memory, so
    // nearly every read waits for it. Each person's parts are asked for some
    // persons ahead, one step of pointers at a time, so that the waits overlap.
    const std::size_t total = indiRecords_.size();
    auto person = [&](std::size_t at) { return indiRecords_[at].get(); };
    auto ask = [](const void* address) { __builtin_prefetch(address); };
    constexpr std::size_t far = 12, near = 6, next = 3;
    // The name keys one person was filed under: a repeat can only come from
    // the person at hand, as persons arrive in file order with distinct keys.
    std::vector<const std::vector<SharedString>*> filedUnder;
    for (std::size_t at = 0; at < total; ++at) {
        if (at + far < total) {
            ask(person(at + far));
            ask(reinterpret_cast<const char*>(person(at + far)) + 64);
        }
        if (at + near < total) {
            const LNGedcomIndiRecord* ahead = person(at + near);
            ask(ahead->nameArray().data());
            ask(ahead->gedcomName());
            __builtin_prefetch(ahead->key().view().data(), 1);
        }
        if (at + next < total) {
            if (const LNGedcomNode* name = person(at + next)->name()) ask(name);
        }
        const LNGedcomIndiRecord& indi = *person(at);
        auto names = indi.nameArray();
        filedUnder.clear();
        for (std::size_t i = 0; i < names.size(); ++i) {
            const SharedString& value = names[i]->value();
            if (value.empty()) continue;
            // The first NAME line is parsed already.
            String nameKey = i == 0 ? indi.gedcomName()->key() : LNGedcomName(value.view()).key();
            auto entry = nameIndex_.find(StringView(nameKey));
            if (entry == nameIndex_.end())
                entry = nameIndex_.emplace(SharedString(nameKey), std::vector<SharedString>()).first;
            std::vector<SharedString>& keys = entry->second;
            if (std::find(filedUnder.begin(), filedUnder.end(), &keys) != filedUnder.end()) continue;
            filedUnder.push_back(&keys);
            keys.push_back(indi.key());
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
