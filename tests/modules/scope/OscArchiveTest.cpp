// The oscilloscope's part of a process file: the exact bytes, both layouts, damaged values and
// truncated records.
#include "common/HexBytes.h"

#include "base/Archive.h"
#include "modules/scope/OscView.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <tuple>

namespace {

using Bytes = std::vector<uint8_t>;

// The view's record (channel 2 selected), then the oscilloscope's: volts index, position,
// display type and average index of each channel, time index, horizontal position, block
// length 16, gate on with markers 4 and 8.5 and window -2.25 to 12. No two whole-number fields
// hold the same value, so two fields read or written in each other's place are seen.
const char* const kChanged = "ffff 0000 0800 4344737056696577 02000000"
                             "ffff 0000 0800 434f736356696577"
                             "09000000 64000000 03000000 0c000000 15000000"
                             "25000000 00000000 05000000 12000000 3f000000"
                             "0000000000003040 01000000"
                             "0000000000001040 0000000000002140 00000000000002c0 0000000000002840";

// Offsets of the settings, the block length, the gate flag and the gate values.
constexpr size_t kSettings = 32, kBlockLength = 72, kGateOn = 80, kGate = 84;
constexpr size_t kCut = 1000; // at kCut + n: the record cut short by n bytes

Bytes WithoutClassRecords(Bytes b) {
    b.erase(b.begin() + 18, b.begin() + 32);
    b.erase(b.begin(), b.begin() + 14);
    return b;
}

class OscArchiveLayout : public testing::TestWithParam<bool> {};

TEST_P(OscArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const bool legacy = GetParam();
    CArchive in(legacy ? WithoutClassRecords(HexBytes(kChanged)) : HexBytes(kChanged));
    in.SetLegacy(legacy);
    COscView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(view.GetTimeIndex(), 18);
    EXPECT_EQ(view.GetGate().GetStart(), -2.25);
    const std::map<std::string, std::string> expected{
        {"channel", "2"},       {"ch1.vdiv", "1 mVpk/Div"},
        {"ch1.pos", "100"},     {"ch1.display", "Dig"},
        {"ch1.avg", "4096"},    {"ch2.vdiv", "10 Vpk/Div"},
        {"ch2.pos", "37"},      {"ch2.display", "Off"},
        {"ch2.avg", "32"},      {"tdiv", "1 S/Div"},
        {"xpos", "63"},         {"length", "16"},
        {"gate", "On"},         {"leftmarker", "4"},
        {"rightmarker", "8.5"}, {"gatestart", "-2.25"},
        {"gatestop", "12"}};
    std::map<std::string, std::string> listed;
    for (const CSettingValue& s : view.GetSettings())
        listed[s.id] = s.value;
    EXPECT_EQ(listed, expected);
    // The control bar shows what was read.
    EXPECT_EQ(view.GetControls().GetState(size_t(view.GetControls().Find("ch1.avg"))).text, "4096");
    EXPECT_FALSE(
        view.GetControls().GetState(size_t(view.GetControls().Find("ch2.vdivup"))).enabled);

    CArchive out;
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(HexBytes(kChanged)))
        << "saving writes class records";
}

INSTANTIATE_TEST_SUITE_P(Layouts, OscArchiveLayout, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

template <class T> void Put(Bytes& b, size_t at, T value) {
    std::memcpy(b.data() + at, &value, sizeof value);
}

// A damaged value or a truncated record fails with a message and changes nothing. Each row: the
// offset of an int32 field and its value, or of a double field (value 0) and its value, or
// kCut + the bytes cut off the end; then the message (empty: any).
TEST(OscArchive, DamageFailsWithAMessageAndKeepsTheSettings) {
    const std::tuple<size_t, int32_t, double, const char*> cases[] = {
        {kSettings + 16, 22, 0, "Oscilloscope volts/div index out of range"},
        {kSettings + 4, 101, 0, "Oscilloscope vertical position out of range"},
        {kSettings + 24, 4, 0, "Oscilloscope display type out of range"},
        {kSettings + 32, 19, 0, "Oscilloscope time/div index out of range"},
        {kBlockLength, 0, -1.0, "Oscilloscope block length out of range"},
        {kGateOn, 2, 0, "Oscilloscope gate flag out of range"},
        {kGate + 24, 0, INFINITY, "Oscilloscope gate is not a number"},
        {kCut + 1, 0, 0, ""},
        {kCut + 76, 0, 0, ""}};
    for (const auto& [at, value, real, message] : cases) {
        SCOPED_TRACE(at);
        Bytes bytes = HexBytes(kChanged);
        if (value != 0)
            Put<int32_t>(bytes, at, value);
        else if (at < bytes.size())
            Put<double>(bytes, at, real);
        else
            bytes.resize(bytes.size() - (at - kCut));
        CArchive in(bytes);
        COscView view;
        view.Serialize(in);
        if (*message) {
            EXPECT_EQ(in.GetError(), message);
        }
        EXPECT_FALSE(in.Ok());
        EXPECT_EQ(view.GetVoltsIndex(0), 17);
        EXPECT_EQ(view.GetTimeIndex(), 9);
        EXPECT_EQ(view.GetXPosition(), 50);
        EXPECT_FALSE(view.GetGate().IsOn());
    }
}

} // namespace
