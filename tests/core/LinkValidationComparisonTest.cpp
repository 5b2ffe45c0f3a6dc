// Link validation and key lookups compared with the plain way of doing them
// (every link looked up by its text, every role found by comparing texts),
// on generated files with damaged links and on public files.

#include "LNGedcomRecordSet.h"
#include "SystemLog.h"
#include "TextServices.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace kinloom;

namespace {

using Log = std::vector<std::string>;

String fill(StringView format, std::initializer_list<StringView> args) {
    String text;
    auto arg = args.begin();
    for (std::size_t i = 0; i < format.size(); ++i) {
        if (format.substr(i, 2) == u"%@" && arg != args.end()) {
            text += *arg++;
            ++i;
        } else {
            text += format[i];
        }
    }
    return text;
}

StringView valueOf(const LNGedcomNode* line) {
    return line && line->value() ? line->value().view() : StringView(u"(null)");
}

// Pre-order over every line of the record.
template <typename Visit> void walk(const LNGedcomRecord& record, Visit visit) {
    std::vector<const LNGedcomNode*> stack{record.root().get()};
    while (!stack.empty()) {
        const LNGedcomNode* line = stack.back();
        stack.pop_back();
        visit(*line);
        if (const auto* children = line->children())
            for (auto child = children->rbegin(); child != children->rend(); ++child)
                stack.push_back(static_cast<const LNGedcomNode*>(child->get()));
    }
}

template <typename Missing>
void forEachMissingSource(const LNGedcomRecordSet& set, const LNGedcomRecord& record, Missing missing) {
    walk(record, [&](const LNGedcomNode& line) {
        if (line.tag() == u"SOUR" && isCrossReference(line.value().view()) &&
            !set.sourWithKey(line.value().view()))
            missing(line);
    });
}

// validate() the plain way, through the public lookups and checks. The
// counts logged leave out the first `earlier` errors of the list.
void validatePlainly(LNGedcomRecordSet& set, LNGedcomErrors& errors, int earlier) {
    auto logCount = [&](const char* what) {
        systemLog(std::string("after validating ") + what + " there are " +
                  std::to_string(errors.count() - earlier) + " errors");
    };
    for (const auto& record : *set.records()) {
        walk(*record, [&](const LNGedcomNode& line) {
            StringView key = line.value().view();
            if (!isCrossReference(key)) return;
            const auto& found = set.recordWithKey(key);
            if (!found)
                systemLog(toUtf8(fill(u"record with key %@ does not exist", {key})));
            else if (!checkReferenceRecordTypes(*record, line, *found))
                systemLog(toUtf8(fill(u"record with key %@ does exist but has wrong type", {key})));
        });
    }

    std::vector<int> husbLines, wifeLines, chilLines;
    for (const auto& indi : set.indiRecords()) {
        const StringView key = indi->key().view();
        const int line = indi->lineNumber();
        const LNGedcomNode* name = indi->name();
        if (!name || !name->value())
            errors.addError(LNGedcomErrorIllegalName, name ? name->lineNumber() : 0, fill(u"INDI %@", {key}));
        auto reportLink = [&](ErrorKind kind, int at, StringView format, const LNGedcomNode* link) {
            errors.addError(kind, at, fill(format, {key, valueOf(link)}));
        };
        const int sex = sexValue(indi->sex());
        int childTotal = 0;
        for (const LNGedcomNode* link : indi->famcArray()) {
            int husb = 0, wife = 0, chil = 0;
            const int roles = set.checkIndi(key, link, &husb, &wife, &chil);
            set.checkIndiNew(key, link, husbLines, wifeLines, chilLines);
            childTotal += chil;
            if (husb > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ as HUSB not CHILD", link);
            if (wife > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ as WIFE not CHILD", link);
            if (chil == 0) reportLink(LNGedcomErrorMissingLink, line, u"INDI %@ not in FAM %@ as CHIL", link);
            if (roles > 1)
                reportLink(LNGedcomErrorMultipleRoles, line, u"INDI %@ in FAM %@ multiple roles", link);
            if (!husbLines.empty())
                reportLink(LNGedcomErrorWrongRole, husbLines.front(), u"INDI %@ in FAM %@ as HUSB not CHILD",
                           link);
            if (!wifeLines.empty())
                reportLink(LNGedcomErrorWrongRole, wifeLines.front(), u"INDI %@ in FAM %@ as WIFE not CHILD",
                           link);
        }
        if (childTotal > 1) errors.addObject(fill(u"INDI %@ is CHIL in multiple FAMs", {key}));
        for (const LNGedcomNode* link : indi->famsArray()) {
            int husb = 0, wife = 0, chil = 0;
            const int roles = set.checkIndi(key, link, &husb, &wife, &chil);
            if (husb > 0 && sex != 1)
                reportLink(LNGedcomErrorWrongSex, line, u"INDI %@ in FAM %@ should be male", link);
            if (wife > 0 && sex != 2)
                reportLink(LNGedcomErrorWrongSex, line, u"INDI %@ in FAM %@ should be female", link);
            if (chil > 0)
                reportLink(LNGedcomErrorWrongRole, line, u"INDI %@ in FAM %@ should be spouse", link);
            if (roles > 1)
                reportLink(LNGedcomErrorMultipleRoles, line, u"INDI %@ in FAM %@ multiple roles", link);
        }
        forEachMissingSource(set, *indi, [&](const LNGedcomNode& source) {
            errors.addError(LNGedcomErrorUndefinedKey, source.lineNumber(),
                            fill(u"SOUR %@ does not exist", {source.value().view()}));
        });
    }
    logCount("INDIs");

    std::vector<int> famcLines, famsLines;
    for (const auto& fam : set.famRecords()) {
        const StringView key = fam->key().view();
        for (const LNGedcomNode* link : fam->husbArray()) {
            const StringView person = valueOf(link);
            if (!link || !link->value() || !set.indiWithKey(link->value().view())) {
                errors.addError(LNGedcomErrorUndefinedKey, link->lineNumber(),
                                fill(u"INDI %@ undefined", {person}));
                continue;
            }
            const int links = set.checkFamNew(key, link, famcLines, famsLines);
            if (!famcLines.empty())
                errors.addObject(fill(u"FAM %@ is FAMC in INDI %@ but should be FAMS one", {key, person}));
            if (famsLines.empty())
                errors.addObject(fill(u"FAM %@ should be FAMS in INDI %@ but isn't two", {key, person}));
            if (links > 1) errors.addObject(fill(u"FAM %@ in INDI %@ in multiple roles", {key, person}));
        }
        auto checkMembers = [&](std::span<LNGedcomNode* const> links, int wrongLink, StringView wrongText) {
            for (const LNGedcomNode* link : links) {
                int counts[2] = {0, 0};
                const int total = set.checkFam(key, link, &counts[0], &counts[1]);
                if (counts[wrongLink] > 0) errors.addObject(fill(wrongText, {key, valueOf(link)}));
                if (total > 1)
                    errors.addObject(fill(u"FAM %@ in INDI %@ in multiple roles", {key, valueOf(link)}));
            }
        };
        checkMembers(fam->wifeArray(), 0, u"FAM %@ is FAMC in INDI %@ but should be FAMS three");
        checkMembers(fam->chilArray(), 1, u"FAM %@ is FAMS in INDI %@ but should be FAMC four");
        forEachMissingSource(set, *fam, [&](const LNGedcomNode& source) {
            errors.addObject(fill(u"INDI %@ has SOUR %@ that does not exist", {key, source.value().view()}));
        });
    }
    logCount("FAMs");
}

// Runs validate() again on the loaded set, then the plain way, and expects
// the same log; returns that log.
Log compareValidation(const String& text) {
    LNGedcomErrors errors;
    std::unique_ptr<LNGedcomRecordSet> set;
    {
        LogCapture loading;
        set = std::make_unique<LNGedcomRecordSet>(&text, &errors);
    }
    const int before = errors.count();
    LogCapture fast;
    set->validate();
    const Log fastLog = fast.lines();
    const int added = errors.count() - before;
    fast.clear();
    validatePlainly(*set, errors, added);
    EXPECT_EQ(fastLog, fast.lines());
    EXPECT_EQ(errors.count() - before, 2 * added);
    return fastLog;
}

// Every key lookup against maps built from the records in file order: the
// first record with a key, and the first of each kind.
void compareLookups(const LNGedcomRecordSet& set) {
    std::map<String, const LNGedcomRecord*> any, indis, fams, sours;
    std::vector<const LNGedcomRecord*> indiList, famList, sourList;
    for (const auto& record : *set.records()) {
        if (!record->key()) continue;
        const String key = record->key().str();
        any.emplace(key, record.get());
        const StringView tag = record->tag();
        if (tag == u"INDI" && indis.emplace(key, record.get()).second) indiList.push_back(record.get());
        if (tag == u"FAM" && fams.emplace(key, record.get()).second) famList.push_back(record.get());
        if (tag == u"SOUR" && sours.emplace(key, record.get()).second) sourList.push_back(record.get());
    }
    auto expectOne = [](const LNGedcomRecord* found, const std::map<String, const LNGedcomRecord*>& map,
                        const String& key) {
        auto at = map.find(key);
        EXPECT_EQ(found, at == map.end() ? nullptr : at->second) << toUtf8(key);
    };
    for (const auto& [key, record] : any) {
        for (const String& probe : {key, key + u"x", key.substr(0, key.size() - 1)}) {
            expectOne(set.recordWithKey(probe).get(), any, probe);
            expectOne(set.indiWithKey(probe).get(), indis, probe);
            expectOne(set.famWithKey(probe).get(), fams, probe);
            expectOne(set.sourWithKey(probe).get(), sours, probe);
        }
    }
    auto listOf = [](const auto& records) {
        std::vector<const LNGedcomRecord*> list;
        for (const auto& record : records)
            list.push_back(record.get());
        return list;
    };
    EXPECT_EQ(listOf(set.indiRecords()), indiList);
    EXPECT_EQ(listOf(set.famRecords()), famList);
    EXPECT_EQ(listOf(set.sourRecords()), sourList);

    // The name index: each person under the key of each of its names, once.
    std::map<String, std::vector<SharedString>> byName;
    for (const auto& indi : set.indiRecords()) {
        for (const LNGedcomNode* name : indi->nameArray()) {
            if (name->value().empty()) continue;
            std::vector<SharedString>& keys = byName[LNGedcomName(name->value().view()).key()];
            if (keys.empty() || !(keys.back() == indi->key())) keys.push_back(indi->key());
        }
    }
    for (const auto& [nameKey, keys] : byName) {
        const std::vector<SharedString>* filed = set.indisWithNameKey(nameKey);
        ASSERT_TRUE(filed) << toUtf8(nameKey);
        EXPECT_EQ(*filed, keys) << toUtf8(nameKey);
    }
}

// A family file whose links mostly agree, then damaged: links to missing
// records, to records of the wrong kind, without value or at signs, roles
// swapped or repeated, keys repeated within and across kinds, long keys,
// and missing sources at any level.
String generatedFile(unsigned seed, int persons) {
    std::mt19937 random(seed);
    auto chance = [&](int percent) { return static_cast<int>(random() % 100) < percent; };
    auto pick = [&](int count) { return static_cast<int>(random() % static_cast<unsigned>(count)); };
    auto personKey = [&](int i) {
        return i % 17 == 5 ? "@I" + std::to_string(i) + "_with_a_long_key@" : "@I" + std::to_string(i) + "@";
    };
    const int families = persons / 3;
    const int sources = 12;
    std::vector<std::vector<std::string>> personLines(static_cast<std::size_t>(persons));
    std::vector<std::vector<std::string>> familyLines(static_cast<std::size_t>(families));
    for (int f = 0; f < families; ++f) {
        auto& lines = familyLines[static_cast<std::size_t>(f)];
        const std::string famKey = "@F" + std::to_string(f) + "@";
        int husband = pick(persons), wife = pick(persons);
        lines.push_back("1 HUSB " + personKey(husband));
        personLines[static_cast<std::size_t>(husband)].push_back("1 FAMS " + famKey);
        lines.push_back("1 WIFE " + personKey(wife));
        personLines[static_cast<std::size_t>(wife)].push_back("1 FAMS " + famKey);
        for (int c = pick(4); c > 0; --c) {
            int child = pick(persons);
            lines.push_back("1 CHIL " + personKey(child));
            personLines[static_cast<std::size_t>(child)].push_back("1 FAMC " + famKey);
        }
    }
    // Damage, in place or added.
    auto damage = [&](std::vector<std::string>& lines, bool person) {
        for (auto& line : lines) {
            if (!chance(12)) continue;
            const std::string tag = line.substr(2, 4);
            switch (pick(7)) {
            case 0:
                line = "1 " + tag + " @X" + std::to_string(pick(50)) + "@";
                break;
            case 1:
                line =
                    "1 " + tag +
                    (person ? " " + personKey(pick(persons)) : " @F" + std::to_string(pick(families)) + "@");
                break;
            case 2:
                line = "1 " + tag;
                break;
            case 3:
                line = "1 " + tag + " F1";
                break;
            case 4:
                line = "1 " +
                       (person ? std::string(tag == "FAMC" ? "FAMS" : "FAMC")
                               : std::string(tag == "CHIL" ? "HUSB" : "CHIL")) +
                       line.substr(6);
                break;
            case 5:
                lines.push_back(line);
                return;
            default:
                line = "1 " + tag + " @S" + std::to_string(pick(sources)) + "@";
                break;
            }
        }
    };
    std::string text = "0 HEAD\n1 SUBM @U1@\n1 SUBM @U9@\n0 @U1@ SUBM\n";
    for (int s = 0; s < sources; ++s)
        text += "0 @S" + std::to_string(s) + "@ SOUR\n1 TITL Register " + std::to_string(s) + "\n";
    for (int i = 0; i < persons; ++i) {
        auto& lines = personLines[static_cast<std::size_t>(i)];
        damage(lines, false);
        std::shuffle(lines.begin(), lines.end(), random);
        text += "0 " + personKey(i) + " INDI\n";
        if (!chance(5)) text += chance(3) ? "1 NAME\n" : "1 NAME Anna /Berg" + std::to_string(i % 7) + "/\n";
        if (chance(20)) text += "1 NAME Second /Name/\n";
        if (chance(10)) text += "1 NAME Émile /Öberg" + std::to_string(i % 3) + "/\n";
        if (chance(10)) text += "1 NAME Anna /Berg" + std::to_string(i % 7) + "/\n";
        const char* sexes[] = {"1 SEX M\n", "1 SEX F\n", "1 SEX m\n", "1 SEX x\n", ""};
        text += sexes[pick(5)];
        for (const auto& line : lines)
            text += line + "\n";
        if (chance(20)) text += "1 SOUR @S" + std::to_string(pick(sources + 3)) + "@\n";
        if (chance(20))
            text += "1 BIRT\n2 DATE 1900\n2 SOUR @S" + std::to_string(pick(sources + 3)) + "@\n3 PAGE 4\n";
        if (chance(5)) text += "1 SOUR " + personKey(pick(persons)) + "\n";
        if (chance(5)) text += "1 ASSO @F" + std::to_string(pick(families)) + "@\n";
        if (chance(3)) text += "1 NOTE @@\n";
    }
    for (int f = 0; f < families; ++f) {
        auto& lines = familyLines[static_cast<std::size_t>(f)];
        damage(lines, true);
        text += "0 @F" + std::to_string(f) + "@ FAM\n";
        for (const auto& line : lines)
            text += line + "\n";
        if (chance(10)) text += "1 SOUR @S" + std::to_string(pick(sources + 3)) + "@\n";
        if (chance(5)) text += "1 MARR\n2 SOUR @I" + std::to_string(pick(persons)) + "@\n";
    }
    // Keys repeated within and across kinds, a keyless record, loose lines.
    text += "0 @I1@ INDI\n1 NAME Again /Repeated/\n1 FAMC @F1@\n";
    text += "0 @F2@ INDI\n1 NAME Family /Key/\n1 FAMS @F2@\n1 FAMC @I3@\n";
    text += "0 @I4@ FAM\n1 HUSB @I4@\n1 CHIL @F2@\n";
    text += "0 @I2@ SOUR\n0 @S3@ NOTE\n1 SOUR @S3@\n0 @S4@ FAM\n1 WIFE @I2@\n";
    text += "0 @U1@ INDI\n1 FAMS @F3@\n0 NOTE without key\n0 TRLR\n";
    return fromUtf8(text);
}

std::optional<String> publicFile(const std::string& path) {
    std::ifstream file("../shared/testdata/" + path, std::ios::binary);
    if (!file) return std::nullopt;
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.erase(0, 3);
    return fromUtf8(bytes);
}

} // namespace

TEST(LinkValidationComparison, GeneratedFilesWithDamagedLinksLogAsThePlainWay) {
    for (unsigned seed : {1u, 2u, 3u}) {
        const String text = generatedFile(seed, 300);
        const Log log = compareValidation(text);
        // The damage shows: findings of every check are there.
        EXPECT_GT(log.size(), 100u);
        LNGedcomErrors errors;
        LogCapture quiet;
        LNGedcomRecordSet set(&text, &errors);
        compareLookups(set);
    }
}

TEST(LinkValidationComparison, PublicFilesLogAsThePlainWay) {
    bool any = false;
    for (const char* path : {"findmypast/Queen.ged", "findmypast/Microsoft_Windows_DOS_OS2.ged",
                             "findmypast/permutations/Self_Marriage.ged"}) {
        const std::optional<String> text = publicFile(path);
        if (!text) continue;
        any = true;
        compareValidation(*text);
        LNGedcomErrors errors;
        LogCapture quiet;
        LNGedcomRecordSet set(&*text, &errors);
        compareLookups(set);
    }
    if (!any) GTEST_SKIP() << "public test files absent";
}
