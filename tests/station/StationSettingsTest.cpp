// A station's database from the settings file: used by `test` and `results` when --db is not
// given, overruled by it.
#include "station/ResultsStore.h"

#include "common/CliRun.h"
#include "modules/BuiltInModules.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

TEST(StationSettingsTest, TheSettingsFileNamesTheDatabaseAndDbOverrulesIt) {
    CCliRun cli(GetBuiltInModules());
    std::filesystem::create_directories(cli.File("config/aurivo"));
    const std::string line = cli.File("line.sqlite"), other = cli.File("other.sqlite");
    std::ofstream(cli.File("config/aurivo/aurivo.ini")) << "[Station]\nDatabase=" << line << "\n";
    const std::string plan = AURIVO_SOURCE_DIR "/examples/production-pass.json";

    ASSERT_EQ(cli.Command({"test", plan, "--serial", "S1"}), 0) << cli.err;
    EXPECT_NE(cli.out.find("stored in " + line + "\n"), std::string::npos) << cli.out;
    ASSERT_EQ(cli.Command({"test", plan, "--serial", "S2", "--db", other}), 0) << cli.err;
    EXPECT_NE(cli.out.find("stored in " + other + "\n"), std::string::npos) << cli.out;

    // `results` reads the same store back, and names the files it wrote.
    ASSERT_EQ(cli.Command({"results", "--report", cli.File("r.html")}), 0) << cli.err;
    EXPECT_EQ(cli.out.substr(0, 24), "1 tests, 1 passed: yield") << cli.out;
    EXPECT_NE(cli.out.find("\nWrote " + cli.File("r.html") + "\n"), std::string::npos) << cli.out;

    for (const auto& [file, serial] : {std::pair{line, "S1"}, std::pair{other, "S2"}}) {
        std::string error;
        const auto store = OpenResultsStore(file, error);
        std::vector<CTestRecord> records;
        ASSERT_TRUE(store && store->Find({}, records, error)) << error;
        ASSERT_EQ(records.size(), 1u) << file;
        EXPECT_EQ(records[0].serial, serial);
    }
}

} // namespace
