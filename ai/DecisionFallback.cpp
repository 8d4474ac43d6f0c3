// The last strategies of the decision engine: the simple move, the change of
// flagship, the return of sunk ships and the final resign or pass; and the
// three mine strategies.
#include "ai/DecisionEngine.h"

#include "ai/DirectionOrder.h"
#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"
#include "model/Directions.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace Marevane::ComputerAI {

namespace {

template <typename T> const T& Draw(const std::vector<T>& items)
{
    return items[TaskRandomUInt(0, static_cast<std::uint32_t>(items.size() - 1))];
}

bool IsFull(const CShip& ship)
{
    return ship.GetProfile().Hp == static_cast<std::int32_t>(ship.GetConfig().Hp);
}

bool CannotPay(const CShip& ship)
{
    const ShipConfigSet& config = ship.GetConfig();
    return ship.IsFuelShortage() || config.AttackFp == 0 ||
           (config.Fp != 0 && ship.GetProfile().Fp < config.AttackFp);
}

} // namespace

void CDecisionEngine::Write(const CommandInput& input, const char* name)
{
    GetUnit()->SetCommandInput(input);
    m_written = true;
    Trace(name);
}

void CDecisionEngine::WritePass()
{
    CommandInput input;
    input.Command = CommandPass;
    input.Direction = DirectionNorth;
    for (const auto& [id, ship] : GetUnit()->GetShips()) {
        if (input.ShipId == 0 || !ship->IsSinking()) input.ShipId = id;
        if (!ship->IsSinking()) break;
    }
    Write(input, "Pass");
}

const CPanel* CDecisionEngine::EstimatedPanel(const CVirtualPlayer& player, std::uint32_t shipId) const
{
    const CVirtualBoard* board = player.GetBoard(shipId);
    if (board == nullptr || board->GetCandidates().empty()) return nullptr;
    // The likeliest panel; the first of equals in panel order.
    const CVirtualPanel* best = nullptr;
    for (const CVirtualPanel* panel : board->GetCandidates()) {
        if (best == nullptr || panel->GetFlag() > best->GetFlag()) best = panel;
    }
    return best->GetPanel();
}

// --- resign or pass ----------------------------------------------------------

void CDecisionEngine::ResignOrPass()
{
    Trace("ResignOrPass");
    CUnit& unit = *GetUnit();
    const CVirtualGame* game = GetVirtualGame();
    bool noEnemy = true;
    bool beaten = false;
    if (game != nullptr) {
        for (const CVirtualPlayer* rival : game->GetRivals()) {
            if (rival->IsAlive()) noEnemy = false;
        }
        const CVirtualPlayer* own = game->GetOwnPlayer();
        beaten = own != nullptr && !own->IsAlive();
    }
    const bool partners = unit.HasTeamMates();
    // A side that can still act passes rather than gives the battle away;
    // it resigns only when nothing is left to fight for.
    std::uint32_t code = CommandPass;
    if (!partners && ReadFigures().Balance < -4 && noEnemy) code = CommandResign;
    if (partners && beaten && !unit.CanAct()) code = CommandResign;
    if (code == CommandPass) {
        WritePass();
        return;
    }
    CommandInput input;
    input.Command = code;
    Write(input, "Resign");
}

// --- simple move -------------------------------------------------------------

void CDecisionEngine::MoveSimply(ShipList& ships)
{
    Trace("MoveSimply");
    CAISharedData& shared = *GetSharedData();
    shared.FallbackCount += 1;
    if (!CheckSpecialSituations()) return;
    CUnit& unit = *GetUnit();

    bool canAttack = false;
    bool canMove = false;
    bool canReinforce = false;
    for (CShip* ship : ships) {
        if (canAttack && canMove && canReinforce) break;
        if (CanPayAttack(*ship)) canAttack = true;
        if (CanMoveNow(*ship) && ship->GetMoveRange() > 0) canMove = true;
        if (unit.GetCurrentRound() < 21 &&
            unit.CanShipExecuteCommand(ship->GetShipId(), Marevane::CommandReinforce))
            canReinforce = true;
    }

    if (canAttack) {
        shared.DecisionKind = 3;
        ShipList attackers;
        for (CShip* ship : ships) {
            if (unit.CanShipExecuteCommand(ship->GetShipId(), CommandAttack)) attackers.push_back(ship);
        }
        const CVirtualGame* game = GetVirtualGame();
        const CVirtualPlayer* enemy =
            game != nullptr && !game->GetRivals().empty() ? game->GetRivals().front() : nullptr;
        if (!attackers.empty()) {
            CShip* attacker = Draw(attackers);
            Direction direction = DirectionNone;
            if (enemy != nullptr && !enemy->GetShipBoards().empty()) {
                std::vector<const CVirtualBoard*> boards;
                for (const auto& [id, board] : enemy->GetShipBoards()) boards.push_back(board.get());
                // Bounded: a board without a candidate gives no direction.
                for (std::size_t tries = 0; tries < boards.size() * 4 && direction == DirectionNone;
                     ++tries) {
                    const CVirtualBoard* board = Draw(boards);
                    if (board->GetCandidates().empty()) continue;
                    direction =
                        board->ChooseDirection(unit.GetLevel() < 1 ? 1 : 3, attacker->GetCurrentPanel(),
                                               board->GetTrackedShipStatus(), *board);
                }
            }
            if (direction != DirectionNone && WriteAttackCommand(*attacker, direction)) return;
            // No estimate points anywhere: any open neighbour.
            std::vector<Direction> open;
            for (Direction d : CompassDirections()) {
                const CPanel* n = attacker->GetCurrentPanel()->GetNeighbor(d);
                if (n != nullptr && n->GetType() != PanelBoundary && !n->IsReefKnownTo(unit.GetId()))
                    open.push_back(d);
            }
            if (!open.empty() && WriteAttackCommand(*attacker, Draw(open))) return;
        }
    }

    if (canMove && !canReinforce) {
        shared.DecisionKind = 8;
        ShipList movers;
        for (CShip* ship : ships) {
            if (unit.CanShipExecuteCommand(ship->GetShipId(), Marevane::CommandMove)) movers.push_back(ship);
        }
        const CBoard* board = unit.GetBoard();
        if (!movers.empty() && board != nullptr) {
            CShip* ship = Draw(movers);
            const CPanel* from = ship->GetCurrentPanel();
            std::vector<Direction> directions;
            for (Direction d : MoveDirections()) {
                const CPanel* n = from->GetNeighbor(d);
                if (n != nullptr && n->GetType() != PanelBoundary) directions.push_back(d);
            }
            const std::uint32_t rows = board->GetRows();
            const std::uint32_t columns = board->GetColumns();
            const std::uint32_t limit = rows * columns * 2;
            const std::uint32_t turn = std::max<std::uint32_t>(rows * columns / 2, 1);
            const std::uint32_t reach = std::min(ship->GetConfig().MoveRange, ship->GetMoveRange());
            if (!directions.empty() && reach > 0) {
                std::size_t index = TaskRandomUInt(0, static_cast<std::uint32_t>(directions.size() - 1));
                for (std::uint32_t tries = 0; tries < limit; ++tries) {
                    if (tries != 0 && tries % turn == 0) index = (index + 1) % directions.size();
                    const Direction d = directions[index];
                    const std::uint32_t span = (d == DirectionNorth || d == DirectionSouth) ? rows : columns;
                    // The unit refuses a move beyond the ship's bound.
                    const std::uint32_t most = std::min(span > 1 ? span - 1 : 1, reach);
                    const std::uint32_t distance = TaskRandomUInt(1, most);
                    const CPanel* landing = from->GetPanelAlong(d, distance);
                    if (landing == nullptr || landing->GetType() == PanelBoundary || !landing->IsPassable() ||
                        IsOwnShipOn(landing, ship))
                        continue;
                    CommandInput input;
                    input.Command = Marevane::CommandMove;
                    input.ShipId = ship->GetShipId();
                    input.ShipType = ship->GetType();
                    input.Direction = d;
                    input.Distance = distance;
                    input.Target = landing->GetPos();
                    Write(input, "CommandMove");
                    return;
                }
            }
        }
        ResignOrPass();
        return;
    }

    if (canReinforce) {
        ShipList sunk;
        for (const auto& [id, ship] : unit.GetShips()) {
            if (ship->IsSinking()) sunk.push_back(ship);
        }
        RescueSinkingShip(sunk);
        return;
    }
    ResignOrPass();
}

// --- flagship ------------------------------------------------------------------

void CDecisionEngine::CommandAroundFlagship(ShipList& ships)
{
    Trace("CommandAroundFlagship");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 24;
    CUnit& unit = *GetUnit();
    CShip* flagship = unit.GetFlagship();
    ShipList afloat = unit.GetShipsIf([](const CShip& s) { return !s.IsSinking(); });
    if (flagship == nullptr || afloat.size() <= 1) {
        Reconsider(ships);
        return;
    }
    const CVirtualGame* game = GetVirtualGame();
    auto reachOf = [&](const CShip* s) -> std::uint32_t {
        const CVirtualBoard* board = game != nullptr ? game->GetOwnShipBoard(s->GetShipId()) : nullptr;
        return board != nullptr ? board->GetCandidateCount() : 0;
    };
    const Figures figures = ReadFigures();
    CShip* chosen = nullptr;
    if (figures.Level < 3) {
        const std::vector<std::function<bool(const CShip&)>> tests = {
            [&](const CShip& s) { return reachOf(&s) > 8; },
            [&](const CShip& s) {
                return s.GetCurrentPanel() != nullptr && s.GetCurrentPanel()->IsPassable();
            },
            [&](const CShip& s) { return IsFull(s); },
            [&](const CShip&) { return true; },
        };
        ShipList candidates;
        for (const auto& test : tests) {
            candidates =
                unit.GetShipsIf([&](const CShip& s) { return &s != flagship && !s.IsSinking() && test(s); });
            if (!candidates.empty()) break;
        }
        if (candidates.empty()) {
            Reconsider(ships);
            return;
        }
        std::stable_sort(candidates.begin(), candidates.end(), [&](const CShip* a, const CShip* b) {
            const std::int32_t ha = a->GetProfile().Hp;
            const std::int32_t hb = b->GetProfile().Hp;
            if (ha != hb && (ha == 1 || hb == 1)) return ha > hb;
            return reachOf(a) > reachOf(b);
        });
        chosen = candidates.front();
    } else {
        ShipList a = unit.GetShipsIf([&](const CShip& s) {
            return !s.IsSinking() && (s.IsStealthed() || s.GetConfig().CanStealth) && &s != flagship &&
                   (!s.IsFpInUse() || s.GetProfile().Fp > 0.4 * s.GetConfig().Fp);
        });
        ShipList b =
            unit.GetShipsIf([&](const CShip& s) { return !s.IsSinking() && &s != flagship && IsFull(s); });
        if (b.empty()) b = unit.GetShipsIf([&](const CShip& s) { return !s.IsSinking() && &s != flagship; });
        if (b.empty()) {
            Reconsider(ships);
            return;
        }
        if (figures.Balance < 1 && !a.empty() && TaskRandomUInt(0, 99) <= 39) {
            std::stable_sort(a.begin(), a.end(), [](const CShip* x, const CShip* y) {
                const double rx = x->IsFpInUse() ? double(x->GetProfile().Fp) / x->GetConfig().Fp : 1.0;
                const double ry = y->IsFpInUse() ? double(y->GetProfile().Fp) / y->GetConfig().Fp : 1.0;
                return rx > ry;
            });
            chosen = a.front();
        } else {
            std::stable_sort(b.begin(), b.end(), [&](const CShip* x, const CShip* y) {
                const std::int32_t sx = x->GetProfile().Hp;
                const std::int32_t sy = y->GetProfile().Hp;
                return sx != sy ? sx > sy : reachOf(x) > reachOf(y);
            });
            chosen = b.front();
        }
    }
    if (!CommandChangeFlagship(*flagship, chosen->GetCurrentPanel())) Reconsider(ships);
}

// --- sunk ships ----------------------------------------------------------------

void CDecisionEngine::DefendSinkingShip(ShipList& ships)
{
    Trace("DefendSinkingShip");
    if (ships.empty()) {
        ResignOrPass();
        return;
    }
    CShip& ship = *ships.front();
    if (CannotPay(ship)) {
        RescueSinkingShip(ships);
        return;
    }
    GetSharedData()->DecisionKind = 18;
    // The enemy ships afloat, the least located and the weakest first.
    struct Enemy {
        std::vector<const CPanel*> panels;
        std::uint32_t reach;
        std::int32_t hp;
    };
    std::vector<Enemy> enemies;
    const CVirtualGame* game = GetVirtualGame();
    if (game != nullptr) {
        for (const CVirtualPlayer* rival : game->GetRivals()) {
            for (const auto& [id, board] : rival->GetShipBoards()) {
                if (rival->IsShipSunk(id) || board->GetCandidates().empty()) continue;
                Enemy enemy{{}, board->GetCandidateCount(), 0};
                if (const ShipProfile* p = rival->FindShipProfile(id)) enemy.hp = p->Hp;
                for (const CVirtualPanel* c : board->GetCandidates()) enemy.panels.push_back(c->GetPanel());
                enemies.push_back(std::move(enemy));
            }
        }
    }
    std::stable_sort(enemies.begin(), enemies.end(), [](const Enemy& a, const Enemy& b) {
        return a.reach != b.reach ? a.reach < b.reach : a.hp < b.hp;
    });
    // Only panels the unit may reinforce onto.
    const std::uint32_t unitId = GetUnit()->GetId();
    std::vector<const CPanel*> panels;
    if (!enemies.empty()) {
        for (const CPanel* p : enemies.front().panels) {
            if (p->IsPassable() && p->IsKnownBy(unitId) && !IsOwnShipOn(p, &ship)) panels.push_back(p);
        }
    }
    if (panels.empty()) {
        RescueSinkingShip(ships);
        return;
    }
    std::vector<const CPanel*> kept;
    for (const CPanel* p : panels) {
        const PanelType type = p->GetType();
        if (type == PanelHighWave || (type == PanelShallow && ship.GetConfig().CanStealth) ||
            (type == PanelFog && ship.GetConfig().Hp > 1))
            kept.push_back(p);
    }
    if (!CommandReinforce(ship, Draw(kept.empty() ? panels : kept))) Reconsider(ships);
}

void CDecisionEngine::RescueSinkingShip(ShipList& ships)
{
    Trace("RescueSinkingShip");
    if (ships.empty()) {
        ResignOrPass();
        return;
    }
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 17;
    CUnit& unit = *GetUnit();
    CShip& sunk = *ships.front();
    const std::uint32_t unitId = unit.GetId();

    std::uint32_t oilerFp = 0;
    std::uint32_t oilerMax = 0;
    for (const auto& [id, s] : unit.GetShips()) {
        if (!s->IsSinking() && !s->IsFuelShortage() && s->GetConfig().CanRefuel && s->IsFpInUse() &&
            s->GetProfile().Fp != 0) {
            oilerFp += s->GetProfile().Fp;
            oilerMax += s->GetConfig().Fp;
        }
    }
    auto freeNeighbours = [&](const CShip& s, bool plainOnly) {
        std::vector<const CPanel*> panels;
        for (Direction d : CompassDirections()) {
            const CPanel* n = s.GetCurrentPanel() != nullptr ? s.GetCurrentPanel()->GetNeighbor(d) : nullptr;
            if (n == nullptr || n->GetType() == PanelBoundary || !n->IsPassable() || !n->IsKnownBy(unitId) ||
                IsOwnShipOn(n, &sunk))
                continue;
            if (plainOnly && (n->GetType() == PanelFog || n->GetType() == PanelHighWave)) continue;
            panels.push_back(n);
        }
        return panels;
    };

    const bool skip =
        (oilerFp * 3 > oilerMax && oilerMax != 0 && ReadFigures().Balance > 0) || CannotPay(sunk);
    std::vector<const CPanel*> weighed;
    if (!skip && shared.Target != nullptr) {
        // Guards: ships that are damaged or nearly found, with threats in
        // their plan; the strongest first.
        ShipList guards = unit.GetShipsIf([&](const CShip& s) {
            return !s.IsSinking() && HasPlan(shared.Target->GetUnitId(), s.GetShipId()) &&
                   !FactsOf(s).Threats.empty() && (!IsFull(s) || RecordOf(s).ReachEntries < 3);
        });
        std::stable_sort(guards.begin(), guards.end(), [](const CShip* a, const CShip* b) {
            const auto fa = static_cast<std::int64_t>(a->GetProfile().Fp) - a->GetConfig().AttackFp;
            const auto fb = static_cast<std::int64_t>(b->GetProfile().Fp) - b->GetConfig().AttackFp;
            if (fa != fb) return fa > fb;
            return a->GetProfile().Hp > b->GetProfile().Hp;
        });
        // A light threat to a guard that can still take a hit: the sunk ship
        // comes back beside it.
        for (const CShip* guard : guards) {
            if (guard->GetProfile().Hp <= 1) continue;
            bool light = false;
            for (const auto& [enemyId, weight] : FactsOf(*guard).Threats) {
                if (weight < 5) light = true;
            }
            if (light) weighed = freeNeighbours(*guard, false);
            if (!weighed.empty()) break;
        }
    }
    if (!weighed.empty()) {
        if (!CommandReinforce(sunk, Draw(weighed))) Reconsider(ships);
        return;
    }
    if (oilerFp < 8) {
        Reconsider(ships);
        return;
    }
    const std::vector<CPanel*> candidates = GetKnownFreePanels();
    if (candidates.empty()) {
        Reconsider(ships);
        return;
    }
    const CPanel* panel = Draw(candidates);
    ShipList byFp = unit.GetShipsIf([](const CShip& s) { return !s.IsSinking(); });
    // Equal fuel keeps ship-id order.
    std::sort(byFp.begin(), byFp.end(), [](const CShip* a, const CShip* b) {
        if (a->GetProfile().Fp != b->GetProfile().Fp) return a->GetProfile().Fp > b->GetProfile().Fp;
        return a->GetShipId() < b->GetShipId();
    });
    for (const CShip* s : byFp) {
        const std::vector<const CPanel*> near = freeNeighbours(*s, true);
        if (!near.empty()) {
            panel = Draw(near);
            break;
        }
    }
    if (!CommandReinforce(sunk, panel)) Reconsider(ships);
}

// --- mines -------------------------------------------------------------------

CShip* CDecisionEngine::FindMineLayer(const ShipList& ships) const
{
    auto lays = [](const CShip* s) {
        return s->GetConfig().CanLayMine && s->GetProfile().WeaponStock > 0 && !s->IsSinking();
    };
    for (CShip* s : ships) {
        if (lays(s)) return s;
    }
    CShip* held = nullptr;
    for (const auto& [id, s] : GetUnit()->GetShips()) {
        if (!lays(s)) continue;
        if (held == nullptr || TaskRandomUInt(0, 99) <= 49) held = s;
    }
    return held;
}

namespace {

// Where the counted enemy ships may be: each ship's candidate panels, for
// ships located to fewer than `limit` panels.
std::vector<std::vector<const CPanel*>> CountedEnemies(const CVirtualGame* game, std::uint32_t limit)
{
    std::vector<std::vector<const CPanel*>> enemies;
    if (game == nullptr) return enemies;
    for (const CVirtualPlayer* rival : game->GetRivals()) {
        for (const auto& [id, board] : rival->GetShipBoards()) {
            if (rival->IsShipSunk(id) || board->GetCandidates().empty() ||
                board->GetCandidateCount() >= limit)
                continue;
            std::vector<const CPanel*> panels;
            for (const CVirtualPanel* c : board->GetCandidates()) panels.push_back(c->GetPanel());
            enemies.push_back(std::move(panels));
        }
    }
    return enemies;
}

// An enemy reaches a panel when it may stand on it or next to it.
bool IsReached(const std::vector<std::vector<const CPanel*>>& enemies, const CPanel* panel)
{
    for (const auto& panels : enemies) {
        for (const CPanel* p : panels) {
            if (p->GetDistance(*panel) <= 1) return true;
        }
    }
    return false;
}

std::pair<double, double> MeanPosition(const std::vector<std::vector<const CPanel*>>& enemies)
{
    double rows = 0.0;
    double columns = 0.0;
    std::size_t count = 0;
    for (const auto& panels : enemies) {
        for (const CPanel* p : panels) {
            rows += p->GetX();
            columns += p->GetY();
            ++count;
        }
    }
    if (count == 0) return {0.0, 0.0};
    return {rows / count, columns / count};
}

} // namespace

void CDecisionEngine::LayMine(const std::vector<Direction>&)
{
    Trace("LayMine");
    GetSharedData()->DecisionKind = 11;
    CUnit& unit = *GetUnit();
    CShip* layer = FindMineLayer(ActiveShips());
    if (layer == nullptr) {
        ResignOrPass();
        return;
    }
    const CPanel* from = layer->GetCurrentPanel();
    const auto enemies = CountedEnemies(GetVirtualGame(), 9);
    std::vector<Direction> candidates;
    for (Direction d : CompassDirections()) {
        const CPanel* n = from->GetNeighbor(d);
        if (n != nullptr && n != from && n->GetType() != PanelBoundary && n->IsPassable() &&
            !IsReached(enemies, n))
            candidates.push_back(d);
    }
    Direction chosen = DirectionCenter;
    if (!candidates.empty()) {
        // Not where an own mine already lies.
        std::vector<Direction> preferred;
        for (Direction d : candidates) {
            if (!from->GetNeighbor(d)->HasMineOf(unit.GetId())) preferred.push_back(d);
        }
        chosen = Draw(preferred.empty() ? candidates : preferred);
    }
    if (!CommandMine(*layer, chosen)) {
        ShipList ships = ActiveShips();
        Reconsider(ships);
    }
}

void CDecisionEngine::LayMineNearFlagship(ShipList ships)
{
    Trace("LayMineNearFlagship");
    GetSharedData()->DecisionKind = 10;
    const auto enemies = CountedEnemies(GetVirtualGame(), 11);
    const auto [enemyRow, enemyColumn] = MeanPosition(enemies);
    std::vector<std::vector<const CPanel*>> own(1);
    for (const auto& [id, s] : GetUnit()->GetShips()) {
        if (!s->IsSinking() && s->GetCurrentPanel() != nullptr) own[0].push_back(s->GetCurrentPanel());
    }
    const auto [ownRow, ownColumn] = MeanPosition(own);
    double dr = enemyRow - ownRow;
    double dc = enemyColumn - ownColumn;
    Direction direction = enemies.empty() ? DirectionCenter : GetRoundedDirection(dr, dc);
    if (direction == DirectionCenter && !enemies.empty()) {
        dr = dr < 0 ? std::floor(dr) : std::ceil(dr);
        dc = dc < 0 ? std::floor(dc) : std::ceil(dc);
        direction = GetRoundedDirection(dr, dc);
    }
    (void)ships;
    if (direction == DirectionCenter || direction == DirectionNone) {
        LayMine({});
        return;
    }
    const auto [left, right] = GetAdjacentDirections(direction);
    LayMine({direction, left, right});
}

void CDecisionEngine::LayMineTrap(ShipList& ships)
{
    Trace("LayMineTrap");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 9;
    CUnit& unit = *GetUnit();
    CShip* layer = FindMineLayer(ships);
    if (layer == nullptr) {
        Reconsider(ships);
        return;
    }
    const auto enemies = CountedEnemies(GetVirtualGame(), 11);
    const auto [r, c] = MeanPosition(enemies);
    const std::uint32_t rows = unit.GetBoard() != nullptr ? unit.GetBoard()->GetRows() : 0;
    const std::uint32_t columns = unit.GetBoard() != nullptr ? unit.GetBoard()->GetColumns() : 0;
    const CPanel* from = layer->GetCurrentPanel();
    std::vector<Direction> kept;
    for (Direction d : CMineDirectionMap::GetInstance().GetValuesInOrder()) {
        const CPanel* n = from->GetNeighbor(d);
        if (n == nullptr || n->GetType() == PanelBoundary || !n->IsPassable()) continue;
        if (d == DirectionCenter) {
            // Only when the layer itself is hard to find.
            const CVirtualBoard* own =
                GetVirtualGame() != nullptr ? GetVirtualGame()->GetOwnShipBoard(layer->GetShipId()) : nullptr;
            if (own == nullptr || own->GetCandidateCount() < 11) continue;
        }
        if (IsReached(enemies, n)) continue;
        if (r < 2.0 || r > 4.0) {
            if (n->GetX() != 1 && n->GetX() != rows) continue;
        } else if (c < 2.0 || c > 4.0) {
            if (n->GetY() != 1 && n->GetY() != columns) continue;
        }
        kept.push_back(d);
    }
    if (kept.empty()) {
        if (!unit.RefreshShipStatuses()) {
            shared.DecisionKind = 11;
            LayMine({});
        } else {
            shared.DecisionKind = 1;
            EvaluateMainCommand(ships);
        }
        return;
    }
    if (!CommandMine(*layer, Draw(kept))) Reconsider(ships);
}

} // namespace Marevane::ComputerAI
