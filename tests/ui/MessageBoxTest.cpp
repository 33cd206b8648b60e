#include "ui/MessageBox.h"

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

// Hand-worked: text area left 10, bottom 100, so every button spans y 105..130.
// w = 302: w/3 = 100, 2w/3 = 201 (not 2*(w/3) = 200), w/2 = 151.
TEST(MessageBoxLayout, ButtonsBelowTheTextAreaAndTheCloseAnswer) {
    const std::tuple<unsigned, std::vector<CMessageBoxButton>, int> cases[] = {
        {MB_OK, {{"&Ok", 1, {10, 105, 312, 130}}}, IDOK},
        {MB_YESNOCANCEL,
         {{"&Yes", 6, {10, 105, 108, 130}},
          {"&No", 7, {108, 105, 206, 130}},
          {"&Cancel", 2, {209, 105, 307, 130}}},
         IDCANCEL},
        {MB_YESNO, {{"&Yes", 6, {10, 105, 159, 130}}, {"&No", 7, {159, 105, 308, 130}}}, IDNO},
        {1, {}, IDCANCEL}};
    for (const auto& [style, expected, closeResult] : cases) {
        const CMessageBox box("m", style, std::nullopt, 0);
        EXPECT_EQ(box.LayoutButtons({10, 40, 312, 100}), expected) << style;
        EXPECT_EQ(box.CloseResult(), closeResult) << style;
    }
}

} // namespace
