#pragma once
// One array of doubles with its block type, size and sample rate: the time, magnitude or phase
// array of a sample block. Also holds the measurements made on a single-sided magnitude array.

#include "base/RuntimeClass.h"

#include <cstdint>
#include <string>
#include <vector>

class CDSPData : public CObject {
    AURIVO_DECLARE_SERIAL(CDSPData)

public:
    /** Block types: samples, or a per-bin response whose time array holds the frequency axis. */
    static constexpr int32_t kTimeBlock = 1;
    static constexpr int32_t kResponseBlock = 2;
    /** Largest array a stored object may hold (the longest transform). */
    static constexpr int32_t kMaxSize = 262144;

    static bool IsValidType(int32_t type) { return type == kTimeBlock || type == kResponseBlock; }

    CDSPData() = default;

    /** Zeroed values at 96000 samples per second; returns `size`, 0 for an invalid type or size
     *  (the old values are released either way). */
    int32_t Create(int32_t size, int32_t type);
    bool Create(int32_t type, int32_t size, double sampleRate);
    bool Create(int32_t type, int32_t size, double sampleRate, const std::string& description);
    /** Create(type, size, sampleRate) holding a copy of `values` (size of them), or `fill` in
     *  every place when there are none: the memory is written once, not cleared first. */
    bool Create(int32_t type, int32_t size, double sampleRate, const double* values, double fill);
    /** Takes the other's shape with all values 0.0; never its values. */
    bool Clone(const CDSPData& other);
    /** Copies values and sample rate between arrays of the same valid type and size. */
    bool Copy(const CDSPData& other);

    bool IsType(const CDSPData& other) const { return m_type == other.m_type; }
    bool IsSize(const CDSPData& other) const { return m_size == other.m_size; }
    bool IsSampleRate(const CDSPData& other) const { return m_sampleRate == other.m_sampleRate; }
    bool IsEquivalent(const CDSPData& other) const {
        return IsType(other) && IsSize(other) && IsSampleRate(other);
    }

    /** Negates every value; returns how many. */
    int32_t Invert();

    /** The values, owned by this object; null until created. */
    double* GetDataPointer() { return m_values.empty() ? nullptr : m_values.data(); }
    const double* GetDataPointer() const { return m_values.empty() ? nullptr : m_values.data(); }
    bool HasValues() const { return !m_values.empty(); }

    int32_t GetType() const { return m_type; }
    int32_t GetSize() const { return m_size; }
    int32_t GetNumUsed() const { return m_numUsed; }
    void SetNumUsed(int32_t n) { m_numUsed = n; }
    /** Samples per second. */
    double GetSampleRate() const { return m_sampleRate; }
    void SetSampleRate(double fs) { m_sampleRate = fs; }
    const std::string& GetDescription() const { return m_description; }
    void SetDescription(const std::string& description) { m_description = description; }

    // Measurements on a single-sided magnitude array (bins 0..N/2-1 are searched and summed);
    // frequencies in Hz, a frequency of 0 asks for the strongest bin, results in percent.
    // `window` is the window the spectrum was taken with (0, "None": single bins, exact for
    // tones on bin centres); with any other window each tone, harmonic and product is the
    // power summed over its main lobe, so that tones between bins read true.
    int GetMaxHarmonic() const;
    int GetNextHarmonic(int excludedBin) const;
    /** Nearest bin of a frequency, clamped to 0..N/2. */
    int GetHarmonicNumber(double frequency) const;
    double GetHarmonicDistortion(double fundamental, int harmonic, int window = 0) const;
    /** THD over harmonics 2 to `lastHarmonic` (0: every one below half the sample rate). */
    double GetTHD(double fundamental, int window = 0, int lastHarmonic = 0) const;
    double GetTHDPlusN(double fundamental, int window = 0) const;
    double Get2ndOrderIMD(double f1, double f2, int window = 0) const;
    double Get3rdOrderIMD(double f1, double f2, int window = 0) const;
    double Get4thOrderIMD(double f1, double f2, int window = 0) const;
    /** Frequency of the fundamental: its bin's, or with a window refined from its lobe. */
    double GetToneFrequency(double frequency, int window = 0) const;
    /** Frequency of the second tone of an intermodulation pair (f2 = 0: the strongest after
     *  the strongest). */
    double GetSecondToneFrequency(double f1, double f2, int window = 0) const;
    /** Whether the spectrum holds harmonic n of a fundamental above DC below half the sample
     *  rate; a reading of one it cannot hold means nothing. */
    bool HoldsHarmonic(double fundamental, int harmonic) const;
    /** Whether the two tones of an intermodulation pair fall on different bins. */
    bool HoldsTwoTones(double f1, double f2) const;

    /** Running average of block number n (1-based) with the given averaging limit. */
    static double Average(double newValue, double oldAverage, int n, int limit);
    /** Moving average over 2w+1 values in place; the w values at each end stay. */
    bool UnweightedSmooth(int halfWidth);

    void Serialize(CArchive& ar) override;

private:
    bool Allocate(int32_t size, const double* values = nullptr, double fill = 0.0);
    /** Bin of a fundamental frequency (0: the strongest); false when outside the array. */
    bool FundamentalBin(double frequency, int& bin) const;
    double GetIMD(double f1, double f2, int order, int window) const;
    /** The bins of an intermodulation pair as the single-bin measurement takes them. */
    void IMDToneBins(double& f1, double& f2) const;
    int BinCount() const { return static_cast<int>(m_values.size()); }

    int32_t m_type = kTimeBlock;
    int32_t m_size = 1024;
    int32_t m_numUsed = 0;
    double m_sampleRate = 96000.0;
    std::vector<double> m_values;
    std::string m_description;
};
