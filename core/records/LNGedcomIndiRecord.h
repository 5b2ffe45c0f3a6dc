#pragma once

#include "records/LNGedcomName.h"
#include "records/LNGedcomRecord.h"
#include "records/LNGedcomRecordLinks.h"
#include "records/LNYear.h"
#include "support/GedcomStandard.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

namespace kinloom {

/// A person (INDI) record with its level-1 NAME, FAMC and FAMS lines, its
/// first SEX line and its parsed first name.
class LNGedcomIndiRecord : public LNGedcomRecord {
  public:
    LNGedcomIndiRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors);
    ~LNGedcomIndiRecord() override;

    /// The level-1 lines of each kind, in file order; the nodes belong to the
    /// record's tree.
    std::span<LNGedcomNode* const> nameArray() const { return links_.group(0); }
    std::span<LNGedcomNode* const> famcArray() const { return links_.group(1); }
    std::span<LNGedcomNode* const> famsArray() const { return links_.group(2); }
    /// The first line of each kind, or null.
    LNGedcomNode* name() const { return links_.first(0); }
    LNGedcomNode* famc() const { return links_.first(1); }
    LNGedcomNode* fams() const { return links_.first(2); }
    /// The first level-1 SEX line, or null.
    LNGedcomNode* sex() const { return sex_; }
    /// The parsed value of the first NAME line, or null without one.
    const LNGedcomName* gedcomName() const { return gedcomName_.get(); }

    /// The year's text (LNYear::text) of BIRT, else BAPT, CHR, BAPM (the
    /// first event of each tag only), its DATE read by the date grammar of
    /// the file's standard (see LNDate::yearIn).
    std::optional<String> birthYear(GedcomStandard standard = GedcomStandard::Gedcom55) const;
    /// The year of DEAT, else BURI.
    std::optional<String> deathYear(GedcomStandard standard = GedcomStandard::Gedcom55) const;
    /// The last part of the first BIRT's place; for places in Canada or the
    /// United States the part before the country.
    std::optional<String> birthPlace() const;
    std::optional<String> deathPlace() const;
    /// The four values above, found in one scan of the record's lines (the
    /// person table reads them for every person): the years, and the places
    /// as views into the lines. The places log as birthPlace and deathPlace
    /// do, the birth's first.
    struct LifeTexts {
        std::optional<LNYear> birthYear;
        std::optional<StringView> birthPlace;
        std::optional<LNYear> deathYear;
        std::optional<StringView> deathPlace;
    };
    LifeTexts lifeTexts(GedcomStandard standard = GedcomStandard::Gedcom55) const;

    /// The display name, or absent without a name. maxLength has no effect.
    std::optional<String> nameSurnameFirst(bool surnameFirst, bool surnameUpper, int maxLength) const;
    /// Surname, then given names pair by pair, then fewer given names first
    /// (localised, case-insensitive), then the number in the key.
    /// Negative, zero or positive.
    int compareByName(const LNGedcomIndiRecord& other) const;

  private:
    LNGedcomRecordLinks links_;
    LNGedcomNode* sex_ = nullptr;
    std::unique_ptr<LNGedcomName> gedcomName_;
};

/// The number in a record key, as the last tie-break of the name order: the
/// leading integer of the text between "@X" and the closing at sign (0 when none).
std::int32_t keyNumber(StringView key);

} // namespace kinloom
