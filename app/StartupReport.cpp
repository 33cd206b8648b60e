#include "StartupReport.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <cstdio>
#include <ctime>

namespace {
double MillisecondsBetween(CStartupReport::CClock::time_point from,
                           CStartupReport::CClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The processor time the program has had, which a busy machine does not stretch as it does
// the wall clock's.
double ProcessCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return 1e3 * double(t.tv_sec) + 1e-6 * double(t.tv_nsec);
}
} // namespace

bool CStartupReport::Requested() {
    return !qEnvironmentVariableIsEmpty("AURIVO_STARTUP_REPORT");
}

CStartupReport::CStartupReport(QWidget& window, CClock::time_point start)
    : QObject(&window), m_start(start) {
    if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
}

void CStartupReport::FilesOpened(CClock::time_point openStart) {
    const auto now = CClock::now();
    m_openMs = MillisecondsBetween(openStart, now);
    m_openedAtMs = MillisecondsBetween(m_start, now);
}

bool CStartupReport::eventFilter(QObject* watched, QEvent* event) {
    auto* window = qobject_cast<QWindow*>(watched);
    if (!m_reported && event->type() == QEvent::Expose && window && window->isExposed()) {
        m_reported = true;
        // Queued, so that it runs after the expose has painted the window.
        QTimer::singleShot(0, this, [this] {
            std::fprintf(stderr,
                         "aurivo: files opened in %.1f ms, window shown %.1f ms after main() "
                         "(files open at %.1f ms), %.1f ms of processor time since launch\n",
                         m_openMs, MillisecondsBetween(m_start, CClock::now()), m_openedAtMs,
                         ProcessCpuMilliseconds());
            QApplication::quit();
        });
    }
    return QObject::eventFilter(watched, event);
}
