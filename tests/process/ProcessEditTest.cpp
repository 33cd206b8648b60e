// Composing a process in the editor, carrying module states across edits by step identity, and
// laying out the panes of a frame.
#include "TestModules.h"

#include "process/DspDoc.h"
#include "process/PaneLayout.h"
#include "process/ProcessSelectDlg.h"

#include "platform/MemorySettings.h"

#include <gtest/gtest.h>

namespace {

using Names = std::list<std::string>;

class ProcessEdit : public testing::Test {
protected:
    CTestApp t;

    // Runs the editor on doc with the given actions, then OK.
    CDspDoc* Edit(CDspDoc* doc, const std::function<void(CProcessSelectDlg&)>& actions) {
        return t.app.OnChangeProcessFlow(doc, [&](CProcessSelectDlg& dlg) {
            actions(dlg);
            std::string message;
            return dlg.OnOK(message);
        });
    }
};

int IndexOf(const std::vector<std::string>& list, const std::string& name) {
    return int(std::find(list.begin(), list.end(), name) - list.begin());
}

TEST_F(ProcessEdit, AvailableModulesFollowTheRegistryOrderAndTheListEndsWithEnd) {
    CDspDoc* doc = t.NewProcess({"SoundIO"});
    CProcessSelectDlg dlg(t.app);
    EXPECT_EQ(dlg.GetAvailable(),
              (std::vector<std::string>{"Signal Generator", "Oscilloscope", "SoundIO"}));
    EXPECT_EQ(dlg.GetModuleList(), (std::vector<std::string>{"SoundIO", "End"}));
    EXPECT_EQ(doc->GetStepIdentities(), (Names{"1"}));
}

TEST_F(ProcessEdit, InsertAtEndTakesTheNextIdentity) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"});
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        dlg.m_availableSel = IndexOf(dlg.GetAvailable(), "Oscilloscope");
        dlg.m_moduleSel = 2; // "End"
        EXPECT_TRUE(dlg.OnInsert());
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepNames(), (Names{"Signal Generator", "SoundIO", "Oscilloscope"}));
    EXPECT_EQ(edited->GetStepIdentities(), (Names{"1", "2", "3"}));
    EXPECT_EQ(edited->GetViewCount(), 3u);
    EXPECT_TRUE(edited->IsModified());
    EXPECT_EQ(t.app.GetCurrentDocument(), edited);
    EXPECT_EQ(t.app.GetDocuments().size(), 1u) << "the old document was closed";
}

TEST_F(ProcessEdit, InsertBeforeASelectedStepAndTheHighestIdentityIsNumeric) {
    t.NewProcess({});
    t.app.m_editorNames = {"SoundIO", "Oscilloscope"};
    t.app.m_editorIds = {"10", "9"};
    CProcessSelectDlg dlg(t.app);
    EXPECT_EQ(dlg.GetHighestIdentity(), 10);
    dlg.m_availableSel = IndexOf(dlg.GetAvailable(), "Signal Generator");
    dlg.m_moduleSel = 1;
    ASSERT_TRUE(dlg.OnInsert());
    EXPECT_EQ(dlg.GetNames(), (Names{"SoundIO", "Signal Generator", "Oscilloscope"}));
    EXPECT_EQ(dlg.GetIdentities(), (Names{"10", "11", "9"}));
}

TEST_F(ProcessEdit, SixStepsIsTheLimit) {
    t.NewProcess({"SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO", "SoundIO"});
    CProcessSelectDlg dlg(t.app);
    EXPECT_FALSE(dlg.OnInsert());
    EXPECT_EQ(dlg.GetNames().size(), 6u);
    ASSERT_EQ(t.sink.Records().size(), 1u);
    EXPECT_NE(t.sink.Records()[0].text.find("Message: Too many modules in process"),
              std::string::npos);
}

TEST_F(ProcessEdit, DeleteRemovesTheSelectedStepButNotEnd) {
    t.NewProcess({"Signal Generator", "SoundIO", "Oscilloscope"});
    CProcessSelectDlg dlg(t.app);
    dlg.m_moduleSel = 3;
    dlg.OnDelete();
    EXPECT_EQ(dlg.GetNames().size(), 3u);
    dlg.m_moduleSel = 1;
    dlg.OnDelete();
    EXPECT_EQ(dlg.GetNames(), (Names{"Signal Generator", "Oscilloscope"}));
    EXPECT_EQ(dlg.GetIdentities(), (Names{"1", "3"}));
    EXPECT_EQ(dlg.m_moduleSel, 1);
}

TEST_F(ProcessEdit, StatesFollowTheirIdentityAcrossEdits) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"});
    std::string message;
    ASSERT_TRUE(doc->GetView(1)->SetControl("Level", "77", message)) << message;
    doc->SetSampleRate(48000.0);
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        dlg.m_availableSel = IndexOf(dlg.GetAvailable(), "Oscilloscope");
        dlg.m_moduleSel = 0;
        dlg.OnInsert();
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepNames(), (Names{"Oscilloscope", "Signal Generator", "SoundIO"}));
    EXPECT_EQ(edited->GetStepIdentities(), (Names{"3", "1", "2"}));
    EXPECT_EQ(ModuleAt(*edited, 2).m_level, 77);
    EXPECT_EQ(ModuleAt(*edited, 1).m_level, 50);
    EXPECT_EQ(ModuleAt(*edited, 0).m_level, 50) << "a new step starts from its defaults";
    EXPECT_EQ(edited->GetSampleRate(), 48000.0);
    EXPECT_EQ(ModuleAt(*edited, 0).GetWorkingList()->GetSampleRate(0), 48000.0);
}

TEST_F(ProcessEdit, AMovedStepGetsANewIdentityAndStartsFromDefaults) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"});
    std::string message;
    ASSERT_TRUE(doc->GetView(0)->SetControl("level", "12", message));
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        dlg.m_moduleSel = 0;
        dlg.OnDelete();
        dlg.m_availableSel = IndexOf(dlg.GetAvailable(), "Signal Generator");
        dlg.m_moduleSel = 1;
        dlg.OnInsert();
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepNames(), (Names{"SoundIO", "Signal Generator"}));
    EXPECT_EQ(edited->GetStepIdentities(), (Names{"2", "3"}));
    EXPECT_EQ(ModuleAt(*edited, 1).m_level, 50);
}

TEST_F(ProcessEdit, ClearingAllStepsGivesTheEmptyProcessView) {
    CDspDoc* doc = t.NewProcess({"Signal Generator", "SoundIO"});
    CDspDoc* edited = Edit(doc, [](CProcessSelectDlg& dlg) {
        dlg.OnClearAll();
        EXPECT_EQ(dlg.GetModuleList(), (std::vector<std::string>{"End"}));
    });
    ASSERT_TRUE(edited);
    EXPECT_EQ(edited->GetStepCount(), 0);
    ASSERT_EQ(edited->GetViewCount(), 1u);
    EXPECT_EQ(edited->GetProcessDesc(edited->GetView(0)), "Step: 1 No Modules Selected");
    EXPECT_TRUE(edited->OnEditRun());
    EXPECT_EQ(edited->OnIdle(), 1) << "the plain view processes as the base does";
}

TEST_F(ProcessEdit, CancelLeavesTheDocumentAsItWas) {
    CDspDoc* doc = t.NewProcess({"Signal Generator"});
    EXPECT_EQ(t.app.OnChangeProcessFlow(doc,
                                        [](CProcessSelectDlg& dlg) {
                                            dlg.OnClearAll();
                                            return false;
                                        }),
              nullptr);
    ASSERT_EQ(t.app.GetDocuments().size(), 1u);
    EXPECT_EQ(t.app.GetDocuments()[0].get(), doc);
    EXPECT_EQ(doc->GetStepNames(), (Names{"Signal Generator"}));
}

TEST(PaneLayout, RowsOfEqualWidthsOrTheSavedSizes) {
    std::array<CSize, 6> none{};
    auto three = LayoutPanes(3, none, {900, 400});
    EXPECT_TRUE(three.m_splitter);
    EXPECT_EQ(three.m_panes, (std::vector<CSize>{{300, 400}, {300, 400}, {300, 400}}));
    EXPECT_EQ(LayoutPanes(4, none, {1003, 10}).m_panes[3], (CSize{250, 10}));

    std::array<CSize, 6> saved{CSize{100, 50}, CSize{200, 50}, CSize{300, 50}};
    EXPECT_EQ(LayoutPanes(3, saved, {900, 400}).m_panes,
              (std::vector<CSize>{{100, 50}, {200, 50}, {300, 50}}));

    auto one = LayoutPanes(1, saved, {900, 400});
    EXPECT_FALSE(one.m_splitter);
    EXPECT_FALSE(one.m_emptyProcess);
    EXPECT_TRUE(LayoutPanes(0, none, {900, 400}).m_emptyProcess);
    EXPECT_TRUE(LayoutPanes(7, none, {900, 400}).m_emptyProcess);
}

TEST(RecentFiles, CalibrationProcessesAreNeverListedAndFourAreKept) {
    CTestApp t;
    for (const char* p :
         {"/a/Calibration.Process", "/b/CALIBRATION.PROCESS", "/c/x.process", "/d/y.process",
          "/e/z.process", "/f/w.process", "/g/v.process", "/d/y.process"})
        t.app.AddToRecentFileList(p);
    EXPECT_EQ(t.app.GetRecentFiles(), (std::deque<std::string>{"/d/y.process", "/g/v.process",
                                                               "/f/w.process", "/e/z.process"}));
}

// The list outlives the program: kept in the settings store as it changes, read at the start.
TEST(RecentFiles, TheListIsKeptInTheSettingsAcrossRuns) {
    CMemorySettings store;
    store.SetString("Recent File List", "File2", "/old/second.process");
    store.SetString("Recent File List", "File1", "/old/first.process");
    CRecordingMessageSink sink;
    CFixedClock clock{0};
    {
        CDspApp app(TestRegistry(), sink, clock, &store);
        EXPECT_EQ(app.GetRecentFiles(),
                  (std::deque<std::string>{"/old/first.process", "/old/second.process"}));
        app.AddToRecentFileList("/new/a.process");
    }
    EXPECT_EQ(store.GetString("Recent File List", "File1", ""), "/new/a.process");
    EXPECT_EQ(store.GetString("Recent File List", "File3", ""), "/old/second.process");
    CDspApp again(TestRegistry(), sink, clock, &store);
    EXPECT_EQ(
        again.GetRecentFiles(),
        (std::deque<std::string>{"/new/a.process", "/old/first.process", "/old/second.process"}));
}

} // namespace
