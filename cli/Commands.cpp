#include "Commands.h"

#include "LNGedcom7Grammar.h"
#include "LNGedcomSpecification.h"
#include "LNHeadlessViewer.h"
#include "LNSvgWriter.h"
#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <fstream>

namespace kinloom::cli {

namespace {

constexpr int exitRead = 0;
constexpr int exitFailure = 1;

std::string_view colorName(const LNColor& color) {
    if (color == LNColor::orangeColor()) return "orange";
    if (color == LNColor::redColor()) return "red";
    if (color == LNColor::blackColor()) return "black";
    return "other";
}

int load(LNHeadlessViewer& viewer, Output& out) {
    const LNGedcomRecordSet& records = *viewer.controller().gedcomRecords();
    out << "records " << std::to_string(records.count()) << '\n';
    out << "persons " << std::to_string(records.numIndis()) << '\n';
    out << "families " << std::to_string(records.numFams()) << '\n';
    out << "sources " << std::to_string(records.numSours()) << '\n';
    out << "lines " << std::to_string(records.numNodes()) << '\n';
    out << "errors " << std::to_string(viewer.controller().gedcomFile()->errors()->count()) << '\n';
    out << "version " << records.version().text << '\n';
    return exitRead;
}

int persons(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out) {
    LNHeadlessTableView& table = viewer.table();
    if (arguments.sortColumn) {
        int column = table.columnIndex(fromUtf8(*arguments.sortColumn));
        table.clickHeader(column);
        if (arguments.descending) table.clickHeader(column);
    }
    std::vector<LNTableColumn*> columns = table.tableColumns();
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (c > 0) out << '\t';
        out << toUtf8(columns[c]->identifier());
    }
    out << '\n';
    for (int row = 0; row < table.numberOfRows(); ++row) {
        for (std::size_t c = 0; c < columns.size(); ++c) {
            if (c > 0) out << '\t';
            out << table.cellText(row, static_cast<int>(c));
        }
        out << '\n';
    }
    return exitRead;
}

int find(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out) {
    for (const auto& person :
         viewer.controller().gedcomRecords()->indisMatchingName(fromUtf8(arguments.name))) {
        out << toUtf8(stripAts(person->key().view())) << '\t';
        if (const SharedString* name = attributeString(person->attributeForKey(u"name")))
            out << toUtf8(*name);
        out << '\n';
    }
    return exitRead;
}

// Finds the grammar the validate command will read (SPECFILE when given)
// and makes sure it reads; false with the reason otherwise.
bool checkGrammar(LNHeadlessViewer& viewer, const Arguments& arguments, std::string& problem) {
    const StringView name = viewer.controller().grammarResourceName();
    if (arguments.grammar)
        viewer.application().bundle().setPathForResource(name, u"spec", *arguments.grammar);
    std::optional<std::string> path = viewer.application().mainBundle().pathForResource(name, u"spec");
    if (!path) {
        problem = "cannot find the grammar " + toUtf8(name) + ".spec";
        return false;
    }
    if (!std::ifstream(*path)) {
        problem = "cannot read the grammar " + *path;
        return false;
    }
    const bool reads = LNGedcom7Grammar::isGedcom7Grammar(*path)
                           ? LNGedcom7Grammar::initFromFile(*path) != nullptr
                           : LNGedcomSpecification::initFromFile(*path) != nullptr;
    if (!reads) {
        problem = "cannot parse the grammar " + *path;
        return false;
    }
    return true;
}

int show(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out, std::string& problem) {
    String key = fromUtf8(arguments.name);
    if (!isCrossReference(key)) key = u"@" + key + u"@";
    int row = viewer.controller().rowOfKey(key);
    if (row < 0) {
        problem = "no person " + arguments.name;
        return exitFailure;
    }
    if (arguments.validate) {
        if (!checkGrammar(viewer, arguments, problem)) return exitFailure;
        viewer.validate();
    }
    viewer.table().clickCell(row, viewer.table().columnIndex(u"id"));
    if (arguments.labels && viewer.checkBox().state() != LNButton::offState) viewer.checkBox().click();
    LNHeadlessOutlineView& outline = viewer.outline();
    if (arguments.expandAll) outline.expandAll();

    for (int i = 0; i < static_cast<int>(outline.rows().size()); ++i) {
        if (arguments.validate) out << colorName(outline.rowColor(i)) << '\t';
        out.blanks(2 * static_cast<std::size_t>(outline.rows()[static_cast<std::size_t>(i)].depth));
        out << outline.rowText(i) << '\n';
    }
    return exitRead;
}

// Every line of the record, pre-order: mark, TAB, two blanks a level, line form.
void writeMarkedLines(Output& out, LNNode* root) {
    forEachPreOrder(root, [&](LNNode* node, std::size_t depth) {
        const SharedString* mark = attributeString(node->attributeForKey(u"validcode"));
        out << (mark ? toUtf8(*mark) : std::string("none")) << '\t';
        out.blanks(2 * depth) << toUtf8(node->description()) << '\n';
    });
}

int validate(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out, std::string& problem) {
    if (!checkGrammar(viewer, arguments, problem)) return exitFailure;
    viewer.validate();
    if (viewer.controller().validatedEveryRecord()) {
        for (const auto& record : *viewer.controller().gedcomRecords()->records())
            writeMarkedLines(out, record->root().get());
        return exitRead;
    }
    for (const auto& person : viewer.controller().gedcomRecords()->indiRecords())
        writeMarkedLines(out, person->root().get());
    return exitRead;
}

// The person the KEY argument names (with or without at signs); null, with
// the reason, when there is none.
const LNGedcomIndiRecord* namedPerson(LNHeadlessViewer& viewer, const Arguments& arguments,
                                      std::string& problem) {
    String key = fromUtf8(arguments.name);
    if (!isCrossReference(key)) key = u"@" + key + u"@";
    const auto& person = viewer.controller().gedcomRecords()->indiWithKey(key);
    if (!person) problem = "no person " + arguments.name;
    return person.get();
}

int relatives(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out, std::string& problem) {
    const LNGedcomRecordSet& records = *viewer.controller().gedcomRecords();
    const LNGedcomIndiRecord* person = namedPerson(viewer, arguments, problem);
    if (!person) return exitFailure;
    for (const LNGedcomRelative& relative : records.relativesOfIndi(*person)) {
        out << relativeRoleName(relative.role) << '\t' << toUtf8(stripAts(relative.indi->key().view()))
            << '\t';
        if (const SharedString* name = attributeString(relative.indi->attributeForKey(u"name")))
            out << toUtf8(*name);
        out << '\n';
    }
    return exitRead;
}

// ancestors and descendants: NUMBER, ID, NAME, BIRTH, DEATH, or NUMBER, ID,
// =FIRST for a person listed before.
int relationWalk(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out, std::string& problem) {
    const LNGedcomIndiRecord* person = namedPerson(viewer, arguments, problem);
    if (!person) return exitFailure;
    const LNGedcomRecordSet& records = *viewer.controller().gedcomRecords();
    const LNWalkKind kind = arguments.command == Arguments::Command::ancestors ? LNWalkKind::ancestors
                                                                               : LNWalkKind::descendants;
    const std::vector<LNWalkEntry> entries = walkOfIndi(kind, records, *person, arguments.generations);
    auto number = [&](int i) { return walkNumber(kind, entries, i); };
    for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
        const LNWalkEntry& entry = entries[static_cast<std::size_t>(i)];
        out << number(i) << '\t' << toUtf8(stripAts(entry.indi->key().view())) << '\t';
        if (entry.repeatOf >= 0) {
            out << '=' << number(entry.repeatOf) << '\n';
            continue;
        }
        for (StringView column : {u"name", u"birthYear", u"deathYear"}) {
            if (column != u"name") out << '\t';
            if (const SharedString* text = attributeString(entry.indi->attributeForKey(column)))
                out << toUtf8(*text);
        }
        out << '\n';
    }
    return exitRead;
}

int chart(LNHeadlessViewer& viewer, const Arguments& arguments, std::string& problem) {
    const LNGedcomIndiRecord* person = namedPerson(viewer, arguments, problem);
    if (!person) return exitFailure;
    const LNChartLayout layout(*viewer.controller().gedcomRecords(), *person,
                               arguments.descendants ? LNChartKind::descendants : LNChartKind::ancestors,
                               arguments.generations);
    const std::string svg = LNSvgWriter::chart(layout);
    std::ofstream file(arguments.output, std::ios::binary);
    if (!file.write(svg.data(), static_cast<std::streamsize>(svg.size())) || !file.flush()) {
        problem = "cannot write " + arguments.output;
        return exitFailure;
    }
    return exitRead;
}

int problems(LNHeadlessViewer& viewer, const Arguments& arguments, Output& out, std::string& problem) {
    if (arguments.validate) {
        if (!checkGrammar(viewer, arguments, problem)) return exitFailure;
        viewer.validate();
    }
    LNHeadlessTableView& pane = viewer.problems();
    for (int row = 0; row < pane.numberOfRows(); ++row) {
        for (int column = 0; column < 4; ++column)
            out << (column ? "\t" : "") << toUtf8(pane.cellText(row, column).value_or(String()));
        out << '\n';
    }
    return exitRead;
}

} // namespace

// Never released: the process ends right after the command, and taking a
// large file apart node by node would only delay the exit. The pointer must
// stay reachable for leak checkers not to count the viewer: a variable of
// external linkage, since the compiler drops a write-only local static.
LNHeadlessViewer* keptViewer = nullptr;

int runCommand(const Arguments& arguments, Output& out, std::string& problem) {
    keptViewer = new LNHeadlessViewer;
    LNHeadlessViewer& viewer = *keptViewer;
    viewer.application().answerOpenPanels({arguments.file});
    // A file without records is read and counted, not refused as the window does.
    viewer.controller().setRefusesFilesWithoutRecords(false);
    viewer.openDocument();
    if (!viewer.controller().gedcomRecords()) {
        problem = "cannot read " + arguments.file;
        if (!viewer.controller().refusal().empty()) problem += ": " + viewer.controller().refusal();
        return exitFailure;
    }
    switch (arguments.command) {
    case Arguments::Command::load:
        return load(viewer, out);
    case Arguments::Command::persons:
        return persons(viewer, arguments, out);
    case Arguments::Command::find:
        return find(viewer, arguments, out);
    case Arguments::Command::show:
        return show(viewer, arguments, out, problem);
    case Arguments::Command::validate:
        return validate(viewer, arguments, out, problem);
    case Arguments::Command::relatives:
        return relatives(viewer, arguments, out, problem);
    case Arguments::Command::problems:
        return problems(viewer, arguments, out, problem);
    case Arguments::Command::ancestors:
    case Arguments::Command::descendants:
        return relationWalk(viewer, arguments, out, problem);
    case Arguments::Command::chart:
        return chart(viewer, arguments, problem);
    case Arguments::Command::help:
    case Arguments::Command::version:
        break;
    }
    return exitRead;
}

} // namespace kinloom::cli
