// The native (test) build has no "APPDATA": HORALIS_APPDATA stands in for it,
// so that tests can point the data folder at a scratch directory. It is read
// as UTF-8.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>

#include "storage/data_folder.h"
#include "storage/utf8.h"

namespace horalis {

namespace {

// Malformed bytes read as U+FFFD.
String fromUtf8(const char* s) {
    String out;
    decodeUtf8(s, out);
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
