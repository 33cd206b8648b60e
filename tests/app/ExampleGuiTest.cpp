// The desktop application on a real example process: open, run a few passes, stop, and keep a
// screenshot for review.
#include "QtAppFixture.h"

#include "CalibrationDialog.h"
#include "DocumentFrame.h"
#include "ModulePane.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"
#include "modules/arbfilter/ArbFilterView.h"
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
#include <QPlainTextEdit>

namespace {

namespace fs = std::filesystem;

class ExampleGui : public testing::Test, private CWithQApp {
protected:
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CMainWindow window{app};
    CDocumentFrame* frame = nullptr;

    void SetUp() override {
        window.resize(1400, 800);
        window.show();
        ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/thd-1khz.process"));
        window.ProcessIdle(1); // the rebuild with one pane per step
        frame = window.ActiveFrame();
        ASSERT_TRUE(frame);
        ASSERT_EQ(frame->Panes().size(), 3u);
    }
};

// Four passes show the distortion the example was made with; running changes nothing to save,
// nor does leaving every edit of the generator as it was. The analyser's own right-button menu
// lists each entry once.
TEST_F(ExampleGui, TheTHDExampleRunsAndShowsItsReadouts) {
    frame->parentWidget()->showMaximized();
    CDspDoc& doc = frame->Document();
    for (QLineEdit* edit : frame->Panes()[0]->findChildren<QLineEdit*>())
        emit edit->editingFinished();
    window.OnEditRun();
    window.ProcessIdle(3 * 4);
    EXPECT_EQ(doc.GetPassCount(), 5);
    window.OnEditStop();
    EXPECT_TRUE(sink.Records().empty()) << sink.Records()[0].message;
    EXPECT_FALSE(doc.IsModified());
    const std::vector<std::string> readouts = doc.GetView(2)->GetReadouts();
    EXPECT_NE(std::find(readouts.begin(), readouts.end(), "THD:   2%"), readouts.end());

    QMenu menu;
    window.FillContextMenu(menu, frame->Panes()[2]);
    QStringList texts;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) texts << a->text();
    EXPECT_EQ(texts.size(), 15) << texts.join("|").toStdString();
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join("|").toStdString();

    QApplication::processEvents();
    const QString path = QString(AURIVO_BINARY_DIR) + "/screenshots/thd-example.png";
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(window.grab().save(path));
}

// The SoundIO pane's "Calibrate" opens the calibration dialog over the loopback example; its
// latency procedure measures the virtual card, and OK hands the record to the step.
TEST_F(ExampleGui, CalibrateOpensTheDialogWhoseLatencyRunMeasuresTheCard) {
    CTempFolder data;
    fs::create_directories(data.File("aurivo"));
    fs::copy_file(AURIVO_SOURCE_DIR "/data/calibration.process",
                  data.File("aurivo/calibration.process"));
    setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/loopback-latency.process"));
    window.ProcessIdle(1);
    CDspDoc& doc = window.ActiveFrame()->Document();
    auto& soundIO = dynamic_cast<CSoundIOView&>(*doc.GetView(1));
    EXPECT_FALSE(doc.IsModified());
    const size_t documents = app.GetDocuments().size();

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
    EXPECT_EQ(app.GetDocuments().size(), documents); // the calibration process closed
}

// "Edit" on the filter example shows the envelope file's text over the right half of the plot;
// a typed text reaches the module, and "Update" parses it.
TEST_F(ExampleGui, TheFilterPaneShowsItsEnvelopeTextWhileEditIsOn) {
    ASSERT_TRUE(window.OpenFile(AURIVO_SOURCE_DIR "/examples/arbfilter-lowpass.process"));
    window.ProcessIdle(1);
    CDocumentFrame* filterFrame = window.ActiveFrame();
    auto& filter = dynamic_cast<CArbFilterView&>(filterFrame->Panes()[1]->View());
    auto* editor = filterFrame->Panes()[1]->findChild<QPlainTextEdit*>("envelopeText");
    ASSERT_TRUE(editor);
    std::string message;
    ASSERT_TRUE(filter.SetControl("edit", "", message));
    QApplication::processEvents();
    ASSERT_TRUE(editor->isVisible());
    EXPECT_TRUE(editor->isReadOnly()); // the text of a file
    EXPECT_TRUE(editor->toPlainText().startsWith(";Low pass: flat up to 1 kHz"));
    const QWidget* plot = editor->parentWidget();
    EXPECT_NEAR(editor->geometry().left(), plot->width() / 2, 1);

    ASSERT_TRUE(filter.SetControl("editenv", "Env2", message));
    QApplication::processEvents();
    EXPECT_FALSE(editor->isReadOnly());
    editor->setPlainText("0 -6 0\n1 -6 0\n24000 -6 0");
    EXPECT_EQ(filter.GetEnvelopeText(1), "0 -6 0\r\n1 -6 0\r\n24000 -6 0");
    ASSERT_TRUE(filter.SetControl("update", "", message));
    EXPECT_EQ(filter.GetDCGainText(), "  -6.00 dB");
    QApplication::processEvents();
    const QString path = QString(AURIVO_BINARY_DIR) + "/screenshots/filter-edit.png";
    QDir().mkpath(QFileInfo(path).path());
    EXPECT_TRUE(window.grab().save(path));
    ASSERT_TRUE(filter.SetControl("edit", "", message));
    QApplication::processEvents();
    EXPECT_FALSE(editor->isVisible());
}

} // namespace
