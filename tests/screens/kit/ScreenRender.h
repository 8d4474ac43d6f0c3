// Renders of what a screen test drove, saved as pictures under the build
// folder (renders/screens) so a person can look at every screen.
#pragma once

#include <QImage>
#include <QRectF>
#include <QString>

class QGraphicsScene;
class QWidget;

namespace Marevane::Testing {

// The folder the renders go to.
QString ScreenRenderFolder();
// The area of the scene (its scene rectangle when empty) over the main
// background, as a player sees it.
QImage RenderScreen(QGraphicsScene& scene, const QRectF& area = QRectF());
// What the widget (a view) shows now.
QImage RenderScreen(QWidget& widget);
// Saves the picture as <name>.png under the folder; the name may hold
// subfolders ("battle/map-5x5"). Answers the path, empty when not saved.
QString SaveScreenRender(const QImage& picture, const QString& name);
QString SaveScreenRender(QGraphicsScene& scene, const QString& name, const QRectF& area = QRectF());
QString SaveScreenRender(QWidget& widget, const QString& name);

} // namespace Marevane::Testing
