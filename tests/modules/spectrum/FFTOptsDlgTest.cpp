// The "FFT Options" dialog model: its lists, the resolution text, the disabled overlap group
// and the document's apply rule.
#include "SpecFixture.h"
#include "common/CaseName.h"

#include "process/FFTOptsDlg.h"

namespace {

using Items = std::vector<std::string>;

class FFTOptsDlg : public SpecFixture {
protected:
    CFFTOptsDlg dlg;

    void SetUp() override {
        Make(1024, 96000.0);
        p.Doc().FillFFTOptions(dlg);
        dlg.OnInitDialog();
    }
    const CControlState& State(const CFFTOptsDlg& d, const std::string& id) {
        return d.GetControls().GetState(size_t(d.GetControls().Find(id)));
    }
    const Items& ItemsOf(const CFFTOptsDlg& d, const std::string& id) {
        return d.GetControls().GetControl(size_t(d.GetControls().Find(id))).items;
    }
    void Set(const std::string& idOrLabel, const std::string& value) {
        std::string message;
        ASSERT_TRUE(dlg.SetControl(idOrLabel, value, message)) << message;
    }
};

TEST_F(FFTOptsDlg, OffersTheListsAndKeepsOnlyTheRatesTheDeviceAccepts) {
    Items sizes;
    for (int n = 2; n <= 131072; n *= 2)
        sizes.push_back(std::to_string(n));
    EXPECT_EQ(ItemsOf(dlg, "FFT Size:"), sizes);
    EXPECT_EQ(ItemsOf(dlg, "Pause On Record:"),
              (Items{"0", "1", "2", "4", "8", "16", "32", "64", "128", "256", "512", "1024", "2048",
                     "4096", "8192", "16384", "32768", "65536"}));
    EXPECT_EQ(ItemsOf(dlg, "Sample Rate:"),
              (Items{"5000", "6000", "8000", "11025", "12000", "16000", "22050", "24000", "32000",
                     "44100", "48000", "88200", "96000", "176400", "192000"}));
    EXPECT_EQ(State(dlg, "rate").selection, 12);
    CFFTOptsDlg filtered;
    p.Doc().FillFFTOptions(filtered);
    filtered.OnInitDialog([](int rate) { return rate % 11025 == 0 || rate == 96000; });
    EXPECT_EQ(ItemsOf(filtered, "rate"),
              (Items{"11025", "22050", "44100", "88200", "96000", "176400"}));
    EXPECT_EQ(State(filtered, "rate").selection, 4);
}

struct CResolutionCase {
    const char* name;
    std::string size, rate, resolution;
};

class FFTOptsResolution : public FFTOptsDlg, public testing::WithParamInterface<CResolutionCase> {};

TEST_P(FFTOptsResolution, FollowsSizeAndRate) {
    EXPECT_EQ(State(dlg, "resolution").text, "93.75 Hz");
    Set("FFT Size:", GetParam().size);
    Set("Sample Rate:", GetParam().rate);
    EXPECT_EQ(State(dlg, "resolution").text, GetParam().resolution);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FFTOptsResolution,
    testing::Values(CResolutionCase{"Size1024At48k", "1024", "48000", "46.88 Hz"},
                    CResolutionCase{"Size4096At44k1", "4096", "44100", "10.77 Hz"},
                    CResolutionCase{"Largest", "131072", "5000", "0.04 Hz"},
                    CResolutionCase{"Smallest", "2", "192000", "96000.00 Hz"}),
    CaseName());

// Values outside the lists and the disabled overlap group are refused; OK applies the choices
// and a dialog opened again shows them; Cancel leaves the document alone.
TEST_F(FFTOptsDlg, RefusesWhatItCannotHoldAndOkAppliesTheChoices) {
    std::string message;
    EXPECT_FALSE(dlg.SetControl("FFT Size:", "1000", message));
    EXPECT_FALSE(State(dlg, "Time Resolution").enabled);
    EXPECT_FALSE(dlg.SetControl("FFT Overlap:", "50", message));
    EXPECT_EQ(message, "'FFT Overlap' is disabled");
    Set("FFT Size:", "4096");
    Set("Sample Rate:", "48000");
    Set("Pause On Record:", "8");
    Set("Pause On Every Module:", "on");
    EXPECT_EQ(p.Doc().GetSize(), 1024) << "nothing applied before OK";
    ASSERT_TRUE(p.Doc().ApplyFFTOptions(dlg, message)) << message;
    EXPECT_EQ(p.Doc().GetSize(), 4096);
    EXPECT_EQ(p.Doc().GetSampleRate(), 48000.0);
    EXPECT_EQ(p.Doc().GetPauseOnRecordCount(), 8);
    EXPECT_EQ(p.Doc().GetView(1)->GetDisplayList()->GetSize(0), 4096);
    CFFTOptsDlg again;
    p.Doc().FillFFTOptions(again);
    again.OnInitDialog();
    EXPECT_EQ(State(again, "resolution").text, "11.72 Hz");
    EXPECT_TRUE(State(again, "pauseevery").checked);
}

} // namespace
