#include "records/LNGedcomName.h"

#include "support/TextServices.h"

#include <algorithm>

namespace kinloom {

namespace {

// The full case mapping of an ASCII character is its ASCII counterpart, so
// ASCII text can skip the Unicode tables and still agree with toUpper/toLower
// exactly; that keeps keys and matches cheap for the common case.
char16_t asciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? char16_t(c - 0x20) : c;
}
char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? char16_t(c + 0x20) : c;
}
char16_t unchanged(char16_t c) {
    return c;
}

String upperCased(String text) {
    if (!isAscii(text)) return toUpper(text);
    for (char16_t& c : text)
        c = asciiUpper(c);
    return text;
}

// Letter codes of A to Z; 0 for the letters that have none.
constexpr char16_t letterCodes[] = u"01230120022455012623010202";

// The Soundex code of a surname, each character taken through toCase (which
// must already give the upper-case text).
template <typename CaseMap> String soundexOf(StringView surname, CaseMap toCase) {
    if (surname.empty()) return u"Z999";
    String code(1, toCase(surname[0]));
    // The first character is kept as it is and sets no last code.
    char16_t lastCode = 0;
    for (std::size_t i = 1; i < surname.size() && code.size() < 4; ++i)
        if (char16_t digit = codeof(toCase(surname[i]), &lastCode)) code.push_back(digit);
    code.resize(4, u'0');
    return code;
}

// Whether piece has full's first character and the rest of piece occurs in
// full in order; an empty text counts as having the first character 0.
template <typename CaseMap> bool matchPiece(StringView piece, StringView full, CaseMap toCase) {
    char16_t pieceFirst = piece.empty() ? 0 : toCase(piece[0]);
    char16_t fullFirst = full.empty() ? 0 : toCase(full[0]);
    if (pieceFirst != fullFirst) return false;
    std::size_t matched = 1;
    for (std::size_t i = 1; i < full.size() && matched < piece.size(); ++i)
        if (toCase(full[i]) == toCase(piece[matched])) ++matched;
    return matched >= piece.size();
}

enum class LetterCase { upper, lower };

// matchPiece on both texts in the given case, by the full case mapping.
bool matchPieceInCase(StringView piece, StringView full, LetterCase letterCase) {
    if (isAscii(piece) && isAscii(full))
        return letterCase == LetterCase::upper ? matchPiece(piece, full, asciiUpper)
                                               : matchPiece(piece, full, asciiLower);
    if (letterCase == LetterCase::upper) return matchPiece(toUpper(piece), toUpper(full), unchanged);
    return matchPiece(toLower(piece), toLower(full), unchanged);
}

// The parser's states; the comments say where in the value each one is.
enum class State {
    beforeWord,        // between words before the surname
    inWord,            // inside a word before the surname
    afterSlash,        // just after the opening slash
    inSurname,         // inside the surname
    surnameBlank,      // after white space inside the surname
    afterSurname,      // between words after the surname
    inWordAfterSurname // inside a word after the surname
};

} // namespace

LNGedcomName::LNGedcomName(StringView value) : original_(value) {
    parse(value);
}

LNGedcomName::LNGedcomName(const SharedString& value)
    : original_(value ? SharedString::borrowed(value) : SharedString(u"")) {
    parse(value.view());
}

// One state table over the characters of the value; it reads best whole,
// the states side by side, so it stays longer than other functions.
void LNGedcomName::parse(StringView value) {
    const CharSet& whiteSpace = CharSet::whiteSpaceAndNewline();
    String joined;
    joined.reserve(value.size());
    auto startPart = [&] {
        if (numParts_++ > 0) joined += u'/';
    };
    // Words outside the surname are runs of the value and are copied out
    // whole; only the surname needs a buffer, as its white space is folded.
    std::size_t wordStart = 0;
    String surname;
    auto emitWord = [&](std::size_t end) {
        startPart();
        joined += value.substr(wordStart, end - wordStart);
    };
    auto emitSurname = [&] {
        surnameIndex_ = static_cast<std::int32_t>(numParts_);
        startPart();
        joined += surname;
    };

    State state = State::beforeWord;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const char16_t c = value[i];
        const bool slash = c == u'/';
        const bool blank = !slash && whiteSpace.contains(c);
        switch (state) {
        case State::beforeWord:
            if (slash) {
                state = State::afterSlash;
            } else if (!blank) {
                wordStart = i;
                state = State::inWord;
            }
            break;
        case State::inWord:
            if (slash || blank) {
                emitWord(i);
                state = slash ? State::afterSlash : State::beforeWord;
            }
            break;
        case State::afterSlash:
            if (slash) {
                state = State::afterSurname; // an empty surname gives no part
            } else if (!blank) {
                // The folded surname is never longer than the text up to the closing slash.
                const std::size_t close = value.find(u'/', i);
                surname.reserve((close == StringView::npos ? value.size() : close) - i);
                surname.push_back(c);
                state = State::inSurname;
            }
            break;
        case State::inSurname:
            if (slash) {
                emitSurname();
                state = State::afterSurname;
            } else if (blank) {
                surname.push_back(u' ');
                state = State::surnameBlank;
            } else {
                surname.push_back(c);
            }
            break;
        case State::surnameBlank:
            if (slash) {
                surname.pop_back();
                emitSurname();
                state = State::afterSurname;
            } else if (!blank) {
                surname.push_back(c);
                state = State::inSurname;
            }
            break;
        case State::afterSurname:
            if (!slash && !blank) {
                wordStart = i;
                state = State::inWordAfterSurname;
            }
            break;
        case State::inWordAfterSurname:
            if (slash || blank) {
                emitWord(i);
                state = State::afterSurname;
            }
            break;
        }
    }

    // An unclosed surname runs to the end of the value.
    switch (state) {
    case State::inWord:
    case State::inWordAfterSurname:
        emitWord(value.size());
        break;
    case State::surnameBlank:
        surname.pop_back();
        [[fallthrough]];
    case State::inSurname:
        emitSurname();
        break;
    default:
        break;
    }
    if (numParts_ > 0) joined_ = SharedString(joined);
}

std::vector<StringView> LNGedcomName::partViews() const {
    std::vector<StringView> views;
    views.reserve(numParts_);
    StringView rest = joined_.view();
    for (std::uint32_t i = 0; i < numParts_; ++i) {
        std::size_t end = std::min(rest.find(u'/'), rest.size());
        views.push_back(rest.substr(0, end));
        rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    return views;
}

std::optional<std::vector<String>> LNGedcomName::parts() const {
    if (numParts_ == 0) return std::nullopt;
    std::vector<StringView> views = partViews();
    return std::vector<String>(views.begin(), views.end());
}

StringView LNGedcomName::surnameView() const {
    if (surnameIndex_ < 0) return StringView();
    StringView rest = joined_.view();
    for (std::int32_t i = 0; i < surnameIndex_; ++i)
        rest.remove_prefix(rest.find(u'/') + 1);
    return rest.substr(0, std::min(rest.find(u'/'), rest.size()));
}

std::optional<String> LNGedcomName::surname() const {
    if (surnameIndex_ < 0) return std::nullopt;
    return String(surnameView());
}

std::vector<String> LNGedcomName::givenNames() const {
    std::vector<String> names;
    std::vector<StringView> views = partViews();
    names.reserve(views.size());
    for (std::size_t i = 0; i < views.size(); ++i)
        if (static_cast<std::int32_t>(i) != surnameIndex_) names.emplace_back(views[i]);
    return names;
}

char16_t LNGedcomName::firstInitial() const {
    // The first word when it is not the surname, else the second.
    if (numParts_ == 0 || (surnameIndex_ == 0 && numParts_ == 1)) return u'0';
    StringView rest = joined_.view();
    if (surnameIndex_ == 0) rest.remove_prefix(rest.find(u'/') + 1);
    return rest[0];
}

String LNGedcomName::soundex() const {
    if (surnameIndex_ < 0) return u"Z999";
    StringView surname = surnameView();
    if (isAscii(surname)) return soundexOf(surname, asciiUpper);
    return soundexOf(toUpper(surname), unchanged);
}

String LNGedcomName::key() const {
    // Only the low 8 bits of the initial are kept, read as a Latin-1 character.
    String key(1, static_cast<char16_t>(firstInitial() & 0xFF));
    key += soundex();
    return upperCased(std::move(key));
}

String LNGedcomName::formatSurnameFirst(bool surnameFirst, bool surnameUpper, std::int32_t) const {
    const std::vector<StringView> parts = partViews();
    String shownSurname = u"____";
    if (surnameIndex_ >= 0) {
        String surname(parts[static_cast<std::size_t>(surnameIndex_)]);
        shownSurname = surnameUpper ? upperCased(std::move(surname)) : std::move(surname);
    }
    String result;
    result.reserve(64);
    if (surnameFirst) {
        result += shownSurname;
        bool firstGiven = true;
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (static_cast<std::int32_t>(i) == surnameIndex_) continue;
            if (firstGiven) result += u',';
            firstGiven = false;
            result += u' ';
            result += parts[i];
        }
        return result;
    }
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i > 0) result += u' ';
        if (static_cast<std::int32_t>(i) == surnameIndex_)
            result += shownSurname;
        else
            result += parts[i];
    }
    return result;
}

String LNGedcomName::description() const {
    String text;
    std::vector<StringView> parts = partViews();
    const std::int32_t count = static_cast<std::int32_t>(parts.size());
    for (std::int32_t i = 0; i < count; ++i) {
        const bool besideSurname = surnameIndex_ >= 0 && (i == surnameIndex_ || i == surnameIndex_ + 1);
        if (besideSurname)
            text += u'/';
        else if (i > 0)
            text += u' ';
        text += parts[static_cast<std::size_t>(i)];
    }
    if (surnameIndex_ >= 0 && surnameIndex_ == count - 1) text += u'/';
    return text;
}

bool LNGedcomName::containPartial(const LNGedcomName& partial, const LNGedcomName& full) {
    if (partial.surnameIndex_ < 0) return false;
    const std::vector<StringView> typed = partial.partViews();
    const std::vector<StringView> given = full.partViews();
    const StringView fullSurname =
        full.surnameIndex_ < 0 ? StringView() : given[static_cast<std::size_t>(full.surnameIndex_)];
    if (!matchPieceInCase(typed[static_cast<std::size_t>(partial.surnameIndex_)], fullSurname,
                          LetterCase::upper))
        return false;

    // Each typed given name needs its own given name of the full name, in order.
    std::size_t next = 0;
    for (std::size_t i = 0; i < typed.size(); ++i) {
        if (static_cast<std::int32_t>(i) == partial.surnameIndex_) continue;
        bool found = false;
        while (!found && next < given.size()) {
            const std::size_t candidate = next++;
            if (static_cast<std::int32_t>(candidate) == full.surnameIndex_) continue;
            found = matchPieceInCase(typed[i], given[candidate], LetterCase::lower);
        }
        if (!found) return false;
    }
    return true;
}

char16_t codeof(char16_t c, char16_t* lastCode) {
    const char16_t code = c >= u'A' && c <= u'Z' ? letterCodes[c - u'A'] : u'0';
    if (code == u'0') {
        *lastCode = 0;
        return 0;
    }
    if (code == *lastCode) return 0;
    *lastCode = code;
    return code;
}

bool pieceMatch(const std::optional<String>& piece, const std::optional<String>& full) {
    if (!piece) return false;
    return matchPiece(*piece, full ? StringView(*full) : StringView(), unchanged);
}

} // namespace kinloom
