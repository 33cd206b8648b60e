// The checks before a run: every refusal with its message, in the stated order, the boundaries
// that are just accepted, and the clipboard wave.
#include "Generator.h"
#include "common/CaseName.h"

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

class StartRunChecks : public testing::TestWithParam<CRefusal> {};

// The run refuses with the message, and the check the command line makes before saving
// refuses with the same one.
TEST_P(StartRunChecks, RefusesWithItsMessageOrStarts) {
    const CRefusal& c = GetParam();
    CModuleProcess p;
    MakeGenerators(p, 1024, kFs);
    p.Set(1, c.settings);
    EXPECT_EQ(p.Step(1).CheckRunSettings(), c.message);
    EXPECT_EQ(p.Doc().OnEditRun(), c.message.empty());
    EXPECT_EQ(p.Doc().IsRunning(), c.message.empty());
    EXPECT_EQ(p.TakeMessages(),
              c.message.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.message});
}

std::vector<std::string> Sweep(std::vector<std::string> more) {
    more.insert(more.begin(), {"ch1.mode=Lin Sweep", "ch1.sweepstart=1000", "ch1.sweepstop=2000",
                               "ch1.sweeptime=0.5"});
    return more;
}
std::vector<std::string> Pulse(std::vector<std::string> more) {
    more.insert(more.begin(), "ch1.wave=AC Pulse");
    return more;
}
std::string Range(const std::string& what, const std::string& rule, const std::string& value) {
    return what + " Out of Range.\n" + rule + "\n" + value;
}
const std::string kFreq = "0.0 Hz <= Freq: <= Sample Rate / 2 Hz.";
const std::string kPulseStop = "Ch1 Pulse Stop Time Out of Range\n0.0 sec <= Pulse Stop Time "
                               "<= 3600.0 sec.\nPulse Stop Time: ";
const std::string kPeriod = "Ch1 Pulse Period Out of Range\n3 Samples < Pulse Period < 3600.0 "
                            "sec.\nPulse Period: ";
const std::string kSwept = " Pulse and White Waveforms Cannot be Swept.\nThey have Constant and "
                           "Random Periods.";

const CRefusal kRefusals[] = {
    {"Defaults", {}, ""},
    {"NegativeFrequency",
     {"ch1.freq=-1"},
     Range("Ch1 Frequency", kFreq, "Freq: -1 Hz (limits 0 to 20000 Hz)")},
    {"FrequencyAboveHalfRate",
     {"ch2.freq=20000.01"},
     Range("Ch2 Frequency", kFreq, "Freq: 20000.01 Hz (limits 0 to 20000 Hz)")},
    {"FrequencyAtHalfRate", {"ch1.freq=20000", "ch2.freq=0"}, ""},
    {"FirstChannelWins",
     {"ch1.freq=-1", "ch2.freq=-1"},
     Range("Ch1 Frequency", kFreq, "Freq: -1 Hz (limits 0 to 20000 Hz)")},
    {"PulseSwept", Sweep({"ch1.wave=DC- Pulse180"}), "Ch1" + kSwept},
    {"SweepStartZero", Sweep({"ch1.sweepstart=0"}),
     Range("Ch1 Sweep Start Frequency", "0.0 Hz <= Sweep Start <= Sample Rate / 2 Hz.",
           "Sweep Start: 0 Hz (limits 0 to 20000 Hz)")},
    {"SweepTimeFourSamples", Sweep({"ch1.sweeptime=0.0001"}),
     Range("Ch1 Sweep Time", "0.000100 sec < Sweep Time: <= 3600.0 sec.",
           "Sweep Time: 0.0001 sec (limits 0.0001 to 3600 sec)")},
    {"SweepTimeAnHour", Sweep({"ch1.sweeptime=3600"}), ""},
    {"SweepTimeTwoStartPeriods", Sweep({"ch1.sweeptime=0.002"}),
     "Ch1 Sweep Time < 1 / Sweep Start Frequency."},
    {"SweepTimeJustAboveTwoStartPeriods", Sweep({"ch1.sweeptime=0.00201"}), ""},
    {"PulseStartAfterPeriod", Pulse({"ch1.pulsestart=0.02", "ch1.pulseperiod=0.01"}),
     "Ch1 Pulse Start Time > Pulse Period."},
    {"PulseStartEqualsStop", Pulse({"ch1.pulsestart=0.004", "ch1.pulsestop=0.004"}),
     "Ch1 Pulse Start Time <= Pulse Stop Time."},
    {"PulseStopNegative", Pulse({"ch1.pulsestart=-0.002", "ch1.pulsestop=-0.001"}),
     kPulseStop + "-0.001 sec (limits 0 to 3600 sec)"},
    {"PulseStopAfterPeriod", Pulse({"ch1.pulsestop=0.02", "ch1.pulseperiod=0.01"}),
     "Ch1 Pulse Stop Time > Pulse Period."},
    {"PulseOneSampleLong", Pulse({"ch1.pulsestart=0", "ch1.pulsestop=0.000025"}),
     "Ch1 Pulse Start and Pulse Stop Parameters\nLess Than 1 Sample Apart."},
    {"PulsePeriodBelowThreeSamples", Pulse({"ch1.pulsestop=0.00006", "ch1.pulseperiod=0.0000725"}),
     kPeriod + "7.25e-005 sec (limits 7.5e-005 to 3600 sec)"},
    {"PulsePeriodThreeSamples", Pulse({"ch1.pulsestop=0.00005", "ch1.pulseperiod=0.000075"}), ""},
    {"PinkSwept", Sweep({"ch1.wave=Pink"}),
     "Ch1 Pink Noise Plays a New Block Every Pass.\nSet the Mode to Constant."},
    {"PinkSingleShot",
     {"ch2.wave=Pink", "ch2.mode=Single Shot"},
     "Ch2 Pink Noise Plays a New Block Every Pass.\nSet the Mode to Constant."},
    {"PinkConstPhsAnyFrequency", {"ch1.wave=Pink", "ch1.mode=Const Phs", "ch1.freq=-1"}, ""},
    {"PulseTimesIgnoredForOtherWaves",
     {"ch1.pulsestart=0.004", "ch1.pulsestop=0.004", "ch1.sweeptime=0"},
     ""},
};

INSTANTIATE_TEST_SUITE_P(Run, StartRunChecks, testing::ValuesIn(kRefusals), CaseName());

} // namespace
