// The desktop application driven through its real widgets, offscreen.
#include "QtAppFixture.h"

#include "DocumentFrame.h"
#include "ModulePane.h"
#include "ProcessSelectDialog.h"
#include "common/MixerProcessFile.h"
#include "common/TempFolder.h"

#include <QAction>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QScreen>
#include <QSplitter>
#include <QTest>

#include <map>
#include <thread>

namespace {

// Composes a process through the real editor dialog: the modules by name, then OK.
void ComposeProcess(CMainWindow& window, const std::vector<QString>& modules) {
    WithNextModal(
        [&](QWidget* modal) {
            auto* dialog = qobject_cast<CProcessSelectDialog*>(modal);
            ASSERT_TRUE(dialog);
            for (const QString& name : modules) {
                const auto found = dialog->Available()->findItems(name, Qt::MatchExactly);
                ASSERT_EQ(found.size(), 1) << name.toStdString();
                dialog->Available()->setCurrentItem(found[0]);
                dialog->Modules()->setCurrentRow(dialog->Modules()->count() - 1); // "End"
                dialog->Insert();
            }
            dialog->accept();
        },
        [&] { window.Action("optionsProcess")->trigger(); });
}

class MainWindowTest : public GuiTest {};

// A new window, and one a process file moves to a placement saved on a larger screen, stays
// within the screen.
TEST_F(MainWindowTest, TheWindowStaysWithinTheScreen) {
    const QRect screen = window->screen()->availableGeometry();
    window->OnFileNew();
    window->ActiveFrame()->MoveMainWindow(CRect{-50, 10, 4000, 3000});
    EXPECT_TRUE(screen.contains(window->geometry())) << window->width() << "x" << window->height();
    window.reset(); // a window's hooks are the application's only while it lives
    CMainWindow fresh(*app);
    EXPECT_LE(fresh.width(), screen.width());
    EXPECT_LE(fresh.height(), screen.height());
}

TEST_F(MainWindowTest, TheEditorBuildsAFrameWithOnePanePerStepInEqualWidths) {
    window->OnFileNew();
    ASSERT_EQ(window->MdiArea()->subWindowList().size(), 1);
    const std::string title = window->ActiveDocument()->GetTitle();
    ComposeProcess(*window, {"Signal Generator", "SoundIO", "Oscilloscope"});
    ASSERT_EQ(window->MdiArea()->subWindowList().size(), 1) << "the old frame was replaced";
    CDocumentFrame* frame = window->ActiveFrame();
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame->Document().GetTitle(), title) << "an untitled process keeps its name";
    ASSERT_EQ(frame->Panes().size(), 3u);
    auto* row = qobject_cast<QSplitter*>(frame->Panes()[0]->parentWidget());
    ASSERT_TRUE(row);
    const QList<int> sizes = row->sizes();
    ASSERT_EQ(sizes.size(), 3);
    EXPECT_LE(std::max({sizes[0], sizes[1], sizes[2]}) - std::min({sizes[0], sizes[1], sizes[2]}),
              2);
    EXPECT_EQ(frame->Document().GetStepNames(),
              (std::list<std::string>{"Signal Generator", "SoundIO", "Oscilloscope"}));
}

// The Window menu lists the open documents by title, the active one checked, and switches.
TEST_F(MainWindowTest, TheWindowMenuListsTheDocumentsAndSwitchesBetweenThem) {
    window->OnFileNew();
    window->OnFileNew();
    auto* menu = window->findChild<QMenu*>("windowMenu");
    ASSERT_TRUE(menu);
    emit menu->aboutToShow();
    QList<QAction*> documents;
    for (QAction* a : menu->actions())
        if (a->isCheckable()) documents << a;
    const QList<QMdiSubWindow*> subs = window->MdiArea()->subWindowList();
    ASSERT_EQ(documents.size(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(documents[i]->text().endsWith(" " + subs[i]->windowTitle()));
        EXPECT_EQ(documents[i]->isChecked(), subs[i] == window->MdiArea()->activeSubWindow());
    }
    ASSERT_NE(window->MdiArea()->activeSubWindow(), subs[0]);
    documents[0]->trigger();
    EXPECT_EQ(window->MdiArea()->activeSubWindow(), subs[0]);
}

// A key does one thing: no two commands share a shortcut, and running has its keys. With two
// processes open, so that the frames' own menus count too (an ambiguous Ctrl+W did nothing).
TEST_F(MainWindowTest, EveryShortcutBelongsToOneCommand) {
    window->OnFileNew();
    window->OnFileNew();
    ASSERT_EQ(window->MdiArea()->subWindowList().size(), 2);
    std::map<QString, QString> owner;
    for (QAction* a : window->findChildren<QAction*>())
        for (const QKeySequence& key : a->shortcuts())
            EXPECT_TRUE(owner.emplace(key.toString(), a->objectName()).second)
                << key.toString().toStdString() << ": " << a->objectName().toStdString() << " and "
                << owner[key.toString()].toStdString();
    for (const char* name : {"run", "pause", "stop", "fileClose", "fileSaveAs"})
        EXPECT_FALSE(window->Action(name)->shortcut().isEmpty()) << name;
    // The keys reach the window as a person types them: each closes the active process.
    window->activateWindow();
    QApplication::processEvents();
    for (const QKeyCombination key : {Qt::CTRL | Qt::Key_W, Qt::CTRL | Qt::Key_F4}) {
        const size_t open = app->GetDocuments().size();
        QTest::keyClick(window->MdiArea()->activeSubWindow()->widget(), key.key(),
                        key.keyboardModifiers());
        QApplication::processEvents();
        EXPECT_EQ(app->GetDocuments().size(), open - 1)
            << QKeySequence(key).toString().toStdString();
    }
}

TEST_F(MainWindowTest, SaveAsAndReopenKeepEveryPanesSettings) {
    struct CFixedDialog : IFileDialog {
        std::string path;
        std::optional<std::string> AskSavePath(const std::string&, const std::string&,
                                               const std::string&, const std::string&) override {
            return path;
        }
    } dialog;
    CTempFolder temp;
    dialog.path = temp.File("saved.process");

    ComposeProcess(*window, {"Signal Generator", "Oscilloscope"});
    CDspDoc& doc = window->ActiveFrame()->Document();
    std::string message;
    ASSERT_TRUE(doc.GetView(1)->SetControl("Level", "64", message)) << message;
    app->SetFileDialog(&dialog);
    window->Action("fileSaveAs")->trigger();
    EXPECT_EQ(doc.GetPathName(), dialog.path);
    EXPECT_FALSE(doc.IsModified());

    app->CloseDocument(&doc);
    EXPECT_TRUE(window->MdiArea()->subWindowList().isEmpty());
    ASSERT_TRUE(window->OpenFile(QString::fromStdString(dialog.path)));
    window->ProcessIdle(1); // the rebuild happens at the next idle call
    CDocumentFrame* frame = window->ActiveFrame();
    ASSERT_TRUE(frame);
    ASSERT_EQ(frame->Panes().size(), 2u);
    EXPECT_EQ(ModuleAt(frame->Document(), 1).m_level, 64);
    EXPECT_EQ(frame->Document().GetTitle(), "saved.process");
}

TEST_F(MainWindowTest, ClosingAModifiedFrameAsksAndCancelKeepsIt) {
    ComposeProcess(*window, {"Signal Generator"});
    CDspDoc* doc = window->ActiveDocument();
    ASSERT_TRUE(doc && doc->IsModified());
    sink.QueueAnswer(IDCANCEL);
    window->MdiArea()->activeSubWindow()->close();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_EQ(window->MdiArea()->subWindowList().size(), 1);
    EXPECT_EQ(sink.Records().at(0).style, MB_YESNOCANCEL);
    sink.QueueAnswer(IDNO);
    window->MdiArea()->activeSubWindow()->close();
    QApplication::processEvents();
    QApplication::processEvents();
    EXPECT_TRUE(app->GetDocuments().empty());
}

class MixerQuestion : public testing::Test, protected CBuiltInApp {};

// A file saved with its mixer open: the desktop asks before starting the program, and a "No"
// (the recording sink's answer) starts nothing.
TEST_F(MixerQuestion, TheDesktopAsksBeforeStartingTheMixerAFileNames) {
    CTempFolder temp;
    const std::string programs = temp.File("x"), marker = temp.File("marker");
    std::filesystem::create_directories(programs);
    std::filesystem::create_directories(temp.File("none"));
    WriteScript(programs + "/evil", ": > '" + marker + "'");
    const std::string path = temp.File("mixer.process");
    ASSERT_TRUE(WriteMixerProcess(path, temp.File("none"), programs, "evil", "evil"));
    CPathGuard onPath(programs);
    ASSERT_TRUE(window.OpenFile(QString::fromStdString(path)));
    window.ProcessIdle(3);
    ASSERT_EQ(sink.Records().size(), 1u);
    EXPECT_EQ(sink.Records()[0].style, MB_YESNO);
    EXPECT_NE(sink.Records()[0].message.find("\"evil\""), std::string::npos);
    EXPECT_EQ(sink.Records()[0].answer, IDNO);
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // what a start would take
    EXPECT_FALSE(std::filesystem::exists(marker));
}

} // namespace
