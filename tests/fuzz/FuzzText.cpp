#include "FuzzText.h"

#include "support/TextServices.h"

namespace kinloom::fuzz {

String textFromInput(std::string_view bytes) {
    if (!bytes.empty() && static_cast<unsigned char>(bytes.front()) == 0xFF) return rawUtf16(bytes.substr(1));
    return fromUtf8(bytes);
}

} // namespace kinloom::fuzz
