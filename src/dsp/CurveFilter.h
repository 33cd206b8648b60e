#pragma once
// A linear-phase FIR filter that takes a measured deviation out of a signal in the time
// domain, for meters that weight and average samples rather than spectra: a microphone that
// reads +3 dB at 1 kHz is followed by a filter of -3 dB there. Designed by sampling the
// inverse curve on the filter's frequency grid and windowing the impulse response; its delay
// is half its length.

#include <cstddef>
#include <functional>
#include <vector>

class CCurveFilter {
public:
    static constexpr int kTaps = 2048;

    /** Designs the filter for `deviationDb(f)` at `rate` samples per second and forgets the
     *  signal so far; an empty function leaves the signal as it is. */
    void Design(const std::function<double(double)>& deviationDb, double rate);
    bool IsActive() const { return !m_taps.empty(); }
    /** Filters `count` samples, carrying the history from one call to the next. */
    void Process(const double* in, double* out, size_t count);

private:
    std::vector<double> m_taps;
    std::vector<double> m_history; // the last kTaps - 1 inputs, oldest first
};
