// kinloom-gedgen PERSONS SEED OUTPUT
//
// Writes a synthetic GEDCOM 5.5 file of about PERSONS persons, the same bytes
// for the same arguments on every machine: header, submitter, sources,
// persons (names with accented letters, sex, birth, death and burial events
// with dates and places, family links, notes with continuation lines, source
// citations, occupations, change stamps), families (husband, wife, children, marriage) and trailer. The
// text is UTF-8 with LF line ends.

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

void writeEvent(GedcomWriter& out, Random& random, std::string_view tag, int year) {
    out.line(1, tag);
    if (random.percent(90)) out.line(2, "DATE", date(random, year));
    if (random.percent(80)) out.line(2, "PLAC", random.pick(places));
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
    out.line(2, "DATE", date(random, random.between(1995, 2024)));
    char time[16];
    std::snprintf(time, sizeof time, "%02d:%02d:%02d", random.below(24), random.below(60), random.below(60));
    out.line(3, "TIME", time);
}

void writeHeader(GedcomWriter& out) {
    out.line(0, "HEAD");
    out.line(1, "SOUR", "KINLOOM-GEDGEN");
    out.line(2, "NAME", "Kinloom synthetic data");
    out.line(1, "SUBM", "@U1@");
    out.line(1, "GEDC");
    out.line(2, "VERS", "5.5");
    out.line(2, "FORM", "LINEAGE-LINKED");
    out.line(1, "CHAR", "UTF-8");
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

std::string generate(int numPersons, std::uint64_t seed) {
    Random random(seed);
    Population population = buildPopulation(numPersons, random);
    int numSources = std::max(3, numPersons / 1000);
    GedcomWriter out;
    writeHeader(out);
    writeSources(out, random, numSources);
    for (std::size_t i = 0; i < population.persons.size(); ++i)
        writePerson(out, random, population.persons[i], static_cast<int>(i), numSources);
    for (std::size_t i = 0; i < population.families.size(); ++i)
        writeFamily(out, random, population.families[i], population, static_cast<int>(i));
    out.line(0, "TRLR");
    return out.text();
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: kinloom-gedgen PERSONS SEED OUTPUT\n";
        return 2;
    }
    int numPersons = std::atoi(argv[1]);
    std::uint64_t seed = std::strtoull(argv[2], nullptr, 10);
    if (numPersons < 1) {
        std::cerr << "kinloom-gedgen: PERSONS must be at least 1\n";
        return 2;
    }
    std::string text = generate(numPersons, seed);
    std::ofstream file(argv[3], std::ios::binary);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!file) {
        std::cerr << "kinloom-gedgen: cannot write " << argv[3] << "\n";
        return 1;
    }
    return 0;
}
