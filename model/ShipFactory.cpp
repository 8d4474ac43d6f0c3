#include "model/ShipFactory.h"

#include "model/Board.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/ShipOwner.h"

#include <algorithm>
#include <new>
#include <set>
#include <stdexcept>

namespace Marevane {

CShipFactory::CShipFactory(CBoard* board, CGameEdit* gameEdit) : m_board(board), m_gameEdit(gameEdit) {}

CShipFactory::~CShipFactory()
{
    // Owners still alive stop pointing here; their ships go with the table.
    for (const auto& entry : m_nextShipIds) entry.first->DetachFactory(this);
}

std::uint32_t CShipFactory::GetNextShipId(CShipOwner* unit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return NextShipIdLocked(unit);
}

std::uint32_t CShipFactory::NextShipIdLocked(CShipOwner* unit)
{
    auto entry = m_nextShipIds.emplace(unit, 1);
    if (entry.second) unit->AttachFactory(this);
    return entry.first->second;
}

void CShipFactory::ForgetOwner(CShipOwner* unit)
{
    std::unique_ptr<Fleet> fleet;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_ships.find(unit);
        if (it != m_ships.end()) {
            fleet = std::make_unique<Fleet>(std::move(it->second));
            m_ships.erase(it);
        }
        m_nextShipIds.erase(unit);
    }
}

CShipOwner::~CShipOwner()
{
    std::set<CShipFactory*> factories;
    {
        std::lock_guard<std::mutex> lock(m_factoryMutex);
        factories.swap(m_factories);
    }
    for (CShipFactory* factory : factories) factory->ForgetOwner(this);
}

void CShipOwner::AttachFactory(CShipFactory* factory)
{
    std::lock_guard<std::mutex> lock(m_factoryMutex);
    m_factories.insert(factory);
}

void CShipOwner::DetachFactory(CShipFactory* factory)
{
    std::lock_guard<std::mutex> lock(m_factoryMutex);
    m_factories.erase(factory);
}

bool CShipFactory::IsPanelFree(CShipOwner* unit, std::uint32_t shipId, const CPanel* panel) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return IsPanelFreeLocked(unit, shipId, panel);
}

bool CShipFactory::IsPanelFreeLocked(CShipOwner* unit, std::uint32_t shipId, const CPanel* panel) const
{
    auto fleet = m_ships.find(unit);
    if (fleet == m_ships.end()) return true;
    for (const auto& entry : fleet->second) {
        if (entry.first != shipId && entry.second->GetCurrentPanel() == panel) return false;
    }
    return true;
}

CShip* CShipFactory::CreateShip(CShipOwner* unit, std::uint32_t type, CPanel* panel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return CreateShipLocked(unit, type, panel);
}

CShip* CShipFactory::CreateShipLocked(CShipOwner* unit, std::uint32_t type, CPanel* panel)
{
    if (!unit) throw CShipDataError();
    const std::uint32_t id = NextShipIdLocked(unit);
    if (type == ShipTypeNone) throw CShipTypeRangeError();
    if (type == ShipTypeOiler && id < 2) throw CNonCombatantShipError();
    if (!IsPanelFreeLocked(unit, id, panel)) throw CPanelOnOtherShipError();
    std::unique_ptr<CShip> ship = MakeShipLocked(unit, type, panel);

    ship->GetProfile().Config.MoveRange = std::max(m_board->GetRows(), m_board->GetColumns()) - 1;
    if (unit->ShipCount() == 0) {
        const GameEditInfo& rules = m_gameEdit->GetInfo();
        unit->ReserveShips(rules.FleetSize);
        unit->SetReinforcementsLeft(rules.IsReinforcementAllowed);
    }
    CShip* created = ship.get();
    unit->AddShip(id, created);
    m_ships[unit][id] = std::move(ship);
    return created;
}

std::unique_ptr<CShip> CShipFactory::MakeShipLocked(CShipOwner* unit, std::uint32_t type, CPanel* panel)
{
    const std::uint32_t unitId = unit->GetUnitId();
    const std::uint32_t id = NextShipIdLocked(unit);
    const GameEditInfo& rules = m_gameEdit->GetInfo();
    std::unique_ptr<CShip> ship;
    try {
        switch (type) {
        case ShipTypeBattleship:
            ship = std::make_unique<CBattleShip>(unitId, id, panel, rules);
            break;
        case ShipTypeDestroyer:
            ship = std::make_unique<CDestroyer>(unitId, id, panel, rules);
            break;
        case ShipTypeSubmarine:
            ship = std::make_unique<CSubmarine>(unitId, id, panel, rules);
            break;
        case ShipTypeOiler:
            ship = std::make_unique<COiler>(unitId, id, panel, rules);
            break;
        default:
            throw CShipTypeRangeError();
        }
    } catch (const std::bad_alloc&) {
        throw CShipDataError();
    }
    m_nextShipIds[unit] = id + 1;
    return ship;
}

CPanel* CShipFactory::PlayingPanel(const MapPos& pos) const
{
    if (pos.x < 1 || pos.x > m_board->GetRows() || pos.y < 1 || pos.y > m_board->GetColumns()) return nullptr;
    return m_board->GetPanel(pos);
}

void CShipFactory::PlaceShips(const std::vector<CShipOwner*>& units,
                              const std::map<std::uint32_t, std::vector<ShipProfile>>& profiles)
{
    std::lock_guard<std::mutex> lock(m_mutex);

    std::vector<CShipOwner*> owners;
    for (CShipOwner* unit : units) {
        if (!unit) throw CShipDataError();
        if (std::find(owners.begin(), owners.end(), unit) == owners.end()) owners.push_back(unit);
    }

    // Everything is checked before any fleet is touched.
    std::vector<std::vector<CPanel*>> panels;
    for (CShipOwner* unit : owners) {
        auto entry = profiles.find(unit->GetUnitId());
        if (entry == profiles.end()) throw std::out_of_range(MissingKeyText);
        std::vector<CPanel*> fleetPanels;
        std::uint32_t id = 1;
        for (const ShipProfile& profile : entry->second) {
            CPanel* panel = PlayingPanel(profile.Pos);
            if (!panel) throw CPanelRangeError();
            if (profile.Type == ShipTypeNone) throw CShipTypeRangeError();
            if (profile.Type == ShipTypeOiler && id < 2) throw CNonCombatantShipError();
            if (std::find(fleetPanels.begin(), fleetPanels.end(), panel) != fleetPanels.end())
                throw CPanelOnOtherShipError();
            if (profile.Type > ShipTypeOiler) throw CShipTypeRangeError();
            if (!panel->IsPassable())
                throw CPanelRangeError("CShip::CShip(): CPanelRangeError - The target Panel is not movable.");
            fleetPanels.push_back(panel);
            ++id;
        }
        panels.push_back(std::move(fleetPanels));
    }

    for (CShipOwner* unit : owners) RemoveShipsOfLocked(unit);
    for (std::size_t u = 0; u < owners.size(); ++u) {
        const std::vector<ShipProfile>& fleet = profiles.find(owners[u]->GetUnitId())->second;
        for (std::size_t i = 0; i < fleet.size(); ++i) {
            CShip* ship = CreateShipLocked(owners[u], fleet[i].Type, panels[u][i]);
            if (fleet[i].IsFlagship) owners[u]->SetFlagship(ship->GetShipId());
        }
    }
}

void CShipFactory::RemoveShipsOf(CShipOwner* unit)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    RemoveShipsOfLocked(unit);
}

void CShipFactory::RemoveShipsOfLocked(CShipOwner* unit)
{
    if (!unit) return;
    // The side lets go of its pointers before the ships go.
    unit->RemoveAllShips();
    m_ships.erase(unit);
    NextShipIdLocked(unit);
    m_nextShipIds[unit] = 1;
}

void CShipFactory::Clear()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::set<CShipOwner*> known;
    for (const auto& entry : m_ships) known.insert(entry.first);
    for (const auto& entry : m_nextShipIds) known.insert(entry.first);
    for (CShipOwner* unit : known) RemoveShipsOfLocked(unit);
    m_ships.clear();
    for (const auto& entry : m_nextShipIds) entry.first->DetachFactory(this);
    m_nextShipIds.clear();
}

std::vector<CShip*> CShipFactory::GetShips(CShipOwner* unit) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<CShip*> ships;
    auto fleet = m_ships.find(unit);
    if (fleet == m_ships.end()) return ships;
    for (const auto& entry : fleet->second) ships.push_back(entry.second.get());
    return ships;
}

CShip* CShipFactory::GetShip(CShipOwner* unit, std::uint32_t shipId) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    auto fleet = m_ships.find(unit);
    if (fleet == m_ships.end()) return nullptr;
    auto ship = fleet->second.find(shipId);
    return ship != fleet->second.end() ? ship->second.get() : nullptr;
}

} // namespace Marevane
