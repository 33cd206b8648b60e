#pragma once
// A card for the tests of waiting: its devices open but never return a buffer.

#include "platform/AudioDevices.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

/** Counts the devices open, and every opening. One direction may be told to answer after all,
 *  for the messages that name the direction still owing its buffer. */
class CStalledCard final : public IAudioSystem {
public:
    struct CDevice final : IWaveDevice {
        explicit CDevice(int& count) : open(++count, count) {}
        ~CDevice() override {
            if (answer) answer->pump->Cancel(this);
            --open.second;
        }
        int AddBuffer(CWaveHeader* header) override {
            if (!answer) return ++queued, kAudioOk;
            header->bytesRecorded = uint32_t(header->data.size());
            PostCompletion(*answer->pump, this, answer->client, header, answer->input);
            return kAudioOk;
        }
        int Start() override { return kAudioOk; }
        int BreakLoop() override { return kAudioOk; }
        int Reset() override { return queued = 0, kAudioOk; }
        int Pending() const override { return queued; }
        int64_t GetLostFrames() const override { return card->lostFrames; }
        int GetXruns() const override { return card->xruns; }
        std::string GetFailure() const override { return card->failure; }
        std::pair<int, int&> open; // the count at opening, the card's count
        const CStalledCard* card = nullptr;
        int queued = 0;
        struct CAnswer {
            CEventPump* pump;
            IWaveClient* client;
            bool input;
        };
        std::optional<CAnswer> answer; // set when this direction answers
    };
    std::vector<CAudioDeviceInfo> GetInputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetOutputDevices() const override { return {{"Stalled", ""}}; }
    std::vector<CAudioDeviceInfo> GetMixerDevices() const override { return {}; }
    int QueryFormat(bool, int, const CWaveFormat&) const override { return kAudioOk; }
    int Open(bool input, int, const CWaveFormat&, IWaveClient* client, CEventPump& pump,
             std::unique_ptr<IWaveDevice>& device) override {
        auto opening = std::make_unique<CDevice>(open);
        opening->card = this;
        if (input ? inputAnswers : outputAnswers)
            opening->answer = CDevice::CAnswer{&pump, client, input};
        device = std::move(opening);
        ++opened;
        return kAudioOk;
    }
    std::string GetErrorText(bool, int) const override { return {}; }
    std::string GetMixerSourceName(int) const override { return {}; }
    std::string GetMixerDestinationName(int) const override { return {}; }
    int GetMixerInputLevel(int) const override { return 0; }
    int open = 0, opened = 0;
    bool inputAnswers = false, outputAnswers = false;
    // What every open device reports.
    int64_t lostFrames = 0;
    int xruns = 0;
    std::string failure;
};
