#pragma once

// Turning fuzzer bytes into the texts the core reads.

#include "memory/SharedString.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace kinloom::fuzz {

/// Ends the run with the reason when a check fails: libFuzzer saves the
/// input, and the corpus replay under CTest fails.
inline void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "check failed: %s\n", what);
    std::abort();
}

inline std::string_view bytesOf(const std::uint8_t* data, std::size_t size) {
    return std::string_view(reinterpret_cast<const char*>(data), size);
}

/// Each byte as the code unit of the same value (Latin-1): every byte reaches
/// the code under test as a character of its own.
inline String widened(std::string_view bytes) {
    String text;
    text.reserve(bytes.size());
    for (char c : bytes)
        text.push_back(static_cast<unsigned char>(c));
    return text;
}

/// The bytes as native-order UTF-16 code units, unpaired surrogates and all;
/// an odd last byte is dropped.
inline String rawUtf16(std::string_view bytes) {
    String text(bytes.size() / 2, u'\0');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return text;
}

/// Most inputs as UTF-8 (ill-formed bytes become U+FFFD), so that the fuzzer
/// finds the ASCII syntax quickly; an input whose first byte is 0xFF as raw
/// UTF-16 after that byte, so that unpaired surrogates and the whole BMP occur.
String textFromInput(std::string_view bytes);

} // namespace kinloom::fuzz
