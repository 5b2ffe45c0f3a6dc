// A whole file from bytes, opened as the window opens it: character-set
// detection, decoding, records, indexes and link validation; then the person
// table sorted by every column and read cell by cell, a click on a parent
// cell with the record outline expanded, a name search for the first
// person's name, the validate command, and the relations the table omits.

#include "FuzzText.h"
#include "LNHeadlessViewer.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <sys/mman.h>
#include <unistd.h>

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

void readTable(LNHeadlessTableView& table) {
    int columns = static_cast<int>(table.tableColumns().size());
    for (int column = 0; column < columns; ++column)
        table.clickHeader(column);
    for (int row = 0; row < table.numberOfRows(); ++row)
        for (int column = 0; column < columns; ++column) {
            table.cellText(row, column);
            table.cellColor(row, column);
        }
}

void readOutline(LNHeadlessOutlineView& outline) {
    outline.expandAll();
    for (int row = 0; row < static_cast<int>(outline.rows().size()); ++row) {
        outline.rowText(row);
        outline.rowColor(row);
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    setCollationLocale("en");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static MemoryFile file;
    LogCapture quiet;
    LNHeadlessViewer viewer;
    viewer.application().bundle().setDirectories({KINLOOM_RESOURCES});
    viewer.application().openFile(file.write(fuzz::bytesOf(data, size)));
    const LNGedcomRecordSet* set = viewer.controller().gedcomRecords();
    if (!set) std::abort(); // a regular file is always readable
    if (set->records())
        for (const auto& record : *set->records())
            if (record->key() && !set->recordWithKey(record->key().view())) std::abort();

    LNHeadlessTableView& table = viewer.table();
    if (table.numberOfRows() != set->numIndis()) std::abort();
    readTable(table);
    if (table.numberOfRows() > 0) {
        table.clickCell(0, table.columnIndex(u"father"));
        readOutline(viewer.outline());
        viewer.checkBox().click(); // labelled lines
        readOutline(viewer.outline());
    }
    for (const auto& indi : set->indiRecords()) {
        if (!indi->name() || !indi->name()->value()) continue;
        viewer.searchField().type(indi->name()->value().view());
        viewer.searchField().endEditing();
        break;
    }
    viewer.validate();
    readTable(table);

    for (const auto& indi : set->indiRecords()) {
        set->spousesOfIndi(*indi);
        set->childrenOfIndi(*indi);
    }
    for (const auto& fam : set->famRecords()) {
        set->husbandsOfFam(*fam);
        set->wivesOfFam(*fam);
        set->childrenOfFam(*fam);
    }
    return 0;
}
