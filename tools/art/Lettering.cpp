// Dot-matrix lettering: the character pictures, the small caption tags of bars and views, and the
// arrows of the spin boxes and scroll bars.

#include "tools/art/Art.h"
#include "tools/art/BitmapFont.h"
#include "tools/art/Canvas.h"
#include "tools/art/Palette.h"

namespace art {
namespace {

QImage glyph(QChar c)
{
    QImage image = blank(kGlyphWidth, kGlyphHeight);
    drawGlyph(image, 0, 0, c, palette::kText);
    return image;
}

// Bar caption: the word in light blue dots, as tall as one glyph.
QImage barCaption(const QString& word)
{
    QImage image = blank(glyphTextWidth(word), kGlyphHeight);
    drawGlyphText(image, 0, 0, word, QColor(150, 192, 246));
    return image;
}

// View tag: a dark tab in the view's top left corner, its lower right corner cut off.
QImage viewTag(const QString& word)
{
    const int h = kGlyphHeight + 4;
    const int w = glyphTextWidth(word) + 4 + 8;
    QImage image = blank(w, h);
    {
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing, true);
        const QPolygonF tab =
            polygon({{0, 0}, {double(w), 0}, {double(w), 2}, {double(w - h + 2), double(h)}, {0, double(h)}});
        p.setPen(Qt::NoPen);
        p.setBrush(palette::kFrameLine);
        p.drawPolygon(tab);
        p.fillRect(QRectF(0, h - 1, w - h + 2.5, 1), palette::kHover);
    }
    drawGlyphText(image, 4, 2, word, palette::kText);
    return image;
}

// A solid triangle pointing up, down, left or right, filling its box.
QImage arrow(int w, int h, char direction, const QColor& colour)
{
    QImage image = blank(w, h);
    // Dot rows of a 7-wide triangle four dots tall.
    static const char* rows[] = {"...#...", "..###..", ".#####.", "#######"};
    const int top = (h - 4) / 2;
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) {
            if (rows[r][c] != '#') continue;
            int x = c, y = r;
            switch (direction) {
            case 'u':
                x = c;
                y = top + r;
                break;
            case 'd':
                x = c;
                y = top + 3 - r;
                break;
            case 'l':
                x = top + r;
                y = c;
                break;
            case 'r':
                x = top + 3 - r;
                y = c;
                break;
            }
            if (x < w && y < h) image.setPixelColor(x, y, colour);
        }
    return image;
}

// The spin box arrow: three dots tall, seven wide.
QImage spinArrow(bool up, const QColor& colour)
{
    static const char* rows[] = {"..###..", ".#####.", "#######"};
    QImage image = blank(7, 3);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 7; ++c)
            if (rows[r][c] == '#') image.setPixelColor(c, up ? r : 2 - r, colour);
    return image;
}

} // namespace

void addLettering(Pictures& out)
{
    for (char c = '0'; c <= '9'; ++c)
        out.add("Bitmap characters", "BitmapCharacters", QString("Resources/BitmapNumber%1.png").arg(c),
                glyph(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        out.add("Bitmap characters", "BitmapCharacters",
                QString("Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c), glyph(c));
    out.add("Bitmap characters", "BitmapCharacters", "Resources/BitmapCharacters/BitmapCharacter+.png",
            glyph('+'));
    out.add("Bitmap characters", "BitmapCharacters", "Resources/BitmapCharacters/BitmapCharacter-.png",
            glyph('-'));
    out.add("Bitmap characters", "BitmapCharacters",
            "Resources/BitmapCharacters/BitmapCharacterExclamationMark.png", glyph('!'));
    out.add("Bitmap characters", "BitmapCharacters",
            "Resources/BitmapCharacters/BitmapCharacterQuestionMark.png", glyph('?'));

    out.add("Tags", "Labels", "Resources/BitmapInfo.png", barCaption("INFO"));
    out.add("Tags", "Labels", "Resources/BitmapTime.png", barCaption("TIME"));
    out.add("Tags", "Labels", "Resources/MessageLabel.png", viewTag("MESSAGE"));
    out.add("Tags", "Labels", "Resources/HelpLabel.png", viewTag("HELP"));
    out.add("Tags", "Labels", "Resources/PlayerStatusLabel.png", viewTag("PLAYER STATUS"));
    out.add("Tags", "Labels", "Resources/SelectShipsLabel.png", viewTag("SELECT SHIPS"));
    out.add("Tags", "Labels", "Resources/SettingsMenuLabel.png", viewTag("SETTINGS MENU"));

    const QColor enabled(64, 64, 72);
    const QColor disabled(168, 168, 172);
    out.add("Arrows", "Arrows", "Resources/up-arrow.png", spinArrow(true, enabled));
    out.add("Arrows", "Arrows", "Resources/down-arrow.png", spinArrow(false, enabled));
    out.add("Arrows", "Arrows", "Resources/up-arrow-disabled.png", spinArrow(true, disabled));
    out.add("Arrows", "Arrows", "Resources/down-arrow-disabled.png", spinArrow(false, disabled));
    out.add("Arrows", "Arrows", "Resources/scroll-up-arrow.png", arrow(7, 7, 'u', palette::kText));
    out.add("Arrows", "Arrows", "Resources/scroll-down-arrow.png", arrow(7, 7, 'd', palette::kText));
    out.add("Arrows", "Arrows", "Resources/scroll-left-arrow.png", arrow(7, 7, 'l', palette::kText));
    out.add("Arrows", "Arrows", "Resources/scroll-right-arrow.png", arrow(7, 7, 'r', palette::kText));
}

} // namespace art
