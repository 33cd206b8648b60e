// Finding plug-in libraries: the order, what is skipped and why, and the folders that are
// never searched.
#include "common/CaseName.h"
#include "common/TempFolder.h"

#include "modules/BuiltInModules.h"
#include "process/PlugInManager.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

void Place(const std::string& library, const std::string& folder, const std::string& name) {
    fs::copy_file(library, folder + "/" + name, fs::copy_options::overwrite_existing);
}

// The meter through a link: the loader then maps its one file once, however many tests load it.
void Link(const std::string& library, const std::string& folder, const std::string& name) {
    fs::create_symlink(library, folder + "/" + name);
}

std::vector<std::string> ModuleNames(const CModuleRegistry& registry) {
    std::vector<std::string> names;
    for (const CPlugInModule& p : registry.GetPlugIns())
        names.push_back(p.name);
    return names;
}

TEST(PlugInSearch, LoadsInFolderAndNameOrderAndSkipsWhatCannotServe) {
    CTempFolder program, user;
    Place(FIXTURE_ECHO, program.Path(), "a_echo.so");
    Place(FIXTURE_NO_ENTRY, program.Path(), "b_no_entry.so");
    std::ofstream(program.File("c_broken.so")) << "not a library";
    Place(FIXTURE_FUTURE, program.Path(), "d_future.so");
    Place(FIXTURE_ECHO, program.Path(), "e_echo_again.so");
    Place(FIXTURE_SCOPE, program.Path(), "f_scope.so");
    Link(SPLMETER_LIBRARY, program.Path(), "g_meter.so");
    Place(FIXTURE_OTHER, program.Path(), "meter.so.txt");
    Place(FIXTURE_OTHER, user.Path(), "0_other.so");
    const fs::path cwd = fs::current_path();

    CSystemSharedLibraries libraries;
    CPlugInManager manager(libraries);
    std::ostringstream err;
    // The user's folder comes after the program's whatever the file names.
    EXPECT_EQ(manager.FindPlugIns({program.Path(), user.Path()}, err), 6u);
    std::vector<std::string> loaded;
    for (size_t i = 0; i < manager.GetPlugInCount(); ++i)
        loaded.push_back(fs::path(manager.GetPlugInPath(i)).filename().string());
    EXPECT_EQ(loaded, (std::vector<std::string>{"a_echo.so", "b_no_entry.so", "e_echo_again.so",
                                                "f_scope.so", "g_meter.so", "0_other.so"}));

    CModuleRegistry registry = GetBuiltInModules();
    manager.AddModules(registry, err);
    EXPECT_EQ(ModuleNames(registry), (std::vector<std::string>{"Echo", "SPL Meter", "Other"}));
    EXPECT_EQ(registry.GetNames(), GetBuiltInModules().GetNames());
    EXPECT_EQ(fs::current_path(), cwd);

    const std::string messages = err.str();
    EXPECT_NE(messages.find(program.File("d_future.so") +
                            " is built for interface version 99, this program has version 1"),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find(program.File("e_echo_again.so") +
                            " is skipped: its module name \"Echo\" is already used by " +
                            program.File("a_echo.so")),
              std::string::npos)
        << messages;
    EXPECT_NE(messages.find(program.File("f_scope.so") +
                            " is skipped: its module name \"Oscilloscope\" is already used by "
                            "the program's built-in modules"),
              std::string::npos)
        << messages;
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 3) << messages;
}

struct CFolderCase {
    const char* name;
    std::function<std::string(CTempFolder&)> prepare; // the folder to search
    const char* message;                              // part of the refusal; empty: silent
};

class PlugInFolderRefused : public testing::TestWithParam<CFolderCase> {};

TEST_P(PlugInFolderRefused, LoadsNothing) {
    const CFolderCase& c = GetParam();
    CTempFolder folder;
    Place(FIXTURE_ECHO, folder.Path(), "echo.so");
    const fs::path cwd = fs::current_path();
    const std::string searched = c.prepare(folder);
    const fs::path before = fs::current_path();
    CSystemSharedLibraries libraries;
    CPlugInManager manager(libraries);
    std::ostringstream err;
    EXPECT_EQ(manager.FindPlugIns({searched}, err), 0u);
    EXPECT_EQ(fs::current_path(), before);
    fs::current_path(cwd);
    if (*c.message)
        EXPECT_NE(err.str().find(c.message), std::string::npos) << err.str();
    else
        EXPECT_EQ(err.str(), "");
}

const CFolderCase kFolderCases[] = {
    {"Empty",
     [](CTempFolder& f) {
         fs::remove(f.File("echo.so"));
         return f.Path();
     },
     ""},
    {"Missing", [](CTempFolder& f) { return f.File("nothing-here"); }, ""},
    {"WorldWritable",
     [](CTempFolder& f) {
         chmod(f.Path().c_str(), 0777);
         return f.Path();
     },
     " is writable by every user; no plug-ins are loaded from it"},
    {"WorldWritableLibrary",
     [](CTempFolder& f) {
         chmod(f.File("echo.so").c_str(), 0666);
         return f.Path();
     },
     "/echo.so is writable by every user; it is not loaded"},
    {"CurrentDirectory",
     [](CTempFolder& f) {
         fs::current_path(f.Path());
         return std::string(".");
     },
     "plug-in folder . is the current directory; no plug-ins are loaded from it"},
};
INSTANTIATE_TEST_SUITE_P(Folders, PlugInFolderRefused, testing::ValuesIn(kFolderCases), CaseName());

struct CPlacesCase {
    const char* name;
    const char* xdgDataHome;
    const char* home;
    std::vector<std::string> expected;
};

class PlugInPlaces : public testing::TestWithParam<CPlacesCase> {};

TEST_P(PlugInPlaces, ProgramFoldersThenTheUsers) {
    const CPlacesCase& c = GetParam();
    EXPECT_EQ(PlugInFolders("/opt/aurivo/bin/aurivo-cli", c.xdgDataHome, c.home), c.expected);
}

const std::vector<std::string> kProgram = {"/opt/aurivo/bin/plugins",
                                           "/opt/aurivo/lib/aurivo/plugins"};
std::vector<std::string> With(const std::string& user) {
    auto folders = kProgram;
    folders.push_back(user);
    return folders;
}
const CPlacesCase kPlacesCases[] = {
    {"XdgDataHome", "/data", "/home/u", With("/data/aurivo/plugins")},
    {"HomeWithoutXdg", nullptr, "/home/u", With("/home/u/.local/share/aurivo/plugins")},
    {"RelativeXdgIgnored", "data", "/home/u", With("/home/u/.local/share/aurivo/plugins")},
    {"NoUser", nullptr, "", kProgram},
};
INSTANTIATE_TEST_SUITE_P(Places, PlugInPlaces, testing::ValuesIn(kPlacesCases), CaseName());

} // namespace
