#include "FlowLayout.h"

#include <QWidget>

#include <algorithm>

CFlowLayout::CFlowLayout(QWidget* parent, int spacing, int rowSpacing)
    : CItemListLayout(parent), m_spacing(spacing), m_rowSpacing(rowSpacing) {}

int CFlowLayout::heightForWidth(int width) const {
    return Arrange(QRect(0, 0, width, 0), false);
}

QSize CFlowLayout::sizeHint() const {
    // Everything on one row.
    const QMargins m = contentsMargins();
    int width = 0, height = 0, visible = 0;
    for (const QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        const QSize s = item->sizeHint();
        width += s.width();
        height = std::max(height, s.height());
        ++visible;
    }
    width += std::max(0, visible - 1) * m_spacing;
    return {width + m.left() + m.right(), height + m.top() + m.bottom()};
}

QSize CFlowLayout::minimumSize() const {
    // One item per row: as narrow as the widest item's minimum.
    const QMargins m = contentsMargins();
    QSize size;
    for (const QLayoutItem* item : m_items)
        if (!item->isEmpty()) size = size.expandedTo(item->minimumSize());
    return size + QSize(m.left() + m.right(), m.top() + m.bottom());
}

void CFlowLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    Arrange(rect, true);
}

int CFlowLayout::Arrange(const QRect& rect, bool apply) const {
    const QRect area = rect.marginsRemoved(contentsMargins());
    const int right = area.x() + std::max(1, area.width());
    int x = area.x(), y = area.y(), rowHeight = 0;
    bool rowEmpty = true;
    // Items of one row share its height and are centred in it, so a label lines up with the
    // box beside it.
    QList<QPair<QLayoutItem*, QRect>> row;
    auto finishRow = [&] {
        if (apply)
            for (auto& [item, r] : row)
                item->setGeometry(
                    QRect(r.x(), y + (rowHeight - r.height()) / 2, r.width(), r.height()));
        row.clear();
    };
    for (QLayoutItem* item : m_items) {
        if (item->isEmpty()) continue;
        const QSize hint = item->sizeHint();
        int width = std::min(std::max(hint.width(), item->minimumSize().width()), right - area.x());
        if (!rowEmpty && x + width > right) {
            finishRow();
            y += rowHeight + m_rowSpacing;
            x = area.x();
            rowHeight = 0;
        }
        const int height = item->hasHeightForWidth() ? item->heightForWidth(width) : hint.height();
        row.append({item, QRect(x, 0, width, height)});
        rowHeight = std::max(rowHeight, height);
        x += width + m_spacing;
        rowEmpty = false;
    }
    finishRow();
    const QMargins m = contentsMargins();
    return y + rowHeight - rect.y() + m.bottom();
}
