#include "storage/utf8.h"

#include <cstdint>

namespace horalis {

void appendUtf8(StringView text, std::string& out) {
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;
        }
        appendUtf8(c, out);
    }
}

bool decodeUtf8(std::string_view bytes, String& out) {
    bool wellFormed = true;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out.push_back(lead);
            ++i;
            continue;
        }
        // The shortest form only: the lowest value each length may hold.
        int follow = 0;
        uint32_t c = 0, lowest = 0;
        if (lead >= 0xC2 && lead <= 0xDF) {
            follow = 1, c = lead & 0x1F, lowest = 0x80;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            follow = 2, c = lead & 0x0F, lowest = 0x800;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            follow = 3, c = lead & 0x07, lowest = 0x10000;
        }
        size_t j = i + 1;
        for (int k = 0; follow > 0 && k < follow; ++k, ++j) {
            if (j >= bytes.size() || (static_cast<unsigned char>(bytes[j]) & 0xC0) != 0x80) {
                follow = 0;
                break;
            }
            c = (c << 6) | (static_cast<unsigned char>(bytes[j]) & 0x3F);
        }
        if (follow == 0 || c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
            wellFormed = false;
            out.push_back(u'\uFFFD');
            ++i;
            continue;
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i = j;
    }
    return wellFormed;
}

}  // namespace horalis
