// The application's message box: labels, geometry by the core's rule, result codes, closing.
#include "MessageBoxDialog.h"
#include "QtAppFixture.h"
#include "common/CaseName.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

namespace {

// Buttons left to right as the core placed them; each answers its code; the window's close
// button answers the declining one.
struct StyleCase {
    const char* name;
    unsigned style;
    std::vector<QString> labels;
    std::vector<int> results;
    int closed;
};

class MessageBoxDialogStyles : public testing::TestWithParam<StyleCase> {
protected:
    MessageBoxDialogStyles() { TestQApp(); }
    CAppSettings settings;
    std::vector<QPushButton*> Buttons(CMessageBoxDialog& dialog) {
        dialog.show();
        const auto found = dialog.findChildren<QPushButton*>();
        std::vector<QPushButton*> buttons(found.begin(), found.end());
        std::sort(buttons.begin(), buttons.end(), [](auto* a, auto* b) { return a->x() < b->x(); });
        return buttons;
    }
};

TEST_P(MessageBoxDialogStyles, ButtonsFollowTheStyleAndTheLayoutRule) {
    settings.enableFadeWindows = 0;
    const CMessageBox box("Something happened", GetParam().style, std::string("amp.process"), 0);
    for (size_t i = 0; i <= GetParam().results.size(); ++i) {
        CMessageBoxDialog dialog(box, settings, false, nullptr);
        const std::vector<QPushButton*> buttons = Buttons(dialog);
        EXPECT_EQ(dialog.windowTitle(), "Aurivo Windows Application");
        ASSERT_EQ(buttons.size(), GetParam().labels.size());
        for (size_t b = 0; b < buttons.size(); ++b) {
            EXPECT_EQ(buttons[b]->text(), GetParam().labels[b]);
            EXPECT_EQ(buttons[b]->height(), 25);
        }
        i < buttons.size() ? buttons[i]->click() : void(dialog.close());
        EXPECT_EQ(dialog.Result(), i < buttons.size() ? GetParam().results[i] : GetParam().closed);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Styles, MessageBoxDialogStyles,
    testing::Values(StyleCase{"Ok", MB_OK, {"&Ok"}, {IDOK}, IDOK},
                    StyleCase{"YesNoCancel",
                              MB_YESNOCANCEL,
                              {"&Yes", "&No", "&Cancel"},
                              {IDYES, IDNO, IDCANCEL},
                              IDCANCEL},
                    StyleCase{"YesNo", MB_YESNO, {"&Yes", "&No"}, {IDYES, IDNO}, IDNO}),
    CaseName());

} // namespace
