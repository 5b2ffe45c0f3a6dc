#include "LNGedcomNode.h"

#include "LoadArena.h"
#include "TextServices.h"

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

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error) {
    std::optional<ErrorKind> ignored;
    LineFields line;
    if (!scanLine(text, line, error ? *error : ignored)) return nullptr;
    auto onHeap = [](StringView part) { return part.empty() ? SharedString() : SharedString(part); };
    auto node = makeRef<LNGedcomNode>(line.level, onHeap(line.key), SharedString::interned(line.tag),
                                      onHeap(line.value));
    node->setLevel(line.level); // parsed lines keep negative levels; the assembler rejects them
    return node;
}

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error,
                                               LoadArena& arena) {
    std::optional<ErrorKind> ignored;
    LineFields line;
    if (!scanLine(text, line, error ? *error : ignored)) return nullptr;
    auto inArena = [&](StringView part) {
        return part.empty() ? SharedString() : SharedString::inArena(part, arena);
    };
    SharedString value = inArena(line.value);
    SharedString ref = inArena(line.key);
    const std::uint32_t tag = arena.tags().number(line.tag);
    void* memory = arena.allocate(sizeof(LNGedcomNode));
    LNGedcomNode* node = tag != InternTable::none
                             ? new (memory) LNGedcomNode(line.level, std::move(ref), tag, std::move(value))
                             : new (memory)
                                   LNGedcomNode(line.level, std::move(ref),
                                                SharedString::inArena(line.tag, arena), std::move(value));
    node->setMadeInArena();
    node->setLevel(line.level);
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

String stripAts(StringView text) {
    if (!isCrossReference(text)) return String(text);
    return String(text.substr(1, text.size() - 2));
}

bool isValidTag(StringView text) {
    return text.size() >= 2;
}

} // namespace kinloom
