#include "wallpaper/wallpaper_pictures.h"

#include <QPainter>
#include <algorithm>

namespace {
// `lines` grey list lines across the picture with a red cross over their middle.
QPixmap struckList(QSize size, int lines)
{
    if (size.isEmpty()) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const double w = size.width(), h = size.height();
    const double pad = std::max(1.0, h * 0.12);
    const double step = (h - 2 * pad) / (lines + 1);
    p.setPen(QPen(QColor(90, 90, 90), std::max(1.0, h / 10.0), Qt::SolidLine, Qt::FlatCap));
    for (int i = 1; i <= lines; ++i) {
        const double y = pad + step * i;
        p.drawLine(QPointF(pad, y), QPointF(w - pad, y));
    }
    // The cross is square, centred, as high as the picture allows.
    const double side = h - 2 * pad;
    const double x0 = (w - side) / 2.0;
    p.setPen(QPen(QColor(200, 24, 24), std::max(1.5, h / 7.0), Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x0, pad), QPointF(x0 + side, pad + side));
    p.drawLine(QPointF(x0 + side, pad), QPointF(x0, pad + side));
    return pm;
}
}  // namespace

QPixmap removeEntryPicture(QSize size) { return struckList(size, 1); }

QPixmap clearListPicture(QSize size) { return struckList(size, 3); }
