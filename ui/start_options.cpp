#include "ui/start_options.h"

namespace horalis {
namespace {

bool sameIgnoringCase(StringView a, StringView b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    return true;
}

}  // namespace

bool startsInTray(StringView commandLine) {
    // Arguments are separated by blanks; a quoted one (the program's path) may hold some.
    bool first = true;
    size_t i = 0;
    while (i < commandLine.size()) {
        while (i < commandLine.size() && isCommandLineBlank(commandLine[i])) ++i;
        if (i == commandLine.size()) break;
        String argument;
        bool quoted = false;
        for (; i < commandLine.size() && (quoted || !isCommandLineBlank(commandLine[i])); ++i) {
            if (commandLine[i] == u'"')
                quoted = !quoted;
            else
                argument.push_back(commandLine[i]);
        }
        if (!first && sameIgnoringCase(argument, kStartInTrayArgument)) return true;
        first = false;
    }
    return false;
}

}  // namespace horalis
