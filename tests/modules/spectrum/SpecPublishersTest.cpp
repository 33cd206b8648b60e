// The analyser finds the reference signal and the frequency calibration it needs by what the
// steps before it publish, never by their module name or class: a step of any name, a plug-in's
// too, may offer them.
#include "SpecFixture.h"

#include "process/FrequencyCalibration.h"

#include <memory>

namespace {

using Lines = std::vector<std::string>;

/** A pattern source under a name of its own that publishes a frequency calibration: a response
 *  of 4 on channel 1 (applied) and of 2 on channel 2 (not applied). */
class CCalibratedSource : public CPatternSource, private IFrequencyCalibration {
public:
    bool publishes = true;
    std::string fault; // not empty: the calibration does not fit, for this reason

    IFrequencyCalibration* GetPublishedFrequencyCalibration() override {
        return publishes ? this : nullptr;
    }

private:
    bool CheckFrequencyCalibration(std::string& why) override {
        why = fault;
        return fault.empty();
    }
    const CDSPFFTData* GetFrequencyCorrection(int channel) const override {
        if (!m_response) {
            m_response = std::make_unique<CDSPFFTDataList>();
            m_response->Clone(*GetWorkingList(), "response");
            for (int c = 0; c < 2; ++c) {
                std::fill_n(m_response->GetFreqData(c), m_response->GetSize(c), c == 0 ? 4.0 : 2.0);
                std::fill_n(m_response->GetAt(c)->GetPhaseObj()->GetDataPointer(),
                            m_response->GetSize(c), 0.0);
            }
        }
        return channel == 0 ? m_response->GetAt(0) : nullptr;
    }
    mutable std::unique_ptr<CDSPFFTDataList> m_response;
};

const CModuleRegistry& PublisherRegistry() {
    static const CModuleClass source{"Calibrated Source",
                                     []() -> CDspView* { return new CCalibratedSource; }};
    static const CModuleRegistry registry = [] {
        CModuleRegistry r;
        r.Register(&source);
        r.Register(PatternRegistry().Find("Spectrum Analyzer"));
        return r;
    }();
    return registry;
}

class SpecPublishers : public testing::Test {
protected:
    CModuleProcess p{PublisherRegistry()};
    static constexpr int n = 1024;

    void SetUp() override {
        ASSERT_TRUE(p.Create({"Calibrated Source", "Spectrum Analyzer"}, n, 32000.0));
        Source().m_pattern = [](int, int, int i) { return Tone(0.5, 64, i, n); };
    }
    CCalibratedSource& Source() { return p.Step<CCalibratedSource>(1); }
    double Shown(int channel, int bin) {
        return p.Step<CSpecView>(2).GetDisplayList()->GetFreqObj(channel)->GetDataPointer()[bin];
    }
};

TEST_F(SpecPublishers, AnyStepPublishingAReferenceFeedsTheHadamardTransform) {
    p.Set(2, {"type=FHT"});
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(p.TakeMessages(), Lines{});
}

TEST_F(SpecPublishers, TheCorrectionOfTheStepBeforeDividesTheChannelsItApplies) {
    p.Set(2, {"freqcal=1"});
    ASSERT_TRUE(p.Pass()) << testing::PrintToString(p.TakeMessages());
    EXPECT_NEAR(Shown(1, 64), 0.5, 1e-9); // not applied on channel 2
    EXPECT_NEAR(Shown(0, 64), 0.5 / 4.0, 1e-9);
}

TEST_F(SpecPublishers, ACalibrationThatDoesNotFitRefusesTheRunNamingThePublishingStep) {
    Source().fault = "Ch1 Output Sound Card Is Not Specified";
    p.Set(2, {"freqcal=1"});
    EXPECT_FALSE(p.Doc().OnEditRun());
    EXPECT_EQ(p.TakeMessages(),
              Lines{"Spectrum Analyser Apply Frequency Calibration is Checked.\r\n "
                    "SoundIO Module Step:1 Calibration is Invalid\r\nCh1 Output "
                    "Sound Card Is Not Specified\r\n"});
    // Unchecked, the calibration is neither checked nor applied.
    p.Set(2, {"freqcal=0"});
    ASSERT_TRUE(p.Pass());
    EXPECT_NEAR(Shown(0, 64), 0.5, 1e-9);
}

} // namespace
