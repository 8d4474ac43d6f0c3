#pragma once

#include <QColor>
#include <QImage>
#include <QString>

namespace art {

// The 5 x 7 dot-matrix lettering: digits, capitals, '+', '-', '!', '?' and space.
constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

bool hasGlyph(QChar c);
// Draws one glyph with its top left at (x, y), each dot a scale x scale square.
void drawGlyph(QImage& image, int x, int y, QChar c, const QColor& colour, int scale = 1);
// Draws a run of glyphs one column apart; returns the width used.
int drawGlyphText(QImage& image, int x, int y, const QString& text, const QColor& colour, int scale = 1);
int glyphTextWidth(const QString& text, int scale = 1);

} // namespace art
