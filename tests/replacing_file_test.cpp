#include "storage/replacing_file.h"

#include <filesystem>

#include <gtest/gtest.h>

#include "storage/file_faults.h"
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

// A kill after any single change on the disk leaves the old file or the new
// one, whole, and the next write gets through whatever the kill left.
TEST(ReplacingFile, StoppedAfterAnyChangeTheTargetIsOldOrNewWholeAndTheNextWriteSucceeds) {
    const std::string old(5000, 'o'), fresh(7000, 'n');
    for (int64_t changes = 0;; ++changes) {
        test::TempFolder dir;
        dir.write("a.txt", old);
        stopFileChangesAfter(changes);
        const bool written = writeFileReplacing(dir.file("a.txt"), fresh);
        stopFileChangesAfter(-1);
        const std::string now = dir.read("a.txt");
        EXPECT_TRUE(written ? now == fresh : now == old || now == fresh) << "stopped after " << changes;
        EXPECT_TRUE(writeFileReplacing(dir.file("a.txt"), old)) << "stopped after " << changes;
        EXPECT_EQ(dir.read("a.txt"), old);
        if (written) break;
    }
}

}  // namespace
}  // namespace horalis
