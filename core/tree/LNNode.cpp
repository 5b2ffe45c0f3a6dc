#include "tree/LNNode.h"

#include "memory/BackgroundRelease.h"
#include "tree/LNGedcomNode.h"
#include "memory/LoadArena.h"
#include "tree/PreOrderWalk.h"
#include "support/TextServices.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

namespace kinloom {
namespace {

// The counts of the threads that have ended.
std::atomic<long> endedAllocated{0};
std::atomic<long> endedDeallocated{0};

// What each thread keeps for its own nodes: the counts, so that a thread
// helping to load counts without locking, and the release work list (see
// NodeReleaser). The counts join the ended threads' as the thread ends.
struct ThreadNodes {
    long allocated = 0;
    long deallocated = 0;
    std::vector<LNNode*> pending;
    bool draining = false;
    ~ThreadNodes() {
        endedAllocated += allocated;
        endedDeallocated += deallocated;
    }
};

// The one thread-local state of the node tree.
thread_local ThreadNodes threadNodes;

// Names in a path search match when they are canonically equivalent.
bool equivalentNames(StringView a, StringView b) {
    if (a == b) return true;
    if (isAscii(a) && isAscii(b)) return false;
    return toNFC(a) == toNFC(b);
}

void appendIndent(String& buffer, const std::optional<String>& indent, std::size_t depth) {
    if (!indent) return;
    buffer += *indent;
    buffer.append(depth * 2, u' ');
}

String attributeText(const AttributeValue& value) {
    struct Describe {
        String operator()(const NoneMarker&) const { return u"<null>"; }
        String operator()(const SharedString& text) const { return text.str(); }
        String operator()(const std::vector<String>& list) const {
            String text = u"(";
            for (std::size_t i = 0; i < list.size(); ++i) {
                if (i > 0) text += u", ";
                text += list[i];
            }
            return text + u")";
        }
        String operator()(std::int64_t number) const {
            std::string digits = std::to_string(number);
            return String(digits.begin(), digits.end());
        }
        String operator()(const Ref<LNNode>& node) const { return node ? node->description() : u"(null)"; }
    };
    return std::visit(Describe(), value);
}

// A mark's text as an attribute value (none: the empty text).
const AttributeValue& markValue(LNNode::Mark mark) {
    static const AttributeValue values[] = {SharedString(u""), SharedString(u"good"),
                                            SharedString(u"badchild"), SharedString(u"bad")};
    return values[static_cast<int>(mark)];
}

LNNode::Mark markNamed(const AttributeValue& value) {
    const SharedString* text = std::get_if<SharedString>(&value);
    if (!text || text->empty()) return LNNode::Mark::none;
    for (auto mark : {LNNode::Mark::good, LNNode::Mark::badChild, LNNode::Mark::bad}) {
        if (*text == LNNode::markText(mark)) return mark;
    }
    return LNNode::Mark::none;
}

void appendAttribute(String& buffer, StringView key, const AttributeValue& value) {
    buffer += u' ';
    buffer += key;
    buffer += u"=\"";
    buffer += attributeText(value);
    buffer += u'"';
}

} // namespace

// Frees nodes whose count dropped to zero one at a time from a work list, so
// that releasing a deep tree never recurses: a node's destructor releases its
// children, which only adds them to the list.
class NodeReleaser {
  public:
    static void destroy(LNNode* node) {
        std::vector<LNNode*>& pending = threadNodes.pending;
        bool& draining = threadNodes.draining;
        pending.push_back(node);
        if (draining) return;
        draining = true;
        while (!pending.empty()) {
            LNNode* next = pending.back();
            pending.pop_back();
            bool line = next->isGedcomLine();
            if (next->refCount_ & LNNode::arenaFlag) {
                if (line) {
                    static_cast<LNGedcomNode*>(next)->~LNGedcomNode();
                } else {
                    next->~LNNode();
                }
                LoadArena::free(next);
            } else if (line) {
                delete static_cast<LNGedcomNode*>(next);
            } else {
                delete next;
            }
        }
        draining = false;
    }
};

LNNode::LNNode(SharedString name, SharedString value, const AttributeMap* attributes)
    : value_(std::move(value)) {
    setName(std::move(name));
    if (attributes) setAttributes(attributes);
    ++threadNodes.allocated;
}

LNNode::LNNode(std::uint32_t nameNumber, SharedString value)
    : value_(std::move(value)), nameNumber_(nameNumber) {
    ++threadNodes.allocated;
}

void LNNode::countOverflow() {
    std::fputs("kinloom: a node's reference count overflowed\n", stderr);
    std::abort();
}

void LNNode::destroy() const {
    NodeReleaser::destroy(const_cast<LNNode*>(this));
}

void LNNode::reserveChildList(std::size_t count, LoadArena* arena) {
    if (children_ && children_->capacity_ >= count) return;
    ChildList* grown = ChildList::make(count, arena);
    if (children_) {
        // A share is a plain pointer: moving the array moves the shares.
        std::memcpy(static_cast<void*>(grown->items()), children_->items(),
                    children_->size_ * sizeof(Ref<LNNode>));
        grown->size_ = children_->size_;
        children_->size_ = 0;
        ChildList::destroy(children_);
    }
    children_ = grown;
}

LNNode::~LNNode() {
    if (children_) ChildList::destroy(children_);
    if (rareIsSlice())
        rareSlice_.~SharedString();
    else
        delete rare_;
    ++threadNodes.deallocated;
}

void LNNode::setChildren(const std::vector<Ref<LNNode>>* children) {
    ChildList* old = children_;
    children_ = nullptr;
    if (children) {
        children_ = ChildList::make(children->size(), nullptr);
        for (const auto& child : *children)
            new (children_->items() + children_->size_++) Ref<LNNode>(child);
    }
    if (old) ChildList::destroy(old);
}

void LNNode::reserveChildren(int count, LoadArena* arena) {
    if (count <= 0) return;
    reserveChildList(static_cast<std::size_t>(count), arena);
}

void LNNode::addChild(Ref<LNNode> child) {
    if (!children_) {
        reserveChildList(4, nullptr);
    } else if (children_->size_ == children_->capacity_) {
        reserveChildList(std::max<std::size_t>(4, std::size_t{children_->capacity_} * 2), nullptr);
    }
    LNNode* added = child.get();
    new (children_->items() + children_->size_++) Ref<LNNode>(std::move(child));
    if (added) added->parent_ = this;
}

void LNNode::removeChildren(const std::vector<Ref<LNNode>>* nodes) {
    if (!children_ || !nodes) return;
    Ref<LNNode>* items = children_->items();
    std::uint32_t kept = 0;
    for (std::uint32_t i = 0; i < children_->size_; ++i) {
        if (std::find(nodes->begin(), nodes->end(), items[i]) != nodes->end()) {
            items[i].reset();
        } else if (kept != i) {
            items[kept++] = std::move(items[i]);
        } else {
            ++kept;
        }
    }
    for (std::uint32_t i = kept; i < children_->size_; ++i)
        items[i].~Ref();
    children_->size_ = kept;
}

std::unique_ptr<std::vector<Ref<LNNode>>> LNNode::childrenCopy() const {
    if (!children_) return nullptr;
    return std::make_unique<std::vector<Ref<LNNode>>>(children_->begin(), children_->end());
}

void LNNode::addText(StringView text) {
    if (text.empty()) return;
    if (!value_) {
        value_ = SharedString(text);
        return;
    }
    String joined = value_.str();
    joined += u' ';
    joined += text;
    value_ = SharedString(joined);
}

LNNode* LNNode::childWithName(StringView name) const {
    for (const auto& child : childList()) {
        if (child->name() == name) return child.get();
    }
    return nullptr;
}

LNNode* LNNode::nodeWithPath(const std::vector<String>& path) const {
    const LNNode* current = this;
    for (const String& step : path) {
        const LNNode* next = nullptr;
        for (const auto& child : current->childList()) {
            if (equivalentNames(child->name().view(), step)) {
                next = child.get();
                break;
            }
        }
        if (!next) return nullptr;
        current = next;
    }
    return const_cast<LNNode*>(current);
}

Ref<LNNode> LNNode::nodeWithName(StringView name, const std::vector<Ref<LNNode>>* nodes) {
    if (!nodes) return nullptr;
    for (const auto& node : *nodes) {
        if (node && node->name() == name) return node;
    }
    return nullptr;
}

Ref<LNNode> LNNode::nodeWithName(StringView name, std::vector<Ref<LNNode>>* nodes, bool remove) {
    Ref<LNNode> found = nodeWithName(name, nodes);
    if (found && remove) nodes->erase(std::remove(nodes->begin(), nodes->end(), found), nodes->end());
    return found;
}

int LNNode::treeSize() const {
    int size = 0;
    forEachPreOrder(this, [&](const LNNode*, std::size_t) { ++size; });
    return size;
}

const SharedString& LNNode::markText(Mark mark) {
    return std::get<SharedString>(markValue(mark));
}

void LNNode::setMark(Mark mark) {
    // "validcode" is in the bits or in the map, never in both.
    if (Rare* rare = rarePart(); rare && rare->hasAttributes) rare->attributes.remove(markKey);
    refCount_ = (refCount_ & ~markMask) | (static_cast<std::uint32_t>(mark) << markShift);
}

void LNNode::setAttribute(AttributeValue value, StringView key) {
    if (key == markKey) {
        Mark mark = markNamed(value);
        setMark(mark);
        if (mark != Mark::none) return;
    }
    Rare& rare = this->rare();
    rare.hasAttributes = true;
    rare.attributes.set(key, std::move(value));
}

const AttributeValue* LNNode::attributeForKey(StringView key) const {
    if (mark() != Mark::none && key == markKey) return &markValue(mark());
    const AttributeMap* map = attributes();
    return map ? map->get(key) : nullptr;
}

void LNNode::setAttributes(const AttributeMap* attributes) {
    setMark(Mark::none);
    if (attributes) {
        Rare& rare = this->rare();
        rare.attributes = *attributes;
        rare.hasAttributes = true;
        const AttributeValue* value = attributes->get(markKey);
        if (Mark mark = value ? markNamed(*value) : Mark::none; mark != Mark::none) setMark(mark);
    } else if (Rare* rare = rarePart()) {
        rare->attributes = AttributeMap();
        rare->hasAttributes = false;
    }
}

String LNNode::description() const {
    if (isGedcomLine()) return static_cast<const LNGedcomNode*>(this)->LNGedcomNode::description();
    if (!value_) return name().str();
    String text = name().str();
    text += u' ';
    text += value_.view();
    return text;
}

String LNNode::fullDescription(const std::optional<String>& indent) const {
    String buffer;
    buffer.reserve(512);
    fullDescription(buffer, indent);
    return buffer;
}

void LNNode::fullDescription(String& buffer, const std::optional<String>& indent) const {
    forEachPreOrder(this, [&](const LNNode* node, std::size_t depth) {
        appendIndent(buffer, indent, depth);
        buffer += node->description();
        buffer += u'\n';
    });
}

String LNNode::fullXMLDescription(const std::optional<String>& indent) const {
    String buffer;
    buffer.reserve(512);
    fullXMLDescription(buffer, indent);
    return buffer;
}

void LNNode::fullXMLDescription(String& buffer, const std::optional<String>& indent) const {
    // Writes a node's start tag; returns whether its children and end tag follow.
    auto open = [&](const LNNode* node, std::size_t depth) {
        appendIndent(buffer, indent, depth);
        buffer += u'<';
        buffer += node->name().view();
        // The mark, kept apart from the map, comes before the map's entries.
        if (node->mark() != Mark::none) appendAttribute(buffer, markKey, markValue(node->mark()));
        if (const AttributeMap* attributes = node->attributes()) {
            for (const auto& [key, value] : attributes->entries())
                appendAttribute(buffer, key.view(), value);
        }
        bool hasValue = !node->value_.empty();
        if (hasValue) {
            buffer += u'>';
            buffer += stringEncodingEntities(node->value_.view());
        } else if (node->childList().empty()) {
            buffer += u"/>\n";
            return false;
        } else {
            buffer += u'>';
        }
        if (node->childList().empty()) {
            buffer += u"</";
            buffer += node->name().view();
            buffer += u">\n";
            return false;
        }
        buffer += u'\n';
        return true;
    };
    auto close = [&](const LNNode* node, std::size_t depth) {
        appendIndent(buffer, indent, depth);
        buffer += u"</";
        buffer += node->name().view();
        buffer += u">\n";
    };
    forEachPreOrder(this, open, close);
}

Ref<LNNode> LNNode::shallowCopy() const {
    if (isGedcomLine()) return static_cast<const LNGedcomNode*>(this)->LNGedcomNode::shallowCopy();
    Ref<LNNode> copied = makeRef<LNNode>(name(), value_, attributes());
    if (mark() != Mark::none) copied->setMark(mark());
    return copied;
}

LNNode::Rare& LNNode::rare() {
    if (rareIsSlice()) {
        SharedString text = std::move(rareSlice_);
        rareSlice_.~SharedString();
        rare_ = new Rare;
        rare_->text = std::move(text);
    } else if (!rare_) {
        rare_ = new Rare;
    }
    return *rare_;
}

void LNNode::setName(SharedString name) {
    // An absent name is kept apart from the empty one, in rare_.
    nameNumber_ = name ? InternTable::number(name.view()) : InternTable::none;
    if (nameNumber_ != InternTable::none) {
        if (Rare* rare = rarePart()) rare->name = SharedString();
    } else if (name || rarePart()) {
        rare().name = std::move(name);
    }
}

const SharedString& LNNode::rareName() const {
    static const SharedString none;
    const Rare* rare = rarePart();
    return rare ? rare->name : none;
}

const SharedString& LNNode::rareText() const {
    static const SharedString none;
    if (rareIsSlice()) return rareSlice_;
    return rare_ ? rare_->text : none;
}

void LNNode::setRareText(SharedString text) {
    if (rareIsSlice()) {
        rareSlice_.~SharedString();
        rare_ = nullptr;
    }
    if (!rare_ && (text.isSlice() || !text)) {
        if (text) new (&rareSlice_) SharedString(std::move(text));
        return;
    }
    rare().text = std::move(text);
}

Ref<LNNode> LNNode::copy() const {
    Ref<LNNode> root;
    // The copies of the nodes on the path to the one being copied, by depth.
    std::vector<LNNode*> path;
    forEachPreOrder(this, [&](const LNNode* source, std::size_t depth) {
        Ref<LNNode> copied = source->shallowCopy();
        // Every copied node gets a list, as copying a list of none gives an
        // empty one.
        copied->reserveChildList(source->childList().size(), nullptr);
        path.resize(depth);
        path.push_back(copied.get());
        if (depth == 0) {
            root = std::move(copied);
        } else {
            path[depth - 1]->addChild(std::move(copied));
        }
    });
    return root;
}

long LNNode::numAllocated() {
    BackgroundRelease::wait();
    return threadNodes.allocated + endedAllocated.load();
}

long LNNode::numDeallocated() {
    BackgroundRelease::wait();
    return threadNodes.deallocated + endedDeallocated.load();
}

String stringEncodingEntities(StringView text) {
    String result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i];
        switch (c) {
        case u'&':
            result += u"&amp;";
            continue;
        case u'<':
            result += u"&lt;";
            continue;
        case u'>':
            result += u"&gt;";
            continue;
        case u'"':
            result += u"&quot;";
            continue;
        case u'\'':
            result += u"&apos;";
            continue;
        default:
            break;
        }
        bool control = c < 0x20 && c != u'\t' && c != u'\n' && c != u'\r';
        bool high = c >= 0xD800 && c <= 0xDBFF;
        bool low = c >= 0xDC00 && c <= 0xDFFF;
        if (high && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            result += c;
            result += text[++i];
            continue;
        }
        if (control || high || low || c == 0xFFFE || c == 0xFFFF) {
            result += u'\uFFFD';
            continue;
        }
        result += c;
    }
    return result;
}

} // namespace kinloom
