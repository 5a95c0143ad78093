#pragma once
// The core's UTF-16 strings and the Win32 shell's wide strings: on Windows
// both hold the same 16-bit code units, so conversion is a plain copy.
#include <string>
#include <string_view>

namespace wingui {

inline std::wstring toWide(std::u16string_view text) {
    return std::wstring(text.begin(), text.end());
}

inline std::u16string toCore(std::wstring_view text) {
    return std::u16string(text.begin(), text.end());
}

}  // namespace wingui
