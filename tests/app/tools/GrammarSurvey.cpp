// Lists the lines of person records that the grammar does not mark "good",
// and times the validation of many persons.
//
//   kinloom_grammar_survey [--spec FILE] FILE...     survey GEDCOM files
//   kinloom_grammar_survey [--spec FILE] --persons N [--reference]
//                                     time N copies of a typical person
//
// Run from the repository root (the default grammar is
// resources/Gedcom5.5.spec). Files are read as UTF-8; UTF-16 files are skipped.

#include "GedcomTestTrees.h"
#include "ReferenceValidator.h"

#include "TextServices.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

const char16_t* typicalPerson = u"0 @I1@ INDI\n"
                                u"1 NAME John Albert /Smith/\n"
                                u"2 GIVN John Albert\n"
                                u"2 SURN Smith\n"
                                u"1 SEX M\n"
                                u"1 BIRT\n"
                                u"2 DATE 12 MAR 1871\n"
                                u"2 PLAC Leeds, Yorkshire, England\n"
                                u"2 SOUR @S1@\n"
                                u"3 PAGE Folio 12\n"
                                u"3 DATA\n"
                                u"4 DATE 20 MAR 1871\n"
                                u"1 CHR\n"
                                u"2 DATE 2 APR 1871\n"
                                u"2 PLAC St Peter, Leeds\n"
                                u"1 OCCU Wool merchant\n"
                                u"2 DATE 1901\n"
                                u"1 RESI\n"
                                u"2 ADDR 4 Park Lane\n"
                                u"3 CITY Leeds\n"
                                u"1 DEAT\n"
                                u"2 DATE 3 JUN 1932\n"
                                u"2 PLAC Harrogate, Yorkshire, England\n"
                                u"2 CAUS Pneumonia\n"
                                u"1 BURI\n"
                                u"2 PLAC Harrogate\n"
                                u"1 FAMC @F1@\n"
                                u"1 FAMS @F2@\n"
                                u"1 FAMS @F3@\n"
                                u"1 NOTE He kept a diary from 1890 to his death; the volumes are\n"
                                u"2 CONC  held by the family.\n"
                                u"2 CONT Second marriage after the death of his first wife.\n"
                                u"1 SOUR @S2@\n"
                                u"1 CHAN\n"
                                u"2 DATE 14 FEB 2004\n"
                                u"3 TIME 10:15:00\n";

std::string pathOf(const LNNode* node) {
    std::vector<std::string> tags;
    for (const LNNode* up = node->parent(); up; up = up->parent())
        tags.push_back(toUtf8(up->name()));
    std::string out;
    for (auto tag = tags.rbegin(); tag != tags.rend(); ++tag)
        out += (out.empty() ? "" : ".") + *tag;
    return out;
}

/// Prints each "bad" line whose parent is not "bad" (the lines below it are
/// "bad" with it), then the file's counts of persons, lines, bad and
/// badchild lines.
void survey(const LNGedcomSpecification& specification, const std::string& path) {
    std::optional<String> text = testing::readTestFile(path);
    if (!text) {
        std::printf("%s: skipped (unreadable or UTF-16)\n", path.c_str());
        return;
    }
    long persons = 0, lines = 0, bad = 0, badChildren = 0;
    for (const Ref<LNGedcomNode>& root : testing::recordsFromText(*text)) {
        if (root->name() != u"INDI") continue;
        ++persons;
        specification.validateRecord(root.get());
        std::vector<LNNode*> pending{root.get()};
        while (!pending.empty()) {
            LNNode* node = pending.back();
            pending.pop_back();
            ++lines;
            const SharedString& mark = *LNGedcomSpecification::markOf(node);
            if (mark == LNGedcomSpecification::badChildMark()) ++badChildren;
            if (mark == LNGedcomSpecification::badMark()) {
                ++bad;
                const LNNode* parent = node->parent();
                if (!parent || *LNGedcomSpecification::markOf(parent) != LNGedcomSpecification::badMark()) {
                    auto* line = static_cast<LNGedcomNode*>(node);
                    std::printf("%s:%d: bad below %s: %s (%d lines)\n", path.c_str(), line->lineNumber(),
                                pathOf(node).c_str(), toUtf8(line->description()).c_str(), node->treeSize());
                }
            }
            for (int i = node->numChildren() - 1; i >= 0; --i)
                pending.push_back(node->childAt(i));
        }
    }
    std::printf("%s: %ld persons, %ld lines, %ld bad, %ld badchild\n", path.c_str(), persons, lines, bad,
                badChildren);
}

void timePersons(const LNGedcomSpecification& specification, long count, bool reference) {
    String text;
    for (long i = 0; i < count; ++i)
        text += typicalPerson;
    std::vector<Ref<LNGedcomNode>> persons = testing::recordsFromText(text);
    long lines = 0;
    for (const auto& person : persons)
        lines += person->treeSize();

    testing::ReferenceValidator plain(specification);
    // Wall time and processor time: the latter is steadier on a busy machine.
    auto validateAll = [&]() {
        auto start = std::chrono::steady_clock::now();
        std::clock_t startCpu = std::clock();
        for (const auto& person : persons) {
            if (reference)
                plain.validateRecord(person.get());
            else
                specification.validateRecord(person.get());
        }
        double cpu = static_cast<double>(std::clock() - startCpu) / CLOCKS_PER_SEC;
        double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return std::make_pair(wall, cpu);
    };
    auto first = validateAll();
    auto again = validateAll();
    long good = 0;
    for (const auto& person : persons)
        good += *LNGedcomSpecification::markOf(person.get()) == u"good";
    std::printf("validated %zu persons (%ld lines, %ld persons good) in %.3f s (processor %.3f s); "
                "again, marks in place: %.3f s (processor %.3f s)%s\n",
                persons.size(), lines, good, first.first, first.second, again.first, again.second,
                reference ? "; every alternative matched afresh" : "");
}

} // namespace

int main(int argc, char** argv) {
    std::string specPath = "resources/Gedcom5.5.spec";
    long persons = 0;
    bool reference = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        if (arg == "--spec" && i + 1 < argc)
            specPath = argv[++i];
        else if (arg == "--persons" && i + 1 < argc)
            persons = std::atol(argv[++i]);
        else if (arg == "--reference")
            reference = true;
        else
            files.push_back(arg);
    }
    auto specification = LNGedcomSpecification::initFromFile(specPath);
    if (!specification) {
        std::fprintf(stderr, "cannot read the grammar %s\n", specPath.c_str());
        return 1;
    }
    for (const std::string& file : files)
        survey(*specification, file);
    if (persons > 0) timePersons(*specification, persons, reference);
    return 0;
}
