// Line ends as other installations store them, and reading whatever an editor made of them.
#include "base/TextLines.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

std::vector<std::string> AllLines(std::string_view text) {
    CTextLineReader reader(text);
    std::vector<std::string> lines;
    std::string_view line;
    while (reader.ReadLine(line))
        lines.emplace_back(line);
    EXPECT_TRUE(reader.AtEnd());
    return lines;
}

TEST(TextLines, StoredBytesPutACarriageReturnBeforeEveryLineFeed) {
    const std::vector<uint8_t> bytes = StoredTextBytes("a\nbc\r\n\nd");
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "a\r\nbc\r\r\n\r\nd");
    EXPECT_TRUE(StoredTextBytes("").empty());
}

TEST(TextLines, EveryFormOfLineEndGivesTheSameLines) {
    for (const char* text : {"one\ntwo 2\n\nlast\n", "one\r\ntwo 2\r\n\r\nlast\r\n",
                             "one\r\r\ntwo 2\r\r\n\r\r\nlast\r\r\n", "one\r\r\ntwo 2\n\r\nlast\r\n",
                             "one\ntwo 2\n\nlast"})
        EXPECT_EQ(AllLines(text), (std::vector<std::string>{"one", "two 2", "", "last"})) << text;
}

TEST(TextLines, CarriageReturnsInsideALineOrBeforeTheEndOfTextStay) {
    EXPECT_EQ(AllLines("a\rb\r\r\r\nc\r"), (std::vector<std::string>{"a\rb\r", "c\r"}));
    EXPECT_TRUE(AllLines("").empty());
    EXPECT_EQ(AllLines("\n"), (std::vector<std::string>{""}));
}

} // namespace
