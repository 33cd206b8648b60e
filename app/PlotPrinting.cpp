#include "PlotPrinting.h"

#include "QtCanvas.h"
#include "QtPlatform.h"
#include "process/DspDoc.h"
#include "process/DspView.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

QString PrintTitle(const CDspView& view, const QDateTime& when) {
    const CDspDoc* doc = view.GetDocument();
    if (!doc) return when.toString("dd MMM yyyy HH:mm");
    return QString::fromStdString(doc->GetTitle() + " - " + doc->GetProcessDesc(&view)) + " - " +
           when.toString("dd MMM yyyy HH:mm");
}

void PaintPrintPage(QPainter& painter, const QRect& page, CDspView& view, const QString& title,
                    const QSize& plotSize) {
    painter.save();
    QFont font = painter.font();
    font.setPointSize(11);
    painter.setFont(font);
    painter.setPen(Qt::black);
    const int titleHeight = QFontMetrics(font, painter.device()).height();
    painter.drawText(QRect(page.left(), page.top(), page.width(), titleHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, title);

    const QRect below(page.left(), page.top() + 2 * titleHeight, page.width(),
                      std::max(1, page.height() - 2 * titleHeight));
    const QSize shape = plotSize.isEmpty() ? QSize(3, 2) : plotSize;
    const QSize size = shape.scaled(below.size(), Qt::KeepAspectRatio);
    const QRect plot(below.topLeft(), size);
    painter.fillRect(plot, Qt::white);
    painter.setClipRect(plot);
    painter.translate(plot.topLeft());
    CQtCanvas canvas(painter, true);
    view.OnDraw(canvas, FromQRect(QRect(QPoint(0, 0), size)));
    painter.restore();
}
