#pragma once
// Random block lists over the whole double range and the check that a list came back through
// a text format that writes eight significant digits.

#include "common/DspTestUtil.h"
#include "dsp/DSPFFTDataList.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

/** Fills every array, gain and delay of the list with random values of exponents up to
 *  ±`exponents` (every fifth phase 0). */
inline void FillRandom(CDSPFFTDataList& list, unsigned seed, int exponents) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> mantissa(-9.99, 9.99);
    std::uniform_int_distribution<int> exponent(-exponents, exponents);
    auto random = [&] { return mantissa(rng) * std::pow(10.0, exponent(rng)); };
    for (int ch = 0; ch < list.GetNumChans(); ++ch) {
        for (int32_t i = 0; i < list.GetSize(ch); ++i) {
            list.GetTimeData(ch)[i] = random();
            list.GetFreqData(ch)[i] = random();
            list.GetPhaseData(ch)[i] = i % 5 == 0 ? 0.0 : random();
        }
        list.SetGain(ch, random());
        list.SetDelay(ch, random());
    }
}

/** Every value of `got` within half a unit of the eighth significant digit of `want`. */
inline void ExpectWithinWrittenPrecision(const CBlockSnapshot& got, const CBlockSnapshot& want) {
    const std::vector<double>* g[] = {&got.time, &got.magnitude, &got.phase};
    const std::vector<double>* w[] = {&want.time, &want.magnitude, &want.phase};
    for (int a = 0; a < 3; ++a) {
        ASSERT_EQ(g[a]->size(), w[a]->size());
        for (size_t i = 0; i < g[a]->size(); ++i)
            EXPECT_LE(std::fabs((*g[a])[i] - (*w[a])[i]), 5.0000001e-8 * std::fabs((*w[a])[i]))
                << "array " << a << " element " << i;
    }
}
