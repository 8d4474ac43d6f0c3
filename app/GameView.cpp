#include "app/GameView.h"

#include "app/GameScene.h"
#include "gui/Style.h"
#include "model/settings/SystemConfig.h"

#include <QGLWidget>
#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QPainter>
#include <QPointer>
#include <QResizeEvent>
#include <QScrollBar>

namespace Marevane {

namespace {

enum class OpenGLState { Unknown, Usable, Unusable };

OpenGLState g_openGL = OpenGLState::Unknown;

// The OpenGL viewport of the views.
class CViewport : public QGLWidget {
  public:
    using QGLWidget::QGLWidget;

    // Draws once, while hidden, what the screens draw most (pictures at full
    // and part opacity, text, plain fills), and waits for it: the software
    // renderer compiles its shaders for these on first use, which otherwise
    // holds up the first frame that is seen. Nothing is put on the screen.
    void WarmUp()
    {
        setAutoBufferSwap(false);
        QPixmap picture(32, 32);
        picture.fill(QColor(20, 40, 200, 128));
        QPainter painter(this);
        painter.drawPixmap(0, 0, picture);
        painter.setOpacity(0.5);
        painter.drawPixmap(8, 8, picture);
        painter.setOpacity(1.0);
        painter.setPen(Qt::white);
        painter.drawText(QRect(0, 0, 32, 32), Qt::AlignCenter, QStringLiteral("Aa"));
        painter.fillRect(QRect(0, 0, 32, 32), MainBackgroundColor);
        painter.end();
        context()->contextHandle()->functions()->glFinish();
        setAutoBufferSwap(true);
    }
};

// A viewport made ahead of the first view that needs one (see
// PrepareOpenGLViewport); it holds no parent until a view takes it.
QPointer<CViewport> g_preparedViewport;

void DropPreparedViewport()
{
    delete g_preparedViewport;
}

bool IsDisplayless(QString* reason)
{
    const QString platform = QGuiApplication::platformName();
    if (platform != QLatin1String("offscreen") && platform != QLatin1String("minimal")) return false;
    *reason = QStringLiteral("the %1 platform has no display").arg(platform);
    return true;
}

bool IsVersionUsable(const QSurfaceFormat& format, QString* reason)
{
    if (format.version() >= qMakePair(1, 3)) return true;
    *reason = QStringLiteral("OpenGL 1.3 is not supported");
    return false;
}

void Decide(bool isUsable, const QString& reason)
{
    g_openGL = isUsable ? OpenGLState::Usable : OpenGLState::Unusable;
    if (!isUsable) qInfo("OpenGL is not available (%s); the views draw without it.", qUtf8Printable(reason));
}

// The first view's own context answers whether OpenGL can be used, so no
// context is made only to ask; a viewport that cannot be used is dropped.
// A prepared viewport is taken when it was made for the format now asked.
CViewport* CreateOpenGLViewport(QWidget* parent)
{
    if (g_openGL == OpenGLState::Unusable) return nullptr;
    if (g_preparedViewport != nullptr) {
        CViewport* prepared = g_preparedViewport;
        g_preparedViewport = nullptr;
        if (prepared->context()->requestedFormat() == QGLFormat::defaultFormat()) {
            prepared->setParent(parent);
            return prepared;
        }
        delete prepared;
    }
    QString reason;
    if (IsDisplayless(&reason)) {
        Decide(false, reason);
        return nullptr;
    }
    auto* viewport = new CViewport(parent);
    const QOpenGLContext* context = viewport->isValid() ? viewport->context()->contextHandle() : nullptr;
    if (context == nullptr) reason = QStringLiteral("no OpenGL context could be created");
    if (context != nullptr && IsVersionUsable(context->format(), &reason)) {
        if (g_openGL == OpenGLState::Unknown) Decide(true, QString());
        return viewport;
    }
    delete viewport;
    Decide(false, reason);
    return nullptr;
}

} // namespace

bool IsOpenGLAvailable()
{
    if (g_openGL == OpenGLState::Unknown) {
        // Asked before any view was made: a context of its own tells.
        QString reason;
        QOpenGLContext probe;
        if (IsDisplayless(&reason)) {
            Decide(false, reason);
        } else if (!probe.create()) {
            Decide(false, QStringLiteral("no OpenGL context could be created"));
        } else {
            Decide(IsVersionUsable(probe.format(), &reason), reason);
        }
    }
    return g_openGL == OpenGLState::Usable;
}

bool PrepareOpenGLViewport()
{
    if (!CSystemConfig::GetInstance().OpenGL) return false;
    if (g_preparedViewport != nullptr) return true;
    CViewport* viewport = CreateOpenGLViewport(nullptr);
    if (viewport == nullptr) return false;
    g_preparedViewport = viewport;
    viewport->WarmUp();
    // Never taken (the program ended first), it goes with the application.
    qAddPostRoutine(DropPreparedViewport);
    return true;
}

CGameView::CGameView(QGraphicsScene* pScene, QWidget* parent) : QGraphicsView(parent)
{
    setRenderHint(QPainter::TextAntialiasing, true);
    setCacheMode(QGraphicsView::CacheBackground);
    if (CSystemConfig::GetInstance().OpenGL) {
        if (QGLWidget* viewport = CreateOpenGLViewport(this)) {
            setViewport(viewport);
            // Partial updates of a double-buffered surface leave stale areas.
            setViewportUpdateMode(QGraphicsView::FullViewportUpdate);
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
