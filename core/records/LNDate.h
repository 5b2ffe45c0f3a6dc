#pragma once

#include "records/LNYear.h"
#include "memory/SharedString.h"

#include <cstdint>
#include <memory>
#include <optional>

namespace kinloom {

/// The value of a DATE line, read tolerantly for its year: the last token of
/// exactly four decimal digits, or of four digits with B.C. or BC attached;
/// a year followed by B.C. or BC (any case, either dot left out) is before
/// Christ.
class LNDate {
  public:
    /// Null when the text is empty or white space only.
    static std::unique_ptr<LNDate> initFromString(StringView text);
    /// The year initFromString would find in the text, or absent; makes no date.
    static std::optional<LNYear> yearIn(StringView text);

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
