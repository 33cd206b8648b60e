// Thinning a trace to a few points per pixel column keeps the picture the line draws.
#include "process/TraceThinning.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {
using Points = std::vector<CPoint>;

struct ThinningCase {
    const char* name;
    Points in, out;
};

class TraceThinning : public ::testing::TestWithParam<ThinningCase> {};

TEST_P(TraceThinning, KeepsEntryExtremesAndExit) {
    Points points = GetParam().in;
    ThinToPixelColumns(points);
    EXPECT_EQ(points, GetParam().out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceThinning,
    ::testing::Values(
        ThinningCase{
            "FewPerColumnStay", {{0, 5}, {0, 9}, {1, 2}, {2, 3}}, {{0, 5}, {0, 9}, {1, 2}, {2, 3}}},
        ThinningCase{"HighBeforeLow",
                     {{3, 5}, {3, 1}, {3, 4}, {3, 9}, {3, 6}, {4, 0}},
                     {{3, 5}, {3, 1}, {3, 9}, {3, 6}, {4, 0}}},
        ThinningCase{
            "ExtremesAtTheEnds", {{7, 0}, {7, 3}, {7, 4}, {7, 2}, {7, 8}}, {{7, 0}, {7, 8}}},
        ThinningCase{"Flat", {{1, 4}, {1, 4}, {1, 4}, {1, 4}, {1, 4}, {1, 4}}, {{1, 4}, {1, 4}}},
        ThinningCase{"Empty", {}, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// A long noisy trace over few columns: at most four points each, same vertical span per
// column, and the first and last point of the trace unchanged.
TEST(ThinToPixelColumns, LongTraceKeepsEveryColumnsSpan) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> y(0, 400);
    Points points;
    for (int32_t i = 0; i < 131072; ++i)
        points.push_back({i / 200, y(random)});
    std::map<int32_t, std::pair<int32_t, int32_t>> spans, thinnedSpans;
    std::map<int32_t, int> counts;
    for (const CPoint& p : points) {
        auto [it, fresh] = spans.try_emplace(p.x, p.y, p.y);
        it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    }
    Points thinned = points;
    ThinToPixelColumns(thinned);
    for (const CPoint& p : thinned) {
        ++counts[p.x];
        auto [it, fresh] = thinnedSpans.try_emplace(p.x, p.y, p.y);
        it->second = {std::min(it->second.first, p.y), std::max(it->second.second, p.y)};
    }
    EXPECT_EQ(thinnedSpans, spans);
    for (const auto& [x, count] : counts)
        EXPECT_LE(count, 4) << "column " << x;
    EXPECT_EQ(thinned.front(), points.front());
    EXPECT_EQ(thinned.back(), points.back());
}
} // namespace
