#include "ui/reporter_command_line.h"

#include <algorithm>

namespace horalis {

std::optional<String> buildReporterCommandLine(StringView executablePath, StringView dataFolderArgument,
                                               StringView expandedDataFolder) {
    static constexpr StringView kQuote = u"\"";
    static constexpr StringView kBetween = u"\" \"";
    const String folder = programFolderOf(executablePath);
    const size_t fixed = kQuote.size() + folder.size() + kReporterExecutableName.size() + kBetween.size() + kQuote.size();
    if (fixed + std::max(dataFolderArgument.size(), expandedDataFolder.size()) > kReporterCommandLineMaxChars) {
        return std::nullopt;
    }
    String line;
    line.reserve(fixed + dataFolderArgument.size());
    line += kQuote;
    line += folder;
    line += kReporterExecutableName;
    line += kBetween;
    line += dataFolderArgument;
    line += kQuote;
    return line;
}

uint32_t reporterValueDataBytes(StringView commandLine) {
    return static_cast<uint32_t>((commandLine.size() + 1) * sizeof(char16_t));
}

bool reporterInstalled(int32_t openResult, int32_t queryResult) {
    return openResult == 0 && queryResult == 0;
}

ReporterButtons reporterButtonsFor(bool installed) {
    return {!installed, installed};
}

}  // namespace horalis
