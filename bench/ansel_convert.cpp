// kinloom-ansel-convert INPUT OUTPUT
//
// Rewrites a UTF-8 GEDCOM file (such as kinloom-gedgen's) in ANSEL, for
// timing the ANSEL path of loading: every character with an ANSEL form gets
// it (diacritics before their letter), every other one becomes "?", and the
// header's "1 CHAR" value becomes ANSEL.

#include "BenchFile.h"
#include "file/LNAnsel.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <unordered_map>

using namespace kinloom;

namespace {

/// The ANSEL bytes of every character the decoder can produce as a single
/// unit, found by decoding every base with up to two diacritics: so the
/// encoding is the exact inverse of the decoding, with no table of its own.
std::unordered_map<char16_t, std::string> encodings() {
    std::string bases, marks;
    for (int b = 0x20; b < 0x7F; ++b)
        bases += static_cast<char>(b);
    for (int b = 0x80; b <= 0xFF; ++b) {
        if (LNAnsel::spacingCharacter(b)) bases += static_cast<char>(b);
        if (LNAnsel::nonSpacingDiacritic(b)) marks += static_cast<char>(b);
    }
    std::unordered_map<char16_t, std::string> result;
    auto learn = [&](const std::string& bytes) {
        String text = LNAnsel::stringFromData(bytes);
        if (text.size() == 1 && text[0] >= 0x80) result.emplace(text[0], bytes); // the shortest wins
    };
    for (char base : bases)
        learn(std::string(1, base));
    for (char mark : marks)
        for (char base : bases)
            learn(std::string{mark, base});
    for (char first : marks)
        for (char second : marks)
            for (char base : bases)
                learn(std::string{first, second, base});
    return result;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: kinloom-ansel-convert INPUT OUTPUT\n";
        return 2;
    }
    std::optional<std::string> read = kinloom::bench::readWholeFile(argv[1]);
    if (!read) {
        std::cerr << "kinloom-ansel-convert: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::string bytes = std::move(*read);
    String text = fromUtf8(bytes);

    const auto table = encodings();
    std::string out;
    out.reserve(bytes.size());
    for (char16_t c : text) {
        if (c < 0x80) {
            out += static_cast<char>(c);
            continue;
        }
        auto found = table.find(c);
        out += found == table.end() ? std::string("?") : found->second;
    }
    std::size_t charLine = out.find("\n1 CHAR ");
    if (charLine != std::string::npos) {
        std::size_t end = out.find('\n', charLine + 1);
        out.replace(charLine, end - charLine, "\n1 CHAR ANSEL");
    }

    std::ofstream file(argv[2], std::ios::binary);
    file.write(out.data(), static_cast<std::streamsize>(out.size()));
    if (!file) {
        std::cerr << "kinloom-ansel-convert: cannot write " << argv[2] << "\n";
        return 1;
    }
    return 0;
}
