// Whole text files: stored line ends on writing, the bytes unchanged on reading.
#include "formats/TextFile.h"

#include "common/TextFileUtil.h"
#include "common/TempFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFile, FilesAreWrittenWithStoredLineEndsAndReadWhole) {
    CTempFolder folder;
    std::string error;
    ASSERT_TRUE(WriteTextFile(folder.File("t.txt"), "x 1\ny\r\n", error)) << error;
    EXPECT_EQ(GetFile(folder.File("t.txt")), "x 1\r\ny\r\r\n");
    std::string text;
    ASSERT_TRUE(ReadTextFile(folder.File("t.txt"), text, error)) << error;
    EXPECT_EQ(text, "x 1\r\ny\r\r\n");

    EXPECT_FALSE(ReadTextFile(folder.File("missing.txt"), text, error));
    EXPECT_NE(error.find("missing.txt"), std::string::npos) << error;
    EXPECT_FALSE(WriteTextFile(folder.File("no/such/folder.txt"), "x", error));
    EXPECT_FALSE(error.empty());
}

} // namespace
