// A whole file from bytes, opened as the window opens it: character-set
// detection, decoding, records, indexes and link validation; then the person
// table sorted by every column, each order checked against comparePersons,
// and read cell by cell, a click on a parent cell with the record outline
// expanded, a name search for the first person's name, the validate
// command, and the relations the table omits.
// The key lookups and the link validation are checked against plain versions
// that find every record and role by comparing texts.

#include "FuzzText.h"
#include "LNHeadlessViewer.h"
#include "LNPersonSorter.h"
#include "file/LNGedcomFile.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <map>
#include <span>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

/// The bytes as a regular file in memory, read through its path the way a
/// file on disk is.
class MemoryFile {
  public:
    MemoryFile() : fd_(memfd_create("kinloom-fuzz", 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {
        if (fd_ < 0) std::abort();
    }
    const std::string& write(std::string_view bytes) {
        if (ftruncate(fd_, 0) != 0 || pwrite(fd_, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
            std::abort();
        return path_;
    }

  private:
    int fd_;
    std::string path_;
};

String fill(StringView format, std::initializer_list<StringView> args) {
    String text;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i)
        if (format.substr(i, 2) == u"%@" && arg != args.end())
            text += *arg++, ++i;
        else
            text += format[i];
    return text;
}

StringView valueOf(const LNGedcomNode* line) {
    return line && line->value() ? line->value().view() : StringView(u"(null)");
}

// How many lines of each list name the key.
template <std::size_t N>
std::array<int, N> namings(std::array<std::span<LNGedcomNode* const>, N> lists, StringView key) {
    std::array<int, N> counts{};
    for (std::size_t i = 0; i < N; ++i)
        for (const LNGedcomNode* line : lists[i])
            counts[i] += line->value() == key;
    return counts;
}

// The line number of the first line naming the key.
int firstNaming(std::span<LNGedcomNode* const> lines, StringView key) {
    return (*std::ranges::find_if(lines, [&](const LNGedcomNode* line) { return line->value() == key; }))
        ->lineNumber();
}

// Whether a level-1 link line of the record leads to a record of a kind it may name.
bool fitting(StringView recordTag, const LNGedcomNode& line, StringView found) {
    StringView tag = line.tag().view();
    if (line.level() != 1) return true;
    if (tag == u"SOUR") return found == u"SOUR";
    if (recordTag == u"INDI") return (tag == u"FAMC" || tag == u"FAMS") && found == u"FAM";
    if (recordTag == u"FAM") return (tag == u"HUSB" || tag == u"WIFE" || tag == u"CHIL") && found == u"INDI";
    return true;
}

/// validate() the plain way: every record and role found by its key text.
/// The counts logged leave out the first `earlier` errors of the list.
struct PlainValidation {
    LNGedcomRecordSet& set;
    LNGedcomErrors& errors;
    int earlier;

    // A report without kind is the older plain-text one.
    void report(ErrorKind kind, int line, StringView format, std::initializer_list<StringView> args) {
        kind.empty() ? errors.addObject(fill(format, args)) : errors.addError(kind, line, fill(format, args));
    }
    void logCount(const char* what) {
        systemLog(std::string("after validating ") + what + " there are " +
                  std::to_string(errors.count() - earlier) + " errors");
    }
    void forEachMissingSource(const LNGedcomRecord& record, auto missing) {
        forEachPreOrder(record.root().get(), [&](const LNGedcomNode* line, std::size_t) {
            StringView key = line->value().view();
            if (line->tag() == u"SOUR" && isCrossReference(key) && !set.sourWithKey(key)) missing(key, *line);
        });
    }
    void references(const LNGedcomRecord& record) {
        forEachPreOrder(record.root().get(), [&](const LNGedcomNode* line, std::size_t) {
            StringView key = line->value().view();
            if (!isCrossReference(key)) return;
            const auto& found = set.recordWithKey(key);
            if (!found || !fitting(record.tag(), *line, found->tag()))
                systemLog(toUtf8(fill(found ? u"record with key %@ does exist but has wrong type"
                                            : u"record with key %@ does not exist",
                                      {key})));
        });
    }
    void person(const LNGedcomIndiRecord& indi) {
        const StringView key = indi.key().view();
        const int at = indi.lineNumber();
        const LNGedcomNode* name = indi.name();
        if (!name || !name->value())
            report(LNGedcomErrorIllegalName, name ? name->lineNumber() : 0, u"INDI %@", {key});
        int children = 0;
        const char16_t *husbText = u"INDI %@ in FAM %@ as HUSB not CHILD",
                       *wifeText = u"INDI %@ in FAM %@ as WIFE not CHILD";
        for (const LNGedcomNode* link : indi.famcArray()) {
            auto says = [&](bool when, ErrorKind kind, int line, const char16_t* text) {
                if (when) report(kind, line, text, {key, valueOf(link)});
            };
            const auto& fam = set.famWithKey(valueOf(link));
            for (int twice = 0; !fam && twice < 2; ++twice)
                report(LNGedcomErrorUndefinedKey, link->lineNumber(), u"FAM %@", {valueOf(link)});
            auto [husb, wife, chil] =
                fam ? namings<3>({fam->husbArray(), fam->wifeArray(), fam->chilArray()}, key)
                    : std::array{0, 0, 0};
            children += chil;
            says(husb, LNGedcomErrorWrongRole, at, husbText);
            says(wife, LNGedcomErrorWrongRole, at, wifeText);
            says(!chil, LNGedcomErrorMissingLink, at, u"INDI %@ not in FAM %@ as CHIL");
            says(husb + wife + chil > 1, LNGedcomErrorMultipleRoles, at, u"INDI %@ in FAM %@ multiple roles");
            if (husb) says(true, LNGedcomErrorWrongRole, firstNaming(fam->husbArray(), key), husbText);
            if (wife) says(true, LNGedcomErrorWrongRole, firstNaming(fam->wifeArray(), key), wifeText);
        }
        if (children > 1) report({}, 0, u"INDI %@ is CHIL in multiple FAMs", {key});
        for (const LNGedcomNode* link : indi.famsArray()) {
            auto says = [&](bool when, ErrorKind kind, const char16_t* text) {
                if (when) report(kind, at, text, {key, valueOf(link)});
            };
            const auto& fam = set.famWithKey(valueOf(link));
            if (!fam) report(LNGedcomErrorUndefinedKey, link->lineNumber(), u"FAM %@", {valueOf(link)});
            if (!fam) continue;
            auto [husb, wife, chil] = namings<3>({fam->husbArray(), fam->wifeArray(), fam->chilArray()}, key);
            says(husb && sexValue(indi.sex()) != 1, LNGedcomErrorWrongSex,
                 u"INDI %@ in FAM %@ should be male");
            says(wife && sexValue(indi.sex()) != 2, LNGedcomErrorWrongSex,
                 u"INDI %@ in FAM %@ should be female");
            says(chil, LNGedcomErrorWrongRole, u"INDI %@ in FAM %@ should be spouse");
            says(husb + wife + chil > 1, LNGedcomErrorMultipleRoles, u"INDI %@ in FAM %@ multiple roles");
        }
        forEachMissingSource(indi, [&](StringView source, const LNGedcomNode& line) {
            report(LNGedcomErrorUndefinedKey, line.lineNumber(), u"SOUR %@ does not exist", {source});
        });
    }
    // Husbands are judged by their line numbers, wives (wrong: 0, FAMC) and
    // children (wrong: 1, FAMS) by counts.
    void members(StringView key, std::span<LNGedcomNode* const> links, bool husbands, int wrong,
                 const char16_t* wrongText) {
        for (const LNGedcomNode* link : links) {
            const auto& indi = set.indiWithKey(valueOf(link));
            if (!indi && husbands)
                report(LNGedcomErrorUndefinedKey, link->lineNumber(), u"INDI %@ undefined", {valueOf(link)});
            if (!indi) continue;
            auto counts = namings<2>({indi->famcArray(), indi->famsArray()}, key);
            if (counts[wrong]) report({}, 0, wrongText, {key, valueOf(link)});
            if (husbands && !counts[1])
                report({}, 0, u"FAM %@ should be FAMS in INDI %@ but isn't two", {key, valueOf(link)});
            if (counts[0] + counts[1] > 1)
                report({}, 0, u"FAM %@ in INDI %@ in multiple roles", {key, valueOf(link)});
        }
    }
    void run() {
        for (const auto& record : *set.records())
            references(*record);
        for (const auto& indi : set.indiRecords())
            person(*indi);
        logCount("INDIs");
        for (const auto& fam : set.famRecords()) {
            const StringView key = fam->key().view();
            members(key, fam->husbArray(), true, 0, u"FAM %@ is FAMC in INDI %@ but should be FAMS one");
            members(key, fam->wifeArray(), false, 0, u"FAM %@ is FAMC in INDI %@ but should be FAMS three");
            members(key, fam->chilArray(), false, 1, u"FAM %@ is FAMS in INDI %@ but should be FAMC four");
            forEachMissingSource(*fam, [&](StringView source, const LNGedcomNode&) {
                report({}, 0, u"INDI %@ has SOUR %@ that does not exist", {key, source});
            });
        }
        logCount("FAMs");
    }
};

// Each key lookup gives the first record with the key in file order, of any
// kind or of the kind asked for; the kind lists hold those first ones.
void checkLookups(const LNGedcomRecordSet& set) {
    std::map<String, const LNGedcomRecord*> first;
    std::map<std::pair<String, String>, const LNGedcomRecord*> firstOfKind;
    std::map<String, std::vector<const LNGedcomRecord*>> lists;
    for (const auto& record : *set.records()) {
        if (!record->key()) continue;
        first.emplace(record->key().str(), record.get());
        if (firstOfKind.emplace(std::pair(String(record->tag()), record->key().str()), record.get()).second)
            lists[String(record->tag())].push_back(record.get());
    }
    auto ofKind = [&](const char16_t* tag, const String& key) {
        auto found = firstOfKind.find({tag, key});
        return found == firstOfKind.end() ? nullptr : found->second;
    };
    for (const auto& [key, record] : first)
        fuzz::check(set.recordWithKey(key).get() == record &&
                        set.indiWithKey(key).get() == ofKind(u"INDI", key) &&
                        set.famWithKey(key).get() == ofKind(u"FAM", key) &&
                        set.sourWithKey(key).get() == ofKind(u"SOUR", key),
                    "first record of a key, and of a key and kind");
    auto same = [&](const auto& records, const char16_t* tag) {
        return std::ranges::equal(records, lists[tag], {}, [](const auto& record) { return record.get(); });
    };
    fuzz::check(same(set.indiRecords(), u"INDI") && same(set.famRecords(), u"FAM") &&
                    same(set.sourRecords(), u"SOUR"),
                "kind lists");
}

// Runs validate() on a fresh load of the file, then the plain way: the same log.
void checkValidation(const std::string& path) {
    LogCapture log;
    LNGedcomFile file(path);
    LNGedcomRecordSet& set = *file.recordSet();
    LNGedcomErrors& errors = *file.errors();
    checkLookups(set);
    const int before = errors.count();
    log.clear();
    set.validate();
    const std::vector<std::string> fast = log.lines();
    // The plain way knows the 5.5 rules; GEDCOM 7's exceptions to them are
    // the link validation tests' to check.
    if (set.version().isSeven()) return;
    log.clear();
    PlainValidation{set, errors, errors.count() - before}.run();
    fuzz::check(log.lines() == fast, "link validation as the plain way");
}

// The rows in the order of comparePersons on the sort column, reversed when
// descending: the order the sorter gives by ranks, kept apart from the text
// collation it stands for (NameRanks for compareByName, say).
void checkSorted(const LNKinloomController& controller) {
    const int direction = controller.sortAscending() ? 1 : -1;
    for (int row = 1; controller.lastCol() && controller.personAtRow(row); ++row) {
        const int order = comparePersons(*controller.personAtRow(row - 1), *controller.personAtRow(row),
                                         controller.lastCol()->identifier());
        fuzz::check(direction * order <= 0, "the table sorted by a column in the order of comparePersons");
    }
}

void readTable(LNHeadlessTableView& table, const LNKinloomController& controller) {
    int columns = static_cast<int>(table.tableColumns().size());
    for (int column = 0; column < columns; ++column) {
        table.clickHeader(column);
        checkSorted(controller);
    }
    for (int row = 0; row < table.numberOfRows(); ++row)
        for (int column = 0; column < columns; ++column) {
            table.cellText(row, column);
            table.cellColor(row, column);
        }
}

void readOutline(LNHeadlessOutlineView& outline) {
    outline.expandAll();
    for (int row = 0; row < static_cast<int>(outline.rows().size()); ++row) {
        outline.rowText(row);
        outline.rowColor(row);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setCollationLocale("en");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    LogCapture quiet;
    LNHeadlessViewer viewer;
    viewer.application().bundle().setDirectories({KINLOOM_RESOURCES});
    // Every input is opened, as kinloom-cli opens it, records or none.
    viewer.controller().setRefusesFilesWithoutRecords(false);
    const std::string& path = file.write(fuzz::bytesOf(data, size));
    viewer.application().openFile(path);
    const LNGedcomRecordSet* set = viewer.controller().gedcomRecords();
    fuzz::check(set, "a regular file is always readable");

    LNHeadlessTableView& table = viewer.table();
    if (table.numberOfRows() != set->numIndis()) std::abort();
    readTable(table, viewer.controller());
    if (table.numberOfRows() > 0) {
        table.clickCell(0, table.columnIndex(u"father"));
        readOutline(viewer.outline());
        viewer.checkBox().click(); // labelled lines
        readOutline(viewer.outline());
    }
    for (const auto& indi : set->indiRecords()) {
        if (!indi->name() || !indi->name()->value()) continue;
        viewer.searchField().type(indi->name()->value().view());
        viewer.searchField().endEditing();
        break;
    }
    viewer.validate();
    readTable(table, viewer.controller());

    for (const auto& indi : set->indiRecords()) {
        set->spousesOfIndi(*indi);
        set->childrenOfIndi(*indi);
    }
    for (const auto& fam : set->famRecords()) {
        set->husbandsOfFam(*fam);
        set->wivesOfFam(*fam);
        set->childrenOfFam(*fam);
    }
    checkValidation(path);
    return 0;
}
