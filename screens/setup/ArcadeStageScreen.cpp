#include "screens/setup/ArcadeStageScreen.h"

#include "app/GameView.h"
#include "app/SoundControl.h"
#include "gui/ScreenTiming.h"
#include "gui/TextItems.h"
#include "model/ArcadeMapList.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "screens/setup/GameOverScreen.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

namespace Marevane {

namespace {

constexpr MessageCode NextCode = 26;

} // namespace

CArcadeStageScene::CArcadeStageScene(QObject* parent) : CGameScene(QRectF(0, 0, 718, 598), parent)
{
    setObjectName(QStringLiteral("ArcadeStage"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CArcadeStageScene::Finished);
}

void CArcadeStageScene::ShowStage(int stage, const MapPos& size)
{
    clear();
    m_title = new CSimpleTextItem(tr("Stage ") + QString::number(stage));
    m_caption = new CSimpleTextItem(
        tr("Map  ") + QString::number(size.x) + QStringLiteral("x") + QString::number(size.y), m_title);
    m_caption->setPos(0, WholePixelSize(m_title).height() + 20);
    addItem(m_title);
    QSize view(720, 600);
    if (GetView() != nullptr) {
        GetView()->setMinimumSize(720, 600);
        view = GetView()->size().expandedTo(QSize(720, 600));
    }
    const QRectF bounds = m_title->mapRectToScene(m_title->boundingRect() | m_title->childrenBoundingRect());
    m_title->setPos(view.width() / 2 - static_cast<int>(bounds.width()) / 2,
                    view.height() / 2 - static_cast<int>(bounds.height()) / 2);
    m_caption->setX(WholePixelSize(m_title).width() / 2 - WholePixelSize(m_caption).width() / 2);
    setSceneRect(0, 0, view.width() - 2, view.height() - 2);
}

QString CArcadeStageScene::GetTitleText() const
{
    return m_title != nullptr ? m_title->text() : QString();
}

QString CArcadeStageScene::GetCaptionText() const
{
    return m_caption != nullptr ? m_caption->text() : QString();
}

void CArcadeStageScene::StartShowing()
{
    m_timer.start(ScreenTiming::Scaled(ScreenTiming::StageCaption));
    setFocus(Qt::OtherFocusReason);
    if (GetView() != nullptr) {
        GetView()->Show();
        GetView()->setFocus(Qt::OtherFocusReason);
    }
}

void CArcadeStageScene::StopShowing()
{
    m_timer.stop();
}

bool CArcadeStageScene::Skip()
{
    if (!m_timer.isActive()) return false;
    m_timer.stop();
    emit Finished();
    return true;
}

void CArcadeStageScene::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && Skip()) {
        event->accept();
        return;
    }
    CGameScene::keyPressEvent(event);
}

void CArcadeStageScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if ((event->button() == Qt::LeftButton || event->button() == Qt::RightButton) && Skip()) {
        event->accept();
        return;
    }
    CGameScene::mousePressEvent(event);
}

CArcadeStageSequence::CArcadeStageSequence() : CSetupSequence(SequenceType::ArcadeStage, 0x0F)
{
    setObjectName(QStringLiteral("ArcadeStageSequence"));
}

void CArcadeStageSequence::Init()
{
    m_scene = GetSceneSet()->Get<CArcadeStageScene>(SceneSlot::ArcadeStage);
    if (m_scene != nullptr)
        connect(m_scene, &CArcadeStageScene::Finished, this, [this] { Update(NextCode); });
    SetInstalled();
}

void CArcadeStageSequence::Start()
{
    ResetLeaving();
    CGameEdit* rules = GetGameEdit();
    CBoard* board = GetGameMap();
    // A return that was not a won stage (a screen left with Back) shows the same stage again.
    const unsigned stage = m_isAdvancing || m_stage == 0 ? m_stage + 1 : m_stage;
    m_isAdvancing = false;
    const MapData& map = CArcadeMapList::GetInstance().Get(stage);
    if (CArcadeMapList::IsRunOver(map)) {
        m_stage = stage;
        Update(RunCompleteCode);
        return;
    }
    m_stage = stage;
    board->Build(map);
    rules->SetRule(rules->GetInfo().Rule, map.Size);
    if (m_scene != nullptr) m_scene->ShowStage(static_cast<int>(stage), map.Size);
    GetScreenSound()->StopBgm();
    Show();
}

void CArcadeStageSequence::Show()
{
    if (m_scene != nullptr) m_scene->StartShowing();
    show();
}

void CArcadeStageSequence::Update(MessageCode code)
{
    switch (code) {
    case NextCode:
        if (m_scene != nullptr) m_scene->StopShowing();
        if (BeginLeaving()) PushSequence(SequenceType::FleetFormation);
        break;
    case NextStageCode:
        m_isAdvancing = true;
        break;
    case RunCompleteCode:
        if (BeginLeaving()) PushSequence(new CGameOverSequence(SequenceType::Credits));
        break;
    default:
        break;
    }
}

} // namespace Marevane
