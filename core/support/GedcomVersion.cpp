#include "support/GedcomVersion.h"

#include <cstddef>
#include <cstdint>

namespace kinloom {

namespace {

/// Reads the header's lines through Units, which yields one character at a
/// time from any encoding: only ASCII matters here, and every other
/// character is kept as a value that matches no ASCII letter.
template <class Units>
class HeaderReader {
  public:
    explicit HeaderReader(Units units) : units_(units) {}

    /// The value of HEAD GEDC VERS, or an empty text.
    std::string version() {
        bool inGedc = false;
        for (bool first = true; !units_.atEnd(); first = false) {
            skipLineBreaks();
            std::uint32_t level = 0;
            if (!readLevel(level)) {
                skipLine();
                continue;
            }
            if (level == 0 && !first) break;
            std::string tag = readTag();
            if (level == 1) inGedc = tag == "GEDC";
            if (level == 2 && inGedc && tag == "VERS") return readValue();
            skipLine();
        }
        return {};
    }

  private:
    static bool isBreak(char32_t c) { return c == '\n' || c == '\r'; }

    void skipLineBreaks() {
        while (!units_.atEnd() && (isBreak(units_.peek()) || units_.peek() == ' ' || units_.peek() == '\t'))
            units_.next();
    }
    void skipLine() {
        while (!units_.atEnd() && !isBreak(units_.peek())) units_.next();
    }
    void skipSpaces() {
        while (!units_.atEnd() && units_.peek() == ' ') units_.next();
    }
    bool readLevel(std::uint32_t& level) {
        bool any = false;
        while (!units_.atEnd() && units_.peek() >= '0' && units_.peek() <= '9') {
            if (level < 100) level = level * 10 + (units_.next() - '0');
            else units_.next();
            any = true;
        }
        return any;
    }
    /// The tag after the level, skipping a cross-reference key.
    std::string readTag() {
        skipSpaces();
        if (!units_.atEnd() && units_.peek() == '@') {
            readWord();
            skipSpaces();
        }
        return readWord();
    }
    std::string readWord() {
        std::string word;
        while (!units_.atEnd() && units_.peek() != ' ' && !isBreak(units_.peek())) {
            char32_t c = units_.next();
            if (word.size() < 64) word.push_back(c < 0x80 ? static_cast<char>(c) : '\x7f');
        }
        return word;
    }
    std::string readValue() {
        skipSpaces();
        return readWord();
    }

    Units units_;
};

/// A file's bytes as characters of one width and order.
class ByteUnits {
  public:
    ByteUnits(std::string_view bytes, int width, bool bigEndian)
        : bytes_(bytes), width_(width), bigEndian_(bigEndian) {}
    bool atEnd() const { return position_ + width_ > bytes_.size(); }
    char32_t peek() const {
        auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes_[position_ + i]); };
        if (width_ == 1) return at(0);
        return bigEndian_ ? (at(0) << 8 | at(1)) : (at(1) << 8 | at(0));
    }
    char32_t next() {
        char32_t c = peek();
        position_ += width_;
        return c;
    }
    void skipByteOrderMark() {
        if (!atEnd() && (peek() == 0xFEFF)) next();
        if (width_ == 1 && bytes_.substr(0, 3) == "\xEF\xBB\xBF") position_ = 3;
    }

  private:
    std::string_view bytes_;
    std::size_t position_ = 0;
    std::size_t width_;
    bool bigEndian_;
};

class TextUnits {
  public:
    explicit TextUnits(StringView text) : text_(text) {}
    bool atEnd() const { return position_ >= text_.size(); }
    char32_t peek() const { return text_[position_]; }
    char32_t next() { return text_[position_++]; }
    void skipByteOrderMark() {
        if (!atEnd() && peek() == 0xFEFF) next();
    }

  private:
    StringView text_;
    std::size_t position_ = 0;
};

GedcomVersion versionOf(const std::string& written) {
    GedcomVersion version;
    // 7.0, 7.0.18, 7.1: the text keeps the major and minor version.
    if (written.size() >= 3 && written.compare(0, 2, "7.") == 0 && written[2] >= '0' && written[2] <= '9') {
        version.standard = GedcomStandard::Gedcom7;
        version.text = written.substr(0, written.find('.', 2));
    } else if (written == "5.5.1") {
        version.standard = GedcomStandard::Gedcom551;
        version.text = "5.5.1";
    }
    return version;
}

template <class Units>
GedcomVersion versionIn(Units units) {
    units.skipByteOrderMark();
    return versionOf(HeaderReader<Units>(units).version());
}

} // namespace

GedcomVersion GedcomVersion::ofBytes(std::string_view bytes) {
    int width = 1;
    bool bigEndian = false;
    if (bytes.size() >= 2) {
        auto b0 = static_cast<unsigned char>(bytes[0]), b1 = static_cast<unsigned char>(bytes[1]);
        if ((b0 == 0xFF && b1 == 0xFE) || (b0 == '0' && b1 == 0)) width = 2;
        if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 == '0')) width = 2, bigEndian = true;
    }
    return versionIn(ByteUnits(bytes, width, bigEndian));
}

GedcomVersion GedcomVersion::ofText(StringView text) {
    return versionIn(TextUnits(text));
}

} // namespace kinloom
