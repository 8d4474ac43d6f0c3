// The battle map between commands: turn notices, the turn clock, the
// computer's turn on a thread of its own, and the display of each result
// line (attacks, moves, mines, torpedoes, damage, surprises, sinkings).
#include "ai/AIController.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/MessageCodes.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Timer.h"
#include "model/Torpedo.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/MessageTexts.h"
#include "model/texts/StatisticsTexts.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/EffectAnimations.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MoveAnimations.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/TimerBar.h"
#include "screens/battle/WeaponIcons.h"

#include <QDebug>
#include <QThread>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

// Codes only the map uses.
constexpr MessageCode BattleStartsWatched = 46;
constexpr MessageCode FollowUp = 57;

// Notices, in ms of real play (the notification bar scales them).
constexpr int NoticeTime = ScreenTiming::Notice;
constexpr int FailureTime = ScreenTiming::FailureNotice;
// A mine explosion follows the one before it after this.
constexpr int MineStagger = 300;
// An attack on a panel where a mine was thrown but none lies.
constexpr int MissedMineDelay = 100;

// Status words of a result line.
constexpr std::uint32_t EventDamaged = 2;
constexpr std::uint32_t EventSunk = 3;
constexpr std::uint32_t EventNearMiss = 4;
constexpr std::uint32_t EventReefStop = 5;
constexpr std::uint32_t EventClearedMines = 6;
constexpr std::uint32_t Sinking = 5;

bool IsSunkNow(const ShipProfile& profile)
{
    return profile.LastEvent == EventSunk ||
           (profile.PendingStatus == Sinking && profile.Condition == Sinking);
}

// A mine went off under the ship in this action: what it met was hidden.
bool IsSurprise(const ShipProfile& profile)
{
    const MineProfile& hit = profile.MineHits[0];
    return hit.IsPlaced && hit.IsExploded;
}

QString SideName(const CUnit* unit)
{
    return unit != nullptr ? GetPlayerName(*unit) : QString();
}

} // namespace

QThread* CGameMapScene::GetComputerThread() const
{
    return m_computerThread;
}

bool CGameMapScene::IsComputerTurnRunning() const
{
    return m_computerTurn != 0 && m_computerThread != nullptr;
}

bool CGameMapScene::IsHostPlayer() const
{
    return m_player != nullptr && m_player->GetProfile().OriginFlag == HostServer;
}

bool CGameMapScene::IsShownToThisMachine(const CUnit* pUnit) const
{
    return IsAudience() || (pUnit != nullptr && pUnit == m_player);
}

CShipIcon* CGameMapScene::VisibleShipIconOn(const CPanel* pPanel) const
{
    if (pPanel == nullptr) return nullptr;
    for (CShipIcon* icon : m_shipIcons) {
        if (icon->GetShip() != nullptr && icon->GetShip()->GetCurrentPanel() == pPanel && icon->isVisible() &&
            icon->opacity() > 0)
            return icon;
    }
    return nullptr;
}

void CGameMapScene::Update(MessageCode code)
{
    Update(code, nullptr);
}

void CGameMapScene::Update(MessageCode code, const ShipProfile* pShipProfile)
{
    // A step that cannot be shown is skipped; the battle goes on.
    try {
        if (IsErrorCode(code)) {
            ShowFailure(code);
            return;
        }
        switch (code) {
        case TimeUp:
            StopOperationForTurn();
            break;
        case BattleStarts:
        case BattleStartsWatched:
            ShowBattleStart(code);
            break;
        case TurnStarts:
            ShowTurnStart();
            break;
        case TurnEnds:
            ShowTurnEnd();
            break;
        case CommandSent:
            m_timerBar->Stop();
            break;
        case RefreshDisplay:
            if (pShipProfile != nullptr) ShowShipResult(*pShipProfile);
            break;
        case FollowUp:
            ShowFollowUp();
            break;
        case StartConfirmed: {
            const QString text = tr("Wait until all players confirm that the battle starts...");
            emit MessageSent(text);
            m_notificationBar->Show(text, 0);
            break;
        }
        case ShipsRefreshed:
        case TurnEndState:
            ShowShipDataChanges(code);
            break;
        case CommandSuccess:
        case NothingToCommand:
            ShowSuccess(pShipProfile);
            break;
        default:
            break;
        }
    } catch (const std::exception& error) {
        qWarning() << "The battle map could not show step" << code << ":" << error.what();
    }
}

// --- battle and turns ----------------------------------------------------------

void CGameMapScene::ShowBattleStart(MessageCode code)
{
    // Nothing of the last battle carries over.
    StopComputerTurn();
    StopAnimations();
    m_pendingStep = nullptr;
    m_isSurpriseShown = false;
    m_computerFailures = 0;
    m_torpedoMoves = 0;
    m_torpedoMovesFinished = 0;
    if (m_nextTurnTimer != nullptr) m_nextTurnTimer->stop();
    m_isReportingEffects = true;

    if (!IsAudience()) {
        if (m_player->GetProfile().OriginFlag == HostClient) BuildShipIcons();
    } else {
        for (CPanelIcon* icon : m_panelIcons)
            if (icon->SetKnown(true)) icon->update();
        BuildShipIcons();
    }
    for (CShipIcon* icon : m_shipIcons) {
        icon->SetDraggable(false);
        icon->setFlag(QGraphicsItem::ItemIsSelectable, false);
    }
    UpdatePanelData();
    ConfirmBattleStartForTurn();
    if (IsAudience() && code == BattleStartsWatched) {
        RebuildWeaponIcons();
        Update(TurnStarts);
    }
    // Only the machine that runs the battle reports time-outs.
    m_timerBar->blockSignals(!IsHostPlayer());
    update();
}

void CGameMapScene::ShowTurnStart()
{
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    emit ShipDataChanged();
    m_turnInfoBar->SetTurnManager(m_turnManager);
    m_turnInfoBar->Show();
    m_computerFailures = 0;
    PruneTorpedoIcons();
    if (current == nullptr || !current->IsActive()) return;

    m_timerBar->SetTimer(&current->GetTimer());
    if (current == m_player && current->GetUnitType() == UnitManual) BeginCommandInput();
    m_timerBar->Start();
    m_notificationBar->Show(SideName(current) + tr("'s turn starts."), NoticeTime);
    if (current->GetUnitType() == UnitAuto &&
        (current == m_player || (IsHostPlayer() && current->GetProfile().OriginFlag == HostServer)))
        StartComputerTurn();
}

void CGameMapScene::ShowTurnEnd()
{
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (current != nullptr) {
        CTimer& timer = current->GetTimer();
        // A side without a limit keeps none.
        if (timer.HasLimit()) {
            const std::int64_t left = timer.GetTimeLimit();
            timer.SetTimeLimit(left > 0 ? left + 100 : 100);
            if (!timer.IsRunning()) timer.LaunchWithCallback([] {});
        }
        m_notificationBar->Show(SideName(current) + tr("'s turn ends."), NoticeTime);
    }
    if (IsHostPlayer()) {
        // The next turn starts once, a while after this one ended.
        if (m_nextTurnTimer == nullptr) {
            m_nextTurnTimer = new QTimer(this);
            m_nextTurnTimer->setSingleShot(true);
            connect(m_nextTurnTimer, &QTimer::timeout, this, [this] { emit Notified(TurnStarts); });
        }
        m_nextTurnTimer->start(ScreenTiming::Scaled(ScreenTiming::Notice));
    }
}

void CGameMapScene::ShowShipDataChanges(MessageCode code)
{
    emit ShipDataChanged();
    UpdateShipData();
    ShowAllFuelNotes();
    if (code == ShipsRefreshed) ConfirmTurnEndForTurn();
}

void CGameMapScene::StopTurnClock()
{
    StopComputerTurn();
    CTimer* timer = m_timerBar->GetTimer();
    if (timer != nullptr && timer->IsStarted()) timer->Stop();
    m_timerBar->Stop();
}

// --- the computer's turn -------------------------------------------------------

void CGameMapScene::StartComputerTurn()
{
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (current == nullptr || current->GetUnitType() != UnitAuto) return;
    StopComputerTurn();
    // A thread still winding down from a stopped turn is let go; its end is stale.
    auto* controller = new CAIController(current);
    auto* thread = new QThread(this);
    controller->moveToThread(thread);
    const std::uint64_t turn = ++m_computerTurnCount;
    connect(thread, &QThread::started, controller, &CAIController::Run);
    connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    connect(thread, &QThread::finished, controller, &QObject::deleteLater);
    connect(
        controller, &CAIController::Completed, this,
        [this, turn](MessageCode code) { FinishComputerTurn(turn, code); }, Qt::QueuedConnection);
    // The worker's loop ends as soon as the decision is made.
    connect(controller, &CAIController::Completed, thread, &QThread::quit, Qt::DirectConnection);
    m_computerThread = thread;
    m_computerTurn = turn;
    thread->start(QThread::InheritPriority);
}

void CGameMapScene::StopComputerTurn()
{
    m_computerTurn = 0;
    if (m_computerThread == nullptr) return;
    m_computerThread->requestInterruption();
    m_computerThread->quit();
}

void CGameMapScene::FinishComputerTurn(std::uint64_t turn, MessageCode code)
{
    // A decision of a turn that was stopped, timed out or is over.
    if (turn == 0 || turn != m_computerTurn) return;
    m_computerTurn = 0;
    emit Notified(code);
}

// --- results -------------------------------------------------------------------

void CGameMapScene::ShowSuccess(const ShipProfile* pShipProfile)
{
    StopOperationForTurn();
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (current == nullptr) return;
    const CommandInput& input = current->GetCommandInput();
    CShip* ship = GetShip(current, input.ShipId);
    CShipIcon* shipIcon = ship != nullptr ? GetShipIcon(ship) : nullptr;

    switch (input.Command) {
    case CommandAttack: {
        CPanel* from = ship != nullptr ? ship->GetCurrentPanel() : nullptr;
        CPanel* target = from != nullptr ? from->GetNeighbor(input.Direction) : nullptr;
        if (AnimateAttack(GetPanelIcon(target), VisibleShipIconOn(target), FollowUp) == nullptr)
            Update(FollowUp);
        return;
    }
    case CommandTorpedo:
        if (ship != nullptr && !ship->GetAllTorpedoes().empty()) {
            // The newest torpedo carries the highest number.
            CTorpedoIcon* icon = AddTorpedoIcon(&*ship->GetAllTorpedoes().rbegin()->second);
            if (icon != nullptr) {
                icon->setVisible(IsShownToThisMachine(current));
                PlaceTorpedoIcons();
            }
        }
        Update(FollowUp);
        return;
    default:
        break;
    }

    if (IsShownToThisMachine(current) && shipIcon != nullptr) {
        switch (input.Command) {
        case CommandMove: {
            if (pShipProfile != nullptr) {
                const ShipProfile profile = *pShipProfile;
                QPointer<CShipIcon> icon = shipIcon;
                m_pendingStep = [this, icon, profile] {
                    if (icon != nullptr) ShowFuelNote(icon, profile);
                };
            }
            if (AnimateMove(shipIcon, GetPanelIcon(ship->GetPreviousPanel()),
                            GetPanelIcon(ship->GetCurrentPanel()), FollowUp) == nullptr)
                Update(FollowUp);
            return;
        }
        case CommandMine: {
            CPanel* target = m_map != nullptr ? m_map->GetPanel(input.Target.x, input.Target.y) : nullptr;
            if (AnimateMine(shipIcon, GetPanelIcon(target), FollowUp) == nullptr) Update(FollowUp);
            return;
        }
        case CommandReinforce: {
            QPointer<CShipIcon> icon = shipIcon;
            m_pendingStep = [this, icon] {
                if (icon != nullptr) ShowNote(QStringLiteral("REINFORCE"), icon);
            };
            break;
        }
        default:
            break;
        }
    }
    if (IsShownToThisMachine(current) && input.Command == CommandChangeFlagship) {
        CPanel* target = m_map != nullptr ? m_map->GetPanel(input.Target.x, input.Target.y) : nullptr;
        QPointer<CShipIcon> icon = VisibleShipIconOn(target);
        if (icon != nullptr) {
            m_pendingStep = [this, icon] {
                if (icon != nullptr) ShowNote(QStringLiteral("FLAGSHIP"), icon);
            };
        }
    }
    // Every other result still moves torpedoes and sets off mines.
    Update(FollowUp);
}

void CGameMapScene::ShowFollowUp()
{
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    const CommandInput input = current != nullptr ? current->GetCommandInput() : CommandInput();
    CShip* ship = GetShip(current, input.ShipId);

    if (input.Command == CommandMine && ship != nullptr && IsShownToThisMachine(current)) {
        CPanel* target = m_map != nullptr ? m_map->GetPanel(input.Target.x, input.Target.y) : nullptr;
        MineProfile* newest = nullptr;
        if (target != nullptr) {
            for (MineProfile* mine : target->GetMines())
                if (mine->UnitId == ship->GetUnitId() && mine->ShipId == ship->GetShipId()) newest = mine;
        }
        if (newest == nullptr) {
            // The mine went off at once: an explosion where it fell.
            QPointer<CPanelIcon> panelIcon = GetPanelIcon(target);
            QPointer<CShipIcon> shipIcon = GetShipIcon(ship);
            QTimer::singleShot(ScreenTiming::Scaled(MissedMineDelay), this, [this, panelIcon, shipIcon] {
                if (panelIcon != nullptr) AnimateAttack(panelIcon, shipIcon, 0);
            });
        } else if (!newest->IsExploded) {
            bool isShown = false;
            for (CMineIcon* icon : m_mineIcons) isShown = isShown || icon->GetMine() == newest;
            if (!isShown) AddMineIcon(newest);
        }
    }

    UpdatePanelData();
    AdvanceTorpedoes();
    UpdateMineIcons();

    if ((input.Command == CommandMove || input.Command == CommandReinforce) && ship != nullptr) {
        if (CShipIcon* icon = GetShipIcon(ship)) {
            icon->UpdateLook();
            icon->MoveToPanel(m_panelTable);
            icon->update();
        }
        PlaceShipIcons();
    }

    if (m_pendingStep) {
        std::function<void()> step;
        step.swap(m_pendingStep);
        step();
    }
}

void CGameMapScene::PruneTorpedoIcons()
{
    // The model drops finished torpedoes; their icons go with them.
    std::vector<const CTorpedo*> live;
    for (const CUnit* side : m_units) {
        if (side == nullptr) continue;
        for (const auto& entry : side->GetShips())
            for (const auto& torpedo : entry.second->GetAllTorpedoes()) live.push_back(torpedo.second.get());
    }
    const QList<CTorpedoIcon*> icons = m_torpedoIcons;
    for (CTorpedoIcon* icon : icons) {
        if (std::find(live.begin(), live.end(), icon->GetTorpedo()) == live.end()) RemoveTorpedoIcon(icon);
    }
}

void CGameMapScene::AdvanceTorpedoes()
{
    PruneTorpedoIcons();
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (current == nullptr) return;
    std::vector<CTorpedoIcon*> moving;
    for (CTorpedoIcon* icon : m_torpedoIcons) {
        const CTorpedo* torpedo = icon->GetTorpedo();
        if (torpedo != nullptr && torpedo->GetShip() != nullptr &&
            torpedo->GetShip()->GetUnitId() == current->GetId())
            moving.push_back(icon);
    }
    m_torpedoMoves = static_cast<int>(moving.size());
    m_torpedoMovesFinished = 0;
    for (CTorpedoIcon* icon : moving) {
        // From where the icon is shown to where the torpedo is now.
        CPanelIcon* to = GetPanelIcon(icon->GetPanel());
        auto* move =
            to != nullptr ? Track(new CMoveAnimation(icon, icon->GetPanelIcon(), to, this)) : nullptr;
        if (move == nullptr) {
            CountTorpedoAnimationFinished();
            continue;
        }
        connect(move, &CAnimation::Finished, this, &CGameMapScene::CountTorpedoAnimationFinished);
        move->StartOnce();
    }
}

void CGameMapScene::CountTorpedoAnimationFinished()
{
    if (++m_torpedoMovesFinished < m_torpedoMoves) return;
    m_torpedoMovesFinished = 0;
    m_torpedoMoves = 0;
    PlaceTorpedoIcons();
}

void CGameMapScene::UpdateMineIcons()
{
    int explosions = 0;
    const QList<CMineIcon*> icons = m_mineIcons;
    for (CMineIcon* icon : icons) {
        const MineProfile* mine = icon->GetMine();
        if (mine == nullptr || !mine->IsExploded) continue;
        QPointer<CPanelIcon> panelIcon =
            m_map != nullptr ? GetPanelIcon(m_map->GetPanel(mine->Pos.x, mine->Pos.y)) : nullptr;
        m_mineIcons.removeOne(icon);
        removeItem(icon);
        delete icon;
        // One after another.
        const int delay = ScreenTiming::Scaled(MineStagger * explosions++);
        QTimer::singleShot(delay, this, [this, panelIcon] {
            if (panelIcon == nullptr) return;
            AnimateAttack(panelIcon, VisibleShipIconOn(panelIcon->GetPanel()), 0);
        });
    }
    PlaceMineIcons();
}

void CGameMapScene::ShowShipResult(const ShipProfile& profile)
{
    CShip* ship = GetShip(GetUnit(profile.UnitId), profile.ShipId);
    if (ship == nullptr) return;
    CShipIcon* icon = GetShipIcon(ship);
    const bool isSunk = IsSunkNow(profile);

    if (icon != nullptr && !isSunk && profile.PendingStatus >= 1 && profile.PendingStatus <= 4) {
        icon->SetSurfacingState(static_cast<int>(profile.PendingStatus));
        return;
    }

    if (!ship->GetAllTorpedoes().empty() && profile.PendingStatus != Sinking &&
        (profile.LastEvent == 0 || profile.LastEvent == EventClearedMines)) {
        PruneTorpedoIcons();
        for (CTorpedoIcon* torpedoIcon : m_torpedoIcons) {
            const CTorpedo* torpedo = torpedoIcon->GetTorpedo();
            if (torpedo == nullptr || !torpedo->IsFinished() || torpedo->GetCurrentPanel() == nullptr ||
                torpedo->GetCurrentPanel()->GetPos() != profile.Pos)
                continue;
            CPanel* panel = torpedo->GetCurrentPanel();
            AnimateAttack(GetPanelIcon(panel), VisibleShipIconOn(panel), 0);
            RemoveTorpedoIcon(torpedoIcon);
            break;
        }
        // A torpedo this machine never saw has no icon to show.
        return;
    }

    CPanelIcon* panelIcon =
        m_map != nullptr ? GetPanelIcon(m_map->GetPanel(profile.Pos.x, profile.Pos.y)) : nullptr;
    const bool isSurprise = IsSurprise(profile) && !m_isSurpriseShown;
    m_isSurpriseShown = isSurprise && profile.LastEvent == EventReefStop;

    if (profile.LastEvent == EventDamaged || isSurprise) {
        if (icon != nullptr) {
            if (isSurprise) ShowFuelNote(icon, profile);
            AnimateDamage(panelIcon, icon, 0);
        }
    } else if (profile.LastEvent == EventNearMiss ||
               (profile.LastEvent == EventReefStop && icon != nullptr)) {
        AnimateSurprise(panelIcon, icon, 0);
    }

    if (isSunk) {
        if (icon != nullptr) ShowFuelNote(icon, profile);
        AnimateSinking(ship, 0);
    }
}

void CGameMapScene::ShowFailure(MessageCode code)
{
    CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (code == InvalidDisconnection) {
        StopTurnClock();
        // No turn follows a broken battle.
        if (m_nextTurnTimer != nullptr) m_nextTurnTimer->stop();
        const QString text =
            CGUICore::GetErrorMessage(code) + QStringLiteral("\n") + tr("This battle will end.");
        m_notificationBar->Show(text, FailureTime);
        emit MessageSent(QStringLiteral("\n") + text);
        return;
    }
    if (current == nullptr) return;
    if (current == m_player) m_notificationBar->Show(CGUICore::GetErrorMessage(code), FailureTime);
    m_timerBar->Restart();
    if (current->GetUnitType() == UnitAuto && (current == m_player || IsHostPlayer())) {
        // A computer side refused again and again passes, so the battle goes on.
        if (++m_computerFailures >= ComputerFailureLimit) {
            m_computerFailures = 0;
            StopComputerTurn();
            CommandInput pass;
            pass.Command = CommandPass;
            current->SetCommandInput(pass);
            emit Notified(CommandSent);
            return;
        }
        StartComputerTurn();
    } else if (current == m_player) {
        BeginCommandInput();
    }
}

// --- seams ---------------------------------------------------------------------

// The steps of command input and fleet placement that a turn takes.
void CGameMapScene::BeginCommandInput()
{
    m_input->Clear();
    m_input->SetEnabled(true);
}

void CGameMapScene::StopOperationForTurn()
{
    StopOperation();
}

void CGameMapScene::ConfirmBattleStartForTurn()
{
    ConfirmBattleStart();
}

void CGameMapScene::ConfirmTurnEndForTurn()
{
    ConfirmTurnEnd();
}

// --- notes ---------------------------------------------------------------------

void CGameMapScene::ShowNote(const QString& text, CIcon* pIcon)
{
    if (pIcon == nullptr) return;
    Track(new CNoteAnimation(text, pIcon, this))->StartOnce();
}

void CGameMapScene::ShowFuelNote(CShipIcon* pIcon, const ShipProfile& profile)
{
    if (profile.FpChange == 0) return;
    const QString sign = profile.FpChange > 0 ? QStringLiteral("+") : QString();
    ShowNote(sign + QString::number(profile.FpChange) + QStringLiteral("FP"), pIcon);
}

void CGameMapScene::ShowAllFuelNotes()
{
    for (CShipIcon* icon : m_shipIcons) {
        const CShip* ship = icon->GetShip();
        if (ship == nullptr || ship->IsSinking() || ship->GetProfile().LastEvent == EventSunk) continue;
        ShowFuelNote(icon, ship->GetProfile());
    }
}

} // namespace Marevane
