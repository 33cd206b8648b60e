#pragma once
// One channel of signal data: a time array, a magnitude array and a phase array of equal type,
// size and sample rate. A time block (type 1) holds samples and, after DoFFT, a single-sided
// amplitude spectrum with phases in degrees; a response block (type 2) holds a per-bin gain and
// phase, and its time array holds the frequency axis in Hz. The block's text forms (response
// files, FRD, clipboard and envelope text) are in src/formats.

#include "dsp/DSPData.h"
#include "base/RuntimeClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDSPFFTData : public CObject {
    AURIVO_DECLARE_SERIAL(CDSPFFTData)

public:
    /** Window choices; the values are the positions in the analyser's window list. */
    enum WINDOW_TYPE : int {
        WindowNone = 0,
        WindowTapRect = 1,
        WindowTriangle = 2,
        WindowHanning = 3,
        WindowHamming = 4,
        WindowBlackman = 5,
        WindowFlatTop = 6,
    };
    /** Longest transform (2^18 points). */
    static constexpr int32_t kMaxTransformSize = 262144;

    CDSPFFTData() = default;
    CDSPFFTData(const CDSPFFTData&) = delete;
    CDSPFFTData& operator=(const CDSPFFTData&) = delete;

    /** Fresh arrays at 96000 samples per second (the block's own rate stays); returns the sum
     *  of the three arrays' sizes, 0 for an invalid type or size (the block is then unchanged). */
    int32_t Create(int32_t size, int32_t type);
    bool Create(int32_t type, int32_t size, double sampleRate);
    bool Create(int32_t type, int32_t size, double sampleRate, const std::string& description);
    /** Fresh block of the other's type, size and sample rate; copies no values, gain or texts. */
    bool Clone(const CDSPFFTData& other);
    /** Clone(other), then every value of the other's arrays of its size filled in (a response
     *  block keeps its own frequency axis), each array written once. */
    bool Duplicate(const CDSPFFTData& other);
    /** Whether Copy(other) would succeed. */
    bool CanCopy(const CDSPFFTData& other) const;
    /** Copies the values of a block of the same type and size; a response block keeps its own
     *  frequency axis and sample rate. Unchanged on failure. */
    bool Copy(const CDSPFFTData& other);
    /** Copies the first `count` values of each given source (clamped to the size); a response
     *  block ignores the time source. Returns the count copied. */
    int32_t Fill(int32_t count, const double* time, const double* magnitude, const double* phase);

    int32_t GetType() const { return m_pTime ? m_pTime->GetType() : 0; }
    int32_t GetSize() const { return m_pTime ? m_pTime->GetSize() : 0; }
    int32_t GetNumUsed() const { return m_pTime ? m_pTime->GetNumUsed() : 0; }
    void SetNumUsed(int32_t n);
    /** Samples per second, from the time array; 0.0 without arrays. */
    double GetSampleRate() const { return m_pTime ? m_pTime->GetSampleRate() : 0.0; }
    /** The rate the block was created, copied or last set with; Create(size, type) makes
     *  arrays at 96000 samples per second but keeps this one. */
    double GetBlockSampleRate() const { return m_sampleRate; }
    /** Sets the arrays' and the block's rate; returns it, or 0.0 without arrays. */
    double SetSampleRate(double fs);
    double GetGain() const { return m_gain; }
    double SetGain(double gain) { return m_gain = gain; }
    /** Phase delay of the channel (set by the data logger, read by the calibration). */
    double GetDelay() const { return m_delay; }
    double SetDelay(double delay) { return m_delay = delay; }
    const std::string& GetProcessDescription() const { return m_processDescription; }
    const std::string& GetErrorText() const { return m_errorText; }
    void SetErrorText(const std::string& text) { m_errorText = text; }

    bool IsType(const CDSPFFTData& other) const;
    bool IsSize(const CDSPFFTData& other) const;
    bool IsSampleRate(const CDSPFFTData& other) const;
    bool IsEquivalent(const CDSPFFTData& other) const;

    /** The arrays, owned by the block; null until created. */
    CDSPData* GetTimeObj() { return m_pTime.get(); }
    CDSPData* GetFreqObj() { return m_pFreq.get(); }
    CDSPData* GetPhaseObj() { return m_pPhase.get(); }
    const CDSPData* GetTimeObj() const { return m_pTime.get(); }
    const CDSPData* GetFreqObj() const { return m_pFreq.get(); }
    const CDSPData* GetPhaseObj() const { return m_pPhase.get(); }

    /** Windowed forward transform of the time array into magnitude and phase. False (and no
     *  change) without arrays or for a size that is not a power of two from 2 to 2^18. */
    bool DoFFT(int window);
    /** Inverse transform of magnitude and phase into the time array; same refusals. */
    bool DoIFFT();
    /** Weight of sample `index` for a window as long as the block; 0.0 outside the block. */
    double GetWindowSample(int window, int index) const;
    /** Divides the spectrum by a calibration response of the same size; with a reference
     *  frequency f != 0 the result is normalised to the calibration at f. False (and no change)
     *  for a calibration of another size or a reference bin outside it. */
    bool DoCal(const CDSPFFTData& calibration, double referenceFrequency);
    /** Writes a response block's frequency axis (fs*k/N, mirrored about N/2) into its time
     *  array again; false for a time block or a block without arrays. */
    bool RebuildFrequencyAxis();
    /** Inverts the block (negated samples, reciprocal gains, negated phases); returns the size,
     *  0 without arrays. */
    int32_t Invert();

    // Impulse responses and filtering on the time arrays (N a power of two, P = N - 1).
    /** Builds the permutation tables of the fast Hadamard transform (N entries each) from a
     *  maximum-length sequence reference of this block's size (one period in samples 0..N-2).
     *  False, tables unchanged, for a reference of another size or N not a power of two from 2
     *  to 2^18. */
    bool DoFHTReorderMatrix(std::vector<int32_t>& inputTags, std::vector<int32_t>& outputTags,
                            const CDSPFFTData& mls) const;
    /** Replaces one recorded sequence period by the impulse response (the circular correlation
     *  with the sequence over P samples, divided by P); sample N-1 repeats sample N-2. False,
     *  unchanged, when the tables do not fit this block. */
    bool DoFHT(const std::vector<int32_t>& inputTags, const std::vector<int32_t>& outputTags);
    /** Circular cross-correlation over samples 0..N-2 with a reference of the same size:
     *  out[l] = sum a[i] b[(i + l) mod P] / P; sample N-1 repeats N-2. False, unchanged, for
     *  another size or a block shorter than 2. */
    bool CrossCorrelate(const CDSPFFTData& reference);
    /** Filters the samples by the coefficient block's N taps, starting from silence:
     *  y[n] = sum h[k] x[n-k] over k = 0..n. False, unchanged, for another size. */
    bool DoTransversalFilter(const CDSPFFTData& coefficients);

    void Serialize(CArchive& ar) override;

    /** Whether the block has its three arrays (false until created). */
    bool HasArrays() const { return m_pTime && m_pFreq && m_pPhase; }

private:
    /** Replaces the arrays by fresh ones of that shape (time or frequency axis, 1.0, 0.0), or
     *  by copies of a source's arrays of that size. */
    bool Rebuild(int32_t type, int32_t size, double sampleRate, const std::string* description,
                 const CDSPFFTData* source = nullptr);
    /** Transform length for the block, 0 when it cannot be transformed. */
    int32_t TransformSize() const;

    std::unique_ptr<CDSPData> m_pTime;
    std::unique_ptr<CDSPData> m_pFreq;
    std::unique_ptr<CDSPData> m_pPhase;
    int32_t m_type = CDSPData::kTimeBlock;
    int32_t m_size = 1024;
    double m_sampleRate = 96000.0;
    double m_gain = 1.0;
    double m_delay = 0.0;
    std::string m_errorText;
    std::string m_processDescription;
};
