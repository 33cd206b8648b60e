#pragma once
// The system clipboard as plain text, behind an interface: the GUI supplies the desktop's,
// tests and the command line use the in-memory one.

#include <optional>
#include <string>

class IClipboard {
public:
    virtual ~IClipboard() = default;
    /** Replaces the clipboard's contents with the text; false when the clipboard cannot be
     *  opened. GUI thread. */
    virtual bool SetText(const std::string& text) = 0;
    /** The clipboard's text; empty when it holds no text or cannot be opened. GUI thread. */
    virtual std::optional<std::string> GetText() const = 0;
};

/** A clipboard that lives in memory, for tests and the command line. */
class CMemoryClipboard final : public IClipboard {
public:
    bool SetText(const std::string& text) override {
        m_text = text;
        return true;
    }
    std::optional<std::string> GetText() const override { return m_text; }

private:
    std::optional<std::string> m_text;
};
