#include "LNNavigationQueue.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {
std::vector<String> entries(const LNNavigationQueue& queue) {
    std::vector<String> texts;
    for (const SharedString& entry : queue.queue())
        texts.push_back(entry.str());
    return texts;
}
} // namespace

TEST(LNNavigationQueue, StartsEmptyAndRefusesToMove) {
    LNNavigationQueue queue;
    EXPECT_EQ(queue.index(), -1);
    EXPECT_EQ(queue.count(), 0);
    EXPECT_TRUE(queue.currentObject().isNull());
    EXPECT_TRUE(queue.back().isNull());
    EXPECT_TRUE(queue.forward().isNull());
    EXPECT_EQ(queue.index(), -1);
}

TEST(LNNavigationQueue, MovesBackAndForwardWithinItsEnds) {
    LNNavigationQueue queue;
    queue.addObject(u"A");
    EXPECT_TRUE(queue.back().isNull()) << "one entry has no back history";
    queue.addObject(u"B");
    queue.addObject(u"C");
    EXPECT_EQ(queue.index(), 2);
    EXPECT_TRUE(queue.forward().isNull());
    EXPECT_EQ(queue.back(), u"B");
    EXPECT_EQ(queue.back(), u"A");
    EXPECT_TRUE(queue.back().isNull());
    EXPECT_EQ(queue.index(), 0);
    EXPECT_EQ(queue.currentObject(), u"A");
    EXPECT_EQ(queue.forward(), u"B");
    EXPECT_EQ(queue.currentObject(), u"B");
}

TEST(LNNavigationQueue, AddingDiscardsTheForwardHistory) {
    LNNavigationQueue queue;
    for (const char16_t* key : {u"A", u"B", u"C", u"D"})
        queue.addObject(key);
    queue.back();
    queue.back();
    queue.back();
    queue.addObject(u"E");
    EXPECT_EQ(entries(queue), (std::vector<String>{u"A", u"E"}));
    EXPECT_EQ(queue.index(), 1);
    EXPECT_TRUE(queue.forward().isNull());
}

TEST(LNNavigationQueue, KeepsRepeatsAndClears) {
    LNNavigationQueue queue;
    queue.addObject(u"A");
    queue.addObject(u"A");
    EXPECT_EQ(queue.count(), 2) << "the queue itself does not drop repeats";
    queue.clear();
    EXPECT_EQ(queue.count(), 0);
    EXPECT_EQ(queue.index(), -1);
    EXPECT_TRUE(queue.currentObject().isNull());
}
