// One side of a battle: its profile, its ships (owned by the ship factory),
// its think-time timer, the command it is about to give and, for a computer
// side, its brain. Every command from the screens, the console, the network
// or the brain passes the same check here before a ship carries it out.
#pragma once

#include "model/ComputerBrain.h"
#include "model/Records.h"
#include "model/ShipOwner.h"
#include "model/Types.h"

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace Marevane {

class CBoard;
class CPanel;
class CResultManager;
class CShip;
class CTimer;
class CTorpedo;

// Record [0] of a side is the current battle; [1] to [3] sum battles.
void AddStatistics(ActionStatistics& target, const ActionStatistics& source);

// A Resign farewell longer than 20 characters keeps its first 20 and gets
// the suffix "...アバーッ！".
std::wstring CutResignText(const std::wstring& text);

class CUnit : public CShipOwner {
  public:
    static constexpr std::int64_t DefaultTimeLimit = 1200000;
    // Reinforcing is possible up to and including this round.
    static constexpr std::uint32_t LastReinforceRound = 20;
    // A side may have this many torpedoes in flight and still fire one more.
    static constexpr std::uint32_t TorpedoLimit = 6;

    // Ships keyed and walked by ship id.
    using ShipMap = std::map<std::uint32_t, CShip*>;
    using ShipPredicate = std::function<bool(const CShip&)>;
    // Reads one typed command for a side without a brain and stores it with
    // SetCommandInput; installed by the console front-end.
    using CommandReader = std::function<void(CUnit&)>;
    // Reads one placement number (row * 10 + column) for such a side.
    using NumberReader = std::function<std::uint32_t(CUnit&)>;

    CUnit(const UnitProfile& profile, CBoard* board);
    ~CUnit() override = 0;

    CUnit(const CUnit&) = delete;
    CUnit& operator=(const CUnit&) = delete;

    virtual void OnMessage(MessageCode code);
    virtual void Reset();

    // Identity and profile.
    const UnitProfile& GetProfile() const { return m_profile; }
    // Takes over a whole profile; the brain follows the type.
    void SetProfile(const UnitProfile& profile);
    std::uint32_t GetId() const { return m_profile.Id; }
    std::uint32_t GetUnitId() const override { return m_profile.Id; }
    void SetId(std::uint32_t id);
    std::uint32_t GetUnitType() const { return m_profile.Type; }
    void SetUnitType(std::uint32_t type);
    std::int32_t GetLevel() const { return static_cast<std::int32_t>(m_profile.Level); }
    std::uint64_t GetHostId() const { return m_profile.HostId; }
    void SetHostId(std::uint64_t hostId) { m_profile.HostId = hostId; }
    void MakeHostId();
    void JoinTeam(CUnit& other);
    bool IsTeamMate(const CUnit& other) const;
    void ClearTeam() { m_profile.TeamMates.clear(); }
    bool HasTeamMates() const { return !m_profile.TeamMates.empty(); }
    bool IsResigned() const { return m_profile.IsResigned; }
    bool IsTimedOut() const { return m_profile.IsTimedOut; }
    void SetResigned(bool resigned) { m_profile.IsResigned = resigned; }
    void SetTimedOut(bool timedOut) { m_profile.IsTimedOut = timedOut; }
    std::uint32_t GetReinforcementsLeft() const { return m_profile.ReinforcementsLeft; }
    void SetReinforcementsLeft(std::uint32_t count) override { m_profile.ReinforcementsLeft = count; }

    CBoard* GetBoard() const { return m_board; }
    CTimer& GetTimer() const { return *m_timer; }
    CResultManager& GetResultManager() const { return m_results; }
    ComputerAI::CComputerAI* GetBrain() const { return m_brain.get(); }
    std::uint32_t GetCurrentRound() const;

    // Ships.
    void AddShip(std::uint32_t id, CShip* ship) override;
    void RemoveAllShips() override;
    std::size_t ShipCount() const override { return m_ships.size(); }
    // Ships live in an ordered map; there is nothing to reserve.
    void ReserveShips(std::size_t) override {}
    bool HasShip(std::uint32_t id) const { return m_ships.count(id) != 0; }
    // Throws std::out_of_range for an id the unit does not hold.
    CShip* GetShip(std::uint32_t id) const;
    const ShipMap& GetShips() const { return m_ships; }
    CShip* FindShipOnPanel(const CPanel* panel) const;
    bool IsPanelOccupied(const CPanel* panel, const CShip* exceptShip) const;
    std::vector<CShip*> GetShipsIf(const ShipPredicate& predicate) const;

    // Flagship.
    bool HasFlagship() const { return GetFlagship() != nullptr; }
    bool IsFlagship(std::uint32_t id) const { return id != 0 && m_profile.FlagshipId == id && HasShip(id); }
    CShip* GetFlagship() const;
    void SetFlagship(std::uint32_t id) override;

    // Totals.
    std::uint32_t GetTotalHp() const;
    std::uint32_t GetTotalMaxHp() const;
    std::uint32_t GetWeightedFp() const;
    std::uint32_t GetTotalFp() const;
    std::uint32_t GetTotalMaxFp() const;
    std::uint32_t GetMineTotal() const;
    double GetHpRate() const;
    std::uint32_t CountAliveShips() const;
    std::uint32_t CountTorpedoes() const;
    std::vector<CTorpedo*> GetTorpedoes() const;
    std::uint32_t CountTorpedoesOnPanel(const CPanel* panel) const;
    std::wstring GetShipCodeOnPanel(const CPanel* panel) const;
    // Console texts of a panel as this side sees it (model/BoardText.cpp):
    // its ship's letter and id, or U+3000; the whole cell of the set-up board.
    std::wstring GetShipTextOnPanel(const CPanel* panel) const;
    std::wstring GetPanelText(const CPanel* panel) const;

    // Client side: takes over the host's ship state.
    void UpdateShips(const std::vector<ShipProfile>& profiles);

    // State tests.
    bool IsActive() const;
    bool IsDefeated() const;
    bool CanAct() const;
    bool CanAnyShipAct() const;
    bool CanAnyShipAttack() const;
    bool RefreshShipStatuses();
    bool MarkStealthedShips();
    bool MarkVisibleShips();

    // Commands.
    const CommandInput& GetCommandInput() const { return m_command; }
    void SetCommandInput(const CommandInput& input);
    void ClearCommandInput();
    MessageCode CheckCommandInput();
    void CompleteCommandInput();
    MessageCode ExecuteCommand(const std::vector<CUnit*>& units);
    bool CanShipExecuteCommand(std::uint32_t shipId, std::uint32_t command) const;
    std::uint32_t GetReinforceCost(std::uint32_t shipId) const;
    void RecordAction(std::uint32_t kind, const std::vector<CUnit*>& units);
    MessageCode RefuelFrom(CShip* oiler);
    const std::vector<ActionInfo>& GetActions() const { return m_actions; }

    // Decisions.
    void DecideCommand();
    void ChooseFlagship();
    MapPos ChooseShipPosition(ShipType type);
    void SetCommandReader(CommandReader reader) { m_commandReader = std::move(reader); }
    void SetNumberReader(NumberReader reader) { m_numberReader = std::move(reader); }

    // Statistics.
    const ActionStatistics& GetStatistics(std::size_t index = 0) const
    {
        return m_profile.Statistics.at(index);
    }
    ActionStatistics& GetStatistics(std::size_t index = 0) { return m_profile.Statistics.at(index); }
    void UpdateFpTotals();
    void UpdateStatistics();
    void AccumulateScore();
    void ClearStatistics() { m_profile.Statistics[0] = ActionStatistics{}; }

  private:
    // The panel at a position inside the ring, or none.
    CPanel* FindPlayPanel(const MapPos& pos) const;
    bool IsOut() const;
    bool CanReinforceNow() const;
    bool CanReturnSomewhere(const CShip& ship) const;
    // An afloat ship passing the test, or a sunk one that may come back now.
    bool AnyShipQualifies(const ShipPredicate& afloatTest) const;
    MessageCode CheckTarget(const CShip& ship);

    MessageCode ExecuteMove(CShip& ship);
    MessageCode ExecuteAttack(CShip& ship, const std::vector<CUnit*>& units);
    MessageCode ExecuteMine(CShip& ship);
    MessageCode ExecuteTorpedo(CShip& ship, const std::vector<CUnit*>& units);
    MessageCode ExecuteReinforce(CShip& ship);
    MessageCode ExecuteChangeFlagship(CShip& ship);
    void UpdateAllTotals(const std::vector<CUnit*>& units);

    CResultManager& m_results;
    UnitProfile m_profile;
    ShipMap m_ships;
    CommandInput m_command;
    std::vector<ActionInfo> m_actions;
    CBoard* m_board;
    CommandReader m_commandReader;
    NumberReader m_numberReader;
    // Last, so that both go first: the timer's loop and the brain may still
    // read the unit while they wind down.
    std::unique_ptr<CTimer> m_timer;
    std::unique_ptr<ComputerAI::CComputerAI> m_brain;
};

} // namespace Marevane
