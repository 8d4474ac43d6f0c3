#include "app/GameScene.h"

#include "app/GameView.h"

namespace Marevane {

CGameScene::CGameScene(QObject* parent) : QGraphicsScene(parent)
{
    static const int registered = qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
    (void)registered;
}

CGameScene::CGameScene(const QRectF& rect, QObject* parent) : CGameScene(parent)
{
    setSceneRect(rect);
}

CGameScene::~CGameScene() = default;

CGameView* CGameScene::GetView() const
{
    return m_view;
}

void CGameScene::SetView(CGameView* pView)
{
    m_view = pView;
}

void CGameScene::AdjustViewPosition(const QSize&) {}

void CGameScene::AdjustViewPosition()
{
    if (CGameView* view = GetView()) AdjustViewPosition(view->size());
}

} // namespace Marevane
