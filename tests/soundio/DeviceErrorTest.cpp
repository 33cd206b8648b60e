// What the SoundIO step says when a device fails: the device layer's own reason, for the device
// (input or output) whose call failed, also for an unspecified error; and a device list whose
// devices open at no rate says why as soon as the device is chosen.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"

#include <gtest/gtest.h>

namespace {

// Devices "Good" and "Mute": Mute answers no format query ("does not answer") and refuses to
// open with an unspecified error ("Connection refused"); its reasons are kept per direction,
// as a real device layer keeps them.
class CMuteCard final : public IAudioSystem {
public:
    std::vector<CAudioDeviceInfo> GetInputDevices() const override {
        return {{"Good", ""}, {"Mute", ""}};
    }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return GetInputDevices(); }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return {{"Mixer", ""}}; }
    int QueryFormat(bool input, int index, const CWaveFormat& f) const override {
        m_reason[input].clear();
        if (index == 0) return card.QueryFormat(input, 0, f);
        m_reason[input] = "Mute does not answer within 2 s";
        return kAudioNotEnabled;
    }
    int Open(bool input, int index, const CWaveFormat& f, IWaveClient* client, CEventPump& pump,
             std::unique_ptr<IWaveDevice>& device) override {
        m_reason[input].clear();
        if (index == 0) return card.Open(input, 0, f, client, pump, device);
        m_reason[input] = "Mute: Connection refused";
        return kAudioError;
    }
    std::string GetErrorText(bool input, int) const override { return m_reason[input]; }
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }

    CVirtualCard card{CleanModel(10)};

private:
    mutable std::string m_reason[2]; // output, input
};

struct DeviceErrors : testing::Test {
    CModuleProcess t;
    CMuteCard mute;
    CDspDoc* doc = nullptr;
    void SetUp() override {
        t.UseCard(&mute);
        doc = t.Create({"Signal Generator", "SoundIO"}, 256, 48000);
        ASSERT_NE(doc, nullptr);
        t.Set({"2:mode=Rec./Play", "2:rate=48000"});
        ASSERT_TRUE(t.TakeShown().empty());
    }
};

TEST_F(DeviceErrors, ChoosingDevicesThatOpenAtNoRateSaysWhichAndWhyAndARunRefusesToStart) {
    t.Set({"2:in=Mute"});
    // The output still opens, so the rates are listed and nothing is said yet.
    EXPECT_TRUE(t.TakeShown().empty());
    t.Set({"2:out=Mute"});
    const auto chosen = t.TakeShown();
    ASSERT_EQ(chosen.size(), 1u);
    EXPECT_NE(chosen[0].find("Step: 2 SoundIO\r\nMute Input Device\r\nMute does not answer "
                             "within 2 s"),
              std::string::npos)
        << chosen[0];
    EXPECT_TRUE(t.Step<CSoundIOView>(2).GetSampleRateList().empty());
    EXPECT_FALSE(t.Run(1));
    const auto run = t.TakeShown();
    ASSERT_EQ(run.size(), 1u);
    EXPECT_NE(run[0].find("Mute does not answer within 2 s"), std::string::npos) << run[0];
    // Refused at the start: no device was opened (its open would say "Connection refused").
    EXPECT_EQ(run[0].find("Connection refused"), std::string::npos) << run[0];
}

TEST_F(DeviceErrors, AFailedOpenNamesItsOwnDeviceAndReasonNotAnUnspecifiedError) {
    t.Set({"2:in=Mute"});
    EXPECT_FALSE(t.Run(1));
    auto messages = t.TakeShown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Step: 2 SoundIO\r\nMute Input Device\r\nMute: Connection refused"),
              std::string::npos)
        << messages[0];
    EXPECT_EQ(messages[0].find("System Unspecified Error"), std::string::npos);

    t.Set({"2:in=Good", "2:out=Mute"});
    t.TakeShown();
    EXPECT_FALSE(t.Run(1));
    messages = t.TakeShown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Mute Output Device\r\nMute: Connection refused"), std::string::npos)
        << messages[0];
}

} // namespace
