// The analyser's copy commands: their checks in order, their messages, and the clipboard text
// of a measured block.
#include "SpecTestProcess.h"

#include "base/NumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

using Lines = std::vector<std::string>;

class SpecCommands : public testing::Test {
protected:
    CSpecTestApp t;
    CDspDoc* doc = nullptr;

    // 1 kHz at 32000 Hz and N = 1024 (bin 32): 1.0 on channel 1, 0.5 in phase on channel 2.
    void SetUp() override {
        doc = t.NewProcess({"Signal Generator", "Spectrum Analyzer"}, 1024, 32000.0);
        ASSERT_NE(doc, nullptr);
        StepAs<CSpecTestSource>(*doc, 0).m_pattern = [](int c, int, int i) {
            return (c == 0 ? 1.0 : 0.5) * std::sin(2.0 * std::numbers::pi * 32 * i / 1024);
        };
        ASSERT_TRUE(doc->OnEditRun());
        doc->OnIdle();
        doc->OnIdle();
        doc->OnEditStop();
        t.app.GetClipboard().SetText("untouched");
        t.TakeMessages();
    }
    CSpecView& Analyser() { return StepAs<CSpecView>(*doc, 1); }
    void Set(const std::string& id, const std::string& value = "") {
        std::string message;
        ASSERT_TRUE(Analyser().SetControl(id, value, message)) << id << ": " << message;
        t.TakeMessages();
    }
    std::string Clipboard() { return t.app.GetClipboard().GetText().value_or(""); }
    // The clipboard's lines (ending in "\r\n").
    Lines ClipboardLines() {
        Lines lines;
        const std::string text = Clipboard();
        size_t start = 0;
        for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
            lines.push_back(text.substr(start, end - start));
        EXPECT_EQ(start, text.size()) << "text after the last line end";
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
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(2, kNotSPL)});

    Set("yaxis", "dBVSPL");
    Analyser().OnSelAll();
    Analyser().OnCopyFRDdBSPL();
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(2, kNoChannel)});

    Analyser().OnSelCh1();
    EXPECT_TRUE(Analyser().OnContextCommand("copyfrd"));
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(2, kReference1)});
    EXPECT_EQ(Clipboard(), "untouched");
    EXPECT_EQ(Analyser().GetRef1(), 1.0);

    Set("ref1", "0.5");
    Analyser().OnCopyFRDdBSPL();
    EXPECT_TRUE(t.TakeMessages().empty());
    const Lines lines = ClipboardLines();
    ASSERT_EQ(lines.size(), 512u);
    // Bin 32 holds 1.0 V: 20 log10(1.0 / (0.5 / 1024)) + 94 dB SPL at 1000 Hz.
    const double level = 20.0 * std::log10(1.0 / (0.5 / 1024)) + 94.0;
    EXPECT_EQ(lines[32].rfind(FormatText("%4.4f %4.4f ", 1000.0, level), 0), 0u) << lines[32];
}

TEST_F(SpecCommands, CopyFRDTakesTheSelectedChannel) {
    Set("yaxis", "dBVSPL");
    Set("ref1", "0.5");
    Analyser().OnSelCh2();
    Analyser().OnCopyFRDdBSPL();
    EXPECT_TRUE(t.TakeMessages().empty());
    const double level = 20.0 * std::log10(0.5 / (0.5 / 1024)) + 94.0;
    EXPECT_EQ(ClipboardLines()[32].rfind(FormatText("%4.4f %4.4f ", 1000.0, level), 0), 0u);
}

TEST_F(SpecCommands, CopyZMARefusesUntilRef1IsChanged) {
    Analyser().OnCopyZMA();
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(2, kNotZ)});
    Set("yaxis", "| Z |");
    EXPECT_EQ(Analyser().GetRef1(), 10.0);
    EXPECT_EQ(Analyser().GetRef2(), 10.0);
    EXPECT_TRUE(Analyser().OnContextCommand("copyzma"));
    EXPECT_EQ(t.TakeMessages(), Lines{SpecError(2, kNotZ)});
    EXPECT_EQ(Clipboard(), "untouched");

    // Channel 2 at half of channel 1 across a reference of 8 ohms: Z = 8 * 0.5 / (1 - 0.5).
    Set("ref1", "8");
    Analyser().OnCopyZMA();
    EXPECT_TRUE(t.TakeMessages().empty());
    const Lines lines = ClipboardLines();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[31].rfind("1000.0000 8.0000 ", 0), 0u) << lines[31];
}

} // namespace
