// Panels of the map: open sea (which tiles the whole background), reef, shallow, fog and high wave;
// their small versions, the grid borders and the compass.

#include "tools/art/Art.h"
#include "tools/art/BitmapFont.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

#include <cmath>
#include <functional>

namespace art {
namespace {

// Every panel is drawn in 32-unit coordinates and scaled to the picture's size.
using PanelDrawing = std::function<void(QPainter&)>;

QImage render(const PanelDrawing& draw, int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    prepare(p);
    p.scale(size / 32.0, size / 32.0);
    draw(p);
    return image;
}

// A chart's wave sign: two small arches.
void waveSign(QPainter& p, double x, double y, const QColor& colour, double width = 1.0)
{
    QPainterPath path;
    path.moveTo(x, y);
    path.quadTo(x + 2.0, y - 2.6, x + 4.0, y);
    path.quadTo(x + 6.0, y - 2.6, x + 8.0, y);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void drawSea(QPainter& p)
{
    p.fillRect(QRectF(0, 0, 32, 32), palette::kSea);
    waveSign(p, 4.5, 10.5, palette::kSeaLight);
    waveSign(p, 18.5, 25.0, palette::kSeaLight);
    p.setPen(Qt::NoPen);
    p.setBrush(withAlpha(palette::kSeaLight, 150));
    p.drawEllipse(QPointF(24.5, 8.0), 0.7, 0.7);
    p.drawEllipse(QPointF(9.0, 23.5), 0.7, 0.7);
}

QPainterPath rock(const std::vector<QPointF>& points)
{
    QPainterPath path;
    path.moveTo(points.front());
    for (size_t i = 1; i < points.size(); ++i) {
        const QPointF& a = points[i - 1];
        const QPointF& b = points[i];
        path.quadTo(a, (a + b) / 2);
    }
    path.quadTo(points.back(), (points.back() + points.front()) / 2);
    path.closeSubpath();
    return path;
}

void drawRockAt(QPainter& p, const QPainterPath& shape)
{
    const QColor stone(128, 112, 96);
    // Breakers around the rock.
    p.setPen(QPen(withAlpha(palette::kFoam, 120), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(shape);
    p.setPen(QPen(withAlpha(palette::kFoam, 230), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(shape);
    p.setPen(QPen(QColor(44, 36, 30), 0.9));
    p.setBrush(stone);
    p.drawPath(shape);
    // Sunlit top face.
    p.save();
    p.setClipPath(shape);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(176, 160, 136));
    const QRectF b = shape.boundingRect();
    p.drawEllipse(
        QRectF(b.left() - b.width() * 0.15, b.top() - b.height() * 0.25, b.width() * 0.8, b.height() * 0.75));
    p.restore();
}

void drawReef(QPainter& p)
{
    p.fillRect(QRectF(0, 0, 32, 32), palette::kSea);
    // Lighter water over the reef flat.
    QRadialGradient flat(QPointF(16, 16), 15);
    flat.setColorAt(0.0, QColor(56, 132, 168, 210));
    flat.setColorAt(1.0, QColor(56, 132, 168, 0));
    p.fillRect(QRectF(0, 0, 32, 32), flat);
    drawRockAt(p, rock({{6, 9}, {10, 5.5}, {14.5, 7}, {15.5, 11}, {12, 14}, {7, 13}}));
    drawRockAt(p, rock({{18, 17}, {22.5, 14}, {27, 16}, {27.5, 21}, {23, 24}, {18.5, 22}}));
    drawRockAt(p, rock({{6.5, 22}, {9.5, 20}, {12.5, 22.5}, {11, 26}, {7, 26}}));
    // Spray dots.
    Noise n(0x4ee7);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 10; ++i) {
        p.setBrush(withAlpha(palette::kFoam, static_cast<int>(n.range(120, 230))));
        p.drawEllipse(QPointF(n.range(3, 29), n.range(3, 29)), 0.6, 0.6);
    }
}

void drawShallow(QPainter& p)
{
    const QColor water(54, 150, 170);
    const QColor sand(214, 198, 146);
    p.fillRect(QRectF(0, 0, 32, 32), water);
    // A sand bar rising towards the lower right.
    QPainterPath bar;
    bar.moveTo(32, 11);
    bar.cubicTo(24, 12, 20, 18, 13, 22);
    bar.cubicTo(8, 25, 6, 29, 6, 32);
    bar.lineTo(32, 32);
    bar.closeSubpath();
    QPainterPath rim;
    rim.moveTo(32, 6.5);
    rim.cubicTo(22, 8, 17, 14, 10, 18.5);
    rim.cubicTo(4, 22, 1.5, 27, 1.5, 32);
    p.setPen(QPen(QColor(255, 255, 255, 150), 0.9, Qt::DotLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawPath(rim);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(120, 190, 190));
    p.drawPath(bar.translated(-1.5, -1.5));
    p.setBrush(sand);
    p.drawPath(bar);
    // Speckles in the sand and small ripples in the water.
    Noise n(0x5a4d);
    p.setBrush(darker(sand, 0.22));
    for (int i = 0; i < 14; ++i) {
        const QPointF c(n.range(10, 31), n.range(14, 31));
        if (bar.contains(c)) p.drawEllipse(c, 0.55, 0.55);
    }
    p.setPen(QPen(QColor(150, 214, 216), 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 6), QPointF(9, 6));
    p.drawLine(QPointF(10, 10), QPointF(14, 10));
    p.drawLine(QPointF(3, 13), QPointF(6, 13));
}

void drawFog(QPainter& p)
{
    p.fillRect(QRectF(0, 0, 32, 32), QColor(70, 92, 128));
    waveSign(p, 4.5, 10.5, QColor(92, 116, 150));
    waveSign(p, 18.5, 25.0, QColor(92, 116, 150));
    // Banks of mist drifting across.
    QImage mist = blank(32, 32);
    {
        QPainter m(&mist);
        prepare(m);
        m.setPen(Qt::NoPen);
        m.setBrush(QColor(232, 236, 242, 200));
        m.drawEllipse(QRectF(-4, 2, 22, 11));
        m.drawEllipse(QRectF(10, 5, 18, 9));
        m.drawEllipse(QRectF(20, 1, 16, 10));
        m.drawEllipse(QRectF(2, 16, 20, 10));
        m.drawEllipse(QRectF(15, 19, 21, 10));
        m.drawEllipse(QRectF(-6, 24, 14, 8));
    }
    p.save();
    p.resetTransform();
    const double s = p.device()->width() / 32.0;
    p.scale(s, s);
    p.drawImage(0, 0, blurred(mist, 1));
    p.restore();
    // Wisps.
    p.setPen(QPen(QColor(246, 248, 252, 200), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(3, 14.5), QPointF(15, 14.5));
    p.drawLine(QPointF(18, 16.5), QPointF(29, 16.5));
    p.drawLine(QPointF(8, 29), QPointF(20, 29));
}

void drawHighWave(QPainter& p)
{
    p.fillRect(QRectF(0, 0, 32, 32), QColor(14, 44, 118));
    const QColor body(44, 96, 180);
    for (int row = 0; row < 3; ++row) {
        const double y = 9.5 + row * 10.0;
        const double shift = (row % 2) ? -5.0 : 0.0;
        for (int k = -1; k < 3; ++k) {
            const double x = shift + k * 12.0 + 2.0;
            // A breaking crest: swell body, white cap curling over.
            QPainterPath swell;
            swell.moveTo(x, y + 2.5);
            swell.cubicTo(x + 3, y + 1, x + 5, y - 4.5, x + 8.5, y - 4.5);
            swell.cubicTo(x + 10.5, y - 4.5, x + 11.5, y - 3, x + 11, y - 1.5);
            swell.cubicTo(x + 10, y - 2.8, x + 8.5, y - 2.2, x + 8.5, y);
            swell.cubicTo(x + 8.5, y + 1.5, x + 10, y + 2.5, x + 12, y + 2.5);
            swell.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(body);
            p.drawPath(swell);
            QPainterPath cap;
            cap.moveTo(x + 3.0, y - 0.2);
            cap.cubicTo(x + 5, y - 4.0, x + 7, y - 4.6, x + 8.6, y - 4.6);
            cap.cubicTo(x + 10.4, y - 4.6, x + 11.4, y - 3.2, x + 11.0, y - 1.6);
            p.setPen(QPen(palette::kFoam, 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(cap);
        }
    }
}

// Lines on the named edges of a cell, light, as the map draws them faint over the sea.
QImage border(bool top, bool left, bool right, bool bottom)
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    const QColor line(235, 235, 235);
    if (top) p.fillRect(0, 0, 32, 1, line);
    if (left) p.fillRect(0, 0, 1, 32, line);
    if (right) p.fillRect(31, 0, 1, 32, line);
    if (bottom) p.fillRect(0, 31, 32, 1, line);
    return image;
}

QImage compass()
{
    const int size = 48;
    QImage image = blank(size, size);
    QPainter p(&image);
    prepare(p);
    const QPointF c(24, 26);
    p.setPen(QPen(withAlpha(palette::kText, 200), 1.0));
    p.setBrush(withAlpha(palette::kDeepPanel, 150));
    p.drawEllipse(c, 17.5, 17.5);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(withAlpha(palette::kText, 120), 0.8));
    p.drawEllipse(c, 14.5, 14.5);
    // Ticks every 30 degrees.
    for (int i = 0; i < 12; ++i) {
        const double a = i * M_PI / 6;
        const QPointF d(std::sin(a), -std::cos(a));
        p.drawLine(c + d * 15.0, c + d * 17.0);
    }
    // Eight-pointed star: long points to the cardinal directions, short ones between.
    auto point = [&](double angle, double length, double halfWidth, const QColor& lit, const QColor& shade) {
        const QPointF d(std::sin(angle), -std::cos(angle));
        const QPointF n(-d.y(), d.x());
        const QPointF tip = c + d * length;
        const QPolygonF a = polygon({c, tip, c + n * halfWidth});
        const QPolygonF b = polygon({c, tip, c - n * halfWidth});
        p.setPen(Qt::NoPen);
        p.setBrush(lit);
        p.drawPolygon(a);
        p.setBrush(shade);
        p.drawPolygon(b);
    };
    for (int i = 0; i < 4; ++i)
        point(M_PI / 4 + i * M_PI / 2, 9.5, 2.4, QColor(150, 170, 205), QColor(90, 110, 150));
    for (int i = 1; i < 4; ++i) point(i * M_PI / 2, 14.0, 3.2, QColor(240, 240, 244), QColor(170, 176, 190));
    point(0, 14.0, 3.2, QColor(236, 92, 76), QColor(170, 50, 44));
    p.setPen(Qt::NoPen);
    p.setBrush(palette::kText);
    p.drawEllipse(c, 1.6, 1.6);
    p.end();
    // "N" above the north point.
    drawGlyph(image, 22, 0, 'N', palette::kText);
    return image;
}

} // namespace

void addPanels(Pictures& out)
{
    const std::vector<std::pair<const char*, PanelDrawing>> panels{{"Sea", drawSea},
                                                                   {"Reef", drawReef},
                                                                   {"Shallow", drawShallow},
                                                                   {"Fog", drawFog},
                                                                   {"HighWave", drawHighWave}};
    for (const auto& [word, draw] : panels)
        out.add("Panels", "Panels", QString("Resources/%1Panel.png").arg(word), render(draw, 32));
    for (const auto& [word, draw] : panels)
        out.add("Panels", "Panels", QString("Resources/%1Panel16x16.png").arg(word), render(draw, 16));
    out.add("Panels", "Panels", "Resources/Compass.png", compass());
    out.add("Panels", "Panels", "Resources/PanelBorder-all.png", border(true, true, true, true));
    out.add("Panels", "Panels", "Resources/PanelBorder-top-left.png", border(true, true, false, false));
    out.add("Panels", "Panels", "Resources/PanelBorder-top-left-right.png", border(true, true, true, false));
    out.add("Panels", "Panels", "Resources/PanelBorder-top-left-bottom.png", border(true, true, false, true));
}

} // namespace art
