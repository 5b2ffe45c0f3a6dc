#include "LNGedcomRecordSet.h"

#include "LoadStages.h"

#include <string>

namespace kinloom {

namespace {

template <typename T>
const std::shared_ptr<T>& atIndex(const std::vector<std::shared_ptr<T>>& list, int index) {
    static const std::shared_ptr<T> none;
    if (index < 0 || static_cast<std::size_t>(index) >= list.size()) return none;
    return list[static_cast<std::size_t>(index)];
}

// Files the record under its key in the kind's map and list, unless a record
// of that kind holds the key already.
template <typename T>
void fileByKind(const std::shared_ptr<T>& record, RecordIndex<T>& index, std::vector<std::shared_ptr<T>>& list) {
    if (index.tryFile(record)) list.push_back(record);
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
    fullIndex_.reserve(records_->size());
    for (const auto& record : *records_) {
        const SharedString& key = record->key();
        StringView tag = record->tag();
        if (!key) {
            if (tag == u"HEAD" || tag == u"TRLR") continue;
            if (errors_)
                errors_->addError(LNGedcomErrorMissingKey, record->lineNumber(),
                                  String(tag) + u" record with no key");
            continue;
        }
        if (!fullIndex_.tryFile(record) && errors_) {
            errors_->addError(LNGedcomErrorMultiplyDefinedKey, record->lineNumber(),
                              String(tag) + u" " + key.str());
        }
        // The assembler chose each record's class by this exact tag.
        if (tag == u"INDI") {
            fileByKind(std::static_pointer_cast<LNGedcomIndiRecord>(record), indiIndex_, indiRecords_);
        } else if (tag == u"FAM") {
            fileByKind(std::static_pointer_cast<LNGedcomFamRecord>(record), famIndex_, famRecords_);
        } else if (tag == u"SOUR") {
            fileByKind(std::static_pointer_cast<LNGedcomSourRecord>(record), sourIndex_, sourRecords_);
        }
    }
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
    return indiIndex_.find(key);
}

const std::shared_ptr<LNGedcomFamRecord>& LNGedcomRecordSet::famWithKey(StringView key) const {
    return famIndex_.find(key);
}

const std::shared_ptr<LNGedcomSourRecord>& LNGedcomRecordSet::sourWithKey(StringView key) const {
    return sourIndex_.find(key);
}

const std::shared_ptr<LNGedcomRecord>& LNGedcomRecordSet::recordWithKey(StringView key) const {
    return fullIndex_.find(key);
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
