#pragma once
// What the user keeps out of the records: rules.txt in the data folder, one
// rule a line, UTF-8. A rule matches a program's file name or a text in the
// window title and hides the title, keeps the sample out, or names a
// category; the first rule that matches wins. Without the file the built-in
// rules apply (private browser windows, password managers).
//
// Line format ('#' starts a comment; blank lines are ignored):
//   program <file name pattern> -> <action>
//   title <text pattern> -> <action>
//   presence on|off
// where <action> is "hide", "skip" or "category <name>". A program pattern
// matches the whole file name, a title pattern any part of the title; both
// ignore letter case and take '*' for any run of characters.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/string.h"

namespace horalis {

// The title counted in place of a hidden one.
inline constexpr StringView kPrivateWindowTitle = u"Private window";
inline constexpr StringView kRulesFileName = u"\\rules.txt";

// More than this many rules, a line longer than this, or a file larger than
// this, and the excess is skipped (and shown as such).
inline constexpr size_t kMaxRules = 1000;
inline constexpr size_t kMaxRuleLineLength = 4000;
inline constexpr size_t kMaxRulesFileBytes = 1 << 20;

enum class RuleTarget { Program, Title };
enum class RuleAction { HideTitle, DontRecord, Category };

struct RecordingRule {
    RuleTarget target = RuleTarget::Title;
    String pattern;
    RuleAction action = RuleAction::HideTitle;
    String category;  // for RuleAction::Category
    bool operator==(const RecordingRule&) const = default;
};

// A line of rules.txt that could not be read; it takes no part in matching.
struct SkippedRuleLine {
    size_t number = 0;  // from 1; 0 for the part of a file beyond its size limit
    String text;
};

struct RuleFile {
    std::vector<RecordingRule> rules;  // in the file's order
    bool countPresence = false;        // "Count watching video and calls as present"
    std::vector<SkippedRuleLine> skipped;
};

// The rules in effect on the first start, before the user has saved any.
RuleFile builtInRuleFile();

// One line, without its line end; nothing when it is no rule.
std::optional<RecordingRule> parseRuleLine(StringView line);
// The line a rule is written as (parseRuleLine reads it back as the same rule).
String formatRuleLine(const RecordingRule& rule);
// False when a rule cannot be written so that it reads back the same: an
// empty or multi-line pattern or category, or a category holding " -> ".
bool ruleIsWritable(const RecordingRule& rule);

// The bytes of rules.txt: a byte-order mark, CR LF or LF line ends and any
// garbage are accepted; each unreadable line is skipped and listed.
RuleFile parseRuleFile(std::string_view bytes);
// What the dialog writes: a short explanation, the rules, the presence
// switch, and each skipped line kept as a comment so its text is not lost.
std::string formatRuleFile(const RuleFile& file);

String rulesFilePath(const String& dataFolder);
// rules.txt of the data folder; the built-in rules when it is missing or
// cannot be read.
RuleFile loadRuleFile(const String& dataFolder);
// Written beside the file and moved over it. False when that failed.
bool saveRuleFile(const String& dataFolder, const RuleFile& file);

// Letter case folded for matching: Latin, Greek and Cyrillic letters.
char16_t foldCase(char16_t c);
String foldedCase(StringView text);

// A pattern made ready for matching: its letter case folded and cut at its
// stars into literal parts, which are then looked for in turn (the leftmost
// place of each part is always a right one).
class WildcardPattern {
public:
    // anywhere: the pattern may start and end anywhere in the text.
    WildcardPattern(StringView pattern, bool anywhere);
    // text must be folded (foldedCase).
    bool matches(StringView foldedText) const;

private:
    std::vector<String> parts_;
    bool anchoredStart_ = false;
    bool anchoredEnd_ = false;
};

// The whole text matches the pattern, ignoring letter case; '*' stands for
// any run of characters, the empty one too.
bool wildcardMatch(StringView pattern, StringView text);
bool ruleMatches(const RecordingRule& rule, StringView path, StringView title);

// Rules made ready for matching many samples: each pattern prepared once, and
// a sample's file name and title folded once for all of them.
class RuleMatcher {
public:
    RuleMatcher() = default;
    explicit RuleMatcher(std::vector<RecordingRule> rules);
    const std::vector<RecordingRule>& rules() const { return rules_; }
    // The first rule that matches, or nullptr.
    const RecordingRule* firstMatch(StringView path, StringView title);
    // Whether a rule puts time into a category.
    bool hasCategoryRule() const;

private:
    std::vector<RecordingRule> rules_;
    std::vector<WildcardPattern> patterns_;
    String foldedName_;
    String foldedTitle_;
};

// The tick's view of the rules: it asks about every present sample, and
// the answer for a program and title is worked out only when either
// changes (titles change far less often than twice a second).
class RecordingFilter {
public:
    void setRules(std::vector<RecordingRule> rules);
    const std::vector<RecordingRule>& rules() const { return matcher_.rules(); }

    // False when the sample is not to be recorded; a title to be hidden is
    // replaced by kPrivateWindowTitle in place.
    bool admit(StringView path, String& title);

    // Some rule keeps samples out: the tick then asks about away time too.
    bool keepsAnyOut() const { return keepsAnyOut_; }

    // How often the rules have been run (the cache's misses).
    size_t decisions() const { return decisions_; }

private:
    enum class Decision { Record, Hide, Skip };
    RuleMatcher matcher_;
    bool cached_ = false;
    String cachedPath_;
    String cachedTitle_;
    Decision cachedDecision_ = Decision::Record;
    size_t decisions_ = 0;
    bool keepsAnyOut_ = false;
};

}  // namespace horalis
