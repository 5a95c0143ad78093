#include "ui/start_options.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

TEST(StartOptions, OnlyTheTrayArgumentAfterTheProgramStartsHidden) {
    EXPECT_TRUE(startsInTray(u"\"C:\\Program Files\\Horalis\\Horalis.exe\" /tray"));
    EXPECT_TRUE(startsInTray(u"Horalis.exe\t/TRAY  "));
    EXPECT_TRUE(startsInTray(u"Horalis.exe other \"/tray\""));
    // As always: no arguments, or arguments it does not know.
    EXPECT_FALSE(startsInTray(u"\"C:\\Program Files\\Horalis\\Horalis.exe\""));
    EXPECT_FALSE(startsInTray(u"Horalis.exe /trays"));
    EXPECT_FALSE(startsInTray(u"Horalis.exe \"/tray x\""));
    // The program's own name is not an argument, whatever it is.
    EXPECT_FALSE(startsInTray(u"/tray"));
    EXPECT_FALSE(startsInTray(u""));
    // What a restart registers comes back as the same state.
    EXPECT_TRUE(startsInTray(u"Horalis.exe " + String(restartArguments(true))));
    EXPECT_FALSE(startsInTray(u"Horalis.exe " + String(restartArguments(false))));
}

}  // namespace
}  // namespace horalis
