#pragma once
// The program's strings: exact UTF-16, as Windows keeps them, in every layer.
// toWide / toCore cross to and from the Win32 calls' wide strings: on Windows
// both hold the same 16-bit code units, so conversion is a plain copy.
#include <string>
#include <string_view>

namespace horalis {

using String = std::u16string;
using StringView = std::u16string_view;

inline std::wstring toWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string toCore(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

// Appends a code point (up to U+10FFFF) as UTF-8.
inline void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// What follows a path's last '\' or '/' (the whole path without one).
constexpr StringView fileNameOf(StringView path) {
    const size_t slash = path.find_last_of(u"\\/");
    return slash == StringView::npos ? path : path.substr(slash + 1);
}
// The path up to and with its last '\' or '/' (empty without one).
constexpr StringView folderOf(StringView path) {
    return path.substr(0, path.size() - fileNameOf(path).size());
}

// What separates the arguments of a Windows command line.
constexpr bool isCommandLineBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// A..Z to a..z, nothing else: enough for the program's own ASCII names.
constexpr char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace horalis
