// The settings file: what is read, the user's text kept through saves, and files never
// overwritten when they could not be read.
#include "platform/IniSettings.h"

#include "common/TempFolder.h"
#include "common/TextFileUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <optional>

namespace {

TEST(IniSettings, ReadsSectionsAndKeysWhateverTheirCaseAndLaterDuplicatesWin) {
    CIniSettings ini("");
    EXPECT_EQ(ini.ParseText("; comment\n[Themes]\nTimeToFade=250\n  EnableFadeWindows = 0  \n\n"
                            "# another comment\n[Sounds]\nSystemDefault=.Default,,\nEmpty=\n"
                            "Eq=a=b\n[themes]\r\nenableFadeWindows=3\r\nm=4"),
              0);
    EXPECT_EQ(ini.GetInt("Themes", "TimeToFade", -1), 250);
    EXPECT_EQ(ini.GetInt("THEMES", "EnableFadeWindows", -1), 3);
    EXPECT_EQ(ini.GetInt("Themes", "m", -1), 4);
    EXPECT_EQ(ini.GetString("Sounds", "SystemDefault", "x"), ".Default,,");
    EXPECT_EQ(ini.GetString("Sounds", "Empty", "x"), "");
    EXPECT_EQ(ini.GetString("Sounds", "Eq", "x"), "a=b");
    EXPECT_EQ(ini.GetString("Sounds", "Missing", "x"), "x");
    EXPECT_EQ(ini.GetInt("Missing", "TimeToFade", 17), 17);
    // A change rewrites every line of the key, in its own line end.
    ini.SetInt("themes", "EnableFadeWindows", 5);
    EXPECT_EQ(ini.FormatText(), "; comment\n[Themes]\nTimeToFade=250\nEnableFadeWindows=5\n\n"
                                "# another comment\n[Sounds]\nSystemDefault=.Default,,\nEmpty=\n"
                                "Eq=a=b\n[themes]\r\nenableFadeWindows=5\r\nm=4\n");
}

// Lines the program cannot read hold no values, but they are the user's and are written back.
// Keys under a broken header must not land in the section before it.
TEST(IniSettings, BadLinesHoldNoValuesAndAreKept) {
    const std::pair<const char*, int> cases[] = {
        {"z=1\n[S]\nb=2\n", 1},           {"[S]\njunk line\nb=2\n", 1},
        {"[S]\n=5\n  = 6\nb=2\n", 2},     {"[S]\na=1\n[T\nz=2\n[U]\nc=3\n", 2},
        {"[S]\n[ ]\nz=2\n[U]\nc=3\n", 2}, {"[S]\n\x01\x02\xff\na=1\n", 1}};
    for (const auto& [text, skipped] : cases) {
        CIniSettings ini("");
        EXPECT_EQ(ini.ParseText(text), skipped) << text;
        EXPECT_FALSE(ini.Contains("S", "z")) << text;
        EXPECT_EQ(ini.FormatText(), text);
    }
}

TEST(IniSettings, OnlyWholeNumbersInRangeAreNumbers) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"42", 42},
                                                                {" 42 ", 42},
                                                                {"+7", 7},
                                                                {"-3", -3},
                                                                {"2147483647", INT_MAX},
                                                                {"-2147483648", INT_MIN},
                                                                {"2147483648", {}},
                                                                {"12abc", {}},
                                                                {"1.5", {}},
                                                                {"", {}},
                                                                {"0x10", {}},
                                                                {"+-1", {}}};
    for (const auto& [stored, value] : cases) {
        CMemorySettings store;
        store.SetString("S", "k", stored);
        EXPECT_EQ(store.GetInt("S", "k", -999), value.value_or(-999)) << stored;
    }
}

TEST(IniSettings, SaveCreatesTheFolderAndNewValuesReadBack) {
    CTempFolder dir;
    const std::string path = dir.File("config/aurivo/aurivo.ini");
    CIniSettings ini(path);
    ini.SetInt("Themes", "TimeToFade", 500);
    ini.SetString("Sounds", "SystemDefault", ",Default\n[Themes]\nTimeToFade=0");
    std::string error;
    ASSERT_TRUE(ini.Save(error)) << error;
    // A line break in a value cannot start a section of its own.
    EXPECT_EQ(GetFile(path), "[Themes]\nTimeToFade=500\n\n[Sounds]\n"
                             "SystemDefault=,Default [Themes] TimeToFade=0\n");
    CIniSettings again(path);
    ASSERT_TRUE(again.Load(error)) << error;
    EXPECT_EQ(again.GetInt("Themes", "TimeToFade", 0), 500);
    EXPECT_EQ(again.FormatText(), ini.FormatText());
}

// A save writes only when a value changed, then only the lines of the changed values, into the
// file a symbolic link names; unknown sections, keys, comments and broken lines stay.
TEST(IniSettings, SavesOnlyChangedValuesAndKeepsEveryOtherLine) {
    CTempFolder dir;
    std::string error;
    CIniSettings missing(dir.File("none/aurivo.ini"));
    ASSERT_TRUE(missing.Load(error)) << error;
    EXPECT_TRUE(missing.Sections().empty());
    ASSERT_TRUE(missing.Save(error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("none"))) << "nothing changed, nothing created";

    const std::string text = "; mine\n[Themes]\nTimeToFade = 250 ; fade\n\n# colours\n"
                             "EnableFadeWindows = 0\nFutureOption=blue\n\n[Other]\nx=1\nbroken\n";
    PutFile(dir.File("real.ini"), text);
    std::filesystem::create_symlink("real.ini", dir.File("aurivo.ini"));
    CIniSettings ini(dir.File("aurivo.ini"));
    ASSERT_TRUE(ini.Load(error)) << error;
    ini.SetInt("Themes", "EnableFadeWindows", 0); // the value it has: no change, the line stays
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_EQ(GetFile(dir.File("real.ini")), text);

    ini.SetInt("themes", "enablefadewindows", 1);
    ini.SetInt("Themes", "EnableCustomMenus", 2);
    ini.SetInt("THEMES", "enablecustommenus", 0); // the same key: written once
    ini.SetString("New", "k", "v");
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("aurivo.ini")));
    EXPECT_EQ(GetFile(dir.File("real.ini")),
              "; mine\n[Themes]\nTimeToFade = 250 ; fade\n\n# colours\nEnableFadeWindows=1\n"
              "FutureOption=blue\nEnableCustomMenus=0\n\n[Other]\nx=1\nbroken\n\n[New]\nk=v\n");
}

TEST(IniSettings, UnreadableFileGivesNoValuesAndIsNeverOverwritten) {
    CTempFolder dir;
    const std::string big = dir.File("big.ini");
    PutFile(big, "[S]\nk=1\n" + std::string(CIniSettings::kMaxFileBytes, ';'));
    CIniSettings ini(big);
    std::string error;
    EXPECT_FALSE(ini.Load(error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    EXPECT_FALSE(ini.Contains("S", "k"));
    ini.SetInt("Themes", "TimeToFade", 500);
    EXPECT_FALSE(ini.Save(error));
    EXPECT_NE(error.find("could not be read"), std::string::npos) << error;
    EXPECT_EQ(GetFile(big).size(), 8 + CIniSettings::kMaxFileBytes);

    CIniSettings folder(dir.Path());
    EXPECT_FALSE(folder.Load(error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST(IniSettings, DefaultPathFollowsXdgThenHome) {
    const char* saved[] = {std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME")};
    const std::string keep[] = {saved[0] ? saved[0] : "", saved[1] ? saved[1] : ""};
    auto set = [](const char* name, const char* value) {
        value ? setenv(name, value, 1) : unsetenv(name);
    };
    const char* const cases[][3] = {
        {"/cfg", "/home/u", "/cfg/aurivo/aurivo.ini"},
        {nullptr, "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
        {"", "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
        // Relative values are ignored, not resolved against the working folder.
        {"rel/cfg", "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
        {nullptr, nullptr, ""},
        {nullptr, "", ""}};
    for (const auto& [xdg, home, expected] : cases) {
        set("XDG_CONFIG_HOME", xdg);
        set("HOME", home);
        EXPECT_EQ(CIniSettings::DefaultPath(), expected)
            << (xdg ? xdg : "-") << " " << (home ? home : "-");
    }
    set("XDG_CONFIG_HOME", saved[0] ? keep[0].c_str() : nullptr);
    set("HOME", saved[1] ? keep[1].c_str() : nullptr);
}

} // namespace
