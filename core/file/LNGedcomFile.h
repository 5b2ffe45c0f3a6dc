#pragma once

#include "memory/KeptText.h"
#include "file/LNGedcomSource.h"
#include "recordset/LNGedcomRecordSet.h"
#include "memory/SharedString.h"
#include "support/LNProgress.h"

#include <optional>
#include <string>
#include <string_view>

namespace kinloom {

/// A GEDCOM file turned into a record set: the constructor reads the whole
/// file, chooses a character set from byte statistics (and, where the bytes
/// fit more than one, from the header's CHAR line), decodes the text and
/// builds the record set. Problems go to errors(); an unreadable path gives
/// one "cantReadSource" report and no record set. A path ending in .gdz is a
/// GEDZIP archive, whose gedcom.ged is read from memory as a file's bytes
/// are; an archive refused gives the same report, with the reason.
class LNGedcomFile : public LNGedcomSource {
  public:
    /// The path in UTF-8. Only regular files are read, so a FIFO or a device
    /// cannot block the loader. beside runs while the links are checked
    /// (see LNGedcomRecordSet::Beside).
    explicit LNGedcomFile(const std::string& path, const LNGedcomRecordSet::Beside& beside = {});
    explicit LNGedcomFile(StringView path);

    /// The path that was read; absent when the file could not be read.
    const std::optional<std::string>& path() const { return path_; }
    /// Why an archive was refused, in words for the reader ("the archive
    /// holds no gedcom.ged"); empty when the path was read or was no
    /// readable file at all.
    const std::string& refusal() const { return refusal_; }
    /// The decoded text; absent when the file could not be read.
    const std::optional<String>& string() const { return text_->text(); }

    /// Logs the histogram and the byte statistics and tells which character
    /// sets the bytes fit. Where only the forced-ASCII rule would make a file
    /// ASCII, a file whose bytes fit ANSEL and whose header says ANSEL stays
    /// ANSEL (the header is read without reporting).
    static void checkData(std::string_view data, bool& ascii, bool& ansel, bool& utf8);
    /// For bytes that fit both ANSEL and UTF-8: the UTF-8 text when the header
    /// says UNICODE or UTF-8 (any letter case), otherwise the ANSEL text.
    /// Problems in the header record are reported to errors().
    String decideAnselOrUtf8(std::string_view data, LNProgress::Meter meter = {});

    /// The 7-bit ASCII decoding, widened to UTF-8: every well-formed UTF-8
    /// sequence is decoded, every other byte of 0x80 and above becomes U+FFFD.
    /// The decoders count the bytes they have read on the meter.
    static String stringFromUtf8Data(std::string_view data, LNProgress::Meter meter = {});
    /// UTF-16 when the data begins with a byte-order mark or its zero bytes
    /// show UTF-16 (zeros mostly at odd offsets: little-endian); otherwise as
    /// stringFromUtf8Data. An odd last byte becomes U+FFFD.
    static String stringFromUnicodeData(std::string_view data, LNProgress::Meter meter = {});

  private:
    String decodeData(std::string_view data, bool ascii, bool ansel, bool utf8);

    std::optional<std::string> path_;
    std::string refusal_;
    // Kept beyond the file's life while a line made from it lives.
    KeptText::Hold text_{KeptText::make(std::nullopt)};
};

/// Logs the label, one line for every byte above 128 with its line number,
/// and the count of every byte value that occurs. Diagnostic only.
void histogram(std::string_view data, StringView label);

} // namespace kinloom
