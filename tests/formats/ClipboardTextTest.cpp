// Clipboard block text (cut, copy, paste of blocks and lists) and the envelope edit text.
#include "dsp/DSPFFTDataList.h"
#include "platform/Clipboard.h"

#include "common/DspTestUtil.h"
#include "formats/ClipboardText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

namespace {

/** A clipboard that cannot be opened. */
class CClosedClipboard final : public IClipboard {
public:
    bool SetText(const std::string&) override { return false; }
    std::optional<std::string> GetText() const override { return std::nullopt; }
};

std::string Line(const std::string& a, const std::string& b, const std::string& c) {
    return a + "\t" + b + "\t" + c + "\r\n";
}

// Three elements and their clipboard text, written out by hand.
void MakeThree(CDSPFFTData& block) {
    MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {0.5, -1000.0, 1e-10}, {1.0, 2.0, 3.0},
              {-90.0, 0.0, 45.25});
}
const std::string kThreeText = Line("+5.0000000E-001", "+1.0000000E+000", "-9.0000000E+001") +
                               Line("-1.0000000E+003", "+2.0000000E+000", "+0.0000000E+000") +
                               Line("+1.0000000E-010", "+3.0000000E+000", "+4.5250000E+001");

TEST(ClipboardText, CopyOfThreeElementsIs147CharactersThatPasteBackAsThree) {
    CDSPFFTData block;
    MakeThree(block);
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Copy(block, 3, clipboard), 3);
    EXPECT_EQ(clipboard.GetText(), kThreeText);
    EXPECT_EQ(kThreeText.size(), 147u);

    CDSPFFTData target;
    target.Create(CDSPData::kTimeBlock, 3, 96000.0);
    EXPECT_EQ(ClipboardText::Paste(target, 3, clipboard), 3);
    EXPECT_EQ(Snapshot(target), Snapshot(block));
}

TEST(ClipboardText, CopyTakesAtMostTheBlockAndReportsItsLinesEvenWhenTheClipboardIsClosed) {
    CDSPFFTData block;
    MakeThree(block);
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Copy(block, 10, clipboard), 3);
    EXPECT_EQ(clipboard.GetText(), kThreeText);
    EXPECT_EQ(ClipboardText::Copy(block, 1, clipboard), 1);
    EXPECT_EQ(clipboard.GetText(), kThreeText.substr(0, 49));
    CClosedClipboard closed;
    EXPECT_EQ(ClipboardText::Copy(block, 3, closed), 3);
    EXPECT_EQ(ClipboardText::Cut(block, closed), 3);
    EXPECT_EQ(ClipboardText::Paste(block, 3, closed), 0);
    CDSPFFTData empty;
    EXPECT_EQ(ClipboardText::Copy(empty, 3, clipboard), 0);
    EXPECT_EQ(ClipboardText::Cut(empty, clipboard), 0);
}

struct CutCase {
    int32_t type;
    std::vector<double> freshTime;
};

class ClipboardCut : public testing::TestWithParam<CutCase> {};

TEST_P(ClipboardCut, CopiesEverythingAndLeavesAFreshBlock) {
    CDSPFFTData block;
    MakeBlock(block, GetParam().type, 8000.0, {1, 2, 3, 4, 5, 6, 7, 8},
              {-1, -2, -3, -4, -5, -6, -7, -8}, {10, 20, 30, 40, 50, 60, 70, 80});
    CMemoryClipboard copied, cut;
    ClipboardText::Copy(block, 8, copied);
    EXPECT_EQ(ClipboardText::Cut(block, cut), 8);
    EXPECT_EQ(cut.GetText(), copied.GetText());
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{GetParam().freshTime, std::vector<double>(8, 1.0),
                                               std::vector<double>(8, 0.0)}));
}

INSTANTIATE_TEST_SUITE_P(Types, ClipboardCut,
                         testing::Values(CutCase{CDSPData::kTimeBlock, std::vector<double>(8, 0.0)},
                                         CutCase{CDSPData::kResponseBlock,
                                                 {0, 1000, 2000, 3000, 4000, 3000, 2000, 1000}}));

struct PasteCase {
    const char* name;
    std::string text;
    int32_t result;
    CBlockSnapshot after; // of a block that held time 10.., magnitude 20.., phase 30..
};

class ClipboardPaste : public testing::TestWithParam<PasteCase> {};

TEST_P(ClipboardPaste, FollowsTheFieldRules) {
    CDSPFFTData block;
    MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {10, 11, 12}, {20, 21, 22}, {30, 31, 32});
    CMemoryClipboard clipboard;
    clipboard.SetText(GetParam().text);
    EXPECT_EQ(ClipboardText::Paste(block, 3, clipboard), GetParam().result);
    EXPECT_EQ(Snapshot(block), GetParam().after);
}

const std::string kOne = "+1.0000000E+000", kTwo = "+2.0000000E+000", kThree = "+3.0000000E+000";

INSTANTIATE_TEST_SUITE_P(
    Rules, ClipboardPaste,
    testing::Values(
        PasteCase{"LetterOtherThanE",
                  "1\t2\t3\r\n4x\t5\t6\r\n7\t8\t9\r\n",
                  0,
                  {{1, 11, 12}, {2, 21, 22}, {3, 31, 32}}},
        PasteCase{
            "SpaceBeforeTheLineEnd", "1\t2\t3 \r\n", 0, {{10, 11, 12}, {20, 21, 22}, {30, 31, 32}}},
        PasteCase{"ExponentsAndCommas",
                  "1E2\t2e-1\t-3,5\r\n+.5 -0 1.\r\n",
                  0,
                  {{100, 0.5, 12}, {0.2, -0.0, 22}, {-3, 1, 32}}},
        PasteCase{"NineteenCharacterFieldEndsThePaste",
                  Line(kOne, kTwo, kThree) + Line("+1.00000000000E+000", kTwo, kThree) +
                      Line(kOne, kTwo, kThree),
                  3,
                  {{1, 11, 12}, {2, 21, 22}, {3, 31, 32}}},
        PasteCase{"EighteenCharacterFieldIsRead",
                  Line("+1.0000000000E+001", kTwo, kThree) + Line(kOne, kTwo, kThree),
                  2,
                  {{10, 1, 12}, {2, 2, 22}, {3, 3, 32}}},
        PasteCase{"TextEndsBeforeTheCount",
                  Line(kOne, kTwo, kThree),
                  1,
                  {{1, 11, 12}, {2, 21, 22}, {3, 31, 32}}},
        PasteCase{"TextEndsInsideALine",
                  Line(kOne, kTwo, kThree) + kOne + "\t" + kTwo,
                  1,
                  {{1, 11, 12}, {2, 21, 22}, {3, 31, 32}}},
        PasteCase{
            "LineFeedsOnly", "1\t2\t3\n4\t5\t6\n7\t8\t9\n", 0, {{1, 4, 7}, {2, 5, 8}, {3, 6, 9}}},
        PasteCase{
            "LastLineWithoutLineEnd", "1 2 3\r\n4 5 6", 0, {{1, 4, 12}, {2, 5, 22}, {3, 6, 32}}},
        PasteCase{"Empty", "", 0, {{10, 11, 12}, {20, 21, 22}, {30, 31, 32}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ClipboardText, PasteReadsNoMoreThanTheBlockButCountsEveryLine) {
    CDSPFFTData block;
    block.Create(CDSPData::kTimeBlock, 2, 96000.0);
    CMemoryClipboard clipboard;
    clipboard.SetText(Line(kOne, kOne, kOne) + Line(kTwo, kTwo, kTwo) +
                      Line(kThree, kThree, kThree));
    EXPECT_EQ(ClipboardText::Paste(block, 100, clipboard), 3);
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{{1, 2}, {1, 2}, {1, 2}}));
    EXPECT_EQ(ClipboardText::Paste(block, -1, clipboard), 3) << "a negative count reads nothing";
}

// Eight significant digits are written: a value comes back within half a unit of the eighth.
void ExpectWithinWrittenPrecision(const CBlockSnapshot& got, const CBlockSnapshot& want) {
    const std::vector<double>* g[] = {&got.time, &got.magnitude, &got.phase};
    const std::vector<double>* w[] = {&want.time, &want.magnitude, &want.phase};
    for (int a = 0; a < 3; ++a) {
        ASSERT_EQ(g[a]->size(), w[a]->size());
        for (size_t i = 0; i < g[a]->size(); ++i)
            EXPECT_LE(std::fabs((*g[a])[i] - (*w[a])[i]), 5.0000001e-8 * std::fabs((*w[a])[i]))
                << "array " << a << " element " << i;
    }
}

TEST(ClipboardText, RandomListsSurviveCopyAndPasteOfAllChannels) {
    std::mt19937 rng(20240611u);
    std::uniform_real_distribution<double> mantissa(-9.99, 9.99);
    std::uniform_int_distribution<int> exponent(-200, 200);
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 257, 44100.0));
    for (int ch = 0; ch < 2; ++ch)
        for (int i = 0; i < 257; ++i)
            for (double* array :
                 {list.GetTimeData(ch), list.GetFreqData(ch), list.GetPhaseData(ch)})
                array[i] = mantissa(rng) * std::pow(10.0, exponent(rng));
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Copy(list, clipboard), 514);
    EXPECT_EQ(clipboard.GetText()->size(), 514u * 49u);

    CDSPFFTDataList read;
    ASSERT_TRUE(read.Create(2, CDSPData::kTimeBlock, 257, 44100.0));
    EXPECT_EQ(ClipboardText::Paste(read, clipboard), 514);
    for (int ch = 0; ch < 2; ++ch) {
        ExpectWithinWrittenPrecision(Snapshot(*read.GetAt(ch)), Snapshot(*list.GetAt(ch)));
        EXPECT_EQ(read.GetNumUsed(ch), 514);
    }

    // One channel at a time, through the block paste with its character check.
    CDSPFFTDataList one;
    ASSERT_TRUE(one.Create(2, CDSPData::kTimeBlock, 257, 44100.0));
    EXPECT_EQ(ClipboardText::Copy(list, 1, clipboard), 257);
    EXPECT_EQ(ClipboardText::Paste(one, 0, clipboard), 257);
    EXPECT_EQ(one.GetNumUsed(0), 257);
    ExpectWithinWrittenPrecision(Snapshot(*one.GetAt(0)), Snapshot(*list.GetAt(1)));
}

TEST(ClipboardText, ListCutReportsTheLinesPerChannelAndResetsEveryBlock) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 3, 96000.0));
    MakeThree(*list.GetAt(0));
    MakeThree(*list.GetAt(1));
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Cut(list, clipboard), 3);
    EXPECT_EQ(clipboard.GetText(), kThreeText + kThreeText);
    for (int ch = 0; ch < 2; ++ch)
        EXPECT_EQ(Snapshot(*list.GetAt(ch)), (CBlockSnapshot{{0, 0, 0}, {1, 1, 1}, {0, 0, 0}}));

    MakeThree(*list.GetAt(1));
    EXPECT_EQ(ClipboardText::Cut(list, 1, clipboard), 3);
    EXPECT_EQ(clipboard.GetText(), kThreeText);
    EXPECT_EQ(ClipboardText::Cut(list, 2, clipboard), 0);
    EXPECT_EQ(ClipboardText::Copy(list, 2, clipboard), 0);
    EXPECT_EQ(ClipboardText::Paste(list, 2, clipboard), 0);
    CDSPFFTDataList empty;
    EXPECT_EQ(ClipboardText::Cut(empty, clipboard), 0);
    EXPECT_EQ(ClipboardText::Copy(empty, clipboard), 0);
    EXPECT_EQ(clipboard.GetText(), kThreeText) << "an empty list leaves the clipboard alone";
}

TEST(ClipboardText, ListPasteFillsChannelAfterChannelWithoutTheCharacterCheck) {
    CDSPFFTDataList list;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 2, 96000.0));
    CMemoryClipboard clipboard;
    clipboard.SetText(Line(kOne, kOne, "+1.5000000x+000") + Line(kTwo, kTwo, kTwo) +
                      Line(kThree, kThree, kThree));
    EXPECT_EQ(ClipboardText::Paste(list, clipboard), 3);
    EXPECT_EQ(Snapshot(*list.GetAt(0)), (CBlockSnapshot{{1, 2}, {1, 2}, {1.5, 2}}));
    EXPECT_EQ(Snapshot(*list.GetAt(1)), (CBlockSnapshot{{3, 0}, {3, 1}, {3, 0}}));
    EXPECT_EQ(list.GetNumUsed(0), 3);
    EXPECT_EQ(list.GetNumUsed(1), 3);

    // The block paste refuses the same text.
    EXPECT_EQ(ClipboardText::Paste(list, 0, clipboard), 0);
    EXPECT_EQ(list.GetNumUsed(0), 0);
    CClosedClipboard closed;
    EXPECT_EQ(ClipboardText::Paste(list, closed), 0);
}

TEST(EnvelopeText, TimeBlockShowsEveryElement) {
    CDSPFFTData block;
    MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {0, 1.25, -3, 1000}, {1, 0.5, -2, 12345.678},
              {0, -90, 180.5, 7});
    std::string text = "old contents";
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), 4);
    EXPECT_EQ(text, "    0.0,    1.00,     0.00\r\n"
                    "    1.2,    0.50,   -90.00\r\n"
                    "   -3.0,   -2.00,   180.50\r\n"
                    " 1000.0,  12345.68,     7.00\r\n");
}

TEST(EnvelopeText, ResponseBlockShowsFrequencyGainInDecibelsAndPhaseUpToHalfTheSize) {
    CDSPFFTData block;
    MakeBlock(block, CDSPData::kResponseBlock, 8000.0, {}, {1, 10, 0.5, 0, -1, 7, 7, 7},
              {0, -45, 90.05, 180, -180, 7, 7, 7});
    std::string text;
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), 5);
    EXPECT_EQ(text, "00000.0, +000.00, +000.0\r\n"
                    "01000.0, +020.00, -045.0\r\n"
                    "02000.0, -006.02, +090.0\r\n"
                    "03000.0, -173.98, +180.0\r\n"
                    "04000.0, -173.98, -180.0\r\n");
}

struct ThinningCase {
    int32_t type;
    int32_t size;
    int32_t step;
    int32_t lines;
};

class EnvelopeThinning : public testing::TestWithParam<ThinningCase> {};

TEST_P(EnvelopeThinning, LongBlocksShowEveryStepthElementWithinTheControlLimit) {
    const auto [type, size, step, lines] = GetParam();
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(type, size, 96000.0));
    double* time = block.GetTimeObj()->GetDataPointer();
    if (type == CDSPData::kTimeBlock)
        for (int32_t i = 0; i < size; ++i)
            time[i] = i;
    std::string text;
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), lines);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines);
    EXPECT_LE(text.size(), 65535u);
    // The second line shows element `step` (one decimal).
    const size_t second = text.find('\n') + 1;
    const double shown = std::stod(text.substr(second, 7));
    EXPECT_NEAR(shown, type == CDSPData::kTimeBlock ? step : 96000.0 * step / size, 0.05);
}

INSTANTIATE_TEST_SUITE_P(Sizes, EnvelopeThinning,
                         testing::Values(ThinningCase{1, 1365, 1, 1365}, // 65520 budgeted
                                         ThinningCase{1, 1366, 2, 683},  // just over
                                         ThinningCase{1, 4096, 4, 1024}, // 4096*48/65535 = 3.00005
                                         ThinningCase{2, 2728, 1, 1365}, // 1365 bins up to N/2
                                         ThinningCase{2, 65536, 25, 1310}));

TEST(EnvelopeText, WideValuesStopBeforeTheControlOverflows) {
    CDSPFFTData block;
    ASSERT_TRUE(block.Create(CDSPData::kTimeBlock, 2048, 96000.0));
    std::fill_n(block.GetFreqObj()->GetDataPointer(), 2048, 1e300);
    std::string text;
    const int32_t lines = ClipboardText::CDSPFFTDataPaste(block, text);
    EXPECT_GT(lines, 0);
    EXPECT_LT(lines, 1024);
    EXPECT_LE(text.size(), 65535u);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), lines);

    CDSPFFTData empty;
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(empty, text), 0);
    EXPECT_TRUE(text.empty());
}

} // namespace
