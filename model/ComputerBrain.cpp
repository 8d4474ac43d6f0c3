#include "model/ComputerBrain.h"

#include "model/Board.h"
#include "model/CodeTables.h"
#include "model/CommandableDirection.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <mutex>

namespace Marevane {
namespace ComputerAI {

namespace {

std::mutex& FactoryMutex()
{
    static std::mutex mutex;
    return mutex;
}

ComputerAIFactory& InstalledFactory()
{
    static ComputerAIFactory factory;
    return factory;
}

template <typename T> const T& PickOne(const std::vector<T>& items)
{
    const auto last = static_cast<std::uint32_t>(items.size() - 1);
    return items[RandomUInt(0, last)];
}

// The panels inside the ring, row by row.
std::vector<const CPanel*> PlayPanels(const CBoard& board)
{
    std::vector<const CPanel*> panels;
    for (const CPanel& panel : board.GetSeaPanels()) panels.push_back(&panel);
    return panels;
}

} // namespace

ComputerAIFactory SetComputerAIFactory(ComputerAIFactory factory)
{
    std::lock_guard<std::mutex> lock(FactoryMutex());
    std::swap(InstalledFactory(), factory);
    return factory;
}

std::unique_ptr<CComputerAI> CreateComputerAI(CUnit& owner)
{
    ComputerAIFactory factory;
    {
        std::lock_guard<std::mutex> lock(FactoryMutex());
        factory = InstalledFactory();
    }
    if (factory) {
        if (auto brain = factory(owner)) return brain;
    }
    return std::make_unique<CPlainComputerAI>(owner);
}

CPlainComputerAI::CPlainComputerAI(CUnit& owner) : m_owner(owner) {}

std::vector<CommandInput> CPlainComputerAI::CollectCandidates() const
{
    // One entry per (ship, command) the rules allow, each with its aims, so
    // that the draw is uniform over commands rather than over aims.
    std::vector<std::vector<CommandInput>> choices;
    const CBoard* board = m_owner.GetBoard();
    if (board == nullptr) return {};
    const std::vector<const CPanel*> panels = PlayPanels(*board);
    const CommandCode commands[] = {CommandAttack,  CommandMove,      CommandMine,
                                    CommandTorpedo, CommandReinforce, CommandChangeFlagship};

    for (const auto& [id, ship] : m_owner.GetShips()) {
        const CPanel* from = ship->GetCurrentPanel();
        if (from == nullptr) continue;
        for (CommandCode command : commands) {
            if (!m_owner.CanShipExecuteCommand(id, command)) continue;
            CommandInput base;
            base.Command = command;
            base.ShipId = id;
            std::vector<CommandInput> aims;
            auto aimAt = [&](const CPanel& panel) {
                CommandInput input = base;
                input.Target = panel.GetPos();
                aims.push_back(input);
            };
            const std::vector<Direction>& directions = CCommandableDirection::GetInstance().Get(command);

            switch (command) {
            case CommandAttack:
            case CommandMine:
                for (Direction d : directions) {
                    const CPanel* target = from->GetNeighbor(d);
                    if (target == nullptr || target->GetType() == PanelBoundary) continue;
                    CommandInput input = base;
                    input.Direction = d;
                    aims.push_back(input);
                }
                break;
            case CommandMove: {
                const std::uint32_t reach =
                    std::min(ship->GetMoveRange(), ship->GetProfile().Config.MoveRange);
                for (Direction d : directions) {
                    for (std::uint32_t n = 1; n <= reach; ++n) {
                        const CPanel* target = from->GetPanelAlong(d, static_cast<std::int32_t>(n));
                        if (target == nullptr || target->GetType() == PanelBoundary) break;
                        if (!target->IsPassable() || m_owner.IsPanelOccupied(target, ship)) continue;
                        CommandInput input = base;
                        input.Direction = d;
                        input.Distance = n;
                        aims.push_back(input);
                    }
                }
                break;
            }
            case CommandTorpedo:
                if (m_owner.CountTorpedoes() > CUnit::TorpedoLimit) break;
                for (const CPanel* panel : panels) {
                    if (panel != from) aimAt(*panel);
                }
                break;
            case CommandReinforce:
                for (const CPanel* panel : panels) {
                    if (panel->IsPassable() && panel->IsKnownBy(m_owner.GetId()) &&
                        !m_owner.IsPanelOccupied(panel, ship)) {
                        aimAt(*panel);
                    }
                }
                break;
            case CommandChangeFlagship:
                for (const auto& [otherId, other] : m_owner.GetShips()) {
                    if (other != ship && !other->IsSinking() && other->GetCurrentPanel() != nullptr) {
                        aimAt(*other->GetCurrentPanel());
                    }
                }
                break;
            default:
                break;
            }
            if (!aims.empty()) choices.push_back(std::move(aims));
        }
    }
    if (choices.empty()) return {};
    return PickOne(choices);
}

void CPlainComputerAI::StorePass()
{
    CommandInput pass;
    pass.Command = CommandPass;
    pass.Direction = DirectionNorth;
    // A pass still names a ship of the side that is afloat.
    for (const auto& [id, ship] : m_owner.GetShips()) {
        if (pass.ShipId == 0 || !ship->IsSinking()) pass.ShipId = id;
        if (!ship->IsSinking()) break;
    }
    m_owner.SetCommandInput(pass);
}

void CPlainComputerAI::Think()
{
    if (m_refusals.load() > MaxRefusals || !m_owner.CanAct()) {
        StorePass();
        return;
    }
    const std::vector<CommandInput> aims = CollectCandidates();
    if (aims.empty()) {
        StorePass();
        return;
    }
    m_owner.SetCommandInput(PickOne(aims));
}

void CPlainComputerAI::ChooseFlagship()
{
    // Odds follow the ships' hit points.
    std::vector<std::uint32_t> draw;
    for (const auto& [id, ship] : m_owner.GetShips()) {
        for (std::int32_t hp = 0; hp < ship->GetProfile().Hp; ++hp) draw.push_back(id);
    }
    if (draw.empty()) return;
    m_owner.SetFlagship(PickOne(draw));
}

MapPos CPlainComputerAI::ChooseShipPosition(ShipType)
{
    return ChooseRandomShipPosition();
}

MapPos CPlainComputerAI::ChooseRandomShipPosition()
{
    const CBoard* board = m_owner.GetBoard();
    if (board == nullptr || board->GetRows() == 0 || board->GetColumns() == 0) return MapPos(1, 1);
    // Drawn among the free panels only, so a fleet that fits is placed at
    // the first try.
    std::vector<const CPanel*> free;
    for (const CPanel* panel : PlayPanels(*board)) {
        if (panel->IsPassable() && !m_owner.IsPanelOccupied(panel, nullptr)) free.push_back(panel);
    }
    if (!free.empty()) return PickOne(free)->GetPos();
    // A fleet larger than the free sea: the draw lands on a taken panel and
    // placing the ship there fails.
    return MapPos(RandomUInt(1, board->GetRows()), RandomUInt(1, board->GetColumns()));
}

void CPlainComputerAI::Update(MessageCode code)
{
    if (code == 51) {
        m_refusals = 0;
    } else if (IsErrorCode(code)) {
        ++m_refusals;
    }
}

void CPlainComputerAI::Reset()
{
    m_refusals = 0;
}

} // namespace ComputerAI
} // namespace Marevane
