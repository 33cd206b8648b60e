#pragma once
// One channel of the signal generator: the settings its channel bar shows and stores, and the
// run state that carries the waveform from sample to sample and from block to block.

#include "base/RuntimeClass.h"
#include "process/SettingRows.h"

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

class CArchive;

/** Wave types: positions in the bar's wave list. */
enum ESigGenWave : int32_t {
    kWaveSine = 0,
    kWaveSine180,
    kWaveCosine,
    kWaveCosine180,
    kWaveACSquare,
    kWaveACSquare180,
    kWaveDCPosSquare,
    kWaveDCPosSquare180,
    kWaveDCNegSquare,
    kWaveDCNegSquare180,
    kWaveTriangle,
    kWaveTriangle180,
    kWaveUpRamp,
    kWaveUpRamp180,
    kWaveDownRamp,
    kWaveDownRamp180,
    kWaveACPulse,
    kWaveACPulse180,
    kWaveDCPosPulse,
    kWaveDCPosPulse180,
    kWaveDCNegPulse,
    kWaveDCNegPulse180,
    kWaveWhite,
    kWaveImpulse,
    kWaveImpulse180,
    kWaveMLS,
    kWaveMLS180,
    kWaveHalfSquare,
    kWaveHalfSquare180,
    kWaveClipboard,
    // Appended, so every stored wave keeps its number.
    kWaveSyncSweep,
    kWavePink,
    kWaveCount
};

/** Modes: positions in the bar's mode list. */
enum ESigGenMode : int32_t {
    kModeConstant = 0,
    kModeConstPhs,
    kModeSingleCycle,
    kModeSingleShot,
    kModeLinSweep,
    kModeLog10UpSweep,
    kModeLog10DnSweep,
    kModeExp10UpSweep,
    kModeExp10DnSweep,
    kModeCount
};

class CSigGenChanDlgBar : public CObject {
    AURIVO_DECLARE_SERIAL(CSigGenChanDlgBar)
public:
    /** Channels a generator has at most (the document's channel count). */
    static constexpr int32_t kMaxChannels = 2;
    /** Run flag values of single cycle and single shot. */
    static constexpr int16_t kRunFinished = 0;
    static constexpr int16_t kRunArmed = 2;

    static const std::vector<std::string>& WaveNames();
    static const std::vector<std::string>& ModeNames();
    static bool IsPulseWave(int32_t wave) {
        return wave >= kWaveACPulse && wave <= kWaveDCNegPulse180;
    }
    static bool IsSweepMode(int32_t mode) { return mode >= kModeLinSweep && mode < kModeCount; }

    CSigGenChanDlgBar() = default;
    explicit CSigGenChanDlgBar(int32_t channel) : m_channel(channel) {}

    /** Single cycle or single shot after its cycle: the sample functions give resting values. */
    bool IsResting() const {
        return (m_mode == kModeSingleCycle || m_mode == kModeSingleShot) &&
               m_runFlag == kRunFinished;
    }

    /** Starts a new cycle: phase 0.0 at the start of a pulse period. */
    void RestartCycle() {
        m_phase = 0.0;
        m_pulseCounter = 1;
    }

    /** Where this channel's rows sit among the module's settings: ids "ch1.wave" ..., labels
     *  "Ch1 wave" .... */
    CRowPrefix Prefix() const;
    /** "12.1 dB", the crest factor of the pink noise the channel played last; empty when it
     *  plays another wave or has played nothing yet. */
    std::string CrestText() const;

    /** The settings of a channel in file order, with the bar's controls. */
    static const CSettingRows<CSigGenChanDlgBar>& Rows();

    /** The stored fields alone: the bar list decides whether a class record precedes them.
     *  Reading checks every value and changes nothing on failure; infinite times and
     *  frequencies are kept for the run to refuse, a value that is not a number is damage. */
    void Serialize(CArchive& ar) override;

    // Settings, stored.
    int32_t m_channel = 1; // 1-based
    int32_t m_waveType = kWaveSine;
    double m_frequency = 1031.25; // Hz
    int32_t m_mode = kModeConstant;
    int32_t m_level = 100;        // percent of full scale
    double m_sweepStart = 9025.0; // Hz
    double m_sweepStop = 13025.0; // Hz
    double m_sweepTime = 0.02322; // seconds
    double m_pulseStart = 0.0;    // seconds from the start of the pulse period
    double m_pulseStop = 0.005333;
    double m_pulsePeriod = 0.010666;

    // Run state, prepared by the module's StartRun.
    int16_t m_runFlag = kRunFinished;
    double m_phase = 0.0;              // radians
    double m_effectiveFrequency = 0.0; // Hz
    int32_t m_blockSize = 1024;
    double m_sampleRate = 96000.0;
    // Pulse periods may exceed the int32 range at high sample rates (3600 s at 10 MHz).
    int64_t m_pulseCounter = 1; // 1-based position within the pulse period
    int64_t m_samplesPerPeriod = 1024;
    double m_sweepCounter = 1.0;   // 1-based position within the sweep
    double m_sweepLength = 1024.0; // samples per sweep
    int32_t m_transformOrder = 10;
    int32_t m_mlsOrderIndex = 9;
    uint32_t m_mlsState = 0xFFFFFFFFu;
    uint32_t m_mlsOutputMask = 1024;
    uint32_t m_randomState = 1;                                  // "White" generator
    double m_crestDb = std::numeric_limits<double>::quiet_NaN(); // of the last "Pink" block
};
