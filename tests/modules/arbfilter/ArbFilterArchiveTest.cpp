// The arbitrary filter's part of a process file, laid out field by field from the stored layout
// (not by our writer): the view's record, the filter's class record, its settings, the four text
// lists, the two flag arrays and the envelope list as an object with its blocks and arrays. Read
// in both layouts to the right values and written back byte for byte.
#include "common/ArchiveBytes.h"
#include "common/HexBytes.h"

#include "base/Archive.h"
#include "modules/arbfilter/ArbFilterView.h"

#include <gtest/gtest.h>

namespace {

constexpr int kEnvelopes = 6;
constexpr int kSize = 4;
constexpr double kRate = 8000.0;

// Envelope e: gain 1 + e/8 and delay e/1024 s; the frequency axis of a response block of four
// elements at 8000 per second (0, 2000, 4000, then 2000 mirrored); magnitudes 1, (e+1)/2, 1/4,
// (e+1)/2 and phases 0, -10e, 0, 10e degrees.
double Gain(int e) {
    return 1.0 + e / 8.0;
}
double Delay(int e) {
    return e / 1024.0;
}
std::vector<double> Array(int e, int which) {
    const double m = (e + 1) / 2.0;
    switch (which) {
    case 0:
        return {0.0, 2000.0, 4000.0, 2000.0};
    case 1:
        return {1.0, m, 0.25, m};
    default:
        return {0.0, -10.0 * e, 0.0, 10.0 * e};
    }
}

CArchiveBytes Layout(bool legacy) {
    CRecordLayout l(legacy);
    CArchiveBytes& b = l.b;
    l.Class("CDspView");
    b.I32(0); // "Sel All"
    l.Class("CArbFilterView");
    b.I32(3); // edited envelope "Env4"
    b.Texts({"/f/low.flt", "", "/f/band.rsp", "", "", ""});
    b.Texts({"low.flt", "", "band.rsp", "", "", ""});
    b.Texts({"flt", "", "RSP", "", "", ""});
    b.Texts({"Low", "", "Band", "", "", "Six"});
    b.I32(2).I32(5); // channel 1 "Env3", channel 2 "Env6"
    b.I32(1);        // "Trans"
    b.I32(1);        // edit shown
    b.U16(kEnvelopes).Raw({0, 0, 1, 0, 0, 0});
    b.U16(kEnvelopes).Raw({0, 0, 0, 0, 1, 0});
    uint16_t listClass = 0, blockClass = 0, dataClass = 0;
    l.Object("CDSPFFTDataList", listClass);
    b.I32(2).I32(kSize).F64(kRate).I32(kEnvelopes);
    b.U16(kEnvelopes);
    for (int e = 0; e < kEnvelopes; ++e) {
        l.Object("CDSPFFTData", blockClass);
        b.I32(2).I32(kSize).F64(kRate).F64(Gain(e)).F64(Delay(e));
        for (int which = 0; which < 3; ++which) {
            l.Object("CDSPData", dataClass);
            b.I32(2).I32(kSize).F64(kRate);
            for (double v : Array(e, which))
                b.F64(v);
        }
        b.Text(""); // error text
    }
    return b;
}

std::vector<double> Values(const CDSPData* data) {
    const double* p = data->GetDataPointer();
    return {p, p + data->GetSize()};
}

class ArbFilterArchiveLayout : public testing::TestWithParam<bool> {};

TEST_P(ArbFilterArchiveLayout, ReadsEveryFieldAndWritesThemBack) {
    const bool legacy = GetParam();
    const CArchiveBytes bytes = Layout(legacy);
    CArchive in(bytes.Get());
    in.SetLegacy(legacy);
    CArbFilterView view;
    view.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);

    EXPECT_EQ(view.GetEditedEnvelope(), 3);
    EXPECT_EQ(view.GetChannelEnvelope(0), 2);
    EXPECT_EQ(view.GetChannelEnvelope(1), 5);
    EXPECT_EQ(view.GetFilterType(), 1);
    EXPECT_TRUE(view.IsEditShown());
    for (int e = 0; e < kEnvelopes; ++e) {
        EXPECT_EQ(view.IsInverted(e), e == 2) << e;
        EXPECT_EQ(view.IsPasted(e), e == 4) << e;
    }
    EXPECT_EQ(view.GetEnvelopeTitle(0), "Low");
    EXPECT_EQ(view.GetEnvelopeTitle(2), "Band");
    EXPECT_EQ(view.GetEnvelopeTitle(5), "Six");
    EXPECT_EQ(view.GetEnvelopeFileName(0), "low.flt");
    EXPECT_EQ(view.GetEnvelopeFileName(2), "band.rsp");
    EXPECT_EQ(view.GetEnvelopeFileName(3), "");

    const CDSPFFTDataList* list = view.GetEnvelopeList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetNumChans(), kEnvelopes);
    for (int e = 0; e < kEnvelopes; ++e) {
        const CDSPFFTData& block = *list->GetAt(e);
        EXPECT_EQ(block.GetType(), 2);
        EXPECT_EQ(block.GetSize(), kSize);
        EXPECT_EQ(block.GetSampleRate(), kRate);
        EXPECT_EQ(block.GetGain(), Gain(e)) << e;
        EXPECT_EQ(block.GetDelay(), Delay(e)) << e;
        EXPECT_EQ(Values(block.GetTimeObj()), Array(e, 0)) << e;
        EXPECT_EQ(Values(block.GetFreqObj()), Array(e, 1)) << e;
        EXPECT_EQ(Values(block.GetPhaseObj()), Array(e, 2)) << e;
    }

    CArchive out;
    out.SetLegacy(legacy);
    view.Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(bytes.Get()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, ArbFilterArchiveLayout, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

} // namespace
