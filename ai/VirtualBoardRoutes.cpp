// Movement advice from a virtual board: straight-line reachability, move
// counts, travel costs, approach panels and directions. Nothing here locks;
// a panel marked with one of the computer's own mines counts as blocked.
#include "ai/VirtualBoard.h"

#include "ai/DirectionOrder.h"
#include "ai/TaskRandom.h"
#include "model/TextUtil.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <set>
#include <utility>

namespace Marevane::ComputerAI {

namespace {

// A uniform index in [0, n - 1]; n must not be 0.
std::size_t DrawIndex(std::size_t n, std::mt19937* engine)
{
    if (engine != nullptr) return std::uniform_int_distribution<std::size_t>(0, n - 1)(*engine);
    return TaskRandomUInt(0, static_cast<std::uint32_t>(n - 1));
}

template <typename T> T Draw(const std::vector<T>& items, std::mt19937* engine)
{
    return items[DrawIndex(items.size(), engine)];
}

std::int64_t FirstDifference(const CPanel* from, const CPanel* to)
{
    return static_cast<std::int64_t>(to->GetX()) - static_cast<std::int64_t>(from->GetX());
}

std::int64_t SecondDifference(const CPanel* from, const CPanel* to)
{
    return static_cast<std::int64_t>(to->GetY()) - static_cast<std::int64_t>(from->GetY());
}

std::uint32_t Magnitude(std::int64_t d)
{
    return static_cast<std::uint32_t>(d < 0 ? -d : d);
}

std::uint32_t BeyondThree(std::uint32_t a)
{
    return a > 3 ? a - 3 : 0;
}

} // namespace

std::uint32_t CVirtualBoard::TrackedExtraMoveFp() const
{
    return TrackedProfile().Config.ExtraMoveFp;
}

bool CVirtualBoard::CanReach(const CPanel* from, const CPanel* to) const
{
    if (from == to) return true;
    const CVirtualPanel* start = GetVirtualPanel(from);
    if (start == nullptr || GetVirtualPanel(to) == nullptr) return false;
    const std::int64_t d1 = FirstDifference(from, to);
    const std::int64_t d2 = SecondDifference(from, to);
    const Direction firstDir = d1 < 0 ? DirectionNorth : DirectionSouth;
    const Direction secondDir = d2 < 0 ? DirectionWest : DirectionEast;

    auto walk = [&](Direction a, std::uint32_t na, Direction b, std::uint32_t nb) {
        const CVirtualPanel* p = start;
        for (auto [d, n] : {std::make_pair(a, na), std::make_pair(b, nb)}) {
            for (std::uint32_t i = 0; i < n; ++i) {
                p = p->GetNeighbor(d);
                if (p == nullptr || !p->IsOpen() || p->IsMarked()) return false;
            }
        }
        return true;
    };
    return walk(firstDir, Magnitude(d1), secondDir, Magnitude(d2)) ||
           walk(secondDir, Magnitude(d2), firstDir, Magnitude(d1));
}

std::uint32_t CVirtualBoard::GetMoveCount(const CPanel* from, const CPanel* to) const
{
    // A range of 0 would divide by zero; such a ship moves a panel at a time.
    const std::uint32_t range = std::max<std::uint32_t>(TrackedProfile().Config.MoveRange, 1);
    const std::uint32_t a1 = Magnitude(FirstDifference(from, to));
    const std::uint32_t a2 = Magnitude(SecondDifference(from, to));
    const std::uint32_t moves = (a1 + range - 1) / range + (a2 + range - 1) / range;
    return CanReach(from, to) ? moves : moves + 2;
}

const CPanel* CVirtualBoard::ChooseWaypoint(const CPanel* from, const CPanel* to) const
{
    if (from == nullptr || to == nullptr) return nullptr;
    auto direct = [&]() -> const CPanel* { return CanReach(from, to) ? to : nullptr; };
    if (GetMoveCount(from, to) <= 1) return direct();
    const CPanel* c1 = from->GetPanelAlong(DirectionSouth, FirstDifference(from, to));
    const CPanel* c2 = from->GetPanelAlong(DirectionEast, SecondDifference(from, to));
    const bool a = CanReach(from, c1) && CanReach(c1, to);
    const bool b = CanReach(from, c2) && CanReach(c2, to);
    if (a && !b) return c1;
    if (b && !a) return c2;
    return direct();
}

std::uint32_t CVirtualBoard::GetTravelCost(const CPanel* from, const CPanel* to, std::uint32_t limit,
                                           std::uint32_t mode) const
{
    if (from == nullptr || to == nullptr || from == to || from->GetDistance(*to) > limit) return NoCost;
    const std::uint32_t a1 = Magnitude(FirstDifference(from, to));
    const std::uint32_t a2 = Magnitude(SecondDifference(from, to));
    const std::uint32_t m = GetMoveCount(from, to);
    const std::uint32_t z = (mode == 2 && m <= 1) ? 0 : 1;
    return Pow10(m - 1) * (BeyondThree(a1) + BeyondThree(a2)) * TrackedExtraMoveFp() * z * (a1 + a2);
}

// The candidates a board would lose if its flags moved as MoveFlag or
// SpreadFlag(3) move them, counted on a flat copy of the flags instead of a
// copy of the board. The board must not be written while this lives: its
// open and reef panels and links are read once, and shifts are remembered.
class CLostCandidates {
  public:
    explicit CLostCandidates(const CVirtualBoard& board);

    // After MoveFlag north or south by |d1|, then west or east by |d2|.
    std::uint32_t AfterShift(std::int64_t d1, std::int64_t d2);
    // After SpreadFlag(3).
    std::uint32_t AfterSpread();

  private:
    // Neighbour slots, one per straight direction.
    enum Slot { North, East, West, South, SlotCount };
    static constexpr std::int32_t None = -1;
    static constexpr std::uint32_t Unknown = 0xFFFFFFFFu;

    void Load();
    void Shift(Slot direction, Slot opposite, bool forward, std::uint32_t distance);
    std::uint32_t Lost() const;

    const CVirtualBoard& m_board;
    std::size_t m_count = 0;
    std::vector<std::uint8_t> m_open;
    std::vector<std::uint8_t> m_reef;
    // GetNeighbor per slot as an index: the panel itself where it answers
    // itself, None for null.
    std::vector<std::array<std::int32_t, SlotCount>> m_links;
    std::vector<std::int32_t> m_flags;
    std::int64_t m_spanFirst = 0;
    std::int64_t m_spanSecond = 0;
    std::vector<std::uint32_t> m_shifts;
    std::uint32_t m_spread = Unknown;
};

CLostCandidates::CLostCandidates(const CVirtualBoard& board) : m_board(board)
{
    // Read under the board's lock, as a copy of it would be.
    std::lock_guard<std::mutex> lock(board.m_mutex);
    const std::vector<CVirtualPanel>& panels = board.GetPanels();
    m_count = panels.size();
    m_open.resize(m_count);
    m_reef.resize(m_count);
    m_links.resize(m_count);
    m_flags.resize(m_count);
    const CVirtualPanel* base = panels.data();
    const Direction directions[SlotCount] = {DirectionNorth, DirectionEast, DirectionWest, DirectionSouth};
    for (std::size_t i = 0; i < m_count; ++i) {
        const CVirtualPanel& p = panels[i];
        const PanelType type = p.GetKnownType();
        m_open[i] = p.GetPanel()->IsPassable() || type == PanelUnknown;
        m_reef[i] = type == PanelReef;
        for (int slot = 0; slot < SlotCount; ++slot) {
            const CVirtualPanel* n = p.GetNeighbor(directions[slot]);
            m_links[i][slot] = n == nullptr ? None : static_cast<std::int32_t>(n - base);
        }
        m_spanFirst = std::max<std::int64_t>(m_spanFirst, p.GetPanel()->GetX());
        m_spanSecond = std::max<std::int64_t>(m_spanSecond, p.GetPanel()->GetY());
    }
    m_shifts.assign(static_cast<std::size_t>((2 * m_spanFirst + 1) * (2 * m_spanSecond + 1)), Unknown);
}

void CLostCandidates::Load()
{
    std::lock_guard<std::mutex> lock(m_board.m_mutex);
    const std::vector<CVirtualPanel>& panels = m_board.GetPanels();
    for (std::size_t i = 0; i < m_count; ++i) m_flags[i] = panels[i].GetFlag();
}

std::uint32_t CLostCandidates::Lost() const
{
    std::uint32_t candidates = 0;
    for (std::int32_t flag : m_flags) candidates += flag != 0 ? 1 : 0;
    return m_board.GetPossibleCount() - candidates;
}

void CLostCandidates::Shift(Slot direction, Slot opposite, bool forward, std::uint32_t distance)
{
    const auto visit = [&](std::size_t p) {
        const std::int32_t ahead = m_links[p][direction];
        const bool blocked = ahead != None && m_reef[static_cast<std::size_t>(ahead)];
        std::size_t r = p;
        for (std::uint32_t step = 0; step < distance; ++step) {
            if (!m_open[r] || (blocked && m_flags[r] > 0)) break;
            const std::int32_t next = m_links[r][opposite];
            if (next == None) break;
            r = static_cast<std::size_t>(next);
        }
        if (m_open[p]) m_flags[p] = m_flags[r];
    };
    if (forward) {
        for (std::size_t p = 0; p < m_count; ++p) visit(p);
    } else {
        for (std::size_t p = m_count; p-- > 0;) visit(p);
    }
}

std::uint32_t CLostCandidates::AfterShift(std::int64_t d1, std::int64_t d2)
{
    std::uint32_t* known = nullptr;
    if (std::abs(d1) <= m_spanFirst && std::abs(d2) <= m_spanSecond) {
        known = &m_shifts[static_cast<std::size_t>((d1 + m_spanFirst) * (2 * m_spanSecond + 1) + d2 +
                                                   m_spanSecond)];
        if (*known != Unknown) return *known;
    }
    Load();
    if (d1 != 0) {
        if (d1 < 0)
            Shift(North, South, true, static_cast<std::uint32_t>(-d1));
        else
            Shift(South, North, false, static_cast<std::uint32_t>(d1));
    }
    if (d2 != 0) {
        if (d2 < 0)
            Shift(West, East, true, static_cast<std::uint32_t>(-d2));
        else
            Shift(East, West, false, static_cast<std::uint32_t>(d2));
    }
    const std::uint32_t lost = Lost();
    if (known != nullptr) *known = lost;
    return lost;
}

std::uint32_t CLostCandidates::AfterSpread()
{
    if (m_spread != Unknown) return m_spread;
    Load();
    std::vector<std::size_t> start;
    for (std::size_t i = 0; i < m_count; ++i) {
        if (m_flags[i] != 0) start.push_back(i);
    }
    if (!start.empty() && start.size() != m_board.GetPossibleCount()) {
        for (std::size_t c : start) m_flags[c] = 0;
        for (std::size_t c : start) {
            bool nextToReef = false;
            for (Slot d : {West, East, North, South}) {
                std::int32_t p = m_links[c][d];
                if (p != None && m_reef[static_cast<std::size_t>(p)]) nextToReef = true;
                while (p != None && static_cast<std::size_t>(p) != c && m_open[static_cast<std::size_t>(p)]) {
                    m_flags[static_cast<std::size_t>(p)] = 1;
                    const std::int32_t next = m_links[static_cast<std::size_t>(p)][d];
                    if (next == p) break;
                    p = next;
                }
            }
            if (nextToReef) m_flags[c] = m_open[c] ? 1 : 0;
        }
    }
    m_spread = Lost();
    return m_spread;
}

std::uint32_t CVirtualBoard::GetSimulatedTravelCost(const CVirtualBoard& other, const CPanel* from,
                                                    const CPanel* to, std::uint32_t limit,
                                                    std::uint32_t mode) const
{
    if (from == nullptr || to == nullptr || from == to || from->GetDistance(*to) > limit) return NoCost;
    CLostCandidates lost(other);
    return SimulatedTravelCost(lost, from, to, limit, mode);
}

std::uint32_t CVirtualBoard::SimulatedTravelCost(CLostCandidates& lost, const CPanel* from, const CPanel* to,
                                                 std::uint32_t limit, std::uint32_t mode) const
{
    if (from == nullptr || to == nullptr || from == to || from->GetDistance(*to) > limit) return NoCost;
    const std::int64_t d1 = FirstDifference(from, to);
    const std::int64_t d2 = SecondDifference(from, to);
    const std::uint32_t a1 = Magnitude(d1);
    const std::uint32_t a2 = Magnitude(d2);
    const std::uint32_t m = GetMoveCount(from, to);
    const std::uint32_t moves = (mode == 2 && m != 0) ? m - 1 : m;
    const std::uint32_t count = mode == 2 ? lost.AfterSpread() : lost.AfterShift(d1, d2);
    return Pow10(m - 1) * count * moves + TrackedExtraMoveFp() * (BeyondThree(a1) + BeyondThree(a2));
}

void CVirtualBoard::EvaluateMoveTargets(PanelsByValue& out, const ShipProfile& ship, const CPanel* from,
                                        std::uint32_t maxSteps) const
{
    const CVirtualPanel* start = GetVirtualPanel(from);
    if (start == nullptr) return;
    std::int64_t k = 0;
    if (!m_candidates.empty()) {
        const std::int64_t possible = m_possibleCount;
        const std::int64_t candidates = static_cast<std::int64_t>(m_candidates.size());
        k = possible > 0 ? ((possible - candidates + 1) * 20) / possible : 1;
        k = std::max<std::int64_t>(k, 1);
    }
    const std::int64_t extra = ship.Config.ExtraMoveFp;

    for (Direction d : MoveDirections()) {
        const CVirtualPanel* q = start->GetNeighbor(d);
        std::int64_t steps = 0;
        std::int64_t wave = 0;
        while (q != nullptr && q != start && q->IsOpen() && steps < maxSteps && !q->IsMarked()) {
            std::int64_t score = -(steps > 2 ? (steps - 2) * extra : 0) -
                                 static_cast<std::int64_t>(CountPositiveNeighbors(q->GetPanel())) * k;
            switch (q->GetKnownType()) {
            case PanelFog:
                score += 5 - wave;
                break;
            case PanelHighWave:
                wave += 2;
                score += -5 - wave;
                break;
            default:
                score -= wave;
                break;
            }
            out.emplace(static_cast<std::int32_t>(score), q->GetPanel());
            q = q->GetNeighbor(d);
            ++steps;
        }
    }
}

const CPanel* CVirtualBoard::ChooseApproachPanel(const CVirtualBoard& other, const CPanel* from,
                                                 std::uint32_t limit, std::uint32_t mode,
                                                 std::mt19937* engine) const
{
    const CVirtualPanel* start = GetVirtualPanel(from);
    if (start == nullptr) return from;

    // 1. The likeliest candidates, or all of them when there are few.
    std::vector<const CVirtualPanel*> targets;
    if (m_candidates.size() > 2) {
        const auto count = static_cast<std::int32_t>(m_candidates.size());
        std::uint32_t best = 0;
        for (const CVirtualPanel* c : m_candidates) {
            const std::uint32_t score = GetScore(c->GetPanel(), count, mode);
            if (score > best) {
                best = score;
                targets.clear();
            }
            if (score == best) targets.push_back(c);
        }
    } else {
        targets.assign(m_candidates.begin(), m_candidates.end());
    }

    const bool sameSide = other.m_trackedUnitId == m_trackedUnitId;
    std::optional<CLostCandidates> lost;
    auto cost = [&](const CPanel* a, const CPanel* b) {
        if (sameSide) return GetTravelCost(a, b, limit, mode);
        if (!lost) lost.emplace(other);
        return SimulatedTravelCost(*lost, a, b, limit, mode);
    };

    // 2. Open panels next to a target that a straight-line route reaches.
    std::vector<const CPanel*> kept;
    std::uint32_t bestCost = 0;
    std::set<const CVirtualPanel*> seen;
    for (const CVirtualPanel* t : targets) {
        for (Direction d : CompassDirections()) {
            const CVirtualPanel* n = t->GetNeighbor(d);
            if (n == nullptr || !n->IsOpen() || from->GetDistance(*n->GetPanel()) > limit) continue;
            if (!seen.insert(n).second || !CanReach(from, n->GetPanel())) continue;
            const std::uint32_t c = cost(from, n->GetPanel());
            if (kept.empty() || c < bestCost) {
                kept.clear();
                bestCost = c;
            }
            if (c == bestCost) kept.push_back(n->GetPanel());
        }
    }

    // 3. Else a waypoint on one of the four lines from which a target is in
    // straight reach: fewer moves over both legs first, then the lower cost.
    if (kept.empty()) {
        std::pair<std::uint64_t, std::uint64_t> bestValue{0, 0};
        for (const CVirtualPanel* t : targets) {
            for (Direction d : MoveDirections()) {
                const CVirtualPanel* w = start->GetNeighbor(d);
                while (w != nullptr && w != start && w->IsOpen() && !w->IsMarked()) {
                    if (CanReach(w->GetPanel(), t->GetPanel())) break;
                    w = w->GetNeighbor(d);
                }
                if (w == nullptr || w == start || !w->IsOpen() || w->IsMarked()) continue;
                const std::pair<std::uint64_t, std::uint64_t> value{
                    std::uint64_t{GetMoveCount(from, w->GetPanel())} +
                        GetMoveCount(w->GetPanel(), t->GetPanel()),
                    std::uint64_t{cost(from, w->GetPanel())} + cost(w->GetPanel(), t->GetPanel())};
                if (kept.empty() || value < bestValue) {
                    kept.clear();
                    bestValue = value;
                }
                if (value == bestValue && std::find(kept.begin(), kept.end(), w->GetPanel()) == kept.end())
                    kept.push_back(w->GetPanel());
            }
        }
    }

    // 4. One of the kept panels, or stay.
    return kept.empty() ? from : Draw(kept, engine);
}

Direction CVirtualBoard::ChooseDirection(std::uint32_t mode, const CPanel* from, std::uint32_t scoreMode,
                                         const CVirtualBoard& other, std::mt19937* engine) const
{
    Direction chosen = DirectionNone;
    if (mode == 1 || (mode == 3 && m_candidates.size() >= 3)) {
        chosen = ChooseDirectionByScore(from, scoreMode, other, engine);
    } else if (mode == 2 || mode == 3) {
        chosen = ChooseDirectionToHighestFlag(from, engine);
    }
    if (chosen == DirectionNone) chosen = ChooseDirectionByScore(from, scoreMode, other, engine);
    if (chosen != DirectionNone || from == nullptr) return chosen;

    std::vector<Direction> free;
    for (Direction d : CompassDirections()) {
        const CPanel* n = from->GetNeighbor(d);
        if (n->GetType() != PanelBoundary && !n->IsReefKnownTo(m_observerId)) free.push_back(d);
    }
    return free.empty() ? DirectionNone : Draw(free, engine);
}

Direction CVirtualBoard::ChooseDirectionToHighestFlag(const CPanel* from, std::mt19937* engine) const
{
    if (from == nullptr) return DirectionNone;
    std::vector<Direction> best;
    std::int32_t bestFlag = 0;
    for (Direction d : CompassDirections()) {
        const CVirtualPanel* n = GetVirtualPanel(from->GetNeighbor(d));
        if (n == nullptr || !n->IsOpen()) continue;
        if (n->GetFlag() > bestFlag) {
            bestFlag = n->GetFlag();
            best.assign(1, d);
        } else if (n->GetFlag() > 0 && n->GetFlag() == bestFlag && (best.empty() || !n->IsMarked())) {
            best.push_back(d);
        }
    }
    return best.empty() ? DirectionNone : Draw(best, engine);
}

Direction CVirtualBoard::ChooseDirectionByScore(const CPanel* from, std::uint32_t scoreMode,
                                                const CVirtualBoard& other, std::mt19937* engine) const
{
    if (from == nullptr) return DirectionNone;
    const bool sameSide = other.m_trackedUnitId == m_trackedUnitId;
    std::vector<Direction> best;
    std::vector<bool> marked;
    std::uint32_t bestScore = 0;
    std::uint32_t bestLoss = 0;
    std::int32_t bestFlag = 0;
    for (Direction d : CompassDirections()) {
        const CPanel* real = from->GetNeighbor(d);
        const CVirtualPanel* n = GetVirtualPanel(real);
        if (n == nullptr || !n->IsOpen()) continue;
        const std::uint32_t score = GetScore(real, 0, scoreMode);
        std::uint32_t loss = other.m_possibleCount;
        if (!sameSide) {
            CVirtualBoard scratch(other);
            scratch.ApplyFlag(3, real);
            loss = other.GetCandidateCount() - scratch.GetCandidateCount();
        }
        bool wins = best.empty() || score > bestScore;
        bool ties = false;
        if (!wins && score == bestScore) {
            if (loss < bestLoss) {
                wins = true;
            } else if (loss == bestLoss) {
                wins = n->GetFlag() > bestFlag;
                ties = n->GetFlag() == bestFlag;
            }
        }
        if (wins) {
            best.assign(1, d);
            marked.assign(1, n->IsMarked());
            bestScore = score;
            bestLoss = loss;
            bestFlag = n->GetFlag();
        } else if (ties) {
            best.push_back(d);
            marked.push_back(n->IsMarked());
        }
    }
    if (best.size() > 1 && std::find(marked.begin(), marked.end(), false) != marked.end()) {
        std::vector<Direction> unmarked;
        for (std::size_t i = 0; i < best.size(); ++i) {
            if (!marked[i]) unmarked.push_back(best[i]);
        }
        best = std::move(unmarked);
    }
    return best.empty() ? DirectionNone : Draw(best, engine);
}

CVirtualBoard::PanelsByScore CVirtualBoard::GetBestScoredPanels() const
{
    PanelsByScore result;
    if (m_candidates.empty()) return result;
    const std::uint32_t mode = GetTrackedShipStatus();
    std::uint32_t best = 0;
    std::vector<const CPanel*> panels;
    for (const CVirtualPanel& p : m_panels) {
        const std::uint32_t score = GetScore(p.GetPanel(), 0, mode);
        if (score > best) {
            best = score;
            panels.clear();
        }
        if (score == best) panels.push_back(p.GetPanel());
    }
    for (const CPanel* p : panels) result.emplace(best, p);
    return result;
}

CVirtualBoard::PanelsByFlag CVirtualBoard::GetCandidatesByFlag() const
{
    PanelsByFlag result;
    for (const CVirtualPanel* c : m_candidates) result.emplace(c->GetFlag(), c->GetPanel());
    return result;
}

} // namespace Marevane::ComputerAI
