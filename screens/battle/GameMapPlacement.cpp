// Fleet placement on the battle map: ships dragged or clicked onto the
// panels, moved, refused with a notice, the flagship chosen from a list,
// and the confirmations of the fleet and of the battle's start.
#include "screens/battle/GameMapScene.h"

#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/SelectionList.h"
#include "gui/SoundFeedback.h"
#include "model/Board.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/FleetLimit.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"

#include <QCoreApplication>
#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QTimer>

#include <algorithm>

namespace Marevane {

namespace {

constexpr qreal PopupZ = 1000;
constexpr MessageCode RequestAccepted = 26;
constexpr MessageCode RequestRejected = 27;
constexpr MessageCode StartConfirmed = 68;

const QString ShipTypeFormat = QStringLiteral("enum/ShipType");
const QString PlayerIdFormat = QStringLiteral("uint/PlayerId");
const QString ShipIdFormat = QStringLiteral("uint/ShipId");

QString Tr(const char* text)
{
    return QCoreApplication::translate("Marevane::CGameMapScene", text);
}

// A piece whose translation is the text itself.
bool IsUntranslated(const char* text)
{
    return Tr(text) == QLatin1String(text);
}

QString PanelLabel(std::uint32_t row, std::uint32_t column)
{
    // The labels of the map's rows and columns.
    return QCoreApplication::translate("CGameMapLayer", "R") + QString::number(row) +
           QCoreApplication::translate("CGameMapLayer", "C") + QString::number(column);
}

} // namespace

// --- pop-up items ---------------------------------------------------------------

CSelectionListItem* CGameMapScene::GetSelectionList()
{
    if (m_selectionList == nullptr) {
        m_selectionList = new CSelectionListItem;
        m_selectionList->setZValue(PopupZ);
        m_selectionList->hide();
        addItem(m_selectionList);
    }
    return m_selectionList;
}

CConfirmationItem* CGameMapScene::GetInputConfirmation()
{
    if (m_inputConfirmation == nullptr) {
        m_inputConfirmation = new CConfirmationItem;
        m_inputConfirmation->setZValue(PopupZ);
        m_inputConfirmation->hide();
        addItem(m_inputConfirmation);
    }
    return m_inputConfirmation;
}

CConfirmationItem* CGameMapScene::GetActionConfirmation()
{
    if (m_actionConfirmation == nullptr) {
        m_actionConfirmation = new CConfirmationItem(tr("Yes"), tr("No"));
        m_actionConfirmation->setZValue(PopupZ);
        m_actionConfirmation->hide();
        addItem(m_actionConfirmation);
    }
    return m_actionConfirmation;
}

CPanelIcon* CGameMapScene::GetPromptPanelIcon() const
{
    if (!IsBoardShown()) return nullptr;
    const std::uint32_t rows = m_map->GetRows();
    const std::uint32_t columns = m_map->GetColumns();
    return GetPanelIcon(m_map->GetPanel(rows, (columns + 1) / 2));
}

QPointF CGameMapScene::PromptPosition(qreal itemWidth, int extra) const
{
    const CPanelIcon* icon = GetPromptPanelIcon();
    if (icon == nullptr) return QPointF(0, 0);
    const qreal width = icon->boundingRect().width();
    QPointF pos(icon->x() + width + static_cast<int>(width) / 4 + extra, icon->y() + 1);
    // Kept inside what the view shows.
    qreal right = sceneRect().right();
    if (CGameView* view = GetView())
        right = std::min<qreal>(right, view->mapToScene(view->viewport()->rect().topRight()).x());
    if (pos.x() + itemWidth > right) pos.setX(std::max<qreal>(0, right - itemWidth));
    return pos;
}

void CGameMapScene::FocusView()
{
    if (CGameView* view = GetView()) view->setFocus();
}

// --- starting and ending a placement ----------------------------------------------

void CGameMapScene::EndPlacement()
{
    for (auto it = m_positionablePanels.begin(); it != m_positionablePanels.end(); ++it) {
        it.key()->SetSelectable(false);
        it.key()->update();
    }
    m_positionablePanels.clear();
    m_placingType = 0;
    m_placingUnitId = 0;
    if (m_input != nullptr) m_input->SetState(CCommandInputManager::StateDisabled);
    // "Now Selected: ..." names the ship no longer being placed.
    if (m_tooltip != nullptr) m_tooltip->Hide();
}

void CGameMapScene::ChangeToPositionable(const CShipIcon* pShipIcon)
{
    if (IsPlacementPending()) EndPlacement();
    if (pShipIcon == nullptr) return;
    const std::uint32_t unitId =
        pShipIcon->GetShip() != nullptr ? pShipIcon->GetShip()->GetUnitId() : pShipIcon->GetUnitId();
    // Only the local side places ships here.
    CUnit* unit = GetUnit(unitId);
    if (unit == nullptr || unit != m_player || IsAudience()) return;
    const CPanel* own = pShipIcon->GetPanel();
    for (CPanelIcon* icon : m_panelIcons) {
        CPanel* panel = icon->GetPanel();
        if (panel == nullptr || panel == own || !panel->IsPassable()) continue;
        if (unit->FindShipOnPanel(panel) != nullptr) continue;
        icon->SetSelectable(true);
        icon->update();
        m_positionablePanels.insert(icon, pShipIcon);
    }
    if (!IsPlacementPending()) return;
    m_placingType = pShipIcon->GetShipType();
    m_placingUnitId = unitId;
    if (m_input != nullptr) m_input->SetState(CCommandInputManager::StateCommandChosen);
    m_notificationBar->Show(tr("Please select a panel on which the ship is placed."),
                            ScreenTiming::Scaled(ScreenTiming::Notice));
    FocusView();
}

bool CGameMapScene::PlaceByClick(CPanelIcon* pPanelIcon)
{
    if (!IsPlacementPending()) return false;
    const bool isHighlighted = m_positionablePanels.contains(pPanelIcon);
    CUnit* unit = GetUnit(m_placingUnitId);
    PlaceShip(unit, 0, m_placingType, pPanelIcon != nullptr ? pPanelIcon->GetPanel() : nullptr);
    if (isHighlighted) ChangeToPositionable(nullptr);
    return true;
}

// --- drag and drop ---------------------------------------------------------------

bool CGameMapScene::IsAcceptedDrag(const QGraphicsSceneDragDropEvent* event) const
{
    // Only drags that started in this program: another instance's data
    // names sides of its own.
    return event->mimeData() != nullptr && event->mimeData()->hasFormat(ShipTypeFormat) &&
           event->source() != nullptr;
}

void CGameMapScene::dragEnterEvent(QGraphicsSceneDragDropEvent* event)
{
    event->setAccepted(IsAcceptedDrag(event));
}

void CGameMapScene::dragMoveEvent(QGraphicsSceneDragDropEvent* event)
{
    event->setAccepted(IsAcceptedDrag(event));
}

void CGameMapScene::dropEvent(QGraphicsSceneDragDropEvent* event)
{
    if (!IsAcceptedDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    const QMimeData* data = event->mimeData();
    bool isType = false;
    bool isUnit = false;
    bool isShip = false;
    const std::uint32_t type = data->data(ShipTypeFormat).toUInt(&isType);
    const std::uint32_t unitId = data->data(PlayerIdFormat).toUInt(&isUnit);
    const std::uint32_t shipId = data->data(ShipIdFormat).toUInt(&isShip);
    CUnit* unit = isUnit ? GetUnit(unitId) : nullptr;
    if (!isType || !isShip || unit == nullptr || unit != m_player || IsAudience()) {
        ChangeToPositionable(nullptr);
        return;
    }
    // The panel under the point, ring included (its icons are not shown).
    CPanel* panel = nullptr;
    for (CPanelIcon* icon : m_panelIcons) {
        if (icon->GetRect().contains(icon->mapFromScene(event->scenePos()).toPoint())) {
            panel = icon->GetPanel();
            break;
        }
    }
    PlaceShip(unit, shipId, type, panel);
    ChangeToPositionable(nullptr);
}

// --- placing and moving ----------------------------------------------------------

QString CGameMapScene::OutOfRangeText() const
{
    const std::uint32_t rows = m_map != nullptr ? m_map->GetRows() : 0;
    const std::uint32_t columns = m_map != nullptr ? m_map->GetColumns() : 0;
    return tr("This is out of range of valid panels") + QStringLiteral(" (") + PanelLabel(1, 1) +
           QStringLiteral(" - ") + PanelLabel(rows, columns) + QStringLiteral(")");
}

void CGameMapScene::MoveShip(CUnit* pUnit, CShip* pShip, CPanel* pPanel)
{
    CPanel* former = pShip->GetCurrentPanel();
    if (pPanel == former) throw CPanelNotChangedError();
    if (pPanel == nullptr || !pPanel->IsPassable()) throw CPanelRangeError();
    if (pUnit->IsPanelOccupied(pPanel, pShip)) throw CPanelOnOtherShipError();
    pShip->SetPanel(pPanel);
    if (CPanelIcon* icon = GetPanelIcon(former)) icon->update();
}

bool CGameMapScene::PlaceShip(CUnit* pUnit, std::uint32_t shipId, std::uint32_t shipType, CPanel* pPanel)
{
    const int notice = ScreenTiming::Scaled(ScreenTiming::Notice);
    const QString outOfRange = OutOfRangeText();
    if (pPanel == nullptr) {
        m_notificationBar->Show(outOfRange, notice);
        return false;
    }
    if (pUnit == nullptr || m_shipFactory == nullptr) return false;
    try {
        std::uint32_t number = shipId;
        const char* verb = QT_TRANSLATE_NOOP("Marevane::CGameMapScene", "replaced");
        std::uint32_t type = shipType;
        if (shipId != 0 && pUnit->HasShip(shipId)) {
            CShip* ship = pUnit->GetShip(shipId);
            MoveShip(pUnit, ship, pPanel);
            type = ship->GetType();
        } else {
            if (m_placementRules != nullptr && pUnit->ShipCount() >= FleetLimit(*m_placementRules, pUnit)) {
                m_notificationBar->Show(tr("No more ships can be placed in this fleet."), notice);
                return false;
            }
            m_shipFactory->CreateShip(pUnit, shipType, pPanel);
            number = static_cast<std::uint32_t>(pUnit->ShipCount());
            verb = QT_TRANSLATE_NOOP("Marevane::CGameMapScene", "placed");
        }
        BuildShipIcons();
        emit ShipDataChanged();

        const QString name = CGUIShipNames::GetInstance().Get(static_cast<ShipType>(type));
        const QString where = tr(" at ") + PanelLabel(pPanel->GetPos().x, pPanel->GetPos().y);
        QString message;
        if (IsUntranslated(verb)) {
            message = tr("As No.") + QString::number(number) + tr(" ship, the ") + name + tr(" has been ") +
                      Tr(verb) + where + tr(".");
        } else {
            // The translation's order: the verb comes last.
            message = QString::number(number) + tr(" ship, the ") + name + where + tr(" has been ") +
                      Tr(verb) + tr(".");
        }
        emit MessageSent(message);
        update();
        return true;
    } catch (const CPanelRangeError&) {
        m_notificationBar->Show(outOfRange, notice);
    } catch (const CPanelOnOtherShipError&) {
        m_notificationBar->Show(tr("Other ship has been already placed on this panel."), notice);
    } catch (const CPanelNotChangedError&) {
        m_notificationBar->Show(tr("Changing position of this ship has been canceled."), notice);
    } catch (const CShipTypeRangeError&) {
        // The list offers no such type; an oiler first is simply not placed.
    } catch (const CNonCombatantShipError&) {
    } catch (const std::invalid_argument&) {
        m_notificationBar->Show(tr("Logic Error: The placement has been canceled."), notice);
    } catch (const std::exception&) {
        m_notificationBar->Show(tr("Runtime Error: the input format may be invalid."), notice);
    }
    return false;
}

// --- flagship and confirmations -------------------------------------------------

void CGameMapScene::ConfirmFlagship()
{
    if (m_player == nullptr || m_player->GetUnitType() == UnitWatching) {
        ConfirmRequest(tr("Is it OK?"));
        return;
    }
    CSelectionListItem* list = GetSelectionList();
    list->Clear();
    for (const auto& [shipId, ship] : m_player->GetShips()) {
        const std::uint32_t id = shipId;
        list->AddItem(QString::number(id) + QStringLiteral(". ") +
                          CGUIShipNames::GetInstance().Get(static_cast<ShipType>(ship->GetType())),
                      [this, id] {
                          PlaySoundEffect(Sound::SeDefaultSelected);
                          if (m_player != nullptr) m_player->SetFlagship(id);
                          if (m_selectionList != nullptr) m_selectionList->Hide();
                          BuildShipIcons();
                          emit ShipDataChanged();
                          ConfirmRequest(tr("Is it OK?"));
                      });
    }
    list->SetCancelCallback([this] {
        PlaySoundEffect(Sound::SeDefaultCanceled);
        if (m_selectionList != nullptr) m_selectionList->Hide();
        m_notificationBar->Hide();
        emit Notified(RequestRejected);
    });
    QPointF pos = PromptPosition(list->rect().width(), 1);
    pos.ry() -= list->rect().height() / 2;
    FocusView();
    m_notificationBar->Show(tr("Select your flagship from the fleet."), 0);
    list->Show(pos);
}

void CGameMapScene::ConfirmRequest()
{
    ConfirmRequest(tr("Is it OK?"));
}

void CGameMapScene::ConfirmRequest(QString message)
{
    CConfirmationItem* confirmation = GetInputConfirmation();
    const QPointF pos = PromptPosition(confirmation->rect().width(), 0);
    FocusView();
    m_notificationBar->Show(message, 0);
    confirmation->Show(
        pos,
        [this] {
            PlaySoundEffect(Sound::SeNextStep);
            m_notificationBar->Hide();
            emit Notified(RequestAccepted);
        },
        [this] {
            PlaySoundEffect(Sound::SeDefaultCanceled);
            if (m_player != nullptr && m_player->HasFlagship()) {
                m_player->SetFlagship(0);
                BuildShipIcons();
                emit ShipDataChanged();
            }
            m_notificationBar->Hide();
            emit Notified(RequestRejected);
        });
}

void CGameMapScene::ConfirmBattleStart()
{
    CConfirmationItem* confirmation = GetActionConfirmation();
    confirmation->SetOkText(tr("Start Battle"));
    if (IsAudience()) {
        // A watcher waits for the players, who confirm the start themselves.
        const bool hasHuman = std::any_of(m_units.begin(), m_units.end(), [](const CUnit* unit) {
            return unit != nullptr && unit->GetUnitType() == UnitManual;
        });
        if (hasHuman) {
            emit Notified(StartConfirmed);
            return;
        }
    }
    const CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    const QString name = current != nullptr ? GetPlayerName(*current) : QString();
    const QString text = (IsUntranslated("Start Battle") ? tr("The battle starts from ") : QString()) + name +
                         tr("'s turn.") + QStringLiteral("\n") +
                         tr("Press \"Start Battle\" or Enter key to start this battle.");
    emit MessageSent(text);
    if (m_turnInfoBar != nullptr) m_turnInfoBar->Show(tr("Confirmation of Start"));
    m_notificationBar->Show(text, 0);
    confirmation->Show(
        PromptPosition(confirmation->rect().width(), 0),
        [this] {
            m_notificationBar->Hide();
            PlaySoundEffect(Sound::SeWhistle);
            emit Notified(StartConfirmed);
        },
        [this] { ConfirmBattleStart(); });
    QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::PromptRefresh), this, [this] { FocusView(); });
}

} // namespace Marevane
