// Every built-in module, configured away from its defaults: each setting it lists is taken back
// by its id and by its label as the command line reads them, and a saved file opens with every
// setting as it was.
#include "common/CaseName.h"
#include "common/ModuleProcess.h"
#include "common/TempFolder.h"

namespace {

struct CModuleCase {
    const char* name;
    std::string module;
    std::vector<std::string> changes;
};

class BuiltInSettings : public testing::TestWithParam<CModuleCase> {};

TEST_P(BuiltInSettings, AreTakenBackAsListedAndSurviveAFile) {
    CModuleProcess p;
    ASSERT_TRUE(p.Create({GetParam().module}, 2048, 44100.0));
    p.Set(1, GetParam().changes);
    const std::vector<CSettingValue> listed = p.Session().GetSettings(1);
    for (const CSettingValue& s : listed)
        for (const std::string& name : {s.id, s.label}) {
            std::string error;
            EXPECT_TRUE(p.Session().SetControl(1, name, s.value, error)) << error;
        }
    EXPECT_EQ(p.Session().GetSettings(1), listed);

    CTempFolder folder;
    ASSERT_TRUE(p.Save(folder.File("m.process")));
    CModuleProcess opened;
    ASSERT_TRUE(opened.Open(folder.File("m.process")));
    EXPECT_EQ(opened.Session().GetSettings(1), listed);
}

INSTANTIATE_TEST_SUITE_P(
    Modules, BuiltInSettings,
    testing::Values(
        CModuleCase{"Generator",
                    "Signal Generator",
                    {"ch1.wave=Down Ramp180", "ch1.freq=2205.5",       "ch1.mode=Exp10Dn Swp",
                     "ch1.level=33",          "ch1.sweepstart=100",    "ch1.sweepstop=10000.25",
                     "ch1.sweeptime=0.75",    "ch1.pulsestart=0.0015", "ch1.pulsestop=0.0035",
                     "ch1.pulseperiod=0.008", "ch2.wave=DC- Pulse",    "ch2.freq=0",
                     "ch2.mode=Single Shot",  "ch2.level=0",           "ch2.sweepstart=1",
                     "ch2.sweepstop=2",       "ch2.sweeptime=3",       "ch2.pulsestart=0.25",
                     "ch2.pulsestop=0.5",     "ch2.pulseperiod=1e0"}},
        CModuleCase{"Oscilloscope",
                    "Oscilloscope",
                    {"ch1.disp", "tdivdown", "ch2.posup", "xposdown", "ch2.avg=64", "ch1.vdivup",
                     "ch2.disp"}},
        CModuleCase{"Analyser",
                    "Spectrum Analyzer",
                    {"xaxis=Log20.",   "startup",  "startup",   "stopdn",         "yaxis=| Z |",
                     "scaleup",        "ref1=8.2", "ref2=12.5", "type=XCorr/FFT", "window=Hamming",
                     "plot=Lined Bar", "avg=64",   "smooth=3",  "freqcal=1",      "thdharm=HD3",
                     "thddb=1",        "noise=A",  "imd=CCIF",  "unit=dBV",       "sens=12.5"}},
        CModuleCase{"DataLogger",
                    "DataLogger",
                    {"xaxis=F2Log10", "startup", "stopdn", "tdiv=2 mS/Div", "hpos=40",
                     "y1axis=| Z |", "y1scaleup", "y1ref=8.2", "y2axis=dBRel", "y2scaledn",
                     "y2ref=500", "plot=Plot3", "displaymode=Merge", "mergefreq=2000"}},
        CModuleCase{"WavSave",
                    "WAV File Save",
                    {"file=take.wav", "rate=48000", "bits=8", "channels=1", "appendmode=On"}},
        CModuleCase{"WavOpenWithoutFile", "WAV File Open", {}},
        CModuleCase{"RTA",
                    "RTA",
                    {"bands=1/12", "weighting=C", "avg=N blocks", "blocks=16", "unit=dBV",
                     "sens=12.5", "peak=0", "decay=3", "maxmin=1", "display=Line", "top=-12",
                     "scale=5 dB/Div", "calch=Ch2"}},
        CModuleCase{"SoundIO",
                    "SoundIO",
                    {"mode=Play", "trigger=Latency", "trglev=35", "offset=-12", "repeat=16",
                     "res=8", "chan=1", "warnings=1", "ch2.freqapply=1", "ch1.levelapply=0"}},
        CModuleCase{"TransferFunction",
                    "Transfer Function",
                    {"ref=Ch2", "meas=Ch1", "fft=1024", "overlap=75%", "window=Blackman",
                     "avg=Exponential", "navg=64", "delay=Manual", "offset=-2.5", "threshold=55.5",
                     "smooth=1/3", "start=31.5", "stop=16000", "magscale=3", "phasescale=15"}}),
    CaseName());

} // namespace
