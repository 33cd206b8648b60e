// The application's message box: labels, geometry by the core's rule, result codes, closing.
#include "MessageBoxDialog.h"
#include "QtAppFixture.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

namespace {

struct StyleCase {
    unsigned style;
    std::vector<QString> labels;
    std::vector<int> results;
};

class MessageBoxDialogStyles : public testing::TestWithParam<StyleCase> {
protected:
    MessageBoxDialogStyles() { TestQApp(); }
};

TEST_P(MessageBoxDialogStyles, ButtonsFollowTheStyleAndTheLayoutRule) {
    CAppSettings settings;
    settings.enableFadeWindows = 0;
    const CMessageBox box("Something happened", GetParam().style, std::string("amp.process"),
                          1700000000);
    CMessageBoxDialog dialog(box, settings, false, nullptr);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), "Aurivo Windows Application");
    const auto buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), qsizetype(GetParam().labels.size()));
    // Left to right as the core placed them.
    std::vector<QPushButton*> ordered(buttons.begin(), buttons.end());
    std::sort(ordered.begin(), ordered.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
    for (size_t i = 0; i < ordered.size(); ++i) {
        EXPECT_EQ(ordered[i]->text(), GetParam().labels[i]);
        EXPECT_EQ(ordered[i]->height(), 25);
    }
    for (size_t i = 0; i < GetParam().results.size(); ++i) {
        CMessageBoxDialog again(box, settings, false, nullptr);
        again.show();
        auto list = again.findChildren<QPushButton*>();
        std::vector<QPushButton*> sorted(list.begin(), list.end());
        std::sort(sorted.begin(), sorted.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        sorted[i]->click();
        EXPECT_EQ(again.Result(), GetParam().results[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxDialogStyles,
    testing::Values(StyleCase{MB_OK, {"&Ok"}, {IDOK}},
                    StyleCase{MB_YESNOCANCEL, {"&Yes", "&No", "&Cancel"}, {IDYES, IDNO, IDCANCEL}},
                    StyleCase{MB_YESNO, {"&Yes", "&No"}, {IDYES, IDNO}}));

TEST(MessageBoxDialog, ClosingAYesNoCancelBoxAnswersCancel) {
    TestQApp();
    CAppSettings settings;
    settings.enableFadeWindows = 0;
    const CMessageBox box("Save changes?", MB_YESNOCANCEL, std::nullopt, 0);
    CMessageBoxDialog dialog(box, settings, false, nullptr);
    dialog.show();
    dialog.close(); // the window's close button
    EXPECT_EQ(dialog.Result(), IDCANCEL);
    EXPECT_TRUE(dialog.findChild<QLabel*>() != nullptr);
}

TEST(MessageBoxDialog, FadesOutBeforeAnswering) {
    TestQApp();
    CAppSettings settings; // fading on, 500 ms
    const CMessageBox box("Done", MB_OK, std::nullopt, 0);
    CMessageBoxDialog dialog(box, settings, false, nullptr);
    dialog.show();
    QElapsedTimer clock;
    clock.start();
    dialog.Answer(IDOK);
    EXPECT_TRUE(dialog.isVisible()) << "still fading";
    while (dialog.isVisible() && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_GE(clock.elapsed(), 400);
    EXPECT_EQ(dialog.Result(), IDOK);
}

} // namespace
