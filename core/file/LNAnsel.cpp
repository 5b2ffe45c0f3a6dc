#include "file/LNAnsel.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <unordered_map>

namespace kinloom {
namespace {

// Entry i belongs to byte 0x80 + i; 0 means the byte has no equivalent.
constexpr std::array<std::uint16_t, 128> equivalents = {
    // 0x80 to 0x9F
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, //
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, //
    // 0xA0 to 0xAF
    0, 0x0141, 0x00D8, 0x0110, 0x00DE, 0x00C6, 0x0152, 0x02B9, //
    0x00B7, 0x266D, 0x00AE, 0x00B1, 0x01A0, 0x01AF, 0x02BC, 0, //
    // 0xB0 to 0xBF
    0x02BB, 0x0142, 0x00F8, 0x0111, 0x00FE, 0x00E6, 0x0153, 0x02BA, //
    0x0131, 0x00A3, 0x00F0, 0, 0x01A1, 0x01B0, 0x0020, 0x0020,      //
    // 0xC0 to 0xCF
    0x00B0, 0x2113, 0x2117, 0x00A9, 0x266F, 0x00BF, 0x00A1, 0x00DF, //
    0x20AC, 0, 0, 0, 0, 0x0065, 0x006F, 0x00DF,                     //
    // 0xD0 to 0xDF
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, //
    // 0xE0 to 0xEF
    0x0309, 0x0300, 0x0301, 0x0302, 0x0303, 0x0304, 0x0306, 0x0307, //
    0x0308, 0x030C, 0x030A, 0xFE20, 0xFE21, 0x0315, 0x030B, 0x0310, //
    // 0xF0 to 0xFF
    // ANSEL's 0xF6 is the non-spacing underscore, U+0332 (not the retroflex hook U+0322).
    0x0327, 0x0328, 0x0323, 0x0324, 0x0325, 0x0333, 0x0332, 0x0326, //
    0x031C, 0x032E, 0xFE22, 0xFE23, 0, 0, 0x0313, 0,                //
};

constexpr std::size_t maxPendingDiacritics = 18;

/// Composes a base with its marks where they stand. Every base here (ASCII or
/// a spacing character) is a starter that composes with nothing before it, so
/// composing each such run equals composing the whole text. Files repeat the
/// same few runs, so their compositions are kept; the store is bounded, so
/// hostile input cannot grow it.
class Composer {
  public:
    /// Composes the run in place and returns its new length (never longer).
    std::size_t compose(char16_t* run, std::size_t length) {
        String key(run, length);
        auto found = composed_.find(key);
        if (found != composed_.end()) return place(found->second, run);
        String composed = toNFC(key);
        if (composed_.size() < maxKept) composed_.emplace(std::move(key), composed);
        return place(composed, run);
    }

  private:
    static constexpr std::size_t maxKept = 4096;
    static std::size_t place(const String& composed, char16_t* run) {
        std::copy(composed.begin(), composed.end(), run);
        return composed.size();
    }
    std::unordered_map<String, String> composed_;
};

/// Writes the text of ANSEL bytes given one at a time: a run of diacritics
/// waits for the base that follows it and is written after the base, the
/// two composed.
class AnselWriter {
  public:
    explicit AnselWriter(char16_t* out) : out_(out) {}
    bool combining() const { return numPending_ > 0; }
    std::size_t length() const { return length_; }
    /// Whether some diacritics had no base of their own and joined the
    /// character before them.
    bool orphanMarks() const { return orphanMarks_; }

    void asciiWord(const unsigned char* bytes) {
        for (std::size_t k = 0; k < sizeof(std::uint64_t); ++k)
            out_[length_ + k] = bytes[k];
        length_ += sizeof(std::uint64_t);
    }

    void byte(unsigned char b) {
        if (LNAnsel::nonSpacingDiacritic(b)) {
            if (numPending_ < maxPendingDiacritics) pending_[numPending_++] = equivalents[b - 0x80];
        } else if (combining()) {
            endRun(b);
        } else if (b < 0x80) {
            out_[length_++] = b;
        } else if (LNAnsel::spacingCharacter(b)) {
            out_[length_++] = equivalents[b - 0x80];
        } else {
            systemLog("impossible case in stringFromAnselString:");
        }
    }

  private:
    void endRun(unsigned char b) {
        std::size_t runStart = length_;
        bool hasBase = true;
        if (b < 0x80) {
            out_[length_++] = b;
        } else if (LNAnsel::spacingCharacter(b)) {
            out_[length_++] = equivalents[b - 0x80];
        } else {
            // A byte without meaning as the base is dropped, but its
            // diacritics still attach to what came before.
            hasBase = false;
        }
        for (std::size_t i = 0; i < numPending_; ++i)
            out_[length_++] = pending_[i];
        if (hasBase) {
            length_ = runStart + composer_.compose(out_ + runStart, length_ - runStart);
        } else {
            orphanMarks_ = true;
        }
        numPending_ = 0;
    }

    char16_t* out_;
    std::size_t length_ = 0;
    std::array<char16_t, maxPendingDiacritics> pending_;
    std::size_t numPending_ = 0;
    bool orphanMarks_ = false;
    Composer composer_;
};

} // namespace

std::uint16_t LNAnsel::unicodeEquivalent(std::uint16_t code) {
    if (code < 0x80 || code > 0xFF) return code;
    return equivalents[code - 0x80];
}

String LNAnsel::stringFromData(std::string_view data, LNProgress::Meter meter) {
    // Each byte yields at most one unit: a diacritic is emitted once, after
    // its base.
    String output(data.size(), u'\0');
    AnselWriter writer(output.data());
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t size = data.size();
    for (std::size_t at = 0; at < size;) {
        meter.count(at);
        // Most of a file is ASCII outside any run of diacritics: eight bytes
        // at a time.
        if (!writer.combining() && size - at >= sizeof(std::uint64_t)) {
            std::uint64_t word;
            std::memcpy(&word, bytes + at, sizeof word);
            if ((word & 0x8080808080808080) == 0) {
                writer.asciiWord(bytes + at);
                at += sizeof word;
                continue;
            }
        }
        writer.byte(bytes[at++]);
    }
    output.resize(writer.length());
    // Marks that joined an earlier character need the whole text composed.
    // Two returns, so that the text is moved out rather than copied.
    if (writer.orphanMarks()) return toNFC(output);
    return output;
}

} // namespace kinloom
