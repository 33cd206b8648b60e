#pragma once
// File dialogs behind an interface, so saving flows run without a display.

#include <optional>
#include <string>

class IFileDialog {
public:
    virtual ~IFileDialog() = default;
    /** Asks for a path to save to, starting from `initialPath`; empty when cancelled.
     *  `filter` uses the "Label|pattern|Label|pattern|" form. GUI thread. */
    virtual std::optional<std::string> AskSavePath(const std::string& title,
                                                   const std::string& initialPath,
                                                   const std::string& defaultExtension,
                                                   const std::string& filter) = 0;
};
