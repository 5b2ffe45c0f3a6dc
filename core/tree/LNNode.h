#pragma once

#include "tree/AttributeMap.h"
#include "tree/AttributeValue.h"
#include "tree/ChildList.h"
#include "memory/InternTable.h"
#include "memory/Ref.h"
#include "memory/SharedString.h"

#include <cassert>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace kinloom {

class LoadArena;

/// A generic tree node: a name, an optional value, ordered children, optional
/// attributes and a non-owning parent link. Nodes are reference counted
/// (Ref<LNNode>); a node may stand in two child lists at once.
///
/// The count is a plain integer: a node, its tree and its texts belong to one
/// thread at a time, handed from thread to thread only where the two
/// synchronise (a load's helper thread hands its records over when it is
/// joined). Debug builds assert that a count never goes below zero.
///
/// No operation recurses once per tree level: sizes, dumps, copies, searches
/// and releasing a tree are loops, so a chain a million levels deep is fine.
class LNNode {
  public:
    LNNode(SharedString name, SharedString value, const AttributeMap* attributes);
    // Not virtual: a node has no vtable, as a file has millions of them. Its
    // one subclass, LNGedcomNode, is told apart by a flag (see below).
    ~LNNode();
    LNNode(const LNNode&) = delete;
    LNNode& operator=(const LNNode&) = delete;

    // Reference counting (see Ref). A node whose count drops to zero is freed
    // together with every descendant nobody else holds, without recursion.
    void retain() const {
        // A count at the top of its bits stops the program rather than carry
        // into the mark and flags beside it.
        if ((refCount_ & countMask) == countMask) [[unlikely]]
            countOverflow();
        ++refCount_;
    }
    void release() const {
        assert((refCount_ & countMask) > 0);
        if ((--refCount_ & countMask) == 0) destroy();
    }
    std::uint32_t refCount() const { return refCount_ & countMask; }
    /// Whether the node is an LNGedcomNode (nodes have no vtable to ask).
    bool isGedcomLine() const { return refCount_ & gedcomFlag; }

    LNNode* parent() const { return parent_; }
    void setParent(LNNode* parent) { parent_ = parent; }
    const SharedString& name() const {
        return nameNumber_ != InternTable::none ? InternTable::text(nameNumber_) : rareName();
    }
    void setName(SharedString name);
    /// Absent (null) when the node has no value.
    const SharedString& value() const { return value_; }
    void setValue(SharedString value) { value_ = std::move(value); }

    /// The child list, or null when the node never had one.
    const ChildList* children() const { return children_; }
    /// Installs a new child list (null: none). Parent links are not touched.
    void setChildren(const std::vector<Ref<LNNode>>* children);
    /// Makes room for that many children in all, so that a list whose size
    /// is known is not grown step by step. Changes nothing else. A new list
    /// comes from the arena when one is given (and it fits), else the heap.
    void reserveChildren(int count, LoadArena* arena = nullptr);
    int numChildren() const { return children_ ? static_cast<int>(children_->size()) : 0; }
    /// Appends the node and makes the receiver its parent; the node stays in
    /// any other list it is in.
    void addChild(Ref<LNNode> child);
    /// Removes every child that is one of the given nodes (by identity).
    void removeChildren(const std::vector<Ref<LNNode>>* nodes);
    /// The same children in a new list, or absent when there is no child list.
    std::unique_ptr<std::vector<Ref<LNNode>>> childrenCopy() const;
    /// The children; an empty list when there is no child list.
    const ChildList& childList() const { return children_ ? *children_ : ChildList::none(); }
    /// The child at an index the caller knows to be valid.
    LNNode* childAt(int index) const { return (*children_)[static_cast<std::size_t>(index)].get(); }

    /// Appends " " and the text to the value (or sets it when absent);
    /// an empty text changes nothing.
    void addText(StringView text);

    /// The first child with this name, compared code unit by code unit.
    LNNode* childWithName(StringView name) const;
    /// Follows the path of names from the receiver, first matching child at
    /// each step (names compared as canonically equivalent texts). An empty
    /// path gives the receiver.
    LNNode* nodeWithPath(const std::vector<String>& path) const;
    static Ref<LNNode> nodeWithName(StringView name, const std::vector<Ref<LNNode>>* nodes);
    /// As above; with remove, every occurrence of the node found leaves the list.
    static Ref<LNNode> nodeWithName(StringView name, std::vector<Ref<LNNode>>* nodes, bool remove);
    /// The number of nodes in the subtree, the receiver included.
    int treeSize() const;

    /// The structure check's mark of a line, the attribute "validcode" when
    /// it holds one of the three texts. A file has millions of marked lines,
    /// so the mark lives in two bits of the node, not in the attribute map.
    enum class Mark : std::uint8_t { none, good, badChild, bad };
    static constexpr StringView markKey = u"validcode";
    /// "good", "badchild" or "bad"; the empty text for none.
    static const SharedString& markText(Mark mark);
    /// none when "validcode" is absent or holds another text (in the map).
    Mark mark() const { return static_cast<Mark>((refCount_ & markMask) >> markShift); }
    /// Sets "validcode" to the mark's text, or removes it for none.
    void setMark(Mark mark);

    /// Under the key "validcode", a mark's text sets the mark (see Mark).
    void setAttribute(AttributeValue value, StringView key);
    /// The value under the key, or null when it is not there.
    const AttributeValue* attributeForKey(StringView key) const;
    /// Every attribute but the mark; null when there are none of those.
    const AttributeMap* attributes() const {
        const Rare* rare = rarePart();
        return rare && rare->hasAttributes ? &rare->attributes : nullptr;
    }
    /// Replaces all attributes, the mark included, by a copy of the map
    /// (null: none); a mark's text under "validcode" becomes the mark.
    void setAttributes(const AttributeMap* attributes);

    /// The name, or name, one blank and value.
    String description() const;
    /// The indented dump: one line per node in pre-order, each indented by the
    /// indent plus two blanks per depth; with no indent, no line is indented.
    String fullDescription() const { return fullDescription(String()); }
    String fullDescription(const std::optional<String>& indent) const;
    void fullDescription(String& buffer, const std::optional<String>& indent) const;
    /// The XML dump of the subtree.
    String fullXMLDescription() const { return fullXMLDescription(String()); }
    String fullXMLDescription(const std::optional<String>& indent) const;
    void fullXMLDescription(String& buffer, const std::optional<String>& indent) const;

    /// A deep copy; every node is copied as its own class copies itself.
    Ref<LNNode> copy() const;

    /// Nodes made and freed so far, by this thread and by the threads that
    /// have ended (each counts on its own and adds its counts as it ends);
    /// both wait for the background releases handed over before them.
    static long numAllocated();
    static long numDeallocated();

  protected:
    /// A node named by its name's number in the InternTable (not none).
    LNNode(std::uint32_t nameNumber, SharedString value);
    /// A copy of this node alone, without children and parent.
    Ref<LNNode> shallowCopy() const;
    /// Tells release that the node's memory came from a LoadArena.
    void setMadeInArena() { refCount_ |= arenaFlag; }
    /// Marks the node as an LNGedcomNode: description, copies and release
    /// then act as that class does.
    void setGedcomLine() { refCount_ |= gedcomFlag; }
    /// A subclass's rarely set text (LNGedcomNode keeps its key here); null
    /// when never set.
    const SharedString& rareText() const;
    void setRareText(SharedString text);

  private:
    friend class NodeReleaser;
    // The top bit of the count marks a node made in a LoadArena, the next
    // one an LNGedcomNode, the two below hold the Mark.
    static constexpr std::uint32_t arenaFlag = 0x80000000u;
    static constexpr std::uint32_t gedcomFlag = 0x40000000u;
    static constexpr int markShift = 28;
    static constexpr std::uint32_t markMask = 3u << markShift;
    static constexpr std::uint32_t countMask = ~(arenaFlag | gedcomFlag | markMask);
    [[noreturn]] static void countOverflow();
    void destroy() const;
    mutable std::uint32_t refCount_ = 0;

  protected:
    // Room beside the count for a subclass's small field, so that a GEDCOM
    // line stays within 48 bytes.
    std::int32_t spare32_ = 0;

  private:
    LNNode* parent_ = nullptr;
    SharedString value_;
    // Owns the child list: a pointer rather than an inline vector, as most
    // lines have no children.
    ChildList* children_ = nullptr;
    // Makes room for count children in all.
    void reserveChildList(std::size_t count, LoadArena* arena);
    // The attribute map, a subclass's rare text and a name the InternTable
    // does not take are seldom present (grammar items, records' roots): one
    // pointer for all keeps a line at 48 bytes.
    struct Rare {
        AttributeMap attributes;
        bool hasAttributes = false;
        SharedString text;
        SharedString name;
    };
    Rare& rare();
    // The Rare part, or null when there is none.
    Rare* rarePart() const { return rareIsSlice() ? nullptr : rare_; }
    bool rareIsSlice() const {
        std::uintptr_t word;
        std::memcpy(&word, static_cast<const void*>(&rare_), sizeof word);
        return word & 1;
    }
    const SharedString& rareName() const;
    // A rare text that is a slice with nothing else rare beside it (a
    // record's key in a loaded file) sits in the word itself, tagged in bit 0
    // as a slice is, where a Rare would add 64 bytes to each record's line.
    union {
        Rare* rare_ = nullptr;
        SharedString rareSlice_;
    };
    // The name's number in the InternTable, or none when the name is in
    // rare_. Last, so that a subclass's 4-byte field fills the padding after it.
    std::uint32_t nameNumber_ = InternTable::none;
};

/// Replaces &, <, >, " and ' by their XML entities, and characters XML 1.0
/// cannot carry (most controls, unpaired surrogates, U+FFFE, U+FFFF) by U+FFFD.
String stringEncodingEntities(StringView text);

} // namespace kinloom
