#include "ui/AppSettings.h"

#include "platform/SettingsStore.h"

const std::vector<CAppSettings::CEntry>& CAppSettings::Entries() {
    static const std::vector<CEntry> entries = {
        {"Themes", "EnableCustomMenus", &CAppSettings::enableCustomMenus},
        {"Themes", "EnableCustomToolbar", &CAppSettings::enableCustomToolbar},
        {"Themes", "EnableCustomBackgroundBitmaps", &CAppSettings::enableCustomBackgroundBitmaps},
        {"Themes", "EnableApplicationBackgroundBitmap",
         &CAppSettings::enableApplicationBackgroundBitmap},
        {"Themes", "EnableCustomModuleTextColor", &CAppSettings::enableCustomModuleTextColor},
        {"Themes", "EnableFadeWindows", &CAppSettings::enableFadeWindows},
        {"Themes", "TimeToFade", &CAppSettings::timeToFade},
        {"Themes", "EnableSoundsInMessageBox", &CAppSettings::enableSoundsInMessageBox},
        {"Settings", "PreviewPages", &CAppSettings::previewPages},
        {"Settings", "WindowAmplitudeCorrection", &CAppSettings::windowAmplitudeCorrection},
        {"Settings", "EnablePlugIns", &CAppSettings::enablePlugIns},
        {"Settings", "LightPlots", &CAppSettings::lightPlots},
        {"Settings", "DataLogMaxPlots", &CAppSettings::dataLogMaxPlots},
        {"Settings", "DataLogMaxMegabytes", &CAppSettings::dataLogMaxMegabytes},
    };
    return entries;
}

void CAppSettings::Read(const ISettingsStore& store) {
    const CAppSettings defaults;
    for (const CEntry& e : Entries())
        this->*e.field = store.GetInt(e.section, e.key, defaults.*e.field);
}

void CAppSettings::WriteThemes(ISettingsStore& store) const {
    // A value the store already gives (a default for a missing or unreadable one) was not
    // changed here, and the user's text for it stays.
    const CAppSettings defaults;
    for (const CEntry& e : Entries())
        if (std::string(e.section) == "Themes" &&
            store.GetInt(e.section, e.key, defaults.*e.field) != this->*e.field)
            store.SetInt(e.section, e.key, this->*e.field);
}

std::string MessageBoxSoundName(const CAppSettings& settings, const ISettingsStore& store) {
    if (!settings.enableSoundsInMessageBox) return {};
    std::string name = store.GetString("Sounds", "SystemDefault", ",Default");
    while (!name.empty() && name.back() == ',')
        name.pop_back();
    return name;
}
