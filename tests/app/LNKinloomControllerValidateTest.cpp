#include "HeadlessViewerFixture.h"

using namespace kinloom;

namespace {

class LNKinloomControllerValidate : public HeadlessViewerTest {
  protected:
    std::string mark(StringView key) {
        const LNGedcomNode& root = *controller().gedcomRecords()->indiWithKey(key)->root();
        const SharedString* code = attributeString(root.attributeForKey(u"validcode"));
        return code ? toUtf8(*code) : "(none)";
    }
};

} // namespace

TEST_F(LNKinloomControllerValidate, FindsTheShippedGrammarNextToTheExecutableOrInstalled) {
    LNResourceBundle bundle({"/nowhere", "resources"});
    EXPECT_EQ(bundle.pathForResource(u"Gedcom5.5", u"spec"), "resources/Gedcom5.5.spec");
    EXPECT_FALSE(bundle.pathForResource(u"Gedcom5.5", u"txt"));
    LNResourceBundle installed = LNResourceBundle::nextToExecutable();
    ASSERT_EQ(installed.directories().size(), 2u);
    EXPECT_TRUE(installed.directories()[1].ends_with("/share/kinloom"));
    EXPECT_EQ(std::filesystem::path(installed.directories()[1]).parent_path().parent_path(),
              std::filesystem::path(installed.directories()[0]).parent_path());
}

TEST_F(LNKinloomControllerValidate, MarksPersonsOnlyAndRedrawsBothViews) {
    open();
    clickCell("I1", u"id");
    int tableReloads = table().reloadCount(), outlineReloads = outline().reloadCount();
    viewer.validate();
    EXPECT_EQ(table().reloadCount(), tableReloads + 1);
    EXPECT_EQ(outline().reloadCount(), outlineReloads + 1);
    EXPECT_EQ(mark(u"@I1@"), "badchild");
    EXPECT_EQ(mark(u"@I2@"), "good");
    const LNGedcomRecordSet& records = *controller().gedcomRecords();
    EXPECT_EQ(records.famWithKey(u"@F1@")->root()->attributeForKey(u"validcode"), nullptr)
        << "families are not validated";
    viewer.validate();
    EXPECT_EQ(mark(u"@I1@"), "badchild") << "again, the same marks";
}

TEST_F(LNKinloomControllerValidate, WithoutAFileOnlyRedraws) {
    int reloads = table().reloadCount();
    viewer.validate();
    EXPECT_EQ(table().reloadCount(), reloads + 1);
}

TEST_F(LNKinloomControllerValidate, WithoutAReadableGrammarChangesNoColour) {
    open();
    LNHeadlessBundle& bundle = viewer.application().bundle();
    bundle.setDirectories({"/nowhere"});
    viewer.validate();
    EXPECT_EQ(mark(u"@I1@"), "(none)") << "no resource";
    bundle.setPathForResource(u"Gedcom5.5", u"spec", "tests/data/no-such.spec");
    viewer.validate();
    EXPECT_EQ(mark(u"@I1@"), "(none)");
    bundle.setPathForResource(u"Gedcom5.5", u"spec", "tests/data/broken.spec");
    viewer.validate();
    EXPECT_EQ(mark(u"@I1@"), "(none)");
    EXPECT_EQ(colorName(cellColor("I1", u"name")), "black");
}
