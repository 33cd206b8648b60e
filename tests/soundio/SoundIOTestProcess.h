#pragma once
// Processes with the built-in modules around a "SoundIO" step on the virtual loopback card
// (or on a card that never completes a buffer), run slice by slice as the host would.

#include "platform/AudioServices.h"
#include "platform/VirtualCard.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "modules/BuiltInModules.h"
#include "process/RunLoop.h"
#include "soundio/SoundIOView.h"

#include <string>
#include <vector>

/** A model without noise, distortion or filter: what is played comes back delayed. */
CDeviceModel CleanModel(int latency, double gain = 1.0);

struct CSoundIOTestApp {
    CRecordingMessageSink sink;
    CFixedClock clock{1700000000};
    CAudioServices audio;
    CDspApp app{GetBuiltInModules(), sink, {.clock = clock, .audio = audio}};
    CRunLoop loop{app, EPausePolicy::Resume};
    CVirtualCard card;

    /** Puts the card in place of the program's devices until destroyed. */
    explicit CSoundIOTestApp(const CDeviceModel& model = {});
    ~CSoundIOTestApp();
    /** Replaces the card (not owned). */
    void UseCard(IAudioSystem* replacement) { audio.SetAudioSystem(replacement); }
    CEventPump& Pump() { return audio.GetEventPump(); }
    /** A new document with these built-in steps, block size and sample rate. */
    CDspDoc* NewProcess(const std::vector<std::string>& names, int size, int rate);
    /** Sets controls ("step:id=value", 1-based steps); fails the test on a refusal. */
    void Set(CDspDoc& doc, const std::vector<std::string>& settings);
    /** Runs `passes` passes; false when the run stopped before. */
    bool Run(CDspDoc& doc, int passes);
    std::vector<std::string> TakeMessages();
};

template <typename T> T& StepAs(CDspDoc& doc, size_t step) {
    return dynamic_cast<T&>(*doc.GetView(step));
}
