// Plot and data log files: the bytes of their headers, reading back what was written (also with
// LF line ends), the plot count check, reading into a plot beyond the end of the log, and
// headers that describe more than the file holds.
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include "dsp/DSPFFTDataLogList.h"
#include "formats/DataLogFile.h"

#include <gtest/gtest.h>

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
    for (const std::string& text : {bytes, [&] {
                                        std::string lf;
                                        for (const char c : bytes)
                                            if (c != '\r') lf += c;
                                        return lf;
                                    }()}) {
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
    // A plot that ends early leaves the plots read before it.
    std::string text;
    DataLogFile::DataLogText(log, "cut", text);
    CDSPFFTDataLogList back;
    EXPECT_FALSE(DataLogFile::ReadDataLogText(back, text.substr(0, text.size() - 60), "cut.dlg"));
    ASSERT_EQ(back.GetCount(), 2);
    EXPECT_EQ(back.GetNumUsed(0, 0), 4);
    EXPECT_EQ(back.GetNumUsed(1, 0), 0);
}

} // namespace
