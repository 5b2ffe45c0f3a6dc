// One GEDCOM line through the line parser, then every way a parsed line is
// shown or copied.

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
    isCrossReference(node->tag().view());
    isValidTag(node->tag().view());
    stripAts(node->key().view());
    node->addChild(node->copy());
    node->description();
    node->fullDescription();
    node->fullXMLDescription();
    return 0;
}
