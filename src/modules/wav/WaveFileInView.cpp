#include "modules/wav/WaveFileInView.h"

#include "base/NumberText.h"
#include "platform/OpenFileDialog.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <cmath>

AURIVO_IMPLEMENT_DYNAMIC(CWaveFileInView, RUNTIME_CLASS(CDspView));

namespace {

constexpr const char* kOpen = "open";
constexpr const char* kClose = "close";
constexpr const char* kName = "name";
constexpr const char* kFile = "file";
constexpr const char* kStart = "start";
constexpr const char* kStop = "stop";
constexpr const char* kNotWave = "The file is not a valid WAVE file";
constexpr const char* kNoData = "The WAVE file has no data";

} // namespace

CWaveFileInView::CWaveFileInView() : CWavFileView(kNoFile) {
    AddControls();
}

const ISettingRows* CWaveFileInView::Rows() const {
    using V = CWaveFileInView;
    using R = CSettingRow<V>;
    // The file's format as stored when it was chosen.
    const auto format = [](EFieldType type, int CWavFormat::*member) {
        return R::Stored("").Access(
            type, [member](const V& v) { return double(v.m_format.*member); },
            [member](V& v, double x) { v.m_format.*member = int(x); });
    };
    const auto frame = [](const char* id, const char* label) {
        return R::Stored(id, label)
            .Bind(id == std::string(kStart) ? &V::m_startFrame : &V::m_stopFrame)
            .OnText([id](V& v, const std::string& text, std::string& message) {
                return v.SetSpanEnd(id == std::string(kStart), text, message);
            });
    };
    static const CSettingRows<V> rows{
        {
            R::Button(kOpen, "&Open", "File", "Choose the WAV file to play").OnChange([](V& v) {
                v.OnClickedOpen();
                return false; // opening refreshes by itself
            }),
            R::Button(kClose, "&Close", "File", "Forget the file and its span")
                .OnChange([](V& v) {
                    v.OnClickedClose();
                    return false;
                })
                .EnabledWhen([](const V& v) { return !v.m_filePath.empty(); }),
            R::Text(kName, "Name:", "File",
                    "The file played; drag across the overview to play a part of it")
                .Bind(&V::m_fileTitle),
            R::Stored(kFile, "File")
                .Bind(&V::m_filePath)
                .OnText([](V& v, const std::string& path, std::string& message) {
                    if (path.empty()) {
                        v.OnClickedClose();
                        return true;
                    }
                    message = v.LoadFile(path);
                    return message.empty();
                }),
            format(EFieldType::UInt16, &CWavFormat::bitsPerSample),
            format(EFieldType::Int32, &CWavFormat::sampleRate),
            format(EFieldType::UInt16, &CWavFormat::channels),
            R::Stored("").Bind(&V::m_totalFrames),
            R::Stored("").Bind(&V::m_selectionMade),
            frame(kStart, "Start frame"),
            frame(kStop, "Stop frame"),
        },
        // The stored format and frame count only describe the file as it was when chosen:
        // every run reads the file again, refuses a format it cannot play with the file's own
        // message and plays the span only as far as the file reaches. So a format of another
        // installation's or a span past the end of a file that has since shrunk opens, and the
        // run says what is wrong.
        [](const std::vector<double>& v) {
            const int32_t total = int32_t(v[5]), selection = int32_t(v[6]);
            const int32_t start = int32_t(v[7]), stop = int32_t(v[8]);
            if (selection < 0 || selection > 1 || total < 0 || start < 0 || start > stop)
                return "WAV file module span " + std::to_string(start) + " to " +
                       std::to_string(stop) + " is not a span of " + std::to_string(total) +
                       " frames";
            return std::string();
        }};
    return &rows;
}

void CWaveFileInView::SettingsLoaded() {
    m_format.formatTag = kWavFormatPcm;
    m_format.isFloat = false;
    m_overview.clear();
    UpdateControls();
}

// ---- File -----------------------------------------------------------------------------------

std::string CWaveFileInView::ReadHeader(CRiffFile& riff, CWavFormat& format,
                                        int32_t& frames) const {
    const std::string path = ResolvedPath();
    if (!riff.Open(path, ERiffMode::Read, RiffCode("WAVE"))) {
        std::error_code ec;
        const auto status = std::filesystem::status(path, ec);
        if (!std::filesystem::exists(status)) return "The WAVE file " + path + " does not exist";
        if (std::filesystem::is_directory(status)) return path + " is a folder, not a WAVE file";
        return kNotWave;
    }
    std::string message = ReadWavFormat(riff, format);
    if (!message.empty()) return message;
    const uint32_t size = riff.FindChunk(RiffCode("data"));
    // A frame count must fit the process file's int; longer files play their first 2^31 frames.
    frames = int32_t(std::min<uint32_t>(size / uint32_t(format.BytesPerFrame()), INT32_MAX));
    return frames > 0 ? std::string() : kNoData;
}

void CWaveFileInView::OnClickedOpen() {
    StopProcess();
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    if (!dialog) return;
    const auto path = dialog->AskOpenPath("Open", m_filePath, kWaveFileExtension, kWaveFileFilter);
    if (path) OpenFile(*path);
}

bool CWaveFileInView::OpenFile(const std::string& path) {
    const std::string message = LoadFile(path);
    if (!message.empty()) ShowErrorMessage(message);
    return message.empty();
}

std::string CWaveFileInView::LoadFile(const std::string& path) {
    StopProcess();
    CRiffFile riff;
    CWavFormat format;
    int32_t frames = 0;
    const std::string previous = std::exchange(m_filePath, path);
    const std::string message = ReadHeader(riff, format, frames);
    riff.Close();
    if (!message.empty()) {
        m_filePath = previous;
        return message;
    }
    m_format = format;
    m_totalFrames = frames;
    m_startFrame = 0;
    m_stopFrame = frames;
    m_selectionMade = 0;
    SetFile(path);
    m_overview.clear();
    Changed();
    return {};
}

void CWaveFileInView::ForgetFile() {
    SetFile({});
    m_totalFrames = m_startFrame = m_stopFrame = m_selectionMade = 0;
    m_overview.clear();
}

void CWaveFileInView::OnClickedClose() {
    StopProcess();
    m_riff.Close();
    ForgetFile();
    Changed();
}

// ---- Run contract ---------------------------------------------------------------------------

int CWaveFileInView::StartRun() {
    CDspDoc* doc = GetDocument();
    if (m_filePath.empty()) {
        if (doc && doc->IsStarting()) {
            ShowErrorMessage("No PCM file selected");
            return 0;
        }
        return 1;
    }
    int32_t frames = 0;
    const std::string message = ReadHeader(m_riff, m_format, frames);
    if (!message.empty()) {
        m_riff.Close();
        // A file that is missing keeps its path: the drive or share it is on may come back.
        if (message == kNotWave || message == kNoData) {
            ForgetFile();
            UpdateControls();
        }
        ShowErrorMessage(message);
        return 0;
    }
    // The file may have shrunk since the span was chosen.
    m_totalFrames = frames;
    m_stopFrame = std::min(m_stopFrame, frames);
    m_startFrame = std::min(m_startFrame, m_stopFrame);
    m_framesToPlay = m_stopFrame - m_startFrame;
    m_framesPlayed = 0;
    const int bytesPerFrame = m_format.BytesPerFrame();
    m_riff.Seek(m_riff.GetChunk().dataOffset + uint64_t(m_startFrame) * uint64_t(bytesPerFrame));
    m_blockSize = doc ? doc->GetSize() : 0;
    m_readBuffer.assign(size_t(m_blockSize) * size_t(bytesPerFrame), 0);
    return 1;
}

int CWaveFileInView::ProcessData() {
    CDspDoc* doc = GetDocument();
    if (!doc || !m_riff.IsOpen() || !m_pWorkingList || m_framesPlayed >= m_framesToPlay) return 0;
    for (CDSPFFTDataList* list : {m_pWorkingList.get(), m_pDisplayList.get(), m_pThirdList.get()})
        list->SetSampleRate(m_format.sampleRate);

    const int bytesPerFrame = m_format.BytesPerFrame();
    const bool unsigned8 = !m_format.isFloat && m_format.bitsPerSample == 8;
    std::fill(m_readBuffer.begin(), m_readBuffer.end(), uint8_t(unsigned8 ? 128 : 0));
    const int32_t frames = std::min(m_framesToPlay - m_framesPlayed, m_blockSize);
    m_riff.Read(m_readBuffer.data(), size_t(frames) * size_t(bytesPerFrame));

    const int32_t size = std::min(m_blockSize, m_pWorkingList->GetSize(0));
    double* left = m_pWorkingList->GetTimeData(0);
    double* right = m_pWorkingList->GetNumChans() > 1 ? m_pWorkingList->GetTimeData(1) : nullptr;
    const int sampleBytes = m_format.BytesPerSample();
    for (int32_t i = 0; i < size; ++i) {
        const uint8_t* frame = m_readBuffer.data() + size_t(i) * size_t(bytesPerFrame);
        left[i] = WavSampleValue(frame, m_format);
        if (right)
            right[i] = m_format.channels == 2 ? WavSampleValue(frame + sampleBytes, m_format) : 0.0;
    }
    // Counted as asked for, so that a file cut short while playing still ends the run.
    m_framesPlayed += frames;
    // The samples that came from the file; the rest of the file's last block is padding,
    // which the analysers must not take for signal.
    m_pWorkingList->SetNumUsed(std::min(frames, size));
    m_pDisplayList->Copy(*m_pWorkingList);
    m_pThirdList->Copy(*m_pWorkingList);
    doc->SetCurrentList(m_pWorkingList);
    doc->SetReferenceList(m_pThirdList);
    return 1;
}

int CWaveFileInView::EndRun() {
    m_riff.Close();
    m_readBuffer.clear();
    m_readBuffer.shrink_to_fit();
    return 1;
}

// ---- Readouts and settings ------------------------------------------------------------------

std::vector<CReadoutValue> CWaveFileInView::GetReadoutValues() const {
    if (m_filePath.empty()) return {{0, "File", m_fileTitle, false}};
    const std::string bits =
        std::to_string(m_format.bitsPerSample) + " Bit" + (m_format.isFloat ? " Float" : "");
    return {{0, "File", m_fileTitle, false},
            {0, "Resolution", bits},
            {0, "Channels", m_format.channels == 2 ? "Stereo" : "Mono"},
            {0, "Sample Rate", std::to_string(m_format.sampleRate) + " Hz"},
            {0, "Start", std::to_string(m_startFrame)},
            {0, "Stop", std::to_string(m_stopFrame)},
            {0, "Total Samples", std::to_string(m_totalFrames)}};
}

bool CWaveFileInView::SetSpanEnd(bool start, const std::string& value, std::string& message) {
    double number = 0.0;
    if (!ParseSettingNumber(value, number, message)) {
        message = "'" + value + "' " + message;
        return false;
    }
    const double first = start ? number : m_startFrame;
    const double last = start ? m_stopFrame : number;
    if (std::floor(number) != number || first < 0 || first > last || last > m_totalFrames) {
        message = "the span must lie within the file's " + std::to_string(m_totalFrames) +
                  " frames, its start not after its stop";
        return false;
    }
    m_startFrame = int32_t(first);
    m_stopFrame = int32_t(last);
    m_selectionMade = m_startFrame != 0 || m_stopFrame != m_totalFrames ? 1 : 0;
    return true;
}
