#pragma once
// The plot area of a module pane: painted by the module's OnDraw through a QPainter canvas, with
// mouse input handed to the module as plain points.

#include <QWidget>

class CDspView;

class CPlotWidget final : public QWidget {
    Q_OBJECT
public:
    explicit CPlotWidget(CDspView& view, QWidget* parent = nullptr);

    /** For a module that draws no plot: show the block it handed on instead. */
    void SetBlockPreview(bool on) { m_blockPreview = on; }
    bool IsBlockPreview() const { return m_blockPreview; }

signals:
    /** The user clicked into the plot (the pane becomes the active one). */
    void Activated();
    /** A right click asks for the context menu at this global position. */
    void ContextMenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    CDspView& m_view;
    bool m_blockPreview = false;
};
