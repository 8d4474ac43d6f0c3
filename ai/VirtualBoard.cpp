#include "ai/VirtualBoard.h"

#include "ai/BoardFlagMap.h"
#include "ai/DirectionOrder.h"
#include "model/CodeTables.h"
#include "model/Directions.h"
#include "model/Errors.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace Marevane::ComputerAI {

namespace {

std::int32_t WrappingProduct(std::int32_t a, std::int32_t b)
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) * static_cast<std::uint32_t>(b));
}

} // namespace

CVirtualBoard::CVirtualBoard(std::uint32_t observerId, const CBoard& board) : m_observerId(observerId)
{
    const auto& realGrid = board.GetGrid();
    std::size_t total = 0;
    for (const auto& row : realGrid) total += row.size();
    m_columns = realGrid.empty() ? 0 : static_cast<std::uint32_t>(realGrid.front().size());
    // Reserved so that the links can point into the vector.
    m_panels.reserve(total);
    m_candidates.reserve(total);
    for (const auto& realRow : realGrid) {
        for (const CPanel* panel : realRow) m_panels.emplace_back(observerId, panel);
    }
    for (CVirtualPanel& panel : m_panels) {
        for (Direction d : CompassDirections()) {
            const CPanel* neighbor = panel.GetPanel()->GetNeighbor(d);
            if (neighbor == nullptr || neighbor == panel.GetPanel()) continue;
            const std::size_t index = IndexOf(neighbor);
            if (index < m_panels.size()) panel.Link(d, &m_panels[index]);
        }
    }
    m_possibleCount = board.GetRows() * board.GetColumns();
    RebuildCandidates();
}

CVirtualBoard::CVirtualBoard(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(other.m_mutex);
    CopyFrom(other);
    m_trackedUnitId = other.m_trackedUnitId;
    m_trackedShipId = other.m_trackedShipId;
    m_trackedShipType = other.m_trackedShipType;
    if (other.m_backup) m_backup = std::make_unique<FlagBackup>(*other.m_backup);
}

CVirtualBoard& CVirtualBoard::operator=(const CVirtualBoard& other)
{
    if (this == &other) return *this;
    // Copied under the source's lock, then moved in under ours: the two locks
    // are never held together, so two boards assigned both ways cannot deadlock.
    CVirtualBoard copy(other);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_observerId = copy.m_observerId;
    SetTrackedProfile(copy.m_trackedProfile);
    m_backup = std::move(copy.m_backup);
    // Moving the vectors keeps their buffers, so the links stay valid.
    m_panels = std::move(copy.m_panels);
    m_columns = copy.m_columns;
    m_candidates = std::move(copy.m_candidates);
    m_possibleCount = copy.m_possibleCount;
    m_referenceCount = copy.m_referenceCount;
    return *this;
}

CVirtualBoard::~CVirtualBoard()
{
    m_backup.reset();
}

void CVirtualBoard::CopyFrom(const CVirtualBoard& other)
{
    m_observerId = other.m_observerId;
    m_trackedProfile = other.m_trackedProfile;
    m_panels = other.m_panels;
    m_possibleCount = other.m_possibleCount;
    m_referenceCount = other.m_referenceCount;

    // The links of the copied panels still point into the source; each moves
    // to the panel at the same place here.
    const CVirtualPanel* sourceBase = other.m_panels.data();
    CVirtualPanel* base = m_panels.data();
    auto translate = [&](const CVirtualPanel* p) { return p == nullptr ? nullptr : base + (p - sourceBase); };
    for (CVirtualPanel& panel : m_panels) {
        for (CVirtualPanel*& link : panel.m_neighbors) link = translate(link);
    }
    m_columns = other.m_columns;
    m_candidates.reserve(m_panels.size());
    RebuildCandidates();
}

void CVirtualBoard::SetTrackedProfile(const ShipProfile* profile)
{
    m_trackedProfile = profile;
    m_trackedUnitId = profile != nullptr ? static_cast<std::int32_t>(profile->UnitId) : -1;
    m_trackedShipId = profile != nullptr ? profile->ShipId : 0;
    m_trackedShipType = profile != nullptr ? static_cast<ShipType>(profile->Type) : ShipTypeNone;
}

void CVirtualBoard::RebuildCandidates()
{
    m_candidates.clear();
    for (CVirtualPanel& panel : m_panels) {
        if (panel.GetFlag() != 0) m_candidates.push_back(&panel);
    }
}

// --- flag operations ---

void CVirtualBoard::Reset()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::uint32_t open = 0;
    for (CVirtualPanel& panel : m_panels) {
        panel.ResetFlag();
        if (panel.IsOpen()) ++open;
    }
    m_possibleCount = open;
    RebuildCandidates();
}

void CVirtualBoard::NormalizeFlag()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CVirtualPanel& panel : m_panels) {
        if (panel.GetFlag() > 1) panel.SetFlag(1);
    }
    RebuildCandidates();
}

void CVirtualBoard::SpreadFlag(std::uint32_t mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_candidates.empty() || m_candidates.size() == m_possibleCount) return;
    const std::vector<CVirtualPanel*> start = m_candidates;
    for (CVirtualPanel* c : start) c->SetFlag(0);
    for (CVirtualPanel* c : start) {
        if (mode == 0) {
            for (Direction d : CompassDirections()) {
                CVirtualPanel* n = c->m_neighbors[d];
                if (n != nullptr && n->IsOpen()) n->SetFlag(1);
            }
        } else if (mode == 3) {
            bool nextToReef = false;
            for (Direction d : {DirectionWest, DirectionEast, DirectionNorth, DirectionSouth}) {
                CVirtualPanel* p = c->GetNeighbor(d);
                if (p != nullptr && p->IsKnownReef()) nextToReef = true;
                while (p != nullptr && p != c && p->IsOpen()) {
                    p->SetFlag(1);
                    CVirtualPanel* next = p->GetNeighbor(d);
                    if (next == p) break;
                    p = next;
                }
            }
            if (nextToReef) c->SetFlag(1);
        }
    }
    RebuildCandidates();
}

void CVirtualBoard::ExtendFlag(std::uint32_t direction, std::uint32_t distance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_candidates.empty() || m_candidates.size() == m_possibleCount || distance == 0) return;
    std::vector<Direction> directions;
    if (direction == DirectionCenter) {
        directions = MoveDirections();
    } else {
        directions.push_back(static_cast<Direction>(direction));
    }
    const std::vector<CVirtualPanel*> start = m_candidates;
    for (CVirtualPanel* c : start) {
        for (Direction d : directions) {
            CVirtualPanel* p = c;
            for (std::uint32_t step = 0; step < distance; ++step) {
                CVirtualPanel* next = p->GetNeighbor(d);
                if (next == nullptr || next == p || !next->IsOpen()) break;
                next->SetFlag(1);
                p = next;
            }
        }
    }
    RebuildCandidates();
}

void CVirtualBoard::MoveFlag(std::uint32_t direction, std::uint32_t distance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const bool forward = direction == DirectionNorth || direction == DirectionWest;
    const bool backward = direction == DirectionSouth || direction == DirectionEast;
    if (forward || backward) {
        const std::uint32_t opposite = GetOppositeDirection(direction);
        // Flags travel away from where the walk starts, so each panel reads
        // flags that have not moved yet.
        auto visit = [&](CVirtualPanel* p) {
            const CVirtualPanel* ahead = p->GetNeighbor(direction);
            const bool blocked = ahead != nullptr && ahead->IsKnownReef();
            const CVirtualPanel* r = p;
            for (std::uint32_t step = 0; step < distance; ++step) {
                if (!r->IsOpen() || (blocked && r->GetFlag() > 0)) break;
                const CVirtualPanel* next = r->GetNeighbor(opposite);
                if (next == nullptr) break;
                r = next;
            }
            if (p->IsOpen()) p->m_flag = r->GetFlag();
        };
        // The panels lie row by row, so their order is the map's.
        if (forward) {
            for (CVirtualPanel& p : m_panels) visit(&p);
        } else {
            for (auto p = m_panels.rbegin(); p != m_panels.rend(); ++p) visit(&*p);
        }
    }
    RebuildCandidates();
}

void CVirtualBoard::ApplyFlagLocked(std::uint32_t kind, const CPanel* panel)
{
    const CBoardFlagMap weights(kind, panel);
    for (CVirtualPanel& p : m_panels) p.m_flag = WrappingProduct(p.GetFlag(), weights.Get(p.GetPanel()));
    RebuildCandidates();
}

void CVirtualBoard::ApplyFlag(std::uint32_t kind, const CPanel* panel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ApplyFlagLocked(kind, panel);
}

void CVirtualBoard::ClearFlag()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    ApplyFlagLocked(6, m_panels.at(0).GetPanel());
}

void CVirtualBoard::AddNeighborFlagLocked(const CPanel* panel, bool onlyIfSet)
{
    const CBoardFlagMap weights(3, panel);
    for (CVirtualPanel& p : m_panels) {
        if (onlyIfSet && p.GetFlag() == 0) continue;
        p.AddFlag(weights.Get(p.GetPanel()));
    }
    RebuildCandidates();
}

void CVirtualBoard::AddNeighborFlag(const CPanel* panel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    AddNeighborFlagLocked(panel, false);
}

void CVirtualBoard::AddNeighborFlagIfSet(const CPanel* panel)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    AddNeighborFlagLocked(panel, true);
}

std::size_t CVirtualBoard::IndexOf(const CPanel* panel) const
{
    if (panel == nullptr) return m_panels.size();
    const std::size_t index = static_cast<std::size_t>(panel->GetX()) * m_columns + panel->GetY();
    if (panel->GetY() < m_columns && index < m_panels.size() && m_panels[index].GetPanel() == panel)
        return index;
    // A panel of another map, or a map not laid out by coordinates.
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i].GetPanel() == panel) return i;
    }
    return m_panels.size();
}

template <typename PanelOf>
std::vector<std::size_t> CVirtualBoard::MatchPanels(std::size_t count, const PanelOf& panelOf) const
{
    std::vector<std::size_t> matched(m_panels.size());
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        const CPanel* real = m_panels[i].GetPanel();
        // Boards of one map keep one panel order; a search serves the rest.
        if (i < count && panelOf(i) == real) {
            matched[i] = i;
            continue;
        }
        std::size_t j = 0;
        while (j < count && panelOf(j) != real) ++j;
        if (j == count) throw std::out_of_range(MissingKeyText);
        matched[i] = j;
    }
    return matched;
}

std::vector<std::size_t> CVirtualBoard::MatchPanels(const CVirtualBoard& other) const
{
    return MatchPanels(other.m_panels.size(), [&](std::size_t i) { return other.m_panels[i].GetPanel(); });
}

void CVirtualBoard::MixFlag(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto matched = MatchPanels(other);
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i].m_flag = WrappingProduct(m_panels[i].GetFlag(), other.m_panels[matched[i]].GetFlag());
    RebuildCandidates();
}

void CVirtualBoard::ExcludeFlag(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto matched = MatchPanels(other);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (other.m_panels[matched[i]].GetFlag() != 0) m_panels[i].SetFlag(0);
    }
    RebuildCandidates();
}

void CVirtualBoard::AddFlag(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto matched = MatchPanels(other);
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i].AddFlag(other.m_panels[matched[i]].GetFlag());
    RebuildCandidates();
}

void CVirtualBoard::AddFlagIfSet(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto matched = MatchPanels(other);
    for (std::size_t i = 0; i < m_panels.size(); ++i) {
        if (m_panels[i].GetFlag() != 0) m_panels[i].AddFlag(other.m_panels[matched[i]].GetFlag());
    }
    RebuildCandidates();
}

void CVirtualBoard::CopyFlag(const CVirtualBoard& other)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto matched = MatchPanels(other);
    for (std::size_t i = 0; i < m_panels.size(); ++i)
        m_panels[i].SetFlag(other.m_panels[matched[i]].GetFlag());
    RebuildCandidates();
}

void CVirtualBoard::SetRingFlag(const CPanel* centre, std::uint32_t distance)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CVirtualPanel& p : m_panels) {
        const bool onRing = centre != nullptr && p.GetPanel()->GetDistance(*centre) == distance;
        p.SetFlag(onRing ? 1 : 0);
    }
    RebuildCandidates();
}

void CVirtualBoard::MarkOwnMines()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (CVirtualPanel& p : m_panels) p.SetMark(p.GetPanel()->HasMineOf(m_observerId));
}

// --- backup ---

void CVirtualBoard::BackupFlag(const CVirtualBoard& source)
{
    DiscardBackup();
    // Read under the source's lock (the source is mostly this board), so
    // ours is taken only to put it in place.
    auto backup = std::make_unique<FlagBackup>();
    {
        std::lock_guard<std::mutex> lock(source.m_mutex);
        backup->Panels.reserve(source.m_panels.size());
        backup->Flags.reserve(source.m_panels.size());
        for (const CVirtualPanel& p : source.m_panels) {
            backup->Panels.push_back(p.GetPanel());
            backup->Flags.push_back(p.GetFlag());
        }
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_backup = std::move(backup);
}

void CVirtualBoard::RestoreFlag()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_backup) throw std::runtime_error("RestoreFlag(): A backup data don't exist currently.");
    const FlagBackup& backup = *m_backup;
    const auto matched = MatchPanels(backup.Panels.size(), [&](std::size_t i) { return backup.Panels[i]; });
    for (std::size_t i = 0; i < m_panels.size(); ++i) m_panels[i].SetFlag(backup.Flags[matched[i]]);
    RebuildCandidates();
    m_backup.reset();
}

void CVirtualBoard::DiscardBackup()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_backup.reset();
}

bool CVirtualBoard::HasBackup() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_backup != nullptr;
}

// --- queries ---

std::int32_t CVirtualBoard::GetFlagTotal() const
{
    std::uint32_t total = 0;
    for (const CVirtualPanel* p : m_candidates) total += static_cast<std::uint32_t>(p->GetFlag());
    return static_cast<std::int32_t>(total);
}

const CVirtualPanel* CVirtualBoard::GetVirtualPanel(const CPanel* panel) const
{
    const std::size_t index = IndexOf(panel);
    return index < m_panels.size() ? &m_panels[index] : nullptr;
}

CVirtualPanel* CVirtualBoard::GetVirtualPanel(const CPanel* panel)
{
    const std::size_t index = IndexOf(panel);
    return index < m_panels.size() ? &m_panels[index] : nullptr;
}

std::int32_t CVirtualBoard::GetNeighborFlagSum(const CPanel* panel) const
{
    const CVirtualPanel* v = GetVirtualPanel(panel);
    if (v == nullptr) return 0;
    std::uint32_t sum = 0;
    for (Direction d : CompassDirections()) {
        if (const CVirtualPanel* n = v->GetNeighbor(d)) sum += static_cast<std::uint32_t>(n->GetFlag());
    }
    return static_cast<std::int32_t>(sum);
}

std::uint32_t CVirtualBoard::CountPositiveNeighbors(const CPanel* panel) const
{
    const CVirtualPanel* v = GetVirtualPanel(panel);
    if (v == nullptr) return 0;
    std::uint32_t count = 0;
    for (Direction d : CompassDirections()) {
        const CVirtualPanel* n = v->GetNeighbor(d);
        if (n != nullptr && n->GetFlag() >= 1) ++count;
    }
    return count;
}

std::int32_t CVirtualBoard::GetMaxNeighborFlag(const CPanel* panel) const
{
    const CVirtualPanel* v = GetVirtualPanel(panel);
    std::int32_t best = 0;
    if (v == nullptr) return best;
    for (Direction d : CompassDirections()) {
        const CVirtualPanel* n = v->GetNeighbor(d);
        if (n != nullptr && n->GetFlag() > best) best = n->GetFlag();
    }
    return best;
}

std::uint32_t CVirtualBoard::GetScore(const CPanel* panel, std::int32_t total, std::uint32_t mode) const
{
    const CVirtualPanel* v = GetVirtualPanel(panel);
    if (v == nullptr) return 0;
    const std::int64_t sum = total > 0 ? total : GetFlagTotal();
    // Rounded up, for negative totals too.
    const std::int64_t half = sum >= 0 ? (sum + 1) / 2 : sum / 2;
    const std::int64_t f = v->GetFlag();
    const std::int64_t s = f + (mode != 2 ? GetNeighborFlagSum(panel) : 0);
    if (s <= 0) return 0;
    if (f == 0 && mode != 2 && CountPositiveNeighbors(panel) == 8) return 0;
    if (mode == 2) return f != 0 ? 1 : 0;
    const std::int64_t d = std::llabs(half - s);
    if (d > half) return 0;
    return static_cast<std::uint32_t>(f - d + half);
}

std::uint32_t CVirtualBoard::GetBestScoreAround(const CPanel* panel, std::uint32_t mode) const
{
    if (panel == nullptr) return 0;
    const std::int32_t total = GetFlagTotal();
    std::uint32_t best = 0;
    for (Direction d : CompassDirections()) {
        const std::uint32_t score = GetScore(panel->GetNeighbor(d), total, mode);
        if (score > best) best = score;
    }
    return best;
}

double CVirtualBoard::GetWeightedMeanFirst() const
{
    double weighted = 0.0;
    double weights = 0.0;
    for (const CVirtualPanel& p : m_panels) {
        if (!p.IsOpen() || p.GetFlag() <= 0) continue;
        weighted += static_cast<double>(p.GetPanel()->GetX()) * p.GetFlag();
        weights += p.GetFlag();
    }
    return weights > 0.0 ? weighted / weights : 0.0;
}

double CVirtualBoard::GetWeightedMeanSecond() const
{
    double weighted = 0.0;
    double weights = 0.0;
    for (const CVirtualPanel& p : m_panels) {
        if (!p.IsOpen() || p.GetFlag() <= 0) continue;
        weighted += static_cast<double>(p.GetPanel()->GetY()) * p.GetFlag();
        weights += p.GetFlag();
    }
    return weights > 0.0 ? weighted / weights : 0.0;
}

std::int32_t CVirtualBoard::GetCentreOffset(const CPanel* panel) const
{
    if (panel == nullptr) return 0;
    const double first = std::round(GetWeightedMeanFirst() - static_cast<double>(panel->GetX()));
    const double second = std::round(GetWeightedMeanSecond() - static_cast<double>(panel->GetY()));
    return static_cast<std::int32_t>(first) + static_cast<std::int32_t>(second);
}

double CVirtualBoard::GetCandidateRatio() const
{
    if (m_referenceCount == 0) return 1.0;
    if (m_candidates.empty()) return 0.0;
    return static_cast<double>(m_candidates.size()) / static_cast<double>(m_referenceCount);
}

std::int32_t CVirtualBoard::GetTrackedShipDamage() const
{
    if (m_trackedProfile == nullptr) return 0;
    return static_cast<std::int32_t>(m_trackedProfile->Config.Hp) - m_trackedProfile->Hp;
}

// --- tracked-ship predicates ---

const ShipProfile& CVirtualBoard::TrackedProfile() const
{
    if (m_trackedProfile == nullptr) throw std::logic_error("CVirtualBoard: the board tracks no ship.");
    return *m_trackedProfile;
}

const CVirtualPanel* CVirtualBoard::SinglePanelOrNull() const
{
    return m_candidates.size() == 1 ? m_candidates.front() : nullptr;
}

bool CVirtualBoard::IsTrackedShipSunk() const
{
    return TrackedProfile().Condition == 5;
}

bool CVirtualBoard::IsTrackedShipOutOfAction() const
{
    const ShipProfile& p = TrackedProfile();
    return p.Condition == 4 || p.Status == ShipStatusFuelShortage || p.PendingStatus == 5;
}

bool CVirtualBoard::CanTrackedShipAct() const
{
    const ShipProfile& p = TrackedProfile();
    return p.Condition != 5 && p.Condition != 4 && p.Status != ShipStatusFuelShortage &&
           p.PendingStatus != 5 && m_trackedShipType != ShipTypeOiler;
}

bool CVirtualBoard::IsTrackedShipHidden() const
{
    const ShipProfile& p = TrackedProfile();
    if (p.Status == ShipStatusStealth && p.PendingStatus != 2) return true;
    if (p.Config.CanStealth && p.PendingStatus == 1) return true;
    const CVirtualPanel* single = SinglePanelOrNull();
    return single != nullptr && single->GetKnownType() == PanelFog;
}

bool CVirtualBoard::IsTrackedShipExposed() const
{
    const ShipProfile& p = TrackedProfile();
    if (p.Status == ShipStatusStealthDisabled && p.PendingStatus != 1) return true;
    if (p.Config.CanStealth && p.PendingStatus == 2) return true;
    const CVirtualPanel* single = SinglePanelOrNull();
    return single != nullptr && single->GetKnownType() == PanelShallow;
}

ShipStatus CVirtualBoard::GetTrackedShipStatus() const
{
    if (IsTrackedShipSunk()) return ShipStatusSinking;
    if (IsTrackedShipOutOfAction()) return ShipStatusFuelShortage;
    if (IsTrackedShipHidden()) return ShipStatusStealth;
    if (IsTrackedShipExposed()) return ShipStatusStealthDisabled;
    return ShipStatusNormal;
}

} // namespace Marevane::ComputerAI
