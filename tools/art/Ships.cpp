// Ships seen from above on the chart, facing left; the other poses are mirrors and quarter turns of it.

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

#include <QTransform>
#include <array>
#include <cmath>

namespace art {
namespace palette {

QColor side(int sideNumber)
{
    static const std::array<QColor, 4> colours{QColor(214, 74, 62), QColor(86, 150, 232), QColor(74, 172, 86),
                                               QColor(226, 178, 56)};
    return colours[static_cast<size_t>((sideNumber - 1) & 3)];
}

} // namespace palette

namespace {

using Kind = ShipKind;

const QColor kOutline(22, 24, 30);
const QColor kGunMetal(52, 56, 64);
const QColor kTurret(206, 210, 218);
const QColor kStructure(214, 218, 226);

struct Tones {
    QColor hull;
    QColor rim;
    QColor deck;
    QColor structure;
};

Tones tonesOf(const QColor& base)
{
    return {base, darker(base, 0.3), lighter(base, 0.16), lighter(base, 0.5)};
}

QPainterPath battleshipHull()
{
    QPainterPath p;
    p.moveTo(0.5, 16);
    p.cubicTo(3.0, 13.2, 6.0, 10.5, 11.0, 10.5);
    p.lineTo(27.0, 10.5);
    p.cubicTo(30.0, 10.5, 31.5, 12.5, 31.5, 16);
    p.cubicTo(31.5, 19.5, 30.0, 21.5, 27.0, 21.5);
    p.lineTo(11.0, 21.5);
    p.cubicTo(6.0, 21.5, 3.0, 18.8, 0.5, 16);
    p.closeSubpath();
    return p;
}

QPainterPath destroyerHull()
{
    QPainterPath p;
    p.moveTo(1.0, 16);
    p.cubicTo(5.0, 13.6, 8.0, 12.6, 12.0, 12.5);
    p.lineTo(28.0, 12.5);
    p.quadTo(29.8, 12.6, 29.8, 14.5);
    p.lineTo(29.8, 17.5);
    p.quadTo(29.8, 19.4, 28.0, 19.5);
    p.lineTo(12.0, 19.5);
    p.cubicTo(8.0, 19.4, 5.0, 18.4, 1.0, 16);
    p.closeSubpath();
    return p;
}

QPainterPath submarineHull()
{
    QPainterPath p;
    p.moveTo(2.0, 16);
    p.cubicTo(2.0, 13.4, 4.5, 12.8, 8.0, 12.8);
    p.lineTo(23.0, 12.8);
    p.cubicTo(27.5, 12.8, 30.8, 14.6, 30.8, 16);
    p.cubicTo(30.8, 17.4, 27.5, 19.2, 23.0, 19.2);
    p.lineTo(8.0, 19.2);
    p.cubicTo(4.5, 19.2, 2.0, 18.6, 2.0, 16);
    p.closeSubpath();
    return p;
}

QPainterPath oilerHull()
{
    QPainterPath p;
    p.moveTo(1.6, 16);
    p.cubicTo(1.6, 11.6, 4.6, 9.6, 9.0, 9.6);
    p.lineTo(28.0, 9.6);
    p.quadTo(30.6, 9.6, 30.6, 12.4);
    p.lineTo(30.6, 19.6);
    p.quadTo(30.6, 22.4, 28.0, 22.4);
    p.lineTo(9.0, 22.4);
    p.cubicTo(4.6, 22.4, 1.6, 20.4, 1.6, 16);
    p.closeSubpath();
    return p;
}

// Flat hull in the side colour with a thin lighter sheer line inside the dark outline.
void drawHull(QPainter& p, const QPainterPath& hull, const Tones& t)
{
    p.setPen(Qt::NoPen);
    p.setBrush(t.hull);
    p.drawPath(hull);
    p.save();
    p.setClipPath(hull);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(t.rim, 2.6));
    p.drawPath(hull.translated(0, 0.6));
    p.restore();
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kOutline, 1.0));
    p.drawPath(hull);
}

// A gun house seen from above with its barrels reaching out over the deck.
void turret(QPainter& p, QPointF centre, double radius, double barrel, bool twin)
{
    const double from = barrel < 0 ? centre.x() + barrel : centre.x();
    p.setPen(Qt::NoPen);
    p.setBrush(kOutline);
    if (twin) {
        p.drawRect(QRectF(from, centre.y() - 1.5, std::abs(barrel), 1.0));
        p.drawRect(QRectF(from, centre.y() + 0.5, std::abs(barrel), 1.0));
    } else {
        p.drawRect(QRectF(from, centre.y() - 0.5, std::abs(barrel), 1.0));
    }
    p.setPen(QPen(kOutline, 1.0));
    p.setBrush(kTurret);
    p.drawEllipse(centre, radius, radius);
}

void block(QPainter& p, const QRectF& r, const QColor& fill, double radius = 1.0)
{
    p.setPen(QPen(kOutline, 0.9));
    p.setBrush(fill);
    p.drawRoundedRect(r, radius, radius);
}

void funnel(QPainter& p, QPointF centre, double rx, double ry)
{
    p.setPen(QPen(kOutline, 0.9));
    p.setBrush(QColor(70, 72, 80));
    p.drawEllipse(centre, rx, ry);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(20, 20, 24));
    p.drawEllipse(centre, rx * 0.45, ry * 0.45);
}

void drawBattleship(QPainter& p, const Tones& t)
{
    drawHull(p, battleshipHull(), t);
    // Secondary guns along both sides.
    p.setPen(Qt::NoPen);
    p.setBrush(darker(t.hull, 0.6));
    for (const double x : {14.0, 17.0, 20.0, 23.0}) {
        p.drawRect(QRectF(x, 12.0, 1.0, 1.0));
        p.drawRect(QRectF(x, 19.0, 1.0, 1.0));
    }
    block(p, QRectF(14.5, 13.5, 7.0, 5.0), kStructure, 1.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 42, 50));
    p.drawRect(QRectF(19.0, 15.0, 2.0, 2.0));
    p.setBrush(QColor(120, 190, 230));
    p.drawRect(QRectF(15.0, 15.0, 1.0, 2.0));
    turret(p, QPointF(7.5, 16), 2.5, -4.0, true);
    turret(p, QPointF(12.0, 16), 2.5, -3.5, true);
    turret(p, QPointF(26.0, 16), 2.5, 5.0, true);
}

void drawDestroyer(QPainter& p, const Tones& t)
{
    drawHull(p, destroyerHull(), t);
    p.setPen(QPen(withAlpha(t.rim, 140), 0.8));
    p.drawLine(QPointF(5.0, 16), QPointF(28.0, 16));
    block(p, QRectF(10.5, 13.7, 4.2, 4.6), t.structure, 1.0);
    funnel(p, QPointF(16.8, 16), 1.2, 1.5);
    funnel(p, QPointF(19.8, 16), 1.2, 1.5);
    // Torpedo tubes.
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(QColor(170, 174, 182));
    p.drawRoundedRect(QRectF(21.8, 14.6, 3.6, 2.8), 0.6, 0.6);
    turret(p, QPointF(7.4, 16), 1.7, -3.8, false);
    turret(p, QPointF(27.0, 16), 1.5, 2.6, false);
}

void drawSubmarine(QPainter& p, const Tones& t)
{
    drawHull(p, submarineHull(), t);
    p.setPen(QPen(withAlpha(t.rim, 150), 0.8));
    p.drawLine(QPointF(5.0, 16), QPointF(27.0, 16));
    // Bow planes and the stern cross.
    p.setPen(QPen(kOutline, 1.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(7.0, 11.4), QPointF(7.0, 20.6));
    p.drawLine(QPointF(28.6, 12.2), QPointF(28.6, 19.8));
    // The sail.
    QPainterPath sail;
    sail.addRoundedRect(QRectF(10.2, 14.2, 6.6, 3.6), 1.8, 1.8);
    p.setPen(QPen(kOutline, 0.9));
    p.setBrush(t.structure);
    p.drawPath(sail);
    p.setPen(QPen(kGunMetal, 0.8));
    p.drawLine(QPointF(12.0, 16), QPointF(14.4, 16));
}

// A tanker: long flat cargo deck with its pipeline and hatches, the bridge house at the stern.
void drawOiler(QPainter& p, const Tones& t)
{
    drawHull(p, oilerHull(), t);
    const QRectF cargo(6.0, 11.6, 15.4, 8.8);
    p.setPen(Qt::NoPen);
    p.setBrush(darker(t.hull, 0.22));
    p.drawRoundedRect(cargo, 1.5, 1.5);
    // Pipeline down the middle with a manifold across.
    const QColor pipe(206, 210, 218);
    p.setPen(QPen(kOutline, 2.4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(4.5, 16), QPointF(22.0, 16));
    p.drawLine(QPointF(14.0, 11.2), QPointF(14.0, 20.8));
    p.setPen(QPen(pipe, 1.2, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(4.5, 16), QPointF(22.0, 16));
    p.drawLine(QPointF(14.0, 11.2), QPointF(14.0, 20.8));
    // Tank hatches either side of the pipe.
    p.setPen(QPen(kOutline, 0.8));
    p.setBrush(lighter(t.hull, 0.35));
    for (const double x : {7.2, 10.2, 16.8, 19.6})
        for (const double y : {12.8, 17.4}) p.drawRect(QRectF(x, y, 1.8, 1.8));
    // Bridge house and funnel aft.
    block(p, QRectF(22.6, 11.0, 5.2, 10.0), QColor(236, 238, 242), 1.2);
    p.setPen(QPen(QColor(120, 126, 138), 0.8));
    p.drawLine(QPointF(23.6, 12.4), QPointF(23.6, 19.6));
    funnel(p, QPointF(29.0, 16), 1.0, 1.6);
}

QImage drawShip(Kind kind, const QColor& base)
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    prepare(p);
    paintShip(p, kind, base);
    return image;
}

QImage turned(const QImage& image, int degrees)
{
    return image.transformed(QTransform().rotate(degrees));
}

QImage mirrored(const QImage& image)
{
    return image.mirrored(true, false);
}

// The ship going down by the bow: tilted and greyed, the fore part fading under the water, a ring of foam
// where the hull meets the surface and bubbles over the sunken part.
QImage sinking(const QImage& ship, std::uint32_t seed)
{
    QImage hull = desaturated(ship, 0.5);
    {
        // Fade the fore part out: transparent at the bow, whole from the middle on.
        QPainter m(&hull);
        m.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient fade(QPointF(4, 0), QPointF(17, 0));
        fade.setColorAt(0.0, QColor(0, 0, 0, 25));
        fade.setColorAt(1.0, QColor(0, 0, 0, 255));
        m.fillRect(hull.rect(), fade);
    }
    QImage image = blank(32, 32);
    QPainter p(&image);
    prepare(p);
    QTransform tilt;
    tilt.translate(16, 16);
    tilt.rotate(-20);
    tilt.translate(-16, -16);
    p.setTransform(tilt);
    // Oil spreading on the water.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(16, 18, 26, 80));
    p.drawEllipse(QPointF(13, 16), 12, 7);
    p.drawImage(0, 0, hull);
    // Foam ring across the hull at the water line.
    p.setPen(QPen(withAlpha(palette::kFoam, 230), 1.3, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12.5, 16), 2.2, 6.8);
    p.setPen(QPen(withAlpha(palette::kFoam, 110), 1.0));
    p.drawEllipse(QPointF(11.5, 16), 4.2, 8.4);
    p.resetTransform();

    Noise n(seed);
    p.setPen(QPen(withAlpha(palette::kFoam, 220), 0.8));
    p.setBrush(withAlpha(palette::kFoam, 50));
    for (int i = 0; i < 6; ++i) {
        const QPointF c(n.range(2.5, 11), n.range(12, 26));
        const double r = n.range(0.7, 1.4);
        p.drawEllipse(c, r, r);
    }
    return image;
}

// The submarine breaking the surface: neutral steel, spray at the bow, a wake behind the sail.
QImage surfacing()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    prepare(p);
    // Water rushing off the hull.
    p.setPen(QPen(withAlpha(palette::kFoam, 200), 1.1, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath wake;
    wake.moveTo(4, 11.0);
    wake.quadTo(16, 9.6, 31, 8.2);
    wake.moveTo(4, 21.0);
    wake.quadTo(16, 22.4, 31, 23.8);
    p.drawPath(wake);
    p.setPen(QPen(withAlpha(palette::kFoam, 110), 1.0, Qt::SolidLine, Qt::RoundCap));
    QPainterPath outer;
    outer.moveTo(8, 8.6);
    outer.quadTo(18, 7.0, 30, 5.2);
    outer.moveTo(8, 23.4);
    outer.quadTo(18, 25.0, 30, 26.8);
    p.drawPath(outer);
    p.end();

    QImage sub = drawShip(Kind::Submarine, palette::kSteel);
    QPainter q(&image);
    prepare(q);
    q.drawImage(0, 0, sub);
    // Water still streaming over the deck.
    q.setClipPath(submarineHull());
    q.setPen(QPen(withAlpha(palette::kFoam, 150), 0.9, Qt::SolidLine, Qt::RoundCap));
    for (const double y : {14.0, 18.0})
        q.drawLine(QPointF(18.5, y), QPointF(26.0, y + (y < 16 ? -0.4 : 0.4)));
    q.setClipping(false);
    // Spray at the bow.
    Noise n(0x5eaf00d);
    q.setPen(Qt::NoPen);
    for (int i = 0; i < 9; ++i) {
        const QPointF c(n.range(0.5, 5.0), n.range(11.5, 20.5));
        q.setBrush(withAlpha(palette::kFoam, static_cast<int>(n.range(150, 240))));
        q.drawEllipse(c, 0.8, 0.8);
    }
    return image;
}

const std::array<std::pair<Kind, const char*>, 4> kKinds{{{Kind::Battleship, "Battleship"},
                                                          {Kind::Destroyer, "Destroyer"},
                                                          {Kind::Submarine, "Submarine"},
                                                          {Kind::Oiler, "Oiler"}}};

// The flagship's flag: a white-bordered flag in the side colour on a short staff.
QImage flagIcon(const QColor& colour)
{
    QImage image = blank(6, 7);
    const QColor staff(200, 200, 206);
    const QColor rim(245, 245, 245);
    for (int y = 0; y < 7; ++y) image.setPixelColor(0, y, staff);
    for (int x = 1; x < 6; ++x) {
        image.setPixelColor(x, 0, rim);
        image.setPixelColor(x, 3, darker(rim, 0.15));
    }
    for (int y = 1; y < 3; ++y) {
        image.setPixelColor(1, y, colour);
        for (int x = 2; x < 5; ++x) image.setPixelColor(x, y, colour);
        image.setPixelColor(5, y, rim);
    }
    image.setPixelColor(1, 1, lighter(colour, 0.3));
    return image;
}

} // namespace

void paintShip(QPainter& p, ShipKind kind, const QColor& base)
{
    const Tones t = tonesOf(base);
    switch (kind) {
    case Kind::Battleship:
        drawBattleship(p, t);
        break;
    case Kind::Destroyer:
        drawDestroyer(p, t);
        break;
    case Kind::Submarine:
        drawSubmarine(p, t);
        break;
    case Kind::Oiler:
        drawOiler(p, t);
        break;
    }
}

void addShips(Pictures& out)
{
    std::uint32_t seed = 0x51c0;
    for (int sideNumber = 1; sideNumber <= 4; ++sideNumber) {
        const QColor colour = palette::side(sideNumber);
        const QString suffix = QString::number(sideNumber) + "P.png";
        for (const auto& [kind, word] : kKinds) {
            const QImage left = drawShip(kind, colour);
            const QImage down = sinking(left, ++seed);
            const QString name = QString("Resources/") + word;
            const QString group = QString("Ships, side %1").arg(sideNumber);
            out.add(group, "Ships", name + suffix, left);
            out.add(group, "Ships", name + "Right" + suffix, mirrored(left));
            out.add(group, "Ships", name + "Up" + suffix, turned(left, 90));
            out.add(group, "Ships", name + "Down" + suffix, turned(left, -90));
            out.add(group, "Ships", name + "Sinking" + suffix, down);
            out.add(group, "Ships", name + "SinkingRight" + suffix, mirrored(down));
        }
    }
    const QImage up = surfacing();
    out.add("Ships, shared", "Ships", "Resources/SubmarineSurfacing.png", up);
    out.add("Ships, shared", "Ships", "Resources/SubmarineSurfacingRight.png", mirrored(up));
    out.add("Ships, shared", "Ships", "Resources/SubmarineSurfacingUp.png", turned(up, 90));
    out.add("Ships, shared", "Ships", "Resources/SubmarineSurfacingDown.png", turned(up, -90));
    for (int sideNumber = 1; sideNumber <= 4; ++sideNumber)
        out.add("Ships, shared", "Ships", QString("Resources/FlagIcon%1P.png").arg(sideNumber),
                flagIcon(palette::side(sideNumber)));
}

} // namespace art
