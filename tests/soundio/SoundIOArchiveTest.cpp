// The SoundIO step's part of a process file against bytes built by hand from its layout: the
// step's settings, the response's shape, the calibration record (texts, ints and doubles in
// field order, the frequency type after the latency fields) and the response list as an
// archived object. Every field holds a value of its own, so a reader that swapped two fields
// reads a wrong value, and a writer that swapped them writes other bytes.
#include "SoundIOTestProcess.h"
#include "base/Archive.h"
#include "common/ArchiveBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr int kSize = 4;
constexpr double kRate = 48000.0;

// The response list's values, channel by channel: time, magnitude, phase.
const std::vector<double> kValues[2][3] = {
    {{0.5, -0.25, 0.125, 0.0}, {1.0, 2.0, 3.0, 4.0}, {10.0, -20.0, 30.0, -40.0}},
    {{-0.5, 0.25, 0.0, 0.75}, {5.0, 6.0, 7.0, 8.0}, {-1.0, 1.0, -2.0, 2.0}}};

// The level fields of one channel, each different from the other channel's.
void LevelBytes(CArchiveBytes& b, int c) {
    const std::string ch = "Ch" + std::to_string(c + 1);
    b.Text(c == 0 ? "2.5000 Vpk" : "0.7500 Vrms")
        .I32(47 + c)
        .F64(0.5 + c)
        .I32(11 + c)
        .I32(-21 - c)
        .Text(ch + " level out")
        .Text(ch + " level in")
        .Text(ch + " mixer")
        .Text(ch + " source")
        .I32(49152 + c)
        .Text(ch + " destination")
        .I32(1 - c);
}

/** The step's stored part: view, settings, shape, record and response (indices: view class 1,
 *  step class 2, record class 3, list class 4 and object 5, block class 6, ...). */
std::vector<uint8_t> StepBytes() {
    CArchiveBytes b;
    b.NewClass("CDspView").I32(2);
    b.NewClass("CSoundIOView").I32(0).I32(0).I32(0).I32(2).I32(30).I32(-7);
    b.Text("/opt/mixer").Text("mixer-gui").Text("");
    b.I32(3).I32(1).I32(3).I32(10).I32(1).I32(1);
    b.I32(2).I32(1).I32(kSize).F64(kRate); // the response's shape
    b.NewClass("CCalibration");
    b.Text("/home/u/thd.process").Text("/home/u/card.calibration").Text("Latency").Text("Vrms");
    LevelBytes(b, 0);
    LevelBytes(b, 1);
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        b.Text(ch + " latency out").Text(ch + " latency in");
        b.Text(c == 0 ? "0.00633333 Sec." : "0.00635417 Sec.").I32(c);
    }
    b.Text("MLS");
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        b.Text(ch + " freq out").Text(ch + " freq in").Text(ch + " MLS 4").I32(1 - c);
    }
    b.Text("an earlier error");
    // The response: a reference to a new list object, whose own record follows as a
    // back-reference, then its header and the blocks as an object list.
    b.NewClass("CDSPFFTDataList").ClassRef(4).I32(1).I32(kSize).F64(kRate).I32(2).U16(2);
    for (int c = 0; c < 2; ++c) {
        if (c == 0)
            b.NewClass("CDSPFFTData");
        else
            b.ClassRef(6);
        b.ClassRef(6).I32(1).I32(kSize).F64(kRate).F64(1.0).F64(0.0);
        for (int a = 0; a < 3; ++a) {
            if (c == 0 && a == 0)
                b.NewClass("CDSPData");
            else
                b.ClassRef(8);
            b.ClassRef(8).I32(1).I32(kSize).F64(kRate);
            for (double v : kValues[c][a])
                b.F64(v);
        }
        b.Text(c == 0 ? "" : "ch2 text");
    }
    return b.Get();
}

TEST(SoundIOArchive, HandBuiltStepReadsToItsValuesAndIsWrittenBackByteForByte) {
    CSoundIOTestApp t;
    CDspDoc* doc = t.NewProcess({"SoundIO"}, kSize, int(kRate));
    ASSERT_NE(doc, nullptr);
    auto& step = StepAs<CSoundIOView>(*doc, 0);
    CArchive in(StepBytes());
    step.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);

    EXPECT_EQ(step.GetSelectedChannel(), 2);
    EXPECT_EQ(step.GetTriggerMode(), CSoundIOView::kManual);
    EXPECT_EQ(step.GetTriggerLevel(), 30);
    EXPECT_EQ(step.GetTriggerOffset(), -7);
    EXPECT_EQ(step.GetMode(), CSoundIOView::kRecordPlay);
    const CCalibration& r = *step.GetCalibration();
    EXPECT_EQ(r.ProcessName, "/home/u/thd.process");
    EXPECT_EQ(r.PathName, "/home/u/card.calibration");
    EXPECT_EQ(r.CalSel, "Latency");
    EXPECT_EQ(r.MeasSel, "Vrms");
    for (int c = 0; c < 2; ++c) {
        const std::string ch = "Ch" + std::to_string(c + 1);
        const CLevelCal& l = r.Level[c];
        EXPECT_EQ(l.FullScaleLevelParams, c == 0 ? "2.5000 Vpk" : "0.7500 Vrms");
        EXPECT_EQ(l.PeakSampleLevel, 47 + c);
        EXPECT_EQ(l.UserInputLevel, 0.5 + c);
        EXPECT_EQ(l.TriggerLevel, 11 + c);
        EXPECT_EQ(l.TriggerOffset, -21 - c);
        EXPECT_EQ(l.LevelOutputDeviceName, ch + " level out");
        EXPECT_EQ(l.LevelInputDeviceName, ch + " level in");
        EXPECT_EQ(l.MixerName, ch + " mixer");
        EXPECT_EQ(l.MixerSource, ch + " source");
        EXPECT_EQ(l.Gain, 49152 + c);
        EXPECT_EQ(l.MixerDestination, ch + " destination");
        EXPECT_EQ(l.InputLevelCalApply, c == 0);
        EXPECT_EQ(r.Latency[c].LatencyOutputDeviceName, ch + " latency out");
        EXPECT_EQ(r.Latency[c].LatencyInputDeviceName, ch + " latency in");
        EXPECT_EQ(r.Latency[c].LatencyParams, c == 0 ? "0.00633333 Sec." : "0.00635417 Sec.");
        EXPECT_EQ(r.Latency[c].LatencyCalApply, c == 1);
        EXPECT_EQ(r.Freq[c].FreqOutputDeviceName, ch + " freq out");
        EXPECT_EQ(r.Freq[c].FreqInputDeviceName, ch + " freq in");
        EXPECT_EQ(r.Freq[c].FreqCalParams, ch + " MLS 4");
        EXPECT_EQ(r.Freq[c].FreqCalApply, c == 0);
    }
    EXPECT_EQ(r.FreqCalTypeSel, "MLS");
    EXPECT_EQ(r.ReturnedErrors, "an earlier error");
    CDSPFFTDataList& response = *r.GetFrequencyResponse();
    ASSERT_EQ(response.GetNumChans(), 2);
    for (int c = 0; c < 2; ++c) {
        const double* arrays[3] = {response.GetTimeData(c), response.GetFreqData(c),
                                   response.GetPhaseData(c)};
        for (int a = 0; a < 3; ++a)
            EXPECT_EQ(std::vector<double>(arrays[a], arrays[a] + kSize), kValues[c][a]) << c << a;
    }

    CArchive out;
    step.Serialize(out);
    ASSERT_TRUE(out.Ok()) << out.GetError();
    EXPECT_EQ(out.GetBuffer(), StepBytes());
}

} // namespace
