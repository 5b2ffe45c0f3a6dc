// Bytes through the ANSEL decoder and its byte classes.

#include "FuzzText.h"
#include "LNAnsel.h"
#include "SystemLog.h"

#include <algorithm>
#include <cstdlib>

using namespace kinloom;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    LogCapture quiet;
    std::string_view bytes = fuzz::bytesOf(data, size);
    String text = LNAnsel::stringFromData(bytes);
    // ASCII passes through unchanged.
    if (std::all_of(data, data + size, [](std::uint8_t b) { return b < 0x80; }) &&
        text != fuzz::widened(bytes))
        std::abort();
    for (std::size_t i = 0; i < size; ++i) {
        std::uint16_t code = data[i];
        if (LNAnsel::nonSpacingDiacritic(code) && !LNAnsel::validAnselCharacter(code)) std::abort();
        if (LNAnsel::spacingCharacter(code) && LNAnsel::unicodeEquivalent(code) == 0) std::abort();
    }
    return 0;
}
