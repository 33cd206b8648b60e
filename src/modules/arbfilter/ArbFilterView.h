#pragma once
// The "Arbitrary Filter" module. The user describes up to six frequency responses (envelopes)
// as text, one "frequency, dB, degrees" point per line, typed, loaded from filter (.flt) or
// response (.rsp) files or pasted; each is binned and interpolated into a response block. Each
// channel is filtered by the envelope chosen for it, in the frequency domain ("FFT": circular,
// within the block) or in the time domain ("Trans": the envelope's impulse response as FIR
// taps). The texts are not stored in a process file; they are reloaded from the files.

#include "formats/EnvelopeText.h"
#include "process/DspView.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CArbFilterView : public CDspView {
    AURIVO_DECLARE_SERIAL(CArbFilterView)
public:
    static constexpr int kEnvelopes = 6;
    enum EFilterType : int32_t { kFFT = 0, kTrans = 1 };

    CArbFilterView();

    /** The rows (SettingRows.h), then the envelope list. */
    void Serialize(CArchive& ar) override;
    void OnInitialUpdate() override;
    /** With "Trans", makes the taps of all six envelopes. */
    int StartRun() override;
    /** Filters both channels by their envelopes and hands the block on; 0 without lists. */
    int ProcessData() override;
    int EndRun() override { return 1; }
    /** Base refresh; keeps the envelope list shaped like the working list (reloading every
     *  envelope from its file when it had to be rebuilt), then the controls and the plot. */
    void ShowCurrentParams() override;
    /** The edited envelope over the plot area: magnitude in dB and phase against log frequency,
     *  its title, "Inverted", and its text on the right half while "Edit" is on. */
    void OnDraw(ICanvas& canvas, const CRect& rect) override;

    /** Parses the edited envelope's text into its response block; 0 with the message in the
     *  error text (the block keeps its response). */
    int ParseEditControl();
    /** Reads the edited envelope's recorded file into its text; 0 without a path or when the
     *  file cannot be read. */
    int LoadFileInEditCtrl();
    /** Reloads and parses every envelope from its file; returns 1. */
    int UpdateAllEnvelopes();

    // The binning scratch of the last parse, per bin.
    const std::vector<double>& GetAmplData() const { return m_bins.dbSum; }
    const std::vector<double>& GetNumAmplElemData() const { return m_bins.dbCount; }
    const std::vector<double>& GetPhaseData() const { return m_bins.phaseSum; }
    const std::vector<double>& GetNumPhaseElemData() const { return m_bins.phaseCount; }

    // Control handlers: each stores, refreshes and marks the document modified.
    void OnSelChangeEditSel(int selection);
    void OnClickedNew();
    /** Asks the host's open dialog for a file and opens it (OpenFile). */
    void OnClickedOpen();
    /** Asks the host for the title; a host without a title dialog leaves it. */
    void OnClickedTitle();
    void OnClickedEdit();
    void OnClickedUpdate();
    void OnClickedInvert();
    /** Asks the host's save dialog for a path and saves there (SaveFile). */
    void OnClickedSave();
    // Edit commands: Shift acts on the working list (as every module), otherwise on the edited
    // envelope (a channel selected) or on all six.
    void OnEditCut(bool shift) override;
    void OnEditCopy(bool shift) override;
    void OnEditPaste(bool shift) override;

    /** "Open" after the dialog: a filter file into the edited envelope's text, or a response
     *  file into all six envelopes. False after the message. */
    bool OpenFile(const std::string& path);
    /** "Save" after the dialog: the edited envelope's text (.flt) or all envelopes (.rsp). */
    bool SaveFile(const std::string& path);
    /** "Title" after the dialog. */
    void SetEnvelopeTitle(const std::string& title);

    /** The text of envelope 0..5 as its edit control holds it. */
    const std::string& GetEnvelopeText(int envelope) const;
    /** What the user typed into the edited envelope's text; parsed by "Update". */
    void SetEnvelopeText(const std::string& text);
    /** Whether the edited envelope's text came from a file and may not be typed into. */
    bool IsEnvelopeTextReadOnly() const;
    int GetEditedEnvelope() const { return m_editedEnvelope; }
    int GetChannelEnvelope(int channel) const { return m_channelEnvelope[size_t(channel)]; }
    int GetFilterType() const { return m_filterType; }
    bool IsEditShown() const { return m_editShown != 0; }
    bool IsInverted(int envelope) const { return m_inverted[size_t(envelope)] != 0; }
    bool IsPasted(int envelope) const { return m_pasted[size_t(envelope)] != 0; }
    const std::string& GetEnvelopeTitle(int envelope) const { return m_titles[size_t(envelope)]; }
    const std::string& GetEnvelopeFileName(int envelope) const {
        return m_fileNames[size_t(envelope)];
    }
    /** The six response blocks; null until the first refresh. */
    const CDSPFFTDataList* GetEnvelopeList() const { return m_pEnvelopes.get(); }
    /** The FIR taps of envelope 0..5 as the last "Trans" preparation made them. */
    const CDSPFFTData* GetTaps(int envelope) const;
    /** The "DC Gain:" text of the edited envelope. */
    std::string GetDCGainText() const;
    /** Half the span of the plot's symmetric dB axis: 4 dB above the largest gain or loss of
     *  any bin (at least 4 dB), rounded up to 4 dB. */
    static double DbAxisScale(const CDSPFFTData& response);
    /** The plot rectangle and the text rectangle (empty while "Edit" is off) of a client area. */
    void GetEditLayout(const CRect& client, CRect& plot, CRect& text) const;

protected:
    const ISettingRows* Rows() const override;

private:
    void Refresh();
    /** A response block of the working list's shape per envelope; true when it was rebuilt. */
    bool ShapeEnvelopeList();
    /** Response of the edited envelope from the binning scratch. */
    void BuildResponse(CDSPFFTData& block) const;
    /** The taps of one envelope: its impulse response, without DoIFFT's amplitude weights. */
    bool MakeTaps(int envelope);
    /** The path a recorded one stands for: relative paths are taken from the process file's
     *  folder first, so that a process and its envelope files move together. */
    std::string ResolvePath(const std::string& path) const;
    /** Records a path, its file name and extension for the edited envelope. */
    void RecordPath(const std::string& path);
    void ForgetFile(int envelope);
    /** Fills the envelope texts from the envelope list; false when any text had to be cut. */
    bool PasteIntoTexts(int first, int last);
    /** Loads each envelope's file text quietly (after a process file was read). */
    void ReloadTexts();
    CDSPFFTData* EditedBlock();
    const CDSPFFTData* EditedBlock() const;
    void DrawPlot(ICanvas& canvas, const CRect& plot) const;

    int32_t m_editedEnvelope = 0;
    std::array<int32_t, 2> m_channelEnvelope{};
    int32_t m_filterType = kFFT;
    int32_t m_editShown = 0;
    std::array<std::string, kEnvelopes> m_texts;
    std::array<bool, kEnvelopes> m_readOnly{};
    std::array<std::string, kEnvelopes> m_paths, m_fileNames, m_extensions, m_titles;
    std::array<uint8_t, kEnvelopes> m_inverted{}, m_pasted{};
    std::unique_ptr<CDSPFFTDataList> m_pEnvelopes;
    std::unique_ptr<CDSPFFTDataList> m_pTaps;
    EnvelopeText::CBinSums m_bins;
};
