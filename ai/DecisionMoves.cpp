// The moving strategies of the decision engine: approach, escape, covering,
// and the three refuelling strategies.
#include "ai/DecisionEngine.h"

#include "ai/DirectionOrder.h"
#include "ai/InferenceEngine.h"
#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"

#include <algorithm>
#include <limits>
#include <map>

namespace Marevane::ComputerAI {

namespace {

template <typename T> const T& Draw(const std::vector<T>& items)
{
    return items[TaskRandomUInt(0, static_cast<std::uint32_t>(items.size() - 1))];
}

bool IsNeighbour(const CPanel* a, const CPanel* b)
{
    for (Direction d : CompassDirections()) {
        if (a->GetNeighbor(d) == b && a != b) return true;
    }
    return false;
}

bool IsAbleOiler(const CShip& ship)
{
    return !ship.IsFuelShortage() && ship.GetConfig().CanRefuel && ship.IsFpInUse() &&
           ship.GetProfile().Fp != 0;
}

bool CanTakeRefuel(const CShip& ship, const CShip& oiler)
{
    return ship.IsFpInUse() && ship.GetProfile().Fp + oiler.GetConfig().RefuelFp <= ship.GetConfig().Fp;
}

std::uint32_t EffectiveFp(const CShip& ship, std::uint32_t unitId)
{
    const CPanel* panel = ship.GetCurrentPanel();
    std::uint32_t fp = ship.GetProfile().Fp;
    if (panel != nullptr && panel->GetTypeKnownTo(unitId) == PanelHighWave) fp = fp > 10 ? fp - 10 : 0;
    return fp;
}

} // namespace

// --- approach ----------------------------------------------------------------

void CDecisionEngine::Approach(ShipList& ships)
{
    Trace("Approach");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 4;
    CUnit& unit = *GetUnit();
    CVirtualPlayer* target = shared.Target;
    CVirtualGame& game = *GetVirtualGame();
    if (target == nullptr) {
        Reconsider(ships);
        return;
    }

    ShipList candidates;
    for (CShip* ship : ships) {
        const PlanFacts plan = FactsOf(*ship);
        if (plan.Kind == 4 && plan.Flags[16]) candidates.push_back(ship);
    }
    if (candidates.empty()) {
        // The enemy flagship when flagships decide the battle, else ships
        // that cannot act; else any ship afloat; the weakest first.
        const UnitProfile* side = target->GetProfile();
        const std::uint32_t flagship = side != nullptr ? side->FlagshipId : 0;
        std::vector<std::pair<std::int32_t, std::uint32_t>> prey;
        std::vector<std::pair<std::int32_t, std::uint32_t>> afloat;
        for (const auto& [id, board] : target->GetShipBoards()) {
            if (target->IsShipSunk(id)) continue;
            const ShipProfile* profile = target->FindShipProfile(id);
            const std::int32_t hp = profile != nullptr ? profile->Hp : 0;
            afloat.emplace_back(hp, id);
            const bool goal = shared.FlagshipGoal
                                  ? id == flagship
                                  : profile != nullptr && (profile->Status == ShipStatusFuelShortage ||
                                                           profile->Condition == ShipStatusFuelShortage ||
                                                           profile->LastEvent == EventReefStop);
            if (goal) prey.emplace_back(hp, id);
        }
        if (prey.empty()) prey = afloat;
        std::stable_sort(prey.begin(), prey.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (CShip* ship : ships) {
            if (!CanMoveNow(*ship) || prey.empty()) continue;
            PlanOf(*ship).ApproachTarget = Draw(prey).second;
            candidates.push_back(ship);
        }
    }
    std::stable_sort(candidates.begin(), candidates.end(), [this](const CShip* a, const CShip* b) {
        return PlanOf(*a).Priority < PlanOf(*b).Priority;
    });

    CShip* best = nullptr;
    std::uint32_t bestCost = 0;
    const CPanel* step = nullptr;
    const std::uint32_t mode = unit.GetLevel() < 0 ? 1 : 3;
    for (CShip* ship : candidates) {
        const CPanel* from = ship->GetCurrentPanel();
        const std::uint32_t range = ship->GetMoveRange();
        const CVirtualBoard* enemy = target->GetBoard(PlanOf(*ship).ApproachTarget);
        const CVirtualBoard* own = game.GetOwnShipBoard(ship->GetShipId());
        if (enemy == nullptr || own == nullptr || range == 0) continue;
        const CPanel* destination = enemy->ChooseApproachPanel(*own, from, range, mode);
        if (destination == nullptr || destination == from || IsOwnShipOn(destination, ship)) continue;
        const std::uint32_t cost = unit.GetLevel() < 0
                                       ? own->GetTravelCost(from, destination, range, mode)
                                       : own->GetSimulatedTravelCost(*enemy, from, destination, range, mode);
        bool wins = best == nullptr || cost < bestCost;
        if (!wins && cost == bestCost) {
            const std::int32_t hp = ship->GetProfile().Hp;
            const std::int32_t bestHp = best->GetProfile().Hp;
            if (hp != bestHp) {
                wins = hp > bestHp;
            } else if (EffectiveFp(*ship, unit.GetId()) != EffectiveFp(*best, unit.GetId())) {
                wins = EffectiveFp(*ship, unit.GetId()) < EffectiveFp(*best, unit.GetId());
            } else {
                wins = TaskRandomCoin();
            }
        }
        if (!wins) continue;
        best = ship;
        bestCost = cost;
        const CPanel* first = own->ChooseWaypoint(from, destination);
        step = first != nullptr ? first : destination;
        if (cost == 0 && first != nullptr) break;
    }

    if (best == nullptr || step == nullptr) {
        Reconsider(ships);
        return;
    }
    CShip* blocker = nullptr;
    for (const auto& [id, s] : unit.GetShips()) {
        if (s != best && !s->IsSinking() && s->GetCurrentPanel() == step) blocker = s;
    }
    if (blocker == nullptr) {
        if (step == best->GetCurrentPanel() || !CommandMove(*best, step)) Reconsider(ships);
        return;
    }
    const PlanFacts bestPlan = FactsOf(*best);
    if (unit.CanShipExecuteCommand(blocker->GetShipId(), CommandAttack) &&
        HasPlan(target->GetUnitId(), blocker->GetShipId())) {
        PlanRecord& plan = PlanOf(*blocker);
        plan.Kind = 1;
        plan.Priority = bestPlan.Priority == 0 ? 0 : bestPlan.Priority - 1;
        Reconsider(ships);
    } else if (ships.size() > 1 && shared.RetryCount <= RetryLimit) {
        const std::uint32_t kind = PlanOf(*ships[1]).Kind;
        shared.DecisionKind = kind == shared.DecisionKind ? 1 : kind;
        // Counted like a reconsideration, so a ring of hand-overs ends.
        shared.RetryCount += 1;
        Dispatch(ships);
    } else if (unit.CanShipExecuteCommand(best->GetShipId(), CommandAttack)) {
        PlanOf(*best).Kind = 1;
        Reconsider(ships);
    } else {
        MoveSimply(ships);
    }
}

// --- escape ------------------------------------------------------------------

void CDecisionEngine::Escape(ShipList& ships)
{
    Trace("Escape");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 5;
    CUnit& unit = *GetUnit();
    if (shared.Target == nullptr) {
        Reconsider(ships);
        return;
    }

    // The ship to take away, by class, then priority, then value A.
    CShip* ship = nullptr;
    std::uint32_t shipClass = 0;
    std::uint32_t bestA = 3;
    for (CShip* s : ships) {
        const PlanFacts p = FactsOf(*s);
        if (p.Kind != 5) continue;
        std::uint32_t c = 7;
        if ((p.ValueB != 0 && unit.IsFlagship(s->GetShipId())) || p.Flags[8]) {
            c = 0;
        } else if (p.Flags[7] && p.Flags[1]) {
            c = 1;
        } else if (p.ValueD < 3 && p.Flags[3] && p.Flags[5] && p.ValueF != 0) {
            c = 2;
        } else if (ship != nullptr && p.Priority < PlanOf(*ship).Priority) {
            c = 3;
        } else if (p.Flags[5] && p.ValueF != 0) {
            c = 4;
        } else if (p.ValueA < bestA) {
            c = 5;
        } else if (p.Flags[9]) {
            c = 6;
        } else if (ship != nullptr) {
            continue;
        }
        bool wins = ship == nullptr || c < shipClass;
        if (!wins && c == shipClass) {
            const PlanFacts q = FactsOf(*ship);
            wins = p.Priority < q.Priority ||
                   (p.Priority == q.Priority &&
                    (p.ValueA < q.ValueA || (p.ValueA == q.ValueA && s->GetConfig().CanStealth)));
        }
        if (wins) {
            ship = s;
            shipClass = c;
            bestA = std::min(bestA, p.ValueA);
        }
    }
    if (ship == nullptr || !CanMoveNow(*ship)) {
        Reconsider(ships);
        return;
    }
    const Figures figures = ReadFigures();
    if (ship->GetConfig().CanRefuel &&
        (ship->GetConfig().Hp == static_cast<std::uint32_t>(ship->GetProfile().Hp) || ship->IsStealthed() ||
         figures.Balance > 1)) {
        MoveForRefuelling(ships, ship);
        return;
    }

    // Enemy ships as estimated: their reach list is where they may be, out
    // of the panels they may be on at all.
    struct Enemy {
        const CVirtualPlayer* player;
        std::uint32_t id;
        const CVirtualBoard* board;
        std::uint32_t range;
        bool canAct;
    };
    std::vector<Enemy> enemies;
    for (const CVirtualPlayer* rival : GetVirtualGame()->GetRivals()) {
        for (const auto& [id, board] : rival->GetShipBoards()) {
            if (rival->IsShipSunk(id)) continue;
            Enemy e{rival, id, board.get(), 1, rival->CanShipAct(id)};
            if (const ShipProfile* p = rival->FindShipProfile(id))
                e.range = std::max<std::uint32_t>(p->Config.MoveRange, 1);
            enemies.push_back(e);
        }
    }
    auto reachList = [](const Enemy& e) { return e.board->GetCandidateCount(); };
    // Of the enemy's possible panels, those it strikes the panel from after a
    // move (reach), and those it can move onto the panel from (routes).
    auto reachOf = [](const Enemy& e, const CPanel* panel, std::uint32_t slack) {
        std::uint32_t n = 0;
        for (const CVirtualPanel* c : e.board->GetCandidates()) {
            if (c->GetPanel()->GetDistance(*panel) <= e.range + slack) ++n;
        }
        return n;
    };
    // The able ship of a side that is best placed to strike.
    auto shortest = [&](std::uint32_t unitId, bool mustAct) -> const Enemy* {
        const Enemy* found = nullptr;
        for (const Enemy& e : enemies) {
            if ((unitId != 0 && e.player->GetUnitId() != unitId) || (mustAct && !e.canAct) ||
                reachList(e) == 0)
                continue;
            if (found == nullptr || reachList(e) < reachList(*found)) found = &e;
        }
        return found;
    };

    const PlanFacts plan = FactsOf(*ship);
    const Enemy* threat = nullptr;
    if (plan.Threats.size() == 1) {
        threat = shortest(plan.Threats.front().first, false);
        if (threat != nullptr && !threat->canAct && CanPayAttack(*ship)) {
            EvaluateMainCommand(ships);
            return;
        }
    } else if (plan.Threats.size() >= 2) {
        std::uint32_t lightest = 0;
        for (const auto& [unitId, weight] : plan.Threats) {
            const Enemy* e = shortest(unitId, true);
            if (weight != 0 && e != nullptr && (threat == nullptr || weight < lightest)) {
                threat = e;
                lightest = weight;
            }
        }
        if (threat == nullptr && unit.CanShipExecuteCommand(ship->GetShipId(), Marevane::CommandAttack)) {
            EvaluateMainCommand(ships);
            return;
        }
    } else {
        threat = shortest(0, true);
    }
    if (threat == nullptr) {
        if (ships.size() > 1) {
            Reconsider(ships);
            return;
        }
        if (plan.Flags[23] && !shared.TargetHistory.empty() &&
            shared.TargetHistory.back() == shared.Target->GetUnitId()) {
            Approach(ships);
            return;
        }
        threat = shortest(0, false);
        if (threat == nullptr) {
            Reconsider(ships);
            return;
        }
    }

    // Destinations: not on an own ship, and out of reach of every enemy that
    // is nearly found.
    const CPanel* from = ship->GetCurrentPanel();
    const CVirtualBoard* own = GetVirtualGame()->GetOwnShipBoard(ship->GetShipId());
    CVirtualBoard::PanelsByValue reachable;
    if (own != nullptr) own->EvaluateMoveTargets(reachable, ship->GetProfile(), from, ship->GetMoveRange());
    std::map<const CPanel*, std::int32_t> scores;
    for (const auto& [value, panel] : reachable) {
        if (IsOwnShipOn(panel, ship) || !panel->IsPassable()) continue;
        const bool reached = std::any_of(enemies.begin(), enemies.end(), [&](const Enemy& e) {
            return reachList(e) < 9 && reachOf(e, panel, 1) > 0;
        });
        if (reached) continue;
        // Danger: the threat weighs in full, every other able enemy half.
        std::int32_t score = value;
        for (const Enemy& e : enemies) {
            if (!e.canAct || reachList(e) == 0) continue;
            const std::uint32_t n = e.board->GetPossibleCount();
            const std::uint32_t k = reachList(e);
            const std::int32_t w =
                n == 0 ? 1
                       : std::max<std::int32_t>(1, static_cast<std::int32_t>(20.0 * (double(n) - k + 1) / n));
            std::int32_t loss = static_cast<std::int32_t>(reachOf(e, panel, 1)) * w;
            if (&e != threat) loss >>= 1;
            score -= loss + static_cast<std::int32_t>(reachOf(e, panel, 0));
        }
        auto [it, fresh] = scores.emplace(panel, score);
        if (!fresh) it->second = std::max(it->second, score);
    }
    std::vector<const CPanel*> kept;
    std::int32_t top = -15;
    for (const auto& [panel, score] : scores) {
        if (score <= -15) continue;
        if (kept.empty() || score > top) {
            kept.clear();
            top = score;
        }
        if (score == top) kept.push_back(panel);
    }
    // The Move each kept panel would take, as the writer would write it.
    std::map<const CPanel*, MovePlan> moves;
    if (unit.GetLevel() >= 0 && !kept.empty()) {
        // Least exposed to the other enemies that reach far.
        auto exposure = [&](const CPanel* p) {
            std::uint32_t sum = 0;
            for (const Enemy& e : enemies) {
                const std::uint32_t r = reachOf(e, p, 1);
                if (&e != threat && e.canAct && r > 4) sum += r;
            }
            return sum;
        };
        std::uint32_t least = GetBoard()->GetRows() * GetBoard()->GetColumns();
        std::vector<const CPanel*> quiet;
        for (const CPanel* p : kept) {
            const std::uint32_t x = exposure(p);
            if (x < least) {
                least = x;
                quiet.clear();
            }
            if (x == least) quiet.push_back(p);
        }
        kept = quiet;
        // No less safe than where it stands, unless hidden: the other sides
        // keep at least as many panels to find it on after the move.
        if (!ship->IsStealthed()) {
            std::vector<const CPanel*> safe;
            for (const CPanel* p : kept) {
                MovePlan move;
                if (!PlanMove(*ship, p, move) || !KeepsSafety(*ship, move)) continue;
                moves[p] = move;
                safe.push_back(p);
            }
            kept = safe;
        }
        // Fewest open neighbours: fewer sides to be found from.
        std::uint32_t fewest = std::numeric_limits<std::uint32_t>::max();
        std::vector<const CPanel*> narrow;
        for (const CPanel* p : kept) {
            std::uint32_t open = 0;
            for (Direction d : CompassDirections()) {
                const CPanel* n = p->GetNeighbor(d);
                if (n != nullptr && n != p && n->IsPassable()) ++open;
            }
            if (open < fewest) {
                fewest = open;
                narrow.clear();
            }
            if (open == fewest) narrow.push_back(p);
        }
        kept = narrow;
    }
    if (kept.empty()) {
        if (unit.IsFlagship(ship->GetShipId()) &&
            unit.CanShipExecuteCommand(ship->GetShipId(), Marevane::CommandChangeFlagship)) {
            CommandAroundFlagship(ships);
        } else if (plan.Flags[11] && plan.Flags[22] && (ship->IsStealthed() || plan.ValueA > 2)) {
            PlanOf(*ship).Kind = 2;
            Reconsider(ships);
        } else if (ship->IsStealthed() && plan.Flags[16] && plan.Flags[23]) {
            PlanOf(*ship).Kind = 4;
            Reconsider(ships);
        } else if (plan.Flags[6]) {
            EvaluateMainCommand(ships);
        } else if (ship->CanLayMine() && WantsMineTrap() && !(plan.ValueA < 2 && plan.Flags[11])) {
            LayMineNearFlagship(ships);
        } else {
            Reconsider(ships);
        }
        return;
    }
    // The cheapest; then nearer another listed ship; then a coin.
    const CPanel* best = nullptr;
    std::uint32_t bestCost = 0;
    std::uint32_t bestNear = 0;
    for (const CPanel* p : kept) {
        const std::uint32_t cost = own != nullptr ? own->GetTravelCost(from, p, ship->GetMoveRange(), 1) : 0;
        std::uint32_t near = std::numeric_limits<std::uint32_t>::max();
        for (const CShip* other : ships) {
            if (other != ship && other->GetCurrentPanel() != nullptr)
                near = std::min(near, other->GetCurrentPanel()->GetDistance(*p));
        }
        const bool wins =
            best == nullptr || cost < bestCost ||
            (cost == bestCost && (near < bestNear || (near == bestNear && TaskRandomChance(50))));
        if (wins) {
            best = p;
            bestCost = cost;
            bestNear = near;
        }
    }
    auto planned = moves.find(best);
    const bool written =
        planned != moves.end() ? WriteMove(*ship, planned->second) : CommandMove(*ship, best);
    if (!written) Reconsider(ships);
}

bool CDecisionEngine::IsHiddenOnPanel(const CShip& ship) const
{
    const CVirtualGame* game = GetVirtualGame();
    const CVirtualBoard* own = game != nullptr ? game->GetOwnShipBoard(ship.GetShipId()) : nullptr;
    if (own == nullptr) return false;
    const CVirtualPanel* panel = own->GetVirtualPanel(ship.GetCurrentPanel());
    return panel != nullptr && panel->GetFlag() <= 0;
}

bool CDecisionEngine::KeepsSafety(const CShip& ship, const MovePlan& plan) const
{
    const CVirtualGame* game = GetVirtualGame();
    const CVirtualBoard* own = game != nullptr ? game->GetOwnShipBoard(ship.GetShipId()) : nullptr;
    if (own == nullptr) return true;
    // The others follow a ship they see move; a hidden one they lose.
    CVirtualBoard after(*own);
    after.MoveFlag(plan.Way, plan.Distance);
    return after.GetCandidateCount() >= own->GetCandidateCount();
}

// --- covering ------------------------------------------------------------------

void CDecisionEngine::Cover(ShipList& ships)
{
    Trace("Cover");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = 6;
    CUnit& unit = *GetUnit();
    if (shared.Target == nullptr) {
        Reconsider(ships);
        return;
    }
    ShipList covered;
    ShipList coverers;
    for (const auto& [id, s] : unit.GetShips()) {
        if (s->IsSinking() || !HasPlan(shared.Target->GetUnitId(), id)) continue;
        const PlanFacts p = FactsOf(*s);
        if (p.Flags[0]) continue;
        if (p.Flags[7] || p.Flags[6]) {
            covered.push_back(s);
        } else if (CanMoveNow(*s)) {
            coverers.push_back(s);
        }
    }
    // Of the coverers nobody has nearly found, a hidden one always takes the
    // place; else the strongest by hit points, then fuel.
    CShip* coverer = nullptr;
    bool hidden = false;
    for (CShip* s : coverers) {
        if (!RecordOf(*s).Threats.empty()) continue;
        if (s->IsStealthed()) {
            coverer = s;
            hidden = true;
        } else if (!hidden && (coverer == nullptr || s->GetProfile().Hp > coverer->GetProfile().Hp ||
                               (s->GetProfile().Hp == coverer->GetProfile().Hp &&
                                s->GetProfile().Fp > coverer->GetProfile().Fp))) {
            coverer = s;
        }
    }
    if (ships.size() < 2 || coverer == nullptr) {
        Reconsider(ships);
        return;
    }
    if (covered.empty()) {
        for (const auto& [id, s] : unit.GetShips()) {
            if (s != coverer && !s->IsSinking() && s->GetConfig().CanStealth && !FactsOf(*s).Flags[16]) {
                covered.push_back(s);
                break;
            }
        }
    }
    if (covered.empty()) {
        CShip* most = nullptr;
        for (const auto& [id, s] : unit.GetShips()) {
            if (s == coverer || s->IsSinking()) continue;
            if (most == nullptr || s->GetProfile().Fp > most->GetProfile().Fp ||
                (s->GetProfile().Fp == most->GetProfile().Fp && s->GetProfile().Hp < most->GetProfile().Hp))
                most = s;
        }
        if (most != nullptr) covered.push_back(most);
    }

    const CPanel* at = coverer->GetCurrentPanel();
    CShip* chosen = nullptr;
    std::vector<const CPanel*> chosenPanels;
    for (CShip* s : covered) {
        const CPanel* panel = s->GetCurrentPanel();
        if (panel == nullptr || IsNeighbour(panel, at)) continue;
        std::vector<const CPanel*> panels;
        for (Direction d : CompassDirections()) {
            const CPanel* n = panel->GetNeighbor(d);
            if (n == nullptr || n == panel || !n->IsPassable() || IsOwnShipOn(n, coverer)) continue;
            if ((n->GetX() == at->GetX()) != (n->GetY() == at->GetY())) panels.push_back(n);
        }
        if (panels.empty()) continue;
        const PlanFacts p = FactsOf(*s);
        bool replaces = chosen == nullptr;
        if (!replaces) {
            const PlanFacts q = FactsOf(*chosen);
            replaces = (p.Flags[8] || (p.Flags[7] && !q.Flags[8]) || (p.Flags[6] && !q.Flags[7])) &&
                       (p.ValueC > q.ValueC || s->CanLayMine());
        }
        if (replaces) {
            chosen = s;
            chosenPanels = panels;
        }
    }
    if (chosenPanels.empty()) {
        Reconsider(ships);
        return;
    }
    // The cheapest panels by the route cost of the strength.
    const CVirtualBoard* own = GetVirtualGame()->GetOwnShipBoard(coverer->GetShipId());
    const std::uint32_t range = coverer->GetMoveRange();
    const std::uint32_t status = coverer->GetProfile().Status;
    const CVirtualBoard* covering = GetVirtualGame()->GetOwnShipBoard(chosen->GetShipId());
    std::vector<const CPanel*> cheapest;
    std::uint32_t least = 0;
    for (const CPanel* p : chosenPanels) {
        std::uint32_t cost = CVirtualBoard::NoCost;
        if (own != nullptr) {
            cost = unit.GetLevel() < 0 || covering == nullptr
                       ? own->GetTravelCost(at, p, range, status)
                       : covering->GetSimulatedTravelCost(*own, at, p, range, status);
        }
        if (cheapest.empty() || cost < least) {
            cheapest.clear();
            least = cost;
        }
        if (cost == least) cheapest.push_back(p);
    }
    if (!CommandMove(*coverer, Draw(cheapest))) Reconsider(ships);
}

// --- refuelling ----------------------------------------------------------------

void CDecisionEngine::MoveForRefuelling(ShipList& ships, CShip* ship)
{
    Trace("MoveForRefuelling");
    CAISharedData& shared = *GetSharedData();
    shared.DecisionKind = shared.DecisionKind == 21 ? 21 : 7;
    CUnit& unit = *GetUnit();
    const std::uint32_t kind = shared.DecisionKind;
    if (ship == nullptr && shared.Target != nullptr) {
        for (CShip* s : ships) {
            if (HasPlan(shared.Target->GetUnitId(), s->GetShipId()) && PlanOf(*s).Kind == kind) {
                ship = s;
                break;
            }
        }
    }
    ShipList partners;
    if (ship != nullptr) {
        if (IsAbleOiler(*ship)) {
            for (const auto& [id, s] : unit.GetShips()) {
                if (s != ship && !s->IsSinking() && CanTakeRefuel(*s, *ship)) partners.push_back(s);
            }
        } else {
            for (CShip* s : ships) {
                if (s != ship && IsAbleOiler(*s)) partners.push_back(s);
            }
        }
    }
    auto toEscape = [&]() {
        if (ships.size() == 1 && shared.Target != nullptr &&
            HasPlan(shared.Target->GetUnitId(), ships[0]->GetShipId()))
            PlanOf(*ships.front()).Kind = 5;
        Reconsider(ships);
    };
    if (ship == nullptr || partners.empty()) {
        toEscape();
        return;
    }
    const CPanel* from = ship->GetCurrentPanel();
    // Next to a partner already: the partner takes over and refuels.
    for (CShip* partner : partners) {
        if (!IsNeighbour(partner->GetCurrentPanel(), from)) continue;
        if (shared.Target != nullptr && HasPlan(shared.Target->GetUnitId(), partner->GetShipId())) {
            PlanRecord& own = PlanOf(*ship);
            PlanRecord& other = PlanOf(*partner);
            const Figures figures = ReadFigures();
            own.Kind = 21;
            other.Kind = figures.Level >= 3 && figures.Balance >= 2 ? 20 : 19;
            other.Priority = own.Priority;
            own.Priority = 0xFFFFFFFFu;
        }
        Reconsider(ships);
        return;
    }
    if (!CanMoveNow(*ship)) {
        toEscape();
        return;
    }
    // The first step towards the panel beside each partner that the route
    // search proposes, counted by the listed ships it would stand next to.
    CVirtualGame& game = *GetVirtualGame();
    const CVirtualBoard* own = game.GetOwnShipBoard(ship->GetShipId());
    const std::uint32_t range = ship->GetMoveRange();
    const std::uint32_t status = ship->GetProfile().Status;
    const bool plain = unit.GetLevel() < 0;
    const bool refuels = ship->CanExecute(Marevane::CommandRefuel, 1);
    std::map<const CPanel*, std::pair<std::int32_t, std::uint32_t>> steps;
    for (CShip* partner : partners) {
        if (own == nullptr || range == 0) break;
        // The partner's panel as the one panel to approach.
        CVirtualBoard goal(*own);
        goal.SetRingFlag(partner->GetCurrentPanel(), 0);
        const CPanel* destination = goal.ChooseApproachPanel(*own, from, range, status);
        if (destination == nullptr || destination == from) continue;
        const std::uint32_t cost = plain
                                       ? own->GetTravelCost(from, destination, range, status)
                                       : goal.GetSimulatedTravelCost(*own, from, destination, range, status);
        const CPanel* first = own->ChooseWaypoint(from, destination);
        if (first == nullptr) first = destination;
        if (first == from) continue;
        std::int32_t count = 1;
        for (CShip* s : ships) {
            if (s != ship && refuels && s->GetCurrentPanel() != nullptr &&
                IsNeighbour(s->GetCurrentPanel(), first))
                ++count;
        }
        auto [it, fresh] = steps.emplace(first, std::make_pair(count, cost));
        if (!fresh) it->second.second = std::min(it->second.second, cost);
    }
    // Steps where the enemies may look count less, unless the ship is hidden.
    if (!ship->IsStealthed() && !ships.empty() && !steps.empty()) {
        std::map<const CPanel*, std::int32_t> watched;
        for (const CVirtualPlayer* rival : game.GetRivals()) {
            const CVirtualBoard* secondary = rival->GetSecondaryBoard();
            if (secondary == nullptr || !rival->IsAlive()) continue;
            CVirtualBoard::PanelsByValue reachable;
            secondary->EvaluateMoveTargets(reachable, ship->GetProfile(), from, range);
            for (const auto& [value, panel] : reachable) {
                auto [it, fresh] = watched.emplace(panel, value);
                if (!fresh) it->second = std::min(it->second, value);
            }
        }
        for (auto& [panel, value] : steps) {
            auto it = watched.find(panel);
            if (it != watched.end()) value.first += it->second;
        }
    }
    if (steps.empty()) {
        toEscape();
        return;
    }
    const CPanel* best = nullptr;
    std::pair<std::int32_t, std::uint32_t> bestValue{0, 0};
    for (const auto& [panel, value] : steps) {
        const bool wins =
            best == nullptr || value.first > bestValue.first ||
            (value.first == bestValue.first &&
             (value.second < bestValue.second || (value.second == bestValue.second && TaskRandomCoin())));
        if (wins) {
            best = panel;
            bestValue = value;
        }
    }
    if (!CommandMove(*ship, best)) Reconsider(ships);
}

std::vector<CDecisionEngine::RefuelEntry> CDecisionEngine::RefuelPartnersOf(CShip& oiler) const
{
    std::vector<RefuelEntry> entries;
    for (const auto& [id, s] : GetUnit()->GetShips()) {
        if (s == &oiler || s->IsSinking()) continue;
        RefuelEntry entry{&oiler, s, nullptr};
        // The oiler refuels its neighbours that are no oilers and not hidden.
        if (IsNeighbour(oiler.GetCurrentPanel(), s->GetCurrentPanel()) && !s->GetConfig().CanRefuel &&
            !(s->IsStealthed() && s->GetConfig().CanStealth) && CanTakeRefuel(*s, oiler))
            entry.Ship = s;
        entries.push_back(entry);
    }
    return entries;
}

std::uint32_t CDecisionEngine::RefuelClass(const CShip& partner, const ShipRecord& record, const CShip* best,
                                           const ShipRecord& bestRecord) const
{
    const bool alert = record.Alert1 || record.Alert2 || record.Alert3;
    const bool capable = partner.GetConfig().CanStealth;
    const bool stealthed = partner.IsStealthed();
    const std::int32_t hp = partner.GetProfile().Hp;
    const std::uint32_t fp = partner.GetProfile().Fp;
    if (capable && fp * 3 <= partner.GetConfig().Fp && (alert || ReadFigures().Balance >= 1)) return 0;
    const bool known = best != nullptr;
    const std::int32_t bestHp = known ? best->GetProfile().Hp : 0;
    const bool more = known && hp > bestHp;
    const bool equal = known && hp == bestHp;
    if (more && record.Alert1 && record.ReachValue > bestRecord.ReachValue) return 1;
    if (equal && record.Alert1 && record.ReachValue > bestRecord.ReachValue) return 2;
    if (capable && alert) return 3;
    if (stealthed && alert && more) return 4;
    if (stealthed && alert && equal) return 5;
    if (stealthed && alert) return 6;
    if (stealthed || capable) return 7;
    const bool cheaper = known && partner.GetConfig().AttackFp < best->GetConfig().AttackFp;
    if (more && cheaper && record.Mark) return 8;
    if (equal && cheaper && record.Mark) return 9;
    // A route cost counts only for a ship that is on its way.
    const std::uint32_t route = record.Alert3 ? record.RouteCost : 0xFFFFFFFFu;
    const std::uint32_t bestRoute = bestRecord.Alert3 ? bestRecord.RouteCost : 0xFFFFFFFFu;
    if (more && route < bestRoute) return 10;
    if (equal && route < bestRoute) return 11;
    return 12;
}

namespace {

// The listed oilers the assessment found able to refuel; else those the
// refuelling search marked.
CDecisionEngine::ShipList RefuellingOilers(const CDecisionEngine& engine,
                                           const CDecisionEngine::ShipList& ships)
{
    CDecisionEngine::ShipList oilers;
    const CAISharedData& shared = *engine.GetSharedData();
    for (CShip* s : ships) {
        if (shared.Target != nullptr && engine.HasPlan(shared.Target->GetUnitId(), s->GetShipId()) &&
            engine.FactsOf(*s).Flags[19] && IsAbleOiler(*s))
            oilers.push_back(s);
    }
    if (oilers.empty()) {
        for (CShip* s : ships) {
            if (IsAbleOiler(*s) && !s->IsSinking() && engine.RecordOf(*s).RefuelReady) oilers.push_back(s);
        }
    }
    return oilers;
}

} // namespace

void CDecisionEngine::RefuelForDefence(ShipList& ships)
{
    Trace("RefuelForDefence");
    GetSharedData()->DecisionKind = 20;
    const RefuelEntry* best = nullptr;
    ShipRecord bestRecord;
    std::vector<RefuelEntry> entries;
    for (CShip* oiler : RefuellingOilers(*this, ships)) {
        for (const RefuelEntry& e : RefuelPartnersOf(*oiler)) entries.push_back(e);
    }
    for (const RefuelEntry& e : entries) {
        const ShipRecord record = RecordOf(*e.Partner);
        bool wins = best == nullptr;
        if (!wins) {
            const ShipProfile& a = e.Partner->GetProfile();
            const ShipProfile& b = best->Partner->GetProfile();
            if (a.Hp != b.Hp) {
                wins = a.Hp > b.Hp;
            } else if (a.Config.AttackFp != b.Config.AttackFp) {
                wins = a.Config.AttackFp < b.Config.AttackFp;
            } else if (record.ReachValue != bestRecord.ReachValue) {
                wins = record.ReachValue > bestRecord.ReachValue;
            } else {
                wins = record.ReachEntries < bestRecord.ReachEntries;
            }
        }
        if (wins) {
            best = &e;
            bestRecord = record;
        }
    }
    if (best == nullptr || best->Ship == nullptr || !CommandRefuel(*best->Oiler, *best->Ship))
        Reconsider(ships);
}

void CDecisionEngine::RefuelPartner(ShipList& ships)
{
    Trace("RefuelPartner");
    GetSharedData()->DecisionKind = 19;
    const RefuelEntry* best = nullptr;
    ShipRecord bestRecord;
    std::uint32_t bestClass = 0;
    std::vector<RefuelEntry> entries;
    for (CShip* oiler : RefuellingOilers(*this, ships)) {
        for (const RefuelEntry& e : RefuelPartnersOf(*oiler)) entries.push_back(e);
    }
    for (const RefuelEntry& e : entries) {
        const CShip& s = *e.Partner;
        const ShipRecord record = RecordOf(s);
        const CShip* current = best != nullptr ? best->Partner : nullptr;
        const std::uint32_t c = RefuelClass(s, record, current, bestRecord);
        bool wins = best == nullptr || c < bestClass;
        if (!wins && c == bestClass) {
            const bool hidden = s.IsStealthed() || s.GetConfig().CanStealth;
            const bool bestHidden = current->IsStealthed() || current->GetConfig().CanStealth;
            wins = (hidden && !bestHidden) || s.GetProfile().Hp > current->GetProfile().Hp ||
                   record.ReachValue > bestRecord.ReachValue || record.ReachEntries < bestRecord.ReachEntries;
        }
        if (wins) {
            best = &e;
            bestRecord = record;
            bestClass = c;
        }
    }
    if (best != nullptr && best->Ship != nullptr && CommandRefuel(*best->Oiler, *best->Ship)) return;
    // The oiler has no one beside it to refuel now: it refuels for defence
    // when the search comes back to it.
    if (best != nullptr && best->Ship == nullptr) GetVirtualGame()->MarkRefuelReady(best->Oiler->GetShipId());
    Reconsider(ships);
}

} // namespace Marevane::ComputerAI
