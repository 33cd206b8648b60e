#include "dsp/WindowTable.h"

#include "dsp/DSPFFTData.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

namespace {
const double kPi = 4.0 * std::atan(1.0);

bool Tapers(int window) {
    return window >= CDSPFFTData::WindowTapRect && window <= CDSPFFTData::WindowFlatTop;
}
} // namespace

double WindowWeight(int window, int32_t n, int32_t index) {
    if (index < 0 || index >= n) return 0.0;
    // One sample has nothing to taper (and N - 1 would divide by zero below).
    if (n == 1) return 1.0;
    const double i = index;
    const double last = n - 1;
    switch (window) {
    case CDSPFFTData::WindowTapRect: {
        const int32_t l = (n - 2) / 10;
        if (index > n - l - 2) return 0.5 * (1.0 - std::cos(kPi * (last - i) / (l + 1)));
        if (index <= l) return 0.5 * (1.0 - std::cos(kPi * i / (l + 1)));
        return 1.0;
    }
    case CDSPFFTData::WindowTriangle:
        return 1.0 - std::fabs(1.0 - 2.0 * i / last);
    case CDSPFFTData::WindowHanning:
        return 0.5 * (1.0 - std::cos(2.0 * kPi * i / last));
    case CDSPFFTData::WindowHamming:
        return 0.53836 - 0.46164 * std::cos(2.0 * kPi * i / last);
    case CDSPFFTData::WindowBlackman:
        return 0.42 - 0.5 * std::cos(2.0 * kPi * i / last) + 0.08 * std::cos(4.0 * kPi * i / last);
    case CDSPFFTData::WindowFlatTop: {
        // Heinzel's HFT95: a tone reads its amplitude within 0.0044 dB wherever it lies between
        // bins, its side lobes 95 dB down, at the price of a main lobe 10 bins wide.
        // From the nearer end, so that the two halves are equal to the last bit.
        const double z = 2.0 * kPi * std::min(i, last - i) / last;
        return 1.0 - 1.9383379 * std::cos(z) + 1.3045202 * std::cos(2 * z) -
               0.4028270 * std::cos(3 * z) + 0.0350665 * std::cos(4 * z);
    }
    default:
        return 1.0; // "None", and any unknown choice
    }
}

const double* WindowTable(int window, int32_t n) {
    if (!Tapers(window) || n < 1) return nullptr;
    static std::map<std::pair<int, int32_t>, std::vector<double>> tables;
    static std::mutex mutex;
    const std::lock_guard<std::mutex> lock(mutex);
    std::vector<double>& table = tables[{window, n}];
    if (table.empty()) {
        table.resize(static_cast<size_t>(n));
        for (int32_t i = 0; i < n; ++i)
            table[i] = WindowWeight(window, n, i);
    }
    return table.data();
}
