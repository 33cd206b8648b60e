// Clipboard block text (cut, copy, paste of blocks and lists) and the envelope edit text.
#include "formats/ClipboardText.h"

#include "common/ClosedClipboard.h"
#include "common/WrittenPrecision.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

std::string Line(const std::string& a, const std::string& b, const std::string& c) {
    return a + "\t" + b + "\t" + c + "\r\n";
}

// Three elements and their clipboard text, written out by hand: 49 characters a line.
void MakeThree(CDSPFFTData& block) {
    MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {0.5, -1000.0, 1e-10}, {1.0, 2.0, 3.0},
              {-90.0, 0.0, 45.25});
}
const std::string kThreeText = "+5.0000000E-001\t+1.0000000E+000\t-9.0000000E+001\r\n"
                               "-1.0000000E+003\t+2.0000000E+000\t+0.0000000E+000\r\n"
                               "+1.0000000E-010\t+3.0000000E+000\t+4.5250000E+001\r\n";
const std::string kOne = "+1.0000000E+000", kTwo = "+2.0000000E+000";
const CBlockSnapshot kFresh = {{0, 0, 0}, {1, 1, 1}, {0, 0, 0}};

TEST(ClipboardText, BlockCopyCutAndPaste) {
    CDSPFFTData block, target, empty;
    MakeThree(block);
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Copy(block, 10, clipboard), 3) << "at most the block";
    EXPECT_EQ(clipboard.GetText(), kThreeText);
    target.Create(CDSPData::kTimeBlock, 3, 96000.0);
    EXPECT_EQ(ClipboardText::Paste(target, 3, clipboard), 3);
    EXPECT_EQ(Snapshot(target), Snapshot(block));
    EXPECT_EQ(ClipboardText::Copy(block, 1, clipboard), 1);
    EXPECT_EQ(clipboard.GetText(), kThreeText.substr(0, 49));
    EXPECT_EQ(ClipboardText::Cut(block, clipboard), 3);
    EXPECT_EQ(clipboard.GetText(), kThreeText);
    EXPECT_EQ(Snapshot(block), kFresh);
    // A clipboard that refuses the text still reports the lines; nothing is pasted from it.
    CClosedClipboard closed;
    EXPECT_EQ(ClipboardText::Cut(target, closed), 3);
    EXPECT_EQ(ClipboardText::Paste(target, 3, closed), 0);
    EXPECT_EQ(ClipboardText::Copy(empty, 3, clipboard), 0);
    // A response block is cut back to its frequency axis.
    MakeBlock(block, CDSPData::kResponseBlock, 8000.0, {1, 2, 3, 4}, {5, 6, 7, 8}, {9, 9, 9, 9});
    EXPECT_EQ(ClipboardText::Cut(block, clipboard), 4);
    EXPECT_EQ(Snapshot(block), (CBlockSnapshot{{0, 2000, 4000, 2000}, {1, 1, 1, 1}, {0, 0, 0, 0}}));
}

// The field rules, on a block that held time 10.., magnitude 20.., phase 30..: a letter other than
// E or a space before the line end stops the paste (what came before stays); exponents, commas
// and line feeds are read; a field of 19 characters ends the paste, one of 18 is read; a last
// line without its end is read. Each row: the text, the count returned and the block after.
TEST(ClipboardText, PasteFollowsTheFieldRules) {
    const CBlockSnapshot kept{{10, 11, 12}, {20, 21, 22}, {30, 31, 32}};
    const std::tuple<std::string, int32_t, CBlockSnapshot> cases[] = {
        {"1\t2\t3\r\n4x\t5\t6\r\n", 0, {{1, 11, 12}, {2, 21, 22}, {3, 31, 32}}},
        {"1\t2\t3 \r\n", 0, kept},
        {"1E2\t2e-1\t-3,5\n+.5 -0 1.\n", 0, {{100, 0.5, 12}, {0.2, -0.0, 22}, {-3, 1, 32}}},
        {Line(kOne, kTwo, kOne) + Line("+1.00000000000E+000", kTwo, kOne) + Line(kOne, kTwo, kOne),
         3,
         {{1, 11, 12}, {2, 21, 22}, {1, 31, 32}}},
        {Line("+1.0000000000E+001", kTwo, kOne) + kOne + "\t" + kTwo,
         1,
         {{10, 11, 12}, {2, 21, 22}, {1, 31, 32}}},
        {"1 2 3\r\n4 5 6", 0, {{1, 4, 12}, {2, 5, 22}, {3, 6, 32}}},
        {"", 0, kept}};
    for (const auto& [text, result, after] : cases) {
        CDSPFFTData block;
        MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {10, 11, 12}, {20, 21, 22}, {30, 31, 32});
        CMemoryClipboard clipboard;
        clipboard.SetText(text);
        EXPECT_EQ(ClipboardText::Paste(block, 3, clipboard), result) << text;
        EXPECT_EQ(Snapshot(block), after) << text;
    }
}

TEST(ClipboardText, RandomListsSurviveCopyAndPasteOfAllChannelsAndOfOne) {
    CDSPFFTDataList list, read;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 257, 44100.0));
    ASSERT_TRUE(read.Create(2, CDSPData::kTimeBlock, 257, 44100.0));
    FillRandom(list, 20240611u, 200);
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Copy(list, clipboard), 514);
    EXPECT_EQ(clipboard.GetText()->size(), 514u * 49u);
    EXPECT_EQ(ClipboardText::Paste(read, clipboard), 514);
    for (int ch = 0; ch < 2; ++ch) {
        ExpectWithinWrittenPrecision(Snapshot(*read.GetAt(ch)), Snapshot(*list.GetAt(ch)));
        EXPECT_EQ(read.GetNumUsed(ch), 514);
    }
    // One channel, through the block paste with its character check.
    EXPECT_EQ(ClipboardText::Copy(list, 1, clipboard), 257);
    EXPECT_EQ(ClipboardText::Paste(read, 0, clipboard), 257);
    EXPECT_EQ(read.GetNumUsed(0), 257);
    ExpectWithinWrittenPrecision(Snapshot(*read.GetAt(0)), Snapshot(*list.GetAt(1)));
}

TEST(ClipboardText, ListCutResetsEveryBlockAndListPasteSkipsTheCharacterCheck) {
    CDSPFFTDataList list, empty;
    ASSERT_TRUE(list.Create(2, CDSPData::kTimeBlock, 3, 96000.0));
    MakeThree(*list.GetAt(0));
    MakeThree(*list.GetAt(1));
    CMemoryClipboard clipboard;
    EXPECT_EQ(ClipboardText::Cut(list, clipboard), 3) << "the lines per channel";
    EXPECT_EQ(clipboard.GetText(), kThreeText + kThreeText);
    EXPECT_EQ(Snapshot(*list.GetAt(0)), kFresh);
    EXPECT_EQ(Snapshot(*list.GetAt(1)), kFresh);
    EXPECT_EQ(ClipboardText::Cut(list, 2, clipboard), 0);
    EXPECT_EQ(ClipboardText::Copy(empty, clipboard), 0);
    EXPECT_EQ(clipboard.GetText(), kThreeText + kThreeText) << "nothing to copy leaves it alone";

    clipboard.SetText(Line(kOne, kOne, "+1.5000000x+000") + Line(kTwo, kTwo, kTwo) +
                      Line(kOne, kTwo, kOne) + Line(kTwo, kOne, kTwo));
    EXPECT_EQ(ClipboardText::Paste(list, clipboard), 4);
    EXPECT_EQ(Snapshot(*list.GetAt(0)), (CBlockSnapshot{{1, 2, 1}, {1, 2, 2}, {1.5, 2, 1}}));
    EXPECT_EQ(Snapshot(*list.GetAt(1)), (CBlockSnapshot{{2, 0, 0}, {1, 1, 1}, {2, 0, 0}}));
    EXPECT_EQ(list.GetNumUsed(1), 4);
    EXPECT_EQ(ClipboardText::Paste(list, 0, clipboard), 0) << "the block paste refuses it";
    EXPECT_EQ(list.GetNumUsed(0), 0);
}

TEST(EnvelopeText, TimeBlockShowsEveryElementAndResponseBlockItsGainUpToHalfTheSize) {
    CDSPFFTData block;
    MakeBlock(block, CDSPData::kTimeBlock, 96000.0, {0, 1.25, -3, 1000}, {1, 0.5, -2, 12345.678},
              {0, -90, 180.5, 7});
    std::string text = "old contents";
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), 4);
    EXPECT_EQ(text, "    0.0,    1.00,     0.00\r\n    1.2,    0.50,   -90.00\r\n"
                    "   -3.0,   -2.00,   180.50\r\n 1000.0,  12345.68,     7.00\r\n");
    MakeBlock(block, CDSPData::kResponseBlock, 8000.0, {}, {1, 10, 0.5, 0, -1, 7, 7, 7},
              {0, -45, 90.05, 180, -180, 7, 7, 7});
    EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), 5);
    EXPECT_EQ(text, "00000.0, +000.00, +000.0\r\n01000.0, +020.00, -045.0\r\n"
                    "02000.0, -006.02, +090.0\r\n03000.0, -173.98, +180.0\r\n"
                    "04000.0, -173.98, -180.0\r\n");
}

// Long blocks show every step-th element so that the text stays within the control's limit of
// 65535 characters, 48 budgeted a line.
TEST(EnvelopeText, LongBlocksAreThinnedToFitTheControl) {
    const struct {
        int32_t type, size, step, lines;
    } cases[] = {{1, 1365, 1, 1365}, {1, 1366, 2, 683}, {2, 2728, 1, 1365}, {2, 65536, 25, 1310}};
    for (const auto& c : cases) {
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(c.type, c.size, 96000.0));
        for (int32_t i = 0; c.type == CDSPData::kTimeBlock && i < c.size; ++i)
            block.GetTimeObj()->GetDataPointer()[i] = i;
        std::string text;
        EXPECT_EQ(ClipboardText::CDSPFFTDataPaste(block, text), c.lines) << c.size;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.lines) << c.size;
        // The second line shows element `step`.
        const double shown = std::stod(text.substr(text.find('\n') + 1, 7));
        EXPECT_NEAR(shown, c.type == 1 ? c.step : 96000.0 * c.step / c.size, 0.05) << c.size;
    }
    // Values wider than budgeted stop the text before the control overflows.
    CDSPFFTData wide;
    ASSERT_TRUE(wide.Create(CDSPData::kTimeBlock, 2048, 96000.0));
    std::fill_n(wide.GetFreqObj()->GetDataPointer(), 2048, 1e300);
    std::string text;
    EXPECT_LT(ClipboardText::CDSPFFTDataPaste(wide, text), 1024);
    EXPECT_LE(text.size(), 65535u);
}

} // namespace
