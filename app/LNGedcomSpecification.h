#pragma once

#include "tree/LNNode.h"
#include "memory/Ref.h"
#include "memory/SharedString.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace kinloom {

/// A grammar of GEDCOM line structure, read from a specification text, and
/// the structure validator that marks the lines of a record against it.
///
/// The text is a sequence of rules `name : items ;`. An item is a TAG, a
/// rule_name or a tag set `( TAG TAG ... )`, optionally followed by a group
/// `[ items ]` naming the lines allowed directly below a line it accepts.
/// Blanks, tabs and line ends separate tokens; there are no comments.
///
/// The validator sets the node attribute "validcode" of every line of a
/// record to "good", "badchild" or "bad". It checks tags and nesting only.
/// No walk over a record recurses per level, so records of any depth are
/// safe. It caches, per grammar node, the alternatives below it: grammar
/// nodes must not change once used, and a specification serves one thread.
class LNGedcomSpecification {
  public:
    /// Token codes of getToken.
    static constexpr int TokenEnd = -1;
    static constexpr int TokenRuleName = 'a';
    static constexpr int TokenTag = 'A';
    static constexpr int TokenColon = ':';
    static constexpr int TokenOpenGroup = '[';
    static constexpr int TokenCloseGroup = ']';
    static constexpr int TokenOpenTagSet = '(';
    static constexpr int TokenCloseTagSet = ')';
    static constexpr int TokenSemicolon = ';';

    using NodeMap = std::unordered_map<SharedString, Ref<LNNode>>;

    /// A reader positioned at the start of the text. Its tables stay empty:
    /// initFromFile and initFromString make ready-to-use specifications.
    explicit LNGedcomSpecification(String specification);

    /// Reads the file (UTF-8 path) as 7-bit ASCII and its grammar. Null when
    /// the file cannot be read, holds a byte above 0x7F, or is no valid grammar.
    static std::unique_ptr<LNGedcomSpecification> initFromFile(const std::string& path);
    /// As initFromFile, from a text already in memory.
    static std::unique_ptr<LNGedcomSpecification> initFromString(StringView text);

    /// Reads the grammar from the start of the text: a node "rules" whose
    /// children are the rules in file order, or null on a syntax error. An
    /// unfinished last rule is dropped; a character that begins no token is
    /// logged as "Specification error on character C" and ends the reading
    /// without error. A "[" not directly after an item is a syntax error.
    Ref<LNNode> parseSpecification();
    /// Reads the next token and returns its code. For a rule name or a tag,
    /// out receives its text (of any length); for every other token it is
    /// set to null.
    int getToken(SharedString& out);
    /// The code unit at the read position, advancing it; -1 at the end,
    /// without advancing.
    int getChar();
    /// Steps the read position back by one.
    void ungetChar();

    /// Every rule by name; a later rule of the same name replaces an earlier one.
    const NodeMap& ruleMap() const { return ruleMap_; }
    /// For every rule whose name contains "record", its first item, filed
    /// under that item's name (a record rule without items files nothing).
    const NodeMap& recordMap() const { return recordMap_; }
    const String& specification() const { return specification_; }
    std::int32_t dex() const { return dex_; }

    /// Validates and marks every line of the record under root. A record
    /// whose tag has no record rule is "bad" throughout.
    void validateRecord(LNNode* root) const;
    /// Marks node "good" and matches each of its children against the
    /// alternatives (the children of the grammar node). True when every
    /// child fits.
    bool validateList(LNNode* node, const LNNode* alternatives) const;
    /// True when node fits one of the alternatives with all its lines below.
    /// Marks "good" each line some alternative accepts by tag, whether or not
    /// the lines below it fit; a line no alternative accepts stays unmarked.
    ///
    /// A rule item leads to the alternatives of the rule it names; one that
    /// names no rule, or a rule already being expanded for the same line (a
    /// cycle through rule items alone), is an alternative that never fits.
    bool validateNode(LNNode* node, const LNNode* alternatives) const;
    /// Marks "bad" every line of the subtree that has no mark yet.
    static void setBads(LNNode* node);
    /// Turns "good" into "badchild" on every line with a non-"good" line
    /// somewhere below it. Lines below a non-"good" line are not visited.
    static void setBadChildren(LNNode* node);

    /// The attribute key of the marks and the three marks' texts (the
    /// validator writes LNNode::Mark, which allocates nothing).
    static StringView validCodeKey() { return LNNode::markKey; }
    static const SharedString& goodMark();
    static const SharedString& badChildMark();
    static const SharedString& badMark();
    /// The mark of a line, or null when it has none.
    static const SharedString* markOf(const LNNode* node);

  private:
    /// An item a line may match below a grammar node.
    struct Alternative {
        const LNNode* item;
        // The alternatives below the item, looked up on first use.
        mutable const std::unordered_map<SharedString, std::vector<Alternative>>* below;
    };
    /// The alternatives of a grammar node by tag: its items, with rule items
    /// replaced by the items of the rules they name, and tag sets filed under
    /// each of their tags.
    using AlternativeIndex = std::unordered_map<SharedString, std::vector<Alternative>>;
    struct Alternatives {
        Ref<const LNNode> group; // keeps the cache's key alive, so its address is not reused
        AlternativeIndex byTag;
    };
    /// One way a line is read: an item that accepts it, whose group gives
    /// the alternatives for the lines below; whether all of those fit so far;
    /// and the items the group offers the child being matched.
    struct Attempt {
        const LNNode* item;
        const AlternativeIndex* below;
        const std::vector<Alternative>* forChild;
        bool fits;
    };
    /// A line on the path the matcher is on.
    struct Frame {
        std::size_t firstAttempt; // the line's attempts run from here to the next frame's
        bool badBelow;            // whether some line below is not "good" (when finishing)
    };

    void buildTables(const Ref<LNNode>& rules);
    const AlternativeIndex& alternativesOf(const LNNode* group) const;
    AlternativeIndex indexAlternatives(const LNNode* group) const;
    const std::vector<Alternative>* alternativesFor(const LNNode* group, const SharedString& tag) const;
    const AlternativeIndex& alternativesBelow(const Alternative& alternative) const;
    /// Matches the subtree against the attempts in attempts_; true when one
    /// fits. With finish, also marks the rest as setBads and setBadChildren would.
    bool matchSubtree(LNNode* top, bool finish) const;
    /// The matcher's steps into a line below the top and out of it; entering
    /// is false when no alternative accepts the line's tag.
    bool enterLine(LNNode* line, bool finish) const;
    void leaveLine(LNNode* line, bool finish) const;

    NodeMap ruleMap_;
    NodeMap recordMap_;
    String specification_;
    std::int32_t dex_ = 0;
    String token_;
    Ref<LNNode> rules_;
    mutable std::unordered_map<const LNNode*, Alternatives> alternatives_;
    // Scratch stacks of the matcher, kept to spare an allocation per record.
    mutable std::vector<Attempt> attempts_;
    mutable std::vector<Frame> frames_;
};

} // namespace kinloom
