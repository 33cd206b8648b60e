// aurivo: the desktop application.
#include "MainWindow.h"
#include "MessageBoxDialog.h"
#include "platform/AudioServices.h"
#include "platform/IniSettings.h"
#ifdef AURIVO_HAVE_ALSA
#include "platform/alsa/AlsaAudio.h"
#endif
#include "modules/BuiltInModules.h"
#include "process/PlugInManager.h"
#include "process/UserSession.h"

#include "base/Version.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <iostream>

int main(int argc, char** argv) {
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
#ifdef AURIVO_HAVE_ALSA
    CAlsaAudio alsa;
#endif
    CAudioServices audio;
    audio.SetDeviceModel(CDeviceModel::Load(settings));
#ifdef AURIVO_HAVE_ALSA
    audio.AddAudioSystem(&alsa);
#endif
    CSystemSharedLibraries libraries;
    CPlugInManager plugIns(libraries);
    CModuleRegistry registry = GetBuiltInModules();
    LoadPlugInModules(plugIns, registry, settings, std::cerr);
    CDspApp app(registry, sink, {.clock = clock, .audio = audio, .settings = &settings});

    CMainWindow window(app);
    // Each station test runs on its own thread, in sessions on a copy of the settings taken
    // when the station opens.
    window.SetTestSessions([&registry, &settings]() -> CSessionFactory {
        return [&registry, snapshot = std::make_shared<CMemorySettings>(settings)] {
#ifdef AURIVO_HAVE_ALSA
            return NewUserSession(registry, *snapshot, std::make_unique<CAlsaAudio>());
#else
            return NewUserSession(registry, *snapshot, nullptr);
#endif
        };
    });
    sink.SetParent(&window);
    const QByteArray geometry = QByteArray::fromBase64(
        QByteArray::fromStdString(settings.GetString("Window", "Geometry", "")));
    if (!geometry.isEmpty()) window.restoreGeometry(geometry);
    window.show();
    for (int i = 1; i < argc; ++i)
        window.OpenFile(QString::fromLocal8Bit(argv[i]));

    const int result = qt.exec();
    settings.SetString("Window", "Geometry", window.saveGeometry().toBase64().toStdString());
    return result;
}
