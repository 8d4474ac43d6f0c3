#include "screens/battle/SideScene.h"

#include "gui/Style.h"
#include "model/Unit.h"

#include <QResizeEvent>

namespace Marevane {

CSideScene::CSideScene(QObject* parent) : CGameScene(parent) {}

void CSideScene::SetUp(const QVector<CUnit*>* pPlayerList, CUnit* pMyUnit)
{
    m_playerList = pPlayerList;
    m_myUnit = pMyUnit;
    CreateItems();
}

void CSideScene::SetUp(const QVector<CUnit*>* pPlayerList)
{
    SetUp(pPlayerList, nullptr);
}

CUnit* CSideScene::GetPlayer(std::uint32_t index) const
{
    if (m_playerList != nullptr && index < static_cast<std::uint32_t>(m_playerList->size()))
        return m_playerList->at(static_cast<int>(index));
    if (index == OwnUnitIndex) return m_myUnit;
    return nullptr;
}

CUnit* CSideScene::FindPlayer(std::uint32_t unitId) const
{
    if (m_playerList == nullptr) return nullptr;
    for (CUnit* unit : *m_playerList)
        if (unit != nullptr && unit->GetId() == unitId) return unit;
    return nullptr;
}

void CSideScene::SetPlayerList(const QVector<CUnit*>& pPlayerList)
{
    m_playerList = &pPlayerList;
}

void CSideScene::SetMyUnit(CUnit* pMyUnit)
{
    m_myUnit = pMyUnit;
}

void CSideScene::SetSize(QSize size)
{
    setSceneRect(0, 0, size.width(), size.height());
}

void CSideScene::Update()
{
    Update(nullptr);
}

// --- CSideView ------------------------------------------------------------------

CSideView::CSideView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    setFixedWidth(BaseWidth);
    setMinimumSize(BaseWidth, BaseHeight);
    setMaximumWidth(MaxWidth);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(QBrush(PanelColor));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(FrameStyleSheet() + ScrollBarStyleSheet() +
                  QStringLiteral("QFrame {\tborder-style: solid solid none solid;}"));
    if (pScene != nullptr) pScene->setSceneRect(0, 0, BaseWidth, BaseHeight);
}

void CSideView::Show()
{
    show();
}

void CSideView::Hide()
{
    hide();
}

void CSideView::resizeEvent(QResizeEvent* event)
{
    const QSize previous = event->oldSize();
    if (previous.width() >= 1 && previous.height() >= 1 && scene() != nullptr) {
        const QRectF rect = scene()->sceneRect();
        scene()->setSceneRect(rect.x(), rect.y(), event->size().width(), rect.height());
        Update();
    }
    CGameView::resizeEvent(event);
}

} // namespace Marevane
