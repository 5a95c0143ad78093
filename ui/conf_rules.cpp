#include "ui/conf_rules.h"

#include <algorithm>
#include <string>

#include "storage/number_text.h"

namespace horalis {

int32_t checkStateToControl(int32_t state) {
    return (state == 0 || state == 1 || state == 2) ? state : 0;
}

int32_t checkStateFromControl(int64_t bmGetCheckResult) {
    if (bmGetCheckResult == 1 || bmGetCheckResult == 2) {
        return static_cast<int32_t>(bmGetCheckResult);
    }
    return 0;
}

int32_t parseTimeoutText(StringView text) {
    return static_cast<int32_t>(std::clamp<int64_t>(readInteger(text, 0).value(), INT32_MIN, INT32_MAX));
}

String formatTimeoutText(int32_t seconds) {
    const std::string digits = std::to_string(seconds);
    return String(digits.begin(), digits.end());
}

}  // namespace horalis
