// The 7.0 standard's payload grammars, written from its grammar.abnf; dates
// are read by core's one date grammar, which the person table's years use.

#include "Gedcom7Payload.h"

#include "records/LNDate.h"
#include "support/TextServices.h"

#include <algorithm>
#include <array>
#include <utility>

namespace kinloom {

namespace {

bool isDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}
bool isUpper(char16_t c) {
    return c >= u'A' && c <= u'Z';
}
bool isAlpha(char16_t c) {
    return isUpper(c) || (c >= u'a' && c <= u'z');
}
bool isTagChar(char16_t c) {
    return isUpper(c) || isDigit(c) || c == u'_';
}

// A reader of one value: each step takes what it names, or nothing and false.
class Scan {
  public:
    explicit Scan(StringView text) : text_(text) {}
    bool atEnd() const { return at_ == text_.size(); }
    bool take(char16_t c) {
        if (atEnd() || text_[at_] != c) return false;
        ++at_;
        return true;
    }
    // At least min and at most max characters of the class; false (taking
    // nothing) when fewer than min are there.
    template <typename Class> bool many(Class inClass, std::size_t min, std::size_t max = SIZE_MAX) {
        std::size_t end = at_;
        while (end < text_.size() && end - at_ < max && inClass(text_[end]))
            ++end;
        if (end - at_ < min) return false;
        at_ = end;
        return true;
    }
    // One to maxDigits digits making a number no larger than limit.
    bool number(std::size_t maxDigits, int limit) { return digits(1, maxDigits, limit); }
    bool digits(std::size_t minDigits, std::size_t maxDigits, int limit) {
        std::size_t start = at_;
        if (!many(isDigit, minDigits, maxDigits)) return false;
        int value = 0;
        for (std::size_t i = start; i < at_; ++i)
            value = value * 10 + (text_[i] - u'0');
        return value <= limit;
    }

  private:
    StringView text_;
    std::size_t at_ = 0;
};

bool isIntegerText(StringView text) {
    Scan scan(text);
    return scan.many(isDigit, 1) && scan.atEnd();
}

bool isStandardTag(StringView text) {
    return !text.empty() && isUpper(text[0]) && std::all_of(text.begin(), text.end(), isTagChar);
}

bool isEnumerationForm(StringView text) {
    return isStandardTag(text) || isIntegerText(text) || isExtensionTag(text);
}

// Time = hour ":" minute [":" second ["." fraction]] ["Z"]
bool isTime(StringView text) {
    Scan scan(text);
    if (!scan.number(2, 23) || !scan.take(u':') || !scan.digits(2, 2, 59)) return false;
    if (scan.take(u':')) {
        if (!scan.digits(2, 2, 59)) return false;
        if (scan.take(u'.') && !scan.many(isDigit, 1)) return false;
    }
    scan.take(u'Z');
    return scan.atEnd();
}

// Age = [[ageBound D] ageDuration]; the durations in the order y, m, w, d.
bool isAge(StringView text) {
    Scan scan(text);
    if (scan.take(u'<') || scan.take(u'>'))
        if (!scan.take(u' ')) return false;
    constexpr std::array<char16_t, 4> units{u'y', u'm', u'w', u'd'};
    std::size_t next = 0, parts = 0;
    while (!scan.atEnd()) {
        if (parts > 0 && !scan.take(u' ')) return false;
        if (!scan.many(isDigit, 1)) return false;
        while (next < units.size() && !scan.take(units[next]))
            ++next;
        if (next == units.size()) return false;
        ++next;
        ++parts;
    }
    return parts > 0;
}

bool isRestrictedNameChar(char16_t c) {
    return isAlpha(c) || isDigit(c) || StringView(u"!#$&-^_.+").find(c) != StringView::npos;
}
bool isTokenChar(char16_t c) {
    return isAlpha(c) || isDigit(c) || StringView(u"!#$%&'*+-.^_`|~").find(c) != StringView::npos;
}
bool isQuotedChar(char16_t c) {
    return c == u'\t' || (c >= 0x20 && c <= 0x7E && c != u'"' && c != u'\\') || (c >= 0x80 && c <= 0xFF);
}

bool restrictedName(Scan& scan) {
    return scan.many([](char16_t c) { return isAlpha(c) || isDigit(c); }, 1, 1) &&
           scan.many(isRestrictedNameChar, 0, 126);
}

bool parameterValue(Scan& scan) {
    if (!scan.take(u'"')) return scan.many(isTokenChar, 1);
    for (;;) {
        if (scan.take(u'"')) return true;
        if (scan.take(u'\\')) {
            if (!scan.many([](char16_t c) { return c == u'\t' || (c >= 0x20 && c <= 0xFF && c != 0x7F); }, 1,
                           1))
                return false;
        } else if (!scan.many(isQuotedChar, 1, 1)) {
            return false;
        }
    }
}

// MediaType = type "/" subtype *(OWS ";" OWS [parameter])
bool isMediaType(StringView text) {
    Scan scan(text);
    if (!restrictedName(scan) || !scan.take(u'/') || !restrictedName(scan)) return false;
    auto blanks = [](char16_t c) { return c == u' ' || c == u'\t'; };
    while (!scan.atEnd()) {
        scan.many(blanks, 0);
        if (!scan.take(u';')) return false;
        scan.many(blanks, 0);
        if (scan.atEnd()) break;
        if (scan.many(isTokenChar, 1) && (!scan.take(u'=') || !parameterValue(scan))) return false;
    }
    return true;
}

// PersonalName = nameStr / [nameStr] "/" [nameStr] "/" [nameStr]; no tab.
bool isPersonalName(StringView text) {
    if (text.find(u'\t') != StringView::npos || text.find(u'\n') != StringView::npos) return false;
    const auto slashes = std::count(text.begin(), text.end(), u'/');
    return slashes == 0 || slashes == 2;
}

// Latitude and longitude: a hemisphere letter, degrees up to the limit, decimals.
bool isCoordinate(StringView text, StringView hemispheres, int limit) {
    Scan scan(text);
    if (text.empty() || hemispheres.find(text[0]) == StringView::npos) return false;
    scan.many([](char16_t) { return true; }, 1, 1);
    if (!scan.number(3, limit)) return false;
    if (scan.take(u'.') && !scan.many(isDigit, 1)) return false;
    return scan.atEnd();
}

bool isEnumList(StringView text) {
    const std::vector<StringView> items = listItems(text);
    return std::all_of(items.begin(), items.end(), isEnumerationForm);
}

constexpr std::pair<std::string_view, Gedcom7Payload> payloadWords[] = {
    {"none", Gedcom7Payload::none},
    {"text", Gedcom7Payload::text},
    {"Y", Gedcom7Payload::flag},
    {"integer", Gedcom7Payload::integer},
    {"enum", Gedcom7Payload::enumeration},
    {"listenum", Gedcom7Payload::enumList},
    {"listtext", Gedcom7Payload::textList},
    {"date", Gedcom7Payload::date},
    {"dateexact", Gedcom7Payload::dateExact},
    {"dateperiod", Gedcom7Payload::datePeriod},
    {"time", Gedcom7Payload::time},
    {"age", Gedcom7Payload::age},
    {"language", Gedcom7Payload::language},
    {"mediatype", Gedcom7Payload::mediaType},
    {"name", Gedcom7Payload::name},
    {"filepath", Gedcom7Payload::filePath},
    {"uri", Gedcom7Payload::uri},
    {"latitude", Gedcom7Payload::latitude},
    {"longitude", Gedcom7Payload::longitude},
    {"tagdef", Gedcom7Payload::tagDef},
};

} // namespace

std::optional<Gedcom7Payload> gedcom7PayloadNamed(std::string_view word) {
    if (word.starts_with("pointer:")) return Gedcom7Payload::pointer;
    for (const auto& [name, kind] : payloadWords)
        if (name == word) return kind;
    return std::nullopt;
}

bool allowsEmptyPayload(Gedcom7Payload kind) {
    switch (kind) {
    case Gedcom7Payload::none:
    case Gedcom7Payload::text:
    case Gedcom7Payload::flag:
    case Gedcom7Payload::textList:
    case Gedcom7Payload::date:
    case Gedcom7Payload::datePeriod:
    case Gedcom7Payload::age:
    case Gedcom7Payload::filePath:
    case Gedcom7Payload::uri:
        return true;
    default:
        return false;
    }
}

std::vector<StringView> listItems(StringView value) {
    std::vector<StringView> items;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = value.find(u',', start);
        StringView item = value.substr(start, comma == StringView::npos ? StringView::npos : comma - start);
        while (!item.empty() && item.front() == u' ')
            item.remove_prefix(1);
        while (!item.empty() && item.back() == u' ')
            item.remove_suffix(1);
        items.push_back(item);
        if (comma == StringView::npos) return items;
        start = comma + 1;
    }
}

bool isExtensionTag(StringView text) {
    return text.size() >= 2 && text[0] == u'_' && std::all_of(text.begin() + 1, text.end(), isTagChar);
}

// Dates by core's one date grammar, read as 7.0 writes them.
bool isDate(Gedcom7Payload kind, StringView value) {
    using Form = LNDate::Form;
    const auto date = LNDate::parse(value, GedcomStandard::Gedcom7, LNDate::Reading::exact);
    if (!date) return false;
    switch (kind) {
    case Gedcom7Payload::datePeriod:
        return date->form == Form::empty || date->form == Form::from || date->form == Form::to ||
               date->form == Form::fromTo;
    case Gedcom7Payload::dateExact:
        // Day, month and year of the Gregorian calendar, nothing else.
        return date->form == Form::date && date->first.calendarName.empty() && date->first.day != 0 &&
               date->first.month != 0 && date->first.epoch.empty();
    default:
        return true;
    }
}

bool payloadFits(Gedcom7Payload kind, StringView value) {
    switch (kind) {
    case Gedcom7Payload::date:
    case Gedcom7Payload::dateExact:
    case Gedcom7Payload::datePeriod:
        return isDate(kind, value);
    case Gedcom7Payload::flag:
        return value == u"Y";
    case Gedcom7Payload::integer:
        return isIntegerText(value);
    case Gedcom7Payload::enumeration:
        return isEnumerationForm(value);
    case Gedcom7Payload::enumList:
        return isEnumList(value);
    case Gedcom7Payload::time:
        return isTime(value);
    case Gedcom7Payload::age:
        return isAge(value);
    case Gedcom7Payload::language:
        return isLanguageTag(value);
    case Gedcom7Payload::mediaType:
        return isMediaType(value);
    case Gedcom7Payload::name:
        return isPersonalName(value);
    case Gedcom7Payload::latitude:
        return isCoordinate(value, u"NS", 90);
    case Gedcom7Payload::longitude:
        return isCoordinate(value, u"EW", 180);
    case Gedcom7Payload::tagDef: {
        const std::size_t blank = value.find(u' ');
        return blank != StringView::npos && isExtensionTag(value.substr(0, blank)) &&
               blank + 1 < value.size();
    }
    default:
        return value.find(u'\n') == StringView::npos || kind == Gedcom7Payload::text ||
               kind == Gedcom7Payload::textList;
    }
}

StringView payloadDescription(Gedcom7Payload kind) {
    switch (kind) {
    case Gedcom7Payload::flag:
        return u"Y or nothing";
    case Gedcom7Payload::integer:
        return u"a whole number";
    case Gedcom7Payload::enumList:
        return u"a list of values separated by commas";
    case Gedcom7Payload::date:
        return u"a date";
    case Gedcom7Payload::dateExact:
        return u"an exact date such as 7 DEC 2026";
    case Gedcom7Payload::datePeriod:
        return u"a date period such as FROM 1900 TO 1910";
    case Gedcom7Payload::time:
        return u"a time such as 14:30 or 09:05:10Z";
    case Gedcom7Payload::age:
        return u"an age such as 35y 11m or < 8w";
    case Gedcom7Payload::language:
        return u"a language tag such as en or de-CH";
    case Gedcom7Payload::mediaType:
        return u"a media type such as text/html";
    case Gedcom7Payload::name:
        return u"a name with at most one /surname/";
    case Gedcom7Payload::latitude:
        return u"a latitude such as N18.150944";
    case Gedcom7Payload::longitude:
        return u"a longitude such as E168.150944";
    case Gedcom7Payload::tagDef:
        return u"an extension tag and its URI";
    default:
        return u"text";
    }
}

} // namespace kinloom
