#include "storage/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <cstdlib>

#include "storage/data_folder.h"
#include "temp_folder.h"

namespace horalis {
namespace {

using test::TempFolder;

Settings make(int32_t a, int32_t b, int32_t c, int32_t d) { return Settings{a, b, c, d}; }

void expectSettings(const Settings& s, int32_t a, int32_t b, int32_t c, int32_t d) {
    EXPECT_EQ(s.saveDailyReports, a);
    EXPECT_EQ(s.showTimeInSeconds, b);
    EXPECT_EQ(s.saveWindowTitles, c);
    EXPECT_EQ(s.awayTimeoutSeconds, d);
}

Settings parsed(std::string_view bytes) {
    Settings s;
    parseSettingsFile(bytes, s);
    return s;
}

TEST(SettingsFile, ExactBytes) {
    EXPECT_EQ(formatSettingsFile(Settings{}), "0 0 1 300");
    EXPECT_EQ(formatSettingsFile(make(1, 0, 1, 1800)), "1 0 1 1\xA0" "800");
    EXPECT_EQ(formatSettingsFile(make(0, 0, 1, 1000)), "0 0 1 1\xA0" "000");
    EXPECT_EQ(formatSettingsFile(make(0, 0, 1, 999)), "0 0 1 999");
    EXPECT_EQ(formatSettingsFile(make(0, 0, 0, -5)), "0 0 0 -5");
    EXPECT_EQ(formatSettingsFile(make(0, 0, 1, 1234567)), "0 0 1 1\xA0" "234\xA0" "567");
}

TEST(SettingsFile, EveryWrittenValueReadsBack) {
    const int32_t values[] = {0, 1, -1, 7, 999, 1000, -1000, 1800, 99999, 100000, 1234567, INT32_MAX, INT32_MIN};
    for (int32_t v : values) {
        const Settings in = make(v, v == INT32_MIN ? 0 : -v, 1, v);
        Settings out = make(42, 42, 42, 42);
        parseSettingsFile(formatSettingsFile(in), out);
        expectSettings(out, in.saveDailyReports, in.showTimeInSeconds, in.saveWindowTitles, in.awayTimeoutSeconds);
    }
}

TEST(SettingsFile, ShortOrDamagedFilesKeepTheRestAsTheyWere) {
    expectSettings(parsed(""), 0, 0, 1, 300);
    expectSettings(parsed("1 1"), 1, 1, 1, 300);
    expectSettings(parsed("1 x 0 60"), 1, 0, 1, 300);
    expectSettings(parsed("0 0 0 -5"), 0, 0, 0, -5);
    expectSettings(parsed("1 1 0 60 garbage 7"), 1, 1, 0, 60);
    expectSettings(parsed("1 - 0 60"), 1, 0, 1, 300);
    expectSettings(parsed("\t1\r\n\v2\f 3   +4"), 1, 2, 3, 4);
    expectSettings(parsed("1 2 3 4x"), 1, 2, 3, 4);
}

TEST(SettingsFile, GroupSeparatorsOnlyWhereTheWriterPutsThem) {
    expectSettings(parsed("0 0 1 1800"), 0, 0, 1, 1800);  // no separator at all is fine
    expectSettings(parsed("0 0 1 12\xA0" "345\xA0" "678"), 0, 0, 1, 12345678);
    expectSettings(parsed("0 0 1 12\xA0" "34"), 0, 0, 1, 300);
    expectSettings(parsed("0 0 1 1234\xA0" "567"), 0, 0, 1, 300);
    expectSettings(parsed("0 0 1 1\xA0" "2345"), 0, 0, 1, 300);
    expectSettings(parsed("0 0 1 1\xA0"), 0, 0, 1, 300);
    expectSettings(parsed("0 0 1 1\xA0\xA0" "000"), 0, 0, 1, 300);
    expectSettings(parsed("0 0 1 \xA0" "100"), 0, 0, 1, 300);  // 0xA0 is not white space here
    expectSettings(parsed("5\xA0 1 1 1"), 0, 0, 1, 300);
}

TEST(SettingsFile, OutOfRangeIsAFailedRead) {
    expectSettings(parsed("2147483647 -2147483648 1 1"), INT32_MAX, INT32_MIN, 1, 1);
    expectSettings(parsed("1 2147483648 0 0"), 1, 0, 1, 300);
    expectSettings(parsed("1 -2147483649 0 0"), 1, 0, 1, 300);
    expectSettings(parsed("99999999999999999999999 1 1 1"), 0, 0, 1, 300);
}

TEST(DataFolder, AppDataOrDriveRoot) {
    EXPECT_EQ(dataFolderPathFor(String(u"D:\\Profile\\Roaming")), u"D:\\Profile\\Roaming\\Horalis");
    EXPECT_EQ(dataFolderPathFor(std::nullopt), u"C:\\");
    EXPECT_EQ(dataFolderPathFor(std::nullopt) + String(kSettingsFileName), u"C:\\\\conf.dat");

    ::setenv("HORALIS_APPDATA", "/tmp/\xD0\x9F\xD1\x80", 1);  // read as UTF-8
    EXPECT_EQ(dataFolderPath(), u"/tmp/Пр\\Horalis");
    ::unsetenv("HORALIS_APPDATA");
    EXPECT_EQ(dataFolderPath(), u"C:\\");
}

class SettingsStore : public ::testing::Test {
protected:
    TempFolder dir;
    String folder() const { return dir.file("Horalis"); }
    std::string inFolder(const std::string& name) const { return "Horalis/" + name; }
};

TEST_F(SettingsStore, FirstStartCreatesTheFolderAndWritesNothing) {
    Settings s = make(5, 5, 5, 5);
    loadSettings(s, folder());
    expectSettings(s, 0, 0, 1, 300);
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "Horalis"));
    EXPECT_TRUE(std::filesystem::is_empty(dir.path() / "Horalis"));
}

TEST_F(SettingsStore, SaveWritesTheExactFileAndLoadReadsIt) {
    Settings s;
    loadSettings(s, folder());
    ASSERT_TRUE(saveSettings(s, folder()));
    EXPECT_EQ(dir.read(inFolder("conf.dat")), "0 0 1 300");
    ASSERT_TRUE(saveSettings(make(1, 1, 0, 1800), folder()));
    EXPECT_EQ(dir.read(inFolder("conf.dat")), "1 1 0 1\xA0" "800");
    EXPECT_FALSE(dir.exists(inFolder("conf.dat.tmp")));
    loadSettings(s, folder());
    expectSettings(s, 1, 1, 0, 1800);
}

TEST_F(SettingsStore, MissingParentIsSilentDefaultsAndAFailedSave) {
    const String deep = dir.file("no\\such\\Horalis");
    Settings s = make(1, 1, 1, 1);
    loadSettings(s, deep);
    expectSettings(s, 0, 0, 1, 300);
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
    EXPECT_FALSE(saveSettings(s, deep));
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "no"));
}

TEST_F(SettingsStore, HugeGarbageFileGivesDefaults) {
    std::filesystem::create_directory(dir.path() / "Horalis");
    std::string garbage(10 << 20, '\0');
    for (size_t i = 0; i < garbage.size(); ++i) garbage[i] = static_cast<char>((i * 2654435761u) >> 13);
    garbage[0] = 'x';
    dir.write(inFolder("conf.dat"), garbage);
    Settings s;
    loadSettings(s, folder());
    expectSettings(s, 0, 0, 1, 300);

    dir.write(inFolder("conf.dat"), "1 1 0 60 " + garbage);
    loadSettings(s, folder());
    expectSettings(s, 1, 1, 0, 60);
}

TEST_F(SettingsStore, NumberCutByTheReadLimitIsNotTakenShort) {
    std::filesystem::create_directory(dir.path() / "Horalis");
    dir.write(inFolder("conf.dat"), "1 1 1" + std::string(4090, ' ') + "12345678");
    Settings s;
    loadSettings(s, folder());
    expectSettings(s, 1, 1, 1, 300);
}

TEST_F(SettingsStore, FailedSaveLeavesTheOldFile) {
    Settings s;
    loadSettings(s, folder());
    ASSERT_TRUE(saveSettings(make(1, 1, 1, 60), folder()));

    // The temporary file cannot be created.
    std::filesystem::create_directory(dir.path() / inFolder("conf.dat.tmp"));
    EXPECT_FALSE(saveSettings(make(0, 0, 0, 5), folder()));
    EXPECT_EQ(dir.read(inFolder("conf.dat")), "1 1 1 60");
    std::filesystem::remove(dir.path() / inFolder("conf.dat.tmp"));

    // The disk fills up while writing: the file size limit stands in for it.
    rlimit old{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &old), 0);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit tight = old;
    tight.rlim_cur = 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &tight), 0);
    const bool saved = saveSettings(make(0, 0, 0, 123456), folder());
    ::setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previous);
    EXPECT_FALSE(saved);
    EXPECT_EQ(dir.read(inFolder("conf.dat")), "1 1 1 60");
    EXPECT_FALSE(dir.exists(inFolder("conf.dat.tmp")));
}

TEST_F(SettingsStore, FailedReplaceRemovesTheTemporaryFile) {
    std::filesystem::create_directories(dir.path() / inFolder("conf.dat") / "x");
    EXPECT_FALSE(saveSettings(Settings{}, folder()));
    EXPECT_FALSE(dir.exists(inFolder("conf.dat.tmp")));
    EXPECT_TRUE(dir.exists(inFolder("conf.dat/x")));
}

}  // namespace
}  // namespace horalis
