#include "storage/number_text.h"

#include <gtest/gtest.h>

#include <string_view>

namespace horalis {
namespace {

constexpr std::optional<char> kGroups = '\xA0';

TEST(NumberText, ReadsLikeTheRuntimeAndStopsAtTheFirstOtherCharacter) {
    ReadInteger n = readInteger(std::u16string_view(u" \t\v-0042x"), 0);
    EXPECT_TRUE(n.read);
    EXPECT_EQ(n.value(), -42);
    EXPECT_EQ(n.end, 8u);
    EXPECT_EQ(readInteger(std::u16string_view(u"a 7"), 1).value(), 7);  // from pos
    for (std::u16string_view unread : {u"", u"-", u"+-1", u"- 1", u"\u00A01", u"\uFF11"})
        EXPECT_FALSE(readInteger(unread, 0).read);
    // A byte above 0x7F is neither white space nor a digit.
    EXPECT_FALSE(readInteger(std::string_view("\x85" "1"), 0).read);
}

TEST(NumberText, GroupsOnlyWhereTheSettingsWriterPutsThem) {
    ReadInteger n = readInteger(std::string_view("1\xA0" "234\xA0" "567 8"), 0, kGroups);
    EXPECT_EQ(n.value(), 1234567);
    EXPECT_EQ(n.end, 9u);
    EXPECT_EQ(readInteger(std::string_view("1234"), 0, kGroups).value(), 1234);
    for (std::string_view broken : {"1234\xA0" "567", "1\xA0" "23", "1\xA0" "2345", "1\xA0", "\xA0" "100"})
        EXPECT_FALSE(readInteger(broken, 0, kGroups).read) << broken;
    // Without a separator the byte just ends the number.
    EXPECT_EQ(readInteger(std::string_view("1\xA0" "234"), 0).value(), 1);
}

TEST(NumberText, HugeNumbersSaturateAndWrapModulo2To32) {
    const ReadInteger huge = readInteger(std::u16string_view(u"-99999999999999999999999"), 0);
    EXPECT_LT(huge.value(), int64_t{INT32_MIN});
    EXPECT_GT(huge.magnitude, uint64_t{UINT32_MAX});
    EXPECT_EQ(readInteger(std::u16string_view(u"4294967297"), 0).wrapped(), 1u);
    EXPECT_EQ(readInteger(std::u16string_view(u"-1"), 0).wrapped(), 4294967295u);
    EXPECT_EQ(readInteger(std::u16string_view(u"2147483648"), 0).value(), int64_t{2147483648});
}

}  // namespace
}  // namespace horalis
