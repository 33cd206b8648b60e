#pragma once
// The channels of one step: one sample block per channel, block 0 = channel 1. Channel
// arguments are 0-based block indices; an index without a block gives a null or zero result
// and changes nothing.

#include "dsp/DSPFFTData.h"
#include "base/RuntimeClass.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CDSPFFTDataList : public CObject {
    AURIVO_DECLARE_SERIAL(CDSPFFTDataList)

public:
    CDSPFFTDataList() = default;
    CDSPFFTDataList(const CDSPFFTDataList&) = delete;
    CDSPFFTDataList& operator=(const CDSPFFTDataList&) = delete;

    /** Appends `count` blocks made by the block's Create of the same form; returns the sum of
     *  their results (0, and nothing appended, for an invalid type, size or count). */
    int32_t Create(int32_t count, int32_t size, int32_t type);
    bool Create(int32_t count, int32_t type, int32_t size, double sampleRate);
    bool Create(int32_t count, int32_t type, int32_t size, double sampleRate,
                const std::string& description);
    /** Appends a fresh block of the same shape per block of the other list. */
    bool Clone(const CDSPFFTDataList& other);
    bool Clone(const CDSPFFTDataList& other, const std::string& description);
    /** Clone(other) then Fill(other), writing each array once. */
    bool Duplicate(const CDSPFFTDataList& other);

    CDSPFFTData* GetAt(int channel);
    const CDSPFFTData* GetAt(int channel) const;
    /** Number of blocks (channels) the list holds. */
    int GetNumChans() const { return static_cast<int>(m_blocks.size()); }
    bool IsEmpty() const { return m_blocks.empty(); }

    CDSPData* GetTimeObj(int channel);
    double* GetTimeData(int channel);
    CDSPData* GetFreqObj(int channel);
    double* GetFreqData(int channel);
    CDSPData* GetPhaseObj(int channel);
    double* GetPhaseData(int channel);

    /** The list's own size and sample rate, as given at creation. */
    int32_t GetSize() const { return m_size; }
    double GetSampleRate() const { return m_sampleRate; }
    int32_t GetSize(int channel) const;
    int32_t GetType(int channel) const;
    int32_t GetNumUsed(int channel) const;
    double GetSampleRate(int channel) const;

    /** Fills each block from the other list's block of the same index over the other block's
     *  size; returns the sum of the counts times the number of block pairs. */
    int32_t Fill(const CDSPFFTDataList& other);
    /** Copies block by block over the common channels; false (and no change) when any pair
     *  cannot be copied. */
    bool Copy(const CDSPFFTDataList& other);

    bool IsSize(const CDSPFFTDataList& other) const;
    bool IsSampleRate(const CDSPFFTDataList& other) const;
    bool IsEquivalent(const CDSPFFTDataList& other) const;

    /** Channel -1 means every block (setting) or the first block (reading). */
    double SetGain(int channel, double gain);
    double SetDelay(int channel, double delay);
    double GetGain(int channel) const;
    double GetDelay(int channel) const;

    void SetNumUsed(int32_t n);
    void SetNumUsed(int channel, int32_t n);
    /** Sets every block and the list. */
    void SetSampleRate(double fs);

    bool DoFFT(int channel, int window);
    bool DoIFFT(int channel);

    /** Nearest integer; exactly halfway goes up (2.5 -> 3, -2.5 -> -2). Saturates at the int
     *  range; NaN gives 0. */
    static int DoubleToInt(double x);

    const std::string& GetProcessDescription() const { return m_processDescription; }
    const std::string& GetErrorText() const { return m_errorText; }
    void SetErrorText(const std::string& text) { m_errorText = text; }
    /** The title a plot file gave the list (the data logger's plots). */
    const std::string& GetTitle() const { return m_title; }
    void SetTitle(const std::string& title) { m_title = title; }

    void Serialize(CArchive& ar) override;

private:
    // Builds `count` blocks with `make`, appending them only when all succeed.
    template <typename Make> bool AppendBlocks(int32_t count, Make make);
    /** Appends a block per block of the other list, made by make(block, other's block), and
     *  takes the other's shape. */
    template <typename Make> bool CloneBlocks(const CDSPFFTDataList& other, Make make);
    // Applies a block test to the blocks of both lists in step, up to the shorter list.
    template <typename Test> bool AllPairs(const CDSPFFTDataList& other, Test test) const;
    double SetEach(int channel, double value, double (CDSPFFTData::*set)(double));

    int32_t m_channelCount = 2;
    int32_t m_type = CDSPData::kTimeBlock;
    int32_t m_size = 1024;
    double m_sampleRate = 96000.0;
    std::vector<std::unique_ptr<CDSPFFTData>> m_blocks;
    std::string m_errorText;
    std::string m_processDescription;
    std::string m_title;
};
