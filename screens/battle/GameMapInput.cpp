// Command input on the battle map: the dialogue of menu, target and
// confirmation, the highlighted panels with their fuel costs, the keyboard
// and mouse bindings, and the end-of-turn prompt.
#include "screens/battle/GameMapScene.h"

#include "app/GameView.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/SelectionList.h"
#include "gui/SoundFeedback.h"
#include "model/Board.h"
#include "model/CommandableDirection.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/NameTables.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/CommandMenu.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"

#include <QCoreApplication>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

#include <cmath>
#include <exception>
#include <stdexcept>

namespace Marevane {

namespace {

constexpr qreal PopupZ = 1002;

bool IsPlayedOnHost(const CUnit* pUnit)
{
    return pUnit != nullptr && pUnit->GetProfile().OriginFlag == HostServer;
}

bool IsPlayedFromClient(const CUnit* pUnit)
{
    return pUnit != nullptr && pUnit->GetProfile().OriginFlag == HostClient;
}

bool IsGone(const CShip* pShip)
{
    return pShip == nullptr || pShip->IsSinking() || pShip->GetProfile().Hp <= 0;
}

bool IsShown(const QGraphicsItem* pItem)
{
    return pItem != nullptr && pItem->isVisible();
}

bool IsReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

// --- set-up ------------------------------------------------------------------

int CGameMapScene::TurnEndPromptTime(bool isDeathMatch)
{
    return isDeathMatch ? ScreenTiming::TurnEndPrompt / 2 : ScreenTiming::TurnEndPrompt;
}

void CGameMapScene::ResetInputForBattle(bool isDeathMatch)
{
    m_turnEndPromptTime = TurnEndPromptTime(isDeathMatch);
    CancelTurnEndPrompt();
    m_input->Clear();
    m_input->SetEnabled(false);
    m_commandMenu->ResetHoverKey();
    m_commandMenu->hide();
    for (CSelectionListItem* item : {static_cast<CSelectionListItem*>(m_inputConfirmation.data()),
                                     static_cast<CSelectionListItem*>(m_actionConfirmation.data())})
        if (item != nullptr) item->Hide();
    ClearSelectableAndSelected();
    SetPointedPanel(static_cast<CPanelIcon*>(nullptr));
}

void CGameMapScene::CreateInputObjects()
{
    m_input = new CCommandInputManager(this);
    // A window of its own, deleted with the scene.
    m_commandMenu = new CCommandMenu;
    m_turnEndExecution = new CScheduledExecution(0, this);
    connect(m_commandMenu, &CCommandMenu::CommandHovered, this, &CGameMapScene::CommandMenuHovered);
    connect(m_commandMenu, &CCommandMenu::MenuSelected, this, &CGameMapScene::ShowCommandable);
    connect(m_commandMenu, &QMenu::aboutToHide, this, [this] {
        emit CommandMenuClosed();
        ClearSelectedPanels();
        // Closed without a choice: back to waiting for a panel.
        if (m_input->GetState() == CCommandInputManager::StateMenuOpen) m_input->BackState();
    });
}

void CGameMapScene::DestroyInputObjects()
{
    CancelTurnEndPrompt();
    m_commandMenu->disconnect(this);
    delete m_commandMenu;
    m_commandMenu = nullptr;
}

void CGameMapScene::BuildInputItems()
{
    // The old items went with the scene's items; the panels they named too.
    m_selectablePanels.clear();
    m_selectedPanels.clear();
    m_pointedPanel = nullptr;
    // Ships and panels of the input may be gone with the icons.
    CancelTurnEndPrompt();
    m_input->Clear();
    m_input->SetEnabled(false);
    m_commandMenu->hide();
    m_commandMenu->ResetHoverKey();
    if (m_timerBar != nullptr) connect(m_timerBar, &CTimerBar::TimeLost, this, &CGameMapScene::RelayTimeLost);
}

void CGameMapScene::ConnectPanelIconInput(CPanelIcon* pPanelIcon)
{
    connect(pPanelIcon, &CPanelIcon::Hovered, this, qOverload<CPanelIcon*>(&CGameMapScene::SetPointedPanel));
    connect(pPanelIcon, &CPanelIcon::Clicked, this, qOverload<CPanelIcon*>(&CGameMapScene::OpenCommandMenu));
    connect(pPanelIcon, &CPanelIcon::ClickedSelectable, this, &CGameMapScene::ConfirmInput);
}

// --- look-ups ------------------------------------------------------------------

CUnit* CGameMapScene::CurrentUnit() const
{
    return m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
}

bool CGameMapScene::IsOnlyWatching() const
{
    if (m_player == nullptr || m_player->GetUnitType() == UnitWatching) return true;
    for (const CUnit* unit : m_units) {
        if (unit != nullptr && (unit->GetUnitType() == UnitManual || IsPlayedFromClient(unit))) return false;
    }
    return true;
}

bool CGameMapScene::IsPopupVisible() const
{
    return IsShown(m_selectionList) || IsShown(m_inputConfirmation) || IsShown(m_actionConfirmation);
}

bool CGameMapScene::IsOverPopup(const QPointF& scenePos) const
{
    for (const QGraphicsItem* item : items(scenePos)) {
        const QGraphicsItem* top = item->topLevelItem();
        if (top == m_selectionList.data() || top == m_inputConfirmation.data() ||
            top == m_actionConfirmation.data())
            return true;
    }
    return false;
}

QPointF CGameMapScene::BesidePanel(const CPanelIcon* pPanelIcon) const
{
    if (pPanelIcon == nullptr) return m_origin;
    const QRectF rect = pPanelIcon->sceneBoundingRect();
    return QPointF(rect.x() + rect.width() + rect.width() / 4, rect.y() + 1);
}

void CGameMapScene::Notice(const QString& text, int millisec)
{
    m_notificationBar->Show(text, millisec);
}

// --- the command menu ------------------------------------------------------------

void CGameMapScene::OpenCommandMenu(const ShipProfile* pProfile)
{
    if (pProfile == nullptr || m_map == nullptr) return;
    OpenCommandMenu(GetPanelIcon(m_map->GetPanel(pProfile->Pos)));
}

void CGameMapScene::OpenCommandMenu(CPanelIcon* pPanelIcon)
{
    if (PlaceByClick(pPanelIcon)) return;
    if (m_turnManager == nullptr) return;
    if (IsOnlyWatching()) {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "You are not a player on this game."),
               ScreenTiming::Notice);
        return;
    }
    const unsigned state = m_input->GetState();
    if (state == CCommandInputManager::StateDisabled) {
        Notice(
            QCoreApplication::translate("Marevane::CGameMapScene", "You cannot input a command currently."),
            ScreenTiming::Notice);
        return;
    }
    if (state >= CCommandInputManager::StateCommandChosen) {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "This panel is out of range."),
               ScreenTiming::Notice);
        return;
    }
    m_input->SetState(CCommandInputManager::StateWaitingPanel);
    CPanel* panel = pPanelIcon != nullptr ? pPanelIcon->GetPanel() : nullptr;
    CShip* ship = m_player->FindShipOnPanel(panel);
    QPoint pos;
    if (CGameView* view = GetView()) {
        const QPointF corner = pPanelIcon != nullptr ? pPanelIcon->scenePos() : sceneRect().center();
        const int width = pPanelIcon != nullptr ? static_cast<int>(pPanelIcon->boundingRect().width()) : 0;
        pos = view->viewport()->mapToGlobal(view->mapFromScene(corner)) + QPoint(width + 4, 0);
    }
    m_commandMenu->Build(m_player);
    if (ship != nullptr) {
        AddSelectedPanel(pPanelIcon);
        m_input->Set(ship);
        m_input->SetState(CCommandInputManager::StateMenuOpen);
        emit CommandMenuOpened(m_player, ship);
        m_commandMenu->Open(pos, ship);
    } else {
        m_input->SetState(CCommandInputManager::StateMenuOpen);
        m_commandMenu->Open(pos, panel);
    }
}

// --- choosing a command ------------------------------------------------------------

void CGameMapScene::ShowCommandable(CommandCode code, CShip* pShip)
{
    try {
        ShowCommandableOrThrow(code, pShip);
    } catch (const std::exception& error) {
        // A choice that cannot be followed ends this step, not the program.
        Notice(QString::fromUtf8(error.what()), ScreenTiming::FailureNotice);
        m_input->Clear();
        m_input->SetState(CCommandInputManager::StateWaitingPanel);
        ClearSelectablePanels();
        ClearSelectedPanels();
    }
}

void CGameMapScene::ShowCommandableOrThrow(CommandCode code, CShip* pShip)
{
    ClearSelectablePanels();
    CUnit* side = nullptr;
    if (pShip != nullptr) {
        for (CUnit* unit : m_units) {
            if (unit != nullptr && unit->GetId() == pShip->GetUnitId()) {
                side = unit;
                break;
            }
        }
    }
    if (side == nullptr) side = m_player;
    if (side == nullptr) throw std::invalid_argument("Player ID Error.");
    if (side->CanAct() && code == CommandPass) code = CommandNone;

    switch (code) {
    case CommandAttack:
    case CommandMove:
    case CommandMine:
    case CommandTorpedo:
    case CommandReinforce:
    case CommandChangeFlagship:
        break;
    case CommandResign:
    case CommandPass: {
        m_input->Set(code);
        m_input->SetState(CCommandInputManager::StateCommandChosen);
        ConfirmInput(GetPanelIcon(m_commandMenu->GetPanel()));
        return;
    }
    default:
        m_commandMenu->hide();
        m_input->SetState(CCommandInputManager::StateWaitingPanel);
        return;
    }
    if (code == CommandChangeFlagship && !side->HasFlagship()) {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "You have no flagship."),
               ScreenTiming::Notice);
        return;
    }
    if (pShip == nullptr || pShip->GetCurrentPanel() == nullptr)
        throw std::runtime_error("CCommandInputManager::Set(): Ship data is not set yet.");

    if (code == CommandAttack || code == CommandMove || code == CommandMine) {
        MarkDirectionalPanels(code, pShip, side);
    } else {
        MarkWholeMapPanels(code, pShip, side);
    }
    m_input->Set(code);
    m_input->Set(pShip);
    m_input->SetState(CCommandInputManager::StateCommandChosen);

    if (m_selectablePanels.isEmpty()) {
        // Cancelling empties the bar, so the notice follows it; and it must
        // not choose the same empty command again.
        m_isCancellingEmptyChoice = true;
        CancelInput();
        m_isCancellingEmptyChoice = false;
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "There is no selectable panel."),
               ScreenTiming::Notice);
    } else {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "Please select a target panel."),
               ScreenTiming::Notice);
        FocusView();
    }
}

void CGameMapScene::MarkDirectionalPanels(CommandCode code, CShip* pShip, CUnit* pSide)
{
    const int reach = CCommandableDistance(pShip).Get(code);
    const std::vector<Direction>& directions = CCommandableDirection::GetInstance().Get(code);
    for (Direction direction : directions) {
        const CPanel* panel = pShip->GetCurrentPanel();
        for (std::uint32_t i = 1; reach < 0 || i <= static_cast<std::uint32_t>(reach); ++i) {
            CPanel* next = panel->GetNeighbor(direction);
            // The ring ends a walk; the centre is the ship's own panel, once.
            if (next->GetType() == PanelBoundary) break;
            const bool isStill = next == panel;
            panel = next;
            CPanelIcon* icon = GetPanelIcon(next);
            if (code == CommandMove) {
                const bool isSeen = (icon != nullptr && icon->IsKnown()) || next->IsRevealed();
                if (isSeen && next->GetType() == PanelReef) break;
                // Own ships are passed over, not stopped at.
                if (pSide->IsPanelOccupied(next, pShip)) continue;
            }
            if (icon != nullptr) AddSelectablePanel(icon, pShip->GetCommandCost(code, i));
            if (isStill) break;
        }
    }
}

void CGameMapScene::MarkWholeMapPanels(CommandCode code, CShip* pShip, CUnit* pSide)
{
    if (code == CommandChangeFlagship) {
        const CShip* flagship = pSide->GetFlagship();
        const uint cost =
            flagship->GetCommandCost(CommandChangeFlagship, pSide->GetStatistics()[StatFlagshipChanges]);
        for (const auto& entry : pSide->GetShips()) {
            const CShip* ship = entry.second;
            if (IsGone(ship) || ship == flagship) continue;
            if (CPanelIcon* icon = GetPanelIcon(ship->GetCurrentPanel())) AddSelectablePanel(icon, cost);
        }
        return;
    }
    const uint cost = code == CommandTorpedo ? pShip->GetCommandCost(CommandTorpedo, 1)
                                             : pSide->GetReinforceCost(pShip->GetShipId());
    // Row by row, so the order is the map's.
    for (CPanelIcon* icon : m_panelIcons) {
        CPanel* panel = icon->GetPanel();
        if (panel == nullptr || panel->GetType() == PanelBoundary) continue;
        if (code == CommandTorpedo) {
            if (panel != pShip->GetCurrentPanel()) AddSelectablePanel(icon, cost);
            continue;
        }
        const PanelType known = panel->GetTypeKnownTo(pSide->GetId());
        if (!(icon->IsKnown() || panel->IsRevealed()) || known == PanelUnknown || known == PanelReef ||
            panel->GetType() == PanelReef || pSide->IsPanelOccupied(panel, nullptr))
            continue;
        AddSelectablePanel(icon, cost);
    }
}

// --- highlighting ------------------------------------------------------------------

void CGameMapScene::AddSelectablePanel(CPanelIcon* pPanelIcon, uint fuelCost)
{
    if (pPanelIcon == nullptr) return;
    pPanelIcon->SetSelectable(true);
    pPanelIcon->update();
    m_selectablePanels.insert(pPanelIcon, fuelCost);
}

void CGameMapScene::ClearSelectablePanels()
{
    for (auto it = m_selectablePanels.cbegin(); it != m_selectablePanels.cend(); ++it) {
        it.key()->SetSelectable(false);
        it.key()->SetSelected(false);
        it.key()->update();
    }
    m_selectablePanels.clear();
    if (CPanelIcon* pointed = GetPanelIcon(m_pointedPanel)) pointed->update();
}

void CGameMapScene::AddSelectedPanel(CPanelIcon* pPanelIcon)
{
    if (pPanelIcon == nullptr || m_input->GetCommandCode() == CommandResign) return;
    pPanelIcon->SetSelected(true);
    pPanelIcon->update();
    if (!m_selectedPanels.contains(pPanelIcon)) m_selectedPanels.append(pPanelIcon);
}

void CGameMapScene::ClearSelectedPanels()
{
    for (CPanelIcon* icon : qAsConst(m_selectedPanels)) {
        icon->SetSelected(false);
        icon->update();
    }
    m_selectedPanels.clear();
}

void CGameMapScene::SetPointedPanel(CPanelIcon* pPanelIcon)
{
    if (CPanelIcon* previous = GetPanelIcon(m_pointedPanel)) previous->SetPointed(false);
    m_pointedPanel = pPanelIcon != nullptr ? pPanelIcon->GetPanel() : nullptr;
    if (pPanelIcon != nullptr) pPanelIcon->SetPointed(true);
    ShowHelp(pPanelIcon);
}

void CGameMapScene::SetPointedPanel(CPanel* pPanel)
{
    SetPointedPanel(GetPanelIcon(pPanel));
}

void CGameMapScene::ShowHelp(CPanelIcon* pPanelIcon)
{
    ShowTooltip(pPanelIcon);
    const CShipIcon* shipIcon = nullptr;
    if (pPanelIcon != nullptr) {
        for (const CShipIcon* icon : m_shipIcons) {
            const CShip* ship = icon->GetShip();
            if (ship != nullptr && !IsGone(ship) && ship->GetCurrentPanel() == pPanelIcon->GetPanel()) {
                shipIcon = icon;
                break;
            }
        }
    }
    emit PanelHovered(pPanelIcon, shipIcon);
}

QString CGameMapScene::CostText(uint cost)
{
    const QString label = QCoreApplication::translate("Marevane::CGameMapScene", "Cost ");
    // A translation carries its own unit.
    return label + QString::number(cost) +
           (label == QLatin1String("Cost ") ? QStringLiteral("FP") : QString());
}

void CGameMapScene::ShowTooltip(CPanelIcon* pPanelIcon)
{
    if (pPanelIcon != nullptr && m_positionablePanels.contains(pPanelIcon)) {
        m_tooltip->Show(pPanelIcon,
                        QCoreApplication::translate("Marevane::CGameMapScene", "Now Selected: ") +
                            CGUIShipNames::GetInstance().Get(static_cast<ShipType>(m_placingType)));
    } else if (pPanelIcon != nullptr && m_selectablePanels.contains(pPanelIcon)) {
        m_tooltip->Show(pPanelIcon, CostText(m_selectablePanels.value(pPanelIcon)));
    } else if (!(IsShown(m_inputConfirmation) && IsShown(m_selectionList))) {
        m_tooltip->Hide();
    }
}

void CGameMapScene::ShowFuelChange(CShipIcon* pShipIcon, const ShipProfile* pProfile)
{
    if (pShipIcon != nullptr && pProfile != nullptr) ShowFuelNote(pShipIcon, *pProfile);
}

void CGameMapScene::ShowAllFuelChange()
{
    ShowAllFuelNotes();
}

// --- target, confirmation and completion ---------------------------------------------

void CGameMapScene::ConfirmInput(CPanelIcon* pPanelIcon)
{
    if (PlaceByClick(pPanelIcon)) return;
    if (m_input->GetState() != CCommandInputManager::StateCommandChosen) return;
    const CommandCode code = m_input->GetCommandCode();
    const bool isSideCommand = CCommandInputManager::IsSideCommand(code);
    try {
        if (pPanelIcon != nullptr || !isSideCommand)
            m_input->Set(pPanelIcon != nullptr ? pPanelIcon->GetPanel() : nullptr);
    } catch (const std::exception& error) {
        Notice(QString::fromUtf8(error.what()), ScreenTiming::FailureNotice);
        return;
    }
    AddSelectedPanel(pPanelIcon);
    m_input->SetState(CCommandInputManager::StateTargetChosen);
    const QPointF pos = BesidePanel(pPanelIcon);
    if (code == CommandResign) {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "Do you resign?"), 0);
    } else if (code == CommandPass) {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene",
                                           "Do you pass your turn? If \"Yes\", this turn ends."),
               0);
    } else {
        Notice(QCoreApplication::translate("Marevane::CGameMapScene", "Is this panel the target?"), 0);
        ShowTooltip(pPanelIcon);
    }
    FocusView();
    GetInputConfirmation()->Show(
        pos, [this] { CompleteInput(); }, [this] { CancelInput(); });
}

void CGameMapScene::CancelInput()
{
    PlaySoundEffect(Sound::SeDefaultCanceled, true);
    m_notificationBar->Hide();
    m_tooltip->Hide();
    ClearSelectedPanels();
    // Hidden, not cancelled: its cancel step is this one.
    if (IsShown(m_inputConfirmation)) GetInputConfirmation()->Hide();
    if (IsPlacementPending()) {
        ChangeToPositionable(nullptr);
        return;
    }
    unsigned previous = m_input->GetState();
    m_input->BackState();
    const CommandCode code = m_input->GetCommandCode();
    if (previous == CCommandInputManager::StateTargetChosen && CCommandInputManager::IsSideCommand(code)) {
        // Resign and Pass have no target to choose again: back to the menu.
        m_input->BackState();
        previous = CCommandInputManager::StateCommandChosen;
    }
    if (previous == CCommandInputManager::StateMenuOpen) {
        m_commandMenu->hide();
    } else if (previous == CCommandInputManager::StateCommandChosen) {
        ClearSelectablePanels();
        CShip* ship = m_commandMenu->GetShip();
        CPanel* panel = m_commandMenu->GetPanel();
        if (ship != nullptr && !IsGone(ship)) {
            SetPointedPanel(ship->GetCurrentPanel());
            OpenCommandMenu(GetPanelIcon(ship->GetCurrentPanel()));
        } else if (panel != nullptr) {
            OpenCommandMenu(GetPanelIcon(panel));
        } else if (CCommandInputManager::IsSideCommand(code)) {
            m_input->SetState(CCommandInputManager::StateWaitingPanel);
            m_input->Clear();
            Notice(code == CommandResign
                       ? QCoreApplication::translate("Marevane::CGameMapScene", "Resigning is canceled.")
                       : QCoreApplication::translate("Marevane::CGameMapScene", "Passing is canceled."),
                   ScreenTiming::Notice);
        } else if (m_isCancellingEmptyChoice) {
            m_input->SetState(CCommandInputManager::StateWaitingPanel);
            m_input->Clear();
        } else {
            ShowCommandable(code, m_input->GetShip());
        }
    }
}

void CGameMapScene::CompleteInput()
{
    m_notificationBar->Hide();
    m_tooltip->Hide();
    ClearSelectableAndSelected();
    if (m_player == nullptr) return;
    m_player->SetCommandInput(m_input->GetCommand());
    m_input->Clear();
    m_input->SetState(CCommandInputManager::StateDisabled);
    CTimer* timer = m_timerBar != nullptr ? m_timerBar->GetTimer() : nullptr;
    if (timer != nullptr && timer->HasLimit() && timer->GetTimeLimit() <= 0) {
        // Too late: the time-up ends the turn.
        PlaySoundEffect(Sound::SeDefaultCanceled, true);
        return;
    }
    if (timer != nullptr && timer->IsStarted()) timer->Stop();
    if (m_timerBar != nullptr) m_timerBar->Stop();
    PlaySoundEffect(Sound::SeDefaultSelected, true);
    emit Notified(53);
}

void CGameMapScene::ClearSelectableAndSelected()
{
    ClearSelectablePanels();
    ClearSelectedPanels();
}

void CGameMapScene::StopOperation()
{
    CUnit* current = CurrentUnit();
    if (current != nullptr && current == m_player) {
        m_input->Clear();
        m_input->SetState(CCommandInputManager::StateDisabled);
        if (m_commandMenu->isVisible()) m_commandMenu->hide();
        if (IsShown(m_inputConfirmation)) {
            GetInputConfirmation()->Hide();
            m_notificationBar->Hide();
        }
        ClearSelectableAndSelected();
    }
    StopTurnClock();
}

// --- end of the turn ------------------------------------------------------------------

void CGameMapScene::CancelTurnEndPrompt()
{
    // Without its actions first: clearing a running schedule runs its stop step.
    m_turnEndExecution->SetStopAction(nullptr);
    m_turnEndExecution->SetCountAction(nullptr);
    m_turnEndExecution->Clear();
}

void CGameMapScene::ConfirmTurnEnd()
{
    CUnit* current = CurrentUnit();
    bool anyManual = false;
    for (const CUnit* unit : m_units)
        if (unit != nullptr && unit->GetUnitType() == UnitManual) anyManual = true;
    int promptTime = m_turnEndPromptTime;
    if (!anyManual && IsPlayedOnHost(current)) promptTime *= 2;
    GetActionConfirmation()->SetOkText(QCoreApplication::translate("Marevane::CGameMapScene", "End Turn"));
    CancelTurnEndPrompt();

    const bool isComputerBesideHuman =
        IsPlayedOnHost(current) && current->GetUnitType() == UnitAuto && anyManual;
    if (current != nullptr && current->IsActive() && !isComputerBesideHuman) {
        // The client's own machine asks its player; a client asks only its own.
        if (current != m_player && (IsPlayedFromClient(current) || IsPlayedFromClient(m_player))) return;
        m_turnEndPromptPos = PromptPosition(GetActionConfirmation()->rect().width(), 0);
        m_turnEndPromptLeft = promptTime;
        m_turnEndClock.start();
        m_turnEndExecution->SetCountInterval(ScreenTiming::Scaled(ScreenTiming::PromptRefresh));
        m_turnEndExecution->SetCountAction([this] { RefreshTurnEndPrompt(); });
        m_turnEndExecution->SetStopInterval(ScreenTiming::Scaled(promptTime));
        m_turnEndExecution->SetStopAction([this] { EndTurnPrompt(); });
        FocusView();
        RefreshTurnEndPrompt();
    } else {
        m_turnEndExecution->SetStopInterval(ScreenTiming::Scaled(ScreenTiming::Notice));
        m_turnEndExecution->SetStopAction([this] { EndTurnPrompt(); });
    }
    m_turnEndExecution->Run();
}

int CGameMapScene::TurnEndSecondsLeft() const
{
    // The clock runs at the screens' pace; the text counts play seconds.
    const double scale = ScreenTiming::Scale();
    const double elapsed = static_cast<double>(m_turnEndClock.elapsed()) / (scale > 0 ? scale : 1.0);
    const double left = static_cast<double>(m_turnEndPromptLeft) - elapsed;
    return left > 0 ? static_cast<int>(std::ceil(left / 1000.0)) : 0;
}

void CGameMapScene::RefreshTurnEndPrompt()
{
    Notice(QCoreApplication::translate(
               "Marevane::CGameMapScene",
               "Press \"End Turn\" or Enter key, then your turn ends.\n(it ends after ") +
               QString::number(TurnEndSecondsLeft()) +
               QCoreApplication::translate("Marevane::CGameMapScene", " automatically)"),
           0);
    if (!IsShown(m_actionConfirmation))
        GetActionConfirmation()->Show(m_turnEndPromptPos, [this] { m_turnEndExecution->Stop(); });
}

void CGameMapScene::EndTurnPrompt()
{
    m_turnEndExecution->SetCountAction(nullptr);
    m_turnEndExecution->SetStopAction(nullptr);
    GetActionConfirmation()->Hide();
    m_notificationBar->Hide();
    PlaySoundEffect(Sound::SeTitleSelected, true);
    emit Notified(69);
}

// --- keyboard and mouse ------------------------------------------------------------------

void CGameMapScene::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (IsShown(m_actionConfirmation)) {
        if (IsReturn(key)) {
            GetActionConfirmation()->SelectOk();
            return;
        }
        CGameScene::keyPressEvent(event);
        return;
    }
    for (CSelectionListItem* item :
         {static_cast<CSelectionListItem*>(m_inputConfirmation.data()), m_selectionList.data()}) {
        if (IsShown(item)) {
            sendEvent(item, event);
            return;
        }
    }
    if (key == Qt::Key_Escape || key == Qt::Key_Backspace) {
        CancelInput();
        return;
    }
    if (IsReturn(key)) {
        if (CPanelIcon* pointed = GetPanelIcon(m_pointedPanel)) {
            pointed->SendClick();
            return;
        }
    }
    const Direction direction = key == Qt::Key_Left    ? DirectionWest
                                : key == Qt::Key_Up    ? DirectionNorth
                                : key == Qt::Key_Right ? DirectionEast
                                : key == Qt::Key_Down  ? DirectionSouth
                                                       : DirectionNone;
    if (direction != DirectionNone && m_map != nullptr) {
        CPanel* target =
            m_pointedPanel == nullptr ? m_map->GetPanel(1, 1) : m_pointedPanel->GetNeighbor(direction);
        if (target != nullptr && target != m_pointedPanel && target->GetType() != PanelBoundary) {
            PlaySoundEffect(Sound::SeDefaultPointed, true);
            SetPointedPanel(target);
            return;
        }
    }
    if (key >= Qt::Key_0 && key <= Qt::Key_9 && !IsOnlyWatching()) {
        std::uint32_t number = key == Qt::Key_0 ? 10 : static_cast<std::uint32_t>(key - Qt::Key_0);
        if (event->modifiers() & Qt::ControlModifier) number += 10;
        if (m_player->HasShip(number)) {
            CPanelIcon* icon = GetPanelIcon(m_player->GetShip(number)->GetCurrentPanel());
            SetPointedPanel(icon);
            OpenCommandMenu(icon);
            return;
        }
    }
    CGameScene::keyPressEvent(event);
}

void CGameMapScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    const bool isConfirming = IsShown(m_inputConfirmation) || IsShown(m_actionConfirmation);
    if (event->button() == Qt::RightButton &&
        (IsShown(m_inputConfirmation) || m_input->GetState() == CCommandInputManager::StateCommandChosen)) {
        CancelInput();
        event->accept();
        return;
    }
    if (event->button() == Qt::LeftButton && isConfirming && !IsOverPopup(event->scenePos())) {
        event->accept();
        return;
    }
    // A ship that is not being placed stands for its panel: the click is the panel's.
    if (event->button() == Qt::LeftButton) {
        const QList<QGraphicsItem*> under = items(event->scenePos());
        auto* shipIcon = under.isEmpty() ? nullptr : dynamic_cast<CShipIcon*>(under.first());
        if (shipIcon != nullptr && !shipIcon->IsDraggable() && shipIcon->GetPanelIcon() != nullptr) {
            event->accept();
            shipIcon->GetPanelIcon()->SendClick();
            return;
        }
    }
    CGameScene::mousePressEvent(event);
}

void CGameMapScene::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event)
{
    if (IsPopupVisible() && !IsOverPopup(event->scenePos())) {
        event->accept();
        return;
    }
    if (event->button() == Qt::RightButton && m_layer != nullptr) {
        m_layer->setVisible(!m_layer->isVisible());
        event->accept();
        return;
    }
    CGameScene::mouseDoubleClickEvent(event);
}

void CGameMapScene::mouseMoveEvent(QGraphicsSceneMouseEvent* event)
{
    if (IsPopupVisible() && !IsOverPopup(event->scenePos())) {
        event->accept();
        return;
    }
    CGameScene::mouseMoveEvent(event);
}

// --- time-out --------------------------------------------------------------------------

void CGameMapScene::RelayTimeLost()
{
    // The machine that runs a side's turn reports its time-up; the host
    // does so for its clients' sides too, so a silent client is timed out.
    CUnit* current = CurrentUnit();
    if (current != nullptr && (IsPlayedOnHost(current) || IsPlayedOnHost(m_player))) emit Notified(10);
}

} // namespace Marevane
