#include "modules/generator/SigGenPink.h"

#include "modules/generator/SigGenChanDlgBar.h"
#include "modules/generator/SigGenWaves.h"

#include "base/NumberText.h"
#include "dsp/FFTPlan.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

std::string PinkRefusal(const CSigGenChanDlgBar& bar) {
    if (bar.m_mode == kModeConstant || bar.m_mode == kModeConstPhs) return {};
    return FormatText("Ch%i Pink Noise Plays a New Block Every Pass.\nSet the Mode to Constant.",
                      bar.m_channel);
}

double FillPink(std::span<double> out, CSigGenChanDlgBar& bar, double level) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    std::fill(out.begin(), out.end(), 0.0);
    if (out.size() < 2) return kNaN;
    // One period of the next power of two, cut to the block: a block of any length.
    const auto n = int32_t(std::min(std::bit_ceil(out.size()), size_t(CFFTPlan::kMaxSize)));
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    if (!plan) return kNaN;
    const size_t bins = size_t(n / 2 + 1);
    std::vector<double> re(bins, 0.0), im(bins, 0.0);
    for (size_t k = 1; k < bins; ++k) {
        // Power 1 / k per bin: every octave holds the same power.
        const double phase = 2.0 * std::numbers::pi * (WhiteSample(bar) + 1.0) / 2.0;
        const double magnitude = 1.0 / std::sqrt(double(k));
        re[k] = magnitude * std::cos(phase);
        im[k] = magnitude * std::sin(phase);
    }
    const int32_t count = int32_t(std::min(out.size(), size_t(n)));
    plan->Inverse(re.data(), im.data(), out.data(), count);
    double peak = 0.0;
    for (int32_t i = 0; i < count; ++i)
        peak = std::max(peak, std::fabs(out[size_t(i)]));
    if (peak > 0.0)
        for (int32_t i = 0; i < count; ++i)
            out[size_t(i)] *= level / peak;
    // Of the samples played: the period cut to the block is not the whole period's shape.
    double squares = 0.0;
    peak = 0.0;
    for (int32_t i = 0; i < count; ++i) {
        squares += out[size_t(i)] * out[size_t(i)];
        peak = std::max(peak, std::fabs(out[size_t(i)]));
    }
    return squares > 0.0 ? 20.0 * std::log10(peak / std::sqrt(squares / count)) : kNaN;
}
