// The data logger driven through a headless process: a pattern source logged pass by pass, the
// log's limits, the mode list, the buttons, readouts and commands that reach the log, and its
// files.
#include "common/CaseName.h"
#include "common/ModuleProcess.h"
#include "common/PatternModules.h"
#include "common/SettingById.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"
#include "common/WavBytes.h"

#include "base/NumberText.h"
#include "formats/DataLogFile.h"
#include "modules/logger/DataLoggerView.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <algorithm>

namespace {

const CModuleRegistry& LoggerRegistry() {
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(PatternRegistry().Find("Signal Generator"));
        r.Register(GetBuiltInModules().Find("DataLogger"));
        return r;
    }();
    return registry;
}

class DataLogger : public testing::Test {
protected:
    CModuleProcess p{LoggerRegistry()};
    void SetUp() override { ASSERT_TRUE(p.Create({"Signal Generator", "DataLogger"}, 64, 6400.0)); }
    CDataLoggerView& Logger() { return p.Step<CDataLoggerView>(2); }
    const CDSPFFTDataLogList& Log() { return *Logger().GetLog(); }
    void Passes(int n) {
        for (int i = 0; i < n; ++i)
            ASSERT_TRUE(p.Pass()) << "pass " << i + 1;
    }
    std::vector<std::string> Modes() {
        return Logger().GetControls().GetControl(size_t(Logger().GetControls().Find("mode"))).items;
    }
};

// The bar as the desktop shows it, control by control.
TEST_F(DataLogger, TheBarShowsItsControlsInTheDesktopsOrder) {
    std::vector<std::string> ids;
    for (size_t i = 0; i < Logger().GetControls().Count(); ++i)
        ids.push_back(Logger().GetControls().GetControl(i).id);
    EXPECT_EQ(ids, (std::vector<std::string>{
                       "xaxis",    "startdn", "start",     "startup",   "stopdn",    "stop",
                       "stopup",   "y1axis",  "y1scaledn", "y1scale",   "y1scaleup", "y1fit",
                       "y1ref",    "y1unit",  "y2axis",    "y2scaledn", "y2scale",   "y2scaleup",
                       "y2fit",    "y2ref",   "y2unit",    "plot",      "gaindn",    "gainup",
                       "delaydn",  "delayup", "mode",      "mergefreq", "new",       "newall",
                       "openplot", "opendlg", "title",     "saveplt",   "savedlg",   "ifft"}));
}

TEST_F(DataLogger, PlotsAreDrawnInTheirColoursCyclingAfterTheSixth) {
    Passes(7);
    CRecordingCanvas canvas;
    Logger().OnDraw(canvas, {0, 0, 600, 400});
    const auto traces = canvas.OpsOf(CRecordingCanvas::EOp::polyline);
    // Y1 ("Vpk.") and Y2 ("Degrees") of each plot in turn.
    ASSERT_EQ(traces.size(), 14u);
    EXPECT_EQ(traces[0].pen.colour, (CColour{255, 255, 0}));
    EXPECT_EQ(traces[1].pen.colour, (CColour{255, 255, 0}));
    EXPECT_EQ(traces[4].pen.colour, (CColour{0, 255, 255}));
    EXPECT_EQ(traces[12].pen.colour, (CColour{255, 255, 0}));
    // In mode "Sum" the log is drawn once, as one plot in the first colour.
    p.Set(2, {"mode=Sum"});
    canvas.Clear();
    Logger().OnDraw(canvas, {0, 0, 600, 400});
    EXPECT_EQ(canvas.OpsOf(CRecordingCanvas::EOp::polyline).size(), 2u);
    ASSERT_NE(Logger().Log().Combined(), nullptr);
    EXPECT_DOUBLE_EQ(Logger().Log().Combined()->GetAt(0)->GetFreqObj()->GetDataPointer()[3], 7.0);
}

TEST_F(DataLogger, TheTextsAboveANarrowPlotDoNotOverlap) {
    CRecordingCanvas canvas;
    Logger().OnDraw(canvas, {0, 0, 380, 300});
    // The row above the plot: scale, start, stop and the Y2 scale, left to right.
    std::vector<CRecordingCanvas::COp> row;
    for (const auto& op : canvas.OpsOf(CRecordingCanvas::EOp::text))
        if (!row.empty() ? op.points[0].y == row[0].points[0].y
                         : op.text.find("/Div") != std::string::npos)
            row.push_back(op);
    ASSERT_EQ(row.size(), 4u);
    for (size_t i = 1; i < row.size(); ++i)
        EXPECT_GT(row[i].points[0].x,
                  row[i - 1].points[0].x + canvas.GetTextExtent(row[i - 1].text).cx)
            << row[i - 1].text << " / " << row[i].text;
}

// Fit takes the finest scale that holds every drawn plot on both sides of the zero line, which
// lies at mid-height on a time axis: a 1.6 V peak needs 0.4 V per division, then a second plot
// of 3.2 V peak 0.8 V.
TEST_F(DataLogger, FitHoldsEveryPlotAboveAndBelowTheZeroLine) {
    p.Step<CPatternSource>(1).m_pattern = [](int, int k, int i) {
        return 1.6 * k * std::sin(2 * 3.141592653589793 * i / 16);
    };
    p.Set(2, {"xaxis=#0"});
    const auto scale = [&] { return ControlState(Logger(), "y1scale").text; };
    Passes(1);
    p.Set(2, {"y1fit"});
    EXPECT_EQ(scale(), "500 mVpk/Div");
    Passes(1);
    p.Set(2, {"y1fit"});
    EXPECT_EQ(scale(), "1 Vpk/Div");
}

// Every pass adds a copy of the blocks it receives: a run that would pass the limit in plots or in
// bytes stops, keeps what it logged and says so; "New All" makes room again. At 4096 elements a
// plot takes 2 x 3 x 4096 doubles (196608 bytes), so 1 MB holds five plots.
struct CLimitCase {
    const char* name;
    int32_t size, maxPlots, maxMegabytes, kept;
};
const CLimitCase kLimits[] = {{"Plots", 64, 4, 512, 4}, {"Bytes", 4096, 1000, 1, 5}};
class DataLoggerLimits : public testing::TestWithParam<CLimitCase> {};

TEST_P(DataLoggerLimits, StopTheRunAndKeepWhatItLogged) {
    const CLimitCase& c = GetParam();
    CModuleProcess p{LoggerRegistry()};
    ASSERT_TRUE(p.Create({"Signal Generator", "DataLogger"}, c.size, 48000.0));
    auto& settings = const_cast<CAppSettings&>(p.App().GetSettings());
    settings.dataLogMaxPlots = c.maxPlots;
    settings.dataLogMaxMegabytes = c.maxMegabytes;
    auto& logger = p.Step<CDataLoggerView>(2);
    EXPECT_EQ(p.Session().Run(10), c.kept);
    ASSERT_EQ(logger.GetLog()->GetCount(), c.kept);
    EXPECT_EQ(p.TakeMessages(),
              std::vector<std::string>{FormatText(
                  "The data log is full: it holds %d plots, the most it may hold (settings "
                  "DataLogMaxPlots %d and DataLogMaxMegabytes %d).\r\nSave it with \"Save "
                  "Dlg\", then clear it with \"New All\" to log more.",
                  c.kept, c.maxPlots, c.maxMegabytes)});
    // The source writes 1000 + 10 k + i on channel 1 and 2000 + 10 k + i on channel 2 in pass k.
    for (int k = 1; k <= c.kept; ++k)
        for (int ch = 0; ch < 2; ++ch) {
            EXPECT_EQ(logger.GetLog()->GetTimeData(k - 1, ch)[5], (ch + 1) * 1000.0 + 10 * k + 5);
            EXPECT_EQ(logger.GetLog()->GetNumUsed(k - 1, ch), c.size);
        }
    CTempFolder folder;
    EXPECT_TRUE(logger.SaveDataLogFile(folder.File("full.dlg")));
    p.Set(2, {"newall"});
    EXPECT_EQ(p.Session().Run(2), 2);
    EXPECT_EQ(logger.GetLog()->GetCount(), 2);
}
INSTANTIATE_TEST_SUITE_P(Log, DataLoggerLimits, testing::ValuesIn(kLimits), CaseName());

// The mode list offers what the plots and the axis allow. A stored mode the list stops offering
// returns to "Plot" for good; one set before the plots exist (from a file or the command line)
// waits for them.
TEST_F(DataLogger, TheModeListFollowsThePlotsAndTheAxis) {
    Passes(1);
    EXPECT_EQ(Modes(), (std::vector<std::string>{"Plot"}));
    Passes(1);
    EXPECT_EQ(Modes(), (std::vector<std::string>{"Plot", "Sum", "Merge"}));
    p.Set(2, {"mode=Merge"});
    EXPECT_EQ(SettingById(Logger(), "displaymode"), "Merge");
    EXPECT_EQ(Logger().GetMode(), CDataLog::kModeMerge);
    p.Set(2, {"xaxis=T1Lin"});
    EXPECT_EQ(Modes(), (std::vector<std::string>{"Plot", "Sum"}));
    EXPECT_EQ(SettingById(Logger(), "displaymode"), "Plot");
    p.Set(2, {"xaxis=F1Lin"});
    EXPECT_EQ(Logger().GetMode(), CDataLog::kModePlot);
    p.Set(2, {"mode=Sum", "newall"});
    EXPECT_TRUE(Log().IsEmpty());
    EXPECT_EQ(Logger().Log().Title(), " ");
    EXPECT_EQ(Modes(), (std::vector<std::string>{"Plot"}));
    EXPECT_EQ(SettingById(Logger(), "displaymode"), "Plot");
    Passes(2);
    EXPECT_EQ(Logger().GetMode(), CDataLog::kModePlot);

    p.Set(2, {"newall", "displaymode=Merge"});
    EXPECT_EQ(SettingById(Logger(), "displaymode"), "Merge");
    Passes(2);
    EXPECT_EQ(Logger().GetMode(), CDataLog::kModeMerge);
}

TEST_F(DataLogger, AMergeFrequencyAboveHalfTheRateIsRefused) {
    Passes(1);
    p.Set(2, {"mergefreq=3300"});
    EXPECT_EQ(Logger().GetMergeFrequency(), 3300.0);
    EXPECT_EQ(p.TakeMessages(),
              std::vector<std::string>{"Merge Frequency Must Be Less Than 1/2 Sample Rate"});
    EXPECT_EQ(ControlState(Logger(), "mergefreq").text, "");
    std::string message;
    EXPECT_FALSE(Logger().SetControl("mergefreq", "12a", message));
    EXPECT_EQ(p.TakeMessages(),
              std::vector<std::string>{"Edit control characters must be numeric"});
}

TEST_F(DataLogger, GainAndDelayReadoutsFollowTheAxisOfTheSelectedChannel) {
    const auto readout = [&](const std::string& label) {
        for (const CReadoutValue& r : Logger().GetReadoutValues())
            if (r.label == label) return r.Text();
        return std::string("missing");
    };
    EXPECT_EQ(readout("Gain Plot1"), "Gain Plot1: 1.00");
    EXPECT_EQ(readout("Delay Plot1"), "Delay Plot1: 0.00 S");
    Passes(1);
    p.Set(2, {"y1axis=dBVpk.", "gainup", "delayup"});
    EXPECT_EQ(readout("Gain Plot1"), "Gain Plot1: 0.0864dB");
    EXPECT_EQ(readout("Delay Plot1"), "Delay Plot1: 0.0001 S");
    Logger().GetLog()->SetGain(0, -1, 10.0);
    Logger().GetLog()->SetDelay(0, -1, 0.00125);
    EXPECT_EQ(readout("Gain Plot1"), "Gain Plot1: 20dB");
    EXPECT_EQ(readout("Delay Plot1"), "Delay Plot1: 0.00125 S");
    Logger().OnSelCh2(); // Y2 shows "Degrees": the gain reads plainly
    EXPECT_EQ(readout("Gain Plot1"), "Gain Plot1: 10");
    // A step refused at its limit says so (the texts are the log's, DataLogTest.cpp).
    Logger().GetLog()->SetGain(0, -1, 10000.0);
    p.Set(2, {"gainup"});
    EXPECT_EQ(p.TakeMessages(), std::vector<std::string>{"Gain must be less than 10000"});
}

// The commands hand the log the marker axis, the selected channel and both Y axes; its refusals
// (DataLogTest.cpp) reach the user.
TEST_F(DataLogger, TheCommandsActOnTheSelectedAxisAndChannel) {
    // Through the view's interface, as the Edit menu calls it: the log's own copy answers.
    static_cast<CDspView&>(Logger()).OnEditCopy(false);
    Passes(1);
    p.Set(2, {"y1axis=dBVSPL", "y1ref=0.5"});
    Logger().OnCopyFRDdBSPL(); // all channels selected
    Logger().OnSelCh1();
    Logger().OnCopyFRDdBSPL();
    std::vector<std::string> heads;
    for (const std::string& m : p.TakeMessages())
        heads.push_back(m.substr(0, 24));
    EXPECT_EQ(heads,
              (std::vector<std::string>{"No Plot Data Available T", "A single channel must be"}));
    EXPECT_TRUE(p.App().GetClipboard().GetText().value_or("").starts_with("0.00"));
    // Y1 shows the impedance against 8 ohms, Y2 the degrees: the ZMA copy goes through.
    p.Set(2, {"y1axis=| Z |", "y1ref=8"});
    p.App().GetClipboard().SetText("");
    Logger().OnCopyZMA();
    EXPECT_EQ(p.TakeMessages(), std::vector<std::string>{});
    EXPECT_NE(p.App().GetClipboard().GetText().value_or(""), "");
}

TEST_F(DataLogger, SavesAPlotAsCsvInTheUnitOfTheFirstAxis) {
    CTempFolder folder;
    Passes(1);
    // Channel 1 holds 2 V peak at bin 3 (300 Hz) with a phase of -45 degrees.
    CDSPFFTDataList& plot = *Logger().GetLog()->GetAt(0);
    plot.GetAt(0)->GetFreqObj()->GetDataPointer()[3] = 2.0;
    plot.GetAt(0)->GetPhaseObj()->GetDataPointer()[3] = -45.0;
    p.Set(2, {"y1axis=dBVpk."});
    ASSERT_TRUE(Logger().SavePlotFile(folder.File("p.csv"), 3));
    const std::string text = GetFile(folder.File("p.csv"));
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 34); // header, bins 0 to 32
    EXPECT_TRUE(text.starts_with("Frequency (Hz),Ch1 Magnitude (dBVpk.),Ch1 Phase (deg),"
                                 "Ch2 Magnitude (dBVpk.),Ch2 Phase (deg)\r\n"));
    EXPECT_NE(text.find("\n300,6.02059991,-45,0,0\r\n"), std::string::npos);
}

// A data log of another block size stays through refreshes (blocks of the process's size then
// stop the run, as DataLoggerRates shows) until the process changes.
TEST_F(DataLogger, AnOpenedLogOfAnotherShapeIsKeptUntilTheProcessChanges) {
    CTempFolder folder;
    CDSPFFTDataLogList other;
    auto list = other.CreateEx(2, 1, 32, 3200.0, "Step: 2 DataLogger");
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 3; ++i)
        ASSERT_GT(other.AddTail(*list), 0);
    ASSERT_GT(DataLogFile::Save(other, folder.File("small.dlg"), "Small"), 0);
    ASSERT_TRUE(Logger().OpenDataLogFile(folder.File("small.dlg")));
    EXPECT_EQ(Logger().Log().Title(), "Small");
    p.Set(2, {"y1axis=Vrms", "xaxis=F1Log10"});
    ASSERT_EQ(Log().GetCount(), 3);
    EXPECT_EQ(Log().GetSize(), 32);
    EXPECT_EQ(ControlState(Logger(), "stop").text, "1600Hz");
    // A new FFT size replaces it.
    p.Doc().SetSize(128);
    p.Step(1).ShowCurrentParams();
    Logger().ShowCurrentParams();
    EXPECT_TRUE(Log().IsEmpty());
    EXPECT_EQ(Log().GetSize(), 128);
}

// A whole plot pasted back holds N lines per channel: that is no size mismatch.
TEST_F(DataLogger, PastingAWholePlotOfTheRightSizeDoesNotWarn) {
    Passes(1);
    Logger().OnSelAll();
    Logger().OnEditCopy(false);
    const std::string plot = p.App().GetClipboard().GetText().value_or("");
    ASSERT_EQ(plot.size(), 2u * 64 * 49);
    p.Set(2, {"plot=Plot2"});
    Logger().OnEditPaste(false);
    EXPECT_EQ(p.TakeMessages(), std::vector<std::string>{});
    ASSERT_EQ(Log().GetCount(), 2);
    EXPECT_EQ(Log().GetTimeData(1, 1)[5], Log().GetTimeData(0, 1)[5]);
    // Half a plot more than it holds still warns, and so does half a plot.
    p.App().GetClipboard().SetText(plot + plot.substr(0, 64 * 49));
    Logger().OnEditPaste(false);
    p.App().GetClipboard().SetText(plot.substr(0, 64 * 49));
    Logger().OnEditPaste(false);
    EXPECT_EQ(p.TakeMessages(),
              (std::vector<std::string>{
                  "Clipboard data > Destination data.\r\nSource data may be lost.",
                  "Clipboard data < Destination data.\r\nDestination data may be truncated."}));
    // Cutting a whole plot takes it out of the log.
    Logger().OnEditCut(false);
    EXPECT_EQ(Log().GetCount(), 1);
    EXPECT_EQ(p.App().GetClipboard().GetText().value_or("").size(), plot.size());
}

// Blocks from a 22050 Hz WAV file in a 48000 Hz process: every pass adds a plot at the file's
// rate, a refresh keeps them, and blocks of another shape stop the run without clearing them.
TEST(DataLoggerRates, BlocksAtAnotherRateThanTheProcessAreAllKept) {
    CTempFolder folder;
    const auto wav = [&](const char* name, uint32_t rate) {
        std::vector<uint8_t> data;
        for (int i = 0; i < 2 * 64 * 8; ++i) {
            const auto sample = LittleEndian(uint32_t(i * 7), 2);
            data.insert(data.end(), sample.begin(), sample.end());
        }
        PutBytes(folder.File(name), RiffFileBytes({WavChunk("fmt ", FmtBytes(1, 2, rate, 16)),
                                                   WavChunk("data", data)}));
        return folder.File(name);
    };
    CModuleProcess p;
    ASSERT_TRUE(p.Create({"WAV File Open", "DataLogger"}, 64, 48000.0));
    p.Set(1, {"file=" + wav("slow.wav", 22050)});
    auto& logger = p.Step<CDataLoggerView>(2);
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(p.Pass()) << "pass " << i + 1 << " "
                              << testing::PrintToString(p.TakeMessages());
    ASSERT_EQ(logger.GetLog()->GetCount(), 5);
    EXPECT_EQ(logger.GetLog()->GetSampleRate(4, 0), 22050.0);
    EXPECT_EQ(logger.GetLog()->GetSampleRate(), 22050.0);
    p.Set(2, {"y1axis=Vrms"});
    p.Doc().OnEditStop();
    for (int step : {1, 2})
        p.Step(step).ShowCurrentParams();
    EXPECT_EQ(logger.GetLog()->GetCount(), 5);
    EXPECT_EQ(ControlState(logger, "stop").text, "11025Hz");

    p.Set(1, {"file=" + wav("fast.wav", 44100)});
    EXPECT_FALSE(p.Pass());
    EXPECT_EQ(logger.GetLog()->GetCount(), 5);
    const auto messages = p.TakeMessages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "The blocks reaching this step (2 channels of 64 elements at 44100 "
                           "samp/sec) differ from the 5 plots in the log (2 channels of 64 "
                           "elements at 22050 samp/sec).\r\nSave the log with \"Save Dlg\", then "
                           "clear it with \"New All\" to log the new blocks.");
}

} // namespace
