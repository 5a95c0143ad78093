// The settings file reader: any bytes in conf.dat give the fields read before
// the first bad token and the old values after it, read as a second reader
// written differently here reads them; what the writer writes reads back; and
// loadSettings (from a real file, with its read limit) agrees.
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <string>
#include <string_view>

#include "fuzz_input.h"
#include "storage/settings.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {

int32_t* field(Settings& s, int i) {
    int32_t* const fields[] = {&s.saveDailyReports, &s.showTimeInSeconds, &s.saveWindowTitles, &s.awayTimeoutSeconds};
    return fields[i];
}
int32_t field(const Settings& s, int i) { return *field(const_cast<Settings&>(s), i); }

bool sameSettings(const Settings& a, const Settings& b) {
    return a.saveDailyReports == b.saveDailyReports && a.showTimeInSeconds == b.showTimeInSeconds &&
           a.saveWindowTitles == b.saveWindowTitles && a.awayTimeoutSeconds == b.awayTimeoutSeconds;
}

// The reference reader: white space, a sign, then the longest run of digits and
// 0xA0 separators, which must be plain digits or groups of three after a first
// group of one to three, and fit in 32 bits.
int referenceRead(std::string_view bytes, Settings& out) {
    static const std::regex grouped("[0-9]+|[0-9]{1,3}(\xA0[0-9]{3})+");
    size_t i = 0;
    for (int k = 0; k < 4; ++k) {
        while (i < bytes.size() && std::string_view(" \t\r\n\v\f").find(bytes[i]) != std::string_view::npos) ++i;
        bool negative = false;
        if (i < bytes.size() && (bytes[i] == '+' || bytes[i] == '-')) negative = bytes[i++] == '-';
        const size_t start = i;
        while (i < bytes.size() && ((bytes[i] >= '0' && bytes[i] <= '9') || bytes[i] == '\xA0')) ++i;
        const std::string run(bytes.substr(start, i - start));
        if (run.empty() || run[0] == '\xA0' || !std::regex_match(run, grouped)) return k;
        std::string digits = negative ? "-" : "";
        for (char c : run) {
            if (c != '\xA0') digits.push_back(c);
        }
        int32_t value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec != std::errc() || end != digits.data() + digits.size()) return k;
        *field(out, k) = value;
    }
    return 4;
}

const std::filesystem::path& scratchFolder() {
    static const fuzz::ScratchFolder folder("horalis-fuzz-settings");
    return folder.path();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // Two different starting records: a field that was read is the same in
    // both, a field that was not keeps its own start, and after the first
    // unread field nothing is read.
    const Settings startA{11, -22, 33, -44};
    const Settings startB{55, 66, -77, 88};
    Settings a = startA;
    Settings b = startB;
    parseSettingsFile(bytes, a);
    parseSettingsFile(bytes, b);
    int readFields = 0;
    while (readFields < 4 && *field(a, readFields) == *field(b, readFields)) ++readFields;
    for (int k = readFields; k < 4; ++k) {
        check(*field(a, k) == field(startA, k), "an unread field keeps its value (A)");
        check(*field(b, k) == field(startB, k), "an unread field keeps its value (B)");
    }

    Settings reference = startA;
    const int referenceFields = referenceRead(bytes, reference);
    check(readFields == referenceFields, "as many fields read as the reference reads");
    check(sameSettings(a, reference), "the fields read equal the reference's");

    // What the writer makes of them reads back unchanged.
    Settings again{1, 2, 3, 4};
    parseSettingsFile(formatSettingsFile(a), again);
    check(sameSettings(again, a), "written settings read back");

    // The loader on a real file: the same as parsing, except that a token cut
    // by its read limit (and all after it) is not read.
    const auto folder = scratchFolder();
    std::ofstream(folder / "conf.dat", std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(size));
    const std::string f = folder.string();
    Settings loaded{9, 9, 9, 9};
    loadSettings(loaded, String(f.begin(), f.end()));
    Settings full;
    parseSettingsFile(bytes, full);
    const Settings defaults;
    int k = 0;
    while (k < 4 && *field(loaded, k) == *field(full, k)) ++k;
    if (size <= 4096) check(k == 4, "a small file loads as it parses");
    for (; k < 4; ++k) check(*field(loaded, k) == field(defaults, k), "the rest of a cut file stays default");
    return 0;
}
