#pragma once
// A layout that places its items left to right at their preferred widths and starts a new row
// when the next one would not fit, so a control bar wraps in a narrow pane instead of
// scrolling sideways. An item wider than a whole row gets the row's width.

#include "ItemListLayout.h"

class CFlowLayout final : public CItemListLayout {
public:
    explicit CFlowLayout(QWidget* parent = nullptr, int spacing = 6, int rowSpacing = 3);

    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    /** Lays the items out in `rect` (moving them only when `apply`) and returns the height
     *  used. */
    int Arrange(const QRect& rect, bool apply) const;

    int m_spacing;
    int m_rowSpacing;
};
