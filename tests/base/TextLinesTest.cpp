// Line ends as other installations store them, and reading whatever an editor made of them.
#include "base/TextLines.h"

#include "common/CaseName.h"

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

struct LineEndCase {
    std::string name;
    const char* text;
};

class TextLineEnds : public testing::TestWithParam<LineEndCase> {};

TEST_P(TextLineEnds, EveryFormOfLineEndGivesTheSameLines) {
    EXPECT_EQ(AllLines(GetParam().text), (std::vector<std::string>{"one", "two 2", "", "last"}));
}

INSTANTIATE_TEST_SUITE_P(Forms, TextLineEnds,
                         testing::Values(LineEndCase{"LF", "one\ntwo 2\n\nlast\n"},
                                         LineEndCase{"CRLF", "one\r\ntwo 2\r\n\r\nlast\r\n"},
                                         LineEndCase{"CRCRLF",
                                                     "one\r\r\ntwo 2\r\r\n\r\r\nlast\r\r\n"},
                                         LineEndCase{"Mixed", "one\r\r\ntwo 2\n\r\nlast\r\n"},
                                         LineEndCase{"NoLastLineEnd", "one\ntwo 2\n\nlast"}),
                         CaseName());

TEST(TextLines, CarriageReturnsInsideALineOrBeforeTheEndOfTextStay) {
    EXPECT_EQ(AllLines("a\rb\r\r\r\nc\r"), (std::vector<std::string>{"a\rb\r", "c\r"}));
    EXPECT_TRUE(AllLines("").empty());
    EXPECT_EQ(AllLines("\n"), (std::vector<std::string>{""}));
}

} // namespace
