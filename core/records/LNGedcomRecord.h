#pragma once

#include "records/RecordAttributes.h"
#include "support/LNGedcomErrors.h"
#include "tree/LNGedcomNode.h"
#include "tree/LNNode.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace kinloom {

class LoadArena;

/// One GEDCOM record: a level-0 line with its whole subtree, the record's key
/// and annotations. Records are shared by the lists and maps of a record set
/// through a count of their own (see Ref): a list entry costs one pointer,
/// and a loaded record no block beside it. The count is atomic, as the load
/// hands its records to a job on a second thread while the first reads them
/// too. The root is the very node the parser made.
class LNGedcomRecord {
  public:
    /// The root must be present, and stays the record's for its life; its
    /// key is the record's key. The error list is for subclasses and may be
    /// null.
    LNGedcomRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors);
    virtual ~LNGedcomRecord();
    LNGedcomRecord(const LNGedcomRecord&) = delete;
    LNGedcomRecord& operator=(const LNGedcomRecord&) = delete;

    /// A base-class record, or null when the root is absent.
    static Ref<LNGedcomRecord> initWithRoot(Ref<LNGedcomNode> root, LNGedcomErrors* errors);
    /// A record of the class the root's tag chooses (exact, case-sensitive):
    /// "INDI" a person, "FAM" a family, "SOUR" a source, any other tag the base
    /// class. Null when the root is absent.
    /// Made in the arena when one is given (the assembler's), else the heap;
    /// see LoadArena for how long such a record may live.
    static Ref<LNGedcomRecord> recordWithRoot(Ref<LNGedcomNode> root, LNGedcomErrors* errors,
                                              LoadArena* arena = nullptr);

    /// The record assembler (see LNGedcomRecordAssembler): maxCount 0 means
    /// no limit; errors may be null. Null when lines is empty; an empty list
    /// when the lines hold no level-0 line.
    static std::unique_ptr<std::vector<Ref<LNGedcomRecord>>>
    gedcomRecordsFromStrings(const std::vector<StringView>& lines, int maxCount, LNGedcomErrors* errors);
    static std::unique_ptr<std::vector<Ref<LNGedcomRecord>>>
    gedcomRecordsFromStrings(const std::vector<StringView>& lines, LNGedcomErrors* errors) {
        return gedcomRecordsFromStrings(lines, 0, errors);
    }
    /// The same over a whole text split at every single line-break character
    /// (so CR LF counts as two), without building the list of lines: the
    /// record set reads files this way, and reading only the header record
    /// (maxCount 1) looks at no more of the text than that record.
    static std::unique_ptr<std::vector<Ref<LNGedcomRecord>>>
    gedcomRecordsFromText(StringView text, int maxCount, LNGedcomErrors* errors);

    // Counting (see Ref); the last release ends the record.
    void retain() const { refs_.fetch_add(1, std::memory_order_relaxed); }
    void release() const {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1) destroy();
    }

    const Ref<LNGedcomNode>& root() const { return root_; }
    /// With both at signs; absent for records without key (the header). The
    /// root line's own: a record keeps no copy (a million bare persons, 8
    /// bytes each).
    const SharedString& key() const { return root_->key(); }
    /// The root's tag.
    StringView tag() const { return root_->tag().view(); }

    /// The line number of the level-0 line.
    int lineNumber() const;
    /// The number of lines in the record.
    int numNodes() const;
    /// All lines in their line form, pre-order, one per text line, indented
    /// by the indent plus two blanks per depth (not at all when absent).
    String description(const std::optional<String>& indent) const;
    String description() const { return description(std::nullopt); }

    /// Every node of the tree whose tag equals the given one, in pre-order
    /// (the root first). The nodes belong to this record's tree.
    std::vector<LNGedcomNode*> getNodesWithTag(StringView tag) const;
    /// Appends every node of the tree, root included, whose value is a
    /// cross-reference, in pre-order.
    void getNodesWithXrefValues(std::vector<LNGedcomNode*>& nodes) const;

    /// Ignored for an empty key; replaces an earlier value.
    void setAttribute(AttributeValue value, StringView key);
    /// The value, or null when nothing is stored under the key.
    const AttributeValue* attributeForKey(StringView key) const;
    /// A copy of the value, or absent; for reading the person table's values
    /// of many records, as it leaves no lasting copy (see RecordAttributes).
    std::optional<AttributeValue> attributeValue(StringView key) const;
    /// Null until the first attribute is set.
    const RecordAttributes* attributes() const { return attributes_.empty() ? nullptr : &attributes_; }

  private:
    void destroy() const;

    mutable std::atomic<std::uint32_t> refs_{0};
    bool madeInArena_ = false;
    Ref<LNGedcomNode> root_;
    RecordAttributes attributes_;
};

/// Appends, in pre-order, every node of the subtree whose tag equals the
/// given one. Nothing for a null node. A loop, not a recursion.
void getNodesWithName(std::vector<LNGedcomNode*>& nodes, StringView tag, LNGedcomNode* node);
/// Appends, in pre-order, every node of the subtree whose value is a
/// cross-reference. Nothing for a null node. A loop, not a recursion.
void getNodesWithXrefValues(std::vector<LNGedcomNode*>& nodes, LNGedcomNode* node);

} // namespace kinloom
