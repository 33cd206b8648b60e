// The oscilloscope's part of a process file: the exact bytes, both layouts, damaged values,
// and a whole process saved and opened again.
#include "ScopeTestProcess.h"
#include "common/TempFolder.h"
#include "platform/RecordingCanvas.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian fields written by hand, independently of CArchive.
class CFields {
public:
    CFields& I32(int32_t v) { return Put(&v, 4); }
    CFields& F64(double v) { return Put(&v, 8); }
    // A first class record: new-class tag, schema 0, name length, name.
    CFields& NewClass(const std::string& name) {
        const uint8_t head[] = {0xFF, 0xFF, 0, 0, uint8_t(name.size()), 0};
        Put(head, sizeof head);
        return Put(name.data(), name.size());
    }
    const Bytes& Get() const { return m_bytes; }

private:
    CFields& Put(const void* p, size_t n) {
        const auto* b = static_cast<const uint8_t*>(p);
        m_bytes.insert(m_bytes.end(), b, b + n);
        return *this;
    }
    Bytes m_bytes;
};

// The oscilloscope fields in stored order; `fields` are the ten int32 settings.
struct CStored {
    int32_t selected = 0;
    std::array<int32_t, 10> settings{17, 75, 2, 0, 17, 25, 2, 0, 9, 50};
    double blockLength = 0.0;
    int32_t gateOn = 0;
    std::array<double, 4> gate{0.0, 0.0, 0.0, 1024.0};

    Bytes Encode(bool classRecords) const {
        CFields f;
        if (classRecords) f.NewClass("CDspView");
        f.I32(selected);
        if (classRecords) f.NewClass("COscView");
        for (int32_t v : settings)
            f.I32(v);
        f.F64(blockLength).I32(gateOn);
        for (double v : gate)
            f.F64(v);
        return f.Get();
    }
};

TEST(OscArchive, AFreshViewWritesItsDefaults) {
    COscView view;
    CArchive ar;
    view.Serialize(ar);
    ASSERT_TRUE(ar.Ok());
    EXPECT_EQ(ar.GetBuffer(), CStored{}.Encode(true));
}

CStored Changed() {
    CStored s;
    s.selected = 2;
    s.settings = {0, 100, 3, 12, 21, 0, 1, 5, 18, 0};
    s.blockLength = 16.0;
    s.gateOn = 1;
    s.gate = {4.0, 8.5, -2.25, 12.0};
    return s;
}

class OscArchiveLayout : public testing::TestWithParam<bool> {};

TEST_P(OscArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const bool classRecords = GetParam();
    CArchive in(Changed().Encode(classRecords));
    in.SetLegacy(!classRecords);
    COscView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);

    EXPECT_EQ(view.GetSelectedChannel(), 2);
    EXPECT_EQ(view.GetVoltsIndex(0), 0);
    EXPECT_EQ(view.GetPosition(0), 100);
    EXPECT_EQ(view.GetDisplayType(0), OscDispDig);
    EXPECT_EQ(view.GetAverageIndex(0), 12);
    EXPECT_EQ(view.GetVoltsIndex(1), 21);
    EXPECT_EQ(view.GetPosition(1), 0);
    EXPECT_EQ(view.GetDisplayType(1), OscDispGnd);
    EXPECT_EQ(view.GetAverageIndex(1), 5);
    EXPECT_EQ(view.GetTimeIndex(), 18);
    EXPECT_EQ(view.GetXPosition(), 0);
    EXPECT_EQ(view.GetBlockLength(), 16.0);
    EXPECT_TRUE(view.GetGate().IsOn());
    EXPECT_EQ(view.GetGate().GetLeftMarker(), 4.0);
    EXPECT_EQ(view.GetGate().GetRightMarker(), 8.5);
    EXPECT_EQ(view.GetGate().GetStart(), -2.25);
    EXPECT_EQ(view.GetGate().GetStop(), 12.0);

    // The control bar shows what was read.
    const CControlModel& bar = view.GetControls();
    EXPECT_EQ(bar.GetState(size_t(bar.Find("ch1.avg"))).text, "4096");
    EXPECT_EQ(bar.GetState(size_t(bar.Find("ch2.disp"))).text, "Gnd");
    EXPECT_FALSE(bar.GetState(size_t(bar.Find("ch2.vdivup"))).enabled);

    CArchive out;
    view.Serialize(out);
    EXPECT_EQ(out.GetBuffer(), Changed().Encode(true)) << "saving always writes class records";
}

INSTANTIATE_TEST_SUITE_P(ClassRecordsOrLegacy, OscArchiveLayout, testing::Bool());

struct CDamage {
    const char* name;
    void (*damage)(CStored&);
    const char* message;
};

class OscArchiveDamage : public testing::TestWithParam<CDamage> {};

TEST_P(OscArchiveDamage, FailsWithAMessageAndKeepsTheSettings) {
    CStored s = Changed();
    GetParam().damage(s);
    CArchive in(s.Encode(true));
    COscView view;
    view.Serialize(in);
    EXPECT_EQ(in.GetError(), GetParam().message);
    EXPECT_EQ(view.GetVoltsIndex(0), 17);
    EXPECT_EQ(view.GetTimeIndex(), 9);
    EXPECT_FALSE(view.GetGate().IsOn());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, OscArchiveDamage,
    testing::Values(CDamage{"VoltsIndexAboveTheList", [](CStored& s) { s.settings[4] = 22; },
                            "Oscilloscope volts/div index out of range"},
                    CDamage{"NegativeVoltsIndex", [](CStored& s) { s.settings[0] = -1; },
                            "Oscilloscope volts/div index out of range"},
                    CDamage{"PositionAbove100", [](CStored& s) { s.settings[1] = 101; },
                            "Oscilloscope vertical position out of range"},
                    CDamage{"DisplayType4", [](CStored& s) { s.settings[6] = 4; },
                            "Oscilloscope display type out of range"},
                    CDamage{"AverageIndex13", [](CStored& s) { s.settings[3] = 13; },
                            "Oscilloscope block average index out of range"},
                    CDamage{"TimeIndex19", [](CStored& s) { s.settings[8] = 19; },
                            "Oscilloscope time/div index out of range"},
                    CDamage{"XPositionNegative", [](CStored& s) { s.settings[9] = -1; },
                            "Oscilloscope horizontal position out of range"},
                    CDamage{"NegativeBlockLength", [](CStored& s) { s.blockLength = -1.0; },
                            "Oscilloscope block length out of range"},
                    CDamage{"NaNBlockLength", [](CStored& s) { s.blockLength = NAN; },
                            "Oscilloscope block length out of range"},
                    CDamage{"GateFlag2", [](CStored& s) { s.gateOn = 2; },
                            "Oscilloscope gate flag out of range"},
                    CDamage{"InfiniteGateStop", [](CStored& s) { s.gate[3] = INFINITY; },
                            "Oscilloscope gate is not a number"}),
    [](const testing::TestParamInfo<CDamage>& info) { return info.param.name; });

TEST(OscArchive, ATruncatedRecordChangesNothing) {
    const Bytes full = Changed().Encode(true);
    for (size_t cut : {full.size() - 1, full.size() - 8, size_t(40)}) {
        CArchive in(Bytes(full.begin(), full.begin() + long(cut)));
        COscView view;
        view.Serialize(in);
        EXPECT_FALSE(in.Ok()) << cut;
        EXPECT_EQ(view.GetPosition(0), 75) << cut;
        EXPECT_EQ(view.GetXPosition(), 50) << cut;
    }
}

TEST(OscArchive, AProcessKeepsItsOscilloscopeSettingsThroughAFile) {
    CTempFolder folder;
    const std::string path = folder.File("scope.process");
    {
        CScopeTestApp t;
        CDspDoc* doc = t.NewProcess({"Signal Generator", "Oscilloscope"});
        COscView& scope = StepAs<COscView>(*doc, 1);
        std::string message;
        for (const char* id : {"ch1.disp", "tdivdown", "ch2.posup", "xposdown"})
            ASSERT_TRUE(scope.SetControl(id, "", message)) << id << message;
        ASSERT_TRUE(scope.SetControl("ch2.avg", "64", message)) << message;
        CRecordingCanvas canvas;
        scope.OnDraw(canvas, {0, 0, 210, 110});
        scope.OnLButtonDown({30, 40});
        scope.OnLButtonUp({80, 40});
        ASSERT_TRUE(scope.GetGate().IsOn());
        std::string error;
        ASSERT_TRUE(doc->OnSaveDocument(path, error)) << error;
    }
    CScopeTestApp t;
    std::string error;
    ASSERT_TRUE(t.app.OpenDocumentFile(path, error)) << error;
    CDspDoc* doc = t.app.ReopenMarkedDocument(error);
    ASSERT_NE(doc, nullptr) << error;
    const COscView& scope = StepAs<COscView>(*doc, 1);
    EXPECT_EQ(scope.GetDisplayType(0), OscDispDig);
    EXPECT_EQ(scope.GetTimeIndex(), 8);
    EXPECT_EQ(scope.GetPosition(1), 26);
    EXPECT_EQ(scope.GetXPosition(), 49);
    EXPECT_EQ(scope.GetAverageIndex(1), 6);
    EXPECT_EQ(scope.GetTrace(1).blockAverageCount, 64.0) << "the refresh after reading ran";
    EXPECT_TRUE(scope.GetGate().IsOn());
    EXPECT_EQ(scope.GetReadouts(),
              (std::vector<std::string>{"Ch1: 500 mVpk/Div", "Ch2: 500 mVpk/Div", "500 uS/Div",
                                        "Ch2 Avg: 0 / 64"}));
}

} // namespace
