#include "ai/InferenceEngine.h"

#include "ai/TaskPool.h"
#include "ai/TaskRandom.h"
#include "ai/VirtualGame.h"
#include "ai/VirtualPlayer.h"
#include "model/Board.h"
#include "model/Unit.h"

#include <stdexcept>

namespace Marevane::ComputerAI {

namespace {

// Runs one task per side and waits for them in start order. A failure ends
// that side's pass only; nothing is passed on.
template <typename Pass> void RunPerSide(const std::vector<std::uint32_t>& sides, const Pass& pass)
{
    // Own engines seeded in side order: any draw replays under a fixed seed.
    std::vector<std::mt19937> engines = MakeTaskEngines(sides.size());
    // A failure ends that side's pass: the side keeps what its boards had
    // learnt so far.
    RunTasks(sides.size(), [&](std::size_t i) {
        CTaskRandomScope draws(engines[i]);
        pass(sides[i]);
    });
}

bool IsTeamMateOf(const CVirtualPlayer& actor, const CVirtualPlayer& player)
{
    const UnitProfile* actorProfile = actor.GetProfile();
    const UnitProfile* profile = player.GetProfile();
    return actorProfile != nullptr && profile != nullptr &&
           actorProfile->TeamMates.count(profile->HostId) != 0;
}

} // namespace

const ShipProfile* FindLastProfile(const ActionInfo& action, std::uint32_t unitId, std::uint32_t shipId)
{
    const auto found =
        action.FindShipProfiles(unitId, [shipId](const ShipProfile& p) { return p.ShipId == shipId; });
    return found.empty() ? nullptr : found.back();
}

CInferenceEngine::~CInferenceEngine() = default;

void CInferenceEngine::Run()
{
    CVirtualGame& game = Game();
    const RecordList recent = GetLog();

    if (!recent.empty()) {
        for (const auto& entry : game.GetPlayers()) entry.second->TakeInRecords(recent);
    }
    game.UpdatePlayersFromLog(recent);

    std::vector<std::uint32_t> sides;
    for (const auto& entry : game.GetPlayers()) sides.push_back(entry.first);
    RunPerSide(sides, [this, &recent](std::uint32_t unitId) { UpdateBoards(unitId, recent); });

    if (OwnMode() < 1) {
        RunSimpleAttackTest(recent);
    } else {
        std::vector<std::uint32_t> live;
        for (const auto& entry : game.GetPlayers()) {
            if (entry.second->IsAlive()) live.push_back(entry.first);
        }
        RunPerSide(live, [this, &recent](std::uint32_t unitId) { AttributeAttacks(unitId, recent); });
    }

    for (const auto& entry : game.GetPlayers()) entry.second->SortBoards();
}

void CInferenceEngine::UpdateBoards(std::uint32_t unitId, const RecordList& recent)
{
    CVirtualGame& game = Game();
    CVirtualPlayer& player = *game.GetPlayer(unitId);

    for (const ResultMessage* record : recent) {
        const CVirtualPlayer& actor = *game.GetPlayer(record->Sender.Id);
        const ActionInfo* primary = record->GetPrimaryAction();
        const std::uint32_t command = primary != nullptr ? primary->Command : CommandNone;
        const std::vector<const ActionInfo*> effects = record->GetActions(2);
        const bool self = record->Sender.Id == unitId;
        const bool friendly = self || IsTeamMateOf(actor, player);

        for (const auto& entry : player.GetShipBoards()) {
            const std::uint32_t shipId = entry.first;
            switch (command) {
            case CommandAttack:
                if (friendly) {
                    const ShipProfile* s = FindLastProfile(*primary, unitId, shipId);
                    if (s != nullptr && s->Condition == ShipStatusSinking) {
                        entry.second->ClearFlag();
                        player.GetSecondBoard(shipId)->ClearFlag();
                    }
                } else {
                    EvaluateAttackResponse(player, shipId, *record, *primary);
                }
                break;
            case CommandMove:
                if (self) {
                    EvaluateMoveCommand(shipId, *record, *primary);
                    EvaluateMoveResult(*player.GetTorpedoBoard(shipId), shipId, *record, *primary);
                }
                break;
            case CommandTorpedo:
                if (self)
                    EvaluateFiringTorpedoInfo(*player.GetTorpedoBoard(shipId), shipId, *record, *primary);
                break;
            case CommandReinforce:
                if (self && primary->ShipId == shipId) {
                    const ShipProfile* s = FindLastProfile(*primary, unitId, shipId);
                    if (s != nullptr && s->LastEvent != EventSunk) {
                        entry.second->Reset();
                        player.GetSecondBoard(shipId)->Reset();
                        EvaluateReinforcement(recent, *record, player, shipId);
                    }
                }
                break;
            default:
                break;
            }
            if (!friendly) {
                for (const ActionInfo* effect : effects) {
                    if (effect->Command == CommandTorpedo)
                        EvaluateAttackResponse(player, shipId, *record, *effect);
                }
            }
        }
    }

    // What the side's torpedo estimates rule out, unless nothing would be left.
    for (const auto& entry : player.GetShipBoards()) {
        CVirtualBoard& board = *entry.second;
        const ShipProfile* tracked = board.GetTrackedProfile();
        if (tracked != nullptr && tracked->Status == ShipStatusSinking) continue;
        const CVirtualBoard& torpedo = *player.GetTorpedoBoard(entry.first);
        board.BackupFlag(board);
        board.MixFlag(torpedo);
        if (board.GetCandidateCount() == 0) board.RestoreFlag();
    }

    // Where any of the side's afloat ships may be.
    CVirtualBoard* secondary = player.GetSecondaryBoard();
    if (secondary == nullptr) throw std::logic_error("The player has not been set up.");
    for (const auto& entry : player.GetShipBoards()) {
        if (!game.IsShipSunk(unitId, entry.first)) secondary->AddFlag(*entry.second);
    }
    secondary->NormalizeFlag();
}

// --- helpers -------------------------------------------------------------------------

CVirtualGame& CInferenceEngine::Game() const
{
    CVirtualGame* game = GetVirtualGame();
    if (game == nullptr) throw std::logic_error("The inference engine has no virtual game.");
    return *game;
}

const CBoard& CInferenceEngine::Map() const
{
    const CBoard* map = GetBoard();
    if (map == nullptr) throw std::logic_error("The inference engine has no map.");
    return *map;
}

std::uint32_t CInferenceEngine::OwnUnitId() const
{
    return Game().GetInferenceTable().GetOwnUnitId();
}

std::int32_t CInferenceEngine::OwnMode() const
{
    return GetUnit() != nullptr ? GetUnit()->GetLevel() : ModeNormal;
}

const CPanel* CInferenceEngine::TargetPanel(const ActionInfo& action) const
{
    return Map().GetPanel(action.Target);
}

} // namespace Marevane::ComputerAI
