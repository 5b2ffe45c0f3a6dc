#include "LNHeadlessViewer.h"

namespace kinloom {

const std::vector<String>& LNHeadlessViewer::columnIdentifiers() {
    static const std::vector<String> identifiers{u"id",        u"name",       u"birthYear", u"birthPlace",
                                                 u"deathYear", u"deathPlace", u"father",    u"mother"};
    return identifiers;
}

LNHeadlessViewer::LNHeadlessViewer()
    : table_(&window_, columnIdentifiers()), searchField_(&window_), checkBox_(LNButton::onState),
      backForwardButton_(2) {
    controller_.setPersonTable(&table_);
    controller_.setPersonOutline(&outline_);
    controller_.setSplitView(&splitView_);
    controller_.setSearchField(&searchField_);
    controller_.setCheckBox(&checkBox_);
    controller_.setPathLabel(&pathLabel_);
    controller_.setBackForwardButton(&backForwardButton_);

    application_.setDelegate(&controller_);
    table_.setDataSource(&controller_);
    table_.setDelegate(&controller_);
    outline_.setDataSource(&controller_);
    outline_.setDelegate(&controller_);
    searchField_.setDelegate(&controller_);

    table_.setAction([this](LNView* sender) { controller_.tableCellClicked(sender); });
    backForwardButton_.setAction([this](LNView* sender) { controller_.navigate(sender); });
    checkBox_.setAction([this](LNView* sender) { controller_.changeMode(sender); });

    controller_.awakeFromNib();
}

} // namespace kinloom
