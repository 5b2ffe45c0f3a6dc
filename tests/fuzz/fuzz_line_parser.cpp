// One GEDCOM line through the line parser, then every way a parsed line is
// shown or copied, each checked against what the parser read.

#include "FuzzText.h"
#include "tree/LNGedcomNode.h"
#include "support/SystemLog.h"

#include <cstdlib>

using namespace kinloom;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogCapture quiet;
    String text = fuzz::textFromInput(fuzz::bytesOf(data, size));
    std::optional<ErrorKind> error;
    Ref<LNGedcomNode> node = LNGedcomNode::initFromString(text, &error);
    if (!node) {
        // Null means a syntax error or a blank line, nothing else.
        if (error && *error != LNGedcomErrorLineSyntax) std::abort();
        return 0;
    }
    // The fields read back from the line's description, unchanged: level,
    // key, tag and value are all the parser keeps of the line.
    const String line = node->description();
    Ref<LNGedcomNode> again = LNGedcomNode::initFromString(line, &error);
    fuzz::check(again && again->description() == line && again->level() == node->level() &&
                    again->key() == node->key() && again->tag() == node->tag() &&
                    again->value() == node->value(),
                "a line reads back from its description");
    node->addChild(node->copy());
    fuzz::check(node->fullDescription() == line + u"\n  " + line + u"\n", "a line and its copy dump alike");
    node->fullXMLDescription();
    return 0;
}
