// Thinning a trace to a few points per pixel column keeps the picture the line draws.
#include "plot/TraceThinning.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

namespace {
using Points = std::vector<CPoint>;

// Few points per column stay; of more, the entry, the extremes in their order and the exit.
TEST(ThinToPixelColumns, KeepsEntryExtremesAndExit) {
    const std::pair<Points, Points> cases[] = {
        {{{0, 5}, {0, 9}, {1, 2}}, {{0, 5}, {0, 9}, {1, 2}}},
        {{{3, 5}, {3, 1}, {3, 4}, {3, 9}, {3, 6}, {4, 0}},
         {{3, 5}, {3, 1}, {3, 9}, {3, 6}, {4, 0}}},
        {{{7, 0}, {7, 3}, {7, 4}, {7, 2}, {7, 8}}, {{7, 0}, {7, 8}}},
        {{{1, 4}, {1, 4}, {1, 4}, {1, 4}, {1, 4}}, {{1, 4}, {1, 4}}}};
    for (const auto& [in, out] : cases) {
        Points points = in;
        ThinToPixelColumns(points);
        EXPECT_EQ(points, out);
    }
}

// A long noisy trace over few columns: at most four points each, the same vertical span per
// column, and the first and last point of the trace unchanged.
TEST(ThinToPixelColumns, LongTraceKeepsEveryColumnsSpan) {
    std::mt19937 random(3);
    std::uniform_int_distribution<int32_t> y(0, 400);
    Points points;
    for (int32_t i = 0; i < 131072; ++i)
        points.push_back({i / 200, y(random)});
    auto spans = [](const Points& p) {
        std::map<int32_t, std::tuple<int32_t, int32_t, int>> s; // low, high, count
        for (const CPoint& q : p) {
            auto [it, fresh] = s.try_emplace(q.x, q.y, q.y, 0);
            auto& [low, high, count] = it->second;
            low = std::min(low, q.y);
            high = std::max(high, q.y);
            ++count;
        }
        return s;
    };
    Points thinned = points;
    ThinToPixelColumns(thinned);
    const auto before = spans(points), after = spans(thinned);
    ASSERT_EQ(after.size(), before.size());
    for (const auto& [x, span] : after) {
        EXPECT_EQ(std::get<0>(span), std::get<0>(before.at(x))) << x;
        EXPECT_EQ(std::get<1>(span), std::get<1>(before.at(x))) << x;
        EXPECT_LE(std::get<2>(span), 4) << x;
    }
    EXPECT_EQ(thinned.front(), points.front());
    EXPECT_EQ(thinned.back(), points.back());
}
} // namespace
