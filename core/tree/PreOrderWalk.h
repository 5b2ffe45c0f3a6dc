#pragma once

#include "tree/LNNode.h"

#include <cstddef>
#include <type_traits>
#include <vector>

namespace kinloom {

/// Walks the tree under root in pre-order: a node, then its children in
/// order. The walk keeps its own stack, one small frame per level, so a
/// chain a million levels deep costs memory, not the call stack.
///
/// enter(node, depth) is called for every node (the root at depth 0). When it
/// returns bool, false skips the node's children; a void enter descends
/// always. leave(node, depth) is called once the children of a node that
/// enter let in are done, so a dump can close what enter opened.
///
/// Node is LNNode or a subclass whose children are all of that class (a
/// record's lines are all LNGedcomNode), const or not. A null root visits
/// nothing. The tree must not change during the walk.
template <typename Node, typename Enter, typename Leave>
void forEachPreOrder(Node* root, Enter&& enter, Leave&& leave) {
    if (!root) return;
    auto descend = [&](Node* node, std::size_t depth) {
        if constexpr (std::is_void_v<decltype(enter(node, depth))>) {
            enter(node, depth);
            return true;
        } else {
            return static_cast<bool>(enter(node, depth));
        }
    };
    struct Frame {
        Node* node;
        std::size_t next;
    };
    if (!descend(root, 0)) return;
    // Records are a handful of levels deep, and walks run once per record:
    // the first levels' frames live here, deeper ones on the heap, so that a
    // walk over a whole file does not allocate once per record.
    constexpr std::size_t inlineDepth = 16;
    Frame shallow[inlineDepth];
    std::vector<Frame> deep;
    std::size_t size = 0;
    auto at = [&](std::size_t level) -> Frame& {
        return level < inlineDepth ? shallow[level] : deep[level - inlineDepth];
    };
    auto push = [&](Frame frame) {
        if (size < inlineDepth)
            shallow[size] = frame;
        else
            deep.push_back(frame);
        ++size;
    };
    push({root, 0});
    while (size != 0) {
        Frame& frame = at(size - 1);
        const ChildList& children = frame.node->childList();
        if (frame.next < children.size()) {
            Node* child = static_cast<Node*>(children[frame.next++].get());
            if (descend(child, size)) push({child, 0});
            continue;
        }
        Node* done = frame.node;
        if (--size >= inlineDepth) deep.pop_back();
        leave(done, size);
    }
}

template <typename Node, typename Enter> void forEachPreOrder(Node* root, Enter&& enter) {
    forEachPreOrder(root, enter, [](Node*, std::size_t) {});
}

} // namespace kinloom
