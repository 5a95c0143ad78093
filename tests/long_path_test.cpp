#include "storage/long_path.h"

#include <gtest/gtest.h>

namespace horalis {
namespace {

// A folder name repeated until the path is long enough to need the prefix.
String longTail() {
    String tail;
    while (tail.size() < kLongPathFrom) tail += u"reports-of-a-long-project\\";
    return tail + u"day.csv";
}

TEST(LongPathTest, LongFullPathsTakeTheExtendedFormAndOthersStayAsTheyAre) {
    const String tail = longTail();
    EXPECT_EQ(extendedLengthPath(u"C:\\" + tail), u"\\\\?\\C:\\" + tail);
    EXPECT_EQ(extendedLengthPath(u"\\\\server\\share\\" + tail), u"\\\\?\\UNC\\server\\share\\" + tail);
    // Taken literally once extended: separators and steps are made plain first.
    EXPECT_EQ(extendedLengthPath(u"d:/x/./y/../" + tail), u"\\\\?\\d:\\x\\" + tail);
    EXPECT_EQ(extendedLengthPath(u"C:\\..\\..\\" + tail), u"\\\\?\\C:\\" + tail);

    const String extended = u"\\\\?\\C:\\" + tail;
    EXPECT_EQ(extendedLengthPath(extended), extended);
    EXPECT_EQ(extendedLengthPath(tail), tail);                            // relative
    EXPECT_EQ(extendedLengthPath(u"C:" + tail), u"C:" + tail);            // relative to the drive's folder
    const String noShare = u"\\\\" + String(kLongPathFrom, u's');
    EXPECT_EQ(extendedLengthPath(noShare), noShare);
    const String shortPath = u"C:\\Users\\me\\report.csv";
    EXPECT_EQ(extendedLengthPath(shortPath), shortPath);
}

}  // namespace
}  // namespace horalis
