// The desktop application on a real example process: open, run a few passes, stop, and keep a
// screenshot for review.
#include "QtAppFixture.h"

#include "CalibrationDialog.h"
#include "DocumentFrame.h"
#include "ModulePane.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"
#include "soundio/SoundIOView.h"

#include <filesystem>

#include <QComboBox>
#include <QPushButton>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>

namespace {

namespace fs = std::filesystem;

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

class ExampleGuiFrame : public ExampleGui {
protected:
    CDocumentFrame* OpenTHD() {
        window.resize(1400, 800);
        window.show();
        if (!window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process")) return nullptr;
        window.ProcessIdle(1);
        return window.ActiveFrame();
    }
};

// Files named one after another (as on the command line) all open, each in its own frame; a
// file that cannot be opened is reported under no other file's title.
TEST_F(ExampleGuiFrame, EveryFileNamedOpens) {
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process"));
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/imd.process"));
    EXPECT_FALSE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/missing.process"));
    window.ProcessIdle(1);
    ASSERT_EQ(app.GetDocuments().size(), 2u);
    EXPECT_EQ(window.MdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(app.GetDocuments()[0]->GetViewCount(), 3u);
    EXPECT_EQ(app.GetDocuments()[1]->GetViewCount(), 4u);
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_EQ(sink.Records()[0].text.find("Process:"), std::string::npos) << sink.Records()[0].text;
}

// The analyser's own right-button menu is shown alone: every entry once, Pause offered only
// while it can be used.
TEST_F(ExampleGuiFrame, ContextMenuListsEachEntryOnce) {
    CDocumentFrame* frame = OpenTHD();
    ASSERT_TRUE(frame);
    QMenu menu;
    window.FillContextMenu(menu, frame->Panes()[2]);
    QStringList texts;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts.size(), 15) << texts.join("|").toStdString();
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join("|").toStdString();
    for (QAction* a : menu.actions())
        if (a->text() == "P&ause") {
            EXPECT_FALSE(a->isEnabled()) << "nothing runs";
        }
}

// The FFT options show the document's values: its block size and its rate selected.
TEST_F(ExampleGuiFrame, FFTOptionsShowTheDocumentsValues) {
    ASSERT_TRUE(OpenTHD());
    WithNextModal(
        [](QWidget* dialog) {
            const auto combos = dialog->findChildren<QComboBox*>();
            ASSERT_EQ(combos.size(), 3);
            EXPECT_EQ(combos[0]->currentText(), "1024");
            EXPECT_EQ(combos[1]->currentIndex(), combos[1]->findText("32000"));
            EXPECT_EQ(combos[2]->currentText(), "0");
            static_cast<QDialog*>(dialog)->accept();
        },
        [&] { window.Action("optionsFFT")->trigger(); });
    EXPECT_EQ(window.ActiveDocument()->GetSize(), 1024);
    EXPECT_EQ(window.ActiveDocument()->GetSampleRate(), 32000.0);
    EXPECT_FALSE(window.ActiveDocument()->IsModified()) << "OK on unchanged values";
}

// Running, or leaving every edit of the generator as it was, changes nothing to save.
TEST_F(ExampleGuiFrame, RunningOrTabbingThroughEditsLeavesTheDocumentUnmodified) {
    CDocumentFrame* frame = OpenTHD();
    ASSERT_TRUE(frame);
    CDspDoc& doc = frame->Document();
    ASSERT_FALSE(doc.IsModified());
    for (QLineEdit* edit : frame->Panes()[0]->findChildren<QLineEdit*>())
        emit edit->editingFinished();
    EXPECT_FALSE(doc.IsModified());
    window.OnEditRun();
    window.ProcessIdle(3 * 2);
    window.OnEditStop();
    QApplication::processEvents();
    EXPECT_FALSE(doc.IsModified());
}

// The SoundIO pane's "Calibrate" opens the calibration dialog over the loopback example; its
// latency procedure measures the virtual card, and OK hands the record to the step.
TEST_F(ExampleGui, CalibrateOpensTheDialogWhoseLatencyRunMeasuresTheCard) {
    CTempFolder data;
    fs::create_directories(data.File("aurivo"));
    fs::copy_file(AURIVO_SOURCE_DIR "/data/calibration.process",
                  data.File("aurivo/calibration.process"));
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    window.resize(1400, 800);
    window.show();
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/loopback-latency.process"));
    window.ProcessIdle(1);
    CDspDoc& doc = window.ActiveFrame()->Document();
    auto& soundIO = dynamic_cast<CSoundIOView&>(*doc.GetView(1));
    EXPECT_FALSE(doc.IsModified());

    bool shown = false;
    WithNextModal(
        [&](QWidget* modal) {
            auto* dialog = qobject_cast<CCalibrationDialog*>(modal);
            ASSERT_TRUE(dialog);
            shown = true;
            EXPECT_EQ(dialog->windowTitle(), "SoundIO Module Calibration");
            dialog->CalibrationType()->setCurrentText("Latency");
            dialog->Button("Run")->click();
            EXPECT_EQ(dialog->Status(), "Latency Calibration Complete");
            QApplication::processEvents();
            const QString path = QString(AURIVO_BINARY_DIR) + "/screenshots/calibration.png";
            QDir().mkpath(QFileInfo(path).path());
            EXPECT_TRUE(dialog->grab().save(path));
            sink.QueueAnswer(IDNO); // no calibration file
            sink.QueueAnswer(IDNO); // the document is saved later
            dialog->Button("OK")->click();
        },
        [&] {
            std::string message;
            soundIO.SetControl("calibrate", "", message);
        });
    unsetenv("XDG_DATA_HOME");
    ASSERT_TRUE(shown);
    EXPECT_EQ(soundIO.GetCalibration()->Latency[0].LatencyParams, "0.00633333 Sec.");
    EXPECT_EQ(soundIO.GetCalibration()->GetOwner(), &soundIO);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(app.GetDocuments().size(), 1u);
}

} // namespace
