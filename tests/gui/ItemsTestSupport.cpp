#include "tests/gui/ItemsTestSupport.h"

#include "gui/Style.h"

#include <QDir>
#include <QPainter>

namespace Marevane::Testing {

QImage RenderScene(QGraphicsScene& scene, const QRectF& area)
{
    QImage picture(area.size().toSize(), QImage::Format_ARGB32);
    picture.fill(MainBackgroundColor);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, QRectF(QPointF(0, 0), area.size()), area);
    painter.end();
    return picture;
}

QString SaveRender(const QImage& picture, const QString& name)
{
    QDir folder(QStringLiteral(MAREVANE_RENDER_DIR));
    folder.mkpath(QStringLiteral("."));
    const QString path = folder.filePath(name + QStringLiteral(".png"));
    picture.save(path);
    return path;
}

} // namespace Marevane::Testing
