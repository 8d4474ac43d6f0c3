#include "tests/screens/kit/BattleWorld.h"

#include "model/MessageCodes.h"
#include "model/Random.h"

#include <array>

namespace Marevane::Testing {

namespace {

const std::array<std::uint32_t, 4> FleetTypes{ShipTypeBattleship, ShipTypeDestroyer, ShipTypeSubmarine,
                                              ShipTypeOiler};
const std::array<const wchar_t*, 4> SideNames{L"Ann", L"Bea", L"Cid", L"Dot"};

} // namespace

CBattleWorld::CBattleWorld() : CBattleWorld(Options()) {}

CBattleWorld::CBattleWorld(const Options& options) : m_options(options)
{
    Build();
}

CBattleWorld::~CBattleWorld() = default;

void CBattleWorld::Build()
{
    SeedRandom(m_options.seed);
    m_board.Resize(m_options.rows, m_options.columns);
    const std::uint32_t sides = std::min<std::uint32_t>(std::max<std::uint32_t>(m_options.sides, 1), 4);
    for (std::uint32_t id = 0; id < sides; ++id) AddSide(id, UnitManual, SideNames[id]);
    for (std::uint32_t i = 0; i < m_options.shipsPerSide; ++i) {
        for (std::size_t side = 0; side < m_sides.size(); ++side) {
            CPanel* panel = FreeSeaPanel();
            if (panel == nullptr) return;
            m_ships.CreateShip(m_sides[side], FleetTypes[i % FleetTypes.size()], panel);
        }
    }
    for (CUnit* side : m_sides)
        if (side->HasShip(1)) side->SetFlagship(1);
    if (m_options.specialPanels) {
        for (PanelType type : {PanelReef, PanelShallow, PanelFog, PanelHighWave})
            m_board.PlacePanels(type, 1, [this](const CPanel& panel) { return IsOccupied(&panel); });
    }
}

CUnit* CBattleWorld::AddSide(std::uint32_t id, std::uint32_t type, const std::wstring& name)
{
    CUnit* unit = m_units.CreateUnit(UnitProfile(id, type, 0, name, L""));
    if (type != UnitWatching) m_sides.push_back(unit);
    return unit;
}

CUnit* CBattleWorld::AddWatcher(std::uint32_t id)
{
    return AddSide(id, UnitWatching, L"Eve");
}

CShip* CBattleWorld::Ship(std::size_t side, std::uint32_t shipId) const
{
    if (side >= m_sides.size() || !m_sides[side]->HasShip(shipId)) return nullptr;
    return m_sides[side]->GetShip(shipId);
}

std::vector<CShip*> CBattleWorld::AllShips() const
{
    std::vector<CShip*> ships;
    for (const CUnit* side : m_sides)
        for (const auto& entry : side->GetShips()) ships.push_back(&*entry.second);
    return ships;
}

CShip* CBattleWorld::PutShip(std::size_t side, std::uint32_t type, std::uint32_t row, std::uint32_t column)
{
    return m_ships.CreateShip(m_sides.at(side), type, Panel(row, column));
}

bool CBattleWorld::IsOccupied(const CPanel* panel) const
{
    for (const CShip* ship : AllShips())
        if (!ship->IsSinking() && ship->GetCurrentPanel() == panel) return true;
    return false;
}

CPanel* CBattleWorld::FreeSeaPanel()
{
    std::vector<CPanel*> free;
    for (CSeaPanel& panel : m_board.GetSeaPanels())
        if (!IsOccupied(&panel)) free.push_back(&panel);
    if (free.empty()) return nullptr;
    return free[RandomUInt(0, static_cast<std::uint32_t>(free.size() - 1))];
}

MineProfile* CBattleWorld::LayMine(CShip* ship, CPanel* panel)
{
    if (ship == nullptr || panel == nullptr || ship->LayMine(panel) != CommandSuccess) return nullptr;
    for (MineProfile* mine : panel->GetMines())
        if (mine->UnitId == ship->GetUnitId() && mine->ShipId == ship->GetShipId()) return mine;
    return nullptr;
}

CTorpedo* CBattleWorld::FireTorpedo(CShip* ship, CPanel* target)
{
    // The ship's own panel or the ring is no target.
    if (ship == nullptr || target == nullptr || target == ship->GetCurrentPanel() ||
        target->GetType() == PanelBoundary)
        return nullptr;
    const std::uint32_t before = static_cast<std::uint32_t>(ship->GetAllTorpedoes().size());
    if (ship->FireTorpedo(AllShips(), target) != CommandSuccess) return nullptr;
    if (ship->GetAllTorpedoes().size() == before) return nullptr;
    // Numbers count up, so the newest torpedo is the last.
    return &*ship->GetAllTorpedoes().rbegin()->second;
}

void CBattleWorld::SetStatus(CShip* ship, std::uint32_t status)
{
    ship->SetStatus(status);
}

} // namespace Marevane::Testing
