#include "LNGedcomRecordSet.h"

#include "SystemLog.h"
#include "TextServices.h"

#include <algorithm>
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

// The older plain-text report, without kind; the list keeps the line of the
// record it is about.
void reportText(LNGedcomErrors* errors, int line, StringView format, std::initializer_list<StringView> args) {
    if (errors) errors->addObject(fill(format, args), line);
}

// The reference check only logs its findings; the list keeps them uncounted.
void logReference(LNGedcomErrors* errors, const LNGedcomNode& line, StringView format, StringView key) {
    const String text = fill(format, {key});
    systemLog(toUtf8(text));
    if (errors) errors->addUncounted(LNGedcomProblemReference, line.lineNumber(), text);
}

void logCount(const char* what, const LNGedcomErrors* errors) {
    systemLog(std::string("after validating ") + what + " there are " +
              std::to_string(errors ? errors->count() : 0) + " errors");
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
// in order: the order of getNodesWithTag and getNodesWithXrefValues. visit
// also learns whether the line is a child of the root. The stack is kept
// from record to record, so a check of a whole file allocates once, not a
// few times a record; and it is a loop, so a record nested a million levels
// deep costs memory, not the call stack.
class LineWalk {
  public:
    template <typename Visit> void operator()(const LNGedcomRecord& record, Visit visit) {
        const LNGedcomNode* root = record.root().get();
        stack_.clear();
        visit(*root, false);
        push(*root, rootChild);
        while (!stack_.empty()) {
            const std::uintptr_t entry = stack_.back();
            stack_.pop_back();
            const auto* line = reinterpret_cast<const LNGedcomNode*>(entry & ~rootChild);
            visit(*line, (entry & rootChild) != 0);
            push(*line, 0);
        }
    }

  private:
    // Lines are aligned, so the lowest bit of an entry is free to mark the
    // root's children.
    static constexpr std::uintptr_t rootChild = 1;
    void push(const LNGedcomNode& line, std::uintptr_t mark) {
        if (const auto* children = line.children()) {
            for (auto child = children->rbegin(); child != children->rend(); ++child)
                stack_.push_back(reinterpret_cast<std::uintptr_t>(child->get()) | mark);
        }
    }
    std::vector<std::uintptr_t> stack_;
};

// A resolved link line's parts (see indiLinks_): its role, 1 to 3, and the
// named record's position plus one (0: none).
int roleOf(std::uint32_t link) {
    return static_cast<int>(link >> 30);
}
std::uint32_t targetOf(std::uint32_t link) {
    return link & 0x3FFFFFFFu;
}

// How many lines of each role (1 to 3) in a record's resolved links name the
// record at that position, and the index among its role's lines of the first
// one naming it (-1 when none). A line names a person or family of the lists
// exactly when its value is that record's key, since each key leads to one
// record of a kind: the check compares numbers, not texts.
struct RoleCounts {
    int count[4] = {0, 0, 0, 0};
    int first[4] = {-1, -1, -1, -1};
    int total() const { return count[1] + count[2] + count[3]; }
};

RoleCounts countRoles(std::span<const std::uint32_t> links, std::uint32_t position) {
    RoleCounts counts;
    int seen[4] = {0, 0, 0, 0};
    for (std::uint32_t link : links) {
        const int role = roleOf(link);
        if (targetOf(link) == position + 1 && counts.count[role]++ == 0) counts.first[role] = seen[role];
        ++seen[role];
    }
    return counts;
}

// Calls visit(index, link) for each resolved link of the role, with the
// link's index among the lines of its role.
template <typename Visit> void forEachOfRole(std::span<const std::uint32_t> links, int role, Visit visit) {
    int index = 0;
    for (std::uint32_t link : links)
        if (roleOf(link) == role) visit(index++, link);
}

} // namespace

bool LNGedcomRecordSet::validate() {
    validateReferences();
    validateIndis();
    validateFams();
    return true;
}

std::span<const std::uint32_t> LNGedcomRecordSet::indiLinks(std::size_t position) const {
    return std::span<const std::uint32_t>(indiLinks_)
        .subspan(indiLinkStarts_[position], indiLinkStarts_[position + 1] - indiLinkStarts_[position]);
}

std::span<const std::uint32_t> LNGedcomRecordSet::famLinks(std::size_t position) const {
    return std::span<const std::uint32_t>(famLinks_).subspan(
        famLinkStarts_[position], famLinkStarts_[position + 1] - famLinkStarts_[position]);
}

void LNGedcomRecordSet::validateReferences() {
    // Besides logging, this resolves each cross-reference once for the checks
    // of persons and families: their link lines and missing sources.
    indiLinks_.clear();
    famLinks_.clear();
    indiLinkStarts_.assign(1, 0);
    famLinkStarts_.assign(1, 0);
    indiMissingSources_.clear();
    famMissingSources_.clear();
    if (!records_) return;
    indiLinkStarts_.reserve(indiRecords_.size() + 1);
    famLinkStarts_.reserve(famRecords_.size() + 1);
    static constexpr std::array<StringView, 3> indiRoles = {kFamc, kFams, StringView()};
    static constexpr std::array<StringView, 3> famRoles = {kHusb, kWife, kChil};
    // A lookup mostly waits for memory. So the lines of a batch of records
    // are gathered first, each lookup's slot asked for ahead, and then handled
    // in line order, while many loads are under way at once.
    constexpr std::size_t batchSize = 16;
    struct BatchRecord {
        Kind kind;
        bool listed;
        std::uint32_t position;
    };
    // A line with a cross-reference, or a link line of a listed record.
    struct Pending {
        const LNGedcomNode* line;
        std::uint64_t hash;
        std::uint32_t record; // in the batch
        int role;             // 1 to 3 for link lines of listed records
        bool reference;
    };
    std::vector<BatchRecord> batch;
    std::vector<Pending> pending;
    // The walk, too, waits for each record's scattered lines: a record's
    // root, child list and level-1 lines are asked for some records ahead,
    // one step of pointers at a time.
    const std::size_t total = records_->size();
    auto rootAt = [&](std::size_t at) { return (*records_)[at]->root().get(); };
    auto askAhead = [&](std::size_t number) {
        if (number + 16 < total) __builtin_prefetch((*records_)[number + 16].get());
        if (number + 12 < total) __builtin_prefetch(rootAt(number + 12));
        if (number + 8 < total) __builtin_prefetch(rootAt(number + 8)->children());
        if (number + 4 < total)
            if (const auto* children = rootAt(number + 4)->children(); children && children->size() != 0)
                __builtin_prefetch(&(*children)[0]);
        if (number + 2 < total)
            if (const auto* children = rootAt(number + 2)->children())
                for (const auto& child : *children)
                    __builtin_prefetch(child.get());
    };
    LineWalk walk;
    for (std::size_t start = 0; start < records_->size(); start += batchSize) {
        const std::size_t end = std::min(records_->size(), start + batchSize);
        batch.clear();
        pending.clear();
        for (std::size_t number = start; number < end; ++number) {
            askAhead(number);
            const LNGedcomRecord& record = *(*records_)[number];
            const std::type_info& type = typeid(record);
            const Kind kind = type == typeid(LNGedcomIndiRecord)  ? kindIndi
                              : type == typeid(LNGedcomFamRecord) ? kindFam
                                                                  : kindOther;
            // Only the records of the person and family lists keep what is resolved.
            const std::uint32_t filing = filings_[number];
            const bool listed = kind != kindOther && static_cast<Kind>(filing >> 30) == kind;
            batch.push_back({kind, listed, filing & positionMask});
            const std::array<StringView, 3>* roles = !listed            ? nullptr
                                                     : kind == kindIndi ? &indiRoles
                                                                        : &famRoles;
            const auto inBatch = static_cast<std::uint32_t>(number - start);
            walk(record, [&](const LNGedcomNode& line, bool rootChild) {
                int role = 0;
                if (roles && rootChild) {
                    const SharedString& tag = line.tag();
                    for (int i = 0; i < 3 && role == 0; ++i)
                        if (!(*roles)[i].empty() && tag == (*roles)[i]) role = i + 1;
                }
                StringView key = line.value().view();
                const bool reference = isCrossReference(key);
                if (!reference && role == 0) return;
                const std::uint64_t hash = reference ? recordKeyHash(key) : 0;
                if (reference) keyIndex_.prefetch(hash);
                pending.push_back({&line, hash, inBatch, role, reference});
            });
        }

        std::size_t next = 0;
        for (std::uint32_t inBatch = 0; inBatch < batch.size(); ++inBatch) {
            const BatchRecord& record = batch[inBatch];
            const bool indi = record.listed && record.kind == kindIndi;
            const bool fam = record.listed && record.kind == kindFam;
            std::vector<std::uint32_t>& links = indi ? indiLinks_ : famLinks_;
            std::vector<MissingSource>& missingSources = indi ? indiMissingSources_ : famMissingSources_;
            const Kind targetKind = indi ? kindFam : kindIndi;
            for (; next < pending.size() && pending[next].record == inBatch; ++next) {
                const Pending& at = pending[next];
                const auto role = static_cast<std::uint32_t>(at.role) << 30;
                if (!at.reference) {
                    links.push_back(role);
                    continue;
                }
                const LNGedcomNode& line = *at.line;
                StringView key = line.value().view();
                const std::uint32_t found = keyIndex_.find(key, at.hash);
                if (found == RecordIndex::none) {
                    logReference(errors_, line, u"record with key %@ does not exist", key);
                } else if (!fitsKind(record.kind, line, static_cast<Kind>(filings_[found] >> 30))) {
                    logReference(errors_, line, u"record with key %@ does exist but has wrong type", key);
                }
                if (role) {
                    const std::uint32_t target = positionFrom(targetKind, found, key, at.hash);
                    links.push_back(role | (target == RecordIndex::none ? 0 : target + 1));
                }
                if ((indi || fam) && line.tag() == kSour &&
                    positionFrom(kindSour, found, key, at.hash) == RecordIndex::none)
                    missingSources.push_back({record.position, &line});
            }
            if (indi) indiLinkStarts_.push_back(static_cast<std::uint32_t>(indiLinks_.size()));
            if (fam) famLinkStarts_.push_back(static_cast<std::uint32_t>(famLinks_.size()));
        }
    }
}

bool LNGedcomRecordSet::fitsKind(Kind recordKind, const LNGedcomNode& line, Kind foundKind) {
    // As checkReferenceRecordTypes, with the kinds the classes give.
    if (line.level() != 1) return true;
    StringView tag = line.tag().view();
    if (tag == kSour) return foundKind == kindSour;
    if (recordKind == kindIndi) return (tag == kFamc || tag == kFams) && foundKind == kindFam;
    if (recordKind == kindFam) return (tag == kHusb || tag == kWife || tag == kChil) && foundKind == kindIndi;
    return true;
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
    const std::uint32_t fam = positionOf(kindFam, link);
    if (fam != RecordIndex::none) {
        forEachLineNaming(rolesOf(*famRecords_[fam]), personKey,
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
    const std::uint32_t fam = positionOf(kindFam, link);
    husbLines.clear();
    wifeLines.clear();
    chilLines.clear();
    if (fam == RecordIndex::none) {
        report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
        return 0;
    }
    std::vector<int>* lists[3] = {&husbLines, &wifeLines, &chilLines};
    forEachLineNaming(rolesOf(*famRecords_[fam]), personKey, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(husbLines.size() + wifeLines.size() + chilLines.size());
}

int LNGedcomRecordSet::checkFam(StringView famKey, const LNGedcomNode* link, int* famc, int* fams) {
    int counts[2] = {0, 0};
    const std::uint32_t indi = positionOf(kindIndi, link);
    if (indi != RecordIndex::none)
        forEachLineNaming(linksOf(*indiRecords_[indi]), famKey,
                          [&](std::size_t role, const LNGedcomNode&) { ++counts[role]; });
    storeIfWanted(famc, counts[0]);
    storeIfWanted(fams, counts[1]);
    return counts[0] + counts[1];
}

int LNGedcomRecordSet::checkFamNew(StringView famKey, const LNGedcomNode* link, std::vector<int>& famcLines,
                                   std::vector<int>& famsLines) {
    famcLines.clear();
    famsLines.clear();
    const std::uint32_t indi = positionOf(kindIndi, link);
    if (indi == RecordIndex::none) return 0;
    std::vector<int>* lists[2] = {&famcLines, &famsLines};
    forEachLineNaming(linksOf(*indiRecords_[indi]), famKey, [&](std::size_t role, const LNGedcomNode& line) {
        lists[role]->push_back(line.lineNumber());
    });
    return static_cast<int>(famcLines.size() + famsLines.size());
}

// The person and family checks read the links validateReferences resolved:
// they report what checkIndi, checkIndiNew, checkFam and checkFamNew would,
// in the same order, but look up no key and compare no text.
void LNGedcomRecordSet::validateIndis() {
    std::size_t nextMissing = 0;
    // Each person's record, first lines and sex are asked for some persons
    // ahead, one step of pointers at a time, so that the waits overlap.
    const std::size_t total = indiRecords_.size();
    auto person = [&](std::size_t at) { return indiRecords_[at].get(); };
    for (std::uint32_t position = 0; position < total; ++position) {
        if (position + 12 < total) __builtin_prefetch(person(position + 12));
        if (position + 8 < total) {
            __builtin_prefetch(person(position + 8)->nameArray().data());
            __builtin_prefetch(person(position + 8)->sex());
        }
        if (position + 4 < total) {
            __builtin_prefetch(person(position + 4)->name());
            if (const LNGedcomNode* sex = person(position + 4)->sex())
                __builtin_prefetch(sex->value().view().data());
        }
        const LNGedcomIndiRecord& indi = *person(position);
        // The key and the record's line are read only for a report.
        auto key = [&] { return indi.key().view(); };
        const auto line = [&] { return indi.lineNumber(); };

        const LNGedcomNode* name = indi.name();
        if (!name || !name->value())
            report(errors_, LNGedcomErrorIllegalName, lineOf(name), u"INDI %@", {key()});

        // Every link report names the person first, then the family the link names.
        auto reportLink = [&](ErrorKind kind, int at, StringView format, const LNGedcomNode* link) {
            report(errors_, kind, at, format, {key(), valueOf(link)});
        };

        const std::span<const std::uint32_t> links = indiLinks(position);
        const int sex = sexValue(indi.sex());
        int childTotal = 0;
        forEachOfRole(links, 1, [&](int index, std::uint32_t resolved) {
            const LNGedcomNode* link = indi.famcArray()[static_cast<std::size_t>(index)];
            const std::uint32_t fam = targetOf(resolved);
            if (fam == 0) {
                // Both checks report the missing family.
                report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
                report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
                reportLink(LNGedcomErrorMissingLink, line(), u"INDI %@ not in FAM %@ as CHIL", link);
                return;
            }
            const RoleCounts roles = countRoles(famLinks(fam - 1), position);
            const int husb = roles.count[1], wife = roles.count[2], chil = roles.count[3];
            childTotal += chil;
            if (husb > 0)
                reportLink(LNGedcomErrorWrongRole, line(), u"INDI %@ in FAM %@ as HUSB not CHILD", link);
            if (wife > 0)
                reportLink(LNGedcomErrorWrongRole, line(), u"INDI %@ in FAM %@ as WIFE not CHILD", link);
            if (chil == 0)
                reportLink(LNGedcomErrorMissingLink, line(), u"INDI %@ not in FAM %@ as CHIL", link);
            if (roles.total() > 1)
                reportLink(LNGedcomErrorMultipleRoles, line(), u"INDI %@ in FAM %@ multiple roles", link);
            const LNGedcomFamRecord& family = *famRecords_[fam - 1];
            if (husb > 0)
                reportLink(LNGedcomErrorWrongRole,
                           family.husbArray()[static_cast<std::size_t>(roles.first[1])]->lineNumber(),
                           u"INDI %@ in FAM %@ as HUSB not CHILD", link);
            if (wife > 0)
                reportLink(LNGedcomErrorWrongRole,
                           family.wifeArray()[static_cast<std::size_t>(roles.first[2])]->lineNumber(),
                           u"INDI %@ in FAM %@ as WIFE not CHILD", link);
        });
        if (childTotal > 1) reportText(errors_, line(), u"INDI %@ is CHIL in multiple FAMs", {key()});

        forEachOfRole(links, 2, [&](int index, std::uint32_t resolved) {
            const LNGedcomNode* link = indi.famsArray()[static_cast<std::size_t>(index)];
            const std::uint32_t fam = targetOf(resolved);
            if (fam == 0) {
                report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"FAM %@", {valueOf(link)});
                return;
            }
            const RoleCounts roles = countRoles(famLinks(fam - 1), position);
            if (roles.count[1] > 0 && sex != 1)
                reportLink(LNGedcomErrorWrongSex, line(), u"INDI %@ in FAM %@ should be male", link);
            if (roles.count[2] > 0 && sex != 2)
                reportLink(LNGedcomErrorWrongSex, line(), u"INDI %@ in FAM %@ should be female", link);
            if (roles.count[3] > 0)
                reportLink(LNGedcomErrorWrongRole, line(), u"INDI %@ in FAM %@ should be spouse", link);
            if (roles.total() > 1)
                reportLink(LNGedcomErrorMultipleRoles, line(), u"INDI %@ in FAM %@ multiple roles", link);
        });

        for (; nextMissing < indiMissingSources_.size() &&
               indiMissingSources_[nextMissing].position == position;
             ++nextMissing) {
            const LNGedcomNode& source = *indiMissingSources_[nextMissing].line;
            report(errors_, LNGedcomErrorUndefinedKey, source.lineNumber(), u"SOUR %@ does not exist",
                   {source.value().view()});
        }
    }
    logCount("INDIs", errors_);
}

void LNGedcomRecordSet::validateFams() {
    std::size_t nextMissing = 0;
    for (std::uint32_t position = 0; position < famRecords_.size(); ++position) {
        // The family's own record is read only for a report.
        const LNGedcomFamRecord& fam = *famRecords_[position];
        auto key = [&] { return fam.key().view(); };
        auto reportFamText = [&](StringView format, std::initializer_list<StringView> args) {
            reportText(errors_, fam.lineNumber(), format, args);
        };
        const std::span<const std::uint32_t> links = famLinks(position);

        forEachOfRole(links, 1, [&](int index, std::uint32_t resolved) {
            const LNGedcomNode* link = fam.husbArray()[static_cast<std::size_t>(index)];
            const std::uint32_t indi = targetOf(resolved);
            if (indi == 0) {
                report(errors_, LNGedcomErrorUndefinedKey, lineOf(link), u"INDI %@ undefined",
                       {valueOf(link)});
                return;
            }
            const RoleCounts roles = countRoles(indiLinks(indi - 1), position);
            const StringView person = valueOf(link);
            if (roles.count[1] > 0)
                reportFamText(u"FAM %@ is FAMC in INDI %@ but should be FAMS one", {key(), person});
            if (roles.count[2] == 0)
                reportFamText(u"FAM %@ should be FAMS in INDI %@ but isn't two", {key(), person});
            if (roles.total() > 1) reportFamText(u"FAM %@ in INDI %@ in multiple roles", {key(), person});
        });

        // Wives and children are judged by counts: a wife must not name the
        // family as FAMC (role 1), a child not as FAMS (role 2).
        auto checkMembers = [&](int role, std::span<LNGedcomNode* const> lines, int wrongRole,
                                StringView wrongText) {
            forEachOfRole(links, role, [&](int index, std::uint32_t resolved) {
                const std::uint32_t indi = targetOf(resolved);
                if (indi == 0) return;
                const RoleCounts roles = countRoles(indiLinks(indi - 1), position);
                const LNGedcomNode* link = lines[static_cast<std::size_t>(index)];
                if (roles.count[wrongRole] > 0) reportFamText(wrongText, {key(), valueOf(link)});
                if (roles.total() > 1)
                    reportFamText(u"FAM %@ in INDI %@ in multiple roles", {key(), valueOf(link)});
            });
        };
        checkMembers(2, fam.wifeArray(), 1, u"FAM %@ is FAMC in INDI %@ but should be FAMS three");
        checkMembers(3, fam.chilArray(), 2, u"FAM %@ is FAMS in INDI %@ but should be FAMC four");

        for (;
             nextMissing < famMissingSources_.size() && famMissingSources_[nextMissing].position == position;
             ++nextMissing) {
            reportFamText(u"INDI %@ has SOUR %@ that does not exist",
                          {key(), famMissingSources_[nextMissing].line->value().view()});
        }
    }
    logCount("FAMs", errors_);
}

// What a check of the source records would verify is open; loading does not
// call this.
void LNGedcomRecordSet::validateSours() {}

} // namespace kinloom
