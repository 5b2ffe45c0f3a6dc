#include "LNGedcomSpecification.h"

#include "SystemLog.h"
#include "TextServices.h"

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

void setMark(LNNode* node, const SharedString& mark) {
    const SharedString* current = LNGedcomSpecification::markOf(node);
    if (current && *current == mark) return;
    node->setAttribute(mark, LNGedcomSpecification::validCodeKey());
}

bool isGood(const LNNode* node) {
    const SharedString* mark = LNGedcomSpecification::markOf(node);
    return mark && *mark == LNGedcomSpecification::goodMark();
}

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
    enum class State { BetweenRules, AfterRuleName, InBody, InTagSet };
    dex_ = 0;
    Ref<LNNode> rules = makeGrammarNode(SharedString(u"rules"));
    State state = State::BetweenRules;
    bool error = false;
    Ref<LNNode> rule;
    LNNode* parent = nullptr; // where new items go: the rule or the item whose group is open
    Ref<LNNode> lastItem;
    bool afterItem = false; // whether the previous token ended an item, so that a group may follow
    std::vector<String> tags;
    SharedString text;
    for (;;) {
        int token = getToken(text);
        if (token == TokenEnd || error) break;
        bool endsItem = false;
        switch (state) {
        case State::BetweenRules:
            if (token != TokenRuleName) {
                error = true;
                break;
            }
            rule = makeGrammarNode(text);
            parent = rule.get();
            state = State::AfterRuleName;
            break;
        case State::AfterRuleName:
            if (token == TokenColon)
                state = State::InBody;
            else
                error = true;
            break;
        case State::InBody:
            switch (token) {
            case TokenTag:
                lastItem = appendItem(parent, text, typeTag);
                endsItem = true;
                break;
            case TokenRuleName:
                lastItem = appendItem(parent, text, typeRule);
                endsItem = true;
                break;
            case TokenOpenTagSet:
                lastItem = appendItem(parent, SharedString::interned(typeTagSet), typeTagSet);
                tags.clear();
                state = State::InTagSet;
                break;
            case TokenOpenGroup:
                if (afterItem)
                    parent = lastItem.get();
                else
                    error = true;
                break;
            case TokenCloseGroup:
                parent = parent->parent();
                if (!parent) error = true;
                break;
            case TokenSemicolon:
                if (parent->parent()) {
                    error = true;
                    break;
                }
                rules->addChild(rule);
                state = State::BetweenRules;
                break;
            default:
                error = true;
            }
            break;
        case State::InTagSet:
            if (token == TokenTag) {
                tags.push_back(text.str());
            } else if (token == TokenCloseTagSet) {
                lastItem->setAttribute(tags, tagArrayKey);
                state = State::InBody;
                endsItem = true;
            } else {
                error = true;
            }
            break;
        }
        afterItem = endsItem;
    }
    if (error) return nullptr;
    return rules;
}

// ---------------------------------------------------------------------------
// Validation

const SharedString& LNGedcomSpecification::goodMark() {
    static const SharedString mark(u"good");
    return mark;
}

const SharedString& LNGedcomSpecification::badChildMark() {
    static const SharedString mark(u"badchild");
    return mark;
}

const SharedString& LNGedcomSpecification::badMark() {
    static const SharedString mark(u"bad");
    return mark;
}

const SharedString* LNGedcomSpecification::markOf(const LNNode* node) {
    return attributeString(node->attributeForKey(validCodeKey()));
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
    std::vector<Attempt>& attempts = attempts_;
    std::vector<Frame>& frames = frames_;
    setMark(top, goodMark());
    frames.assign(1, Frame{top, 0, 0, false});
    for (;;) {
        Frame& frame = frames.back();
        std::size_t firstChildAttempt = attempts.size();
        if (frame.nextChild < frame.node->numChildren()) {
            LNNode* child = frame.node->childAt(frame.nextChild++);
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
                continue;
            }
            setMark(child, goodMark());
            frames.push_back({child, firstChildAttempt, 0, false});
            continue;
        }
        // The line is done: its mark is "good" from the start of its match.
        if (finish && frame.badBelow) setMark(frame.node, badChildMark());
        if (frames.size() == 1) break;
        std::size_t doneFirstAttempt = frame.firstAttempt;
        bool doneBadBelow = frame.badBelow;
        frames.pop_back();
        if (doneBadBelow) frames.back().badBelow = true;
        // The finished line fits below each of its parent's attempts that
        // offered it an item it fits.
        for (std::size_t i = frames.back().firstAttempt; i < doneFirstAttempt; ++i) {
            Attempt& attempt = attempts[i];
            if (!attempt.fits) continue;
            const std::vector<Alternative>* offered = attempt.forChild;
            auto fitsOffered = [offered](const Attempt& a) {
                return a.fits && std::any_of(offered->begin(), offered->end(),
                                             [&a](const Alternative& o) { return o.item == a.item; });
            };
            attempt.fits =
                offered && std::any_of(attempts.begin() + static_cast<std::ptrdiff_t>(doneFirstAttempt),
                                       attempts.end(), fitsOffered);
        }
        attempts.resize(doneFirstAttempt);
    }
    bool fits = std::any_of(attempts.begin(), attempts.end(), [](const Attempt& a) { return a.fits; });
    attempts.clear();
    return fits;
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
    if (!node) return;
    std::vector<LNNode*> pending{node};
    while (!pending.empty()) {
        LNNode* current = pending.back();
        pending.pop_back();
        if (!markOf(current)) setMark(current, badMark());
        for (int i = current->numChildren() - 1; i >= 0; --i)
            pending.push_back(current->childAt(i));
    }
}

void LNGedcomSpecification::setBadChildren(LNNode* node) {
    if (!node || !isGood(node)) return;
    struct Frame {
        LNNode* node;
        int nextChild;
    };
    std::vector<Frame> frames{{node, 0}};
    while (!frames.empty()) {
        Frame& frame = frames.back();
        if (frame.nextChild < frame.node->numChildren()) {
            LNNode* child = frame.node->childAt(frame.nextChild++);
            if (isGood(child))
                frames.push_back({child, 0});
            else
                setMark(frame.node, badChildMark());
            continue;
        }
        LNNode* done = frame.node;
        frames.pop_back();
        if (!frames.empty() && !isGood(done)) setMark(frames.back().node, badChildMark());
    }
}

} // namespace kinloom
