#pragma once
// The "WAV File Save" module: writes every block that reaches it to a PCM WAV file, a new one or
// appended to an existing one, and hands the block on unchanged. The file is written in place
// while the run goes on, its sizes fixed after every block, so a run that stops anywhere (a
// full disk, a crash) leaves a valid file of the blocks written so far; a recording can be long,
// so it is not collected first to be saved in one piece.

#include "formats/RiffFile.h"
#include "formats/WavFormat.h"
#include "modules/wav/WavFileView.h"

#include <cstdint>
#include <string>
#include <vector>

class CWavSaveView : public CWavFileView {
    AURIVO_DECLARE_SERIAL(CWavSaveView)
public:
    static constexpr const char* kNoFile = "(No File Opened)";

    CWavSaveView();

    /** Creates the file or opens it for appending. A run the user started keeps it open until
     *  EndRun; New, Append and Reset close it again at once. */
    int StartRun() override;
    /** Writes the current block and hands it on. */
    int ProcessData() override;
    int EndRun() override;

    /** A new step's rate follows the process's (the nearest in the list) until one is chosen
     *  or read from a process file. */
    void ShowCurrentParams() override;
    std::vector<CReadoutValue> GetReadoutValues() const override;
    std::string GetRunWarning() const override;

    // Control bar handlers; each stops the process first.
    void OnClickedNew();
    void OnClickedAppend();
    void OnClickedReset();
    void OnClickedClose();
    /** Makes `path` the output file (New with `append` 0, Append with 1) and creates or opens
     *  it at once; false after showing the message. */
    bool ChooseFile(const std::string& path, bool append);

    int32_t GetFramesWritten() const { return m_framesWritten; }
    /** The format written: the lists' choices, or the appended file's own. */
    int GetSampleRate() const { return m_sampleRate; }
    int GetBitsPerSample() const { return m_bitsPerSample; }
    int GetChannels() const { return m_channels; }

    /** The frame count as shown: digits grouped in threes with commas (2,000,500). */
    static std::string FrameCountText(int64_t frames);
    static const std::vector<int>& SampleRates();

protected:
    /** The settings in file order, with the bar's buttons and texts among them. */
    const ISettingRows* Rows() const override;
    /** A stored rate stays the stored rate. */
    void SettingsLoaded() override;

private:
    /** StartRun's work for a user's run (`keepOpen`) or a button (file closed again). */
    bool OpenOutput(bool keepOpen);
    /** Opens an existing file to append to; its message, or empty. */
    std::string OpenForAppend();
    /** Creates the file with its format and an empty data chunk; its message, or empty. */
    std::string CreateNew();
    /** The format the lists choose. */
    void TakeListFormat();
    /** The format written. */
    CWavFormat Format() const;

    int32_t m_rateIndex = 0;
    bool m_rateFollowsProcess = true;
    int32_t m_resolutionIndex = 1;
    int32_t m_channelsIndex = 1;
    int32_t m_append = 0;
    int m_sampleRate = 5000;
    int m_bitsPerSample = 16;
    bool m_isFloat = false;
    int m_channels = 2;
    int32_t m_framesWritten = 0;

    CRiffFile m_riff;
    int32_t m_blockSize = 0;
    std::vector<uint8_t> m_buffer;
};
