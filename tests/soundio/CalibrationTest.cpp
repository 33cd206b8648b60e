// The calibration record: its text file byte for byte, files whose line ends were changed,
// values at their edges, the archive, and every check with its message.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "base/Archive.h"
#include "base/NumberText.h"
#include "common/CaseName.h"
#include "common/TempFolder.h"
#include "common/TextFileUtil.h"
#include "soundio/Calibration.h"

#include <gtest/gtest.h>

#include <memory>
#include <regex>

namespace {

// A record that passes every check of a step on the virtual card with default settings.
void MakeComplete(CCalibration& c) {
    c.ProcessName = "/home/u/thd.process";
    c.CalSel = "Input";
    c.MeasSel = "Vrms";
    c.FreqCalTypeSel = "MLS";
    for (int ch = 0; ch < 2; ++ch) {
        CLevelCal& l = c.Level[ch];
        l.FullScaleLevelParams = ch == 0 ? "2.5 Vpk" : "0.75 Vpk";
        l.PeakSampleLevel = 47 + ch;
        l.UserInputLevel = 0.5;
        l.TriggerLevel = 10;
        l.TriggerOffset = -20;
        l.LevelOutputDeviceName = l.LevelInputDeviceName = CVirtualCard::kDeviceName;
        l.MixerName = CVirtualCard::kMixerName;
        l.MixerSource = CVirtualCard::kSourceName;
        l.Gain = CVirtualCard::kInputLevel;
        l.MixerDestination = CVirtualCard::kDestinationName;
        l.InputLevelCalApply = ch == 0;
        CLatencyCal& t = c.Latency[ch];
        t.LatencyOutputDeviceName = t.LatencyInputDeviceName = CVirtualCard::kDeviceName;
        t.LatencyParams = "0.0050 Sec.";
        t.LatencyCalApply = true;
        CFreqCal& f = c.Freq[ch];
        f.FreqOutputDeviceName = f.FreqInputDeviceName = CVirtualCard::kDeviceName;
        f.FreqCalParams = "MLS 1024";
        f.FreqCalApply = ch == 1;
    }
}

TEST(Calibration, FileHasTheKeyedLinesWithStoredLineEndsAndReadsBackEqual) {
    CTempFolder folder;
    CCalibration saved;
    MakeComplete(saved);
    saved.GetFrequencyResponse()->GetFreqData(1)[3] = 0.25;
    const std::string path = folder.File("card.cal");
    ASSERT_TRUE(saved.SaveCalFile(path));
    EXPECT_EQ(saved.PathName, path);
    const std::string bytes = GetFile(path);
    const std::string head = ";ProcessName               : /home/u/thd.process\r\r\n"
                             ";Path Name                 : " +
                             path +
                             "\r\r\n"
                             ";CalSel                    : Input\r\r\n"
                             ";MeasSel                   : Vrms\r\r\n"
                             ";FreqCalTypeSel            : MLS\r\r\n"
                             ";Ch1FullScaleLevelParams   : 2.5 Vpk\r\r\n"
                             ";Ch1PeakSampleLevel        : 47 \r\r\n"
                             ";Ch1UserInputLevel         : 0.5000\r\r\n"
                             ";Ch1TriggerLevel           : 10 \r\r\n"
                             ";Ch1TriggerOffset          : -20\r\r\n";
    EXPECT_EQ(bytes.substr(0, head.size()), head);
    for (const char* line :
         {";Ch1InputLevelCalApply     : 1\r\r\n", ";Ch2InputLevelCalApply     : 0\r\r\n",
          ";Ch1Gain                   : 49152\r\r\n",
          ";Ch2LatencyParams          : 0.0050 Sec.\r\r\n", ";ReturnedErrors            : \r\r\n",
          ";FrequencyResponseParams   :\r\r\n;Type                      : "})
        EXPECT_NE(bytes.find(line), std::string::npos) << line;
    // 46 keyed lines and the response header, in the file's order.
    EXPECT_LT(bytes.find(";Ch2MixerDestination"), bytes.find(";Ch1LatencyOutputDeviceName"));
    EXPECT_LT(bytes.find(";Ch2LatencyCalApply"), bytes.find(";Ch1FreqOutputDeviceName"));

    // Editors that rewrote the line ends to CR LF or LF leave a file that reads back to the
    // same record, which saves as the same bytes.
    for (const char* end : {"\r\n", "\n"}) {
        PutFile(folder.File("edited.cal"), std::regex_replace(bytes, std::regex("\r*\n"), end));
        CCalibration loaded;
        ASSERT_TRUE(loaded.OpenCalFile(folder.File("edited.cal"))) << end;
        EXPECT_TRUE(saved.IsEquivalent(loaded));
        ASSERT_TRUE(loaded.SaveCalFile(path));
        EXPECT_EQ(GetFile(path), bytes) << "line end of " << strlen(end);
    }
}

TEST(Calibration, LinesAreReadAsTheirFieldSays) {
    CTempFolder folder;
    const auto read = [&](const std::string& line, bool loads) {
        PutFile(folder.File("one.cal"), line + "\r\r\n");
        auto c = std::make_unique<CCalibration>();
        c->Level[0].MixerName = "left over";
        EXPECT_EQ(c->OpenCalFile(folder.File("one.cal")), loads) << line;
        return c;
    };
    EXPECT_EQ(read(";Ch1UserInputLevel         : 0.5", true)->Level[0].UserInputLevel, 0.5);
    EXPECT_FALSE(read(";Ch1InputLevelCalApply     : 1 ", true)->Level[0].InputLevelCalApply);
    EXPECT_EQ(read(";Ch2TriggerOffset          : -7 frames", true)->Level[1].TriggerOffset, -7);
    EXPECT_EQ(read(";Unknown                   : 3", false)->Level[0].MixerName, "");
    read(";FrequencyResponseParams   :", false);
}

TEST(Calibration, ArchiveKeepsEveryFieldAndEquivalenceIgnoresFlagsAndTheDefaultPath) {
    CCalibration saved, loaded;
    MakeComplete(saved);
    saved.PathName = "C:\\cal\\x.cal";
    saved.ReturnedErrors = "late";
    saved.GetFrequencyResponse()->SetGain(1, 0.5);
    CArchive out, again;
    saved.Serialize(out); // the layout byte for byte: SoundIOArchiveTest.cpp
    CArchive in(out.GetBuffer());
    loaded.Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    loaded.Serialize(again);
    EXPECT_EQ(again.GetBuffer(), out.GetBuffer());
    EXPECT_EQ(loaded.GetCalFileName(), "x.cal");

    loaded.PathName = "/two.cal";
    EXPECT_FALSE(saved.IsEquivalent(loaded));
    loaded.PathName = CCalibration::kDefaultPath;
    loaded.CalSel = "Latency";
    loaded.FreqCalTypeSel = "Pulse";
    loaded.Level[0].InputLevelCalApply = !saved.Level[0].InputLevelCalApply;
    loaded.Freq[1].FreqCalApply = false;
    loaded.ReturnedErrors = "x";
    EXPECT_TRUE(saved.IsEquivalent(loaded));
    loaded.Level[1].Gain = 1;
    EXPECT_FALSE(saved.IsEquivalent(loaded));
}

// IsValid and the hardware comparison, against a SoundIO step on the virtual card.
class CalibrationChecks : public ::testing::Test {
protected:
    void SetUp() override {
        doc = t.Create({"SoundIO"}, 1024, 48000);
        ASSERT_NE(doc, nullptr);
        doc->SetTitle("thd.process");
        sio = &t.Step<CSoundIOView>(1);
        MakeComplete(cal);
        cal.PathName = "/home/u/card.cal";
    }
    CModuleProcess t;
    CDspDoc* doc = nullptr;
    CSoundIOView* sio = nullptr;
    CCalibration cal;
};

// Each check that fails leaves its message; the first failing row is the one named.
TEST_F(CalibrationChecks, FirstFailingRowLeavesItsMessage) {
    struct CValidCase {
        const char* name;
        void (*breakIt)(CCalibration&);
        const char* message;
    };
    const CValidCase cases[] = {
        {"UnityFullScale", [](CCalibration& c) { c.Level[0].FullScaleLevelParams = "1.0 Vpk"; },
         "Ch1 Full Scale Input Level = 1.0 in Input Signal Levels Calibration Group. "
         "Calibrated Ch1 Full Scale Input Level must not be Unity in 'card.cal'."},
        {"NoMixerSource", [](CCalibration& c) { c.Level[0].MixerSource.clear(); },
         "Ch1 Mixer Source Is Not Specified in 'card.cal' Input Signal Levels "
         "Calibration Group."},
        {"MixerGainZero", [](CCalibration& c) { c.Level[1].Gain = 0; },
         "Ch2 Mixer Gain = 0 in IInput Signal Levels Calibration Group. Calibrated Ch2 "
         "Mixer Gain must be > 0 in 'card.cal'."},
        {"LatencyZero", [](CCalibration& c) { c.Latency[1].LatencyParams = "0 ms"; },
         "Ch2 Latency = 0.0 sec in Latency Calibration Group. Calibrated Ch2 Device "
         "Latency must be > 0.0 sec in 'card.cal'."},
        {"ReportedError", [](CCalibration& c) { c.ReturnedErrors = "Timeout"; },
         "Calibration Has Reported A 'Timeout' Error"},
        {"ResponseGain", [](CCalibration& c) { c.GetFrequencyResponse()->SetGain(1, 2.0); },
         "Ch2 Frequency Calibration Data Array Gain Is +2.0000000. Ch2 Data Array Gain "
         "must be = 1.0 in 'card.cal'."}};
    for (const CValidCase& c : cases) {
        CCalibration record;
        MakeComplete(record);
        record.PathName = cal.PathName;
        ASSERT_TRUE(record.IsValid(sio)) << record.ReturnedErrors;
        c.breakIt(record);
        EXPECT_FALSE(record.IsValid(sio)) << c.name;
        EXPECT_EQ(record.ReturnedErrors, c.message) << c.name;
    }
}

TEST_F(CalibrationChecks, HardwareDifferencesNameTheStepBothValuesAndTheFile) {
    EXPECT_TRUE(cal.IsAudioHardwareTheSameSettings(sio)) << cal.ReturnedErrors;
    cal.Latency[1].LatencyInputDeviceName = "hw:1";
    EXPECT_FALSE(cal.IsAudioHardwareTheSameSettings(sio));
    EXPECT_EQ(cal.ReturnedErrors,
              "Step: 1 SoundIO Ch2 Input Device Name is 'Virtual Loopback' in 'thd.process' "
              "Latency Calibration Group. Ch2  was Calibrated with Input Device 'hw:1' in "
              "Calibration File 'card.cal'.");
    cal.Latency[1].LatencyInputDeviceName = CVirtualCard::kDeviceName;
    cal.Level[0].TriggerLevel = 5;
    EXPECT_FALSE(cal.IsAudioHardwareTheSameSettings(sio));
    EXPECT_EQ(cal.ReturnedErrors,
              "Step: 1 SoundIO Trigger Level is '10' in 'thd.process' Input Signal Levels "
              "Calibration Group. Step: 1 SoundIO was Calibrated with Trigger Level '5' in "
              "Calibration File 'card.cal'.");
    CDspView plain;
    EXPECT_FALSE(cal.IsAudioHardwareTheSameSettings(&plain));
    EXPECT_EQ(cal.ReturnedErrors, "Module at Step:0 is not a SoundIO module");
    // A calibration of defaults fails at the first row, naming the process file.
    CCalibration defaults;
    EXPECT_FALSE(defaults.IsValid(sio));
    EXPECT_EQ(defaults.ReturnedErrors.substr(defaults.ReturnedErrors.size() - 23),
              "Unity in 'thd.process'.");
}

// Which calibration a Record+Play step applies when it is set up: its own file when that holds
// the same calibration (keeping the step's apply flags), else "default.calibration" beside the
// process file, else its own record; each only when complete and made on this hardware.
struct CChainCase {
    const char* name;
    enum { kNone, kSame, kOther } ownFile;
    enum { kAbsent, kValid, kOtherCard } defaultFile;
    bool recordValid;
    bool warnings;
    const char* mode;
    bool result;
    const char* fullScale; // the record's channel 1 full scale afterwards
    const char* message;   // shown, "" for none; %s is the default file's path
};

class CalibrationChain : public CalibrationChecks,
                         public ::testing::WithParamInterface<CChainCase> {};

TEST_P(CalibrationChain, AppliesTheFirstCalibrationThatFits) {
    const CChainCase& p = GetParam();
    CTempFolder folder;
    doc->SetPathName(folder.File("thd.process"));
    std::string message;
    ASSERT_TRUE(sio->SetControl("mode", p.mode, message)) << message;
    ASSERT_TRUE(sio->SetControl("warnings", p.warnings ? "1" : "0", message)) << message;
    CCalibration& inUse = *sio->GetCalibration();
    MakeComplete(inUse);
    inUse.PathName = folder.File("own.calibration");
    inUse.CalSel = "Input";
    if (!p.recordValid) inUse.Latency[0].LatencyParams = "0.0 Sec.";
    if (p.ownFile != CChainCase::kNone) {
        CCalibration own(sio); // a response of the step's shape
        MakeComplete(own);
        own.CalSel = "Frequency"; // not compared: the same calibration
        own.Level[0].InputLevelCalApply = !inUse.Level[0].InputLevelCalApply;
        if (p.ownFile == CChainCase::kOther) own.Level[1].Gain = 7;
        ASSERT_TRUE(own.SaveCalFile(inUse.PathName));
    }
    const std::string defaultPath = folder.File("default.calibration");
    if (p.defaultFile != CChainCase::kAbsent) {
        CCalibration other(sio);
        MakeComplete(other);
        other.Level[0].FullScaleLevelParams = "3.5 Vpk";
        if (p.defaultFile == CChainCase::kOtherCard)
            other.Freq[1].FreqInputDeviceName = "another card";
        ASSERT_TRUE(other.SaveCalFile(defaultPath));
    }
    CCalibration before;
    before = inUse;
    const bool applyBefore = inUse.Level[0].InputLevelCalApply;
    t.TakeShown();

    EXPECT_EQ(sio->IsCalibrated(), p.result);
    const std::string shown = *p.message ? FormatText(p.message, defaultPath.c_str()) : "";
    const std::vector<std::string> messages = t.TakeShown();
    if (shown.empty())
        EXPECT_TRUE(messages.empty()) << testing::PrintToString(messages);
    else
        EXPECT_EQ(messages, std::vector<std::string>{shown});
    EXPECT_EQ(inUse.Level[0].FullScaleLevelParams, p.fullScale);
    if (p.ownFile == CChainCase::kSame && p.result && std::string(p.mode) != "Play") {
        EXPECT_EQ(inUse.CalSel, "Frequency") << "the file was read";
        EXPECT_EQ(inUse.Level[0].InputLevelCalApply, applyBefore) << "the step's own choice";
    }
    if (std::string(p.fullScale) == "2.5 Vpk" && p.result) {
        EXPECT_TRUE(before.IsEquivalent(inUse));
        EXPECT_EQ(inUse.Level[0].InputLevelCalApply, applyBefore);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Calibration, CalibrationChain,
    ::testing::Values(
        CChainCase{"ownFile", CChainCase::kSame, CChainCase::kValid, true, true, "Rec./Play", true,
                   "2.5 Vpk", ""},
        CChainCase{"defaultFile", CChainCase::kNone, CChainCase::kValid, true, true, "Rec. Only",
                   true, "3.5 Vpk",
                   "SoundIO Module Step:1.\nDefault Calibration File Is Valid.\n'%s' File "
                   "Applied."},
        CChainCase{"ownFileOfAnotherCalibration", CChainCase::kOther, CChainCase::kAbsent, true,
                   true, "Rec./Play", true, "2.5 Vpk",
                   "SoundIO Module Step:1.\nNo Compatible Calibration File Present.\nProcess "
                   "Calibration Parameters Applied"},
        CChainCase{"nothingFits", CChainCase::kNone, CChainCase::kOtherCard, false, true,
                   "Rec./Play", false, "1.0 Vpk",
                   "SoundIO Module Step:1.\nCh1 Latency = 0.0 sec in Latency Calibration Group. "
                   "Calibrated Ch1 Device Latency must be > 0.0 sec in 'own.calibration'..\nNo "
                   "Compatible Calibration File Present.\nPlease Perform Full Calibration."},
        CChainCase{"nothingFitsWithoutWarnings", CChainCase::kNone, CChainCase::kOtherCard, false,
                   false, "Rec./Play", true, "2.5 Vpk", ""},
        CChainCase{"playOnly", CChainCase::kNone, CChainCase::kValid, true, true, "Play", true,
                   "2.5 Vpk", ""}),
    CaseName());

} // namespace
