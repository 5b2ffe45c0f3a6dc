#pragma once

#include "memory/SharedString.h"
#include "records/LNYear.h"
#include "support/GedcomStandard.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace kinloom {

/// The value of a DATE line. parse reads it by the date grammar of the
/// file's standard (5.5 and 5.5.1 share one; 7.0 differs in its calendar
/// names, epochs, year digits and phrases); yearIn finds the year the
/// person table shows: by the grammar where the value follows it, else
/// tolerantly, the last token of exactly four decimal digits, or of four
/// digits with B.C. or BC attached or after blanks (any case, either dot
/// left out).
class LNDate {
  public:
    enum class Calendar : std::uint8_t {
        gregorian,
        julian,
        hebrew,
        frenchRepublican,
        roman,
        unknown,
        extension
    };
    /// The words before the dates; interpreted is 5.5's INT, phrase a value
    /// that is only a parenthesised 5.5 date phrase, empty 7.0's empty value.
    enum class Form : std::uint8_t {
        empty,
        date,
        about,
        calculated,
        estimated,
        before,
        after,
        between,
        from,
        to,
        fromTo,
        interpreted,
        phrase
    };
    /// How strictly parse reads: exact is the grammar as written (7.0's
    /// keywords in upper case, one space between words); tolerant also takes
    /// any case and runs of blanks, as the 5.5 files in use write them.
    enum class Reading : std::uint8_t { exact, tolerant };

    /// One date of a value, its texts views into the parsed text.
    struct Part {
        Calendar calendar = Calendar::gregorian;
        /// The calendar as written ("@#DJULIAN@", "JULIAN", "_MAYAN"), or empty.
        StringView calendarName;
        /// 1 to 36, or 0 without a day.
        std::uint8_t day = 0;
        /// The month's place in its calendar's year (JAN, TSH and VEND are
        /// 1; COMP is 13), or 0 without a month or in an extension calendar.
        std::uint8_t month = 0;
        StringView monthName;
        /// The year's digits as written, and 5.5's two digits after a slash
        /// ("1699/00").
        StringView year;
        StringView dualYear;
        /// "BCE", "B.C.", "BC", an extension epoch, or empty.
        StringView epoch;
        bool beforeChrist() const { return !epoch.empty() && epoch.front() != u'_'; }
    };
    struct Value {
        Form form = Form::empty;
        /// The date, or the first of two (between, fromTo).
        Part first;
        Part second;
        /// The text inside the parentheses of a 5.5 date phrase.
        StringView phrase;
        bool hasDate() const { return form != Form::empty && form != Form::phrase; }
        /// The date a range or period ends with, the only one otherwise.
        const Part& last() const { return form == Form::between || form == Form::fromTo ? second : first; }
    };

    /// The value read by the standard's date grammar, or absent when the
    /// text does not follow it.
    static std::optional<Value> parse(StringView text, GedcomStandard standard, Reading reading);

    /// The year the person table shows for one date: the year of the common
    /// era it falls in (as written for Gregorian and Julian dates, the
    /// Gregorian year of the first day for Hebrew and French republican
    /// ones), or one of another calendar with the calendar's name.
    static std::optional<LNYear> yearOf(const Part& part);

    /// Null when the text is empty or white space only.
    static std::unique_ptr<LNDate> initFromString(StringView text,
                                                  GedcomStandard standard = GedcomStandard::Gedcom55);
    /// The year initFromString would find in the text, or absent; makes no date.
    /// Hebrew and French republican dates give the Gregorian year of their
    /// first day.
    static std::optional<LNYear> yearIn(StringView text, GedcomStandard standard = GedcomStandard::Gedcom55);

    /// The year's text (LNYear::text: "1850", "1032 B.C."), or absent.
    const std::optional<String>& yearString() const { return yearString_; }
    void setYearString(std::optional<String> year) { yearString_ = std::move(year); }

    // Declared for the date's parts; parsing fills none of them.
    const std::optional<String>& value() const { return value_; }
    std::int32_t year() const { return year_; }
    std::int32_t month() const { return month_; }
    std::int32_t day() const { return day_; }

  private:
    std::optional<String> value_;
    std::int32_t year_ = 0;
    std::int32_t month_ = 0;
    std::int32_t day_ = 0;
    std::optional<String> yearString_;
};

} // namespace kinloom
