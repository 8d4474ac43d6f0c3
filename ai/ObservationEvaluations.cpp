// How one observed action narrows the board of one ship.
#include "ai/InferenceEngine.h"

#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"
#include "model/Directions.h"
#include "model/ResultManager.h"
#include "model/Unit.h"

#include <cstdlib>
#include <set>

namespace Marevane::ComputerAI {

namespace {

// Patterns of CBoardFlagMap: (elsewhere, centre, neighbours).
constexpr std::uint32_t OnlyCentre = 1;     // (0, 1, 0)
constexpr std::uint32_t AllButCentre = 2;   // (1, 0, 1)
constexpr std::uint32_t OnlyNeighbors = 3;  // (0, 0, 1)
constexpr std::uint32_t AwayFromCentre = 5; // (1, 0, 0)
constexpr std::uint32_t Nowhere = 6;        // (0, 0, 0)

// The flag a reinforced ship's second board gives the panels its side attacked.
constexpr std::int32_t ReinforcedWeight = 8;

bool IsStealthed(const ShipProfile& p)
{
    return p.Status == ShipStatusStealth;
}

bool IsDamagedAndPinned(const CVirtualBoard& board)
{
    const ShipProfile* tracked = board.GetTrackedProfile();
    return tracked != nullptr && tracked->Hp < static_cast<std::int32_t>(tracked->Config.Hp) &&
           board.GetCandidateCount() == 1;
}

// The mine slot tells that the ship of the record's sender ran onto a mine.
bool ShowsMineHit(const ShipProfile& s, std::uint32_t senderId)
{
    const MineProfile& first = s.MineHits[0];
    return first.VictimUnitId == senderId && first.IsExploded;
}

} // namespace

bool IsBoardContradicted(const CVirtualBoard& board, const ShipProfile& profile)
{
    return board.GetCandidateCount() == 0 && profile.LastEvent != EventSunk &&
           profile.Condition != ShipStatusSinking;
}

// --- attacks and torpedoes on the side's ships -----------------------------------------

void CInferenceEngine::EvaluateAttackResponse(CVirtualPlayer& player, std::uint32_t shipId,
                                              const ResultMessage& record, const ActionInfo& action)
{
    RespondToAttack(player, shipId, record, action, false);
}

void CInferenceEngine::RespondToAttack(CVirtualPlayer& player, std::uint32_t shipId,
                                       const ResultMessage& record, const ActionInfo& action, bool isRepeat)
{
    if (action.Command != CommandAttack && action.Command != CommandTorpedo) return;
    CVirtualBoard& board = *player.GetBoard(shipId);
    const ShipProfile* s = FindLastProfile(action, player.GetUnitId(), shipId);
    // Without the ship's profile the action tells nothing about it.
    if (s == nullptr) return;
    const CPanel* t = TargetPanel(action);
    if (t == nullptr) return;

    switch (s->LastEvent) {
    case EventMissed:
        if (IsStealthed(*s)) {
            board.ApplyFlag(AllButCentre, t);
        } else {
            board.BackupFlag(board);
            board.ApplyFlag(AwayFromCentre, t);
            if (IsBoardContradicted(board, *s)) {
                board.RestoreFlag();
                board.ApplyFlag(AllButCentre, t);
            }
        }
        break;
    case EventDamaged:
        board.ApplyFlag(OnlyCentre, t);
        if (IsBoardContradicted(board, *s)) {
            board.Reset();
            board.ApplyFlag(OnlyCentre, t);
        }
        break;
    case EventSunk:
        board.ApplyFlag(Nowhere, t);
        break;
    case EventNearMiss:
        if (IsStealthed(*s)) {
            board.ApplyFlag(AllButCentre, t);
        } else {
            board.BackupFlag(board);
            board.ApplyFlag(OnlyNeighbors, t);
            if (IsBoardContradicted(board, *s)) {
                board.RestoreFlag();
                board.AddNeighborFlagIfSet(t);
            }
        }
        break;
    default:
        if (s->Condition == ShipStatusSinking) board.ApplyFlag(Nowhere, t);
        break;
    }

    if (!isRepeat && board.GetCandidateCount() == 0 && s->LastEvent != EventSunk &&
        s->Status != ShipStatusSinking) {
        board.Reset();
        RespondToAttack(player, shipId, record, action, true);
    }
}

// --- the side's own moves ------------------------------------------------------------------

void CInferenceEngine::EvaluateMoveCommand(std::uint32_t shipId, const ResultMessage& record,
                                           const ActionInfo& action)
{
    if (action.Command != CommandMove || action.ShipId != shipId) return;
    CVirtualPlayer& actor = *Game().GetPlayer(record.Sender.Id);
    CVirtualBoard& board = *actor.GetBoard(shipId);
    EvaluateMoveResult(board, shipId, record, action);
    // A damaged ship pinned to one panel: no other ship of its side is there.
    if (IsDamagedAndPinned(board)) {
        for (const auto& entry : actor.GetShipBoards()) {
            if (entry.second.get() != &board) entry.second->ExcludeFlag(board);
        }
    }
}

void CInferenceEngine::EvaluateMoveResult(CVirtualBoard& board, std::uint32_t shipId,
                                          const ResultMessage& record, const ActionInfo& action)
{
    if (action.Command != CommandMove || action.ShipId != shipId) return;
    const ShipProfile* s = FindLastProfile(action, record.Sender.Id, shipId);
    if (s == nullptr) return;
    if (s->Condition == ShipStatusSinking) {
        if (board.GetCandidateCount() != 0) board.ClearFlag();
        return;
    }
    if (IsStealthed(*s)) {
        if (OwnMode() <= ModeEasy) {
            board.Reset();
            return;
        }
        board.SpreadFlag(3);
    } else if (s->LastEvent == EventReefStop) {
        board.ExtendFlag(action.Direction, action.Distance == 0 ? 0 : action.Distance - 1);
    } else {
        board.MoveFlag(action.Direction, action.Distance);
    }
    EvaluateMineOfMove(board, shipId, record, action);
}

void CInferenceEngine::EvaluateMineOfMove(CVirtualBoard& board, std::uint32_t shipId,
                                          const ResultMessage& record, const ActionInfo& action)
{
    const ShipProfile* s = FindLastProfile(action, record.Sender.Id, shipId);
    if (s == nullptr) return;
    if (!ShowsMineHit(*s, record.Sender.Id)) {
        ApplyOwnMineRecords(board, shipId, record, action);
        return;
    }

    const bool stealthed = IsStealthed(*s);
    const std::uint32_t reach = stealthed ? s->Config.MoveRange : action.Distance;
    std::uint32_t direction = stealthed ? static_cast<std::uint32_t>(DirectionCenter) : action.Direction;
    // Unsigned on purpose: a move of 0 reaches as far as the water goes.
    std::uint32_t d = reach - 1;

    const MineProfile* m = nullptr;
    for (const MineProfile& slot : s->MineHits) {
        if (slot.VictimUnitId == action.UnitId && slot.IsPlaced && slot.IsExploded) m = &slot;
    }
    // No slot says where the ship met the mine.
    if (m == nullptr) return;

    const MineProfile& first = s->MineHits[0];
    if (m->Pos != first.Pos) {
        const std::int64_t dx = static_cast<std::int64_t>(m->Pos.x) - first.Pos.x;
        const std::int64_t dy = static_cast<std::int64_t>(m->Pos.y) - first.Pos.y;
        const auto delta = static_cast<std::uint64_t>(std::llabs(dx + dy));
        d = delta <= d ? d - static_cast<std::uint32_t>(delta) : 0;
        if (stealthed) direction = GetDirection(dx, dy);
    }

    const CPanel* p = Map().GetPanel(m->Pos);
    if (p == nullptr) return;
    // Reset first: a fresh board holds no flag for the pattern to keep.
    CVirtualBoard line(OwnUnitId(), Map());
    line.Reset();
    line.ApplyFlag(OnlyCentre, p);
    line.ExtendFlag(direction, d);

    board.BackupFlag(board);
    board.MixFlag(line);
    if (board.GetCandidateCount() == 0) board.RestoreFlag();
}

void CInferenceEngine::ApplyOwnMineRecords(CVirtualBoard& board, std::uint32_t shipId,
                                           const ResultMessage& record, const ActionInfo& action)
{
    const ShipProfile* s = FindLastProfile(action, record.Sender.Id, shipId);
    if (s == nullptr) return;
    const CVirtualPlayer& own = *Game().GetOwnPlayer();
    if (own.GetActiveMineRecords().empty() || ShowsMineHit(*s, record.Sender.Id)) return;
    for (const ResultMessage* laid : own.GetActiveMineRecords()) {
        const ActionInfo* primary = laid->GetPrimaryAction();
        if (primary == nullptr || primary->Command != CommandMine || laid->Sender.Id != OwnUnitId()) continue;
        if (const CPanel* t = TargetPanel(*primary)) board.ApplyFlag(AllButCentre, t);
    }
}

// --- torpedoes the side fired ---------------------------------------------------------------

void CInferenceEngine::EvaluateFiringTorpedoInfo(CVirtualBoard& board, std::uint32_t shipId,
                                                 const ResultMessage& record, const ActionInfo& action)
{
    if (action.Command != CommandTorpedo || action.ShipId != shipId) return;
    CVirtualGame& game = Game();
    const std::uint32_t actorId = record.Sender.Id;
    const CVirtualPlayer& actor = *game.GetPlayer(actorId);
    const ShipProfile* s = FindLastProfile(action, actorId, shipId);
    if (actor.GetTorpedoRecords().empty() || s == nullptr || !s->Config.CanFireTorpedo ||
        game.IsShipSunkInAction(actorId, shipId, action)) {
        return;
    }
    const bool own = actorId == OwnUnitId();
    if (actor.GetRunDistances().empty() && !own) return;
    if (IsDamagedAndPinned(board)) return;

    CVirtualBoard ring(OwnUnitId(), Map());
    if (own) {
        const CPanel* t = TargetPanel(action);
        if (t == nullptr) return;
        const CResultManager* results = GetResultManager();
        const std::uint32_t newest = results != nullptr && results->GetLogCount() != 0
                                         ? results->GetLog(1).Order.Round
                                         : record.Order.Round;
        // Still running: it has not reached its target yet.
        if (static_cast<std::uint64_t>(record.Order.Round) + action.Distance >
            static_cast<std::uint64_t>(newest) + 1)
            return;
        ring.SetRingFlag(t, action.Distance);
        board.BackupFlag(board);
        board.MixFlag(ring);
        if (board.GetCandidateCount() != 0) return;
        board.RestoreFlag();
    } else {
        const auto run = actor.GetRunDistances().find(&record);
        if (run == actor.GetRunDistances().end()) return;
        const auto noted = actor.GetTorpedoActions().find(&record);
        if (noted == actor.GetTorpedoActions().end() || noted->second == nullptr)
            throw std::out_of_range(MissingKeyText);
        const CPanel* t = TargetPanel(*noted->second);
        if (t == nullptr) return;
        ring.SetRingFlag(t, run->second);
        if (actor.GetTorpedoRecordSet().count(&record) != 0) {
            board.BackupFlag(board);
            board.MixFlag(ring);
            if (board.GetCandidateCount() != 0) return;
            board.RestoreFlag();
        }
    }
    if (board.GetCandidateCount() > 8) board.AddFlagIfSet(ring);
}

// --- reinforcements ------------------------------------------------------------------------------

void CInferenceEngine::EvaluateReinforcement(const RecordList& recent, const ResultMessage& record,
                                             CVirtualPlayer& player, std::uint32_t shipId)
{
    if (OwnMode() <= 15) return;
    const std::uint32_t unitId = player.GetUnitId();
    std::set<const CPanel*> attacked;
    for (const ResultMessage* earlier : recent) {
        if (earlier == &record) break;
        const ActionInfo* primary = earlier->GetPrimaryAction();
        if (primary == nullptr || primary->UnitId != unitId) continue;
        if (primary->Command == CommandAttack) {
            if (const CPanel* t = TargetPanel(*primary)) attacked.insert(t);
        }
        for (const ActionInfo* effect : earlier->GetActions(2)) {
            if (effect->Command != CommandTorpedo) continue;
            if (const CPanel* t = TargetPanel(*effect)) attacked.insert(t);
        }
    }
    if (attacked.empty()) return;

    // Through flag operations only, so that the board's lock guards each
    // write and its candidates stay right: clear the attacked panels, then
    // add the weight on those that are open.
    CVirtualBoard& second = *player.GetSecondBoard(shipId);
    CVirtualBoard keep(OwnUnitId(), Map());
    keep.Reset();
    for (const CPanel* t : attacked) keep.ApplyFlag(AllButCentre, t);
    CVirtualBoard weight(OwnUnitId(), Map());
    weight.Reset();
    weight.ExcludeFlag(keep);
    for (std::int32_t w = 1; w < ReinforcedWeight; w *= 2) {
        const CVirtualBoard same(weight);
        weight.AddFlag(same);
    }
    second.MixFlag(keep);
    second.AddFlag(weight);
}

// --- the weaker computers' attack test ---------------------------------------------------------------

void CInferenceEngine::RunSimpleAttackTest(const RecordList& recent)
{
    CVirtualGame& game = Game();
    const std::uint32_t ownId = OwnUnitId();

    // The attacks a side made since the ship last moved, tried newest first.
    // Only the ship's own side counts: ship ids repeat across sides.
    const auto testShips = [&](CVirtualPlayer& side) {
        const std::uint32_t sideId = side.GetUnitId();
        for (const auto& entry : side.GetShipBoards()) {
            const std::uint32_t shipId = entry.first;
            RecordList kept;
            for (const ResultMessage* record : recent) {
                const ActionInfo* primary = record->GetPrimaryAction();
                if (primary == nullptr || record->Sender.Id != sideId) continue;
                if (primary->Command == CommandAttack) kept.push_back(record);
                if (primary->Command == CommandMove && primary->ShipId == shipId) kept.clear();
            }
            for (auto it = kept.rbegin(); it != kept.rend(); ++it)
                EvaluateOneAttackCommandSimplyTest(shipId, **it);
        }
        for (const auto& entry : side.GetShipBoards())
            entry.second->SetReferenceCount(entry.second->GetCandidateCount());
    };

    for (const auto& entry : game.GetPlayers()) {
        if (entry.first != ownId) testShips(*entry.second);
    }
    if (game.HasPlayer(ownId)) testShips(*game.GetOwnPlayer());
}

void CInferenceEngine::EvaluateOneAttackCommandSimplyTest(std::uint32_t shipId, const ResultMessage& record)
{
    const ActionInfo* primary = record.GetPrimaryAction();
    if (primary == nullptr || primary->Command != CommandAttack) return;
    CVirtualPlayer& side = *Game().GetPlayer(primary->UnitId);
    CVirtualBoard& board = *side.GetBoard(shipId);
    const ShipProfile* s = FindLastProfile(*primary, primary->UnitId, shipId);
    if (s == nullptr) s = board.GetTrackedProfile();
    const std::uint32_t afloat = side.CountShipsAfloatIn(record);
    if (afloat > 1 && s != nullptr && s->Config.CanStealth) return;

    const CPanel* t = TargetPanel(*primary);
    if (t == nullptr) return;
    CVirtualBoard attackers(board);
    attackers.ApplyFlag(OnlyNeighbors, t);

    if (attackers.GetCandidateCount() == 0 || board.GetCandidateCount() <= 2) return;
    // Several ships could have fired: only a narrowing to a few panels is kept.
    if (attackers.GetCandidateCount() > 2 && board.GetCandidateCount() < 9 && afloat != 1) return;
    board = attackers;
}

} // namespace Marevane::ComputerAI
