#include "HeadlessViewerFixture.h"

#include <algorithm>
#include <fstream>
#include <numeric>
#include <unordered_map>

using namespace kinloom;

namespace {

class LNKinloomControllerTable : public HeadlessViewerTest {
  protected:
    LNKinloomControllerTable() { open(); }

    const LNGedcomIndiRecord& person(const std::string& key) {
        return *controller().gedcomRecords()->indiWithKey(fromUtf8("@" + key + "@"));
    }
    std::vector<std::string> reversed(std::vector<std::string> keys) {
        std::reverse(keys.begin(), keys.end());
        return keys;
    }
    std::vector<std::string> colors(StringView identifier) {
        std::vector<std::string> names;
        int index = table().columnIndex(identifier);
        for (int row = 0; row < table().numberOfRows(); ++row)
            names.push_back(colorName(table().cellColor(row, index)));
        return names;
    }
};

using Keys = std::vector<std::string>;

} // namespace

TEST_F(LNKinloomControllerTable, ShowsEachPersonsValues) {
    EXPECT_EQ(column(u"id"), (Keys{"I1", "I2", "I3", "I4", "I5", "I6", "I10", "I9"}));
    EXPECT_EQ(column(u"name"), (Keys{"Smith, John", "Jones, Mary", "Smith, Jane", "Smith, Adam",
                                     "Smith, William", "", "Brown, Peter", "Brown, Peter"}));
    EXPECT_EQ(column(u"birthYear"), (Keys{"1850", "1852", "1875", "1877", "1820", "", "1850", "1850"}));
    EXPECT_EQ(column(u"birthPlace"),
              (Keys{"England", "France", "England", "", "England", "", "Spain", "germany"}));
    EXPECT_EQ(column(u"deathYear"), (Keys{"1910", "", "", "", "", "", "", ""}));
    EXPECT_EQ(column(u"deathPlace"), (Keys{"Massachusetts", "", "", "", "Ontario", "", "", ""}));
    EXPECT_EQ(column(u"father"), (Keys{"Smith, William", "", "Smith, John", "Smith, John", "", "", "", ""}));
    EXPECT_EQ(column(u"mother"), (Keys{"", "", "Jones, Mary", "Jones, Mary", "", "", "", ""}));
    EXPECT_FALSE(controller().shouldEditTableColumn(&table(), table().columnWithIdentifier(u"name"), 0));
}

TEST_F(LNKinloomControllerTable, StoresTheNoneMarkerForMissingValues) {
    const LNGedcomIndiRecord& nameless = person("I6");
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*nameless.attributeForKey(u"name")));
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*nameless.attributeForKey(u"fatherRoot")));
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*nameless.attributeForKey(u"birthYear")));
    EXPECT_EQ(std::get<std::int64_t>(*nameless.attributeForKey(u"id")), 6);
    EXPECT_EQ(*attributeString(nameless.attributeForKey(u"key")), u"I6");
    // A father without a name: his root is there, his name is none.
    const LNGedcomIndiRecord& son = person("I1");
    EXPECT_TRUE(std::holds_alternative<Ref<LNNode>>(*son.attributeForKey(u"motherRoot")));
    EXPECT_TRUE(std::holds_alternative<NoneMarker>(*son.attributeForKey(u"mother")));
}

TEST_F(LNKinloomControllerTable, AnswersEmptyCellsOutsideTheRowsAndGlunkForUnknownColumns) {
    LNTableColumn* name = table().columnWithIdentifier(u"name");
    EXPECT_FALSE(controller().objectValueForTableColumn(&table(), name, -1));
    EXPECT_FALSE(controller().objectValueForTableColumn(&table(), name, 8));
    LNHeadlessTableColumn unknown(u"age");
    EXPECT_EQ(*controller().objectValueForTableColumn(&table(), &unknown, 0), u"glunk");
}

TEST_F(LNKinloomControllerTable, SortsByNameThenKeyNumber) {
    clickHeader(u"name");
    EXPECT_EQ(rowKeys(), (Keys{"I6", "I9", "I10", "I2", "I4", "I3", "I1", "I5"}));
    EXPECT_EQ(table().highlightedTableColumn(), table().columnWithIdentifier(u"name"));
    EXPECT_EQ(indicators(), Keys{"name NSAscendingSortIndicator"});
}

TEST_F(LNKinloomControllerTable, SortsYearsAndPlacesAsTextWithMissingValuesLast) {
    clickHeader(u"birthYear");
    Keys byYear{"I5", "I9", "I10", "I1", "I2", "I3", "I4", "I6"};
    EXPECT_EQ(rowKeys(), byYear);
    clickHeader(u"birthYear");
    EXPECT_EQ(rowKeys(), reversed(byYear)) << "a second click reverses exactly";
    EXPECT_EQ(indicators(), Keys{"birthYear NSDescendingSortIndicator"});
    EXPECT_FALSE(controller().sortAscending());
    clickHeader(u"birthYear");
    EXPECT_EQ(rowKeys(), byYear);
    EXPECT_EQ(indicators(), Keys{"birthYear NSAscendingSortIndicator"});

    clickHeader(u"birthPlace");
    // Upper-case letters before lower-case ones; persons without a place by name.
    EXPECT_EQ(rowKeys(), (Keys{"I3", "I1", "I5", "I2", "I10", "I9", "I6", "I4"}));
    EXPECT_EQ(indicators(), Keys{"birthPlace NSAscendingSortIndicator"});
    EXPECT_TRUE(controller().sortAscending());
    clickHeader(u"deathPlace");
    EXPECT_EQ(rowKeys(), (Keys{"I1", "I5", "I6", "I9", "I10", "I2", "I4", "I3"}));
}

TEST_F(LNKinloomControllerTable, ShowsYearsBeforeChristAndSortsThemFirst) {
    open("tests/data/years-before-christ.ged");
    EXPECT_EQ(column(u"birthYear"), (Keys{"1032 B.C.", "0500 B.C.", "1000", "1850", "1032 B.C.", ""}));
    EXPECT_EQ(column(u"deathYear"), (Keys{"0980 B.C.", "0010", "1060", "", "1000 B.C.", ""}));
    const std::pair<StringView, Keys> orders[] = {
        {u"birthYear", Keys{"I1", "I5", "I2", "I3", "I4", "I6"}},
        {u"deathYear", Keys{"I5", "I1", "I2", "I3", "I4", "I6"}},
    };
    for (const auto& [identifier, ascending] : orders) {
        clickHeader(identifier);
        EXPECT_EQ(rowKeys(), ascending) << toUtf8(identifier);
        clickHeader(identifier);
        EXPECT_EQ(rowKeys(), reversed(ascending)) << toUtf8(identifier);

        // The same order from comparePersons, and from a sorter that reads the rows' values.
        auto keysOf = [](const IndiList& persons) {
            Keys keys;
            for (const auto& person : persons)
                keys.push_back(toUtf8(stripAts(person->key().view())));
            return keys;
        };
        IndiList persons = controller().gedcomRecords()->indiRecords();
        IndiList sorted = persons;
        std::stable_sort(sorted.begin(), sorted.end(), [&](const auto& a, const auto& b) {
            return comparePersons(*a, *b, identifier) < 0;
        });
        EXPECT_EQ(keysOf(sorted), ascending) << toUtf8(identifier);
        std::vector<std::uint32_t> ids(persons.size());
        std::iota(ids.begin(), ids.end(), 0);
        LNPersonSorter().sort(persons, ids, identifier);
        EXPECT_EQ(keysOf(persons), ascending) << toUtf8(identifier);
    }
}

TEST_F(LNKinloomControllerTable, ParentHeadersDoNotSort) {
    clickHeader(u"name");
    Keys byName = rowKeys();
    int reloads = table().reloadCount();
    clickHeader(u"father");
    clickHeader(u"mother");
    EXPECT_EQ(rowKeys(), byName);
    EXPECT_EQ(indicators(), Keys{"name NSAscendingSortIndicator"});
    EXPECT_EQ(table().highlightedTableColumn(), table().columnWithIdentifier(u"name"));
    EXPECT_EQ(table().reloadCount(), reloads);
}

TEST_F(LNKinloomControllerTable, SortingKeepsTheSelectedPersonSelected) {
    clickCell("I4", u"name");
    int outlineReloads = outline().reloadCount();
    clickHeader(u"name");
    ASSERT_EQ(rowOf("I4"), 4);
    EXPECT_EQ(selectedKey(), "I4");
    EXPECT_EQ(table().scrolledRow(), 4);
    EXPECT_EQ(history(), Keys{"[I4]"}) << "a sort records nothing";
    EXPECT_GT(outline().reloadCount(), outlineReloads) << "the outline is made again";
    EXPECT_EQ(outlineRows(), (Keys{"0 @I4@ INDI", "  1 NAME Adam /Smith/", "  1 SEX M", "  1 BAPT", "  1 CHR",
                                   "  1 NOTE Baptised at home", "  1 FAMC @F1@"}));
    clickHeader(u"name");
    EXPECT_EQ(selectedKey(), "I4");
    EXPECT_EQ(table().scrolledRow(), 3);
    EXPECT_EQ(controller().rowOfKey(u"@I4@"), 3);
}

TEST_F(LNKinloomControllerTable, RowMapFollowsEveryOrder) {
    for (const char16_t* identifier : {u"name", u"birthYear", u"birthYear", u"deathYear", u"id"}) {
        clickHeader(identifier);
        Keys keys = rowKeys();
        for (std::size_t row = 0; row < keys.size(); ++row)
            EXPECT_EQ(controller().rowOfKey(fromUtf8("@" + keys[row] + "@")), static_cast<int>(row));
        EXPECT_EQ(controller().rowOfKey(u"I1"), -1) << "keys keep their at signs";
    }
}

TEST_F(LNKinloomControllerTable, ColoursNamesAndParentsByTheirRecordsMarks) {
    Keys black(8, "black");
    for (const char16_t* identifier : {u"id", u"name", u"birthYear", u"father", u"mother"})
        EXPECT_EQ(colors(identifier), black) << "before validation";

    viewer.validate();
    // I1 (a bad line under BIRT), I4 (BAPT is not GEDCOM 5.5) and I5 (NAME
    // under RESI) have valid level-0 lines with bad lines below.
    EXPECT_EQ(colors(u"name"),
              (Keys{"orange", "black", "black", "orange", "orange", "black", "black", "black"}));
    EXPECT_EQ(colors(u"father"),
              (Keys{"orange", "black", "orange", "orange", "black", "black", "black", "black"}));
    EXPECT_EQ(colors(u"mother"), black) << "I6 is valid; persons without a mother stay black";
    EXPECT_EQ(colors(u"birthYear"), black);
    EXPECT_EQ(colors(u"deathYear"), black);
    EXPECT_EQ(colors(u"id"), black);
    EXPECT_EQ(colors(u"birthPlace"), black);
}

TEST_F(LNKinloomControllerTable, ColoursARedNameWhenThePersonLineItselfIsBad) {
    // A grammar without a person record rule marks every person line bad.
    viewer.application().bundle().setPathForResource(u"Gedcom5.5", u"spec", "tests/data/family-only.spec");
    viewer.validate();
    EXPECT_EQ(colors(u"name"), Keys(8, "red"));
    EXPECT_EQ(colors(u"father"), (Keys{"red", "black", "red", "red", "black", "black", "black", "black"}));
    EXPECT_EQ(colors(u"birthYear"), Keys(8, "black"));
}

TEST(ComparePersons, FollowsTheColumnsRules) {
    setCollationLocale("en");
    LogCapture log;
    LNHeadlessViewer viewer;
    viewer.application().openFile(viewerFile);
    const LNGedcomRecordSet& records = *viewer.controller().gedcomRecords();
    auto person = [&](const char16_t* key) -> const LNGedcomIndiRecord& { return *records.indiWithKey(key); };

    EXPECT_LT(comparePersons(person(u"@I9@"), person(u"@I10@"), u"name"), 0) << "numbers, not texts";
    EXPECT_LT(comparePersons(person(u"@I9@"), person(u"@I10@"), u"birthYear"), 0) << "equal years: by name";
    EXPECT_LT(comparePersons(person(u"@I1@"), person(u"@I6@"), u"birthYear"), 0) << "a value first";
    EXPECT_GT(comparePersons(person(u"@I6@"), person(u"@I1@"), u"birthYear"), 0);
    EXPECT_LT(comparePersons(person(u"@I6@"), person(u"@I4@"), u"deathYear"), 0) << "neither: by name";
    EXPECT_LT(comparePersons(person(u"@I10@"), person(u"@I9@"), u"birthPlace"), 0) << "Spain before germany";
    EXPECT_GT(comparePersons(person(u"@I9@"), person(u"@I1@"), u"id"), 0) << "by file position";
    EXPECT_EQ(comparePersons(person(u"@I1@"), person(u"@I1@"), u"id"), 0);

    log.clear();
    EXPECT_EQ(comparePersons(person(u"@I1@"), person(u"@I2@"), u"father"), 0);
    EXPECT_EQ(log.lines(), std::vector<std::string>{"YIKES, WE SHOULDN'T BE HERE!"});
}

TEST(LNPersonSorter, OrdersAsComparePersonsDoes) {
    const std::string royal = "../shared/testdata/royal92/royal92.ged";
    if (!std::ifstream(royal)) GTEST_SKIP() << royal << " is not there";
    setCollationLocale("en");
    LogCapture log;
    LNHeadlessViewer viewer;
    viewer.application().openFile(royal);
    IndiList rows = *viewer.controller().sortedPersonRecords();
    ASSERT_GT(rows.size(), 3000u);
    std::vector<std::uint32_t> ids(rows.size());
    std::iota(ids.begin(), ids.end(), 0);
    LNPersonSorter sorter;
    for (const char16_t* identifier : {u"name", u"birthYear", u"birthPlace", u"deathYear", u"deathPlace",
                                       u"id", u"father", u"birthYear"}) {
        IndiList expected = rows;
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            return comparePersons(*a, *b, identifier) < 0;
        });
        sorter.sort(rows, ids, identifier);
        EXPECT_TRUE(rows == expected) << toUtf8(identifier);
        for (std::size_t i = 0; i < rows.size(); ++i)
            ASSERT_EQ(std::get<std::int64_t>(*rows[i]->attributeForKey(u"id")), ids[i] + 1) << "ids follow";
        // Again from another order, with the ranks kept.
        std::reverse(rows.begin(), rows.end());
        std::reverse(ids.begin(), ids.end());
    }

    // The table's own sorts, with the texts it noted while building the rows.
    for (const char16_t* identifier :
         {u"deathPlace", u"name", u"birthYear", u"birthPlace", u"deathYear", u"id"}) {
        IndiList expected = *viewer.controller().sortedPersonRecords();
        std::stable_sort(expected.begin(), expected.end(), [&](const auto& a, const auto& b) {
            return comparePersons(*a, *b, identifier) < 0;
        });
        viewer.table().clickHeader(viewer.table().columnIndex(identifier));
        EXPECT_TRUE(*viewer.controller().sortedPersonRecords() == expected) << toUtf8(identifier);
    }
}

namespace {

AttributeValue textOrNone(const std::optional<String>& text) {
    return text ? AttributeValue(SharedString(*text)) : AttributeValue(NoneMarker());
}

// The rows' values worked out the plain way, one accessor at a time, against
// what the table stored; the table's log lines are the accessors' own.
void expectPlainRowValues(LNKinloomController& controller, const std::string& where) {
    const LNGedcomRecordSet& records = *controller.gedcomRecords();
    const IndiList& persons = records.indiRecords();
    std::vector<std::string> tableLog;
    {
        LogCapture log;
        controller.setupTableData(&persons);
        tableLog = log.lines();
    }
    LogCapture log;
    std::int64_t id = 1;
    for (const auto& person : persons) {
        std::string key = toUtf8(person->key().view());
        auto expect = [&](StringView attribute, const AttributeValue& value) {
            const AttributeValue* stored = person->attributeForKey(attribute);
            ASSERT_NE(stored, nullptr) << where << " " << key << " " << toUtf8(attribute);
            EXPECT_TRUE(*stored == value) << where << " " << key << " " << toUtf8(attribute);
        };
        expect(u"id", id++);
        expect(u"key", SharedString(stripAts(person->key().view())));
        expect(u"name", textOrNone(person->nameSurnameFirst(true, false, 64)));
        expect(u"birthYear", textOrNone(person->birthYear()));
        expect(u"birthPlace", textOrNone(person->birthPlace()));
        expect(u"deathYear", textOrNone(person->deathYear()));
        expect(u"deathPlace", textOrNone(person->deathPlace()));
        auto family = records.natalFamilyOfIndi(*person);
        auto father = family ? records.husbandOfFam(*family) : nullptr;
        auto mother = family ? records.wifeOfFam(*family) : nullptr;
        expect(u"fatherRoot", father ? AttributeValue(Ref<LNNode>(father->root())) : NoneMarker());
        expect(u"father", father ? textOrNone(father->nameSurnameFirst(true, false, 64)) : NoneMarker());
        expect(u"motherRoot", mother ? AttributeValue(Ref<LNNode>(mother->root())) : NoneMarker());
        expect(u"mother", mother ? textOrNone(mother->nameSurnameFirst(true, false, 64)) : NoneMarker());
    }
    EXPECT_EQ(tableLog, log.lines()) << where;

    // The rows are in list order; a key listed twice answers with its later row.
    std::unordered_map<String, int> lastRow;
    for (std::size_t row = 0; row < persons.size(); ++row)
        if (persons[row]->key()) lastRow[persons[row]->key().str()] = static_cast<int>(row);
    for (const auto& [key, row] : lastRow)
        ASSERT_EQ(controller.rowOfKey(key), row) << where << " " << toUtf8(key);
    EXPECT_EQ(controller.rowOfKey(u"@NOT THERE@"), -1) << where;
}

} // namespace

TEST(LNKinloomControllerTableRows, StoreThePlainValuesAndLogTheirLinesOnEveryPerson) {
    setCollationLocale("en");
    LogCapture log;
    std::vector<std::string> files = {viewerFile};
    for (const char* name : {"royal92/royal92.ged", "findmypast/The_Kennedy_Family.ged",
                             "gedcom4j/willis.ged", "gedcom4j/willis-ascii.ged", "gedcom4j/allged.ged"}) {
        std::string path = std::string("../shared/testdata/") + name;
        if (std::ifstream(path)) files.push_back(path);
    }
    if (files.size() == 1) GTEST_SKIP() << "public test files not found in ../shared/testdata";
    for (const std::string& path : files) {
        LNHeadlessViewer viewer;
        viewer.application().openFile(path);
        ASSERT_NE(viewer.controller().gedcomRecords(), nullptr) << path;
        expectPlainRowValues(viewer.controller(), path);
    }
}

TEST_F(LNKinloomControllerTable, BuildingTheRowsAgainReplacesTheirValues) {
    IndiList persons = controller().gedcomRecords()->indiRecords();
    persons[0]->setAttribute(SharedString(u"kept"), u"note");
    const AttributeValue* firstId = persons[0]->attributeForKey(u"id");
    std::reverse(persons.begin(), persons.end());
    controller().setupTableData(&persons);
    EXPECT_EQ(std::get<std::int64_t>(*firstId), 8) << "the value handed out follows";
    EXPECT_EQ(std::get<std::int64_t>(*persons[0]->attributeForKey(u"id")), 1);
    EXPECT_EQ(*attributeString(persons[7]->attributeForKey(u"note")), u"kept") << "other keys stay";
    EXPECT_EQ(persons[7]->attributes()->size(), 12u);
    EXPECT_EQ(controller().rowOfKey(u"@I9@"), 0);
    EXPECT_EQ(controller().rowOfKey(u"@I1@"), 7);
    expectPlainRowValues(controller(), viewerFile);

    // From the table's own rows, sorted by name.
    clickHeader(u"name");
    Keys byName = rowKeys();
    controller().setupTableData(controller().sortedPersonRecords());
    EXPECT_EQ(rowKeys(), byName);
    for (std::size_t row = 0; row < byName.size(); ++row) {
        const LNGedcomIndiRecord& shown = *(*controller().sortedPersonRecords())[row];
        EXPECT_EQ(std::get<std::int64_t>(*shown.attributeForKey(u"id")), static_cast<std::int64_t>(row + 1));
        EXPECT_EQ(controller().rowOfKey(fromUtf8("@" + byName[row] + "@")), static_cast<int>(row));
    }

    // A person listed twice: the later row answers for the key, as the later id stands.
    IndiList twice = {persons[7], persons[6], persons[7]};
    controller().setupTableData(&twice);
    EXPECT_EQ(std::get<std::int64_t>(*twice[0]->attributeForKey(u"id")), 3);
    EXPECT_EQ(controller().rowOfKey(u"@I1@"), 2);
    EXPECT_EQ(controller().rowOfKey(u"@I2@"), 1);
    EXPECT_EQ(controller().rowOfKey(u"@I9@"), -1);
    EXPECT_EQ(controller().rowOfKey(u""), -1);

    controller().setupTableData(nullptr);
    EXPECT_EQ(controller().rowOfKey(u"@I1@"), -1);
    EXPECT_EQ(controller().numberOfRowsInTableView(&table()), 0);
}
