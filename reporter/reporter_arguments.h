#pragma once
// The reporter's command line: the program, then the data folder as one
// quoted argument, as the reporter manager writes it into the Run key.
#include <optional>

#include "tracking/usage_records.h"

namespace horalis {

enum class ReporterArgumentError {
    None,
    Missing,      // no argument, or an empty one
    TooMany,      // more than one argument
    Unterminated, // an opening quote without its closing one
    NoSuchFolder, // one argument, but no folder of that name
};

struct ReporterArguments {
    ReporterArgumentError error = ReporterArgumentError::None;
    String dataFolder;  // the argument, without its quotes
};

// Splits the whole command line as the process got it (GetCommandLineW).
// The program part is written unquoted by the reporter manager and may hold
// blanks ("C:\Program Files\Horalis\HoralisReporter.exe"), so it runs up to
// the last word ending in ".exe" before the argument's opening quote; a
// quoted program part ends at its closing quote. Quotes are not escapes: "C:\" is the folder C:\ (the data
// folder when APPDATA is not set), not C: and a quote.
ReporterArguments parseReporterCommandLine(StringView commandLine);

// The folder the reporter works in: the one named when it is there
// (namedExists). Otherwise, when the named one is a Horalis data folder (its
// last name is "Horalis", in any case), this user's own data folder: a value
// written by an older Horalis names the data folder of the user who clicked
// Install, and Windows starts it for every user, who may not even see that
// folder; each of them silently gets a folder of their own. Anything else is
// nothing, and the reporter says the folder does not exist.
std::optional<String> reporterDataFolder(StringView named, bool namedExists, StringView ownDataFolder);

// The text of the one message box the reporter shows before it exits.
String reporterArgumentMessage(const ReporterArguments& arguments);

inline constexpr StringView kReporterCaption = u"Horalis Reporter";

}  // namespace horalis
