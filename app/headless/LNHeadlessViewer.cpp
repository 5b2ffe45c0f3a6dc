#include "LNHeadlessViewer.h"

namespace kinloom {

const std::vector<String>& LNHeadlessViewer::columnIdentifiers() {
    static const std::vector<String> identifiers{u"id",        u"name",       u"birthYear", u"birthPlace",
                                                 u"deathYear", u"deathPlace", u"father",    u"mother"};
    return identifiers;
}

const std::vector<String>& LNHeadlessViewer::relativesColumnIdentifiers() {
    static const std::vector<String> identifiers{u"role", u"name", u"birthYear", u"deathYear"};
    return identifiers;
}

const std::vector<String>& LNHeadlessViewer::problemsColumnIdentifiers() {
    static const std::vector<String> identifiers{u"line", u"kind", u"id", u"text"};
    return identifiers;
}

LNHeadlessViewer::LNHeadlessViewer()
    : table_(&window_, columnIdentifiers()), searchField_(&window_), checkBox_(LNButton::onState),
      backForwardButton_(2), relatives_(&window_, relativesColumnIdentifiers()),
      problems_(&window_, problemsColumnIdentifiers()) {
    controller_.setPersonTable(&table_);
    controller_.setPersonOutline(&outline_);
    controller_.setSplitView(&splitView_);
    controller_.setSearchField(&searchField_);
    controller_.setCheckBox(&checkBox_);
    controller_.setPathLabel(&pathLabel_);
    controller_.setBackForwardButton(&backForwardButton_);
    controller_.setRelativesTable(&relatives_);
    controller_.setProblemsTable(&problems_);

    application_.setDelegate(&controller_);
    table_.setDataSource(&controller_);
    table_.setDelegate(&controller_);
    outline_.setDataSource(&controller_);
    outline_.setDelegate(&controller_);
    searchField_.setDelegate(&controller_);

    for (LNHeadlessTableView* pane : {&relatives_, &problems_}) {
        pane->setDataSource(&controller_);
        pane->setDelegate(&controller_);
    }

    table_.setAction([this](LNView* sender) { controller_.tableCellClicked(sender); });
    relatives_.setAction([this](LNView* sender) { controller_.relativeClicked(sender); });
    problems_.setAction([this](LNView* sender) { controller_.problemClicked(sender); });
    backForwardButton_.setAction([this](LNView* sender) { controller_.navigate(sender); });
    checkBox_.setAction([this](LNView* sender) { controller_.changeMode(sender); });

    controller_.awakeFromNib();
}

} // namespace kinloom
