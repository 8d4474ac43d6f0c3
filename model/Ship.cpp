#include "model/Ship.h"

#include "model/CodeTables.h"
#include "model/Errors.h"
#include "model/MessageCodes.h"
#include "model/Panel.h"
#include "model/ShipConfig.h"
#include "model/Torpedo.h"

#include <algorithm>
#include <cstdint>

namespace Marevane {

namespace {

constexpr MessageCode MoveRefused = 75;
constexpr MessageCode MoveTooFar = 76;
constexpr MessageCode AttackRefused = 77;
constexpr MessageCode TorpedoNoFuel = 78;
constexpr MessageCode ReinforceNoFuel = 80;
constexpr MessageCode RefuelNoFuel = 81;
constexpr MessageCode NothingToRefuel = 82;
constexpr MessageCode FlagshipNoFuel = 83;
constexpr MessageCode InvalidShip = 97;
constexpr MessageCode InvalidAttackPanel = 104;
constexpr MessageCode CannotLayMine = 105;
constexpr MessageCode InvalidMinePanel = 106;
constexpr MessageCode NoMinesLeft = 107;
constexpr MessageCode CannotFireTorpedo = 108;
constexpr MessageCode NoTorpedoesLeft = 110;
constexpr MessageCode NotSunk = 111;
constexpr MessageCode PanelUnknownToUnit = 115;
constexpr MessageCode PanelNotPassable = 116;
constexpr MessageCode CannotRefuel = 117;

constexpr std::uint32_t EventNone = 0;
constexpr std::uint32_t EventMissed = 1;
constexpr std::uint32_t EventDamaged = 2;
constexpr std::uint32_t EventSunk = 3;
constexpr std::uint32_t EventNearMiss = 4;
constexpr std::uint32_t EventReefStop = 5;
constexpr std::uint32_t EventClearedMines = 6;

constexpr std::uint32_t PendingNone = 0;
constexpr std::uint32_t PendingEnterStealth = 1;
constexpr std::uint32_t PendingLeaveStealth = 2;
constexpr std::uint32_t PendingFog = 3;
constexpr std::uint32_t PendingStay = 4;
constexpr std::uint32_t PendingFuelShortage = 5;

constexpr std::uint32_t HighWaveLoss = 5;
constexpr std::uint32_t FlagshipFee = 5;

ShipProfile MakeProfile(std::uint32_t unitId, std::uint32_t shipId, const ShipConfigSet& config)
{
    ShipProfile profile;
    profile.UnitId = unitId;
    profile.ShipId = shipId;
    profile.Type = config.Type;
    profile.Status = config.CanStealth ? ShipStatusStealth : ShipStatusNormal;
    profile.Hp = static_cast<std::int32_t>(config.Hp);
    profile.Fp = config.Fp;
    profile.WeaponStock = static_cast<std::int32_t>(config.WeaponStock);
    profile.Config = config;
    profile.MineHits[0] = MakeDefaultMineProfile();
    return profile;
}

bool IsBoundary(const CPanel* panel)
{
    return panel->GetType() == PanelBoundary;
}

bool IsNeighbor(const CPanel* of, const CPanel* panel)
{
    for (std::uint32_t d = DirectionNorth; d <= DirectionSouthWest; ++d) {
        const CPanel* neighbor = of->GetNeighbor(static_cast<Direction>(d));
        if (neighbor == panel && neighbor != of) return true;
    }
    return false;
}

} // namespace

CShip::CShip(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const ShipConfigSet& config)
    : m_profile(MakeProfile(unitId, shipId, config))
{
    if (!panel || !panel->IsPassable())
        throw CPanelRangeError("CShip::CShip(): CPanelRangeError - The target Panel is not movable.");
    m_profile.Pos = panel->GetPos();
    for (std::uint32_t i = 0; i < config.WeaponStock; ++i) m_mines.emplace_back(unitId, shipId, config.Type);
    m_currentPanel = panel;
    m_previousPanel = panel;
}

CShip::~CShip() = default;

void CShip::SetPanel(CPanel* panel)
{
    if (!panel || !panel->IsPassable()) return;
    m_previousPanel = m_currentPanel;
    m_currentPanel = panel;
    m_profile.Pos = panel->GetPos();
}

std::uint32_t CShip::CountCarriedMines() const
{
    return static_cast<std::uint32_t>(
        std::count_if(m_mines.begin(), m_mines.end(),
                      [](const MineProfile& mine) { return !mine.IsPlaced && !mine.IsExploded; }));
}

std::vector<const MineProfile*> CShip::GetMinesAt(const MapPos& pos) const
{
    std::vector<const MineProfile*> mines;
    for (const MineProfile& mine : m_mines) {
        if (mine.IsPlaced && !mine.IsExploded && mine.Pos == pos) mines.push_back(&mine);
    }
    return mines;
}

std::vector<std::shared_ptr<CTorpedo>> CShip::GetTorpedoes() const
{
    std::vector<std::shared_ptr<CTorpedo>> running;
    for (const auto& entry : m_torpedoes) {
        if (!entry.second->IsFinished()) running.push_back(entry.second);
    }
    return running;
}

std::vector<TorpedoProfile> CShip::GetTorpedoProfiles() const
{
    std::vector<TorpedoProfile> profiles;
    for (const auto& entry : m_torpedoes) profiles.push_back(entry.second->GetProfile());
    return profiles;
}

std::shared_ptr<CTorpedo> CShip::GetTorpedo(std::uint32_t number) const
{
    auto it = m_torpedoes.find(number);
    return it != m_torpedoes.end() ? it->second : nullptr;
}

// --- queries -----------------------------------------------------------------

bool CShip::HasStatus(std::uint32_t status) const
{
    if (m_profile.Status == status) return true;
    return status != ShipStatusNone && status != ShipStatusNormal && m_profile.Condition == status;
}

bool CShip::IsSinking() const
{
    return m_profile.Status == ShipStatusSinking || m_profile.Condition == ShipStatusSinking;
}

bool CShip::IsStealthed() const
{
    return m_profile.Status == ShipStatusStealth || m_profile.Condition == ShipStatusStealth;
}

bool CShip::IsFuelShortage() const
{
    return m_profile.Status == ShipStatusFuelShortage || m_profile.Condition == ShipStatusFuelShortage;
}

double CShip::GetFpRate() const
{
    if (!IsFpInUse()) return 1.0;
    return static_cast<double>(m_profile.Fp) / static_cast<double>(m_profile.Config.Fp);
}

std::uint32_t CShip::MoveCost(std::uint32_t panels) const
{
    // Distances come from players and peers: a huge one costs everything
    // rather than wrapping round to a small cost.
    const ShipConfigSet& config = m_profile.Config;
    const std::uint64_t extra = static_cast<std::uint64_t>(panels > 3 ? panels - 3 : 0) * config.ExtraMoveFp;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(config.MoveFp + extra, UINT32_MAX));
}

std::uint32_t CShip::GetMoveRange() const
{
    const ShipConfigSet& config = m_profile.Config;
    // Without fuel in use nothing limits a move but the map.
    if (!IsFpInUse()) return config.MoveRange;
    if (m_profile.Fp < config.MoveFp) return 0;
    // The base cost pays for three panels, but never beyond the map's reach.
    if (config.MoveRange < 3) return config.MoveRange;
    // Worked out rather than counted down: a range received with a ship's
    // state may be four billion.
    if (config.ExtraMoveFp == 0) return config.MoveRange;
    const std::uint64_t further = (m_profile.Fp - config.MoveFp) / config.ExtraMoveFp;
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(config.MoveRange, 3 + further));
}

std::uint32_t CShip::GetCommandCost(std::uint32_t command, std::uint32_t n) const
{
    if (!IsFpInUse()) return 0;
    const ShipConfigSet& config = m_profile.Config;
    switch (command) {
    case CommandAttack:
        return config.AttackFp;
    case CommandMove:
        return MoveCost(n);
    case CommandTorpedo:
        return config.TorpedoFp;
    case CommandReinforce:
        return GetReinforcementCost(1);
    case CommandChangeFlagship:
        return FlagshipFee * (n < 3 ? 1 : n - 2);
    default:
        return 0;
    }
}

std::uint32_t CShip::GetReinforcementCost(std::uint32_t round) const
{
    const std::uint32_t k = round == 0 ? 1 : (round - 1) / 5 + 1;
    const std::uint32_t fp = m_profile.Fp;
    const std::uint32_t keep = std::min(fp / 3 * 2, (k < 5 ? 5 - k : 0) * (m_profile.Config.Fp / 5));
    return fp > keep ? fp - keep : 0;
}

std::uint32_t CShip::GetTorpedoCount() const
{
    if (!m_profile.Config.CanFireTorpedo) return 0;
    return static_cast<std::uint32_t>(
        std::count_if(m_torpedoes.begin(), m_torpedoes.end(),
                      [](const auto& entry) { return !entry.second->IsFinished(); }));
}

bool CShip::HasCommandAbility(std::uint32_t command) const
{
    const ShipConfigSet& config = m_profile.Config;
    switch (command) {
    case CommandAttack:
        return config.AttackFp > 0;
    case CommandMove:
        return config.MoveFp > 0;
    case CommandMine:
        return config.CanLayMine;
    case CommandTorpedo:
        return config.CanFireTorpedo;
    case CommandRefuel:
        return config.CanRefuel;
    case CommandChangeFlagship:
        return m_profile.IsFlagship;
    default:
        return false;
    }
}

bool CShip::CanActOnFuel() const
{
    if (!IsFpInUse()) return true;
    const ShipConfigSet& config = m_profile.Config;
    if (config.AttackFp > 0 && m_profile.Fp >= config.AttackFp) return true;
    if (config.MoveFp > 0 && m_profile.Fp >= config.MoveFp) return true;
    return config.CanFireTorpedo && m_profile.Fp >= config.TorpedoFp && m_profile.WeaponStock > 0;
}

bool CShip::CanAct() const
{
    if (!IsFpInUse()) return true;
    if (IsFuelShortage()) return false;
    return CanActOnFuel();
}

bool CShip::CanExecuteCommand(std::uint32_t command) const
{
    if (IsFuelShortage() || !HasCommandAbility(command)) return false;
    const ShipConfigSet& config = m_profile.Config;
    if (!IsFpInUse()) return command != CommandRefuel;
    switch (command) {
    case CommandAttack:
        return m_profile.Fp >= config.AttackFp;
    case CommandMove:
        return m_profile.Fp >= config.MoveFp;
    case CommandTorpedo:
        return m_profile.Fp >= config.TorpedoFp;
    case CommandRefuel:
        return m_profile.Fp > 0;
    default:
        return true;
    }
}

bool CShip::CanFireTorpedo() const
{
    const ShipConfigSet& config = m_profile.Config;
    if (IsFuelShortage() || !config.CanFireTorpedo) return false;
    if (IsFpInUse() && m_profile.Fp < config.TorpedoFp) return false;
    return m_profile.WeaponStock > 0;
}

bool CShip::CanLayMine() const
{
    return m_profile.Config.CanLayMine && m_profile.WeaponStock > 0;
}

bool CShip::CanExecute(std::uint32_t command, std::uint32_t count) const
{
    if (IsSinking() && command != CommandReinforce) return false;
    if (IsFuelShortage()) {
        switch (command) {
        case CommandAttack:
        case CommandMove:
        case CommandTorpedo:
        case CommandReinforce:
            if (GetCommandCost(command, 1) != 0) return false;
            break;
        case CommandChangeFlagship:
            return false;
        default:
            break;
        }
    }
    if (command < CommandAttack || command > CommandChangeFlagship || command == CommandResign) return false;
    switch (command) {
    case CommandAttack:
    case CommandRefuel:
        return CanExecuteCommand(command);
    case CommandMove:
        return CanExecuteCommand(command) && GetMoveRange() >= 1;
    case CommandMine:
        return CanLayMine();
    case CommandTorpedo:
        return CanFireTorpedo();
    case CommandChangeFlagship:
        return m_profile.IsFlagship && count < 3 && GetCommandCost(command, count) <= m_profile.Fp;
    default:
        break;
    }
    // Reinforce: a sunk ship that is not the flagship and keeps enough fuel
    // afterwards to do something that costs fuel.
    if (!IsSinking() || m_profile.IsFlagship) return false;
    if (!IsFpInUse()) return true;
    const std::uint32_t cost = GetReinforcementCost(count);
    if (m_profile.Fp <= cost) return false;
    const std::uint32_t remaining = m_profile.Fp - cost;
    for (std::uint32_t other : CCommandMap::GetInstance().GetValuesInOrder()) {
        if (!HasCommandAbility(other)) continue;
        const std::uint32_t otherCost = GetCommandCost(other, 1);
        if (otherCost != 0 && otherCost <= remaining) return true;
    }
    return false;
}

// --- fuel helpers ------------------------------------------------------------

void CShip::SpendFp(std::uint32_t amount)
{
    if (!IsFpInUse()) return;
    m_profile.Fp = m_profile.Fp > amount ? m_profile.Fp - amount : 0;
}

void CShip::LoseFp(std::uint32_t amount)
{
    const std::uint32_t loss = std::min(amount, m_profile.Fp);
    m_profile.Fp -= loss;
    m_profile.FpChange -= static_cast<std::int32_t>(loss);
}

bool CShip::IsOn(std::uint32_t panelType) const
{
    return m_currentPanel && m_currentPanel->GetType() == panelType;
}

void CShip::TakeHit()
{
    m_profile.Hp -= 1;
    if (m_profile.Hp <= 0) {
        m_profile.Hp = 0;
        m_profile.LastEvent = EventSunk;
        m_profile.Condition = ShipStatusSinking;
    } else {
        m_profile.LastEvent = EventDamaged;
    }
}

// --- commands ----------------------------------------------------------------

MessageCode CShip::Move(std::uint32_t direction, std::uint32_t distance)
{
    const ShipConfigSet& config = m_profile.Config;
    if (IsFuelShortage() || config.MoveFp == 0 || (IsFpInUse() && m_profile.Fp < config.MoveFp))
        return MoveRefused;
    if (IsFpInUse() && m_profile.Fp < MoveCost(distance)) return MoveTooFar;

    CPanel* panel = m_currentPanel;
    std::uint32_t steps = 0;
    for (std::uint32_t s = 1; s <= distance; ++s) {
        CPanel* next = panel->GetNeighbor(static_cast<Direction>(direction));
        // No way on (no direction, or the centre): the walk is over.
        if (!next || next == panel) break;
        MarkPanelKnown(next);
        if (next->GetType() == PanelReef) {
            m_profile.LastEvent = EventReefStop;
            steps = s;
            break;
        }
        // The ring stops a ship like a reef: it stays on the last open panel.
        if (IsBoundary(next) || !next->IsPassable()) {
            steps = s;
            break;
        }
        if (s >= 2 && panel->GetType() == PanelHighWave && !IsSinking()) {
            LoseFp(HighWaveLoss);
            if (IsFpInUse() && m_profile.Fp < MoveCost(s)) {
                steps = s - 1;
                break;
            }
        }
        panel = next;
        steps = s;
        m_profile.Statistics[ShipStatPanelsMoved] += 1;
        if (panel->HasMine()) {
            SetOffMines(panel);
            if (m_profile.Hp <= 0) break;
        }
        if (IsFpInUse() && config.ExtraMoveFp > 0 && m_profile.Fp < MoveCost(s)) break;
    }
    if (panel->IsPassable()) MoveToPanel(panel);
    SpendFp(MoveCost(steps));
    QueueUpdate([this] { UpdateStealth(); });
    m_profile.Statistics[ShipStatMoves] += 1;
    return CommandSuccess;
}

void CShip::Strike(const std::vector<CShip*>& ships, CPanel* panel)
{
    MarkPanelKnown(panel);
    for (CShip* target : ships) {
        if (!target || target->IsSinking()) continue;
        ShipProfile& profile = target->m_profile;
        profile.LastEvent = EventNone;
        if (target->m_currentPanel == panel) {
            target->TakeHit();
        } else if (profile.Hp > 0) {
            profile.LastEvent = IsNeighbor(target->m_currentPanel, panel) ? EventNearMiss : EventMissed;
        }
        switch (profile.LastEvent) {
        case EventSunk:
            m_profile.Statistics[ShipStatSunk] += 1;
            m_profile.Statistics[ShipStatHits] += 1;
            break;
        case EventDamaged:
            m_profile.Statistics[ShipStatHits] += 1;
            break;
        case EventNearMiss:
            if (!target->IsStealthed()) m_profile.Statistics[ShipStatNearMisses] += 1;
            break;
        default:
            break;
        }
    }
    m_profile.Statistics[ShipStatAttacks] += 1;
    if (panel->HasMine()) {
        // The first live mine goes; dead ones still listed do not count.
        for (MineProfile* mine : panel->TakeFirstMine()) {
            const bool own = mine->UnitId == m_profile.UnitId;
            m_profile.Statistics[own ? ShipStatOwnMinesCleared : ShipStatOtherMinesCleared] += 1;
        }
        m_profile.LastEvent = EventClearedMines;
    }
}

MessageCode CShip::Attack(const std::vector<CShip*>& ships, CPanel* panel)
{
    const ShipConfigSet& config = m_profile.Config;
    if (IsFuelShortage() || config.AttackFp == 0 || (IsFpInUse() && m_profile.Fp < config.AttackFp))
        return AttackRefused;
    if (!panel) return InvalidAttackPanel;
    Strike(ships, panel);
    SpendFp(config.AttackFp);
    return CommandSuccess;
}

MessageCode CShip::FireTorpedo(const std::vector<CShip*>& ships, CPanel* targetPanel)
{
    const ShipConfigSet& config = m_profile.Config;
    if (!config.CanFireTorpedo) return CannotFireTorpedo;
    if (m_profile.WeaponStock <= 0) return NoTorpedoesLeft;
    if (IsFuelShortage() || (IsFpInUse() && m_profile.Fp < config.TorpedoFp)) return TorpedoNoFuel;
    auto torpedo = std::make_shared<CTorpedo>(this, m_currentPanel, targetPanel);
    torpedo->Launch(ships);
    m_torpedoes[torpedo->GetProfile().Number] = torpedo;
    m_profile.WeaponStock -= 1;
    SpendFp(config.TorpedoFp);
    m_profile.Statistics[ShipStatTorpedoes] += 1;
    return CommandSuccess;
}

MineProfile& CShip::FreeMineRecord()
{
    for (MineProfile& mine : m_mines) {
        if (!mine.IsPlaced && !mine.IsExploded) return mine;
    }
    // The stock may outlast the records when the host's mines took them.
    m_mines.emplace_back(m_profile.UnitId, m_profile.ShipId, m_profile.Type);
    return m_mines.back();
}

MessageCode CShip::LayMine(CPanel* panel)
{
    if (!m_profile.Config.CanLayMine) return CannotLayMine;
    if (m_profile.WeaponStock <= 0) return NoMinesLeft;
    if (!panel || IsBoundary(panel)) return InvalidMinePanel;
    MineProfile& mine = FreeMineRecord();
    mine.Number = m_profile.Statistics[ShipStatMinesLaid];
    panel->PlaceMine(&mine);
    m_profile.WeaponStock -= 1;
    m_profile.Statistics[ShipStatMinesLaid] += 1;
    return CommandSuccess;
}

MessageCode CShip::Reinforce(CPanel* panel, std::uint32_t round)
{
    if (!IsSinking()) return NotSunk;
    if (!CanAct()) return ReinforceNoFuel;
    if (!panel || !panel->IsKnownBy(m_profile.UnitId)) return PanelUnknownToUnit;
    if (!panel->IsPassable()) return PanelNotPassable;

    const std::uint32_t fpBefore = m_profile.Fp;
    if (IsFpInUse()) {
        m_profile.Fp -= GetReinforcementCost(round);
        if (!CanAct()) {
            m_profile.Fp = fpBefore;
            return ReinforceNoFuel;
        }
    }

    const ShipConfigSet& config = m_profile.Config;
    m_profile.Condition = ShipStatusNormal;
    m_profile.WeaponStock = static_cast<std::int32_t>(config.WeaponStock);
    m_profile.Status = config.CanStealth ? ShipStatusStealth : ShipStatusNormal;
    if (config.CanLayMine) {
        for (std::uint32_t carried = CountCarriedMines(); carried < config.WeaponStock; ++carried)
            m_mines.emplace_back(m_profile.UnitId, m_profile.ShipId, m_profile.Type);
    }
    m_profile.Hp = static_cast<std::int32_t>(config.Hp);
    MoveToPanel(panel);

    if (panel->GetType() == PanelShallow)
        SetStatus(config.CanStealth ? ShipStatusStealthDisabled : ShipStatusNormal);
    else
        QueueUpdate([this] { UpdateStealth(); });

    if (panel->HasMine()) SetOffMines(panel);
    m_profile.Statistics[ShipStatReinforcements] += 1;
    return CommandSuccess;
}

MessageCode CShip::Refuel(const std::vector<CShip*>& ships)
{
    if (!m_profile.Config.CanRefuel) return CannotRefuel;
    if (IsFuelShortage() || !IsFpInUse() || m_profile.Fp == 0) return RefuelNoFuel;

    auto needOf = [](const CShip* ship) {
        const std::uint32_t max = ship->m_profile.Config.Fp;
        return max > ship->m_profile.Fp ? max - ship->m_profile.Fp : 0u;
    };
    std::uint64_t totalNeed = 0;
    std::uint64_t needy = 0;
    for (const CShip* ship : ships) {
        if (!ship) continue;
        const std::uint32_t need = needOf(ship);
        totalNeed += need;
        if (need > 0) ++needy;
    }
    if (totalNeed == 0) return NothingToRefuel;

    const std::uint64_t share0 = m_profile.Config.RefuelFp;
    const std::uint64_t budget = std::min(totalNeed, share0 * needy);
    std::uint64_t running = m_profile.Fp;
    std::uint64_t given = 0;
    for (CShip* ship : ships) {
        if (!ship) continue;
        const std::uint64_t need = needOf(ship);
        std::uint64_t share = share0;
        if (running < budget) {
            share = totalNeed ? running * need / totalNeed : 0;
            if (share > share0) {
                share = share0;
                totalNeed -= std::min(totalNeed, need);
                running -= std::min(running, share0);
            }
        }
        share = std::min(share, need);
        ship->ReceiveFuel(static_cast<std::uint32_t>(share));
        given += share;
    }
    m_profile.Fp = m_profile.Fp > given ? m_profile.Fp - static_cast<std::uint32_t>(given) : 0;
    m_profile.Statistics[ShipStatRefuels] += 1;
    m_profile.Statistics[ShipStatFpGiven] += static_cast<std::uint32_t>(given);
    return CommandSuccess;
}

void CShip::ReceiveFuel(std::uint32_t amount)
{
    if (amount == 0) return;
    const std::uint32_t max = m_profile.Config.Fp;
    const std::uint32_t room = max > m_profile.Fp ? max - m_profile.Fp : 0;
    const std::uint32_t taken = std::min(amount, room);
    m_profile.Fp += taken;
    m_profile.FpChange = static_cast<std::int32_t>(taken);
    if (m_profile.PendingStatus == PendingFuelShortage && CanAct()) m_profile.PendingStatus = PendingNone;
    if (IsFuelShortage()) {
        m_profile.Condition = ShipStatusNormal;
        if (m_profile.Config.CanStealth) {
            m_profile.Status = ShipStatusStealthDisabled;
            m_profile.PendingStatus = PendingEnterStealth;
        } else {
            m_profile.Status = ShipStatusNormal;
        }
        if (!CanAct()) {
            m_profile.Status = ShipStatusFuelShortage;
            m_profile.Condition = ShipStatusFuelShortage;
        }
        QueueUpdate([this] { UpdateStealth(); });
    }
}

MessageCode CShip::ChangeFlagship(CShip* newFlagship, std::uint32_t count)
{
    if (!newFlagship) return InvalidShip;
    const std::uint32_t cost = GetCommandCost(CommandChangeFlagship, count);
    if (cost > m_profile.Fp) return FlagshipNoFuel;
    m_profile.IsFlagship = false;
    newFlagship->m_profile.IsFlagship = true;
    SpendFp(cost);
    m_profile.Statistics[ShipStatFlagshipChanges] += 1;
    return CommandSuccess;
}

void CShip::MoveToPanel(CPanel* panel)
{
    if (!panel || !panel->IsPassable()) return;
    MarkPanelKnown(panel);
    m_previousPanel = m_currentPanel;
    m_currentPanel = panel;
    m_profile.Pos = panel->GetPos();
}

void CShip::MarkPanelKnown(CPanel* panel)
{
    if (!panel || IsBoundary(panel) || panel->IsRevealed()) return;
    if (panel->AddKnownUnit(m_profile.UnitId)) m_profile.Statistics[ShipStatPanelsExplored] += 1;
}

void CShip::SetOffMines(CPanel* panel)
{
    while (panel->HasMine()) {
        // Taking a mine marks it exploded, so its state is read first: only
        // a live one does damage.
        MineProfile* front = panel->GetFirstMine();
        if (!front || front->IsExploded) break;
        panel->TakeFirstMine();
        TakeHit();
        front->VictimUnitId = m_profile.UnitId;
        front->VictimShipType = m_profile.Type;
        front->IsExploded = true;
        panel->RemoveExplodedMines();
        for (MineProfile& slot : m_profile.MineHits) {
            if (!(slot.IsPlaced && slot.IsExploded)) {
                slot = *front;
                break;
            }
        }
        const bool own = front->UnitId == m_profile.UnitId;
        m_profile.Statistics[own ? ShipStatOwnMineHits : ShipStatOtherMineHits] += 1;
        if (IsSinking()) break;
    }
}

// --- status machine ----------------------------------------------------------

void CShip::UpdateStealth()
{
    if (IsSinking()) return;
    const bool canStealth = m_profile.Config.CanStealth;
    const bool leftShallow = m_previousPanel && m_previousPanel != m_currentPanel &&
                             m_previousPanel->GetType() == PanelShallow && !IsOn(PanelShallow);
    if (IsOn(PanelFog)) {
        m_profile.PendingStatus = PendingFog;
    } else if (IsOn(PanelShallow) && canStealth && IsStealthed()) {
        m_profile.PendingStatus = PendingLeaveStealth;
    } else if (canStealth && leftShallow && !IsStealthed() && m_profile.Hp > 0 && !IsFuelShortage()) {
        m_profile.PendingStatus = PendingEnterStealth;
    } else if (IsStealthed()) {
        m_profile.PendingStatus = PendingStay;
    }
}

void CShip::CheckFuel()
{
    if (IsSinking() || IsFuelShortage() || CanAct() || m_profile.LastEvent == EventSunk) return;
    m_profile.PendingStatus = PendingFuelShortage;
    if (m_profile.Config.CanStealth && IsStealthed()) {
        m_profile.Hp = 0;
        m_profile.Condition = ShipStatusSinking;
    }
}

void CShip::LeaveFuelShortageIfAble()
{
    if (m_profile.Condition != ShipStatusFuelShortage || !CanActOnFuel()) return;
    m_profile.Condition = ShipStatusNormal;
    if (m_profile.Status == ShipStatusFuelShortage) m_profile.Status = ShipStatusNormal;
}

void CShip::ApplyPendingStatus()
{
    if (m_profile.Hp <= 0 || IsSinking()) {
        m_profile.Condition = ShipStatusSinking;
        return;
    }
    const bool canStealth = m_profile.Config.CanStealth;
    switch (m_profile.PendingStatus) {
    case PendingEnterStealth:
        if (!IsOn(PanelShallow)) m_profile.Status = ShipStatusStealth;
        break;
    case PendingLeaveStealth:
        if (!IsOn(PanelFog)) m_profile.Status = ShipStatusStealthDisabled;
        break;
    case PendingFog:
        m_profile.Status = ShipStatusStealth;
        break;
    case PendingStay:
        if (!canStealth) SetStatus(ShipStatusNormal);
        break;
    case PendingFuelShortage:
        SetStatus(ShipStatusFuelShortage);
        if (IsOn(PanelFog))
            m_profile.Status = ShipStatusStealth;
        else if (IsOn(PanelShallow) && canStealth)
            m_profile.Status = ShipStatusStealthDisabled;
        return;
    default:
        break;
    }
    LeaveFuelShortageIfAble();
}

void CShip::SetStatus(std::uint32_t status)
{
    if (status == ShipStatusFuelShortage || status == ShipStatusSinking) {
        m_profile.Condition = status;
        if (status == ShipStatusSinking) return;
    } else if (m_profile.Condition == ShipStatusFuelShortage) {
        // Leaving the shortage needs fuel enough to act; a plain status
        // follows the condition.
        m_profile.Condition = CanActOnFuel() ? ShipStatusNormal : ShipStatusFuelShortage;
        if (status == ShipStatusNormal && m_profile.Condition == ShipStatusFuelShortage)
            status = ShipStatusFuelShortage;
    }
    m_profile.Status = status;
}

// --- turn events -------------------------------------------------------------

void CShip::OnMessage(MessageCode code)
{
    switch (code) {
    case BattleStarts:
        MarkPanelKnown(m_currentPanel);
        UpdateStealth();
        [[fallthrough]];
    case TurnStarts:
        ApplyPendingStatus();
        m_profile.LastEvent = EventNone;
        m_profile.PendingStatus = PendingNone;
        m_profile.FpChange = 0;
        for (MineProfile& slot : m_profile.MineHits) slot = MakeDefaultMineProfile();
        m_pendingUpdates.clear();
        break;
    case ReportFinished:
        ApplyPendingStatus();
        break;
    case AfterAction:
        m_profile.PendingStatus = PendingNone;
        m_profile.LastEvent = EventNone;
        m_profile.FpChange = 0;
        StepTorpedoes();
        break;
    case ShipTurnEnds: {
        // Callbacks may queue new ones; those wait for the next turn end.
        std::vector<std::function<void()>> updates;
        updates.swap(m_pendingUpdates);
        for (auto& update : updates) update();
        if (IsOn(PanelHighWave) && !IsSinking()) LoseFp(HighWaveLoss);
        break;
    }
    default:
        break;
    }
}

void CShip::StepTorpedoes()
{
    for (auto& entry : m_torpedoes) {
        CTorpedo& torpedo = *entry.second;
        if (torpedo.IsFinished()) continue;
        torpedo.Step();
        if (torpedo.IsAtEnd()) torpedo.Explode();
    }
}

std::vector<ActionInfo> CShip::GetTorpedoResults() const
{
    std::vector<ActionInfo> results;
    for (const auto& entry : m_torpedoes) {
        if (entry.second->IsFinished() && entry.second->GetResult().Kind != 0)
            results.push_back(entry.second->GetResult());
    }
    return results;
}

void CShip::RemoveFinishedTorpedoes()
{
    for (auto it = m_torpedoes.begin(); it != m_torpedoes.end();) {
        if (it->second->IsFinished())
            it = m_torpedoes.erase(it);
        else
            ++it;
    }
}

std::vector<ActionInfo> CShip::TakePendingActions()
{
    std::vector<ActionInfo> results = GetTorpedoResults();
    RemoveFinishedTorpedoes();
    return results;
}

// --- state received from the host ---------------------------------------------

void CShip::SyncTorpedo(const TorpedoProfile& profile)
{
    if (profile.UnitId != m_profile.UnitId || profile.ShipId != m_profile.ShipId) return;
    auto it = m_torpedoes.find(profile.Number);
    if (it != m_torpedoes.end()) {
        it->second->Update(profile);
        return;
    }
    auto torpedo = std::make_shared<CTorpedo>(this, profile);
    m_torpedoes.emplace(profile.Number, std::move(torpedo));
}

void CShip::SyncTorpedoes(const std::vector<TorpedoProfile>& profiles)
{
    std::vector<std::uint32_t> listed;
    for (const TorpedoProfile& profile : profiles) {
        if (profile.UnitId != m_profile.UnitId || profile.ShipId != m_profile.ShipId) continue;
        SyncTorpedo(profile);
        listed.push_back(profile.Number);
    }
    for (auto it = m_torpedoes.begin(); it != m_torpedoes.end();) {
        if (std::find(listed.begin(), listed.end(), it->first) == listed.end())
            it = m_torpedoes.erase(it);
        else
            ++it;
    }
}

void CShip::SyncMine(const MineProfile& mine)
{
    if (mine.UnitId != m_profile.UnitId || mine.ShipId != m_profile.ShipId) return;
    if (mine.Number != NoNumber) {
        for (MineProfile& local : m_mines) {
            if (local.Number != mine.Number) continue;
            const bool explodedNow = mine.IsExploded && !local.IsExploded;
            const MapPos oldPos = local.Pos;
            local = mine;
            if (explodedNow) {
                if (CPanel* panel = FindPanel(m_currentPanel, oldPos)) panel->RemoveExplodedMines();
            }
            return;
        }
    }
    if (!mine.IsPlaced) return;
    CPanel* panel = FindPanel(m_currentPanel, mine.Pos);
    if (!mine.IsExploded && !panel) throw CPanelRangeError();
    MineProfile& record = FreeMineRecord();
    record = mine;
    if (!mine.IsExploded) panel->PlaceMine(&record);
}

// --- the four types ----------------------------------------------------------

CBattleShip::CBattleShip(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules)
    : CShip(unitId, shipId, panel, MakeShipConfig(ShipTypeBattleship, rules))
{
}

CDestroyer::CDestroyer(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules)
    : CShip(unitId, shipId, panel, MakeShipConfig(ShipTypeDestroyer, rules))
{
}

CSubmarine::CSubmarine(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules)
    : CShip(unitId, shipId, panel, MakeShipConfig(ShipTypeSubmarine, rules))
{
}

COiler::COiler(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules)
    : CShip(unitId, shipId, panel, MakeShipConfig(ShipTypeOiler, rules))
{
}

} // namespace Marevane
