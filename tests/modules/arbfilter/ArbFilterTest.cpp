// The arbitrary filter on a generator's 1 kHz sine (1024 samples at 48 kHz): the response an
// envelope text gives, both filter types against the tone's known gain, "Inv", the envelope
// files and the process file.
#include "common/ArchiveBytes.h"
#include "common/ModuleProcess.h"
#include "common/TempFolder.h"

#include "modules/arbfilter/ArbFilterView.h"
#include "process/FFTOptsDlg.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <numbers>

namespace {

// -6 dB everywhere: bin 0 and bin 1 (any point below 1.5 bins) must be given, or the line starts
// from 0 dB at bin 1.
const char* const kFlat = "0, -6, 0\r\n1, -6, 0\r\n24000, -6, 0";

class ArbFilter : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_process.Create({"Signal Generator", "Arbitrary Filter"}, 1024, 48000.0));
        m_process.Set(1, {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=100", "ch2.wave=Sine",
                          "ch2.freq=1000", "ch2.level=50"});
    }
    CArbFilterView& Filter() { return m_process.Step<CArbFilterView>(2); }
    const double* Gain(int envelope = 0) {
        return Filter().GetEnvelopeList()->GetAt(envelope)->GetFreqObj()->GetDataPointer();
    }
    const double* Phase(int envelope = 0) {
        return Filter().GetEnvelopeList()->GetAt(envelope)->GetPhaseObj()->GetDataPointer();
    }
    void Update(const std::string& text) {
        Filter().SetEnvelopeText(text);
        m_process.Set(2, {"update"});
    }
    static double Decibels(double gain) { return 20.0 * std::log10(gain); }
    // The generator's first block: amplitude 1 on channel 1 and 0.5 on channel 2.
    static double Tone(int channel, int n) {
        return (channel == 1 ? 1.0 : 0.5) * std::sin(2 * std::numbers::pi * 1000.0 * n / 48000.0);
    }

    CModuleProcess m_process;
    CTempFolder m_folder;
};

TEST_F(ArbFilter, TextBecomesABinnedInterpolatedMirroredResponse) {
    Update("0, 0, 0\r\n24000, -20, 0");
    EXPECT_EQ(Gain()[0], 1.0);
    EXPECT_NEAR(Gain()[512], 0.1, 1e-15);
    for (int k = 1; k < 512; ++k) {
        ASSERT_NEAR(Decibels(Gain()[k]), -20.0 * (k - 1) / 511.0, 1e-9) << k;
        ASSERT_EQ(Gain()[512 + k], Gain()[512 - k]) << k;
    }
    // Two points in bin 21 average; the phase line runs from bin 1 (0 degrees) to bin 21 and on
    // towards 0 degrees just past bin 512, mirrored with its sign turned.
    Update("1000, -6, 10\r\n1005, -12, 20");
    EXPECT_NEAR(Decibels(Gain()[21]), -9.0, 1e-12);
    EXPECT_NEAR(Phase()[21], 15.0, 1e-12);
    EXPECT_NEAR(Phase()[11], 7.5, 1e-12);
    EXPECT_NEAR(Phase()[267], 15.0 * (513 - 267) / 492.0, 1e-12);
    EXPECT_EQ(Phase()[1024 - 11], -Phase()[11]);
    EXPECT_EQ(Gain()[0], 1.0);

    // A refused text leaves the response as it was.
    Filter().SetEnvelopeText("0, 0, 0\r\n30000, 0, 0");
    m_process.Set(2, {"update"});
    EXPECT_THAT(m_process.TakeMessages(), testing::ElementsAre(testing::HasSubstr(
                                              "Frequency Element out of Response Range")));
    EXPECT_NEAR(Decibels(Gain()[21]), -9.0, 1e-12);
}

// A flat -6 dB envelope scales the tone by 10^(-6/20) in both types: the taps of "Trans" are the
// plain impulse response (a single tap of 0.501), not DoIFFT's amplitude-weighted one.
TEST_F(ArbFilter, FlatEnvelopeScalesTheToneByItsGainInBothTypes) {
    for (const char* type : {"FFT", "Trans"}) {
        m_process.Set(2, {std::string("type=") + type});
        Update(kFlat);
        ASSERT_TRUE(m_process.Pass());
        const double gain = std::pow(10.0, -6.0 / 20.0);
        for (int channel = 1; channel <= 2; ++channel) {
            const std::vector<double> out = m_process.Out(channel);
            for (int n = 0; n < 1024; ++n)
                ASSERT_NEAR(out[size_t(n)], gain * Tone(channel, n), 1e-12)
                    << type << " " << channel << ":" << n;
        }
        m_process.Doc().OnEditStop();
    }
}

// For any envelope the linear convolution's last sample takes every tap against the block's
// own samples, as the circular one does: "Trans" and "FFT" agree there exactly.
TEST_F(ArbFilter, TransAndFFTAgreeOnTheBlocksLastSample) {
    m_process.Set(2, {"chan2=Env2", "editenv=Env2"});
    Update("0, 0, 0\r\n500, 0, -30\r\n2000, -30, -90\r\n24000, -60, -180");
    std::vector<double> last;
    for (const char* type : {"FFT", "Trans"}) {
        CModuleProcess& p = m_process;
        p.Set(2, {std::string("type=") + type});
        ASSERT_TRUE(p.Pass());
        last.push_back(p.Out(2)[1023]);
        p.Doc().OnEditStop();
    }
    EXPECT_NEAR(last[0], last[1], 1e-12);
    EXPECT_GT(std::fabs(last[0]), 0.05);
    EXPECT_EQ(Filter().GetChannelEnvelope(1), 1);
}

TEST_F(ArbFilter, InvertTwiceRestoresTheEnvelope) {
    Update("0, -6, 0\r\n1000, -12, 45\r\n");
    const std::vector<double> before(Gain(), Gain() + 1024);
    EXPECT_EQ(Filter().GetDCGainText(), "  -6.00 dB");
    m_process.Set(2, {"inv"});
    EXPECT_TRUE(Filter().IsInverted(0));
    EXPECT_EQ(Filter().GetDCGainText(), "   6.00 dB");
    EXPECT_NEAR(Phase()[21], -45.0, 1e-12);
    // A parse keeps the inversion.
    m_process.Set(2, {"update"});
    EXPECT_NEAR(Phase()[21], -45.0, 1e-12);
    m_process.Set(2, {"inv"});
    EXPECT_FALSE(Filter().IsInverted(0));
    EXPECT_THAT(std::vector<double>(Gain(), Gain() + 1024), Near(before, 1e-15));
}

TEST_F(ArbFilter, FilesOpenSaveAndComeBackWithTheProcessFile) {
    std::ofstream(m_folder.File("low.FLT")) << ";Low pass\r\n0 0 0\r\n2000 -20 0\r\n";
    std::string message;
    ASSERT_TRUE(Filter().SetControl("file", m_folder.File("low.FLT"), message)) << message;
    EXPECT_EQ(ControlState(Filter(), "file").text, "low.FLT");
    EXPECT_TRUE(Filter().IsEnvelopeTextReadOnly());
    m_process.Set(2, {"update"});
    EXPECT_NEAR(Decibels(Gain()[43]), -20.0, 1e-12);

    // Unknown and missing files.
    EXPECT_FALSE(Filter().SetControl("file", m_folder.File("x.txt"), message));
    EXPECT_EQ(message, "Unable To Determine File Type");
    EXPECT_FALSE(Filter().SetControl("file", m_folder.File("none.rsp"), message));
    EXPECT_EQ(message, "Unable To Open File");
    m_process.TakeMessages();

    // All six envelopes through a response file, the texts then in dB.
    ASSERT_TRUE(Filter().SaveFile(m_folder.File("all.rsp")));
    m_process.Set(2, {"editenv=Env3", "new"});
    EXPECT_EQ(Gain(2)[43], 1.0);
    Filter().OpenFile(m_folder.File("all.rsp"));
    EXPECT_NEAR(Decibels(Gain()[43]), -20.0, 1e-6);
    EXPECT_THAT(Filter().GetEnvelopeText(0),
                testing::HasSubstr("\r\n02015.6, -020.00, +000.0\r\n"));
    EXPECT_THAT(m_process.TakeMessages(), testing::IsEmpty());
    // Saving recorded the response file for envelope 1: the filter file again.
    m_process.Set(2, {"editenv=Env1"});
    ASSERT_TRUE(Filter().SetControl("file", m_folder.File("low.FLT"), message)) << message;

    // The process file keeps the responses and the paths; the texts come from the files.
    m_process.Set(2, {"type=Trans", "envtitle=Low"});
    ASSERT_TRUE(m_process.Save(m_folder.File("f.process")));
    CModuleProcess reopened;
    ASSERT_TRUE(reopened.Open(m_folder.File("f.process")));
    auto& copy = reopened.Step<CArbFilterView>(2);
    EXPECT_EQ(copy.GetFilterType(), CArbFilterView::kTrans);
    EXPECT_EQ(copy.GetEnvelopeTitle(0), "Low");
    EXPECT_EQ(copy.GetEnvelopeText(0), ";Low pass\r\n0 0 0\r\n2000 -20 0\r\n");
    EXPECT_NEAR(Decibels(copy.GetEnvelopeList()->GetAt(0)->GetFreqObj()->GetDataPointer()[43]),
                -20.0, 1e-12);
    EXPECT_THAT(reopened.TakeMessages(), testing::IsEmpty());
}

// Filter files come with the line ends of whatever wrote them: an editor's LF or CR LF, or the
// CR CR LF of "\r\n" written through a text-mode stream, which is also what Save writes. Each
// opens, parses to the same response and saves as the same bytes.
TEST_F(ArbFilter, FilterFilesOfAnyLineEndOpenParseAndSaveTheSame) {
    for (const std::string e : {"\n", "\r\n", "\r\r\n"}) {
        SCOPED_TRACE(e.size());
        std::ofstream(m_folder.File("low.flt"), std::ios::binary)
            << ";Low pass" << e << "0, 0, 0" << e << "2000, -20, 0" << e;
        std::string message;
        ASSERT_TRUE(Filter().SetControl("file", m_folder.File("low.flt"), message)) << message;
        m_process.Set(2, {"update"});
        EXPECT_THAT(m_process.TakeMessages(), testing::IsEmpty());
        EXPECT_NEAR(Decibels(Gain()[43]), -20.0, 1e-12);
        EXPECT_EQ(Filter().GetEnvelopeText(0), ";Low pass\r\n0, 0, 0\r\n2000, -20, 0\r\n");
        ASSERT_TRUE(Filter().SaveFile(m_folder.File("copy.flt")));
        std::ifstream saved(m_folder.File("copy.flt"), std::ios::binary);
        EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}),
                  ";Low pass\r\r\n0, 0, 0\r\r\n2000, -20, 0\r\r\n");
    }
}

// Another installation's step may hold fewer or more than six envelope entries (in each stored
// text list, and in the flag array): the first six are taken (missing ones stay without a file),
// the step opens and runs.
TEST_F(ArbFilter, AStoredStepOpensWithTheFirstSixEnvelopes) {
    std::ofstream(m_folder.File("low.flt")) << ";Low\r\n0 0 0\r\n2000 -20 0\r\n";
    for (const auto& [texts, flags] : {std::pair<size_t, size_t>{4, 2}, {8, 8}, {6, 0}}) {
        SCOPED_TRACE(testing::Message() << texts << " texts, " << flags << " flags");
        auto entries = [&](const std::string& second) {
            std::vector<std::string> list(texts, "");
            list[1] = second;
            if (texts > 6) list[6] = "seventh";
            return list;
        };
        CArchiveBytes f;
        f.NewClass("CDspView").I32(0).NewClass("CArbFilterView").I32(1);
        f.Texts(entries(m_folder.File("low.flt"))).Texts(entries("low.flt")).Texts(entries("flt"));
        f.Texts(entries("Low")).I32(1).I32(0).I32(0).I32(0);
        f.U16(uint16_t(flags));
        for (size_t i = 0; i < flags; ++i)
            f.Byte(i == 1 || i == 6 ? 1 : 0);
        f.U16(0).U16(0); // no pasted flags, no stored envelope list
        CArchive in(f.Get());
        Filter().Serialize(in);
        ASSERT_TRUE(in.Ok()) << in.GetError();
        EXPECT_EQ(Filter().GetEnvelopeTitle(1), "Low");
        EXPECT_EQ(Filter().GetEnvelopeTitle(5), "");
        EXPECT_EQ(Filter().IsInverted(1), flags > 1);
        EXPECT_FALSE(Filter().IsInverted(5));
        EXPECT_EQ(Filter().GetEnvelopeText(1), ";Low\r\n0 0 0\r\n2000 -20 0\r\n");
        EXPECT_EQ(ControlState(Filter(), "chan1").text, "Env2");
        EXPECT_TRUE(m_process.Pass());
        EXPECT_THAT(m_process.TakeMessages(), testing::IsEmpty());
        m_process.Doc().OnEditStop();
    }
}

// A new FFT size rebuilds the envelopes and parses each again from its file.
TEST_F(ArbFilter, NewBlockSizeParsesTheEnvelopeFilesAgain) {
    std::ofstream(m_folder.File("low.flt")) << "0 0 0\r\n2000 -20 0\r\n";
    std::string message;
    ASSERT_TRUE(Filter().SetControl("file", m_folder.File("low.flt"), message)) << message;
    CFFTOptions options;
    m_process.Doc().FillFFTOptions(options);
    options.m_size = "2048";
    ASSERT_TRUE(m_process.Doc().ApplyFFTOptions(options, message)) << message;
    ASSERT_EQ(Filter().GetEnvelopeList()->GetSize(0), 2048);
    EXPECT_NEAR(Decibels(Gain()[85]), -20.0, 1e-12); // 2000 Hz in bins of 23.4375 Hz
    EXPECT_THAT(m_process.TakeMessages(), testing::IsEmpty());
}

// The plot's dB axis spans 4 dB beyond the largest gain or loss, in steps of 4 dB, at least
// +-8 dB; a gain of 0 counts as the plot's floor of 2e-9 (-174 dB).
TEST(ArbFilterPlot, DbAxisCoversTheLargestGainOrLoss) {
    for (const auto& [gain, scale] : std::vector<std::pair<double, double>>{
             {1.0, 8.0}, {1.5, 8.0}, {1.6, 12.0}, {0.1, 24.0}, {10.0, 24.0}, {0.0, 180.0}}) {
        CDSPFFTData block;
        ASSERT_TRUE(block.Create(CDSPData::kResponseBlock, 8, 48000.0));
        block.GetFreqObj()->GetDataPointer()[5] = gain;
        EXPECT_EQ(CArbFilterView::DbAxisScale(block), scale) << gain;
    }
}

} // namespace
