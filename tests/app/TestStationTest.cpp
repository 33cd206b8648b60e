// The operator's test station through its real widgets: a passing and a failing unit, the
// failed items as the command line prints them, the record stored, the day's yield counted.
#include "QtAppFixture.h"

#include "TestStationDialog.h"
#include "common/TempFolder.h"
#include "station/ResultsStore.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>

#include <chrono>
#include <thread>

namespace {

struct CStationOutcome {
    QString verdict, yield, status;
    QStringList failures;
};

// Opens the station on `plan` through Test > Run Test Plan's path, tests each serial with
// Enter as a scanner sends it, and reads the window after each test.
std::vector<CStationOutcome> TestUnits(CMainWindow& window, const std::string& plan,
                                       const std::vector<QString>& serials) {
    std::vector<CStationOutcome> seen;
    WithNextModal(
        [&](QWidget*) {
            CTestStationDialog* station = window.Station();
            ASSERT_TRUE(station);
            for (const QString& serial : serials) {
                station->Serial()->setText(serial);
                emit station->Serial()->returnPressed();
                const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(60);
                while (station->Testing() && std::chrono::steady_clock::now() < end) {
                    QApplication::processEvents();
                    std::this_thread::sleep_for(std::chrono::milliseconds(5));
                }
                ASSERT_FALSE(station->Testing()) << "the test did not end";
                EXPECT_TRUE(station->Serial()->isEnabled()) << "the next unit cannot be scanned";
                seen.push_back(
                    {station->Verdict(), station->Yield(), station->Status(), station->Failures()});
                // The operator's view of the last unit, for the production-line guide.
                const QString path = AURIVO_BINARY_DIR "/screenshots/test-station.png";
                QDir().mkpath(QFileInfo(path).path());
                EXPECT_TRUE(station->grab().save(path));
            }
            station->reject();
        },
        [&] { window.RunTestPlan(QString::fromStdString(plan)); });
    return seen;
}

class TestStationTest : public testing::Test {
protected:
    void SetUp() override { setenv("XDG_DATA_HOME", m_data.Path().c_str(), 1); }
    void TearDown() override { unsetenv("XDG_DATA_HOME"); }
    int64_t Stored(const CResultsQuery& query) {
        std::string error;
        auto store = OpenResultsStore(DefaultResultsPath(), error);
        int64_t n = -1;
        EXPECT_TRUE(store && store->Count(query, n, error)) << error;
        return n;
    }
    CTempFolder m_data;
    CBuiltInApp m_app;
    CMainWindow* window = &m_app.window;
    CRecordingMessageSink& sink = m_app.sink;
};

TEST_F(TestStationTest, PassingAndFailingUnitsAreJudgedStoredAndCounted) {
    const auto pass =
        TestUnits(*window, AURIVO_SOURCE_DIR "/examples/production-pass.json", {"A-1", "A-2"});
    ASSERT_EQ(pass.size(), 2u);
    EXPECT_EQ(pass[0].verdict, "PASS");
    EXPECT_TRUE(pass[0].failures.isEmpty());
    EXPECT_TRUE(pass[0].status.startsWith("A-1 stored in ")) << pass[0].status.toStdString();
    EXPECT_EQ(pass[0].yield, "Today: 1 tested, 1 passed, yield 100 %");
    EXPECT_EQ(pass[1].yield, "Today: 2 tested, 2 passed, yield 100 %");

    const auto fail =
        TestUnits(*window, AURIVO_SOURCE_DIR "/examples/production-fail.json", {"B-1", "  "});
    ASSERT_EQ(fail.size(), 2u);
    EXPECT_EQ(fail[0].verdict, "FAIL");
    ASSERT_FALSE(fail[0].failures.isEmpty());
    for (const QString& line : fail[0].failures)
        EXPECT_TRUE(line.contains(", limits ") && line.contains(", margin -"))
            << line.toStdString();
    // Its own plan's yield, not the passing plan's; a blank serial tests nothing.
    EXPECT_EQ(fail[0].yield, "Today: 1 tested, 0 passed, yield 0 %");
    EXPECT_EQ(fail[1].verdict, "FAIL");
    EXPECT_EQ(fail[1].yield, fail[0].yield);

    EXPECT_EQ(Stored({}), 3);
    EXPECT_TRUE(sink.Records().empty());
}

TEST_F(TestStationTest, APlanThatCannotBeReadSaysWhyAndOpensNoStation) {
    CTempFolder folder;
    const std::string plan = folder.File("broken.json");
    FILE* f = std::fopen(plan.c_str(), "w");
    ASSERT_TRUE(f);
    std::fputs("{\"format\": \"aurivo-test-plan/1\", \"measurements\": 3}", f);
    std::fclose(f);
    window->RunTestPlan(QString::fromStdString(plan));
    EXPECT_EQ(window->Station(), nullptr);
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_NE(sink.Records()[0].message.find("broken.json"), std::string::npos)
        << sink.Records()[0].message;
}

} // namespace
