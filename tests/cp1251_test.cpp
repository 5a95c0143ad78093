#include "storage/cp1251.h"

#include <gtest/gtest.h>
#include <iconv.h>

namespace horalis {
namespace {

TEST(Cp1251, EveryByteDecodesAndEncodesBack) {
    for (int b = 0; b < 256; ++b) {
        const char16_t c = cp1251ToUnicode(static_cast<unsigned char>(b));
        EXPECT_EQ(cp1251FromUnicode(c), b) << b;
    }
    EXPECT_EQ(cp1251ToUnicode(0x98), u'\u0098');  // the one byte without a character
    std::string all;
    for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
    std::string back;
    encodeCp1251(decodeCp1251(all), back);
    EXPECT_EQ(back, all);
}

TEST(Cp1251, ExactlyTheTableIsEncodable) {
    int encodable = 0;
    for (char32_t c = 0; c < 0x10000; ++c) {
        const int b = cp1251FromUnicode(static_cast<char16_t>(c));
        if (b < 0) continue;
        ++encodable;
        EXPECT_EQ(cp1251ToUnicode(static_cast<unsigned char>(b)), c) << std::hex << static_cast<uint32_t>(c);
    }
    EXPECT_EQ(encodable, 256);
}

// The C library's own converter as an independent reference.
TEST(Cp1251, AgreesWithIconv) {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    if (cd == reinterpret_cast<iconv_t>(-1)) GTEST_SKIP() << "no CP1251 converter";
    for (int b = 0; b < 256; ++b) {
        if (b == 0x98) continue;
        char in = static_cast<char>(b);
        unsigned char out[4] = {};
        char* inp = &in;
        char* outp = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        ASSERT_NE(iconv(cd, &inp, &inLeft, &outp, &outLeft), static_cast<size_t>(-1)) << b;
        ASSERT_EQ(outLeft, 2u) << b;
        EXPECT_EQ(cp1251ToUnicode(static_cast<unsigned char>(b)), static_cast<char16_t>(out[0] | out[1] << 8)) << b;
    }
    iconv_close(cd);
}

TEST(Cp1251, UnencodableCharactersBecomeOneReplacementEach) {
    std::string out;
    encodeCp1251(u"caf\u00E9 \U0001F600 \xD800x \xDC00", out);
    EXPECT_EQ(out, "caf? ? ?x ?");
    out.clear();
    encodeCp1251(u"\u00E9", out, '_');
    EXPECT_EQ(out, "_");
    EXPECT_EQ(cp1251FromUnicode(u'\u00E9'), -1);
}

TEST(Cp1251, MixedTextAndNulPassThrough) {
    const String text = String(u"Привет, мир! Ёж — №5\0end", 24);
    std::string out = "prefix:";
    encodeCp1251(text, out);
    EXPECT_EQ(out, std::string("prefix:\xCF\xF0\xE8\xE2\xE5\xF2, \xEC\xE8\xF0! \xA8\xE6 \x97 \xB9" "5\0end", 31));
    EXPECT_EQ(decodeCp1251(out.substr(7)), text);
}

}  // namespace
}  // namespace horalis
