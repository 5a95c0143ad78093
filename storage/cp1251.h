#pragma once
// Table-driven Windows-1251 codec, independent of any C-runtime locale.
#include <string>
#include <string_view>

#include "base/string.h"

namespace horalis {

// Windows-1251 byte for a UTF-16 code unit, or -1 when the code page lacks it.
int cp1251FromUnicode(char16_t c);
// Every byte decodes; 0x98, which the code page leaves unassigned, decodes to
// U+0098 (as the Windows converter does) and encodes back to 0x98.
char16_t cp1251ToUnicode(unsigned char byte);

// Appends the encoding of text to out. A character Windows-1251 cannot hold
// (a surrogate pair counts as one character) becomes replacement.
void encodeCp1251(StringView text, std::string& out, char replacement = '?');
String decodeCp1251(std::string_view bytes);

}  // namespace horalis
