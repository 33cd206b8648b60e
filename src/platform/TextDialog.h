#pragma once
// Asking the user for one line of text, for hosts whose dialogs can do it too.

#include <optional>
#include <string>

class ITextDialog {
public:
    virtual ~ITextDialog() = default;
    /** Asks for a text, showing `initial`; empty when cancelled. GUI thread. */
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                               const std::string& initial) = 0;
};
