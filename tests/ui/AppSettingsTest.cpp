#include "ui/AppSettings.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace {

struct CSettingCase {
    const char* section;
    const char* key;
    int CAppSettings::*field;
    int defaultValue;
};

// The store names and defaults, written out independently of the code's own table.
const CSettingCase kSettings[] = {
    {"Themes", "EnableCustomMenus", &CAppSettings::enableCustomMenus, 1},
    {"Themes", "EnableCustomToolbar", &CAppSettings::enableCustomToolbar, 1},
    {"Themes", "EnableCustomBackgroundBitmaps", &CAppSettings::enableCustomBackgroundBitmaps, 1},
    {"Themes", "EnableApplicationBackgroundBitmap",
     &CAppSettings::enableApplicationBackgroundBitmap, 1},
    {"Themes", "EnableCustomModuleTextColor", &CAppSettings::enableCustomModuleTextColor, 1},
    {"Themes", "EnableFadeWindows", &CAppSettings::enableFadeWindows, 1},
    {"Themes", "TimeToFade", &CAppSettings::timeToFade, 500},
    {"Themes", "EnableSoundsInMessageBox", &CAppSettings::enableSoundsInMessageBox, 1},
    {"Settings", "PreviewPages", &CAppSettings::previewPages, 0},
    {"Settings", "WindowAmplitudeCorrection", &CAppSettings::windowAmplitudeCorrection, 1},
    {"Settings", "EnablePlugIns", &CAppSettings::enablePlugIns, 1},
    {"Settings", "DataLogMaxPlots", &CAppSettings::dataLogMaxPlots, 1000},
    {"Settings", "DataLogMaxMegabytes", &CAppSettings::dataLogMaxMegabytes, 512},
};

class AppSetting : public testing::TestWithParam<CSettingCase> {};

// Each setting is read from its own section and key, takes its default when absent or not a
// number, and is written back only when it is a theme.
TEST_P(AppSetting, ReadFromItsKeyWithItsDefaultAndWrittenBackIfATheme) {
    const CSettingCase& c = GetParam();
    for (const char* stored : {"", "yes", "7"}) {
        CMemorySettings store;
        if (*stored) store.SetString(c.section, c.key, stored);
        CAppSettings settings;
        settings.*c.field = 12345;
        settings.Read(store);
        for (const CSettingCase& other : kSettings)
            EXPECT_EQ(settings.*other.field,
                      other.field == c.field && stored[0] == '7' ? 7 : other.defaultValue)
                << stored << " " << other.key;
    }
    CAppSettings settings;
    settings.*c.field = -4;
    CMemorySettings store;
    settings.WriteThemes(store);
    const bool themes = std::string(c.section) == "Themes";
    EXPECT_EQ(store.GetInt(c.section, c.key, 99), themes ? -4 : 99);
}

INSTANTIATE_TEST_SUITE_P(Table, AppSetting, testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.key); });

} // namespace
