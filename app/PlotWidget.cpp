#include "PlotWidget.h"

#include "QtCanvas.h"
#include "QtPlatform.h"
#include "plot/BlockPreview.h"
#include "process/DspView.h"

#include <QMouseEvent>
#include <QPainter>

namespace {
CPoint ToPoint(const QPoint& p) {
    return CPoint{p.x(), p.y()};
}
} // namespace

CPlotWidget::CPlotWidget(CDspView& view, QWidget* parent) : QWidget(parent), m_view(view) {
    setAttribute(Qt::WA_OpaquePaintEvent); // the module paints every pixel
    setMouseTracking(false);
    setMinimumSize(120, 90);
}

void CPlotWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The background the module expects the host to have painted (its theme bitmap's place).
    painter.fillRect(rect(), palette().color(QPalette::Window));
    CQtCanvas canvas(painter);
    m_view.OnDraw(canvas, FromQRect(rect()));
    if (m_blockPreview)
        DrawBlockPreview(canvas, m_view.GetScreenRect(FromQRect(rect())), m_view.GetWorkingList(),
                         m_view.GetPlotColours());
}

void CPlotWidget::mousePressEvent(QMouseEvent* event) {
    emit Activated();
    if (event->button() == Qt::RightButton) {
        emit ContextMenuRequested(event->globalPosition().toPoint());
        return;
    }
    if (event->button() == Qt::LeftButton)
        m_view.OnLButtonDown(ToPoint(event->position().toPoint()));
}

void CPlotWidget::mouseMoveEvent(QMouseEvent* event) {
    m_view.OnMouseMove(ToPoint(event->position().toPoint()), event->buttons() & Qt::LeftButton);
}

void CPlotWidget::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) m_view.OnLButtonUp(ToPoint(event->position().toPoint()));
}
