// The process file and the edit transfer archive of a process document.
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kSchema = "Process0";
constexpr const char* kLegacySchema = "Process";
} // namespace

bool CDspDoc::StartsLikeProcessFile(const std::vector<uint8_t>& head) {
    CArchive ar(head);
    const std::string schema = ar.ReadString();
    // A file too short to hold a name is left to the full reading, which says what is missing.
    if (!ar.Ok()) return head.size() < kSchemaBytes;
    return schema == kSchema || schema == kLegacySchema;
}

void CDspDoc::WriteSettings(CArchive& ar) const {
    ar.WriteInt32(m_blockSize);
    ar.WriteDouble(m_sampleRate);
    ar.WriteInt32(m_pauseOnRecord);
    ar.WriteInt32(m_pauseEveryModule);
}

void CDspDoc::ReadSettings(CArchive& ar) {
    const int32_t size = ar.ReadInt32();
    const double rate = ar.ReadDouble();
    const int32_t pauseCount = ar.ReadInt32();
    const int32_t pauseEvery = ar.ReadInt32();
    if (!ar.Ok()) return;
    // Values no process can run with mean a damaged file; nothing is taken over then.
    if (!IsValidBlockSize(size))
        ar.Fail("Invalid FFT size " + std::to_string(size));
    else if (!IsValidSampleRate(rate))
        ar.Fail("Invalid sample rate");
    else if (pauseCount < 0 || (pauseEvery != 0 && pauseEvery != 1))
        ar.Fail("Invalid pause settings");
    if (!ar.Ok()) return;
    m_blockSize = size;
    m_sampleRate = rate;
    m_pauseOnRecord = pauseCount;
    m_pauseEveryModule = pauseEvery;
}

void CDspDoc::SerializeStep(size_t step, CArchive& ar) {
    std::string failure;
    switch (CallPlugIn(step, "Serialize", &ar, nullptr, &failure)) {
    case EPlugInCall::Answered:
        return;
    case EPlugInCall::Failed:
        // The file is not written, or not taken over, when a step's state is missing from it.
        ar.Fail(GetProcessDesc(GetView(step)) + ": " + failure);
        return;
    case EPlugInCall::BuiltIn:
        break;
    }
    if (CDspView* view = GetView(step)) view->Serialize(ar);
}

void CDspDoc::Serialize(CArchive& ar) {
    if (ar.IsStoring()) {
        ar.WriteString(kSchema);
        ar.WriteClass(RUNTIME_CLASS(CDspDoc));
        WriteSettings(ar);
        ar.WriteRect(m_mainWindowRect);
        ar.WriteRect(m_frameRect);
        ar.WriteStringList(m_stepNames);
        ar.WriteStringList(m_stepIds);
        for (int i = 0; i < GetStepCount(); ++i)
            ar.WriteSize(size_t(i) < m_paneSizes.size() ? m_paneSizes[size_t(i)] : CSize{});
        // A document without steps still writes its plain view.
        for (size_t i = 0; i < m_views.size(); ++i)
            SerializeStep(i, ar);
        return;
    }

    m_schema = ar.ReadString();
    if (!ar.Ok()) return;
    if (m_schema != kSchema && m_schema != kLegacySchema) {
        ar.Fail("Not a process file");
        return;
    }
    if (m_pApp) m_pApp->SetSchema(m_schema);
    ar.SetLegacy(m_schema == kLegacySchema);
    ar.ReadClass(RUNTIME_CLASS(CDspDoc));
    ar.GetObjectSchema();
    ReadSettings(ar);
    m_mainWindowRect = ar.ReadRect();
    m_frameRect = ar.ReadRect();
    std::list<std::string> names;
    ar.ReadStringList(names);
    if (!ar.Ok()) return;
    if (names.empty() || names.size() > size_t(kMaxSteps)) return; // no steps: settings only
    std::list<std::string> ids;
    ar.ReadStringList(ids);
    if (ar.Ok() && ids.size() != names.size()) ar.Fail("Step identities do not match the steps");
    std::vector<CSize> sizes;
    for (size_t i = 0; i < names.size() && ar.Ok(); ++i)
        sizes.push_back(ar.ReadSize());
    if (!ar.Ok()) return;
    m_stepNames = std::move(names);
    m_stepIds = std::move(ids);
    m_paneSizes = sizes;
    if (m_pApp) {
        m_pApp->m_savedPaneSizes.fill({});
        std::copy(sizes.begin(), sizes.end(), m_pApp->m_savedPaneSizes.begin());
    }
    if (m_readModuleStates) {
        if (m_views.size() != m_stepNames.size()) {
            ar.Fail("The steps of the process do not match its modules");
            return;
        }
        for (size_t i = 0; i < m_views.size() && ar.Ok(); ++i)
            SerializeStep(i, ar);
        if (!ar.Ok()) return;
    }
    ApplyWindowPlacement();
    m_redrawPending = 1;
}

void CDspDoc::ApplyWindowPlacement() {
    if (!m_pFrame || m_calibrationDocument) return;
    if (!m_mainWindowRect.IsRectEmpty()) m_pFrame->MoveMainWindow(m_mainWindowRect);
    if (!m_frameRect.IsRectEmpty()) m_pFrame->MoveFrame(m_frameRect);
}

void CDspDoc::SerializeToCurrentFile(CArchive& ar, const std::list<std::string>& newIds) {
    if (ar.IsStoring()) {
        WriteSettings(ar);
        ar.WriteStringList(m_stepNames);
        ar.WriteStringList(m_stepIds);
        for (const std::string& id : newIds) {
            size_t step = 0;
            for (const std::string& oldId : m_stepIds) {
                if (oldId == id) SerializeStep(step, ar);
                ++step;
            }
        }
        return;
    }
    ReadSettings(ar);
    std::list<std::string> oldNames, oldIds;
    ar.ReadStringList(oldNames);
    ar.ReadStringList(oldIds);
    if (!ar.Ok()) return;
    m_stepNames = oldNames;
    m_stepIds = oldIds;
    size_t step = 0;
    for (const std::string& id : newIds) {
        for (const std::string& oldId : oldIds)
            if (oldId == id && ar.Ok()) SerializeStep(step, ar);
        ++step;
    }
}
