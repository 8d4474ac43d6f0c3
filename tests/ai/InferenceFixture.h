// The small battle of BattleFixture with the computer's inference engine on
// top: turns are played for real, then the computer thinks over them.
#pragma once

#include "BattleFixture.h"
#include "ai/InferenceEngine.h"

#include <string>
#include <vector>

namespace Marevane::ComputerAI::Testing {

class InferenceFixture : public BattleFixture {
  protected:
    void SetUp() override
    {
        BattleFixture::SetUp();
        // As when the battle starts, from the opening record.
        game = MakeGame();
    }

    void SetMode(std::int32_t mode)
    {
        UnitProfile profile = com->GetProfile();
        profile.Level = static_cast<std::uint32_t>(mode);
        com->SetProfile(profile);
    }

    static CommandInput Order(std::uint32_t command, std::uint32_t shipId, std::uint32_t direction,
                              std::uint32_t distance = 1)
    {
        CommandInput input;
        input.Command = command;
        input.ShipId = shipId;
        input.Direction = direction;
        input.Distance = distance;
        return input;
    }

    void Attack(CUnit* unit, std::uint32_t shipId, std::uint32_t direction)
    {
        Play(unit, Order(CommandAttack, shipId, direction));
    }

    void Move(CUnit* unit, std::uint32_t shipId, std::uint32_t direction, std::uint32_t distance)
    {
        Play(unit, Order(CommandMove, shipId, direction, distance));
    }

    // The game built at the start of the battle, refreshed as at a decision.
    void StartThinking()
    {
        game->Refresh();
        engine = std::make_unique<CInferenceEngine>(com, &board, &results);
        engine->SetVirtualGame(game.get());
    }

    void Think()
    {
        StartThinking();
        engine->Run();
    }

    // The newest stored record whose command was given by the unit.
    const ResultMessage& LastCommandOf(const CUnit* unit) const
    {
        for (unsigned k = 1; k <= results.GetLogCount(); ++k) {
            const ResultMessage& r = results.GetLog(k);
            if (r.Sender.Id == unit->GetId() && r.GetPrimaryAction() != nullptr) return r;
        }
        throw std::logic_error("no command of that side");
    }

    CVirtualBoard& BoardOf(const CUnit* unit, std::uint32_t shipId) const
    {
        return *game->GetShipBoard(unit->GetId(), shipId);
    }

    // Inner flags as digits, one string per row ('#' above 9).
    std::vector<std::string> FlagsOf(const CVirtualBoard& b) const
    {
        std::vector<std::string> rows;
        for (std::uint32_t x = 1; x <= board.GetRows(); ++x) {
            std::string row;
            for (std::uint32_t y = 1; y <= board.GetColumns(); ++y) {
                const std::int32_t f = b.GetVirtualPanel(board.GetPanel(x, y))->GetFlag();
                row += (f >= 0 && f <= 9) ? static_cast<char>('0' + f) : '#';
            }
            rows.push_back(row);
        }
        return rows;
    }

    // A board holding flag 1 on the listed panels only.
    void Keep(CVirtualBoard& b, const std::vector<MapPos>& panels) const
    {
        b.ClearFlag();
        CVirtualBoard one(b);
        for (const MapPos& p : panels) {
            one.SetRingFlag(board.GetPanel(p), 0);
            b.AddFlag(one);
        }
    }

    std::unique_ptr<CVirtualGame> game;
    std::unique_ptr<CInferenceEngine> engine;
};

} // namespace Marevane::ComputerAI::Testing
