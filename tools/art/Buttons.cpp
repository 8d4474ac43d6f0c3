// The picture buttons of the title menu. Their plate is see-through: the menu paints its focus colour
// behind the picture.

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

namespace art {
namespace {

constexpr int kButtonWidth = 240;
constexpr int kButtonHeight = 40;

QImage button(const QString& text, const QColor& accent)
{
    const int w = kButtonWidth;
    const int h = kButtonHeight;
    QImage image = blank(w, h);
    QPainter p(&image);
    prepare(p);
    const QRectF plate(1.5, 1.5, w - 3, h - 3);
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0.0, withAlpha(mix(palette::kPanel, accent, 0.25), 70));
    fill.setColorAt(1.0, withAlpha(palette::kDeepPanel, 100));
    p.setPen(QPen(withAlpha(palette::kText, 110), 1.0));
    p.setBrush(fill);
    p.drawRoundedRect(plate, 6, 6);
    // Inner rim catching the light at the top.
    p.setPen(QPen(withAlpha(palette::kText, 40), 1.0));
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(8, 3.5), QPointF(w - 8, 3.5));
    // Accent diamonds at both ends.
    for (const double x : {16.0, w - 16.0}) diamond(p, QPointF(x, h / 2.0), 5, lighter(accent, 0.35), accent);
    const QFont f = font(20, QFont::Bold);
    const double tw = textWidth(text, f);
    const QPainterPath path = textPath(text, f, (w - tw) / 2, 27);
    outlinedText(p, path, palette::kText, QColor(0, 10, 40, 210), 3.0);
    return image;
}

} // namespace

void addButtons(Pictures& out)
{
    const QColor blue = palette::kHover;
    const QColor red(208, 76, 60);
    const std::vector<std::tuple<const char*, const char*, QColor>> buttons{
        {"StartButton", "Start", QColor(226, 178, 56)},
        {"ArcadeModeButton", "Arcade Mode", blue},
        {"VersusModeButton", "Versus Mode", blue},
        {"WatchModeButton", "Watch Mode", blue},
        {"SystemConfigButton", "System Config", QColor(130, 140, 160)},
        {"SingleMatchButton", "Single Match", blue},
        {"TagMatchButton", "Tag Match", blue},
        {"DeathMatchButton", "Death Match", red},
        {"BackButton", "Back", QColor(130, 140, 160)},
    };
    for (const auto& [name, text, accent] : buttons)
        out.add("Title buttons", "Buttons", QString("Resources/%1.png").arg(name), button(text, accent));
}

} // namespace art
