// The validate command: which grammar it reads, and the problems it finds.

#include "LNKinloomController.h"

#include "LNGedcom7Grammar.h"
#include "LNGedcomSpecification.h"
#include "tree/PreOrderWalk.h"

#include <algorithm>

namespace kinloom {

StringView LNKinloomController::grammarResourceName() const {
    static constexpr StringView v55 = u"Gedcom5.5", v551 = u"Gedcom5.5.1", v70 = u"Gedcom7.0";
    switch (grammarChoice_) {
    case LNGrammarChoice::gedcom55:
        return v55;
    case LNGrammarChoice::gedcom551:
        return v551;
    case LNGrammarChoice::gedcom70:
        return v70;
    case LNGrammarChoice::automatic:
        break;
    }
    const GedcomStandard standard = shown_->records ? shown_->records->standard() : GedcomStandard::Gedcom55;
    return standard == GedcomStandard::Gedcom7 ? v70 : standard == GedcomStandard::Gedcom551 ? v551 : v55;
}

void LNKinloomController::validate(LNView*) {
    LNApplication* application = LNApplication::sharedApplication();
    std::optional<std::string> path;
    if (application) path = application->mainBundle().pathForResource(grammarResourceName(), u"spec");
    if (shown_->records && path) {
        // Read afresh each time, so an edited grammar counts at the next run.
        if (LNGedcom7Grammar::isGedcom7Grammar(*path)) {
            validateEveryRecord(*path);
        } else if (auto grammar = LNGedcomSpecification::initFromFile(*path)) {
            LNProgress::Scope scope(applicationProgress());
            const IndiList& persons = shown_->records->indiRecords();
            LNProgress::Meter meter(LNProgress::Stage::validating, persons.size());
            for (std::size_t i = 0; i < persons.size(); ++i) {
                meter.count(i);
                grammar->validateRecord(persons[i]->root().get());
            }
            LNProgress::tell(LNProgress::Stage::validating, persons.size(), persons.size());
            shown_->validatedEveryRecord = false;
            collectStructureProblems();
            rebuildProblemRows();
        }
    }
    if (personTable_) personTable_->reloadData();
    if (personOutline_) personOutline_->reloadData();
}

void LNKinloomController::validateEveryRecord(const std::string& grammarPath) {
    std::unique_ptr<LNGedcom7Grammar> grammar = LNGedcom7Grammar::initFromFile(grammarPath);
    const RecordList* records = shown_->records->records();
    if (!grammar || !records) return;
    // A line the load found wrong already (a CONC line, a pointer to a
    // record of the wrong kind) is marked, but reported once.
    std::vector<std::int32_t> reported;
    for (const LNGedcomProblem& problem : shown_->file->errors()->problems())
        if (problem.kind == LNGedcomProblemStructure || problem.kind == LNGedcomProblemReference)
            reported.push_back(problem.line);
    std::ranges::sort(reported);
    grammar->setReportedLines(reported);

    LNProgress::Scope scope(applicationProgress());
    std::vector<LNGedcomProblem> findings;
    LNProgress::Meter meter(LNProgress::Stage::validating, records->size());
    for (std::size_t i = 0; i < records->size(); ++i) {
        meter.count(i);
        grammar->validateRecord((*records)[i]->root().get(), findings);
    }
    LNProgress::tell(LNProgress::Stage::validating, records->size(), records->size());
    std::erase_if(findings, [&reported](const LNGedcomProblem& finding) {
        return std::ranges::binary_search(reported, finding.line);
    });
    shown_->structureProblems = std::move(findings);
    shown_->validatedEveryRecord = true;
    rebuildProblemRows();
}

void LNKinloomController::collectStructureProblems() {
    shown_->structureProblems.clear();
    for (const auto& person : shown_->records->indiRecords()) {
        forEachPreOrder(person->root().get(), [&](LNNode* node, std::size_t) {
            // The validator leaves a line "good" only when every line below
            // it is: most records are passed over at their root.
            if (node->mark() == LNNode::Mark::good) return false;
            if (node->mark() != LNNode::Mark::bad) return true;
            // A rejected line's own lines are rejected with it: one problem says it.
            String text = node->name().str() + u" is not allowed ";
            text +=
                node->parent() ? u"directly under " + node->parent()->name().str() : String(u"as a record");
            shown_->structureProblems.push_back({LNGedcomProblemStructure,
                                                 static_cast<const LNGedcomNode*>(node)->lineNumber(),
                                                 LNProblemFinding::none,
                                                 std::move(text),
                                                 {},
                                                 0});
            return false;
        });
    }
}

} // namespace kinloom
