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
} // namespace

double CStartupReport::ProcessCpuMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return 1e3 * double(t.tv_sec) + 1e-6 * double(t.tv_nsec);
}

bool CStartupReport::Requested() {
    return !qEnvironmentVariableIsEmpty("AURIVO_STARTUP_REPORT");
}

CStartupReport::CStartupReport(QWidget& window, CClock::time_point start)
    : QObject(&window), m_start(start) {
    if (QWindow* handle = window.windowHandle()) handle->installEventFilter(this);
}

void CStartupReport::FilesOpened(CClock::time_point openStart, double openStartCpuMs) {
    const auto now = CClock::now();
    m_openCpuMs = ProcessCpuMilliseconds() - openStartCpuMs;
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
                         "aurivo: files opened in %.1f ms (%.1f ms of processor time), window "
                         "shown %.1f ms after main() "
                         "(files open at %.1f ms), %.1f ms of processor time since launch\n",
                         m_openMs, m_openCpuMs, MillisecondsBetween(m_start, CClock::now()),
                         m_openedAtMs, ProcessCpuMilliseconds());
            QApplication::quit();
        });
    }
    return QObject::eventFilter(watched, event);
}
