#include "ui/MessageBox.h"

#include "platform/Clock.h"

#include "UtcTest.h"

#include <optional>

namespace {

class MessageBoxText : public CUtcTest {};

TEST_F(MessageBoxText, WithCurrentDocument) {
    EXPECT_EQ(CMessageBox::ComposeText("Too many modules in process", "Process1", kTestTime),
              "Process: Process1\nTime: 14 Nov 23 22:13:20\nMessage: Too many modules in process");
}

TEST_F(MessageBoxText, WithoutDocumentFirstLineIsEmpty) {
    EXPECT_EQ(
        CMessageBox::ComposeText("Could Not Find Aurivo.chm Help File", std::nullopt, kTestTime),
        "\nTime: 14 Nov 23 22:13:20\nMessage: Could Not Find Aurivo.chm Help File");
}

TEST_F(MessageBoxText, EmptyMessageAndEmptyTitle) {
    EXPECT_EQ(CMessageBox::ComposeText("", std::string(), kTestTime),
              "Process: \nTime: 14 Nov 23 22:13:20\nMessage: ");
}

TEST_F(MessageBoxText, ModuleErrorDuringRun) {
    const std::string moduleError = "Error Detected In\r\nStep: 2 SoundIO\r\nNo input device";
    CFixedClock clock(kTestTime);
    clock.Advance(61);
    const CMessageBox box(moduleError, MB_OK, std::string("measure.process"), clock.Now());
    EXPECT_EQ(box.GetText(), "Process: measure.process\nTime: 14 Nov 23 22:14:21\n"
                             "Message: Error Detected In\r\nStep: 2 SoundIO\r\nNo input device");
    EXPECT_EQ(box.GetMessage(), moduleError);
    EXPECT_EQ(box.GetStyle(), MB_OK);
    EXPECT_STREQ(CMessageBox::kCaption, "Aurivo Windows Application");
}

struct CLayoutCase {
    const char* name;
    unsigned style;
    CRect area;
    std::vector<CMessageBoxButton> expected;
};

class MessageBoxLayout : public testing::TestWithParam<CLayoutCase> {};

TEST_P(MessageBoxLayout, ButtonsBelowTheTextArea) {
    const CMessageBox box("m", GetParam().style, std::nullopt, 0);
    EXPECT_EQ(box.LayoutButtons(GetParam().area), GetParam().expected);
}

// Hand-worked: text area left 10, bottom 100, so every button spans y 105..130.
// w = 302: w/3 = 100, 2w/3 = 201 (not 2*(w/3) = 200), w/2 = 151.
// w = 301: w/3 = 100, 2w/3 = 200, w/2 = 150.
INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxLayout,
    testing::Values(
        CLayoutCase{"Ok", 0, {10, 40, 312, 100}, {{"&Ok", 1, {10, 105, 312, 130}}}},
        CLayoutCase{"YesNoCancel302",
                    3,
                    {10, 40, 312, 100},
                    {{"&Yes", 6, {10, 105, 108, 130}},
                     {"&No", 7, {108, 105, 206, 130}},
                     {"&Cancel", 2, {209, 105, 307, 130}}}},
        CLayoutCase{"YesNoCancel301",
                    3,
                    {10, 40, 311, 100},
                    {{"&Yes", 6, {10, 105, 108, 130}},
                     {"&No", 7, {108, 105, 206, 130}},
                     {"&Cancel", 2, {208, 105, 306, 130}}}},
        CLayoutCase{"YesNo302",
                    4,
                    {10, 40, 312, 100},
                    {{"&Yes", 6, {10, 105, 159, 130}}, {"&No", 7, {159, 105, 308, 130}}}},
        CLayoutCase{"YesNo301",
                    4,
                    {10, 40, 311, 100},
                    {{"&Yes", 6, {10, 105, 158, 130}}, {"&No", 7, {158, 105, 306, 130}}}},
        // Too narrow for the rule: positions as computed, widths never negative.
        CLayoutCase{"YesNoCancelNarrow",
                    3,
                    {0, 0, 4, 20},
                    {{"&Yes", 6, {0, 25, 0, 50}},
                     {"&No", 7, {-1, 25, -1, 50}},
                     {"&Cancel", 2, {0, 25, 0, 50}}}},
        CLayoutCase{"Style1", 1, {10, 40, 312, 100}, {}},
        CLayoutCase{"Style2", 2, {10, 40, 312, 100}, {}},
        CLayoutCase{"Style5", 5, {10, 40, 312, 100}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class MessageBoxClose : public testing::TestWithParam<std::pair<unsigned, int>> {};

TEST_P(MessageBoxClose, CloseButtonGivesTheDecliningAnswer) {
    const CMessageBox box("m", GetParam().first, std::nullopt, 0);
    EXPECT_EQ(box.CloseResult(), GetParam().second);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageBoxClose,
                         testing::Values(std::pair<unsigned, int>{0, 1},
                                         std::pair<unsigned, int>{3, 2},
                                         std::pair<unsigned, int>{4, 7},
                                         std::pair<unsigned, int>{1, 2}));

} // namespace
