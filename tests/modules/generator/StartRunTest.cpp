// The checks before a run: every refusal with its message, in the stated order, and the
// boundaries that are just accepted.
#include "GeneratorHarness.h"

#include "dsp/DSPFFTDataList.h"
#include "formats/ClipboardText.h"

namespace {

// 4/fs = 0.0001, 1/fs = 0.000025 and 3/fs = 0.000075 are typed exactly at this rate.
constexpr double kFs = 40000.0;

struct CRefusal {
    const char* name;
    std::vector<std::string> settings;
    std::string message; // empty: the run starts
};

void PrintTo(const CRefusal& c, std::ostream* os) {
    *os << c.name;
}

class StartRunChecks : public testing::TestWithParam<CRefusal> {};

TEST_P(StartRunChecks, RefusesWithItsMessageOrStarts) {
    const CRefusal& c = GetParam();
    CGeneratorHarness h;
    h.NewProcess(1024, kFs);
    h.Set(c.settings);
    const bool started = h.doc->OnEditRun();
    if (c.message.empty()) {
        EXPECT_TRUE(started);
        EXPECT_EQ(h.Messages(), std::vector<std::string>{});
        return;
    }
    EXPECT_FALSE(started);
    EXPECT_FALSE(h.doc->IsRunning());
    EXPECT_EQ(h.Messages(), std::vector<std::string>{c.message});
    ASSERT_FALSE(h.sink.Records().empty());
    EXPECT_TRUE(h.sink.Records()[0].message.starts_with(
        "Error Detected In\r\nStep: 1 Signal Generator\r\n"));
}

const std::vector<std::string> kPulse{"ch1.wave=AC Pulse"};
const std::vector<std::string> kSweep{"ch1.mode=Lin Sweep", "ch1.sweepstart=1000",
                                      "ch1.sweepstop=2000", "ch1.sweeptime=0.5"};

std::vector<std::string> With(std::vector<std::string> base, std::vector<std::string> more) {
    base.insert(base.end(), more.begin(), more.end());
    return base;
}

INSTANTIATE_TEST_SUITE_P(
    Run, StartRunChecks,
    testing::Values(
        CRefusal{"Defaults", {}, ""},
        CRefusal{"NegativeFrequency",
                 {"ch1.freq=-1"},
                 "Ch1 Frequency Out of Range.\n0.0 Hz <= Freq: <= Sample Rate / 2 Hz.\nFreq: -1 Hz "
                 "(limits 0 to 20000 Hz)"},
        CRefusal{"FrequencyAboveHalfRate",
                 {"ch2.freq=20000.01"},
                 "Ch2 Frequency Out of Range.\n0.0 Hz <= Freq: <= Sample Rate / 2 Hz.\nFreq: "
                 "20000.01 Hz (limits 0 to 20000 Hz)"},
        CRefusal{"FrequencyAtHalfRate", {"ch1.freq=20000", "ch2.freq=0"}, ""},
        CRefusal{"FirstChannelWins",
                 {"ch1.freq=-1", "ch2.freq=-1"},
                 "Ch1 Frequency Out of Range.\n0.0 Hz <= Freq: <= Sample Rate / 2 Hz.\nFreq: -1 Hz "
                 "(limits 0 to 20000 Hz)"},
        CRefusal{"FrequencyBeforeSweep", With(kSweep, {"ch1.freq=30000", "ch1.wave=White"}),
                 "Ch1 Frequency Out of Range.\n0.0 Hz <= Freq: <= Sample Rate / 2 Hz.\nFreq: 30000 "
                 "Hz (limits 0 to 20000 Hz)"},
        CRefusal{"PulseSwept", With(kSweep, {"ch1.wave=DC- Pulse180"}),
                 "Ch1 Pulse and White Waveforms Cannot be Swept.\nThey have Constant and "
                 "Random Periods."},
        CRefusal{"WhiteSwept",
                 {"ch2.wave=White", "ch2.mode=Exp10Dn Swp"},
                 "Ch2 Pulse and White Waveforms Cannot be Swept.\nThey have Constant and "
                 "Random Periods."},
        CRefusal{"SweepStartZero", With(kSweep, {"ch1.sweepstart=0"}),
                 "Ch1 Sweep Start Frequency Out of Range.\n0.0 Hz <= Sweep Start <= Sample "
                 "Rate / 2 Hz.\nSweep Start: 0 Hz (limits 0 to 20000 Hz)"},
        CRefusal{"SweepStartAboveHalfRate", With(kSweep, {"ch1.sweepstart=20001"}),
                 "Ch1 Sweep Start Frequency Out of Range.\n0.0 Hz <= Sweep Start <= Sample "
                 "Rate / 2 Hz.\nSweep Start: 20001 Hz (limits 0 to 20000 Hz)"},
        CRefusal{"SweepStopZero", With(kSweep, {"ch1.sweepstop=0"}),
                 "Ch1 Sweep Stop Frequency Out of Range.\n0.0 Hz <= Sweep Stop <= Sample "
                 "Rate / 2 Hz.\nSweep Stop: 0 Hz (limits 0 to 20000 Hz)"},
        CRefusal{"SweepStopAtHalfRate", With(kSweep, {"ch1.sweepstop=20000"}), ""},
        CRefusal{"SweepTimeFourSamples", With(kSweep, {"ch1.sweeptime=0.0001"}),
                 "Ch1 Sweep Time Out of Range.\n0.000100 sec < Sweep Time: <= 3600.0 sec.\nSweep "
                 "Time: 0.0001 sec (limits 0.0001 to 3600 sec)"},
        CRefusal{"SweepTimeAboveAnHour", With(kSweep, {"ch1.sweeptime=3600.001"}),
                 "Ch1 Sweep Time Out of Range.\n0.000100 sec < Sweep Time: <= 3600.0 sec.\nSweep "
                 "Time: 3600.001 sec (limits 0.0001 to 3600 sec)"},
        CRefusal{"SweepTimeAnHour", With(kSweep, {"ch1.sweeptime=3600"}), ""},
        CRefusal{"SweepTimeTwoStartPeriods", With(kSweep, {"ch1.sweeptime=0.002"}),
                 "Ch1 Sweep Time < 1 / Sweep Start Frequency."},
        CRefusal{"SweepTimeJustAboveTwoStartPeriods", With(kSweep, {"ch1.sweeptime=0.00201"}), ""},
        CRefusal{"PulseStartAfterPeriod",
                 With(kPulse, {"ch1.pulsestart=0.02", "ch1.pulseperiod=0.01"}),
                 "Ch1 Pulse Start Time > Pulse Period."},
        CRefusal{"PulseStartEqualsStop",
                 With(kPulse, {"ch1.pulsestart=0.004", "ch1.pulsestop=0.004"}),
                 "Ch1 Pulse Start Time <= Pulse Stop Time."},
        CRefusal{"PulseStopNegative",
                 With(kPulse, {"ch1.pulsestart=-0.002", "ch1.pulsestop=-0.001"}),
                 "Ch1 Pulse Stop Time Out of Range\n0.0 sec <= Pulse Stop Time <= 3600.0 "
                 "sec.\nPulse Stop Time: -0.001 sec (limits 0 to 3600 sec)"},
        CRefusal{"PulseStopAboveAnHour",
                 With(kPulse, {"ch1.pulsestop=3601", "ch1.pulseperiod=4000"}),
                 "Ch1 Pulse Stop Time Out of Range\n0.0 sec <= Pulse Stop Time <= 3600.0 "
                 "sec.\nPulse Stop Time: 3601 sec (limits 0 to 3600 sec)"},
        CRefusal{"PulseStopAfterPeriod",
                 With(kPulse, {"ch1.pulsestop=0.02", "ch1.pulseperiod=0.01"}),
                 "Ch1 Pulse Stop Time > Pulse Period."},
        CRefusal{"PulseOneSampleLong", With(kPulse, {"ch1.pulsestart=0", "ch1.pulsestop=0.000025"}),
                 "Ch1 Pulse Start and Pulse Stop Parameters\nLess Than 1 Sample Apart."},
        CRefusal{"PulsePeriodBelowThreeSamples",
                 With(kPulse, {"ch1.pulsestop=0.00006", "ch1.pulseperiod=0.0000725"}),
                 "Ch1 Pulse Period Out of Range\n3 Samples < Pulse Period < 3600.0 sec.\nPulse "
                 "Period: 7.25e-005 sec (limits 7.5e-005 to 3600 sec)"},
        CRefusal{"PulsePeriodThreeSamples",
                 With(kPulse, {"ch1.pulsestop=0.00005", "ch1.pulseperiod=0.000075"}), ""},
        CRefusal{"PulsePeriodAboveAnHour",
                 With(kPulse, {"ch1.pulsestop=1", "ch1.pulseperiod=3600.5"}),
                 "Ch1 Pulse Period Out of Range\n3 Samples < Pulse Period < 3600.0 sec.\nPulse "
                 "Period: 3600.5 sec (limits 7.5e-005 to 3600 sec)"},
        CRefusal{"PulseTimesIgnoredForOtherWaves",
                 {"ch1.pulsestart=0.004", "ch1.pulsestop=0.004", "ch1.sweeptime=0"},
                 ""}),
    [](const auto& info) { return std::string(info.param.name); });

class StartRunClipboard : public testing::Test {
protected:
    CGeneratorHarness h;

    void SetUp() override {
        h.NewProcess(8, kFs);
        h.Set({"ch1.wave=Clipboard"});
    }
    /** Puts `channels` blocks of 8 samples on the clipboard: channel c holds 10 c + i. */
    void PutBlocks(int channels) {
        CDSPFFTDataList source;
        ASSERT_TRUE(source.Create(channels, CDSPData::kTimeBlock, 8, kFs));
        for (int c = 0; c < channels; ++c)
            for (int i = 0; i < 8; ++i)
                source.GetTimeData(c)[i] = 10.0 * (c + 1) + i;
        EXPECT_EQ(ClipboardText::Copy(source, h.app.GetClipboard()), 8 * channels);
    }
};

TEST_F(StartRunClipboard, EmptyClipboardRefusesTheRun) {
    h.app.GetClipboard().SetText("");
    EXPECT_FALSE(h.doc->OnEditRun());
    EXPECT_EQ(h.Messages(),
              std::vector<std::string>{"Ch1 Invalid data on clipboard.\nCannot perform clipboard "
                                       "operation."});
}

TEST_F(StartRunClipboard, BothChannelsPlayTheirOwnBlocks) {
    PutBlocks(2);
    h.Set({"ch2.wave=Clipboard", "ch1.level=50"});
    ASSERT_TRUE(h.doc->OnEditRun());
    EXPECT_TRUE(h.Messages().empty());
    for (int pass = 0; pass < 2; ++pass) {
        ExpectSamples(h.Pass(1), {5, 5.5, 6, 6.5, 7, 7.5, 8, 8.5});
        ExpectSamples(CGeneratorHarness::Samples(*h.doc->GetCurrentList(), 2),
                      {20, 21, 22, 23, 24, 25, 26, 27});
    }
}

TEST_F(StartRunClipboard, ShortClipboardWarnsAndRuns) {
    PutBlocks(1);
    ASSERT_TRUE(h.doc->OnEditRun());
    EXPECT_EQ(h.Messages(), std::vector<std::string>{
                                "Ch1 Clipboard data size < Signal Generator data Size.\nSignal "
                                "Generator data may be truncated."});
    ExpectSamples(h.Pass(1), {10, 11, 12, 13, 14, 15, 16, 17});
}

TEST_F(StartRunClipboard, LongClipboardWarnsAndRuns) {
    PutBlocks(3);
    ASSERT_TRUE(h.doc->OnEditRun());
    EXPECT_EQ(h.Messages(),
              std::vector<std::string>{"Ch1 Clipboard data size > Signal Generator data Size.\n"
                                       "Clipboard data may be lost."});
    ExpectSamples(h.Pass(1), {10, 11, 12, 13, 14, 15, 16, 17});
}

} // namespace
