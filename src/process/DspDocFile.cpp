// The process file and the edit transfer archive of a process document.
#include "process/DspApp.h"
#include "process/DspDoc.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr const char* kSchema = "Process0";
constexpr const char* kLegacySchema = "Process";
// The record of optional settings after the last step: this name, its version, then entries of
// step number, setting id, whether a reader must know it, and the value's bytes. Builds from
// before the record refuse a file that has one ("bytes follow the last step"); later builds
// skip the entries they do not know unless an entry is needed.
constexpr const char* kOptionalName = "Step settings";
constexpr uint16_t kOptionalVersion = 1;

bool FollowsOptionalRecord(const CArchive& ar) {
    CArchive name;
    name.WriteString(kOptionalName);
    const std::vector<uint8_t>& all = ar.GetBuffer();
    const auto at = all.end() - std::ptrdiff_t(ar.Remaining());
    return ar.Remaining() >= name.GetBuffer().size() &&
           std::equal(name.GetBuffer().begin(), name.GetBuffer().end(), at);
}
} // namespace

void CDspDoc::WriteOptionalSettings(CArchive& ar, const std::vector<const CDspView*>& steps) {
    std::vector<std::pair<uint16_t, COptionalSetting>> entries;
    for (size_t i = 0; i < steps.size(); ++i)
        if (steps[i])
            for (COptionalSetting& setting : steps[i]->GetOptionalSettings())
                entries.emplace_back(uint16_t(i + 1), std::move(setting));
    if (entries.empty()) return;
    ar.WriteString(kOptionalName);
    ar.WriteUInt16(kOptionalVersion);
    ar.WriteCount(uint32_t(entries.size()));
    for (const auto& [step, setting] : entries) {
        ar.WriteUInt16(step);
        ar.WriteString(setting.id);
        ar.WriteByte(setting.needed ? 1 : 0);
        ar.WriteCount(uint32_t(setting.value.size()));
        for (uint8_t b : setting.value)
            ar.WriteByte(b);
    }
}

void CDspDoc::ReadOptionalSettings(CArchive& ar) {
    if (!ar.Ok() || !FollowsOptionalRecord(ar)) return;
    ar.ReadString();
    const uint16_t version = ar.ReadUInt16();
    if (ar.Ok() && version != kOptionalVersion) {
        ar.Fail("The step settings after the last step are of a newer Aurivo (version " +
                std::to_string(version) + ")");
        return;
    }
    std::vector<std::vector<COptionalSetting>> perStep(m_views.size());
    const uint32_t count = ar.ReadCount();
    for (uint32_t i = 0; i < count && ar.Ok(); ++i) {
        const uint16_t step = ar.ReadUInt16();
        COptionalSetting setting{ar.ReadString()};
        setting.needed = ar.ReadByte() != 0;
        const uint32_t size = ar.ReadCount();
        if (!ar.Require(size)) return;
        for (uint32_t b = 0; b < size; ++b)
            setting.value.push_back(ar.ReadByte());
        if (ar.Ok() && (step < 1 || step > m_views.size()))
            ar.Fail("The step settings name step " + std::to_string(step) +
                    ", which the process does not have");
        if (ar.Ok()) perStep[step - 1u].push_back(std::move(setting));
    }
    for (size_t i = 0; i < m_views.size() && ar.Ok(); ++i) {
        std::string message;
        if (!perStep[i].empty() && !m_views[i]->ReadOptionalSettings(perStep[i], message))
            ar.Fail(GetProcessDesc(m_views[i].get()) + ": " + message);
    }
}

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
        std::vector<const CDspView*> steps;
        for (size_t i = 0; i < m_views.size(); ++i) {
            SerializeStep(i, ar);
            steps.push_back(m_views[i].get());
        }
        WriteOptionalSettings(ar, steps);
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
        ReadOptionalSettings(ar);
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
        std::vector<const CDspView*> steps;
        for (const std::string& id : newIds) {
            size_t step = 0;
            steps.push_back(nullptr);
            for (const std::string& oldId : m_stepIds) {
                if (oldId == id) {
                    SerializeStep(step, ar);
                    steps.back() = GetView(step);
                }
                ++step;
            }
        }
        WriteOptionalSettings(ar, steps);
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
    ReadOptionalSettings(ar);
}
