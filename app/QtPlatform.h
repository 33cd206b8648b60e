#pragma once
// The desktop's clipboard, file dialogs and text prompt behind the core's interfaces.

#include "platform/Clipboard.h"
#include "platform/Colour.h"
#include "platform/FileDialog.h"
#include "platform/OpenFileDialog.h"
#include "platform/TextDialog.h"

#include <QColor>
#include <QRect>

class QWidget;
struct CRect;

class CQtClipboard final : public IClipboard {
public:
    bool SetText(const std::string& text) override;
    std::optional<std::string> GetText() const override;
};

class CQtFileDialog final : public IFileDialog, public IOpenFileDialog, public ITextDialog {
public:
    explicit CQtFileDialog(QWidget* parent) : m_parent(parent) {}
    std::optional<std::string> AskSavePath(const std::string& title, const std::string& initialPath,
                                           const std::string& defaultExtension,
                                           const std::string& filter) override {
        return Ask(title, initialPath, defaultExtension, filter, false);
    }
    std::optional<std::string> AskOpenPath(const std::string& title, const std::string& initialPath,
                                           const std::string& defaultExtension,
                                           const std::string& filter) override {
        return Ask(title, initialPath, defaultExtension, filter, true);
    }
    std::optional<std::string> AskText(const std::string& title, const std::string& prompt,
                                       const std::string& initial) override;

private:
    std::optional<std::string> Ask(const std::string& title, const std::string& initialPath,
                                   const std::string& defaultExtension, const std::string& filter,
                                   bool open);
    QWidget* m_parent;
};

/** "Label|pattern|Label|pattern|" as a Qt name filter list ("Label (pattern);;..."). */
QString QtNameFilters(const std::string& filter);

QColor ToQColor(const CColour& c);
CColour FromQColor(const QColor& c);
QRect ToQRect(const CRect& r);
CRect FromQRect(const QRect& r);
/** `r` made to fit the available area of the screen `w` is on (or of the primary screen):
 *  no larger, and moved inside it. */
QRect FitToScreen(const QRect& r, const QWidget& w);
