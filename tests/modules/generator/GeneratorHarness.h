#pragma once
// A process of signal generators on the real module registry, driven pass by pass as the
// document's run loop drives it, with the messages the modules showed.

#include "modules/generator/SigGenView.h"
#include "platform/Clock.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/ProcessSelectDlg.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

struct CGeneratorHarness {
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CDspApp app{GetBuiltInModules(), sink, clock};
    CDspDoc* doc = nullptr;

    /** A new process of `steps` "Signal Generator" steps with blocks of n samples at fs. */
    CDspDoc* NewProcess(int n, double fs, int steps = 1) {
        doc = app.OnChangeProcessFlow(app.OnFileNew(), [&](CProcessSelectDlg& dlg) {
            const auto& available = dlg.GetAvailable();
            for (int i = 0; i < steps; ++i) {
                dlg.m_availableSel =
                    int(std::find(available.begin(), available.end(), "Signal Generator") -
                        available.begin());
                dlg.m_moduleSel = int(dlg.GetNames().size());
                if (!dlg.OnInsert()) return false;
            }
            std::string message;
            return dlg.OnOK(message);
        });
        EXPECT_NE(doc, nullptr);
        CFFTOptions options;
        doc->FillFFTOptions(options);
        options.m_size = std::to_string(n);
        options.m_sampleRate = std::to_string(fs);
        std::string message;
        EXPECT_TRUE(doc->ApplyFFTOptions(options, message)) << message;
        sink.ClearRecords();
        return doc;
    }

    CSigGenView& View(size_t step = 0) { return dynamic_cast<CSigGenView&>(*doc->GetView(step)); }
    /** The bar of a 1-based channel. */
    CSigGenChanDlgBar& Bar(int channel, size_t step = 0) {
        return *View(step).GetChannelPointer(channel - 1);
    }

    /** Sets controls "id=value" of one step as a user would. */
    void Set(const std::vector<std::string>& settings, size_t step = 0) {
        for (const std::string& s : settings) {
            const size_t eq = s.find('=');
            std::string message;
            EXPECT_TRUE(View(step).SetControl(s.substr(0, eq), s.substr(eq + 1), message))
                << s << ": " << message;
        }
    }

    /** Runs one pass through every step; the samples of the block the last step handed on. */
    std::vector<double> Pass(int channel = 1) {
        for (int i = 0; i < doc->GetStepCount(); ++i)
            doc->OnIdle();
        return Samples(*doc->GetCurrentList(), channel);
    }

    static std::vector<double> Samples(CDSPFFTDataList& list, int channel) {
        const double* p = list.GetTimeData(channel - 1);
        return p ? std::vector<double>(p, p + list.GetSize(channel - 1)) : std::vector<double>();
    }

    /** The module messages shown so far, without the "Error Detected In" frame. */
    std::vector<std::string> Messages() const {
        std::vector<std::string> texts;
        for (const auto& r : sink.Records()) {
            const std::string& m = r.message;
            const size_t frame = m.rfind("\r\n");
            texts.push_back(m.starts_with("Error Detected In") && frame != std::string::npos
                                ? m.substr(frame + 2)
                                : m);
        }
        return texts;
    }
};

/** A number as a user types it, with every digit it needs. */
inline std::string Text(double v) {
    std::ostringstream s;
    s.precision(17);
    s << v;
    return s.str();
}

/** The state of a control of a module, by id. */
inline const CControlState& StateOf(const CDspView& view, const std::string& id) {
    const int index = view.GetControls().Find(id);
    EXPECT_GE(index, 0) << id;
    return view.GetControls().GetState(size_t(std::max(index, 0)));
}

/** Element-wise comparison within `tolerance`, naming the first sample that differs. */
inline void ExpectSamples(const std::vector<double>& actual, const std::vector<double>& expected,
                          double tolerance = 1e-12) {
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i)
        ASSERT_NEAR(actual[i], expected[i], tolerance) << "sample " << i;
}
