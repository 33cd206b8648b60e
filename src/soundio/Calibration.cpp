// The calibration record: construction, defaults, assignment and its part of a process file.

#include "soundio/Calibration.h"

#include "base/Archive.h"
#include "soundio/SoundIOView.h"

#include <filesystem>

AURIVO_IMPLEMENT_SERIAL(CCalibration, nullptr);

std::string CalibrationAbsolutePath(const std::string& path) {
    if (path.empty()) return path;
    std::error_code error;
    const std::filesystem::path full = std::filesystem::absolute(path, error);
    return error ? path : full.lexically_normal().string();
}

CCalibration::CCalibration() : m_pFreqResponse(NewResponseList()) {}

CCalibration::CCalibration(CSoundIOView* owner)
    : m_pOwner(owner), m_pFreqResponse(NewResponseList()) {}

CCalibration::~CCalibration() = default;

std::unique_ptr<CDSPFFTDataList> CCalibration::NewResponseList() const {
    auto list = std::make_unique<CDSPFFTDataList>();
    const CDSPFFTDataList* shape = m_pOwner ? m_pOwner->GetWorkingList() : nullptr;
    const bool made =
        shape ? list->Clone(*shape) : list->Create(2, CDSPData::kResponseBlock, 1024, 96000.0);
    return made ? std::move(list) : std::make_unique<CDSPFFTDataList>();
}

void CCalibration::InitializeDefaults() {
    const std::string processName = ProcessName;
    CSoundIOView* owner = m_pOwner;
    PathName.clear();
    CalSel = "Auto";
    MeasSel = "Vpeak";
    for (int c = 0; c < 2; ++c) {
        Level[c] = CLevelCal{};
        Latency[c] = CLatencyCal{};
        Freq[c] = CFreqCal{};
    }
    FreqCalTypeSel = "Pulse";
    ReturnedErrors.clear();
    ProcessName = processName;
    m_pOwner = owner;
    m_pFreqResponse = NewResponseList();
}

bool CCalibration::HoldsCalibration() const {
    for (int c = 0; c < 2; ++c)
        if (Level[c] != CLevelCal{} || Latency[c] != CLatencyCal{} || Freq[c] != CFreqCal{})
            return true;
    return !PathName.empty();
}

CCalibration& CCalibration::operator=(const CCalibration& other) {
    if (this == &other) return *this;
    ProcessName = other.ProcessName;
    PathName = other.PathName;
    CalSel = other.CalSel;
    MeasSel = other.MeasSel;
    for (int c = 0; c < 2; ++c) {
        Level[c] = other.Level[c];
        Latency[c] = other.Latency[c];
        Freq[c] = other.Freq[c];
    }
    FreqCalTypeSel = other.FreqCalTypeSel;
    ReturnedErrors = other.ReturnedErrors;
    m_pOwner = other.m_pOwner;
    if (const CDSPFFTDataList* from = other.m_pFreqResponse.get()) {
        // A list of another shape would be filled only partly; take the other's shape first.
        if (!m_pFreqResponse || !m_pFreqResponse->IsEquivalent(*from)) {
            auto fresh = std::make_unique<CDSPFFTDataList>();
            if (fresh->Clone(*from)) m_pFreqResponse = std::move(fresh);
        }
        m_pFreqResponse->Fill(*from);
        // The checks read the response's gain and delay, which filling leaves alone.
        for (int c = 0; c < from->GetNumChans(); ++c) {
            m_pFreqResponse->SetGain(c, from->GetGain(c));
            m_pFreqResponse->SetDelay(c, from->GetDelay(c));
        }
    }
    return *this;
}

std::string CCalibration::GetCalFileName() const {
    const size_t slash = PathName.find_last_of("/\\");
    return slash == std::string::npos ? PathName : PathName.substr(slash + 1);
}

void CCalibration::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CCalibration));
        for (const std::string* s : {&ProcessName, &PathName, &CalSel, &MeasSel})
            ar.WriteString(*s);
        for (const CLevelCal& l : Level) {
            ar.WriteString(l.FullScaleLevelParams);
            ar.WriteInt32(l.PeakSampleLevel);
            ar.WriteDouble(l.UserInputLevel);
            ar.WriteInt32(l.TriggerLevel);
            ar.WriteInt32(l.TriggerOffset);
            for (const std::string* s :
                 {&l.LevelOutputDeviceName, &l.LevelInputDeviceName, &l.MixerName, &l.MixerSource})
                ar.WriteString(*s);
            ar.WriteInt32(l.Gain);
            ar.WriteString(l.MixerDestination);
            ar.WriteInt32(l.InputLevelCalApply ? 1 : 0);
        }
        for (const CLatencyCal& l : Latency) {
            ar.WriteString(l.LatencyOutputDeviceName);
            ar.WriteString(l.LatencyInputDeviceName);
            ar.WriteString(l.LatencyParams);
            ar.WriteInt32(l.LatencyCalApply ? 1 : 0);
        }
        ar.WriteString(FreqCalTypeSel);
        for (const CFreqCal& f : Freq) {
            ar.WriteString(f.FreqOutputDeviceName);
            ar.WriteString(f.FreqInputDeviceName);
            ar.WriteString(f.FreqCalParams);
            ar.WriteInt32(f.FreqCalApply ? 1 : 0);
        }
        ar.WriteString(ReturnedErrors);
        ar.WriteObject(m_pFreqResponse.get());
        return;
    }
    if (!ar.Ok()) return;
    ar.ReadClass(RUNTIME_CLASS(CCalibration));
    ar.GetObjectSchema();
    CCalibration read;
    for (std::string* s : {&read.ProcessName, &read.PathName, &read.CalSel, &read.MeasSel})
        *s = ar.ReadString();
    for (CLevelCal& l : read.Level) {
        l.FullScaleLevelParams = ar.ReadString();
        l.PeakSampleLevel = ar.ReadInt32();
        l.UserInputLevel = ar.ReadDouble();
        l.TriggerLevel = ar.ReadInt32();
        l.TriggerOffset = ar.ReadInt32();
        for (std::string* s :
             {&l.LevelOutputDeviceName, &l.LevelInputDeviceName, &l.MixerName, &l.MixerSource})
            *s = ar.ReadString();
        l.Gain = ar.ReadInt32();
        l.MixerDestination = ar.ReadString();
        l.InputLevelCalApply = ar.ReadInt32() != 0;
    }
    for (CLatencyCal& l : read.Latency) {
        l.LatencyOutputDeviceName = ar.ReadString();
        l.LatencyInputDeviceName = ar.ReadString();
        l.LatencyParams = ar.ReadString();
        l.LatencyCalApply = ar.ReadInt32() != 0;
    }
    read.FreqCalTypeSel = ar.ReadString();
    for (CFreqCal& f : read.Freq) {
        f.FreqOutputDeviceName = ar.ReadString();
        f.FreqInputDeviceName = ar.ReadString();
        f.FreqCalParams = ar.ReadString();
        f.FreqCalApply = ar.ReadInt32() != 0;
    }
    read.ReturnedErrors = ar.ReadString();
    std::unique_ptr<CObject> object = ar.ReadObject(RUNTIME_CLASS(CDSPFFTDataList));
    if (!ar.Ok()) return;
    auto* list = dynamic_cast<CDSPFFTDataList*>(object.get());
    if (!list) {
        ar.Fail("Calibration: the frequency response is missing");
        return;
    }
    object.release();
    read.m_pOwner = m_pOwner;
    *this = read;
    m_pFreqResponse.reset(list);
}
