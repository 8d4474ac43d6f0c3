#include "tools/art/Output.h"

#include "tools/art/Canvas.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QtEndian>
#include <algorithm>
#include <map>

namespace art {

QByteArray pngBytes(const QImage& image)
{
    QImage straight = image.convertToFormat(QImage::Format_ARGB32);
    straight.setDotsPerMeterX(2835);
    straight.setDotsPerMeterY(2835);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "png");
    writer.setCompression(100); // the handler's scale: 100 is the strongest
    writer.write(straight);
    return bytes;
}

namespace {

void put16(QByteArray& out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

void put32(QByteArray& out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

// A bottom-up 32-bit DIB with its AND mask, as an icon entry stores it.
QByteArray dibEntry(const QImage& image)
{
    const QImage img = image.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width();
    const int h = img.height();
    const int maskStride = ((w + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, static_cast<quint32>(w));
    put32(out, static_cast<quint32>(2 * h));
    put16(out, 1);
    put16(out, 32);
    put32(out, 0);
    put32(out, static_cast<quint32>(w * h * 4 + maskStride * h));
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    put32(out, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
            out.append(static_cast<char>(qAlpha(row[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray mask(maskStride, '\0');
        for (int x = 0; x < w; ++x)
            if (qAlpha(row[x]) == 0) mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
        out.append(mask);
    }
    return out;
}

} // namespace

QByteArray icoBytes(const std::vector<QImage>& images)
{
    std::vector<QByteArray> entries;
    for (const QImage& image : images)
        entries.push_back(image.width() >= 256 ? pngBytes(image) : dibEntry(image));
    QByteArray out;
    put16(out, 0);
    put16(out, 1);
    put16(out, static_cast<quint16>(images.size()));
    quint32 offset = 6 + 16 * static_cast<quint32>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const int w = images[i].width();
        const int h = images[i].height();
        out.append(static_cast<char>(w >= 256 ? 0 : w));
        out.append(static_cast<char>(h >= 256 ? 0 : h));
        out.append('\0');
        out.append('\0');
        put16(out, 1);
        put16(out, 32);
        put32(out, static_cast<quint32>(entries[i].size()));
        put32(out, offset);
        offset += static_cast<quint32>(entries[i].size());
    }
    for (const QByteArray& entry : entries) out.append(entry);
    return out;
}

QByteArray qrcBytes(const Pictures& pictures)
{
    std::map<QString, QString> byAlias;
    for (const Picture& picture : pictures.all()) byAlias[picture.alias] = picture.file;
    byAlias[kIconAlias] = kIconAlias;
    QByteArray out = "<!DOCTYPE RCC>\n<RCC version=\"1.0\">\n  <qresource prefix=\"/\">\n";
    for (const auto& [alias, file] : byAlias)
        out += "    <file alias=\"" + alias.toUtf8() + "\">" + file.toUtf8() + "</file>\n";
    out += "  </qresource>\n</RCC>\n";
    return out;
}

namespace {

// Integer enlargement for small pictures (crisp), plain fit for the large ones.
QImage forSheet(const QImage& image)
{
    const int longest = std::max(image.width(), image.height());
    if (longest > 640) {
        return image.scaled(image.width() / 2, image.height() / 2, Qt::KeepAspectRatio,
                            Qt::SmoothTransformation);
    }
    int scale = std::clamp(96 / longest, 1, 8);
    if (scale == 1 && longest <= 300) scale = 2;
    return image.scaled(image.width() * scale, image.height() * scale, Qt::IgnoreAspectRatio,
                        Qt::FastTransformation);
}

struct Cell {
    QImage shown;
    QString caption;
};

} // namespace

QImage contactSheet(const Pictures& pictures, const std::vector<QImage>& icon)
{
    const int sheetWidth = 1920;
    const int margin = 16;
    const int gap = 14;
    const QFont headFont = font(22, QFont::Bold);
    const QFont captionFont = font(11, QFont::Medium);
    const int captionHeight = 28;

    // Groups in first-seen order.
    std::vector<std::pair<QString, std::vector<Cell>>> groups;
    auto groupOf = [&](const QString& name) -> std::vector<Cell>& {
        for (auto& g : groups)
            if (g.first == name) return g.second;
        groups.push_back({name, {}});
        return groups.back().second;
    };
    for (const Picture& picture : pictures.all()) {
        const QString caption = picture.alias.mid(QString("Resources/").size()) +
                                QString("  %1×%2").arg(picture.image.width()).arg(picture.image.height());
        groupOf(picture.group).push_back({forSheet(picture.image), caption});
    }
    for (const QImage& image : icon)
        groupOf("Window icon")
            .push_back({forSheet(image), QString("ApplicationIcon.ico  %1×%1").arg(image.width())});

    // Lay out rows of cells; a cell is as wide as its picture or its caption.
    struct Placed {
        const Cell* cell;
        QRect box;
    };
    std::vector<std::pair<QRect, QString>> headings;
    std::vector<Placed> placed;
    int y = margin;
    for (const auto& [name, cells] : groups) {
        headings.push_back(
            {QRect(margin, y, sheetWidth - 2 * margin, 30), QString("%1  (%2)").arg(name).arg(cells.size())});
        y += 40;
        int x = margin;
        int rowHeight = 0;
        for (const Cell& cell : cells) {
            const int captionWidth = static_cast<int>(textWidth(cell.caption, captionFont)) + 8;
            const int w = std::max({cell.shown.width() + 8, captionWidth, 72});
            const int h = cell.shown.height() + 8 + captionHeight;
            if (x + w > sheetWidth - margin && x > margin) {
                x = margin;
                y += rowHeight + gap;
                rowHeight = 0;
            }
            placed.push_back({&cell, QRect(x, y, w, h)});
            x += w + gap;
            rowHeight = std::max(rowHeight, h);
        }
        y += rowHeight + 2 * gap;
    }

    QImage sheet(sheetWidth, y + margin, QImage::Format_ARGB32_Premultiplied);
    sheet.fill(QColor(28, 31, 38));
    QPainter p(&sheet);
    prepare(p);
    for (const auto& [rect, text] : headings) {
        p.setPen(QColor(235, 235, 235));
        p.setFont(headFont);
        p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text);
        p.fillRect(rect.left(), rect.bottom() + 2, rect.width(), 2, QColor(75, 120, 200));
    }
    for (const Placed& item : placed) {
        const QImage& shown = item.cell->shown;
        const QRect pictureBox(item.box.left() + (item.box.width() - shown.width()) / 2, item.box.top() + 4,
                               shown.width(), shown.height());
        // Checkerboard under the picture shows its transparency.
        for (int cy = pictureBox.top(); cy <= pictureBox.bottom(); cy += 8)
            for (int cx = pictureBox.left(); cx <= pictureBox.right(); cx += 8) {
                const bool odd = (((cx - pictureBox.left()) / 8) + ((cy - pictureBox.top()) / 8)) % 2;
                p.fillRect(QRect(cx, cy, 8, 8) & pictureBox, odd ? QColor(62, 68, 80) : QColor(52, 57, 68));
            }
        p.drawImage(pictureBox.topLeft(), shown);
        p.setPen(QColor(200, 205, 215));
        p.setFont(captionFont);
        p.drawText(QRect(item.box.left(), pictureBox.bottom() + 4, item.box.width(), captionHeight),
                   Qt::AlignHCenter | Qt::AlignTop, item.cell->caption);
    }
    p.end();
    return sheet;
}

bool writeFile(const QString& path, const QByteArray& bytes, QString* error)
{
    QFile existing(path);
    if (existing.open(QIODevice::ReadOnly) && existing.readAll() == bytes) return true;
    existing.close();
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size()) {
        if (error) *error = "cannot write " + path;
        return false;
    }
    return true;
}

} // namespace art
