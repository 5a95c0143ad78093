#include "tracking/input_throttle.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

using Step = InputThrottle::Step;

TEST(InputThrottleTest, OneReportASecondAndTheLastInputOfABurstIsNeverLost) {
    InputThrottle throttle;
    EXPECT_FALSE(throttle.onDue(5));  // nothing pending, nothing to post
    EXPECT_EQ(throttle.onInput(10'000), Step::Post);
    EXPECT_EQ(throttle.onInput(10'100), Step::Schedule);
    EXPECT_EQ(throttle.delayFrom(10'100), 900u);
    EXPECT_EQ(throttle.onInput(10'900), Step::Wait);
    EXPECT_TRUE(throttle.onDue(11'000));   // the trailing report
    EXPECT_FALSE(throttle.onDue(11'001));  // and only one
    // The trailing report starts the next interval.
    EXPECT_EQ(throttle.onInput(11'500), Step::Schedule);
    EXPECT_EQ(throttle.delayFrom(12'500), 1u);  // a late timer still fires soon
    EXPECT_TRUE(throttle.onDue(12'500));
    // After a quiet second, input is reported at once again.
    EXPECT_EQ(throttle.onInput(13'500), Step::Post);
}

}  // namespace
}  // namespace horalis
