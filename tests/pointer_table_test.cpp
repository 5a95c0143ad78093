#include "tracking/pointer_table.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

class PointerTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Handles 100 + index, as if the system had loaded them all.
        loadPointerHandles([](int32_t id) -> CursorRef {
            for (size_t i = 0; i < kPointerCount; ++i) {
                if (PointerTable()[i].pointerId == id) return 100 + i;
            }
            return 0;
        });
        resetPointerCounts();
    }
    static uint32_t count(size_t i) { return PointerTable()[i].sampleCount; }
    static uint32_t total() {
        uint32_t n = 0;
        for (const auto& e : PointerTable()) n += e.sampleCount;
        return n;
    }
};

TEST_F(PointerTableTest, EntriesInDisplayOrder) {
    const int32_t ids[kPointerCount] = {32650, 32512, 32515, 32649, 32651, 32513, 32648,
                                        32646, 32643, 32645, 32642, 32644, 32516, 32514};
    for (size_t i = 0; i < kPointerCount; ++i) EXPECT_EQ(PointerTable()[i].pointerId, ids[i]) << i;
    EXPECT_EQ(StringView(PointerTable()[0].displayName), u"Standard arrow and small hourglass");
    EXPECT_EQ(StringView(PointerTable()[5].displayName), u"I-beam");
    EXPECT_EQ(StringView(PointerTable()[7].displayName), u"Four-pointed arrow pointing north, south, east, and west");
    EXPECT_EQ(StringView(PointerTable()[13].displayName), u"Hourglass");
}

TEST_F(PointerTableTest, CountsOnlyAShowingPointerThatMatches) {
    countPointerSample({true, kCursorShowing, 105});
    countPointerSample({true, kCursorShowing, 105});
    EXPECT_EQ(count(5), 2u);
    countPointerSample({false, kCursorShowing, 105});  // query failed
    countPointerSample({true, 0, 105});                // hidden
    countPointerSample({true, 2, 105});                // suppressed
    countPointerSample({true, 3, 105});                // showing plus another bit
    countPointerSample({true, kCursorShowing, 999});   // an application's own pointer
    EXPECT_EQ(total(), 2u);
}

TEST_F(PointerTableTest, EveryMatchingEntryCountsAndEmptyHandlesNever) {
    PointerTable()[3].handle = 101;  // shares the arrow's handle
    PointerTable()[9].handle = 0;    // failed to load
    countPointerSample({true, kCursorShowing, 101});
    EXPECT_EQ(count(1), 1u);
    EXPECT_EQ(count(3), 1u);
    countPointerSample({true, kCursorShowing, 0});
    EXPECT_EQ(total(), 2u);
}

TEST_F(PointerTableTest, ResetZeroesAll) {
    for (size_t i = 0; i < kPointerCount; ++i) countPointerSample({true, kCursorShowing, 100 + i});
    EXPECT_EQ(total(), kPointerCount);
    resetPointerCounts();
    EXPECT_EQ(total(), 0u);
}

}  // namespace
}  // namespace horalis
