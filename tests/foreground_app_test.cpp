#include "tracking/foreground_app.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

TEST(ForegroundAppTest, KnowsTheFrameHostByItsFileNameOnly) {
    EXPECT_TRUE(isApplicationFrameHost(u"C:\\Windows\\System32\\ApplicationFrameHost.exe"));
    EXPECT_TRUE(isApplicationFrameHost(u"c:\\windows\\system32\\APPLICATIONFRAMEHOST.EXE"));
    EXPECT_TRUE(isApplicationFrameHost(u"ApplicationFrameHost.exe"));
    EXPECT_FALSE(isApplicationFrameHost(u"C:\\Tools\\MyApplicationFrameHost.exe"));
    EXPECT_FALSE(isApplicationFrameHost(u"C:\\ApplicationFrameHost.exe\\editor.exe"));
    EXPECT_FALSE(isApplicationFrameHost(u"C:\\Windows\\System32\\ApplicationFrameHost.dll"));
    EXPECT_FALSE(isApplicationFrameHost(u""));
}

TEST(ForegroundAppTest, HostedApplicationIsTheFirstChildOfAnotherProcess) {
    // The frame's own title bar and input windows come first, then the application's.
    EXPECT_EQ(hostedApplicationProcess(40, {40, 40, 77, 90}), 77u);
    EXPECT_EQ(hostedApplicationProcess(40, {0, 77}), 77u);  // a child that vanished meanwhile
    // Suspended or starting: only the host's own windows, or none at all.
    EXPECT_EQ(hostedApplicationProcess(40, {40, 40}), std::nullopt);
    EXPECT_EQ(hostedApplicationProcess(40, {}), std::nullopt);
}

}  // namespace
}  // namespace horalis
