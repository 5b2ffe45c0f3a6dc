#include "file/LNGedcomFile.h"

#include "support/GedcomVersion.h"

#include "file/GedzipArchive.h"
#include "file/LNAnsel.h"
#include "memory/TableAllocator.h"
#include "records/LNGedcomRecord.h"
#include "recordset/LNGedcomRecordSet.h"
#include "support/LoadStages.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"
#include "tree/LNGedcomNode.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <memory>
#include <numeric>

namespace kinloom {
namespace {

constexpr char16_t byteOrderMark = 0xFEFF;
constexpr char16_t replacementCharacter = 0xFFFD;

// Most of a file is ASCII; its bytes are looked at eight at a time.
using Word = std::uint64_t;
constexpr Word everyByte = 0x0101010101010101;
constexpr Word highBits = 0x8080808080808080;

Word loadWord(const unsigned char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

/// The high bit of each byte that is zero; every byte must be below 0x80.
constexpr Word zeroBytes(Word sevenBit) {
    return ~((sevenBit + 0x7F * everyByte) | sevenBit) & highBits;
}

/// Nonzero when some byte of the word is no valid ASCII character, as
/// LNAnsel::validAsciiCharacter says.
constexpr Word invalidAsciiBytes(Word word) {
    const Word low = word & ~highBits; // no carry crosses a byte below
    const Word control = ~(low + 0x60 * everyByte) & highBits;
    const Word del = (low + everyByte) & highBits;
    const Word lineBreak =
        zeroBytes((low ^ 0x0A * everyByte) & 0x7E * everyByte) | zeroBytes(low ^ 0x0D * everyByte);
    return (word & highBits) | del | (control & ~lineBreak);
}

/// Whether invalidAsciiBytes marks exactly the invalid bytes, whatever
/// their neighbours: the scans below stop at the first mark.
constexpr bool marksExactlyTheInvalidBytes() {
    for (Word value = 0; value < 256; ++value) {
        for (Word neighbour : {0x00, 0x0A, 0x0B, 0x0D, 0x1F, 0x20, 0x7E, 0x7F, 0x80, 0xFF}) {
            for (int k = 0; k < 8; ++k) {
                const Word word = (neighbour * everyByte & ~(Word{0xFF} << 8 * k)) | value << 8 * k;
                Word expected = 0;
                for (int j = 0; j < 8; ++j) {
                    if (!LNAnsel::validAsciiCharacter(word >> 8 * j & 0xFF)) expected |= Word{0x80} << 8 * j;
                }
                if (invalidAsciiBytes(word) != expected) return false;
            }
        }
    }
    return true;
}
static_assert(marksExactlyTheInvalidBytes());

/// The index within the word of the first byte (in memory order) whose high
/// bit is set in the mask, which must not be zero.
std::size_t firstMarkedByte(Word mask) {
    if constexpr (std::endian::native == std::endian::little) return std::countr_zero(mask) / 8;
    return std::countl_zero(mask) / 8;
}

/// The first index from `at` on whose byte is no valid ASCII character, or
/// the size. Where the caller knows that all bytes below 0x80 are valid
/// (`onlyHighInvalid`), the high bit alone tells.
std::size_t skipValidAscii(const unsigned char* bytes, std::size_t at, std::size_t size,
                           bool onlyHighInvalid) {
    for (; size - at >= sizeof(Word); at += sizeof(Word)) {
        const Word word = loadWord(bytes + at);
        const Word invalid = onlyHighInvalid ? word & highBits : invalidAsciiBytes(word);
        if (invalid) return at + firstMarkedByte(invalid);
    }
    while (at < size && LNAnsel::validAsciiCharacter(bytes[at]))
        ++at;
    return at;
}

/// One log line formatted in place: loading may log a line per byte, so no
/// stream and no allocation.
class LogLine {
  public:
    // Provided, so that LogLine() does not zero the buffer first.
    LogLine() {}
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
    std::string_view view() const { return std::string_view(buffer_, length_); }
    void write() const { systemLog(view()); }

  private:
    static constexpr std::size_t capacity = 256;
    char buffer_[capacity];
    std::size_t length_ = 0;
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

/// The whole content of the open regular file in one read, or nothing.
std::optional<FileBytes> readRegularFile(int fd, const struct stat& status) {
    // Mapped rather than copied: the pages are the page cache's own, where a
    // copy would first have to touch as many fresh ones (reading, statistics
    // and decoding of a 136 MB file: 0.31 s mapped, 0.39 s copied). A file
    // that cannot be mapped (size 0, as /proc's have) is read.
    if (status.st_size > 0 && static_cast<std::uint64_t>(status.st_size) < SIZE_MAX / 2) {
        const auto size = static_cast<std::size_t>(status.st_size);
        if (FileBytes::Mapping mapping(fd, size); mapping) {
            FileBytes file{nullptr, size, std::move(mapping)};
            LNProgress::tell(LNProgress::Stage::reading, size, size);
            return file;
        }
    }
    // One byte more than the size, so that a file that grew is noticed.
    std::size_t capacity = static_cast<std::size_t>(std::max<off_t>(status.st_size, 0)) + 1;
    FileBytes file{std::make_unique_for_overwrite<char[]>(capacity), 0, {}};
    askForFreshPages(file.bytes.get(), capacity);
    LNProgress::Meter meter = LoadStages::meter("read", capacity - 1);
    for (;;) {
        if (file.size == capacity) {
            capacity *= 2;
            auto larger = std::make_unique_for_overwrite<char[]>(capacity);
            std::memcpy(larger.get(), file.bytes.get(), file.size);
            file.bytes = std::move(larger);
        }
        // In slices, so that a window can show how far the reading is.
        constexpr std::size_t slice = std::size_t{8} << 20;
        ssize_t n = ::read(fd, file.bytes.get() + file.size, std::min(slice, capacity - file.size));
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return std::nullopt;
        if (n == 0) break;
        file.size += static_cast<std::size_t>(n);
        meter.count(file.size);
    }
    return file;
}

/// The bytes a path gives: a regular file's own, or a GEDZIP archive's
/// gedcom.ged. Nothing where the path cannot be read; an archive refused
/// says why in `refusal`.
std::optional<FileBytes> readPath(const std::string& path, std::string& refusal) {
    if (path.find('\0') != std::string::npos) return std::nullopt;
    // Non-blocking, so that opening a FIFO does not wait for a writer; it is
    // refused below like every other file that is not a regular one.
    FileDescriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0) return std::nullopt;
    struct stat status;
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    if (GedzipArchive::isArchivePath(path))
        return GedzipArchive::readGedcom(
            fd.get(), static_cast<std::uint64_t>(std::max<off_t>(status.st_size, 0)), refusal);
    return readRegularFile(fd.get(), status);
}

void removeByteOrderMark(String& text) {
    if (!text.empty() && text.front() == byteOrderMark) text.erase(0, 1);
}

/// The first record of the data read as UTF-8, exactly as the assembler
/// makes it from the whole text, but decoding, splitting and parsing only
/// about as far as the line that ends it: the header is usually a few
/// hundred bytes of a file of many megabytes.
Ref<LNGedcomRecord> firstRecord(std::string_view data, LNGedcomErrors* errors) {
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
    Ref<LNGedcomRecord> header = firstRecord(data, errors);
    if (!header || header->tag() != u"HEAD") return std::nullopt;
    LNNode* charLine = header->root()->nodeWithPath({String(u"CHAR")});
    if (!charLine || charLine->value().isNull()) return std::nullopt;
    return toUpper(charLine->value().view());
}

/// Writes the statistics' line for a byte that breaks UTF-8, formatted once
/// for each kind and byte value: a UTF-16 file has one for every other byte.
class BadUtf8Lines {
  public:
    void typeOne(unsigned char b) { write(0, "bad UTF-8 type one: ", b); }
    void typeTwo(unsigned char b) { write(1, "bad UTF-8 type two: ", b); }

  private:
    void write(int kind, std::string_view message, unsigned char b) {
        std::string& line = lines_[kind][b];
        if (line.empty()) line = LogLine().text(message).number(b).view();
        systemLog(line);
    }
    std::array<std::array<std::string, 256>, 2> lines_;
};

using ByteCounts = std::array<std::int64_t, 256>;

/// Writes the histogram's line for a byte above 128. A file may have
/// millions of them, mostly several on one line, so the text for each byte
/// value and the last line number are formatted once.
class HighByteLines {
  public:
    void write(unsigned char b, std::int64_t line) {
        Piece& label = labels_[b & 0x7F];
        if (label.length == 0) {
            LogLine text;
            text.text("char with value ").number(b).text("(").number(b, 16).text(") on line ");
            label.set(text.view());
        }
        if (line != line_) {
            line_ = line;
            number_.set(LogLine().number(line).view());
        }
        // Whole pieces are copied: fixed sizes make short copies.
        char buffer[2 * Piece::capacity];
        std::memcpy(buffer, label.text, Piece::capacity);
        std::memcpy(buffer + label.length, number_.text, Piece::capacity);
        systemLog(std::string_view(buffer, label.length + number_.length));
    }

  private:
    struct Piece {
        static constexpr std::size_t capacity = 32;
        char text[capacity];
        std::size_t length = 0;
        void set(std::string_view piece) {
            length = std::min(piece.size(), capacity);
            std::memcpy(text, piece.data(), length);
        }
    };
    std::array<Piece, 128> labels_;
    Piece number_;
    std::int64_t line_ = -1;
};

/// The histogram: logs the label, one line for every byte above 128 with its
/// line number, and the count of every byte value that occurs; returns the
/// counts.
ByteCounts countBytes(std::string_view data, StringView label, LNProgress::Meter meter = {}) {
    systemLog("Histogram -- " + toUtf8(label));
    // Four sets of counters taken in turn, so that a run of one byte value
    // (blanks) does not make each count wait for the one before.
    std::array<ByteCounts, 4> counts{};
    HighByteLines highByteLines;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t size = data.size();
    // The line breaks counted so far give the line; a CR LF pair counts two,
    // as the record reader's line numbers do.
    auto listHighBytes = [&](std::size_t at, std::size_t n) {
        std::int64_t line = 1;
        for (const ByteCounts& some : counts)
            line += some[0x0A] + some[0x0D];
        for (std::size_t end = at + n; at < end; ++at) {
            const unsigned char b = bytes[at];
            line += (b == 0x0A) | (b == 0x0D);
            if (b > 128) highByteLines.write(b, line);
        }
    };
    std::size_t at = 0;
    const std::size_t words = size - size % sizeof(Word);
    while (at < words) {
        // Counted on the meter once a block: a count for each word slowed the
        // histogram by 5%.
        meter.count(at);
        for (const std::size_t block = std::min(words, at + 4096); at < block; at += sizeof(Word)) {
            const Word word = loadWord(bytes + at);
            if (word & highBits) listHighBytes(at, sizeof(Word));
            ++counts[0][word & 0xFF];
            ++counts[1][word >> 8 & 0xFF];
            ++counts[2][word >> 16 & 0xFF];
            ++counts[3][word >> 24 & 0xFF];
            ++counts[0][word >> 32 & 0xFF];
            ++counts[1][word >> 40 & 0xFF];
            ++counts[2][word >> 48 & 0xFF];
            ++counts[3][word >> 56];
        }
    }
    listHighBytes(at, size - at);
    for (; at < size; ++at)
        ++counts[at & 3][bytes[at]];

    ByteCounts counters{};
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
    return counters;
}

/// The bytes that break UTF-8, each logged as it is met. With
/// onlyHighInvalid, every byte below 0x80 is valid ASCII.
std::int64_t countBadUtf8(std::string_view data, bool onlyHighInvalid, LNProgress::Meter meter) {
    BadUtf8Lines badUtf8Lines;
    std::int64_t bad = 0;
    int pending = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    const std::size_t size = data.size();
    for (std::size_t i = 0; i < size;) {
        meter.count(i);
        if (pending == 0) {
            // Outside a UTF-8 sequence, a valid ASCII byte is good and changes
            // nothing: most of a file is runs of them.
            i = skipValidAscii(bytes, i, size, onlyHighInvalid);
            if (i == size) break;
        }
        const unsigned char b = bytes[i++];
        if (pending > 0) {
            if ((b & 0xC0) == 0x80) {
                --pending;
            } else {
                // The offending byte does not start a new sequence.
                badUtf8Lines.typeOne(b);
                ++bad;
                pending = 0;
            }
        } else if ((b & 0xE0) == 0xC0) {
            pending = 1;
        } else if ((b & 0xF0) == 0xE0) {
            pending = 2;
        } else {
            // Neither valid ASCII (skipped above) nor a lead byte.
            badUtf8Lines.typeTwo(b);
            ++bad;
        }
    }
    return bad;
}

/// Decodes the UTF-8 sequence that starts at p (a byte of 0x80 or above)
/// into out at length; returns where the next sequence starts. Well-formed
/// sequences only: no overlong forms, no surrogates, nothing above
/// U+10FFFF. Of an ill-formed one only the first byte is replaced; the next
/// is looked at afresh.
const unsigned char* decodeUtf8Sequence(const unsigned char* p, const unsigned char* end, char16_t* out,
                                        std::size_t& length) {
    const unsigned char b = *p;
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
    bool wellFormed = size != 0 && static_cast<std::size_t>(end - p) >= size && p[1] >= low && p[1] <= high;
    for (std::size_t i = 1; wellFormed && i < size; ++i) {
        if ((p[i] & 0xC0) != 0x80) wellFormed = false;
        code = code << 6 | (p[i] & 0x3F);
    }
    if (!wellFormed) {
        out[length++] = replacementCharacter;
        return p + 1;
    }
    if (code >= 0x10000) {
        code -= 0x10000;
        out[length++] = static_cast<char16_t>(0xD800 + (code >> 10));
        out[length++] = static_cast<char16_t>(0xDC00 + (code & 0x3FF));
    } else {
        out[length++] = static_cast<char16_t>(code);
    }
    return p + size;
}

// The line of the first byte that is not UTF-8, with every CR and LF
// ending a line as the record set numbers them; 0 when every byte is.
std::int32_t firstLineNotUtf8(std::string_view data) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const auto* end = p + data.size();
    std::int32_t line = 1;
    char16_t units[2];
    while (p < end) {
        if (*p < 0x80) {
            line += *p == '\n' || *p == '\r';
            ++p;
            continue;
        }
        std::size_t length = 0;
        const unsigned char* next = decodeUtf8Sequence(p, end, units, length);
        // A lead byte's sequence is two bytes at least: one byte is a replacement.
        if (next == p + 1) return line;
        p = next;
    }
    return 0;
}

} // namespace

LNGedcomFile::LNGedcomFile(const std::string& path, const LNGedcomRecordSet::Beside& beside) {
    LNProgress::tell(LNProgress::Stage::reading, 0, 0);
    std::optional<FileBytes> file = readPath(path, refusal_);
    if (!file) {
        if (refusal_.empty())
            errors()->addError(LNGedcomErrorCantReadSource, 0);
        else
            errors()->addError(LNGedcomErrorCantReadSource, 0, fromUtf8(refusal_));
        return;
    }
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
    // GEDCOM 7 allows UTF-8 alone: its bytes are never read as ANSEL, and
    // bytes that are not UTF-8 are decoded as UTF-16 where its zeros show
    // it, otherwise as UTF-8 with each ill-formed byte replaced.
    if (GedcomVersion::ofBytes(data).isSeven()) {
        ansel = false;
        // It is read as well as it can be, but said to be what it is.
        if (!utf8) errors()->addError(LNGedcomProblemEncoding, firstLineNotUtf8(data), u"not UTF-8");
    }
    text_.reset(KeptText::make(decodeData(data, ascii, ansel, utf8)));
    if (file->mapping.lostPages()) {
        // What was read is no longer the file, nor ever wholly was.
        text_.reset(KeptText::make(std::nullopt));
        refusal_ = "it was cut short while it was read";
        errors()->addError(LNGedcomErrorCantReadSource, 0, fromUtf8(refusal_));
        return;
    }
    path_ = path;
    // The record set's nodes need the room more than the bytes do.
    file.reset();
    setRecordSet(std::make_unique<LNGedcomRecordSet>(*text_, errors(), beside));
}

LNGedcomFile::LNGedcomFile(StringView path) : LNGedcomFile(toUtf8(path)) {}

String LNGedcomFile::decodeData(std::string_view data, bool ascii, bool ansel, bool utf8) {
    const LNProgress::Meter meter = LoadStages::meter("decode", data.size());
    String text;
    if (ascii) {
        text = stringFromUtf8Data(data, meter);
    } else if (utf8 && !ansel) {
        text = stringFromUtf8Data(data, meter);
    } else if (ansel && !utf8) {
        text = LNAnsel::stringFromData(data, meter);
    } else if (!ansel && !utf8) {
        text = stringFromUnicodeData(data, meter);
    } else {
        text = decideAnselOrUtf8(data, meter);
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
    const ByteCounts counts = countBytes(data, u"analyzeFile", LoadStages::meter("histogram", data.size()));

    // 64 bits, so that no file size can overflow a count. Every byte is good
    // or bad in each set; only UTF-8 depends on the bytes around it.
    std::int64_t total = static_cast<std::int64_t>(data.size());
    std::int64_t badAscii = 0, badAnsel = 0;
    for (int v = 0; v < 256; ++v) {
        if (LNAnsel::validAsciiCharacter(v)) continue;
        badAscii += counts[v];
        if (!LNAnsel::validAnselCharacter(v)) badAnsel += counts[v];
    }
    const bool onlyHighInvalid =
        badAscii == std::accumulate(counts.begin() + 0x80, counts.end(), std::int64_t{0});
    std::int64_t badUtf8 = countBadUtf8(data, onlyHighInvalid, LoadStages::meter("UTF-8 check", data.size()));
    std::int64_t goodUtf8 = total - badUtf8;
    ascii = badAscii == 0;
    ansel = badAnsel == 0;
    utf8 = badUtf8 == 0;
    LogLine()
        .text("total:")
        .number(total)
        .text("  zeros:")
        .number(counts[0])
        .text("  goodAscii:")
        .number(total - badAscii)
        .text("  badAscii:")
        .number(badAscii)
        .text("  goodAnsel:")
        .number(total - badAnsel)
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

String LNGedcomFile::decideAnselOrUtf8(std::string_view data, LNProgress::Meter meter) {
    std::optional<String> characterSet = headerCharacterSet(data, errors());
    // GEDCOM 5.5.1 names UTF-8 as such; 5.5 files say UNICODE.
    if (characterSet == u"UNICODE" || characterSet == u"UTF-8") return stringFromUtf8Data(data, meter);
    return LNAnsel::stringFromData(data, meter);
}

String LNGedcomFile::stringFromUtf8Data(std::string_view data, LNProgress::Meter meter) {
    // Every byte yields at most one unit (a four-byte sequence yields two).
    // The text is reserved once and filled from a small buffer, so its
    // memory is written once and not zeroed first.
    String text;
    text.reserve(data.size());
    askForFreshPages(text.data(), data.size() * sizeof(char16_t));
    constexpr std::size_t chunkSize = 4096;
    char16_t chunk[chunkSize];
    const auto* begin = reinterpret_cast<const unsigned char*>(data.data());
    const auto* end = begin + data.size();
    const auto* p = begin;
    while (p < end) {
        meter.count(static_cast<std::size_t>(p - begin));
        std::size_t length = 0;
        // Each step below adds at most eight units.
        while (p < end && length <= chunkSize - sizeof(Word)) {
            if (static_cast<std::size_t>(end - p) >= sizeof(Word) && (loadWord(p) & highBits) == 0) {
                for (std::size_t k = 0; k < sizeof(Word); ++k)
                    chunk[length + k] = p[k];
                length += sizeof(Word);
                p += sizeof(Word);
                continue;
            }
            if (*p < 0x80) {
                chunk[length++] = *p++;
                continue;
            }
            p = decodeUtf8Sequence(p, end, chunk, length);
        }
        text.append(chunk, length);
    }
    return text;
}

String LNGedcomFile::stringFromUnicodeData(std::string_view data, LNProgress::Meter meter) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
    if (data.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) return fromUtf16(data, true, meter);
    if (data.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) return fromUtf16(data, false, meter);

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
        return fromUtf16(data, /*bigEndian=*/zeros[0] > zeros[1], meter);
    }
    return stringFromUtf8Data(data, meter);
}

void histogram(std::string_view data, StringView label) {
    countBytes(data, label);
}

} // namespace kinloom
