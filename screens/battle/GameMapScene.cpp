#include "screens/battle/GameMapScene.h"

#include "gui/Fonts.h"
#include "gui/Popups.h"
#include "gui/ResourcePools.h"
#include "gui/ScreenTiming.h"
#include "gui/SelectionList.h"
#include "model/Board.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Timer.h"
#include "model/Torpedo.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "screens/battle/EffectAnimations.h"
#include "screens/battle/MoveAnimations.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"
#include "screens/battle/WeaponIcons.h"

#include <QCoreApplication>
#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QResizeEvent>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace Marevane {

namespace {

// Stacking of the map's items.
constexpr qreal PanelZ = 0;
constexpr qreal LayerZ = 1;
constexpr qreal MineZ = 2;
constexpr qreal ShipZ = 3;
constexpr qreal TorpedoZ = 4;
constexpr qreal NotificationZ = 1001;
constexpr int NotificationWidth = 408;
// A legend row: the panel's picture, a gap and its 64-pixel label.
constexpr int LegendGap = 4;
constexpr int LegendLabelWidth = 64;

QSize PanelSize()
{
    return CPanelResourcePool::GetInstance().GetPanelSize();
}

MapSize SizeOf(const CBoard* board)
{
    return MapSize{board->GetRows(), board->GetColumns()};
}

int LegendWidth()
{
    return PanelSize().width() + LegendGap + LegendLabelWidth + 2 * LegendGap;
}

} // namespace

// --- layer -------------------------------------------------------------------

CGameMapLayer::CGameMapLayer(CBoard* pMap, const QRectF& rect)
    : m_map(pMap), m_rect(rect), m_all(QStringLiteral(":/Resources/PanelBorder-all.png")),
      m_topLeft(QStringLiteral(":/Resources/PanelBorder-top-left.png")),
      m_topLeftRight(QStringLiteral(":/Resources/PanelBorder-top-left-right.png")),
      m_topLeftBottom(QStringLiteral(":/Resources/PanelBorder-top-left-bottom.png"))
{
    setAcceptedMouseButtons(Qt::RightButton);
}

void CGameMapLayer::SetRect(const QRectF& rect)
{
    prepareGeometryChange();
    m_rect = rect;
}

QStringList CGameMapLayer::GetLabels() const
{
    QStringList labels;
    const QString row = QCoreApplication::translate("CGameMapLayer", "R");
    const QString column = QCoreApplication::translate("CGameMapLayer", "C");
    for (std::uint32_t r = 1; r <= m_map->GetRows(); ++r) labels << row + QString::number(r);
    for (std::uint32_t c = 1; c <= m_map->GetColumns(); ++c) labels << column + QString::number(c);
    return labels;
}

void CGameMapLayer::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    const QSize panel = PanelSize();
    const int rows = static_cast<int>(m_map->GetRows());
    const int columns = static_cast<int>(m_map->GetColumns());
    const QStringList labels = GetLabels();
    painter->save();
    painter->setRenderHint(QPainter::TextAntialiasing);
    painter->setPen(QColor(235, 235, 235));
    painter->setFont(TextFont());
    painter->setOpacity(0.7);
    const int x0 = m_gridOrigin.x();
    const int y0 = m_gridOrigin.y();
    for (int r = 0; r < rows; ++r) {
        const QRect cell(x0 - panel.width(), y0 + r * panel.height(), panel.width() - 2, panel.height());
        painter->drawText(cell, Qt::AlignRight | Qt::AlignVCenter, labels.value(r));
    }
    for (int c = 0; c < columns; ++c) {
        const QRect cell(x0 + c * panel.width(), y0 - panel.height(), panel.width(), panel.height() - 2);
        painter->drawText(cell, Qt::AlignHCenter | Qt::AlignBottom, labels.value(rows + c));
    }
    painter->setOpacity(0.3);
    for (int r = 0; r < rows; ++r) {
        const bool isLastRow = r == rows - 1;
        for (int c = 0; c < columns; ++c) {
            const bool isLastColumn = c == columns - 1;
            const QPixmap& border = isLastRow ? (isLastColumn ? m_all : m_topLeftBottom)
                                              : (isLastColumn ? m_topLeftRight : m_topLeft);
            painter->drawPixmap(x0 + c * panel.width(), y0 + r * panel.height(), border);
        }
    }
    painter->restore();
}

// --- scene -------------------------------------------------------------------

CGameMapScene::CGameMapScene(CBoard* pMap, QObject* parent) : CGameScene(parent), m_map(pMap)
{
    const MapSize size = SizeOf(m_map);
    m_panelTable.reserve(static_cast<int>(std::max<std::uint32_t>(1, size.rows * size.columns)));
    m_reverseTable.reserve(m_panelTable.capacity());
    CreateInputObjects();
    BuildItems();
    QTimer::singleShot(100, this, [this] { CGameScene::AdjustViewPosition(); });
}

CGameMapScene::~CGameMapScene()
{
    // A computer turn still thinking is stopped and waited for.
    StopComputerTurn();
    if (m_computerThread != nullptr) m_computerThread->wait();
    // The effects' items leave the scene before it deletes its items.
    StopAnimations();
    DestroyInputObjects();
}

QSize CGameMapScene::LayerSize(const MapSize& size)
{
    const QSize panel = PanelSize();
    return QSize(panel.width() * static_cast<int>(size.columns + 2),
                 panel.height() * static_cast<int>(size.rows + 3));
}

QSize CGameMapScene::BackgroundSize(const MapSize& size)
{
    const QSize layer = LayerSize(size);
    return QSize(layer.width() + 2 * LegendWidth(), layer.height());
}

bool CGameMapScene::IsBoardShown() const
{
    return m_map != nullptr && IsShownMapSize(SizeOf(m_map));
}

bool CGameMapScene::IsAudience() const
{
    return m_player == nullptr || m_player->GetUnitType() == UnitWatching;
}

void CGameMapScene::BuildItems()
{
    const MapSize size = IsBoardShown() ? SizeOf(m_map) : MapSize{0, 0};
    const QSize background = BackgroundSize(size);
    const QSize layer = LayerSize(size);
    // The caption bars stand above the map area.
    m_turnInfoBar = new CTurnInfoBar(m_turnManager);
    m_turnInfoBar->SetWidth(background.width());
    m_timerBar = new CTimerBar(m_turnInfoBar);
    m_timerBar->AdjustPosition();
    const int top = CTurnInfoBar::Height;
    m_background = new CGameMapBackground(0, top, background.width(), background.height());
    m_background->setPen(Qt::NoPen);
    m_background->setBrush(Qt::NoBrush);
    m_background->setAcceptedMouseButtons(Qt::NoButton);
    addItem(m_background);
    m_layer = new CGameMapLayer(
        m_map, QRectF((background.width() - layer.width()) / 2, top, layer.width(), layer.height()));
    m_layer->setZValue(LayerZ);

    RecomputeOrigin();
    if (IsBoardShown()) BuildPanelIcons();

    m_notificationBar = new CNotificationBar(m_background);
    m_notificationBar->SetWidth(NotificationWidth);
    m_notificationBar->setZValue(NotificationZ);
    m_notificationBar->hide();
    m_tooltip = new CTooltip;
    m_tooltip->setZValue(NotificationZ);
    m_tooltip->hide();
    addItem(m_layer);
    addItem(m_notificationBar);
    addItem(m_tooltip);
    addItem(m_turnInfoBar);
    BuildInputItems();

    if (!m_units.empty() || m_player != nullptr) BuildShipIcons();
    BuildLegend();
    setSceneRect(0, 0, background.width(), top + background.height());
}

void CGameMapScene::RecomputeOrigin()
{
    const QSize panel = PanelSize();
    const MapSize size = IsBoardShown() ? SizeOf(m_map) : MapSize{0, 0};
    const QRect layer = m_layer->boundingRect().toRect();
    const int width = static_cast<int>(size.columns + 2) * panel.width();
    const int height = static_cast<int>(size.rows + 2) * panel.height();
    // The grid with its ring centred in the layer.
    m_origin = QPoint(layer.left() + 1 + layer.width() / 2 - width / 2,
                      layer.top() + 1 + layer.height() / 2 - height / 2);
    m_layer->SetGridOrigin(m_origin + QPoint(panel.width(), panel.height()));
}

void CGameMapScene::BuildPanelIcons()
{
    const std::uint32_t rows = m_map->GetTotalRows();
    const std::uint32_t columns = m_map->GetTotalColumns();
    m_panelTable.reserve(static_cast<int>(rows * columns));
    for (std::uint32_t row = 0; row < rows; ++row) {
        for (std::uint32_t column = 0; column < columns; ++column) {
            CPanel* panel = m_map->GetPanel(row, column);
            if (panel == nullptr) continue;
            auto* icon = new CPanelIcon(panel, m_origin.y(), m_origin.x());
            icon->setZValue(PanelZ);
            m_panelTable.insert(panel, icon);
            m_reverseTable.insert(icon, panel);
            m_panelIcons.append(icon);
            addItem(icon);
            ConnectPanelIconInput(icon);
        }
    }
}

void CGameMapScene::BuildLegend()
{
    if (!IsBoardShown()) return;
    const CPanelResourcePool& pool = CPanelResourcePool::GetInstance();
    const QSize panel = PanelSize();
    const QString labels[] = {
        QStringLiteral(":/Resources/ReefLabel.png"), QStringLiteral(":/Resources/ShallowLabel.png"),
        QStringLiteral(":/Resources/FogLabel.png"), QStringLiteral(":/Resources/HighWaveLabel.png")};
    const PanelType types[] = {PanelReef, PanelShallow, PanelFog, PanelHighWave};
    const QRectF layer = m_layer->boundingRect();
    const int x = static_cast<int>(layer.right()) + LegendGap;
    const int top = m_origin.y() + panel.height();
    for (int i = 0; i < 4; ++i) {
        const int y = top + i * panel.height();
        auto* picture = new QGraphicsPixmapItem(pool.Get(types[i]));
        picture->setPos(x, y);
        auto* label = new QGraphicsPixmapItem(QPixmap(labels[i]));
        label->setPos(x + panel.width() + LegendGap, y + (panel.height() - label->pixmap().height()) / 2);
        for (QGraphicsPixmapItem* item : {picture, label}) {
            item->setAcceptedMouseButtons(Qt::NoButton);
            item->setZValue(PanelZ);
            addItem(item);
            m_legendItems.push_back(item);
        }
    }
}

bool CGameMapScene::IsVisibleTo(const CUnit* pUnit) const
{
    return IsAudience() || pUnit == m_player;
}

bool CGameMapScene::DeferDuringDrag(void (CGameMapScene::*step)())
{
    // A ship being dragged keeps its icon until its drag is over: the step
    // runs from the event loop once the drag has ended.
    if (m_dragSource == nullptr) return false;
    if (std::find(m_afterDrag.begin(), m_afterDrag.end(), step) == m_afterDrag.end())
        m_afterDrag.push_back(step);
    return true;
}

void CGameMapScene::EndDrag()
{
    m_dragSource = nullptr;
    QTimer::singleShot(0, this, [this] {
        std::vector<void (CGameMapScene::*)()> steps;
        steps.swap(m_afterDrag);
        for (auto step : steps) (this->*step)();
    });
}

void CGameMapScene::BuildShipIcons()
{
    if (DeferDuringDrag(&CGameMapScene::BuildShipIcons)) return;
    StopAnimations();
    for (CShipIcon* icon : m_shipIcons) {
        removeItem(icon);
        delete icon;
    }
    m_shipIcons.clear();
    std::vector<CUnit*> sides = m_units;
    if (m_player != nullptr && m_player->GetUnitType() != UnitWatching &&
        std::find(sides.begin(), sides.end(), m_player) == sides.end())
        sides.push_back(m_player);
    const bool isAudience = IsAudience();
    for (CUnit* side : sides) {
        if (side == nullptr || !IsVisibleTo(side)) continue;
        for (const auto& entry : side->GetShips()) {
            CShip* ship = &*entry.second;
            auto* icon = new CShipIcon(ship, m_panelTable);
            icon->setZValue(ShipZ);
            addItem(icon);
            connect(icon, &CShipIcon::DragStarted, this,
                    [this](const CShipIcon* source) { m_dragSource = source; });
            connect(icon, &CShipIcon::DragStopped, this, [this](const CShipIcon*) { EndDrag(); });
            connect(icon, &CShipIcon::DragStarted, this, &CGameMapScene::ChangeToPositionable);
            connect(icon, &CShipIcon::DragStopped, this, &CGameMapScene::ChangeToPositionable);
            icon->setFlag(QGraphicsItem::ItemIsSelectable);
            if (isAudience) {
                icon->ShowPlayerMark();
                icon->SetImagePattern(side->GetId() % 2 == 0 ? ImageRight : ImageLeft);
            }
            m_shipIcons.push_back(icon);
        }
    }
    PlaceShipIcons();
}

void CGameMapScene::PlaceShipIcons()
{
    for (CShipIcon* icon : m_shipIcons) {
        if (icon->GetShip() != nullptr && !icon->GetShip()->IsSinking()) icon->MoveToPanel(m_panelTable);
    }
}

void CGameMapScene::SetPlayer(CUnit* pPlayer)
{
    if (pPlayer == nullptr) return;
    m_player = pPlayer;
    if (pPlayer->GetUnitType() != UnitWatching) {
        if (std::find(m_units.begin(), m_units.end(), pPlayer) == m_units.end()) m_units.push_back(pPlayer);
    } else {
        // A watcher knows the whole map.
        for (CPanelIcon* icon : m_panelIcons) {
            if (icon->SetKnown(true)) icon->update();
        }
    }
    BuildShipIcons();
}

void CGameMapScene::SetUnits(const std::vector<CUnit*>& units)
{
    if (units == m_units) return;
    m_units = units;
    BuildShipIcons();
}

CUnit* CGameMapScene::GetUnit(std::int64_t id) const
{
    if (id == -1) return m_player;
    for (CUnit* unit : m_units)
        if (unit != nullptr && static_cast<std::int64_t>(unit->GetId()) == id) return unit;
    return nullptr;
}

CShip* CGameMapScene::GetShip(const CUnit* pUnit, std::uint32_t shipId)
{
    if (pUnit == nullptr || !pUnit->HasShip(shipId)) return nullptr;
    return pUnit->GetShip(shipId);
}

CShipIcon* CGameMapScene::GetShipIcon(const CShip* pShip) const
{
    for (CShipIcon* icon : m_shipIcons)
        if (icon->GetShip() == pShip) return icon;
    return nullptr;
}

CShipIcon* CGameMapScene::GetShipIcon(std::uint32_t shipId) const
{
    for (auto it = m_shipIcons.rbegin(); it != m_shipIcons.rend(); ++it) {
        CShipIcon* icon = *it;
        if (icon->GetShipId() == shipId && icon->isVisible() && icon->opacity() > 0) return icon;
    }
    return nullptr;
}

void CGameMapScene::ClearIcons()
{
    StopAnimations();
    for (CTorpedoIcon* icon : m_torpedoIcons) delete icon;
    for (CMineIcon* icon : m_mineIcons) delete icon;
    for (CShipIcon* icon : m_shipIcons) delete icon;
    m_torpedoIcons.clear();
    m_mineIcons.clear();
    m_shipIcons.clear();
}

void CGameMapScene::Init()
{
    if (DeferDuringDrag(&CGameMapScene::Init)) return;
    m_notificationBar->Hide();
    m_tooltip->Hide();
    StopComputerTurn();
    m_pendingStep = nullptr;
    m_isReportingEffects = false;
    if (m_nextTurnTimer != nullptr) m_nextTurnTimer->stop();
    ClearIcons();
    m_turnManager = nullptr;
    m_turnInfoBar->SetTurnManager(nullptr);
    m_timerBar->Clear();
    Rebuild();
    update();
}

void CGameMapScene::Rebuild()
{
    if (DeferDuringDrag(&CGameMapScene::Rebuild)) return;
    // The pending step may hold icons that go now.
    m_pendingStep = nullptr;
    const QString caption = m_turnInfoBar->GetText();
    const QGraphicsPixmapItem* image = m_turnInfoBar->GetMessageImage();
    const QPixmap captionImage = image != nullptr ? image->pixmap() : QPixmap();
    CTimer* timer = m_timerBar->GetTimer();
    ClearIcons();
    m_panelTable.clear();
    m_reverseTable.clear();
    m_panelIcons.clear();
    m_legendItems.clear();
    m_positionablePanels.clear();
    m_dragSource = nullptr;
    clear();
    m_background = nullptr;
    m_layer = nullptr;
    m_notificationBar = nullptr;
    m_tooltip = nullptr;
    m_turnInfoBar = nullptr;
    m_timerBar = nullptr;
    BuildItems();
    RebuildWeaponIcons();
    if (!captionImage.isNull())
        m_turnInfoBar->Show(captionImage);
    else if (!caption.isEmpty())
        m_turnInfoBar->Show(caption);
    if (timer != nullptr) m_timerBar->SetTimer(timer);
}

bool CGameMapScene::Resize(const MapSize& size)
{
    if (m_map == nullptr || !IsShownMapSize(size)) return false;
    ClearIcons();
    m_map->Resize(size.rows, size.columns);
    Rebuild();
    AdjustViewPosition(QSize());
    update();
    return true;
}

void CGameMapScene::NotifyOf(QString message)
{
    m_notificationBar->Show(message, ScreenTiming::Scaled(ScreenTiming::Notice));
}

void CGameMapScene::AdjustViewPosition(const QSize& size)
{
    const QRectF background = m_background->rect();
    QSizeF area = background.size();
    if (size.isValid() && size.width() > 0 && size.height() > 0) {
        // The caption bars take the top of the view.
        area = QSizeF(std::max<qreal>(size.width(),
                                      BackgroundSize(IsBoardShown() ? SizeOf(m_map) : MapSize{0, 0}).width()),
                      std::max<qreal>(size.height() - background.top(), 1));
        m_background->setRect(QRectF(background.topLeft(), area));
    }
    m_turnInfoBar->SetWidth(area.width());
    m_timerBar->AdjustPosition();
    // The layer centred in the background, never above or left of it.
    const QRectF layer = m_layer->boundingRect();
    const qreal x = std::max<qreal>(0, std::floor((area.width() - layer.width()) / 2));
    const qreal y = std::max<qreal>(background.top(),
                                    background.top() + std::floor((area.height() - layer.height()) / 2));
    m_layer->SetRect(QRectF(QPointF(x, y), layer.size()));

    const QPoint before = m_origin;
    RecomputeOrigin();
    const QPoint change = m_origin - before;
    for (CPanelIcon* icon : m_panelIcons) icon->SetPosition(m_origin.y(), m_origin.x());
    PlaceShipIcons();
    PlaceMineIcons();
    PlaceTorpedoIcons();
    for (QGraphicsItem* item : m_legendItems) item->moveBy(change.x(), change.y());
    if (m_notificationBar->isVisible()) m_notificationBar->AdjustPosition();
    // An open question, and the cost beside it, stay by the panel they
    // were shown at.
    for (QGraphicsItem* popup :
         {static_cast<QGraphicsItem*>(m_selectionList.data()),
          static_cast<QGraphicsItem*>(m_inputConfirmation.data()),
          static_cast<QGraphicsItem*>(m_actionConfirmation.data()), static_cast<QGraphicsItem*>(m_tooltip)}) {
        if (popup != nullptr && popup->isVisible()) popup->moveBy(change.x(), change.y());
    }
    m_turnEndPromptPos += change;
    setSceneRect(0, 0, area.width(), background.top() + area.height());
    update();
}

void CGameMapScene::InitShipData()
{
    if (DeferDuringDrag(&CGameMapScene::InitShipData)) return;
    if (m_player != nullptr && m_player->ShipCount() > 0 && m_shipFactory != nullptr) {
        StopAnimations();
        // The icons go before their ships do.
        for (CShipIcon* icon : m_shipIcons) delete icon;
        m_shipIcons.clear();
        m_shipFactory->RemoveShipsOf(m_player);
    }
    BuildShipIcons();
    emit ShipDataChanged();
    update();
}

void CGameMapScene::UpdateShipData()
{
    for (CShipIcon* icon : m_shipIcons) {
        icon->MoveToPanel(m_panelTable);
        icon->update();
    }
    PlaceShipIcons();
    update();
}

void CGameMapScene::UpdatePanelData()
{
    const CUnit* viewer = m_player;
    if (IsAudience()) viewer = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    for (CPanelIcon* icon : m_panelIcons) {
        const CPanel* panel = icon->GetPanel();
        const bool isKnown = panel->GetType() == PanelBoundary || panel->IsRevealed() ||
                             (viewer != nullptr && panel->IsKnownBy(viewer->GetId()));
        if (icon->SetKnown(isKnown)) icon->update();
    }
}

// --- mines and torpedoes -----------------------------------------------------

CMineIcon* CGameMapScene::AddMineIcon(MineProfile* pMine)
{
    std::unique_ptr<CMineIcon> icon = CMineIcon::Create(pMine, m_panelTable);
    if (icon == nullptr) return nullptr;
    icon->setZValue(MineZ);
    addItem(icon.get());
    m_mineIcons.append(icon.get());
    PlaceMineIcons();
    return icon.release();
}

CTorpedoIcon* CGameMapScene::AddTorpedoIcon(CTorpedo* pTorpedo)
{
    if (pTorpedo == nullptr) return nullptr;
    auto* icon = new CTorpedoIcon(pTorpedo, m_panelTable);
    icon->setZValue(TorpedoZ);
    addItem(icon);
    m_torpedoIcons.append(icon);
    PlaceTorpedoIcons();
    return icon;
}

void CGameMapScene::RemoveTorpedoIcon(CTorpedoIcon* pIcon)
{
    if (!m_torpedoIcons.removeOne(pIcon)) return;
    for (const QPointer<CAnimation>& animation : m_animations) {
        auto* move = qobject_cast<CMoveAnimation*>(animation.data());
        if (move != nullptr && move->GetIcon() == pIcon) move->Release();
    }
    delete pIcon;
    PlaceTorpedoIcons();
}

void CGameMapScene::RebuildWeaponIcons()
{
    StopAnimations();
    qDeleteAll(m_torpedoIcons);
    qDeleteAll(m_mineIcons);
    m_torpedoIcons.clear();
    m_mineIcons.clear();
    if (!IsBoardShown()) return;
    // Panel by panel, rows then columns, each panel's mines in laying order.
    for (CPanelIcon* icon : m_panelIcons)
        for (MineProfile* mine : icon->GetPanel()->GetMines()) AddMineIcon(mine);
    for (const CUnit* side : m_units) {
        if (side == nullptr) continue;
        for (const auto& entry : side->GetShips())
            for (const auto& torpedo : entry.second->GetTorpedoes()) AddTorpedoIcon(&*torpedo);
    }
}

QPoint CGameMapScene::SpreadOffset(int k, int count, const QSize& size, bool isUnderShip)
{
    QPoint offset;
    if (count > 1) {
        offset.setX(k % 2 == 1 ? size.width() / 4 : -size.width() / 4);
        if (count >= 3) offset.setY(k % 4 == 2 || k % 4 == 3 ? size.height() / 4 : -size.height() / 4);
    }
    if (isUnderShip) offset.ry() += size.height() / 4;
    return offset;
}

void CGameMapScene::PlaceSpread(const QList<CIcon*>& icons)
{
    // Counted per panel, in list order.
    QHash<const CPanel*, int> counts;
    for (CIcon* icon : icons)
        if (icon->isVisible() && icon->GetPanel() != nullptr) ++counts[icon->GetPanel()];
    QHash<const CPanel*, int> seen;
    for (CIcon* icon : icons) {
        const CPanel* panel = icon->GetPanel();
        CPanelIcon* panelIcon = GetPanelIcon(panel);
        if (panel == nullptr || panelIcon == nullptr || !icon->isVisible()) continue;
        int ships = 0;
        for (const CShipIcon* ship : m_shipIcons)
            if (ship->isVisible() && ship->opacity() > 0 && ship->GetPanel() == panel) ++ships;
        const int k = seen[panel]++;
        const QPoint offset =
            SpreadOffset(k, counts.value(panel), icon->GetPixmap().size(), ships == 1 || ships == 2);
        icon->setPos(panelIcon->pos() + offset);
    }
}

void CGameMapScene::PlaceTorpedoIcons()
{
    QList<CIcon*> icons;
    for (CTorpedoIcon* icon : m_torpedoIcons) {
        icon->MoveToPanel();
        icons.append(icon);
    }
    PlaceSpread(icons);
}

void CGameMapScene::PlaceMineIcons()
{
    QList<CIcon*> icons;
    for (CMineIcon* icon : m_mineIcons) {
        icon->UpdateLook();
        if (icon->opacity() > 0) icons.append(icon);
    }
    PlaceSpread(icons);
}

// --- effects -----------------------------------------------------------------

template <class Animation> Animation* CGameMapScene::Track(Animation* animation)
{
    for (auto it = m_animations.begin(); it != m_animations.end();) {
        if (it->isNull()) {
            it = m_animations.erase(it);
        } else {
            ++it;
        }
    }
    m_animations.append(QPointer<CAnimation>(animation));
    // Once a battle runs, every effect's end moves the display on.
    connect(animation, &CAnimation::Finished, this, [this](MessageCode code) {
        if (m_isReportingEffects) Update(code);
    });
    return animation;
}

CAttackAnimation* CGameMapScene::AnimateAttack(CPanelIcon* pPanelIcon, CIcon* pTarget, MessageCode code)
{
    if (pPanelIcon == nullptr) return nullptr;
    auto* animation = Track(new CAttackAnimation(code, this));
    animation->SetPanelIcon(pPanelIcon);
    animation->SetTarget(pTarget);
    animation->StartOnce();
    return animation;
}

CDamageAnimation* CGameMapScene::AnimateDamage(CPanelIcon* pPanelIcon, CShipIcon* pShipIcon, MessageCode code)
{
    if (pPanelIcon == nullptr && pShipIcon == nullptr) return nullptr;
    auto* animation = Track(new CDamageAnimation(code, this));
    animation->SetPanelIcon(pPanelIcon);
    animation->SetShipIcon(pShipIcon);
    animation->StartOnce();
    return animation;
}

CSinkingAnimation* CGameMapScene::AnimateSinking(CShip* pShip, MessageCode code)
{
    if (pShip == nullptr) return nullptr;
    CShipIcon* own = GetShipIcon(pShip);
    auto* animation = Track(new CSinkingAnimation(code, this));
    CPanelIcon* panelIcon = GetPanelIcon(pShip->GetCurrentPanel());
    animation->SetPanelIcon(panelIcon);
    if (own != nullptr && own->isVisible()) {
        animation->SetShipIcon(own);
    } else if (panelIcon != nullptr) {
        auto* temporary = new CShipIcon(pShip->GetType(), pShip->GetUnitId(), panelIcon->pos().toPoint());
        temporary->SetDraggable(false);
        temporary->setAcceptedMouseButtons(Qt::NoButton);
        if (IsAudience()) temporary->SetImagePattern(pShip->GetUnitId() % 2 == 0 ? ImageRight : ImageLeft);
        animation->SetTemporaryIcon(temporary);
    }
    animation->StartOnce();
    return animation;
}

CSurpriseAnimation* CGameMapScene::AnimateSurprise(CPanelIcon* pPanelIcon, CShipIcon* pShipIcon,
                                                   MessageCode code)
{
    if (pPanelIcon == nullptr && pShipIcon == nullptr) return nullptr;
    auto* animation = Track(new CSurpriseAnimation(code, this));
    animation->SetPanelIcon(pPanelIcon);
    animation->SetShipIcon(pShipIcon);
    animation->StartOnce();
    return animation;
}

CMoveAnimation* CGameMapScene::AnimateMove(CIcon* pIcon, CPanelIcon* pFrom, CPanelIcon* pTo, MessageCode code,
                                           Sound::SeCode sound)
{
    if (pIcon == nullptr || pTo == nullptr) return nullptr;
    auto* animation = Track(new CMoveAnimation(this));
    animation->SetCode(code);
    animation->SetIcon(pIcon);
    animation->SetFrom(pFrom);
    animation->SetTo(pTo);
    animation->SetSound(sound);
    animation->StartOnce();
    return animation;
}

CMineAnimation* CGameMapScene::AnimateMine(CShipIcon* pShipIcon, CPanelIcon* pTarget, MessageCode code)
{
    if (pShipIcon == nullptr || pTarget == nullptr) return nullptr;
    auto* animation = Track(new CMineAnimation(this));
    animation->SetCode(code);
    animation->SetShipIcon(pShipIcon);
    animation->SetTarget(pTarget);
    // Kept a while after it lands, until its mine picture has been taken away.
    connect(animation, &CAnimation::Finished, animation, [animation] {
        QTimer::singleShot(2 * ScreenTiming::Scaled(ScreenTiming::MineLanded), animation,
                           &QObject::deleteLater);
    });
    animation->Start();
    return animation;
}

void CGameMapScene::StopAnimations()
{
    for (const QPointer<CAnimation>& animation : m_animations) {
        if (animation == nullptr) continue;
        if (auto* effect = qobject_cast<CBattleEffect*>(animation.data())) {
            effect->Release();
        } else if (auto* surprise = qobject_cast<CSurpriseAnimation*>(animation.data())) {
            surprise->Release();
        } else if (auto* move = qobject_cast<CMoveAnimation*>(animation.data())) {
            move->Release();
        } else if (auto* mine = qobject_cast<CMineAnimation*>(animation.data())) {
            mine->Release();
        }
        // A stopped once-only animation is deleted by Qt; the rest go now.
        animation->deleteLater();
    }
    m_animations.clear();
}

int CGameMapScene::CountRunningAnimations() const
{
    int running = 0;
    for (const QPointer<CAnimation>& animation : m_animations)
        if (animation != nullptr && animation->IsRunning()) ++running;
    return running;
}

// --- view --------------------------------------------------------------------

CGameMapView::CGameMapView(CGameMapScene* pScene, QWidget* parent)
    : CMainView(pScene, parent), m_scene(pScene), m_sea(CPanelResourcePool::GetInstance().Get(PanelSea))
{
    setMinimumSize(416, 380);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    if (pScene != nullptr) {
        connect(this, &CGameMapView::NotifyOfResize, pScene, [this](const QSize& size) {
            if (m_scene != nullptr) m_scene->AdjustViewPosition(size);
        });
    }
}

void CGameMapView::drawBackground(QPainter* painter, const QRectF& rect)
{
    if (m_sea.isNull()) {
        CMainView::drawBackground(painter, rect);
        return;
    }
    // Tiled from the scene's origin, so the sea lines up with the panels' grid.
    const QSize tile = m_sea.size();
    const int left = static_cast<int>(std::floor(rect.left() / tile.width())) * tile.width();
    const int top = static_cast<int>(std::floor(rect.top() / tile.height())) * tile.height();
    painter->drawTiledPixmap(QRectF(left, top, rect.right() - left + 1, rect.bottom() - top + 1), m_sea);
}

void CGameMapView::resizeEvent(QResizeEvent* event)
{
    const QSize size = event->size();
    if (size.width() >= 1 && size.height() >= 1) emit NotifyOfResize(size);
    CGameView::resizeEvent(event);
}

// The effects the turn display makes itself.
template CMoveAnimation* CGameMapScene::Track(CMoveAnimation*);
template CNoteAnimation* CGameMapScene::Track(CNoteAnimation*);

} // namespace Marevane
