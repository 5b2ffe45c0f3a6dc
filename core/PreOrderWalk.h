#pragma once

#include "LNNode.h"

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
    std::vector<Frame> stack{{root, 0}};
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const ChildList& children = frame.node->childList();
        if (frame.next < children.size()) {
            Node* child = static_cast<Node*>(children[frame.next++].get());
            if (descend(child, stack.size())) stack.push_back({child, 0});
            continue;
        }
        Node* done = frame.node;
        stack.pop_back();
        leave(done, stack.size());
    }
}

template <typename Node, typename Enter> void forEachPreOrder(Node* root, Enter&& enter) {
    forEachPreOrder(root, enter, [](Node*, std::size_t) {});
}

} // namespace kinloom
