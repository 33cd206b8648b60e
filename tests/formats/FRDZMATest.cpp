// FRD (level per bin) and ZMA (impedance) tables as files and clipboard text. Expected values
// were computed independently (Python's math and cmath) and are written out here.
#include "dsp/DSPFFTDataList.h"
#include "platform/Clipboard.h"

#include "common/TextFileUtil.h"
#include "common/TempFolder.h"
#include "formats/FRDZMA.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <sstream>

namespace {

using Lines = std::vector<std::string>;

// Block of 8 at 8000/s with gain 2: x = 2 * m / (1 V / 8) = 16 m, level 20 log10(x) + 94.
void MakeFRDBlock(CDSPFFTData& block) {
    const std::vector<double> magnitude = {1.0, 0.5, 0.0, 1e-3, 9, 9, 9, 9};
    const std::vector<double> phase = {0.0, -45.5, 90.25, 180.0, 9, 9, 9, 9};
    block.Create(CDSPData::kTimeBlock, 8, 8000.0);
    block.Fill(8, nullptr, magnitude.data(), phase.data());
    block.SetGain(2.0);
}

const Lines kFRDData = {
    "0.0000 118.0824 0.0000",
    "1000.0000 112.0618 -45.5000",
    "2000.0000 -6059.0531 90.2500", // silence reads as the smallest normal double
    "3000.0000 58.0824 180.0000",
};

TEST(FRD, FileHasTheTitleHeaderAndOneLinePerBinBelowHalfTheSize) {
    CTempFolder folder;
    CDSPFFTData block;
    MakeFRDBlock(block);
    EXPECT_EQ(SaveFRDdBSPL(block, folder.File("a.frd"), "Woofer 1", 1.0), 8);
    EXPECT_EQ(GetFile(folder.File("a.frd")),
              JoinLines(Lines{" * Woofer 1", " * Freq(Hz)  SPL(db)  Phase(deg)", " * "}, "\r\n") +
                  JoinLines(kFRDData, "\r\n"));
}

TEST(FRD, ClipboardHoldsTheDataLinesOnly) {
    CDSPFFTData block;
    MakeFRDBlock(block);
    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyFRDdBSPL(block, 1.0, clipboard), 4);
    EXPECT_EQ(clipboard.GetText(), JoinLines(kFRDData, "\r\n"));
}

TEST(FRD, UnitMagnitudeAtSize1024AndOneVoltIsTheSizeInDecibelsAbove94) {
    CDSPFFTData block;
    block.Create(CDSPData::kTimeBlock, 1024, 48000.0);
    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyFRDdBSPL(block, 1.0, clipboard), 512);
    const std::string text = *clipboard.GetText();
    const std::string expected = "0.0000 154.2060 0.0000\r\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    EXPECT_NE(text.find("\r\n23953.1250 154.2060 0.0000\r\n"), std::string::npos)
        << "bin 511 of 1024 at 48000/s";
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 512);
}

TEST(FRD, BlockWithoutArraysWritesNothing) {
    CTempFolder folder;
    CDSPFFTData block;
    CDSPFFTDataList list;
    CMemoryClipboard clipboard;
    EXPECT_EQ(SaveFRDdBSPL(block, folder.File("a.frd"), "x", 1.0), 0);
    EXPECT_EQ(CopyFRDdBSPL(block, 1.0, clipboard), 0);
    EXPECT_EQ(SaveFRDdBSPL(list, 0, folder.File("a.frd"), "x", 1.0), 0);
    EXPECT_FALSE(clipboard.GetText().has_value());
    EXPECT_TRUE(folder.Entries().empty());
}

// Size 16 at 16000/s, R = 8: channel 1 drives 1 V at 10 degrees (gain 2, magnitude 0.5, delay
// 0.001 = 180 degrees), channel 2 has 0.1 k V at 10 + 25 k degrees (delay 0.0015 = 270 degrees).
void MakeZMAList(CDSPFFTDataList& list) {
    list.Create(2, CDSPData::kTimeBlock, 16, 16000.0);
    for (int k = 0; k < 16; ++k) {
        list.GetFreqData(0)[k] = 0.5;
        list.GetPhaseData(0)[k] = 10.0;
        list.GetFreqData(1)[k] = 0.1 * k;
        list.GetPhaseData(1)[k] = 10.0 + 25.0 * k;
    }
    list.SetGain(0, 2.0);
    list.SetDelay(0, 0.001);
    list.SetDelay(1, 0.0015);
}

const Lines kZMAData = {
    "1000.0000 0.7647 119.9697",  "2000.0000 1.3789 146.3610",  "3000.0000 1.8574 168.4451",
    "4000.0000 2.2928 -172.8527", "5000.0000 2.7808 -156.5003", // bins 1 .. 16/2 - 3
};

TEST(ZMA, FileHoldsTheImpedanceOfEachBinFromOneToHalfTheSizeLessThree) {
    CTempFolder folder;
    CDSPFFTDataList list;
    MakeZMAList(list);
    EXPECT_EQ(SaveZMA(list, folder.File("d.zma"), "Driver", 8.0), 16);
    EXPECT_EQ(GetFile(folder.File("d.zma")),
              JoinLines(Lines{" * Driver", " * Freq(Hz)  Z(ohms)  Phase(deg)", " * "}, "\r\n") +
                  JoinLines(kZMAData, "\r\n"));

    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyZMA(list, 8.0, clipboard), 16);
    EXPECT_EQ(clipboard.GetText(), JoinLines(kZMAData, "\r\n"));
}

TEST(ZMA, HalfTheDriveAcrossTheDeviceIsTheReferenceResistance) {
    CDSPFFTDataList list;
    list.Create(2, CDSPData::kTimeBlock, 64, 48000.0);
    for (int k = 0; k < 64; ++k) {
        list.GetFreqData(0)[k] = 1.0 + k;
        list.GetPhaseData(0)[k] = 3.0 * k;
        list.GetFreqData(1)[k] = (1.0 + k) / 2.0;
        list.GetPhaseData(1)[k] = 3.0 * k;
    }
    CMemoryClipboard clipboard;
    ASSERT_EQ(CopyZMA(list, 8.0, clipboard), 64);
    std::istringstream lines(*clipboard.GetText());
    double f = 0, z = 0, phase = 0;
    int k = 0;
    while (lines >> f >> z >> phase) {
        ++k;
        EXPECT_DOUBLE_EQ(f, 48000.0 * k / 64);
        EXPECT_DOUBLE_EQ(z, 8.0) << "bin " << k;
        EXPECT_DOUBLE_EQ(phase, 0.0) << "bin " << k;
    }
    EXPECT_EQ(k, 64 / 2 - 3);
}

TEST(ZMA, MatchesADirectComplexComputationOnRandomMeasurements) {
    CDSPFFTDataList list;
    list.Create(2, CDSPData::kTimeBlock, 32, 44100.0);
    unsigned seed = 99;
    auto next = [&] { return (seed = seed * 1103515245u + 12345u) % 10000 / 10000.0; };
    for (int k = 0; k < 32; ++k) {
        list.GetFreqData(0)[k] = 0.2 + next();
        list.GetPhaseData(0)[k] = 720.0 * next() - 360.0;
        list.GetFreqData(1)[k] = 0.2 + next();
        list.GetPhaseData(1)[k] = 720.0 * next() - 360.0;
    }
    list.SetGain(0, 1.5);
    list.SetGain(1, 0.75);
    list.SetDelay(0, 1e-4);
    list.SetDelay(1, -3e-4);
    CMemoryClipboard clipboard;
    ASSERT_EQ(CopyZMA(list, 4.0, clipboard), 32);
    std::istringstream lines(*clipboard.GetText());
    const double perDelay = 360.0 * 44100.0 * 0.5 / 32;
    for (int k = 1; k <= 13; ++k) {
        const double pi = std::acos(-1.0);
        const std::complex<double> v1 = std::polar(
            1.5 * list.GetFreqData(0)[k], (perDelay * 1e-4 + list.GetPhaseData(0)[k]) * pi / 180);
        const std::complex<double> v2 = std::polar(
            0.75 * list.GetFreqData(1)[k], (perDelay * -3e-4 + list.GetPhaseData(1)[k]) * pi / 180);
        const std::complex<double> z = 4.0 * v2 / (v1 - v2);
        double f = 0, magnitude = 0, phase = 0;
        ASSERT_TRUE(lines >> f >> magnitude >> phase) << "bin " << k;
        // Four decimals are written.
        EXPECT_NEAR(magnitude, std::abs(z), 5.1e-5) << "bin " << k;
        EXPECT_NEAR(phase, std::arg(z) * 180 / pi, 5.1e-5) << "bin " << k;
    }
}

TEST(ZMA, NeedsTwoChannelsOfTheListSize) {
    CTempFolder folder;
    CMemoryClipboard clipboard;
    CDSPFFTDataList one;
    one.Create(1, CDSPData::kTimeBlock, 16, 16000.0);
    EXPECT_EQ(SaveZMA(one, folder.File("a.zma"), "x", 8.0), 0);
    EXPECT_EQ(CopyZMA(one, 8.0, clipboard), 0);
    CDSPFFTDataList empty;
    EXPECT_EQ(CopyZMA(empty, 8.0, clipboard), 0);
    EXPECT_FALSE(clipboard.GetText().has_value());
    EXPECT_TRUE(folder.Entries().empty());
}

// A clipboard that cannot be opened copied nothing: the count is 0, so the commands report it.
TEST(ZMA, AClipboardThatRefusesTheTextCopiesNothing) {
    class CClosedClipboard final : public IClipboard {
    public:
        bool SetText(const std::string&) override { return false; }
        std::optional<std::string> GetText() const override { return std::nullopt; }
    } closed;
    CDSPFFTDataList list;
    list.Create(2, CDSPData::kTimeBlock, 8, 8000.0);
    EXPECT_EQ(CopyZMA(list, 8.0, closed), 0);
    EXPECT_EQ(CopyFRDdBSPL(*list.GetAt(0), 1.0, closed), 0);
}

TEST(ZMA, SilentDriveGivesZeroImpedanceInsteadOfNaN) {
    CDSPFFTDataList list;
    list.Create(2, CDSPData::kTimeBlock, 8, 8000.0);
    list.SetGain(0, 0.0);
    list.SetGain(1, 0.0);
    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyZMA(list, 8.0, clipboard), 8);
    EXPECT_EQ(clipboard.GetText(), "1000.0000 0.0000 0.0000\r\n");
}

} // namespace
