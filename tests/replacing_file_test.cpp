#include "storage/replacing_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace horalis {
namespace {

TEST(ReplacingFile, TheTargetChangesOnlyOnCommitAndNoTemporaryStays) {
    test::TempFolder dir;
    dir.write("a.txt", "old");
    {
        ReplacingFile file(dir.file("a.txt"));
        ASSERT_TRUE(file.open());
        file.stream() << u"new\n";
        ASSERT_TRUE(file.finish());
        EXPECT_EQ(dir.read("a.txt.tmp"), "new\r\n");
    }
    EXPECT_EQ(dir.read("a.txt"), "old");
    EXPECT_FALSE(dir.exists("a.txt.tmp"));

    ReplacingFile file(dir.file("a.txt"));
    ASSERT_TRUE(file.writeFlushed("new\n"));
    ASSERT_TRUE(file.commit());
    EXPECT_EQ(dir.read("a.txt"), "new\n");
    EXPECT_FALSE(dir.exists("a.txt.tmp"));
}

TEST(ReplacingFile, ATemporaryNameItCouldNotTakeIsLeftAlone) {
    test::TempFolder dir;
    std::filesystem::create_directory(dir.path() / "a.txt.tmp");
    {
        ReplacingFile file(dir.file("a.txt"));
        EXPECT_FALSE(file.open());
        EXPECT_FALSE(file.commit());
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.path() / "a.txt.tmp"));
    EXPECT_FALSE(dir.exists("a.txt"));
}

}  // namespace
}  // namespace horalis
