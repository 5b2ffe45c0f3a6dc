#pragma once

#include "file/FileBytes.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kinloom {

/// A GEDZIP archive: a zip whose member gedcom.ged, at its root, is the
/// GEDCOM text, beside the media files the text names. Only that member is
/// read, into memory: nothing is extracted to disk, so no member name is
/// ever used as a path.
class GedzipArchive {
  public:
    /// Whether the path names an archive: it ends in ".gdz", in any letter case.
    static bool isArchivePath(std::string_view path);

    /// The bytes of gedcom.ged from the open archive of `archiveSize` bytes
    /// (a regular file; the descriptor stays the caller's). A broken or
    /// hostile archive gives nothing, and `refusal` says why in words for the
    /// reader.
    static std::optional<FileBytes> readGedcom(int fd, std::uint64_t archiveSize, std::string& refusal);

    /// gedcom.ged may inflate to this many times its compressed size (as the
    /// archive says, and no more than the archive is), or to minimumAccepted
    /// bytes, whichever is more. Real GEDCOM text deflates 4 to 14 times; a
    /// zip bomb, a thousand.
    static constexpr std::uint64_t maxRatio = 100;
    static constexpr std::uint64_t minimumAccepted = std::uint64_t{1} << 20;
};

} // namespace kinloom
