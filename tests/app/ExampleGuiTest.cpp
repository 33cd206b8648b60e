// The desktop application on a real example process: open, run a few passes, stop, and keep a
// screenshot for review.
#include "QtAppFixture.h"

#include "DocumentFrame.h"
#include "ModulePane.h"
#include "modules/BuiltInModules.h"

#include <QDir>
#include <QFileInfo>
#include <QMdiSubWindow>

namespace {

// A base, so the QApplication exists before the window member is built.
struct CWithQApp {
    CWithQApp() { TestQApp(); }
};

class ExampleGui : public testing::Test, private CWithQApp {
protected:
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CMainWindow window{app};
};

TEST_F(ExampleGui, TheTHDExampleRunsAndShowsItsReadouts) {
    window.resize(1400, 800);
    window.show();
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process"));
    window.ProcessIdle(1); // the rebuild with one pane per step
    CDocumentFrame* frame = window.ActiveFrame();
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->Panes().size(), 3u);
    frame->parentWidget()->showMaximized();

    window.OnEditRun();
    window.ProcessIdle(3 * 4); // four passes
    CDspDoc& doc = frame->Document();
    EXPECT_EQ(doc.GetPassCount(), 5);
    window.OnEditStop();
    EXPECT_FALSE(doc.IsRunning());
    EXPECT_TRUE(sink.Records().empty()) << sink.Records()[0].message;

    const std::vector<std::string> readouts = doc.GetView(2)->GetReadouts();
    ASSERT_FALSE(readouts.empty());
    EXPECT_NE(std::find(readouts.begin(), readouts.end(), "THD:   2%"), readouts.end());

    QApplication::processEvents();
    const QString path = QString(AURIVO_BINARY_DIR) + "/screenshots/thd-example.png";
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(window.grab().save(path));
}

} // namespace
