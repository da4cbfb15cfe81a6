#include "dialogs/pictures.h"

#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Every picture starts transparent; an empty size gives a null pixmap.
QPixmap canvas(QSize size)
{
    if (size.isEmpty()) return {};
    QPixmap pm(size);
    pm.fill(Qt::transparent);
    return pm;
}

void beginAntialiased(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
}

// Maps a drawing laid out in `design` units to the middle of the canvas, keeping its aspect.
void fitDesign(QPainter& p, QSize size, QSizeF design)
{
    const double s = std::min(size.width() / design.width(), size.height() / design.height());
    p.translate((size.width() - design.width() * s) / 2.0, (size.height() - design.height() * s) / 2.0);
    p.scale(s, s);
}

// Small arrowheads read best as whole pixels: row i of a triangle `rows` high is 2i+1 wide.
// Larger ones are antialiased polygons of the same shape.
enum class Pointing { Up, Down, Right };

QPixmap triangle(QSize size, Pointing dir, double share)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    const int w = size.width();
    const int h = size.height();
    // Half the base is the height less one, so the sides run at 45 degrees.
    const int along = dir == Pointing::Right ? w : h;   // the pointing direction
    const int across = dir == Pointing::Right ? h : w;
    int rows = static_cast<int>(std::floor(along * share));
    rows = std::min(rows, (static_cast<int>(std::floor(across * share)) + 1) / 2);
    rows = std::max(rows, 1);
    QPainter p(&pm);
    const QColor ink(16, 16, 16);
    if (rows <= 8) {
        const int start = (along - rows) / 2;
        const int mid = (across - 1) / 2;
        for (int i = 0; i < rows; ++i) {
            const int half = (dir == Pointing::Down) ? rows - 1 - i : i;
            const int span = (dir == Pointing::Right) ? rows - 1 - i : half;
            if (dir == Pointing::Right)
                p.fillRect(QRect(start + i, mid - span, 1, 2 * span + 1), ink);
            else
                p.fillRect(QRect(mid - span, start + i, 2 * span + 1, 1), ink);
        }
        return pm;
    }
    beginAntialiased(p);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    const double len = rows;
    QPolygonF poly;
    switch (dir) {
    case Pointing::Up:
        poly << QPointF(cx, cy - len / 2) << QPointF(cx + len, cy + len / 2) << QPointF(cx - len, cy + len / 2);
        break;
    case Pointing::Down:
        poly << QPointF(cx, cy + len / 2) << QPointF(cx + len, cy - len / 2) << QPointF(cx - len, cy - len / 2);
        break;
    case Pointing::Right:
        poly << QPointF(cx + len / 2, cy) << QPointF(cx - len / 2, cy - len) << QPointF(cx - len / 2, cy + len);
        break;
    }
    p.drawPolygon(poly);
    return pm;
}

// Three passes of a box blur approach a Gaussian; premultiplied pixels blur channel by channel.
void boxBlur(QImage& img, int radius)
{
    const int w = img.width();
    const int h = img.height();
    std::vector<QRgb> line(static_cast<size_t>(std::max(w, h)));
    auto pass = [&](int count, int stride, QRgb* start) {
        for (int i = 0; i < count; ++i) line[static_cast<size_t>(i)] = start[i * stride];
        int sum[4] = {0, 0, 0, 0};
        auto add = [&](QRgb c, int sign) {
            sum[0] += sign * qAlpha(c);
            sum[1] += sign * qRed(c);
            sum[2] += sign * qGreen(c);
            sum[3] += sign * qBlue(c);
        };
        auto at = [&](int i) { return line[static_cast<size_t>(std::clamp(i, 0, count - 1))]; };
        for (int i = -radius; i <= radius; ++i) add(at(i), 1);
        const int n = 2 * radius + 1;
        for (int i = 0; i < count; ++i) {
            start[i * stride] = qRgba(sum[1] / n, sum[2] / n, sum[3] / n, sum[0] / n);
            add(at(i + radius + 1), 1);
            add(at(i - radius), -1);
        }
    };
    for (int round = 0; round < 3; ++round) {
        for (int y = 0; y < h; ++y) pass(w, 1, reinterpret_cast<QRgb*>(img.scanLine(y)));
        QRgb* bits = reinterpret_cast<QRgb*>(img.bits());
        const int stride = static_cast<int>(img.bytesPerLine() / sizeof(QRgb));
        for (int x = 0; x < w; ++x) pass(h, stride, bits + x);
    }
}

// A clock face with a pair of bells: the alarm clock that stands for the "o" of the name.
void drawAlarmClock(QPainter& p, QPointF c, double r, const QBrush& rim)
{
    const QColor dark(20, 34, 80);
    // Bells and feet behind the face.
    p.setPen(QPen(dark, r * 0.08));
    p.setBrush(rim);
    for (int side : {-1, 1}) {
        const double a = qDegreesToRadians(40.0) * side;
        const QPointF bell(c.x() + std::sin(a) * r * 1.02, c.y() - std::cos(a) * r * 1.02);
        QPainterPath dome;
        dome.moveTo(bell + QPointF(-r * 0.42 * std::cos(a), -r * 0.42 * std::sin(a)));
        dome.arcTo(QRectF(bell.x() - r * 0.42, bell.y() - r * 0.42, r * 0.84, r * 0.84),
                   qRadiansToDegrees(-a) + 180.0, -180.0);
        dome.closeSubpath();
        p.drawPath(dome);
        p.setPen(QPen(dark, r * 0.14, Qt::SolidLine, Qt::RoundCap));
        const double fa = qDegreesToRadians(145.0) * side;
        p.drawLine(c + QPointF(std::sin(fa) * r * 0.8, -std::cos(fa) * r * 0.8),
                   c + QPointF(std::sin(fa) * r * 1.2, -std::cos(fa) * r * 1.2));
        p.setPen(QPen(dark, r * 0.08));
    }
    // The knob on top, between the bells.
    p.setPen(QPen(dark, r * 0.12, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(0, -r * 0.95), c + QPointF(0, -r * 1.2));
    // Rim and face.
    p.setPen(QPen(dark, r * 0.06));
    p.setBrush(rim);
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(255, 253, 240));
    p.drawEllipse(c, r * 0.74, r * 0.74);
    // Hour marks.
    for (int h = 0; h < 12; h += 3) {
        const double a = h * M_PI / 6.0;
        p.setPen(QPen(dark, r * 0.09, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(c + QPointF(std::sin(a) * r * 0.52, -std::cos(a) * r * 0.52),
                   c + QPointF(std::sin(a) * r * 0.64, -std::cos(a) * r * 0.64));
    }
    // Hands at seven o'clock sharp: time to get up.
    p.setPen(QPen(dark, r * 0.11, Qt::SolidLine, Qt::RoundCap));
    const double hourA = 7 * M_PI / 6.0;
    p.drawLine(c, c + QPointF(std::sin(hourA) * r * 0.36, -std::cos(hourA) * r * 0.36));
    p.setPen(QPen(QColor(200, 30, 30), r * 0.07, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c, c + QPointF(0, -r * 0.58));
    p.setPen(Qt::NoPen);
    p.setBrush(dark);
    p.drawEllipse(c, r * 0.08, r * 0.08);
}

}  // namespace

QPixmap flatBarPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    const int w = size.width();
    const int h = size.height();
    // Whole pixels keep the bar's edges sharp at every size.
    const int bw = std::max(1, static_cast<int>(std::lround(w * 0.55)));
    const int bh = std::clamp(static_cast<int>(std::lround(h * 0.25)), 1, std::max(1, bw / 3));
    QPainter p(&pm);
    p.fillRect(QRect((w - bw) / 2, (h - bh + 1) / 2, bw, bh), Qt::black);
    return pm;
}

QPixmap scrollQuillPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    QPainter p(&pm);
    beginAntialiased(p);
    fitDesign(p, size, QSizeF(32, 32));
    const QColor edge(90, 52, 12);
    const QColor paper(248, 234, 190);
    const QColor paperShade(222, 196, 136);

    // The sheet between the two rolls.
    p.setPen(QPen(edge, 1.2));
    p.setBrush(paper);
    p.drawRect(QRectF(5.5, 6, 17, 20));
    // Written lines.
    p.setPen(QPen(QColor(95, 85, 75), 1.1, Qt::SolidLine, Qt::FlatCap));
    for (double y : {11.0, 14.5, 18.0, 21.5}) p.drawLine(QPointF(8.5, y), QPointF(y > 20 ? 14.5 : 19.5, y));

    // The rolls: cylinders across the top and bottom edges, their ends showing the curl.
    auto roll = [&](double y) {
        QLinearGradient g(0, y - 2.5, 0, y + 2.5);
        g.setColorAt(0, paper);
        g.setColorAt(1, paperShade);
        p.setPen(QPen(edge, 1.2));
        p.setBrush(g);
        p.drawRoundedRect(QRectF(3.5, y - 2.5, 21, 5), 2.5, 2.5);
        p.setBrush(paperShade);
        p.drawEllipse(QPointF(22, y), 1.6, 2.5);
    };
    roll(5.5);
    roll(26.5);

    // The quill: a feather from the upper right down to its nib on the sheet.
    p.save();
    p.translate(17, 24);
    p.rotate(-48);
    QPainterPath vane;
    vane.moveTo(4, 0);
    vane.cubicTo(8, -5.5, 16, -5.5, 21.5, 0);
    vane.cubicTo(16, 3.8, 8, 3.8, 4, 0);
    p.setPen(QPen(QColor(70, 70, 90), 1.0));
    QLinearGradient feather(0, -5, 0, 4);
    feather.setColorAt(0, QColor(255, 255, 255));
    feather.setColorAt(1, QColor(170, 185, 215));
    p.setBrush(feather);
    p.drawPath(vane);
    // Shaft and nib.
    p.setPen(QPen(QColor(60, 50, 40), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0, 0), QPointF(20, 0));
    p.setPen(QPen(QColor(20, 20, 20), 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-1, 0), QPointF(2, 0));
    p.restore();
    return pm;
}

QPixmap openFolderPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    QPainter p(&pm);
    beginAntialiased(p);
    fitDesign(p, size, QSizeF(32, 30));
    const QColor edge(120, 80, 10);

    // Back of the folder with its tab.
    QPainterPath back;
    back.moveTo(1.5, 28);
    back.lineTo(1.5, 10);
    back.lineTo(3, 8.5);
    back.lineTo(9, 8.5);
    back.lineTo(11, 11);
    back.lineTo(23, 11);
    back.lineTo(23, 28);
    back.closeSubpath();
    p.setPen(QPen(edge, 1.2));
    p.setBrush(QColor(214, 160, 40));
    p.drawPath(back);
    // A sheet peeking out.
    p.setBrush(Qt::white);
    p.setPen(QPen(QColor(140, 140, 140), 0.9));
    p.drawRect(QRectF(5, 13, 14, 8));
    // The open front flap, tilted forward.
    QPolygonF flap;
    flap << QPointF(1.5, 28) << QPointF(7, 17) << QPointF(29.5, 17) << QPointF(23, 28);
    QLinearGradient g(0, 17, 0, 28);
    g.setColorAt(0, QColor(255, 226, 110));
    g.setColorAt(1, QColor(240, 190, 60));
    p.setPen(QPen(edge, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(g);
    p.drawPolygon(flap);

    // The curved arrow: up from the folder, over and down to the right.
    const QColor arrow(30, 150, 50);
    const QColor arrowEdge(10, 80, 20);
    QPainterPath bow;
    bow.moveTo(14, 14);
    bow.cubicTo(14, 3, 26, 1, 27, 9);
    QPainterPathStroker stroker;
    stroker.setWidth(3.2);
    stroker.setCapStyle(Qt::FlatCap);
    QPainterPath body = stroker.createStroke(bow);
    QPainterPath head;
    head.moveTo(22.5, 8.5);
    head.lineTo(31.5, 8.5);
    head.lineTo(27, 14.5);
    head.closeSubpath();
    const QPainterPath whole = body.united(head).simplified();
    p.setPen(QPen(arrowEdge, 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(arrow);
    p.drawPath(whole);
    return pm;
}

QPixmap floppyPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    QPainter p(&pm);
    beginAntialiased(p);
    fitDesign(p, size, QSizeF(30, 30));
    // Body with the write-protect corner cut off.
    QPainterPath body;
    body.moveTo(1, 2.5);
    body.quadTo(1, 1, 2.5, 1);
    body.lineTo(26, 1);
    body.lineTo(29, 4);
    body.lineTo(29, 27.5);
    body.quadTo(29, 29, 27.5, 29);
    body.lineTo(2.5, 29);
    body.quadTo(1, 29, 1, 27.5);
    body.closeSubpath();
    p.setPen(QPen(QColor(10, 15, 40), 1.0));
    p.setBrush(QColor(40, 60, 130));
    p.drawPath(body);
    // Metal shutter with its window.
    p.setPen(QPen(QColor(80, 80, 90), 0.8));
    QLinearGradient metal(7, 0, 22, 0);
    metal.setColorAt(0, QColor(235, 235, 240));
    metal.setColorAt(1, QColor(160, 165, 175));
    p.setBrush(metal);
    p.drawRect(QRectF(7.5, 1, 15, 10));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 60, 130));
    p.drawRect(QRectF(16.5, 2.8, 3.5, 6.4));
    // Label.
    p.setPen(QPen(QColor(120, 120, 130), 0.8));
    p.setBrush(QColor(250, 250, 250));
    p.drawRect(QRectF(5, 15.5, 20, 13.5));
    p.setPen(QPen(QColor(200, 40, 40), 1.2));
    p.drawLine(QPointF(6.5, 18.5), QPointF(23.5, 18.5));
    p.setPen(QPen(QColor(120, 130, 170), 1.0));
    p.drawLine(QPointF(7, 22.5), QPointF(22, 22.5));
    p.drawLine(QPointF(7, 25.5), QPointF(18, 25.5));
    return pm;
}

QPixmap playTrianglePicture(QSize size) { return triangle(size, Pointing::Right, 0.7); }
QPixmap upTrianglePicture(QSize size) { return triangle(size, Pointing::Up, 0.7); }
QPixmap downTrianglePicture(QSize size) { return triangle(size, Pointing::Down, 0.7); }

QPixmap hourglassPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    QPainter p(&pm);
    beginAntialiased(p);
    fitDesign(p, size, QSizeF(20, 28));
    const QColor wood(130, 80, 30);
    const QColor woodEdge(70, 40, 10);

    // Glass: two bulbs meeting at a narrow neck.
    QPainterPath glass;
    glass.moveTo(4, 3);
    glass.lineTo(16, 3);
    glass.cubicTo(16, 9, 11, 11.5, 11, 14);
    glass.cubicTo(11, 16.5, 16, 19, 16, 25);
    glass.lineTo(4, 25);
    glass.cubicTo(4, 19, 9, 16.5, 9, 14);
    glass.cubicTo(9, 11.5, 4, 9, 4, 3);
    glass.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(225, 240, 255, 200));
    p.drawPath(glass);

    // Sand: what is left above, a thin stream, the heap below.
    const QColor sand(225, 170, 60);
    p.save();
    p.setClipPath(glass);
    p.setBrush(sand);
    p.drawRect(QRectF(0, 8.5, 20, 6));
    QPainterPath heap;
    heap.moveTo(3, 25);
    heap.cubicTo(6, 20, 8, 18.5, 10, 18.5);
    heap.cubicTo(12, 18.5, 14, 20, 17, 25);
    heap.closeSubpath();
    p.drawPath(heap);
    p.restore();
    p.setPen(QPen(sand, 0.9));
    p.drawLine(QPointF(10, 14), QPointF(10, 19));

    p.setPen(QPen(QColor(60, 70, 90), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(glass);

    // Wooden frame: posts and the two plates.
    p.setPen(QPen(woodEdge, 0.8));
    p.setBrush(wood);
    p.drawRect(QRectF(1.6, 3, 1.6, 22));
    p.drawRect(QRectF(16.8, 3, 1.6, 22));
    p.drawRoundedRect(QRectF(0.5, 0.5, 19, 3), 1, 1);
    p.drawRoundedRect(QRectF(0.5, 24.5, 19, 3), 1, 1);
    return pm;
}

QPixmap aboutHeadingPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    QPainter p(&pm);
    beginAntialiased(p);
    fitDesign(p, size, QSizeF(140, 66));

    // "V" with a heavy left and a light right stroke, and "z", drawn as outlines so the
    // heading looks the same whatever fonts the desktop has.
    QPainterPath letters;
    letters.setFillRule(Qt::WindingFill);
    QPolygonF v;
    v << QPointF(4, 8) << QPointF(25, 8) << QPointF(25, 11) << QPointF(21, 11) << QPointF(36, 46)
      << QPointF(48, 11) << QPointF(44, 11) << QPointF(44, 8) << QPointF(58, 8) << QPointF(58, 11)
      << QPointF(55, 11) << QPointF(38.5, 58) << QPointF(32, 58) << QPointF(11, 11) << QPointF(4, 11);
    letters.addPolygon(v);
    letters.closeSubpath();
    QPolygonF z;
    z << QPointF(97, 27) << QPointF(133, 27) << QPointF(133, 32) << QPointF(110, 53) << QPointF(134, 53)
      << QPointF(134, 58) << QPointF(95, 58) << QPointF(95, 53) << QPointF(119, 32) << QPointF(97, 32);
    letters.addPolygon(z);
    letters.closeSubpath();

    QLinearGradient ink(0, 8, 0, 58);
    ink.setColorAt(0, QColor(40, 70, 170));
    ink.setColorAt(1, QColor(15, 30, 95));

    // Soft shadow, a white halo that lifts the letters off any background, then the ink.
    p.save();
    p.translate(1.8, 2.2);
    p.setPen(QPen(QColor(0, 20, 60, 70), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0, 20, 60, 90));
    p.drawPath(letters);
    p.drawEllipse(QPointF(76, 42), 17, 17);
    p.restore();
    p.setPen(QPen(QColor(255, 255, 255, 230), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letters);
    p.setPen(QPen(QColor(10, 20, 60), 0.8));
    p.setBrush(ink);
    p.drawPath(letters);

    drawAlarmClock(p, QPointF(76, 42), 15.5, ink);
    return pm;
}

QPixmap cloudsPicture(QSize size)
{
    QPixmap pm = canvas(size);
    if (pm.isNull()) return pm;
    const double sx = size.width() / 328.0;
    const double sy = size.height() / 208.0;

    // Each cloud is a cluster of puffs with a flat base. The puffs are filled as one shape so
    // they merge, lit from above, and the layer is blurred so the rims are soft.
    struct Puff { double x, y, r; };
    struct Cloud { std::vector<Puff> puffs; double base; };
    const Cloud clouds[] = {
        {{{16, 36, 16}, {38, 26, 20}, {62, 30, 18}, {82, 38, 13}, {30, 40, 14}, {54, 42, 14}}, 48},
        {{{236, 54, 14}, {258, 42, 20}, {284, 46, 18}, {306, 56, 13}, {250, 58, 14}, {282, 60, 13}}, 66},
        {{{152, 104, 11}, {168, 96, 14}, {186, 101, 12}, {200, 108, 8}, {172, 108, 10}}, 114},
        {{{-4, 162, 18}, {22, 150, 24}, {52, 156, 21}, {78, 166, 15}, {36, 170, 18}, {8, 174, 16}}, 182},
        {{{222, 172, 16}, {248, 160, 24}, {278, 164, 22}, {306, 172, 18}, {332, 178, 15}, {264, 180, 18}}, 188},
    };
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    {
        QPainter lp(&layer);
        beginAntialiased(lp);
        lp.scale(sx, sy);
        lp.setPen(Qt::NoPen);
        for (const Cloud& c : clouds) {
            QPainterPath shape;
            shape.setFillRule(Qt::WindingFill);
            double top = c.base;
            for (const Puff& f : c.puffs) {
                shape.addEllipse(QPointF(f.x, f.y), f.r, f.r);
                top = std::min(top, f.y - f.r);
            }
            QPainterPath below;
            below.addRect(QRectF(-50, c.base, 450, 100));
            shape = shape.simplified().subtracted(below);
            QLinearGradient body(0, top, 0, c.base);
            body.setColorAt(0, QColor(255, 255, 255));
            body.setColorAt(0.55, QColor(240, 244, 252));
            body.setColorAt(1, QColor(190, 202, 225));
            lp.setBrush(body);
            lp.drawPath(shape);
            // Sunlit tops of the puffs.
            lp.save();
            lp.setClipPath(shape);
            for (const Puff& f : c.puffs) {
                QRadialGradient light(QPointF(f.x - f.r * 0.25, f.y - f.r * 0.35), f.r);
                light.setColorAt(0, QColor(255, 255, 255, 230));
                light.setColorAt(1, QColor(255, 255, 255, 0));
                lp.setBrush(light);
                lp.drawEllipse(QPointF(f.x, f.y), f.r, f.r);
            }
            lp.restore();
        }
    }
    boxBlur(layer, std::max(1, static_cast<int>(std::lround(2.0 * std::min(sx, sy)))));

    QPainter p(&pm);
    QLinearGradient sky(0, 0, 0, size.height());
    sky.setColorAt(0, QColor(64, 122, 206));
    sky.setColorAt(0.6, QColor(130, 176, 232));
    sky.setColorAt(1, QColor(200, 224, 248));
    p.fillRect(QRect(QPoint(0, 0), size), sky);
    p.drawImage(0, 0, layer);
    return pm;
}
