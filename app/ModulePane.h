#pragma once
// One step of a process document on screen: the module's control bar, its plot area and its
// status line. A repaint covers all three, so readouts and previews follow the run.

#include "process/DspView.h"

#include <QWidget>

class CControlBarWidget;
class CPlotWidget;
class QLabel;
class QTimer;

class CModulePane final : public QWidget, public IViewHost {
    Q_OBJECT
public:
    CModulePane(CDspView& view, QWidget* parent = nullptr);
    ~CModulePane() override;

    CDspView& View() const { return m_view; }
    CPlotWidget* Plot() const { return m_plot; }

    // IViewHost
    /** Queues one refresh of the bar, the plot and the status line; repeated calls before it
     *  runs cost nothing more. */
    void Invalidate() override;
    bool IsVisible() const override { return isVisible(); }

    /** Refreshes the control bar, the plot and the status line from the module now. */
    void Refresh();
    /** Re-reads the status line text and colour. */
    void UpdateStatusPane();
    /** Lets go of the module, which is about to be destroyed before this pane. */
    void Detach();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    /** The pane was clicked and is now the one edit commands and printing act on. */
    void Activated(CModulePane* pane);
    /** The right-button menu was asked for at a global position. */
    void ContextMenuRequested(CModulePane* pane, const QPoint& globalPos);
    /** A module control changed a setting. */
    void Modified();
    /** A one-line message for the window's status bar. */
    void Message(const QString& text);

private:
    CDspView& m_view;
    CControlBarWidget* m_bar;
    CPlotWidget* m_plot;
    QLabel* m_status;
    QTimer* m_timer;
    bool m_detached = false;
    bool m_refreshQueued = false;
};
