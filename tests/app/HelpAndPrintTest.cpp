// Help › Help Topics finds the guide from the program's folder and shows it in one "Aurivo
// Help" window, or says it is missing; a printed step is a title over the module's plot.
#include "QtAppFixture.h"

#include "DocumentFrame.h"
#include "HelpWindow.h"
#include "PlotPrinting.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextBrowser>

namespace {

class HelpAndPrint : public GuiTest {};

// The build's guide is found beside build/app, an installed one beside PREFIX/bin; the test
// program has neither near it, nor an "Aurivo.chm" on its search path.
TEST_F(HelpAndPrint, HelpShowsTheGuideOnceOrSaysItIsMissing) {
    CTempFolder root;
    const QString installed = QString::fromStdString(root.File("share/doc/aurivo/guide.html"));
    QDir().mkpath(QFileInfo(installed).path());
    QDir().mkpath(QString::fromStdString(root.File("bin")));
    QFile(installed).open(QIODevice::WriteOnly);
    EXPECT_EQ(
        FindHelpGuide(HelpGuideFolders(QString::fromStdString(root.File("bin")))).toStdString(),
        QFileInfo(installed).canonicalFilePath().toStdString());

    const QString guide = FindHelpGuide(HelpGuideFolders(AURIVO_BINARY_DIR "/app"));
    ASSERT_FALSE(guide.isEmpty()) << "build/docs/guide.html was not written";
    QWidget* help = ShowHelpWindow(guide);
    EXPECT_EQ(ShowHelpWindow(guide), help);
    EXPECT_EQ(help->windowTitle(), "Aurivo Help");
    EXPECT_TRUE(qobject_cast<QTextBrowser*>(help)->toPlainText().contains("five minutes"));
    help->close();

    window->Action("helpTopics")->trigger();
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_EQ(sink.Records()[0].message, "Could Not Find Aurivo.chm Help File");
}

// On a page of 300 dpi: the title, then the plot on white in the screen's 3:2 across the page.
TEST(PrintPage, IsTheTitleOverTheModulesPlot) {
    TestQApp();
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CMainWindow window{app};
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process"));
    window.ProcessIdle(1);
    CDspView& view = *window.ActiveFrame()->Document().GetView(2);
    const QString title = PrintTitle(view, QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    EXPECT_EQ(title, "thd-1khz.process - Step: 3 Spectrum Analyzer - 07 Dec 2026 14:05");

    QImage page(3000, 2200, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::gray);
    {
        QPainter painter(&page);
        PaintPrintPage(painter, page.rect(), view, title, QSize(600, 400));
    }
    page.save(AURIVO_BINARY_DIR "/screenshots/print-page.png");
    const QRgb white = QColor(Qt::white).rgb();
    int top = 0, dark = 0;
    while (top < page.height() && page.pixel(2, top) != white)
        ++top;
    for (int y = 0; y < top; ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50) << "no title";
    EXPECT_TRUE(top > 10 && top < 200) << top;
    EXPECT_EQ(page.pixel(page.width() - 1, top + 1999), white);
    EXPECT_EQ(page.pixel(2, top + 2000), QColor(Qt::gray).rgb());
}

} // namespace
