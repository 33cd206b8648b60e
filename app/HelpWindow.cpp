#include "HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>

namespace {
constexpr const char* kHelpTitle = "Aurivo Help";
} // namespace

QStringList HelpGuideFolders(const QString& programDir) {
    const QDir program(programDir);
    return {program.filePath("../share/doc/aurivo"), program.filePath("../docs")};
}

QString FindHelpGuide(const QStringList& folders) {
    for (const QString& folder : folders) {
        const QFileInfo guide(QDir(folder).filePath("guide.html"));
        if (guide.isFile()) return guide.canonicalFilePath();
    }
    return {};
}

QWidget* ShowHelpWindow(const QString& guidePath) {
    QTextBrowser* browser = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->windowTitle() == kHelpTitle) browser = qobject_cast<QTextBrowser*>(w);
    if (!browser) {
        browser = new QTextBrowser;
        browser->setAttribute(Qt::WA_DeleteOnClose);
        browser->setWindowTitle(kHelpTitle);
        browser->setOpenExternalLinks(true);
        browser->resize(900, 760);
    }
    browser->setSource(QUrl::fromLocalFile(guidePath));
    browser->show();
    browser->raise();
    browser->activateWindow();
    return browser;
}
