// kinloom-gedgen PERSONS SEED OUTPUT [ENCODING] [LINE-END]
//
// Writes a synthetic GEDCOM 5.5 file of about PERSONS persons, the same bytes
// for the same arguments on every machine: header, submitter, sources,
// persons (names with accented letters, sex, birth, death and burial events
// with dates and places, family links, notes with continuation lines, source
// citations, occupations, change stamps), families (husband, wife, children,
// marriage) and trailer.
//
// ENCODING is utf8 (the default), ascii (accents dropped, Cyrillic
// transliterated), ansel (diacritics before their letter) or utf16le (with a
// byte-order mark); the header's CHAR line names it. gedcom7 writes the same
// persons as a GEDCOM 7.0 file (UTF-8, no CHAR line, exact change dates, an
// event without date or place holds Y). LINE-END is lf (the default) or crlf.

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

namespace {

/// SplitMix64: tiny, and its sequence is fixed by the seed alone (the
/// standard distributions are not portable between libraries).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    int between(int low, int high) { return low + below(high - low + 1); }
    bool percent(int chance) { return below(100) < chance; }
    template <typename T, std::size_t N> const T& pick(const T (&items)[N]) { return items[below(N)]; }

  private:
    std::uint64_t state_;
};

const char* const maleNames[] = {"John",  "William", "James", "José",     "François", "Jürgen",
                                 "Søren", "Ólafur",  "Piotr", "Giovanni", "Hans",     "Thomas",
                                 "Henry", "Ahmet",   "Иван",  "Mateo",    "Björn",    "Paul"};
const char* const femaleNames[] = {"Mary",  "Elizabeth",  "Anna",  "María", "Zoë",        "Ingrid",
                                   "Chloé", "Małgorzata", "Sarah", "Jane",  "Margarethe", "Ayşe",
                                   "Ольга", "Lucía",      "Åsa",   "Ruth"};
const char* const surnames[] = {"Smith",   "Müller",   "Johansson", "García", "Núñez", "Dvořák",  "Kowalski",
                                "O'Brien", "Öztürk",   "Nguyễn",    "Brown",  "Rossi", "Lefèvre", "Иванов",
                                "Jensen",  "Schröder", "Taylor",    "Kovács", "Smyth", "Martin"};
const char* const places[] = {"Springfield, Sangamon, Illinois, United States",
                              "Toronto, Ontario, Canada",
                              "München, Bayern, Deutschland",
                              "São Paulo, Brasil",
                              "Zürich, Schweiz",
                              "Paris, France",
                              "Kraków, Małopolskie, Polska",
                              "Göteborg, Västra Götaland, Sverige",
                              "Cork, Ireland",
                              "Boston, Suffolk, Massachusetts, United States"};
const char* const months[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                              "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
const char* const occupations[] = {"Farmer",   "Weaver", "Schmied", "Charpentier", "Teacher",
                                   "Tailleur", "Miner",  "Sjöman",  "Merchant",    "Zimmermann"};
const char* const noteWords[] = {"farmer", "emigrated", "with",  "his",   "her",    "family", "to",
                                 "the",    "new",       "world", "in",    "spring", "après",  "la",
                                 "guerre", "über",      "den",   "Fluss", "and",    "lived",  "near"};

struct Person {
    bool male = true;
    int given = 0;
    int surname = 0;
    int birthYear = 1800;
    int famc = -1;
    std::vector<int> fams;
};

struct Family {
    int husband = -1;
    int wife = -1;
    std::vector<int> children;
};

struct Population {
    std::vector<Person> persons;
    std::vector<Family> families;
};

// Families in generations: most spouses are children of earlier families, so
// persons carry both FAMC and FAMS links.
Population buildPopulation(int count, Random& random) {
    Population population;
    population.persons.reserve(static_cast<std::size_t>(count));
    std::vector<int> unmarried[2]; // [0] women, [1] men, in order of birth
    std::size_t nextUnmarried[2] = {0, 0};

    auto newPerson = [&](bool male, int surname, int birthYear) {
        Person person;
        person.male = male;
        person.given = male ? random.below(std::size(maleNames)) : random.below(std::size(femaleNames));
        person.surname = surname;
        person.birthYear = birthYear;
        population.persons.push_back(person);
        return static_cast<int>(population.persons.size()) - 1;
    };
    auto spouse = [&](bool male, int birthYear) {
        auto& queue = unmarried[male];
        std::size_t& next = nextUnmarried[male];
        if (next < queue.size() && random.percent(70)) return queue[next++];
        return newPerson(male, random.below(std::size(surnames)), birthYear);
    };

    while (static_cast<int>(population.persons.size()) < count) {
        int family = static_cast<int>(population.families.size());
        int husband = spouse(true, 1700 + random.below(200));
        int wife = spouse(false, population.persons[husband].birthYear + random.between(-5, 5));
        Family record{husband, wife, {}};
        population.persons[husband].fams.push_back(family);
        population.persons[wife].fams.push_back(family);
        int numChildren = random.between(0, 5);
        for (int i = 0; i < numChildren && static_cast<int>(population.persons.size()) < count; ++i) {
            bool male = random.percent(50);
            int child = newPerson(male, population.persons[husband].surname,
                                  population.persons[husband].birthYear + random.between(20, 40));
            population.persons[child].famc = family;
            record.children.push_back(child);
            unmarried[male].push_back(child);
        }
        population.families.push_back(std::move(record));
    }
    return population;
}

/// Collects GEDCOM lines as UTF-8 text with LF line ends.
class GedcomWriter {
  public:
    explicit GedcomWriter(bool gedcom7) : gedcom7_(gedcom7) {}
    bool gedcom7() const { return gedcom7_; }
    void line(int level, std::string_view tag, std::string_view value = {}) { line(level, {}, tag, value); }
    void record(std::string_view xref, std::string_view tag) { line(0, xref, tag, {}); }
    const std::string& text() const { return text_; }

  private:
    void line(int level, std::string_view xref, std::string_view tag, std::string_view value) {
        text_ += std::to_string(level);
        if (!xref.empty()) (text_ += ' ') += xref;
        (text_ += ' ') += tag;
        if (!value.empty()) (text_ += ' ') += value;
        text_ += '\n';
    }
    std::string text_;
    bool gedcom7_;
};

std::string xref(char kind, int index) {
    return "@" + std::string(1, kind) + std::to_string(index + 1) + "@";
}

std::string date(Random& random, int year) {
    switch (random.below(4)) {
    case 0:
        return "ABT " + std::to_string(year);
    case 1:
        return std::string(random.pick(months)) + " " + std::to_string(year);
    default:
        return std::to_string(random.between(1, 28)) + " " + random.pick(months) + " " + std::to_string(year);
    }
}

std::string exactDate(Random& random, int year) {
    return std::to_string(random.between(1, 28)) + " " + random.pick(months) + " " + std::to_string(year);
}

void writeEvent(GedcomWriter& out, Random& random, std::string_view tag, int year) {
    // Drawn in the same order for both versions, so that they hold the same persons.
    const std::string when = random.percent(90) ? date(random, year) : std::string();
    const std::string where = random.percent(80) ? random.pick(places) : "";
    out.line(1, tag, out.gedcom7() && when.empty() && where.empty() ? "Y" : "");
    if (!when.empty()) out.line(2, "DATE", when);
    if (!where.empty()) out.line(2, "PLAC", where);
}

void writeNote(GedcomWriter& out, Random& random) {
    auto sentence = [&] {
        std::string text = random.pick(noteWords);
        for (int i = random.between(4, 12); i > 0; --i)
            (text += ' ') += random.pick(noteWords);
        return text;
    };
    out.line(1, "NOTE", sentence());
    for (int i = random.between(1, 3); i > 0; --i)
        out.line(2, "CONT", sentence());
}

void writeCitation(GedcomWriter& out, Random& random, int numSources) {
    out.line(1, "SOUR", xref('S', random.below(numSources)));
    out.line(2, "PAGE", "p. " + std::to_string(random.between(1, 400)));
}

// The change stamp that most programs write into every record.
void writeChange(GedcomWriter& out, Random& random) {
    out.line(1, "CHAN");
    const int year = random.between(1995, 2024);
    out.line(2, "DATE", out.gedcom7() ? exactDate(random, year) : date(random, year));
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", random.below(24), random.below(60), random.below(60));
    out.line(3, "TIME", time);
}

void writeHeader(GedcomWriter& out, std::string_view characterSet) {
    out.line(0, "HEAD");
    out.line(1, "SOUR", "KINLOOM-GEDGEN");
    out.line(2, "NAME", "Kinloom synthetic data");
    out.line(1, "SUBM", "@U1@");
    out.line(1, "GEDC");
    out.line(2, "VERS", out.gedcom7() ? "7.0" : "5.5");
    if (!out.gedcom7()) {
        out.line(2, "FORM", "LINEAGE-LINKED");
        out.line(1, "CHAR", characterSet);
    }
    out.record("@U1@", "SUBM");
    out.line(1, "NAME", "Kinloom Benchmark");
}

void writeSources(GedcomWriter& out, Random& random, int numSources) {
    for (int i = 0; i < numSources; ++i) {
        out.record(xref('S', i), "SOUR");
        out.line(1, "TITL", std::string("Parish register of ") + random.pick(places));
        out.line(1, "AUTH", std::string("Église réformée ") + random.pick(surnames));
    }
}

void writePerson(GedcomWriter& out, Random& random, const Person& person, int index, int numSources) {
    std::string given = person.male ? maleNames[person.given] : femaleNames[person.given];
    out.record(xref('I', index), "INDI");
    out.line(1, "NAME", given + " /" + surnames[person.surname] + "/");
    if (random.percent(5))
        out.line(1, "NAME", given + " " + random.pick(maleNames) + " /" + surnames[person.surname] + "/");
    out.line(1, "SEX", person.male ? "M" : "F");
    writeEvent(out, random, random.percent(85) ? "BIRT" : "CHR", person.birthYear);
    if (random.percent(60)) {
        int deathYear = person.birthYear + random.between(0, 90);
        writeEvent(out, random, "DEAT", deathYear);
        if (random.percent(30)) writeEvent(out, random, "BURI", deathYear);
    }
    if (random.percent(40)) out.line(1, "OCCU", random.pick(occupations));
    if (random.percent(30)) writeEvent(out, random, "RESI", person.birthYear + random.between(10, 50));
    if (person.famc >= 0) out.line(1, "FAMC", xref('F', person.famc));
    for (int family : person.fams)
        out.line(1, "FAMS", xref('F', family));
    if (random.percent(20)) writeNote(out, random);
    if (random.percent(30)) writeCitation(out, random, numSources);
    writeChange(out, random);
}

void writeFamily(GedcomWriter& out, Random& random, const Family& family, const Population& population,
                 int index) {
    out.record(xref('F', index), "FAM");
    out.line(1, "HUSB", xref('I', family.husband));
    out.line(1, "WIFE", xref('I', family.wife));
    for (int child : family.children)
        out.line(1, "CHIL", xref('I', child));
    if (random.percent(80))
        writeEvent(out, random, "MARR", population.persons[family.husband].birthYear + 25);
    writeChange(out, random);
}

std::string generate(int numPersons, std::uint64_t seed, std::string_view characterSet, bool gedcom7) {
    Random random(seed);
    Population population = buildPopulation(numPersons, random);
    int numSources = std::max(3, numPersons / 1000);
    GedcomWriter out(gedcom7);
    writeHeader(out, characterSet);
    writeSources(out, random, numSources);
    for (std::size_t i = 0; i < population.persons.size(); ++i)
        writePerson(out, random, population.persons[i], static_cast<int>(i), numSources);
    for (std::size_t i = 0; i < population.families.size(); ++i)
        writeFamily(out, random, population.families[i], population, static_cast<int>(i));
    out.line(0, "TRLR");
    return out.text();
}

// One character of the UTF-8 text: its code point and its length in bytes.
char32_t decodeUtf8(std::string_view text, std::size_t i, std::size_t& length) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[i + k]); };
    unsigned char b = byte(0);
    if (b < 0x80) return length = 1, b;
    if (b < 0xE0) return length = 2, char32_t(b & 0x1F) << 6 | (byte(1) & 0x3F);
    if (b < 0xF0)
        return length = 3, char32_t(b & 0x0F) << 12 | char32_t(byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
    return length = 4, char32_t(b & 0x07) << 18 | char32_t(byte(1) & 0x3F) << 12 |
                           char32_t(byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
}

/// How a non-ASCII letter of the generator's tables is written in 8 bits:
/// its ASCII form, and its ANSEL bytes (diacritics, then the base letter;
/// or a letter of ANSEL's own).
struct EightBitForm {
    char32_t code;
    const char* ascii;
    const char* ansel;
};

const EightBitForm eightBitForms[] = {
    {U'é', "e",
     "\xE2"
     "e"},
    {U'É', "E",
     "\xE2"
     "E"},
    {U'è', "e",
     "\xE1"
     "e"},
    {U'ë', "e",
     "\xE8"
     "e"},
    {U'ü', "u",
     "\xE8"
     "u"},
    {U'ö', "o",
     "\xE8"
     "o"},
    {U'Ö', "O",
     "\xE8"
     "O"},
    {U'ä', "a",
     "\xE8"
     "a"},
    {U'á', "a",
     "\xE2"
     "a"},
    {U'í', "i",
     "\xE2"
     "i"},
    {U'ó', "o",
     "\xE2"
     "o"},
    {U'Ó', "O",
     "\xE2"
     "O"},
    {U'ú', "u",
     "\xE2"
     "u"},
    {U'ñ', "n",
     "\xE4"
     "n"},
    {U'ã', "a",
     "\xE4"
     "a"},
    {U'ç', "c",
     "\xF0"
     "c"},
    {U'ş', "s",
     "\xF0"
     "s"},
    {U'ř', "r",
     "\xE9"
     "r"},
    {U'Å', "A",
     "\xEA"
     "A"},
    {U'ễ', "e",
     "\xE3\xE4"
     "e"},
    {U'ø', "o", "\xB2"},
    {U'ł', "l", "\xB1"},
    {U'И', "I", "I"},
    {U'в', "v", "v"},
    {U'а', "a", "a"},
    {U'н', "n", "n"},
    {U'о', "o", "o"},
    {U'О', "O", "O"},
    {U'л', "l", "l"},
    {U'ь', "", ""},
    {U'г', "g", "g"},
};

// The UTF-8 text in ASCII or ANSEL; characters without a form become "?".
std::string toEightBits(std::string_view text, bool ansel) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        char32_t code = decodeUtf8(text, i, length);
        if (code < 0x80) {
            out += static_cast<char>(code);
            continue;
        }
        const char* form = "?";
        for (const auto& known : eightBitForms) {
            if (known.code == code) form = ansel ? known.ansel : known.ascii;
        }
        out += form;
    }
    return out;
}

// The UTF-8 text in UTF-16LE after a byte-order mark.
std::string toUtf16le(std::string_view text) {
    std::string out = "\xFF\xFE";
    out.reserve(2 * text.size() + 2);
    auto unit = [&out](char32_t u) {
        out += static_cast<char>(u & 0xFF);
        out += static_cast<char>(u >> 8);
    };
    for (std::size_t i = 0, length = 0; i < text.size(); i += length) {
        char32_t code = decodeUtf8(text, i, length);
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

std::string withCrLf(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 16);
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        std::cerr
            << "usage: kinloom-gedgen PERSONS SEED OUTPUT [utf8|ascii|ansel|utf16le|gedcom7] [lf|crlf]\n";
        return 2;
    }
    int numPersons = std::atoi(argv[1]);
    std::uint64_t seed = std::strtoull(argv[2], nullptr, 10);
    std::string encoding = argc > 4 ? argv[4] : "utf8";
    std::string lineEnd = argc > 5 ? argv[5] : "lf";
    if (numPersons < 1) {
        std::cerr << "kinloom-gedgen: PERSONS must be at least 1\n";
        return 2;
    }
    const char* characterSet = encoding == "utf8" || encoding == "gedcom7" ? "UTF-8"
                               : encoding == "ascii"                       ? "ASCII"
                               : encoding == "ansel"                       ? "ANSEL"
                               : encoding == "utf16le"                     ? "UNICODE"
                                                                           : nullptr;
    if (!characterSet || (lineEnd != "lf" && lineEnd != "crlf")) {
        std::cerr << "kinloom-gedgen: unknown encoding or line end\n";
        return 2;
    }
    std::string text = generate(numPersons, seed, characterSet, encoding == "gedcom7");
    if (lineEnd == "crlf") text = withCrLf(text);
    if (encoding == "ascii" || encoding == "ansel") text = toEightBits(text, encoding == "ansel");
    if (encoding == "utf16le") text = toUtf16le(text);
    std::ofstream file(argv[3], std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file) {
        std::cerr << "kinloom-gedgen: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
