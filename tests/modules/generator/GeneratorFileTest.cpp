// The generator's part of a process file: the exact bytes in both layouts, reading them back,
// and damaged parts that must fail cleanly.
#include "Generator.h"
#include "common/CaseName.h"
#include "common/HexBytes.h"

#include "base/Archive.h"

#include <cmath>
#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

// Channel 1 selected; bar 1: Triangle180, 440.5 Hz, Log10Dn Swp, level 42, sweep 20 to 20000 Hz
// in 2.5 s, pulse 0.001 to 0.002 s of 0.004 s; bar 2 at its defaults but for the wave, MLS.
// Each bar: channel, wave, frequency, mode, level, sweep start, stop, time, pulse start, stop,
// period. The current layout writes class records for the view and in each bar.
const char* const kCurrent = "ffff 0000 0800 4344737056696577 01000000"
                             "ffff 0000 0b00 4353696747656e56696577"
                             "ffff 0000 0700 434f624c697374 0200"
                             "ffff 0000 1100 4353696747656e4368616e446c67426172 0580"
                             "01000000 0b000000 0000000000887b40 06000000 2a000000"
                             "0000000000003440 000000000088d340 0000000000000440"
                             "fca9f1d24d62503f fca9f1d24d62603f fca9f1d24d62703f"
                             "0580 0580 02000000 19000000 00000000001d9040 00000000 64000000"
                             "0000000080a0c140 000000008070c940 bbd573d2fbc6973f"
                             "0000000000000000 dbde6e490ed8753f dbde6e490ed8853f"
                             "02000000";
const char* const kLegacy = "01000000 ffff 0000 0700 434f624c697374 0200"
                            "ffff 0000 1100 4353696747656e4368616e446c67426172"
                            "01000000 0b000000 0000000000887b40 06000000 2a000000"
                            "0000000000003440 000000000088d340 0000000000000440"
                            "fca9f1d24d62503f fca9f1d24d62603f fca9f1d24d62703f"
                            "0380 02000000 19000000 00000000001d9040 00000000 64000000"
                            "0000000080a0c140 000000008070c940 bbd573d2fbc6973f"
                            "0000000000000000 dbde6e490ed8753f dbde6e490ed8853f"
                            "02000000";

// Where the parts of each layout begin: the list's count, each bar's fields, the second bar and
// the count after the list.
struct COffsets {
    size_t listCount, bar1, bar2Begin, bar2, count;
};
constexpr COffsets kCurrentAt{48, 75, 147, 151, 223};
constexpr COffsets kLegacyAt{17, 42, 114, 116, 188};

void Configure(CModuleProcess& p) {
    p.Step<CSigGenView>(1).OnSelCh1();
    p.Set(1,
          {"ch1.wave=Triangle180", "ch1.freq=440.5", "ch1.mode=Log10Dn Swp", "ch1.level=42",
           "ch1.sweepstart=20", "ch1.sweepstop=20000", "ch1.sweeptime=2.5", "ch1.pulsestart=0.001",
           "ch1.pulsestop=0.002", "ch1.pulseperiod=0.004", "ch2.wave=MLS"});
}

Bytes Write(const CModuleProcess& p, bool legacy) {
    CArchive out;
    out.SetLegacy(legacy);
    p.Step(1).Serialize(out);
    EXPECT_TRUE(out.Ok());
    return out.GetBuffer();
}

/** Reads bytes into the generator of a fresh process; the archive's error text. */
std::string Read(CModuleProcess& into, const Bytes& bytes, bool legacy) {
    MakeGenerators(into, 1024, 96000.0);
    CArchive in(bytes);
    in.SetLegacy(legacy);
    into.Step(1).Serialize(in);
    return in.GetError();
}

template <class T> void Put(Bytes& b, size_t at, T value) {
    std::memcpy(b.data() + at, &value, sizeof value);
}

class GeneratorFile : public testing::TestWithParam<bool> {
protected:
    bool Legacy() const { return GetParam(); }
    Bytes Literal() const { return HexBytes(Legacy() ? kLegacy : kCurrent); }
    const COffsets& At() const { return Legacy() ? kLegacyAt : kCurrentAt; }
};

TEST_P(GeneratorFile, WritesTheLiteralAndReadsItBack) {
    CModuleProcess p;
    MakeGenerators(p, 1024, 96000.0);
    Configure(p);
    EXPECT_EQ(HexText(Write(p, Legacy())), HexText(Literal()));

    CModuleProcess q;
    ASSERT_EQ(Read(q, Literal(), Legacy()), "");
    EXPECT_EQ(HexText(Write(q, Legacy())), HexText(Literal()));
    EXPECT_EQ(q.Step(1).GetSettings(), p.Step(1).GetSettings());
    EXPECT_EQ(ControlState(q.Step(1), "ch1.freq").text, "440.50  ");
    EXPECT_EQ(ControlState(q.Step(1), "ch1.sweeptime").text, "2.500000");
}

struct CDamage {
    const char* name;
    void (*damage)(Bytes&, const COffsets&);
};

const CDamage kDamages[] = {
    {"WaveTypeAboveTheList",
     [](Bytes& b, const COffsets& o) { Put<int32_t>(b, o.bar1 + 4, kWaveCount); }},
    {"ModeAboveTheList", [](Bytes& b, const COffsets& o) { Put<int32_t>(b, o.bar1 + 16, 9); }},
    {"LevelAboveFullScale", [](Bytes& b, const COffsets& o) { Put<int32_t>(b, o.bar1 + 20, 101); }},
    {"ChannelNumberOutOfOrder", [](Bytes& b, const COffsets& o) { Put<int32_t>(b, o.bar1, 2); }},
    {"CountDiffersFromTheBars", [](Bytes& b, const COffsets& o) { Put<int32_t>(b, o.count, 3); }},
    {"NoBars",
     [](Bytes& b, const COffsets& o) {
         b.erase(b.begin() + long(o.listCount + 2), b.begin() + long(o.count));
         Put<uint16_t>(b, o.listCount, 0);
         Put<int32_t>(b, o.listCount + 2, 0);
     }},
};

class GeneratorFileDamage : public testing::TestWithParam<std::tuple<bool, CDamage>> {};

TEST_P(GeneratorFileDamage, FailsAndKeepsTheSettings) {
    const auto& [legacy, damage] = GetParam();
    Bytes bytes = HexBytes(legacy ? kLegacy : kCurrent);
    damage.damage(bytes, legacy ? kLegacyAt : kCurrentAt);
    CModuleProcess p;
    EXPECT_NE(Read(p, bytes, legacy), "");
    ASSERT_EQ(p.Step<CSigGenView>(1).GetChannelCount(), 2);
    EXPECT_EQ(Bar(p, 1).m_waveType, kWaveSine);
    EXPECT_EQ(Bar(p, 1).m_level, 100);
}

INSTANTIATE_TEST_SUITE_P(Layouts, GeneratorFile, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });
INSTANTIATE_TEST_SUITE_P(Parts, GeneratorFileDamage,
                         testing::Combine(testing::Bool(), testing::ValuesIn(kDamages)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param) ? "Legacy" : "Current") +
                                    std::get<1>(info.param).name;
                         });

} // namespace
