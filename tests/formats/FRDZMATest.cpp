// FRD (level per bin) and ZMA (impedance) tables as files and clipboard text. Expected values
// were computed independently (Python's math and cmath) and are written out here.
#include "formats/FRDZMA.h"

#include "common/ClosedClipboard.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"
#include "dsp/DSPFFTDataList.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(FRD, FileHasTheTitleHeaderAndOneLinePerBinBelowHalfTheSize) {
    // Block of 8 at 8000/s with gain 2: x = 2 * m / (1 V / 8) = 16 m, level 20 log10(x) + 94.
    const std::vector<double> magnitude = {1.0, 0.5, 0.0, 1e-3, 9, 9, 9, 9};
    const std::vector<double> phase = {0.0, -45.5, 90.25, 180.0, 9, 9, 9, 9};
    CDSPFFTData block;
    block.Create(CDSPData::kTimeBlock, 8, 8000.0);
    block.Fill(8, nullptr, magnitude.data(), phase.data());
    block.SetGain(2.0);
    const std::string data = "0.0000 118.0824 0.0000\r\n1000.0000 112.0618 -45.5000\r\n"
                             "2000.0000 -6059.0531 90.2500\r\n" // silence: the least normal
                             "3000.0000 58.0824 180.0000\r\n";
    CTempFolder folder;
    EXPECT_EQ(SaveFRDdBSPL(block, folder.File("a.frd"), "Woofer 1", 1.0), 8);
    EXPECT_EQ(GetFile(folder.File("a.frd")),
              " * Woofer 1\r\n * Freq(Hz)  SPL(db)  Phase(deg)\r\n * \r\n" + data);
    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyFRDdBSPL(block, 1.0, clipboard), 4);
    EXPECT_EQ(clipboard.GetText(), data);
}

TEST(ZMA, FileHoldsTheImpedanceOfEachBinFromOneToHalfTheSizeLessThree) {
    // Size 16 at 16000/s, R = 8: channel 1 drives 1 V at 10 degrees (gain 2, magnitude 0.5,
    // delay 0.001 = 180 degrees), channel 2 has 0.1 k V at 10 + 25 k degrees (delay 0.0015 =
    // 270 degrees).
    CDSPFFTDataList list;
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
    const std::string data = "1000.0000 0.7647 119.9697\r\n2000.0000 1.3789 146.3610\r\n"
                             "3000.0000 1.8574 168.4451\r\n4000.0000 2.2928 -172.8527\r\n"
                             "5000.0000 2.7808 -156.5003\r\n";
    CTempFolder folder;
    EXPECT_EQ(SaveZMA(list, folder.File("d.zma"), "Driver", 8.0), 16);
    EXPECT_EQ(GetFile(folder.File("d.zma")),
              " * Driver\r\n * Freq(Hz)  Z(ohms)  Phase(deg)\r\n * \r\n" + data);
    CMemoryClipboard clipboard;
    EXPECT_EQ(CopyZMA(list, 8.0, clipboard), 16);
    EXPECT_EQ(clipboard.GetText(), data);
}

// A divider of the reference resistance and the device: half the drive across the device is
// an impedance of the reference resistance at zero phase, whatever the level and phase.
TEST(ZMA, HalfTheDriveAcrossTheDeviceIsTheReferenceResistance) {
    CDSPFFTDataList list;
    list.Create(2, CDSPData::kTimeBlock, 64, 48000.0);
    for (int k = 0; k < 64; ++k) {
        list.GetFreqData(0)[k] = 1.0 + k;
        list.GetFreqData(1)[k] = (1.0 + k) / 2.0;
        list.GetPhaseData(0)[k] = list.GetPhaseData(1)[k] = 3.0 * k;
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

    // A silent drive gives zero impedance instead of NaN.
    list.SetGain(-1, 0.0);
    EXPECT_EQ(CopyZMA(list, 8.0, clipboard), 64);
    EXPECT_EQ(clipboard.GetText()->substr(0, 24), "750.0000 0.0000 0.0000\r\n");
    EXPECT_EQ(clipboard.GetText()->find("nan"), std::string::npos);
}

// Nothing to write or a clipboard that refuses the text: the count is 0, so the commands say so.
TEST(FRDZMA, WriteNothingWithoutArraysTwoChannelsOrAClipboard) {
    CTempFolder folder;
    CMemoryClipboard clipboard;
    CDSPFFTData block;
    CDSPFFTDataList empty, one, two;
    EXPECT_EQ(SaveFRDdBSPL(block, folder.File("a.frd"), "x", 1.0), 0);
    EXPECT_EQ(CopyFRDdBSPL(block, 1.0, clipboard), 0);
    one.Create(1, CDSPData::kTimeBlock, 16, 16000.0);
    EXPECT_EQ(SaveZMA(one, folder.File("a.zma"), "x", 8.0), 0);
    EXPECT_EQ(CopyZMA(empty, 8.0, clipboard), 0);
    EXPECT_FALSE(clipboard.GetText().has_value());
    EXPECT_TRUE(folder.Entries().empty());
    CClosedClipboard closed;
    two.Create(2, CDSPData::kTimeBlock, 8, 8000.0);
    EXPECT_EQ(CopyZMA(two, 8.0, closed), 0);
    EXPECT_EQ(CopyFRDdBSPL(*two.GetAt(0), 1.0, closed), 0);
}

} // namespace
