#include "ui/MessageBox.h"
#include "common/CaseName.h"

#include "UtcTest.h"

#include <optional>

namespace {

class MessageBoxText : public CUtcTest {};

// The first line names the process (empty without a document); the time is local.
TEST_F(MessageBoxText, NamesTheProcessTheTimeAndTheMessage) {
    EXPECT_EQ(CMessageBox::ComposeText("Too many modules in process", "Process1", kTestTime),
              "Process: Process1\nTime: 14 Nov 23 22:13:20\nMessage: Too many modules in process");
    EXPECT_EQ(CMessageBox::ComposeText("Could Not Find Aurivo.chm Help File", std::nullopt,
                                       kTestTime + 61),
              "\nTime: 14 Nov 23 22:14:21\nMessage: Could Not Find Aurivo.chm Help File");
    const CMessageBox box("Error Detected In\r\nStep: 2 SoundIO\r\nNo input device", MB_OK,
                          std::string(""), kTestTime);
    EXPECT_EQ(box.GetText(), "Process: \nTime: 14 Nov 23 22:13:20\n"
                             "Message: Error Detected In\r\nStep: 2 SoundIO\r\nNo input device");
    EXPECT_STREQ(CMessageBox::kCaption, "Aurivo Windows Application");
}

struct CLayoutCase {
    const char* name;
    unsigned style;
    CRect area;
    std::vector<CMessageBoxButton> expected;
    int closeResult;
};

class MessageBoxLayout : public testing::TestWithParam<CLayoutCase> {};

TEST_P(MessageBoxLayout, ButtonsBelowTheTextAreaAndTheCloseAnswer) {
    const CMessageBox box("m", GetParam().style, std::nullopt, 0);
    EXPECT_EQ(box.LayoutButtons(GetParam().area), GetParam().expected);
    EXPECT_EQ(box.CloseResult(), GetParam().closeResult);
}

// Hand-worked: text area left 10, bottom 100, so every button spans y 105..130.
// w = 302: w/3 = 100, 2w/3 = 201 (not 2*(w/3) = 200), w/2 = 151.
INSTANTIATE_TEST_SUITE_P(
    Cases, MessageBoxLayout,
    testing::Values(
        CLayoutCase{"Ok", MB_OK, {10, 40, 312, 100}, {{"&Ok", 1, {10, 105, 312, 130}}}, IDOK},
        CLayoutCase{"YesNoCancel302",
                    MB_YESNOCANCEL,
                    {10, 40, 312, 100},
                    {{"&Yes", 6, {10, 105, 108, 130}},
                     {"&No", 7, {108, 105, 206, 130}},
                     {"&Cancel", 2, {209, 105, 307, 130}}},
                    IDCANCEL},
        CLayoutCase{"YesNo302",
                    MB_YESNO,
                    {10, 40, 312, 100},
                    {{"&Yes", 6, {10, 105, 159, 130}}, {"&No", 7, {159, 105, 308, 130}}},
                    IDNO},
        CLayoutCase{"OtherStyle", 1, {10, 40, 312, 100}, {}, IDCANCEL}),
    CaseName());

} // namespace
