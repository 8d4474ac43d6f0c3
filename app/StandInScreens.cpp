#include "app/StandInScreens.h"

#include "app/MessageView.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Fonts.h"
#include "gui/Style.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsSimpleTextItem>
#include <QKeyEvent>
#include <QPainter>

#include <exception>

namespace Marevane {

namespace {

enum class ViewKind { Main, Message, Side, Help };

struct StandInSlot {
    const char* name;
    int width;
    int height;
    ViewKind view;
};

// Each screen's size and kind of view, by pool slot.
StandInSlot StandInOf(SceneSlot slot)
{
    switch (slot) {
    case SceneSlot::Title:
        return {"Title", 720, 600, ViewKind::Main};
    case SceneSlot::GameMap:
        return {"Battle Map", 416, 380, ViewKind::Main};
    case SceneSlot::BattleResult:
        return {"Battle Result", 720, 600, ViewKind::Message};
    case SceneSlot::StatusDetail:
        return {"Status Detail", 416, 600, ViewKind::Message};
    case SceneSlot::PlayerStatus:
        return {"Player Status", 304, 380, ViewKind::Side};
    case SceneSlot::ShipSelection:
        return {"Ship Selection", 304, 380, ViewKind::Side};
    case SceneSlot::Message:
        return {"Message", 416, 220, ViewKind::Message};
    case SceneSlot::Help:
        return {"Help", 304, 220, ViewKind::Help};
    case SceneSlot::RuleSettings:
        return {"Rule Settings", 304, 380, ViewKind::Side};
    case SceneSlot::PlayerSettings:
        return {"Player Settings", 416, 380, ViewKind::Main};
    case SceneSlot::NetworkConnection:
        return {"Network Connection", 720, 380, ViewKind::Message};
    case SceneSlot::TagTeamSelection:
        return {"Tag Team Selection", 720, 380, ViewKind::Message};
    case SceneSlot::ComputerLevel:
        return {"Computer Level", 720, 600, ViewKind::Message};
    case SceneSlot::ArcadeStage:
        return {"Arcade Stage", 720, 600, ViewKind::Message};
    case SceneSlot::GameOver:
        return {"Game Over", 720, 600, ViewKind::Main};
    case SceneSlot::Credits:
        return {"Credits", 720, 600, ViewKind::Main};
    case SceneSlot::SystemConfig:
        return {"System Configuration", 720, 380, ViewKind::Message};
    }
    return {"", 0, 0, ViewKind::Main};
}

QGraphicsSimpleTextItem* AddText(QGraphicsScene* scene, const QFont& font)
{
    auto* item = scene->addSimpleText(QString(), font);
    item->setBrush(TextColor);
    return item;
}

void CentreAt(QGraphicsSimpleTextItem* item, qreal centreX, qreal y)
{
    item->setPos(static_cast<int>(centreX - item->boundingRect().width() / 2), y);
}

} // namespace

SceneMaker StandInSceneMaker(SceneSlot slot)
{
    const StandInSlot standIn = StandInOf(slot);
    SceneMaker maker;
    maker.createScene = [slot, standIn](const SceneInputs& inputs) -> CGameScene* {
        if (slot == SceneSlot::Title) return new StandIn::CTitleScene;
        QSize size(standIn.width, standIn.height);
        if (slot == SceneSlot::Message && inputs.rect.isValid()) size = inputs.rect.size();
        // A framed view shows its scene inside a frame of one pixel.
        if (standIn.view != ViewKind::Main) size -= QSize(2, 2);
        return new StandIn::CPlaceholderScene(QString::fromLatin1(standIn.name),
                                              QRectF(QPointF(0, 0), QSizeF(size.expandedTo(QSize(0, 0)))));
    };
    maker.createView = [standIn](CGameScene* scene) -> CGameView* {
        CGameView* view = nullptr;
        switch (standIn.view) {
        case ViewKind::Main:
            return new CMainView(scene);
        case ViewKind::Message:
            view = new CMessageView(scene);
            break;
        case ViewKind::Side:
            view = new StandIn::CPanelView(scene, PanelColor, QString());
            break;
        case ViewKind::Help:
            view =
                new StandIn::CPanelView(scene, DeepPanelColor, QStringLiteral(":/Resources/HelpLabel.png"));
            break;
        }
        view->setMinimumSize(view->minimumSize() + QSize(2, 2));
        view->setBaseSize(view->minimumSize());
        return view;
    };
    return maker;
}

namespace StandIn {

CPlaceholderScene::CPlaceholderScene(const QString& name, const QRectF& rect, MessageCode escapeCode,
                                     QObject* parent)
    : CGameScene(rect, parent), m_name(name), m_escapeCode(escapeCode)
{
    setObjectName(name);
    m_caption = AddText(this, LargeTextFont());
    m_caption->setText(name);
    m_hint = AddText(this, TextFont());
    m_hint->setText(name.isEmpty() ? tr("Esc: quit      Alt: the menus")
                                   : tr("This screen comes later. Esc: back"));
    AdjustViewPosition(rect.size().toSize());
}

void CPlaceholderScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0 || size.height() <= 0) return;
    const qreal middle = size.height() / 2.0;
    CentreAt(m_caption, size.width() / 2.0, middle - m_caption->boundingRect().height() - 4);
    // On a picture the hint keeps to the bottom edge.
    CentreAt(m_hint, size.width() / 2.0,
             m_caption->text().isEmpty() ? size.height() - m_hint->boundingRect().height() - 24 : middle + 4);
}

void CPlaceholderScene::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Backspace) {
        event->accept();
        emit Notified(m_escapeCode);
        return;
    }
    CGameScene::keyPressEvent(event);
}

CTitleScene::CTitleScene(QObject* parent)
    : CPlaceholderScene(QString(), QRectF(0, 0, 720, 600), ExitCode, parent)
{
    setObjectName(QStringLiteral("Title"));
    addPixmap(QPixmap(QStringLiteral(":/Resources/TitleBackground.png")))->setZValue(-1);
    auto* logo = addPixmap(QPixmap(QStringLiteral(":/Resources/TitleLogo.png")));
    logo->setPos((720 - logo->pixmap().width()) / 2, 120);
}

CPanelView::CPanelView(QGraphicsScene* pScene, const QColor& colour, const QString& label) : CGameView(pScene)
{
    SizeToScene();
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(colour);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(FrameStyleSheet() + ScrollBarStyleSheet());
    if (!label.isEmpty()) SetBackground(label);
}

void CPanelView::Show()
{
    show();
}

void CPanelView::Hide()
{
    hide();
}

CStandInSequence::CStandInSequence(int type, unsigned flags) : CGameSequence(type)
{
    SetModuleFlags(flags);
}

void CStandInSequence::Init()
{
    if (SceneSet* scenes = GetSceneSet()) {
        for (CGameScene* scene : scenes->Scenes()) {
            connect(scene, &CGameScene::Notified, this,
                    static_cast<void (CGameSequence::*)(MessageCode)>(&CGameSequence::Update),
                    Qt::UniqueConnection);
        }
    }
    SetInstalled();
}

void CStandInSequence::Start()
{
    Show();
}

void CStandInSequence::Update(MessageCode code)
{
    if (code != BackCode) return;
    CSequenceManager* manager = CSequenceManager::GetInstance();
    if (manager->IsChanging() || manager->GetCurrentIndex() <= 0) return;
    try {
        manager->ReturnToPrev();
    } catch (const std::exception& error) {
        qWarning("%s", error.what());
    }
}

void CStandInSequence::Show()
{
    // The views in reading order, as the grid places them.
    std::vector<CGameView*> views;
    if (HasModule(SceneSetModule)) {
        const SceneSet* scenes = GetSceneSet();
        for (const CScenePool::Cell& cell : CScenePool::GridOf(GetType())) {
            const CGameScene* scene = scenes->Get(cell.slot);
            CGameView* view = scene != nullptr ? scene->GetView() : nullptr;
            if (view != nullptr && view->parentWidget() == this) views.push_back(view);
        }
    }
    for (CGameView* view : views) view->Show();
    for (std::size_t i = 1; i < views.size(); ++i) setTabOrder(views[i - 1], views[i]);
    show();
    if (!views.empty()) views.front()->setFocus();
}

void CStandInSequence::Hide()
{
    if (HasModule(SceneSetModule)) {
        for (CGameScene* scene : GetSceneSet()->Scenes()) {
            if (CGameView* view = scene->GetView()) view->Hide();
        }
    }
    hide();
}

CTitleSequence::CTitleSequence(CSoundControl* pSound)
    : CStandInSequence(0, ModuleFlag::GameEdit | ModuleFlag::SceneSetUp), m_sound(pSound)
{
    setObjectName(QStringLiteral("TitleSequence"));
}

void CTitleSequence::Start()
{
    CStandInSequence::Start();
    if (m_sound != nullptr) m_sound->PlayBgm(Sound::BgmTheme);
}

void CTitleSequence::Update(MessageCode code)
{
    // The window asks before it closes.
    if (code == ExitCode && window() != nullptr && window() != this) window()->close();
}

CSystemConfigSequence* CSystemConfigSequence::GetInstance()
{
    static QPointer<CSystemConfigSequence> instance;
    if (instance == nullptr) instance = new CSystemConfigSequence;
    return instance;
}

CSystemConfigSequence::CSystemConfigSequence() : CStandInSequence(13, ModuleFlag::SceneSetUp)
{
    setObjectName(QStringLiteral("SystemConfigSequence"));
}

void CSystemConfigSequence::Update(MessageCode code)
{
    if (code == ReloadSettingsCode) {
        ++m_reloads;
        return;
    }
    CStandInSequence::Update(code);
}

} // namespace StandIn
} // namespace Marevane
