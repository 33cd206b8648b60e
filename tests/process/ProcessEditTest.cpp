// Composing a process in the editor, carrying module states across edits by step identity,
// laying out the panes of a frame and the recent-file list.
#include "common/TestModules.h"

#include "process/DspDoc.h"
#include "process/PaneLayout.h"
#include "process/ProcessSelectDlg.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace {

using Names = std::list<std::string>;

class ProcessEdit : public testing::Test {
protected:
    CModuleProcess t{TestRegistry()};

    // Runs the editor on doc with the given actions, then OK.
    CDspDoc* Edit(CDspDoc* doc, const std::function<void(CProcessSelectDlg&)>& actions) {
        return t.App().OnChangeProcessFlow(doc, [&](CProcessSelectDlg& dlg) {
            actions(dlg);
            std::string message;
            return dlg.OnOK(message);
        });
    }
    static void Insert(CProcessSelectDlg& dlg, const std::string& name, int before) {
        const auto& available = dlg.GetAvailable();
        dlg.m_availableSel =
            int(std::find(available.begin(), available.end(), name) - available.begin());
        dlg.m_moduleSel = before;
        EXPECT_TRUE(dlg.OnInsert()) << name;
    }
};

TEST_F(ProcessEdit, InsertTakesTheNextIdentityAndStatesFollowTheirIdentity) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    std::string message;
    ASSERT_TRUE(doc->GetView(1)->SetControl("Level", "77", message)) << message;
    doc->SetSampleRate(48000.0);
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        EXPECT_EQ(dlg.GetAvailable(),
                  (std::vector<std::string>{"Signal Generator", "Oscilloscope", "SoundIO"}));
        EXPECT_EQ(dlg.GetModuleList(),
                  (std::vector<std::string>{"Signal Generator", "SoundIO", "End"}));
        Insert(dlg, "Oscilloscope", 0);
        Insert(dlg, "SoundIO", 3); // before "End"
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepNames(),
              (Names{"Oscilloscope", "Signal Generator", "SoundIO", "SoundIO"}));
    EXPECT_EQ(edited->GetStepIdentities(), (Names{"3", "1", "2", "4"}));
    EXPECT_EQ(ModuleAt(*edited, 2).m_level, 77);
    EXPECT_EQ(ModuleAt(*edited, 0).m_level, 50) << "a new step starts from its defaults";
    EXPECT_EQ(ModuleAt(*edited, 0).GetWorkingList()->GetSampleRate(0), 48000.0);
    EXPECT_TRUE(edited->IsModified());
    EXPECT_EQ(t.App().GetCurrentDocument(), edited);
    EXPECT_EQ(t.App().GetDocuments().size(), 1u) << "the old document was closed";
}

TEST_F(ProcessEdit, TheHighestIdentityIsNumericAndSixStepsIsTheLimit) {
    NewTestProcess(t, {});
    CProcessSelectDlg dlg(t.App(), {"SoundIO", "Oscilloscope", "SoundIO", "SoundIO", "SoundIO"},
                          {"10", "9", "1", "2", "3"});
    EXPECT_EQ(dlg.GetHighestIdentity(), 10);
    Insert(dlg, "Signal Generator", 1);
    EXPECT_EQ(dlg.GetIdentities(), (Names{"10", "11", "9", "1", "2", "3"}));
    EXPECT_FALSE(dlg.OnInsert());
    EXPECT_EQ(dlg.GetNames().size(), 6u);
    EXPECT_EQ(t.Session().GetMessages(), std::vector<std::string>{"Too many modules in process"});
}

TEST_F(ProcessEdit, AMovedStepGetsANewIdentityAndDeleteNeverRemovesEnd) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator", "SoundIO"});
    std::string message;
    ASSERT_TRUE(doc->GetView(0)->SetControl("level", "12", message));
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        dlg.m_moduleSel = 2; // "End"
        dlg.OnDelete();
        EXPECT_EQ(dlg.GetNames().size(), 2u);
        dlg.m_moduleSel = 0;
        dlg.OnDelete();
        Insert(dlg, "Signal Generator", 1);
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepNames(), (Names{"SoundIO", "Signal Generator"}));
    EXPECT_EQ(edited->GetStepIdentities(), (Names{"2", "3"}));
    EXPECT_EQ(ModuleAt(*edited, 1).m_level, 50);
}

TEST_F(ProcessEdit, ClearingAllStepsGivesTheEmptyProcessViewAndCancelChangesNothing) {
    CDspDoc* doc = NewTestProcess(t, {"Signal Generator"});
    EXPECT_EQ(t.App().OnChangeProcessFlow(doc,
                                          [](CProcessSelectDlg& dlg) {
                                              dlg.OnClearAll();
                                              return false;
                                          }),
              nullptr);
    ASSERT_EQ(t.App().GetDocuments().size(), 1u);
    EXPECT_EQ(doc->GetStepNames(), (Names{"Signal Generator"}));
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) { dlg.OnClearAll(); });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepCount(), 0);
    ASSERT_EQ(edited->GetViewCount(), 1u);
    EXPECT_EQ(edited->GetProcessDesc(edited->GetView(0)), "Step: 1 No Modules Selected");
    EXPECT_EQ(edited->GetView(0)->GetProcessStepNumber(), 0);
    EXPECT_TRUE(edited->OnEditRun());
    EXPECT_TRUE(t.Slice()) << "the plain view processes as the base does";
}

// One row of equal widths, or the sizes saved with the file; no splitter for one step, the empty
// process view for none or more than six.
TEST(PaneLayout, RowsOfEqualWidthsOrTheSavedSizes) {
    std::array<CSize, 6> none{}, saved{CSize{100, 50}, CSize{200, 50}, CSize{300, 50}};
    EXPECT_EQ(LayoutPanes(3, none, {900, 400}).m_panes,
              (std::vector<CSize>{{300, 400}, {300, 400}, {300, 400}}));
    EXPECT_EQ(LayoutPanes(4, none, {1003, 10}).m_panes[3], (CSize{250, 10}));
    EXPECT_EQ(LayoutPanes(3, saved, {900, 400}).m_panes[2], (CSize{300, 50}));
    EXPECT_TRUE(LayoutPanes(2, saved, {900, 400}).m_splitter);
    EXPECT_FALSE(LayoutPanes(1, saved, {900, 400}).m_splitter);
    EXPECT_FALSE(LayoutPanes(1, saved, {900, 400}).m_emptyProcess);
    EXPECT_TRUE(LayoutPanes(0, none, {900, 400}).m_emptyProcess);
    EXPECT_TRUE(LayoutPanes(7, none, {900, 400}).m_emptyProcess);
}

// The list outlives the program: kept in the settings store as it changes, read at the start.
// Calibration processes are never listed; four are kept.
TEST(RecentFiles, TheListIsKeptInTheSettingsAcrossRuns) {
    CMemorySettings store;
    store.SetString("Recent File List", "File2", "/old/second.process");
    store.SetString("Recent File List", "File1", "/old/first.process");
    {
        CModuleProcess t(TestRegistry(), &store);
        EXPECT_EQ(t.App().GetRecentFiles(),
                  (std::deque<std::string>{"/old/first.process", "/old/second.process"}));
        for (const char* p : {"/a/Calibration.Process", "/b/CALIBRATION.PROCESS", "/c/x.process",
                              "/d/y.process", "/e/z.process", "/c/x.process"})
            t.App().AddToRecentFileList(p);
        EXPECT_EQ(t.App().GetRecentFiles(),
                  (std::deque<std::string>{"/c/x.process", "/e/z.process", "/d/y.process",
                                           "/old/first.process"}));
    }
    EXPECT_EQ(store.GetString("Recent File List", "File1", ""), "/c/x.process");
    CModuleProcess again(TestRegistry(), &store);
    EXPECT_EQ(again.App().GetRecentFiles().back(), "/old/first.process");
}

} // namespace
