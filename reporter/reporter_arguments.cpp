#include "reporter/reporter_arguments.h"

#include <algorithm>
#include <vector>

namespace horalis {
namespace {

// Where the program part of an unquoted command line ends: after the last
// word ending in ".exe" before the first quote, which opens the argument.
size_t programEnd(StringView line) {
    static constexpr StringView kExe = u".exe";
    const size_t limit = std::min(line.find(u'"'), line.size());
    size_t found = StringView::npos;
    for (size_t i = 0; i + kExe.size() <= limit; ++i) {
        bool match = true;
        for (size_t k = 0; k < kExe.size() && match; ++k) match = asciiLower(line[i + k]) == kExe[k];
        const size_t end = i + kExe.size();
        if (match && (end == limit || isCommandLineBlank(line[end]))) found = end;
    }
    if (found != StringView::npos) return found;
    // Started by some other name: the first word, as the system would split it.
    size_t end = 0;
    while (end < line.size() && !isCommandLineBlank(line[end]) && line[end] != u'"') ++end;
    return end;
}

}  // namespace

std::optional<String> reporterDataFolder(StringView named, bool namedExists, StringView ownDataFolder) {
    if (namedExists) return String(named);
    static constexpr StringView kDataFolderName = u"\\horalis";
    if (named.size() < kDataFolderName.size()) return std::nullopt;
    const StringView tail = named.substr(named.size() - kDataFolderName.size());
    for (size_t i = 0; i < tail.size(); ++i)
        if (asciiLower(tail[i]) != kDataFolderName[i]) return std::nullopt;
    return String(ownDataFolder);
}

ReporterArguments parseReporterCommandLine(StringView line) {
    ReporterArguments result;
    size_t at = 0;
    while (at < line.size() && isCommandLineBlank(line[at])) ++at;
    line.remove_prefix(at);
    if (!line.empty() && line[0] == u'"') {
        const size_t close = line.find(u'"', 1);
        line.remove_prefix(close == StringView::npos ? line.size() : close + 1);
    } else {
        line.remove_prefix(programEnd(line));
    }

    std::vector<String> arguments;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && isCommandLineBlank(line[i])) ++i;
        if (i == line.size()) break;
        String argument;
        // A word may mix quoted and unquoted pieces: "C:\My Data"\Horalis.
        while (i < line.size() && !isCommandLineBlank(line[i])) {
            if (line[i] == u'"') {
                const size_t close = line.find(u'"', i + 1);
                if (close == StringView::npos) {
                    result.error = ReporterArgumentError::Unterminated;
                    return result;
                }
                argument.append(line.substr(i + 1, close - i - 1));
                i = close + 1;
            } else {
                argument.push_back(line[i++]);
            }
        }
        arguments.push_back(std::move(argument));
    }

    if (arguments.size() > 1) {
        result.error = ReporterArgumentError::TooMany;
    } else if (arguments.empty() || arguments[0].empty()) {
        result.error = ReporterArgumentError::Missing;
    } else {
        result.dataFolder = std::move(arguments[0]);
        // "D:\Data\" names the same folder as "D:\Data"; a root keeps its backslash.
        while (result.dataFolder.size() > 3 && result.dataFolder.back() == u'\\') result.dataFolder.pop_back();
    }
    return result;
}

String reporterArgumentMessage(const ReporterArguments& arguments) {
    static constexpr StringView kUsage =
        u"\n\nHoralis Reporter takes the data folder as its one argument, in double quotes, for example:\n"
        u"HoralisReporter.exe \"C:\\Users\\Name\\AppData\\Roaming\\Horalis\"\n\n"
        u"Horalis writes this command line for you: Tools -> Reporter/Client... -> Install.";
    String text;
    switch (arguments.error) {
    case ReporterArgumentError::None: return text;
    case ReporterArgumentError::Missing: text = u"No data folder was given."; break;
    case ReporterArgumentError::TooMany: text = u"More than one argument was given."; break;
    case ReporterArgumentError::Unterminated: text = u"The data folder's closing double quote is missing."; break;
    case ReporterArgumentError::NoSuchFolder:
        text = u"The data folder \"" + arguments.dataFolder + u"\" does not exist.";
        break;
    }
    return text + String(kUsage);
}

}  // namespace horalis
