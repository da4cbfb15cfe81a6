#include "clock/tray_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

QImage drawClockIcon(int size)
{
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    p.scale(s, s);
    p.setPen(QPen(Qt::black, 1.6));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 14.5, 14.5);
    for (int h = 0; h < 12; ++h) {
        const double a = h * M_PI / 6.0;
        const double inner = (h % 3 == 0) ? 9.5 : 11.0;
        p.setPen(QPen(Qt::black, (h % 3 == 0) ? 2.0 : 1.2, Qt::SolidLine, Qt::FlatCap));
        p.drawLine(QPointF(16 + inner * std::sin(a), 16 - inner * std::cos(a)),
                   QPointF(16 + 13.0 * std::sin(a), 16 - 13.0 * std::cos(a)));
    }
    // Hands at ten past ten, the classic clock-face pose.
    p.setPen(QPen(Qt::black, 2.4, Qt::SolidLine, Qt::RoundCap));
    const double hourA = (10 + 10 / 60.0) * M_PI / 6.0;
    p.drawLine(QPointF(16, 16), QPointF(16 + 6.5 * std::sin(hourA), 16 - 6.5 * std::cos(hourA)));
    p.setPen(QPen(Qt::black, 1.6, Qt::SolidLine, Qt::RoundCap));
    const double minA = 10 * M_PI / 30.0;
    p.drawLine(QPointF(16, 16), QPointF(16 + 10.0 * std::sin(minA), 16 - 10.0 * std::cos(minA)));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawEllipse(QPointF(16, 16), 1.6, 1.6);
    return img;
}

QImage drawDisabledClockIcon(int size)
{
    QImage img = drawClockIcon(size);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const double s = size / 32.0;
    p.scale(s, s);
    const QRectF box(16, 16, 16, 16);  // the lower right quarter
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 0, 0));
    p.drawRect(box);
    p.setPen(QPen(Qt::white, 2.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19.5, 19.5), QPointF(28.5, 28.5));
    p.drawLine(QPointF(28.5, 19.5), QPointF(19.5, 28.5));
    return img;
}
