// rules.txt and the rule matcher: any bytes parse without harm; every rule
// read is one the writer can write, and the written file reads back as the
// same rules with nothing skipped; and the matcher agrees with a plain
// dynamic-programming matcher on patterns and texts from the input.
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_input.h"
#include "tracking/recording_rules.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {

// match[i][j]: the first i pattern units match the first j text units.
bool referenceMatch(StringView pattern, StringView text, bool anywhere) {
    String p = foldedCase(pattern), t = foldedCase(text);
    if (anywhere) p = u"*" + p + u"*";
    std::vector<std::vector<char>> match(p.size() + 1, std::vector<char>(t.size() + 1, 0));
    match[0][0] = 1;
    for (size_t i = 1; i <= p.size(); ++i) {
        for (size_t j = 0; j <= t.size(); ++j) {
            if (p[i - 1] == u'*')
                match[i][j] = match[i - 1][j] || (j > 0 && match[i][j - 1]);
            else
                match[i][j] = j > 0 && match[i - 1][j - 1] && p[i - 1] == t[j - 1];
        }
    }
    return match[p.size()][t.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const RuleFile file = parseRuleFile(bytes);
    for (const RecordingRule& rule : file.rules) check(ruleIsWritable(rule), "a rule read can be written");
    const RuleFile back = parseRuleFile(formatRuleFile(file));
    check(back.rules == file.rules, "written rules read back the same");
    check(back.countPresence == file.countPresence, "the presence switch reads back");
    check(back.skipped.empty(), "the written file has no unreadable line");

    // Small alphabets, so that matches happen: a, A, b, star, and a Cyrillic pair.
    fuzz::FuzzInput input(data, size);
    const char16_t alphabet[] = {u'a', u'A', u'b', u'*', u'\u0416', u'\u0436'};
    const auto piece = [&](size_t longest) {
        String s;
        for (size_t n = input.byte() % (longest + 1); n > 0 && !input.empty(); --n)
            s.push_back(alphabet[input.byte() % std::size(alphabet)]);
        return s;
    };
    const String pattern = piece(8);
    const String text = piece(24);
    for (const bool anywhere : {false, true})
        check(WildcardPattern(pattern, anywhere).matches(foldedCase(text)) == referenceMatch(pattern, text, anywhere),
              "the matcher agrees with the reference");
    return 0;
}
