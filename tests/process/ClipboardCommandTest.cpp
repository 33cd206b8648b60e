// The modules' Cut, Copy and Paste commands: which list and channel they act on, the count
// checks with their messages, and the restore after a refused paste.
#include "common/CaseName.h"
#include "common/TestModules.h"

#include "process/DspDoc.h"
#include "formats/ClipboardText.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr int kSize = 8;

// A 49-character clipboard line whose three fields read as k, k + 100 and k + 200.
std::string Line(int k) {
    auto field = [](int v) {
        const std::string digits = std::to_string(v);
        return std::string(15 - digits.size(), '0') + digits;
    };
    return field(k) + "\t" + field(k + 100) + "\t" + field(k + 200) + "\r\n";
}

std::string Lines(int count, int first = 1) {
    std::string text;
    for (int k = first; k < first + count; ++k)
        text += Line(k);
    return text;
}

std::vector<double> Column(const CDSPFFTDataList& list, int channel, int array) {
    const CDSPFFTData& block = *list.GetAt(channel);
    const CDSPData* a[] = {block.GetTimeObj(), block.GetFreqObj(), block.GetPhaseObj()};
    return {a[array]->GetDataPointer(), a[array]->GetDataPointer() + kSize};
}

class ClipboardCommand : public testing::Test {
protected:
    CModuleProcess t{TestRegistry()};
    CDspDoc* doc = nullptr;
    CDspView* view = nullptr;

    void SetUp() override {
        doc = t.Create({"Signal Generator", "SoundIO"}, {kSize, {}});
        ASSERT_TRUE(doc);
        view = doc->GetView(0);
        // Distinct contents: display list values 1000 + 10 ch + i, working list negative.
        for (int ch = 0; ch < 2; ++ch)
            for (int i = 0; i < kSize; ++i) {
                view->GetDisplayList()->GetTimeData(ch)[i] = 1000 + 10 * ch + i;
                view->GetWorkingList()->GetTimeData(ch)[i] = -(1000 + 10 * ch + i);
            }
    }

    IClipboard& Clipboard() { return t.App().GetClipboard(); }

    std::string CopyText(CDSPFFTDataList& list, int channel) {
        CMemoryClipboard c;
        ClipboardText::Copy(list, channel, c);
        return *c.GetText();
    }

    std::vector<std::string> Messages() { return t.Session().GetMessages(); }

    std::string Framed(const std::string& text) const {
        return "Error Detected In\r\n" + doc->GetProcessDesc(view) + "\r\n" + text;
    }
};

// Copy takes the selected channel of the display list, or with Shift of the working list; with
// all channels selected both, one after the other. Cut resets what it took and leaves the rest.
TEST_F(ClipboardCommand, CopyAndCutTakeTheSelectedChannelsOfTheChosenList) {
    view->OnSelCh2();
    view->OnEditCopy(false);
    EXPECT_EQ(Clipboard().GetText(), CopyText(*view->GetDisplayList(), 1));
    view->OnSelCh1();
    view->OnEditCopy(true);
    EXPECT_EQ(Clipboard().GetText(), CopyText(*view->GetWorkingList(), 0));
    EXPECT_NE(CopyText(*view->GetWorkingList(), 0), CopyText(*view->GetDisplayList(), 0));

    const std::string both =
        CopyText(*view->GetWorkingList(), 0) + CopyText(*view->GetWorkingList(), 1);
    view->OnSelAll();
    view->OnEditCut(true);
    EXPECT_EQ(Clipboard().GetText(), both);
    for (int ch = 0; ch < 2; ++ch)
        EXPECT_EQ(Column(*view->GetWorkingList(), ch, 1), std::vector<double>(kSize, 1.0));
    view->OnSelCh1();
    view->OnEditCut(false);
    EXPECT_EQ(Column(*view->GetDisplayList(), 0, 0), std::vector<double>(kSize, 0.0));
    EXPECT_EQ(Column(*view->GetDisplayList(), 1, 0)[3], 1013) << "the other channel stays";
    EXPECT_TRUE(Messages().empty());
}

struct PasteCase {
    std::string name;
    int channel; // selected: 0 = all
    std::function<void(IClipboard&)> fill;
    const char* message; // null: none
    bool restored;
};

class ClipboardCommandPaste : public ClipboardCommand,
                              public testing::WithParamInterface<PasteCase> {};

TEST_P(ClipboardCommandPaste, ChecksTheCountAndRestoresARefusedPaste) {
    const PasteCase& c = GetParam();
    CDSPFFTDataList& list = *view->GetDisplayList();
    const std::vector<double> before0 = Column(list, 0, 0), before1 = Column(list, 1, 0);
    const int usedBefore = list.GetNumUsed(0);
    if (c.channel == 1) view->OnSelCh1();
    if (c.channel == 2) view->OnSelCh2();
    if (c.channel == 0) view->OnSelAll();
    c.fill(Clipboard());
    view->OnEditPaste(false);

    if (c.message)
        EXPECT_EQ(Messages(), std::vector<std::string>{Framed(c.message)});
    else
        EXPECT_TRUE(Messages().empty());
    if (c.restored) {
        EXPECT_EQ(Column(list, 0, 0), before0);
        EXPECT_EQ(Column(list, 1, 0), before1);
        EXPECT_EQ(list.GetNumUsed(0), usedBefore);
    } else {
        const int target = c.channel == 2 ? 1 : 0;
        EXPECT_EQ(Column(list, target, 0)[0], 1.0) << "the first pasted line";
        EXPECT_EQ(Column(list, target, 1)[0], 101.0);
        EXPECT_EQ(Column(list, target, 2)[0], 201.0);
    }
}

constexpr const char* kInvalid =
    "Invalid data on clipboard.\r\nCannot perform clipboard operation.";
constexpr const char* kShort =
    "Clipboard data < Destination data.\r\nDestination data may be truncated.";
constexpr const char* kLong = "Clipboard data > Destination data.\r\nSource data may be lost.";

auto Text(std::string text) {
    return [=](IClipboard& c) { c.SetText(text); };
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ClipboardCommandPaste,
    testing::Values(PasteCase{"ChannelExact", 2, Text(Lines(kSize)), nullptr, false},
                    PasteCase{"ChannelShort", 1, Text(Lines(4)), kShort, false},
                    PasteCase{"ChannelLong", 2, Text(Lines(kSize + 1)), kLong, false},
                    PasteCase{"ChannelForeignCharacter", 1,
                              Text(Lines(2) + "x" + Lines(6).substr(1)), kInvalid, true},
                    PasteCase{"ChannelNoText", 1, [](IClipboard&) {}, kInvalid, true},
                    PasteCase{"AllExact", 0, Text(Lines(2 * kSize)), nullptr, false},
                    PasteCase{"AllOneLineIsNoneEach", 0, Text(Lines(1)), kInvalid, true}),
    CaseName());

TEST_F(ClipboardCommand, ShiftPasteRestoresTheWorkingListAndLeavesTheDisplayList) {
    CDSPFFTDataList& working = *view->GetWorkingList();
    const std::vector<double> before = Column(working, 0, 0);
    const std::string displayBefore = CopyText(*view->GetDisplayList(), 0);
    view->OnSelCh1();
    Clipboard().SetText(Lines(3) + "1\t2\t3z\r\n");
    view->OnEditPaste(true);
    EXPECT_EQ(Messages(), std::vector<std::string>{Framed(kInvalid)});
    EXPECT_EQ(Column(working, 0, 0), before) << "three pasted lines were undone";
    EXPECT_EQ(CopyText(*view->GetDisplayList(), 0), displayBefore);
}

} // namespace
