// The analyser's part of a process file: the exact layout, round trips, the older layout
// without class records, the clamped Y scale index of a damaged file and refused values.
#include "SpecTestProcess.h"

#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <cmath>
#include <cstring>
#include <limits>

namespace {

using Bytes = std::vector<uint8_t>;

// Little-endian fields as a process file holds them.
struct CBytes {
    Bytes b;
    CBytes& U16(uint16_t v) {
        b.push_back(uint8_t(v));
        b.push_back(uint8_t(v >> 8));
        return *this;
    }
    CBytes& I32(int32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(uint8_t(uint32_t(v) >> (8 * i)));
        return *this;
    }
    CBytes& F64(double v) {
        uint64_t u = 0;
        std::memcpy(&u, &v, 8);
        for (int i = 0; i < 8; ++i)
            b.push_back(uint8_t(u >> (8 * i)));
        return *this;
    }
    CBytes& NewClass(const std::string& name) {
        U16(0xFFFF).U16(0).U16(uint16_t(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        return *this;
    }
};

// The analyser's own fields in stored order.
struct CFields {
    int32_t xAxis = 0, start = 0, stop = 32;
    double startBin = 0.0, stopBin = 512.0;
    int32_t yAxis = 0, yScale = 17;
    double ref1 = 1.0, ref2 = 1.0;
    int32_t fftType = 1, window = 0, plot = 0, freqCal = 0, average = 0, smoothing = 0;
};

Bytes ModulePart(const CFields& f, bool classRecords = true, int32_t selected = 0) {
    CBytes p;
    if (classRecords) p.NewClass("CDspView");
    p.I32(selected);
    if (classRecords) p.NewClass("CSpecView");
    p.I32(f.xAxis).I32(f.start).I32(f.stop).F64(f.startBin).F64(f.stopBin);
    p.I32(f.yAxis).I32(f.yScale).F64(f.ref1).F64(f.ref2);
    p.I32(f.fftType).I32(f.window).I32(f.plot).I32(f.freqCal).I32(f.average).I32(f.smoothing);
    return p.b;
}

class SpecArchive : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;

    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 48000.0);
        ASSERT_NE(doc, nullptr);
    }
    CSpecView& Analyser() { return StepAs<CSpecView>(*doc, 1); }
    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Analyser().SetControl(id, value, message)) << id << ": " << message;
    }
    void Configure() {
        Set("xaxis", "Log20.");
        Set("startup");
        Set("startup");
        Set("stopdn");
        Set("yaxis", "| Z |");
        Set("scaleup");
        Set("ref1", "8.2");
        Set("ref2", "12.5");
        Set("type", "XCorr/FFT");
        Set("window", "Hamming");
        Set("plot", "Lined Bar");
        Set("avg", "64");
        Set("smooth", "3");
        Analyser().OnSelCh2();
    }
    // Reads a module part into a fresh analyser; the archive's error, empty on success.
    std::string Load(const Bytes& bytes, CSpecView& view, bool legacy = false) {
        CArchive ar(bytes);
        ar.SetLegacy(legacy);
        view.Serialize(ar);
        if (ar.Ok() && ar.Remaining() != 0) return "bytes left over";
        return ar.GetError();
    }
};

TEST_F(SpecArchive, WritesTheDocumentedLayout) {
    Configure();
    CArchive ar;
    Analyser().Serialize(ar);
    CFields f;
    f.xAxis = 3;
    f.start = 2;
    f.stop = 31;
    f.startBin = 2 * 1024 / 64.0;
    f.stopBin = 31 * 1024 / 64.0;
    f.yAxis = 7;
    f.yScale = 6;
    f.ref1 = 8.2;
    f.ref2 = 12.5;
    f.fftType = 3;
    f.window = 4;
    f.plot = 3;
    f.average = 6;
    f.smoothing = 3;
    EXPECT_EQ(ar.GetBuffer(), ModulePart(f, true, 2));
}

TEST_F(SpecArchive, RoundTripRestoresEverySetting) {
    Configure();
    Set("Apply Freq Cal:", "1");
    CArchive out;
    Analyser().Serialize(out);

    CSpecTestApp other;
    CDspDoc* copy = other.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 48000.0);
    CSpecView& loaded = StepAs<CSpecView>(*copy, 1);
    ASSERT_EQ(Load(out.GetBuffer(), loaded), "");
    loaded.ShowCurrentParams();
    EXPECT_EQ(loaded.GetSettings(), Analyser().GetSettings());
    EXPECT_EQ(loaded.GetYScaleIndex(), 6);
    EXPECT_EQ(loaded.GetYScaleList(), Analyser().GetYScaleList());
    EXPECT_EQ(loaded.GetBlockAverageCount(), 64.0);
    EXPECT_EQ(loaded.GetRef1(), 8.2);
    const int ref1 = loaded.GetControls().Find("ref1");
    EXPECT_EQ(loaded.GetControls().GetState(size_t(ref1)).text, "8.2");
    const int yaxis = loaded.GetControls().Find("yaxis");
    EXPECT_EQ(loaded.GetControls().GetState(size_t(yaxis)).text, "| Z |");
}

TEST_F(SpecArchive, ProcessFileRoundTrip) {
    Configure();
    CTempFolder dir;
    std::string error;
    ASSERT_TRUE(doc->OnSaveDocument(dir.File("analyser.process"), error)) << error;

    CSpecTestApp other;
    ASSERT_TRUE(other.app.OpenDocumentFile(dir.File("analyser.process"), error)) << error;
    CDspDoc* reopened = other.app.ReopenMarkedDocument(error);
    ASSERT_TRUE(reopened) << error;
    EXPECT_EQ(StepAs<CSpecView>(*reopened, 1).GetSettings(), Analyser().GetSettings());
}

TEST_F(SpecArchive, OlderLayoutHasNoClassRecords) {
    CFields f;
    f.yAxis = 2;
    f.yScale = 7;
    f.window = 3;
    ASSERT_EQ(Load(ModulePart(f, false), Analyser(), true), "");
    EXPECT_EQ(Analyser().GetYAxisType(), 2);
    EXPECT_EQ(Analyser().GetYScaleIndex(), 7);
    EXPECT_EQ(Analyser().GetWindowType(), 3);
}

struct CClampCase {
    int32_t yAxis;
    int32_t stored;
    int32_t loaded;
};

class SpecArchiveClamp : public SpecArchive, public testing::WithParamInterface<CClampCase> {};

TEST_P(SpecArchiveClamp, DamagedScaleIndexIsClampedToTheStoredTypesList) {
    CFields f;
    f.yAxis = GetParam().yAxis;
    f.yScale = GetParam().stored;
    ASSERT_EQ(Load(ModulePart(f), Analyser()), "");
    EXPECT_EQ(Analyser().GetYScaleIndex(), GetParam().loaded);
    Analyser().ShowCurrentParams();
    EXPECT_EQ(Analyser().GetYScaleIndex(), GetParam().loaded);
}

INSTANTIATE_TEST_SUITE_P(Cases, SpecArchiveClamp,
                         testing::Values(CClampCase{kYdBVSPL, 17, 0},
                                         CClampCase{kYImpedance, 14, 14},
                                         CClampCase{kYImpedance, 99, 14}, CClampCase{kYdBVpk, 9, 9},
                                         CClampCase{kYdBVpk, 10, 9}, CClampCase{kYVpk, -3, 0}));

struct CDamageCase {
    const char* what;
    CFields fields;
};

CFields With(void (*change)(CFields&)) {
    CFields f;
    change(f);
    return f;
}

class SpecArchiveDamage : public SpecArchive, public testing::WithParamInterface<CDamageCase> {};

TEST_P(SpecArchiveDamage, RefusesValuesNoControlCanHold) {
    const auto before = Analyser().GetSettings();
    const std::string error = Load(ModulePart(GetParam().fields), Analyser());
    EXPECT_NE(error.find("Spectrum analyser:"), std::string::npos) << GetParam().what;
    EXPECT_EQ(Analyser().GetSettings(), before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SpecArchiveDamage,
    testing::Values(CDamageCase{"x axis", With([](CFields& f) { f.xAxis = 5; })},
                    CDamageCase{"start at stop", With([](CFields& f) { f.start = f.stop = 20; })},
                    CDamageCase{"stop beyond", With([](CFields& f) { f.stop = 33; })},
                    CDamageCase{"negative start", With([](CFields& f) { f.start = -1; })},
                    CDamageCase{"bin", With([](CFields& f) { f.stopBin = std::nan(""); })},
                    CDamageCase{"y axis", With([](CFields& f) { f.yAxis = 10; })},
                    CDamageCase{"fft type", With([](CFields& f) { f.fftType = 6; })},
                    CDamageCase{"window", With([](CFields& f) { f.window = -1; })},
                    CDamageCase{"plot", With([](CFields& f) { f.plot = 7; })},
                    CDamageCase{"cal", With([](CFields& f) { f.freqCal = 2; })},
                    CDamageCase{"average", With([](CFields& f) { f.average = 13; })},
                    CDamageCase{"smoothing", With([](CFields& f) { f.smoothing = 33; })}));

// A reference no run can use (an earlier installation could store an infinity) is refused on
// its own: the module keeps its reference and everything else of the file is read.
TEST_F(SpecArchive, AReferenceThatIsNoFiniteNumberIsRefusedNotTheFile) {
    for (double bad : {std::numeric_limits<double>::infinity(), -HUGE_VAL, std::nan("")}) {
        CFields f;
        f.yAxis = 3;
        f.ref1 = 440.0;
        f.ref2 = bad;
        ASSERT_EQ(Load(ModulePart(f), Analyser()), "") << bad;
        EXPECT_EQ(Analyser().GetRef1(), 440.0);
        EXPECT_EQ(Analyser().GetRef2(), 1.0) << bad;
        const auto settings = Analyser().GetSettings();
        const std::pair<std::string, std::string> yAxis{"Y axis", "dBVrms"};
        EXPECT_NE(std::find(settings.begin(), settings.end(), yAxis), settings.end());
    }
}

TEST_F(SpecArchive, TruncatedPartFailsWithoutChangingTheModule) {
    Bytes bytes = ModulePart(CFields{});
    bytes.resize(bytes.size() - 3);
    const auto before = Analyser().GetSettings();
    EXPECT_FALSE(Load(bytes, Analyser()).empty());
    EXPECT_EQ(Analyser().GetSettings(), before);
}

} // namespace
