// The desktop window with a six-pane process at N = 131072 offscreen, the classic one
// (generator, three spectrum analysers, two oscilloscopes) and one with the newer analysers
// (generator, sweep analyser, RTA, transfer function, spectrum analyser, oscilloscope): one idle
// slice (one step of the run) plus the repaint it causes, which is how long the window cannot
// answer the user: painted as the window paints, only what the slice invalidated (the plots and
// readouts), and as the worst case, the whole frame with every control bar repainted. Reported in
// wall time and in the process's CPU time, which a busy machine does not stretch.

#include "DocumentFrame.h"
#include "MainWindow.h"
#include "ProcessCommands.h"
#include "modules/BuiltInModules.h"
#include "process/ModuleRegistry.h"
#include "platform/Clock.h"
#include "ui/MessageSink.h"

#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {
double ProcessMilliseconds() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return 1e3 * double(t.tv_sec) + 1e-6 * double(t.tv_nsec);
}

// `settings` as the command line's "set" takes them ("STEP:ID=VALUE").
void BM_SixPaneIdleSliceAndRepaint(benchmark::State& state, std::vector<std::string> steps,
                                   std::vector<std::string> settings) {
    const bool wholeFrame = state.range(0) != 0;
    const std::string file = (std::filesystem::temp_directory_path() /
                              ("aurivo-gui-bench-" + std::to_string(getpid()) + ".process"))
                                 .string();
    std::ostringstream err;
    const CNewOptions options{file, std::move(steps), "131072", "192000"};
    if (NewProcess(GetBuiltInModules(), options, err) != 0 ||
        (!settings.empty() && SetControls(GetBuiltInModules(), file, settings, file, err) != 0)) {
        state.SkipWithError(err.str().c_str());
        return;
    }
    CRecordingMessageSink sink;
    CSystemClock clock;
    CAudioServices audio;
    CDspApp app(GetBuiltInModules(), sink, {.clock = clock, .audio = audio});
    CMainWindow window(app);
    window.resize(1600, 900);
    window.show();
    const bool opened = window.OpenFile(QString::fromStdString(file));
    QApplication::processEvents();
    std::filesystem::remove(file);
    CDocumentFrame* frame = window.ActiveFrame();
    if (!opened || frame == nullptr || frame->Panes().size() != 6) {
        const std::string why =
            std::string(opened ? "opened" : "not opened") + ", " +
            (frame ? std::to_string(frame->Panes().size()) + " panes" : "no frame") +
            (sink.Records().empty() ? "" : ": " + sink.Records()[0].message);
        state.SkipWithError(("the six-pane process did not open: " + why).c_str());
        return;
    }
    frame->parentWidget()->showMaximized();
    QApplication::processEvents();
    window.OnEditRun();
    const auto slice = [&] {
        window.ProcessIdle(1);
        if (wholeFrame)
            frame->repaint();
        else
            QApplication::processEvents();
    };
    for (int i = 0; i < 6; ++i) // one pass to build plans and buffers
        slice();
    std::vector<double> times, cpuTimes;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = ProcessMilliseconds();
        slice();
        cpuTimes.push_back(ProcessMilliseconds() - cpuStart);
        times.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    window.OnEditStop();
    if (!sink.Records().empty()) return state.SkipWithError(sink.Records()[0].message.c_str());
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    state.counters["median_ms"] = times[times.size() / 2];
    state.counters["worst_ms"] = times.back();
    state.counters["median_cpu_ms"] = cpuTimes[cpuTimes.size() / 2];
    state.counters["worst_cpu_ms"] = cpuTimes.back();
}
} // namespace

BENCHMARK_CAPTURE(BM_SixPaneIdleSliceAndRepaint, Spectra,
                  std::vector<std::string>{"Signal Generator", "Spectrum Analyzer", "Oscilloscope",
                                           "Spectrum Analyzer", "Oscilloscope",
                                           "Spectrum Analyzer"},
                  std::vector<std::string>{})
    ->ArgName("whole_frame")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);
BENCHMARK_CAPTURE(BM_SixPaneIdleSliceAndRepaint, NewerAnalysers,
                  std::vector<std::string>{"Signal Generator", "Sweep Analyzer", "RTA",
                                           "Transfer Function", "Spectrum Analyzer",
                                           "Oscilloscope"},
                  // the sweep analyser reads a half-second synchronized sweep on both channels
                  std::vector<std::string>{
                      "1:ch1.wave=Sync Log Sweep", "1:ch1.sweeptime=0.5", "1:ch1.sweepstart=20",
                      "1:ch1.sweepstop=20000", "1:ch2.wave=Sync Log Sweep", "1:ch2.sweeptime=0.5",
                      "1:ch2.sweepstart=20", "1:ch2.sweepstop=20000", "2:time=0.5"})
    ->ArgName("whole_frame")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
