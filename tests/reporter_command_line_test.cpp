#include "ui/reporter_command_line.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

TEST(ReporterCommandLineTest, ProgramFolderKeepsTheLastBackslash) {
    EXPECT_EQ(programFolderOf(u"C:\\Tools\\Meter\\Horalis.exe"), u"C:\\Tools\\Meter\\");
    EXPECT_EQ(programFolderOf(u"C:\\Horalis.exe"), u"C:\\");
    EXPECT_EQ(programFolderOf(u"\\\\server\\share\\a\\"), u"\\\\server\\share\\a\\");
    EXPECT_EQ(programFolderOf(u"Horalis.exe"), u"");
    // Only the backslash separates; a forward slash is part of the name.
    EXPECT_EQ(programFolderOf(u"C:\\a/b.exe"), u"C:\\");
}

TEST(ReporterCommandLineTest, QuotesTheProgramAndNamesEachUsersDataFolder) {
    EXPECT_EQ(buildReporterCommandLine(u"C:\\Program Files\\My Meter\\Horalis.exe", kReporterDataFolderArgument,
                                       u"C:\\Users\\A B\\AppData\\Roaming\\Horalis"),
              u"\"C:\\Program Files\\My Meter\\HoralisReporter.exe\" \"%APPDATA%\\Horalis\"");
    // A root folder keeps its trailing backslash inside the quotes.
    EXPECT_EQ(buildReporterCommandLine(u"C:\\Horalis.exe", u"C:\\", u"C:\\"), u"\"C:\\HoralisReporter.exe\" \"C:\\\"");
}

// A data folder that brings the line to exactly `total` characters.
String dataFolderForLength(StringView exe, size_t total) {
    const size_t fixed = programFolderOf(exe).size() + kReporterExecutableName.size() + 5;
    return u"D:\\" + String(total - fixed - 3, u'x');
}

TEST(ReporterCommandLineTest, LongLinesAreRefusedNotCut) {
    const StringView exe = u"C:\\Program Files\\Horalis\\Horalis.exe";
    const String at260Folder = dataFolderForLength(exe, 260);
    const auto at260 = buildReporterCommandLine(exe, at260Folder, at260Folder);
    ASSERT_TRUE(at260.has_value());
    EXPECT_EQ(at260->size(), 260u);
    EXPECT_EQ(at260->back(), u'"');
    const String at261Folder = dataFolderForLength(exe, 261);
    EXPECT_FALSE(buildReporterCommandLine(exe, at261Folder, at261Folder).has_value());
    // Short as written, but too long once this user's folder is put in.
    EXPECT_FALSE(buildReporterCommandLine(exe, kReporterDataFolderArgument, at261Folder).has_value());
    EXPECT_TRUE(buildReporterCommandLine(exe, kReporterDataFolderArgument, at260Folder).has_value());
    // A deep program folder alone can be too much.
    const String deep = u"C:\\" + String(250, u'p') + u"\\Horalis.exe";
    EXPECT_FALSE(buildReporterCommandLine(deep, u"D:\\H", u"D:\\H").has_value());
}

TEST(ReporterCommandLineTest, ValueDataCountsTheNulInBytes) {
    EXPECT_EQ(reporterValueDataBytes(u""), 2u);
    EXPECT_EQ(reporterValueDataBytes(u"C:\\HoralisReporter.exe \"C:\\\""), 58u);
    EXPECT_EQ(reporterValueDataBytes(String(260, u'a')), 522u);
}

TEST(ReporterCommandLineTest, InstalledOnlyWhenBothCallsSucceeded) {
    constexpr int32_t kFileNotFound = 2;
    constexpr int32_t kMoreData = 234;
    EXPECT_TRUE(reporterInstalled(0, 0));
    EXPECT_FALSE(reporterInstalled(0, kFileNotFound));
    EXPECT_FALSE(reporterInstalled(0, kMoreData));
    EXPECT_FALSE(reporterInstalled(kFileNotFound, 0));

    EXPECT_FALSE(reporterButtonsFor(true).installEnabled);
    EXPECT_TRUE(reporterButtonsFor(true).removeEnabled);
    EXPECT_TRUE(reporterButtonsFor(false).installEnabled);
    EXPECT_FALSE(reporterButtonsFor(false).removeEnabled);
}

}  // namespace
}  // namespace horalis
