#include "modules/wav/WavSaveView.h"

#include "base/NumberText.h"
#include "formats/WavFormat.h"
#include "platform/AtomicFile.h"
#include "platform/FileDialog.h"
#include "platform/OpenFileDialog.h"
#include "platform/SampleRates.h"
#include "process/DspApp.h"
#include "process/DspDoc.h"
#include "process/StepRate.h"

#include <algorithm>
#include <climits>

AURIVO_IMPLEMENT_DYNAMIC(CWavSaveView, RUNTIME_CLASS(CDspView));

namespace {

constexpr const char* kNew = "new";
constexpr const char* kAppendButton = "append";
constexpr const char* kReset = "reset";
constexpr const char* kClose = "close";
constexpr const char* kName = "name";
constexpr const char* kFrames = "frames";
constexpr const char* kRate = "rate";
constexpr const char* kResolution = "resolution";
constexpr const char* kChannels = "channels";
constexpr const char* kAppend = "appendmode"; // a setting only; "append" is the button
constexpr const char* kFile = "file";

const std::vector<int> kChannelCounts = {1, 2};

std::vector<std::string> Texts(const std::vector<int>& numbers) {
    std::vector<std::string> texts;
    for (int n : numbers)
        texts.push_back(std::to_string(n));
    return texts;
}

// A whole WAVE file of `format` holding no samples yet: the RIFF header, the `fmt ` chunk (of an
// even size) and a `data` chunk of size 0 at the end, where the samples are appended.
std::vector<uint8_t> EmptyWavFileBytes(const CWavFormat& format) {
    const std::vector<uint8_t> fmt = WavFmtBytes(format);
    std::vector<uint8_t> bytes;
    const auto put = [&bytes](uint32_t value) {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(uint8_t(value >> (8 * i)));
    };
    put(RiffCode("RIFF"));
    put(uint32_t(4 + 8 + fmt.size() + 8));
    put(RiffCode("WAVE"));
    put(RiffCode("fmt "));
    put(uint32_t(fmt.size()));
    bytes.insert(bytes.end(), fmt.begin(), fmt.end());
    put(RiffCode("data"));
    put(0);
    return bytes;
}

} // namespace

const std::vector<int>& CWavSaveView::SampleRates() {
    static const std::vector<int> rates = {5000,  6000,  8000,  11025, 12000, 16000,  22050, 24000,
                                           32000, 44100, 48000, 88200, 96000, 176400, 192000};
    return rates;
}

std::string CWavSaveView::FrameCountText(int64_t frames) {
    std::vector<int> groups; // least significant first
    do {
        groups.push_back(int(frames % 1000));
        frames /= 1000;
    } while (frames > 0);
    std::string text = std::to_string(groups.back());
    for (size_t i = groups.size() - 1; i-- > 0;)
        text += FormatText(",%3.3d", groups[i]);
    return text;
}

CWavSaveView::CWavSaveView() : CWavFileView(kNoFile) {
    TakeListFormat();
    AddControls();
}

const ISettingRows* CWavSaveView::Rows() const {
    using V = CWavSaveView;
    using R = CSettingRow<V>;
    const auto button = [](const char* id, const char* label, const char* tip, void (V::*press)()) {
        return R::Button(id, label, "File", tip).OnChange([press](V& v) {
            v.StopProcess();
            (v.*press)();
            return false; // the button refreshes by itself
        });
    };
    const auto hasFile = [](const V& v) { return !v.m_filePath.empty(); };
    // A format list: a new file is written in the format the lists choose.
    const auto format = [](const char* id, const char* bar, const char* tip, int32_t V::*member,
                           const std::vector<std::string>& items, const char* label,
                           const char* message) {
        return R::Combo(id, bar, "Format", tip)
            .Bind(member)
            .Choice(items, message)
            .Listed(label)
            .OnChange([member, id](V& v, CRowChange& change) {
                v.StopProcess();
                v.*member = change.state.selection;
                if (id == std::string(kRate)) v.m_rateFollowsProcess = false;
                v.TakeListFormat();
                return true;
            });
    };
    static const CSettingRows<V> rows{{
        button(kNew, "&New", "Choose a file and start it empty", &V::OnClickedNew),
        button(kAppendButton, "&Append", "Choose an existing file to add to, in its own format",
               &V::OnClickedAppend),
        button(kReset, "&Reset", "Empty the file and write it from the start", &V::OnClickedReset)
            .EnabledWhen(hasFile),
        button(kClose, "&Close", "Stop writing to the file", &V::OnClickedClose)
            .EnabledWhen(hasFile),
        // The file is created (or opened to append to) when the run starts, as a headless run
        // names it before it runs.
        R::Stored(kFile, "File")
            .Bind(&V::m_filePath)
            .OnText([](V& v, const std::string& path, std::string&) {
                v.StopProcess();
                v.m_riff.Close();
                v.SetFile(path);
                v.m_framesWritten = 0;
                return true;
            }),
        R::Text(kName, "Name:", "File", "The file the blocks are written to").Bind(&V::m_fileTitle),
        R::Text(kFrames, "Frames:", "File", "Frames in the file's data").Shown([](const V& v) {
            return FrameCountText(v.m_framesWritten);
        }),
        format(kRate, "&Rate:", "Sample rate written to a new file", &V::m_rateIndex,
               Texts(SampleRates()), "Sample rate", "WAV save sample rate index out of range"),
        format(kResolution, "&Bits:", "Bits per sample of a new file", &V::m_resolutionIndex,
               SampleResolutionTexts(), "Bits", "WAV save resolution index out of range"),
        format(kChannels, "C&hannels:", "Channels of a new file", &V::m_channelsIndex,
               Texts(kChannelCounts), "Channels", "WAV save channel index out of range"),
        R::Stored(kAppend, "Append mode")
            .Bind(&V::m_append)
            .Choice({"Off", "On"}, "WAV save append flag out of range"),
    }};
    return &rows;
}

void CWavSaveView::SettingsLoaded() {
    m_rateFollowsProcess = false; // a stored rate stays the stored rate
    TakeListFormat();
    UpdateControls();
}

void CWavSaveView::TakeListFormat() {
    m_sampleRate = SampleRates()[size_t(m_rateIndex)];
    const CSampleResolution resolution = SampleResolutions()[size_t(m_resolutionIndex)];
    m_bitsPerSample = resolution.bits;
    m_isFloat = resolution.isFloat;
    m_channels = kChannelCounts[size_t(m_channelsIndex)];
}

// ---- Buttons --------------------------------------------------------------------------------

void CWavSaveView::OnClickedNew() {
    StopProcess();
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    IFileDialog* dialog = app ? app->GetFileDialog() : nullptr;
    if (!dialog) return;
    const auto path = dialog->AskSavePath("New", m_filePath, kWaveFileExtension, kWaveFileFilter);
    if (path) ChooseFile(*path, false);
}

void CWavSaveView::OnClickedAppend() {
    StopProcess();
    CDspApp* app = GetDocument() ? GetDocument()->GetApp() : nullptr;
    auto* dialog = app ? dynamic_cast<IOpenFileDialog*>(app->GetFileDialog()) : nullptr;
    if (!dialog) return;
    const auto path =
        dialog->AskOpenPath("Append", m_filePath, kWaveFileExtension, kWaveFileFilter);
    if (path) ChooseFile(*path, true);
}

bool CWavSaveView::ChooseFile(const std::string& path, bool append) {
    StopProcess();
    m_riff.Close();
    SetFile(path);
    m_framesWritten = 0;
    m_append = append ? 1 : 0;
    const bool ok = OpenOutput(false);
    Changed();
    return ok;
}

void CWavSaveView::OnClickedReset() {
    StopProcess();
    m_append = 0;
    OpenOutput(false);
    Changed();
}

void CWavSaveView::OnClickedClose() {
    StopProcess();
    m_riff.Close();
    SetFile({});
    m_framesWritten = 0;
    Changed();
}

// ---- Settings -------------------------------------------------------------------------------

void CWavSaveView::ShowCurrentParams() {
    if (const CDspDoc* doc = GetDocument(); doc && m_rateFollowsProcess) {
        m_rateIndex = NearestRateIndex(SampleRates(), doc->GetSampleRate());
        TakeListFormat();
    }
    CWavFileView::ShowCurrentParams();
}

std::string CWavSaveView::GetRunWarning() const {
    const CDspDoc* doc = GetDocument();
    return doc ? RateMismatchWarning(m_sampleRate, doc->GetSampleRate()) : std::string();
}

std::vector<CReadoutValue> CWavSaveView::GetReadoutValues() const {
    return {{0, "File", m_fileTitle, false},
            {0, "Format",
             std::to_string(m_bitsPerSample) + " Bit " + (m_isFloat ? "Float " : "") +
                 (m_channels == 2 ? "Stereo " : "Mono ") + std::to_string(m_sampleRate) + " Hz"},
            {0, "Frames", FrameCountText(m_framesWritten)},
            // The samples written, as a file manager counts them beside the frames.
            {0, "Size",
             FrameCountText(int64_t(m_framesWritten) * Format().BytesPerFrame()) + " bytes"}};
}

// ---- Run contract ---------------------------------------------------------------------------

std::string CWavSaveView::OpenForAppend() {
    if (!m_riff.Open(ResolvedPath(), ERiffMode::ReadWrite, RiffCode("WAVE")))
        return "The Output File Could Not Be Opened";
    CWavFormat format;
    std::string message = ReadWavFormat(m_riff, format);
    // Only the layouts this step writes itself: its samples must match the file's.
    const auto& resolutions = SampleResolutions();
    const bool written = std::any_of(resolutions.begin(), resolutions.end(), [&](const auto& r) {
        return r.bits == format.bitsPerSample && r.isFloat == format.isFloat;
    });
    const uint16_t tag = format.isFloat ? kWavFormatFloat : kWavFormatPcm;
    if (message.empty() && format.formatTag != tag)
        message = "The WAVE file is not in PCM format";
    else if (message.empty() && !written)
        message = "Invalid Sample Size/Number of Channels";
    if (!message.empty()) return message;
    m_sampleRate = format.sampleRate;
    m_bitsPerSample = format.bitsPerSample;
    m_isFloat = format.isFloat;
    m_channels = format.channels;
    const uint32_t size = m_riff.FindChunk(RiffCode("data"));
    if (m_riff.GetChunk().id != RiffCode("data")) {
        m_riff.SeekEnd(0);
        if (!m_riff.CreateChunk(RiffCode("data"), 0)) return "Failed To Create Data Chunk";
    } else if (!m_riff.IsLastChunk()) {
        // Growing the data in place would overwrite the chunks after it; moving them would
        // leave the file without them if the program stopped between the two writes.
        return "The WAVE file has other chunks after its data; appending would overwrite them";
    }
    const uint32_t frames = size / uint32_t(format.BytesPerFrame());
    // A partial frame at the end (a writer cut short) is written over.
    m_riff.Seek(m_riff.GetChunk().dataOffset + uint64_t(frames) * uint64_t(format.BytesPerFrame()));
    m_framesWritten = int32_t(std::min<uint32_t>(frames, INT32_MAX));
    return {};
}

std::string CWavSaveView::CreateNew() {
    TakeListFormat();
    // The new file is made whole (its format and an empty data chunk) beside the old one and
    // then takes its place, so a program stopped at any moment leaves the old file or a valid
    // empty recording, never a header cut short.
    if (std::string error; !WriteFileAtomically(ResolvedPath(), EmptyWavFileBytes(Format()), error))
        return "The Output File Could Not Be Opened";
    if (!m_riff.Open(ResolvedPath(), ERiffMode::ReadWrite, RiffCode("WAVE")))
        return "The Output File Could Not Be Opened";
    m_riff.FindChunk(RiffCode("data"));
    if (m_riff.GetChunk().id != RiffCode("data")) return "Failed To Create Data Chunk";
    m_framesWritten = 0;
    return {};
}

CWavFormat CWavSaveView::Format() const {
    return {m_isFloat ? kWavFormatFloat : kWavFormatPcm, m_channels, m_sampleRate, m_bitsPerSample,
            m_isFloat};
}

bool CWavSaveView::OpenOutput(bool keepOpen) {
    const std::string message = m_append ? OpenForAppend() : CreateNew();
    if (!message.empty()) {
        m_riff.Close();
        ShowErrorMessage(message);
        return false;
    }
    const CDspDoc* doc = GetDocument();
    m_blockSize = doc ? doc->GetSize() : 0;
    if (keepOpen) {
        m_buffer.assign(size_t(m_bitsPerSample / 8 * m_channels) * size_t(m_blockSize), 0);
    } else {
        m_riff.Close();
        m_buffer.clear();
    }
    UpdateControls();
    return true;
}

int CWavSaveView::StartRun() {
    const CDspDoc* doc = GetDocument();
    const bool userRun = doc && doc->IsStarting();
    if (m_filePath.empty()) {
        if (!userRun) return 1;
        ShowErrorMessage("No Output WAV File Selected");
        return 0;
    }
    // The start that refreshes settings leaves the file alone: recreating it there would empty
    // a recording whenever a process is opened or its FFT options change.
    if (!userRun) return 1;
    m_riff.Close();
    return OpenOutput(true) ? 1 : 0;
}

int CWavSaveView::ProcessData() {
    CDspDoc* doc = GetDocument();
    if (m_filePath.empty()) {
        ShowErrorMessage("No Output WAV File Selected");
        return 0;
    }
    CDSPFFTDataList* in = doc ? doc->GetCurrentList() : nullptr;
    if (!in || !m_pWorkingList || !m_riff.IsOpen()) {
        ShowErrorMessage("Error writing to WAV file");
        return 0;
    }
    const int bytesPerSample = m_bitsPerSample / 8;
    const int32_t frames = std::min(m_blockSize, in->GetSize(0));
    const double* source[2] = {in->GetTimeData(0),
                               in->GetNumChans() > 1 ? in->GetTimeData(1) : in->GetTimeData(0)};
    const CWavFormat format = Format();
    uint8_t* out = m_buffer.data();
    for (int32_t i = 0; i < frames; ++i)
        for (int c = 0; c < m_channels; ++c)
            out += StoreWavSample(source[c][i], format, out);
    const size_t bytes = size_t(frames) * size_t(bytesPerSample * m_channels);
    if (m_riff.Write(m_buffer.data(), bytes) != bytes) {
        ShowErrorMessage("Error writing to WAV file");
        return 0;
    }
    m_framesWritten += frames;
    if (!m_riff.Flush()) {
        ShowErrorMessage("Error flushing WAV file buffer");
        return 0;
    }
    Controls().StateById(kFrames)->text = FrameCountText(m_framesWritten);
    m_pWorkingList->Copy(*in);
    m_pThirdList->Copy(*m_pWorkingList);
    m_pDisplayList->Copy(*m_pWorkingList);
    doc->SetCurrentList(m_pWorkingList);
    return 1;
}

int CWavSaveView::EndRun() {
    m_riff.Close();
    m_buffer.clear();
    m_buffer.shrink_to_fit();
    return 1;
}
