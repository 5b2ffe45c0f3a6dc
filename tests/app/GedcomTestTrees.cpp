#include "GedcomTestTrees.h"

#include "TextServices.h"

#include <fstream>
#include <iterator>

namespace kinloom::testing {

std::vector<Ref<LNGedcomNode>> recordsFromText(StringView text) {
    std::vector<Ref<LNGedcomNode>> records;
    std::vector<LNGedcomNode*> path; // the last line of each level of the current record
    std::int32_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find_first_of(u"\r\n", start);
        if (end == StringView::npos) end = text.size();
        StringView line = text.substr(start, end - start);
        ++lineNumber;
        start = end + 1;
        if (end + 1 < text.size() && text[end] == u'\r' && text[end + 1] == u'\n') ++start;

        std::optional<ErrorKind> error;
        Ref<LNGedcomNode> node = LNGedcomNode::initFromString(line, &error);
        if (!node || node->level() < 0) continue;
        node->setLineNumber(lineNumber);
        if (node->level() == 0) {
            records.push_back(node);
            path.assign(1, node.get());
            continue;
        }
        if (path.empty()) continue;
        while (path.size() > static_cast<std::size_t>(node->level()))
            path.pop_back();
        path.back()->addChild(node);
        path.push_back(node.get());
    }
    return records;
}

std::optional<String> readTestFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.find('\0') != std::string::npos) return std::nullopt;
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) bytes.erase(0, 3);
    return fromUtf8(bytes);
}

std::string marksOf(const LNNode* root) {
    std::string out;
    std::vector<std::pair<const LNNode*, int>> pending{{root, 0}};
    while (!pending.empty()) {
        auto [node, depth] = pending.back();
        pending.pop_back();
        const SharedString* mark = LNGedcomSpecification::markOf(node);
        out += std::string(static_cast<std::size_t>(depth) * 2, ' ') + toUtf8(node->name()) + " " +
               (mark ? toUtf8(*mark) : std::string("-")) + "\n";
        for (int i = node->numChildren() - 1; i >= 0; --i)
            pending.emplace_back(node->childAt(i), depth + 1);
    }
    return out;
}

} // namespace kinloom::testing
