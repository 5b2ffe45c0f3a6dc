#include "LNGedcomNode.h"

#include "TextServices.h"

namespace kinloom {

LNGedcomNode::LNGedcomNode(std::int32_t level, SharedString ref, SharedString tag, SharedString value)
    : LNNode(std::move(tag), std::move(value), nullptr), key_(std::move(ref)) {
    if (level >= 0) setLevel(level);
}

Ref<LNGedcomNode> LNGedcomNode::initFromString(StringView text, std::optional<ErrorKind>* error) {
    std::optional<ErrorKind> ignored;
    if (!error) error = &ignored;
    *error = LNGedcomErrorLineSyntax;
    if (text.empty()) return nullptr;

    const CharSet& white = CharSet::whiteSpace();
    Scanner scanner(text);
    scanner.scanCharacters(white);
    if (scanner.atEnd()) {
        *error = std::nullopt; // a blank line is not an error
        return nullptr;
    }
    std::int32_t level = 0;
    if (!scanner.scanInt(&level) || scanner.atEnd()) return nullptr;
    scanner.scanCharacters(white);
    if (scanner.atEnd()) return nullptr;

    StringView token;
    scanner.scanUpToCharacters(white, &token);
    StringView key;
    if (isCrossReference(token)) {
        key = token;
        scanner.scanCharacters(white);
        if (scanner.atEnd()) return nullptr;
        scanner.scanUpToCharacters(white, &token);
    }
    if (!isValidTag(token)) return nullptr;

    scanner.scanCharacters(white);
    SharedString value;
    if (!scanner.atEnd()) value = SharedString(trim(scanner.rest(), white));

    *error = std::nullopt;
    auto node = makeRef<LNGedcomNode>(level, key.empty() ? SharedString() : SharedString(key),
                                      SharedString::interned(token), std::move(value));
    node->setLevel(level); // parsed lines keep negative levels; the assembler rejects them
    return node;
}

String LNGedcomNode::description() const {
    std::string level = std::to_string(this->level());
    String line(level.begin(), level.end());
    if (key_) {
        line += u' ';
        line += key_.view();
    }
    line += u' ';
    line += name().view();
    if (value()) {
        line += u' ';
        line += value().view();
    }
    return line;
}

Ref<LNNode> LNGedcomNode::shallowCopy() const { return makeRef<LNGedcomNode>(level(), key_, name(), value()); }

bool isCrossReference(StringView text) {
    return text.size() >= 3 && text.front() == u'@' && text.back() == u'@';
}

String stripAts(StringView text) {
    if (!isCrossReference(text)) return String(text);
    return String(text.substr(1, text.size() - 2));
}

bool isValidTag(StringView text) { return text.size() >= 2; }

} // namespace kinloom
