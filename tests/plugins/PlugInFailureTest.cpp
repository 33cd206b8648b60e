// A plug-in that throws: the step fails through the module error path with a message naming the
// plug-in module, the run stops, and the process stays open, unchanged and usable.
#include "common/CaseName.h"
#include "common/TempFolder.h"

#include "modules/BuiltInModules.h"
#include "process/PlugInManager.h"
#include "common/ModuleProcess.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace {

namespace fs = std::filesystem;

struct CThrowCase {
    const char* name;
    const char* library;
    const char* operation;
};

class PlugInThrows : public testing::TestWithParam<CThrowCase> {
protected:
    void SetUp() override {
        fs::create_symlink(GetParam().library, folder.File("thrower.so"));
        std::ostringstream err;
        ASSERT_EQ(manager.FindPlugIns({folder.Path()}, err), 1u) << err.str();
        manager.AddModules(registry, err);
        ASSERT_EQ(err.str(), "");
    }
    std::string Failure() const {
        return std::string("The plug-in module \"Thrower\" failed in ") + GetParam().operation +
               ": it threw an exception: the sensor is unplugged";
    }

    CTempFolder folder;
    CSystemSharedLibraries libraries;
    CPlugInManager manager{libraries};
    CModuleRegistry registry = GetBuiltInModules();
};

TEST_P(PlugInThrows, RunStopsWithTheStepsMessageAndTheProcessStays) {
    CModuleProcess t(registry);
    ASSERT_TRUE(t.Create({"Signal Generator", "Thrower", "Oscilloscope"}));
    CProcessSession& session = t.Session();
    const std::vector<std::string> expected = {"Error Detected In\r\nStep: 2 Thrower\r\n" +
                                               Failure()};
    for (int attempt = 1; attempt <= 2; ++attempt) {
        EXPECT_EQ(session.Run(3), 0) << "attempt " << attempt;
        EXPECT_EQ(session.GetMessages(), expected) << "attempt " << attempt;
        EXPECT_FALSE(session.Document().IsRunning());
    }
    EXPECT_EQ(session.GetStepCount(), 3);
    ASSERT_TRUE(t.Save(folder.File("kept.process")));
    CModuleProcess reopened(registry);
    EXPECT_TRUE(reopened.Open(folder.File("kept.process")));
}

const CThrowCase kThrowCases[] = {
    {"ProcessData", FIXTURE_THROW_PROCESS, "ProcessData"},
    {"StartRun", FIXTURE_THROW_START, "StartRun"},
};
INSTANTIATE_TEST_SUITE_P(Operations, PlugInThrows, testing::ValuesIn(kThrowCases), CaseName());

class PlugInThrowsInSerialize : public PlugInThrows {};

// A step whose state cannot be written fails the save; the file is not written.
TEST_P(PlugInThrowsInSerialize, SaveFailsNamingTheStep) {
    CModuleProcess t(registry);
    ASSERT_TRUE(t.Create({"Signal Generator", "Thrower"}));
    CProcessSession& session = t.Session();
    std::string error;
    EXPECT_FALSE(session.Save(folder.File("lost.process"), error));
    EXPECT_EQ(error, "Step: 2 Thrower: " + Failure());
    EXPECT_FALSE(fs::exists(folder.File("lost.process")));
    EXPECT_EQ(session.GetStepCount(), 2);
}

const CThrowCase kSerializeCases[] = {{"Serialize", FIXTURE_THROW_SERIALIZE, "Serialize"}};
INSTANTIATE_TEST_SUITE_P(Operations, PlugInThrowsInSerialize, testing::ValuesIn(kSerializeCases),
                         CaseName());

} // namespace
