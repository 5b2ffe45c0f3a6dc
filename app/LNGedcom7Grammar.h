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

class LNGedcomRecordSet;

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

    /// Marks every line of the record under root and appends its findings,
    /// in line order within each kind's pass. Pointers are looked up in the
    /// record set.
    void validateRecord(LNNode* root, const LNGedcomRecordSet& records,
                        std::vector<LNGedcomProblem>& findings) const;

    /// The number of structures read; for tests.
    std::size_t numStructures() const { return structures_.size(); }

  private:
    static constexpr std::uint32_t none = UINT32_MAX;
    /// A structure that may stand below another, and how often.
    struct Sub {
        std::uint32_t structure;
        bool required;
        bool single;
    };
    struct Structure {
        String id;        // the standard's URI without its common start
        SharedString tag; // interned: the maps keep views of it
        Gedcom7Payload payload = Gedcom7Payload::none;
        std::uint32_t enumSet = none;  // enumerations: their set
        std::uint32_t pointsTo = none; // pointers: the record structure pointed to
        std::vector<Sub> subs;
        std::unordered_map<StringView, std::uint32_t> subByTag; // tag to index in subs
    };
    /// A line's place in the walk: its structure (none for an extension or
    /// a line below one), how often each of its subs occurred so far, and
    /// whether a line below it is not "good".
    struct Frame {
        std::uint32_t structure;
        std::size_t firstCount;
        bool badBelow;
    };

    bool readLine(const std::vector<std::string_view>& fields);
    std::uint32_t structureIndex(std::string_view id) const;

    std::uint32_t recordStructure(const LNNode* root) const;
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
    mutable const LNGedcomRecordSet* records_ = nullptr;
};

} // namespace kinloom
