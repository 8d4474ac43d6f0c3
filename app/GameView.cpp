#include "app/GameView.h"

#include "app/GameScene.h"
#include "gui/Style.h"
#include "model/settings/SystemConfig.h"

#include <QGLWidget>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>

namespace Marevane {

namespace {

bool ProbeOpenGL(QString* reason)
{
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) {
        *reason = QStringLiteral("the %1 platform has no display").arg(platform);
        return false;
    }
    // The version may only be asked once a context can be made; the probe's
    // own format tells it without a second context.
    QOpenGLContext probe;
    if (!probe.create()) {
        *reason = QStringLiteral("no OpenGL context could be created");
        return false;
    }
    if (probe.format().version() < qMakePair(1, 3)) {
        *reason = QStringLiteral("OpenGL 1.3 is not supported");
        return false;
    }
    return true;
}

} // namespace

bool IsOpenGLAvailable()
{
    static const bool available = [] {
        QString reason;
        const bool usable = ProbeOpenGL(&reason);
        if (!usable)
            qInfo("OpenGL is not available (%s); the views draw without it.", qUtf8Printable(reason));
        return usable;
    }();
    return available;
}

CGameView::CGameView(QGraphicsScene* pScene, QWidget* parent) : QGraphicsView(parent)
{
    setRenderHint(QPainter::TextAntialiasing, true);
    setCacheMode(QGraphicsView::CacheBackground);
    if (CSystemConfig::GetInstance().OpenGL && IsOpenGLAvailable()) {
        auto* viewport = new QGLWidget(this);
        if (viewport->isValid()) {
            setViewport(viewport);
            // Partial updates of a double-buffered surface leave stale areas.
            setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
        } else {
            delete viewport;
        }
    }
    if (pScene != nullptr) {
        if (auto* scene = qobject_cast<CGameScene*>(pScene)) scene->SetView(this);
        setScene(pScene);
    }
}

CGameView::~CGameView() = default;

void CGameView::SetLabel(const QPixmap& label)
{
    m_label = label.isNull() ? nullptr : std::make_unique<QPixmap>(label);
    viewport()->update();
}

void CGameView::SetBackground(const QString& path)
{
    SetLabel(QPixmap(path));
}

bool CGameView::IsOpenGLViewport() const
{
    return qobject_cast<QGLWidget*>(viewport()) != nullptr;
}

void CGameView::Update()
{
    if (scene() != nullptr) scene()->update();
    viewport()->update();
}

void CGameView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QGraphicsView::drawForeground(painter, rect);
    if (m_label == nullptr) return;
    const QScrollBar* bar = verticalScrollBar();
    double shift = 0;
    if (bar->value() != 0) {
        // Keeps the label in its place on the screen while the content scrolls.
        const int remaining = bar->maximum() - 2 * frameWidth() - bar->value();
        shift = sceneRect().height() - remaining - viewport()->height();
    }
    painter->drawPixmap(QPointF(m_labelX, m_labelY + shift), *m_label);
}

void CGameView::SizeToScene()
{
    if (scene() == nullptr) return;
    const QSize size(static_cast<int>(sceneRect().width()), static_cast<int>(sceneRect().height()));
    setMinimumSize(size);
    setBaseSize(size);
}

void CGameView::AdjustSceneTo(const QSize& size)
{
    if (size.width() <= 0 || size.height() <= 0) return;
    const int scroll = verticalScrollBar()->value();
    if (auto* gameScene = qobject_cast<CGameScene*>(scene())) gameScene->AdjustViewPosition(size);
    verticalScrollBar()->setValue(scroll);
}

CMainView::CMainView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    SizeToScene();
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(MainBackgroundColor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

void CMainView::Show()
{
    setFocus();
    show();
}

void CMainView::Hide()
{
    hide();
}

void CMainView::ChangeScrollPosition(int height)
{
    verticalScrollBar()->setValue(height);
}

void CMainView::resizeEvent(QResizeEvent* event)
{
    AdjustSceneTo(event->size());
    CGameView::resizeEvent(event);
}

} // namespace Marevane
