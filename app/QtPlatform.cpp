#include "QtPlatform.h"

#include "base/Archive.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QInputDialog>
#include <QScreen>
#include <QWidget>
#include <QStringList>

bool CQtClipboard::SetText(const std::string& text) {
    QApplication::clipboard()->setText(QString::fromStdString(text));
    return true;
}

std::optional<std::string> CQtClipboard::GetText() const {
    const QString text = QApplication::clipboard()->text();
    if (text.isNull()) return std::nullopt;
    return text.toStdString();
}

QString QtNameFilters(const std::string& filter) {
    const QStringList parts = QString::fromStdString(filter).split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString label = parts[i];
        const QString pattern = QString(parts[i + 1]).replace(';', ' ');
        // Patterns written in capitals ("*.WAV") also match the lower-case names Linux files
        // carry, as they do on a system whose file names ignore case.
        const QString lower = pattern.toLower();
        const QString patterns = lower == pattern ? pattern : pattern + ' ' + lower;
        if (label.contains(pattern))
            label.replace(pattern, patterns);
        else
            label += " (" + patterns + ")";
        filters << label;
    }
    return filters.join(";;");
}

std::optional<std::string> CQtFileDialog::Ask(const std::string& title,
                                              const std::string& initialPath,
                                              const std::string& defaultExtension,
                                              const std::string& filter, bool open) {
    QFileDialog dialog(m_parent, QString::fromStdString(title), QString::fromStdString(initialPath),
                       QtNameFilters(filter));
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (open) dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(QString::fromStdString(defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return dialog.selectedFiles().first().toStdString();
}

std::optional<std::string> CQtFileDialog::AskText(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial) {
    bool ok = false;
    const QString text = QInputDialog::getText(m_parent, QString::fromStdString(title),
                                               QString::fromStdString(prompt), QLineEdit::Normal,
                                               QString::fromStdString(initial), &ok);
    if (!ok) return std::nullopt;
    return text.toStdString();
}

QColor ToQColor(const CColour& c) {
    return QColor(c.r, c.g, c.b);
}

CColour FromQColor(const QColor& c) {
    return CColour{uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue())};
}

QRect ToQRect(const CRect& r) {
    return QRect(QPoint(r.left, r.top), QPoint(r.right - 1, r.bottom - 1));
}

CRect FromQRect(const QRect& r) {
    return CRect{r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

QRect FitToScreen(const QRect& r, const QWidget& w) {
    const QScreen* screen = w.screen() ? w.screen() : QGuiApplication::primaryScreen();
    if (!screen) return r;
    const QRect available = screen->availableGeometry();
    QRect fitted(r.topLeft(), r.size().boundedTo(available.size()));
    fitted.moveLeft(
        std::clamp(fitted.left(), available.left(), available.right() - fitted.width() + 1));
    fitted.moveTop(
        std::clamp(fitted.top(), available.top(), available.bottom() - fitted.height() + 1));
    return fitted;
}
