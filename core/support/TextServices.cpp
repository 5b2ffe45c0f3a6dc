#include "support/TextServices.h"

#include <unicode/calendar.h>
#include <unicode/coll.h>
#include <unicode/gregocal.h>
#include <unicode/locid.h>
#include <unicode/normalizer2.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/ustring.h>

#include <algorithm>
#include <climits>
#include <iterator>
#include <limits>

namespace kinloom {
namespace {

constexpr char16_t replacementCharacter = 0xFFFD;

CharSet makeSet(bool whiteSpace, bool newline) {
    String members;
    if (whiteSpace) {
        members.push_back(u'\t');
        for (UChar32 c = 0; c < 0x10000; ++c) {
            if (u_charType(c) == U_SPACE_SEPARATOR) members.push_back(static_cast<char16_t>(c));
        }
    }
    if (newline) members += u"\n\v\f\r\u0085\u2028\u2029";
    return CharSet::fromChars(members);
}

icu::UnicodeString alias(StringView text) {
    // Read-only alias: no copy of the text.
    return icu::UnicodeString(false, text.data(), static_cast<int32_t>(text.size()));
}

String fromUnicodeString(const icu::UnicodeString& text) {
    return String(text.getBuffer(), static_cast<std::size_t>(text.length()));
}

struct CollatorHolder {
    std::unique_ptr<icu::Collator> collator;
    void make(const icu::Locale& locale) {
        UErrorCode status = U_ZERO_ERROR;
        std::unique_ptr<icu::Collator> made(icu::Collator::createInstance(locale, status));
        if (U_FAILURE(status) || !made) {
            status = U_ZERO_ERROR;
            made.reset(icu::Collator::createInstance(icu::Locale::getRoot(), status));
        }
        if (made) made->setStrength(icu::Collator::SECONDARY);
        collator = std::move(made);
    }
};

CollatorHolder& collatorHolder() {
    static CollatorHolder holder = [] {
        CollatorHolder made;
        made.make(icu::Locale::getDefault());
        return made;
    }();
    return holder;
}

} // namespace

CharSet CharSet::fromChars(StringView chars) {
    CharSet set;
    for (char16_t c : chars)
        set.bits_->set(c);
    return set;
}

const CharSet& CharSet::whiteSpace() {
    static const CharSet set = makeSet(true, false);
    return set;
}

const CharSet& CharSet::whiteSpaceAndNewline() {
    static const CharSet set = makeSet(true, true);
    return set;
}

const CharSet& CharSet::newline() {
    static const CharSet set = makeSet(false, true);
    return set;
}

std::vector<StringView> splitBySet(StringView text, const CharSet& separators) {
    std::vector<StringView> pieces;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (separators.contains(text[i])) {
            pieces.push_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

std::vector<StringView> splitByString(StringView text, StringView separator) {
    std::vector<StringView> pieces;
    if (separator.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    std::size_t start = 0;
    for (;;) {
        std::size_t found = text.find(separator, start);
        if (found == StringView::npos) break;
        pieces.push_back(text.substr(start, found - start));
        start = found + separator.size();
    }
    pieces.push_back(text.substr(start));
    return pieces;
}

StringView trim(StringView text, const CharSet& set) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && set.contains(text[begin]))
        ++begin;
    while (end > begin && set.contains(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

bool Scanner::scanCharacters(const CharSet& set, StringView* run) {
    std::size_t start = location_;
    while (location_ < text_.size() && set.contains(text_[location_]))
        ++location_;
    if (run) *run = text_.substr(start, location_ - start);
    return location_ > start;
}

bool Scanner::scanUpToCharacters(const CharSet& set, StringView* run) {
    std::size_t start = location_;
    while (location_ < text_.size() && !set.contains(text_[location_]))
        ++location_;
    if (run) *run = text_.substr(start, location_ - start);
    return location_ > start;
}

bool Scanner::scanInt(std::int32_t* value) {
    std::size_t i = location_;
    bool negative = false;
    if (i < text_.size() && (text_[i] == u'+' || text_[i] == u'-')) {
        negative = text_[i] == u'-';
        ++i;
    }
    std::size_t digitsStart = i;
    std::int64_t magnitude = 0;
    constexpr std::int64_t limit = static_cast<std::int64_t>(INT32_MAX) + 1;
    while (i < text_.size() && text_[i] >= u'0' && text_[i] <= u'9') {
        magnitude = std::min<std::int64_t>(magnitude * 10 + (text_[i] - u'0'), limit);
        ++i;
    }
    if (i == digitsStart) return false;
    location_ = i;
    std::int64_t signedValue = negative ? -magnitude : magnitude;
    if (signedValue > INT32_MAX) signedValue = INT32_MAX;
    if (value) *value = static_cast<std::int32_t>(signedValue);
    return true;
}

bool isAscii(StringView text) {
    for (char16_t c : text) {
        if (c >= 0x80) return false;
    }
    return true;
}

std::int32_t intValue(StringView text) {
    Scanner scanner(text);
    scanner.scanCharacters(CharSet::whiteSpaceAndNewline());
    std::int32_t value = 0;
    return scanner.scanInt(&value) ? value : 0;
}

String toUpper(StringView text) {
    if (isAscii(text)) {
        String result(text);
        for (char16_t& c : result) {
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - 32);
        }
        return result;
    }
    icu::UnicodeString copy(text.data(), static_cast<int32_t>(text.size()));
    return fromUnicodeString(copy.toUpper(icu::Locale::getRoot()));
}

String toLower(StringView text) {
    if (isAscii(text)) {
        String result(text);
        for (char16_t& c : result) {
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c + 32);
        }
        return result;
    }
    icu::UnicodeString copy(text.data(), static_cast<int32_t>(text.size()));
    return fromUnicodeString(copy.toLower(icu::Locale::getRoot()));
}

int localizedCaseInsensitiveCompare(StringView a, StringView b) {
    icu::Collator* collator = collatorHolder().collator.get();
    if (!collator) return a < b ? -1 : (b < a ? 1 : 0);
    UErrorCode status = U_ZERO_ERROR;
    UCollationResult result = collator->compare(a.data(), static_cast<int32_t>(a.size()), b.data(),
                                                static_cast<int32_t>(b.size()), status);
    return result == UCOL_LESS ? -1 : (result == UCOL_GREATER ? 1 : 0);
}

std::string collationKey(StringView text) {
    icu::Collator* collator = collatorHolder().collator.get();
    if (!collator) {
        // Code unit order, as localizedCaseInsensitiveCompare's without a
        // collator: each unit as two bytes, high byte first. (UTF-8 would
        // put the units from U+E000 up before the surrogate pairs.)
        std::string key;
        key.reserve(text.size() * 2);
        for (char16_t unit : text) {
            key.push_back(static_cast<char>(unit >> 8));
            key.push_back(static_cast<char>(unit & 0xFF));
        }
        return key;
    }
    std::string key(text.size() * 2 + 8, '\0');
    for (;;) {
        int32_t needed =
            collator->getSortKey(text.data(), static_cast<int32_t>(text.size()),
                                 reinterpret_cast<uint8_t*>(key.data()), static_cast<int32_t>(key.size()));
        if (needed <= static_cast<int32_t>(key.size())) {
            // The key ends with a zero byte that plain comparison does not need.
            key.resize(needed > 0 ? static_cast<std::size_t>(needed - 1) : 0);
            return key;
        }
        key.resize(static_cast<std::size_t>(needed));
    }
}

void setCollationLocale(const char* name) {
    collatorHolder().make(icu::Locale(name));
}

String foldForSearch(StringView text) {
    if (isAscii(text)) return toLower(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfd = icu::Normalizer2::getNFDInstance(status);
    if (U_FAILURE(status)) return toLower(text);
    icu::UnicodeString decomposed =
        nfd->normalize(icu::UnicodeString(text.data(), static_cast<int32_t>(text.size())), status);
    if (U_FAILURE(status)) return toLower(text);
    icu::UnicodeString bare;
    for (int32_t at = 0; at < decomposed.length();) {
        const UChar32 c = decomposed.char32At(at);
        if (u_charType(c) != U_NON_SPACING_MARK) bare.append(c);
        at += U16_LENGTH(c);
    }
    return fromUnicodeString(bare.foldCase());
}

String toNFC(StringView text) {
    // Every character below U+0300 is unchanged by composition and composes
    // with nothing before it.
    bool simple = true;
    for (char16_t c : text) {
        if (c >= 0x300) {
            simple = false;
            break;
        }
    }
    if (simple) return String(text);
    UErrorCode status = U_ZERO_ERROR;
    const icu::Normalizer2* nfc = icu::Normalizer2::getNFCInstance(status);
    if (U_FAILURE(status)) return String(text);
    icu::UnicodeString source = alias(text);
    icu::UnicodeString result = nfc->normalize(source, status);
    if (U_FAILURE(status)) return String(text);
    return fromUnicodeString(result);
}

String fromUtf8(std::string_view bytes) {
    String result;
    result.reserve(bytes.size());
    std::size_t i = 0;
    // ASCII runs are the common case and need no decoder.
    while (i < bytes.size()) {
        unsigned char b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            result.push_back(b);
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x80)
            ++end;
        std::string_view run = bytes.substr(i, end - i);
        std::size_t oldSize = result.size();
        result.resize(oldSize + run.size() + 1);
        int32_t length = 0;
        UErrorCode status = U_ZERO_ERROR;
        u_strFromUTF8WithSub(reinterpret_cast<UChar*>(result.data() + oldSize),
                             static_cast<int32_t>(run.size() + 1), &length, run.data(),
                             static_cast<int32_t>(run.size()), replacementCharacter, nullptr, &status);
        if (U_FAILURE(status)) length = 0;
        result.resize(oldSize + static_cast<std::size_t>(length));
        i = end;
    }
    return result;
}

std::string toUtf8(StringView text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c < 0x80) {
            result.push_back(static_cast<char>(c));
            continue;
        }
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = replacementCharacter;
        }
        if (c < 0x800) {
            result.push_back(static_cast<char>(0xC0 | (c >> 6)));
        } else if (c < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | (c >> 12)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | (c >> 18)));
            result.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
            result.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        }
        result.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
    return result;
}

std::string toUtf8OrNull(const SharedString& text) {
    return text ? toUtf8(text.view()) : std::string("(null)");
}

std::string toUtf8OrNull(const std::optional<String>& text) {
    return text ? toUtf8(*text) : std::string("(null)");
}

String fromUtf16(std::string_view bytes, bool bigEndian, LNProgress::Meter meter) {
    String result;
    result.reserve(bytes.size() / 2 + 1);
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t whole = bytes.size() / 2 * 2;
    // A chunk at a time through a small buffer, and counted on the meter
    // once a chunk: a count for each unit slowed the loop by a third.
    char16_t chunk[2048];
    for (std::size_t i = 0; i < whole;) {
        meter.count(i);
        std::size_t length = 0;
        for (; i < whole && length < std::size(chunk); i += 2)
            chunk[length++] = bigEndian ? static_cast<char16_t>(data[i] << 8 | data[i + 1])
                                        : static_cast<char16_t>(data[i + 1] << 8 | data[i]);
        result.append(chunk, length);
    }
    if (whole != bytes.size()) result.push_back(replacementCharacter);
    return result;
}

bool isLanguageTag(StringView text) {
    // ICU's strict reading refuses what is not well-formed; a tag is ASCII.
    if (text.empty() || !isAscii(text)) return false;
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::forLanguageTag(toUtf8(text), status);
    return U_SUCCESS(status);
}

std::optional<std::int64_t> gregorianYearOfHebrewDay(std::int32_t year, int month, int day) {
    if (year < 1 || year > 999999 || month < 1 || month > 13 || day < 1 || day > 30) return std::nullopt;
    // In UTC, so that the day is the same wherever the program runs; ICU
    // numbers the months from Tishrei as 0, with Adar I as 5.
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> hebrew(
        icu::Calendar::createInstance(*icu::TimeZone::getGMT(), icu::Locale("und@calendar=hebrew"), status));
    icu::GregorianCalendar gregorian(*icu::TimeZone::getGMT(), status);
    if (U_FAILURE(status) || !hebrew) return std::nullopt;
    hebrew->clear();
    hebrew->set(year, month - 1, day);
    gregorian.setGregorianChange(-std::numeric_limits<double>::max(), status);
    gregorian.setTime(hebrew->getTime(status), status);
    const std::int32_t era = gregorian.get(UCAL_ERA, status);
    const std::int32_t number = gregorian.get(UCAL_YEAR, status);
    if (U_FAILURE(status)) return std::nullopt;
    return era == icu::GregorianCalendar::AD ? number : 1 - std::int64_t{number};
}

} // namespace kinloom
