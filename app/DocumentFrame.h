#pragma once
// The frame of one process document inside the main window: one module pane per step side by
// side (a splitter row for 2 to 6 steps), sized from the saved pane sizes or in equal widths.
// Panes that do not fit side by side at their narrowest go into two or more rows.

#include "process/DspDoc.h"

#include <QElapsedTimer>
#include <QWidget>

#include <array>
#include <tuple>
#include <vector>

class CModulePane;
class QMdiSubWindow;
class QSplitter;

class CDocumentFrame final : public QWidget, public IDocumentFrame {
    Q_OBJECT
public:
    /** Builds the panes for the document's views; `savedSizes` are the application's saved pane
     *  sizes at the time the frame is built. */
    CDocumentFrame(CDspDoc& doc, const std::array<CSize, 6>& savedSizes, QWidget* mainWindow,
                   QWidget* parent = nullptr);
    ~CDocumentFrame() override;

    CDspDoc& Document() const { return m_doc; }
    const std::vector<CModulePane*>& Panes() const { return m_panes; }
    /** The pane edit commands and printing act on: the one last clicked, else the first. */
    CModulePane* ActivePane() const;
    void SetSubWindow(QMdiSubWindow* window) { m_subWindow = window; }
    /** Updates the window title from the document (title, modified mark). */
    void UpdateTitle();
    /** Refreshes every pane from its module. */
    void RefreshPanes();
    /** Repaints every pane (bar, plot and status) when the run moved on since the last time:
     *  a new pass (at most every few frames' time while running) or a run, pause or stop. */
    void FollowRun();
    /** Lets go of the document and its views, which are destroyed before this frame. */
    void Detach();

    QSize minimumSizeHint() const override;

    // IDocumentFrame
    CRect GetMainWindowRect() const override;
    CRect GetFrameRect() const override;
    std::vector<CSize> GetPaneSizes() const override;
    void MoveMainWindow(const CRect& r) override;
    void MoveFrame(const CRect& r) override;

protected:
    void resizeEvent(QResizeEvent* event) override;

signals:
    void ContextMenuRequested(CModulePane* pane, const QPoint& globalPos);
    void Message(const QString& text);

private:
    /** The fewest rows in which every pane gets its minimum width within `width`. */
    int RowsFor(int width) const;
    /** Puts the panes into `rows` splitter rows, in order. */
    void ArrangeRows(int rows);
    QSplitter* RowSplitter(int row) const;

    CDspDoc& m_doc;
    QWidget* m_mainWindow;
    QMdiSubWindow* m_subWindow = nullptr;
    std::vector<CModulePane*> m_panes;
    QSplitter* m_rows = nullptr; // the rows of panes, each a splitter, for 2 to 6 steps
    int m_rowCount = 0;
    CModulePane* m_active = nullptr;
    bool m_detached = false;
    std::tuple<bool, bool, int> m_shownRun{false, false, 0}; // running, paused, pass
    QElapsedTimer m_sinceShown;
};
