// What only GEDCOM 7 files hold: the header's schema of extension tags, and
// the CONC lines 7.0 removed.

#include "recordset/LNGedcomRecordSet.h"

#include "support/SystemLog.h"
#include "support/TextServices.h"
#include "tree/PreOrderWalk.h"

#include <string>

namespace kinloom {

namespace {

constexpr StringView standardRecord = u"https://gedcom.io/terms/v7/record-";

// A line as the file has it: level, tag and value (a CONC line has no key).
String asWritten(const LNGedcomNode& line, std::size_t depth) {
    const std::string level = std::to_string(depth);
    String text(level.begin(), level.end());
    text += u' ';
    text += line.tag().view();
    if (line.value()) text += u' ' + line.value().str();
    return text;
}

} // namespace

void LNGedcomRecordSet::readSevenLines() {
    for (const auto& record : *records_) {
        if (record->tag() == u"HEAD") {
            const LNNode* schema = record->root()->childWithName(u"SCHMA");
            for (int i = 0; schema && i < schema->numChildren(); ++i) {
                const LNNode* line = schema->childAt(i);
                const StringView value = line->value().view();
                const std::size_t blank = value.find(u' ');
                if (line->name() != u"TAG" || blank == StringView::npos) continue;
                schemaTags_.push_back({String(value.substr(0, blank)), String(value.substr(blank + 1))});
            }
        }
        forEachPreOrder(record->root().get(), [&](const LNGedcomNode* line, std::size_t depth) {
            if (line->tag() != u"CONC") return;
            const String text = asWritten(*line, depth);
            systemLog("line " + std::to_string(line->lineNumber()) + ": " + toUtf8(text) +
                      ": GEDCOM 7 has no CONC");
            if (errors_) errors_->addUncounted(LNGedcomProblemStructure, line->lineNumber(), text);
        });
    }
}

String LNGedcomRecordSet::schemaUri(StringView tag) const {
    String uris;
    for (const SchemaTag& entry : schemaTags_) {
        if (entry.tag != tag) continue;
        if (!uris.empty()) uris += u", ";
        uris += entry.uri;
    }
    return uris;
}

StringView LNGedcomRecordSet::recordKindTag(const LNGedcomRecord& record) const {
    const StringView tag = record.tag();
    if (schemaTags_.empty() || tag.empty() || tag[0] != u'_') return tag;
    for (const SchemaTag& entry : schemaTags_)
        if (entry.tag == tag && StringView(entry.uri).starts_with(standardRecord))
            return StringView(entry.uri).substr(standardRecord.size());
    return tag;
}

} // namespace kinloom
