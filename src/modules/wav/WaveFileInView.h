#pragma once
// The "WAV File Open" module: plays a span of a WAV file into the process, one block per pass,
// the last block padded with silence; the run ends when the span is played. The display shows
// an overview of the whole file on which the user drags the span to play.

#include "formats/RiffFile.h"
#include "formats/WavFormat.h"
#include "modules/wav/WavFileView.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CWaveFileInView : public CWavFileView {
    AURIVO_DECLARE_SERIAL(CWaveFileInView)
public:
    static constexpr const char* kNoFile = "(No File)";

    CWaveFileInView();

    /** Opens the file and checks it again (it may have changed since it was chosen). Without
     *  a file only a run the user started is refused. */
    int StartRun() override;
    /** Plays the next block of the span; 0 once the span is played. */
    int ProcessData() override;
    /** Hands on the played block as the document's reference list. */
    bool PublishesReferenceSignal() const override { return true; }
    int EndRun() override;

    std::vector<CReadoutValue> GetReadoutValues() const override;

    /** "Open": asks for a file and opens it. */
    void OnClickedOpen();
    /** Reads the header of the file at `path` and makes it the module's file with the whole
     *  file as its span; false after showing the message when the file cannot be played. */
    bool OpenFile(const std::string& path);
    /** "Close": forgets the file and its span. */
    void OnClickedClose();

    // Span selection on the overview, in client pixels.
    void OnLButtonDown(CPoint point) override;
    void OnMouseMove(CPoint point, bool leftButtonDown) override;
    void OnLButtonUp(CPoint point) override;
    void OnDraw(ICanvas& canvas, const CRect& rect) override;

    const CWavFormat& GetFormat() const { return m_format; }
    int32_t GetTotalFrames() const { return m_totalFrames; }
    int32_t GetStartFrame() const { return m_startFrame; }
    int32_t GetStopFrame() const { return m_stopFrame; }
    bool IsSelectionMade() const { return m_selectionMade != 0; }
    /** The overview's channel values, one pair per column of a plot `width` pixels wide. */
    std::vector<std::pair<double, double>> ReadOverview(int32_t width);

protected:
    /** The settings in file order, with the bar's buttons and name among them. */
    const ISettingRows* Rows() const override;
    /** The stored format is a PCM one; the overview is read again. */
    void SettingsLoaded() override;

private:
    /** The file's format and frame count from its header; the failure's message, or empty. */
    std::string ReadHeader(CRiffFile& riff, CWavFormat& format, int32_t& frames) const;
    /** OpenFile without showing the message: the message, or empty. */
    std::string LoadFile(const std::string& path);
    void ForgetFile();
    /** Sets the span's start (or stop) from its listed text: a whole frame within the file,
     *  the start not after the stop. False with the reason. */
    bool SetSpanEnd(bool start, const std::string& value, std::string& message);
    /** The frame at a column of the plot of the last paint. */
    int32_t FrameAtX(int32_t x) const;

    CWavFormat m_format;
    int32_t m_totalFrames = 0;
    int32_t m_selectionMade = 0;
    int32_t m_startFrame = 0;
    int32_t m_stopFrame = 0;

    // Run state.
    CRiffFile m_riff;
    int32_t m_blockSize = 0;
    int32_t m_framesToPlay = 0;
    int32_t m_framesPlayed = 0;
    std::vector<uint8_t> m_readBuffer;

    // The overview as last read, for the width it was read for.
    std::vector<std::pair<double, double>> m_overview;
    bool m_dragging = false;
    int32_t m_pressX = 0;
    int32_t m_currentX = 0;
    CRect m_margins{5, 5, 5, 5};
};
