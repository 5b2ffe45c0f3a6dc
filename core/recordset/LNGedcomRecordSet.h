#pragma once

#include "support/GedcomVersion.h"
#include "records/LNGedcomFamRecord.h"
#include "records/LNGedcomIndiRecord.h"
#include "records/LNGedcomRecord.h"
#include "records/LNGedcomSourRecord.h"
#include "recordset/LNLinkValidator.h"
#include "recordset/RecordIndex.h"
#include "support/LNGedcomErrors.h"
#include "support/LNLogger.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <stop_token>
#include <unordered_map>
#include <span>
#include <string>
#include <vector>

namespace kinloom {

class KeptText;

/// A relative's place beside a person, in the order relativesOfIndi lists them.
enum class LNRelativeRole { father, mother, sibling, spouse, child };

/// The role's lower-case English name: "father", "mother", "sibling", "spouse", "child".
std::string_view relativeRoleName(LNRelativeRole role);

struct LNGedcomRelative {
    LNRelativeRole role;
    Ref<LNGedcomIndiRecord> indi;
    /// The family that makes the relation: the natal one of a sibling, the
    /// spousal one of a spouse or child; null for a parent.
    Ref<LNGedcomFamRecord> family;
};

using RecordList = std::vector<Ref<LNGedcomRecord>>;
using IndiList = std::vector<Ref<LNGedcomIndiRecord>>;
using FamList = std::vector<Ref<LNGedcomFamRecord>>;
using SourList = std::vector<Ref<LNGedcomSourRecord>>;

/// The kinds of records filed in a list of their own.
enum RecordKind : int { kindOther = 0, kindIndi = 1, kindFam = 2, kindSour = 3 };
/// The kind of an assembled record: the assembler chose its class by the
/// exact tag, so the class tells the kind without reading the tag.
RecordKind recordKindOf(const LNGedcomRecord& record);

/// The in-memory database of one GEDCOM text: every record in file order, the
/// persons, families and sources filed by key, and the persons filed by name
/// key. Built completely by the constructor; nothing changes afterwards.
class LNGedcomRecordSet {
  public:
    /// Splits the text into lines, assembles, indexes and validates the
    /// records, reporting to errors (not owned, may be null). A null text
    /// gives a set without records. The logger (not owned) receives one
    /// progress text.
    LNGedcomRecordSet(const String* text, LNGedcomErrors* errors)
        : LNGedcomRecordSet(text, errors, nullptr) {}
    LNGedcomRecordSet(const String* text, LNGedcomErrors* errors, LNLogger* logger);
    /// A job run while the names are indexed and the links checked, on the
    /// load's second thread.
    ///
    /// The one rule of that overlap: the job may read the records, their
    /// keys, lines and names, the kind lists and the key index, and may set
    /// the records' attributes; it reads no link, relative, error, name
    /// index or count of those, as they are still being made, and changes
    /// no line. Everything it logs follows the link checks' log. It should
    /// end early when its token asks it to (a stopped load).
    using Beside = std::function<void(const LNGedcomRecordSet&, std::stop_token)>;

    /// The same over a kept text, which the lines' values point into, with a
    /// job run beside the link checks (none: empty).
    LNGedcomRecordSet(KeptText& text, LNGedcomErrors* errors, const Beside& beside = {});
    ~LNGedcomRecordSet();
    LNGedcomRecordSet(const LNGedcomRecordSet&) = delete;
    LNGedcomRecordSet& operator=(const LNGedcomRecordSet&) = delete;

    /// The version the header names and the standard the file follows; 5.5
    /// when the text was absent or names none.
    const GedcomVersion& version() const { return version_; }
    GedcomStandard standard() const { return version_.standard; }

    /// The URIs a GEDCOM 7 header's SCHMA TAG lines give the tag, joined by
    /// ", " in line order; empty when none (and for older files).
    StringView schemaUri(StringView tag) const;
    /// The tag of the record's kind: its own, or for an extension record the
    /// schema documents as a standard one, that one's ("SUBM" for a "_USER"
    /// the schema gives https://gedcom.io/terms/v7/record-SUBM).
    StringView recordKindTag(const LNGedcomRecord& record) const;

    // Counts; 0 when the text was absent.
    int count() const;
    int numIndis() const { return static_cast<int>(indiRecords_.size()); }
    int numFams() const { return static_cast<int>(famRecords_.size()); }
    int numSours() const { return static_cast<int>(sourRecords_.size()); }
    /// The number of lines kept in all records.
    int numNodes() const;

    /// The first record of that kind filed under the key (with at signs), or null.
    const Ref<LNGedcomIndiRecord>& indiWithKey(StringView key) const;
    const Ref<LNGedcomFamRecord>& famWithKey(StringView key) const;
    const Ref<LNGedcomSourRecord>& sourWithKey(StringView key) const;
    /// The first record of any kind filed under the key, or null.
    const Ref<LNGedcomRecord>& recordWithKey(StringView key) const;
    /// The position in indiRecords of the first person filed under the key
    /// (with at signs), or -1.
    int indiPosition(StringView key) const {
        std::uint32_t position = positionOf(kindIndi, key);
        return position == RecordIndex::none ? -1 : static_cast<int>(position);
    }
    /// The record at that position of its kind list, or null out of range.
    const Ref<LNGedcomIndiRecord>& indiByIndex(int index) const;
    const Ref<LNGedcomFamRecord>& famByIndex(int index) const;
    const Ref<LNGedcomSourRecord>& sourByIndex(int index) const;
    /// The positions in indiRecords of the persons filed under the name key,
    /// without repeats, in order of first appearance; null when there are none.
    const std::vector<std::uint32_t>* indisWithNameKey(StringView nameKey) const;

    /// Every record in file order, or null when the text was absent.
    const RecordList* records() const { return records_.get(); }
    /// Replaces the list of all records. The indexes, kind lists and link
    /// checks keep answering with the records they were built from, which
    /// the set holds on to.
    void setRecords(std::unique_ptr<RecordList> records);
    const IndiList& indiRecords() const { return indiRecords_; }
    const FamList& famRecords() const { return famRecords_; }
    const SourList& sourRecords() const { return sourRecords_; }
    LNGedcomErrors* errors() const { return errors_; }
    LNLogger* logger() const { return logger_; }
    void setLogger(LNLogger* logger) { logger_ = logger; }

    // Family relations. They follow link lines through the kind indexes and
    // report nothing. Lists keep the order of the lines, repeats included;
    // lines whose key names no record of the target kind are skipped.
    Ref<LNGedcomIndiRecord> fatherOfIndi(const LNGedcomIndiRecord& indi) const;
    Ref<LNGedcomIndiRecord> motherOfIndi(const LNGedcomIndiRecord& indi) const;
    /// The father and mother of the person at that position of indiRecords,
    /// as fatherOfIndi and motherOfIndi give them, read from the links the
    /// link validation resolved (no key is looked up); null where there is
    /// none. For the person table, which asks it of every person.
    std::pair<LNGedcomIndiRecord*, LNGedcomIndiRecord*> parentsOfIndiAt(std::size_t position) const;
    Ref<LNGedcomFamRecord> natalFamilyOfIndi(const LNGedcomIndiRecord& indi) const;
    Ref<LNGedcomIndiRecord> husbandOfFam(const LNGedcomFamRecord& fam) const;
    Ref<LNGedcomIndiRecord> wifeOfFam(const LNGedcomFamRecord& fam) const;
    IndiList husbandsOfFam(const LNGedcomFamRecord& fam) const;
    IndiList wivesOfFam(const LNGedcomFamRecord& fam) const;
    IndiList childrenOfFam(const LNGedcomFamRecord& fam) const;
    FamList natalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const;
    FamList spousalFamiliesOfIndi(const LNGedcomIndiRecord& indi) const;
    /// The wives (male person) or husbands (female person) of every spousal
    /// family; empty when the sex is unknown.
    IndiList spousesOfIndi(const LNGedcomIndiRecord& indi) const;
    IndiList childrenOfIndi(const LNGedcomIndiRecord& indi) const;
    /// Every HUSB and WIFE of the family, in line order.
    IndiList partnersOfFam(const LNGedcomFamRecord& fam) const;
    /// Father and mother (as fatherOfIndi and motherOfIndi), the natal
    /// family's other children, then for each spousal family its partners
    /// other than the person and its children. A family named by several
    /// FAMS lines of the person is listed once; nothing else is merged (a
    /// child named twice by the family is listed twice).
    std::vector<LNGedcomRelative> relativesOfIndi(const LNGedcomIndiRecord& indi) const;

    /// The persons one of whose names contains the typed partial name (such
    /// as "J /Sm/"), among those filed under its name key; sorted by name.
    IndiList indisWithName(StringView typedName) const;
    /// The persons one of whose names has a surname starting with the typed
    /// name's surname (when it has one) and, for each of its given parts in
    /// order, a later given part starting with it, ignoring case and accents
    /// ("Jo /Mü/" finds "Johann /Müller/"); sorted by name. Nobody for a
    /// typed name without parts.
    IndiList indisWithNameStart(StringView typedName) const;
    /// The name search: indisWithName, or indisWithNameStart where that
    /// finds nobody.
    IndiList indisMatchingName(StringView typedName) const;

    // Link validation (see LNLinkValidator), run as the last step of
    // loading. Findings are logged and reported to the error list.
    bool validate();
    /// Also resolves every link line once for validateIndis and validateFams,
    /// which rely on that (loading runs it first).
    void validateReferences();
    void validateIndis();
    void validateFams();
    void validateSours();
    /// The person's roles in the family the link names: counts of HUSB, WIFE
    /// and CHIL lines naming the person (out-parameters may be null); returns
    /// their sum. A key that names no person is named by no line.
    int checkIndi(StringView personKey, const LNGedcomNode* link, int* husb, int* wife, int* chil);
    /// As checkIndi, collecting the line numbers of those lines into the
    /// caller's lists; returns how many were collected.
    int checkIndiNew(StringView personKey, const LNGedcomNode* link, std::vector<int>& husbLines,
                     std::vector<int>& wifeLines, std::vector<int>& chilLines);
    /// The family's roles in the person the link names: counts of FAMC and
    /// FAMS lines naming the family; returns their sum.
    int checkFam(StringView famKey, const LNGedcomNode* link, int* famc, int* fams);
    int checkFamNew(StringView famKey, const LNGedcomNode* link, std::vector<int>& famcLines,
                    std::vector<int>& famsLines);
    /// How many resolved link lines the person and family checks have read
    /// so far, a statistic (as the benchmark's stages are) that grows
    /// linearly with the file's links.
    std::uint64_t linkLinesVisited() const { return links_.linesVisited; }

  private:
    GedcomVersion version_;
    // GEDCOM 7's documented extension tags: their URIs, and the standard
    // record kind of those that stand for one. Looked up by a view of the tag.
    struct TagHash {
        using is_transparent = void;
        std::size_t operator()(StringView tag) const noexcept { return std::hash<StringView>()(tag); }
    };
    using TagMap = std::unordered_map<String, String, TagHash, std::equal_to<>>;
    TagMap schemaUris_;
    TagMap recordAliases_;
    friend class LNLinkValidator;
    // A kind list never nears 2^30 records: each takes far more than a byte.
    static constexpr std::uint32_t positionMask = 0x3FFFFFFFu;

    void readRecords(const String* text, KeptText* kept = nullptr, const Beside& beside = {});
    /// GEDCOM 7 only: reads the header's schema and reports each CONC line,
    /// which 7.0 removed.
    void readSevenLines();
    void readSchema(const LNNode& header);
    void fileRecords();
    void fileRecord(std::uint32_t number, StringView key, std::uint64_t hash);
    void buildNameIndex();
    /// The records the indexes were built from.
    const RecordList* filedRecords() const { return recordsReplaced_ ? filedRecords_.get() : records_.get(); }
    /// The kind and kind-list position of the record with that number in
    /// filedRecords: kindOther for records in no kind list.
    RecordKind filedKind(std::uint32_t number) const {
        return static_cast<RecordKind>(filings_[number] >> 30);
    }
    std::uint32_t filedPosition(std::uint32_t number) const { return filings_[number] & positionMask; }
    /// The position in its kind list of the first record of the kind filed
    /// under the key (hash: its recordKeyHash), or RecordIndex::none.
    std::uint32_t positionOf(RecordKind kind, StringView key, std::uint64_t hash) const;
    std::uint32_t positionOf(RecordKind kind, StringView key) const {
        return positionOf(kind, key, recordKeyHash(key));
    }
    /// The same for the value of a link line; none without line or value.
    std::uint32_t positionOf(RecordKind kind, const LNGedcomNode* link) const;
    /// That position given the number of the first record with the key.
    std::uint32_t positionFrom(RecordKind kind, std::uint32_t number, StringView key,
                               std::uint64_t hash) const;
    /// Appends the records of the kind the lines name, in line order.
    template <typename T>
    void appendNamed(std::vector<Ref<T>>& list, RecordKind kind,
                     const std::vector<Ref<T>>& records,
                     std::span<LNGedcomNode* const> links) const;
    /// The record at the position, or null for RecordIndex::none.
    template <typename T>
    static const Ref<T>& atPosition(const std::vector<Ref<T>>& list,
                                                std::uint32_t position) {
        static const Ref<T> none;
        return position == RecordIndex::none ? none : list[position];
    }
    LNLinkValidator validator() { return LNLinkValidator(*this, links_, errors_); }

    std::unique_ptr<RecordList> records_;
    // The list the indexes were built from, once setRecords replaced it.
    std::unique_ptr<RecordList> filedRecords_;
    bool recordsReplaced_ = false;
    IndiList indiRecords_;
    FamList famRecords_;
    SourList sourRecords_;
    // Each key's first record, by its number in filedRecords.
    RecordIndex keyIndex_;
    // Per record number: the kind in the top two bits and the position in the
    // kind list below, for the records in a kind list; 0 for the others.
    std::vector<std::uint32_t> filings_;
    // Per kind: the keys whose first record is of another kind, with the
    // first record of this kind filed under them. Empty unless keys repeat.
    RecordIndex laterOfKind_[4];
    ResolvedLinks links_;
    // The name index: positions in indiRecords_ by name key.
    struct NameIndex;
    std::unique_ptr<NameIndex> nameIndex_;
    LNLogger* logger_ = nullptr;
    LNGedcomErrors* errors_ = nullptr;
};

/// The sex value of a SEX line: 1 for "m" or "M", 2 for "f" or "F", 0 for
/// anything else, a line without value or null.
int sexValue(const LNGedcomNode* sex);

/// The name order of persons (see LNGedcomIndiRecord::compareByName).
int compareIndisByName(const LNGedcomIndiRecord& a, const LNGedcomIndiRecord& b);
/// Persons with a birth year first, in year order (LNYear::compareTexts),
/// then by name; the context points to the file's GedcomStandard, or is
/// null for 5.5.
int compareIndisByBirthYear(const LNGedcomIndiRecord& a, const LNGedcomIndiRecord& b, void* context);

/// Whether a reference line of a record of the kind leads to a record of a
/// fitting kind; the one rule behind checkReferenceRecordTypes.
bool referenceFitsKinds(RecordKind recordKind, const LNGedcomNode& line, RecordKind foundKind);
/// Whether a reference line of a record leads to a record of a fitting kind.
bool checkReferenceRecordTypes(const LNGedcomRecord& record, const LNGedcomNode& line,
                               const LNGedcomRecord& found);

} // namespace kinloom
