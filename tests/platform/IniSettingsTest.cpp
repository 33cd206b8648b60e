#include "platform/IniSettings.h"

#include "common/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <optional>

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

TEST(IniSettings, ReadsSectionsAndKeys) {
    CIniSettings ini("");
    const int skipped = ini.ParseText("; comment\n"
                                      "[Themes]\n"
                                      "TimeToFade=250\n"
                                      "  EnableFadeWindows = 0  \n"
                                      "\n"
                                      "# another comment\n"
                                      "[Sounds]\n"
                                      "SystemDefault=.Default,,\n"
                                      "Empty=\n"
                                      "Eq=a=b\n");
    EXPECT_EQ(skipped, 0);
    EXPECT_EQ(ini.GetInt("Themes", "TimeToFade", -1), 250);
    EXPECT_EQ(ini.GetInt("Themes", "EnableFadeWindows", -1), 0);
    EXPECT_EQ(ini.GetString("Sounds", "SystemDefault", "x"), ".Default,,");
    EXPECT_EQ(ini.GetString("Sounds", "Empty", "x"), "");
    EXPECT_EQ(ini.GetString("Sounds", "Eq", "x"), "a=b");
    EXPECT_EQ(ini.GetString("Sounds", "Missing", "x"), "x");
    EXPECT_EQ(ini.GetInt("Missing", "TimeToFade", 17), 17);
    // Names match regardless of letter case, as in hand-edited profile files.
    EXPECT_EQ(ini.GetInt("themes", "timetofade", -1), 250);
}

TEST(IniSettings, CrLfLineEndsAndLaterDuplicatesWin) {
    CIniSettings ini("");
    EXPECT_EQ(ini.ParseText("[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nK=3\r\nm=4"), 0);
    EXPECT_EQ(ini.GetInt("A", "k", 0), 3);
    EXPECT_EQ(ini.GetInt("B", "k", 0), 2);
    EXPECT_EQ(ini.GetInt("A", "m", 0), 4);
    EXPECT_EQ(ini.FormatText(), "[A]\r\nk=1\r\n[B]\r\nk=2\r\n[a]\r\nK=3\r\nm=4\n");
    ini.SetInt("a", "K", 5);
    EXPECT_EQ(ini.FormatText(), "[A]\r\nk=5\r\n[B]\r\nk=2\r\n[a]\r\nK=5\r\nm=4\n");
}

struct CMalformedCase {
    const char* name;
    const char* text;
    int skipped;
};

class IniMalformed : public testing::TestWithParam<CMalformedCase> {};

// Lines the program cannot read hold no values, but they are the user's and are written back.
TEST_P(IniMalformed, BadLinesHoldNoValuesAndAreKept) {
    CIniSettings ini("");
    EXPECT_EQ(ini.ParseText(GetParam().text), GetParam().skipped);
    EXPECT_FALSE(ini.Contains("S", "z"));
    EXPECT_EQ(ini.FormatText(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniMalformed,
    testing::Values(CMalformedCase{"KeyBeforeSection", "z=1\n[S]\nb=2\n", 1},
                    CMalformedCase{"NoEquals", "[S]\njunk line\nb=2\n", 1},
                    CMalformedCase{"EmptyKey", "[S]\n=5\n  = 6\nb=2\n", 2},
                    // Keys under a broken header must not land in the section before it.
                    CMalformedCase{"UnclosedHeader", "[S]\na=1\n[T\nz=2\n[U]\nc=3\n", 2},
                    CMalformedCase{"EmptyHeader", "[S]\n[ ]\nz=2\n[U]\nc=3\n", 2},
                    CMalformedCase{"BinaryNoise", "[S]\n\x01\x02\xff\na=1\n", 1},
                    CMalformedCase{"OnlyGarbage", "{{{\n}}}\n", 2}),
    [](const auto& info) { return std::string(info.param.name); });

struct CIntCase {
    const char* stored;
    std::optional<int> value; // none: the default is returned
};

class IniIntegers : public testing::TestWithParam<CIntCase> {};

TEST_P(IniIntegers, OnlyWholeNumbersAreNumbers) {
    CMemorySettings store;
    store.SetString("S", "k", GetParam().stored);
    EXPECT_EQ(store.GetInt("S", "k", -999), GetParam().value.value_or(-999));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniIntegers,
    testing::Values(CIntCase{"42", 42}, CIntCase{" 42 ", 42}, CIntCase{"+7", 7}, CIntCase{"-3", -3},
                    CIntCase{"2147483647", INT_MAX}, CIntCase{"-2147483648", INT_MIN},
                    CIntCase{"2147483648", std::nullopt}, CIntCase{"12abc", std::nullopt},
                    CIntCase{"1.5", std::nullopt}, CIntCase{"", std::nullopt},
                    CIntCase{"0x10", std::nullopt}, CIntCase{"+-1", std::nullopt}));

TEST(IniSettings, SaveCreatesFolderAndWritesExactText) {
    CTempFolder dir;
    const std::string path = dir.File("config/aurivo/aurivo.ini");
    CIniSettings ini(path);
    ini.SetInt("Themes", "TimeToFade", 500);
    ini.SetString("Sounds", "SystemDefault", ",Default");
    ini.SetInt("Themes", "EnableFadeWindows", -1);
    std::string error;
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_EQ(
        ReadText(path),
        "[Themes]\nTimeToFade=500\nEnableFadeWindows=-1\n\n[Sounds]\nSystemDefault=,Default\n");

    CIniSettings again(path);
    ASSERT_TRUE(again.Load(error)) << error;
    EXPECT_EQ(again.GetSkippedLines(), 0);
    EXPECT_EQ(again.GetInt("Themes", "EnableFadeWindows", 0), -1);
    EXPECT_EQ(again.GetString("Sounds", "SystemDefault", ""), ",Default");
    EXPECT_EQ(again.FormatText(), ini.FormatText());
}

TEST(IniSettings, UnknownSectionsAndKeysSurviveASave) {
    CTempFolder dir;
    const std::string path = dir.File("aurivo.ini");
    WriteText(path, "[Themes]\nTimeToFade=250\nFutureOption=blue\n[Plugins]\nPath=/opt/x\n"
                    "broken\n");
    CIniSettings ini(path);
    std::string error;
    ASSERT_TRUE(ini.Load(error)) << error;
    EXPECT_EQ(ini.GetSkippedLines(), 1);
    ini.SetInt("Themes", "TimeToFade", 300);
    ini.SetInt("Themes", "EnableCustomMenus", 0);
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_EQ(ReadText(path), "[Themes]\nTimeToFade=300\nFutureOption=blue\nEnableCustomMenus=0\n"
                              "[Plugins]\nPath=/opt/x\nbroken\n");
}

// A save writes only when a value changed, and then only the lines of the changed values.
TEST(IniSettings, SavesOnlyChangedValuesAndKeepsEveryOtherLine) {
    CTempFolder dir;
    std::string error;
    CIniSettings missing(dir.File("none/aurivo.ini"));
    ASSERT_TRUE(missing.Load(error)) << error;
    ASSERT_TRUE(missing.Save(error)) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("none"))) << "nothing changed, nothing created";

    const std::string text = "; mine\n[Themes]\nTimeToFade = 250 ; fade\n\n# colours\n"
                             "EnableFadeWindows=0\n\n[Other]\nx=1\n";
    WriteText(dir.File("real.ini"), text);
    std::filesystem::create_symlink("real.ini", dir.File("aurivo.ini"));
    CIniSettings ini(dir.File("aurivo.ini"));
    ASSERT_TRUE(ini.Load(error)) << error;
    ini.SetInt("Themes", "EnableFadeWindows", 0); // the value it has: no change
    EXPECT_FALSE(ini.IsChanged());
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_EQ(ReadText(dir.File("real.ini")), text);

    ini.SetInt("themes", "enablefadewindows", 1);
    ini.SetInt("Themes", "EnableCustomMenus", 0);
    ini.SetString("New", "k", "v");
    ASSERT_TRUE(ini.Save(error)) << error;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("aurivo.ini")));
    EXPECT_EQ(ReadText(dir.File("real.ini")),
              "; mine\n[Themes]\nTimeToFade = 250 ; fade\n\n# colours\nEnableFadeWindows=1\n"
              "EnableCustomMenus=0\n\n[Other]\nx=1\n\n[New]\nk=v\n");
    EXPECT_FALSE(ini.IsChanged());
}

TEST(IniSettings, LineBreaksInAValueCannotInjectSections) {
    CIniSettings ini("");
    ini.SetString("S", "k", "x\n[Themes]\nTimeToFade=0");
    CIniSettings reread("");
    EXPECT_EQ(reread.ParseText(ini.FormatText()), 0);
    EXPECT_EQ(reread.GetString("S", "k", ""), "x [Themes] TimeToFade=0");
    EXPECT_EQ(reread.GetInt("Themes", "TimeToFade", 99), 99);
}

TEST(IniSettings, MissingFileLoadsEmpty) {
    CTempFolder dir;
    CIniSettings ini(dir.File("none.ini"));
    ini.SetInt("S", "k", 1);
    std::string error;
    EXPECT_TRUE(ini.Load(error)) << error;
    EXPECT_TRUE(ini.Sections().empty());
}

TEST(IniSettings, UnreadableFileGivesNoValuesAndIsNeverOverwritten) {
    CTempFolder dir;
    const std::string big = dir.File("big.ini");
    WriteText(big, "[S]\nk=1\n" + std::string(CIniSettings::kMaxFileBytes, ';'));
    CIniSettings ini(big);
    std::string error;
    EXPECT_FALSE(ini.Load(error));
    EXPECT_NE(error.find("larger than"), std::string::npos) << error;
    EXPECT_FALSE(ini.Contains("S", "k"));
    ini.SetInt("Themes", "TimeToFade", 500);
    EXPECT_FALSE(ini.Save(error));
    EXPECT_NE(error.find("could not be read"), std::string::npos) << error;
    EXPECT_EQ(ReadText(big).size(), 8 + CIniSettings::kMaxFileBytes);

    CIniSettings folder(dir.Path());
    EXPECT_FALSE(folder.Load(error));
    EXPECT_NE(error.find("not a regular file"), std::string::npos) << error;
}

TEST(IniSettings, FailedSaveKeepsTheOldFile) {
    CTempFolder dir;
    const std::string blocker = dir.File("aurivo");
    WriteText(blocker, "not a folder");
    CIniSettings ini(blocker + "/aurivo.ini");
    ini.SetInt("S", "k", 1);
    std::string error;
    EXPECT_FALSE(ini.Save(error));
    EXPECT_NE(error.find(blocker), std::string::npos) << error;
    EXPECT_EQ(ReadText(blocker), "not a folder");

    CIniSettings nowhere("");
    EXPECT_FALSE(nowhere.Save(error));
    EXPECT_FALSE(nowhere.Load(error));
}

struct CPathCase {
    const char* xdg;  // null: unset
    const char* home; // null: unset
    const char* expected;
};

class IniDefaultPath : public testing::TestWithParam<CPathCase> {
protected:
    void SetUp() override {
        Save("XDG_CONFIG_HOME", m_xdg);
        Save("HOME", m_home);
    }
    void TearDown() override {
        Restore("XDG_CONFIG_HOME", m_xdg);
        Restore("HOME", m_home);
    }
    static void Set(const char* name, const char* value) {
        if (value != nullptr)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }

private:
    static void Save(const char* name, std::optional<std::string>& slot) {
        const char* v = std::getenv(name);
        slot = v != nullptr ? std::optional<std::string>(v) : std::nullopt;
    }
    static void Restore(const char* name, const std::optional<std::string>& slot) {
        Set(name, slot ? slot->c_str() : nullptr);
    }
    std::optional<std::string> m_xdg, m_home;
};

TEST_P(IniDefaultPath, FollowsXdgThenHome) {
    Set("XDG_CONFIG_HOME", GetParam().xdg);
    Set("HOME", GetParam().home);
    EXPECT_EQ(CIniSettings::DefaultPath(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, IniDefaultPath,
    testing::Values(CPathCase{"/cfg", "/home/u", "/cfg/aurivo/aurivo.ini"},
                    CPathCase{nullptr, "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
                    CPathCase{"", "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
                    // Relative values are to be ignored, not resolved against the cwd.
                    CPathCase{"rel/cfg", "/home/u", "/home/u/.config/aurivo/aurivo.ini"},
                    CPathCase{nullptr, nullptr, ""}, CPathCase{nullptr, "", ""}));

} // namespace
