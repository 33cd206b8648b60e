#include "process/ViewPicture.h"

#include "process/DspView.h"
#include "plot/PlotColours.h"

void DrawViewPicture(CDspView& view, ICanvas& canvas, CSize size) {
    const CRect client{0, 0, size.cx, size.cy};
    canvas.FillRect(client, kApplicationBackground);
    view.OnDraw(canvas, client);
}
