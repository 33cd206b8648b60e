#pragma once
// Choosing an existing file, for hosts whose file dialog can do it too.

#include <optional>
#include <string>

class IOpenFileDialog {
public:
    virtual ~IOpenFileDialog() = default;
    /** Asks for an existing file, starting from `initialPath`; empty when cancelled.
     *  `filter` uses the "Label|pattern|Label|pattern|" form. GUI thread. */
    virtual std::optional<std::string> AskOpenPath(const std::string& title,
                                                   const std::string& initialPath,
                                                   const std::string& defaultExtension,
                                                   const std::string& filter) = 0;
};
