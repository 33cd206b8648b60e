// The desktop application on a real example process: open, run a few passes, stop, and keep a
// screenshot for review.
#include "QtAppFixture.h"

#include "CalibrationDialog.h"
#include "DocumentFrame.h"
#include "ModulePane.h"
#include "PlotWidget.h"
#include "ViewPictureFile.h"
#include "common/TextFileUtil.h"
#include "common/XmlCheck.h"
#include "common/TempFolder.h"
#include "modules/BuiltInModules.h"
#include "modules/arbfilter/ArbFilterView.h"
#include "platform/RecordingCanvas.h"
#include "plot/Channel.h"
#include "soundio/SoundIOView.h"

#include <filesystem>
#include <set>

#include <QComboBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QDialog>
#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QPlainTextEdit>
#include <QSet>
#include <QTest>

namespace {

namespace fs = std::filesystem;

class ExampleGui : public testing::Test, protected CBuiltInApp {
protected:
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
    // The module's 15 entries, then the pane's own.
    ASSERT_EQ(texts.size(), 18) << texts.join("|").toStdString();
    EXPECT_EQ(texts.mid(15), (QStringList{"Fit Y Axis", "Save Picture\u2026", "Copy Picture"}));
    EXPECT_EQ(texts.removeDuplicates(), 0) << texts.join("|").toStdString();

    QApplication::processEvents();
    EXPECT_TRUE(SaveScreenshot(window, "thd-example"));
}

// The spectrum pane as a PNG and an SVG of the size asked for, drawn as on screen: channel 1's
// trace in its colour and channel 2's in the other, so both channels tell apart on paper too.
TEST_F(ExampleGui, TheSpectrumPaneSavesAsPngAndSvgOfTheRequestedSize) {
    window.OnEditRun();
    window.ProcessIdle(3 * 2);
    window.OnEditStop();
    CTempFolder folder;
    CDspView& view = frame->Panes()[2]->View();
    std::string error;
    const QString png = QString::fromStdString(folder.File("spectrum.png"));
    ASSERT_TRUE(SaveViewPicture(view, png, QSize(640, 480), error)) << error;
    // The colours of a written picture.
    auto coloursOf = [](const QString& path) {
        const QImage image(path);
        EXPECT_EQ(image.size(), QSize(640, 480));
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y) | 0xFF000000);
        return colours;
    };
    auto has = [](const QSet<QRgb>& colours, CColour c) {
        return colours.contains(qRgb(c.r, c.g, c.b));
    };
    const QSet<QRgb> dark = coloursOf(png);
    const CPlotColours theme;
    EXPECT_TRUE(has(dark, theme.trace) && has(dark, theme.secondTrace));
    // The light theme draws the same picture in its own colours.
    app.SetLightPlots(true);
    ASSERT_TRUE(SaveViewPicture(view, png, QSize(640, 480), error)) << error;
    const QSet<QRgb> light = coloursOf(png);
    app.SetLightPlots(false);
    EXPECT_TRUE(has(light, LightPlotColours().trace) && has(light, LightPlotColours().secondTrace));
    EXPECT_FALSE(has(light, theme.trace) || has(light, theme.secondTrace));

    const std::string svg = folder.File("spectrum.svg");
    ASSERT_TRUE(SaveViewPicture(view, QString::fromStdString(svg), QSize(500, 300), error));
    const CXmlCheck xml = CheckXml(GetFile(svg));
    ASSERT_TRUE(xml.ok) << xml.error;
    EXPECT_EQ(xml.root, "svg");
    EXPECT_EQ(xml.elements.front().second.at("width"), "500");
    EXPECT_EQ(xml.elements.front().second.at("height"), "300");
    std::set<std::string> strokes;
    for (const auto& [name, attributes] : xml.elements)
        if (name == "polyline") strokes.insert(attributes.at("stroke"));
    EXPECT_EQ(strokes, (std::set<std::string>{"#00ff00", "#ffb000"}));
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
    const QSize windowSize = window.size();

    bool shown = false;
    WithNextModal(
        [&](QWidget* modal) {
            auto* dialog = qobject_cast<CCalibrationDialog*>(modal);
            ASSERT_TRUE(dialog);
            shown = true;
            EXPECT_EQ(dialog->windowTitle(), "SoundIO Module Calibration");
            // The dialog fits the screen, buttons and all.
            const QRect screen = dialog->screen()->availableGeometry();
            EXPECT_LE(dialog->width(), screen.width());
            EXPECT_LE(dialog->height(), screen.height());
            dialog->CalibrationType()->setCurrentText("Latency");
            dialog->Button("Run")->click();
            EXPECT_EQ(dialog->Status(), "Latency Calibration Complete");
            // Complete is all the way; the channels' bars show what they recorded.
            const QList<QProgressBar*> bars = dialog->findChildren<QProgressBar*>();
            ASSERT_EQ(bars.size(), 3);
            for (const QProgressBar* bar : bars)
                EXPECT_GT(bar->value(), bar->minimum());
            EXPECT_EQ(bars[0]->value(), bars[0]->maximum());
            QApplication::processEvents();
            EXPECT_TRUE(SaveScreenshot(*dialog, "calibration"));
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
    EXPECT_EQ(window.size(), windowSize) << "the calibration process stretched the window";
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
    EXPECT_TRUE(SaveScreenshot(window, "filter-edit"));
    ASSERT_TRUE(filter.SetControl("edit", "", message));
    QApplication::processEvents();
    EXPECT_FALSE(editor->isVisible());
}

// A click into the spectrum's plot of a running process puts the marker where it was made, on
// the linear volts axes as on dB axes: the readout names the frequency under the pointer and the
// tone's value there, beside the click.
TEST_F(ExampleGui, AClickPlacesTheMarkerUnderThePointerOnEveryYAxis) {
    CModulePane& pane = *frame->Panes()[2];
    CDspView& view = pane.View();
    frame->parentWidget()->showMaximized();
    for (const char* yAxis : {"THDVpk", "Vpk.", "dBVpk."}) {
        SCOPED_TRACE(yAxis);
        std::string message;
        ASSERT_TRUE(view.SetControl("yaxis", yAxis, message)) << message;
        window.OnEditRun();
        window.ProcessIdle(3 * 2);
        QApplication::processEvents();
        pane.Plot()->grab(); // lays the channels out as on screen
        const CRect plot = view.GetChannelPointer(0)->m_plotRect;
        ASSERT_FALSE(plot.IsRectEmpty());
        // On the 1 kHz tone's bin of the 0 to 16 kHz axis, halfway down.
        const double binHz = frame->Document().GetSampleRate() / frame->Document().GetSize();
        const QPoint click(plot.left + int(std::lround(1000.0 / binHz + 0.5) *
                                           (plot.right - plot.left) / (16000.0 / binHz)),
                           (plot.top + plot.bottom) / 2);
        QTest::mouseClick(pane.Plot(), Qt::LeftButton, {}, click);
        QApplication::processEvents();
        CRecordingCanvas canvas;
        view.OnDraw(canvas, CRect{0, 0, pane.Plot()->width(), pane.Plot()->height()});
        std::string readout;
        QPoint at;
        for (const auto& op : canvas.Ops())
            if (op.op == CRecordingCanvas::EOp::text && op.text.find(" Hz,") != std::string::npos) {
                readout = op.text;
                at = QPoint(op.points.front().x, op.points.front().y);
            }
        ASSERT_FALSE(readout.empty());
        const double hz = std::stod(readout);
        const double expected = 16000.0 * (click.x() - plot.left) / (plot.right - plot.left);
        EXPECT_NEAR(hz, expected, 16000.0 / (plot.right - plot.left) + binHz) << readout;
        EXPECT_EQ(readout.find(" 0.000 "), std::string::npos) << readout;
        EXPECT_NEAR(at.x(), click.x(), 10 + 8 * int(readout.size())) << readout;
        EXPECT_NEAR(at.y(), click.y(), 20) << readout;
        QTest::mouseClick(pane.Plot(), Qt::LeftButton, {}, click); // the marker off again
    }
}

} // namespace
