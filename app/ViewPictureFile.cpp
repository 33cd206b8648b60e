#include "ViewPictureFile.h"

#include "QtCanvas.h"
#include "platform/AtomicFile.h"
#include "platform/SvgCanvas.h"
#include "process/ViewPicture.h"

#include <QPainter>

#include <algorithm>

namespace {
CSize ToSize(QSize size) {
    return CSize{std::max(1, size.width()), std::max(1, size.height())};
}
} // namespace

QImage ViewImage(CDspView& view, QSize size) {
    const CSize s = ToSize(size);
    QImage image(s.cx, s.cy, QImage::Format_RGB32);
    QPainter painter(&image);
    CQtCanvas canvas(painter);
    DrawViewPicture(view, canvas, s);
    return image;
}

bool SaveViewPicture(CDspView& view, const QString& path, QSize size, std::string& error) {
    if (path.endsWith(".svg", Qt::CaseInsensitive)) {
        const CSize s = ToSize(size);
        CSvgCanvas canvas(s.cx, s.cy);
        DrawViewPicture(view, canvas, s);
        const std::string svg = canvas.GetDocument();
        return WriteFileAtomically(path.toStdString(), std::vector<uint8_t>(svg.begin(), svg.end()),
                                   error);
    }
    if (ViewImage(view, size).save(path, "PNG")) return true;
    error = "Could not write the picture \"" + path.toStdString() + "\"";
    return false;
}
