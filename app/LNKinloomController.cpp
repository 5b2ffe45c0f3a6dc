#include "LNKinloomController.h"

#include "memory/BackgroundRelease.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <filesystem>
#include <fstream>

namespace kinloom {

namespace {
constexpr StringView windowTitle = u"Kinloom 0.2 beta";
constexpr double gridGrey = 0.92;
} // namespace

LNKinloomController::LNKinloomController() = default;

LNKinloomController::~LNKinloomController() {
    releaseFile();
}

const LNKinloomController::LabelMap& LNKinloomController::gedcomLabelMap() {
    static const LabelMap labels{
        {u"ADDR", u"Address"},    {u"AGE", u"Age"},       {u"CHR", u"Baptize"},     {u"BIRT", u"Birth"},
        {u"BURI", u"Burial"},     {u"CEME", u"Cemetery"}, {u"CENS", u"Census"},     {u"CHAN", u"Changed"},
        {u"BCHL", u"Child"},      {u"CHIL", u"Child"},    {u"COUR", u"Court"},      {u"DATE", u"Date"},
        {u"DEAT", u"Death"},      {u"DEGR", u"Degree"},   {u"EMPL", u"Employed"},   {u"EVEN", u"Event"},
        {u"FAM", u"Family"},      {u"FATH", u"Father"},   {u"GRAD", u"Graduate"},   {u"HOSP", u"Hospital"},
        {u"HUSB", u"Husband"},    {u"INFO", u"Info"},     {u"LAND", u"Land"},       {u"MARR", u"Marriage"},
        {u"MOTH", u"Mother"},     {u"NAME", u"Name"},     {u"NATU", u"Naturalize"}, {u"NOTE", u"Note"},
        {u"OCCU", u"Occupation"}, {u"INDI", u"Person"},   {u"PLAC", u"Place"},      {u"REMV", u"Remove"},
        {u"RESI", u"Reside"},     {u"SEX", u"Sex"},       {u"SOUR", u"Source"},     {u"SPOU", u"Spouse"},
        {u"SSN", u"SSN"},         {u"TEXT", u"Text"},     {u"TIME", u"Time"},       {u"WIFE", u"Wife"},
    };
    return labels;
}

const LNKinloomController::LabelMap& LNKinloomController::gedcom7LabelMap() {
    static const LabelMap labels{
        {u"ADOP", u"Adoption"},
        {u"ADR1", u"Address line 1"},
        {u"ADR2", u"Address line 2"},
        {u"ADR3", u"Address line 3"},
        {u"AGNC", u"Agency"},
        {u"ALIA", u"Alias"},
        {u"ANCI", u"Ancestor interest"},
        {u"ASSO", u"Associate"},
        {u"BAPL", u"LDS baptism"},
        {u"BAPM", u"Baptism"},
        {u"BARM", u"Bar mitzvah"},
        {u"BASM", u"Bas mitzvah"},
        {u"BLES", u"Blessing"},
        {u"CAST", u"Caste"},
        {u"CAUS", u"Cause"},
        {u"CHRA", u"Adult christening"},
        {u"CITY", u"City"},
        {u"CONF", u"Confirmation"},
        {u"CONL", u"LDS confirmation"},
        {u"CONT", u"Continued"},
        {u"CREA", u"Created"},
        {u"CREM", u"Cremation"},
        {u"CROP", u"Crop"},
        {u"CTRY", u"Country"},
        {u"DATA", u"Data"},
        {u"DESI", u"Descendant interest"},
        {u"DSCR", u"Description"},
        {u"EDUC", u"Education"},
        {u"EMAIL", u"Email"},
        {u"EMIG", u"Emigration"},
        {u"ENDL", u"Endowment"},
        {u"EXID", u"External ID"},
        {u"FACT", u"Fact"},
        {u"FAMC", u"Parents' family"},
        {u"FAMS", u"Own family"},
        {u"FAX", u"Fax"},
        {u"FCOM", u"First communion"},
        {u"FORM", u"Format"},
        {u"GIVN", u"Given name"},
        {u"HEIGHT", u"Height"},
        {u"IDNO", u"ID number"},
        {u"IMMI", u"Immigration"},
        {u"INIL", u"Initiatory"},
        {u"LANG", u"Language"},
        {u"LATI", u"Latitude"},
        {u"LEFT", u"Left"},
        {u"LONG", u"Longitude"},
        {u"MAP", u"Map"},
        {u"MIME", u"Media type"},
        {u"NATI", u"Nationality"},
        {u"NCHI", u"Children"},
        {u"NICK", u"Nickname"},
        {u"NMR", u"Marriages"},
        {u"NO", u"Did not happen"},
        {u"NPFX", u"Name prefix"},
        {u"NSFX", u"Name suffix"},
        {u"OBJE", u"Media"},
        {u"ORDN", u"Ordination"},
        {u"PAGE", u"Page"},
        {u"PEDI", u"Pedigree"},
        {u"PHON", u"Phone"},
        {u"PHRASE", u"Phrase"},
        {u"POST", u"Postal code"},
        {u"PROB", u"Probate"},
        {u"PROP", u"Property"},
        {u"QUAY", u"Quality"},
        {u"REFN", u"Reference"},
        {u"RELI", u"Religion"},
        {u"RESN", u"Restriction"},
        {u"RETI", u"Retirement"},
        {u"ROLE", u"Role"},
        {u"SDATE", u"Sort date"},
        {u"SLGC", u"Sealing to parents"},
        {u"SNOTE", u"Shared note"},
        {u"SPFX", u"Surname prefix"},
        {u"STAE", u"State"},
        {u"STAT", u"Status"},
        {u"SUBM", u"Submitter"},
        {u"SURN", u"Surname"},
        {u"TEMP", u"Temple"},
        {u"TITL", u"Title"},
        {u"TOP", u"Top"},
        {u"TRAN", u"Translation"},
        {u"TYPE", u"Type"},
        {u"UID", u"Unique ID"},
        {u"WIDTH", u"Width"},
        {u"WILL", u"Will"},
        {u"WWW", u"Web page"},
    };
    return labels;
}

void LNKinloomController::awakeFromNib() {
    if (personTable_) {
        if (LNWindow* window = personTable_->window()) window->setTitle(windowTitle);
        personTable_->setAllowsColumnReordering(true);
        personTable_->setGridStyleMask(LNTableView::solidVerticalGridLineMask);
        personTable_->setGridColor(LNColor::colorWithDeviceRed(gridGrey, gridGrey, gridGrey, 1.0));
    }
    if (backForwardButton_) {
        backForwardButton_->setImage(LNImage::imageNamed(LNImage::goLeftTemplate), 0);
        backForwardButton_->setImage(LNImage::imageNamed(LNImage::goRightTemplate), 1);
    }
}

LNProgress* LNKinloomController::applicationProgress() {
    LNApplication* application = LNApplication::sharedApplication();
    return application ? application->progress() : nullptr;
}

namespace {

// Why the file at the path cannot be opened, as a message box says it; empty
// when it can be read.
String unopenableReason(const std::string& path) {
    std::error_code error;
    const std::filesystem::file_status status = std::filesystem::status(path, error);
    const String name = fromUtf8(path);
    if (!std::filesystem::exists(status)) return u"The file " + name + u" does not exist.";
    if (std::filesystem::is_directory(status)) return name + u" is a folder, not a GEDCOM file.";
    if (!std::filesystem::is_regular_file(status)) return name + u" is not a regular file.";
    if (!std::ifstream(path)) return u"The file " + name + u" cannot be read.";
    return String();
}

bool hasRecords(const LNGedcomFile& file) {
    const LNGedcomRecordSet* records = file.recordSet();
    return records && records->records() && !records->records()->empty();
}

} // namespace

void LNKinloomController::releaseFile() {
    // Dropped whole, the file last and on a thread of its own: closing takes
    // no time (1.1 s for 300,000 persons on this thread).
    shown_ = std::make_unique<LNShownFile>();
}

bool LNKinloomController::loadFile(const std::string& path) {
    // Where nothing can stop the load, the old file goes, with everything
    // that holds its records, before the new one is read, so that two files
    // are never in memory at once. Where a stop can be asked for, the old one
    // stays until the new one is read, so that a stopped load leaves it.
    refusal_.clear();
    LNProgress* progress = applicationProgress();
    // A file that cannot be read takes no room: the old one stays for it.
    const bool releasedFirst = !progress && unopenableReason(path).empty();
    if (releasedFirst) releaseFile();
    std::unique_ptr<LNGedcomFile> file;
    // The table's rows are made on the load's second thread while the links
    // are checked (300,000 persons: rows, name index and links in 0.77 s,
    // 1.02 s one after the other). They point into the file, so they go
    // before it.
    auto rows = std::make_unique<LNPersonRows>();
    try {
        LNProgress::Scope scope(progress);
        file = std::make_unique<LNGedcomFile>(
            path, [&rows](const LNGedcomRecordSet& records, std::stop_token stop) {
                rows->make(records.indiRecords(), &records, true, true, stop);
            });
    } catch (const LNProgress::Cancelled&) {
        return false;
    }
    // A file refused goes to a thread of its own, its rows first.
    auto dropFile = [&] {
        rows.reset();
        BackgroundRelease::release(std::move(file));
    };
    if (!file->refusal().empty()) {
        refusal_ = file->refusal();
        dropFile();
        return refuseFile(fromUtf8(path + " cannot be opened: " + refusal_ + "."), releasedFirst);
    }
    if (!file->path() || (refusesFilesWithoutRecords_ && !hasRecords(*file))) {
        dropFile();
        String reason = unopenableReason(path);
        if (reason.empty()) reason = u"No GEDCOM records were found in " + fromUtf8(path) + u".";
        return refuseFile(reason, releasedFirst);
    }
    releaseFile();
    shown_->file.reset(file.release());
    shown_->records = shown_->file->recordSet();
    shown_->madeRows = std::move(rows);
    // The version beside the path: what the file is checked and shown by.
    if (pathLabel_)
        pathLabel_->setStringValue(fromUtf8(
            shown_->records ? path + "  \u2014  GEDCOM " + shown_->records->version().text : path));
    lastFolder_ = std::filesystem::path(path).parent_path().string();
    return true;
}

bool LNKinloomController::refuseFile(StringView reason, bool released) {
    // Released: the old file went before the new one was read, so the window
    // shows nothing rather than what is gone.
    if (released) {
        if (pathLabel_) pathLabel_->setStringValue(u"");
        showRecordSet();
    }
    if (LNWindow* window = personTable_ ? personTable_->window() : nullptr) window->runAlert(reason);
    return false;
}

void LNKinloomController::showRecordSet() {
    LNProgress::Scope scope(applicationProgress());
    setupTableData(shown_->records ? &shown_->records->indiRecords() : nullptr);
    // A file is shown from its top: nothing selected, nothing searched.
    if (personTable_) {
        personTable_->reloadData();
        personTable_->selectRowIndexes(LNIndexSet(), false);
        personTable_->scrollRowToVisible(0);
    }
    if (searchField_) searchField_->setStringValue(u"");
    showStatus(u"");
    shown_->detachSelectedRoot();
    if (personOutline_) personOutline_->reloadData();
    showRelatives(SharedString());
    showChart(SharedString());
    shown_->structureProblems.clear();
    rebuildProblemRows();

    sortAscending_ = true;
    if (personTable_) {
        if (lastCol_) personTable_->setIndicatorImage(std::nullopt, lastCol_);
        std::vector<LNTableColumn*> columns = personTable_->tableColumns();
        lastCol_ = columns.empty() ? nullptr : columns.front();
        if (lastCol_) {
            personTable_->setHighlightedTableColumn(lastCol_);
            setIndicator(personTable_, lastCol_);
        }
    }
    clearPersonQueue();
}

bool LNKinloomController::openFile(LNApplication*, const std::optional<std::string>& path) {
    if (!path || loadFile(*path)) showRecordSet();
    return true;
}

void LNKinloomController::openDocument(LNView*) {
    openChosenDocument(runOpenPanel(u"Open Gedcom", lastFolder_));
}

void LNKinloomController::openChosenDocument(const std::string& path) {
    if (!path.empty()) {
        if (!loadFile(path)) return;
        if (LNApplication* application = LNApplication::sharedApplication())
            application->sharedDocumentController().noteNewRecentDocumentURL(path);
    }
    showRecordSet();
}

void LNKinloomController::quit(LNView* sender) {
    if (LNApplication* application = LNApplication::sharedApplication()) application->terminate(sender);
}

bool LNKinloomController::applicationShouldTerminateAfterLastWindowClosed(LNApplication*) {
    return true;
}

std::string runOpenPanel(StringView title, const std::string& directory) {
    LNApplication* application = LNApplication::sharedApplication();
    if (!application) return std::string();
    std::unique_ptr<LNOpenPanel> panel = application->openPanel();
    systemLog("back from openening panel");
    panel->setCanChooseDirectories(false);
    panel->setCanChooseFiles(true);
    panel->setCanCreateDirectories(false);
    panel->setAllowsMultipleSelection(false);
    panel->setAlphaValue(0.99);
    panel->setTitle(title);
    if (!directory.empty()) panel->setDirectory(directory);
    panel->setAllowedFileTypes({u"txt", u"ged", u"gedcom", u"gdz"});
    if (panel->runModal() != LNOpenPanel::okButton) return std::string();
    std::vector<std::string> chosen = panel->filenames();
    return chosen.empty() ? std::string() : chosen.front();
}

void LNKinloomController::controlTextDidEndEditing(const LNNotification& notification) {
    if (!shown_->records) return;
    if (!searchField_ || notification.object != searchField_) return;
    std::optional<String> text = searchField_->stringValue();
    if (!text || text->empty()) return;
    setSearchName(*text);

    IndiList found = shown_->records->indisMatchingName(*text);
    showStatus(found.empty() ? u"Nobody is named \u201C" + *text + u"\u201D." : String());
    if (found.empty()) return;
    const SharedString& key = found.front()->key();
    if (rowOfKey(key.view()) < 0) return;
    selectPerson(key, true, true);
    if (personTable_) {
        if (LNWindow* window = personTable_->window()) window->makeFirstResponder(personTable_);
    }
}

void LNKinloomController::showStatus(StringView message) {
    if (LNWindow* window = personTable_ ? personTable_->window() : nullptr) window->setStatusMessage(message);
}

} // namespace kinloom
