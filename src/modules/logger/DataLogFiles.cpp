// The log's files: a plot file read into a plot, a data log file read or written whole, and a
// plot written as a plot, FRD, ZMA or CSV file in the units its axes show.

#include "modules/logger/DataLog.h"

#include "formats/DataLogFile.h"
#include "formats/FRDZMA.h"
#include "formats/PlotCsv.h"
#include "modules/logger/LoggerAxes.h"

namespace {
constexpr const char* kUnableToOpen = "Unable to open file";
constexpr const char* kNoPlots = "No plots to save";
} // namespace

std::string CDataLog::FRDRefusal(const CAxes& axes, int channel, bool save) {
    // The copy's messages keep the spelling users know them by.
    if (axes.markerType != kLogYdBVSPL)
        return std::string("Selected axis Y scale must be dBVSPL in order ") +
               (save ? "to save to *.FRD file" : " to copy in FRD format") +
               "\n Right Click and select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) whose "
               "Y scale is dBVSPL";
    if (channel < 0)
        return std::string("A single channel must be selected in order ") +
               (save ? "to save to *.FRD file" : "t to copy in FRD format") +
               "\n Right Click and select a Channel (Sel Ch1 or Sel Ch2) whose Y scale is dBVSPL";
    if (axes.markerRef == 1.0)
        return std::string("Selected axis reference level must be valid (not equal to 1) in order "
                           "to ") +
               (save ? "save to *.FRD file" : "copy in FRD format");
    return {};
}

std::string CDataLog::ZMARefusal(const CAxes& axes, bool save) {
    if (axes.yType[0] != kLogYImpedance || axes.yRef[0] == 10.0 || axes.yType[1] != kLogYDegrees)
        return std::string("YAXIS1 scale must be |Z| with a reference level != 10.\n YAXIS2 scale "
                           "must be Degrees in order to ") +
               (save ? "save to *.ZMA file" : "copy in ZMA format");
    return {};
}

std::string CDataLog::OpenPlot(int plot, const std::string& path) {
    if (!m_list) return kUnableToOpen;
    if (!DataLogFile::OpenPlot(*m_list, m_list->GetChannels(), m_list->GetType(), m_list->GetSize(),
                               m_list->GetSampleRate(), plot, path))
        return "Unable to open file.\r\n" + m_list->GetErrorText();
    m_title = m_list->GetAt(plot)->GetTitle();
    return {};
}

std::string CDataLog::OpenDataLog(const std::string& path) {
    if (!m_list) return kUnableToOpen;
    // The log is as it was; the message says where the file is damaged.
    if (!DataLogFile::Open(*m_list, path))
        return "Unable to open file.\r\n" + m_list->GetErrorText();
    m_title = m_list->GetDataLogFileTitle();
    m_combined.reset();
    return {};
}

std::string CDataLog::SaveFRD(int plot, int channel, const std::string& path, const CAxes& axes) {
    if (std::string refusal = FRDRefusal(axes, channel, true); !refusal.empty()) return refusal;
    if (SaveFRDdBSPL(*m_list->GetAt(plot), channel, path, m_title, axes.markerRef) == 0)
        return "Unable to open *.FRD file";
    return {};
}

std::string CDataLog::SaveZMA(int plot, const std::string& path, const CAxes& axes) {
    if (std::string refusal = ZMARefusal(axes, true); !refusal.empty()) return refusal;
    if (::SaveZMA(*m_list->GetAt(plot), path, m_title, axes.yRef[0]) == 0)
        return "Unable to open *.ZMA file";
    return {};
}

std::string CDataLog::SaveCSV(int plot, const std::string& path, const CAxes& axes) {
    // Magnitudes in the unit of the Y1 axis (volts peak when it shows no magnitude).
    CLoggerChan record = axes.y1;
    if (record.yCode == kLogYNone || record.yCode == kLogYDegrees || record.yCode == kLogYImpedance)
        record.yCode = kLogYVpk;
    const std::string unit = LoggerYAxisChoices()[size_t(record.yCode)];
    const CDSPFFTDataList& list = *m_list->GetAt(plot);
    const auto magnitude = [&](int channel, int32_t bin) {
        CLoggerChan r = record;
        r.xCode = channel == 0 ? kLogF1Lin : kLogF2Lin;
        r.timeA = r.timeB = nullptr;
        r.magnitudeA = list.GetAt(0) ? list.GetAt(0)->GetFreqObj()->GetDataPointer() : nullptr;
        r.magnitudeB = list.GetAt(1) ? list.GetAt(1)->GetFreqObj()->GetDataPointer() : nullptr;
        r.gain = list.GetGain(channel);
        return LoggerValue(r, bin);
    };
    std::string error;
    return PlotCsv::Save(list, path, unit, magnitude, error) ? std::string() : kUnableToOpen;
}

std::string CDataLog::SavePlot(int plot, int channel, const std::string& path, int filter,
                               const CAxes& axes) {
    if (IsEmpty()) return kNoPlots;
    if (!m_list->GetAt(plot)) return kUnableToOpen;
    switch (filter) {
    case 1:
        return SaveFRD(plot, channel, path, axes);
    case 2:
        return SaveZMA(plot, path, axes);
    case 3:
        return SaveCSV(plot, path, axes);
    default:
        return DataLogFile::SavePlot(*m_list, plot, path, m_title) == 0 ? kUnableToOpen
                                                                        : std::string();
    }
}

std::string CDataLog::SaveDataLog(const std::string& path) {
    if (IsEmpty()) return kNoPlots;
    return DataLogFile::Save(*m_list, path, m_title) == 0 ? kUnableToOpen : std::string();
}
