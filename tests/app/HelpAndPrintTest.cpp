// Help › Help Topics finds the guide where an installation or the build tree puts it, shows it
// in one "Aurivo Help" window, and says so when it is missing; printing a step paints a title
// and the module's plot, not the pane.
#include "QtAppFixture.h"

#include "DocumentFrame.h"
#include "HelpWindow.h"
#include "ModulePane.h"
#include "PlotPrinting.h"
#include "common/CaseName.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTextBrowser>

#include <filesystem>

namespace {

struct CGuideLayout {
    std::string name;
    const char* program; // the program's folder under the root
    const char* guide;   // where the guide lies, or null
    bool found;
};

class HelpGuide : public testing::TestWithParam<CGuideLayout> {};

TEST_P(HelpGuide, IsFoundFromTheProgramsFolder) {
    CTempFolder root;
    const QString base = QString::fromStdString(root.Path());
    QDir().mkpath(base + "/" + GetParam().program);
    if (GetParam().guide) {
        const QString guide = base + "/" + GetParam().guide;
        QDir().mkpath(QFileInfo(guide).path());
        QFile file(guide);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    const QString found = FindHelpGuide(HelpGuideFolders(base + "/" + GetParam().program));
    EXPECT_EQ(found, GetParam().found ? QFileInfo(base + "/" + GetParam().guide).canonicalFilePath()
                                      : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, HelpGuide,
    testing::Values(CGuideLayout{"installed", "usr/bin", "usr/share/doc/aurivo/guide.html", true},
                    CGuideLayout{"build_tree", "build/app", "build/docs/guide.html", true},
                    CGuideLayout{"beside_the_program", "bin", "bin/guide.html", false},
                    CGuideLayout{"missing", "bin", nullptr, false}),
    CaseName());

int HelpWindows() {
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        count += w->windowTitle() == "Aurivo Help" && w->isVisible();
    return count;
}

// The build's own guide opens once, however often Help is asked for.
TEST(HelpWindow, ShowsTheBuiltGuideInOneWindow) {
    TestQApp();
    const QString guide = FindHelpGuide(HelpGuideFolders(AURIVO_BINARY_DIR "/app"));
    ASSERT_FALSE(guide.isEmpty()) << "build/docs/guide.html was not written";
    QWidget* first = ShowHelpWindow(guide);
    EXPECT_EQ(ShowHelpWindow(guide), first);
    EXPECT_EQ(HelpWindows(), 1);
    auto* browser = qobject_cast<QTextBrowser*>(first);
    ASSERT_TRUE(browser);
    EXPECT_TRUE(browser->toPlainText().contains("first measurement in five minutes"));
    first->close();
    QApplication::processEvents();
}

class HelpAndPrint : public GuiTest {};

// The test program has no guide near it, nor an "Aurivo.chm" on its search path.
TEST_F(HelpAndPrint, HelpWithoutTheGuideShowsTheMessage) {
    window->Action("helpTopics")->trigger();
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_EQ(sink.Records()[0].message, "Could Not Find Aurivo.chm Help File");
    EXPECT_EQ(HelpWindows(), 0);
}

// A printed page: the title above the plot, the plot drawn by the module in its printing style
// on white, and nothing of the control bar.
TEST(PrintPage, HasTheTitleAndTheModulesPlot) {
    TestQApp();
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CMainWindow window{app};
    window.resize(1200, 800);
    window.show();
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process"));
    window.ProcessIdle(1);
    CDocumentFrame* frame = window.ActiveFrame();
    ASSERT_TRUE(frame);
    window.OnEditRun();
    window.ProcessIdle(3 * 2);
    window.OnEditStop();
    CDspView& view = *frame->Document().GetView(2);
    const QString title = PrintTitle(view, QDateTime(QDate(2026, 12, 7), QTime(14, 5)));
    EXPECT_EQ(title, "thd-1khz.process - Step: 3 Spectrum Analyzer - 07 Dec 2026 14:05");

    // A page at 300 dpi, a size the modules' printing style is made for.
    QImage page(3000, 2200, QImage::Format_RGB32);
    page.setDotsPerMeterX(11811);
    page.setDotsPerMeterY(11811);
    page.fill(Qt::gray);
    {
        QPainter painter(&page);
        PaintPrintPage(painter, page.rect(), view, title, QSize(600, 400));
    }
    page.save(AURIVO_BINARY_DIR "/screenshots/print-page.png");
    // Below the title, the plot on white in the screen's 3:2 across the page's width.
    const QRgb white = QColor(Qt::white).rgb(), grey = QColor(Qt::gray).rgb();
    int top = 0;
    while (top < page.height() && page.pixel(2, top) != white)
        ++top;
    ASSERT_GT(top, 10);
    ASSERT_LT(top, 200);
    int dark = 0;
    for (int y = 0; y < top; ++y)
        for (int x = 0; x < page.width(); ++x)
            dark += qGray(page.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50) << "no title";
    EXPECT_EQ(page.pixel(page.width() - 1, top + 1999), white);
    EXPECT_EQ(page.pixel(2, top + 2000), grey);
}

} // namespace
