// The "SPL Meter" library as the program meets it: found, listed, composed into a process,
// run, saved and reopened through its entry point alone.
#include "common/ArchiveBytes.h"
#include "common/HexBytes.h"
#include "common/SettingById.h"
#include "common/TempFolder.h"

#include "base/Archive.h"
#include "modules/BuiltInModules.h"
#include "platform/AtomicFile.h"
#include "platform/MemorySettings.h"
#include "process/PlugInManager.h"
#include "common/ModuleProcess.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

namespace {

namespace fs = std::filesystem;

std::vector<uint8_t> Bytes(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(ReadFileBytes(path, bytes, error, 1u << 20)) << error;
    return bytes;
}

std::string Readout(const CProcessSession& session, int step, const std::string& label) {
    for (const CReadoutValue& r : session.GetReadouts(step))
        if (r.label == label) return r.value;
    return "(no readout " + label + ")";
}

std::string Setting(const CProcessSession& session, int step, const std::string& id) {
    return SettingById(*session.Step(step), id);
}

class SplPlugIn : public testing::Test {
protected:
    void SetUp() override {
        fs::create_symlink(SPLMETER_LIBRARY, folder.File("splmeter.so"));
        std::ostringstream err;
        ASSERT_EQ(manager.FindPlugIns({folder.Path()}, err), 1u);
        manager.AddModules(registry, err);
        ASSERT_EQ(err.str(), "");
    }
    CTempFolder folder;
    CSystemSharedLibraries libraries;
    CPlugInManager manager{libraries};
    CModuleRegistry registry = GetBuiltInModules();
};

// A generator's 1 kHz sine of 1 V peak (0.7071 V RMS) on channel 1 and a tenth of it on
// channel 2, into a microphone sensitivity of 707.10678 mV/Pa: 1 Pa (94 dB) and 74 dB.
TEST_F(SplPlugIn, MeasuresSavesAndReopensThroughItsEntryPoint) {
    CModuleProcess t(registry);
    ASSERT_TRUE(t.Create({"Signal Generator", "SPL Meter"}));
    CProcessSession& session = t.Session();
    t.Set(1, {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=100", "ch2.wave=Sine", "ch2.freq=1000",
              "ch2.level=10"});
    t.Set(2, {"weighting=C", "time=Slow", "sensitivity=707.10678"});
    ASSERT_EQ(session.Run(800), 800) << testing::PrintToString(session.GetMessages());
    EXPECT_EQ(Readout(session, 2, "Ch1 LCeq"), "94.0 dB");
    EXPECT_EQ(Readout(session, 2, "Ch1 LCS"), "94.0 dB");
    EXPECT_EQ(Readout(session, 2, "Ch1 LCSmin"), "94.0 dB");
    EXPECT_EQ(Readout(session, 2, "Ch2 LCeq"), "74.0 dB");

    const std::string first = folder.File("first.process"), second = folder.File("second.process");
    ASSERT_TRUE(t.Save(first));
    CModuleProcess reopened(registry);
    ASSERT_TRUE(reopened.Open(first));
    EXPECT_EQ(Setting(reopened.Session(), 2, "weighting"), "C");
    EXPECT_EQ(Setting(reopened.Session(), 2, "time"), "Slow");
    EXPECT_EQ(Setting(reopened.Session(), 2, "sensitivity"), "707.10678");
    ASSERT_TRUE(reopened.Save(second));
    EXPECT_EQ(Bytes(first), Bytes(second));

    // Without the library the step has no module: the file is refused, not read askew.
    CModuleProcess without;
    std::string error;
    EXPECT_FALSE(without.Session().Open(first, error));
    EXPECT_NE(error.find("Step 2 uses the module \"SPL Meter\", which is not available"),
              std::string::npos)
        << error;
}

// The same 94 dB tone read in each unit, and through a calibration file whose curve (+3 dB at
// 1 kHz) or sensitivity factor (-1.5 dB) the meter takes out; kept in the process file.
TEST_F(SplPlugIn, ReadsInEachUnitAndThroughTheCalibrationFile) {
    std::ofstream(folder.File("plus3.txt")) << "20 0\n500 3\n2000 3\n20000 0\n";
    std::ofstream(folder.File("sens.txt")) << "\"Sens Factor =-1.5dB, SERNO: 7\"\n20 0\n20000 0\n";
    // Blocks of 8192 at 96 kHz: 25 passes settle the fast weighting to 17 time constants, which
    // a reading at exactly 0.0 needs; the calibration's filter is slow to run, so its readings,
    // away from a rounding edge, are taken after 10.
    const std::tuple<const char*, std::string, const char*, int> cases[] = {
        {"unit", "dBV", "-3.0 dBV", 25},
        {"unit", "dBFS", "0.0 dBFS", 25},
        {"miccal", folder.File("plus3.txt"), "91.0 dB", 10},
        {"miccal", folder.File("sens.txt"), "95.5 dB", 10}};
    for (const auto& [id, value, fast, passes] : cases) {
        CModuleProcess t(registry);
        ASSERT_TRUE(t.Create({"Signal Generator", "SPL Meter"}, 8192, 96000.0));
        t.Set(1, {"ch1.wave=Sine", "ch1.freq=1000", "ch1.level=100"});
        t.Set(2, {"weighting=C", "sensitivity=707.10678", std::string(id) + "=" + value});
        ASSERT_EQ(t.Session().Run(passes), passes)
            << testing::PrintToString(t.Session().GetMessages());
        EXPECT_EQ(Readout(t.Session(), 2, "Ch1 LCF"), fast);
        ASSERT_TRUE(t.Save(folder.File("cal.process")));
        CModuleProcess reopened(registry);
        ASSERT_TRUE(reopened.Open(folder.File("cal.process")));
        EXPECT_EQ(Setting(reopened.Session(), 2, id), value);
    }
}

// The step's part of a process file, laid out field by field in both layouts: the view's record,
// then the meter's class record, frequency weighting "Z", time weighting "Slow" and the
// sensitivity. Read through the library's own class and written back byte for byte.
class SplPlugInLayout : public SplPlugIn, public testing::WithParamInterface<bool> {};

TEST_P(SplPlugInLayout, ReadsEveryFieldAndWritesThemBack) {
    const bool legacy = GetParam();
    CArchiveBytes b;
    if (!legacy) b.NewClass("CDspView");
    b.I32(1); // "Sel Ch1"
    if (!legacy) b.NewClass("CSplView");
    b.I32(2).I32(1).F64(707.25);
    CModuleProcess t(registry);
    ASSERT_TRUE(t.Create({"SPL Meter"}));
    const CProcessSession& session = t.Session();
    CArchive in(b.Get());
    in.SetLegacy(legacy);
    session.Step(1)->Serialize(in);
    ASSERT_TRUE(in.Ok()) << in.GetError();
    EXPECT_EQ(in.Remaining(), 0u);
    EXPECT_EQ(Setting(session, 1, "channel"), "1");
    EXPECT_EQ(Setting(session, 1, "weighting"), "Z");
    EXPECT_EQ(Setting(session, 1, "time"), "Slow");
    EXPECT_EQ(Setting(session, 1, "sensitivity"), "707.25");

    CArchive out;
    out.SetLegacy(legacy);
    session.Step(1)->Serialize(out);
    EXPECT_EQ(HexText(out.GetBuffer()), HexText(b.Get()));
}

INSTANTIATE_TEST_SUITE_P(Layouts, SplPlugInLayout, testing::Bool(),
                         [](const auto& info) { return info.param ? "Legacy" : "Current"; });

// The host's start-up: the user's folder comes from XDG_DATA_HOME, and the settings' switch
// ("Settings"/"EnablePlugIns") decides whether anything is searched at all.
TEST(PlugInSwitch, DecidesWhetherTheUsersPlugInsAreLoaded) {
    CTempFolder data;
    fs::create_directories(data.File("aurivo/plugins"));
    fs::create_symlink(SPLMETER_LIBRARY, data.File("aurivo/plugins/splmeter.so"));
    for (const auto& [enabled, modules] :
         {std::pair{1, std::vector<std::string>{"SPL Meter"}}, {0, std::vector<std::string>{}}}) {
        const char* old = std::getenv("XDG_DATA_HOME");
        const std::string saved = old ? old : "";
        setenv("XDG_DATA_HOME", data.Path().c_str(), 1);
        CMemorySettings settings;
        settings.SetInt("Settings", "EnablePlugIns", enabled);
        CSystemSharedLibraries libraries;
        CPlugInManager manager(libraries);
        CModuleRegistry registry = GetBuiltInModules();
        std::ostringstream err;
        LoadPlugInModules(manager, registry, settings, err);
        old ? setenv("XDG_DATA_HOME", saved.c_str(), 1) : unsetenv("XDG_DATA_HOME");
        std::vector<std::string> names;
        for (const CPlugInModule& p : registry.GetPlugIns())
            names.push_back(p.name);
        EXPECT_EQ(names, modules) << enabled;
        EXPECT_EQ(manager.GetPlugInCount(), modules.size());
    }
}

} // namespace
