// Which of a side's ships can have made each of its recent attacks, and what
// that says about where each ship is.
#include "ai/InferenceEngine.h"

#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>
#include <stdexcept>
#include <utility>

namespace Marevane::ComputerAI {

namespace {

constexpr std::uint32_t OnlyCentre = 1;    // CBoardFlagMap (0, 1, 0)
constexpr std::uint32_t OnlyNeighbors = 3; // CBoardFlagMap (0, 0, 1)
// An attacks-per-tank number that never limits (a ship that uses no fuel).
constexpr std::uint32_t Unlimited = 0xFFFFFFFFu;

// A map that keeps its keys in insertion order; a missing key raises the
// usual missing-key error.
template <typename Key, typename Value> class CInsertionMap {
  public:
    using Entry = std::pair<Key, Value>;

    Value* Find(const Key& key)
    {
        for (Entry& e : m_entries) {
            if (e.first == key) return &e.second;
        }
        return nullptr;
    }
    Value& At(const Key& key)
    {
        Value* value = Find(key);
        if (value == nullptr) throw std::out_of_range(MissingKeyText);
        return *value;
    }
    Value& operator[](const Key& key)
    {
        if (Value* value = Find(key)) return *value;
        m_entries.emplace_back(key, Value{});
        return m_entries.back().second;
    }
    void Erase(const Key& key)
    {
        m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                       [&key](const Entry& e) { return e.first == key; }),
                        m_entries.end());
    }
    std::vector<Entry>& Entries() { return m_entries; }

  private:
    std::vector<Entry> m_entries;
};

using Record = const ResultMessage*;

bool IsSunkWord(const ShipProfile* p)
{
    return p != nullptr && p->Condition == ShipStatusSinking;
}

bool IsOutWord(const ShipProfile* p)
{
    return p->Condition == ShipStatusSinking || p->Condition == ShipStatusFuelShortage;
}

bool IsOiler(const CVirtualBoard& board)
{
    return board.GetTrackedShipType() == ShipTypeOiler;
}

// |mean first difference| + |mean second difference| of the flag-weighted means.
double Distance(const CVirtualBoard& a, const CVirtualBoard& b)
{
    return std::fabs(a.GetWeightedMeanFirst() - b.GetWeightedMeanFirst()) +
           std::fabs(a.GetWeightedMeanSecond() - b.GetWeightedMeanSecond());
}

// Whether the board keeps a candidate after a mix with the test board; the
// board is left as it was.
bool IsCompatible(CVirtualBoard& board, const CVirtualBoard& test)
{
    board.BackupFlag(board);
    board.MixFlag(test);
    const bool keeps = board.GetCandidateCount() != 0;
    board.RestoreFlag();
    return keeps;
}

// Narrows the board by the test board unless nothing would be left; true
// when the narrowing stays.
bool Narrow(CVirtualBoard& board, const CVirtualBoard& test)
{
    board.BackupFlag(board);
    board.MixFlag(test);
    const bool keeps = board.GetCandidateCount() != 0;
    if (keeps) {
        board.DiscardBackup();
    } else {
        board.RestoreFlag();
    }
    return keeps;
}

} // namespace

void CInferenceEngine::AttributeAttacks(std::uint32_t unitId, const RecordList& recent)
{
    if (recent.empty()) return;
    CVirtualGame& game = Game();
    CVirtualPlayer& side = *game.GetPlayer(unitId);
    const CBoard& map = Map();
    const std::uint32_t observer = OwnUnitId();

    // The panels from which each attack can have been made.
    std::map<Record, std::unique_ptr<CVirtualBoard>> tests;
    const auto test = [&](Record r) -> const CVirtualBoard& {
        auto& board = tests[r];
        if (!board) {
            board = std::make_unique<CVirtualBoard>(observer, map);
            board->Reset();
            board->ApplyFlag(OnlyNeighbors, TargetPanel(*r->GetPrimaryAction()));
        }
        return *board;
    };
    // The ship's profile after the attack shows it afloat and able.
    const auto isUpAfter = [](Record r, std::uint32_t shipId) {
        const ActionInfo& a = *r->GetPrimaryAction();
        const ShipProfile* p = a.FindShipProfile(a.UnitId, shipId);
        return p != nullptr && !IsOutWord(p);
    };
    const auto second = [&side](std::uint32_t shipId) -> CVirtualBoard& {
        return *side.GetSecondBoard(shipId);
    };

    // 1. The side's attacks; its secondary board weighs the panels around them.
    std::vector<Record> attacks;
    attacks.reserve(recent.size());
    {
        CVirtualBoard& secondary = *side.GetSecondaryBoard();
        const CVirtualBoard before(secondary);
        for (Record r : recent) {
            const ActionInfo* a = r->GetPrimaryAction();
            if (a == nullptr || a->Command != CommandAttack || r->Sender.Id != unitId) continue;
            // An attack aimed off the map names no panel to learn from.
            const CPanel* t = TargetPanel(*a);
            if (t == nullptr) continue;
            secondary.AddNeighborFlag(t);
            attacks.push_back(r);
        }
        secondary.MixFlag(before);
    }

    // 2. A sunk ship stands where it went down.
    std::map<std::uint32_t, std::unique_ptr<CVirtualBoard>> sunk;
    for (const auto& entry : side.GetShipBoards()) {
        const std::uint32_t shipId = entry.first;
        if (!IsSunkWord(entry.second->GetTrackedProfile())) continue;
        for (Record r : recent) {
            const ActionInfo* a = r->GetPrimaryAction();
            if (a == nullptr || a->Command != CommandAttack || r->Sender.Id == unitId) continue;
            const ShipProfile* s = a->FindShipProfile(unitId, shipId);
            const CPanel* t = TargetPanel(*a);
            if (s == nullptr || s->LastEvent != EventSunk || t == nullptr) continue;
            auto& board = sunk[shipId];
            if (!board) {
                board = std::make_unique<CVirtualBoard>(observer, map);
                board->SetTrackedProfile(entry.second->GetTrackedProfile());
                // Reset first: a fresh board holds no flag for the pattern to keep.
                board->Reset();
            }
            board->ApplyFlag(OnlyCentre, t);
        }
    }
    const auto current = [&sunk](CVirtualBoard& board) -> CVirtualBoard& {
        if (IsSunkWord(board.GetTrackedProfile())) {
            const auto found = sunk.find(board.GetTrackedShipId());
            if (found != sunk.end()) return *found->second;
        }
        return board;
    };

    // 3. Best located first; on a tie an oiler goes after the others.
    std::vector<CVirtualBoard*> order;
    std::map<std::uint32_t, std::uint32_t> perTank;
    std::map<std::uint32_t, std::vector<Record>> possible;
    for (const auto& entry : side.GetShipBoards()) {
        CVirtualBoard* board = entry.second.get();
        const std::uint32_t count = board->GetCandidateCount();
        const auto at = std::find_if(order.begin(), order.end(), [&](const CVirtualBoard* placed) {
            const std::uint32_t c = placed->GetCandidateCount();
            return c > count || (c == count && IsOiler(*placed) && !IsOiler(*board));
        });
        order.insert(at, board);
        possible[entry.first].reserve(attacks.size());
        const ShipProfile* p = board->GetTrackedProfile();
        // A type whose attack costs nothing is never limited by its tank.
        perTank[entry.first] = p == nullptr || p->Config.Fp == 0 || p->Config.AttackFp == 0
                                   ? Unlimited
                                   : p->Config.Fp / p->Config.AttackFp;
    }
    const auto tankOf = [&perTank](std::uint32_t shipId) -> std::uint32_t& {
        const auto found = perTank.find(shipId);
        if (found == perTank.end()) throw std::out_of_range(MissingKeyText);
        return found->second;
    };
    const auto listOf = [&possible](std::uint32_t shipId) -> std::vector<Record>& {
        const auto found = possible.find(shipId);
        if (found == possible.end()) throw std::out_of_range(MissingKeyText);
        return found->second;
    };

    // 4. Attacks only one ship can have made.
    CInsertionMap<Record, std::uint32_t> sole;
    for (Record r : attacks) {
        bool found = false;
        for (CVirtualBoard* board : order) {
            const std::uint32_t shipId = board->GetTrackedShipId();
            if (!IsCompatible(current(*board), test(r)) || !isUpAfter(r, shipId)) continue;
            if (found) {
                sole.Erase(r);
                break;
            }
            sole[r] = shipId;
            found = true;
        }
        if (const std::uint32_t* shipId = sole.Find(r)) {
            listOf(*shipId).push_back(r);
            tankOf(*shipId) -= 1;
        }
    }

    // 5. Those attacks narrow their ship's board, unless nothing would be left.
    std::vector<Record> dropped;
    for (const auto& [r, shipId] : sole.Entries()) {
        CVirtualBoard& board = *side.GetBoard(shipId);
        if (IsSunkWord(board.GetTrackedProfile())) continue;
        if (Narrow(board, test(r))) {
            second(shipId).AddFlag(test(r));
        } else {
            dropped.push_back(r);
            tankOf(shipId) += 1;
        }
    }
    for (Record r : dropped) sole.Erase(r);

    // 6.
    for (const auto& entry : side.GetShipBoards())
        entry.second->SetReferenceCount(entry.second->GetCandidateCount());
    std::reverse(attacks.begin(), attacks.end());

    // 7. Every ship that can have made each remaining attack.
    CInsertionMap<Record, std::uint32_t> makers;
    std::vector<Record> ruledOutSet;
    const auto ruleOut = [&ruledOutSet](Record r) {
        if (std::find(ruledOutSet.begin(), ruledOutSet.end(), r) == ruledOutSet.end())
            ruledOutSet.push_back(r);
    };
    for (CVirtualBoard* board : order) {
        const std::uint32_t shipId = board->GetTrackedShipId();
        CVirtualBoard& c = current(*board);
        second(shipId).MixFlag(*board);
        std::uint32_t taken = 0;
        for (Record r : attacks) {
            if (sole.Find(r) != nullptr) continue;
            c.BackupFlag(c);
            c.MixFlag(test(r));
            if (c.GetCandidateCount() != 0 && taken <= tankOf(shipId) && isUpAfter(r, shipId) &&
                !IsOiler(*board)) {
                listOf(shipId).push_back(r);
                second(shipId).AddFlag(test(r));
                ++taken;
                makers[r] += 1;
            } else {
                ruleOut(r);
            }
            c.RestoreFlag();
        }
        if (board->GetCandidateCount() != 0) second(shipId).MixFlag(*board);
    }

    // 8. The worst located ship gets a last look at the attacks others were ruled out of.
    CInsertionMap<std::uint32_t, std::vector<Record>> ruledOut;
    if (!order.empty()) {
        CVirtualBoard& last = *order.back();
        const std::uint32_t lastId = last.GetTrackedShipId();
        for (Record r : ruledOutSet) {
            second(lastId).MixFlag(last);
            last.BackupFlag(last);
            last.MixFlag(test(r));
            if (last.GetCandidateCount() != 0 && isUpAfter(r, lastId)) {
                listOf(lastId).push_back(r);
                second(lastId).AddFlag(test(r));
            } else {
                ruledOut[lastId].push_back(r);
            }
            last.RestoreFlag();
        }
        if (last.GetCandidateCount() != 0) second(lastId).MixFlag(last);
    }

    // 9. An attack several ships can have made stays with those about as
    // close to it as the closest.
    const bool wide = game.GetInferenceTable().GetRivals().Phase == 0 && side.GetLeastCandidateCount() > 8;
    if (!wide) {
        for (const auto& [r, count] : makers.Entries()) {
            if (count < 2) continue;
            const CVirtualBoard& t = test(r);
            const CVirtualBoard* best = nullptr;
            double bestDistance = static_cast<double>(map.GetTotalColumns() + map.GetTotalRows());
            for (const CVirtualBoard* board : order) {
                if (t.GetCandidateCount() == 0) continue;
                const double d = Distance(t, *board);
                if (best == nullptr || d < bestDistance) {
                    best = board;
                    bestDistance = d;
                }
            }
            if (best == nullptr) bestDistance = 0.0;
            for (const CVirtualBoard* board : order) {
                if (board == best) continue;
                const std::uint32_t shipId = board->GetTrackedShipId();
                if (!isUpAfter(r, shipId) || IsOiler(*board)) continue;
                const double tolerance = board->GetCandidateCount() <= 8 ? 0.6 : 1.1;
                if (t.GetCandidateCount() != 0 && std::fabs(Distance(t, *board) - bestDistance) < tolerance)
                    continue;
                std::vector<Record>& list = listOf(shipId);
                const auto entry = std::find(list.begin(), list.end(), r);
                if (entry != list.end()) *entry = nullptr;
            }
        }
    }

    // 10. Each ship's board narrowed by the attacks it may have made.
    std::map<std::uint32_t, CVirtualBoard> copies;
    for (const auto& [shipId, list] : possible) {
        CVirtualBoard& board = *side.GetBoard(shipId);
        copies.emplace(shipId, board);
        for (Record r : list) {
            if (r == nullptr || side.IsSinkingIn(*r, shipId)) continue;
            if (!Narrow(board, test(r))) ruledOut[shipId].push_back(r);
        }
    }

    // 11. Attacks that ruled other ships out, if they lie close to this one.
    for (CVirtualBoard* board : order) {
        const std::uint32_t shipId = board->GetTrackedShipId();
        if (IsOiler(*board) || board->GetCandidateCount() <= 1) continue;
        const auto copy = copies.find(shipId);
        if (copy == copies.end()) throw std::out_of_range(MissingKeyText);
        for (const auto& [otherId, list] : ruledOut.Entries()) {
            if (otherId == shipId) continue;
            const double tolerance = copy->second.GetCandidateCount() <= 4 ? 1.1 : 1.4;
            std::vector<Record> collected;
            for (Record r : list) {
                if (side.IsSinkingIn(*r, shipId)) continue;
                const CVirtualBoard& t = test(r);
                if (t.GetCandidateCount() != 0 && Distance(t, second(shipId)) <= tolerance)
                    collected.push_back(r);
            }
            for (Record r : collected) {
                if (Narrow(*board, test(r))) second(shipId).AddFlag(test(r));
            }
            second(shipId).MixFlag(copy->second);
        }
    }

    // 12. A sunk ship's second estimate goes; every other board keeps what
    // both estimates allow.
    for (const auto& entry : side.GetShipBoards()) {
        if (IsSunkWord(entry.second->GetTrackedProfile())) {
            second(entry.first).ClearFlag();
        } else {
            entry.second->MixFlag(second(entry.first));
        }
    }
}

} // namespace Marevane::ComputerAI
