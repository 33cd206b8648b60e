// Plot and data log files: the bytes of their headers, reading back what was written (also with
// LF line ends), the plot count check, reading into a plot beyond the end of the log, and
// headers that describe more than the file holds.
#include "common/CaseName.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr const char* kStep = "Step: 2 DataLogger";

// A log of `plots` two-channel plots of 4 samples at 48000 per second; sample i of plot p,
// channel c is p + c / 10 + i / 100.
void Fill(CDSPFFTDataLogList& log, int plots) {
    auto list = log.CreateEx(2, 1, 4, 48000.0, kStep);
    ASSERT_NE(list, nullptr);
    for (int p = 0; p < plots; ++p) {
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 4; ++i)
                list->GetTimeData(c)[i] = p + c / 10.0 + i / 100.0;
        ASSERT_GT(log.AddTail(*list), 0);
    }
    log.SetGain(plots - 1, 1, 0.5);
}

std::string Crlf(const std::string& text) {
    std::string out;
    for (const char c : text)
        out += c == '\n' ? std::string("\r\n") : std::string(1, c);
    return out;
}

TEST(PlotFile, HeaderBytesAndRoundTripIntoAPlotBeyondTheEnd) {
    CTempFolder folder;
    CDSPFFTDataLogList log;
    Fill(log, 2);
    const std::string path = folder.File("p.plt");
    ASSERT_EQ(DataLogFile::SavePlot(log, 1, path, "Woofer"), 8);
    const std::string bytes = GetFile(path);
    EXPECT_TRUE(bytes.starts_with("Plot Title         :Woofer\r\r\n"
                                  "Number of Plots    :+1.0000000E+000\r\r\n"
                                  ";Type                      : +1.0000000e+000\r\n"));
    EXPECT_EQ(DataLogFile::SavePlot(log, 2, path, "x"), 0);

    // Into "Plot4" of a one-plot log: plots 2 and 3 are appended empty, plot 4 is filled.
    CDSPFFTDataLogList target;
    Fill(target, 1);
    ASSERT_TRUE(DataLogFile::OpenPlot(target, 2, 1, 4, 48000.0, 3, path)) << target.GetErrorText();
    ASSERT_EQ(target.GetCount(), 4);
    EXPECT_EQ(target.GetNumUsed(1, 0), 0);
    EXPECT_EQ(target.GetNumUsed(3, 0), 4);
    EXPECT_EQ(target.GetAt(3)->GetTitle(), "Woofer");
    EXPECT_DOUBLE_EQ(target.GetTimeData(3, 1)[2], 1.12);
    EXPECT_DOUBLE_EQ(target.GetGain(3, 1), 0.5);
}

TEST(PlotFile, OnlyOnePlotPerFileIsAccepted) {
    const std::string text = "Plot Title         :Two\nNumber of Plots    :+2.0000000E+000\n";
    CDSPFFTDataLogList log;
    Fill(log, 1);
    EXPECT_FALSE(DataLogFile::ReadPlotText(log, 2, 1, 4, 48000.0, 0, text, "two.plt"));
    EXPECT_EQ(log.GetErrorText(), "The number of plots in File 'two.plt' is 2.\r\n"
                                  "The Number of plots in the file must be 1.");
    // A plot far beyond the end would need more text than the file holds.
    const std::string one = "Plot Title         :One\nNumber of Plots    :1\n";
    EXPECT_FALSE(DataLogFile::ReadPlotText(log, 2, 1, 4, 48000.0, 100000, one, "one.plt"));
    EXPECT_EQ(log.GetCount(), 1);
}

TEST(DataLogFileFormat, ThreePlotsReadBackWithTheirTitleAndShape) {
    CTempFolder folder;
    CDSPFFTDataLogList log;
    Fill(log, 3);
    const std::string path = folder.File("log.dlg");
    ASSERT_EQ(DataLogFile::Save(log, path, "Three runs"), 3 * 2 * 4);
    const std::string bytes = GetFile(path);
    EXPECT_TRUE(bytes.starts_with(Crlf(";Datalog Plot Title        : Three runs\n"
                                       ";Datalog Number of Plots   : +3.0000000e+000\n"
                                       ";Datalog Number of Channels: +2.0000000e+000\n"
                                       ";Datalog Type              : +1.0000000e+000\n"
                                       ";Datalog Size              : +4.0000000e+000\n"
                                       ";Datalog Sample Rate       : +4.8000000e+004\n")));
    // Also with the line ends an editor may leave: LF alone.
    std::string lf = bytes;
    std::erase(lf, '\r');
    for (const std::string& text : {bytes, lf}) {
        CDSPFFTDataLogList back;
        ASSERT_NE(back.CreateEx(1, 2, 16, 44100.0), nullptr);
        ASSERT_TRUE(DataLogFile::ReadDataLogText(back, text, path)) << back.GetErrorText();
        ASSERT_EQ(back.GetCount(), 3);
        EXPECT_EQ(back.GetDataLogFileTitle(), "Three runs");
        EXPECT_EQ(back.GetChannels(), 2);
        EXPECT_EQ(back.GetSize(), 4);
        EXPECT_EQ(back.GetSampleRate(), 48000.0);
        EXPECT_EQ(back.GetDeclaredPlots(), 3);
        EXPECT_DOUBLE_EQ(back.GetTimeData(2, 1)[3], 2.13);
        EXPECT_DOUBLE_EQ(back.GetGain(2, 1), 0.5);
        EXPECT_EQ(back.GetNumUsed(1, 0), 4);
    }
}

TEST(DataLogFileFormat, HeadersTheTextCannotHoldAreRefusedBeforeTheLogChanges) {
    CDSPFFTDataLogList log;
    Fill(log, 2);
    const std::string header = ";t: x\n;n: 1000000\n;c: 2\n;t: 1\n;s: 262144\n;r: 48000\n";
    EXPECT_FALSE(DataLogFile::ReadDataLogText(log, header, "huge.dlg"));
    EXPECT_EQ(log.GetCount(), 2);
    EXPECT_FALSE(DataLogFile::ReadDataLogText(log, ";t: x\n;n: 1\n", "short.dlg"));
    EXPECT_EQ(log.GetCount(), 2);
}

} // namespace

// ---- Damaged files leave the log as it was ---------------------------------------------------

// The log a damaged file is opened into, as text: what a save before and after writes.
std::string Saved(const CDSPFFTDataLogList& log) {
    std::string text;
    DataLogFile::DataLogText(log, "measured", text);
    return text;
}

// The text of Fill(log, 3) as lines without their line ends: six header lines, then per plot
// and channel five header lines and four data lines (lines 7 to 60).
std::vector<std::string> WrittenLines() {
    CDSPFFTDataLogList log;
    Fill(log, 3);
    std::string text;
    DataLogFile::DataLogText(log, "three", text);
    std::vector<std::string> lines;
    for (size_t start = 0; start < text.size();) {
        const size_t end = text.find('\n', start);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

struct CDamage {
    const char* name;
    // The lines kept (0 = all), then the characters kept of the next line and its CR LF.
    size_t keepLines;
    size_t keepChars;
    // A line replaced (1-based, 0 = none) and its new text.
    size_t line;
    const char* text;
    const char* message;
};

const CDamage kDamage[] = {
    {"CutInTheHeader", 3, 0, 0, "",
     "The data log header of File 'd.dlg' ends after line 3; it has six lines."},
    {"CutBetweenPlots", 42, 0, 0, "",
     "Plot 3 of 3, the file ends after line 42: Cannot read the channel 1 data array type "
     "setting in the 'd.dlg' file.\r\n The files data array type setting must be 1"},
    {"CutInADataLine", 39, 20, 0, "",
     "Plot 2 of 3, the file ends after line 39: Channel 2 data length in file 'd.dlg' is too "
     "short at element 1. The file ends in the middle of line 40."},
    {"CutInTheLastLine", 59, 20, 0, "",
     "Plot 3 of 3, the file ends after line 59: Channel 2 data length in file 'd.dlg' is too "
     "short at element 3. The file ends in the middle of line 60."},
    {"LastLineEndMissing", 59, 48, 0, "",
     "Plot 3 of 3, the file ends after line 59: Channel 2 data length in file 'd.dlg' is too "
     "short at element 3. The file ends in the middle of line 60."},
    {"BadNumberInADataLine", 0, 0, 31, "+1.0100000e+000 +1.0x00000e+000 +0.0000000e+000",
     "Plot 2 of 3, line 31: File 'd.dlg' does not hold the three numbers of channel 1 element 1 "
     "there: '+1.0100000e+000 +1.0x00000e+000 +0.0000000e+000'."},
    {"AMissingNumber", 0, 0, 50, "+2.0200000e+000 +1.0000000e+000",
     "Plot 3 of 3, line 50: File 'd.dlg' does not hold the three numbers of channel 1 element 2 "
     "there: '+2.0200000e+000 +1.0000000e+000'."},
    {"BadNumberInTheHeader", 0, 0, 5, ";Datalog Size              : +4.00000x0e+000",
     "Line 5 of File 'd.dlg', the data log size, is not a number: '+4.00000x0e+000'."},
    {"ABlockOfAnotherSize", 0, 0, 26, ";Number of Elements        : +8.0000000e+000",
     "Plot 2 of 3, line 26: The channel 1 data array size in Step: 2 DataLogger module is set to "
     "4 elements.\r\nThe channel 1 data array size in 'd.dlg' file is 8 elements."},
    {"MorePlotsDeclaredThanHeld", 0, 0, 2, ";Datalog Number of Plots   : +4.0000000e+000",
     "Plot 4 of 4, the file ends after line 60: Cannot read the channel 1 data array type "
     "setting in the 'd.dlg' file.\r\n The files data array type setting must be 1"},
    {"FarMorePlotsDeclaredThanHeld", 0, 0, 2, ";Datalog Number of Plots   : +1.0000000e+003",
     "The data log header of File 'd.dlg' describes 1000 plots of 2 channels of 4 elements, which "
     "take at least 128000 bytes; the file holds 2822 bytes."},
    {"FewerPlotsDeclaredThanHeld", 0, 0, 2, ";Datalog Number of Plots   : +2.0000000e+000",
     "File 'd.dlg' holds more than the 2 plots its header declares: line 43 is not part of "
     "them."},
};

class DataLogFileDamage : public testing::TestWithParam<CDamage> {};

TEST_P(DataLogFileDamage, NamesTheLineAndPlotAndLeavesTheLogAsItWas) {
    const CDamage& d = GetParam();
    std::vector<std::string> lines = WrittenLines();
    ASSERT_EQ(lines.size(), 60u);
    if (d.line != 0) lines[d.line - 1] = d.text;
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
        // As written: every line ends in CR LF on disk.
        if (d.keepLines != 0 && i == d.keepLines) {
            text += (lines[i] + "\r\n").substr(0, d.keepChars);
            break;
        }
        text += lines[i] + "\r\n";
    }
    CDSPFFTDataLogList log;
    Fill(log, 2);
    log.SetDataLogFileTitle("measured");
    const std::string before = Saved(log);
    EXPECT_FALSE(DataLogFile::ReadDataLogText(log, text, "d.dlg"));
    EXPECT_EQ(log.GetErrorText(), d.message);
    EXPECT_EQ(Saved(log), before);
    EXPECT_EQ(log.GetDataLogFileTitle(), "measured");
    EXPECT_EQ(log.GetDeclaredPlots(), 1);
}

INSTANTIATE_TEST_SUITE_P(Files, DataLogFileDamage, testing::ValuesIn(kDamage), CaseName());

TEST(DataLogFileFormat, InfiniteAndUndefinedValuesOfAPlotReadBack) {
    // An inverted envelope of zero gain gives infinite magnitudes; the log's own file keeps them.
    CDSPFFTDataLogList log;
    Fill(log, 1);
    log.GetFreqData(0, 0)[1] = INFINITY;
    log.GetFreqData(0, 1)[2] = -INFINITY;
    log.GetPhaseData(0, 1)[3] = NAN;
    std::string text;
    DataLogFile::DataLogText(log, "odd", text);
    CDSPFFTDataLogList back;
    ASSERT_TRUE(DataLogFile::ReadDataLogText(back, text, "odd.dlg")) << back.GetErrorText();
    EXPECT_EQ(back.GetFreqData(0, 0)[1], INFINITY);
    EXPECT_EQ(back.GetFreqData(0, 1)[2], -INFINITY);
    EXPECT_TRUE(std::isnan(back.GetPhaseData(0, 1)[3]));
    EXPECT_DOUBLE_EQ(back.GetTimeData(0, 1)[3], 0.13);
}

// ---- Plot files at a real block size ---------------------------------------------------------

// One plot of 1024 elements; sample i of channel c is c + i / 1024.
void FillLarge(CDSPFFTDataLogList& log, int plots) {
    auto list = log.CreateEx(2, 1, 1024, 48000.0, kStep);
    ASSERT_NE(list, nullptr);
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 1024; ++i)
            list->GetTimeData(c)[i] = c + i / 1024.0;
    for (int p = 0; p < plots; ++p)
        ASSERT_GT(log.AddTail(*list), 0);
}

TEST(PlotFile, OpensIntoPlot5AndPlot6AtABlockSizeOf1024) {
    CTempFolder folder;
    CDSPFFTDataLogList source;
    FillLarge(source, 1);
    const std::string path = folder.File("large.plt");
    ASSERT_EQ(DataLogFile::SavePlot(source, 0, path, "Large"), 2048);
    for (const int plot : {4, 5})
        for (const int plots : {0, 1}) {
            CDSPFFTDataLogList log;
            FillLarge(log, plots);
            ASSERT_TRUE(DataLogFile::OpenPlot(log, 2, 1, 1024, 48000.0, plot, path))
                << "Plot" << plot + 1 << " of a log of " << plots << ": " << log.GetErrorText();
            ASSERT_EQ(log.GetCount(), plot + 1);
            EXPECT_EQ(log.GetNumUsed(plot, 1), 1024);
            EXPECT_NEAR(log.GetTimeData(plot, 1)[1023], 1.0 + 1023 / 1024.0, 1e-7);
            EXPECT_EQ(log.GetNumUsed(plot - 1, 0), 0);
        }
    // Far beyond what the logger offers, nothing is appended.
    CDSPFFTDataLogList log;
    FillLarge(log, 1);
    EXPECT_FALSE(DataLogFile::OpenPlot(log, 2, 1, 1024, 48000.0, 7, path));
    EXPECT_EQ(log.GetCount(), 1);
}

TEST(PlotFile, ADamagedPlotFileAppendsNothingAndKeepsThePlot) {
    CTempFolder folder;
    CDSPFFTDataLogList source;
    Fill(source, 1);
    const std::string path = folder.File("p.plt");
    ASSERT_GT(DataLogFile::SavePlot(source, 0, path, "Cut"), 0);
    const std::string bytes = GetFile(path);
    PutFile(path, bytes.substr(0, bytes.size() - 30));
    CDSPFFTDataLogList log;
    Fill(log, 2);
    const std::string before = Saved(log);
    EXPECT_FALSE(DataLogFile::OpenPlot(log, 2, 1, 4, 48000.0, 1, path));
    EXPECT_FALSE(DataLogFile::OpenPlot(log, 2, 1, 4, 48000.0, 3, path));
    EXPECT_EQ(Saved(log), before);
    EXPECT_EQ(log.GetErrorText(),
              "Plot file, the file ends after line 19: Channel 2 data length in file '" + path +
                  "' is too short at element 3. The file ends in the middle of line 20.");
}
