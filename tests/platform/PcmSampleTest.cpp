// Samples a card takes only as 32-bit integers: 24-bit codes fill the top three bytes and come
// back whole, floats are scaled by 2^31, rounded and clipped at full scale.
#include "platform/PcmSample.h"

#include "common/HexBytes.h"

#include <gtest/gtest.h>

namespace {

TEST(WideSamples, CarryEvery24BitCodeAndFloatsToFullScale) {
    const CWaveFormat pcm24{1, 48000, 24}, float32{1, 48000, 32, true};
    const struct {
        const CWaveFormat* format;
        const char *narrow, *wide, *back;
    } cases[] = {
        {&pcm24, "ffff7f 000080 010000 ffffff", "00ffff7f 00000080 00010000 00ffffff",
         "ffff7f 000080 010000 ffffff"},
        // 0.5, -1.0, 1.0 (one step short of 2^31 when clipped), 1.5 clipped, 2^-31 rounded up.
        {&float32, "0000003f 000080bf 0000803f 0000c03f 00000030",
         "00000040 00000080 ffffff7f ffffff7f 01000000",
         "0000003f 000080bf 0000803f 0000803f 00000030"}};
    for (const auto& c : cases) {
        const auto narrow = HexBytes(c.narrow);
        const size_t samples = narrow.size() / size_t(c.format->BytesPerSample());
        std::vector<uint8_t> wide(samples * 4), back(narrow.size());
        WidenSamples(narrow.data(), samples, *c.format, wide.data());
        EXPECT_EQ(wide, HexBytes(c.wide)) << c.narrow;
        NarrowSamples(wide.data(), samples, *c.format, back.data());
        EXPECT_EQ(back, HexBytes(c.back)) << c.narrow;
    }
    EXPECT_FALSE(HasWideSamples({2, 48000, 16}));
    EXPECT_FALSE(HasWideSamples({2, 48000, 16, true}));
    EXPECT_TRUE(HasWideSamples(float32) && HasWideSamples(pcm24));
}

} // namespace
