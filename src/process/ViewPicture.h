#pragma once
// A module view drawn as a picture of a given size, the same way on every canvas: the desktop's
// exported and copied pictures and the command line's rendering are one drawing.

#include "platform/Canvas.h"

class CDspView;

/** Fills the picture with the window background a pane shows behind the view, then lets the
 *  view draw itself over the whole of it. */
void DrawViewPicture(CDspView& view, ICanvas& canvas, CSize size);
