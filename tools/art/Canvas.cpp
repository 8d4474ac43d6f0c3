#include "tools/art/Canvas.h"

#include <QFontDatabase>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <vector>

namespace art {

QImage blank(int width, int height)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPolygonF polygon(std::initializer_list<QPointF> points)
{
    QPolygonF out;
    for (const QPointF& pt : points) out << pt;
    return out;
}

void prepare(QPainter& p)
{
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

QColor mix(const QColor& a, const QColor& b, double t)
{
    auto lerp = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
    return QColor(lerp(a.red(), b.red()), lerp(a.green(), b.green()), lerp(a.blue(), b.blue()),
                  lerp(a.alpha(), b.alpha()));
}

QColor lighter(const QColor& c, double t)
{
    return mix(c, QColor(255, 255, 255, c.alpha()), t);
}

QColor darker(const QColor& c, double t)
{
    return mix(c, QColor(0, 0, 0, c.alpha()), t);
}

QColor withAlpha(const QColor& c, int alpha)
{
    QColor out(c);
    out.setAlpha(alpha);
    return out;
}

QImage desaturated(const QImage& src, double amount)
{
    QImage out = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < out.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            const QRgb px = row[x];
            const int grey = (qRed(px) * 30 + qGreen(px) * 59 + qBlue(px) * 11) / 100;
            auto pull = [&](int v) { return static_cast<int>(std::lround(v + (grey - v) * amount)); };
            row[x] = qRgba(pull(qRed(px)), pull(qGreen(px)), pull(qBlue(px)), qAlpha(px));
        }
    }
    return out;
}

std::uint32_t Noise::next()
{
    // xorshift32
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

double Noise::unit()
{
    return (next() >> 8) / 16777216.0;
}

double Noise::range(double low, double high)
{
    return low + (high - low) * unit();
}

namespace {
QString g_family;
} // namespace

bool loadFonts(const QString& folder, QString* error)
{
    const QStringList files{"Mplus1-Regular.otf", "Mplus1-Medium.otf",    "Mplus1-SemiBold.otf",
                            "Mplus1-Bold.otf",    "Mplus1-ExtraBold.otf", "Mplus1-Black.otf"};
    for (const QString& name : files) {
        const int id = QFontDatabase::addApplicationFont(folder + "/" + name);
        if (id < 0) {
            if (error) *error = "cannot load font " + folder + "/" + name;
            return false;
        }
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        if (!families.isEmpty() && g_family.isEmpty()) g_family = families.first();
    }
    return true;
}

QFont font(int pixelSize, int weight)
{
    QFont f(g_family);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoFontMerging));
    return f;
}

QPainterPath textPath(const QString& text, const QFont& f, double x, double y)
{
    QPainterPath path;
    path.addText(QPointF(x, y), f, text);
    return path;
}

double textWidth(const QString& text, const QFont& f)
{
    return textPath(text, f, 0, 0).boundingRect().right();
}

void outlinedText(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& outline,
                  double outlineWidth)
{
    p.save();
    if (outlineWidth > 0) {
        p.setPen(QPen(outline, outlineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(path);
    }
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawPath(path);
    p.restore();
}

void diamond(QPainter& p, QPointF c, double r, const QColor& lit, const QColor& shade)
{
    p.setPen(Qt::NoPen);
    p.setBrush(lit);
    p.drawPolygon(polygon({c + QPointF(0, -r), c + QPointF(r, 0), c + QPointF(0, r)}));
    p.setBrush(shade);
    p.drawPolygon(polygon({c + QPointF(0, -r), c + QPointF(-r, 0), c + QPointF(0, r)}));
}

QImage blurred(const QImage& src, int radius)
{
    // Two box passes per axis on premultiplied pixels: close to a Gaussian and exactly repeatable.
    QImage img = src.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (radius <= 0) return img;
    const int w = img.width();
    const int h = img.height();
    auto pass = [&](bool horizontal) {
        const int lines = horizontal ? h : w;
        const int len = horizontal ? w : h;
        std::vector<QRgb> line(len);
        for (int l = 0; l < lines; ++l) {
            for (int i = 0; i < len; ++i)
                line[i] = horizontal ? reinterpret_cast<const QRgb*>(img.constScanLine(l))[i]
                                     : reinterpret_cast<const QRgb*>(img.constScanLine(i))[l];
            const int span = 2 * radius + 1;
            for (int i = 0; i < len; ++i) {
                int a = 0, r = 0, g = 0, b = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int j = i + k;
                    if (j < 0 || j >= len) continue;
                    const QRgb px = line[j];
                    a += qAlpha(px);
                    r += qRed(px);
                    g += qGreen(px);
                    b += qBlue(px);
                }
                const QRgb out = qRgba(r / span, g / span, b / span, a / span);
                if (horizontal)
                    reinterpret_cast<QRgb*>(img.scanLine(l))[i] = out;
                else
                    reinterpret_cast<QRgb*>(img.scanLine(i))[l] = out;
            }
        }
    };
    pass(true);
    pass(false);
    pass(true);
    pass(false);
    return img;
}

QImage withShadow(const QImage& src, int dx, int dy, const QColor& colour, int blurRadius)
{
    QImage shadow = blank(src.width(), src.height());
    {
        QPainter p(&shadow);
        p.drawImage(dx, dy, src);
        p.setCompositionMode(QPainter::CompositionMode_SourceIn);
        p.fillRect(shadow.rect(), colour);
    }
    shadow = blurred(shadow, blurRadius);
    QPainter p(&shadow);
    p.drawImage(0, 0, src);
    p.end();
    return shadow;
}

} // namespace art
