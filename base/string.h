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

// What separates the arguments of a Windows command line.
constexpr bool isCommandLineBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// A..Z to a..z, nothing else: enough for the program's own ASCII names.
constexpr char16_t asciiLower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c; }

}  // namespace horalis
