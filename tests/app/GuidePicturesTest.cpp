// The user guide's pictures, taken from the examples as a new user runs them (each showing its
// description in the title), into build/screenshots/guide-*.png where the guide finds them.
#include "QtAppFixture.h"

#include "DocumentFrame.h"
#include "ModulePane.h"
#include "common/CaseName.h"
#include "formats/ProcessDescription.h"
#include "modules/BuiltInModules.h"

#include <QMdiSubWindow>

namespace {

struct CPicture {
    std::string name;
    const char* example;
    int pane; // the step pictured (1-based), or 0 for the whole window
};

class GuidePictures : public testing::TestWithParam<CPicture>, protected CBuiltInApp {};

TEST_P(GuidePictures, TheExampleRunsToAPictureOfItsPoint) {
    const CPicture& picture = GetParam();
    const std::string file = std::string(AURIVO_SOURCE_DIR "/examples/") + picture.example;
    window.resize(1600, 1000);
    window.show();
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(file)));
    window.ProcessIdle(1);
    CDocumentFrame* frame = window.ActiveFrame();
    ASSERT_TRUE(frame);
    frame->parentWidget()->showMaximized();
    QApplication::processEvents();
    const std::string description = ReadProcessDescription(file);
    ASSERT_FALSE(description.empty());
    EXPECT_TRUE(frame->windowTitle().endsWith(QString::fromStdString(" - " + description)))
        << frame->windowTitle().toStdString();

    window.OnEditRun();
    window.ProcessIdle(int(frame->Panes().size()) * 2);
    window.OnEditStop();
    QApplication::processEvents();
    EXPECT_TRUE(sink.Records().empty()) << sink.Records()[0].message;

    QWidget* shown = picture.pane == 0 ? static_cast<QWidget*>(&window)
                                       : frame->Panes().at(size_t(picture.pane - 1));
    EXPECT_TRUE(
        SaveScreenshot(*shown, "guide-" + QString::fromStdString(picture.name).replace('_', '-')));
}

INSTANTIATE_TEST_SUITE_P(
    Guide, GuidePictures,
    testing::Values(CPicture{"first_measurement", "loopback-thd.process", 0},
                    CPicture{"signal_generator", "sine-1khz.process", 1},
                    CPicture{"oscilloscope", "sine-1khz.process", 2},
                    CPicture{"spectrum_analyzer", "thd-1khz.process", 3},
                    CPicture{"arbitrary_filter", "arbfilter-lowpass.process", 2},
                    CPicture{"soundio", "loopback-thd.process", 2},
                    CPicture{"data_logger", "logger-zma.process", 3},
                    CPicture{"wav_file_open", "wav-spectrum.process", 1},
                    CPicture{"rta", "rta-miccal.process", 3},
                    CPicture{"transfer_function", "transfer-pink-noise.process", 3},
                    CPicture{"sweep_analyzer", "loopback-sweep.process", 3},
                    CPicture{"sweep_distortion", "loopback-sweep-thd.process", 3}),
    CaseName());

} // namespace
