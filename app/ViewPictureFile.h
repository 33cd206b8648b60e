#pragma once
// A module view's plot as a picture: an image for the clipboard, or a PNG or SVG file. Both go
// through the view's own drawing, as the command line's rendering does.

#include <QImage>
#include <QString>

#include <string>

class CDspView;

/** The view drawn into an image of `size` pixels. */
QImage ViewImage(CDspView& view, QSize size);

/** Writes the view at `size` to `path`: SVG when the name ends in ".svg" (any case), PNG
 *  otherwise. False with the reason in `error` when the file cannot be written. */
bool SaveViewPicture(CDspView& view, const QString& path, QSize size, std::string& error);
