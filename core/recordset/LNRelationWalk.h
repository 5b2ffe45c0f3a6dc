#pragma once

#include "recordset/LNGedcomRecordSet.h"

#include <cstdint>
#include <string>
#include <vector>

namespace kinloom {

/// One person met in a relation walk. Records are those of the record set
/// walked and stay valid as long as it does.
struct LNWalkEntry {
    const LNGedcomIndiRecord* indi = nullptr;
    /// Ancestors: the Sosa number (the person 1, the father of n 2n, the
    /// mother 2n + 1). Descendants: the person's place among the children of
    /// the entry it comes from (1, 2, ...), counted across all families; 0
    /// for the first entry and for partners.
    std::uint64_t number = 0;
    /// The entry this one is the parent, child or partner of; -1 for the first.
    int from = -1;
    /// 1 for the person walked from, 2 for parents or children, and so on;
    /// a partner has the generation of the person it is a partner of.
    int generation = 1;
    /// The earlier entry of the same person when the walk met it before
    /// (pedigree collapse, a child listed twice, a cycle); -1 the first time.
    /// A repeated person is not walked again.
    int repeatOf = -1;
    /// Descendants: the entry is a partner of the entry it comes from, listed
    /// before that family's children. Partners are never walked, and never
    /// counted as met: their own line of descent may still come later.
    bool partner = false;
};

/// The deepest walk: at 64 generations a Sosa number still fits in 64 bits.
inline constexpr int maxWalkGenerations = 64;

/// The person's known ancestors over that many generations (1: the person
/// alone; clamped to maxWalkGenerations), in ascending Sosa order, through
/// fatherOfIndi and motherOfIndi. Empty for fewer than 1 generation. Never
/// recurses; costs time and memory linear in the persons listed, which are at
/// most twice the persons of the file.
std::vector<LNWalkEntry> ancestorsOfIndi(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi,
                                         int generations);

/// The person's descendants over that many generations (clamped as above),
/// in d'Aboville order: each person, then for each of its spousal families
/// (spousalFamiliesOfIndi order) the partners other than the person
/// (partnersOfFam) and the children (childrenOfFam), each child followed by
/// its own descendants. Partners are listed for every person walked, the last
/// generation included. A family is walked once, through the first of its
/// partners the walk meets (the cousins' family under one cousin only), so
/// the walk costs time linear in the lines it reads. Empty for fewer than 1
/// generation; never recurses.
std::vector<LNWalkEntry> descendantsOfIndi(const LNGedcomRecordSet& records, const LNGedcomIndiRecord& indi,
                                           int generations);

/// The entry's d'Aboville number ("1", "1.2", "1.2.1"; a partner's is its
/// person's followed by "+", as "1.2+").
std::string dAbovilleNumber(const std::vector<LNWalkEntry>& entries, int index);

/// Which way a walk goes; the chart and kinloom-cli choose by it.
enum class LNWalkKind { ancestors, descendants };
/// ancestorsOfIndi or descendantsOfIndi.
std::vector<LNWalkEntry> walkOfIndi(LNWalkKind kind, const LNGedcomRecordSet& records,
                                    const LNGedcomIndiRecord& indi, int generations);
/// The entry's number as genealogists write it: the Sosa number of an
/// ancestor, the d'Aboville number of a descendant.
std::string walkNumber(LNWalkKind kind, const std::vector<LNWalkEntry>& entries, int index);

} // namespace kinloom
