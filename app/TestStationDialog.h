#pragma once
// "Test Station": the operator's window of a production line. The operator scans or types a
// unit's serial and presses Enter; the plan runs through the same engine as `aurivo-cli test`
// while the window stays live, and the verdict shows large, with every failed item and the
// day's yield of this station. Each record is stored as the command line stores it, the spool
// included when the server is out of reach.

#include "station/ResultsSpool.h"
#include "station/TestRunner.h"

#include <QDialog>

#include <future>

class QLabel;
class QLineEdit;
class QListWidget;
class QTimer;

class CTestStationDialog final : public QDialog {
    Q_OBJECT
public:
    /** `results` names the store (a file or a server URL), as `--db` does. */
    CTestStationDialog(CTestPlan plan, std::string results, CSessionFactory sessions,
                       QWidget* parent = nullptr);
    ~CTestStationDialog() override;

    /** Tests the unit whose serial is in the serial field (what Enter does there). */
    void StartTest();
    bool Testing() const { return m_running.valid(); }
    QLineEdit* Serial() const { return m_serial; }
    QLineEdit* Station() const { return m_station; }
    QString Verdict() const;
    QStringList Failures() const;
    QString Yield() const;
    QString Status() const;

    void reject() override;

private:
    /** What one test ended with, made on the test's own thread. */
    struct COutcome {
        std::string error; // the test could not be made, or its record not kept
        CTestRecord record;
        CStoreOutcome stored;
        std::string yield; // the day's yield line
    };
    COutcome Test(const CTestIdentity& identity) const;
    std::string DayYield(const std::string& station) const;
    void Finished();
    void ShowVerdict(const QString& text, const QString& colour);

    const CTestPlan m_plan;
    const std::string m_results;
    const CSessionFactory m_sessions;
    std::future<COutcome> m_running;
    QTimer* m_poll = nullptr;
    QLineEdit *m_serial = nullptr, *m_station = nullptr, *m_operator = nullptr;
    QLabel *m_verdict = nullptr, *m_yield = nullptr, *m_status = nullptr;
    QListWidget* m_failures = nullptr;
};
