#pragma once
// Printing a step: a title line naming the process, the step and the date, and under it what
// the step's module draws, in the module's printing style (larger text, lines by the printer's
// resolution). The pane's control bar and status line are not printed.

#include <QDateTime>
#include <QRect>
#include <QString>

class CDspView;
class QPainter;

/** "thd-1khz.process - Step: 3 Spectrum Analyzer - 07 Dec 2026 14:05" for the view's process. */
QString PrintTitle(const CDspView& view, const QDateTime& when);

/** Paints `title` at the top of `page` and the module's plot below it, as wide as the page and
 *  at most as tall as the rest, in the proportions of `plotSize` (the plot on screen). */
void PaintPrintPage(QPainter& painter, const QRect& page, CDspView& view, const QString& title,
                    const QSize& plotSize);
