// The analyser's part of a process file: the exact layout in both forms, the clamped Y scale
// index of a damaged file, refused values and truncation.
#include "SpecFixture.h"
#include "common/HexBytes.h"

#include "base/Archive.h"

#include <cstring>
#include <limits>

namespace {

using Bytes = std::vector<uint8_t>;

// The view's record (channel 2 selected), then the analyser's: X axis Log20., start and stop
// positions 2 and 31 with their bins, Y axis | Z | with scale 6, Ref1 8.2, Ref2 12.5, FFT type
// FHT/FFT, window Hamming, plot Solid Bar, no calibration, average index 8, smoothing 9. No two
// whole-number fields hold the same value, so two fields read or written in each other's place
// are seen.
const char* const kConfigured = "ffff 0000 0800 4344737056696577 02000000"
                                "ffff 0000 0900 435370656356696577"
                                "03000000 02000000 1f000000 0000000000004040 0000000000007f40"
                                "07000000 06000000 6666666666662040 0000000000002940"
                                "05000000 04000000 01000000 00000000 08000000 09000000";

// Offsets of the fields after the class records.
enum : size_t { kX = 33, kStart = 37, kStop = 41, kY = 61, kScale = 65, kType = 85, kPlot = 93 };
enum : size_t { kAverage = 101, kSmoothing = 105 };

template <class T> Bytes With(size_t at, T value, Bytes b = HexBytes(kConfigured)) {
    std::memcpy(b.data() + at, &value, sizeof value);
    return b;
}

class SpecArchive : public SpecFixture {
protected:
    void SetUp() override { Make(1024, 48000.0); }
    void Configure() {
        Set({"xaxis=Log20.", "startup", "startup", "stopdn", "yaxis=| Z |", "scaleup", "ref1=8.2",
             "ref2=12.5", "type=FHT/FFT", "window=Hamming", "plot=Solid Bar", "avg=256",
             "smooth=9"});
        Analyser().OnSelCh2();
    }
    /** The analyser's own settings, without the view's selected channel. */
    std::vector<CSettingValue> Own() {
        std::vector<CSettingValue> settings = Analyser().GetSettings();
        settings.erase(settings.begin());
        return settings;
    }
    Bytes Write() {
        CArchive out;
        Analyser().Serialize(out);
        return out.GetBuffer();
    }
    // Reads a module part into the analyser; the archive's error, empty on success.
    std::string Load(const Bytes& bytes, bool legacy = false) {
        CArchive ar(bytes);
        ar.SetLegacy(legacy);
        Analyser().Serialize(ar);
        if (ar.Ok() && ar.Remaining() != 0) return "bytes left over";
        return ar.GetError();
    }
};

TEST_F(SpecArchive, WritesTheLiteralAndReadsBothLayouts) {
    Configure();
    EXPECT_EQ(HexText(Write()), HexText(HexBytes(kConfigured)));
    const auto configured = Analyser().GetSettings();
    Bytes legacy = HexBytes(kConfigured);
    legacy.erase(legacy.begin() + 18, legacy.begin() + 33);
    legacy.erase(legacy.begin(), legacy.begin() + 14);
    for (bool old : {false, true}) {
        SpecArchive::SetUp();
        ASSERT_EQ(Load(old ? legacy : HexBytes(kConfigured), old), "");
        Analyser().ShowCurrentParams();
        EXPECT_EQ(Analyser().GetSettings(), configured);
        EXPECT_EQ(Analyser().GetBlockAverageCount(), 256.0);
        EXPECT_EQ(ControlState(Analyser(), "ref1").text, "8.2");
        EXPECT_EQ(ControlState(Analyser(), "yaxis").text, "| Z |");
        EXPECT_EQ(HexText(Write()), HexText(HexBytes(kConfigured)));
    }
}

// The readings beyond the distortion lines are kept after the last step, not in the record:
// files keep their layout.
TEST_F(SpecArchive, ReadingsLeaveTheRecordAsItWas) {
    Configure();
    Set({"thdharm=HD3", "thddb=1", "noise=A", "imd=CCIF"});
    EXPECT_EQ(HexText(Write()), HexText(HexBytes(kConfigured)));
}

// A damaged scale index is clamped to the stored Y axis type's list: {type, stored, loaded}.
TEST_F(SpecArchive, DamagedScaleIndexIsClampedToTheStoredTypesList) {
    const int32_t cases[][3] = {
        {kYdBVSPL, 17, 0}, {kYImpedance, 99, 14}, {kYdBVpk, 10, 9}, {kYVpk, -3, 0}};
    for (const auto& [yAxis, stored, loaded] : cases) {
        ASSERT_EQ(Load(With<int32_t>(kScale, stored, With<int32_t>(kY, yAxis))), "");
        EXPECT_EQ(Analyser().GetYScaleIndex(), loaded) << yAxis << " " << stored;
        Analyser().ShowCurrentParams();
        EXPECT_EQ(Analyser().GetYScaleIndex(), loaded) << yAxis << " " << stored;
    }
}

// Values no control can hold are refused and change nothing: the X axis, a start at the stop,
// a stop beyond the axis, the Y axis, the FFT type, the plot, the average and the smoothing.
TEST_F(SpecArchive, RefusesValuesNoControlCanHold) {
    const auto before = Own();
    for (const auto& [at, value] : {std::pair{size_t(kX), 5},
                                    {kStart, 31},
                                    {kStop, 33},
                                    {kY, 10},
                                    {kType, 6},
                                    {kPlot, 7},
                                    {kAverage, 13},
                                    {kSmoothing, 33}}) {
        EXPECT_NE(Load(With<int32_t>(at, value)).find("Spectrum analyser:"), std::string::npos)
            << at;
        EXPECT_EQ(Own(), before) << at;
    }
}

} // namespace
