#pragma once
// The one test harness: a process run through the headless session on a fixed clock. A test
// picks the registry (the built-in modules or the test modules), may give a settings store and
// a virtual card model or a card of its own, composes or opens a process, sets controls as the
// desktop's control bars set them and drives passes one at a time, so that it can look at the
// blocks and messages between passes.

#include "base/NumberText.h"
#include "modules/BuiltInModules.h"
#include "platform/Clock.h"
#include "platform/VirtualCard.h"
#include "process/DspDoc.h"
#include "process/FFTOptsDlg.h"
#include "process/ProcessSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class CModuleProcess {
public:
    explicit CModuleProcess(const CModuleRegistry& registry = GetBuiltInModules(),
                            ISettingsStore* settings = nullptr)
        : m_session(registry, m_clock, settings) {}
    /** The built-in modules on the virtual card built with this model. */
    explicit CModuleProcess(const CDeviceModel& card) : CModuleProcess() {
        m_session.Audio().SetDeviceModel(card);
    }

    /** Composes the steps through the process editor, with blocks of n samples at fs per second
     *  when given; null (and a failed expectation) when the editor refuses. */
    CDspDoc* Create(const std::vector<std::string>& steps, const CSessionOptions& options = {}) {
        std::string error;
        const bool ok = m_session.Create(steps, options, error);
        EXPECT_TRUE(ok) << error;
        return ok ? &Doc() : nullptr;
    }
    CDspDoc* Create(const std::vector<std::string>& steps, int n, double fs) {
        return Create(steps, CSessionOptions{n, fs});
    }
    /** Opens a process file with both readings; null (and a failed expectation) on a refusal. */
    CDspDoc* Open(const std::string& path) {
        std::string error;
        const bool ok = m_session.Open(path, error);
        EXPECT_TRUE(ok) << error;
        return ok ? &Doc() : nullptr;
    }

    /** Saves the process; false (and a failed expectation) on a refusal. */
    bool Save(const std::string& path) {
        std::string error;
        const bool ok = m_session.Save(path, error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }
    /** Applies a block size and a rate to the process as the FFT options do; absent values
     *  stay as they are. */
    void SetFFTOptions(const CSessionOptions& options) {
        CFFTOptions fft;
        Doc().FillFFTOptions(fft);
        if (options.fftSize) fft.m_size = std::to_string(*options.fftSize);
        if (options.sampleRate) fft.m_sampleRate = FormatText("%.17g", *options.sampleRate);
        std::string message;
        EXPECT_TRUE(Doc().ApplyFFTOptions(fft, message)) << message;
    }

    CProcessSession& Session() { return m_session; }
    CDspApp& App() { return m_session.App(); }
    CRunLoop& Loop() { return m_session.Loop(); }
    CAudioServices& Audio() { return m_session.Audio(); }
    CRecordingMessageSink& Sink() { return m_session.Sink(); }
    CFixedClock& Clock() { return m_clock; }
    /** The newest process composed or opened. */
    CDspDoc& Doc() const { return m_session.Document(); }
    template <class View = CDspView> View& Step(int step) const {
        return dynamic_cast<View&>(*m_session.Step(step));
    }
    /** Puts `card` in place of the program's devices (not owned); null gives the virtual card
     *  back. */
    void UseCard(IAudioSystem* card) { Audio().SetAudioSystem(card); }

    /** Sets "id=value" controls of a 1-based step as the control bar does ("id" presses). */
    void Set(int step, const std::vector<std::string>& settings) {
        for (const std::string& s : settings)
            if (!SetOne(step, s)) return;
    }
    /** Sets "step:id=value" controls (1-based steps), stopping at the first refusal. */
    void Set(const std::vector<std::string>& settings) {
        for (const std::string& s : settings) {
            const size_t colon = s.find(':');
            if (!SetOne(std::stoi(s.substr(0, colon)), s.substr(colon + 1))) return;
        }
    }
    /** One pass through every step, starting the run when it is not running. */
    bool Pass() {
        if (!Doc().IsRunning() && !Doc().OnEditRun()) return false;
        for (int i = 0; i < Doc().GetStepCount(); ++i)
            if (!Loop().Step(Doc())) return false;
        return true;
    }
    /** Runs `passes` passes slice by slice as the host does; false when the run stopped. */
    bool Run(int passes) {
        Loop().Run(Doc(), passes);
        return Doc().IsRunning();
    }
    /** One slice of the run loop; true while a document runs and is not paused. */
    bool Slice() { return Loop().Slice(); }
    /** Time samples of a 1-based channel of the block the last step handed on. */
    std::vector<double> Out(int channel = 1) const {
        CDSPFFTDataList& list = *Doc().GetCurrentList();
        const double* t = list.GetTimeData(channel - 1);
        return {t, t + list.GetSize(channel - 1)};
    }
    /** The messages shown since the last call, as shown. */
    std::vector<std::string> TakeShown() {
        std::vector<std::string> shown = m_session.GetMessages();
        Sink().ClearRecords();
        return shown;
    }
    /** The messages shown since the last call, without the "Error Detected In" frame. */
    std::vector<std::string> TakeMessages() {
        std::vector<std::string> texts = TakeShown();
        for (std::string& m : texts) {
            const size_t step = m.find("\r\n") + 2, text = m.find("\r\n", step);
            if (m.starts_with("Error Detected In\r\n") && text != std::string::npos)
                m = m.substr(text + 2);
        }
        return texts;
    }

private:
    bool SetOne(int step, const std::string& setting) {
        const size_t eq = setting.find('=');
        const std::string value = eq == std::string::npos ? "" : setting.substr(eq + 1);
        std::string message;
        const bool set = Step(step).SetControl(setting.substr(0, eq), value, message);
        EXPECT_TRUE(set) << step << ":" << setting << ": " << message;
        return set;
    }

    CFixedClock m_clock{1700000000}; // 22:13:20 14 Nov 2023 UTC
    CProcessSession m_session;
};

/** A card model without noise, distortion or filter: what is played comes back delayed. */
inline CDeviceModel CleanModel(int latency, double gain = 1.0) {
    CDeviceModel m;
    m.latency = latency;
    m.gain = gain;
    m.response = {1.0};
    m.harmonics.clear();
    m.noise = 0.0;
    return m;
}

inline void PrintTo(const CSettingValue& s, std::ostream* os) {
    *os << s.id << "=" << s.value;
}

/** The state of a control of a module, by id. */
inline const CControlState& ControlState(const CDspView& view, const std::string& id) {
    const int index = view.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return view.GetControls().GetState(size_t(index < 0 ? 0 : index));
}

/** The value a module lists for a setting, by label. */
inline std::string SettingOf(const CDspView& view, const std::string& label) {
    for (const CSettingValue& s : view.GetSettings())
        if (s.label == label) return s.value;
    ADD_FAILURE() << "no setting " << label;
    return {};
}

/** Matches samples element by element within a tolerance. */
inline auto Near(const std::vector<double>& expected, double tolerance = 1e-12) {
    return testing::Pointwise(testing::DoubleNear(tolerance), expected);
}
