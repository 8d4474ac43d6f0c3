// The small battle of BattleFixture with a virtual game built from it, a plan
// of every own ship against every other side, and a decision engine (or a
// test's subclass of it) working on them.
#pragma once

#include "BattleFixture.h"
#include "ai/AISharedData.h"
#include "ai/DecisionEngine.h"
#include "model/CodeTables.h"

#include <memory>
#include <vector>

namespace Marevane::ComputerAI::Testing {

template <typename Engine> class DecisionTestBase : public BattleFixture {
  protected:
    void SetUp() override
    {
        BattleFixture::SetUp();
        com->OnMessage(51);
        game = MakeGame();
        // A plan of every own ship against every other side.
        for (const auto& [unitId, player] : game->GetPlayers()) {
            if (unitId == com->GetId()) continue;
            for (const auto& [shipId, ship] : com->GetShips()) {
                PlanRecord& plan = player->GetAssessments()[shipId];
                plan.SideId = unitId;
                plan.ShipId = shipId;
                plan.Kind = 1;
                plan.Priority = 100 + shipId;
            }
        }
        engine = std::make_unique<Engine>(com, &board, &results);
        engine->SetVirtualGame(game.get());
        engine->SetSharedData(&shared);
        shared.Target = game->GetPlayer(ann->GetId());
    }

    PlanRecord& Plan(std::uint32_t opponentId, std::uint32_t shipId)
    {
        return game->GetPlayer(opponentId)->GetAssessments().at(shipId);
    }

    void Queue(std::uint32_t opponentId, std::uint32_t shipId, std::uint32_t kind)
    {
        PlanRecord& plan = Plan(opponentId, shipId);
        plan.Kind = kind;
        shared.PlanQueue.push_back(&plan);
    }

    // The computer believes the ship stands on this panel alone.
    void Locate(CUnit* unit, std::uint32_t shipId, std::uint32_t row, std::uint32_t column)
    {
        CVirtualBoard* estimate = game->GetPlayer(unit->GetId())->GetBoard(shipId);
        estimate->Reset();
        estimate->ApplyFlag(1, board.GetPanel(row, column));
        ASSERT_EQ(estimate->GetCandidateCount(), 1u);
    }

    // The computer believes the ship may stand on any of these panels.
    void LocateAmong(CUnit* unit, std::uint32_t shipId, const std::vector<MapPos>& panels)
    {
        CVirtualBoard* estimate = game->GetPlayer(unit->GetId())->GetBoard(shipId);
        CVirtualBoard one(*estimate);
        estimate->ClearFlag();
        for (const MapPos& pos : panels) {
            one.Reset();
            one.ApplyFlag(1, board.GetPanel(pos));
            estimate->AddFlag(one);
        }
        ASSERT_EQ(estimate->GetCandidateCount(), panels.size());
    }

    // The hit points the computer's picture of the side gives the ship.
    void EstimateHp(CUnit* unit, std::uint32_t shipId, std::int32_t hp)
    {
        const ShipProfile* profile = game->GetPlayer(unit->GetId())->FindShipProfile(shipId);
        ASSERT_NE(profile, nullptr);
        const_cast<ShipProfile*>(profile)->Hp = hp;
    }

    void SinkAll(CUnit* unit)
    {
        for (const auto& [id, ship] : unit->GetShips()) {
            ship->GetProfile().Hp = 0;
            ship->SetStatus(ShipStatusSinking);
        }
    }

    // The unit's own check and execution take the written command.
    void ExpectAccepted()
    {
        const CommandInput written = com->GetCommandInput();
        const MessageCode code = com->ExecuteCommand(All());
        EXPECT_FALSE(IsErrorCode(code))
            << "command " << written.Command << " ship " << written.ShipId << " direction "
            << written.Direction << " distance " << written.Distance << " -> code " << code;
    }

    std::unique_ptr<CVirtualGame> game;
    CAISharedData shared;
    std::unique_ptr<Engine> engine;
};

// A parameterised fixture: every case starts from a fresh battle.
template <typename Param>
class FreshDecisionTest : public DecisionTestBase<CDecisionEngine>,
                          public ::testing::WithParamInterface<Param> {
};

} // namespace Marevane::ComputerAI::Testing
