#include "storage/cp1251.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace horalis {

namespace {

// Bytes 0x80..0xBF. 0x98 has no character in Windows-1251; like the Windows
// converter it maps to U+0098, so that every byte decodes and encodes back.
constexpr std::array<char16_t, 64> kHighSpecials = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
};

struct Reverse {
    char16_t unit;
    unsigned char byte;
};

constexpr std::array<Reverse, 64> kReverse = [] {
    std::array<Reverse, 64> r{};
    for (size_t i = 0; i < 64; ++i) r[i] = Reverse{kHighSpecials[i], static_cast<unsigned char>(0x80 + i)};
    std::sort(r.begin(), r.end(), [](const Reverse& a, const Reverse& b) { return a.unit < b.unit; });
    return r;
}();

constexpr std::array<char16_t, 256> kDecode = [] {
    std::array<char16_t, 256> d{};
    for (unsigned b = 0; b < 0x80; ++b) d[b] = static_cast<char16_t>(b);
    for (unsigned b = 0x80; b < 0xC0; ++b) d[b] = kHighSpecials[b - 0x80];
    for (unsigned b = 0xC0; b < 0x100; ++b) d[b] = static_cast<char16_t>(0x0410 + (b - 0xC0));
    return d;
}();

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

}  // namespace

int cp1251FromUnicode(char16_t c) {
    if (c < 0x80) return c;
    if (c >= 0x0410 && c <= 0x044F) return 0xC0 + (c - 0x0410);
    const auto it = std::lower_bound(kReverse.begin(), kReverse.end(), c,
                                     [](const Reverse& r, char16_t unit) { return r.unit < unit; });
    if (it != kReverse.end() && it->unit == c) return it->byte;
    return -1;
}

char16_t cp1251ToUnicode(unsigned char byte) { return kDecode[byte]; }

void encodeCp1251(StringView text, std::string& out, char replacement) {
    const char16_t* p = text.data();
    const char16_t* const end = p + text.size();
    out.reserve(out.size() + text.size());
    while (p != end) {
        // Runs of ASCII are by far the common case (paths, digits, markup).
        const char16_t* run = p;
        while (p != end && *p < 0x80) ++p;
        if (p != run) {
            const size_t start = out.size();
            out.resize(start + static_cast<size_t>(p - run));
            char* dst = out.data() + start;
            for (const char16_t* q = run; q != p; ++q) *dst++ = static_cast<char>(*q);
            if (p == end) break;
        }
        const char16_t c = *p++;
        const int byte = cp1251FromUnicode(c);
        if (byte >= 0) {
            out.push_back(static_cast<char>(byte));
            continue;
        }
        // One replacement per character: a surrogate pair is one character.
        if (isHighSurrogate(c) && p != end && isLowSurrogate(*p)) ++p;
        out.push_back(replacement);
    }
}

String decodeCp1251(std::string_view bytes) {
    String text;
    text.resize(bytes.size());
    for (size_t i = 0; i < bytes.size(); ++i) text[i] = kDecode[static_cast<unsigned char>(bytes[i])];
    return text;
}

}  // namespace horalis
