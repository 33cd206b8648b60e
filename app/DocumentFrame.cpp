#include "DocumentFrame.h"

#include "ModulePane.h"
#include "QtPlatform.h"
#include "formats/ProcessDescription.h"
#include "process/PaneLayout.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QSplitter>

namespace {
constexpr int kDefaultWidth = 900;
constexpr int kDefaultHeight = 560;
// Passes faster than a screen refresh are shown together.
constexpr qint64 kPassRefreshMs = 30;
} // namespace

CDocumentFrame::CDocumentFrame(CDspDoc& doc, const std::array<CSize, 6>& savedSizes,
                               QWidget* mainWindow, QWidget* parent)
    : QWidget(parent), m_doc(doc), m_mainWindow(mainWindow) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    const CPaneLayout plan =
        LayoutPanes(size_t(doc.GetStepCount()), savedSizes, CSize{kDefaultWidth, kDefaultHeight});
    QSplitter* splitter = plan.m_splitter ? new QSplitter(Qt::Horizontal, this) : nullptr;
    QList<int> widths;
    for (size_t i = 0; i < doc.GetViewCount(); ++i) {
        auto* pane = new CModulePane(*doc.GetView(i));
        connect(pane, &CModulePane::Activated, this, [this](CModulePane* p) { m_active = p; });
        connect(pane, &CModulePane::ContextMenuRequested, this,
                &CDocumentFrame::ContextMenuRequested);
        connect(pane, &CModulePane::Modified, this, &CDocumentFrame::UpdateTitle);
        connect(pane, &CModulePane::Message, this, &CDocumentFrame::Message);
        if (splitter) {
            splitter->addWidget(pane);
            widths << (i < plan.m_panes.size() ? plan.m_panes[i].cx
                                               : kDefaultWidth / int(plan.m_panes.size()));
        } else {
            layout->addWidget(pane);
        }
        m_panes.push_back(pane);
    }
    if (splitter) {
        splitter->setChildrenCollapsible(false);
        splitter->setSizes(widths);
        layout->addWidget(splitter);
    }
    int width = 0;
    for (const CSize& s : plan.m_panes)
        width += s.cx;
    resize(std::max(width, 300), std::max(plan.m_panes.empty() ? 0 : plan.m_panes[0].cy, 200));
    doc.SetFrame(this);
    UpdateTitle();
}

CDocumentFrame::~CDocumentFrame() {
    if (!m_detached) m_doc.SetFrame(nullptr);
}

void CDocumentFrame::Detach() {
    for (CModulePane* pane : m_panes)
        pane->Detach();
    m_doc.SetFrame(nullptr);
    m_detached = true;
}

CModulePane* CDocumentFrame::ActivePane() const {
    return m_active ? m_active : (m_panes.empty() ? nullptr : m_panes.front());
}

void CDocumentFrame::UpdateTitle() {
    QString title = QString::fromStdString(m_doc.GetTitle()) + (m_doc.IsModified() ? " *" : "");
    // What the process is for, when a description lies beside its file.
    const std::string description = ReadProcessDescription(m_doc.GetPathName());
    if (!description.empty()) title += " - " + QString::fromStdString(description);
    setWindowTitle(title);
    if (m_subWindow) m_subWindow->setWindowTitle(title);
}

void CDocumentFrame::RefreshPanes() {
    for (CModulePane* pane : m_panes)
        pane->Refresh();
    UpdateTitle();
}

void CDocumentFrame::FollowRun() {
    if (m_detached) return;
    const std::tuple<bool, bool, int> run{m_doc.IsRunning(), m_doc.IsPaused(),
                                          m_doc.GetPassCount()};
    if (run == m_shownRun) return;
    const bool started = std::get<0>(run) != std::get<0>(m_shownRun);
    const bool paused = std::get<1>(run) != std::get<1>(m_shownRun);
    if (!started && !paused && m_sinceShown.isValid() && m_sinceShown.elapsed() < kPassRefreshMs)
        return;
    m_shownRun = run;
    m_sinceShown.start();
    for (CModulePane* pane : m_panes)
        pane->Invalidate();
}

CRect CDocumentFrame::GetMainWindowRect() const {
    return m_mainWindow ? FromQRect(m_mainWindow->geometry()) : CRect{};
}

CRect CDocumentFrame::GetFrameRect() const {
    return m_subWindow ? FromQRect(m_subWindow->geometry()) : CRect{};
}

std::vector<CSize> CDocumentFrame::GetPaneSizes() const {
    std::vector<CSize> sizes;
    for (const CModulePane* pane : m_panes)
        sizes.push_back(CSize{pane->width(), pane->height()});
    return sizes;
}

void CDocumentFrame::MoveMainWindow(const CRect& r) {
    // A placement saved on a larger screen must not put the window beyond this one.
    if (m_mainWindow) m_mainWindow->setGeometry(FitToScreen(ToQRect(r), *m_mainWindow));
}

void CDocumentFrame::MoveFrame(const CRect& r) {
    if (m_subWindow) m_subWindow->setGeometry(ToQRect(r));
}
