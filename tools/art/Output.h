#pragma once

#include "tools/art/Art.h"

#include <QByteArray>
#include <QString>

namespace art {

// PNG bytes of a picture: straight alpha, no text chunks, fixed compression.
QByteArray pngBytes(const QImage& image);
// A Windows icon file holding one 32-bit image per size.
QByteArray icoBytes(const std::vector<QImage>& images);
// The resource collection file listing every picture and the icon under their aliases.
QByteArray qrcBytes(const Pictures& pictures);
// All pictures on one labelled sheet, small ones enlarged.
QImage contactSheet(const Pictures& pictures, const std::vector<QImage>& icon);

// Writes the bytes when they differ from the file's, so unchanged pictures keep their time stamps.
bool writeFile(const QString& path, const QByteArray& bytes, QString* error);

} // namespace art
