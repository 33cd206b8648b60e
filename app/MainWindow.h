#pragma once
// The main window: the multi-document area with one frame per process document, the menus,
// tool bar and status bar, and the idle timer that drives running documents one step at a time.

#include "process/DspApp.h"
#include "process/RunLoop.h"
#include "station/TestRunner.h"

#include <QMainWindow>

#include <map>
#include <memory>

class CDocumentFrame;
class CModulePane;
class CTestStationDialog;
class CQtClipboard;
class CQtFileDialog;
class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QTimer;

class CMainWindow final : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Aurivo";

    CMainWindow(CDspApp& app, QWidget* parent = nullptr);
    ~CMainWindow() override;

    CDspApp& App() const { return m_app; }
    QMdiArea* MdiArea() const { return m_mdi; }
    /** The frame of a document, or null. */
    CDocumentFrame* FrameOf(const CDspDoc* doc) const;
    /** The document of the active frame, or null. */
    CDspDoc* ActiveDocument() const;
    CDocumentFrame* ActiveFrame() const;
    /** The active frame's active pane, or null. */
    CModulePane* ActivePane() const;
    /** Opens a process file (errors are shown in the message box). */
    bool OpenFile(const QString& path);
    /** Gives every running document idle slices until none runs unpaused (or `maxSlices`). */
    void ProcessIdle(int maxSlices);
    /** The action of a menu command by its object name ("run", "fileNew", ...). */
    QAction* Action(const QString& name) const;
    /** The right-button menu of a pane: the module's own when it has one, else the common
     *  module menu. */
    void FillContextMenu(QMenu& menu, CModulePane* pane);

    // Commands.
    void OnFileNew();
    void OnFileOpen();
    void OnEditRun();
    void OnEditPause();
    void OnEditStop();
    void OnOptionsProcess();
    void OnOptionsFFT();
    void OnExportPicture();
    /** Asks for a file and saves the pane's plot there at its size on screen. */
    void SavePicture(CModulePane* pane);
    void CopyPicture(CModulePane* pane);
    void OnAbout();
    /** Test > Run Test Plan: asks for a plan and opens the test station on it. */
    void OnTestRunPlan();
    void RunTestPlan(const QString& path);
    /** The open test station, or null. */
    CTestStationDialog* Station() const { return m_station; }
    /** How a test station tests and keeps records: `sessions` makes the session factory of
     *  each station, on the window's thread when it opens (a host gives its sessions the user's
     *  settings and sound devices), `results` names the store. Unset, stations test through the
     *  virtual card alone into the default results file. */
    struct CTestStationSetup {
        std::function<CSessionFactory()> sessions;
        std::string results;
    };
    void SetTestStation(CTestStationSetup setup) { m_testStation = std::move(setup); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateActions();
    void CreateMenus();
    void DocumentOpened(CDspDoc* doc);
    void DocumentClosing(CDspDoc* doc);
    void ArrangeFrames();
    void UpdateRecentFiles();
    /** The Window menu: arranging commands and one entry per open document. */
    void FillWindowMenu(QMenu& menu);
    void UpdateCommands();
    /** Lets every frame show how its document's run moved on. */
    void FollowRuns();
    void StartIdle();
    void OnIdleTimer();
    void ShowContextMenu(CModulePane* pane, const QPoint& globalPos);
    void Clipboard(void (CDspView::*command)(bool));
    void Print(bool preview);
    void OnHelp();

    CDspApp& m_app;
    CRunLoop m_loop; // slices while a document runs; a person resumes a pause
    QMdiArea* m_mdi;
    CTestStationSetup m_testStation;
    CTestStationDialog* m_station = nullptr;
    QTimer* m_idle;
    std::map<const CDspDoc*, QMdiSubWindow*> m_frames;
    std::map<QString, QAction*> m_actions;
    QMenu* m_recentMenu = nullptr;
    std::unique_ptr<CQtClipboard> m_clipboard;
    std::unique_ptr<CQtFileDialog> m_fileDialog;
};
