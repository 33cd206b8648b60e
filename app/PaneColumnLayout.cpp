#include "PaneColumnLayout.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {
// A bar never gets less than about two rows of controls while the pane has them to give.
constexpr int kBarRows = 2;

int RowHeight(const QWidget& w) {
    return w.fontMetrics().height() + 12;
}
} // namespace

CPaneColumnLayout::CPaneColumnLayout(QWidget* pane, QScrollArea* bar, QWidget* plot,
                                     QWidget* status, double plotShare)
    : CItemListLayout(pane), m_bar(bar), m_plot(plot), m_status(status), m_plotShare(plotShare) {
    setContentsMargins(0, 0, 0, 0);
    addWidget(bar);
    addWidget(plot);
    addWidget(status);
}

int CPaneColumnLayout::BarHeight(int width) const {
    const QWidget* rows = m_bar->widget();
    return rows->hasHeightForWidth() ? rows->heightForWidth(width) : rows->sizeHint().height();
}

QSize CPaneColumnLayout::sizeHint() const {
    const QSize bar = m_bar->widget()->sizeHint();
    const int width = std::max(bar.width(), m_plot->sizeHint().width());
    return {width, BarHeight(width) + std::max(m_plot->sizeHint().height(), 200) +
                       m_status->sizeHint().height()};
}

QSize CPaneColumnLayout::minimumSize() const {
    // As narrow as the widest control with a scroll bar beside it.
    const int scroll = m_bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int width =
        std::max(m_bar->widget()->minimumSizeHint().width() + scroll, m_plot->minimumWidth());
    return {width,
            kBarRows * RowHeight(*m_bar) + m_plot->minimumHeight() + m_status->sizeHint().height()};
}

void CPaneColumnLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const int statusHeight = m_status->sizeHint().height();
    const int space = std::max(0, rect.height() - statusHeight);
    const int plotHeight = std::max(m_plot->minimumHeight(), int(space * m_plotShare + 0.5));
    int barHeight = BarHeight(rect.width());
    if (barHeight > space - plotHeight) {
        // Rows that do not fit scroll; the scroll bar takes its width from them.
        const int scroll = m_bar->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        barHeight =
            std::min(BarHeight(rect.width() - scroll),
                     std::max(space - plotHeight, std::min(space, kBarRows * RowHeight(*m_bar))));
    }
    m_bar->setGeometry(rect.x(), rect.y(), rect.width(), barHeight);
    m_plot->setGeometry(rect.x(), rect.y() + barHeight, rect.width(),
                        std::max(0, space - barHeight));
    m_status->setGeometry(rect.x(), rect.y() + space, rect.width(), statusHeight);
}
