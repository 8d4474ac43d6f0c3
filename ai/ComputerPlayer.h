// The computer side's full brain: it places the fleet by weights, draws the
// flagship by hit points, and decides each command by running the inference,
// assessment and decision engines over a virtual copy of the battle.
//
// InstallComputerAI makes every new computer unit get this brain; without it
// units keep the plain brain of the model.
//
// Threads: Think runs on the computer turn's worker thread; Update and Reset
// run on the GUI thread between computer turns. No lock of its own.
#pragma once

#include "model/ComputerBrain.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace Marevane {
class CBoard;
class CPanel;
class CResultManager;
} // namespace Marevane

namespace Marevane::ComputerAI {

class CAIEngine;
class CAISharedData;
class CVirtualGame;

// Plugs the full brain into every computer unit made from now on; answers
// the factory it replaced. UninstallComputerAI brings back the plain brain.
void InstallComputerAI();
void UninstallComputerAI();

// Refused computer commands, over every computer side, since the last
// "turn starts" message.
std::uint32_t GetMistakeCount();

class CComputerPlayer : public CComputerAI {
  public:
    using EngineTable = std::unordered_map<std::wstring, std::unique_ptr<CAIEngine>>;

    explicit CComputerPlayer(CUnit& owner);
    ~CComputerPlayer() override;

    CComputerPlayer(const CComputerPlayer&) = delete;
    CComputerPlayer& operator=(const CComputerPlayer&) = delete;

    void Think() override;
    void ChooseFlagship() override;
    MapPos ChooseShipPosition(ShipType type) override;
    MapPos ChooseRandomShipPosition() override;
    // The draw weight of every free passable panel for the next ship of the
    // type, in board order.
    std::vector<std::pair<const CPanel*, std::uint32_t>> GetPlacementWeights(ShipType type) const;
    void Update(MessageCode code) override;
    void Reset() override;

    // A missing name throws std::out_of_range with MissingKeyText.
    CAIEngine& GetEngine(const std::wstring& name) const;
    CUnit& GetOwner() const { return m_owner; }
    const EngineTable& GetEngines() const { return m_engines; }
    CVirtualGame* GetVirtualGame() const { return m_game.get(); }
    CAISharedData* GetSharedData() const { return m_shared.get(); }
    // The plain brain that stands in for an engine that is missing or fails.
    CPlainComputerAI& GetFallback() { return m_fallback; }
    // Why the last decision had to fall back; empty if it did not.
    const std::string& GetLastFailure() const { return m_lastFailure; }

  private:
    void StartBattle();
    void RunEngines();
    void FallBack(const std::string& reason);

    CUnit& m_owner;
    CBoard* m_board;
    CResultManager* m_results;
    // Freed in the reverse of this order: engines, shared data, game.
    std::unique_ptr<CVirtualGame> m_game;
    std::unique_ptr<CAISharedData> m_shared;
    EngineTable m_engines;
    CPlainComputerAI m_fallback;
    std::string m_lastFailure;
    // The fleet set-up asked for a flagship: flagships decide this battle.
    bool m_flagshipGoal = false;
};

// Builds the engine stored under a name; null for a name without one.
std::unique_ptr<CAIEngine> CreateEngine(const std::wstring& name, CComputerPlayer& brain);

} // namespace Marevane::ComputerAI
