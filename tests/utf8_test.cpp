#include "storage/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace horalis {
namespace {

std::string utf8(StringView text) {
    std::string out;
    appendUtf8(text, out);
    return out;
}

TEST(Utf8, RoundTripAndMalformedInput) {
    const String text = u"A \u00e9 \u0416 \u6771 \U0001F600";
    String back;
    EXPECT_TRUE(decodeUtf8(utf8(text), back));
    EXPECT_EQ(back, text);
    EXPECT_EQ(utf8(String(1, char16_t(0xD800))), "\xEF\xBF\xBD");  // a lone surrogate
    for (std::string bad : {"\x80", "\xC1\xBF", "\xE0\x80\x80", "\xF4\x90\x80\x80", "\xE2\x82", "\xFF"}) {
        String out;
        EXPECT_FALSE(decodeUtf8(bad, out)) << bad.size();
        EXPECT_EQ(out.substr(0, 1), u"\uFFFD");
    }
}

}  // namespace
}  // namespace horalis
