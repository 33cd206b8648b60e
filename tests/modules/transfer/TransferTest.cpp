// The transfer function through the virtual loopback card, held against the card's model: the
// response and the delay with every kind of excitation, the coherence against the signal's share
// of the power, the delay modes, the input it must not trust, and what it hands on and exports.
#include "TransferFixture.h"

#include "common/CaseName.h"

#include "modules/logger/DataLoggerView.h"
#include "platform/RecordingCanvas.h"

#include <fstream>
#include <sstream>

namespace {

struct CExcitation {
    std::string name;
    std::string source;
    std::vector<std::string> settings; // of the source; "file" is written by the test
    std::vector<double> (*samples)() = nullptr;
    double coherence = 0.0; // bins below it are not held to the bounds (music leaves gaps)
    double share = 0.0;     // the share of the bins from 50 Hz to 15 kHz that must reach it
};

constexpr int kBlock = 32768;
constexpr int kPasses = 16;

std::vector<double> Music() {
    return MusicLike(size_t(kBlock) * kPasses, 9);
}
std::vector<double> MusicQuiet() {
    std::vector<double> x = Music();
    for (double& v : x)
        v *= 0.05;
    return x;
}

/** The process excited by `e` (its file written into `folder`), run for kPasses passes. */
::testing::AssertionResult RunExcited(CTransferProcess& t, const CExcitation& e,
                                      const CTempFolder& folder,
                                      const std::vector<std::string>& settings) {
    std::vector<std::string> source = e.settings;
    if (e.samples) {
        const std::vector<double> x = e.samples();
        WriteWav(folder.File("x.wav"), x, x);
        source.push_back("file=" + folder.File("x.wav"));
    }
    if (!t.Create(e.source, source, kBlock, settings)) return testing::AssertionFailure();
    if (!t.Run(kPasses))
        return testing::AssertionFailure() << testing::PrintToString(t.P().TakeMessages());
    return testing::AssertionSuccess();
}

class TransferTruth : public testing::TestWithParam<CExcitation> {};

// After 16 passes: magnitude within 0.1 dB and phase within 1 degree of the model from 50 Hz to
// 15 kHz, the delay exact to the sample, whatever the excitation. The default model distorts
// (x^2 and x^3 terms); its cubic term adds 3 c3 var(x) to the linear gain, under 0.01 dB at
// these levels, and its noise and the 16-bit words lower the coherence only slightly.
TEST_P(TransferTruth, MatchesTheCardsModel) {
    const CExcitation& e = GetParam();
    CTransferProcess t{CDeviceModel{}};
    CTempFolder folder;
    ASSERT_TRUE(RunExcited(t, e, folder, {"fft=8192", "meas=Ch1"}));
    EXPECT_EQ(t.Tf().GetInputWarning(), "");
    EXPECT_EQ(t.Tf().GetSpectrum().Passes(), kPasses);
    EXPECT_EQ(t.Tf().GetAlignment(), ModelDelay(t.Model()));
    EXPECT_EQ(std::lround(t.Tf().GetDelay()), ModelDelay(t.Model()));
    EXPECT_THAT(t.P().Session().GetReadouts(3),
                testing::Contains(
                    testing::Field(&CReadoutValue::value, testing::StartsWith("304 samples"))));
    const CCurveErrors err =
        ErrorsAgainstModel(t.Tf().GetCurve(), t.Model(), 50.0, 15000.0, e.coherence);
    std::printf("%-10s magnitude %.4f dB  phase %.3f deg  bins %.0f %%\n", e.name.c_str(), err.db,
                err.degrees, err.share * 100);
    EXPECT_LT(err.db, 0.1);
    EXPECT_LT(err.degrees, 1.0);
    EXPECT_GE(err.share, e.share);
}

/** The generator's `wave` at `level` % on both channels. */
CExcitation Generated(const std::string& wave, int level) {
    const std::string l = "level=" + std::to_string(level);
    return {
        wave, "Signal Generator", {"ch1.wave=" + wave, "ch1." + l, "ch2.wave=" + wave, "ch2." + l}};
}

INSTANTIATE_TEST_SUITE_P(
    Excitations, TransferTruth,
    testing::Values(Generated("White", 50), Generated("MLS", 50), Generated("Pink", 50),
                    CExcitation{"Music", "WAV File Open", {}, &Music, 0.9, 0.8}),
    CaseName());

// With the model's noise at a known level (and no distortion), the coherence of each third of
// an octave agrees within 0.05 with S / (S + N) from the model, per bin: S = |H|^2 Gxx, the
// model's response on the reference's own power, N = sigma^2 sum w^2, the power the noise of
// variance sigma^2 leaves in a bin through the Hann window (3 (M - 1) / 8 for M points). The
// 16-bit words add 1e-10, far below either. 96 segments leave a bias of (1 - g)^2 / 96 at most
// 0.01. The levels put the coherence across 0.5 in the band, for every excitation.
class TransferCoherence : public testing::TestWithParam<CExcitation> {};

TEST_P(TransferCoherence, IsTheSignalsShareOfThePower) {
    CDeviceModel model;
    model.harmonics.clear();
    model.noise = 0.01;
    CTransferProcess t{model};
    CTempFolder folder;
    ASSERT_TRUE(RunExcited(t, GetParam(), folder, {"fft=8192", "meas=Ch1", "threshold=50"}));
    const CTransferView::CCurve& c = t.Tf().GetCurve();
    const std::vector<double>& gxx = t.Tf().GetSpectrum().Averaged().xx;
    const double noise = model.noise * model.noise * 3.0 * (c.fftSize - 1) / 8.0;
    double lowest = 1.0, highest = 0.0;
    double worst = 0.0;
    // Third octaves, widened to 16 bins at least: a single bin's estimate spreads by about
    // sqrt(2 / 96) g (1 - g), 0.04 here.
    const double bin = double(kRate) / c.fftSize;
    for (double f1 = 50.0, f2 = 0.0; f1 < 15000.0; f1 = f2) {
        f2 = std::max(f1 * std::cbrt(2.0), f1 + 16 * bin);
        double measured = 0.0, theory = 0.0;
        int bins = 0;
        for (size_t k = size_t(std::ceil(f1 / bin)); k * bin < f2; ++k) {
            const double s = double(std::norm(ModelResponse(model, k * bin))) * gxx[k];
            measured += c.coherence[k];
            theory += s / (s + noise);
            ++bins;
        }
        EXPECT_NEAR(measured / bins, theory / bins, 0.05) << "third-octave from " << f1 << " Hz";
        worst = std::max(worst, std::fabs(measured - theory) / bins);
        lowest = std::min(lowest, theory / bins);
        highest = std::max(highest, theory / bins);
    }
    std::printf("%-10s coherence: largest error %.4f over %.2f .. %.2f\n", GetParam().name.c_str(),
                worst, lowest, highest);
    // The case covers a range of coherence, not one value.
    EXPECT_LT(lowest, 0.4);
    EXPECT_GT(highest, 0.6);

    // Drawn: the magnitude breaks off where the coherence is below the threshold (the line
    // does not run through the blanked bins), and coherence and impulse response read as plain
    // numbers from 0 to 1, not volts.
    CRecordingCanvas canvas;
    t.Tf().OnDraw(canvas, {0, 0, 1200, 900});
    const auto lines = canvas.OpsOf(CRecordingCanvas::EOp::polyline);
    ASSERT_FALSE(lines.empty());
    EXPECT_GT(std::count_if(lines.begin(), lines.end(),
                            [&](const auto& l) { return l.clip == lines[0].clip; }),
              1);
    std::vector<std::string> texts;
    for (const auto& op : canvas.OpsOf(CRecordingCanvas::EOp::text))
        texts.push_back(op.text);
    EXPECT_THAT(texts, testing::Not(testing::Contains(testing::EndsWith("V"))));
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "0.5"), 2);
}

INSTANTIATE_TEST_SUITE_P(Excitations, TransferCoherence,
                         testing::Values(Generated("White", 5), Generated("Pink", 4),
                                         Generated("MLS", 5),
                                         CExcitation{"Music", "WAV File Open", {}, &MusicQuiet}),
                         CaseName());

// Third-octave smoothing of a comb (a 0.4 echo 20 samples late: notches every 2.4 kHz) gives
// the power mean of the model's |H| over each band f 2^(+-1/6), integrated here in long double;
// where the band holds whole periods of the comb, that is far from |H| at f itself.
TEST(Transfer, SmoothingIsThePowerMeanOfTheModelOverTheBand) {
    CDeviceModel model;
    model.harmonics.clear();
    model.response.assign(21, 0.0);
    model.response.front() = 0.6;
    model.response.back() = 0.4;
    CTransferProcess t{model};
    ASSERT_TRUE(t.Create("Signal Generator", {"ch1.wave=Pink", "ch1.level=50"}, kBlock,
                         {"fft=8192", "meas=Ch1", "smooth=1/3"}));
    ASSERT_TRUE(t.Run(8));
    const CTransferView::CCurve& c = t.Tf().GetCurve();
    const double bin = double(kRate) / c.fftSize;
    double farthest = 0.0;
    for (double f : {100.0, 1000.0, 5000.0, 12000.0}) {
        const double fk = std::round(f / bin) * bin;
        const long double f1 = fk / std::exp2(1.0 / 6), f2 = fk * std::exp2(1.0 / 6);
        long double power = 0.0L;
        constexpr int kSteps = 4000;
        for (int i = 0; i < kSteps; ++i)
            power += std::norm(ModelResponse(model, double(f1 + (f2 - f1) * (i + 0.5L) / kSteps)));
        const double db = double(10.0L * std::log10(power / kSteps));
        EXPECT_NEAR(c.magnitudeDb[size_t(std::lround(fk / bin))], db, 0.1) << f << " Hz";
        farthest =
            std::max(farthest,
                     std::fabs(db - 20.0 * std::log10(double(std::abs(ModelResponse(model, fk))))));
    }
    EXPECT_GT(farthest, 3.0);
}

// The delay modes: Auto finds the card's delay and takes it out before the spectra (plus the
// offset, which the response then shows as what is left); Manual takes out the offset alone.
// Either way the readout is the whole delay from the response's peak, and the phase shown with
// the delay found taken out is the model's; a system that inverts reads "inverted", its phase
// still the model's (180 degrees from the non-inverting one's).
TEST(Transfer, DelayModesOffsetAndPolarity) {
    struct CCase {
        const char* mode;
        const char* offsetMs;
        int alignment;   // besides the model's delay
        bool modelPhase; // the phase shown is the model's own
        double gain;
    };
    const CCase cases[] = {
        {"Auto", "0", 0, true, 0.5},
        {"Auto", "0", 0, true, -0.5},
        {"Auto", "1", 48, true, 0.5},
        {"Manual", "0", -ModelDelay(CDeviceModel{}), false, 0.5},
        {"Manual", "6.3333333", 0, true, 0.5},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + c.offsetMs + " " + std::to_string(c.gain));
        CDeviceModel model;
        model.gain = c.gain;
        CTransferProcess t{model};
        ASSERT_TRUE(t.Create("Signal Generator", {"ch1.wave=White", "ch1.level=50"}, kBlock,
                             {"fft=8192", "meas=Ch1", std::string("delay=") + c.mode,
                              std::string("offset=") + c.offsetMs}));
        ASSERT_TRUE(t.Run(4));
        EXPECT_EQ(t.Tf().GetAlignment(), ModelDelay(t.Model()) + c.alignment);
        EXPECT_EQ(std::lround(t.Tf().GetDelay()), ModelDelay(t.Model()));
        const CCurveErrors err = ErrorsAgainstModel(t.Tf().GetCurve(), t.Model(), 50.0, 15000.0);
        EXPECT_EQ(err.degrees < 1.0, c.modelPhase) << err.degrees;
        EXPECT_THAT(
            t.P().Session().GetReadouts(3),
            testing::Contains(testing::AllOf(
                testing::Field(&CReadoutValue::label, "Polarity"),
                testing::Field(&CReadoutValue::value, c.gain < 0 ? "inverted" : "normal"))));
    }
}

// Input the response must not be trusted from: the message says what is wrong, and the curve
// is either not averaged at all or blanked where the coherence shows why.
TEST(Transfer, BadInputIsNamed) {
    struct CCase {
        const char* name;
        std::vector<std::string> source;
        std::vector<std::string> settings;
        double gain;
        const char* message; // a regular expression
        bool averaged;
    };
    const std::vector<CCase> cases{
        {"silent reference",
         {"ch1.wave=White", "ch1.level=0"},
         {"meas=Ch1"},
         0.5,
         "^The reference \\(source signal\\) is silent: nothing to measure against$",
         false},
        // Only the positive half clips, at the largest 16-bit word, 32767 / 32768.
        {"clipped measurement",
         {"ch1.wave=DC+ Square", "ch1.level=50"},
         {"meas=Ch1"},
         4.0,
         "^Ch1 clipped: [0-9]+ samples at full scale; lower the level$",
         true},
        // A file whose channel 1 is channel 2 a hundred samples late, taken the wrong way round.
        {"swapped channels",
         {},
         {"ref=Ch1", "meas=Ch2"},
         0.5,
         "^The measurement leads the reference by 100 samples: are the reference and the "
         "measurement swapped\\?$",
         false},
        // A tone's response repeats every period: no one delay stands out.
        {"tone",
         {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=50"},
         {"meas=Ch1"},
         0.5,
         "^No single delay stands out: the excitation is too narrow \\(a tone\\?\\) or the "
         "channels are unrelated; use a broadband signal$",
         true},
        {"no signal in the display range",
         {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=50"},
         {"meas=Ch1", "start=5000", "stop=20000"},
         0.5,
         "^The reference has no signal between 5000 Hz and 20000 Hz: widen the display or use "
         "a broadband excitation$",
         true},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.name);
        CDeviceModel model;
        model.gain = c.gain;
        CTransferProcess t{model};
        std::vector<std::string> settings = c.settings;
        settings.push_back("fft=8192");
        CTempFolder folder;
        std::vector<std::string> source = c.source;
        if (source.empty()) {
            const std::vector<double> x = MusicLike(size_t(kBlock) * 8, 3);
            std::vector<double> late(x.size(), 0.0);
            std::copy(x.begin(), x.end() - 100, late.begin() + 100);
            WriteWav(folder.File("swapped.wav"), late, x);
            source.push_back("file=" + folder.File("swapped.wav"));
        }
        ASSERT_TRUE(t.Create(c.source.empty() ? "WAV File Open" : "Signal Generator", source,
                             kBlock, settings));
        ASSERT_TRUE(t.Run(8));
        EXPECT_THAT(t.Tf().GetInputWarning(), testing::MatchesRegex(c.message));
        EXPECT_THAT(t.P().Session().GetReadouts(3),
                    testing::Contains(testing::Field(&CReadoutValue::label, "Check")));
        EXPECT_EQ(t.Tf().GetSpectrum().Passes() > 0, c.averaged);
        EXPECT_EQ(t.Tf().GetCurve().coherence.empty(), !c.averaged);
        // Nothing is drawn where the reference has nothing, and no delay is claimed.
        if (std::string(c.name) == "no signal in the display range") {
            for (const auto* shown : {&t.Tf().GetShownMagnitude(), &t.Tf().GetShownPhase()})
                for (size_t k = 5000 * 8192 / kRate + 1; k < shown->size(); ++k)
                    ASSERT_TRUE(std::isnan((*shown)[k])) << k;
            EXPECT_FALSE(t.Tf().IsDelayKnown());
        }
    }
}

// What a run cannot measure is refused before it starts, with the reason.
TEST(Transfer, RefusesRunsItCannotMeasure) {
    struct CCase {
        std::vector<std::string> steps;
        std::vector<std::string> settings;
        const char* message;
    };
    const std::vector<CCase> cases{
        {{"Signal Generator", "Transfer Function"},
         {"ref=Ch2", "meas=Ch2"},
         "The reference and the measurement are the same channel: choose another"},
        {{"Signal Generator", "Transfer Function"},
         {"fft=65536"},
         "FFT size 65536 is longer than the block of 32768 samples: choose a smaller FFT size "
         "or a larger block"},
        {{"SoundIO", "Transfer Function"},
         {},
         "No step before this one hands on the signal it sends: put a signal generator or a "
         "WAV file before it, or choose Ch1 or Ch2 as the reference"},
        {{"Signal Generator", "Transfer Function"},
         {"start=2000", "stop=1000"},
         "The display's start frequency must lie below its stop frequency"},
    };
    for (const CCase& c : cases) {
        CModuleProcess p;
        ASSERT_TRUE(p.Create(c.steps, kBlock, kRate));
        const int step = int(c.steps.size());
        p.Set(step, c.settings);
        EXPECT_EQ(p.Step(step).CheckRunSettings(), c.message);
        EXPECT_FALSE(p.Pass());
        EXPECT_THAT(p.TakeMessages(), testing::Contains(std::string(c.message)));
    }
}

/** The data line of `path` (after `skip` lines) for bin k, split at `separator`. */
std::vector<double> DataLine(const std::string& path, size_t skip, size_t k, char separator) {
    std::ifstream in(path);
    std::string line;
    for (size_t i = 0; i <= skip + k && std::getline(in, line); ++i) {}
    std::vector<double> values;
    std::stringstream fields(line);
    for (std::string field; std::getline(fields, field, separator);)
        values.push_back(std::stod(field));
    return values;
}

// The response exported (FRD: frequency, dB, degrees; CSV with the coherence) and logged by the
// data logger, each against the model at 1 kHz (bin 171 of 8192, bin 684 of the 32768-sample
// block the logger keeps).
TEST(Transfer, ExportsAndTheLoggerHoldTheResponse) {
    CTransferProcess t{CDeviceModel{}};
    ASSERT_TRUE(t.Create("Signal Generator", {"ch1.wave=White", "ch1.level=50"}, kBlock,
                         {"fft=8192", "meas=Ch1"}, {"DataLogger"}));
    ASSERT_TRUE(t.Run(kPasses));
    const double f = 171.0 * kRate / 8192;
    const std::complex<long double> h = ModelResponse(t.Model(), f);
    const double db = double(20.0L * std::log10(std::abs(h)));
    const double degrees = double(std::arg(h)) * 180.0 / std::numbers::pi;

    CTempFolder folder;
    ASSERT_TRUE(t.Tf().SaveFrd(folder.File("h.frd")));
    std::ifstream frd(folder.File("h.frd"));
    std::string first;
    std::getline(frd, first);
    EXPECT_EQ(first, " * Aurivo transfer function\r");
    std::vector<double> v = DataLine(folder.File("h.frd"), 3, 171, ' ');
    ASSERT_EQ(v.size(), 3u);
    EXPECT_NEAR(v[0], f, 1e-4);
    EXPECT_NEAR(v[1], db, 0.1);
    EXPECT_NEAR(v[2], degrees, 1.0);
    EXPECT_EQ(DataLine(folder.File("h.frd"), 3, 4095, ' ').size(), 3u);
    EXPECT_TRUE(DataLine(folder.File("h.frd"), 3, 4096, ' ').empty());

    ASSERT_TRUE(t.Tf().SaveCsv(folder.File("h.csv")));
    std::ifstream csv(folder.File("h.csv"));
    std::getline(csv, first);
    EXPECT_EQ(first, "Frequency (Hz),Magnitude (dB),Phase (deg),Coherence\r");
    v = DataLine(folder.File("h.csv"), 1, 171, ',');
    ASSERT_EQ(v.size(), 4u);
    EXPECT_NEAR(v[0], f, 1e-5);
    EXPECT_NEAR(v[1], db, 0.1);
    EXPECT_NEAR(v[2], degrees, 1.0);
    EXPECT_GT(v[3], 0.99);
    EXPECT_EQ(DataLine(folder.File("h.csv"), 1, 4096, ',').size(), 4u);

    const CDataLoggerView& logger = t.P().Step<CDataLoggerView>(4);
    ASSERT_EQ(logger.GetLog()->GetCount(), kPasses);
    const CDSPFFTDataList& plot = *logger.GetLog()->GetAt(kPasses - 1);
    EXPECT_NEAR(20.0 * std::log10(plot.GetAt(0)->GetFreqObj()->GetDataPointer()[684]), db, 0.1);
    EXPECT_NEAR(plot.GetAt(0)->GetPhaseObj()->GetDataPointer()[684], degrees, 1.0);
    EXPECT_GT(plot.GetAt(1)->GetFreqObj()->GetDataPointer()[684], 0.99);
}

} // namespace
