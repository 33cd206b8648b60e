#pragma once
// The layout of a module pane: the control bar on top, as tall as its rows need while the plot
// keeps its share of the height (a taller bar scrolls), the plot below it, and the status line
// at the bottom. A preview (a module that draws no plot) shares only its minimum height.

#include "ItemListLayout.h"

class QScrollArea;

class CPaneColumnLayout final : public CItemListLayout {
public:
    /** `plotShare` is the part of the height (without the status line) kept for the plot. */
    CPaneColumnLayout(QWidget* pane, QScrollArea* bar, QWidget* plot, QWidget* status,
                      double plotShare);

    QSize sizeHint() const override;
    QSize minimumSize() const override;
    void setGeometry(const QRect& rect) override;

private:
    /** The height the bar's rows take at the pane's width `width`, without scrolling. */
    int BarHeight(int width) const;

    QScrollArea* m_bar;
    QWidget* m_plot;
    QWidget* m_status;
    double m_plotShare;
};
