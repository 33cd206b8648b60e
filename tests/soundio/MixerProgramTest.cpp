// The external mixer program: a process file never starts one (it names a folder, a program and
// a window class that says the mixer was open); only the user's click or answer does, and then
// only the program of that bare name on the search path. A program that cannot run here leaves
// the button as it was.
#include "common/ModuleProcess.h"
#include "soundio/SoundIOView.h"
#include "common/MixerProcessFile.h"
#include "common/TempFolder.h"
#include "platform/OpenFileDialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;

const char* kReopenMissing = "Cannot Find SoundIO Audio Mixer Executable File\n Select Another "
                             "Mixer From SoundIO Mixer Select Button";

/** A folder "x" holding the program "evil", which leaves a marker file when it runs and then
 *  stays open; an empty folder "none"; and a process file naming x/evil as an open mixer. */
struct CMixerFixture : testing::Test {
    CTempFolder temp;
    std::string programs = temp.File("x");
    std::string none = temp.File("none");
    std::string marker = temp.File("marker");
    std::string process = temp.File("mixer.process");

    void SetUp() override {
        fs::create_directories(programs);
        fs::create_directories(none);
        // The search path of the tests holds only these folders: the script needs no other.
        WriteScript(programs + "/evil",
                    ": > '" + marker + "'\nexec " + FindExecutable("sleep") + " 30");
        ASSERT_TRUE(WriteMixerProcess(process, none, programs, "evil", "evil"));
    }
    /** The marker appears within a second of a start. */
    bool Started() const {
        for (int i = 0; i < 100 && !fs::exists(marker); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        return fs::exists(marker);
    }
    /** A Yes that found no program on the search path: nothing started, and it says so after
     *  the question. */
    static void ExpectNothingStarted(CModuleProcess& t, bool started) {
        EXPECT_FALSE(started);
        const auto messages = t.TakeShown();
        ASSERT_EQ(messages.size(), 2u);
        EXPECT_NE(messages[1].find(kReopenMissing), std::string::npos) << messages[1];
    }
};

std::string ButtonText(CDspDoc& doc) {
    const CControlModel& controls = doc.GetView(1)->GetControls();
    return controls.GetState(size_t(controls.Find("openmixer"))).text;
}

TEST_F(CMixerFixture, AHeadlessOpenRunAndSaveStartNothingAndKeepTheStoredTexts) {
    // Even with the program on the search path: no person was asked.
    CPathGuard path(programs);
    CModuleProcess t;
    ASSERT_TRUE(t.Open(process));
    EXPECT_EQ(t.Session().Run(3), 3);
    EXPECT_FALSE(Started());
    EXPECT_EQ(ButtonText(t.Session().Document()), "Open Mixer");
    EXPECT_TRUE(t.Session().GetMessages().empty());
    // The file's texts go back as they came.
    const std::string copy = temp.File("copy.process");
    ASSERT_TRUE(t.Save(copy));
    EXPECT_TRUE(FindOnce(ReadAllBytes(copy), MixerTexts(programs, "evil", "evil")));
}

TEST_F(CMixerFixture, TheDesktopAsksAndAnsweringNoStartsNothing) {
    CPathGuard path(programs);
    CModuleProcess t;
    t.App().Hooks().userPresent = true;
    CDspDoc* doc = t.Open(process);
    ASSERT_TRUE(doc);
    ASSERT_EQ(t.Sink().Records().size(), 1u);
    EXPECT_EQ(t.Sink().Records()[0].style, MB_YESNO);
    EXPECT_NE(t.Sink().Records()[0].message.find("\"evil\""), std::string::npos);
    EXPECT_EQ(t.Sink().Records()[0].answer, IDNO);
    // Refreshes and runs later do not ask again.
    EXPECT_TRUE(t.Run(2));
    EXPECT_EQ(t.Sink().Records().size(), 1u);
    EXPECT_FALSE(Started());
    EXPECT_EQ(ButtonText(*doc), "Open Mixer");
}

TEST_F(CMixerFixture, AYesStartsTheProgramOfThatNameOnTheSearchPathNeverTheStoredFolder) {
    CModuleProcess t;
    t.App().Hooks().userPresent = true;
    {
        // Not on the search path: the stored folder is not tried.
        CPathGuard path(none);
        t.Sink().QueueAnswer(IDYES);
        CDspDoc* doc = t.Open(process);
        ASSERT_TRUE(doc);
        ExpectNothingStarted(t, Started());
        EXPECT_EQ(ButtonText(*doc), "Open Mixer");
        t.App().CloseDocument(doc);
    }
    CPathGuard path(programs);
    t.Sink().QueueAnswer(IDYES);
    CDspDoc* doc = t.Open(process);
    ASSERT_TRUE(doc);
    EXPECT_TRUE(Started());
    EXPECT_EQ(ButtonText(*doc), "Close Mixer");
    // The second press closes it.
    t.Set({"2:openmixer="});
    EXPECT_EQ(ButtonText(*doc), "Open Mixer");
}

TEST_F(CMixerFixture, AStoredNameHoldingAFolderIsRefusedEvenWithAYes) {
    const std::string named = temp.File("named.process");
    ASSERT_TRUE(WriteMixerProcess(named, none, "", programs + "/evil", "evil"));
    CPathGuard path(programs);
    CModuleProcess t;
    t.App().Hooks().userPresent = true;
    t.Sink().QueueAnswer(IDYES);
    CDspDoc* doc = t.Open(named);
    ASSERT_TRUE(doc);
    ExpectNothingStarted(t, Started());
}

struct CPickedFile final : IFileDialog, IOpenFileDialog {
    std::string path;
    std::optional<std::string> AskSavePath(const std::string&, const std::string&,
                                           const std::string&, const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> AskOpenPath(const std::string&, const std::string&,
                                           const std::string&, const std::string&) override {
        return path;
    }
};

/** A new process whose SoundIO step was given `program` through "Mixer Select". */
CDspDoc* WithChosenMixer(CModuleProcess& t, CPickedFile& dialog, const std::string& program) {
    t.App().SetFileDialog(&dialog);
    CDspDoc* doc = t.Create({"Signal Generator", "SoundIO"}, 256, 48000);
    dialog.path = program;
    if (doc) t.Set({"2:mixerselect="});
    return doc;
}

TEST_F(CMixerFixture, OpenMixerLooksTheChosenProgramUpByNameOnTheSearchPath) {
    CPathGuard path(none);
    CModuleProcess t;
    CPickedFile dialog;
    CDspDoc* doc = WithChosenMixer(t, dialog, programs + "/evil");
    ASSERT_TRUE(doc);
    t.Set({"2:openmixer="});
    EXPECT_FALSE(Started());
    const auto messages = t.TakeShown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("Could Not Find Mixer Executable File"), std::string::npos);
    EXPECT_EQ(ButtonText(*doc), "Open Mixer");
}

TEST_F(CMixerFixture, AMixerThatEndsAtOnceLeavesOpenMixerAndSaysWhy) {
    WriteScript(programs + "/nodisplay", "exit 3");
    CPathGuard path(programs);
    CModuleProcess t;
    CPickedFile dialog;
    CDspDoc* doc = WithChosenMixer(t, dialog, programs + "/nodisplay");
    ASSERT_TRUE(doc);
    t.Set({"2:openmixer="});
    EXPECT_EQ(ButtonText(*doc), "Open Mixer");
    EXPECT_FALSE(t.Step<CSoundIOView>(2).HasMixerWindow());
    const auto messages = t.TakeShown();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("nodisplay ended at once with exit status 3"), std::string::npos)
        << messages[0];
}

// A mixer that fails after its first second (a window it could not open) turns the button back
// to "Open Mixer", and the next press starts it anew instead of closing nothing.
TEST_F(CMixerFixture, AMixerThatEndsLaterTurnsTheButtonBackToOpenMixer) {
    WriteScript(programs + "/late", FindExecutable("sleep") + " 0.6\nexit 1");
    CPathGuard path(programs);
    CModuleProcess t;
    CPickedFile dialog;
    CDspDoc* doc = WithChosenMixer(t, dialog, programs + "/late");
    ASSERT_TRUE(doc);
    const auto& soundIO = t.Step<CSoundIOView>(2);
    t.Set({"2:openmixer="});
    EXPECT_EQ(ButtonText(*doc), "Close Mixer");
    for (int i = 0; i < 300 && soundIO.HasMixerWindow(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(soundIO.HasMixerWindow());
    t.Set({"2:openmixer="});
    EXPECT_TRUE(soundIO.HasMixerWindow());
    EXPECT_EQ(ButtonText(*doc), "Close Mixer");
    EXPECT_TRUE(t.TakeShown().empty());
}

TEST(ExternalProgram, OnlyBareNamesInAbsoluteSearchFoldersAreFound) {
    CTempFolder temp;
    WriteScript(temp.File("tool"), "exit 0");
    CPathGuard path(":relative:" + temp.Path());
    EXPECT_EQ(FindExecutable("tool"), temp.File("tool"));
    EXPECT_EQ(FindExecutable(temp.File("tool")), "");
    EXPECT_EQ(FindExecutable("./tool"), "");
    const fs::path here = fs::current_path();
    fs::current_path(temp.Path());
    {
        // The current folder (an empty or relative entry) is not searched.
        CPathGuard local(":.:relative");
        EXPECT_EQ(FindExecutable("tool"), "");
    }
    fs::current_path(here);
}

} // namespace
