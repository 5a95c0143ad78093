// The Windows-1251 codec against the C library's own CP1251 converter (iconv):
// every byte decodes to its character and encodes back, every representable
// character encodes to its byte (all 65536 code units are checked once at
// start-up), anything else becomes one '?' (a surrogate pair is one
// character), and the report stream writes exactly that with LF as CR LF.
#include <iconv.h>

#include <array>
#include <cstring>
#include <string>

#include "fuzz_input.h"
#include "storage/cp1251.h"
#include "storage/report_stream.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {

std::array<char16_t, 256> referenceDecode{};
std::array<int16_t, 65536> referenceEncode{};

void buildReference() {
    iconv_t cd = iconv_open("UTF-16LE", "CP1251");
    check(cd != reinterpret_cast<iconv_t>(-1), "iconv knows CP1251");
    referenceEncode.fill(-1);
    for (int b = 0; b < 256; ++b) {
        char in[1] = {static_cast<char>(b)};
        unsigned char out[4] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        size_t inLeft = 1, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char16_t unit;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            // The one byte the code page leaves unassigned; Windows maps it to U+0098.
            check(b == 0x98, "iconv decodes every byte but 0x98");
            unit = 0x0098;
        } else {
            check(sizeof out - outLeft == 2, "one UTF-16 unit per byte");
            unit = static_cast<char16_t>(out[0] | (out[1] << 8));
        }
        referenceDecode[b] = unit;
        referenceEncode[unit] = static_cast<int16_t>(b);
    }
    iconv_close(cd);
}

bool isHigh(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLow(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

std::string expectedBytes(StringView text, bool crlf) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        if (crlf && c == u'\n') {
            out += "\r\n";
        } else if (referenceEncode[c] >= 0) {
            out.push_back(static_cast<char>(referenceEncode[c]));
        } else {
            if (isHigh(c) && i + 1 < text.size() && isLow(text[i + 1])) ++i;
            out.push_back('?');
        }
    }
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    buildReference();
    for (int b = 0; b < 256; ++b) {
        check(cp1251ToUnicode(static_cast<unsigned char>(b)) == referenceDecode[b], "every byte decodes as iconv does");
    }
    for (uint32_t u = 0; u < 65536; ++u) {
        check(cp1251FromUnicode(static_cast<char16_t>(u)) == referenceEncode[u], "every code unit encodes as iconv does");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // The bytes as a file's contents: decoded, they encode back unchanged.
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const String decoded = decodeCp1251(bytes);
    check(decoded.size() == size, "one character per byte");
    for (size_t i = 0; i < size; ++i) check(decoded[i] == referenceDecode[data[i]], "byte decodes as iconv does");
    std::string encoded;
    encodeCp1251(decoded, encoded);
    check(encoded == bytes, "decoded bytes encode back");

    // The same input as UTF-16 text on its way into a file.
    fuzz::FuzzInput in(data, size);
    const String text = in.restAsText();
    encoded.clear();
    encodeCp1251(text, encoded);
    check(encoded == expectedBytes(text, false), "text encodes, '?' for what the code page lacks");
    const String back = decodeCp1251(encoded);
    for (size_t i = 0, j = 0; i < text.size(); ++i, ++j) {
        check(j < back.size(), "nothing lost");
        if (referenceEncode[text[i]] >= 0) {
            check(back[j] == text[i], "a representable character comes back");
        } else {
            check(back[j] == u'?', "an unrepresentable character comes back as '?'");
            if (isHigh(text[i]) && i + 1 < text.size() && isLow(text[i + 1])) ++i;
        }
    }

    ReportStream stream;
    stream.openInMemory();
    stream << text;
    check(stream.bytes() == expectedBytes(text, true), "the report stream writes the encoding with CR LF");
    check(stream.close(), "an in-memory stream closes");
    return 0;
}
