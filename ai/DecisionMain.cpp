// The main command evaluation (attack pairs ranked by class, or pursuit) and
// the attack-or-torpedo choice by range.
#include "ai/DecisionEngine.h"

#include "ai/DirectionOrder.h"
#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Directions.h"
#include "model/Errors.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Torpedo.h"
#include "model/Unit.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <set>
#include <string>
#include <unordered_map>

namespace Marevane::ComputerAI {

namespace {

template <typename T> const T& Draw(const std::vector<T>& items)
{
    return items[TaskRandomUInt(0, static_cast<std::uint32_t>(items.size() - 1))];
}

// Panels between two panels for an attack: 1 next to it.
std::uint32_t AttackDistance(const CPanel* a, const CPanel* b)
{
    const std::int64_t dr = static_cast<std::int64_t>(a->GetX()) - b->GetX();
    const std::int64_t dc = static_cast<std::int64_t>(a->GetY()) - b->GetY();
    return static_cast<std::uint32_t>(std::max(std::llabs(dr), std::llabs(dc)));
}

bool IsUsableSide(const CVirtualPlayer& player, std::uint32_t ownId)
{
    const UnitProfile* profile = player.GetProfile();
    if (player.GetUnitId() == ownId || profile == nullptr || profile->IsResigned || profile->IsTimedOut)
        return false;
    return player.IsAlive();
}

// Fuel a ship keeps after paying one attack.
std::int64_t FuelAfterAttack(const CShip& ship)
{
    return static_cast<std::int64_t>(ship.GetProfile().Fp) -
           static_cast<std::int64_t>(ship.GetConfig().AttackFp);
}

struct Candidate {
    CVirtualPlayer* player = nullptr;
    std::uint32_t enemyId = 0;
    CShip* attacker = nullptr;
    std::uint32_t d = 0;
    std::uint32_t k = 0;
    std::uint32_t priorityClass = 0;
    std::int32_t enemyWord = 0;
    double ratio = 0.0;
    double score = 0.0;
};

} // namespace

bool CompareRangeKeys(std::int32_t k1, std::int32_t k2, std::int32_t k3, std::int32_t k4)
{
    for (std::int32_t key : {k1, k2, k3, k4}) {
        if (key > 0) return true;
        if (key < 0) return false;
    }
    return TaskRandomCoin();
}

std::uint32_t RangeRefinementChance(const std::wstring& rangeClass, const std::wstring& outcome)
{
    // Only the third weight of a row is read: the chance of refining the aim.
    static const std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::uint32_t>> table =
        [] {
            std::unordered_map<std::wstring, std::unordered_map<std::wstring, std::uint32_t>> t;
            t.max_load_factor(1.0f);
            t[L"short"] = {{L"hit", 5}, {L"narrow", 0}, {L"uncertain", 0}};
            t[L"medium"] = {{L"hit", 5}, {L"narrow", 0}, {L"uncertain", 0}};
            t[L"long"] = {{L"hit", 30}, {L"narrow", 0}, {L"uncertain", 0}};
            return t;
        }();
    auto row = table.find(rangeClass);
    if (row == table.end()) throw std::out_of_range(MissingKeyText);
    auto cell = row->second.find(outcome);
    if (cell == row->second.end()) throw std::out_of_range(MissingKeyText);
    return std::min<std::uint32_t>(cell->second, 100);
}

std::wstring RangeClassOf(std::uint32_t manhattan)
{
    if (manhattan <= 3) return L"short";
    if (manhattan <= 5) return L"medium";
    return L"long";
}

void CDecisionEngine::EvaluateMainCommand(ShipList& ships)
{
    Trace("EvaluateMainCommand");
    CAISharedData& shared = *GetSharedData();
    CUnit& unit = *GetUnit();
    CVirtualGame& game = *GetVirtualGame();

    ShipList attackers;
    for (CShip* ship : ships) {
        if (CanPayAttack(*ship)) attackers.push_back(ship);
    }
    if (attackers.empty()) {
        Reconsider(ships);
        return;
    }

    // Step 2: pairs of an attacker and an enemy ship it may reach now.
    std::vector<std::vector<Candidate>> vectors;
    for (const auto& [playerId, owned] : game.GetPlayers()) {
        CVirtualPlayer& player = *owned;
        if (!IsUsableSide(player, unit.GetId()) || player.IsTeamMate()) continue;
        const bool flagshipSinking = player.IsFlagshipSunk();
        std::vector<Candidate> candidates;
        std::size_t bestIndex = 0;
        std::uint32_t bestClass = 0xFFFFFFFFu;
        candidates.reserve(attackers.size() * player.GetShipBoards().size());
        for (const auto& [enemyId, board] : player.GetShipBoards()) {
            if (player.IsShipSunk(enemyId) || board->GetCandidates().empty()) continue;
            const std::uint32_t k = board->GetCandidateCount();
            const ShipProfile* profile = player.FindShipProfile(enemyId);
            const std::int32_t w = profile != nullptr ? profile->Hp : 0;
            const std::int32_t typeHp =
                profile != nullptr ? static_cast<std::int32_t>(profile->Config.Hp) : 0;
            const bool valid = player.CanShipAct(enemyId) && player.FindShipType(enemyId) != ShipTypeOiler;
            for (CShip* attacker : attackers) {
                std::uint32_t d = 0xFFFFFFFFu;
                for (const CVirtualPanel* c : board->GetCandidates())
                    d = std::min(d, AttackDistance(attacker->GetCurrentPanel(), c->GetPanel()));
                if ((d != 1 && d != 2) || k >= 3) continue;
                PairInputs in;
                in.R = ReadFacts(GetPlan(player.GetUnitId(), attacker->GetShipId()));
                const PlanFacts& r = in.R;
                in.Hit = player.ShouldAttack(*attacker, enemyId);
                in.Low = w < typeHp && d == 1;
                in.One = w == 1;
                in.D = d;
                in.K = k;
                std::uint32_t c = PairClass(in);
                if (!valid) c += game.GetInferenceTable().GetKindWord() == 1 ? 17 : 6;
                if (flagshipSinking) c += 20;
                if (candidates.empty()) {
                    bestIndex = 0;
                    bestClass = c;
                } else {
                    // A hidden flagship that could not get away again keeps hidden.
                    if (unit.IsFlagship(attacker->GetShipId()) && attacker->GetConfig().CanStealth &&
                        attacker->IsStealthed() && !r.CanMoveAndAttack)
                        continue;
                    if (k != 1) c += 5; // not pinned to one panel
                    Candidate& b = candidates[bestIndex];
                    if ((b.enemyId == enemyId && b.attacker != attacker) || (c == 0 && bestClass == 0)) {
                        // Of two attackers for one enemy the one keeping more fuel goes first.
                        const std::int64_t mine = FuelAfterAttack(*attacker);
                        const std::int64_t theirs = FuelAfterAttack(*b.attacker);
                        if (mine > theirs) {
                            bestClass = c;
                            b.priorityClass = c + 1;
                            bestIndex = candidates.size();
                        } else if (mine == theirs && w < b.enemyWord && c < b.priorityClass) {
                            c = b.priorityClass + 1;
                        }
                    } else if (c < bestClass) {
                        bestClass = c;
                    }
                }
                Candidate cand;
                cand.player = &player;
                cand.enemyId = enemyId;
                cand.attacker = attacker;
                cand.d = d;
                cand.k = k;
                cand.priorityClass = c;
                cand.enemyWord = w;
                const std::uint32_t total = board->GetPossibleCount();
                cand.ratio = total == 0 ? 1.0 : static_cast<double>(k) / total;
                candidates.push_back(cand);
            }
        }
        if (!candidates.empty()) vectors.push_back(std::move(candidates));
    }

    if (vectors.empty()) {
        // Step 3a: pursuit.
        shared.DecisionKind = 1;
        CVirtualPlayer* target = shared.Target;
        std::uint32_t targetShip = 0;
        std::uint32_t bestCount = GetBoard()->GetRows() * GetBoard()->GetColumns();
        std::uint32_t largestCount = 0;
        if (target != nullptr) {
            for (const auto& [id, board] : target->GetShipBoards()) {
                if (target->IsShipSunk(id)) continue;
                const std::uint32_t count = board->GetCandidateCount();
                if (board->GetTrackedShipStatus() != ShipStatusStealth)
                    largestCount = std::max(largestCount, count);
                if (count == 0) continue;
                if (targetShip == 0 || count < bestCount || (count > 2 && bestCount < 3)) {
                    targetShip = id;
                    bestCount = count;
                }
            }
        }
        if (targetShip == 0) {
            if (HasRescuableSinkingShip(unit)) {
                ShipList sinking = GetSinkingShipsRanked();
                DefendSinkingShip(sinking);
                return;
            }
            for (const auto& [id, ship] : unit.GetShips()) {
                if (CanFireTorpedo(unit, id)) {
                    ChooseRangeCommand(ships);
                    return;
                }
            }
            if (HasReadyStealthShip()) {
                Approach(ships);
            } else {
                MoveSimply(ships);
            }
            return;
        }
        ChooseTargetByLevel(ships, attackers, *target, targetShip, bestCount, largestCount);
        return;
    }

    // Step 3b: the best-scoring pair, aimed at the likeliest panel beside it,
    // or first at a ship that one hit sinks.
    shared.DecisionKind = 2;
    using PanelTable = std::map<const CPanel*, std::vector<std::pair<CVirtualPlayer*, std::uint32_t>>>;
    std::vector<std::pair<CVirtualPlayer*, std::uint32_t>> oneHit;
    std::vector<std::pair<CVirtualPlayer*, std::uint32_t>> oneHitNotSingle;
    PanelTable panels;
    PanelTable stealthPanels;
    std::vector<std::vector<Candidate>*> stealthSet;
    for (std::vector<Candidate>& candidates : vectors) {
        CVirtualPlayer& player = *candidates.front().player;
        const bool hidden = std::any_of(candidates.begin(), candidates.end(), [](const Candidate& c) {
            return c.player->GetBoard(c.enemyId)->GetTrackedShipStatus() == ShipStatusStealth;
        });
        std::uint32_t largest = 0;
        for (const Candidate& c : candidates) largest = std::max(largest, c.priorityClass);
        for (Candidate& c : candidates) {
            c.score = largest == 0 ? c.ratio : c.ratio * (1.0 - double(c.priorityClass) / (largest + 1));
        }
        for (const auto& [id, board] : player.GetShipBoards()) {
            if (player.IsShipSunk(id)) continue;
            const ShipProfile* profile = player.FindShipProfile(id);
            if (profile != nullptr && profile->Hp == 1) {
                oneHit.emplace_back(&player, id);
                if (profile->Config.Hp != 1) oneHitNotSingle.emplace_back(&player, id);
            }
            for (const CVirtualPanel* c : board->GetCandidates()) {
                panels[c->GetPanel()].emplace_back(&player, id);
                if (hidden) stealthPanels[c->GetPanel()].emplace_back(&player, id);
            }
        }
        if (hidden) stealthSet.push_back(&candidates);
    }
    // How likely the enemies that may stand on a panel are to stand there.
    auto valueOf = [&](const CPanel* p, std::int32_t& value) {
        if (p == nullptr || p->GetType() == PanelBoundary || p->IsReefKnownTo(unit.GetId())) return false;
        value = 0;
        auto entry = panels.find(p);
        if (entry == panels.end()) return true;
        for (const auto& [player, id] : entry->second) {
            if (const CVirtualPanel* v = player->GetBoard(id)->GetVirtualPanel(p)) value += v->GetFlag();
        }
        return true;
    };
    auto isNeighbour = [](const CPanel* from, const CPanel* p) {
        if (from == nullptr || p == nullptr || from == p) return false;
        return from->GetNeighbor(GetOffsetDirection(from->GetOffsetTo(p->GetPos()))) == p;
    };

    const Candidate* best = nullptr;
    const CPanel* panel = nullptr;
    const auto& hitList = oneHit.empty() ? oneHitNotSingle : oneHit;
    if (!hitList.empty() && static_cast<std::int32_t>(unit.GetProfile().Level) >= 0) {
        const CPanel* aim = nullptr;
        std::int32_t aimValue = 0;
        std::set<const CPanel*> seen;
        for (const auto& [player, id] : hitList) {
            for (const CVirtualPanel* c : player->GetBoard(id)->GetCandidates()) {
                const CPanel* p = c->GetPanel();
                std::int32_t value = 0;
                if (!seen.insert(p).second || !valueOf(p, value)) continue;
                if (aim == nullptr || value > aimValue) {
                    aim = p;
                    aimValue = value;
                }
            }
        }
        auto search = [&](const PanelTable& table, const std::vector<std::vector<Candidate>*>& within) {
            auto entry = table.find(aim);
            if (entry == table.end() || entry->second.empty()) return;
            for (const std::vector<Candidate>* candidates : within) {
                for (const Candidate& c : *candidates) {
                    if (isNeighbour(c.attacker->GetCurrentPanel(), aim) && c.score > -0.0001 &&
                        (best == nullptr || c.score > best->score))
                        best = &c;
                }
            }
        };
        if (aim != nullptr) {
            search(stealthPanels, stealthSet);
            if (best == nullptr) {
                std::vector<std::vector<Candidate>*> all;
                for (std::vector<Candidate>& candidates : vectors) all.push_back(&candidates);
                search(panels, all);
            }
            if (best != nullptr) panel = aim;
        }
    }
    if (best == nullptr) {
        for (const std::vector<Candidate>& candidates : vectors) {
            for (const Candidate& c : candidates) {
                if (c.score > -0.0001 && (best == nullptr || c.score > best->score)) best = &c;
            }
        }
        if (best == nullptr) {
            Reconsider(ships);
            return;
        }
        const CPanel* from = best->attacker->GetCurrentPanel();
        std::int32_t bestValue = 0;
        for (Direction d : CompassDirections()) {
            const CPanel* n = from->GetNeighbor(d);
            std::int32_t value = 0;
            if (!isNeighbour(from, n) || !valueOf(n, value) || value < 0) continue;
            if (panel == nullptr || value > bestValue) {
                panel = n;
                bestValue = value;
            }
        }
    }
    if (unit.IsFlagship(best->attacker->GetShipId()) && best->attacker->GetConfig().CanStealth &&
        best->attacker->IsStealthed() && !PlanOf(*best->attacker).IsLastHitPoint &&
        ReadFigures().OwnerCount >= 2) {
        CommandAroundFlagship(ships);
        return;
    }
    if (panel == nullptr || !CommandAttackAt(*best->attacker, panel)) Reconsider(ships);
}

const CPanel* CDecisionEngine::RefineRangeTarget(const ShipList& ships,
                                                 const std::vector<const CVirtualBoard*>& candidates,
                                                 const CVirtualBoard* chosenEnemy, CShip*& chosenShip,
                                                 const CPanel* aim)
{
    CUnit& unit = *GetUnit();
    const CVirtualPlayer* target = GetSharedData()->Target;
    auto lists = [](const CVirtualBoard& board, const CPanel* p) {
        const CVirtualPanel* v = board.GetVirtualPanel(p);
        return v != nullptr && v->GetFlag() > 0;
    };
    // Panels next to an own ship where a nearly found enemy may be.
    std::vector<std::pair<CShip*, const CPanel*>> near;
    std::map<const CVirtualBoard*, std::uint32_t> nearCount;
    if (target != nullptr) {
        for (CShip* s : ships) {
            if (unit.IsFlagship(s->GetShipId()) || s->IsSinking()) continue;
            for (const auto& [id, board] : target->GetShipBoards()) {
                const std::uint32_t k = board->GetCandidateCount();
                if (k < 1 || k > 2 || target->IsShipSunk(id)) continue;
                for (Direction d : MoveDirections()) {
                    const CPanel* n = s->GetCurrentPanel()->GetNeighbor(d);
                    if (n != nullptr && n != s->GetCurrentPanel() && lists(*board, n)) {
                        near.emplace_back(s, n);
                        nearCount[board.get()] += 1;
                    }
                }
            }
        }
    }
    // Panels in line with the aim, up to the edge.
    std::vector<const CPanel*> line;
    for (Direction d : MoveDirections()) {
        const CPanel* p = aim;
        for (;;) {
            const CPanel* n = p->GetNeighbor(d);
            if (n == nullptr || n == p || n->GetType() == PanelBoundary) break;
            p = n;
            if (p != chosenShip->GetCurrentPanel() && (!p->IsKnownBy(unit.GetId()) || p->IsPassable()))
                line.push_back(p);
        }
    }
    // Line panels another enemy that is nearly found may be on.
    std::vector<const CPanel*> sharedPanels;
    for (const CPanel* p : line) {
        for (const CVirtualBoard* e : candidates) {
            const std::uint32_t k = e->GetCandidateCount();
            if (e != chosenEnemy && k >= 1 && k <= 4 && lists(*e, p)) sharedPanels.push_back(p);
        }
    }
    const std::uint32_t inFlight = unit.CountTorpedoes();
    if (inFlight != 0 && !near.empty() &&
        (sharedPanels.empty() || TaskRandomUInt(0, 99) < std::min<std::uint32_t>(100, (inFlight + 4) * 5))) {
        const auto& [ship, panel] = Draw(near);
        chosenShip = ship;
        return panel;
    }
    if (line.empty()) return aim;
    if (sharedPanels.empty()) {
        sharedPanels = line;
        if (chosenEnemy != nullptr && chosenEnemy->GetCandidateCount() == 1 && nearCount[chosenEnemy] != 0 &&
            chosenEnemy->GetTrackedProfile() != nullptr) {
            const ShipProfile& enemy = *chosenEnemy->GetTrackedProfile();
            const CPanel* at = chosenEnemy->GetCandidates().front()->GetPanel();
            CVirtualBoard::PanelsByValue reachable;
            chosenEnemy->EvaluateMoveTargets(reachable, enemy, at,
                                             std::max<std::uint32_t>(enemy.Config.MoveRange, 1));
            if (!reachable.empty()) {
                const std::int32_t top = reachable.rbegin()->first;
                std::vector<const CPanel*> best;
                bool ownAmong = false;
                for (auto it = reachable.equal_range(top).first; it != reachable.end(); ++it) {
                    if (it->second == chosenShip->GetCurrentPanel())
                        ownAmong = true;
                    else if (std::find(best.begin(), best.end(), it->second) == best.end())
                        best.push_back(it->second);
                }
                if (!best.empty() && !(ownAmong && best.size() < 2)) sharedPanels = best;
            }
        }
    }
    return Draw(sharedPanels);
}

namespace {

// 0: the fuel pays no attack; 1: three or more, or no fuel is used; 2: two; 3: one.
std::uint32_t FuelWordOf(const CShip& ship)
{
    const std::uint32_t cost = ship.GetConfig().AttackFp;
    if (ship.GetConfig().Fp == 0 || cost == 0) return 1;
    const std::uint32_t attacks = ship.GetProfile().Fp / cost;
    return attacks >= 3 ? 1 : attacks == 2 ? 2 : attacks == 1 ? 3 : 0;
}

bool IsHiddenFlagship(const CUnit& unit, const CShip& ship, bool lastHitPoint)
{
    return unit.IsFlagship(ship.GetShipId()) && ship.GetConfig().CanStealth && ship.IsStealthed() &&
           !lastHitPoint;
}

} // namespace

bool CDecisionEngine::PrefersPursuit(const PursuitChoice& n, const PursuitChoice& c) const
{
    if (n.Class != c.Class) return n.Class < c.Class;
    // Reserve is kept signed: a reserve below the attack cost is no reserve.
    const std::int64_t reserveN = std::int64_t(n.Facts.ReserveWord) - n.Attacker->GetConfig().AttackFp;
    const std::int64_t reserveC = std::int64_t(c.Facts.ReserveWord) - c.Attacker->GetConfig().AttackFp;
    if (n.Class == 0) {
        const bool nReady = n.Facts.FlagD || n.Facts.FlagE;
        const bool cReady = c.Facts.FlagD || c.Facts.FlagE;
        if (nReady != cReady) return nReady;
        return n.Facts.PositionWord < c.Facts.PositionWord ||
               (n.Facts.PositionWord == c.Facts.PositionWord && reserveN > reserveC);
    }
    if (n.HitPoints != c.HitPoints) return n.HitPoints > c.HitPoints;
    if (n.Reach != c.Reach) return n.Reach > c.Reach;
    if (reserveN > reserveC) return true;
    const std::int32_t level = ReadFigures().Level;
    if (level >= 2) {
        std::uint64_t fuel = 0;
        std::uint64_t maximum = 0;
        for (const auto& [id, ship] : GetUnit()->GetShips()) {
            fuel += ship->GetProfile().Fp;
            maximum += ship->GetConfig().Fp;
        }
        if (fuel < maximum / 3) return n.Attacker->GetConfig().AttackFp < c.Attacker->GetConfig().AttackFp;
    }
    if (level == 0) {
        if (reserveN != reserveC) return reserveN > reserveC;
    } else {
        if (reserveN == reserveC && n.Facts.WordZ != c.Facts.WordZ) return n.Facts.WordZ < c.Facts.WordZ;
        if (reserveN < reserveC) return false;
    }
    return TaskRandomUInt(0, 99) < 25;
}

void CDecisionEngine::ChooseTargetByLevel(ShipList& ships, const ShipList& attackers, CVirtualPlayer& target,
                                          std::uint32_t firstTarget, std::uint32_t bestCount,
                                          std::uint32_t largestCount)
{
    CUnit& unit = *GetUnit();
    const std::int32_t mode = static_cast<std::int32_t>(unit.GetProfile().Level);
    const Figures figures = ReadFigures();
    const std::vector<const ResultMessage*> log = GetLog();
    const bool hasResults = !log.empty();
    constexpr std::uint32_t Unset = 0xFFFFFFFFu;

    std::map<std::uint32_t, PursuitChoice> kept;
    for (const auto& [id, owned] : target.GetShipBoards()) {
        const CVirtualBoard& t = *owned;
        if (target.IsShipSunk(id) || t.GetCandidates().empty()) continue;
        const std::uint32_t position = t.GetTrackedShipStatus();
        const std::uint32_t n = t.GetCandidateCount();
        const bool usable = position != ShipStatusFuelShortage;
        const bool named = t.IsTrackedShipExposed();
        PursuitChoice cur;
        for (CShip* attacker : attackers) {
            PursuitChoice cand;
            cand.Attacker = attacker;
            cand.Reach = t.GetBestScoreAround(attacker->GetCurrentPanel(), position);
            cand.FuelLeft = FuelAfterAttack(*attacker);
            cand.PanelFigure = t.GetNeighborFlagSum(attacker->GetCurrentPanel());
            const PlanRecord& record = GetPlan(target.GetUnitId(), attacker->GetShipId());
            cand.Facts = ReadFacts(record);
            cand.HitPoints = cand.Facts.ValueC;
            if (mode < 0) {
                if (cur.Attacker == nullptr || cand.Reach > cur.Reach ||
                    (cand.Reach == cur.Reach && cand.FuelLeft > cur.FuelLeft)) {
                    cur = cand;
                } else if (!hasResults && TaskRandomUInt(0, 99) < 50) {
                    cur = cand;
                }
                continue;
            }
            const PursuitChoice& b = cur.Attacker != nullptr ? cur : cand;
            const std::uint32_t h = cand.HitPoints;
            const std::uint32_t fuel = FuelWordOf(*attacker);
            const bool flagB = cand.Facts.FlagB;
            const bool flagE = cand.Facts.FlagE;
            const std::uint32_t reach = cand.Reach;
            const std::int32_t v = cand.PanelFigure;
            std::uint32_t c = Unset;
            if (figures.Level == 0) {
                if (n >= 1 && n <= 5 && usable && flagB && h <= 4 && (fuel == 1 || fuel == 2))
                    c = 0;
                else if (n >= 1 && usable && flagB && h <= 4 && position == ShipStatusStealth && named &&
                         fuel >= 1 && fuel <= 3)
                    c = 0;
                else if (reach > b.Reach && h > b.HitPoints)
                    c = 1;
                else if (reach == b.Reach && h > b.HitPoints)
                    c = 2;
                else if (reach > b.Reach && h > 4)
                    c = 3;
                else if (reach == b.Reach && h > 4)
                    c = 4;
                else if (reach > b.Reach && v > b.PanelFigure)
                    c = 5;
                else if (reach > b.Reach)
                    c = 6;
                else if (reach == b.Reach && v > b.PanelFigure)
                    c = 7;
                else if (reach == b.Reach)
                    c = 8;
                else
                    c = 9;
                if (unit.IsFlagship(attacker->GetShipId())) c += 7;
            } else if (figures.Level == 2 || figures.Level == 4) {
                const std::uint32_t spread = t.GetPossibleCount();
                const bool listed = !t.GetCandidates().empty();
                const bool fuelOk = fuel >= 1 && fuel <= 3;
                const bool row2 = n >= 1 && n <= 4 && usable && flagB && flagE && h < 3 && fuelOk;
                if ((cand.Facts.FlagD || (flagE && listed)) && (cand.Facts.FlagF || cand.Facts.Kind == 5) &&
                    usable)
                    c = 0;
                else if (row2)
                    c = 0;
                else if ((n >= 5 || usable) && usable && position == ShipStatusStealth && flagB && h < 3 &&
                         named && fuelOk)
                    c = 0;
                else if (n >= 1 && n <= 4 && usable && flagB && h < 5 && (fuel == 1 || fuel == 2))
                    c = 1;
                else if (reach > 1 && reach >= spread / 3 && reach <= spread / 2 && usable &&
                         (position != ShipStatusStealth || n < 6) && h < 5 && flagB && listed)
                    c = 2;
                else if (reach > b.Reach && h > b.HitPoints && v > b.PanelFigure)
                    c = 3;
                else if (reach == b.Reach && h > b.HitPoints && v > b.PanelFigure)
                    c = 4;
                else if (reach > b.Reach && h == b.HitPoints && v > b.PanelFigure)
                    c = 5;
                else if (reach > b.Reach && v > b.PanelFigure)
                    c = 6;
                else if (reach == b.Reach && v > b.PanelFigure)
                    c = 7;
                else if (reach > b.Reach && h > b.HitPoints)
                    c = 8;
                else if (reach == b.Reach && h > b.HitPoints)
                    c = 9;
                else if (reach > b.Reach && h > 4)
                    c = 10;
                else if (reach == b.Reach && h > 4)
                    c = 11;
                else if (reach > b.Reach)
                    c = 12;
                else if (reach == b.Reach)
                    c = 13;
                else
                    c = 14;
                if (unit.IsFlagship(attacker->GetShipId())) c += 5;
            }
            if (cur.Attacker != nullptr && c != Unset) {
                if (cand.FuelLeft < cur.FuelLeft && c != 0)
                    c += 5;
                else if (cand.FuelLeft > cur.FuelLeft && cur.Class != 0 && cur.Class != Unset)
                    cur.Class += 5;
            }
            if (c != Unset && attacker->GetConfig().AttackFp >= 20) c += 10;
            cand.Class = c;
            if (cur.Attacker == nullptr) {
                cur = cand;
            } else if (IsHiddenFlagship(unit, *attacker, cand.Facts.LastHitPoint)) {
                // A hidden flagship never gives itself away for a pursuit.
            } else if (!hasResults) {
                if (TaskRandomUInt(0, 99) < (attacker->IsStealthed() ? 60u : 50u)) cur = cand;
            } else if (PrefersPursuit(cand, cur)) {
                cur = cand;
            }
        }
        if (cur.Attacker != nullptr) kept[id] = cur;
    }

    std::uint32_t chosen = 0;
    if (mode < 0) {
        for (const auto& [id, choice] : kept) {
            if (chosen == 0 || choice.Reach > kept[chosen].Reach) {
                chosen = id;
            } else if (!hasResults) {
                if (TaskRandomUInt(0, 99) < 50) chosen = id;
            } else if (choice.Reach == kept[chosen].Reach && choice.FuelLeft > 0) {
                chosen = id;
            }
        }
    } else if (target.GetBoard(firstTarget)->GetCandidateCount() != 1 || bestCount > 4 ||
               (figures.Balance > -4 && largestCount > 8)) {
        for (const auto& [id, choice] : kept) {
            if (chosen == 0) {
                chosen = id;
            } else if (!hasResults) {
                if (TaskRandomUInt(0, 99) < (choice.Attacker->IsStealthed() ? 60u : 50u)) chosen = id;
            } else if (PrefersPursuit(choice, kept[chosen])) {
                chosen = id;
            }
        }
    } else if (kept.count(firstTarget) != 0) {
        chosen = firstTarget;
    }
    if (chosen == 0) {
        Reconsider(ships);
        return;
    }

    const PursuitChoice& choice = kept[chosen];
    CShip& attacker = *choice.Attacker;
    const CVirtualBoard& board = *target.GetBoard(chosen);
    const std::uint32_t how = mode >= 10 && board.GetCandidateCount() >= 9 ? 3 : 1;
    const CPanel* from = attacker.GetCurrentPanel();
    Direction direction = board.ChooseDirection(how, from, board.GetTrackedShipStatus(), board);
    // Do not strike the panel the last turn struck unless that turn showed
    // the enemy moved in; another neighbour where it may be is likelier. The
    // first turn of a battle has no last turn and keeps its direction.
    const ActionInfo* last = hasResults ? log.back()->GetPrimaryAction() : nullptr;
    const CPanel* next = from->GetNeighbor(direction);
    if (last != nullptr && next != nullptr && next != from && next->GetPos() == last->Target) {
        const ShipProfile* seen = last->FindShipProfile(target.GetUnitId(), chosen);
        const ShipProfile* estimate = target.FindShipProfile(chosen);
        const bool agree = seen != nullptr && estimate != nullptr && seen->Hp == estimate->Hp;
        if (!agree || last->Command != 2) {
            std::vector<Direction> others;
            for (Direction d : CompassDirections()) {
                const CPanel* n = from->GetNeighbor(d);
                if (d == direction || n == nullptr || n == from || n->GetType() == PanelBoundary ||
                    n->IsReefKnownTo(unit.GetId()))
                    continue;
                const CVirtualPanel* v = board.GetVirtualPanel(n);
                if (v != nullptr && v->GetFlag() > 0) others.push_back(d);
            }
            if (!others.empty()) direction = Draw(others);
        }
    }
    if (unit.IsFlagship(attacker.GetShipId()) && attacker.GetConfig().CanStealth && attacker.IsStealthed() &&
        !choice.Facts.LastHitPoint && figures.OwnerCount >= 2) {
        CommandAroundFlagship(ships);
        return;
    }
    if (!WriteAttackCommand(attacker, direction)) Reconsider(ships);
}

void CDecisionEngine::ChooseRangeCommand(ShipList& ships)
{
    Trace("ChooseRangeCommand");
    CAISharedData& shared = *GetSharedData();
    CUnit& unit = *GetUnit();
    CVirtualGame& game = *GetVirtualGame();

    // Torpedo targets already under way.
    std::map<const CPanel*, std::uint32_t> running;
    for (CTorpedo* torpedo : unit.GetTorpedoes()) {
        if (const CPanel* p = torpedo->GetTargetPanel()) running[p] += 1;
    }
    auto t = [&](const CPanel* p) {
        auto it = running.find(p);
        return it == running.end() ? 0u : it->second;
    };

    struct Estimate {
        CVirtualPlayer* player;
        std::uint32_t id;
        const CVirtualBoard* board;
        std::int32_t weight;
        std::int32_t hp;
    };
    auto hpOf = [](const CVirtualPlayer& player, std::uint32_t id) {
        const ShipProfile* profile = player.FindShipProfile(id);
        return profile != nullptr ? profile->Hp : 1;
    };
    // Step 1: the enemies in range of an own ship, weighed by the ships that
    // list them; a ship the others have found weighs most.
    std::vector<Estimate> estimates;
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::size_t> listed;
    for (CShip* s : ships) {
        if (s->IsSinking()) continue;
        for (const auto& [playerId, owned] : game.GetPlayers()) {
            CVirtualPlayer& player = *owned;
            if (!IsUsableSide(player, unit.GetId()) || player.IsTeamMate() ||
                !HasPlan(player.GetUnitId(), s->GetShipId()))
                continue;
            const PlanRecord& record = GetPlan(player.GetUnitId(), s->GetShipId());
            const std::int32_t weight = RangeWeight(ReadFacts(record), s->CanAct());
            for (const auto& [enemyId, count] : record.TargetCandidates) {
                const CVirtualBoard* board = player.GetBoard(enemyId);
                if (board == nullptr || player.IsShipSunk(enemyId) || board->GetCandidates().empty())
                    continue;
                auto [it, fresh] =
                    listed.emplace(std::make_pair(player.GetUnitId(), enemyId), estimates.size());
                if (fresh) estimates.push_back({&player, enemyId, board, 0, hpOf(player, enemyId)});
                estimates[it->second].weight += weight;
            }
        }
    }
    // Step 2: no enemy in range of an own ship; aim at every enemy the
    // virtual game places somewhere.
    const bool aiming = estimates.empty();
    shared.DecisionKind = aiming ? 12 : 13;
    if (aiming) {
        for (const auto& [playerId, owned] : game.GetPlayers()) {
            CVirtualPlayer& player = *owned;
            if (!IsUsableSide(player, unit.GetId()) || player.IsTeamMate()) continue;
            for (const auto& [id, board] : player.GetShipBoards()) {
                if (player.IsShipSunk(id) || board->GetCandidates().empty()) continue;
                estimates.push_back({&player, id, board.get(), 5, hpOf(player, id)});
            }
        }
    }

    // Scores of each (ship, enemy); the best pairs share the top score.
    std::int64_t bestScore = std::numeric_limits<std::int64_t>::min();
    std::vector<std::pair<CShip*, const Estimate*>> pairs;
    for (CShip* s : ships) {
        if (s->IsSinking()) continue;
        const bool rangeKind = shared.Target != nullptr &&
                               HasPlan(shared.Target->GetUnitId(), s->GetShipId()) && PlanOf(*s).Kind >= 12 &&
                               PlanOf(*s).Kind <= 15;
        const double fpRatio = s->IsFpInUse() ? double(s->GetProfile().Fp) / s->GetConfig().Fp : 1.0;
        for (const Estimate& e : estimates) {
            std::int32_t w = e.weight;
            const std::uint32_t total = e.board->GetPossibleCount();
            const double ratio = total == 0 ? 1.0 : double(e.board->GetCandidateCount()) / total;
            if (e.board->GetCandidateCount() < 9) {
                for (const CVirtualPanel* c : e.board->GetCandidates()) {
                    if (t(c->GetPanel()) >= 1 && static_cast<std::int32_t>(t(c->GetPanel())) >= e.hp) w /= 3;
                }
            }
            const std::uint32_t n = RangeFigure(*e.board, s->GetCurrentPanel());
            w = n < 2 ? 0 : w / static_cast<std::int32_t>(n / 2);
            const std::int64_t score = std::llround(w * fpRatio * ratio) + (rangeKind ? 1 : 0);
            if (score > bestScore) {
                bestScore = score;
                pairs.clear();
            }
            if (score == bestScore) pairs.emplace_back(s, &e);
        }
    }

    // A panel of a best pair the ship can strike: next to it, or by a
    // torpedo it can fire; not one the running torpedoes already settle.
    auto strikable = [&](const CShip& s, const Estimate& e, const CPanel* p) {
        const CPanel* from = s.GetCurrentPanel();
        if (p == from) return false;
        if (from->GetDistance(*p) >= 2 && !CanFireTorpedo(unit, s.GetShipId())) return false;
        return !(t(p) >= 1 && static_cast<std::int32_t>(t(p)) >= e.hp);
    };

    CShip* chosenShip = nullptr;
    const CPanel* chosenPanel = nullptr;
    const CVirtualBoard* chosenEnemy = nullptr;
    std::vector<const CVirtualBoard*> candidates;
    for (const Estimate& e : estimates) candidates.push_back(e.board);

    if (aiming) {
        struct Triple {
            CShip* ship = nullptr;
            const Estimate* e = nullptr;
            const CPanel* panel = nullptr;
            std::int64_t word = 0;
            std::int64_t half = 0;
            std::int64_t value = 0;
            std::int64_t figure = 0;
            bool flagship = false;
        };
        const Figures figures = ReadFigures();
        const bool hasResults = !GetLog().empty();
        auto key = [](std::int64_t v) {
            return static_cast<std::int32_t>(std::clamp<std::int64_t>(
                v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
        };
        auto replaces = [&](const Triple& n, const Triple& c) {
            const std::int32_t kp = key(n.word - c.word);
            const std::int32_t kd = key(c.half - n.half);
            const std::int32_t kv = key(n.value - c.value);
            const std::int32_t kf = key(n.figure - c.figure);
            if (figures.Strength < 1 || figures.Level == 4) return CompareRangeKeys(kd, kv, kf, kp);
            if (n.flagship != c.flagship) return c.flagship;
            const std::uint32_t x = n.e->board->GetCandidateCount();
            if (x <= 4 * n.e->player->CountShipsAfloat() && n.word == 0 && c.word == 0)
                return CompareRangeKeys(kv, kd, kp, kf);
            if (!hasResults) return CompareRangeKeys(key(-std::int64_t(kd)), kp, kf, 0);
            if (figures.Level == 0) return CompareRangeKeys(kf, kp, kd, 0);
            return CompareRangeKeys(kf, kd, kp, 0);
        };
        Triple best;
        for (const auto& [s, e] : pairs) {
            const std::uint32_t side = e->player->GetUnitId();
            const std::int64_t word =
                HasPlan(side, s->GetShipId()) ? ReadFacts(GetPlan(side, s->GetShipId())).StateWord : 0;
            for (const CVirtualPanel* c : e->board->GetCandidates()) {
                const CPanel* p = c->GetPanel();
                if (!strikable(*s, *e, p)) continue;
                const std::uint32_t m = s->GetCurrentPanel()->GetDistance(*p);
                Triple n;
                n.ship = s;
                n.e = e;
                n.panel = p;
                n.word = word;
                n.half = m <= 1 ? std::numeric_limits<std::int64_t>::max() : m / 2;
                n.value = c->GetFlag();
                n.figure = e->board->GetScore(p, 1);
                n.flagship = unit.IsFlagship(s->GetShipId());
                if (best.ship == nullptr || replaces(n, best)) best = n;
            }
        }
        if (best.ship == nullptr) {
            // No best pair to aim from: any ship that can fire, at any panel
            // where an enemy may be.
            std::vector<Triple> all;
            for (CShip* s : ships) {
                if (s->IsSinking() || !CanFireTorpedo(unit, s->GetShipId())) continue;
                for (const Estimate& e : estimates) {
                    for (const CVirtualPanel* c : e.board->GetCandidates()) {
                        if (strikable(*s, e, c->GetPanel())) all.push_back({s, &e, c->GetPanel()});
                    }
                }
            }
            if (!all.empty()) best = Draw(all);
        }
        if (best.ship != nullptr) {
            chosenShip = best.ship;
            chosenPanel = best.panel;
            chosenEnemy = best.e->board;
            const std::uint32_t distance = chosenShip->GetCurrentPanel()->GetDistance(*chosenPanel);
            const std::wstring outcome = chosenEnemy->GetCandidateCount() < 9 ? L"narrow" : L"uncertain";
            if (TaskRandomChance(RangeRefinementChance(RangeClassOf(distance), outcome))) {
                shared.DecisionKind = 14;
                chosenPanel = RefineRangeTarget(ships, candidates, chosenEnemy, chosenShip, chosenPanel);
            }
        }
    } else {
        // Step 3: the nearest panel a best pair can strike, not already
        // under torpedoes; a flagship pair ranks lower unless it stays hidden.
        constexpr std::uint32_t NoClass = 0xFFFFFFFFu;
        std::uint32_t bestClass = NoClass;
        std::uint32_t bestM = 0;
        std::int32_t bestValue = std::numeric_limits<std::int32_t>::min();
        for (const auto& [s, e] : pairs) {
            const CPanel* from = s->GetCurrentPanel();
            for (const CVirtualPanel* c : e->board->GetCandidates()) {
                const CPanel* p = c->GetPanel();
                if (!strikable(*s, *e, p)) continue;
                const std::uint32_t m = from->GetDistance(*p);
                const std::uint32_t mm = chosenPanel == nullptr ? m : bestM;
                std::uint32_t cls = NoClass;
                if (t(p) == 0) {
                    if (m < mm)
                        cls = 2;
                    else if (m == mm && c->GetFlag() > bestValue)
                        cls = 3;
                    else if (m == mm && c->GetFlag() == bestValue)
                        cls = TaskRandomCoin() ? 3 : 5;
                } else {
                    cls = m <= 3 ? 1 : 4;
                }
                // A pair without a class stays without one: a flagship is
                // never sent after a panel farther than the best.
                if (cls != NoClass && unit.IsFlagship(s->GetShipId())) {
                    cls += 2;
                    if (IsHiddenOnPanel(*s)) cls -= 1;
                }
                if (chosenPanel == nullptr || cls < bestClass ||
                    (cls == bestClass && TaskRandomUInt(0, 99) < 50)) {
                    chosenShip = s;
                    chosenPanel = p;
                    chosenEnemy = e->board;
                    bestClass = cls;
                    bestM = m;
                    bestValue = c->GetFlag();
                }
            }
        }
        if (chosenShip != nullptr) {
            const std::uint32_t distance = chosenShip->GetCurrentPanel()->GetDistance(*chosenPanel);
            if (TaskRandomUInt(0, 99) < RangeRefinementChance(RangeClassOf(distance), L"hit")) {
                shared.DecisionKind = 14;
                chosenPanel = RefineRangeTarget(ships, candidates, chosenEnemy, chosenShip, chosenPanel);
            }
        }
    }
    if (chosenShip == nullptr) {
        Reconsider(ships);
        return;
    }

    const std::uint32_t finalDistance = chosenShip->GetCurrentPanel()->GetDistance(*chosenPanel);
    if (finalDistance < 2 && unit.CountTorpedoes() < 3 && chosenShip->CanExecute(CommandAttack, 1)) {
        if (CommandAttackAt(*chosenShip, chosenPanel)) return;
    }
    if (!CommandTorpedo(*chosenShip, chosenPanel)) Reconsider(ships);
}

} // namespace Marevane::ComputerAI
