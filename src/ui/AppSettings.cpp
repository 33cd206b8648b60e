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
        {"Themes", "TimeToFade", &CAppSettings::timeToFade, 0, 10000},
        {"Themes", "EnableSoundsInMessageBox", &CAppSettings::enableSoundsInMessageBox},
        {"Settings", "PreviewPages", &CAppSettings::previewPages, 0, 2},
        {"Settings", "WindowAmplitudeCorrection", &CAppSettings::windowAmplitudeCorrection},
        {"Settings", "EnablePlugIns", &CAppSettings::enablePlugIns},
        {"Settings", "LightPlots", &CAppSettings::lightPlots},
        // A log beyond these would not fit a workstation's memory, nor its file one's disk.
        {"Settings", "DataLogMaxPlots", &CAppSettings::dataLogMaxPlots, 1, 100000},
        {"Settings", "DataLogMaxMegabytes", &CAppSettings::dataLogMaxMegabytes, 1, 8192},
    };
    return entries;
}

namespace {
/** The entry's value in the store: its default when missing, unreadable or out of range. */
int ReadEntry(const ISettingsStore& store, const CAppSettings::CEntry& e) {
    const int fallback = CAppSettings{}.*e.field;
    const int value = store.GetInt(e.section, e.key, fallback);
    return value >= e.minimum && value <= e.maximum ? value : fallback;
}
} // namespace

void CAppSettings::Read(const ISettingsStore& store) {
    for (const CEntry& e : Entries())
        this->*e.field = ReadEntry(store, e);
}

void CAppSettings::WriteThemes(ISettingsStore& store) const {
    // A value the store already gives (a default for a missing or unreadable one) was not
    // changed here, and the user's text for it stays.
    for (const CEntry& e : Entries())
        if (std::string(e.section) == "Themes" && ReadEntry(store, e) != this->*e.field)
            store.SetInt(e.section, e.key, this->*e.field);
}

std::string MessageBoxSoundName(const CAppSettings& settings, const ISettingsStore& store) {
    if (!settings.enableSoundsInMessageBox) return {};
    std::string name = store.GetString("Sounds", "SystemDefault", ",Default");
    while (!name.empty() && name.back() == ',')
        name.pop_back();
    return name;
}
