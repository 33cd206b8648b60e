#pragma once
// A measurable point for the desktop's start-up: with AURIVO_STARTUP_REPORT set in the
// environment, the program prints how long it took to open the files of its command line and to
// show its window with them, then quits. Start-up time is measured by running it repeatedly.

#include <QObject>

#include <chrono>

class QWidget;

class CStartupReport : public QObject {
public:
    using CClock = std::chrono::steady_clock;

    /** Whether the environment asks for the report. */
    static bool Requested();
    /** Watches `window` (shown already) from `start`, the time main() began. */
    CStartupReport(QWidget& window, CClock::time_point start);
    /** The files are open: the time from here to the window shown is the first paint. */
    void FilesOpened(CClock::time_point openStart, double openStartCpuMs);
    /** The processor time the program has had, which a busy machine does not stretch as it
     *  does the wall clock's. */
    static double ProcessCpuMilliseconds();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    CClock::time_point m_start;
    double m_openMs = 0.0;
    double m_openCpuMs = 0.0;
    double m_openedAtMs = 0.0;
    bool m_reported = false;
};
