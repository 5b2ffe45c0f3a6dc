// DATE values, one a line, through the date grammar of 5.5 and 7.0 and the
// year the person table shows, against the grammar's own reading.

#include "FuzzText.h"
#include "records/LNDate.h"
#include "support/TextServices.h"

using namespace kinloom;

namespace {

bool within(StringView part, StringView text) {
    return part.empty() ||
           (part.data() >= text.data() && part.data() + part.size() <= text.data() + text.size());
}

void exercise(StringView line, GedcomStandard standard) {
    using Reading = LNDate::Reading;
    const std::optional<LNDate::Value> exact = LNDate::parse(line, standard, Reading::exact);
    const std::optional<LNDate::Value> tolerant = LNDate::parse(line, standard, Reading::tolerant);
    fuzz::check(!exact || (tolerant && tolerant->form == exact->form), "an exact value reads so tolerantly");
    const std::optional<LNYear> year = LNDate::yearIn(line, standard);
    // The table's shortcut for plain years gives what the grammar gives.
    if (tolerant && tolerant->hasDate()) {
        const std::optional<LNYear> byGrammar = LNDate::yearOf(tolerant->last());
        fuzz::check(year.has_value() == byGrammar.has_value() && (!year || *year == *byGrammar),
                    "the year is the grammar's");
        for (const LNDate::Part* part : {&tolerant->first, &tolerant->second})
            fuzz::check(within(part->year, line) && within(part->monthName, line) && part->day <= 36,
                        "a date's parts are in the text");
    }
    if (!year) return;
    const String text = year->text();
    const std::optional<LNYear> again = LNYear::fromText(text);
    fuzz::check(again && *again == *year && LNYear::compareTexts(text, text) == 0,
                "a year's text reads back");
    fuzz::check(LNYear::compareTexts(text, u"glunk") < 0 && LNYear::compareTexts(u"glunk", text) > 0,
                "years sort before other texts");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const String text = fuzz::widened(fuzz::bytesOf(data, size));
    for (StringView line : splitBySet(text, CharSet::newline()))
        for (GedcomStandard standard : {GedcomStandard::Gedcom55, GedcomStandard::Gedcom7})
            exercise(line, standard);
    return 0;
}
