#include "platform/DeviceModel.h"

#include "platform/SettingsStore.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace {
constexpr size_t kMaxTerms = 64;
// The delay line holds the latency's samples per channel: one second at the highest rate is
// more than any loopback shows, and keeps a typo from allocating without limit.
constexpr int kMaxLatency = 192000;
// Gains, taps and coefficients beyond these drive every sample far past full scale; noise
// beyond this many times full scale leaves no signal to measure.
constexpr double kMaxFactor = 1000.0;
constexpr double kMaxNoise = 10.0;

bool InRange(double v, double lo, double hi) {
    return v >= lo && v <= hi;
}

bool ReadNumber(std::string_view text, double& value) {
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ')
        text.remove_suffix(1);
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && end == text.data() + text.size() && std::isfinite(value);
}

bool ReadList(const std::string& text, std::vector<double>& values) {
    std::vector<double> read;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        double v = 0.0;
        if (!ReadNumber(std::string_view(text).substr(start, comma - start), v) ||
            !InRange(v, -kMaxFactor, kMaxFactor))
            return false;
        read.push_back(v);
        if (read.size() > kMaxTerms) return false;
        start = comma + 1;
    }
    values = std::move(read);
    return true;
}
} // namespace

CDeviceModel CDeviceModel::Load(const ISettingsStore& store) {
    CDeviceModel m;
    const int latency = store.GetInt(kSection, "Latency", m.latency);
    if (latency >= 0 && latency <= kMaxLatency) m.latency = latency;
    double v = 0.0;
    if (ReadNumber(store.GetString(kSection, "Gain", ""), v) && InRange(v, -kMaxFactor, kMaxFactor))
        m.gain = v;
    if (ReadNumber(store.GetString(kSection, "Noise", ""), v) && InRange(v, 0.0, kMaxNoise))
        m.noise = v;
    m.seed = static_cast<uint32_t>(store.GetInt(kSection, "Seed", static_cast<int>(m.seed)));
    const std::string response = store.GetString(kSection, "Response", "");
    if (!response.empty()) ReadList(response, m.response);
    const std::string harmonics = store.GetString(kSection, "Harmonics", "");
    if (!harmonics.empty()) ReadList(harmonics, m.harmonics);
    return m;
}

CDeviceUnderTest::CDeviceUnderTest(const CDeviceModel& model) : m_model(model) {
    for (auto& h : m_history)
        h.assign(m_model.response.size(), 0.0);
    Reseed();
}

void CDeviceUnderTest::Reseed() {
    m_random.seed(m_model.seed);
}

double CDeviceUnderTest::Shape(int channel, double x) {
    // Distortion of the played sample, then the filter over the distorted stream.
    double y = x;
    double power = x;
    for (double c : m_model.harmonics) {
        power *= x;
        y += c * power;
    }
    std::vector<double>& h = m_history[channel];
    if (h.empty()) return 0.0;
    h.pop_back();
    h.insert(h.begin(), y);
    double sum = 0.0;
    for (size_t k = 0; k < h.size(); ++k)
        sum += m_model.response[k] * h[k];
    return m_model.gain * sum;
}

double CDeviceUnderTest::Noise() {
    if (m_model.noise == 0.0) return 0.0;
    // Box-Muller on the generator's own words, so the sequence is the same with every
    // standard library.
    constexpr double kScale = 1.0 / 4294967296.0;
    const double u1 = (static_cast<double>(m_random()) + 1.0) * kScale;
    const double u2 = static_cast<double>(m_random()) * kScale;
    return m_model.noise * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

void CDeviceUnderTest::Play(int64_t time, const std::vector<double>& interleaved, int channels) {
    const int64_t count = static_cast<int64_t>(interleaved.size()) / channels;
    for (int64_t i = 0; i < count; ++i) {
        const int64_t at = time + i + m_model.latency - m_lineStart;
        for (int c = 0; c < 2; ++c) {
            const double x = c < channels ? interleaved[size_t(i * channels + c)] : 0.0;
            const double y = Shape(c, x);
            if (at < 0) continue; // already captured: the line cannot change the past
            std::deque<double>& line = m_line[c];
            if (line.size() <= size_t(at)) line.resize(size_t(at) + 1, 0.0);
            line[size_t(at)] += y;
        }
    }
}

std::vector<double> CDeviceUnderTest::Record(int64_t time, int count, int channels) {
    std::vector<double> out(size_t(count) * size_t(channels), 0.0);
    for (int i = 0; i < count; ++i) {
        const int64_t at = time + i - m_lineStart;
        for (int c = 0; c < channels; ++c) {
            const std::deque<double>& line = m_line[c];
            const double y = (at >= 0 && size_t(at) < line.size()) ? line[size_t(at)] : 0.0;
            out[size_t(i * channels + c)] = y + Noise();
        }
    }
    // What lies before the end of this read is never read again.
    const int64_t drop = time + count - m_lineStart;
    if (drop > 0) {
        for (auto& line : m_line)
            line.erase(line.begin(), line.begin() + std::min<int64_t>(drop, int64_t(line.size())));
        m_lineStart += drop;
    }
    return out;
}
