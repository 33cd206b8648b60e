// aurivo: the desktop application.
#include "MainWindow.h"
#include "MessageBoxDialog.h"
#include "StartupReport.h"
#include "platform/AudioServices.h"
#include "platform/IniSettings.h"
#include "platform/system/SystemAudio.h"
#include "modules/BuiltInModules.h"
#include "process/PlugInManager.h"
#include "process/UserSession.h"
#include "station/StationSettings.h"

#include "base/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
    const auto start = CStartupReport::CClock::now();
    // Answered before Qt starts, so it works without a display.
    if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
        std::printf("aurivo %s\n", kAurivoVersion);
        return 0;
    }
    QApplication qt(argc, argv);
    QApplication::setApplicationName(CMainWindow::kTitle);

    CIniSettings settings;
    std::string error;
    settings.Load(error); // an unreadable settings file leaves the defaults (and is not replaced)
    CAppSettings appSettings;
    appSettings.Read(settings);
    CDialogMessageSink sink(appSettings, !MessageBoxSoundName(appSettings, settings).empty());
    CSystemClock clock;
    const std::unique_ptr<IAudioSystem> system = NewSystemAudio(settings);
    CAudioServices audio;
    audio.SetDeviceModel(CDeviceModel::Load(settings));
    if (system) audio.AddAudioSystem(system.get());
    CSystemSharedLibraries libraries;
    CPlugInManager plugIns(libraries);
    CModuleRegistry registry = GetBuiltInModules();
    LoadPlugInModules(plugIns, registry, settings, std::cerr);
    CDspApp app(registry, sink, {.clock = clock, .audio = audio, .settings = &settings});

    CMainWindow window(app);
    // Each station test runs on its own thread, in sessions on a copy of the settings taken
    // when the station opens.
    const auto sessions = [&registry, &settings]() -> CSessionFactory {
        return [&registry, snapshot = std::make_shared<CMemorySettings>(settings)] {
            return NewUserSession(registry, *snapshot, NewSystemAudio(*snapshot));
        };
    };
    window.SetTestStation({sessions, ConfiguredResultsUrl(settings)});
    sink.SetParent(&window);
    const QByteArray geometry = QByteArray::fromBase64(
        QByteArray::fromStdString(settings.GetString("Window", "Geometry", "")));
    if (!geometry.isEmpty()) window.restoreGeometry(geometry);
    window.show();
    CStartupReport* report =
        CStartupReport::Requested() ? new CStartupReport(window, start) : nullptr;
    const auto openStart = CStartupReport::CClock::now();
    const double openStartCpu = report ? CStartupReport::ProcessCpuMilliseconds() : 0.0;
    for (int i = 1; i < argc; ++i)
        window.OpenFile(QString::fromLocal8Bit(argv[i]));
    if (report) report->FilesOpened(openStart, openStartCpu);

    const int result = qt.exec();
    settings.SetString("Window", "Geometry", window.saveGeometry().toBase64().toStdString());
    return result;
}
