#pragma once
// A process run through the headless session for the module tests: composed at a given block
// size and rate, controls set as the desktop's control bars set them, and passes driven one at a
// time so that a test can look at the blocks and messages between passes.

#include "modules/BuiltInModules.h"
#include "platform/Clock.h"
#include "process/DspDoc.h"
#include "process/ProcessSession.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

class CModuleProcess {
public:
    explicit CModuleProcess(const CModuleRegistry& registry = GetBuiltInModules())
        : m_session(registry, m_clock) {}

    /** Composes the steps with blocks of n samples at fs per second. */
    bool Create(const std::vector<std::string>& steps, int n, double fs) {
        std::string error;
        const bool ok = m_session.Create(steps, {n, fs}, error);
        EXPECT_TRUE(ok) << error;
        return ok;
    }
    CProcessSession& Session() { return m_session; }
    CDspApp& App() { return m_session.App(); }
    CDspDoc& Doc() const { return m_session.Document(); }
    template <class View = CDspView> View& Step(int step) const {
        return dynamic_cast<View&>(*m_session.Step(step));
    }

    /** Sets "id=value" controls of a 1-based step as the control bar does ("id" presses). */
    void Set(int step, const std::vector<std::string>& settings) {
        for (const std::string& s : settings) {
            const size_t eq = s.find('=');
            const std::string value = eq == std::string::npos ? "" : s.substr(eq + 1);
            std::string message;
            EXPECT_TRUE(Step(step).SetControl(s.substr(0, eq), value, message))
                << s << ": " << message;
        }
    }
    /** One pass through every step, starting the run when it is not running. */
    bool Pass() {
        if (!Doc().IsRunning() && !Doc().OnEditRun()) return false;
        for (int i = 0; i < Doc().GetStepCount(); ++i)
            if (!m_session.Loop().Step(Doc())) return false;
        return true;
    }
    /** Time samples of a 1-based channel of the block the last step handed on. */
    std::vector<double> Out(int channel = 1) const {
        CDSPFFTDataList& list = *Doc().GetCurrentList();
        const double* t = list.GetTimeData(channel - 1);
        return {t, t + list.GetSize(channel - 1)};
    }
    /** The messages shown since the last call, without the "Error Detected In" frame. */
    std::vector<std::string> TakeMessages() {
        const std::vector<std::string> all = m_session.GetMessages();
        std::vector<std::string> texts;
        for (size_t i = m_seen; i < all.size(); ++i) {
            const std::string& m = all[i];
            const size_t step = m.find("\r\n") + 2, text = m.find("\r\n", step);
            texts.push_back(m.starts_with("Error Detected In\r\n") && text != std::string::npos
                                ? m.substr(text + 2)
                                : m);
        }
        m_seen = all.size();
        return texts;
    }

private:
    CFixedClock m_clock{1700000000};
    CProcessSession m_session;
    size_t m_seen = 0;
};

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
