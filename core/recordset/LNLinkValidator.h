#pragma once

#include "support/GedcomStandard.h"
#include "support/LNGedcomErrors.h"
#include "tree/LNGedcomNode.h"

#include <cstdint>
#include <span>
#include <unordered_map>
#include <vector>

namespace kinloom {

class LNGedcomRecord;
class LNGedcomRecordSet;

/// The link lines of every person (FAMC, FAMS) and family (HUSB, WIFE, CHIL)
/// of the record set's kind lists, in line order, each resolved once to the
/// record it names; and the SOUR lines of those records that name no source.
/// The reference check fills them; the person and family checks and the
/// person table's parents read them, looking up no key.
struct ResolvedLinks {
    /// A resolved line: its role (1, 2, 3 in the order of the tags above) in
    /// the top two bits, the named record's position in its kind list plus
    /// one below (0: it names none).
    static std::uint32_t link(int role, std::uint32_t target) {
        return static_cast<std::uint32_t>(role) << 30 | target;
    }
    static int roleOf(std::uint32_t link) { return static_cast<int>(link >> 30); }
    static std::uint32_t targetOf(std::uint32_t link) { return link & 0x3FFFFFFFu; }

    /// One kind's records, by their position in the kind list.
    struct Lists {
        struct MissingSource {
            std::uint32_t position;
            const LNGedcomNode* line;
        };
        std::vector<std::uint32_t> links;
        // Where each record's links start, and one entry more.
        std::vector<std::uint32_t> starts{0};
        // In record and line order.
        std::vector<MissingSource> missingSources;

        std::size_t size() const { return starts.size() - 1; }
        std::span<const std::uint32_t> of(std::size_t position) const {
            return std::span<const std::uint32_t>(links).subspan(starts[position],
                                                                 starts[position + 1] - starts[position]);
        }
        void clear() {
            links.clear();
            starts.assign(1, 0);
            missingSources.clear();
        }
    };
    Lists indis, fams;
    /// How many resolved links the person and family checks have read: a
    /// statistic that shows those checks growing linearly with the file.
    std::uint64_t linesVisited = 0;
};

/// How many of a record's resolved links of each role (1 to 3) name one
/// record, and the index among its role's lines of the first that does (-1
/// when none). Wide enough that no sum of counts overflows on any file that
/// fits in memory.
struct RoleCounts {
    std::int64_t count[4] = {0, 0, 0, 0};
    std::int64_t first[4] = {-1, -1, -1, -1};
    std::int64_t total() const { return count[1] + count[2] + count[3]; }
};

/// The link checks of a record set, run as the last step of its loading:
/// the reference check logs every cross-reference that leads nowhere or to
/// a record of the wrong kind and resolves the link lines; the person and
/// family checks then report to the error list what disagrees, reading only
/// the resolved links. Records are named by their position in their kind
/// list plus one (0: none), as in the resolved links.
class LNLinkValidator {
  public:
    LNLinkValidator(const LNGedcomRecordSet& set, ResolvedLinks& links, LNGedcomErrors* errors);

    void validateReferences();
    void validateIndis();
    void validateFams();

    /// The person's roles in the family a FAMC or FAMS line names; reports
    /// the line when it names no family.
    RoleCounts checkIndi(std::uint32_t person, const LNGedcomNode* link, std::uint32_t family) const;
    /// The line numbers of those roles, into the three lists (emptied
    /// first); reports as checkIndi. Returns how many were collected.
    int checkIndiNew(std::uint32_t person, const LNGedcomNode* link, std::uint32_t family,
                     std::vector<int>* const (&lists)[3]) const;
    /// The family's roles (FAMC, FAMS) in the person a member line names;
    /// nothing when it names none.
    RoleCounts checkFam(std::uint32_t family, std::uint32_t person) const;
    int checkFamNew(std::uint32_t family, std::uint32_t person, std::vector<int>* const (&lists)[2]) const;

  private:
    // The roles by target of one record with many links, made when first asked.
    using RoleTable = std::unordered_map<std::uint32_t, RoleCounts>;

    // A record of the reference check's batch: its kind (a RecordKind),
    // whether it is the one in its kind list that keeps resolved links, and
    // its position there.
    struct BatchRecord {
        int kind;
        bool listed;
        std::uint32_t position;
    };
    // A line with a cross-reference, or a link line of a listed record.
    struct PendingLine {
        const LNGedcomNode* line;
        std::uint32_t record; // in the batch
        int role;             // 1 to 3 for link lines of listed records
        bool reference;
    };

    void gatherLines(std::size_t start, std::size_t end);
    void resolveLines();
    void resolveLine(const PendingLine& pending, StringView key, std::uint64_t hash);
    void closeRecordsBefore(std::size_t inBatch);
    // What the file's standard allows, apart from the counting above.
    bool isVoid(const LNGedcomNode* line) const;
    bool repeatsOnlyFamc(const RoleCounts& roles) const;
    bool namesExpectedKind(const LNGedcomNode& line, std::uint32_t found) const;
    void checkReference(int kind, const LNGedcomNode& line, StringView key, std::uint32_t found) const;
    RoleCounts rolesIn(const ResolvedLinks::Lists& lists,
                       std::unordered_map<std::uint32_t, RoleTable>& tables, std::uint32_t position,
                       std::uint32_t target) const;
    std::uint64_t checkNatalFamilies(std::uint32_t position);
    void checkSpousalFamilies(std::uint32_t position);
    void checkHusbands(std::uint32_t position);
    void checkWivesAndChildren(std::uint32_t position);

    const LNGedcomRecordSet& set_;
    ResolvedLinks& links_;
    LNGedcomErrors* errors_;
    GedcomStandard standard_;
    // The reference check's batch of records and their lines to resolve.
    std::vector<BatchRecord> batch_;
    std::vector<PendingLine> pending_;
    std::size_t closed_ = 0;
    // The role tables of families and persons with many links, by position.
    mutable std::unordered_map<std::uint32_t, RoleTable> famTables_, indiTables_;
};

} // namespace kinloom
