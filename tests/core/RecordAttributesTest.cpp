#include "RecordAttributes.h"

#include <gtest/gtest.h>

using namespace kinloom;

namespace {

const std::vector<StringView> rowKeys = {u"id",         u"key",        u"name",       u"birthYear",
                                         u"birthPlace", u"deathYear",  u"deathPlace", u"fatherRoot",
                                         u"father",     u"motherRoot", u"mother"};

std::string text(const AttributeValue* value) {
    const SharedString* string = attributeString(value);
    return string ? std::string(string->view().begin(), string->view().end()) : "(not a text)";
}

} // namespace

TEST(RecordAttributes, KeepsTheNoneMarkerApartFromAMissingValue) {
    RecordAttributes attributes;
    std::vector<StringView> keys = rowKeys;
    keys.push_back(u"validcode");
    for (StringView key : keys) {
        EXPECT_EQ(attributes.get(key), nullptr);
        EXPECT_EQ(attributes.copy(key), std::nullopt);
    }
    EXPECT_TRUE(attributes.empty());
    for (StringView key : keys) {
        attributes.set(key, NoneMarker());
        ASSERT_NE(attributes.get(key), nullptr);
        EXPECT_TRUE(std::holds_alternative<NoneMarker>(*attributes.get(key)));
        EXPECT_TRUE(std::holds_alternative<NoneMarker>(*attributes.copy(key)));
    }
    EXPECT_EQ(attributes.size(), keys.size());
    EXPECT_EQ(attributes.get(u"Name"), nullptr) << "keys are compared exactly";
    EXPECT_EQ(attributes.get(u""), nullptr);
}

TEST(RecordAttributes, ReplacesValuesOfAnyTypeAndKeepsHandedOutValuesCurrent) {
    RecordAttributes attributes;
    for (StringView key : rowKeys) {
        attributes.set(key, SharedString(u"first"));
        const AttributeValue* value = attributes.get(key);
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(text(value), "first");
        attributes.set(key, SharedString(u"second"));
        EXPECT_EQ(attributes.get(key), value) << "the same value, replaced";
        EXPECT_EQ(text(value), "second");
        attributes.set(key, NoneMarker());
        EXPECT_TRUE(std::holds_alternative<NoneMarker>(*value));
        EXPECT_TRUE(std::holds_alternative<NoneMarker>(*attributes.copy(key)));
        attributes.set(key, std::int64_t{42});
        EXPECT_EQ(std::get<std::int64_t>(*value), 42);
        EXPECT_EQ(std::get<std::int64_t>(*attributes.copy(key)), 42);
        attributes.set(key, std::vector<String>{u"A", u"B"});
        EXPECT_EQ(std::get<std::vector<String>>(*attributes.copy(key)), (std::vector<String>{u"A", u"B"}));
        attributes.set(key, SharedString(u"third"));
        EXPECT_EQ(text(attributes.get(key)), "third");
    }
    EXPECT_EQ(attributes.size(), rowKeys.size());

    // Values set but never handed out, replaced by values of other types.
    RecordAttributes fresh;
    fresh.set(u"id", std::int64_t{7});
    fresh.set(u"name", SharedString(u"Smith, John"));
    fresh.set(u"birthYear", NoneMarker());
    fresh.set(u"id", SharedString(u"seven"));
    fresh.set(u"name", std::int64_t{1});
    fresh.set(u"birthYear", SharedString(u"1850"));
    EXPECT_EQ(text(fresh.get(u"id")), "seven");
    EXPECT_EQ(std::get<std::int64_t>(*fresh.get(u"name")), 1);
    EXPECT_EQ(text(fresh.get(u"birthYear")), "1850");
    fresh.set(u"id", std::int64_t{8});
    EXPECT_EQ(std::get<std::int64_t>(*fresh.get(u"id")), 8);
    EXPECT_EQ(fresh.size(), 3u);
}

TEST(RecordAttributes, HoldsAndReleasesTheNodesItIsGiven) {
    Ref<LNNode> father = makeRef<LNNode>(SharedString(u"INDI"), SharedString(), nullptr);
    {
        RecordAttributes attributes;
        attributes.set(u"fatherRoot", father);
        attributes.set(u"motherRoot", father);
        EXPECT_EQ(father->refCount(), 3u);
        EXPECT_EQ(std::get<Ref<LNNode>>(*attributes.copy(u"fatherRoot")), father);
        EXPECT_EQ(std::get<Ref<LNNode>>(*attributes.get(u"fatherRoot")), father);
        EXPECT_EQ(father->refCount(), 4u) << "a handed-out value holds the node too";
        attributes.set(u"motherRoot", NoneMarker());
        EXPECT_EQ(father->refCount(), 3u);
        attributes.set(u"fatherRoot", NoneMarker());
        EXPECT_EQ(father->refCount(), 1u);
        attributes.set(u"fatherRoot", father);
    }
    EXPECT_EQ(father->refCount(), 1u);
}

TEST(RecordAttributes, StoresOtherKeysInTheirOwnMap) {
    RecordAttributes attributes;
    attributes.set(u"validcode", SharedString(u"good"));
    attributes.set(u"tagarray", std::vector<String>{u"NAME"});
    attributes.set(u"Name", std::int64_t{3});
    attributes.set(u"name", SharedString(u"Smith, John"));
    const AttributeValue* mark = attributes.get(u"validcode");
    attributes.set(u"validcode", SharedString(u"bad"));
    EXPECT_EQ(text(mark), "bad");
    EXPECT_EQ(std::get<std::vector<String>>(*attributes.get(u"tagarray")), std::vector<String>{u"NAME"});
    EXPECT_EQ(std::get<std::int64_t>(*attributes.copy(u"Name")), 3);
    EXPECT_EQ(text(attributes.get(u"name")), "Smith, John");
    EXPECT_EQ(attributes.get(u"other"), nullptr);
    EXPECT_EQ(attributes.size(), 4u);
}
