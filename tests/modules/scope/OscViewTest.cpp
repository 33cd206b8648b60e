// The oscilloscope module driven through a real document between a pattern source and a sink:
// fit, per-channel block averaging, the gate and what later steps receive.
#include "common/ModuleProcess.h"
#include "common/DspTestUtil.h"
#include "common/PatternModules.h"

#include "modules/scope/OscView.h"
#include "platform/RecordingCanvas.h"

#include <cmath>

namespace {

using Lines = std::vector<std::string>;

class OscView : public testing::Test {
protected:
    CModuleProcess p{PatternRegistry()};

    // Source, oscilloscope, sink; 16 samples at 1600 per second (a 10 ms block).
    void SetUp() override {
        ASSERT_TRUE(p.Create({"Signal Generator", "Oscilloscope", "DataLogger"}, 16, 1600.0));
    }
    CPatternSource& Source() { return p.Step<CPatternSource>(1); }
    COscView& Scope() { return p.Step<COscView>(2); }
    const std::vector<std::vector<double>>& Received() { return p.Step<CPatternSink>(3).m_time; }
    // The 210 x 110 view puts the plot at (5, 5) - (205, 105); at 1 ms/div the 10 ms block spans
    // it exactly, so column x shows sample (x - 5) * 0.08.
    void Paint() {
        CRecordingCanvas canvas;
        Scope().OnDraw(canvas, {0, 0, 210, 110});
    }
    void Drag(int32_t from, int32_t to) {
        Scope().OnLButtonDown({from, 50});
        Scope().OnMouseMove({(from + to) / 2, 60}, true);
        Scope().OnLButtonUp({to, 60});
    }
};

// Fit picks each channel's smallest volts/div that holds its block on its side of the zero line:
// channel 1 (zero line at 75 %) has 2 divisions above it for a 1.6 V peak, channel 2 (at 25 %)
// 2 divisions below it for -12 mV.
TEST_F(OscView, FitShowsEachChannelsWholeBlockAboveAndBelowItsZeroLine) {
    Source().m_pattern = [](int c, int, int i) {
        return c == 0 ? 1.6 * std::sin(2 * 3.141592653589793 * i / 16) : -0.012;
    };
    ASSERT_TRUE(p.Pass());
    p.Set(2, {"fit"});
    EXPECT_EQ(Scope().GetReadouts()[0], "Ch1: 1 Vpk/Div");
    EXPECT_EQ(Scope().GetReadouts()[1], "Ch2: 10 mVpk/Div");
}

// The running average over N = 4 after k blocks: block 1 replaces, block 2 moves half way,
// block 3 a quarter, and from block 4 on (n reaches N) a quarter again. Channel 2 averages over
// 2 blocks of 8, then 2: 8, 5, then 3.5.
TEST_F(OscView, AveragesEachChannelOverItsOwnCount) {
    p.Set(2, {"ch1.avg=4", "ch2.avg=2"});
    Source().m_pattern = [](int c, int k, int i) {
        return c == 0 ? 100.0 * k + i : (k == 1 ? 8.0 : 2.0);
    };
    const double divisors[] = {1, 2, 4, 4, 4};
    const double ch2[] = {8.0, 5.0, 3.5, 2.75, 2.375};
    double average = 0.0;
    for (int k = 1; k <= 5; ++k) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(p.Pass());
        average += (100.0 * k - average) / divisors[k - 1];
        const std::vector<double> shown = Values(Scope().GetDisplayList()->GetTimeObj(0));
        EXPECT_NEAR(shown[3], average + 3, 1e-12);
        EXPECT_EQ(Received()[0], shown);
        EXPECT_EQ(Received()[1][7], ch2[k - 1]);
        EXPECT_EQ(Scope().GetAverageCounter(0), k + 1);
        EXPECT_EQ(Scope().GetReadouts(),
                  (Lines{"Ch1: 500 mVpk/Div", "Ch2: 500 mVpk/Div", "1 mS/Div",
                         "Ch1 Avg: " + std::to_string(k) + " / 4",
                         "Ch2 Avg: " + std::to_string(k) + " / 2"}));
    }
}

TEST_F(OscView, ANewCountOrANewRunRestartsTheAverage) {
    p.Set(2, {"ch1.avg=4"});
    for (int k = 0; k < 3; ++k)
        ASSERT_TRUE(p.Pass());
    p.Set(2, {"ch1.avg=8"});
    EXPECT_EQ(Scope().GetAverageCounter(0), 1);
    EXPECT_EQ(Scope().GetReadouts().back(), "Ch1 Avg: 0 / 8");
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(Received()[0][3], Source().m_pattern(0, 4, 3)) << "the next block replaces";
    p.Set(2, {"ch1.avg=8"});
    EXPECT_EQ(Scope().GetAverageCounter(0), 2) << "choosing the same count keeps counting";

    ASSERT_TRUE(p.Doc().OnEditStop());
    ASSERT_TRUE(p.Doc().OnEditRun());
    EXPECT_EQ(Scope().GetAverageCounter(0), 1);
    EXPECT_EQ(Values(Scope().GetDisplayList()->GetTimeObj(0)), std::vector<double>(16, 0.0));
    ASSERT_TRUE(p.Pass());
    EXPECT_EQ(Received()[0][5], Source().m_pattern(0, 5, 5));
}

TEST_F(OscView, TheGateZeroesWhatIsHandedOnButTheDisplayKeepsEverySample) {
    Paint();
    p.Doc().SetModifiedFlag(false);
    Drag(55, 105);
    ASSERT_TRUE(Scope().GetGate().IsOn());
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetStart(), 4.0);
    EXPECT_DOUBLE_EQ(Scope().GetGate().GetStop(), 8.0);
    EXPECT_TRUE(p.Doc().IsModified());
    ASSERT_TRUE(p.Pass());
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < 16; ++i) {
            const double v = Source().m_pattern(c, 1, i);
            EXPECT_EQ(Scope().GetDisplayList()->GetTimeData(c)[i], v);
            EXPECT_EQ(Received()[size_t(c)][size_t(i)], i >= 4 && i <= 8 ? v : 0.0) << c << i;
        }
}

} // namespace
