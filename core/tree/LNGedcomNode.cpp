#include "tree/LNGedcomNode.h"

#include "memory/LoadArena.h"
#include "support/TextServices.h"

#include <algorithm>
#include <new>

namespace kinloom {

LNGedcomNode::LNGedcomNode(std::int32_t level, SharedString ref, SharedString tag, SharedString value)
    : LNNode(std::move(tag), std::move(value), nullptr) {
    setGedcomLine();
    setKey(std::move(ref));
    if (level >= 0) setLevel(level);
}

LNGedcomNode::LNGedcomNode(std::int32_t level, SharedString ref, std::uint32_t tag, SharedString value)
    : LNNode(tag, std::move(value)) {
    setGedcomLine();
    setKey(std::move(ref));
    setLevel(level);
}

namespace {

// The parser's white space: TAB and the space separators (Zs). Lines are
// mostly ASCII, which is decided without the table.
[[gnu::always_inline]] inline bool isWhite(char16_t c) {
    if (c < 0x80) return c == u' ' || c == u'\t';
    return CharSet::whiteSpace().contains(c);
}

[[gnu::always_inline]] inline std::size_t skipWhite(StringView text, std::size_t i) {
    while (i < text.size() && isWhite(text[i]))
        ++i;
    return i;
}

[[gnu::always_inline]] inline std::size_t skipToken(StringView text, std::size_t i) {
    while (i < text.size() && !isWhite(text[i]))
        ++i;
    return i;
}

// The fields of a readable line, as views into it.
struct LineFields {
    std::int32_t level = 0;
    StringView key;
    StringView tag;
    StringView value;
};

// Splits a line into its fields. False for a line that cannot be read, with
// *error set, and for a blank line, with *error absent.
bool scanLine(StringView text, LineFields& line, std::optional<ErrorKind>& error) {
    error = LNGedcomErrorLineSyntax;
    if (text.empty()) return false;
    std::size_t i = skipWhite(text, 0);
    if (i == text.size()) {
        error = std::nullopt; // a blank line is not an error
        return false;
    }
    Scanner scanner(text);
    scanner.setLocation(i);
    if (!scanner.scanInt(&line.level) || scanner.atEnd()) return false;
    i = skipWhite(text, scanner.location());
    if (i == text.size()) return false;

    std::size_t tokenEnd = skipToken(text, i);
    line.tag = text.substr(i, tokenEnd - i);
    if (isCrossReference(line.tag)) {
        line.key = line.tag;
        i = skipWhite(text, tokenEnd);
        if (i == text.size()) return false;
        tokenEnd = skipToken(text, i);
        line.tag = text.substr(i, tokenEnd - i);
    }
    if (!isValidTag(line.tag)) return false;

    i = skipWhite(text, tokenEnd);
    std::size_t valueEnd = text.size();
    while (valueEnd > i && isWhite(text[valueEnd - 1]))
        --valueEnd;
    line.value = text.substr(i, valueEnd - i);
    error = std::nullopt;
    return true;
}

} // namespace

template <typename Text, typename Number>
LNGedcomNode* LNGedcomNode::makeLine(void* room, std::int32_t level, StringView key, StringView tag,
                                     StringView value, Text&& text, Number&& number) {
    SharedString valueText = value.empty() ? SharedString() : text(value);
    SharedString keyText = key.empty() ? SharedString() : text(key);
    const std::uint32_t tagNumber = number(tag);
    LNGedcomNode* node =
        tagNumber != InternTable::none
            ? new (room) LNGedcomNode(level, std::move(keyText), tagNumber, std::move(valueText))
            : new (room) LNGedcomNode(level, std::move(keyText), text(tag), std::move(valueText));
    // Parsed lines keep negative levels; the assembler rejects them.
    node->setLevel(level);
    return node;
}

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error) {
    std::optional<ErrorKind> ignored;
    LineFields line;
    if (!scanLine(text, line, error ? *error : ignored)) return nullptr;
    return Ref<LNGedcomNode>(makeLine(
        ::operator new(sizeof(LNGedcomNode)), line.level, line.key, line.tag, line.value,
        [](StringView part) { return SharedString(part); },
        [](StringView tag) { return InternTable::number(tag); }));
}

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error,
                                               LoadArena& arena) {
    std::optional<ErrorKind> ignored;
    LineFields line;
    if (!scanLine(text, line, error ? *error : ignored)) return nullptr;
    LNGedcomNode* node = makeLine(
        arena.allocate(sizeof(LNGedcomNode)), line.level, line.key, line.tag, line.value,
        [&](StringView part) { return SharedString::inArena(part, arena); },
        [&](StringView tag) { return arena.tags().number(tag); });
    node->setMadeInArena();
    return Ref<LNGedcomNode>(node);
}

String LNGedcomNode::description() const {
    std::string level = std::to_string(this->level());
    String line(level.begin(), level.end());
    if (const SharedString& key = this->key()) {
        line += u' ';
        line += key.view();
    }
    line += u' ';
    line += name().view();
    if (value()) {
        line += u' ';
        line += value().view();
    }
    return line;
}

Ref<LNNode> LNGedcomNode::shallowCopy() const {
    return makeRef<LNGedcomNode>(level(), key(), name(), value());
}

bool isCrossReference(StringView text) {
    return text.size() >= 3 && text.front() == u'@' && text.back() == u'@';
}

StringView strippedAts(StringView text) {
    return isCrossReference(text) ? text.substr(1, text.size() - 2) : text;
}

String stripAts(StringView text) {
    return String(strippedAts(text));
}

bool isValidTag(StringView text) {
    return text.size() >= 2;
}

} // namespace kinloom
