// Bytes through the byte statistics, the UTF-8 decoding and the ANSEL
// decoding, which look at eight bytes at a time where they can; each is
// checked against a plain byte-at-a-time version here.

#include "FuzzText.h"
#include "file/LNAnsel.h"
#include "file/LNGedcomFile.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <array>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

struct Statistics {
    std::vector<std::string> lines;
    bool ascii, ansel, utf8;
    bool operator==(const Statistics&) const = default;
};

bool validAscii(unsigned char b) {
    return (b >= 0x20 && b <= 0x7E) || b == 0x0A || b == 0x0B || b == 0x0D;
}

bool validAnsel(unsigned char b) {
    return validAscii(b) || (b >= 0xA1 && b <= 0xAE) || (b >= 0xB0 && b <= 0xBA) ||
           (b >= 0xBC && b <= 0xC8) || (b >= 0xCD && b <= 0xCF) || (b >= 0xE0 && b <= 0xFB) || b == 0xFE;
}

std::string format(const char* pattern, auto... args) {
    char line[256];
    std::snprintf(line, sizeof line, pattern, args...);
    return line;
}

// checkData's log and answers for data without a header.
Statistics plainStatistics(std::string_view data) {
    Statistics result{{"Histogram -- analyzeFile"}, false, false, false};
    std::array<long long, 256> counts{};
    long long lineNumber = 1;
    for (unsigned char b : data) {
        ++counts[b];
        lineNumber += b == 0x0A || b == 0x0D;
        if (b > 128) result.lines.push_back(format("char with value %d(%x) on line %lld", b, b, lineNumber));
    }
    for (unsigned v = 0; v < 256; ++v)
        if (counts[v] != 0)
            result.lines.push_back(format("counter[%2u] = %lld ", v, counts[v]) +
                                   toUtf8(String(1, char16_t(v))));
    long long zeros = 0, goodAscii = 0, goodAnsel = 0, goodUtf8 = 0;
    int pending = 0;
    for (unsigned char b : data) {
        goodAscii += validAscii(b);
        goodAnsel += validAnsel(b);
        zeros += b == 0;
        const char* bad = nullptr;
        if (pending > 0 && (b & 0xC0) == 0x80)
            --pending;
        else if (pending > 0)
            pending = 0, bad = "one";
        else if ((b & 0xE0) == 0xC0 || (b & 0xF0) == 0xE0)
            pending = (b & 0xE0) == 0xC0 ? 1 : 2;
        else if (!validAscii(b))
            bad = "two";
        if (bad) result.lines.push_back(format("bad UTF-8 type %s: %d", bad, b));
        goodUtf8 += !bad;
    }
    const long long size = static_cast<long long>(data.size());
    result.lines.push_back(format("total:%lld  zeros:%lld  goodAscii:%lld  badAscii:%lld  goodAnsel:%lld  "
                                  "badAnsel:%lld  goodUtf8:%lld  badUtf8:%lld",
                                  size, zeros, goodAscii, size - goodAscii, goodAnsel, size - goodAnsel,
                                  goodUtf8, size - goodUtf8));
    result.ascii = goodAscii == size;
    result.ansel = goodAnsel == size;
    result.utf8 = goodUtf8 == size;
    if (!result.utf8 && (goodUtf8 + 1.0) / (1.0 + static_cast<double>(size)) > 0.99) {
        result.lines.push_back("Performing magic transformation to ASCII");
        result.ascii = true;
    }
    return result;
}

// stringFromUtf8Data: well-formed sequences decoded, every other byte U+FFFD.
String plainUtf8(std::string_view data) {
    String text;
    for (std::size_t at = 0; at < data.size();) {
        const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(data[at + i]); };
        const unsigned char b = byte(0);
        const std::size_t size = b < 0x80                 ? 1
                                 : b >= 0xC2 && b <= 0xDF ? 2
                                 : b >= 0xE0 && b <= 0xEF ? 3
                                 : b >= 0xF0 && b <= 0xF4 ? 4
                                                          : 0;
        const unsigned char low = b == 0xE0 ? 0xA0 : b == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = b == 0xED ? 0x9F : b == 0xF4 ? 0x8F : 0xBF;
        bool wellFormed =
            size == 1 || (size > 1 && data.size() - at >= size && byte(1) >= low && byte(1) <= high);
        char32_t code = size == 1 ? b : b & (0x7F >> size);
        for (std::size_t i = 1; wellFormed && i < size; ++i) {
            wellFormed = (byte(i) & 0xC0) == 0x80;
            code = code << 6 | (byte(i) & 0x3F);
        }
        if (!wellFormed) code = 0xFFFD;
        if (code >= 0x10000) {
            text.push_back(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            text.push_back(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            text.push_back(static_cast<char16_t>(code));
        }
        at += wellFormed ? size : 1;
    }
    return text;
}

// LNAnsel::stringFromData: each base with the diacritics before it (at most
// 18) composed afresh; diacritics without a base kept, and then the whole
// text composed; the log for bytes without meaning.
std::pair<String, std::vector<std::string>> plainAnsel(std::string_view data) {
    String text, pending;
    std::vector<std::string> log;
    bool combining = false, orphanMarks = false;
    for (char c : data) {
        const auto b = static_cast<unsigned char>(c);
        const char16_t equivalent = LNAnsel::unicodeEquivalent(b);
        const bool base = b < 0x80 || LNAnsel::spacingCharacter(b);
        if (LNAnsel::nonSpacingDiacritic(b)) {
            if (!combining) pending.clear();
            if (pending.size() < 18) pending.push_back(equivalent);
            combining = true;
        } else if (!combining) {
            if (base)
                text.push_back(equivalent);
            else
                log.push_back("impossible case in stringFromAnselString:");
        } else {
            text += base ? toNFC(String(1, equivalent) + pending) : pending;
            orphanMarks |= !base;
            combining = false;
        }
    }
    return {orphanMarks ? toNFC(text) : text, log};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string_view bytes = fuzz::bytesOf(data, size);
    LogCapture log;
    Statistics statistics{{}, false, false, false};
    LNGedcomFile::checkData(bytes, statistics.ascii, statistics.ansel, statistics.utf8);
    statistics.lines = log.lines();
    // A header saying ANSEL may keep the forced-ASCII rule from applying.
    if (bytes.find("CHAR") == std::string_view::npos)
        fuzz::check(statistics == plainStatistics(bytes), "byte statistics as byte by byte");
    fuzz::check(LNGedcomFile::stringFromUtf8Data(bytes) == plainUtf8(bytes),
                "UTF-8 decoding as byte by byte");
    log.clear();
    String text = LNAnsel::stringFromData(bytes);
    fuzz::check(std::pair(text, log.lines()) == plainAnsel(bytes), "ANSEL decoding as run by run");
    return 0;
}
