#pragma once
// The four user settings and the settings file "conf.dat" in the data folder.
#include <cstdint>
#include <string>
#include <string_view>

#include "base/string.h"

namespace horalis {

struct Settings {
    int32_t saveDailyReports = 0;
    int32_t showTimeInSeconds = 0;
    int32_t saveWindowTitles = 1;
    int32_t awayTimeoutSeconds = 300;
};

inline constexpr StringView kSettingsFileName = u"\\conf.dat";

// Fills settings with the defaults, creates the data folder (its last component
// only, result ignored) and reads "conf.dat" from it if the file can be opened.
// A short or damaged file keeps the fields read before the first bad token.
void loadSettings(Settings& settings, const String& dataFolder);

// Writes "conf.dat" into the data folder. Returns false when the file could not
// be written completely; the caller then shows "Can't save configuration to a file!".
bool saveSettings(const Settings& settings, const String& dataFolder);

// The file's bytes for these settings (Windows-1251, Russian digit grouping).
std::string formatSettingsFile(const Settings& settings);
// Parses the bytes of a settings file into settings, starting from its values.
void parseSettingsFile(std::string_view bytes, Settings& settings);

}  // namespace horalis
