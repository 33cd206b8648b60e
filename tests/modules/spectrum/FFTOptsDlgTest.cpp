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
