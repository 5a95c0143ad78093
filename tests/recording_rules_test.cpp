#include "tracking/recording_rules.h"

#include <gtest/gtest.h>

#include <string>

#include "temp_folder.h"

namespace horalis {
namespace {

RecordingRule rule(RuleTarget target, StringView pattern, RuleAction action, StringView category = u"") {
    return RecordingRule{target, String(pattern), action, String(category)};
}

TEST(RuleFile, ReadsEachFormAndSkipsEveryUnreadableLineAlone) {
    const std::string bytes =
        "\xEF\xBB\xBF# a comment\r\n"
        "\r\n"
        "  PROGRAM   KeePass.exe   ->   Hide  \r\n"
        "title Bank -> skip\n"
        "title a -> b -> category  Social media \n"
        "presence ON\n"
        "program -> hide\n"                 // no pattern
        "window x -> hide\n"                // unknown target
        "title x hide\n"                    // no arrow
        "title x -> delete\n"               // unknown action
        "title x -> hide now\n"             // trailing words
        "title x -> category\n"             // no category name
        "title \x01x -> hide\n"             // a control character
        "title \xC0\xAF -> hide\n"          // an overlong form
        "title \xED\xA0\x80 -> hide\n"      // an encoded surrogate
        "title ok -> hide";                 // no line end at the end
    const RuleFile file = parseRuleFile(bytes);
    ASSERT_EQ(file.rules.size(), 4u);
    EXPECT_EQ(file.rules[0], rule(RuleTarget::Program, u"KeePass.exe", RuleAction::HideTitle));
    EXPECT_EQ(file.rules[1], rule(RuleTarget::Title, u"Bank", RuleAction::DontRecord));
    // The action follows the last arrow; a pattern may hold one.
    EXPECT_EQ(file.rules[2], rule(RuleTarget::Title, u"a -> b", RuleAction::Category, u"Social media"));
    EXPECT_EQ(file.rules[3], rule(RuleTarget::Title, u"ok", RuleAction::HideTitle));
    EXPECT_TRUE(file.countPresence);
    ASSERT_EQ(file.skipped.size(), 9u);
    EXPECT_EQ(file.skipped[0].number, 7u);
    EXPECT_EQ(file.skipped[0].text, u"program -> hide");
    EXPECT_EQ(file.skipped[8].number, 15u);
    EXPECT_EQ(file.skipped[8].text, u"title \uFFFD\uFFFD\uFFFD -> hide");
}

TEST(RuleFile, EmptyHugeAndOverlongFilesNeverLoseTheReadableRules) {
    const RuleFile empty = parseRuleFile("");
    EXPECT_TRUE(empty.rules.empty());
    EXPECT_TRUE(empty.skipped.empty());
    EXPECT_FALSE(empty.countPresence);

    // A line beyond the length limit, then more rules than are kept, then
    // more bytes than are read: each excess is skipped, the rest stays.
    std::string bytes = "title " + std::string(kMaxRuleLineLength, 'x') + " -> hide\n";
    for (size_t i = 0; i <= kMaxRules; ++i) bytes += "title t" + std::to_string(i) + " -> hide\n";
    while (bytes.size() <= kMaxRulesFileBytes) bytes += "# padding padding padding padding padding\n";
    bytes += "title beyond -> hide\n";
    const RuleFile file = parseRuleFile(bytes);
    EXPECT_EQ(file.rules.size(), kMaxRules);
    EXPECT_EQ(file.rules.back().pattern, u"t" + String(u"999"));
    ASSERT_EQ(file.skipped.size(), 3u);
    EXPECT_EQ(file.skipped[0].number, 1u);
    EXPECT_EQ(file.skipped[1].text, u"title t1000 -> hide");
    EXPECT_EQ(file.skipped[2].number, 0u);  // the part beyond the limit
}

TEST(RuleFile, WrittenFileReadsBackWithSkippedLinesKeptAsComments) {
    RuleFile file = builtInRuleFile();
    file.rules.push_back(rule(RuleTarget::Title, u"Сбербанк 😀 *выписка", RuleAction::Category, u"Деньги"));
    file.countPresence = true;
    file.skipped.push_back({3, u"title oops"});
    const std::string bytes = formatRuleFile(file);
    EXPECT_NE(bytes.find("\r\n# title oops\r\n"), std::string::npos);
    const RuleFile back = parseRuleFile(bytes);
    EXPECT_EQ(back.rules, file.rules);
    EXPECT_TRUE(back.countPresence);
    EXPECT_TRUE(back.skipped.empty());

    EXPECT_TRUE(ruleIsWritable(file.rules.back()));
    EXPECT_FALSE(ruleIsWritable(rule(RuleTarget::Title, u"", RuleAction::HideTitle)));
    EXPECT_FALSE(ruleIsWritable(rule(RuleTarget::Title, u" padded", RuleAction::HideTitle)));
    EXPECT_FALSE(ruleIsWritable(rule(RuleTarget::Title, u"two\nlines", RuleAction::HideTitle)));
    EXPECT_FALSE(ruleIsWritable(rule(RuleTarget::Title, u"x", RuleAction::Category, u"")));
    EXPECT_FALSE(ruleIsWritable(rule(RuleTarget::Title, u"x", RuleAction::Category, u"a -> b")));
}

TEST(RuleFile, MissingFileMeansTheBuiltInRulesAndASavedOneIsReadBack) {
    test::TempFolder tmp;
    const RuleFile first = loadRuleFile(tmp.folder());
    EXPECT_EQ(first.rules, builtInRuleFile().rules);
    EXPECT_FALSE(first.countPresence);

    RuleFile mine;
    mine.rules.push_back(rule(RuleTarget::Program, u"game*.exe", RuleAction::DontRecord));
    ASSERT_TRUE(saveRuleFile(tmp.folder(), mine));
    EXPECT_EQ(loadRuleFile(tmp.folder()).rules, mine.rules);
    // Every rule removed is a choice too: no built-in rules come back.
    ASSERT_TRUE(saveRuleFile(tmp.folder(), RuleFile{}));
    EXPECT_TRUE(loadRuleFile(tmp.folder()).rules.empty());
    EXPECT_FALSE(saveRuleFile(tmp.folder() + u"\\missing", mine));
}

TEST(RuleMatching, WildcardsAndLetterCase) {
    EXPECT_TRUE(wildcardMatch(u"keepass.EXE", u"KeePass.exe"));
    EXPECT_TRUE(wildcardMatch(u"*.exe", u".exe"));
    EXPECT_TRUE(wildcardMatch(u"g*m*.exe", u"GoodGame.exe"));
    EXPECT_TRUE(wildcardMatch(u"**", u""));
    EXPECT_FALSE(wildcardMatch(u"KeePass.exe", u"KeePassXC.exe"));
    EXPECT_FALSE(wildcardMatch(u"a*b", u"aXbX"));
    EXPECT_TRUE(wildcardMatch(u"ÉCOLE ΣΟΦΊΑ ПРИВЕТ ŁÓDŹ", u"école σοφία привет łódź"));
    EXPECT_TRUE(wildcardMatch(u"😀*", u"😀 face"));

    // Programs by file name, whole; titles anywhere.
    const auto program = rule(RuleTarget::Program, u"fire*.exe", RuleAction::HideTitle);
    EXPECT_TRUE(ruleMatches(program, u"C:\\Program Files\\Mozilla\\firefox.exe", u"x"));
    EXPECT_FALSE(ruleMatches(program, u"C:\\fire\\other.exe", u"firefox.exe"));
    const auto title = rule(RuleTarget::Title, u"private browsing", RuleAction::HideTitle);
    EXPECT_TRUE(ruleMatches(title, u"C:\\a.exe", u"Bank statement - Mozilla Firefox Private Browsing"));
    EXPECT_FALSE(ruleMatches(title, u"C:\\a.exe", u"Private Browser"));
    EXPECT_TRUE(ruleMatches(rule(RuleTarget::Title, u"bank*statement", RuleAction::HideTitle), u"", u"My Bank - statement"));

    // A long title against a pattern of many stars ends, and quickly.
    const String longTitle(30000, u'a');
    EXPECT_FALSE(ruleMatches(rule(RuleTarget::Title, u"a*a*a*a*b", RuleAction::HideTitle), u"", longTitle));
}

TEST(RuleMatching, FirstMatchWinsAndTheFilterDecidesOncePerChange) {
    RecordingFilter filter;
    filter.setRules({rule(RuleTarget::Title, u"Incognito", RuleAction::Category, u"Web"),
                     rule(RuleTarget::Program, u"chrome.exe", RuleAction::HideTitle),
                     rule(RuleTarget::Title, u"bank", RuleAction::DontRecord)});
    const String chrome = u"C:\\Chrome\\chrome.exe";
    String title = u"Incognito - Google Chrome";
    EXPECT_TRUE(filter.admit(chrome, title));
    EXPECT_EQ(title, u"Incognito - Google Chrome");  // the category rule came first
    title = u"My bank - Google Chrome";
    EXPECT_TRUE(filter.admit(chrome, title));
    EXPECT_EQ(title, kPrivateWindowTitle);           // hidden before the skip rule is reached
    title = u"My bank - Editor";
    EXPECT_FALSE(filter.admit(u"C:\\editor.exe", title));
    EXPECT_EQ(filter.decisions(), 3u);

    // The same window again and again: the rules are not run again.
    for (int i = 0; i < 100; ++i) {
        title = u"My bank - Editor";
        EXPECT_FALSE(filter.admit(u"C:\\editor.exe", title));
    }
    title = u"My bank - Google Chrome";
    filter.admit(chrome, title);
    EXPECT_EQ(filter.decisions(), 4u);
    // New rules clear what was decided.
    filter.setRules({});
    title = u"My bank - Editor";
    EXPECT_TRUE(filter.admit(u"C:\\editor.exe", title));
}

}  // namespace
}  // namespace horalis
