#include "LNGedcomRecordSet.h"

#include "SystemLog.h"
#include "TextServices.h"

#include <array>
#include <initializer_list>
#include <string>

namespace kinloom {

namespace {

// Most files have no finding at all, so message texts are built only once a
// report is made, never on the way there.

// A line without value stands in a message as "(null)".
StringView textOf(const SharedString& text) {
    return text ? text.view() : StringView(u"(null)");
}

// The format with each "%@" replaced by the next argument, in order.
String fill(StringView format, std::initializer_list<StringView> args) {
    String text;
    text.reserve(format.size() + 16 * args.size());
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format[i] == u'%' && i + 1 < format.size() && format[i + 1] == u'@' && arg != args.end()) {
            text += *arg++;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

void report(LNGedcomErrors* errors, ErrorKind kind, int line, StringView format,
            std::initializer_list<StringView> args) {
    if (errors) errors->addError(kind, line, fill(format, args));
}

// The older plain-text report, without kind or line.
void reportText(LNGedcomErrors* errors, StringView format, std::initializer_list<StringView> args) {
    if (errors) errors->addObject(fill(format, args));
}

void logCount(const char* what, const LNGedcomErrors* errors) {
    systemLog(std::string("after validating ") + what + " there are " +
              std::to_string(errors ? errors->count() : 0) + " errors");
}

// The record a link line names in the index, or null (no line, no value, no
// such record). No shared pointer is copied.
template <typename T> const T* linked(const KeyMap<std::shared_ptr<T>>& index, const LNGedcomNode* link) {
    if (!link || !link->value()) return nullptr;
    auto found = index.find(link->value().view());
    return found == index.end() ? nullptr : found->second.get();
}

int lineOf(const LNGedcomNode* line) {
    return line ? line->lineNumber() : 0;
}

StringView valueOf(const LNGedcomNode* line) {
    return line ? textOf(line->value()) : textOf(SharedString());
}

// Calls visit(role, line) for each level-1 line of the record that names the
// key and whose tag is the role-th of the tags. The value is compared first:
// it rarely matches.
template <std::size_t N, typename Visit>
void forEachLineNaming(const LNGedcomRecord& record, StringView key, const std::array<StringView, N>& tags,
                       Visit visit) {
    const auto* children = record.root()->children();
    if (!children) return;
    for (const auto& child : *children) {
        if (!(child->value() == key)) continue;
        for (std::size_t role = 0; role < N; ++role) {
            if (child->name() == tags[role]) {
                visit(role, static_cast<const LNGedcomNode&>(*child));
                break;
            }
        }
    }
}

constexpr std::array<StringView, 3> kFamRoles{u"HUSB", u"WIFE", u"CHIL"};
constexpr std::array<StringView, 2> kIndiLinks{u"FAMC", u"FAMS"};

void storeIfWanted(int* out, int value) {
    if (out) *out = value;
}

// Calls missing(line) for each SOUR line of the record, at any level, whose
// value is a cross-reference that names no source. The scratch list is the
// caller's, kept from record to record.
template <typename Missing>
void forEachMissingSource(const LNGedcomRecord& record,
                          const KeyMap<std::shared_ptr<LNGedcomSourRecord>>& index,
                          std::vector<LNGedcomNode*>& scratch, Missing missing) {
    scratch.clear();
    getNodesWithName(scratch, u"SOUR", record.root().get());
    for (const LNGedcomNode* line : scratch) {
        StringView value = line->value().view();
        if (isCrossReference(value) && index.find(value) == index.end()) missing(*line);
    }
}

} // namespace

bool LNGedcomRecordSet::validate() {
    validateReferences();
    validateIndis();
    validateFams();
    return true;
}

void LNGedcomRecordSet::validateReferences() {
    if (!records_) return;
    std::vector<LNGedcomNode*> references;
    for (const auto& record : *records_) {
        references.clear();
        record->getNodesWithXrefValues(references);
        for (const LNGedcomNode* line : references) {
            const LNGedcomRecord* found = recordWithKey(line->value().view()).get();
            if (!found) {
                systemLog(toUtf8(fill(u"record with key %@ does not exist", {line->value().view()})));
            } else if (!checkReferenceRecordTypes(*record, *line, *found)) {
                systemLog(toUtf8(
                    fill(u"record with key %@ does exist but has wrong type", {line->value().view()})));
            }
        }
    }
}

bool checkReferenceRecordTypes(const LNGedcomRecord& record, const LNGedcomNode& line,
                               const LNGedcomRecord& found) {
    if (line.level() != 1) return true;
    StringView tag = line.tag().view();
    StringView foundTag = found.tag();
    if (tag == u"SOUR") return foundTag == u"SOUR";
    if (record.tag() == u"INDI") return (tag == u"FAMC" || tag == u"FAMS") && foundTag == u"FAM";
    if (record.tag() == u"FAM")
        return (tag == u"HUSB" || tag == u"WIFE" || tag == u"CHIL") && foundTag == u"INDI";
    return true;
}

int LNGedcomRecordSet::checkIndi(StringView personKey, const LNGedcomNode* link, int* husb, int* wife,
                                 int* chil) {
    int counts[3] = {0, 0, 0};
    if (const LNGedcomFamRecord* fam = linked(famIndex_, link)) {
        forEachLineNaming(*fam, personKey, kFamRoles,
                          [&](std::size_t role, const LNGedcomNode&) { ++counts[role]; });
    } else {
        report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
    }
    storeIfWanted(husb, counts[0]);
    storeIfWanted(wife, counts[1]);
    storeIfWanted(chil, counts[2]);
    return counts[0] + counts[1] + counts[2];
}

int LNGedcomRecordSet::checkIndiNew(StringView personKey, const LNGedcomNode* link,
                                    std::vector<int>& husbLines, std::vector<int>& wifeLines,
                                    std::vector<int>& chilLines) {
    const LNGedcomFamRecord* fam = linked(famIndex_, link);
    husbLines.clear();
    wifeLines.clear();
    chilLines.clear();
    if (!fam) {
        report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
        return 0;
    }
    std::vector<int>* lists[3] = {&husbLines, &wifeLines, &chilLines};
    forEachLineNaming(*fam, personKey, kFamRoles, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(husbLines.size() + wifeLines.size() + chilLines.size());
}

int LNGedcomRecordSet::checkFam(StringView famKey, const LNGedcomNode* link, int* famc, int* fams) {
    int counts[2] = {0, 0};
    if (const LNGedcomIndiRecord* indi = linked(indiIndex_, link))
        forEachLineNaming(*indi, famKey, kIndiLinks,
                          [&](std::size_t role, const LNGedcomNode&) { ++counts[role]; });
    storeIfWanted(famc, counts[0]);
    storeIfWanted(fams, counts[1]);
    return counts[0] + counts[1];
}

int LNGedcomRecordSet::checkFamNew(StringView famKey, const LNGedcomNode* link, std::vector<int>& famcLines,
                                   std::vector<int>& famsLines) {
    famcLines.clear();
    famsLines.clear();
    const LNGedcomIndiRecord* indi = linked(indiIndex_, link);
    if (!indi) return 0;
    std::vector<int>* lists[2] = {&famcLines, &famsLines};
    forEachLineNaming(*indi, famKey, kIndiLinks, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(famcLines.size() + famsLines.size());
}

void LNGedcomRecordSet::validateIndis() {
    // Scratch lists serve every person; the check functions empty them.
    std::vector<int> husbLines, wifeLines, chilLines;
    std::vector<LNGedcomNode*> sources;
    for (const auto& indi : indiRecords_) {
        const StringView key = indi->key().view();
        const int line = indi->lineNumber();

        const LNGedcomNode* name = indi->name();
        if (!name || !name->value())
            report(errors_, LNGedcomErrorIllegalName, lineOf(name), u"INDI %@", {key});

        // Every link report names the person first, then the family the link names.
        auto reportLink = [&](ErrorKind kind, int at, StringView format, const LNGedcomNode* link) {
            report(errors_, kind, at, format, {key, valueOf(link)});
        };

        const int sex = sexValue(indi->sex());
        int childTotal = 0;
        for (const LNGedcomNode* link : indi->famcArray()) {
            int husb = 0, wife = 0, chil = 0;
            const int roles = checkIndi(key, link, &husb, &wife, &chil);
            checkIndiNew(key, link, husbLines, wifeLines, chilLines);
            childTotal += chil;
            if (husb > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ as HUSB not CHILD", link);
            if (wife > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ as WIFE not CHILD", link);
            if (chil == 0) reportLink(LNGedcomErrorMissingLink, line, u"INDI %@ not in FAM %@ as CHIL", link);
            if (roles > 1)
                reportLink(LNGedcomErrorMultipleRoles, line, u"INDI %@ in FAM %@ multiple roles", link);
            if (!husbLines.empty())
                reportLink(LNGedcomErrorWrongRole, husbLines.front(), u"INDI %@ in FAM %@ as HUSB not CHILD",
                           link);
            if (!wifeLines.empty())
                reportLink(LNGedcomErrorWrongRole, wifeLines.front(), u"INDI %@ in FAM %@ as WIFE not CHILD",
                           link);
        }
        if (childTotal > 1) reportText(errors_, u"INDI %@ is CHIL in multiple FAMs", {key});

        for (const LNGedcomNode* link : indi->famsArray()) {
            int husb = 0, wife = 0, chil = 0;
            const int roles = checkIndi(key, link, &husb, &wife, &chil);
            if (husb > 0 && sex != 1)
                reportLink(LNGedcomErrorWrongSex, line, u"INDI %@ in FAM %@ should be male", link);
            if (wife > 0 && sex != 2)
                reportLink(LNGedcomErrorWrongSex, line, u"INDI %@ in FAM %@ should be female", link);
            if (chil > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ should be spouse", link);
            if (roles > 1)
                reportLink(LNGedcomErrorMultipleRoles, line, u"INDI %@ in FAM %@ multiple roles", link);
        }

        forEachMissingSource(*indi, sourIndex_, sources, [&](const LNGedcomNode& source) {
            report(errors_, LNGedcomErrorUndefinedKey, source.lineNumber(), u"SOUR %@ does not exist",
                   {source.value().view()});
        });
    }
    logCount("INDIs", errors_);
}

void LNGedcomRecordSet::validateFams() {
    // Scratch lists serve every member line of every family.
    std::vector<int> famcLines, famsLines;
    std::vector<LNGedcomNode*> sources;
    for (const auto& fam : famRecords_) {
        const StringView key = fam->key().view();

        for (const LNGedcomNode* link : fam->husbArray()) {
            const StringView person = valueOf(link);
            if (!linked(indiIndex_, link)) {
                report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"INDI %@ undefined", {person});
                continue;
            }
            const int links = checkFamNew(key, link, famcLines, famsLines);
            if (!famcLines.empty())
                reportText(errors_, u"FAM %@ is FAMC in INDI %@ but should be FAMS one", {key, person});
            if (famsLines.empty())
                reportText(errors_, u"FAM %@ should be FAMS in INDI %@ but isn't two", {key, person});
            if (links > 1) reportText(errors_, u"FAM %@ in INDI %@ in multiple roles", {key, person});
        }

        // Wives and children are judged by counts: a wife must not name the
        // family as FAMC (count 0), a child not as FAMS (count 1).
        auto checkMembers = [&](std::span<LNGedcomNode* const> links, int wrongLink, StringView wrongText) {
            for (const LNGedcomNode* link : links) {
                int counts[2] = {0, 0};
                const int total = checkFam(key, link, &counts[0], &counts[1]);
                if (counts[wrongLink] > 0) reportText(errors_, wrongText, {key, valueOf(link)});
                if (total > 1)
                    reportText(errors_, u"FAM %@ in INDI %@ in multiple roles", {key, valueOf(link)});
            }
        };
        checkMembers(fam->wifeArray(), 0, u"FAM %@ is FAMC in INDI %@ but should be FAMS three");
        checkMembers(fam->chilArray(), 1, u"FAM %@ is FAMS in INDI %@ but should be FAMC four");

        forEachMissingSource(*fam, sourIndex_, sources, [&](const LNGedcomNode& source) {
            reportText(errors_, u"INDI %@ has SOUR %@ that does not exist", {key, source.value().view()});
        });
    }
    logCount("FAMs", errors_);
}

// What a check of the source records would verify is open; loading does not
// call this.
void LNGedcomRecordSet::validateSours() {}

} // namespace kinloom
