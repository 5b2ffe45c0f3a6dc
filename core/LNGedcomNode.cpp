#include "LNGedcomNode.h"

#include "LoadArena.h"
#include "TextServices.h"

#include <algorithm>
#include <climits>
#include <new>

namespace kinloom {

LNGedcomNode::LNGedcomNode(std::int32_t level, SharedString ref, SharedString tag, SharedString value)
    : LNNode(std::move(tag), std::move(value), nullptr) {
    setGedcomLine();
    setKey(std::move(ref));
    if (level >= 0) setLevel(level);
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

// A signed decimal integer saturating at the 32-bit limits; false when there
// are no digits.
bool scanLevel(StringView text, std::size_t& i, std::int32_t& level) {
    std::size_t at = i;
    bool negative = false;
    if (at < text.size() && (text[at] == u'+' || text[at] == u'-')) negative = text[at++] == u'-';
    std::size_t digits = at;
    std::int64_t magnitude = 0;
    constexpr std::int64_t limit = std::int64_t{INT32_MAX} + 1;
    for (; at < text.size() && text[at] >= u'0' && text[at] <= u'9'; ++at)
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text[at] - u'0'), limit);
    if (at == digits) return false;
    i = at;
    level = static_cast<std::int32_t>(std::min<std::int64_t>(negative ? -magnitude : magnitude, INT32_MAX));
    return true;
}

SharedString lineString(StringView text, LoadArena* arena) {
    return arena ? SharedString::inArena(text, *arena) : SharedString(text);
}

} // namespace

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error) {
    std::optional<ErrorKind> ignored;
    if (!error) error = &ignored;
    *error = LNGedcomErrorLineSyntax;
    if (text.empty()) return nullptr;

    std::size_t i = skipWhite(text, 0);
    if (i == text.size()) {
        *error = std::nullopt; // a blank line is not an error
        return nullptr;
    }
    std::int32_t level = 0;
    if (!scanLevel(text, i, level) || i == text.size()) return nullptr;
    i = skipWhite(text, i);
    if (i == text.size()) return nullptr;

    std::size_t tokenEnd = skipToken(text, i);
    StringView token = text.substr(i, tokenEnd - i);
    StringView key;
    if (isCrossReference(token)) {
        key = token;
        i = skipWhite(text, tokenEnd);
        if (i == text.size()) return nullptr;
        tokenEnd = skipToken(text, i);
        token = text.substr(i, tokenEnd - i);
    }
    if (!isValidTag(token)) return nullptr;

    i = skipWhite(text, tokenEnd);
    std::size_t valueEnd = text.size();
    while (valueEnd > i && isWhite(text[valueEnd - 1]))
        --valueEnd;

    *error = std::nullopt;
    LoadArena* arena = LoadArena::current();
    SharedString value = i < valueEnd ? lineString(text.substr(i, valueEnd - i), arena) : SharedString();
    SharedString ref = key.empty() ? SharedString() : lineString(key, arena);
    SharedString tag = SharedString::interned(token);
    void* memory = arena ? arena->allocate(sizeof(LNGedcomNode)) : nullptr;
    LNGedcomNode* node = memory ? new (memory)
                                      LNGedcomNode(level, std::move(ref), std::move(tag), std::move(value))
                                : new LNGedcomNode(level, std::move(ref), std::move(tag), std::move(value));
    if (memory) node->setMadeInArena();
    node->setLevel(level); // parsed lines keep negative levels; the assembler rejects them
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
