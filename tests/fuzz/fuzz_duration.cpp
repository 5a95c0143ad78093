// Durations: every text formatDuration makes parses back to its seconds in
// either mode, and any text parses as the C runtime's "%u" conversions read
// it (checked against swscanf where that is a fair judge: 7-bit text without
// NUL and numbers of at most nine digits, which cannot overflow there).
#include <cwchar>
#include <string>

#include "fuzz_input.h"
#include "storage/duration.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {

bool fairForScanf(StringView text) {
    int digitRun = 0;
    for (char16_t c : text) {
        if (c == 0 || c >= 0x80) return false;
        digitRun = (c >= u'0' && c <= u'9') ? digitRun + 1 : 0;
        if (digitRun > 9) return false;
    }
    return true;
}

uint32_t scanfReference(StringView text) {
    const std::wstring w(text.begin(), text.end());
    unsigned h = 0, m = 0, s = 0;
    if (w.find(L"sec") != std::wstring::npos) {
        std::swscanf(w.c_str(), L"%u secs", &h);
        return h;
    }
    size_t colons = 0;
    for (wchar_t c : w) colons += c == L':';
    if (colons == 2) {
        std::swscanf(w.c_str(), L"%u:%u:%u", &h, &m, &s);
        return (h * 60u + m) * 60u + s;
    }
    if (colons == 1) {
        std::swscanf(w.c_str(), L"%u:%u", &m, &s);
        return m * 60u + s;
    }
    std::swscanf(w.c_str(), L"%u", &h);
    return h;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const int32_t seconds = in.int32();
    for (bool secondsMode : {false, true}) {
        const String text = formatDuration(seconds, secondsMode);
        check(text.size() <= 16, "at most 16 characters");
        check(parseDuration(text) == static_cast<uint32_t>(seconds), "a formatted duration parses back");
    }

    const String text = in.restAsText();
    const uint32_t parsed = parseDuration(text);
    if (fairForScanf(text) && parsed != scanfReference(text)) {
        std::fprintf(stderr, "text \"%s\": %u, swscanf %u\n", fuzz::printable(text).c_str(), parsed, scanfReference(text));
        fuzz::fail("parseDuration reads like swscanf");
    }
    return 0;
}
