// The analyser's copy commands: their checks in order, their messages, and the clipboard text
// of a measured block.
#include "SpecFixture.h"

#include "base/NumberText.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

// 1 kHz at 32000 Hz and N = 1024 (bin 32): 1.0 on channel 1, 0.5 in phase on channel 2.
class SpecCommands : public SpecFixture {
protected:
    void SetUp() override {
        SpecFixture::SetUp();
        Source().m_pattern = [this](int c, int, int i) {
            return Tone(c == 0 ? 1.0 : 0.5, 32, i, n);
        };
        RunOnce();
        p.App().GetClipboard().SetText("untouched");
        p.TakeMessages();
    }
    std::string Clipboard() { return p.App().GetClipboard().GetText().value_or(""); }
    // The clipboard's lines (each ending in "\r\n").
    Lines ClipboardLines() {
        Lines lines;
        const std::string text = Clipboard();
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        return lines;
    }
};

const char* const kNotSPL =
    "Selected axis Y scale must be dBVSPL in order  to copy in FRD format\n Right Click and "
    "select a Marker Yaxis (Marker YAxis1 or Marker YAxis2) whose Y scale is dBVSPL";
const char* const kNoChannel =
    "A single channel must be selected in order to copy in FRD format\n Right Click and select "
    "a Channel (Sel Ch1 or Sel Ch2) whose Y scale is dBVSPL";
const char* const kReference1 =
    "Selected axis reference level must be valid (not equal to 1) in order to copy in FRD format";
const char* const kNotZ = "YAXIS1 scale must be |Z| with a reference level != 10.";

TEST_F(SpecCommands, CopyFRDChecksInOrderUntilRef1IsChanged) {
    Analyser().OnSelCh1();
    Analyser().OnCopyFRDdBSPL();
    EXPECT_EQ(p.TakeMessages(), Lines{kNotSPL});

    Set({"yaxis=dBVSPL"});
    Analyser().OnSelAll();
    Analyser().OnCopyFRDdBSPL();
    EXPECT_EQ(p.TakeMessages(), Lines{kNoChannel});

    Analyser().OnSelCh1();
    EXPECT_TRUE(Analyser().OnContextCommand("copyfrd"));
    EXPECT_EQ(p.TakeMessages(), Lines{kReference1});
    EXPECT_EQ(Clipboard(), "untouched");
    EXPECT_EQ(Analyser().GetRef1(), 1.0);

    // Bin 32 holds 1.0 V on channel 1 and 0.5 V on channel 2: 20 log10(a / (0.5 / 1024)) + 94 dB
    // SPL at 1000 Hz.
    Set({"ref1=0.5"});
    for (int channel : {1, 2}) {
        channel == 1 ? Analyser().OnSelCh1() : Analyser().OnSelCh2();
        Analyser().OnCopyFRDdBSPL();
        EXPECT_TRUE(p.TakeMessages().empty());
        const Lines lines = ClipboardLines();
        ASSERT_EQ(lines.size(), 512u);
        const double level = 20.0 * std::log10((channel == 1 ? 1.0 : 0.5) / (0.5 / 1024)) + 94.0;
        EXPECT_EQ(lines[32].rfind(FormatText("%4.4f %4.4f ", 1000.0, level), 0), 0u) << lines[32];
    }
}

TEST_F(SpecCommands, CopyZMARefusesUntilRef1IsChanged) {
    Set({"yaxis=| Z |"});
    EXPECT_TRUE(Analyser().OnContextCommand("copyzma"));
    EXPECT_EQ(p.TakeMessages(), Lines{kNotZ});
    EXPECT_EQ(Clipboard(), "untouched");

    // Channel 2 at half of channel 1 across a reference of 8 ohms: Z = 8 * 0.5 / (1 - 0.5).
    Set({"ref1=8"});
    Analyser().OnCopyZMA();
    EXPECT_TRUE(p.TakeMessages().empty());
    const Lines lines = ClipboardLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[31].rfind("1000.0000 8.0000 ", 0), 0u) << lines[31];
}

} // namespace
