#pragma once
// The "Signal Generator" module: fills one block per channel on every pass with a synthetic
// waveform (periodic waves, sweeps, pulses, noise, impulses, maximum-length sequences or
// samples pasted from the clipboard), scaled by a level, and adds it to the incoming block
// when it is not the first step. Each channel is set up in its own channel bar.

#include "modules/generator/ObList.h"
#include "modules/generator/SigGenChanDlgBar.h"
#include "process/DspView.h"

#include <cstddef>
#include <memory>
#include <span>
#include <string>
#include <utility>
#include <vector>

class CSigGenView : public CDspView {
    AURIVO_DECLARE_SERIAL(CSigGenView)
public:
    CSigGenView();
    ~CSigGenView() override;

    /** Creates the block lists, and a bar for each document channel that has none. */
    void OnInitialUpdate() override;
    /** Checks every channel in order and prepares its run state; 0 after showing the first
     *  error. */
    int StartRun() override;
    /** Generates one block per channel and publishes the working and reference lists; 0 when a
     *  channel's block or bar is missing. */
    int ProcessData() override;
    /** Hands on the generated signal as the document's reference list. */
    bool PublishesReferenceSignal() const override { return true; }
    int EndRun() override { return 1; }
    /** Base refresh, the document's sample rate for the lists, the clipboard list in the
     *  current list's shape, and every bar's controls. */
    void ShowCurrentParams() override;
    /** The first channel whose settings StartRun would refuse, with StartRun's message. */
    std::string CheckRunSettings() const override;
    void Serialize(CArchive& ar) override;
    /** The crest factor of the block each "Pink" channel played last. */
    std::vector<CReadoutValue> GetReadoutValues() const override;

    /** Fills one channel's block (at most `out.size()` samples); always true. */
    bool GenerateSamples(std::span<double> out, CSigGenChanDlgBar& bar);
    /** The bar of a 0-based channel, or null. */
    CSigGenChanDlgBar* GetChannelPointer(int index) const;
    int GetChannelCount() const { return m_channelCount; }

protected:
    /** One row set per channel bar. */
    std::vector<CRowSet> RowSets() const override;

private:
    /** Bars for the document's channels that have none, with their controls. */
    void EnsureBars();
    /** StartRun for one channel: checks, pastes for "Clipboard", resets the run state. */
    bool StartChannel(CSigGenChanDlgBar& bar, double fs, int32_t n);
    /** The message StartRun refuses a channel with on its settings; empty when none. */
    static std::string ChannelRefusal(const CSigGenChanDlgBar& bar, double fs, int32_t n);
    bool PasteClipboard(const CSigGenChanDlgBar& bar, int32_t n);
    /** Advances the phase by one sample's step, ending the cycle where it wraps. */
    void AdvancePhase(CSigGenChanDlgBar& bar, double delta);
    /** The sine at a steady frequency, phase step `delta`: the commonest wave, without the
     *  choices the other waves make on every sample. */
    void FillSteadySine(std::span<double> out, CSigGenChanDlgBar& bar, double level, double delta);
    /** Single cycle and single shot finish (the shot's button then reads "Reset"). */
    void EndCycle(CSigGenChanDlgBar& bar);
    double NextClipboardSample();
    void WriteBars(CArchive& ar) const;
    bool ReadBars(CArchive& ar, CObList& bars);

    CObList m_barList; // the bars, one per channel, in channel order
    int32_t m_channelCount = 0;
    std::unique_ptr<CDSPFFTDataList> m_pClipboardList; // what the "Clipboard" wave plays
    std::span<const double> m_clipboardSamples;        // the current channel's clipboard samples
    size_t m_clipboardRead = 0;
};
