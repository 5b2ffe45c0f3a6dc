#include "LNGedcomRecordSet.h"

#include "SystemLog.h"
#include "TextServices.h"

#include <array>
#include <initializer_list>
#include <span>
#include <string>
#include <vector>

namespace kinloom {

namespace {

// Tags as views of known length, so a comparison is a length check and a
// memory compare.
constexpr StringView kIndi = u"INDI", kFam = u"FAM", kSour = u"SOUR", kFamc = u"FAMC", kFams = u"FAMS",
                     kHusb = u"HUSB", kWife = u"WIFE", kChil = u"CHIL";

// Most files have no finding at all, so message texts are built only once a
// report is made, never on the way there.

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
template <typename T> const T* linked(const RecordIndex<T>& index, const LNGedcomNode* link) {
    if (!link || !link->value()) return nullptr;
    return index.find(link->value().view()).get();
}

int lineOf(const LNGedcomNode* line) {
    return line ? line->lineNumber() : 0;
}

// A line without value stands in a message as "(null)".
StringView valueOf(const LNGedcomNode* line) {
    return line && line->value() ? line->value().view() : StringView(u"(null)");
}

// Calls visit(role, line) for each line of the role-th list that names the
// key. The record's lists hold exactly its level-1 lines of each tag in file
// order, so only link lines are read, not every level-1 line of the record.
template <std::size_t N, typename Visit>
void forEachLineNaming(const std::array<std::span<LNGedcomNode* const>, N>& roles, StringView key,
                       Visit visit) {
    for (std::size_t role = 0; role < N; ++role) {
        for (const LNGedcomNode* line : roles[role])
            if (line->value() == key) visit(role, *line);
    }
}

std::array<std::span<LNGedcomNode* const>, 3> rolesOf(const LNGedcomFamRecord& fam) {
    return {fam.husbArray(), fam.wifeArray(), fam.chilArray()};
}

std::array<std::span<LNGedcomNode* const>, 2> linksOf(const LNGedcomIndiRecord& indi) {
    return {indi.famcArray(), indi.famsArray()};
}

void storeIfWanted(int* out, int value) {
    if (out) *out = value;
}

// Pre-order over a record's lines, the root first, then each child's subtree
// in order: the order of getNodesWithTag and getNodesWithXrefValues. The
// stack is kept from record to record, so a check of a whole file allocates
// once, not a few times a record; and it is a loop, so a record nested a
// million levels deep costs memory, not the call stack.
class LineWalk {
  public:
    template <typename Visit> void operator()(const LNGedcomRecord& record, Visit visit) {
        stack_.assign(1, record.root().get());
        while (!stack_.empty()) {
            const LNGedcomNode* line = stack_.back();
            stack_.pop_back();
            visit(*line);
            if (const auto* children = line->children()) {
                for (auto child = children->rbegin(); child != children->rend(); ++child)
                    stack_.push_back(static_cast<const LNGedcomNode*>(child->get()));
            }
        }
    }

  private:
    std::vector<const LNGedcomNode*> stack_;
};

// Calls missing(line) for each SOUR line of the record, at any level, whose
// value is a cross-reference that names no source.
template <typename Missing>
void forEachMissingSource(const LNGedcomRecord& record,
                          const RecordIndex<LNGedcomSourRecord>& index, LineWalk& walk,
                          Missing missing) {
    walk(record, [&](const LNGedcomNode& line) {
        if (!(line.tag() == kSour)) return;
        StringView value = line.value().view();
        if (isCrossReference(value) && !index.find(value)) missing(line);
    });
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
    LineWalk walk;
    for (const auto& record : *records_) {
        walk(*record, [&](const LNGedcomNode& line) {
            StringView key = line.value().view();
            if (!isCrossReference(key)) return;
            const LNGedcomRecord* found = recordWithKey(key).get();
            if (!found) {
                systemLog(toUtf8(fill(u"record with key %@ does not exist", {key})));
            } else if (!checkReferenceRecordTypes(*record, line, *found)) {
                systemLog(toUtf8(fill(u"record with key %@ does exist but has wrong type", {key})));
            }
        });
    }
}

bool checkReferenceRecordTypes(const LNGedcomRecord& record, const LNGedcomNode& line,
                               const LNGedcomRecord& found) {
    if (line.level() != 1) return true;
    StringView tag = line.tag().view();
    StringView foundTag = found.tag();
    if (tag == kSour) return foundTag == kSour;
    if (record.tag() == kIndi) return (tag == kFamc || tag == kFams) && foundTag == kFam;
    if (record.tag() == kFam) return (tag == kHusb || tag == kWife || tag == kChil) && foundTag == kIndi;
    return true;
}

int LNGedcomRecordSet::checkIndi(StringView personKey, const LNGedcomNode* link, int* husb, int* wife,
                                 int* chil) {
    int counts[3] = {0, 0, 0};
    if (const LNGedcomFamRecord* fam = linked(famIndex_, link)) {
        forEachLineNaming(rolesOf(*fam), personKey,
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
    forEachLineNaming(rolesOf(*fam), personKey, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(husbLines.size() + wifeLines.size() + chilLines.size());
}

int LNGedcomRecordSet::checkFam(StringView famKey, const LNGedcomNode* link, int* famc, int* fams) {
    int counts[2] = {0, 0};
    if (const LNGedcomIndiRecord* indi = linked(indiIndex_, link))
        forEachLineNaming(linksOf(*indi), famKey,
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
    forEachLineNaming(linksOf(*indi), famKey, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(famcLines.size() + famsLines.size());
}

void LNGedcomRecordSet::validateIndis() {
    // Scratch lists serve every person; the check functions empty them.
    std::vector<int> husbLines, wifeLines, chilLines;
    LineWalk walk;
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

        forEachMissingSource(*indi, sourIndex_, walk, [&](const LNGedcomNode& source) {
            report(errors_, LNGedcomErrorUndefinedKey, source.lineNumber(), u"SOUR %@ does not exist",
                   {source.value().view()});
        });
    }
    logCount("INDIs", errors_);
}

void LNGedcomRecordSet::validateFams() {
    // Scratch lists serve every member line of every family.
    std::vector<int> famcLines, famsLines;
    LineWalk walk;
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

        forEachMissingSource(*fam, sourIndex_, walk, [&](const LNGedcomNode& source) {
            reportText(errors_, u"INDI %@ has SOUR %@ that does not exist", {key, source.value().view()});
        });
    }
    logCount("FAMs", errors_);
}

// What a check of the source records would verify is open; loading does not
// call this.
void LNGedcomRecordSet::validateSours() {}

} // namespace kinloom
