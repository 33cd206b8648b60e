#include "DocumentFrame.h"

#include "ModulePane.h"
#include "QtPlatform.h"
#include "formats/ProcessDescription.h"
#include "process/PaneLayout.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QResizeEvent>
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
    if (plan.m_splitter) {
        m_rows = new QSplitter(Qt::Vertical, this);
        m_rows->setChildrenCollapsible(false);
        layout->addWidget(m_rows);
    }
    for (size_t i = 0; i < doc.GetViewCount(); ++i) {
        auto* pane = new CModulePane(*doc.GetView(i));
        connect(pane, &CModulePane::Activated, this, [this](CModulePane* p) { m_active = p; });
        connect(pane, &CModulePane::ContextMenuRequested, this,
                &CDocumentFrame::ContextMenuRequested);
        connect(pane, &CModulePane::Modified, this, &CDocumentFrame::UpdateTitle);
        connect(pane, &CModulePane::Message, this, &CDocumentFrame::Message);
        if (!m_rows) layout->addWidget(pane);
        m_panes.push_back(pane);
    }
    if (m_rows) {
        ArrangeRows(1);
        QList<int> widths;
        for (size_t i = 0; i < m_panes.size(); ++i)
            widths << (i < plan.m_panes.size() ? plan.m_panes[i].cx
                                               : kDefaultWidth / int(plan.m_panes.size()));
        RowSplitter(0)->setSizes(widths);
    }
    int width = 0;
    for (const CSize& s : plan.m_panes)
        width += s.cx;
    resize(std::max(width, 300), std::max(plan.m_panes.empty() ? 0 : plan.m_panes[0].cy, 200));
    doc.SetFrame(this);
    UpdateTitle();
}

QSize CDocumentFrame::minimumSizeHint() const {
    // Panes that do not fit side by side go into more rows: the frame is as narrow as its
    // widest pane.
    QSize size;
    for (const CModulePane* pane : m_panes)
        size = size.expandedTo(pane->minimumSizeHint());
    return {size.width(), size.height() * std::max(1, m_rowCount)};
}

void CDocumentFrame::resizeEvent(QResizeEvent* event) {
    if (m_rows) ArrangeRows(RowsFor(event->size().width()));
    QWidget::resizeEvent(event);
}

QSplitter* CDocumentFrame::RowSplitter(int row) const {
    return static_cast<QSplitter*>(m_rows->widget(row));
}

int CDocumentFrame::RowsFor(int width) const {
    const int count = int(m_panes.size());
    for (int rows = 1; rows < count; ++rows) {
        const int perRow = (count + rows - 1) / rows;
        bool fits = true;
        for (int first = 0; first < count && fits; first += perRow) {
            int needed = 0;
            for (int i = first; i < std::min(count, first + perRow); ++i)
                needed += m_panes[size_t(i)]->minimumSizeHint().width() +
                          (i > first ? m_rows->handleWidth() : 0);
            fits = needed <= width;
        }
        if (fits) return rows;
    }
    return std::max(1, count);
}

void CDocumentFrame::ArrangeRows(int rows) {
    if (rows == m_rowCount) return;
    m_rowCount = rows;
    while (m_rows->count() < rows) {
        auto* row = new QSplitter(Qt::Horizontal);
        row->setChildrenCollapsible(false);
        m_rows->addWidget(row);
    }
    // The panes keep their order, row after row.
    const int perRow = (int(m_panes.size()) + rows - 1) / rows;
    for (size_t i = 0; i < m_panes.size(); ++i)
        RowSplitter(int(i) / perRow)->addWidget(m_panes[i]);
    while (m_rows->count() > rows)
        delete m_rows->widget(m_rows->count() - 1);
    for (int r = 0; r < rows; ++r)
        RowSplitter(r)->setSizes(QList<int>(RowSplitter(r)->count(), 1));
    QList<int> heights(rows, 1);
    m_rows->setSizes(heights);
    updateGeometry();
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
