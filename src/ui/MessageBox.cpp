#include "ui/MessageBox.h"

#include "platform/Clock.h"

#include <algorithm>

namespace {

constexpr int kButtonGap = 5;
constexpr int kButtonHeight = 25;

} // namespace

CMessageBox::CMessageBox(const std::string& message, unsigned style,
                         const std::optional<std::string>& documentTitle, std::time_t now)
    : m_message(message), m_style(style), m_text(ComposeText(message, documentTitle, now)) {}

std::string CMessageBox::ComposeText(const std::string& message,
                                     const std::optional<std::string>& documentTitle,
                                     std::time_t now) {
    std::string text;
    if (documentTitle) text = "Process: " + *documentTitle;
    text += "\nTime: " + FormatLocalTime(now, "%d %b %y %H:%M:%S");
    text += "\nMessage: " + message;
    return text;
}

std::vector<CMessageBoxButton> CMessageBox::LayoutButtons(const CRect& textArea) const {
    const int32_t x0 = textArea.left;
    const int32_t w = textArea.right - textArea.left;
    const int32_t top = textArea.bottom + kButtonGap;
    const auto button = [&](const char* label, int result, int32_t left, int32_t width) {
        return CMessageBoxButton{label, result,
                                 CRect{left, top, left + std::max(width, 0), top + kButtonHeight}};
    };
    switch (m_style) {
    case MB_OK:
        return {button("&Ok", IDOK, x0, w)};
    case MB_YESNOCANCEL:
        return {button("&Yes", IDYES, x0, w / 3 - 2),
                button("&No", IDNO, x0 + w / 3 - 2, w / 3 - 2),
                button("&Cancel", IDCANCEL, static_cast<int32_t>(x0 + 2LL * w / 3 - 2), w / 3 - 2)};
    case MB_YESNO:
        return {button("&Yes", IDYES, x0, w / 2 - 2),
                button("&No", IDNO, x0 + w / 2 - 2, w / 2 - 2)};
    default:
        return {};
    }
}

int CMessageBox::CloseResult() const {
    switch (m_style) {
    case MB_OK:
        return IDOK;
    case MB_YESNO:
        return IDNO;
    default:
        return IDCANCEL;
    }
}
