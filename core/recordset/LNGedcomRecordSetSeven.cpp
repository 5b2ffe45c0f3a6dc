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
    if (!records_) return;
    for (const auto& record : *records_) {
        if (record->tag() == u"HEAD") readSchema(*record->root());
        forEachPreOrder(record->root().get(), [&](const LNGedcomNode* line, std::size_t depth) {
            if (line->tag() != u"CONC") return;
            const String text = asWritten(*line, depth);
            systemLog("line " + std::to_string(line->lineNumber()) + ": " + toUtf8(text) +
                      ": GEDCOM 7 has no CONC");
            if (errors_) errors_->addUncounted(LNGedcomProblemStructure, line->lineNumber(), text);
        });
    }
}

void LNGedcomRecordSet::readSchema(const LNNode& header) {
    const LNNode* schema = header.childWithName(u"SCHMA");
    for (int i = 0; schema && i < schema->numChildren(); ++i) {
        const LNNode* line = schema->childAt(i);
        const StringView value = line->value().view();
        const std::size_t blank = value.find(u' ');
        if (line->name() != u"TAG" || blank == StringView::npos) continue;
        const String tag(value.substr(0, blank));
        const StringView uri = value.substr(blank + 1);
        String& uris = schemaUris_[tag];
        if (!uris.empty()) uris += u", ";
        uris += uri;
        if (uri.starts_with(standardRecord)) recordAliases_.emplace(tag, uri.substr(standardRecord.size()));
    }
}

StringView LNGedcomRecordSet::schemaUri(StringView tag) const {
    auto found = schemaUris_.find(tag);
    return found == schemaUris_.end() ? StringView() : StringView(found->second);
}

StringView LNGedcomRecordSet::recordKindTag(const LNGedcomRecord& record) const {
    const StringView tag = record.tag();
    if (recordAliases_.empty()) return tag;
    auto found = recordAliases_.find(tag);
    return found == recordAliases_.end() ? tag : StringView(found->second);
}

} // namespace kinloom
