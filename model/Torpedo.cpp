#include "model/Torpedo.h"

#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"

#include <cstdint>
#include <cstdlib>

namespace Marevane {

namespace {

bool IsBoundary(const CPanel* panel)
{
    return panel->GetType() == PanelBoundary;
}

// The last panel before the ring, walking from a playing-area panel.
const CPanel* LastBefore(const CPanel* from, Direction direction)
{
    const CPanel* panel = from;
    for (;;) {
        const CPanel* next = panel->GetNeighbor(direction);
        if (!next || next == panel || IsBoundary(next)) return panel;
        panel = next;
    }
}

} // namespace

CPanel* FindPanel(CPanel* from, const MapPos& pos)
{
    if (!from || IsBoundary(from)) return nullptr;
    const std::uint32_t rows = LastBefore(from, DirectionSouth)->GetPos().x;
    const std::uint32_t columns = LastBefore(from, DirectionEast)->GetPos().y;
    if (pos.x < 1 || pos.x > rows || pos.y < 1 || pos.y > columns) return nullptr;
    return from->GetPanelAt(pos);
}

CTorpedo::CTorpedo(CShip* ship, CPanel* launchPanel, CPanel* targetPanel)
    : m_ship(ship), m_launchPanel(launchPanel), m_targetPanel(targetPanel)
{
    if (!ship || !launchPanel || !targetPanel || IsBoundary(launchPanel) || IsBoundary(targetPanel) ||
        targetPanel == ship->GetCurrentPanel())
        throw CPanelRangeError();
    const ShipProfile& shipProfile = ship->GetProfile();
    m_profile.Number = shipProfile.Statistics[ShipStatTorpedoes];
    m_profile.UnitId = shipProfile.UnitId;
    m_profile.ShipId = shipProfile.ShipId;
    m_profile.ShipType = shipProfile.Type;
    m_profile.LaunchPos = launchPanel->GetPos();
    m_profile.CurrentPos = m_profile.LaunchPos;
    m_profile.TargetPos = targetPanel->GetPos();
    m_profile.Direction = DirectionCenter;
    m_profile.IsFinished = false;
}

CTorpedo::CTorpedo(CShip* ship, const TorpedoProfile& profile) : m_ship(ship)
{
    if (!ship) throw CPanelRangeError();
    Update(profile);
}

void CTorpedo::Update(const TorpedoProfile& profile)
{
    CPanel* from = m_ship->GetCurrentPanel();
    CPanel* launch = FindPanel(from, profile.LaunchPos);
    CPanel* current = FindPanel(from, profile.CurrentPos);
    CPanel* target = FindPanel(from, profile.TargetPos);
    if (!launch || !current || !target) throw CPanelRangeError();
    m_launchPanel = launch;
    m_currentPanel = current;
    m_targetPanel = target;
    m_profile = profile;
}

CPanel* CTorpedo::GetCurrentPanel() const
{
    return m_currentPanel ? m_currentPanel : m_launchPanel;
}

bool CTorpedo::IsAtEnd() const
{
    const CPanel* panel = GetCurrentPanel();
    return panel == m_targetPanel || panel->GetType() == PanelReef || panel->HasMine();
}

void CTorpedo::Step()
{
    CPanel* current = GetCurrentPanel();
    if (m_profile.IsFinished || current == m_targetPanel) return;

    const MapPos from = current->GetPos();
    const MapPos to = m_targetPanel->GetPos();
    const std::int64_t dr = static_cast<std::int64_t>(to.x) - from.x;
    const std::int64_t dc = static_cast<std::int64_t>(to.y) - from.y;

    bool vertical;
    if (dr == 0)
        vertical = false;
    else if (dc == 0)
        vertical = true;
    else if (std::llabs(dr) != std::llabs(dc))
        vertical = std::llabs(dr) > std::llabs(dc);
    else
        vertical = m_coin ? m_coin() : RandomCoin();

    auto along = [&](bool rows) {
        if (rows) return dr > 0 ? DirectionSouth : DirectionNorth;
        return dc > 0 ? DirectionEast : DirectionWest;
    };
    Direction direction = along(vertical);
    CPanel* next = current->GetNeighbor(direction);
    if (next && IsBoundary(next) && next != m_targetPanel && (vertical ? dc != 0 : dr != 0)) {
        direction = along(!vertical);
        next = current->GetNeighbor(direction);
    }
    if (!next || next == current || IsBoundary(next)) return;

    m_currentPanel = next;
    m_profile.CurrentPos = next->GetPos();
    m_profile.Direction = direction;
}

bool CTorpedo::Explode()
{
    if (m_profile.IsFinished) {
        m_result.Kind = 0;
        return false;
    }
    CPanel* panel = GetCurrentPanel();
    m_result = ActionInfo();
    m_result.Kind = 2;
    m_result.Command = CommandTorpedo;
    m_result.UnitId = m_profile.UnitId;
    m_result.ShipId = m_profile.ShipId;
    m_result.ShipType = m_profile.ShipType;
    m_result.Direction = m_profile.Direction;
    m_result.Target = panel->GetPos();

    m_ship->Strike(m_ships, panel);

    const ShipProfile& own = m_ship->GetProfile();
    m_result.Ships[own.UnitId].push_back(own);
    for (const CShip* reached : m_ships) {
        if (!reached || reached == m_ship) continue;
        m_result.Ships[reached->GetUnitId()].push_back(reached->GetProfile());
    }
    m_profile.IsFinished = true;
    return true;
}

} // namespace Marevane
