// The "FFT Options" dialog model: its lists, the resolution text, the disabled overlap group
// and the document's apply rule.
#include "SpecTestProcess.h"

#include "process/FFTOptsDlg.h"

#include <gtest/gtest.h>

namespace {

using Items = std::vector<std::string>;

const CControlState& State(const CFFTOptsDlg& dlg, const std::string& id) {
    const int index = dlg.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return dlg.GetControls().GetState(size_t(index));
}

const CControl& Control(const CFFTOptsDlg& dlg, const std::string& id) {
    const int index = dlg.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return dlg.GetControls().GetControl(size_t(index));
}

class FFTOptsDlg : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;
    CFFTOptsDlg dlg;

    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 96000.0);
        ASSERT_NE(doc, nullptr);
        doc->FillFFTOptions(dlg);
        dlg.OnInitDialog();
    }
    void Set(const std::string& idOrLabel, const std::string& value) {
        std::string message;
        ASSERT_TRUE(dlg.SetControl(idOrLabel, value, message)) << message;
    }
};

TEST_F(FFTOptsDlg, OffersTheDocumentedLists) {
    Items sizes;
    for (int n = 2; n <= 131072; n *= 2)
        sizes.push_back(std::to_string(n));
    EXPECT_EQ(Control(dlg, "FFT Size:").items, sizes);
    EXPECT_EQ(Control(dlg, "Pause On Record:").items,
              (Items{"0", "1", "2", "4", "8", "16", "32", "64", "128", "256", "512", "1024", "2048",
                     "4096", "8192", "16384", "32768", "65536"}));
    EXPECT_EQ(Control(dlg, "Sample Rate:").items,
              (Items{"5000", "6000", "8000", "11025", "12000", "16000", "22050", "24000", "32000",
                     "44100", "48000", "88200", "96000", "176400", "192000"}));
    EXPECT_EQ(Control(dlg, "FFT Overlap:").items, (Items{"10", "20", "50", "100"}));
    EXPECT_EQ(Control(dlg, "Spectral Resolution:").kind, EControlKind::ReadOnlyText);
    EXPECT_EQ(Control(dlg, "Pause On Every Module:").kind, EControlKind::CheckBox);
}

TEST_F(FFTOptsDlg, StartsFromTheDocument) {
    EXPECT_EQ(State(dlg, "size").selection, 9);
    EXPECT_EQ(State(dlg, "size").text, "1024");
    EXPECT_EQ(State(dlg, "rate").selection, 12);
    EXPECT_EQ(State(dlg, "resolution").text, "93.75 Hz");
    EXPECT_EQ(State(dlg, "pause").text, "0");
    EXPECT_FALSE(State(dlg, "pauseevery").checked);
}

TEST_F(FFTOptsDlg, KeepsOnlyTheRatesTheDeviceAccepts) {
    CFFTOptsDlg filtered;
    doc->FillFFTOptions(filtered);
    filtered.OnInitDialog([](int rate) { return rate % 11025 == 0 || rate == 96000; });
    EXPECT_EQ(Control(filtered, "rate").items,
              (Items{"11025", "22050", "44100", "88200", "96000", "176400"}));
    EXPECT_EQ(State(filtered, "rate").selection, 4);
}

struct CResolutionCase {
    std::string size;
    std::string rate;
    std::string resolution;
};

class FFTOptsResolution : public FFTOptsDlg, public testing::WithParamInterface<CResolutionCase> {};

TEST_P(FFTOptsResolution, FollowsSizeAndRate) {
    Set("FFT Size:", GetParam().size);
    Set("Sample Rate:", GetParam().rate);
    EXPECT_EQ(dlg.m_resolution, GetParam().resolution);
    EXPECT_EQ(State(dlg, "resolution").text, GetParam().resolution);
}

INSTANTIATE_TEST_SUITE_P(Cases, FFTOptsResolution,
                         testing::Values(CResolutionCase{"1024", "48000", "46.88 Hz"},
                                         CResolutionCase{"4096", "44100", "10.77 Hz"},
                                         CResolutionCase{"131072", "5000", "0.04 Hz"},
                                         CResolutionCase{"2", "192000", "96000.00 Hz"},
                                         CResolutionCase{"64", "8000", "125.00 Hz"}));

TEST_F(FFTOptsDlg, OverlapGroupIsShownDisabled) {
    EXPECT_FALSE(State(dlg, "overlap").enabled);
    EXPECT_FALSE(State(dlg, "Time Resolution").enabled);
    std::string message;
    EXPECT_FALSE(dlg.SetControl("FFT Overlap:", "50", message));
    EXPECT_EQ(message, "'FFT Overlap' is disabled");
}

TEST_F(FFTOptsDlg, OkAppliesTheChoicesToTheDocument) {
    Set("FFT Size:", "4096");
    Set("Sample Rate:", "48000");
    Set("Pause On Record:", "8");
    Set("Pause On Every Module:", "on");
    std::string message;
    ASSERT_TRUE(doc->ApplyFFTOptions(dlg, message)) << message;
    EXPECT_EQ(doc->GetSize(), 4096);
    EXPECT_EQ(doc->GetSampleRate(), 48000.0);
    EXPECT_EQ(doc->GetPauseOnRecordCount(), 8);
    EXPECT_TRUE(doc->GetPauseOnEveryModule());
    EXPECT_EQ(doc->GetView(1)->GetDisplayList()->GetSize(0), 4096);

    // A dialog opened again shows what the document now holds.
    CFFTOptsDlg again;
    doc->FillFFTOptions(again);
    again.OnInitDialog();
    EXPECT_EQ(State(again, "resolution").text, "11.72 Hz");
    EXPECT_TRUE(State(again, "pauseevery").checked);
}

TEST_F(FFTOptsDlg, CancelLeavesTheDocumentAlone) {
    Set("FFT Size:", "256");
    Set("Sample Rate:", "8000");
    // Cancel: the document never reads the dialog back.
    EXPECT_EQ(doc->GetSize(), 1024);
    EXPECT_EQ(doc->GetSampleRate(), 96000.0);
}

TEST_F(FFTOptsDlg, RefusesValuesOutsideItsLists) {
    std::string message;
    EXPECT_FALSE(dlg.SetControl("FFT Size:", "1000", message));
    EXPECT_EQ(dlg.m_size, "1024");
    EXPECT_EQ(State(dlg, "resolution").text, "93.75 Hz");
}

} // namespace
