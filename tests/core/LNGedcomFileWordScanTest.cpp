// The byte statistics, the histogram and the UTF-8 and ANSEL decoding look
// at eight bytes at a time where they can. Here they are compared with plain
// byte-at-a-time versions on buffers made to break the words everywhere.

#include "LNAnsel.h"
#include "LNGedcomFile.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

struct Statistics {
    std::vector<std::string> lines;
    bool ascii = false;
    bool ansel = false;
    bool utf8 = false;
};

bool validAscii(unsigned char b) {
    return (b >= 0x20 && b <= 0x7E) || b == 0x0A || b == 0x0B || b == 0x0D;
}

bool validAnsel(unsigned char b) {
    return (b >= 0xA1 && b <= 0xAE) || (b >= 0xB0 && b <= 0xBA) || (b >= 0xBC && b <= 0xC8) ||
           (b >= 0xCD && b <= 0xCF) || (b >= 0xE0 && b <= 0xFB) || b == 0xFE;
}

/// The code point (below 256) in UTF-8.
std::string character(unsigned v) {
    if (v < 0x80) return std::string(1, static_cast<char>(v));
    return {static_cast<char>(0xC0 | v >> 6), static_cast<char>(0x80 | (v & 0x3F))};
}

/// checkData's log and result, one byte at a time. The buffers here have no
/// header, so the forced-ASCII rule goes by the share of good UTF-8 alone.
Statistics plainStatistics(const std::string& data) {
    Statistics result;
    char line[512];
    result.lines.push_back("Histogram -- analyzeFile");
    std::array<long long, 256> counts{};
    long long lineNumber = 1;
    for (unsigned char b : data) {
        ++counts[b];
        lineNumber += b == 0x0A || b == 0x0D;
        if (b > 128) {
            std::snprintf(line, sizeof line, "char with value %d(%x) on line %lld", b, b, lineNumber);
            result.lines.push_back(line);
        }
    }
    for (unsigned v = 0; v < 256; ++v) {
        if (counts[v] == 0) continue;
        std::snprintf(line, sizeof line, "counter[%2u] = %lld ", v, counts[v]);
        result.lines.push_back(line + character(v));
    }
    long long zeros = 0, goodAscii = 0, badAscii = 0, goodAnsel = 0, badAnsel = 0, goodUtf8 = 0, badUtf8 = 0;
    int pending = 0;
    for (unsigned char b : data) {
        if (validAscii(b)) {
            ++goodAscii;
            ++goodAnsel;
        } else {
            ++badAscii;
            validAnsel(b) ? ++goodAnsel : ++badAnsel;
            zeros += b == 0;
        }
        if (pending > 0) {
            if ((b & 0xC0) == 0x80) {
                --pending;
                ++goodUtf8;
            } else {
                result.lines.push_back("bad UTF-8 type one: " + std::to_string(b));
                ++badUtf8;
                pending = 0;
            }
        } else if ((b & 0xE0) == 0xC0) {
            pending = 1;
            ++goodUtf8;
        } else if ((b & 0xF0) == 0xE0) {
            pending = 2;
            ++goodUtf8;
        } else if (validAscii(b)) {
            ++goodUtf8;
        } else {
            result.lines.push_back("bad UTF-8 type two: " + std::to_string(b));
            ++badUtf8;
        }
    }
    std::snprintf(line, sizeof line,
                  "total:%zu  zeros:%lld  goodAscii:%lld  badAscii:%lld  goodAnsel:%lld  badAnsel:%lld  "
                  "goodUtf8:%lld  badUtf8:%lld",
                  data.size(), zeros, goodAscii, badAscii, goodAnsel, badAnsel, goodUtf8, badUtf8);
    result.lines.push_back(line);
    result.ascii = badAscii == 0;
    result.ansel = badAnsel == 0;
    result.utf8 = badUtf8 == 0;
    if (!result.utf8 && (goodUtf8 + 1.0) / (1.0 + static_cast<double>(data.size())) > 0.99) {
        result.lines.push_back("Performing magic transformation to ASCII");
        result.ascii = true;
    }
    return result;
}

/// stringFromUtf8Data one byte at a time.
String plainUtf8(const std::string& data) {
    String text;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const auto* end = p + data.size();
    while (p < end) {
        unsigned char b = *p;
        std::size_t size = b < 0x80                 ? 1
                           : b >= 0xC2 && b <= 0xDF ? 2
                           : b >= 0xE0 && b <= 0xEF ? 3
                           : b >= 0xF0 && b <= 0xF4 ? 4
                                                    : 0;
        if (size == 1) {
            text.push_back(b);
            ++p;
            continue;
        }
        unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        bool wellFormed =
            size != 0 && static_cast<std::size_t>(end - p) >= size && p[1] >= low && p[1] <= high;
        char32_t code = b & (0x7F >> size);
        for (std::size_t i = 1; wellFormed && i < size; ++i) {
            wellFormed = (p[i] & 0xC0) == 0x80;
            code = code << 6 | (p[i] & 0x3F);
        }
        if (!wellFormed) {
            text.push_back(0xFFFD);
            ++p;
            continue;
        }
        if (code >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        p += size;
    }
    return text;
}

struct Decoded {
    String text;
    std::vector<std::string> log;
    bool operator==(const Decoded&) const = default;
};

/// LNAnsel::stringFromData one byte at a time, each run composed afresh.
Decoded plainAnsel(const std::string& data) {
    Decoded result;
    String pending;
    bool combining = false;
    bool orphanMarks = false;
    for (unsigned char b : data) {
        const char16_t equivalent = LNAnsel::unicodeEquivalent(b);
        if (!combining) {
            if (b < 0x80 || LNAnsel::spacingCharacter(b)) {
                result.text.push_back(equivalent);
            } else if (LNAnsel::nonSpacingDiacritic(b)) {
                pending = String(1, equivalent);
                combining = true;
            } else {
                result.log.push_back("impossible case in stringFromAnselString:");
            }
            continue;
        }
        if (LNAnsel::nonSpacingDiacritic(b)) {
            if (pending.size() < 18) pending.push_back(equivalent);
            continue;
        }
        if (b < 0x80 || LNAnsel::spacingCharacter(b)) {
            result.text += toNFC(String(1, equivalent) + pending);
        } else {
            result.text += pending;
            orphanMarks = true;
        }
        pending.clear();
        combining = false;
    }
    if (orphanMarks) result.text = toNFC(result.text);
    return result;
}

Decoded ansel(const std::string& data) {
    LogCapture capture;
    Decoded result;
    result.text = LNAnsel::stringFromData(data);
    result.log = capture.lines();
    return result;
}

Statistics statistics(const std::string& data) {
    LogCapture capture;
    Statistics result;
    LNGedcomFile::checkData(data, result.ascii, result.ansel, result.utf8);
    result.lines = capture.lines();
    return result;
}

/// Both ways agree on the log, the answers and the decoded text.
void expectAsPlain(const std::string& data, const std::string& what) {
    Statistics expected = plainStatistics(data);
    Statistics actual = statistics(data);
    EXPECT_EQ(actual.lines, expected.lines) << what;
    EXPECT_EQ(actual.ascii, expected.ascii) << what;
    EXPECT_EQ(actual.ansel, expected.ansel) << what;
    EXPECT_EQ(actual.utf8, expected.utf8) << what;
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data(data), plainUtf8(data)) << what;
    EXPECT_EQ(ansel(data), plainAnsel(data)) << what;
}

/// ASCII text of a GEDCOM look, LF line ends.
std::string asciiText(std::size_t size) {
    const std::string line = "1 NAME Ann /Lee/\n2 DATE 1 JAN 1900\n";
    std::string text;
    while (text.size() < size)
        text += line;
    text.resize(size);
    return text;
}

std::string describe(const std::string& data) {
    std::string text;
    for (unsigned char b : data) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02x", b);
        text += hex;
    }
    return text;
}

} // namespace

TEST(LNGedcomFileWordScan, EveryByteValueAtEveryOffsetOfAWord) {
    for (std::size_t size : {std::size_t{24}, std::size_t{29}}) {
        for (unsigned v = 0; v < 256; ++v) {
            for (std::size_t at = 0; at < 17; ++at) {
                std::string data = asciiText(size);
                data[at] = static_cast<char>(v);
                expectAsPlain(data, describe(data));
                if (HasFailure()) return;
            }
        }
    }
}

TEST(LNGedcomFileWordScan, SequencesWholeBrokenAndCutOffAtEveryOffset) {
    using namespace std::string_literals;
    // UTF-8 whole, not well formed, cut off, broken by ASCII, strays; then
    // ANSEL diacritics before a letter (0x65 is e) or a spacing base, before
    // no base, and more than are kept.
    const std::vector<std::string> sequences = {"\xC3\xA9"s,
                                                "\xE2\x82\xAC"s,
                                                "\xF0\x9F\x98\x80"s,
                                                "\xF4\x8F\xBF\xBF"s,
                                                "\xC0\x80"s,
                                                "\xE0\x9F\xBF"s,
                                                "\xED\xA0\x80"s,
                                                "\xF4\x90\x80\x80"s,
                                                "\xC3"s,
                                                "\xE2\x82"s,
                                                "\xF0\x9F\x98"s,
                                                "\xE2\x82\n"s,
                                                "\xC3\t"s,
                                                "\xC3\x00\x80"s,
                                                "\x85\xBF"s,
                                                "\xA9\xC3\xA9\xE2"s,
                                                "\xE2\x65"s,
                                                "\xE2\xE3\x61"s,
                                                "\xE2\xA1"s,
                                                "\xE2\x85\x65"s,
                                                "\xF0\xE8\xE2\x63"s,
                                                std::string(20, '\xE2') + "e"};
    for (const std::string& sequence : sequences) {
        for (std::size_t at = 0; at < 17; ++at) {
            std::string data = asciiText(24);
            data.replace(at, sequence.size(), sequence);
            expectAsPlain(data, describe(data));
            // Cut off by the end of the data.
            expectAsPlain(asciiText(at) + sequence, describe(asciiText(at) + sequence));
        }
    }
}

TEST(LNGedcomFileWordScan, ShortAndEmptyData) {
    for (std::size_t size = 0; size < 10; ++size) {
        expectAsPlain(asciiText(size), "ASCII of " + std::to_string(size));
        expectAsPlain(std::string(size, '\xC3'), "lead bytes, " + std::to_string(size));
        expectAsPlain(std::string(size, '\0'), "zeros, " + std::to_string(size));
        expectAsPlain(std::string(size, '\r'), "CRs, " + std::to_string(size));
    }
}

TEST(LNGedcomFileWordScan, DecodingAcrossTheBufferSize) {
    // The decoder writes the text a few thousand units at a time; a
    // character of two units may fall on the edge.
    for (std::size_t at = 4070; at < 4110; ++at) {
        std::string data = asciiText(4200);
        data.replace(at, 4, "\xF0\x9F\x98\x80");
        EXPECT_EQ(LNGedcomFile::stringFromUtf8Data(data), plainUtf8(data)) << at;
    }
    std::string accents;
    while (accents.size() < 20000)
        accents += "\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80 x";
    EXPECT_EQ(LNGedcomFile::stringFromUtf8Data(accents), plainUtf8(accents));
}

TEST(LNGedcomFileWordScan, RandomMixturesOfTheTroublesomeBytes) {
    // Mostly ASCII, with line ends, controls, zeros, lead and continuation
    // bytes and bytes no set uses.
    using namespace std::string_literals;
    const std::string alphabet = "AAAAAAAAaaaaaaaa    1234/@\n\n\r\x0B\t\x7F\x1F"
                                 "\x00\xC3\xC3\xA9\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xF4\xE0\xED\xFF\xC0\x85"s;
    std::mt19937 random(20261206);
    for (int i = 0; i < 3000; ++i) {
        std::size_t size = random() % 120;
        std::string data;
        for (std::size_t k = 0; k < size; ++k)
            data += alphabet[random() % alphabet.size()];
        expectAsPlain(data, describe(data));
        if (HasFailure()) return;
    }
}
