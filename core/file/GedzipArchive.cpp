#include "file/GedzipArchive.h"

#include "support/LoadStages.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <limits>
#include <memory>

namespace kinloom {
namespace {

constexpr const char* memberName = "gedcom.ged";

struct ArchiveCloser {
    void operator()(zip_t* archive) const { zip_discard(archive); }
};
struct MemberCloser {
    void operator()(zip_file_t* member) const { zip_fclose(member); }
};
using Archive = std::unique_ptr<zip_t, ArchiveCloser>;
using Member = std::unique_ptr<zip_file_t, MemberCloser>;

/// The archive read through a descriptor of its own, which libzip closes
/// with it; null, with the refusal said, where it is no readable zip.
Archive openArchive(int fd, std::string& refusal) {
    const int own = ::dup(fd);
    if (own < 0) {
        refusal = "the archive cannot be read";
        return nullptr;
    }
    int error = ZIP_ER_OK;
    Archive archive(zip_fdopen(own, ZIP_CHECKCONS, &error));
    if (!archive) {
        ::close(own);
        refusal = error == ZIP_ER_NOZIP ? "it is not a zip archive" : "the zip archive is damaged";
    }
    return archive;
}

/// Why the member cannot be opened, from libzip's error.
std::string memberRefusal(zip_t* archive) {
    switch (zip_error_code_zip(zip_get_error(archive))) {
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD:
    case ZIP_ER_ENCRNOTSUPP:
        return "gedcom.ged is encrypted";
    case ZIP_ER_COMPNOTSUPP:
        return "gedcom.ged is compressed in a way Kinloom cannot read";
    default:
        return "gedcom.ged is damaged";
    }
}

/// The size gedcom.ged declares, where the archive can hold it; nothing,
/// with the refusal said, otherwise.
std::optional<std::size_t> acceptedSize(zip_t* archive, zip_uint64_t index, zip_uint64_t archiveSize,
                                        std::string& refusal) {
    zip_stat_t stat;
    zip_stat_init(&stat);
    const zip_uint64_t needed = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_ENCRYPTION_METHOD;
    if (zip_stat_index(archive, index, 0, &stat) != 0 || (stat.valid & needed) != needed) {
        refusal = "gedcom.ged is damaged";
        return std::nullopt;
    }
    if (stat.encryption_method != ZIP_EM_NONE) {
        refusal = "gedcom.ged is encrypted";
        return std::nullopt;
    }
    // The archive's own size keeps a stored member that claims more than
    // the file holds from passing as its own compressed size.
    const zip_uint64_t compressed = std::min(stat.comp_size, archiveSize);
    const zip_uint64_t ratioBound =
        compressed > std::numeric_limits<zip_uint64_t>::max() / GedzipArchive::maxRatio
            ? std::numeric_limits<zip_uint64_t>::max()
            : compressed * GedzipArchive::maxRatio;
    const zip_uint64_t bound = std::max(ratioBound, GedzipArchive::minimumAccepted);
    if (stat.size > bound || stat.size >= std::numeric_limits<std::size_t>::max()) {
        refusal = "gedcom.ged is far larger than its archive";
        return std::nullopt;
    }
    return static_cast<std::size_t>(stat.size);
}

/// Inflates the member into a buffer of its declared size and one byte
/// more: whatever the archive claims, no more than that is ever written.
std::optional<FileBytes> inflate(zip_file_t* member, std::size_t size, std::string& refusal) {
    const std::size_t capacity = size + 1;
    FileBytes file{std::make_unique_for_overwrite<char[]>(capacity), 0, {}};
    LNProgress::Meter meter = LoadStages::meter("read", size);
    for (;;) {
        // In slices, so that a window can show how far the reading is.
        constexpr std::size_t slice = std::size_t{8} << 20;
        const zip_int64_t n =
            zip_fread(member, file.bytes.get() + file.size, std::min(slice, capacity - file.size));
        if (n < 0) {
            refusal = "gedcom.ged is damaged";
            return std::nullopt;
        }
        if (n == 0) break;
        file.size += static_cast<std::size_t>(n);
        if (file.size == capacity) break;
        meter.count(file.size);
    }
    if (file.size != size) {
        refusal = file.size > size ? "gedcom.ged is larger than its archive says" : "gedcom.ged is damaged";
        return std::nullopt;
    }
    return file;
}

} // namespace

bool GedzipArchive::isArchivePath(std::string_view path) {
    constexpr std::string_view suffix = ".gdz";
    if (path.size() < suffix.size()) return false;
    // ASCII letter case only, whatever the locale.
    return std::ranges::equal(path.substr(path.size() - suffix.size()), suffix,
                              [](char a, char b) { return (a >= 'A' && a <= 'Z' ? a - 'A' + 'a' : a) == b; });
}

std::optional<FileBytes> GedzipArchive::readGedcom(int fd, std::uint64_t archiveSize, std::string& refusal) {
    Archive archive = openArchive(fd, refusal);
    if (!archive) return std::nullopt;
    // The exact name at the root: no other folder's gedcom.ged, no other case.
    const zip_int64_t index = zip_name_locate(archive.get(), memberName, ZIP_FL_ENC_RAW);
    if (index < 0) {
        refusal = "the archive holds no gedcom.ged";
        return std::nullopt;
    }
    const auto at = static_cast<zip_uint64_t>(index);
    std::optional<std::size_t> size = acceptedSize(archive.get(), at, archiveSize, refusal);
    if (!size) return std::nullopt;
    Member member(zip_fopen_index(archive.get(), at, 0));
    if (!member) {
        refusal = memberRefusal(archive.get());
        return std::nullopt;
    }
    return inflate(member.get(), *size, refusal);
}

} // namespace kinloom
