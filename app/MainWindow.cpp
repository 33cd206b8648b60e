#include "MainWindow.h"

#include "CalibrationDialog.h"
#include "TestStationDialog.h"
#include "process/UserSession.h"
#include "station/ResultsStore.h"
#include "DocumentFrame.h"
#include "FFTOptionsDialog.h"
#include "HelpWindow.h"
#include "ModulePane.h"
#include "PlotPrinting.h"
#include "PlotWidget.h"
#include "ProcessSelectDialog.h"
#include "QtPlatform.h"
#include "platform/SampleRates.h"
#include "process/RunLoop.h"
#include "soundio/SoundIOView.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

namespace {

// A command: object name, menu text, shortcut, status-bar prompt, tool-bar icon.
struct CCommand {
    const char* name;
    const char* text;
    QKeySequence shortcut;
    const char* prompt;
    int icon; // QStyle::StandardPixmap, or -1 for none
};

const std::vector<CCommand>& Commands() {
    static const std::vector<CCommand> commands{
        {"fileNew", "&New", QKeySequence::New, "Create A New Process", QStyle::SP_FileIcon},
        {"fileOpen", "&Open...", QKeySequence::Open, "Open An Existing Process",
         QStyle::SP_DialogOpenButton},
        {"fileSave", "&Save", QKeySequence::Save, "Save The Current Process",
         QStyle::SP_DialogSaveButton},
        // Not QKeySequence::SaveAs: some platforms leave that empty.
        {"fileSaveAs", "Save &As...", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S),
         "Save The Current Process With A New Name", -1},
        {"fileClose", "&Close", QKeySequence(Qt::CTRL | Qt::Key_W), "Close The Current Process",
         -1},
        {"fileExportPicture",
         "&Export Picture\u2026",
         {},
         "Save The Active Module's Plot As A PNG Or SVG Picture",
         -1},
        {"filePrint", "&Print...", QKeySequence::Print, "Print The Active Module", -1},
        {"filePrintPreview", "Print Pre&view", {}, "Preview The Printout Of The Active Module", -1},
        {"appExit", "E&xit", QKeySequence::Quit, "Quit The Application", -1},
        {"editCut", "Cu&t", QKeySequence::Cut, "Cut The Selected Channels To The Clipboard", -1},
        {"editCopy", "&Copy", QKeySequence::Copy, "Copy The Selected Channels To The Clipboard",
         -1},
        {"editPaste", "&Paste", QKeySequence::Paste,
         "Paste The Clipboard Into The Selected Channels", -1},
        {"editCopyPicture",
         "Copy P&icture",
         {},
         "Copy The Active Module's Plot To The Clipboard As An Image",
         -1},
        {"run", "&Run", Qt::Key_F5, "Run The Current Process", QStyle::SP_MediaPlay},
        {"pause", "P&ause", Qt::Key_F6, "Pause The Current Process", QStyle::SP_MediaPause},
        {"stop", "&Stop", QKeySequence(Qt::SHIFT | Qt::Key_F5), "Stop The Current Process",
         QStyle::SP_MediaStop},
        {"optionsProcess",
         "&Process...",
         {},
         "Add or Remove Modules from the Current Process",
         QStyle::SP_FileDialogDetailedView},
        {"optionsFFT", "&FFT...", {}, "Change The Current Processes FFT And Debug Options", -1},
        {"optionsWindowCorrection",
         "&Window Amplitude Correction",
         {},
         "Windowed Spectra Read The Amplitude Of Their Tones",
         -1},
        {"optionsLightPlots",
         "&Light Plots",
         {},
         "Draw The Plots Dark On White Instead Of Light On Black",
         -1},
        {"windowCascade", "&Cascade", {}, "Arrange Windows So They Overlap", -1},
        {"windowTile", "&Tile", {}, "Arrange Windows As Non-Overlapping Tiles", -1},
        {"testRunPlan",
         "&Run Test Plan...",
         {},
         "Tests Units Against A Test Plan: Pass Or Fail",
         -1},
        {"helpTopics", "&Help Topics", QKeySequence::HelpContents, "Opens Help Topics",
         QStyle::SP_DialogHelpButton},
        {"helpAbout", "&About Aurivo", {}, "Shows The Version And Licence", -1},
    };
    return commands;
}

} // namespace

CMainWindow::CMainWindow(CDspApp& app, QWidget* parent)
    : QMainWindow(parent), m_app(app), m_loop(app, EPausePolicy::Hold),
      m_clipboard(std::make_unique<CQtClipboard>()),
      m_fileDialog(std::make_unique<CQtFileDialog>(this)) {
    setWindowTitle(kTitle);
    setMinimumWidth(300);
    setAcceptDrops(true);
    m_mdi = new QMdiArea(this);
    setCentralWidget(m_mdi);
    m_idle = new QTimer(this);
    m_idle->setInterval(0);
    connect(m_idle, &QTimer::timeout, this, &CMainWindow::OnIdleTimer);
    connect(m_mdi, &QMdiArea::subWindowActivated, this, [this] {
        if (CDspDoc* doc = ActiveDocument()) m_app.SetCurrentDocument(doc);
        UpdateCommands();
    });

    m_app.SetClipboard(m_clipboard.get());
    m_app.SetFileDialog(m_fileDialog.get());
    m_app.Hooks().userPresent = true;
    m_app.Hooks().documentOpened = [this](CDspDoc* doc) { DocumentOpened(doc); };
    m_app.Hooks().documentClosing = [this](CDspDoc* doc) { DocumentClosing(doc); };
    m_app.Hooks().calibrate = [this](CDspView* view) {
        auto* soundIO = dynamic_cast<CSoundIOView*>(view);
        if (!soundIO) return;
        CCalibrationDialog dialog(m_app, *soundIO, this);
        if (dialog.Open()) dialog.exec();
    };

    CreateActions();
    CreateMenus();
    statusBar()->showMessage("Ready");
    // The window opens no larger than the screen leaves room for.
    resize(FitToScreen(QRect(QPoint(), QSize(1200, 760)), *this).size());
    UpdateCommands();
}

CMainWindow::~CMainWindow() {
    m_mdi->disconnect(this); // closing sub-windows while destroyed must not update commands
    m_app.Hooks() = {};
    m_app.SetClipboard(nullptr);
    m_app.SetFileDialog(nullptr);
}

QAction* CMainWindow::Action(const QString& name) const {
    auto it = m_actions.find(name);
    return it == m_actions.end() ? nullptr : it->second;
}

void CMainWindow::CreateActions() {
    for (const CCommand& c : Commands()) {
        auto* action = new QAction(c.text, this);
        action->setObjectName(c.name);
        if (!c.shortcut.isEmpty()) action->setShortcut(c.shortcut);
        action->setStatusTip(c.prompt);
        // Tool bar buttons say what they do and which key does it too.
        action->setToolTip(
            c.shortcut.isEmpty()
                ? QString(c.prompt)
                : QString("%1 (%2)").arg(c.prompt, c.shortcut.toString(QKeySequence::NativeText)));
        if (c.icon >= 0) action->setIcon(style()->standardIcon(QStyle::StandardPixmap(c.icon)));
        m_actions[c.name] = action;
    }
    auto on = [this](const char* name, auto slot) {
        connect(Action(name), &QAction::triggered, this, slot);
    };
    on("fileNew", [this] { OnFileNew(); });
    on("fileOpen", [this] { OnFileOpen(); });
    on("fileSave", [this] {
        if (CDspDoc* doc = ActiveDocument()) doc->OnFileSave();
        UpdateCommands();
    });
    on("fileSaveAs", [this] {
        if (CDspDoc* doc = ActiveDocument()) doc->OnFileSaveAs();
        UpdateCommands();
    });
    on("fileClose", [this] {
        if (CDspDoc* doc = ActiveDocument()) m_app.OnFileClose(doc);
    });
    on("filePrint", [this] { Print(false); });
    on("filePrintPreview", [this] { Print(true); });
    on("appExit", [this] { close(); });
    on("editCut", [this] { Clipboard(&CDspView::OnEditCut); });
    on("editCopy", [this] { Clipboard(&CDspView::OnEditCopy); });
    on("editPaste", [this] { Clipboard(&CDspView::OnEditPaste); });
    // With Shift the clipboard commands act differently, so the keys work with Shift as well.
    for (const auto& [name, key] :
         {std::pair{"editCut", Qt::Key_X}, std::pair{"editCopy", Qt::Key_C},
          std::pair{"editPaste", Qt::Key_V}}) {
        QList<QKeySequence> keys = Action(name)->shortcuts();
        keys << QKeySequence(Qt::CTRL | Qt::SHIFT | key);
        Action(name)->setShortcuts(keys);
    }
    Action("fileClose")
        ->setShortcuts({QKeySequence(Qt::CTRL | Qt::Key_W), QKeySequence(Qt::CTRL | Qt::Key_F4)});
    on("fileExportPicture", [this] { OnExportPicture(); });
    on("editCopyPicture", [this] {
        if (CModulePane* pane = ActivePane()) CopyPicture(pane);
    });
    on("helpAbout", [this] { OnAbout(); });
    on("run", [this] { OnEditRun(); });
    on("pause", [this] { OnEditPause(); });
    on("stop", [this] { OnEditStop(); });
    on("optionsProcess", [this] { OnOptionsProcess(); });
    on("optionsFFT", [this] { OnOptionsFFT(); });
    QAction* correction = Action("optionsWindowCorrection");
    correction->setCheckable(true);
    correction->setChecked(m_app.GetSettings().windowAmplitudeCorrection != 0);
    connect(correction, &QAction::toggled, this,
            [this](bool on) { m_app.SetWindowAmplitudeCorrection(on); });
    QAction* light = Action("optionsLightPlots");
    light->setCheckable(true);
    light->setChecked(m_app.GetSettings().lightPlots != 0);
    connect(light, &QAction::toggled, this, [this](bool on) {
        m_app.SetLightPlots(on);
        for (const auto& [doc, sub] : m_frames)
            static_cast<CDocumentFrame*>(sub->widget())->RefreshPanes();
    });
    on("windowCascade", [this] { m_mdi->cascadeSubWindows(); });
    on("windowTile", [this] { m_mdi->tileSubWindows(); });
    on("helpTopics", [this] { OnHelp(); });
    on("testRunPlan", [this] { OnTestRunPlan(); });
}

void CMainWindow::CreateMenus() {
    QMenu* file = menuBar()->addMenu("&File");
    for (const char* n : {"fileNew", "fileOpen", "fileSave", "fileSaveAs", "fileClose"})
        file->addAction(Action(n));
    file->addSeparator();
    file->addAction(Action("filePrint"));
    file->addAction(Action("filePrintPreview"));
    file->addAction(Action("fileExportPicture"));
    file->addSeparator();
    m_recentMenu = file->addMenu("Recent &Files");
    file->addSeparator();
    file->addAction(Action("appExit"));

    QMenu* edit = menuBar()->addMenu("&Edit");
    for (const char* n : {"editCut", "editCopy", "editPaste", "editCopyPicture"})
        edit->addAction(Action(n));
    edit->addSeparator();
    for (const char* n : {"run", "pause", "stop"})
        edit->addAction(Action(n));

    QMenu* options = menuBar()->addMenu("&Options");
    options->addAction(Action("optionsProcess"));
    options->addAction(Action("optionsFFT"));
    options->addSeparator();
    options->addAction(Action("optionsWindowCorrection"));
    options->addAction(Action("optionsLightPlots"));

    menuBar()->addMenu("&Test")->addAction(Action("testRunPlan"));

    QMenu* window = menuBar()->addMenu("&Window");
    window->setObjectName("windowMenu");
    connect(window, &QMenu::aboutToShow, this, [this, window] { FillWindowMenu(*window); });
    FillWindowMenu(*window);

    QMenu* help = menuBar()->addMenu("&Help");
    help->addAction(Action("helpTopics"));
    help->addSeparator();
    help->addAction(Action("helpAbout"));

    QToolBar* bar = addToolBar("Standard");
    bar->setObjectName("standardToolBar");
    for (const char* n : {"fileNew", "fileOpen", "fileSave"})
        bar->addAction(Action(n));
    bar->addSeparator();
    for (const char* n : {"run", "pause", "stop"})
        bar->addAction(Action(n));
    bar->addSeparator();
    bar->addAction(Action("optionsProcess"));
    bar->addAction(Action("helpTopics"));
    UpdateRecentFiles();
}

void CMainWindow::FillWindowMenu(QMenu& menu) {
    // The arranging commands, then the open documents: the active one checked, each a click
    // away.
    menu.clear();
    menu.addAction(Action("windowCascade"));
    menu.addAction(Action("windowTile"));
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    if (!subs.isEmpty()) menu.addSeparator();
    int n = 0;
    for (QMdiSubWindow* sub : subs) {
        QAction* a = menu.addAction(QString("&%1 %2").arg(++n).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == m_mdi->activeSubWindow());
        connect(a, &QAction::triggered, this, [this, sub] { m_mdi->setActiveSubWindow(sub); });
    }
}

void CMainWindow::UpdateRecentFiles() {
    m_recentMenu->clear();
    int n = 0;
    for (const std::string& path : m_app.GetRecentFiles()) {
        const QString p = QString::fromStdString(path);
        QAction* a =
            m_recentMenu->addAction(QString("&%1 %2").arg(++n).arg(QFileInfo(p).fileName()));
        a->setStatusTip(p);
        connect(a, &QAction::triggered, this, [this, p] { OpenFile(p); });
    }
    m_recentMenu->setEnabled(n > 0);
}

void CMainWindow::FollowRuns() {
    for (const auto& [doc, sub] : m_frames)
        static_cast<CDocumentFrame*>(sub->widget())->FollowRun();
}

void CMainWindow::UpdateCommands() {
    FollowRuns();
    CDspDoc* doc = ActiveDocument();
    const bool running = doc && doc->IsRunning() && !doc->IsPaused();
    for (const char* n :
         {"fileSave", "fileSaveAs", "fileClose", "filePrint", "filePrintPreview", "editCut",
          "editCopy", "editPaste", "optionsFFT", "stop", "fileExportPicture", "editCopyPicture"})
        Action(n)->setEnabled(doc != nullptr);
    Action("run")->setEnabled(doc && !running);
    Action("pause")->setEnabled(running);
    if (CDocumentFrame* frame = ActiveFrame()) frame->UpdateTitle();
}

// ---- Documents ----------------------------------------------------------------------------

CDocumentFrame* CMainWindow::FrameOf(const CDspDoc* doc) const {
    auto it = m_frames.find(doc);
    return it == m_frames.end() ? nullptr : static_cast<CDocumentFrame*>(it->second->widget());
}

CDocumentFrame* CMainWindow::ActiveFrame() const {
    QMdiSubWindow* sub = m_mdi->activeSubWindow();
    if (!sub && !m_mdi->subWindowList().isEmpty()) sub = m_mdi->subWindowList().last();
    return sub ? qobject_cast<CDocumentFrame*>(sub->widget()) : nullptr;
}

CDspDoc* CMainWindow::ActiveDocument() const {
    CDocumentFrame* frame = ActiveFrame();
    return frame ? &frame->Document() : nullptr;
}

void CMainWindow::DocumentOpened(CDspDoc* doc) {
    // The calibration process runs behind its dialog; a frame of its six panes would only
    // stretch the window to their widths.
    if (doc->IsCalibrationDocument()) return;
    auto* frame = new CDocumentFrame(*doc, m_app.m_savedPaneSizes, this);
    QMdiSubWindow* sub = m_mdi->addSubWindow(frame);
    sub->setAttribute(Qt::WA_DeleteOnClose, false);
    // Every frame's own menu would claim Ctrl+W and Ctrl+F4 beside File > Close, and a key that
    // two actions claim does nothing; File > Close answers both.
    if (QMenu* menu = sub->systemMenu())
        for (QAction* action : menu->actions())
            action->setShortcuts({});
    sub->installEventFilter(this);
    frame->SetSubWindow(sub);
    m_frames[doc] = sub;
    connect(frame, &CDocumentFrame::ContextMenuRequested, this, &CMainWindow::ShowContextMenu);
    connect(frame, &CDocumentFrame::Message, this,
            [this](const QString& text) { statusBar()->showMessage(text); });
    sub->show();
    doc->ApplyWindowPlacement();
    ArrangeFrames();
    m_mdi->setActiveSubWindow(sub);
    UpdateRecentFiles();
    UpdateCommands();
}

void CMainWindow::DocumentClosing(CDspDoc* doc) {
    auto it = m_frames.find(doc);
    if (it == m_frames.end()) return;
    QMdiSubWindow* sub = it->second;
    m_frames.erase(it);
    // The views go right after this; the panes let go of them now and are deleted later, so a
    // command issued from inside a pane can finish first.
    static_cast<CDocumentFrame*>(sub->widget())->Detach();
    sub->removeEventFilter(this);
    sub->hide();
    m_mdi->removeSubWindow(sub);
    sub->deleteLater();
    ArrangeFrames();
    UpdateCommands();
}

void CMainWindow::ArrangeFrames() {
    // One document fills the work area; several share it side by side.
    const QList<QMdiSubWindow*> subs = m_mdi->subWindowList();
    if (subs.size() == 1)
        subs.front()->showMaximized();
    else if (subs.size() > 1)
        m_mdi->tileSubWindows();
}

bool CMainWindow::OpenFile(const QString& path) {
    std::string error;
    if (!m_app.OpenDocumentFile(path.toStdString(), error)) {
        m_app.ShowOpenError(error);
        return false;
    }
    UpdateRecentFiles();
    return true;
}

void CMainWindow::OnFileNew() {
    m_app.OnFileNew();
}

void CMainWindow::OnFileOpen() {
    const QString path = QFileDialog::getOpenFileName(
        this, "Open Process File", QString(),
        QtNameFilters(".process Documents (.process)|*.process|All Files (*.*)|*.*|"));
    if (!path.isEmpty()) OpenFile(path);
}

void CMainWindow::OnTestRunPlan() {
    const QString path = QFileDialog::getOpenFileName(this, "Open Test Plan", QString(),
                                                      "Test Plans (*.json);;All Files (*)");
    if (!path.isEmpty()) RunTestPlan(path);
}

void CMainWindow::RunTestPlan(const QString& path) {
    CTestPlan plan;
    std::string error;
    if (!LoadTestPlan(path.toStdString(), plan, error)) {
        m_app.MessageBox(error);
        return;
    }
    const std::string results =
        m_testStation.results.empty() ? DefaultResultsPath() : m_testStation.results;
    if (results.empty()) {
        m_app.MessageBox("No place for the test results: set XDG_DATA_HOME or HOME");
        return;
    }
    CSessionFactory sessions =
        m_testStation.sessions ? m_testStation.sessions() : [&registry = m_app.GetRegistry()] {
            return NewUserSession(registry, CMemorySettings(), nullptr);
        };
    CTestStationDialog dialog(std::move(plan), results, std::move(sessions), this);
    m_station = &dialog;
    dialog.exec();
    m_station = nullptr;
}

bool CMainWindow::eventFilter(QObject* watched, QEvent* event) {
    // Closing a frame asks the core, which closes the document and then the frame.
    if (event->type() == QEvent::Close) {
        for (const auto& [doc, sub] : m_frames) {
            if (sub != watched) continue;
            event->ignore();
            CDspDoc* d = const_cast<CDspDoc*>(doc);
            QTimer::singleShot(0, this, [this, d] {
                if (FrameOf(d)) m_app.OnFileClose(d);
            });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void CMainWindow::closeEvent(QCloseEvent* event) {
    while (!m_app.GetDocuments().empty()) {
        if (!m_app.OnFileClose(m_app.GetDocuments().back().get())) {
            event->ignore();
            return;
        }
    }
    event->accept();
}

void CMainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainWindow::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) OpenFile(url.toLocalFile());
}

// ---- Running ------------------------------------------------------------------------------

void CMainWindow::StartIdle() {
    if (!m_idle->isActive()) m_idle->start();
}

void CMainWindow::OnIdleTimer() {
    if (!m_loop.Slice()) {
        m_idle->stop();
        UpdateCommands();
        return;
    }
    FollowRuns();
}

void CMainWindow::ProcessIdle(int maxSlices) {
    for (int i = 0; i < maxSlices; ++i) {
        if (!m_loop.Slice()) break;
        FollowRuns();
    }
    UpdateCommands();
}

void CMainWindow::OnEditRun() {
    if (CDspDoc* doc = ActiveDocument()) {
        doc->OnEditRun();
        StartIdle();
    }
    UpdateCommands();
}

void CMainWindow::OnEditPause() {
    if (CDspDoc* doc = ActiveDocument()) doc->OnEditPauseButton();
    UpdateCommands();
}

void CMainWindow::OnEditStop() {
    if (CDspDoc* doc = ActiveDocument()) doc->OnEditStop();
    UpdateCommands();
}

void CMainWindow::OnOptionsProcess() {
    CDspDoc* doc = ActiveDocument();
    if (!doc) doc = m_app.OnFileNew();
    m_app.OnChangeProcessFlow(doc, [this](CProcessSelectDlg& model) {
        CProcessSelectDialog dialog(model, this);
        return dialog.exec() == QDialog::Accepted;
    });
    UpdateCommands();
}

void CMainWindow::OnOptionsFFT() {
    CDspDoc* doc = ActiveDocument();
    if (!doc) return;
    CFFTOptions options;
    doc->FillFFTOptions(options);
    // The rates the first input device, or else the first output device, takes.
    CFFTOptionsDialog dialog(options, AcceptedSampleRates(m_app.GetAudio().GetAudioSystem(), 0, 0),
                             this);
    if (dialog.exec() != QDialog::Accepted) return;
    std::string message;
    if (!doc->ApplyFFTOptions(dialog.Options(), message)) m_app.MessageBox(message);
    if (CDocumentFrame* frame = FrameOf(doc)) frame->RefreshPanes();
}

void CMainWindow::Clipboard(void (CDspView::*command)(bool)) {
    CDocumentFrame* frame = ActiveFrame();
    CModulePane* pane = frame ? frame->ActivePane() : nullptr;
    if (!pane) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    (pane->View().*command)(QApplication::keyboardModifiers() & Qt::ShiftModifier);
    QApplication::restoreOverrideCursor();
    frame->RefreshPanes();
}

void CMainWindow::ShowContextMenu(CModulePane* pane, const QPoint& globalPos) {
    QMenu menu(this);
    FillContextMenu(menu, pane);
    // A command that rebuilds the document detaches this pane and deletes it later, so running
    // it from inside the pane's mouse handler is safe.
    menu.exec(globalPos);
    UpdateCommands();
}

void CMainWindow::FillContextMenu(QMenu& menu, CModulePane* pane) {
    CDspView& view = pane->View();
    // A module with a menu of its own shows that menu alone; the commands it leaves to the
    // host run the host's actions, and are offered only while those are.
    static const std::map<std::string, const char*> kHostActions{
        {"cut", "editCut"},
        {"copy", "editCopy"},
        {"paste", "editPaste"},
        {"stop", "stop"},
        {"pause", "pause"},
        {"run", "run"},
        {"process", "optionsProcess"},
        {"fft", "optionsFFT"},
        {"print", "filePrint"},
        {"printpreview", "filePrintPreview"}};
    const std::vector<CMenuEntry> entries = view.GetContextMenu();
    for (const CMenuEntry& e : entries) {
        if (e.id.empty()) {
            menu.addSeparator();
            continue;
        }
        const auto host = kHostActions.find(e.id);
        QAction* hostAction = host != kHostActions.end() ? Action(host->second) : nullptr;
        QAction* a = menu.addAction(QString::fromStdString(e.text));
        a->setCheckable(e.checked);
        a->setChecked(e.checked);
        a->setEnabled(e.enabled && (!hostAction || hostAction->isEnabled()));
        const std::string id = e.id;
        connect(a, &QAction::triggered, this, [&view, pane, id, hostAction] {
            if (!view.OnContextCommand(id) && hostAction) hostAction->trigger();
            pane->Refresh();
        });
    }
    auto add = [&](const char* text, std::function<void()> f) {
        connect(menu.addAction(text), &QAction::triggered, this, std::move(f));
    };
    // The pane's own commands, whichever menu the module has: fitting the Y axis where the
    // bar offers it, and pictures.
    auto addPaneEntries = [&] {
        menu.addSeparator();
        for (const auto& [id, text] :
             {std::pair{"fit", "Fit Y Axis"}, {"y1fit", "Fit Y Axis 1"}, {"y2fit", "Fit Y Axis 2"}})
            if (view.GetControls().Find(id) >= 0)
                add(text, [&view, pane, id = std::string(id)] {
                    std::string message;
                    view.SetControl(id, "", message);
                    pane->Refresh();
                });
        add("Save Picture\u2026", [this, pane] { SavePicture(pane); });
        add("Copy Picture", [this, pane] { CopyPicture(pane); });
    };
    if (!entries.empty()) {
        addPaneEntries();
        return;
    }
    add("Sel Ch1", [&view] { view.OnSelCh1(); });
    add("Sel Ch2", [&view] { view.OnSelCh2(); });
    add("Sel All", [&view] { view.OnSelAll(); });
    for (const auto& group : {std::vector<const char*>{"editCut", "editCopy", "editPaste"},
                              std::vector<const char*>{"stop", "pause", "run"},
                              std::vector<const char*>{"optionsProcess", "optionsFFT"},
                              std::vector<const char*>{"filePrint", "filePrintPreview"}}) {
        menu.addSeparator();
        for (const char* n : group)
            menu.addAction(Action(n));
    }
    addPaneEntries();
}

// ---- Printing and help --------------------------------------------------------------------

void CMainWindow::Print(bool preview) {
    CDocumentFrame* frame = ActiveFrame();
    CModulePane* pane = frame ? frame->ActivePane() : nullptr;
    if (!pane) return;
    CDspDoc& doc = frame->Document();
    const bool pausedForPrinting = doc.IsRunning() && !doc.IsPaused();
    if (pausedForPrinting) doc.PauseProcess();
    CDspView& view = pane->View();
    const QString title = PrintTitle(view, QDateTime::currentDateTime());
    const QSize plotSize = pane->Plot()->size();
    auto paint = [&](QPrinter* printer) {
        QPainter painter(printer);
        PaintPrintPage(painter, painter.viewport(), view, title, plotSize);
    };
    // The modules' printing style (text size, line widths) is made for this resolution.
    QPrinter printer;
    printer.setResolution(300);
    printer.setPageOrientation(QPageLayout::Landscape);
    if (preview) {
        QPrintPreviewDialog dialog(&printer, this);
        connect(&dialog, &QPrintPreviewDialog::paintRequested, this, paint);
        dialog.exec();
    } else {
        QPrintDialog dialog(&printer, this);
        if (dialog.exec() == QDialog::Accepted) paint(&printer);
    }
    if (pausedForPrinting) {
        doc.OnEditRun();
        StartIdle();
    }
}

void CMainWindow::OnHelp() {
    const QString guide = FindHelpGuide(HelpGuideFolders(QCoreApplication::applicationDirPath()));
    if (!guide.isEmpty()) {
        ShowHelpWindow(guide);
        return;
    }
    QStringList folders{QCoreApplication::applicationDirPath(), QDir::currentPath()};
    folders += QString::fromLocal8Bit(qgetenv("PATH")).split(':', Qt::SkipEmptyParts);
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath("Aurivo.chm");
        if (QFileInfo::exists(path)) {
            QDesktopServices::openUrl(QUrl::fromLocalFile(path));
            return;
        }
    }
    m_app.MessageBox("Could Not Find Aurivo.chm Help File");
}
