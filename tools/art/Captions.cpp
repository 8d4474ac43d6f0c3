// Captions drawn with the bundled font: screen captions, the map legend and the battle result banner.

#include "tools/art/Art.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

#include <stdexcept>

namespace art {
namespace {

void requireFit(double needed, int available, const QString& what)
{
    if (needed > available)
        throw std::runtime_error(
            QString("%1 needs %2 pixels, has %3").arg(what).arg(needed).arg(available).toStdString());
}

constexpr int kCaptionHeight = 22;

// Screen caption: diamond, bold text with a soft shadow, and a rule beneath that fades out to the right.
QImage caption(const QString& text, int width)
{
    const QFont f = font(16, QFont::Bold);
    const double textLeft = 15;
    requireFit(textLeft + textWidth(text, f) + 4, width, "caption \"" + text + "\"");
    QImage image = blank(width, kCaptionHeight);
    QPainter p(&image);
    prepare(p);
    QLinearGradient rule(QPointF(0, 0), QPointF(width, 0));
    rule.setColorAt(0.0, palette::kHover);
    rule.setColorAt(0.7, withAlpha(palette::kHover, 200));
    rule.setColorAt(1.0, withAlpha(palette::kHover, 0));
    p.fillRect(QRectF(0, 19, width, 2), rule);
    p.fillRect(QRectF(0, 21, width * 0.6, 1), withAlpha(palette::kFrameLine, 180));
    diamond(p, QPointF(6, 10), 5, QColor(150, 190, 246), palette::kHover);
    const QPainterPath path = textPath(text, f, textLeft, 16);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 8, 30, 150));
    p.drawPath(path.translated(1, 1));
    p.setBrush(palette::kText);
    p.drawPath(path);
    return image;
}

// Legend entry beside a panel picture: plain 12-pixel text.
QImage legend(const QString& text)
{
    const int width = 64;
    const int height = 16;
    const QFont f = font(12, QFont::DemiBold);
    requireFit(2 + textWidth(text, f), width, "legend \"" + text + "\"");
    QImage image = blank(width, height);
    QPainter p(&image);
    prepare(p);
    const QPainterPath path = textPath(text, f, 2, 12);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 8, 30, 170));
    p.drawPath(path.translated(1, 1));
    p.setBrush(palette::kText);
    p.drawPath(path);
    return image;
}

// The battle result banner: a title across the top; the lower part is a plate the result text is laid over.
QImage resultBanner()
{
    const int w = 480;
    const int h = 96;
    QImage image = blank(w, h);
    QPainter p(&image);
    prepare(p);
    const QRectF plate(8, 34, w - 16, h - 38);
    p.setPen(QPen(withAlpha(palette::kHover, 200), 1.0));
    QLinearGradient fill(plate.topLeft(), plate.bottomLeft());
    fill.setColorAt(0.0, withAlpha(palette::kDeepPanel, 210));
    fill.setColorAt(1.0, withAlpha(palette::kDeepPanel, 120));
    p.setBrush(fill);
    p.drawRoundedRect(plate.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);

    const QFont f = font(24, QFont::ExtraBold);
    const QString title = "Battle Result";
    const double tw = textWidth(title, f);
    const QPainterPath path = textPath(title, f, (w - tw) / 2, 25);
    outlinedText(p, path, palette::kText, QColor(0, 10, 40, 200), 3.0);
    // Rules either side of the title ending in diamonds.
    const double y = 16.5;
    for (const int sgn : {-1, 1}) {
        const double inner = w / 2.0 + sgn * (tw / 2 + 14);
        const double outer = w / 2.0 + sgn * (tw / 2 + 110);
        QLinearGradient g(QPointF(inner, 0), QPointF(outer, 0));
        g.setColorAt(0.0, palette::kHover);
        g.setColorAt(1.0, withAlpha(palette::kHover, 0));
        p.fillRect(QRectF(std::min(inner, outer), y - 1, std::abs(outer - inner), 2), g);
        diamond(p, QPointF(inner - sgn * 4, y), 4, QColor(150, 190, 246), palette::kHover);
    }
    return image;
}

} // namespace

void addCaptions(Pictures& out)
{
    const std::vector<std::tuple<const char*, const char*, int>> captions{
        {"ListOfShipsLabel", "List of Ships", 136},
        {"SelectLevelLabel", "Select Level", 128},
        {"SystemConfigLabel", "System Config", 144},
        {"PlayerSettingsLabel", "Player Settings", 152},
        {"NetworkConnectionLabel", "Network Connection", 184},
        {"ConnectionListLabel", "Connection List", 160},
        {"TagTeamSelectionLabel", "Tag Team Selection", 184},
        {"StatusDetailLabel", "Status Detail", 144},
        {"FormationOfFleetLabel", "Formation of Fleet", 176},
        {"BattleRuleSettingsLabel", "Battle Rule Settings", 192},
    };
    for (const auto& [name, text, width] : captions)
        out.add("Captions", "Labels", QString("Resources/%1.png").arg(name), caption(text, width));
    out.add("Captions", "Labels", "Resources/BattleResultLabel.png", resultBanner());
    for (const auto& [name, text] :
         std::vector<std::pair<const char*, const char*>>{{"ReefLabel", "Reef"},
                                                          {"ShallowLabel", "Shallow"},
                                                          {"FogLabel", "Fog"},
                                                          {"HighWaveLabel", "High Wave"}})
        out.add("Captions", "Labels", QString("Resources/%1.png").arg(name), legend(text));
}

} // namespace art
