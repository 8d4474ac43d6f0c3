#include "tests/screens/kit/ScreenRender.h"

#include "gui/Style.h"

#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QPainter>
#include <QWidget>

namespace Marevane::Testing {

QString ScreenRenderFolder()
{
    return QStringLiteral(MAREVANE_SCREEN_RENDER_DIR);
}

QImage RenderScreen(QGraphicsScene& scene, const QRectF& area)
{
    const QRectF source = area.isEmpty() ? scene.sceneRect() : area;
    QImage picture(source.size().toSize(), QImage::Format_ARGB32);
    picture.fill(MainBackgroundColor);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    scene.render(&painter, QRectF(QPointF(0, 0), source.size()), source);
    painter.end();
    return picture;
}

QImage RenderScreen(QWidget& widget)
{
    return widget.grab().toImage();
}

QString SaveScreenRender(const QImage& picture, const QString& name)
{
    const QString path = QDir(ScreenRenderFolder()).filePath(name + QStringLiteral(".png"));
    if (!QDir().mkpath(QFileInfo(path).absolutePath()) || !picture.save(path)) return QString();
    return path;
}

QString SaveScreenRender(QGraphicsScene& scene, const QString& name, const QRectF& area)
{
    return SaveScreenRender(RenderScreen(scene, area), name);
}

QString SaveScreenRender(QWidget& widget, const QString& name)
{
    return SaveScreenRender(RenderScreen(widget), name);
}

} // namespace Marevane::Testing
