#pragma once
// What both WAV modules share: the file they name (its path as set and the title shown), where
// a relative path points, and the refresh after a change.

#include "process/DspView.h"

#include <string>
#include <utility>

inline constexpr const char* kWaveFileFilter = "WAVE files (*.WAV)|*.WAV|All files (*.*)|*.*||";
inline constexpr const char* kWaveFileExtension = "wav";

class CWavFileView : public CDspView {
public:
    const std::string& GetFilePath() const { return m_filePath; }
    const std::string& GetFileTitle() const { return m_fileTitle; }

    void OnInitialUpdate() override;
    void ShowCurrentParams() override;

protected:
    /** `noFile`: the title shown without a file. */
    explicit CWavFileView(std::string noFile) : m_fileTitle(noFile), m_noFile(std::move(noFile)) {}

    /** Refreshes the controls, marks the process modified and repaints after a user's change. */
    void Changed();
    /** A change a row accepted: Changed, without the refresh from the step before. */
    void SettingChanged() override { Changed(); }
    /** Names the file (none for an empty path); the title is its file name. */
    void SetFile(const std::string& path);
    /** The path to open: a relative one from the process file's folder, so a process and the
     *  WAV files beside it move together; without a process file, from the working folder. */
    std::string ResolvedPath() const;

    std::string m_filePath;
    std::string m_fileTitle;

private:
    std::string m_noFile;
};
