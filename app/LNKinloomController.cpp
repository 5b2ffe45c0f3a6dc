#include "LNKinloomController.h"

#include "memory/BackgroundRelease.h"
#include "LNGedcomSpecification.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

namespace kinloom {

namespace {
constexpr StringView windowTitle = u"Kinloom 0.2 beta";
constexpr double gridGrey = 0.92;
} // namespace

LNKinloomController::LNKinloomController() {
    idOfPosition_.reserve(1024);
}

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

namespace {

LNProgress* applicationProgress() {
    LNApplication* application = LNApplication::sharedApplication();
    return application ? application->progress() : nullptr;
}

} // namespace

void LNKinloomController::releaseFile() {
    // Everything of ours that shares a count with the file's lines, records
    // or texts goes first: the file is then freed on a thread of its own,
    // and closing takes no time (1.1 s for 300,000 persons on this thread).
    gedcomRecords_ = nullptr;
    sortedPersonRecords_.reset();
    rowIds_.clear();
    idOfPosition_.clear();
    rowOfId_.clear();
    releaseSelectedRoot();
    relatives_.clear();
    dropChart();
    problemRows_.clear();
    sorter_.forget();
    personQueue_.clear();
    BackgroundRelease::release(std::move(gedcomFile_));
}

bool LNKinloomController::loadFile(const std::string& path) {
    // Where nothing can stop the load, the old file goes, with everything
    // that holds its records, before the new one is read, so that two files
    // are never in memory at once. Where a stop can be asked for, the old one
    // stays until the new one is read, so that a stopped load leaves it.
    refusal_.clear();
    LNProgress* progress = applicationProgress();
    if (!progress) releaseFile();
    std::unique_ptr<LNGedcomFile> file;
    try {
        LNProgress::Scope scope(progress);
        file = std::make_unique<LNGedcomFile>(path);
    } catch (const LNProgress::Cancelled&) {
        return false;
    }
    if (!file->refusal().empty()) {
        refuseFile(path, file->refusal());
        return false;
    }
    releaseFile();
    gedcomFile_ = std::move(file);
    gedcomRecords_ = gedcomFile_->recordSet();
    if (pathLabel_) pathLabel_->setStringValue(fromUtf8(path));
    return true;
}

void LNKinloomController::refuseFile(const std::string& path, const std::string& reason) {
    refusal_ = reason;
    if (LNApplication* application = LNApplication::sharedApplication())
        application->showMessage(fromUtf8(path + " cannot be opened: " + reason + "."));
}

void LNKinloomController::showRecordSet() {
    LNProgress::Scope scope(applicationProgress());
    setupTableData(gedcomRecords_ ? &gedcomRecords_->indiRecords() : nullptr);
    if (personTable_) personTable_->reloadData();
    releaseSelectedRoot();
    if (personOutline_) personOutline_->reloadData();
    showRelatives(SharedString());
    showChart(SharedString());
    structureProblems_.clear();
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
    openChosenDocument(runOpenPanel(u"Open Gedcom"));
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

std::string runOpenPanel(StringView title) {
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
    panel->setAllowedFileTypes({u"txt", u"ged", u"gedcom", u"gdz"});
    if (panel->runModal() != LNOpenPanel::okButton) return std::string();
    std::vector<std::string> chosen = panel->filenames();
    return chosen.empty() ? std::string() : chosen.front();
}

void LNKinloomController::controlTextDidEndEditing(const LNNotification& notification) {
    if (!gedcomRecords_) return;
    if (!searchField_ || notification.object != searchField_) return;
    std::optional<String> text = searchField_->stringValue();
    if (!text || text->empty()) return;
    setSearchName(*text);

    IndiList found = gedcomRecords_->indisWithName(*text);
    if (found.empty()) return;
    const SharedString& key = found.front()->key();
    if (rowOfKey(key.view()) < 0) return;
    selectPerson(key, true, true);
    if (personTable_) {
        if (LNWindow* window = personTable_->window()) window->makeFirstResponder(personTable_);
    }
}

void LNKinloomController::validate(LNView*) {
    LNApplication* application = LNApplication::sharedApplication();
    std::optional<std::string> path;
    if (application) path = application->mainBundle().pathForResource(grammarResourceName(), u"spec");
    if (gedcomRecords_ && path) {
        // Read afresh each time, so an edited grammar counts at the next run.
        if (auto grammar = LNGedcomSpecification::initFromFile(*path)) {
            LNProgress::Scope scope(applicationProgress());
            const IndiList& persons = gedcomRecords_->indiRecords();
            for (std::size_t i = 0; i < persons.size(); ++i) {
                if (i % 1024 == 0) LNProgress::tell(LNProgress::Stage::validating, i, persons.size());
                grammar->validateRecord(persons[i]->root().get());
            }
            LNProgress::tell(LNProgress::Stage::validating, persons.size(), persons.size());
            collectStructureProblems();
            rebuildProblemRows();
        }
    }
    if (personTable_) personTable_->reloadData();
    if (personOutline_) personOutline_->reloadData();
}

} // namespace kinloom
