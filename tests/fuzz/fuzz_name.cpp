// A typed name and a full name ("typed\nfull", or one text for both) through
// the name parser, its key, Soundex code, display forms and partial match.

#include "FuzzText.h"
#include "records/LNGedcomName.h"
#include "support/SystemLog.h"

#include <cstdlib>

using namespace kinloom;

namespace {

void exercise(const LNGedcomName& name) {
    name.surname();
    name.givenNames();
    name.firstInitial();
    name.key();
    name.description();
    for (int form = 0; form < 4; ++form)
        name.formatSurnameFirst(form & 1, form & 2, 0);
    if (name.soundex().size() != 4) std::abort();
    // Every name with a surname contains itself.
    std::optional<String> surname = name.surname();
    if (surname && !surname->empty() && !LNGedcomName::containPartial(name, name)) std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogCapture quiet;
    String text = fuzz::textFromInput(fuzz::bytesOf(data, size));
    std::size_t split = text.find(u'\n');
    StringView typedText = StringView(text).substr(0, split);
    StringView fullText = split == String::npos ? StringView(text) : StringView(text).substr(split + 1);
    LNGedcomName typed(typedText);
    LNGedcomName full(fullText);
    exercise(typed);
    exercise(full);
    LNGedcomName::containPartial(typed, full);
    LNGedcomName::containPartial(full, typed);
    pieceMatch(typed.surname(), full.surname());
    return 0;
}
