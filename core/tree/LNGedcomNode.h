#pragma once

#include "support/LNGedcomErrors.h"
#include "tree/LNNode.h"

#include <cstdint>
#include <optional>

namespace kinloom {

/// One GEDCOM line: the tag is the node's name, the line value its value
/// (absent when the line has none), the children its subordinate lines.
class LNGedcomNode : public LNNode {
  public:
    /// A negative level means "no level" and leaves the level at 0.
    LNGedcomNode(std::int32_t level, SharedString ref, SharedString tag, SharedString value);
    LNGedcomNode(std::int32_t level, SharedString tag, SharedString value)
        : LNGedcomNode(level, SharedString(), std::move(tag), std::move(value)) {}
    LNGedcomNode(std::int32_t level, SharedString ref, SharedString tag, SharedString value,
                 std::int32_t line)
        : LNGedcomNode(level, std::move(ref), std::move(tag), std::move(value)) {
        lineNumber_ = line;
    }
    LNGedcomNode(std::int32_t level, SharedString tag, SharedString value, std::int32_t line)
        : LNGedcomNode(level, SharedString(), std::move(tag), std::move(value), line) {}

    /// The line parser. Returns null for a line it cannot read, with *error
    /// set to LNGedcomErrorLineSyntax, and null for a blank line with *error
    /// absent. The parsed level is kept as scanned, negative ones included.
    static Ref<LNGedcomNode> initFromString(StringView text, std::optional<ErrorKind>* error);
    /// The same, with the node and its texts made in the arena and the tag
    /// interned in the arena's table: the assembler reads files this way.
    static Ref<LNGedcomNode> initFromString(StringView text, std::optional<ErrorKind>* error,
                                            LoadArena& arena);

    std::int32_t level() const { return spare32_; }
    void setLevel(std::int32_t level) { spare32_ = level; }
    std::int32_t lineNumber() const { return lineNumber_; }
    void setLineNumber(std::int32_t line) { lineNumber_ = line; }
    /// The cross-reference key this line defines, with its at signs; absent when none.
    const SharedString& key() const { return rareText(); }
    void setKey(SharedString key) { setRareText(std::move(key)); }
    /// The tag (the node's name).
    const SharedString& tag() const { return name(); }

    /// The line form: level, key, tag and value separated by single blanks.
    String description() const;
    /// A copy of this line alone (level, key, tag, value).
    Ref<LNNode> shallowCopy() const;

  private:
    // A parsed line whose tag the InternTable numbered.
    LNGedcomNode(std::int32_t level, SharedString ref, std::uint32_t tag, SharedString value);
    // The line of the scanned fields in room (the heap's or an arena's): its
    // texts made by text, its tag numbered by number (a tag without a
    // number is made by text).
    template <typename Text, typename Number>
    static LNGedcomNode* makeLine(void* room, std::int32_t level, StringView key, StringView tag,
                                  StringView value, Text&& text, Number&& number);
    // The level lives in LNNode's spare field, the key in its rare text.
    std::int32_t lineNumber_ = 0;
};

// A file has millions of lines: the node's fields and the line number fill
// 48 bytes on a 64-bit machine, and nothing may quietly add to them.
static_assert(sizeof(void*) != 8 || sizeof(LNGedcomNode) == 48, "a GEDCOM line takes 48 bytes");

/// At least 3 code units, first and last "@" (an absent text is empty).
bool isCrossReference(StringView text);
/// Without its first and last character when it is a cross-reference; unchanged otherwise.
String stripAts(StringView text);
/// The same as a view into the text.
StringView strippedAts(StringView text);
/// At least 2 code units long.
bool isValidTag(StringView text);

} // namespace kinloom
