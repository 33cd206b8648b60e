#pragma once
// A one-line text dialog, for hosts that can show one.

#include <optional>
#include <string>

class ITextPrompt {
public:
    virtual ~ITextPrompt() = default;
    /** Asks for one line of text, starting from `initial`; empty when cancelled. GUI thread. */
    virtual std::optional<std::string> AskText(const std::string& title, const std::string& label,
                                               const std::string& initial) = 0;
};
