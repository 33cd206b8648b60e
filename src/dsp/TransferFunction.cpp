#include "dsp/TransferFunction.h"

#include "dsp/FFTPlan.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

double CTransferEstimate::MagnitudeDb(size_t k) const {
    return 10.0 * std::log10(re[k] * re[k] + im[k] * im[k]);
}

double CTransferEstimate::PhaseDegrees(size_t k) const {
    return std::atan2(im[k], re[k]) * (180.0 / std::numbers::pi);
}

CTransferEstimate EstimateTransfer(const CCrossSpectrum::CSpectra& s) {
    const size_t bins = s.xx.size();
    CTransferEstimate h;
    h.re.assign(bins, 0.0);
    h.im.assign(bins, 0.0);
    h.coherence.assign(bins, 0.0);
    for (size_t k = 0; k < bins; ++k) {
        if (!(s.xx[k] > 0.0) || !(s.yy[k] > 0.0)) continue;
        h.re[k] = s.xyRe[k] / s.xx[k];
        h.im[k] = s.xyIm[k] / s.xx[k];
        const double cross = s.xyRe[k] * s.xyRe[k] + s.xyIm[k] * s.xyIm[k];
        // Rounding can lift a perfectly coherent bin a hair above 1.
        h.coherence[k] = std::min(1.0, cross / (s.xx[k] * s.yy[k]));
    }
    return h;
}

std::vector<double> ImpulseResponse(const CTransferEstimate& h) {
    const int32_t n = int32_t(2 * (h.re.size() - 1));
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    if (!plan) return {};
    std::vector<double> out(static_cast<size_t>(n));
    plan->Inverse(h.re.data(), h.im.data(), out.data());
    return out;
}

CDelayEstimate FindImpulseDelay(const std::vector<double>& r) {
    CDelayEstimate d;
    const auto n = int32_t(r.size());
    if (n < 3) return d;
    int32_t peak = 0;
    double sum = 0.0;
    for (int32_t t = 0; t < n; ++t) {
        sum += r[t] * r[t];
        if (std::fabs(r[t]) > std::fabs(r[peak])) peak = t;
    }
    const double a = std::fabs(r[size_t((peak + n - 1) % n)]), b = std::fabs(r[size_t(peak)]),
                 c = std::fabs(r[size_t((peak + 1) % n)]);
    const double curve = a - 2.0 * b + c;
    d.samples = peak >= n / 2 ? peak - n : peak;
    d.fraction = curve < 0.0 ? std::clamp(0.5 * (a - c) / curve, -0.5, 0.5) : 0.0;
    d.prominence = sum > 0.0 ? b / std::sqrt(sum / n) : 0.0;
    double rival = 0.0;
    for (int32_t t = 0; t < n; ++t) {
        const int32_t away = std::abs(t - peak);
        if (std::min(away, n - away) > CDelayEstimate::kGuard)
            rival = std::max(rival, std::fabs(r[size_t(t)]));
    }
    d.distinct = rival > 0.0 ? b / rival : std::numeric_limits<double>::infinity();
    return d;
}

CDelayEstimate FindBlockDelay(const double* x, const double* y, int32_t count) {
    int32_t n = 16;
    while (n < 2 * count && n < CFFTPlan::kMaxSize)
        n *= 2;
    count = std::min(count, n / 2);
    const CFFTPlan* plan = CFFTPlan::ForSize(n);
    const size_t bins = size_t(n / 2 + 1);
    thread_local std::vector<double> xr, xi, yr, yi;
    xr.resize(bins);
    xi.resize(bins);
    yr.resize(bins);
    yi.resize(bins);
    plan->Forward(x, count, nullptr, xr.data(), xi.data());
    plan->Forward(y, count, nullptr, yr.data(), yi.data());
    double mean = 0.0;
    for (size_t k = 0; k < bins; ++k)
        mean += xr[k] * xr[k] + xi[k] * xi[k];
    mean /= double(bins);
    // Bins more than 60 dB below the mean carry no excitation worth dividing by.
    const double floor = mean * 1e-6;
    CTransferEstimate h;
    h.re.assign(bins, 0.0);
    h.im.assign(bins, 0.0);
    for (size_t k = 0; k < bins; ++k) {
        const double p = xr[k] * xr[k] + xi[k] * xi[k];
        if (!(p > floor)) continue;
        h.re[k] = (xr[k] * yr[k] + xi[k] * yi[k]) / p;
        h.im[k] = (xr[k] * yi[k] - xi[k] * yr[k]) / p;
    }
    return FindImpulseDelay(ImpulseResponse(h));
}

void RemoveDelay(CTransferEstimate& h, double delay) {
    const size_t bins = h.re.size();
    if (bins < 2) return;
    const double step = std::numbers::pi * delay / double(bins - 1);
    for (size_t k = 0; k < bins; ++k) {
        const double c = std::cos(step * double(k)), s = std::sin(step * double(k));
        const double re = h.re[k] * c - h.im[k] * s;
        h.im[k] = h.re[k] * s + h.im[k] * c;
        h.re[k] = re;
    }
}
