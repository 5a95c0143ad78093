#include "reporter/reporter_arguments.h"

#include <gtest/gtest.h>

#include "ui/reporter_command_line.h"

namespace horalis {
namespace {

ReporterArguments parse(StringView line) { return parseReporterCommandLine(line); }

// What the reporter manager writes into the Run key comes back as the folder.
TEST(ReporterArgumentsTest, ReadsBackTheLinesTheReporterManagerWrites) {
    const struct {
        StringView program;
        StringView folder;
    } cases[] = {
        {u"C:\\Tools\\Meter\\Horalis.exe", u"D:\\Data\\Horalis"},
        // Blanks in the unquoted program folder and in the data folder.
        {u"C:\\Program Files\\My Meter\\Horalis.exe", u"C:\\Users\\A B\\AppData\\Roaming\\Horalis"},
        // The folder when APPDATA is not set: "C:\" must not read as an escaped quote.
        {u"C:\\Horalis.exe", u"C:\\"},
        // A folder named like an executable does not end the program part early.
        {u"C:\\x.exe tools\\Horalis.exe", u"D:\\old.exe files"},
    };
    for (const auto& c : cases) {
        const auto line = buildReporterCommandLine(c.program, c.folder, c.folder);
        ASSERT_TRUE(line.has_value());
        const ReporterArguments parsed = parse(*line);
        EXPECT_EQ(parsed.error, ReporterArgumentError::None) << std::string(line->begin(), line->end());
        EXPECT_EQ(parsed.dataFolder, String(c.folder));
    }
}

TEST(ReporterArgumentsTest, ReadsOtherWaysOfStartingIt) {
    // As an older Horalis wrote the Run value: the program unquoted, with blanks.
    EXPECT_EQ(parse(u"C:\\Program Files\\Horalis\\HoralisReporter.exe \"C:\\Users\\A B\\Horalis\"").dataFolder,
              u"C:\\Users\\A B\\Horalis");
    // Quoted program, as Explorer or a shortcut starts it; extra blanks.
    EXPECT_EQ(parse(u"\"C:\\Program Files\\Horalis\\HoralisReporter.exe\"   \"D:\\Data\"  ").dataFolder,
              u"D:\\Data");
    // Any letter case of the extension; a bare name from a console.
    EXPECT_EQ(parse(u"HORALISREPORTER.EXE \"D:\\Data\"").dataFolder, u"D:\\Data");
    // No blank between the program and the quote.
    EXPECT_EQ(parse(u"HoralisReporter.exe\"D:\\Data\"").dataFolder, u"D:\\Data");
    // Started by another name without an extension: the first word is the program.
    EXPECT_EQ(parse(u"reporter \"D:\\Data\"").dataFolder, u"D:\\Data");
    // An unquoted folder without blanks is taken as well.
    EXPECT_EQ(parse(u"HoralisReporter.exe D:\\Data").dataFolder, u"D:\\Data");
    // Trailing backslashes go, except a root's.
    EXPECT_EQ(parse(u"HoralisReporter.exe \"D:\\Data\\\\\"").dataFolder, u"D:\\Data");
    EXPECT_EQ(parse(u"HoralisReporter.exe \"D:\\\"").dataFolder, u"D:\\");
}

TEST(ReporterArgumentsTest, AnotherUsersDataFolderGivesWayToOurOwn) {
    const StringView own = u"C:\\Users\\Bob\\AppData\\Roaming\\Horalis";
    const StringView anna = u"C:\\Users\\Anna\\AppData\\Roaming\\Horalis";
    EXPECT_EQ(reporterDataFolder(anna, true, own), String(anna));  // readable: used as named
    EXPECT_EQ(reporterDataFolder(anna, false, own), String(own));
    EXPECT_EQ(reporterDataFolder(u"%APPDATA%\\HORALIS", false, u"C:\\"), u"C:\\");  // no APPDATA here
    // A folder of any other name that is not there stays an error.
    EXPECT_FALSE(reporterDataFolder(u"D:\\Gone", false, own).has_value());
    EXPECT_FALSE(reporterDataFolder(u"D:\\MyHoralis", false, own).has_value());
    EXPECT_FALSE(reporterDataFolder(u"Horalis", false, own).has_value());
}

TEST(ReporterArgumentsTest, TellsWhatIsWrongWithABadLine) {
    EXPECT_EQ(parse(u"C:\\Program Files\\Horalis\\HoralisReporter.exe").error, ReporterArgumentError::Missing);
    EXPECT_EQ(parse(u"C:\\Program Files\\Horalis\\HoralisReporter.exe   ").error, ReporterArgumentError::Missing);
    EXPECT_EQ(parse(u"HoralisReporter.exe \"\"").error, ReporterArgumentError::Missing);
    EXPECT_EQ(parse(u"").error, ReporterArgumentError::Missing);
    EXPECT_EQ(parse(u"HoralisReporter.exe \"D:\\Data\" \"E:\\Other\"").error, ReporterArgumentError::TooMany);
    // An unquoted folder with a blank is two arguments.
    EXPECT_EQ(parse(u"HoralisReporter.exe D:\\My Data").error, ReporterArgumentError::TooMany);
    EXPECT_EQ(parse(u"HoralisReporter.exe \"D:\\Data").error, ReporterArgumentError::Unterminated);
    EXPECT_EQ(parse(u"\"C:\\Program Files\\HoralisReporter.exe").error, ReporterArgumentError::Missing);
}

TEST(ReporterArgumentsTest, MessageSaysWhatIsWrongAndHowToStartIt) {
    const String usage = u"HoralisReporter.exe \"C:\\Users\\Name\\AppData\\Roaming\\Horalis\"";
    ReporterArguments missing{ReporterArgumentError::Missing, u""};
    ReporterArguments tooMany{ReporterArgumentError::TooMany, u""};
    ReporterArguments noFolder{ReporterArgumentError::NoSuchFolder, u"D:\\Gone"};
    EXPECT_EQ(reporterArgumentMessage(missing).find(u"No data folder was given."), 0u);
    EXPECT_EQ(reporterArgumentMessage(tooMany).find(u"More than one argument was given."), 0u);
    EXPECT_EQ(reporterArgumentMessage(noFolder).find(u"The data folder \"D:\\Gone\" does not exist."), 0u);
    for (const auto& a : {missing, tooMany, noFolder}) EXPECT_NE(reporterArgumentMessage(a).find(usage), String::npos);
    EXPECT_TRUE(reporterArgumentMessage(ReporterArguments{}).empty());
}

}  // namespace
}  // namespace horalis
