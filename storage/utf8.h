#pragma once
// UTF-8 text files (rules.txt): UTF-16 strings to UTF-8 bytes and back.
#include <string>
#include <string_view>

#include "base/string.h"

namespace horalis {

// Appends text as UTF-8 (each code point by base's appendUtf8). A lone
// surrogate, which UTF-8 cannot hold, is written as U+FFFD.
void appendUtf8(StringView text, std::string& out);

// Decodes UTF-8 bytes into out (appended). False when the bytes are not
// well-formed UTF-8 (a stray or missing continuation byte, an overlong form,
// an encoded surrogate, a value above U+10FFFF); each such byte then reads as
// U+FFFD, so the text can still be shown.
bool decodeUtf8(std::string_view bytes, String& out);

}  // namespace horalis
