#include "recordset/LNLinkValidator.h"

#include "recordset/LNGedcomRecordSet.h"
#include "records/PointerKinds.h"
#include "tree/PreOrderWalk.h"
#include "recordset/RecordWalk.h"
#include "support/LoadStages.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <string>

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

// The finding's detail: the format's arguments, in order.
LNProblemDetail detailOf(LNProblemFinding finding, std::initializer_list<StringView> args,
                         int recordLine = 0) {
    LNProblemDetail detail{finding, {}, recordLine};
    std::size_t at = 0;
    for (StringView arg : args)
        if (at < detail.args.size()) detail.args[at++] = arg;
    return detail;
}

void report(LNGedcomErrors* errors, ErrorKind kind, LNProblemFinding finding, int line, StringView format,
            std::initializer_list<StringView> args, int recordLine = 0) {
    if (errors) errors->addError(kind, line, fill(format, args), detailOf(finding, args, recordLine));
}

// The older plain-text report, without kind or line.
void reportText(LNGedcomErrors* errors, LNProblemFinding finding, int line, StringView format,
                std::initializer_list<StringView> args) {
    if (errors) errors->addObject(fill(format, args), line, detailOf(finding, args));
}

// The reference check only logs its findings; the list keeps them uncounted,
// and only those the pane is to list.
void logReference(LNGedcomErrors* errors, LNProblemFinding finding, const LNGedcomNode& line,
                  StringView format, StringView key, bool kept = true) {
    const String text = fill(format, {key});
    systemLog(toUtf8(text));
    if (errors && kept)
        errors->addUncounted(LNGedcomProblemReference, line.lineNumber(), text,
                             detailOf(finding, {key, line.tag().view()}));
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

RecordKind kindOfTag(StringView tag) {
    return tag == kIndi ? kindIndi : tag == kFam ? kindFam : tag == kSour ? kindSour : kindOther;
}

// Calls visit(role, index) for each of a record's resolved links that names
// the target, with the link's index among the lines of its role. A line
// names a person or family of the lists exactly when its value is that
// record's key, since each key leads to one record of a kind: the check
// compares numbers, not texts.
template <typename Visit>
void forEachLinkTo(std::span<const std::uint32_t> links, std::uint32_t target, Visit visit) {
    if (target == 0) return;
    std::int64_t seen[4] = {0, 0, 0, 0};
    for (std::uint32_t link : links) {
        const int role = ResolvedLinks::roleOf(link);
        if (ResolvedLinks::targetOf(link) == target) visit(role, seen[role]);
        ++seen[role];
    }
}

void countRole(RoleCounts& counts, int role, std::int64_t index) {
    if (counts.count[role]++ == 0) counts.first[role] = index;
}

RoleCounts countRoles(std::span<const std::uint32_t> links, std::uint32_t target) {
    RoleCounts counts;
    forEachLinkTo(links, target, [&](int role, std::int64_t index) { countRole(counts, role, index); });
    return counts;
}

// A record with more links than this gets a table of its roles by target
// when first asked, so that a record named by thousands of lines (of one
// record or of many) is read once, not once for each line naming it; below
// it, reading the few links is cheaper than the table.
constexpr std::size_t scanLimit = 32;

// Calls visit(index, target) for each resolved link of the role, with the
// link's index among the lines of its role.
template <typename Visit> void forEachOfRole(std::span<const std::uint32_t> links, int role, Visit visit) {
    std::size_t index = 0;
    for (std::uint32_t link : links)
        if (ResolvedLinks::roleOf(link) == role) visit(index++, ResolvedLinks::targetOf(link));
}

// Calls report(line) for each missing source of the record at the position,
// from the one at next on; returns where the next record's start.
template <typename Report>
std::size_t reportMissingSources(const ResolvedLinks::Lists& lists, std::uint32_t position, std::size_t next,
                                 Report report) {
    for (; next < lists.missingSources.size() && lists.missingSources[next].position == position; ++next)
        report(*lists.missingSources[next].line);
    return next;
}

} // namespace

bool referenceFitsKinds(RecordKind recordKind, const LNGedcomNode& line, RecordKind foundKind) {
    if (line.level() != 1) return true;
    StringView tag = line.tag().view();
    if (tag == kSour) return foundKind == kindSour;
    if (recordKind == kindIndi) return (tag == kFamc || tag == kFams) && foundKind == kindFam;
    if (recordKind == kindFam) return (tag == kHusb || tag == kWife || tag == kChil) && foundKind == kindIndi;
    return true;
}

bool checkReferenceRecordTypes(const LNGedcomRecord& record, const LNGedcomNode& line,
                               const LNGedcomRecord& found) {
    return referenceFitsKinds(kindOfTag(record.tag()), line, kindOfTag(found.tag()));
}

LNLinkValidator::LNLinkValidator(const LNGedcomRecordSet& set, ResolvedLinks& links, LNGedcomErrors* errors)
    : set_(set), links_(links), errors_(errors), standard_(set.standard()) {}

void LNLinkValidator::validateReferences() {
    links_.indis.clear();
    links_.fams.clear();
    const RecordList* records = set_.filedRecords();
    if (!records) return;
    links_.indis.starts.reserve(set_.indiRecords().size() + 1);
    links_.fams.starts.reserve(set_.famRecords().size() + 1);
    // The lines of a batch of records are gathered first and then resolved
    // in line order, so that the lookups can ask for their slots ahead.
    constexpr std::size_t batchSize = 16;
    LNProgress::Meter meter = LoadStages::meter("references", records->size());
    for (std::size_t start = 0; start < records->size(); start += batchSize) {
        meter.count(start);
        gatherLines(start, std::min(records->size(), start + batchSize));
        resolveLines();
    }
}

void LNLinkValidator::gatherLines(std::size_t start, std::size_t end) {
    static constexpr std::array<StringView, 3> indiRoles = {kFamc, kFams, StringView()};
    static constexpr std::array<StringView, 3> famRoles = {kHusb, kWife, kChil};
    const RecordList& records = *set_.filedRecords();
    batch_.clear();
    pending_.clear();
    closed_ = 0;
    forEachRecordAhead(records, start, end, [&](const LNGedcomRecord& record, std::size_t number) {
        const RecordKind kind = recordKindOf(record);
        // Only the records of the person and family lists keep what is resolved.
        const auto filed = static_cast<std::uint32_t>(number);
        const bool listed = (kind == kindIndi || kind == kindFam) && set_.filedKind(filed) == kind;
        batch_.push_back({kind, listed, set_.filedPosition(filed)});
        const std::array<StringView, 3>* roles = !listed            ? nullptr
                                                 : kind == kindIndi ? &indiRoles
                                                                    : &famRoles;
        const auto inBatch = static_cast<std::uint32_t>(number - start);
        forEachPreOrder(record.root().get(), [&](const LNGedcomNode* line, std::size_t depth) {
            int role = 0;
            if (roles && depth == 1) {
                const SharedString& tag = line->tag();
                for (int i = 0; i < 3 && role == 0; ++i)
                    if (!(*roles)[i].empty() && tag == (*roles)[i]) role = i + 1;
            }
            const bool reference = isCrossReference(line->value().view());
            if (reference || role != 0) pending_.push_back({line, inBatch, role, reference});
        });
    });
}

void LNLinkValidator::resolveLines() {
    set_.keyIndex_.forEachAhead(
        pending_.size(),
        [&](std::size_t i) -> const SharedString& {
            static const SharedString noKey;
            return pending_[i].reference ? pending_[i].line->value() : noKey;
        },
        [&](std::size_t i, StringView key, std::uint64_t hash) {
            closeRecordsBefore(pending_[i].record);
            resolveLine(pending_[i], key, hash);
        });
    closeRecordsBefore(batch_.size());
}

// Ends the resolved links of the batch's records before the one given.
void LNLinkValidator::closeRecordsBefore(std::size_t inBatch) {
    for (; closed_ < inBatch; ++closed_) {
        const BatchRecord& record = batch_[closed_];
        if (!record.listed) continue;
        ResolvedLinks::Lists& lists = record.kind == kindIndi ? links_.indis : links_.fams;
        lists.starts.push_back(static_cast<std::uint32_t>(lists.links.size()));
    }
}

void LNLinkValidator::resolveLine(const PendingLine& pending, StringView key, std::uint64_t hash) {
    const BatchRecord& record = batch_[pending.record];
    const auto kind = static_cast<RecordKind>(record.kind);
    ResolvedLinks::Lists& lists = kind == kindIndi ? links_.indis : links_.fams;
    if (!pending.reference) {
        lists.links.push_back(ResolvedLinks::link(pending.role, 0));
        return;
    }
    const LNGedcomNode& line = *pending.line;
    const std::uint32_t found = set_.keyIndex_.find(key, hash);
    checkReference(kind, line, key, found);
    if (pending.role != 0) {
        const std::uint32_t target =
            set_.positionFrom(kind == kindIndi ? kindFam : kindIndi, found, key, hash);
        lists.links.push_back(
            ResolvedLinks::link(pending.role, target == RecordIndex::none ? 0 : target + 1));
    }
    if (record.listed && line.tag() == kSour && !isVoid(&line) &&
        set_.positionFrom(kindSour, found, key, hash) == RecordIndex::none)
        lists.missingSources.push_back({record.position, &line});
}

// A GEDCOM 7 file names nothing with @VOID@: it is no link, and no
// finding. In older files it is a key like any other.
bool LNLinkValidator::isVoid(const LNGedcomNode* line) const {
    return standard_ == GedcomStandard::Gedcom7 && line && line->value().view() == u"@VOID@";
}

// GEDCOM 7 lets a child name its family in several FAMC lines.
bool LNLinkValidator::repeatsOnlyFamc(const RoleCounts& roles) const {
    return standard_ == GedcomStandard::Gedcom7 && roles.count[2] == 0 && roles.count[3] == 0;
}

// The record kind the line's standard asks for, against the found record's.
bool LNLinkValidator::namesExpectedKind(const LNGedcomNode& line, std::uint32_t found) const {
    const StringView expected = expectedRecordTag(standard_, line);
    return expected.empty() || expected == set_.recordKindTag(*(*set_.filedRecords())[found]);
}

// The log keeps the older rule for 5.5 and 5.5.1 files: every level-1
// pointer of a person or family but its links and sources has "wrong type".
// The problems list, and a GEDCOM 7 file's log, hold only the pointers that
// name another kind of record than the standard asks for.
void LNLinkValidator::checkReference(int kind, const LNGedcomNode& line, StringView key,
                                     std::uint32_t found) const {
    using enum LNProblemFinding;
    constexpr StringView wrongType = u"record with key %@ does exist but has wrong type";
    if (found == RecordIndex::none) {
        if (!isVoid(&line))
            logReference(errors_, referenceMissing, line, u"record with key %@ does not exist", key);
    } else if (standard_ == GedcomStandard::Gedcom7) {
        if (!namesExpectedKind(line, found)) logReference(errors_, referenceWrongKind, line, wrongType, key);
    } else if (!referenceFitsKinds(static_cast<RecordKind>(kind), line, set_.filedKind(found))) {
        logReference(errors_, referenceWrongKind, line, wrongType, key, !namesExpectedKind(line, found));
    }
}

RoleCounts LNLinkValidator::checkIndi(std::uint32_t person, const LNGedcomNode* link,
                                      std::uint32_t family) const {
    if (family == 0) {
        report(errors_, LNGedcomErrorUndefinedKey, LNProblemFinding::missingFamily, lineOf(link), u"FAM %@",
               {valueOf(link)});
        return RoleCounts();
    }
    return rolesIn(links_.fams, famTables_, family - 1, person);
}

RoleCounts LNLinkValidator::rolesIn(const ResolvedLinks::Lists& lists,
                                    std::unordered_map<std::uint32_t, RoleTable>& tables,
                                    std::uint32_t position, std::uint32_t target) const {
    const std::span<const std::uint32_t> links = lists.of(position);
    if (links.size() <= scanLimit) {
        links_.linesVisited += links.size();
        return countRoles(links, target);
    }
    auto [entry, added] = tables.try_emplace(position);
    RoleTable& table = entry->second;
    if (added) {
        links_.linesVisited += links.size();
        std::int64_t seen[4] = {0, 0, 0, 0};
        for (std::uint32_t link : links) {
            const int role = ResolvedLinks::roleOf(link);
            if (const std::uint32_t named = ResolvedLinks::targetOf(link); named != 0)
                countRole(table[named], role, seen[role]);
            ++seen[role];
        }
    }
    const auto found = target == 0 ? table.end() : table.find(target);
    return found == table.end() ? RoleCounts() : found->second;
}

int LNLinkValidator::checkIndiNew(std::uint32_t person, const LNGedcomNode* link, std::uint32_t family,
                                  std::vector<int>* const (&lists)[3]) const {
    for (std::vector<int>* list : lists)
        list->clear();
    if (family == 0) {
        report(errors_, LNGedcomErrorUndefinedKey, LNProblemFinding::missingFamily, lineOf(link), u"FAM %@",
               {valueOf(link)});
        return 0;
    }
    const LNGedcomFamRecord& fam = *set_.famRecords()[family - 1];
    const std::span<LNGedcomNode* const> lines[3] = {fam.husbArray(), fam.wifeArray(), fam.chilArray()};
    int total = 0;
    forEachLinkTo(links_.fams.of(family - 1), person, [&](int role, std::int64_t index) {
        lists[role - 1]->push_back(lines[role - 1][static_cast<std::size_t>(index)]->lineNumber());
        ++total;
    });
    return total;
}

RoleCounts LNLinkValidator::checkFam(std::uint32_t family, std::uint32_t person) const {
    return person == 0 ? RoleCounts() : rolesIn(links_.indis, indiTables_, person - 1, family);
}

int LNLinkValidator::checkFamNew(std::uint32_t family, std::uint32_t person,
                                 std::vector<int>* const (&lists)[2]) const {
    for (std::vector<int>* list : lists)
        list->clear();
    if (person == 0) return 0;
    const LNGedcomIndiRecord& indi = *set_.indiRecords()[person - 1];
    const std::span<LNGedcomNode* const> lines[2] = {indi.famcArray(), indi.famsArray()};
    int total = 0;
    forEachLinkTo(links_.indis.of(person - 1), family, [&](int role, std::int64_t index) {
        lists[role - 1]->push_back(lines[role - 1][static_cast<std::size_t>(index)]->lineNumber());
        ++total;
    });
    return total;
}

void LNLinkValidator::validateIndis() {
    std::size_t nextMissing = 0;
    LNProgress::Meter meter = LoadStages::meter("persons", set_.indiRecords().size());
    forEachRecordAhead<PersonAhead>(set_.indiRecords(), [&](const LNGedcomIndiRecord& indi, std::size_t at) {
        meter.count(at);
        const auto position = static_cast<std::uint32_t>(at);
        const LNGedcomNode* name = indi.name();
        // GEDCOM 7 lets a person go without a name.
        if ((!name || !name->value()) && standard_ != GedcomStandard::Gedcom7)
            // Logged at the NAME line, or 0 without one; kept with the
            // record's line too, so the viewer can still show the person.
            report(errors_, LNGedcomErrorIllegalName, LNProblemFinding::noName, lineOf(name), u"INDI %@",
                   {indi.key().view()}, indi.lineNumber());
        // GEDCOM 7 lets a child name several families, and one more than once
        // (fostered and adopted by it).
        if (checkNatalFamilies(position) > 1 && standard_ != GedcomStandard::Gedcom7)
            reportText(errors_, LNProblemFinding::childOfManyFamilies, indi.lineNumber(),
                       u"INDI %@ is CHIL in multiple FAMs", {indi.key().view()});
        checkSpousalFamilies(position);
        nextMissing =
            reportMissingSources(links_.indis, position, nextMissing, [&](const LNGedcomNode& source) {
                report(errors_, LNGedcomErrorUndefinedKey, LNProblemFinding::missingSource,
                       source.lineNumber(), u"SOUR %@ does not exist", {source.value().view()});
            });
    });
    logCount("INDIs", errors_);
}

// Checks the person's FAMC lines; returns the child total, which a person
// named K times as child by each of K lines reaches K * K.
std::uint64_t LNLinkValidator::checkNatalFamilies(std::uint32_t position) {
    const LNGedcomIndiRecord& indi = *set_.indiRecords()[position];
    // The key and the record's line are read only for a report.
    auto reportLink = [&](ErrorKind kind, LNProblemFinding finding, int at, StringView format,
                          const LNGedcomNode* link) {
        report(errors_, kind, finding, at, format, {indi.key().view(), valueOf(link)});
    };
    std::uint64_t childTotal = 0;
    forEachOfRole(links_.indis.of(position), 1, [&](std::size_t index, std::uint32_t family) {
        const LNGedcomNode* link = indi.famcArray()[index];
        if (family == 0 && isVoid(link)) return;
        const RoleCounts roles = checkIndi(position + 1, link, family);
        // A line that names no family is reported a second time, where its
        // role lines would be looked for: the log has always held both.
        if (family == 0) checkIndi(position + 1, link, family);
        const std::int64_t husb = roles.count[1], wife = roles.count[2], chil = roles.count[3];
        childTotal += static_cast<std::uint64_t>(chil);
        const int line = indi.lineNumber();
        constexpr StringView asHusband = u"INDI %@ in FAM %@ as HUSB not CHILD";
        constexpr StringView asWife = u"INDI %@ in FAM %@ as WIFE not CHILD";
        using enum LNProblemFinding;
        if (husb > 0) reportLink(LNGedcomErrorWrongRole, husbandInNatal, line, asHusband, link);
        if (wife > 0) reportLink(LNGedcomErrorWrongRole, wifeInNatal, line, asWife, link);
        if (chil == 0)
            reportLink(LNGedcomErrorMissingLink, notListedAsChild, line, u"INDI %@ not in FAM %@ as CHIL",
                       link);
        if (roles.total() > 1)
            reportLink(LNGedcomErrorMultipleRoles, manyRoles, line, u"INDI %@ in FAM %@ multiple roles",
                       link);
        // The first husband's or wife's line is read only for a report.
        auto firstLine = [&](std::span<LNGedcomNode* const> lines, int role) {
            return lines[static_cast<std::size_t>(roles.first[role])]->lineNumber();
        };
        if (husb > 0)
            reportLink(LNGedcomErrorWrongRole, husbandInNatal,
                       firstLine(set_.famRecords()[family - 1]->husbArray(), 1), asHusband, link);
        if (wife > 0)
            reportLink(LNGedcomErrorWrongRole, wifeInNatal,
                       firstLine(set_.famRecords()[family - 1]->wifeArray(), 2), asWife, link);
    });
    return childTotal;
}

void LNLinkValidator::checkSpousalFamilies(std::uint32_t position) {
    const LNGedcomIndiRecord& indi = *set_.indiRecords()[position];
    auto reportLink = [&](ErrorKind kind, LNProblemFinding finding, StringView format,
                          const LNGedcomNode* link) {
        report(errors_, kind, finding, indi.lineNumber(), format, {indi.key().view(), valueOf(link)});
    };
    const int sex = sexValue(indi.sex());
    // GEDCOM 7 infers no sex from HUSB and WIFE.
    const bool sexed = standard_ != GedcomStandard::Gedcom7;
    forEachOfRole(links_.indis.of(position), 2, [&](std::size_t index, std::uint32_t family) {
        const LNGedcomNode* link = indi.famsArray()[index];
        if (family == 0 && isVoid(link)) return;
        const RoleCounts roles = checkIndi(position + 1, link, family);
        using enum LNProblemFinding;
        if (roles.count[1] > 0 && sex != 1 && sexed)
            reportLink(LNGedcomErrorWrongSex, husbandNotMale, u"INDI %@ in FAM %@ should be male", link);
        if (roles.count[2] > 0 && sex != 2 && sexed)
            reportLink(LNGedcomErrorWrongSex, wifeNotFemale, u"INDI %@ in FAM %@ should be female", link);
        if (roles.count[3] > 0)
            reportLink(LNGedcomErrorWrongRole, childInSpousal, u"INDI %@ in FAM %@ should be spouse", link);
        if (roles.total() > 1)
            reportLink(LNGedcomErrorMultipleRoles, manyRoles, u"INDI %@ in FAM %@ multiple roles", link);
    });
}

void LNLinkValidator::validateFams() {
    std::size_t nextMissing = 0;
    LNProgress::Meter meter = LoadStages::meter("families", set_.famRecords().size());
    for (std::uint32_t position = 0; position < set_.famRecords().size(); ++position) {
        meter.count(position);
        checkHusbands(position);
        checkWivesAndChildren(position);
        const LNGedcomFamRecord& fam = *set_.famRecords()[position];
        nextMissing =
            reportMissingSources(links_.fams, position, nextMissing, [&](const LNGedcomNode& source) {
                reportText(errors_, LNProblemFinding::familyMissingSource, fam.lineNumber(),
                           u"INDI %@ has SOUR %@ that does not exist",
                           {fam.key().view(), source.value().view()});
            });
    }
    logCount("FAMs", errors_);
}

void LNLinkValidator::checkHusbands(std::uint32_t position) {
    const LNGedcomFamRecord& fam = *set_.famRecords()[position];
    forEachOfRole(links_.fams.of(position), 1, [&](std::size_t index, std::uint32_t person) {
        const LNGedcomNode* link = fam.husbArray()[index];
        if (person == 0 && isVoid(link)) return;
        if (person == 0) {
            report(errors_, LNGedcomErrorUndefinedKey, LNProblemFinding::missingPerson, lineOf(link),
                   u"INDI %@ undefined", {valueOf(link)});
            return;
        }
        // Only whether the FAMC and FAMS line lists are empty and their total
        // are read, which the counts tell without reading a line.
        const RoleCounts roles = checkFam(position + 1, person);
        auto reportMember = [&](LNProblemFinding finding, StringView format) {
            reportText(errors_, finding, fam.lineNumber(), format, {fam.key().view(), valueOf(link)});
        };
        using enum LNProblemFinding;
        if (roles.count[1] > 0)
            reportMember(husbandNamesAsNatal, u"FAM %@ is FAMC in INDI %@ but should be FAMS one");
        if (roles.count[2] == 0)
            reportMember(husbandMissesFamily, u"FAM %@ should be FAMS in INDI %@ but isn't two");
        if (roles.total() > 1) reportMember(memberInManyRoles, u"FAM %@ in INDI %@ in multiple roles");
    });
}

// Wives and children are judged by counts: a wife must not name the family
// as FAMC (role 1), a child not as FAMS (role 2).
void LNLinkValidator::checkWivesAndChildren(std::uint32_t position) {
    const LNGedcomFamRecord& fam = *set_.famRecords()[position];
    using enum LNProblemFinding;
    auto checkMembers = [&](int role, std::span<LNGedcomNode* const> lines, int wrongRole,
                            LNProblemFinding wrongFinding, StringView wrongText) {
        forEachOfRole(links_.fams.of(position), role, [&](std::size_t index, std::uint32_t person) {
            const RoleCounts roles = checkFam(position + 1, person);
            auto reportMember = [&](LNProblemFinding finding, StringView format) {
                reportText(errors_, finding, fam.lineNumber(), format,
                           {fam.key().view(), valueOf(lines[index])});
            };
            if (roles.count[wrongRole] > 0) reportMember(wrongFinding, wrongText);
            if (roles.total() > 1 && !repeatsOnlyFamc(roles))
                reportMember(memberInManyRoles, u"FAM %@ in INDI %@ in multiple roles");
        });
    };
    checkMembers(2, fam.wifeArray(), 1, wifeNamesAsNatal,
                 u"FAM %@ is FAMC in INDI %@ but should be FAMS three");
    checkMembers(3, fam.chilArray(), 2, childNamesAsSpousal,
                 u"FAM %@ is FAMS in INDI %@ but should be FAMC four");
}

} // namespace kinloom
