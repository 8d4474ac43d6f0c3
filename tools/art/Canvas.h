#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QString>
#include <cstdint>
#include <initializer_list>

namespace art {

// A transparent picture ready for drawing.
QImage blank(int width, int height);

QPolygonF polygon(std::initializer_list<QPointF> points);

// A painter with antialiasing on, as every drawing here wants.
void prepare(QPainter& p);

QColor mix(const QColor& a, const QColor& b, double t);
QColor lighter(const QColor& c, double t); // towards white by t
QColor darker(const QColor& c, double t);  // towards black by t
QColor withAlpha(const QColor& c, int alpha);
QImage desaturated(const QImage& src, double amount);

// Deterministic noise: the same seed gives the same numbers on every run and machine.
class Noise {
  public:
    explicit Noise(std::uint32_t seed) : state_(seed ? seed : 0x9e3779b9u) {}
    std::uint32_t next();
    double unit();                         // in [0, 1)
    double range(double low, double high); // in [low, high)

  private:
    std::uint32_t state_;
};

// Fonts of the bundled M+ family, loaded once by loadFonts.
bool loadFonts(const QString& folder, QString* error);
QFont font(int pixelSize, int weight);

// Text as a path whose left end of the base line is at (x, y).
QPainterPath textPath(const QString& text, const QFont& f, double x, double y);
double textWidth(const QString& text, const QFont& f);
// Text with a dark outline of the given width under its fill.
void outlinedText(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
                  double outlineWidth);

// A compass diamond: its right half lit, its left half in shade.
void diamond(QPainter& p, QPointF centre, double radius, const QColor& lit, const QColor& shade);

// Drop shadow: the picture's alpha, blurred a little, offset and tinted, under the picture.
QImage withShadow(const QImage& src, int dx, int dy, const QColor& colour, int blurRadius);
QImage blurred(const QImage& src, int radius);

} // namespace art
