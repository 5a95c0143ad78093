#pragma once
// The reporter's autostart entry (ServiceDlg): the registry names, the command
// line written as its value, and the rules for reading it back.
#include <cstddef>
#include <cstdint>
#include <optional>

#include "base/program_path.h"
#include "base/string.h"

namespace horalis {

// Under HKEY_LOCAL_MACHINE.
inline constexpr StringView kReporterRunSubkey = u"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr StringView kReporterValueName = u"HoralisReporter";
inline constexpr StringView kReporterExecutableName = u"HoralisReporter.exe";

inline constexpr StringView kReporterInstalledText = u"Reporter installed successfully";
inline constexpr StringView kReporterUninstalledText = u"Reporter uninstalled successfully";
// Shown (caption kErrorCaption, MB_ICONERROR) when buildReporterCommandLine
// refuses; nothing is written to the registry then.
inline constexpr StringView kReporterCommandLineTooLongText =
    u"The reporter's command line would be longer than 260 characters, "
    u"so the reporter was not installed.\n\n"
    u"Install Horalis in a folder with a shorter path and try again.";

// The line has to fit a MAX_PATH buffer together with its NUL.
inline constexpr size_t kReporterCommandLineMaxChars = 260;
// RegQueryValueExW reads into this many bytes; longer data is ERROR_MORE_DATA.
inline constexpr uint32_t kReporterQueryBufferBytes = 1000;

// The data folder as the value names it. The value is machine-wide, but
// Windows starts it at each user's logon and expands a REG_EXPAND_SZ value in
// that user's environment, so each user's reporter gets that user's folder.
inline constexpr StringView kReporterDataFolderArgument = u"%APPDATA%\\Horalis";

// "\"" + program folder + "HoralisReporter.exe\" \"" + data folder argument +
// "\"". The program path is quoted: in an unquoted one with blanks
// ("C:\Program Files\...") Windows tries "C:\Program.exe" first.
// Nothing when the line, or the line with the argument expanded as it is for
// this user (expandedDataFolder), would need more than 260 characters; it is
// never cut. executablePath must be the whole module path: a path
// GetModuleFileNameW truncated has to be refused before it gets here.
std::optional<String> buildReporterCommandLine(StringView executablePath, StringView dataFolderArgument,
                                               StringView expandedDataFolder);

// The size passed to RegSetValueExW for a string value: characters plus the
// NUL, two bytes each.
uint32_t reporterValueDataBytes(StringView commandLine);

// The state query: installed only if both RegOpenKeyExW and RegQueryValueExW
// (into kReporterQueryBufferBytes bytes) returned ERROR_SUCCESS. A failed open
// means the query never ran; pass any non-zero code for it then. The value's
// type and text do not matter: one written by an older Horalis (REG_SZ, the
// program unquoted, one user's folder) counts as installed, so it can be
// removed, or replaced by Install.
bool reporterInstalled(int32_t openResult, int32_t queryResult);

struct ReporterButtons {
    bool installEnabled = false;
    bool removeEnabled = false;
};

// Install (1015) and Remove (1016) mirror the registry: one of them is enabled.
ReporterButtons reporterButtonsFor(bool installed);

}  // namespace horalis
