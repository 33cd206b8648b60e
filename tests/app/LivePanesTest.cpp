// Panes follow a run: every pass and every stop repaints a pane's bar, plot and status line, so
// readouts, offered choices and previews show what the module holds now.
#include "QtAppFixture.h"

#include "ControlBarWidget.h"
#include "DocumentFrame.h"
#include "ModulePane.h"
#include "PlotWidget.h"
#include "common/TempFolder.h"
#include "process/ProcessSession.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QRegularExpression>
#include <QTest>

namespace {

// Counts the paints a widget receives.
class CPaintCounter final : public QObject {
public:
    explicit CPaintCounter(QWidget* w) { w->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
};

// Everything a bar shows as text: its labels and each list's items.
QStringList BarTexts(const CModulePane& pane) {
    QStringList texts;
    const auto* bar = pane.findChild<CControlBarWidget*>();
    for (const QLabel* label : bar->findChildren<QLabel*>())
        texts << label->text();
    for (const QComboBox* combo : bar->findChildren<QComboBox*>())
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i);
    return texts;
}

struct CLiveCase {
    const char* name;
    QString process; // an example's name, or a path
    size_t step;
    QRegularExpression shown; // a text of the step's bar once the run has made it
};

class LivePanes : public testing::Test, protected CBuiltInApp {
protected:
    void SetUp() override {
        window.resize(1400, 800);
        window.show();
    }
    CDocumentFrame* Open(const QString& process) {
        const QString path = process.startsWith('/')
                                 ? process
                                 : QString(AURIVO_SOURCE_DIR "/examples/%1.process").arg(process);
        if (!window.OpenFile(path)) return nullptr;
        window.ProcessIdle(1);
        QApplication::processEvents();
        return window.ActiveFrame();
    }
};

// A WAV File Save step after a generator, writing into `folder`.
QString WavSaveProcess(const CTempFolder& folder) {
    CFixedClock clock{1700000000};
    CProcessSession session(GetBuiltInModules(), clock);
    std::string error;
    EXPECT_TRUE(session.Create({"Signal Generator", "WAV File Save"}, {}, error)) << error;
    EXPECT_TRUE(session.SetControl(2, "file", folder.File("out.wav"), error)) << error;
    const std::string path = folder.File("save.process");
    EXPECT_TRUE(session.Save(path, error)) << error;
    return QString::fromStdString(path);
}

// After a run and a stop, each bar shows what its module made of the run (a level with the
// frame it peaked at, a file's frame count, the combining modes a log of two passes allows),
// and every readout of every bar is the module's current one.
TEST_F(LivePanes, BarsShowWhatTheRunMade) {
    CTempFolder folder;
    const CLiveCase cases[] = {
        // The level in % of full scale and the frame it peaked at.
        {"soundio level", "loopback-thd", 1, QRegularExpression("^39 \\d+$")},
        {"latency", "loopback-latency", 1, QRegularExpression("^30 305$")},
        {"logger merge", "logger-merge", 2, QRegularExpression("^Merge$")},
        {"logger sum", "logger-merge", 2, QRegularExpression("^Sum$")},
        {"wav frames", WavSaveProcess(folder), 1, QRegularExpression("^[1-9][\\d,]*$")},
    };
    for (const CLiveCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDocumentFrame* frame = Open(c.process);
        ASSERT_TRUE(frame);
        CModulePane& pane = *frame->Panes().at(c.step);
        const QStringList before = BarTexts(pane);
        window.OnEditRun();
        window.ProcessIdle(int(frame->Panes().size()) * 4);
        window.OnEditStop();
        QApplication::processEvents();
        const QStringList after = BarTexts(pane);
        EXPECT_NE(after, before);
        EXPECT_NE(after.filter(c.shown), before.filter(c.shown)) << after.join(" | ").toStdString();
        for (CModulePane* p : frame->Panes()) {
            const CControlModel& model = p->View().GetControls();
            const QStringList texts = BarTexts(*p);
            for (size_t i = 0; i < model.Count(); ++i) {
                if (model.GetControl(i).kind != EControlKind::ReadOnlyText) continue;
                EXPECT_TRUE(texts.contains(QString::fromStdString(model.GetState(i).text)))
                    << model.GetState(i).text;
            }
        }
        app.OnFileClose(&frame->Document());
    }
}

// Every pane repaints while the run goes on, also one whose module never asks for it (the
// generator's preview), and once more after Stop.
TEST_F(LivePanes, EveryPlotRepaintsEachPassAndAfterStop) {
    CDocumentFrame* frame = Open("thd-1khz");
    ASSERT_TRUE(frame);
    std::vector<std::unique_ptr<CPaintCounter>> counters;
    for (CModulePane* pane : frame->Panes())
        counters.push_back(std::make_unique<CPaintCounter>(pane->Plot()));
    window.OnEditRun();
    QApplication::processEvents();
    for (int pass = 0; pass < 3; ++pass) {
        for (auto& counter : counters)
            counter->paints = 0;
        QTest::qWait(40); // passes closer together are shown together
        window.ProcessIdle(int(counters.size()));
        QApplication::processEvents();
        for (size_t i = 0; i < counters.size(); ++i)
            EXPECT_GT(counters[i]->paints, 0) << "pane " << i << " pass " << pass;
    }
    for (auto& counter : counters)
        counter->paints = 0;
    window.OnEditStop();
    QApplication::processEvents();
    for (size_t i = 0; i < counters.size(); ++i)
        EXPECT_GT(counters[i]->paints, 0) << "pane " << i << " after stop";
}

// A generator value changed while the process runs either leaves it running or says on the
// status bar that the run stopped.
TEST_F(LivePanes, AChangeThatStopsTheRunSaysSo) {
    CDocumentFrame* frame = Open("thd-1khz");
    ASSERT_TRUE(frame);
    window.OnEditRun();
    window.ProcessIdle(3);
    ASSERT_TRUE(frame->Document().IsRunning());
    auto* edit = frame->Panes()[0]->findChild<QLineEdit*>();
    ASSERT_TRUE(edit);
    edit->setText("2000");
    emit edit->editingFinished();
    const QString shown = window.statusBar()->currentMessage();
    EXPECT_TRUE(frame->Document().IsRunning() || shown.contains("stopped the run"))
        << shown.toStdString();
}

} // namespace
