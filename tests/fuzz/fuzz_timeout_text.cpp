// The Options dialog's timeout field: any text converts as the C runtime's
// wcstol family reads a decimal number (checked for 7-bit text without NUL),
// clamped to 32 bits; a value shown in the field converts back to itself; and
// a settings record survives the trip into the dialog and out after OK.
#include <cwchar>
#include <limits>
#include <string>

#include "fuzz_input.h"
#include "storage/settings.h"
#include "ui/conf_rules.h"

using namespace horalis;
using horalis::fuzz::check;

namespace {

bool sevenBitWithoutNul(StringView text) {
    for (char16_t c : text) {
        if (c == 0 || c >= 0x80) return false;
    }
    return true;
}

int32_t wcstollReference(StringView text) {
    const std::wstring w(text.begin(), text.end());
    const long long v = std::wcstoll(w.c_str(), nullptr, 10);
    if (v > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    if (v < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(v);
}

int32_t throughCheckBox(int32_t stored) { return checkStateFromControl(checkStateToControl(stored)); }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzInput in(data, size);
    const Settings before{in.int32(), in.int32(), in.int32(), in.int32()};

    // The exchange with the controls and back, as the dialog does it on OK.
    const String shown = formatTimeoutText(before.awayTimeoutSeconds);
    check(parseTimeoutText(shown) == before.awayTimeoutSeconds, "the shown timeout converts back");
    const Settings after{throughCheckBox(before.saveDailyReports), throughCheckBox(before.showTimeInSeconds),
                         throughCheckBox(before.saveWindowTitles), parseTimeoutText(shown)};
    check(after.awayTimeoutSeconds == before.awayTimeoutSeconds, "OK keeps an unedited timeout");
    const auto normal = [](int32_t v) { return v == 1 || v == 2 ? v : 0; };
    check(after.saveDailyReports == normal(before.saveDailyReports) &&
              after.showTimeInSeconds == normal(before.showTimeInSeconds) &&
              after.saveWindowTitles == normal(before.saveWindowTitles),
          "a switch keeps 0, 1 or 2 and reads back 0 otherwise");

    const String text = in.restAsText();
    const int32_t value = parseTimeoutText(text);
    if (sevenBitWithoutNul(text) && value != wcstollReference(text)) {
        std::fprintf(stderr, "text \"%s\": %d, wcstoll %d\n", fuzz::printable(text).c_str(), value, wcstollReference(text));
        fuzz::fail("the timeout converts like wcstoll");
    }
    check(parseTimeoutText(formatTimeoutText(value)) == value, "a converted timeout shows and converts back");
    return 0;
}
