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
};

class AppSetting : public testing::TestWithParam<CSettingCase> {};

TEST_P(AppSetting, DefaultWhenAbsentOrNotANumber) {
    CMemorySettings store;
    CAppSettings settings;
    settings.*GetParam().field = 12345;
    settings.Read(store);
    EXPECT_EQ(settings.*GetParam().field, GetParam().defaultValue);

    store.SetString(GetParam().section, GetParam().key, "yes");
    settings.*GetParam().field = 12345;
    settings.Read(store);
    EXPECT_EQ(settings.*GetParam().field, GetParam().defaultValue);
}

TEST_P(AppSetting, ReadFromItsOwnSectionAndKey) {
    CMemorySettings store;
    store.SetInt(GetParam().section, GetParam().key, 7);
    CAppSettings settings;
    settings.Read(store);
    for (const CSettingCase& other : kSettings)
        EXPECT_EQ(settings.*other.field, other.field == GetParam().field ? 7 : other.defaultValue)
            << other.key;
}

TEST_P(AppSetting, OnlyThemesAreWrittenBack) {
    CAppSettings settings;
    settings.*GetParam().field = -4;
    CMemorySettings store;
    settings.WriteThemes(store);
    const bool themes = std::string(GetParam().section) == "Themes";
    EXPECT_EQ(store.Contains(GetParam().section, GetParam().key), themes);
    EXPECT_EQ(store.GetInt(GetParam().section, GetParam().key, 99), themes ? -4 : 99);
}

INSTANTIATE_TEST_SUITE_P(Table, AppSetting, testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.key); });

// What the program did not change stays as the user wrote it, even where it reads as a default.
TEST(AppSettings, ThemesWriteBackOnlyWhatTheProgramChanged) {
    CMemorySettings store;
    store.SetString("Themes", "TimeToFade", "250 ; fade");
    store.SetString("Themes", "EnableFadeWindows", "0");
    CAppSettings settings;
    settings.Read(store);
    settings.WriteThemes(store);
    ASSERT_EQ(store.Sections().size(), 1u);
    using Entries = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(store.Sections()[0].entries,
              (Entries{{"TimeToFade", "250 ; fade"}, {"EnableFadeWindows", "0"}}));
    settings.enableCustomMenus = 0;
    settings.WriteThemes(store);
    EXPECT_EQ(store.Sections()[0].entries, (Entries{{"TimeToFade", "250 ; fade"},
                                                    {"EnableFadeWindows", "0"},
                                                    {"EnableCustomMenus", "0"}}));
}

struct CSoundCase {
    const char* stored; // null: not set
    int enabled;
    const char* expected;
};

class MessageBoxSound : public testing::TestWithParam<CSoundCase> {};

TEST_P(MessageBoxSound, TrailingCommasRemoved) {
    CMemorySettings store;
    if (GetParam().stored != nullptr) store.SetString("Sounds", "SystemDefault", GetParam().stored);
    CAppSettings settings;
    settings.enableSoundsInMessageBox = GetParam().enabled;
    EXPECT_EQ(MessageBoxSoundName(settings, store), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, MessageBoxSound,
                         testing::Values(CSoundCase{nullptr, 1, ",Default"},
                                         CSoundCase{"Windows Ding,,,", 1, "Windows Ding"},
                                         CSoundCase{",Default,", 1, ",Default"},
                                         CSoundCase{"a,b", 1, "a,b"}, CSoundCase{",,,", 1, ""},
                                         CSoundCase{nullptr, 0, ""}, CSoundCase{"Chord", 0, ""}));

} // namespace
