#pragma once

#include "Gedcom7Payload.h"
#include "support/LNGedcomErrors.h"
#include "tree/LNNode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// The GEDCOM 7.0 grammar, read from the file scripts/gedcom7-grammar makes
/// from the standard's tables, and the validator that checks a record of a
/// 7.x file against it: which tag may stand under which (`structure`), how
/// often (`count`) and with what value (`payload`).
///
/// Every line of a checked record gets a mark as the 5.5 validator gives
/// them: "bad" for a line with a finding and for every line below a line
/// that may not stand where it is, "badchild" for a line with such a line
/// somewhere below it, "good" for the others. Extension tags (`_X`) and all
/// lines below them are accepted unchecked, as the 7.0 standard allows them
/// anywhere. CONT lines continue their parent's value.
///
/// Whether a pointer names a record of the right kind is the load's check
/// (it reports it as a `reference` problem); the validator checks a
/// pointer's form, and marks "bad" the lines given as reported already.
///
/// The walk keeps its own stack: records of any depth are safe.
class LNGedcom7Grammar {
  public:
    /// The first line of every such grammar file.
    static constexpr std::string_view firstLine = "kinloom-gedcom7-grammar 1";

    /// Whether the file (UTF-8 path) starts with firstLine.
    static bool isGedcom7Grammar(const std::string& path);
    /// Null when the file cannot be read or is no such grammar.
    static std::unique_ptr<LNGedcom7Grammar> initFromFile(const std::string& path);
    /// Null when the text is no such grammar (an unknown structure named, a
    /// line of an unknown form, no firstLine).
    static std::unique_ptr<LNGedcom7Grammar> initFromString(std::string_view text);

    /// The lines, in ascending order, that the load reported as wrong: they
    /// are marked "bad" whatever the grammar says of them.
    void setReportedLines(std::vector<std::int32_t> lines) { reported_ = std::move(lines); }
    /// Marks every line of the record under root and appends its findings.
    void validateRecord(LNNode* root, std::vector<LNGedcomProblem>& findings) const;

    /// The number of structures read; for tests.
    std::size_t numStructures() const { return structures_.size(); }

  private:
    static constexpr std::uint32_t none = UINT32_MAX;
    /// A structure that may stand below another, and how often.
    struct Sub {
        std::uint32_t structure;
        bool single;
    };
    struct Structure {
        String id;        // the standard's URI without its common start
        SharedString tag; // interned: the maps keep views of it
        Gedcom7Payload payload = Gedcom7Payload::none;
        std::uint32_t enumSet = none;  // enumerations: their set
        std::uint32_t pointsTo = none; // pointers: the record structure pointed to
        std::vector<Sub> subs;
        std::vector<std::uint32_t> required; // the indexes in subs of those that must be there
        std::unordered_map<StringView, std::uint32_t> subByTag; // tag to index in subs
        // The same by the address of the tag's interned text, as loaded
        // lines name their tags: a pointer hashes faster than a text.
        std::unordered_map<const char16_t*, std::uint32_t> subByInterned;
    };
    /// A line's place in the walk: its structure (none for an extension or
    /// a line below one), where the counts of its subs start in counts_,
    /// whether a line below it is not "good", and whether a sub allowed once
    /// occurred again.
    struct Frame {
        std::uint32_t structure;
        std::size_t firstCount;
        bool badBelow;
        bool repeated;
    };

    bool readLine(const std::vector<std::string_view>& fields);
    std::uint32_t structureIndex(std::string_view id) const;

    std::uint32_t recordStructure(const LNNode* root) const;
    /// The index in the structure's subs of the tag, or none.
    static std::uint32_t subIndex(const Structure& structure, const SharedString& tag);
    /// Whether the load reported the line; the lines come in ascending order.
    bool reportedAlready(const LNNode* line) const;
    bool enterLine(LNNode* line, std::size_t depth, std::vector<LNGedcomProblem>& findings) const;
    void leaveLine(LNNode* line, std::size_t depth, std::vector<LNGedcomProblem>& findings) const;
    void checkPayload(const LNNode* line, const Structure& structure,
                      std::vector<LNGedcomProblem>& findings) const;
    void checkPointer(const LNNode* line, StringView value, const Structure& structure,
                      std::vector<LNGedcomProblem>& findings) const;
    void reportExtras(LNNode* parent, const Structure& structure, const Structure& sub, std::uint32_t count,
                      std::vector<LNGedcomProblem>& findings) const;
    bool fitsEnumeration(StringView value, std::uint32_t set, bool list) const;
    String allowedValues(std::uint32_t set) const;

    std::vector<Structure> structures_;
    std::unordered_map<std::string, std::uint32_t> byId_;
    std::unordered_map<StringView, std::uint32_t> recordByTag_;
    std::vector<std::vector<String>> enumSets_;
    std::unordered_map<std::string, std::uint32_t> enumSetById_;
    // The walk's state, kept to spare allocations per record; a grammar
    // serves one thread.
    mutable std::vector<Frame> frames_;
    mutable std::vector<std::uint32_t> counts_;
    std::vector<std::int32_t> reported_;
    mutable std::size_t nextReported_ = 0; // the first of reported_ not before the line walked
};

} // namespace kinloom
