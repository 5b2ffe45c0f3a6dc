// A whole file from bytes: character-set detection, decoding, records,
// indexes and link validation (all made by loading), then what the viewer
// asks of a loaded file: each person's names, years, places and relations,
// the name orders, and a name search for a name taken from the file.

#include "FuzzText.h"
#include "LNGedcomFile.h"
#include "SystemLog.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

using namespace kinloom;

namespace {

/// The bytes as a regular file in memory, read through its path the way a
/// file on disk is.
class MemoryFile {
  public:
    MemoryFile() : fd_(memfd_create("kinloom-fuzz", 0)), path_("/proc/self/fd/" + std::to_string(fd_)) {
        if (fd_ < 0) std::abort();
    }
    const std::string& write(std::string_view bytes) {
        if (ftruncate(fd_, 0) != 0 || pwrite(fd_, bytes.data(), bytes.size(), 0) != ssize_t(bytes.size()))
            std::abort();
        return path_;
    }

  private:
    int fd_;
    std::string path_;
};

void askPerson(const LNGedcomRecordSet& set, const LNGedcomIndiRecord& indi) {
    indi.nameSurnameFirst(true, true, 0);
    indi.birthYear();
    indi.deathYear();
    indi.birthPlace();
    indi.deathPlace();
    set.fatherOfIndi(indi);
    set.motherOfIndi(indi);
    set.spousesOfIndi(indi);
    set.childrenOfIndi(indi);
    set.natalFamiliesOfIndi(indi);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    LogCapture quiet;
    LNGedcomFile gedcom(file.write(fuzz::bytesOf(data, size)));
    const LNGedcomRecordSet* set = gedcom.recordSet();
    if (!set) std::abort(); // a regular file is always readable

    if (set->records())
        for (const auto& record : *set->records())
            if (record->key() && !set->recordWithKey(record->key().view())) std::abort();
    for (const auto& indi : set->indiRecords())
        askPerson(*set, *indi);
    for (const auto& fam : set->famRecords()) {
        set->husbandsOfFam(*fam);
        set->wivesOfFam(*fam);
        set->childrenOfFam(*fam);
    }
    IndiList byName = set->indiRecords();
    std::sort(byName.begin(), byName.end(),
              [](const auto& a, const auto& b) { return compareIndisByName(*a, *b) < 0; });
    IndiList byBirth = set->indiRecords();
    std::sort(byBirth.begin(), byBirth.end(),
              [](const auto& a, const auto& b) { return compareIndisByBirthYear(*a, *b, nullptr) < 0; });

    // The first person's name, as a user would type it.
    for (const auto& indi : set->indiRecords()) {
        if (!indi->name() || !indi->name()->value()) continue;
        set->indisWithName(indi->name()->value().view());
        break;
    }
    return 0;
}
