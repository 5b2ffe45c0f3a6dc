#pragma once

#include "memory/SharedString.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace kinloom {

/// The parsed value of a NAME line such as "John /Smith/ Jr": its words, and
/// which of them is the surname (the part between the first pair of slashes).
class LNGedcomName {
  public:
    /// Never fails; a value without words gives a name with no parts.
    explicit LNGedcomName(StringView value);
    explicit LNGedcomName(const char16_t* value) : LNGedcomName(StringView(value)) {}
    explicit LNGedcomName(const String& value) : LNGedcomName(StringView(value)) {}
    /// The same, keeping a share of the text rather than a copy; a slice of
    /// a line's text stays one, so the name must not outlive that line (a
    /// person's record keeps both).
    explicit LNGedcomName(const SharedString& value);

    StringView original() const { return original_.view(); }
    /// The words in order; absent when the value holds none.
    std::optional<std::vector<String>> parts() const;
    /// The number of words.
    std::size_t numParts() const { return numParts_; }
    /// The words in order, as views of the name's own text.
    std::vector<StringView> partViews() const;
    /// Index of the surname in parts(), or -1.
    std::int32_t surnameIndex() const { return surnameIndex_; }

    /// The surname, or absent.
    std::optional<String> surname() const;
    /// Every part but the surname, in order.
    std::vector<String> givenNames() const;
    /// First character of the first part that is not the surname; '0' when none.
    char16_t firstInitial() const;
    /// Four characters: the Soundex code of the surname, "Z999" without one.
    String soundex() const;
    /// The name key: first initial (its low 8 bits, as Latin-1) and Soundex
    /// code, upper-cased, such as "JS530".
    String key() const;
    /// The display form; maxLength has no effect.
    String formatSurnameFirst(bool surnameFirst, bool surnameUpper, std::int32_t maxLength) const;
    /// The compact text form, such as "John/Smith/Jr".
    String description() const;

    /// Whether the typed (partial) name is contained in the full name.
    static bool containPartial(const LNGedcomName& partial, const LNGedcomName& full);

  private:
    void parse(StringView value);
    // The surname, or the empty view.
    StringView surnameView() const;

    // A person record keeps its parsed name for the life of the file: the
    // words are kept in one text, joined by slashes (which no word holds),
    // and the original shares the NAME line's text.
    SharedString original_;
    SharedString joined_;
    std::uint32_t numParts_ = 0;
    std::int32_t surnameIndex_ = -1;
};

/// The Soundex code character of c, or 0 when it gives no new code; updates
/// the last code.
char16_t codeof(char16_t c, char16_t* lastCode);
/// Whether piece has full's first character and the rest of piece occurs in
/// full in order, gaps allowed. An absent piece never matches.
bool pieceMatch(const std::optional<String>& piece, const std::optional<String>& full);

} // namespace kinloom
