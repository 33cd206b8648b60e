// The generator's part of a process file: the exact bytes in both layouts, reading them back,
// damaged parts that must fail cleanly, and whole files in the older layout.
#include "GeneratorHarness.h"
#include "common/TempFolder.h"

#include "base/Archive.h"

#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

namespace {

using Bytes = std::vector<uint8_t>;

// Archive bytes built by hand, independently of CArchive.
struct CBytes {
    Bytes b;
    CBytes& U16(uint16_t v) { return Raw({uint8_t(v), uint8_t(v >> 8)}); }
    CBytes& I32(int32_t v) {
        const uint32_t u = uint32_t(v);
        return Raw({uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)});
    }
    CBytes& F64(double v) {
        uint8_t raw[8];
        std::memcpy(raw, &v, 8);
        b.insert(b.end(), raw, raw + 8);
        return *this;
    }
    CBytes& Text(const std::string& s) {
        b.push_back(uint8_t(s.size()));
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    CBytes& NewClass(const std::string& name) {
        U16(0xFFFF).U16(0).U16(uint16_t(name.size()));
        b.insert(b.end(), name.begin(), name.end());
        return *this;
    }
    CBytes& Raw(std::initializer_list<uint8_t> v) {
        b.insert(b.end(), v);
        return *this;
    }
};

struct CBarFields {
    int32_t channel, wave;
    double frequency;
    int32_t mode, level;
    double sweepStart, sweepStop, sweepTime, pulseStart, pulseStop, pulsePeriod;
};

const CBarFields kBar1{
    1, kWaveTriangle180, 440.5, kModeLog10DnSweep, 42, 20.0, 20000.0, 2.5, 0.001, 0.002, 0.004};
const CBarFields kDefaultBar2{2,       kWaveSine, 1031.25, kModeConstant, 100,     9025.0,
                              13025.0, 0.02322,   0.0,     0.005333,      0.010666};
const CBarFields kBar2{2,       kWaveMLS, 1031.25, kModeConstant, 100,     9025.0,
                       13025.0, 0.02322,  0.0,     0.005333,      0.010666};

CBytes& Fields(CBytes& out, const CBarFields& f) {
    out.I32(f.channel).I32(f.wave).F64(f.frequency).I32(f.mode).I32(f.level);
    for (double v :
         {f.sweepStart, f.sweepStop, f.sweepTime, f.pulseStart, f.pulseStop, f.pulsePeriod})
        out.F64(v);
    return out;
}

// The bar list as an object reference whose list class takes index `listClass`: the class
// record, the count, then each bar as an object reference (its class record, new the first
// time). In the current layout each bar's fields begin with its own class record, a
// back-reference to the class the reference has just written.
void BarList(CBytes& out, const std::vector<CBarFields>& bars, uint16_t listClass, bool own) {
    out.NewClass("CObList").U16(uint16_t(bars.size()));
    const uint16_t barClass = uint16_t(0x8000 + listClass + 2); // after the list object
    for (size_t i = 0; i < bars.size(); ++i) {
        if (i == 0)
            out.NewClass("CSigGenChanDlgBar");
        else
            out.U16(barClass);
        if (own) out.U16(barClass);
        Fields(out, bars[i]);
    }
}

// The module part as the current layout writes it: indices 1 CDspView, 2 CSigGenView, 3 the
// CObList class, 4 the list, 5 the bar class, then one index per bar.
Bytes CurrentLayout(const std::vector<CBarFields>& bars, int32_t count) {
    CBytes out;
    out.NewClass("CDspView").I32(1).NewClass("CSigGenView");
    BarList(out, bars, 3, true);
    out.I32(count);
    return out.b;
}

// The older layout: no class records for the view or inside the bars; the object references
// of the list and its bars keep theirs (1 the CObList class, 2 the list, 3 the bar class).
Bytes LegacyLayout(const std::vector<CBarFields>& bars, int32_t count) {
    CBytes out;
    out.I32(1);
    BarList(out, bars, 1, false);
    out.I32(count);
    return out.b;
}

void Configure(CGeneratorHarness& h) {
    h.View().OnSelCh1();
    h.Set({"ch1.wave=Triangle180", "ch1.freq=440.5", "ch1.mode=Log10Dn Swp", "ch1.level=42",
           "ch1.sweepstart=20", "ch1.sweepstop=20000", "ch1.sweeptime=2.5", "ch1.pulsestart=0.001",
           "ch1.pulsestop=0.002", "ch1.pulseperiod=0.004", "ch2.wave=MLS"});
}

void ExpectBar(const CSigGenChanDlgBar& bar, const CBarFields& f) {
    EXPECT_EQ(bar.m_channel, f.channel);
    EXPECT_EQ(bar.m_waveType, f.wave);
    EXPECT_EQ(bar.m_frequency, f.frequency);
    EXPECT_EQ(bar.m_mode, f.mode);
    EXPECT_EQ(bar.m_level, f.level);
    EXPECT_EQ(bar.m_sweepStart, f.sweepStart);
    EXPECT_EQ(bar.m_sweepStop, f.sweepStop);
    EXPECT_EQ(bar.m_sweepTime, f.sweepTime);
    EXPECT_EQ(bar.m_pulseStart, f.pulseStart);
    EXPECT_EQ(bar.m_pulseStop, f.pulseStop);
    EXPECT_EQ(bar.m_pulsePeriod, f.pulsePeriod);
}

class GeneratorFile : public testing::TestWithParam<bool> {
protected:
    bool Legacy() const { return GetParam(); }
    Bytes Layout(const std::vector<CBarFields>& bars, int32_t count) const {
        return Legacy() ? LegacyLayout(bars, count) : CurrentLayout(bars, count);
    }
    /** Reads the bytes into the generator of a fresh process; the archive's error text. */
    std::string Read(CGeneratorHarness& into, const Bytes& bytes) const {
        into.NewProcess(1024, 96000.0);
        CArchive in(bytes);
        in.SetLegacy(Legacy());
        into.View().Serialize(in);
        return in.GetError();
    }
};

TEST_P(GeneratorFile, WritesTheStatedBytes) {
    CGeneratorHarness h;
    h.NewProcess(1024, 96000.0);
    Configure(h);
    CArchive out;
    out.SetLegacy(Legacy());
    h.View().Serialize(out);
    ASSERT_TRUE(out.Ok());
    EXPECT_EQ(out.GetBuffer(), Layout({kBar1, kBar2}, 2));
}

TEST_P(GeneratorFile, ReadsEveryBarFieldAndShowsIt) {
    CGeneratorHarness h;
    ASSERT_EQ(Read(h, Layout({kBar1, kBar2}, 2)), "");
    EXPECT_EQ(h.View().GetSelectedChannel(), 1);
    ASSERT_EQ(h.View().GetChannelCount(), 2);
    ExpectBar(h.Bar(1), kBar1);
    ExpectBar(h.Bar(2), kBar2);
    EXPECT_EQ(StateOf(h.View(), "ch1.wave").text, "Triangle180");
    EXPECT_EQ(StateOf(h.View(), "ch1.freq").text, "440.50  ");
    EXPECT_EQ(StateOf(h.View(), "ch1.sweeptime").text, "2.500000");
    EXPECT_EQ(StateOf(h.View(), "ch2.wave").text, "MLS");
}

TEST_P(GeneratorFile, OneStoredBarLeavesTheSecondChannelAtItsDefaults) {
    CGeneratorHarness h;
    ASSERT_EQ(Read(h, Layout({kBar1}, 1)), "");
    ExpectBar(h.Bar(1), kBar1);
    h.doc->ShowCurrentParams();
    ASSERT_EQ(h.View().GetChannelCount(), 2) << "the missing bar is created for the run";
    ExpectBar(h.Bar(2), kDefaultBar2);
}

struct CDamage {
    const char* name;
    std::vector<CBarFields> bars;
    int32_t count;
};

void PrintTo(const CDamage& d, std::ostream* os) {
    *os << d.name;
}

CBarFields With(CBarFields f, void (*change)(CBarFields&)) {
    change(f);
    return f;
}

const CDamage kDamages[] = {
    {"WaveTypeAboveTheList", {With(kBar1, [](CBarFields& f) { f.wave = 30; }), kBar2}, 2},
    {"NegativeWaveType", {kBar1, With(kBar2, [](CBarFields& f) { f.wave = -1; })}, 2},
    {"ModeAboveTheList", {With(kBar1, [](CBarFields& f) { f.mode = 9; }), kBar2}, 2},
    {"LevelAboveFullScale", {With(kBar1, [](CBarFields& f) { f.level = 101; }), kBar2}, 2},
    {"NegativeLevel", {kBar1, With(kBar2, [](CBarFields& f) { f.level = -1; })}, 2},
    {"ChannelNumberOutOfOrder", {kBar2, kBar1}, 2},
    {"ThirdChannel", {kBar1, kBar2, With(kBar2, [](CBarFields& f) { f.channel = 3; })}, 3},
    {"FrequencyNotANumber",
     {With(kBar1, [](CBarFields& f) { f.frequency = std::numeric_limits<double>::quiet_NaN(); }),
      kBar2},
     2},
    {"PulsePeriodNotANumber",
     {kBar1,
      With(kBar2, [](CBarFields& f) { f.pulsePeriod = std::numeric_limits<double>::quiet_NaN(); })},
     2},
    {"CountDiffersFromTheBars", {kBar1, kBar2}, 3},
    {"NoBars", {}, 0},
};

class GeneratorFileDamage : public testing::TestWithParam<std::tuple<bool, CDamage>> {};

TEST_P(GeneratorFileDamage, FailsAndKeepsTheSettings) {
    const auto& [legacy, damage] = GetParam();
    CGeneratorHarness h;
    h.NewProcess(1024, 96000.0);
    CArchive in(legacy ? LegacyLayout(damage.bars, damage.count)
                       : CurrentLayout(damage.bars, damage.count));
    in.SetLegacy(legacy);
    h.View().Serialize(in);
    EXPECT_FALSE(in.Ok());
    EXPECT_FALSE(in.GetError().empty());
    ASSERT_EQ(h.View().GetChannelCount(), 2);
    EXPECT_EQ(h.Bar(1).m_waveType, kWaveSine);
    EXPECT_EQ(h.Bar(1).m_level, 100);
}

INSTANTIATE_TEST_SUITE_P(Parts, GeneratorFileDamage,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kDamages)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Legacy" : "Current") +
                                    std::get<1>(info.param).name;
                         });

TEST_P(GeneratorFile, EveryTruncationFailsWithoutChangingTheBars) {
    const Bytes whole = Layout({kBar1, kBar2}, 2);
    for (size_t n = 0; n < whole.size(); ++n) {
        CGeneratorHarness h;
        const std::string error = Read(h, Bytes(whole.begin(), whole.begin() + long(n)));
        ASSERT_FALSE(error.empty()) << n << " bytes";
        ASSERT_EQ(h.Bar(1).m_waveType, kWaveSine) << n << " bytes";
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, GeneratorFile, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

// The current layout's list holds objects by reference; anything but bars is refused, and
// lists inside lists are not followed until the stack runs out.
TEST(GeneratorFileObjects, ListsOfOtherObjectsAreRefused) {
    for (int depth : {1, 2, 100000}) {
        CBytes out;
        out.NewClass("CDspView").I32(0).NewClass("CSigGenView").NewClass("CObList");
        for (int i = 0; i < depth; ++i)
            out.U16(1).U16(0x8003); // one element: another list (class index 3)
        out.U16(0);
        CGeneratorHarness h;
        h.NewProcess(1024, 96000.0);
        CArchive in(out.b);
        h.View().Serialize(in);
        EXPECT_FALSE(in.Ok()) << depth;
        EXPECT_EQ(h.View().GetChannelCount(), 2) << depth;
    }
}

TEST(GeneratorFileObjects, AMissingListIsRefused) {
    CBytes out;
    out.NewClass("CDspView").I32(0).NewClass("CSigGenView").U16(0).I32(0);
    CGeneratorHarness h;
    h.NewProcess(1024, 96000.0);
    CArchive in(out.b);
    h.View().Serialize(in);
    EXPECT_EQ(in.GetError(), "Signal generator without its channel bars");
}

// A whole process file in the older layout ("Process", no class records anywhere).
TEST(GeneratorProcessFile, OlderLayoutOpensWithItsBars) {
    CBytes file;
    file.Text("Process").I32(512).F64(44100.0).I32(0).I32(0);
    for (int i = 0; i < 8; ++i)
        file.I32(0); // both rectangles empty
    file.U16(1).Text("Signal Generator").U16(1).Text("1").I32(300).I32(200);
    const Bytes part = LegacyLayout({kBar1, kBar2}, 2);
    file.b.insert(file.b.end(), part.begin(), part.end());

    CTempFolder folder;
    const std::string path = folder.File("old.process");
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(file.b.data()), std::streamsize(file.b.size()));
    CGeneratorHarness h;
    std::string error;
    ASSERT_NE(h.app.OpenDocumentFile(path, error), nullptr) << error;
    h.doc = h.app.ReopenMarkedDocument(error);
    ASSERT_NE(h.doc, nullptr) << error;
    EXPECT_EQ(h.doc->GetSchemaText(), "Process");
    ExpectBar(h.Bar(1), kBar1);
    ExpectBar(h.Bar(2), kBar2);

    // Saved again, it takes the current layout and reads back the same.
    const std::string again = folder.File("again.process");
    ASSERT_TRUE(h.doc->OnSaveDocument(again, error)) << error;
    CGeneratorHarness reread;
    ASSERT_NE(reread.app.OpenDocumentFile(again, error), nullptr) << error;
    reread.doc = reread.app.ReopenMarkedDocument(error);
    ASSERT_NE(reread.doc, nullptr) << error;
    EXPECT_EQ(reread.doc->GetSchemaText(), "Process0");
    ExpectBar(reread.Bar(1), kBar1);
    ExpectBar(reread.Bar(2), kBar2);
}

} // namespace
