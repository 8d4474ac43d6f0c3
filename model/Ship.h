// One ship on the board: its profile, its place on the panels, the mines it
// carries and lays, its torpedoes in flight, and the rules of every command a
// ship carries out. Commands answer a MessageCode; a refusal changes nothing.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <vector>

namespace Marevane {

class CPanel;
class CTorpedo;
struct GameEditInfo;

class CShip {
  public:
    // Throws CPanelRangeError when the panel is missing or not passable.
    CShip(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const ShipConfigSet& config);
    virtual ~CShip();

    CShip(const CShip&) = delete;
    CShip& operator=(const CShip&) = delete;

    // --- state ---------------------------------------------------------
    const ShipProfile& GetProfile() const { return m_profile; }
    // Units copy the host's state into a ship; the factory adjusts its config.
    ShipProfile& GetProfile() { return m_profile; }
    void SetProfile(const ShipProfile& profile) { m_profile = profile; }
    std::uint32_t GetUnitId() const { return m_profile.UnitId; }
    std::uint32_t GetShipId() const { return m_profile.ShipId; }
    std::uint32_t GetType() const { return m_profile.Type; }
    const ShipConfigSet& GetConfig() const { return m_profile.Config; }

    CPanel* GetCurrentPanel() const { return m_currentPanel; }
    CPanel* GetPreviousPanel() const { return m_previousPanel; }
    // Puts the ship on a passable panel without marking it known: the
    // previous panel becomes the one it left. Used when a unit takes over a
    // received position or steps a ship back off a taken panel.
    void SetPanel(CPanel* panel);

    // The ship's own mine records, laid or not; panels point into this list,
    // so its records never move.
    const std::list<MineProfile>& GetMines() const { return m_mines; }
    // Mines not yet laid: the ones the ship still carries.
    std::uint32_t CountCarriedMines() const;
    std::vector<const MineProfile*> GetMinesAt(const MapPos& pos) const;

    // Every torpedo the ship still keeps, finished ones included, by number.
    const std::map<std::uint32_t, std::shared_ptr<CTorpedo>>& GetAllTorpedoes() const { return m_torpedoes; }
    // Torpedoes still running, by number.
    std::vector<std::shared_ptr<CTorpedo>> GetTorpedoes() const;
    std::shared_ptr<CTorpedo> GetTorpedo(std::uint32_t number) const;
    // The profiles of every torpedo the ship keeps, for the host's map state.
    std::vector<TorpedoProfile> GetTorpedoProfiles() const;

    // --- queries ---------------------------------------------------------
    bool IsFpInUse() const { return m_profile.Config.Fp != 0; }
    bool HasStatus(std::uint32_t status) const;
    bool IsSinking() const;
    bool IsStealthed() const;
    bool IsFuelShortage() const;
    double GetFpRate() const;
    std::uint32_t GetMoveRange() const;
    std::uint32_t GetCommandCost(std::uint32_t command, std::uint32_t n) const;
    std::uint32_t GetReinforcementCost(std::uint32_t round) const;
    std::uint32_t GetTorpedoCount() const;
    bool HasCommandAbility(std::uint32_t command) const;
    bool CanAct() const;
    bool CanExecuteCommand(std::uint32_t command) const;
    bool CanFireTorpedo() const;
    bool CanLayMine() const;
    // count: the round for Reinforce, the unit's flagship hand-overs so far
    // for Change of Flagship.
    bool CanExecute(std::uint32_t command, std::uint32_t count) const;

    // --- commands --------------------------------------------------------
    MessageCode Move(std::uint32_t direction, std::uint32_t distance);
    // ships: every ship the attack can reach, as the caller chose them.
    MessageCode Attack(const std::vector<CShip*>& ships, CPanel* panel);
    MessageCode FireTorpedo(const std::vector<CShip*>& ships, CPanel* targetPanel);
    MessageCode LayMine(CPanel* panel);
    MessageCode Reinforce(CPanel* panel, std::uint32_t round);
    MessageCode Refuel(const std::vector<CShip*>& ships);
    MessageCode ChangeFlagship(CShip* newFlagship, std::uint32_t count);
    void ReceiveFuel(std::uint32_t amount);

    // The effect of an attack on a panel, without its fuel checks and cost:
    // classifies the listed ships, counts, clears a mine. Torpedo explosions
    // use it too.
    void Strike(const std::vector<CShip*>& ships, CPanel* panel);

    void MoveToPanel(CPanel* panel);
    void MarkPanelKnown(CPanel* panel);

    // --- status machine ---------------------------------------------------
    // The update queued after a move, a reinforcement or a refuel.
    void UpdateStealth();
    // A ship that can no longer act runs out of fuel; a hidden submarine
    // cannot surface without fuel and sinks.
    void CheckFuel();
    void ApplyPendingStatus();
    void SetStatus(std::uint32_t status);

    // Turn events 45 to 74.
    void OnMessage(MessageCode code);

    // Every running torpedo takes its step; one that reaches its target, a
    // reef or a live mine explodes there.
    void StepTorpedoes();

    // Explosion results of finished torpedoes not yet collected, by number.
    std::vector<ActionInfo> GetTorpedoResults() const;
    // Drops finished torpedoes; their results can no longer be collected.
    void RemoveFinishedTorpedoes();
    // The ship's action records waiting for the unit's turn-effect record:
    // the explosion results, handed out once.
    std::vector<ActionInfo> TakePendingActions();

    // --- state received from the host ------------------------------------
    void SyncTorpedo(const TorpedoProfile& profile);
    // The full list of torpedoes on the map: a torpedo of this ship that the
    // list no longer holds is gone on the host too.
    void SyncTorpedoes(const std::vector<TorpedoProfile>& profiles);
    void SyncMine(const MineProfile& mine);

    // Callbacks run at the end of the unit's turn (code 74).
    void QueueUpdate(std::function<void()> update) { m_pendingUpdates.push_back(std::move(update)); }
    std::size_t CountPendingUpdates() const { return m_pendingUpdates.size(); }

  private:
    std::uint32_t MoveCost(std::uint32_t panels) const;
    // CanAct as if the ship were not in fuel shortage.
    bool CanActOnFuel() const;
    bool IsOn(std::uint32_t panelType) const;
    void LoseFp(std::uint32_t amount);
    void SpendFp(std::uint32_t amount);
    void TakeHit();
    // Sets off the live mines of the panel the ship enters.
    void SetOffMines(CPanel* panel);
    void LeaveFuelShortageIfAble();
    MineProfile& FreeMineRecord();

    ShipProfile m_profile;
    std::list<MineProfile> m_mines;
    std::map<std::uint32_t, std::shared_ptr<CTorpedo>> m_torpedoes;
    CPanel* m_currentPanel = nullptr;
    CPanel* m_previousPanel = nullptr;
    std::vector<std::function<void()>> m_pendingUpdates;
};

// The panel of the playing area at a position, found by walking from a panel
// of the same board; null outside the playing area. Positions received from
// elsewhere are checked here before any walk.
CPanel* FindPanel(CPanel* from, const MapPos& pos);

class CBattleShip : public CShip {
  public:
    CBattleShip(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules);
};

class CDestroyer : public CShip {
  public:
    CDestroyer(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules);
};

class CSubmarine : public CShip {
  public:
    CSubmarine(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules);
};

class COiler : public CShip {
  public:
    COiler(std::uint32_t unitId, std::uint32_t shipId, CPanel* panel, const GameEditInfo& rules);
};

} // namespace Marevane
