#pragma once
// The device under test behind the virtual loopback card: what is played comes back on the
// capture side shaped by a memoryless polynomial (harmonic distortion), a short FIR filter
// (frequency response), a gain, a delay in samples and seeded Gaussian noise, in that order.

#include <cstdint>
#include <deque>
#include <random>
#include <string>
#include <vector>

class ISettingsStore;

struct CDeviceModel {
    /** Settings section that holds the model's keys. */
    static constexpr const char* kSection = "Virtual Card";

    int latency = 240;                           // samples from playback to capture
    double gain = 0.5;                           // applied after the filter
    std::vector<double> response{0.6, 0.3, 0.1}; // FIR taps, tap 0 first
    std::vector<double> harmonics{0.01, 0.005};  // coefficients of x^2, x^3, ...
    double noise = 1e-5;                         // RMS of the added noise, full scale = 1.0
    uint32_t seed = 1;

    /** The model with every key the store holds replacing its default ("Latency", "Gain",
     *  "Response", "Harmonics", "Noise", "Seed"; lists separated by commas). A value outside
     *  its range keeps the default: one that does not read as a number, a latency outside
     *  0..192000 samples, a gain, tap or coefficient beyond ±1000, noise outside 0..10, or
     *  more than 64 taps or harmonics. */
    static CDeviceModel Load(const ISettingsStore& store);
};

/** The model running over a timeline of frames, one state per channel. */
class CDeviceUnderTest {
public:
    explicit CDeviceUnderTest(const CDeviceModel& model = {});
    const CDeviceModel& GetModel() const { return m_model; }

    /** Plays `count` frames of full-scale-normalised samples starting at frame `time`. */
    void Play(int64_t time, const std::vector<double>& interleaved, int channels);
    /** What the capture side hears for `count` frames from frame `time`; frames before the
     *  latest one read are not kept. */
    std::vector<double> Record(int64_t time, int count, int channels);
    /** Restarts the noise sequence from its seed. */
    void Reseed();

private:
    double Shape(int channel, double x);
    double Noise();

    CDeviceModel m_model;
    std::vector<double> m_history[2]; // last played inputs, newest first, for the filter
    std::deque<double> m_line[2];     // model output waiting to be captured
    int64_t m_lineStart = 0;          // frame time of m_line[*].front()
    std::mt19937 m_random;
};
