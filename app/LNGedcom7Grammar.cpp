#include "LNGedcom7Grammar.h"

#include "support/TextServices.h"
#include "tree/LNGedcomNode.h"
#include "tree/PreOrderWalk.h"

#include <algorithm>
#include <fstream>
#include <sstream>

namespace kinloom {

namespace {

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        parts.push_back(
            text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return parts;
        start = end + 1;
    }
}

String fromAscii(std::string_view text) {
    return String(text.begin(), text.end());
}

std::int32_t lineOf(const LNNode* line) {
    return static_cast<const LNGedcomNode*>(line)->lineNumber();
}

// What a record of the structure is called in a finding.
StringView recordNoun(StringView id) {
    static constexpr std::pair<StringView, StringView> nouns[] = {
        {u"record-INDI", u"a person"},       {u"record-FAM", u"a family"},
        {u"record-SOUR", u"a source"},       {u"record-REPO", u"a repository"},
        {u"record-SNOTE", u"a shared note"}, {u"record-OBJE", u"a multimedia record"},
        {u"record-SUBM", u"a submitter"},    {u"HEAD", u"the header"},
    };
    for (const auto& [record, noun] : nouns)
        if (record == id) return noun;
    return u"a record";
}

// The value as the standard reads it: a leading "@@" is one "@", and CONT
// lines continue it on lines of their own.
String payloadOf(const LNNode* line) {
    String value = line->value() ? line->value().str() : String();
    if (value.starts_with(u"@@")) value.erase(0, 1);
    for (const Ref<LNNode>& child : line->childList()) {
        if (child->name() != u"CONT") continue;
        value += u'\n';
        if (child->value()) value += child->value().view();
    }
    return value;
}

bool isPointerText(StringView value) {
    return value.size() >= 3 && value.front() == u'@' && value.back() == u'@' && value[1] != u'@';
}

} // namespace

bool LNGedcom7Grammar::isGedcom7Grammar(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::string first;
    return file && std::getline(file, first) && first == firstLine;
}

std::unique_ptr<LNGedcom7Grammar> LNGedcom7Grammar::initFromFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return nullptr;
    std::ostringstream text;
    text << file.rdbuf();
    return initFromString(text.str());
}

std::unique_ptr<LNGedcom7Grammar> LNGedcom7Grammar::initFromString(std::string_view text) {
    std::vector<std::string_view> lines = split(text, '\n');
    if (lines.empty() || lines.front() != firstLine) return nullptr;
    auto grammar = std::make_unique<LNGedcom7Grammar>();
    // Structures and sets first, so that the other lines may name them in any order.
    std::vector<std::vector<std::string_view>> later;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        std::vector<std::string_view> fields = split(lines[i], '\t');
        if (fields[0] == "structure" && fields.size() >= 4) {
            grammar->byId_.emplace(std::string(fields[1]),
                                   static_cast<std::uint32_t>(grammar->structures_.size()));
            Structure& structure = grammar->structures_.emplace_back();
            structure.id = fromAscii(fields[1]);
            structure.tag = SharedString::interned(fromAscii(fields[2]));
        } else if (fields[0] == "enum" && fields.size() >= 2) {
            grammar->enumSetById_.emplace(std::string(fields[1]),
                                          static_cast<std::uint32_t>(grammar->enumSets_.size()));
            std::vector<String>& values = grammar->enumSets_.emplace_back();
            for (std::size_t v = 2; v < fields.size(); ++v)
                values.push_back(fromAscii(fields[v]));
            continue;
        }
        later.push_back(std::move(fields));
    }
    for (const std::vector<std::string_view>& fields : later)
        if (!grammar->readLine(fields)) return nullptr;
    return grammar;
}

std::uint32_t LNGedcom7Grammar::structureIndex(std::string_view id) const {
    auto found = byId_.find(std::string(id));
    return found == byId_.end() ? none : found->second;
}

bool LNGedcom7Grammar::readLine(const std::vector<std::string_view>& fields) {
    if (fields[0] == "structure") {
        if (fields.size() < 4) return false;
        Structure& structure = structures_[structureIndex(fields[1])];
        std::optional<Gedcom7Payload> payload = gedcom7PayloadNamed(fields[3]);
        if (!payload) return false;
        structure.payload = *payload;
        if (*payload == Gedcom7Payload::pointer) {
            structure.pointsTo = structureIndex(fields[3].substr(fields[3].find(':') + 1));
            return structure.pointsTo != none;
        }
        if (*payload != Gedcom7Payload::enumeration && *payload != Gedcom7Payload::enumList) return true;
        auto set = fields.size() > 4 ? enumSetById_.find(std::string(fields[4])) : enumSetById_.end();
        if (set == enumSetById_.end()) return false;
        structure.enumSet = set->second;
        return true;
    }
    if (fields[0] == "record" && fields.size() == 2) {
        const std::uint32_t record = structureIndex(fields[1]);
        if (record == none) return false;
        recordByTag_[structures_[record].tag.view()] = record;
        return true;
    }
    if (fields[0] == "sub" && fields.size() == 5) {
        const std::uint32_t parent = structureIndex(fields[1]), child = structureIndex(fields[2]);
        if (parent == none || child == none) return false;
        Structure& owner = structures_[parent];
        owner.subByTag[structures_[child].tag.view()] = static_cast<std::uint32_t>(owner.subs.size());
        owner.subByInterned[structures_[child].tag.view().data()] =
            static_cast<std::uint32_t>(owner.subs.size());
        if (fields[3] != "0") owner.required.push_back(static_cast<std::uint32_t>(owner.subs.size()));
        owner.subs.push_back({child, fields[4] == "1"});
        return true;
    }
    return false;
}

// ---------------------------------------------------------------------------
// Validation

namespace {

void markAll(LNNode* top, LNNode::Mark mark) {
    forEachPreOrder(top, [mark](LNNode* line, std::size_t) { line->setMark(mark); });
}

void addFinding(std::vector<LNGedcomProblem>& findings, ErrorKind kind, const LNNode* line, String text) {
    findings.push_back({kind, lineOf(line), LNProblemFinding::none, std::move(text), {}, 0});
}

} // namespace

std::uint32_t LNGedcom7Grammar::recordStructure(const LNNode* root) const {
    auto found = recordByTag_.find(root->name().view());
    return found == recordByTag_.end() ? none : found->second;
}

std::uint32_t LNGedcom7Grammar::subIndex(const Structure& structure, const SharedString& tag) {
    auto interned = structure.subByInterned.find(tag.view().data());
    if (interned != structure.subByInterned.end()) return interned->second;
    auto found = structure.subByTag.find(tag.view());
    return found == structure.subByTag.end() ? none : found->second;
}

bool LNGedcom7Grammar::reportedAlready(const LNNode* line) const {
    const std::int32_t number = lineOf(line);
    while (nextReported_ < reported_.size() && reported_[nextReported_] < number)
        ++nextReported_;
    return nextReported_ < reported_.size() && reported_[nextReported_] == number;
}

void LNGedcom7Grammar::validateRecord(LNNode* root, std::vector<LNGedcomProblem>& findings) const {
    if (!root) return;
    if (!isExtensionTag(root->name().view()) && recordStructure(root) == none) {
        addFinding(findings, LNGedcomProblemStructure, root,
                   root->name().str() + u" is not allowed as a record");
        markAll(root, LNNode::Mark::bad);
        return;
    }
    nextReported_ = static_cast<std::size_t>(
        std::lower_bound(reported_.begin(), reported_.end(), lineOf(root)) - reported_.begin());
    frames_.clear();
    counts_.clear();
    forEachPreOrder(
        root, [&](LNNode* line, std::size_t depth) { return enterLine(line, depth, findings); },
        [&](LNNode* line, std::size_t depth) { leaveLine(line, depth, findings); });
}

bool LNGedcom7Grammar::enterLine(LNNode* line, std::size_t depth,
                                 std::vector<LNGedcomProblem>& findings) const {
    std::uint32_t structure = none;
    if (depth == 0) {
        structure = recordStructure(line);
    } else if (const std::uint32_t parent = frames_[depth - 1].structure; parent != none) {
        const StringView tag = line->name().view();
        if (tag == u"CONT") {
            // Part of its parent's value, checked there.
            line->setMark(LNNode::Mark::good);
            return false;
        }
        if (!isExtensionTag(tag)) {
            const Structure& owner = structures_[parent];
            const std::uint32_t sub = subIndex(owner, line->name());
            if (sub == none) {
                addFinding(findings, LNGedcomProblemStructure, line,
                           String(tag) + u" is not allowed directly under " + owner.tag.str());
                markAll(line, LNNode::Mark::bad);
                frames_[depth - 1].badBelow = true;
                return false;
            }
            Frame& parentFrame = frames_[depth - 1];
            if (++counts_[parentFrame.firstCount + sub] == 2 && owner.subs[sub].single)
                parentFrame.repeated = true;
            structure = owner.subs[sub].structure;
        }
    }
    // Extension lines and all below them are taken as they are.
    line->setMark(LNNode::Mark::good);
    const std::size_t firstCount = counts_.size();
    if (structure != none) {
        counts_.resize(firstCount + structures_[structure].subs.size(), 0);
        const std::size_t before = findings.size();
        checkPayload(line, structures_[structure], findings);
        if (findings.size() != before) line->setMark(LNNode::Mark::bad);
    }
    if (!reported_.empty() && reportedAlready(line)) line->setMark(LNNode::Mark::bad);
    frames_.push_back({structure, firstCount, false, false});
    return true;
}

void LNGedcom7Grammar::leaveLine(LNNode* line, std::size_t depth,
                                 std::vector<LNGedcomProblem>& findings) const {
    Frame& frame = frames_.back();
    if (frame.structure != none) {
        const Structure& structure = structures_[frame.structure];
        for (const std::uint32_t i : structure.required) {
            if (counts_[frame.firstCount + i] != 0) continue;
            const Structure& sub = structures_[structure.subs[i].structure];
            addFinding(findings, LNGedcomProblemCount, line,
                       structure.tag.str() + u" needs a " + sub.tag.str() + u" line");
            line->setMark(LNNode::Mark::bad);
        }
        for (std::size_t i = 0; frame.repeated && i < structure.subs.size(); ++i) {
            const std::uint32_t count = counts_[frame.firstCount + i];
            if (!structure.subs[i].single || count < 2) continue;
            reportExtras(line, structure, structures_[structure.subs[i].structure], count, findings);
            frame.badBelow = true;
        }
    }
    if (frame.badBelow && line->mark() == LNNode::Mark::good) line->setMark(LNNode::Mark::badChild);
    counts_.resize(frame.firstCount);
    frames_.pop_back();
    if (depth > 0 && line->mark() != LNNode::Mark::good) frames_.back().badBelow = true;
}

void LNGedcom7Grammar::reportExtras(LNNode* parent, const Structure& structure, const Structure& sub,
                                    std::uint32_t count, std::vector<LNGedcomProblem>& findings) const {
    const bool isRecord = parent->parent() == nullptr;
    const SharedString& key = static_cast<const LNGedcomNode*>(parent)->key();
    String owner = isRecord ? String(recordNoun(structure.id)) : u"a " + structure.tag.str();
    String who = isRecord && key ? String(stripAts(key.view())) : String(u"this one");
    String text = owner + u" may have at most one " + sub.tag.str() + u" line; " + who + u" has " +
                  fromUtf8(std::to_string(count));
    std::uint32_t seen = 0;
    for (const Ref<LNNode>& child : parent->childList()) {
        if (child->name() != sub.tag || ++seen == 1) continue;
        addFinding(findings, LNGedcomProblemCount, child.get(), text);
        child->setMark(LNNode::Mark::bad);
    }
}

void LNGedcom7Grammar::checkPayload(const LNNode* line, const Structure& structure,
                                    std::vector<LNGedcomProblem>& findings) const {
    const StringView written = line->value() ? line->value().view() : StringView();
    const bool plain = !written.starts_with(u"@@") && !line->childWithName(u"CONT");
    const String joined = plain ? String() : payloadOf(line);
    const StringView value = plain ? written : StringView(joined);
    const Gedcom7Payload kind = structure.payload;
    auto say = [&](StringView before, StringView after) {
        addFinding(findings, LNGedcomProblemPayload, line,
                   structure.tag.str() + String(before) + String(after));
    };
    if (value.empty()) {
        if (!allowsEmptyPayload(kind)) say(u" has no value; a value is required", u"");
    } else if (kind == Gedcom7Payload::none) {
        say(u" is " + String(value), u"; no value is allowed here");
    } else if (kind == Gedcom7Payload::pointer) {
        checkPointer(line, value, structure, findings);
    } else if (plain && isPointerText(value)) {
        say(u" points to " + String(value),
            u"; it needs " + String(payloadDescription(kind)) + u", not a pointer");
    } else if (kind == Gedcom7Payload::enumeration || kind == Gedcom7Payload::enumList) {
        if (!fitsEnumeration(value, structure.enumSet, kind == Gedcom7Payload::enumList))
            say(u" is " + String(value), u"; allowed are " + allowedValues(structure.enumSet));
    } else if (kind == Gedcom7Payload::flag) {
        if (value != u"Y") say(u" is " + String(value), u"; allowed are Y or nothing");
    } else if (!payloadFits(kind, value)) {
        say(u" " + String(value), u" is not " + String(payloadDescription(kind)));
    }
}

void LNGedcom7Grammar::checkPointer(const LNNode* line, StringView value, const Structure& structure,
                                    std::vector<LNGedcomProblem>& findings) const {
    if (value == u"@VOID@" || isPointerText(value)) return;
    addFinding(findings, LNGedcomProblemPayload, line,
               structure.tag.str() + u" is " + String(value) + u"; it must point to " +
                   String(recordNoun(structures_[structure.pointsTo].id)) + u" (@KEY@ or @VOID@)");
}

bool LNGedcom7Grammar::fitsEnumeration(StringView value, std::uint32_t set, bool list) const {
    const std::vector<String>& values = enumSets_[set];
    auto fits = [&values](StringView item) {
        return isExtensionTag(item) || std::find(values.begin(), values.end(), item) != values.end();
    };
    if (!list) return fits(value);
    const std::vector<StringView> items = listItems(value);
    return std::all_of(items.begin(), items.end(), fits);
}

String LNGedcom7Grammar::allowedValues(std::uint32_t set) const {
    String text;
    for (const String& value : enumSets_[set]) {
        if (!text.empty()) text += u", ";
        text += value;
    }
    return text;
}

} // namespace kinloom
