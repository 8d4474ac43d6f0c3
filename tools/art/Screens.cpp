// Pictures of whole screens: the title background and logo, the closing logos, the credits pages and the
// window icon.

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

#include <cmath>

namespace art {
namespace {

const QColor kNight(6, 12, 36);
const QColor kGlow(236, 160, 112);
const QColor kSilhouette(10, 14, 32);

constexpr int kTitleWidth = 720;
constexpr int kTitleHeight = 600;
constexpr double kHorizon = 318;

// A warship seen from the side, bow to the left, floating on the line y and `length` long: a battleship
// with its turrets, tower and funnel, or a destroyer.
QPainterPath sideView(double x, double y, double length, bool big)
{
    const double u = length / 100.0;
    QPainterPath out;
    auto add = [&](std::initializer_list<QPointF> points) {
        QPolygonF poly;
        for (const QPointF& pt : points) poly << QPointF(x + pt.x() * u, y + pt.y() * u);
        QPainterPath part;
        part.addPolygon(poly);
        part.closeSubpath();
        out = out.united(part);
    };
    auto box = [&](double l, double r, double bottom, double top) {
        add({{l, bottom}, {r, bottom}, {r, top}, {l, top}});
    };
    if (big) {
        add({{0, -9}, {3, -3}, {7, 0}, {94, 0}, {98, -3}, {100, -6.5}, {60, -7}, {20, -8}});
        add({{15, -7}, {25, -7}, {24, -11}, {17, -11}});        // A turret
        add({{6, -10.4}, {17, -9.6}, {17, -10.4}, {6, -11.2}}); // its guns
        add({{24, -8}, {33, -8}, {32, -14}, {26, -14}});        // B turret
        add({{15, -13.4}, {26, -12.6}, {26, -13.4}, {15, -14.2}});
        box(36, 56, -8, -15);
        box(39, 53, -15, -21);
        add({{42, -21}, {50, -21}, {49, -29}, {43, -29}});
        box(45.4, 46.6, -29, -42);
        box(41, 51, -36, -37.2);
        add({{57, -7}, {64, -7}, {65, -25}, {59, -25}}); // funnel
        box(66, 73, -7, -13);
        box(69, 70, -13, -24);
        add({{75, -7}, {85, -7}, {84, -11}, {77, -11}}); // C turret
        add({{84, -9.6}, {95, -10.4}, {95, -11.2}, {84, -10.4}});
    } else {
        add({{0, -10}, {4, -3}, {8, 0}, {95, 0}, {100, -5}, {60, -6}, {20, -7.5}});
        add({{14, -6}, {21, -6}, {20, -10}, {15, -10}});
        box(28, 40, -7, -14);
        box(31, 38, -14, -19);
        box(34, 35.2, -19, -32);
        add({{44, -6}, {50, -6}, {51, -18}, {46, -18}});
        add({{55, -6}, {61, -6}, {62, -17}, {57, -17}});
        box(68, 76, -6, -10);
        box(72, 73, -10, -22);
        add({{82, -6}, {89, -6}, {88, -10}, {83, -10}});
    }
    return out;
}

void titleSky(QPainter& p)
{
    QLinearGradient sky(QPointF(0, 0), QPointF(0, kHorizon));
    sky.setColorAt(0.0, kNight);
    sky.setColorAt(0.45, QColor(18, 36, 90));
    sky.setColorAt(0.78, QColor(54, 78, 140));
    sky.setColorAt(0.93, QColor(150, 120, 140));
    sky.setColorAt(1.0, kGlow);
    p.fillRect(QRectF(0, 0, kTitleWidth, kHorizon), sky);

    Noise n(0x57a25);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 140; ++i) {
        const double x = n.range(0, kTitleWidth);
        const double y = n.range(0, kHorizon * 0.6);
        const double fade = 1.0 - y / (kHorizon * 0.6);
        const double r = n.unit() < 0.1 ? 1.1 : 0.6;
        p.setBrush(QColor(230, 236, 255, static_cast<int>(40 + 180 * fade * n.unit())));
        p.drawEllipse(QPointF(x, y), r, r);
    }

    // Setting sun and its glow.
    const QPointF sun(505, kHorizon + 4);
    QRadialGradient glow(sun, 260);
    glow.setColorAt(0.0, QColor(255, 196, 140, 170));
    glow.setColorAt(0.3, QColor(236, 140, 110, 70));
    glow.setColorAt(1.0, QColor(236, 140, 110, 0));
    p.fillRect(QRectF(0, 0, kTitleWidth, kHorizon), glow);
    p.setBrush(QColor(255, 224, 170));
    p.save();
    p.setClipRect(QRectF(0, 0, kTitleWidth, kHorizon));
    p.drawEllipse(sun, 24, 24);
    p.restore();

    // Long soft clouds over the horizon, lit from below.
    QImage clouds = blank(kTitleWidth, static_cast<int>(kHorizon));
    {
        QPainter c(&clouds);
        prepare(c);
        c.setPen(Qt::NoPen);
        struct Streak {
            double x, y, w, h;
        };
        for (const Streak& s : {Streak{20, 292, 280, 6}, Streak{140, 303, 190, 4}, Streak{390, 284, 250, 7},
                                Streak{560, 300, 160, 4}, Streak{300, 309, 130, 3}}) {
            QLinearGradient g(QPointF(0, s.y), QPointF(0, s.y + s.h));
            g.setColorAt(0.0, QColor(60, 52, 96, 190));
            g.setColorAt(1.0, QColor(226, 140, 118, 200));
            c.setBrush(g);
            c.drawRoundedRect(QRectF(s.x, s.y, s.w, s.h), s.h / 2, s.h / 2);
        }
    }
    p.drawImage(0, 0, blurred(clouds, 2));
}

void titleSea(QPainter& p)
{
    QLinearGradient sea(QPointF(0, kHorizon), QPointF(0, kTitleHeight));
    sea.setColorAt(0.0, QColor(46, 62, 112));
    sea.setColorAt(0.12, QColor(22, 50, 112));
    sea.setColorAt(0.6, QColor(8, 32, 92));
    sea.setColorAt(1.0, QColor(4, 14, 46));
    p.fillRect(QRectF(0, kHorizon, kTitleWidth, kTitleHeight - kHorizon), sea);

    Noise n(0x5ea);
    // Glitter of the sun on the water: short warm strokes, wider and sparser towards the viewer.
    for (int i = 0; i < 260; ++i) {
        const double t = std::pow(n.unit(), 1.6);
        const double y = kHorizon + 2 + t * (kTitleHeight - kHorizon - 2);
        const double spread = 10 + t * 140;
        const double x = 505 + n.range(-spread, spread) * n.unit();
        const double len = 4 + t * 30 * n.unit();
        const int alpha = static_cast<int>((1.0 - t) * 190 + 20);
        p.setPen(QPen(QColor(255, 200, 150, alpha), 1.0 + t * 1.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(x - len / 2, y), QPointF(x + len / 2, y));
    }
    // Swell lines across the whole sea.
    for (int i = 0; i < 220; ++i) {
        const double t = std::pow(n.unit(), 1.3);
        const double y = kHorizon + 4 + t * (kTitleHeight - kHorizon - 4);
        const double x = n.range(-20, kTitleWidth);
        const double len = 8 + t * 60;
        p.setPen(QPen(QColor(120, 160, 230, static_cast<int>(30 + 50 * (1 - t))), 1.0 + t, Qt::SolidLine,
                      Qt::RoundCap));
        QPainterPath swell;
        swell.moveTo(x, y);
        swell.quadTo(x + len / 2, y - 1.5 - t * 3, x + len, y);
        p.setBrush(Qt::NoBrush);
        p.drawPath(swell);
    }
}

void titleFleet(QPainter& p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kSilhouette);
    p.drawPath(sideView(96, kHorizon + 1, 190, true));
    p.drawPath(sideView(322, kHorizon + 1, 92, false));
    p.setBrush(darker(kSilhouette, 0.0));
    p.drawPath(sideView(610, kHorizon + 0.5, 70, false));
    // Smoke drifting aft from the funnels.
    Noise n(0x5e0);
    for (int i = 0; i < 18; ++i) {
        const double t = i / 18.0;
        p.setBrush(QColor(30, 34, 60, static_cast<int>(120 * (1 - t))));
        p.drawEllipse(QPointF(96 + 1.9 * 62 + t * 120, kHorizon - 48 - t * 22 + n.range(-2, 2)), 4 + t * 12,
                      3 + t * 6);
    }
    // Wakes.
    p.setPen(QPen(QColor(220, 230, 255, 70), 1.0));
    p.drawLine(QPointF(286, kHorizon + 2), QPointF(360, kHorizon + 3));
    p.drawLine(QPointF(410, kHorizon + 2), QPointF(460, kHorizon + 2.5));
}

// Chart grid and a compass rose laid faintly over everything.
void titleChart(QPainter& p)
{
    p.setPen(QPen(QColor(200, 220, 255, 22), 1.0));
    for (int x = 40; x < kTitleWidth; x += 80)
        p.drawLine(QPointF(x + 0.5, 0), QPointF(x + 0.5, kTitleHeight));
    for (int y = 20; y < kTitleHeight; y += 80)
        p.drawLine(QPointF(0, y + 0.5), QPointF(kTitleWidth, y + 0.5));
    p.setPen(QPen(QColor(200, 220, 255, 60), 1.0));
    for (int x = 0; x < kTitleWidth; x += 16) {
        const double len = (x % 80 == 40) ? 8 : 4;
        p.drawLine(QPointF(x + 0.5, kTitleHeight), QPointF(x + 0.5, kTitleHeight - len));
    }
    for (int y = 0; y < kTitleHeight; y += 16) {
        const double len = (y % 80 == 20) ? 8 : 4;
        p.drawLine(QPointF(0, y + 0.5), QPointF(len, y + 0.5));
    }

    const QPointF c(612, 500);
    p.setPen(QPen(QColor(210, 225, 255, 50), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, 70, 70);
    p.drawEllipse(c, 62, 62);
    for (int i = 0; i < 32; ++i) {
        const double a = i * M_PI / 16;
        const QPointF d(std::sin(a), -std::cos(a));
        p.drawLine(c + d * 62.0, c + d * ((i % 4) ? 66.0 : 70.0));
    }
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        const double len = (i % 2) ? 34 : 58;
        const QPointF d(std::sin(a), -std::cos(a));
        const QPointF nrm(-d.y(), d.x());
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(210, 225, 255, (i % 2) ? 24 : 40));
        p.drawPolygon(polygon({c, c + d * len, c + nrm * 7.0}));
        p.setBrush(QColor(210, 225, 255, (i % 2) ? 12 : 20));
        p.drawPolygon(polygon({c, c + d * len, c - nrm * 7.0}));
    }
}

QImage titleBackground()
{
    QImage image(kTitleWidth, kTitleHeight, QImage::Format_ARGB32_Premultiplied);
    image.fill(kNight);
    QPainter p(&image);
    prepare(p);
    titleSky(p);
    titleSea(p);
    titleFleet(p);
    titleChart(p);
    // Vignette towards the corners.
    QRadialGradient v(QPointF(kTitleWidth / 2.0, kTitleHeight * 0.45), kTitleWidth * 0.75);
    v.setColorAt(0.6, QColor(0, 0, 0, 0));
    v.setColorAt(1.0, QColor(0, 0, 10, 150));
    p.fillRect(image.rect(), v);
    return image;
}

// Large lettering: a cool white fill, dark navy rim and a soft shadow.
void bigLetters(QPainter& p, const QString& text, const QFont& f, double centreX, double baseline,
                double spacing)
{
    QFont spaced(f);
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    const double w = textWidth(text, spaced);
    const QPainterPath path = textPath(text, spaced, centreX - w / 2, baseline);
    QLinearGradient fill(QPointF(0, baseline - f.pixelSize() * 0.75), QPointF(0, baseline));
    fill.setColorAt(0.0, QColor(255, 255, 255));
    fill.setColorAt(0.55, QColor(222, 232, 248));
    fill.setColorAt(1.0, QColor(150, 184, 232));
    outlinedText(p, path, fill, QColor(4, 18, 56), f.pixelSize() / 11.0);
    // Highlight line across the upper half of the letters.
    p.save();
    p.setClipPath(path);
    p.fillRect(QRectF(0, baseline - f.pixelSize() * 0.42, 4000, 1.2), QColor(255, 255, 255, 120));
    p.restore();
}

void rule(QPainter& p, double x1, double x2, double y, const QColor& colour)
{
    QLinearGradient g(QPointF(x1, 0), QPointF(x2, 0));
    g.setColorAt(0.0, withAlpha(colour, 0));
    g.setColorAt(0.5, colour);
    g.setColorAt(1.0, withAlpha(colour, 0));
    p.fillRect(QRectF(x1, y, x2 - x1, 1.5), g);
}

void spacedText(QPainter& p, const QString& text, const QFont& f, double spacing, double centreX,
                double baseline, const QColor& colour)
{
    QFont spaced(f);
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, spacing);
    const double w = textWidth(text, spaced) - spacing;
    const QPainterPath path = textPath(text, spaced, centreX - w / 2, baseline);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 6, 24, 170));
    p.drawPath(path.translated(1, 1.5));
    p.setBrush(colour);
    p.drawPath(path);
}

void compassStar(QPainter& p, QPointF c, double radius, int alpha)
{
    p.setPen(QPen(QColor(220, 232, 255, alpha), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, radius, radius);
    p.setPen(QPen(QColor(220, 232, 255, alpha / 2), 1.0));
    p.drawEllipse(c, radius - 5, radius - 5);
    for (int i = 0; i < 8; ++i) {
        const double a = i * M_PI / 4;
        const double len = (i % 2) ? radius * 0.55 : radius * 1.25;
        const QPointF d(std::sin(a), -std::cos(a));
        const QPointF n(-d.y(), d.x());
        p.setPen(Qt::NoPen);
        p.setBrush(i == 0 ? QColor(236, 96, 80, alpha) : QColor(236, 242, 255, alpha));
        p.drawPolygon(polygon({c, c + d * len, c + n * (radius * 0.16)}));
        p.setBrush(i == 0 ? QColor(160, 50, 44, alpha) : QColor(140, 160, 200, alpha));
        p.drawPolygon(polygon({c, c + d * len, c - n * (radius * 0.16)}));
    }
}

QImage titleLogo()
{
    const int w = 600;
    const int h = 300;
    QImage letters = blank(w, h);
    {
        QPainter p(&letters);
        prepare(p);
        compassStar(p, QPointF(w / 2.0, 92), 40, 210);
        bigLetters(p, "MAREVANE", font(96, QFont::Black), w / 2.0, 228, 6);
        const QFont sub = font(18, QFont::Bold);
        rule(p, 70, 530, 250, QColor(150, 190, 246, 220));
        spacedText(p, "NAVAL  BATTLE  ON  THE  CHART", sub, 5, w / 2.0, 278, QColor(170, 204, 250));
    }
    return withShadow(letters, 0, 4, QColor(0, 0, 0, 170), 4);
}

QImage closingLogo(const QString& text, const QString& line)
{
    const int w = 480;
    const int h = 120;
    QImage letters = blank(w, h);
    {
        QPainter p(&letters);
        prepare(p);
        bigLetters(p, text, font(60, QFont::Black), w / 2.0, 70, 4);
        rule(p, 60, w - 60, 86, QColor(150, 190, 246, 220));
        spacedText(p, line, font(15, QFont::Bold), 4, w / 2.0, 108, QColor(170, 204, 250));
    }
    return withShadow(letters, 0, 3, QColor(0, 0, 0, 200), 3);
}

QImage creditsPage(const QString& role, ShipKind ship, int sideNumber)
{
    const int w = 480;
    const int h = 160;
    QImage image = blank(w, h);
    QPainter p(&image);
    prepare(p);
    // The ship of the page, drawn large from above.
    p.save();
    p.translate(w / 2.0 - 48, 0);
    p.scale(3, 3);
    paintShip(p, ship, palette::side(sideNumber));
    p.restore();
    spacedText(p, role.toUpper(), font(17, QFont::Bold), 5, w / 2.0, 100, QColor(150, 190, 246));
    rule(p, 90, w - 90, 110, QColor(150, 190, 246, 200));
    spacedText(p, "The Marevane Project", font(28, QFont::Bold), 1, w / 2.0, 146, palette::kText);
    return image;
}

QImage secretMessage()
{
    const int w = 560;
    const int h = 48;
    QImage image = blank(w, h);
    QPainter p(&image);
    prepare(p);
    spacedText(p, "Extreme seas conquered. The fleet salutes you, Admiral.", font(18, QFont::Bold), 1,
               w / 2.0, 30, QColor(240, 204, 120));
    rule(p, 40, w - 40, 40, QColor(240, 204, 120, 200));
    return image;
}

} // namespace

QImage applicationIcon(int size)
{
    QImage image = blank(size, size);
    QPainter p(&image);
    prepare(p);
    p.scale(size / 64.0, size / 64.0);
    const QRectF tile(2, 2, 60, 60);
    QLinearGradient fill(tile.topLeft(), tile.bottomLeft());
    fill.setColorAt(0.0, QColor(40, 84, 170));
    fill.setColorAt(1.0, palette::kDeepPanel);
    p.setPen(QPen(QColor(10, 20, 60), 2.0));
    p.setBrush(fill);
    p.drawRoundedRect(tile, 12, 12);
    if (size >= 32) {
        p.setPen(QPen(QColor(220, 232, 255, 90), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(32, 32), 24, 24);
    }
    // The battleship heading up and to the left.
    p.translate(32, 32);
    p.rotate(45);
    p.scale(1.75, 1.75);
    p.translate(-16, -16);
    paintShip(p, ShipKind::Battleship, palette::side(1));
    return image;
}

void addScreens(Pictures& out)
{
    out.add("Title and closing", "Screens", "Resources/TitleBackground.png", titleBackground());
    out.add("Title and closing", "Screens", "Resources/TitleLogo.png", titleLogo());
    out.add("Title and closing", "Screens", "Resources/GameOverLogo.png",
            closingLogo("GAME OVER", "THE SEA IS QUIET NOW"));
    out.add("Title and closing", "Screens", "Resources/TheEndLogo.png", closingLogo("THE END", "MAREVANE"));
    const std::vector<std::tuple<const char*, const char*, ShipKind, int>> pages{
        {"01-DirectorCreditsLogo", "Direction", ShipKind::Battleship, 1},
        {"02-ComposerCreditsLogo", "Music", ShipKind::Destroyer, 2},
        {"03-GraphicsCreditsLogo", "Graphics", ShipKind::Submarine, 3},
        {"04-UICreditsLogo", "User Interface", ShipKind::Oiler, 4},
        {"05-BattleCreditsLogo", "Battle Design", ShipKind::Battleship, 2},
        {"06-ProgrammerCreditsLogo", "Programming", ShipKind::Destroyer, 3},
        {"07-TesterCreditsLogo", "Testing", ShipKind::Submarine, 4},
        {"08-LeadDebuggerCreditsLogo", "Debugging", ShipKind::Oiler, 1},
    };
    for (const auto& [name, role, ship, side] : pages)
        out.add("Credits", "Screens", QString("Resources/%1.png").arg(name), creditsPage(role, ship, side));
    out.add("Credits", "Screens", "Resources/EndingSecretMessageLogo.png", secretMessage());
}

} // namespace art
