#include "tracking/recording_rules.h"

#include "storage/replacing_file.h"
#include "storage/report_stream.h"
#include "storage/utf8.h"
#include "tracking/usage_records.h"

namespace horalis {
namespace {

constexpr StringView kArrow = u"->";

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }

StringView trimmed(StringView text) {
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Keywords are ASCII: compared ignoring case.
bool sameWord(StringView text, StringView word) {
    if (text.size() != word.size()) return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (foldCase(text[i]) != word[i]) return false;
    return true;
}

// The first word and what follows it, trimmed.
std::pair<StringView, StringView> splitWord(StringView text) {
    size_t end = 0;
    while (end < text.size() && !isBlank(text[end])) ++end;
    return {text.substr(0, end), trimmed(text.substr(end))};
}

bool hasControlCharacter(StringView text) {
    for (char16_t c : text)
        if (c < 0x20 && c != u'\t') return true;
    return false;
}

std::optional<bool> parsePresenceLine(StringView line) {
    const auto [word, rest] = splitWord(line);
    if (!sameWord(word, u"presence")) return std::nullopt;
    if (sameWord(rest, u"on")) return true;
    if (sameWord(rest, u"off")) return false;
    return std::nullopt;
}

RecordingRule rule(RuleTarget target, StringView pattern) {
    return RecordingRule{target, String(pattern), RuleAction::HideTitle, {}};
}

}  // namespace

RuleFile builtInRuleFile() {
    RuleFile file;
    // Private browser windows say so in their titles.
    file.rules.push_back(rule(RuleTarget::Title, u"Private Browsing"));  // Firefox
    file.rules.push_back(rule(RuleTarget::Title, u"InPrivate"));         // Edge
    file.rules.push_back(rule(RuleTarget::Title, u"Incognito"));         // Chrome
    // Password managers' titles name the entry or the vault.
    for (StringView program : {u"KeePass.exe", u"KeePassXC.exe", u"1Password.exe", u"Bitwarden.exe"})
        file.rules.push_back(rule(RuleTarget::Program, program));
    return file;
}

std::optional<RecordingRule> parseRuleLine(StringView line) {
    line = trimmed(line);
    if (line.empty() || hasControlCharacter(line)) return std::nullopt;
    const auto [targetWord, rest] = splitWord(line);
    RecordingRule rule;
    if (sameWord(targetWord, u"program"))
        rule.target = RuleTarget::Program;
    else if (sameWord(targetWord, u"title"))
        rule.target = RuleTarget::Title;
    else
        return std::nullopt;
    // The action follows the last arrow, so a pattern may hold one itself.
    const size_t arrow = rest.rfind(kArrow);
    if (arrow == StringView::npos) return std::nullopt;
    const StringView pattern = trimmed(rest.substr(0, arrow));
    if (pattern.empty()) return std::nullopt;
    rule.pattern = String(pattern);
    const auto [actionWord, argument] = splitWord(trimmed(rest.substr(arrow + kArrow.size())));
    if (sameWord(actionWord, u"hide") && argument.empty()) {
        rule.action = RuleAction::HideTitle;
    } else if (sameWord(actionWord, u"skip") && argument.empty()) {
        rule.action = RuleAction::DontRecord;
    } else if (sameWord(actionWord, u"category") && !argument.empty()) {
        rule.action = RuleAction::Category;
        rule.category = String(argument);
    } else {
        return std::nullopt;
    }
    return rule;
}

String formatRuleLine(const RecordingRule& rule) {
    String line = rule.target == RuleTarget::Program ? u"program " : u"title ";
    line += rule.pattern;
    line += u" -> ";
    switch (rule.action) {
    case RuleAction::HideTitle: line += u"hide"; break;
    case RuleAction::DontRecord: line += u"skip"; break;
    case RuleAction::Category: line += u"category " + rule.category; break;
    }
    return line;
}

bool ruleIsWritable(const RecordingRule& rule) {
    const auto clean = [](StringView text) {
        return !text.empty() && trimmed(text).size() == text.size() && !hasControlCharacter(text);
    };
    if (!clean(rule.pattern)) return false;
    if (rule.action == RuleAction::Category &&
        (!clean(rule.category) || rule.category.find(kArrow) != String::npos))
        return false;
    const auto back = parseRuleLine(formatRuleLine(rule));
    return back && *back == rule;
}

RuleFile parseRuleFile(std::string_view bytes) {
    RuleFile file;
    bool cut = false;
    if (bytes.size() > kMaxRulesFileBytes) {
        // Only whole lines count: the one the limit cuts through is dropped too.
        bytes = bytes.substr(0, kMaxRulesFileBytes);
        const size_t lastEnd = bytes.rfind('\n');
        bytes = bytes.substr(0, lastEnd == std::string_view::npos ? 0 : lastEnd + 1);
        cut = true;
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    size_t number = 0;
    while (!bytes.empty()) {
        const size_t end = bytes.find('\n');
        std::string_view raw = bytes.substr(0, end);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        ++number;
        if (raw.ends_with('\r')) raw.remove_suffix(1);
        String text;
        const bool wellFormed = decodeUtf8(raw, text);
        const StringView line = trimmed(text);
        if (line.empty() || line.front() == u'#') continue;
        if (wellFormed && raw.size() <= kMaxRuleLineLength) {
            if (const auto presence = parsePresenceLine(line)) {
                file.countPresence = *presence;
                continue;
            }
            if (auto rule = parseRuleLine(line); rule && file.rules.size() < kMaxRules) {
                file.rules.push_back(std::move(*rule));
                continue;
            }
        }
        file.skipped.push_back({number, String(line)});
    }
    if (cut) file.skipped.push_back({0, String()});
    return file;
}

std::string formatRuleFile(const RuleFile& file) {
    std::string out =
        "# Horalis recording rules, one a line; the first rule that matches wins.\r\n"
        "#   program <file name> -> hide | skip | category <name>\r\n"
        "#   title <text in the title> -> hide | skip | category <name>\r\n"
        "# Letter case does not matter; * stands for any run of characters.\r\n"
        "# hide: the title is counted as \"Private window\"; skip: the time is not counted.\r\n"
        "# presence on: watching video and calls counts as present.\r\n";
    for (const RecordingRule& rule : file.rules) {
        appendUtf8(formatRuleLine(rule), out);
        out += "\r\n";
    }
    out += file.countPresence ? "presence on\r\n" : "presence off\r\n";
    bool first = true;
    for (const SkippedRuleLine& line : file.skipped) {
        if (line.number == 0) continue;
        if (first) out += "# Lines that could not be read:\r\n";
        first = false;
        out += "# ";
        appendUtf8(line.text, out);
        out += "\r\n";
    }
    return out;
}

String rulesFilePath(const String& dataFolder) { return dataFolder + String(kRulesFileName); }

RuleFile loadRuleFile(const String& dataFolder) {
    std::string bytes;
    if (!readFileBytes(rulesFilePath(dataFolder), bytes, kMaxRulesFileBytes + 1)) return builtInRuleFile();
    return parseRuleFile(bytes);
}

bool saveRuleFile(const String& dataFolder, const RuleFile& file) {
    const std::string bytes = formatRuleFile(file);
    ReplacingFile out(rulesFilePath(dataFolder));
    if (!out.open()) return false;
    out.stream().writeBytes(bytes);
    return out.commit();
}

char16_t foldCase(char16_t c) {
    if (c < 0x80) return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 0x20) : c;
    auto up = [c](int by) { return static_cast<char16_t>(c + by); };
    if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return up(0x20);  // Latin-1, but the multiplication sign
    if (c >= 0x100 && c <= 0x17F) {                             // Latin Extended-A: pairs
        if (c == 0x130) return u'i';
        if (c == 0x178) return 0xFF;
        if (c == 0x131 || c == 0x138 || c == 0x149 || c == 0x17F) return c;
        const bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
        return (c % 2 == 1) == oddCapitals ? up(1) : c;
    }
    if (c == 0x386) return 0x3AC;  // Greek capitals with tonos
    if (c >= 0x388 && c <= 0x38A) return up(0x25);
    if (c == 0x38C) return 0x3CC;
    if (c == 0x38E || c == 0x38F) return up(0x3F);
    if (c >= 0x391 && c <= 0x3AB && c != 0x3A2) return up(0x20);
    if (c == 0x3C2) return 0x3C3;  // final sigma
    if (c >= 0x400 && c <= 0x40F) return up(0x50);  // Cyrillic
    if (c >= 0x410 && c <= 0x42F) return up(0x20);
    return c;
}

String foldedCase(StringView text) {
    String folded(text);
    for (char16_t& c : folded) c = foldCase(c);
    return folded;
}

WildcardPattern::WildcardPattern(StringView pattern, bool anywhere)
    : anchoredStart_(!anywhere && !pattern.starts_with(u'*')), anchoredEnd_(!anywhere && !pattern.ends_with(u'*')) {
    const String folded = foldedCase(pattern);
    for (size_t from = 0; from <= folded.size();) {
        size_t star = folded.find(u'*', from);
        if (star == String::npos) star = folded.size();
        if (star > from) parts_.emplace_back(folded, from, star - from);
        from = star + 1;
    }
    // A pattern without parts: only stars (anything), or empty (only the empty text).
    if (parts_.empty() && anchoredStart_ && anchoredEnd_) parts_.emplace_back();
}

bool WildcardPattern::matches(StringView text) const {
    if (parts_.empty()) return true;
    size_t first = 0, last = parts_.size();
    size_t begin = 0, end = text.size();
    if (anchoredStart_) {
        if (!text.starts_with(parts_.front())) return false;
        begin = parts_.front().size();
        first = 1;
    }
    if (anchoredEnd_) {
        if (last == first) return begin == end;  // one part, at both ends: the whole text
        const String& tail = parts_.back();
        if (end - begin < tail.size() || !text.ends_with(tail)) return false;
        end -= tail.size();
        --last;
    }
    const StringView within = text.substr(0, end);
    for (size_t i = first; i < last; ++i) {
        const size_t at = within.find(parts_[i], begin);
        if (at == StringView::npos) return false;
        begin = at + parts_[i].size();
    }
    return true;
}

bool wildcardMatch(StringView pattern, StringView text) {
    return WildcardPattern(pattern, false).matches(foldedCase(text));
}

bool ruleMatches(const RecordingRule& rule, StringView path, StringView title) {
    return RuleMatcher({rule}).firstMatch(path, title) != nullptr;
}

RuleMatcher::RuleMatcher(std::vector<RecordingRule> rules) : rules_(std::move(rules)) {
    patterns_.reserve(rules_.size());
    for (const RecordingRule& rule : rules_) patterns_.emplace_back(rule.pattern, rule.target == RuleTarget::Title);
}

const RecordingRule* RuleMatcher::firstMatch(StringView path, StringView title) {
    if (rules_.empty()) return nullptr;
    const StringView name = fileNameOf(path);
    foldedName_.assign(name);
    for (char16_t& c : foldedName_) c = foldCase(c);
    foldedTitle_.assign(title);
    for (char16_t& c : foldedTitle_) c = foldCase(c);
    for (size_t i = 0; i < rules_.size(); ++i) {
        const bool program = rules_[i].target == RuleTarget::Program;
        if (patterns_[i].matches(program ? foldedName_ : foldedTitle_)) return &rules_[i];
    }
    return nullptr;
}

bool RuleMatcher::hasCategoryRule() const {
    for (const RecordingRule& rule : rules_)
        if (rule.action == RuleAction::Category) return true;
    return false;
}

void RecordingFilter::setRules(std::vector<RecordingRule> rules) {
    matcher_ = RuleMatcher(std::move(rules));
    cached_ = false;
    keepsAnyOut_ = false;
    for (const RecordingRule& rule : matcher_.rules()) keepsAnyOut_ = keepsAnyOut_ || rule.action == RuleAction::DontRecord;
}

bool RecordingFilter::admit(StringView path, String& title) {
    if (matcher_.rules().empty()) return true;
    if (!cached_ || !sameKey(path, cachedPath_) || !sameKey(title, cachedTitle_)) {
        const RecordingRule* rule = matcher_.firstMatch(path, title);
        cachedDecision_ = !rule                                     ? Decision::Record
                          : rule->action == RuleAction::HideTitle  ? Decision::Hide
                          : rule->action == RuleAction::DontRecord ? Decision::Skip
                                                                    : Decision::Record;
        cachedPath_.assign(path);
        cachedTitle_.assign(title);
        cached_ = true;
        ++decisions_;
    }
    if (cachedDecision_ == Decision::Skip) return false;
    if (cachedDecision_ == Decision::Hide) title.assign(kPrivateWindowTitle);
    return true;
}

}  // namespace horalis
