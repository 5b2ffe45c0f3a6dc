#include "LNGedcomSpecification.h"

#include "tree/PreOrderWalk.h"
#include "support/SystemLog.h"
#include "support/TextServices.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <optional>
#include <unordered_set>
#include <variant>

namespace kinloom {

namespace {

constexpr StringView typeKey = u"type";
constexpr StringView tagArrayKey = u"tagarray";
constexpr StringView typeTag = u"tag";
constexpr StringView typeRule = u"rule";
constexpr StringView typeTagSet = u"tagset";

bool isLower(int c) {
    return c >= 'a' && c <= 'z';
}
bool isUpper(int c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigitOrUnderscore(int c) {
    return (c >= '0' && c <= '9') || c == '_';
}
bool continuesRuleName(int c) {
    return isLower(c) || isDigitOrUnderscore(c);
}
bool continuesTag(int c) {
    return isUpper(c) || isDigitOrUnderscore(c);
}

Ref<LNNode> makeGrammarNode(SharedString name) {
    return makeRef<LNNode>(std::move(name), SharedString(), nullptr);
}

Ref<LNNode> appendItem(LNNode* parent, SharedString name, StringView type) {
    Ref<LNNode> item = makeGrammarNode(std::move(name));
    item->setAttribute(SharedString::interned(type), typeKey);
    parent->addChild(item);
    return item;
}

bool hasType(const LNNode* item, StringView type) {
    const SharedString* text = attributeString(item->attributeForKey(typeKey));
    return text && *text == type;
}

/// The whole file, or nothing when it cannot be read.
std::optional<std::string> readFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return std::nullopt;
    std::string bytes;
    char chunk[65536];
    std::size_t got;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.append(chunk, got);
    bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) return std::nullopt;
    return bytes;
}

bool isGood(const LNNode* node) {
    return node->mark() == LNNode::Mark::good;
}

// The grammar parser's state between tokens: a state table over the tokens
// of getToken.
class GrammarParse {
  public:
    using Spec = LNGedcomSpecification;
    Ref<LNNode> rules = makeGrammarNode(SharedString(u"rules"));

    /// Takes the next token; false on a syntax error.
    bool take(int token, const SharedString& text) {
        bool endsItem = false;
        switch (state_) {
        case State::BetweenRules:
            if (token != Spec::TokenRuleName) return false;
            rule_ = makeGrammarNode(text);
            parent_ = rule_.get();
            state_ = State::AfterRuleName;
            break;
        case State::AfterRuleName:
            if (token != Spec::TokenColon) return false;
            state_ = State::InBody;
            break;
        case State::InBody:
            if (!inBody(token, text, endsItem)) return false;
            break;
        case State::InTagSet:
            if (token == Spec::TokenTag) {
                tags_.push_back(text.str());
            } else if (token == Spec::TokenCloseTagSet) {
                lastItem_->setAttribute(tags_, tagArrayKey);
                state_ = State::InBody;
                endsItem = true;
            } else {
                return false;
            }
            break;
        }
        afterItem_ = endsItem;
        return true;
    }

  private:
    enum class State { BetweenRules, AfterRuleName, InBody, InTagSet };

    bool inBody(int token, const SharedString& text, bool& endsItem) {
        switch (token) {
        case Spec::TokenTag:
        case Spec::TokenRuleName:
            lastItem_ = appendItem(parent_, text, token == Spec::TokenTag ? typeTag : typeRule);
            endsItem = true;
            return true;
        case Spec::TokenOpenTagSet:
            lastItem_ = appendItem(parent_, SharedString::interned(typeTagSet), typeTagSet);
            tags_.clear();
            state_ = State::InTagSet;
            return true;
        case Spec::TokenOpenGroup:
            if (!afterItem_) return false;
            parent_ = lastItem_.get();
            return true;
        case Spec::TokenCloseGroup:
            parent_ = parent_->parent();
            return parent_ != nullptr;
        case Spec::TokenSemicolon:
            if (parent_->parent()) return false;
            rules->addChild(rule_);
            state_ = State::BetweenRules;
            return true;
        default:
            return false;
        }
    }

    State state_ = State::BetweenRules;
    Ref<LNNode> rule_;
    LNNode* parent_ = nullptr; // where new items go: the rule or the item whose group is open
    Ref<LNNode> lastItem_;
    bool afterItem_ = false; // whether the previous token ended an item, so that a group may follow
    std::vector<String> tags_;
};

} // namespace

LNGedcomSpecification::LNGedcomSpecification(String specification)
    : specification_(std::move(specification)) {}

std::unique_ptr<LNGedcomSpecification> LNGedcomSpecification::initFromFile(const std::string& path) {
    std::optional<std::string> bytes = readFile(path);
    if (!bytes) return nullptr;
    if (std::any_of(bytes->begin(), bytes->end(), [](char c) { return (c & 0x80) != 0; })) return nullptr;
    return initFromString(String(bytes->begin(), bytes->end()));
}

std::unique_ptr<LNGedcomSpecification> LNGedcomSpecification::initFromString(StringView text) {
    // The read position is a 32-bit index.
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return nullptr;
    auto specification = std::make_unique<LNGedcomSpecification>(String(text));
    Ref<LNNode> rules = specification->parseSpecification();
    if (!rules) return nullptr;
    specification->buildTables(rules);
    return specification;
}

void LNGedcomSpecification::buildTables(const Ref<LNNode>& rules) {
    rules_ = rules;
    ruleMap_.reserve(16);
    recordMap_.reserve(8);
    for (int i = 0; i < rules->numChildren(); ++i) {
        LNNode* rule = rules->childAt(i);
        if (rule->name().view().find(u"record") != StringView::npos && rule->numChildren() > 0) {
            LNNode* first = rule->childAt(0);
            recordMap_[first->name()] = Ref<LNNode>(first);
        }
        ruleMap_[rule->name()] = Ref<LNNode>(rule);
    }
}

int LNGedcomSpecification::getChar() {
    if (static_cast<std::size_t>(dex_) >= specification_.size()) return TokenEnd;
    return specification_[static_cast<std::size_t>(dex_++)];
}

void LNGedcomSpecification::ungetChar() {
    --dex_;
}

int LNGedcomSpecification::getToken(SharedString& out) {
    int c;
    do {
        c = getChar();
    } while (c == ' ' || c == '\t' || c == '\r' || c == '\n');
    out = SharedString();
    switch (c) {
    case TokenEnd:
    case TokenColon:
    case TokenOpenGroup:
    case TokenCloseGroup:
    case TokenOpenTagSet:
    case TokenCloseTagSet:
    case TokenSemicolon:
        return c;
    default:
        break;
    }
    bool (*continues)(int) = nullptr;
    int code = TokenEnd;
    if (isLower(c)) {
        continues = continuesRuleName;
        code = TokenRuleName;
    } else if (isUpper(c)) {
        continues = continuesTag;
        code = TokenTag;
    } else {
        char16_t unit = static_cast<char16_t>(c);
        systemLog("Specification error on character " + toUtf8(StringView(&unit, 1)));
        return TokenEnd;
    }
    token_.assign(1, static_cast<char16_t>(c));
    while ((c = getChar()) != TokenEnd && continues(c))
        token_.push_back(static_cast<char16_t>(c));
    if (c != TokenEnd) ungetChar();
    out = SharedString::interned(token_);
    return code;
}

Ref<LNNode> LNGedcomSpecification::parseSpecification() {
    dex_ = 0;
    GrammarParse parse;
    bool error = false;
    SharedString text;
    for (;;) {
        // A token is read after an error too, as the error's end.
        int token = getToken(text);
        if (token == TokenEnd || error) break;
        error = !parse.take(token, text);
    }
    if (error) return nullptr;
    return parse.rules;
}

// ---------------------------------------------------------------------------
// Validation

const SharedString& LNGedcomSpecification::goodMark() {
    return LNNode::markText(LNNode::Mark::good);
}

const SharedString& LNGedcomSpecification::badChildMark() {
    return LNNode::markText(LNNode::Mark::badChild);
}

const SharedString& LNGedcomSpecification::badMark() {
    return LNNode::markText(LNNode::Mark::bad);
}

const SharedString* LNGedcomSpecification::markOf(const LNNode* node) {
    if (LNNode::Mark mark = node->mark(); mark != LNNode::Mark::none) return &LNNode::markText(mark);
    // Another text under the key, which only the map holds.
    const AttributeMap* map = node->attributes();
    return map ? attributeString(map->get(validCodeKey())) : nullptr;
}

LNGedcomSpecification::AlternativeIndex LNGedcomSpecification::indexAlternatives(const LNNode* group) const {
    AlternativeIndex index;
    auto add = [&index](const SharedString& tag, const LNNode* item) {
        std::vector<Alternative>& items = index[tag];
        if (std::none_of(items.begin(), items.end(), [item](const Alternative& a) { return a.item == item; }))
            items.push_back({item, nullptr});
    };
    // Rule items are replaced by their rules' items, depth first. A rule met a
    // second time adds nothing new, which also ends cycles through rule items.
    std::unordered_set<const LNNode*> expandedRules;
    std::vector<std::pair<const LNNode*, int>> lists{{group, 0}};
    while (!lists.empty()) {
        auto& [list, next] = lists.back();
        if (next >= list->numChildren()) {
            lists.pop_back();
            continue;
        }
        const LNNode* item = list->childAt(next++);
        if (hasType(item, typeRule)) {
            auto rule = ruleMap_.find(item->name());
            if (rule != ruleMap_.end() && expandedRules.insert(rule->second.get()).second)
                lists.emplace_back(rule->second.get(), 0);
        } else if (hasType(item, typeTagSet)) {
            if (auto* tags = std::get_if<std::vector<String>>(item->attributeForKey(tagArrayKey)))
                for (const String& tag : *tags)
                    add(SharedString::interned(tag), item);
        } else {
            add(item->name(), item);
        }
    }
    return index;
}

const LNGedcomSpecification::AlternativeIndex&
LNGedcomSpecification::alternativesOf(const LNNode* group) const {
    static const AlternativeIndex none;
    if (!group) return none;
    auto found = alternatives_.find(group);
    if (found != alternatives_.end()) return found->second.byTag;
    Alternatives& entry = alternatives_[group];
    entry.group = Ref<const LNNode>(group);
    entry.byTag = indexAlternatives(group);
    return entry.byTag;
}

const std::vector<LNGedcomSpecification::Alternative>*
LNGedcomSpecification::alternativesFor(const LNNode* group, const SharedString& tag) const {
    const AlternativeIndex& index = alternativesOf(group);
    auto found = index.find(tag);
    return found == index.end() ? nullptr : &found->second;
}

const LNGedcomSpecification::AlternativeIndex&
LNGedcomSpecification::alternativesBelow(const Alternative& alternative) const {
    if (!alternative.below) alternative.below = &alternativesOf(alternative.item);
    return *alternative.below;
}

// Every item a line is accepted by is matched once against its lines below,
// however many ways the grammar reaches that item: a line's marks depend only
// on which items accept it, so matching the same item again could only repeat
// them. The walk keeps its own stack, one frame per level, with the attempts
// of each line on the path from the top stacked the same way.
//
// With finish, the walk also does what setBads and setBadChildren would do
// afterwards, while each line is at hand: once a line's subtree is matched,
// nothing changes its marks any more, so the lines below it no alternative
// accepted can be marked and its own "badchild" decided there. One walk over
// a record instead of three saves most of the time on large files.
bool LNGedcomSpecification::matchSubtree(LNNode* top, bool finish) const {
    top->setMark(LNNode::Mark::good);
    frames_.assign(1, Frame{0, false});
    forEachPreOrder(
        top, [&](LNNode* line, std::size_t depth) { return depth == 0 || enterLine(line, finish); },
        [&](LNNode* line, std::size_t) { leaveLine(line, finish); });
    bool fits = std::any_of(attempts_.begin(), attempts_.end(), [](const Attempt& a) { return a.fits; });
    attempts_.clear();
    return fits;
}

bool LNGedcomSpecification::enterLine(LNNode* child, bool finish) const {
    std::vector<Attempt>& attempts = attempts_;
    Frame& frame = frames_.back();
    std::size_t firstChildAttempt = attempts.size();
    for (std::size_t i = frame.firstAttempt; i < firstChildAttempt; ++i) {
        const AlternativeIndex& below = *attempts[i].below;
        auto found = below.find(child->name());
        attempts[i].forChild = found == below.end() ? nullptr : &found->second;
        if (!attempts[i].forChild) continue;
        for (const Alternative& offered : *attempts[i].forChild) {
            auto begin = attempts.begin() + static_cast<std::ptrdiff_t>(firstChildAttempt);
            if (std::none_of(begin, attempts.end(),
                             [&offered](const Attempt& a) { return a.item == offered.item; }))
                attempts.push_back({offered.item, &alternativesBelow(offered), nullptr, true});
        }
    }
    if (attempts.size() == firstChildAttempt) {
        // No alternative accepts the child's tag: matching leaves it unmarked.
        for (std::size_t i = frame.firstAttempt; i < firstChildAttempt; ++i)
            attempts[i].fits = false;
        if (finish) {
            setBads(child);
            setBadChildren(child);
            if (!isGood(child)) frame.badBelow = true;
        }
        return false;
    }
    child->setMark(LNNode::Mark::good);
    frames_.push_back({firstChildAttempt, false});
    return true;
}

void LNGedcomSpecification::leaveLine(LNNode* line, bool finish) const {
    // The line is done: its mark is "good" from the start of its match.
    const Frame done = frames_.back();
    if (finish && done.badBelow) line->setMark(LNNode::Mark::badChild);
    if (frames_.size() == 1) return; // the top: its attempts are the answer
    frames_.pop_back();
    if (done.badBelow) frames_.back().badBelow = true;
    // The finished line fits below each of its parent's attempts that
    // offered it an item it fits.
    for (std::size_t i = frames_.back().firstAttempt; i < done.firstAttempt; ++i) {
        Attempt& attempt = attempts_[i];
        if (!attempt.fits) continue;
        const std::vector<Alternative>* offered = attempt.forChild;
        auto fitsOffered = [offered](const Attempt& a) {
            return a.fits && std::any_of(offered->begin(), offered->end(),
                                         [&a](const Alternative& o) { return o.item == a.item; });
        };
        attempt.fits =
            offered && std::any_of(attempts_.begin() + static_cast<std::ptrdiff_t>(done.firstAttempt),
                                   attempts_.end(), fitsOffered);
    }
    attempts_.resize(done.firstAttempt);
}

bool LNGedcomSpecification::validateList(LNNode* node, const LNNode* alternatives) const {
    if (!node) return false;
    attempts_.assign(1, Attempt{alternatives, &alternativesOf(alternatives), nullptr, true});
    return matchSubtree(node, false);
}

bool LNGedcomSpecification::validateNode(LNNode* node, const LNNode* alternatives) const {
    if (!node) return false;
    const std::vector<Alternative>* offered = alternativesFor(alternatives, node->name());
    if (!offered) return false;
    attempts_.clear();
    for (const Alternative& alternative : *offered)
        attempts_.push_back({alternative.item, &alternativesBelow(alternative), nullptr, true});
    return matchSubtree(node, false);
}

void LNGedcomSpecification::validateRecord(LNNode* root) const {
    if (!root) return;
    auto record = recordMap_.find(root->name());
    if (record == recordMap_.end()) {
        setBads(root);
        setBadChildren(root);
        return;
    }
    // Does what validateList followed by setBads and setBadChildren would.
    attempts_.assign(1, Attempt{record->second.get(), &alternativesOf(record->second.get()), nullptr, true});
    matchSubtree(root, true);
}

void LNGedcomSpecification::setBads(LNNode* node) {
    forEachPreOrder(node, [](LNNode* line, std::size_t) {
        if (!markOf(line)) line->setMark(LNNode::Mark::bad);
    });
}

void LNGedcomSpecification::setBadChildren(LNNode* node) {
    if (!node || !isGood(node)) return;
    // A line that is not "good" turns its parent "badchild"; the walk goes
    // below "good" lines only.
    std::vector<LNNode*> path; // the lines from node down to the one entered
    forEachPreOrder(
        node,
        [&](LNNode* line, std::size_t depth) {
            path.resize(depth);
            path.push_back(line);
            if (depth == 0 || isGood(line)) return true;
            path[depth - 1]->setMark(LNNode::Mark::badChild);
            return false;
        },
        [&](LNNode* line, std::size_t depth) {
            if (depth > 0 && !isGood(line)) path[depth - 1]->setMark(LNNode::Mark::badChild);
        });
}

} // namespace kinloom
