#include "storage/settings.h"

#include "storage/file_io.h"
#include "storage/number_text.h"
#include "storage/replacing_file.h"
#include "storage/report_stream.h"

namespace horalis {

namespace {

// More than four numbers ever need; a huge or garbage file costs no more.
constexpr size_t kReadLimit = 4096;

constexpr char kGroupSeparator = '\xA0';

// One integer as the settings stream reads it: separators only where the
// writer puts them (see readInteger), nothing beyond the 32-bit range.
bool readInt(std::string_view bytes, size_t& pos, int32_t& value) {
    const ReadInteger number = readInteger(bytes, pos, std::optional<char>(kGroupSeparator));
    if (!number.read || number.value() < INT32_MIN || number.value() > INT32_MAX) return false;
    value = static_cast<int32_t>(number.value());
    pos = number.end;
    return true;
}

void writeSettings(ReportStream& stream, const Settings& settings) {
    stream << settings.saveDailyReports << " " << settings.showTimeInSeconds << " " << settings.saveWindowTitles << " "
           << settings.awayTimeoutSeconds;
}

}  // namespace

std::string formatSettingsFile(const Settings& settings) {
    ReportStream stream;
    stream.openInMemory();
    writeSettings(stream, settings);
    stream.close();
    return stream.bytes();
}

void parseSettingsFile(std::string_view bytes, Settings& settings) {
    int32_t* const fields[] = {&settings.saveDailyReports, &settings.showTimeInSeconds, &settings.saveWindowTitles,
                               &settings.awayTimeoutSeconds};
    size_t pos = 0;
    for (int32_t* field : fields) {
        // The first failed read leaves its field and stops all later ones.
        if (!readInt(bytes, pos, *field)) return;
    }
}

void loadSettings(Settings& settings, const String& dataFolder) {
    settings = Settings{};
    createDirectory(dataFolder);
    std::string bytes;
    if (!readFileBytes(dataFolder + String(kSettingsFileName), bytes, kReadLimit + 1)) return;
    if (bytes.size() > kReadLimit) {
        // Drop the token cut by the limit, so that it cannot be read as a
        // shorter number than the file holds.
        bytes.resize(kReadLimit);
        while (!bytes.empty() && !isCSpace(static_cast<unsigned char>(bytes.back()))) bytes.pop_back();
    }
    parseSettingsFile(bytes, settings);
}

bool saveSettings(const Settings& settings, const String& dataFolder) {
    // Written beside the file and moved over it, so that a failed write (a
    // full disk) never leaves conf.dat short or empty.
    ReplacingFile file(dataFolder + String(kSettingsFileName));
    if (!file.open()) return false;
    writeSettings(file.stream(), settings);
    return file.commit();
}

}  // namespace horalis
