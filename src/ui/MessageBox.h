#pragma once
// The application's message box as data: the composed text, the buttons of its style and where
// they go, and the answer it gives. The GUI draws it; tests and the command line read it.

#include "base/Geometry.h"

#include <ctime>
#include <optional>
#include <string>
#include <vector>

// Result codes, as the operating system's message boxes number them.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Button styles.
inline constexpr unsigned MB_OK = 0;
inline constexpr unsigned MB_YESNOCANCEL = 3;
inline constexpr unsigned MB_YESNO = 4;

struct CMessageBoxButton {
    std::string label; // with '&' before the mnemonic letter
    int result = 0;
    CRect rect;
    bool operator==(const CMessageBoxButton&) const = default;
};

class CMessageBox {
public:
    /** `documentTitle` is the title of the current process document, absent when there is
     *  none; `now` is the time shown in the box. */
    CMessageBox(const std::string& message, unsigned style,
                const std::optional<std::string>& documentTitle, std::time_t now);

    static constexpr const char* kCaption = "Aurivo Windows Application";

    /** "Process: <title>" (only with a current document), then "\nTime: " and the local time as
     *  "%d %b %y %H:%M:%S", then "\nMessage: " and the message. */
    static std::string ComposeText(const std::string& message,
                                   const std::optional<std::string>& documentTitle,
                                   std::time_t now);

    const std::string& GetText() const { return m_text; }
    const std::string& GetMessage() const { return m_message; }
    unsigned GetStyle() const { return m_style; }

    /** The buttons of the style, left to right, placed below the text area: top at its bottom
     *  + 5, 25 high. Style 0: one button the width of the area; style 3: three of a third each
     *  less 2; style 4: two of a half each less 2 (integer divisions throughout). Any other
     *  style has no button. A text area too narrow for the rule gives zero-width buttons. */
    std::vector<CMessageBoxButton> LayoutButtons(const CRect& textArea) const;

    /** The result of closing the box with the window's close button: OK for style 0 (it only
     *  acknowledges), No for style 4 (a yes/no question closed unanswered is not a yes, and
     *  callers of a two-way question expect one of its two answers), Cancel for style 3 and
     *  for any other style. */
    int CloseResult() const;

private:
    std::string m_message;
    unsigned m_style;
    std::string m_text;
};
