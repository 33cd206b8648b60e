#include "SoundIOTestProcess.h"
#include "common/ComposeProcess.h"

#include "modules/BuiltInModules.h"
#include "process/ProcessSelectDlg.h"

#include <gtest/gtest.h>

#include <algorithm>

CDeviceModel CleanModel(int latency, double gain) {
    CDeviceModel m;
    m.latency = latency;
    m.gain = gain;
    m.response = {1.0};
    m.harmonics.clear();
    m.noise = 0.0;
    return m;
}

CSoundIOTestApp::CSoundIOTestApp(const CDeviceModel& model) : card(model) {
    audio.SetAudioSystem(&card);
}

CSoundIOTestApp::~CSoundIOTestApp() {
    while (!app.GetDocuments().empty())
        app.CloseDocument(app.GetDocuments().back().get());
    Pump().SetTimeSource(nullptr);
}

CDspDoc* CSoundIOTestApp::NewProcess(const std::vector<std::string>& names, int size, int rate) {
    CDspDoc* doc = ComposeProcess(app, app.OnFileNew(), names);
    if (!doc) return nullptr;
    CFFTOptions options;
    doc->FillFFTOptions(options);
    options.m_size = std::to_string(size);
    options.m_sampleRate = std::to_string(rate);
    std::string message;
    if (!doc->ApplyFFTOptions(options, message)) return nullptr;
    TakeMessages();
    return doc;
}

void CSoundIOTestApp::Set(CDspDoc& doc, const std::vector<std::string>& settings) {
    for (const std::string& s : settings) {
        const size_t colon = s.find(':');
        const size_t equals = s.find('=');
        const size_t step = std::stoul(s.substr(0, colon));
        std::string message;
        ASSERT_TRUE(doc.GetView(step - 1)->SetControl(s.substr(colon + 1, equals - colon - 1),
                                                      s.substr(equals + 1), message))
            << s << ": " << message;
    }
}

bool CSoundIOTestApp::Run(CDspDoc& doc, int passes) {
    loop.Run(doc, passes);
    return doc.IsRunning();
}

std::vector<std::string> CSoundIOTestApp::TakeMessages() {
    std::vector<std::string> messages;
    for (const auto& r : sink.Records())
        messages.push_back(r.message);
    sink.ClearRecords();
    return messages;
}
