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
#include <tuple>

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
    Place(FIXTURE_OLD, program.Path(), "h_old.so");
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
    const std::string current = std::to_string(kPlugInInterfaceVersion);
    EXPECT_NE(messages.find(program.File("d_future.so") +
                            " is built for interface version 99, this program has version " +
                            current),
              std::string::npos)
        << messages;
    // A library without the version function comes from before it, from version 1.
    EXPECT_NE(messages.find(program.File("h_old.so") +
                            " is built for interface version 1, this program has version " +
                            current),
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
    EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 4) << messages;
}

// An entry point that answers every operation it does not know with some pointer is a valid
// plug-in: nothing it answers is taken for its interface version.
TEST(PlugInSearch, AnEntryPointAnsweringEveryOperationLoads) {
    CTempFolder folder;
    Place(FIXTURE_ANSWER_ALL, folder.Path(), "answers.so");
    CSystemSharedLibraries libraries;
    CPlugInManager manager(libraries);
    std::ostringstream err;
    ASSERT_EQ(manager.FindPlugIns({folder.Path()}, err), 1u);
    CModuleRegistry registry = GetBuiltInModules();
    manager.AddModules(registry, err);
    EXPECT_EQ(ModuleNames(registry), std::vector<std::string>{"Answers Everything"});
    EXPECT_EQ(err.str(), "");
}

// The user of a test run that is not root cannot give a file away.
bool CanChangeOwners() {
    return geteuid() == 0;
}
constexpr uid_t kOtherUser = 4242;

struct CFolderCase {
    const char* name;
    std::function<std::string(CTempFolder&)> prepare; // the folder to search
    const char* message;                              // part of the refusal; empty: silent
    const char* detail = "";                          // a later part of it
    bool changesOwner = false;
};

class PlugInFolderRefused : public testing::TestWithParam<CFolderCase> {};

TEST_P(PlugInFolderRefused, LoadsNothing) {
    const CFolderCase& c = GetParam();
    if (c.changesOwner && !CanChangeOwners()) GTEST_SKIP() << "giving a file away needs root";
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
    const std::string messages = err.str();
    if (*c.message) {
        const size_t at = messages.find(c.message);
        EXPECT_NE(at, std::string::npos) << messages;
        EXPECT_NE(messages.find(c.detail, at), std::string::npos) << messages;
        EXPECT_EQ(std::count(messages.begin(), messages.end(), '\n'), 1) << messages;
    } else {
        EXPECT_EQ(messages, "");
    }
}

// What others may write but cannot use against the plug-ins: a sticky folder above (only an
// entry's owner may rename or replace it there), and a link to a library in a safe folder.
TEST(PlugInFolderAccepted, StickyFolderAboveAndLinkToSafeFolder) {
    CTempFolder folder;
    fs::create_directories(folder.File("shared/plugins"));
    fs::create_directories(folder.File("library"));
    chmod(folder.File("shared").c_str(), 01777);
    Place(FIXTURE_ECHO, folder.File("shared/plugins"), "echo.so");
    Place(FIXTURE_OTHER, folder.File("library"), "other.so");
    Link(folder.File("library/other.so"), folder.File("shared/plugins"), "other.so");
    CSystemSharedLibraries libraries;
    CPlugInManager manager(libraries);
    std::ostringstream err;
    EXPECT_EQ(manager.FindPlugIns({folder.File("shared/plugins")}, err), 2u);
    EXPECT_EQ(err.str(), "");
}

std::string Entry(CTempFolder& f, const std::string& name) {
    return name == "." ? f.Path() : f.File(name);
}

// The folder searched: `name` ("." the folder itself, else a subfolder echo.so is moved into),
// after `entry` (empty: none) was given `mode`.
std::function<std::string(CTempFolder&)> Chmod(std::string name, std::string entry, mode_t mode) {
    return [=](CTempFolder& f) {
        if (name != ".") {
            fs::create_directories(f.File(name));
            fs::rename(f.File("echo.so"), f.File(name + "/echo.so"));
        }
        if (!entry.empty()) chmod(Entry(f, entry).c_str(), mode);
        return Entry(f, name);
    };
}

// The same with `entry` given to another user instead.
std::function<std::string(CTempFolder&)> Chown(std::string name, std::string entry) {
    return [=](CTempFolder& f) {
        const std::string searched = Chmod(name, "", 0)(f);
        EXPECT_EQ(chown(Entry(f, entry).c_str(), kOtherUser, kOtherUser), 0);
        return searched;
    };
}

const CFolderCase kFolderCases[] = {
    {"Empty",
     [](CTempFolder& f) {
         fs::remove(f.File("echo.so"));
         return f.Path();
     },
     ""},
    {"Missing", [](CTempFolder& f) { return f.File("nothing-here"); }, ""},
    {"WorldWritable", Chmod(".", ".", 0777),
     " is writable by every user; no plug-ins are loaded from it"},
    {"WorldWritableLibrary", Chmod(".", "echo.so", 0666),
     "/echo.so is writable by every user; it is not loaded"},
    {"CurrentDirectory",
     [](CTempFolder& f) {
         fs::current_path(f.Path());
         return std::string(".");
     },
     "plug-in folder . is the current directory; no plug-ins are loaded from it"},
    {"GroupWritable", Chmod(".", ".", 0770),
     " is writable by its group; no plug-ins are loaded from it"},
    {"GroupWritableLibrary", Chmod(".", "echo.so", 0664),
     "/echo.so is writable by its group; it is not loaded"},
    {"GroupWritableFolderAbove", Chmod("a/plugins", "a", 0775), "/a/plugins lies in /",
     "which is writable by its group; no plug-ins are loaded from it"},
    {"WorldWritableFolderAbove", Chmod("a/b/plugins", "a", 0777), "/a/b/plugins lies in /",
     "which is writable by every user; no plug-ins are loaded from it"},
    {"LinkedFromGroupWritableFolder",
     [](CTempFolder& f) {
         fs::create_directories(f.File("real/plugins"));
         fs::create_directories(f.File("shared"));
         fs::rename(f.File("echo.so"), f.File("real/plugins/echo.so"));
         fs::create_directory_symlink(f.File("real/plugins"), f.File("shared/plugins"));
         chmod(f.File("shared").c_str(), 0775);
         return f.File("shared/plugins");
     },
     "/shared/plugins lies in /", "/shared, which is writable by its group"},
    {"LinkIntoGroupWritableFolder",
     [](CTempFolder& f) {
         Chmod("shared", "shared", 0775)(f);
         fs::create_directories(f.File("plugins"));
         fs::create_symlink(f.File("shared/echo.so"), f.File("plugins/echo.so"));
         return f.File("plugins");
     },
     "/plugins/echo.so leads to /", "/shared, which is writable by its group; it is not loaded"},
    {"OwnedByAnotherUser", Chown(".", "."),
     " is owned by another user (uid 4242); no plug-ins are loaded from it", "", true},
    {"LibraryOwnedByAnotherUser", Chown(".", "echo.so"),
     "/echo.so is owned by another user (uid 4242); it is not loaded", "", true},
    {"FolderAboveOwnedByAnotherUser", Chown("a/plugins", "a"), "/a/plugins lies in /",
     "which is owned by another user (uid 4242)", true},
};
INSTANTIATE_TEST_SUITE_P(Folders, PlugInFolderRefused, testing::ValuesIn(kFolderCases), CaseName());

const std::vector<std::string> kProgram = {"/opt/aurivo/bin/plugins",
                                           "/opt/aurivo/lib/aurivo/plugins"};
std::vector<std::string> With(const std::string& user) {
    auto folders = kProgram;
    folders.push_back(user);
    return folders;
}

// The program's folders, then the user's from XDG_DATA_HOME (ignored when relative) or HOME.
TEST(PlugInPlaces, ProgramFoldersThenTheUsers) {
    const std::tuple<const char*, const char*, std::vector<std::string>> cases[] = {
        {"/data", "/home/u", With("/data/aurivo/plugins")},
        {nullptr, "/home/u", With("/home/u/.local/share/aurivo/plugins")},
        {"data", "/home/u", With("/home/u/.local/share/aurivo/plugins")},
        {nullptr, "", kProgram}};
    for (const auto& [xdgDataHome, home, expected] : cases)
        EXPECT_EQ(PlugInFolders("/opt/aurivo/bin/aurivo-cli", xdgDataHome, home), expected) << home;
}

} // namespace
