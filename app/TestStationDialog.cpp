#include "TestStationDialog.h"

#include "station/StationText.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

#include <chrono>
#include <ctime>

namespace {

QString Text(const std::string& s) {
    return QString::fromStdString(s);
}

} // namespace

CTestStationDialog::CTestStationDialog(CTestPlan plan, std::string results,
                                       CSessionFactory sessions, QWidget* parent)
    : QDialog(parent), m_plan(std::move(plan)), m_results(std::move(results)),
      m_sessions(std::move(sessions)) {
    setWindowTitle("Test Station - " + Text(m_plan.name));
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    m_serial = new QLineEdit;
    m_serial->setPlaceholderText("Scan or type the serial, then Enter");
    QFont large = m_serial->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    m_serial->setFont(large);
    const CTestIdentity local = LocalIdentity("");
    m_station = new QLineEdit(Text(local.station));
    m_operator = new QLineEdit(Text(local.operatorName));
    form->addRow("Serial:", m_serial);
    form->addRow("Station:", m_station);
    form->addRow("Operator:", m_operator);
    layout->addLayout(form);

    m_verdict = new QLabel;
    m_verdict->setAlignment(Qt::AlignCenter);
    m_verdict->setMinimumHeight(120);
    QFont huge = font();
    huge.setPointSizeF(huge.pointSizeF() * 5);
    huge.setBold(true);
    m_verdict->setFont(huge);
    layout->addWidget(m_verdict);
    m_failures = new QListWidget;
    layout->addWidget(m_failures);
    m_status = new QLabel(Text("Plan " + m_plan.path + "; results in " + m_results));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    m_yield = new QLabel;
    layout->addWidget(m_yield);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    // A scanner ends the serial with Enter: that starts the test, never closes the window.
    buttons->button(QDialogButtonBox::Close)->setAutoDefault(false);
    connect(m_serial, &QLineEdit::returnPressed, this, &CTestStationDialog::StartTest);

    m_poll = new QTimer(this);
    m_poll->setInterval(20);
    connect(m_poll, &QTimer::timeout, this, [this] {
        if (m_running.wait_for(std::chrono::seconds(0)) == std::future_status::ready) Finished();
    });
    ShowVerdict("READY", "#606060");
    m_yield->setText(Text(DayYield(m_station->text().toStdString())));
    resize(560, 520);
}

CTestStationDialog::~CTestStationDialog() {
    if (m_running.valid()) m_running.wait(); // the test's thread uses this dialog's plan
}

void CTestStationDialog::reject() {
    if (!Testing()) QDialog::reject(); // a unit under test is finished first
}

void CTestStationDialog::StartTest() {
    const std::string serial = m_serial->text().trimmed().toStdString();
    if (Testing() || serial.empty()) return;
    const CTestIdentity identity{serial, m_station->text().trimmed().toStdString(),
                                 m_operator->text().trimmed().toStdString()};
    m_serial->setEnabled(false);
    m_failures->clear();
    ShowVerdict("TESTING", "#606060");
    m_status->setText(Text("Testing " + serial + " ..."));
    m_running = std::async(std::launch::async, [this, identity] { return Test(identity); });
    m_poll->start();
}

CTestStationDialog::COutcome CTestStationDialog::Test(const CTestIdentity& identity) const {
    COutcome o;
    if (RunTestPlan(m_plan, identity, m_sessions, o.record, o.error))
        StoreRecord(m_results, DefaultSpoolPath(), o.record, o.stored, o.error);
    o.yield = DayYield(identity.station);
    return o;
}

std::string CTestStationDialog::DayYield(const std::string& station) const {
    std::string error;
    const auto store = OpenResultsStore(m_results, error);
    CResultsQuery today{
        .plan = m_plan.name, .station = station, .since = LocalDayStartText(std::time(nullptr))};
    int64_t tested = 0, passed = 0;
    if (!store || !store->Count(today, tested, error) || !store->CountPassed(today, passed, error))
        return "Today: no count (" + error + ")";
    if (tested == 0) return "Today: no unit tested yet";
    return "Today: " + std::to_string(tested) + " tested, " + std::to_string(passed) +
           " passed, yield " + RoundedNumber(100.0 * double(passed) / double(tested), 3) + " %";
}

void CTestStationDialog::Finished() {
    m_poll->stop();
    const COutcome o = m_running.get();
    m_serial->setEnabled(true);
    m_serial->selectAll();
    m_serial->setFocus();
    m_yield->setText(Text(o.yield));
    if (!o.error.empty()) {
        ShowVerdict("ERROR", "#b07000");
        m_status->setText(Text(o.error));
        return;
    }
    if (o.record.passed)
        ShowVerdict("PASS", "#1a8a1a");
    else
        ShowVerdict("FAIL", "#c01818");
    for (const CCheckResult& c : o.record.checks)
        if (!c.passed) m_failures->addItem(Text(CheckText(c)));
    std::string status = o.record.serial + " stored in " + o.stored.where;
    if (o.stored.spooled)
        status += "; the results server is out of reach (" + o.stored.reason +
                  "), the record waits in the spool";
    m_status->setText(Text(status));
}

void CTestStationDialog::ShowVerdict(const QString& text, const QString& colour) {
    m_verdict->setText(text);
    m_verdict->setStyleSheet("color: white; background: " + colour + ";");
}

QString CTestStationDialog::Verdict() const {
    return m_verdict->text();
}

QStringList CTestStationDialog::Failures() const {
    QStringList items;
    for (int i = 0; i < m_failures->count(); ++i)
        items << m_failures->item(i)->text();
    return items;
}

QString CTestStationDialog::Yield() const {
    return m_yield->text();
}

QString CTestStationDialog::Status() const {
    return m_status->text();
}
