#include "ui/AppSettings.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace {

struct CSettingCase {
    const char* section;
    const char* key;
    int CAppSettings::*field;
    int defaultValue;
    int lowest = 0; // the range a value read from the store must lie in
    int highest = 1;
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
    {"Themes", "TimeToFade", &CAppSettings::timeToFade, 500, 0, 10000},
    {"Themes", "EnableSoundsInMessageBox", &CAppSettings::enableSoundsInMessageBox, 1},
    {"Settings", "PreviewPages", &CAppSettings::previewPages, 0, 0, 2},
    {"Settings", "WindowAmplitudeCorrection", &CAppSettings::windowAmplitudeCorrection, 1},
    {"Settings", "EnablePlugIns", &CAppSettings::enablePlugIns, 1},
    {"Settings", "DataLogMaxPlots", &CAppSettings::dataLogMaxPlots, 1000, 1, 100000},
    {"Settings", "DataLogMaxMegabytes", &CAppSettings::dataLogMaxMegabytes, 512, 1, 8192},
};

class AppSetting : public testing::TestWithParam<CSettingCase> {};

// Each setting is read from its own section and key, takes its default when absent, not a
// number or outside its range (a typo must not set a limit nor a delay without bound), and is
// written back only when it is a theme.
TEST_P(AppSetting, ReadFromItsKeyWithinItsRangeWithItsDefaultAndWrittenBackIfATheme) {
    const CSettingCase& c = GetParam();
    const int valid = c.defaultValue != c.highest ? c.highest : c.lowest;
    const std::pair<std::string, bool> stored[] = {{"", false},
                                                   {"yes", false},
                                                   {std::to_string(valid), true},
                                                   {std::to_string(c.lowest - 1), false},
                                                   {std::to_string(c.highest + 1), false},
                                                   {"2000000000", false}};
    for (const auto& [text, taken] : stored) {
        CMemorySettings store;
        if (!text.empty()) store.SetString(c.section, c.key, text);
        CAppSettings settings;
        settings.*c.field = 12345;
        settings.Read(store);
        for (const CSettingCase& other : kSettings)
            EXPECT_EQ(settings.*other.field,
                      other.field == c.field && taken ? valid : other.defaultValue)
                << text << " " << other.key;
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
