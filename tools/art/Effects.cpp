// Weapons on the map and the frame sheets of the battle effects (frames 32 x 32, left to right).

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

#include <QTransform>
#include <cmath>
#include <functional>

namespace art {
namespace {

constexpr int kFrame = 32;
const QPointF kCentre(16, 16);

QImage torpedo()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    prepare(p);
    // Wake of bubbles behind the tail, widening and fading.
    Noise n(0x70e);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 16; ++i) {
        const double t = n.unit();
        const double x = 23.0 + t * 8.5;
        const double spread = 0.8 + t * 3.2;
        p.setBrush(withAlpha(palette::kFoam, static_cast<int>(230 - t * 150)));
        p.drawEllipse(QPointF(x, 16 + n.range(-spread, spread)), 0.6 + (1 - t) * 0.4, 0.6 + (1 - t) * 0.4);
    }
    p.setPen(QPen(withAlpha(palette::kFoam, 140), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(23.5, 14.4), QPointF(31, 12.0));
    p.drawLine(QPointF(23.5, 17.6), QPointF(31, 20.0));
    // Tail fins and screw.
    p.setPen(QPen(QColor(22, 24, 30), 0.9));
    p.setBrush(QColor(96, 104, 118));
    p.drawRect(QRectF(21.2, 12.8, 1.6, 6.4));
    // Body.
    QPainterPath body;
    body.moveTo(22.5, 14.2);
    body.lineTo(8.0, 14.2);
    body.cubicTo(5.6, 14.2, 4.6, 15.0, 4.6, 16);
    body.cubicTo(4.6, 17.0, 5.6, 17.8, 8.0, 17.8);
    body.lineTo(22.5, 17.8);
    body.closeSubpath();
    QLinearGradient g(QPointF(0, 14.2), QPointF(0, 17.8));
    g.setColorAt(0.0, QColor(168, 176, 190));
    g.setColorAt(0.5, QColor(104, 112, 128));
    g.setColorAt(1.0, QColor(58, 62, 74));
    p.setBrush(g);
    p.drawPath(body);
    // Warhead.
    p.save();
    p.setClipPath(body);
    p.fillRect(QRectF(4, 13, 5.2, 6), QColor(204, 72, 56, 230));
    p.restore();
    p.setPen(QPen(QColor(22, 24, 30), 0.9));
    p.setBrush(Qt::NoBrush);
    p.drawPath(body);
    return image;
}

QImage mine()
{
    QImage image = blank(32, 32);
    QPainter p(&image);
    prepare(p);
    // Ripple on the water around it.
    p.setPen(QPen(withAlpha(palette::kFoam, 90), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(kCentre, 13.5, 13.5);
    // Horns.
    const QColor outline(18, 20, 26);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4 + M_PI / 8;
        const QPointF d(std::cos(a), std::sin(a));
        p.setPen(QPen(outline, 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(kCentre + d * 6.0, kCentre + d * 10.0);
        p.setPen(QPen(QColor(190, 196, 206), 1.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(kCentre + d * 6.5, kCentre + d * 9.6);
    }
    QRadialGradient g(QPointF(13.5, 13.0), 9.5);
    g.setColorAt(0.0, QColor(120, 128, 142));
    g.setColorAt(0.45, QColor(62, 68, 80));
    g.setColorAt(1.0, QColor(30, 32, 40));
    p.setPen(QPen(outline, 1.0));
    p.setBrush(g);
    p.drawEllipse(kCentre, 7.2, 7.2);
    // Warning band.
    p.setPen(QPen(QColor(206, 70, 56), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(10.5, 10.5, 11, 11), 200 * 16, 140 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(13.2, 12.8), 1.4, 1.1);
    return image;
}

using FrameDrawing = std::function<void(QPainter&, int frame)>;

QImage sheet(int frames, const FrameDrawing& draw)
{
    QImage image = blank(frames * kFrame, kFrame);
    for (int i = 0; i < frames; ++i) {
        QImage frame = blank(kFrame, kFrame);
        {
            QPainter p(&frame);
            prepare(p);
            draw(p, i);
        }
        QPainter p(&image);
        p.drawImage(i * kFrame, 0, frame);
    }
    return image;
}

// A lumpy ball of overlapping discs, the same lumps in every frame so the shape grows rather than jumps.
void lumpyBall(QPainter& p, QPointF centre, double radius, const QColor& inner, const QColor& outer,
               std::uint32_t seed, int lumps = 7)
{
    Noise n(seed);
    QPainterPath ball;
    ball.addEllipse(centre, radius * 0.78, radius * 0.78);
    for (int i = 0; i < lumps; ++i) {
        const double a = n.range(0, 2 * M_PI);
        const double d = radius * n.range(0.35, 0.55);
        const double r = radius * n.range(0.38, 0.52);
        ball.addEllipse(centre + QPointF(std::cos(a), std::sin(a)) * d, r, r);
    }
    ball.setFillRule(Qt::WindingFill);
    QRadialGradient g(centre, radius);
    g.setColorAt(0.0, inner);
    g.setColorAt(1.0, outer);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(ball.simplified());
}

void sparks(QPainter& p, int count, double from, double to, const QColor& colour, double width,
            std::uint32_t seed)
{
    Noise n(seed);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < count; ++i) {
        const double a = n.range(0, 2 * M_PI);
        const double jitter = n.range(0.85, 1.15);
        const QPointF d(std::cos(a), std::sin(a));
        p.drawLine(kCentre + d * from * jitter, kCentre + d * to * jitter);
    }
}

void dots(QPainter& p, int count, double from, double to, const QColor& colour, double radius,
          std::uint32_t seed)
{
    Noise n(seed);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    for (int i = 0; i < count; ++i) {
        const double a = n.range(0, 2 * M_PI);
        const double d = n.range(from, to);
        p.drawEllipse(kCentre + QPointF(std::cos(a), std::sin(a)) * d, radius, radius);
    }
}

const QColor kWhiteHot(255, 252, 228);
const QColor kYellow(255, 214, 84);
const QColor kOrange(250, 136, 40);
const QColor kRed(206, 60, 34);
const QColor kSmoke(84, 84, 92);

// Shell hit on the water or a ship: flash, fireball, shock ring, then smoke that thins out.
void attackFrame(QPainter& p, int f)
{
    switch (f) {
    case 0:
        sparks(p, 8, 2, 7, withAlpha(kYellow, 220), 1.2, 11);
        lumpyBall(p, kCentre, 5, kWhiteHot, withAlpha(kYellow, 200), 21, 4);
        break;
    case 1:
        sparks(p, 10, 6, 12, withAlpha(kYellow, 200), 1.0, 12);
        lumpyBall(p, kCentre, 9, kWhiteHot, withAlpha(kOrange, 230), 22);
        break;
    case 2:
        p.setPen(QPen(withAlpha(palette::kFoam, 200), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(kCentre, 13.5, 13.5);
        lumpyBall(p, kCentre, 12, kYellow, withAlpha(kRed, 235), 22);
        lumpyBall(p, kCentre + QPointF(-1, -1), 6, kWhiteHot, withAlpha(kYellow, 0), 23, 3);
        break;
    case 3:
        p.setPen(QPen(withAlpha(palette::kFoam, 110), 1.0));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(kCentre, 15, 15);
        lumpyBall(p, kCentre, 13, withAlpha(kSmoke, 230), withAlpha(darker(kSmoke, 0.4), 200), 24, 9);
        lumpyBall(p, kCentre, 8.5, kOrange, withAlpha(kRed, 200), 25, 5);
        dots(p, 8, 8, 14, withAlpha(kOrange, 230), 0.8, 31);
        break;
    case 4:
        lumpyBall(p, kCentre, 14, withAlpha(kSmoke, 190), withAlpha(darker(kSmoke, 0.3), 110), 26, 10);
        lumpyBall(p, kCentre, 5, withAlpha(kOrange, 200), withAlpha(kRed, 0), 27, 3);
        dots(p, 6, 10, 15, withAlpha(kOrange, 160), 0.7, 32);
        break;
    default:
        lumpyBall(p, kCentre, 15, withAlpha(kSmoke, 90), withAlpha(kSmoke, 20), 28, 10);
        break;
    }
}

// A hit on a ship: white flash, sparks flying out, a short flame and a puff of smoke.
void damageFrame(QPainter& p, int f)
{
    auto star = [&](double r, const QColor& colour) {
        QPainterPath s;
        for (int i = 0; i < 8; ++i) {
            const double a = i * M_PI / 4 - M_PI / 2;
            const double d = (i % 2) ? r * 0.32 : r;
            const QPointF pt = kCentre + QPointF(std::cos(a), std::sin(a)) * d;
            if (i == 0)
                s.moveTo(pt);
            else
                s.lineTo(pt);
        }
        s.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawPath(s);
    };
    switch (f) {
    case 0:
        star(9, withAlpha(kYellow, 230));
        star(5, kWhiteHot);
        break;
    case 1:
        sparks(p, 12, 5, 11, kYellow, 1.3, 41);
        star(12, withAlpha(kOrange, 200));
        star(7, kWhiteHot);
        break;
    case 2:
        sparks(p, 12, 9, 14, withAlpha(kYellow, 220), 1.1, 41);
        lumpyBall(p, kCentre, 6.5, kYellow, withAlpha(kRed, 220), 42, 5);
        break;
    case 3:
        dots(p, 12, 11, 15, withAlpha(kYellow, 200), 0.8, 43);
        lumpyBall(p, kCentre + QPointF(1, -1), 8, withAlpha(kSmoke, 200), withAlpha(kSmoke, 120), 44, 6);
        lumpyBall(p, kCentre + QPointF(0, 1), 4.5, kOrange, withAlpha(kRed, 180), 45, 4);
        break;
    default:
        lumpyBall(p, kCentre + QPointF(2, -2), 9, withAlpha(kSmoke, 130), withAlpha(kSmoke, 40), 46, 6);
        break;
    }
}

// Water closing over a sinking ship: a foam burst, rings spreading out, bubbles rising.
void sinkingFrame(QPainter& p, int f)
{
    const QColor foam = palette::kFoam;
    auto ring = [&](double r, double width, int alpha) {
        p.setPen(QPen(withAlpha(foam, alpha), width));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(kCentre, r, r);
    };
    auto bubbles = [&](int count, double from, double to, int alpha, std::uint32_t seed) {
        Noise n(seed);
        p.setPen(QPen(withAlpha(foam, alpha), 0.8));
        p.setBrush(withAlpha(foam, alpha / 4));
        for (int i = 0; i < count; ++i) {
            const double a = n.range(0, 2 * M_PI);
            const double d = n.range(from, to);
            const double r = n.range(0.7, 1.6);
            p.drawEllipse(kCentre + QPointF(std::cos(a), std::sin(a)) * d, r, r);
        }
    };
    switch (f) {
    case 0:
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(foam, 235));
        p.drawEllipse(kCentre, 4.5, 4.5);
        dots(p, 10, 4, 8, withAlpha(foam, 230), 0.9, 51);
        break;
    case 1:
        ring(7.5, 2.2, 230);
        p.setPen(Qt::NoPen);
        p.setBrush(withAlpha(foam, 200));
        p.drawEllipse(kCentre, 3.5, 3.5);
        dots(p, 12, 8, 12, withAlpha(foam, 220), 0.9, 52);
        break;
    case 2:
        ring(10.5, 1.8, 210);
        ring(5.0, 1.4, 200);
        dots(p, 10, 11, 14.5, withAlpha(foam, 180), 0.8, 53);
        break;
    case 3:
        ring(12.5, 1.4, 170);
        ring(8.0, 1.2, 160);
        bubbles(6, 0, 5, 220, 54);
        break;
    case 4:
        ring(14.0, 1.1, 110);
        ring(10.5, 1.0, 110);
        bubbles(7, 0, 7, 200, 55);
        break;
    default:
        ring(15.2, 0.9, 60);
        bubbles(5, 0, 8, 130, 56);
        break;
    }
}

// A yellow exclamation mark with a dark rim, dot for dot.
QImage surpriseMark()
{
    static const char* rows[] = {"..DDDD..", ".DYYYYD.", ".DYYYYD.", "..DYYD..", "..DYYD..",
                                 "...DD...", "..DDDD..", "..DYYD..", "..DDDD.."};
    QImage image = blank(8, 9);
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 8; ++x) {
            const char c = rows[y][x];
            if (c == 'D') image.setPixelColor(x, y, QColor(28, 24, 20));
            if (c == 'Y') image.setPixelColor(x, y, y < 2 ? QColor(255, 236, 128) : QColor(255, 206, 60));
        }
    return image;
}

} // namespace

void addWeapons(Pictures& out)
{
    const QImage left = torpedo();
    out.add("Weapons", "Weapons", "Resources/Torpedo.png", left);
    out.add("Weapons", "Weapons", "Resources/TorpedoRight.png", left.mirrored(true, false));
    out.add("Weapons", "Weapons", "Resources/TorpedoUp.png", left.transformed(QTransform().rotate(90)));
    out.add("Weapons", "Weapons", "Resources/TorpedoDown.png", left.transformed(QTransform().rotate(-90)));
    out.add("Weapons", "Weapons", "Resources/Mine.png", mine());
}

void addEffects(Pictures& out)
{
    out.add("Effects", "Effects", "Resources/AttackEffect.png", sheet(6, attackFrame));
    out.add("Effects", "Effects", "Resources/DamageEffect.png", sheet(5, damageFrame));
    out.add("Effects", "Effects", "Resources/SinkingEffect.png", sheet(6, sinkingFrame));
    out.add("Effects", "Effects", "Resources/SurpriseMark.png", surpriseMark());
}

} // namespace art
