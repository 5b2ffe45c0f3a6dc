#include "LNGedcomFile.h"

#include "LNAnsel.h"
#include "LNGedcomNode.h"
#include "LNGedcomRecord.h"
#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>

namespace kinloom {
namespace {

constexpr char16_t byteOrderMark = 0xFEFF;
constexpr char16_t replacementCharacter = 0xFFFD;

/// One log line formatted in place: loading may log a line per byte, so no
/// stream and no allocation.
class LogLine {
  public:
    LogLine& text(std::string_view text) {
        std::size_t n = std::min(text.size(), capacity - length_);
        std::memcpy(buffer_ + length_, text.data(), n);
        length_ += n;
        return *this;
    }
    LogLine& number(std::int64_t value, int base = 10) {
        auto result = std::to_chars(buffer_ + length_, buffer_ + capacity, value, base);
        if (result.ec == std::errc()) length_ = static_cast<std::size_t>(result.ptr - buffer_);
        return *this;
    }
    /// printf's "%2d": right-aligned in two columns.
    LogLine& number2(std::int64_t value) {
        if (value >= 0 && value < 10) text(" ");
        return number(value);
    }
    /// The code point (below 256) as a character, in UTF-8.
    LogLine& character(unsigned char code) {
        if (code < 0x80) {
            char c = static_cast<char>(code);
            return text(std::string_view(&c, 1));
        }
        char pair[2] = {static_cast<char>(0xC0 | code >> 6), static_cast<char>(0x80 | (code & 0x3F))};
        return text(std::string_view(pair, 2));
    }
    void write() const { systemLog(std::string_view(buffer_, length_)); }

  private:
    static constexpr std::size_t capacity = 256;
    char buffer_[capacity];
    std::size_t length_ = 0;
};

/// The bytes of a file, held without an extra copy.
struct FileBytes {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0;
    std::string_view view() const { return std::string_view(bytes.get(), size); }
};

class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

  private:
    int fd_;
};

/// The whole content of a regular file in one read, or nothing.
std::optional<FileBytes> readRegularFile(const std::string& path) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is
    // refused below like every other file that is not a regular one.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat status;
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;

    // One byte more than the size, so that a file that grew is noticed.
    std::size_t capacity = static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)) + 1;
    FileBytes file{std::make_unique_for_overwrite<char[]>(capacity), 0};
    for (;;) {
        if (file.size == capacity) {
            capacity *= 2;
            auto larger = std::make_unique_for_overwrite<char[]>(capacity);
            std::memcpy(larger.get(), file.bytes.get(), file.size);
            file.bytes = std::move(larger);
        }
        ssize_t n = ::read(fd.get(), file.bytes.get() + file.size, capacity - file.size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        file.size += static_cast<std::size_t>(n);
    }
    return file;
}

void removeByteOrderMark(String& text) {
    if (!text.empty() && text.front() == byteOrderMark) text.erase(0, 1);
}

/// The first record of the data read as UTF-8, exactly as the assembler
/// makes it from the whole text, but decoding, splitting and parsing only
/// about as far as the line that ends it: the header is usually a few
/// hundred bytes of a file of many megabytes.
std::shared_ptr<LNGedcomRecord> firstRecord(std::string_view data, LNGedcomErrors* errors) {
    std::size_t prefixSize = std::min<std::size_t>(data.size(), 4096);
    for (;;) {
        bool whole = prefixSize == data.size();
        String text = LNGedcomFile::stringFromUtf8Data(data.substr(0, prefixSize));
        removeByteOrderMark(text);
        std::vector<StringView> lines = splitBySet(text, CharSet::newline());
        if (!whole) lines.pop_back(); // cut off in the middle
        // The assembler ends the first record at the second level-0 line and
        // looks at nothing after it.
        std::size_t end = lines.size();
        int levelZeroLines = 0;
        for (std::size_t i = 0; i < lines.size() && levelZeroLines < 2; ++i) {
            if (lines[i].empty()) continue;
            std::optional<ErrorKind> error;
            Ref<LNGedcomNode> node = LNGedcomNode::initFromString(lines[i], &error);
            if (node && node->level() == 0 && ++levelZeroLines == 2) end = i + 1;
        }
        if (levelZeroLines == 2 || whole) {
            lines.resize(end);
            auto records = LNGedcomRecord::gedcomRecordsFromStrings(lines, 1, errors);
            if (!records || records->empty()) return nullptr;
            return records->front();
        }
        prefixSize = std::min(data.size(), prefixSize * 4);
    }
}

/// The value of the header's CHAR line in upper case; absent when the first
/// record is no header or has no CHAR line with a value.
std::optional<String> headerCharacterSet(std::string_view data, LNGedcomErrors* errors) {
    std::shared_ptr<LNGedcomRecord> header = firstRecord(data, errors);
    if (!header || header->tag() != u"HEAD") return std::nullopt;
    LNNode* charLine = header->root()->nodeWithPath({String(u"CHAR")});
    if (!charLine || charLine->value().isNull()) return std::nullopt;
    return toUpper(charLine->value().view());
}

void logByte(std::string_view message, unsigned char b) {
    LogLine().text(message).number(b).write();
}

} // namespace

LNGedcomFile::LNGedcomFile(const std::string& path) {
    std::optional<FileBytes> file = readRegularFile(path);
    if (!file) {
        errors()->addError(LNGedcomErrorCantReadSource, 0);
        return;
    }
    path_ = path;
    std::string_view data = file->view();
    bool ascii = false;
    bool ansel = false;
    bool utf8 = false;
    checkData(data, ascii, ansel, utf8);
    LogLine()
        .text("isAscii:")
        .number(ascii)
        .text(" isAnsel:")
        .number(ansel)
        .text(" isUtf8:")
        .number(utf8)
        .write();
    string_ = decodeData(data, ascii, ansel, utf8);
    // The record set's nodes need the room more than the bytes do.
    file.reset();
    setRecordSet(std::make_unique<LNGedcomRecordSet>(&*string_, errors()));
}

LNGedcomFile::LNGedcomFile(StringView path) : LNGedcomFile(toUtf8(path)) {}

String LNGedcomFile::decodeData(std::string_view data, bool ascii, bool ansel, bool utf8) {
    String text;
    if (ascii) {
        text = stringFromUtf8Data(data);
    } else if (utf8 && !ansel) {
        text = stringFromUtf8Data(data);
    } else if (ansel && !utf8) {
        text = LNAnsel::stringFromData(data);
    } else if (!ansel && !utf8) {
        text = stringFromUnicodeData(data);
    } else {
        text = decideAnselOrUtf8(data);
    }
    // A byte-order mark is no part of the text; left in, it would spoil the
    // header's first line.
    removeByteOrderMark(text);
    if (!ascii && utf8 && !ansel) {
        LogLine()
            .text("THINK THIS IS THE BAD CASE::: string length is ")
            .number(static_cast<std::int64_t>(text.size()))
            .write();
    }
    return text;
}

void LNGedcomFile::checkData(std::string_view data, bool& ascii, bool& ansel, bool& utf8) {
    histogram(data, u"analyzeFile");

    // 64 bits, so that no file size can overflow a count.
    std::int64_t total = static_cast<std::int64_t>(data.size());
    std::int64_t zeros = 0, goodAscii = 0, badAscii = 0, goodAnsel = 0, badAnsel = 0;
    std::int64_t goodUtf8 = 0, badUtf8 = 0;
    int pending = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t size = data.size();
    for (std::size_t i = 0; i < size;) {
        if (pending == 0) {
            // Outside a UTF-8 sequence, a valid ASCII byte is good in all three
            // sets and changes nothing else: most of a file is runs of them.
            std::size_t start = i;
            while (i < size && LNAnsel::validAsciiCharacter(bytes[i]))
                ++i;
            const auto run = static_cast<std::int64_t>(i - start);
            goodAscii += run;
            goodAnsel += run;
            goodUtf8 += run;
            if (i == size) break;
        }
        const unsigned char b = bytes[i++];
        bool validAscii = LNAnsel::validAsciiCharacter(b);
        if (validAscii) {
            ++goodAscii;
            ++goodAnsel;
        } else {
            ++badAscii;
            if (LNAnsel::validAnselCharacter(b)) {
                ++goodAnsel;
            } else {
                ++badAnsel;
            }
            if (b == 0) ++zeros;
        }

        if (pending > 0) {
            if ((b & 0xC0) == 0x80) {
                --pending;
                ++goodUtf8;
            } else {
                // The offending byte does not start a new sequence.
                logByte("bad UTF-8 type one: ", b);
                ++badUtf8;
                pending = 0;
            }
        } else if ((b & 0xE0) == 0xC0) {
            pending = 1;
            ++goodUtf8;
        } else if ((b & 0xF0) == 0xE0) {
            pending = 2;
            ++goodUtf8;
        } else if (validAscii) {
            ++goodUtf8;
        } else {
            logByte("bad UTF-8 type two: ", b);
            ++badUtf8;
        }
    }
    ascii = badAscii == 0;
    ansel = badAnsel == 0;
    utf8 = badUtf8 == 0;
    LogLine()
        .text("total:")
        .number(total)
        .text("  zeros:")
        .number(zeros)
        .text("  goodAscii:")
        .number(goodAscii)
        .text("  badAscii:")
        .number(badAscii)
        .text("  goodAnsel:")
        .number(goodAnsel)
        .text("  badAnsel:")
        .number(badAnsel)
        .text("  goodUtf8:")
        .number(goodUtf8)
        .text("  badUtf8:")
        .number(badUtf8)
        .write();

    if (utf8 || (goodUtf8 + 1.0) / (1.0 + static_cast<double>(total)) <= 0.99) return;
    // In most ANSEL files the diacritics are well under one byte in a
    // hundred; made ASCII, such a file would lose every accented letter.
    if (ansel && headerCharacterSet(data, nullptr) == u"ANSEL") return;
    systemLog("Performing magic transformation to ASCII");
    ascii = true;
}

String LNGedcomFile::decideAnselOrUtf8(std::string_view data) {
    std::optional<String> characterSet = headerCharacterSet(data, errors());
    // GEDCOM 5.5.1 names UTF-8 as such; 5.5 files say UNICODE.
    if (characterSet == u"UNICODE" || characterSet == u"UTF-8") return stringFromUtf8Data(data);
    return LNAnsel::stringFromData(data);
}

String LNGedcomFile::stringFromUtf8Data(std::string_view data) {
    // Every byte yields at most one unit (a four-byte sequence yields two).
    String text(data.size(), u'\0');
    std::size_t length = 0;
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const auto* end = p + data.size();
    while (p < end) {
        unsigned char b = *p;
        if (b < 0x80) {
            text[length++] = b;
            ++p;
            continue;
        }
        // Well-formed sequences only: no overlong forms, no surrogates,
        // nothing above U+10FFFF.
        std::size_t size = 0;
        char32_t code = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (b >= 0xC2 && b <= 0xDF) {
            size = 2;
            code = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            size = 3;
            code = b & 0x0F;
            if (b == 0xE0) low = 0xA0;
            if (b == 0xED) high = 0x9F;
        } else if (b >= 0xF0 && b <= 0xF4) {
            size = 4;
            code = b & 0x07;
            if (b == 0xF0) low = 0x90;
            if (b == 0xF4) high = 0x8F;
        }
        bool wellFormed =
            size != 0 && static_cast<std::size_t>(end - p) >= size && p[1] >= low && p[1] <= high;
        for (std::size_t i = 1; wellFormed && i < size; ++i) {
            if ((p[i] & 0xC0) != 0x80) wellFormed = false;
            code = code << 6 | (p[i] & 0x3F);
        }
        if (!wellFormed) {
            // Only this byte is replaced; the next one is looked at afresh.
            text[length++] = replacementCharacter;
            ++p;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            text[length++] = static_cast<char16_t>(0xD800 + (code >> 10));
            text[length++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
        } else {
            text[length++] = static_cast<char16_t>(code);
        }
        p += size;
    }
    text.resize(length);
    return text;
}

String LNGedcomFile::stringFromUnicodeData(std::string_view data) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (data.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return fromUtf16(data, true);
    if (data.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return fromUtf16(data, false);

    // Without a byte-order mark, the zeros tell: GEDCOM's levels, tags, blanks
    // and line ends are ASCII, whose UTF-16 units all have a zero byte on the
    // same side. A stray zero or two in an 8-bit file is no such pattern.
    std::array<std::size_t, 2> zeros = {0, 0};
    for (std::size_t i = 0; i < data.size(); ++i)
        zeros[i & 1] += bytes[i] == 0;
    std::size_t units = data.size() / 2;
    std::size_t dominant = std::max(zeros[0], zeros[1]);
    std::size_t other = std::min(zeros[0], zeros[1]);
    if (dominant > 0 && dominant * 8 >= units && other * 4 < dominant) {
        return fromUtf16(data, /*bigEndian=*/zeros[0] > zeros[1]);
    }
    return stringFromUtf8Data(data);
}

void histogram(std::string_view data, StringView label) {
    systemLog("Histogram -- " + toUtf8(label));
    // Four sets of counters taken in turn, so that a run of one byte value
    // (blanks) does not make each count wait for the one before.
    std::array<std::array<std::int64_t, 256>, 4> counts{};
    std::int64_t line = 1;
    std::size_t at = 0;
    for (unsigned char b : data) {
        ++counts[at++ & 3][b];
        // A CR LF pair counts two, as the record reader's line numbers do.
        line += (b == 0x0A) | (b == 0x0D);
        if (b > 128) {
            LogLine()
                .text("char with value ")
                .number(b)
                .text("(")
                .number(b, 16)
                .text(") on line ")
                .number(line)
                .write();
        }
    }
    std::array<std::int64_t, 256> counters{};
    for (const auto& some : counts) {
        for (int v = 0; v < 256; ++v)
            counters[v] += some[v];
    }
    for (int v = 0; v < 256; ++v) {
        if (counters[v] == 0) continue;
        LogLine()
            .text("counter[")
            .number2(v)
            .text("] = ")
            .number(counters[v])
            .text(" ")
            .character(static_cast<unsigned char>(v))
            .write();
    }
}

} // namespace kinloom
