#include "records/LNGedcomRecord.h"

#include "memory/LoadArena.h"
#include "records/LNGedcomFamRecord.h"
#include "records/LNGedcomIndiRecord.h"
#include "records/LNGedcomRecordAssembler.h"
#include "records/LNGedcomSourRecord.h"
#include "support/SystemLog.h"
#include "tree/PreOrderWalk.h"

#include <cassert>
#include <new>

namespace kinloom {

LNGedcomRecord::LNGedcomRecord(Ref<LNGedcomNode> root, LNGedcomErrors*) : root_(std::move(root)) {
    assert(root_);
}

LNGedcomRecord::~LNGedcomRecord() = default;

void LNGedcomRecord::destroy() const {
    if (!madeInArena_) {
        delete this;
        return;
    }
    void* room = const_cast<LNGedcomRecord*>(this);
    this->~LNGedcomRecord();
    LoadArena::free(room);
}

Ref<LNGedcomRecord> LNGedcomRecord::initWithRoot(Ref<LNGedcomNode> root, LNGedcomErrors* errors) {
    if (!root) return nullptr;
    return makeRef<LNGedcomRecord>(std::move(root), errors);
}

namespace {

// A record of class T, in the arena's room when it has some.
template <typename T>
LNGedcomRecord* makeRecord(Ref<LNGedcomNode> root, LNGedcomErrors* errors, LoadArena* arena, bool& inArena) {
    static_assert(alignof(T) <= 8, "the arena aligns to 8");
    void* room = arena ? arena->allocate(sizeof(T)) : nullptr;
    inArena = room != nullptr;
    return room ? new (room) T(std::move(root), errors) : new T(std::move(root), errors);
}

} // namespace

Ref<LNGedcomRecord> LNGedcomRecord::recordWithRoot(Ref<LNGedcomNode> root, LNGedcomErrors* errors,
                                                   LoadArena* arena) {
    if (!root) return nullptr;
    StringView tag = root->tag().view();
    bool inArena = false;
    LNGedcomRecord* record =
        tag == u"INDI"   ? makeRecord<LNGedcomIndiRecord>(std::move(root), errors, arena, inArena)
        : tag == u"FAM"  ? makeRecord<LNGedcomFamRecord>(std::move(root), errors, arena, inArena)
        : tag == u"SOUR" ? makeRecord<LNGedcomSourRecord>(std::move(root), errors, arena, inArena)
                         : makeRecord<LNGedcomRecord>(std::move(root), errors, arena, inArena);
    record->madeInArena_ = inArena;
    return Ref<LNGedcomRecord>(record);
}

std::unique_ptr<std::vector<Ref<LNGedcomRecord>>>
LNGedcomRecord::gedcomRecordsFromStrings(const std::vector<StringView>& lines, int maxCount,
                                         LNGedcomErrors* errors) {
    return LNGedcomRecordAssembler(maxCount, errors).recordsFromStrings(lines);
}

std::unique_ptr<std::vector<Ref<LNGedcomRecord>>>
LNGedcomRecord::gedcomRecordsFromText(StringView text, int maxCount, LNGedcomErrors* errors) {
    return LNGedcomRecordAssembler(maxCount, errors).recordsFromText(text);
}

int LNGedcomRecord::lineNumber() const {
    return root_->lineNumber();
}

int LNGedcomRecord::numNodes() const {
    return root_->treeSize();
}

String LNGedcomRecord::description(const std::optional<String>& indent) const {
    return root_->fullDescription(indent);
}

std::vector<LNGedcomNode*> LNGedcomRecord::getNodesWithTag(StringView tag) const {
    std::vector<LNGedcomNode*> nodes;
    nodes.reserve(4);
    getNodesWithName(nodes, tag, root_.get());
    return nodes;
}

void LNGedcomRecord::getNodesWithXrefValues(std::vector<LNGedcomNode*>& nodes) const {
    kinloom::getNodesWithXrefValues(nodes, root_.get());
}

void LNGedcomRecord::setAttribute(AttributeValue value, StringView key) {
    if (key.empty()) return;
    attributes_.set(key, std::move(value), root_.get());
}

const AttributeValue* LNGedcomRecord::attributeForKey(StringView key) const {
    if (key.empty()) return nullptr;
    return attributes_.get(key, root_.get());
}

std::optional<AttributeValue> LNGedcomRecord::attributeValue(StringView key) const {
    if (key.empty()) return std::nullopt;
    return attributes_.copy(key, root_.get());
}

void getNodesWithName(std::vector<LNGedcomNode*>& nodes, StringView tag, LNGedcomNode* node) {
    forEachPreOrder(node, [&](LNGedcomNode* n, std::size_t) {
        if (n->tag() == tag) nodes.push_back(n);
    });
}

void getNodesWithXrefValues(std::vector<LNGedcomNode*>& nodes, LNGedcomNode* node) {
    forEachPreOrder(node, [&](LNGedcomNode* n, std::size_t) {
        if (isCrossReference(n->value().view())) nodes.push_back(n);
    });
}

} // namespace kinloom
