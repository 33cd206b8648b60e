#pragma once
// The file dialog of a host without a display: a file command (export, open, save a log) asks
// for its path, and the caller has given it beforehand, as in `aurivo-cli set FILE
// 3:saveplt=x.csv`.

#include "platform/FileDialog.h"
#include "platform/OpenFileDialog.h"

#include <optional>
#include <string>
#include <utility>

class CGivenPathDialog final : public IFileDialog, public IOpenFileDialog {
public:
    /** `path` answers every question; an empty one cancels them. */
    explicit CGivenPathDialog(std::string path) : m_path(std::move(path)) {}

    std::optional<std::string> AskSavePath(const std::string&, const std::string&,
                                           const std::string&, const std::string&) override {
        return Answer();
    }
    std::optional<std::string> AskOpenPath(const std::string&, const std::string&,
                                           const std::string&, const std::string&) override {
        return Answer();
    }
    /** True once a command asked for a path. */
    bool WasAsked() const { return m_asked; }

private:
    std::optional<std::string> Answer() {
        m_asked = true;
        return m_path.empty() ? std::nullopt : std::optional<std::string>(m_path);
    }

    std::string m_path;
    bool m_asked = false;
};
