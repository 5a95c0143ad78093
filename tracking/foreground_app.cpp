#include "tracking/foreground_app.h"

namespace horalis {

bool isApplicationFrameHost(StringView executablePath) {
    const StringView name = fileNameOf(executablePath);
    if (name.size() != kApplicationFrameHostName.size()) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char16_t a = name[i];
        char16_t b = kApplicationFrameHostName[i];
        if (a >= u'A' && a <= u'Z') a = static_cast<char16_t>(a - u'A' + u'a');
        if (b >= u'A' && b <= u'Z') b = static_cast<char16_t>(b - u'A' + u'a');
        if (a != b) return false;
    }
    return true;
}

std::optional<uint32_t> hostedApplicationProcess(uint32_t hostProcess, const std::vector<uint32_t>& childProcesses) {
    for (uint32_t process : childProcesses)
        if (process != 0 && process != hostProcess) return process;
    return std::nullopt;
}

}  // namespace horalis
