#include "ui/reporter_command_line.h"

namespace horalis {

std::optional<String> buildReporterCommandLine(StringView executablePath, StringView dataFolder) {
    static constexpr StringView kOpenQuote = u" \"";
    static constexpr StringView kCloseQuote = u"\"";
    const String folder = programFolderOf(executablePath);
    const size_t length = folder.size() + kReporterExecutableName.size() + kOpenQuote.size() +
                          dataFolder.size() + kCloseQuote.size();
    if (length > kReporterCommandLineMaxChars) {
        return std::nullopt;
    }
    String line;
    line.reserve(length);
    line += folder;
    line += kReporterExecutableName;
    line += kOpenQuote;
    line += dataFolder;
    line += kCloseQuote;
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
