// The native (test) build has no "APPDATA": HORALIS_APPDATA stands in for it,
// so that tests can point the data folder at a scratch directory. It is read
// as UTF-8.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>

#include "storage/data_folder.h"

namespace horalis {

namespace {

String fromUtf8(const char* s) {
    String out;
    const auto* p = reinterpret_cast<const unsigned char*>(s);
    const auto* end = p + std::strlen(s);
    while (p < end) {
        uint32_t c = *p++;
        int extra = 0;
        if (c >= 0xF0 && c < 0xF8) {
            c &= 0x07;
            extra = 3;
        } else if (c >= 0xE0) {
            c &= 0x0F;
            extra = 2;
        } else if (c >= 0xC0) {
            c &= 0x1F;
            extra = 1;
        } else if (c >= 0x80) {
            out.push_back(u'\uFFFD');
            continue;
        }
        for (; extra > 0 && p < end && (*p & 0xC0) == 0x80; --extra) c = (c << 6) | (*p++ & 0x3F);
        if (extra > 0 || c > 0x10FFFF) {
            out.push_back(u'\uFFFD');
        } else if (c >= 0x10000) {
            c -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

}  // namespace

String dataFolderPath() {
    const char* value = std::getenv("HORALIS_APPDATA");
    if (value == nullptr) return dataFolderPathFor(std::nullopt);
    return dataFolderPathFor(fromUtf8(value));
}

String thisComputerName() {
    const char* value = std::getenv("HORALIS_COMPUTER");
    return fromUtf8(value != nullptr ? value : "TESTPC");
}

String thisUserName() {
    const char* value = std::getenv("HORALIS_USER");
    return fromUtf8(value != nullptr ? value : "tester");
}

String newRunId() {
    char text[48];
    std::snprintf(text, sizeof text, "%llx-%lx", static_cast<unsigned long long>(std::time(nullptr)),
                  static_cast<unsigned long>(::getpid()));
    return fromUtf8(text);
}

}  // namespace horalis
