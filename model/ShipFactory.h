// Creates, owns and destroys every ship of a battle and numbers each side's
// ships from 1. Set-up tasks on other threads use it: one mutex guards every
// table. The ships themselves belong to the GUI thread.
#pragma once

#include "model/Records.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CPanel;
class CShip;
class CShipOwner;

class CShipFactory {
  public:
    // Neither is owned; both outlive the factory.
    CShipFactory(CBoard* board, CGameEdit* gameEdit);
    // Destroys the ships without calling their owners, which may be gone.
    virtual ~CShipFactory();

    CShipFactory(const CShipFactory&) = delete;
    CShipFactory& operator=(const CShipFactory&) = delete;

    std::uint32_t GetNextShipId(CShipOwner* unit);
    // False when another ship of the same side (another id) stands there.
    bool IsPanelFree(CShipOwner* unit, std::uint32_t shipId, const CPanel* panel) const;

    // Throws CShipTypeRangeError, CNonCombatantShipError (an oiler as first
    // ship), CPanelOnOtherShipError, CPanelRangeError (panel not passable) or
    // CShipDataError; nothing changes when it throws.
    CShip* CreateShip(CShipOwner* unit, std::uint32_t type, CPanel* panel);

    // Replaces the fleets of the given sides with ships made from their
    // profiles (type, position, flagship flag), keyed by unit id. Every
    // profile is checked first: when one is invalid it throws as CreateShip
    // does (std::out_of_range for a side without an entry) and changes
    // nothing.
    void PlaceShips(const std::vector<CShipOwner*>& units,
                    const std::map<std::uint32_t, std::vector<ShipProfile>>& profiles);

    // A side without ships is fine.
    void RemoveShipsOf(CShipOwner* unit);
    void Clear();

    // The side's ships by id.
    std::vector<CShip*> GetShips(CShipOwner* unit) const;
    CShip* GetShip(CShipOwner* unit, std::uint32_t shipId) const;

  private:
    friend class CShipOwner;
    // The owner is being destroyed: drop its fleet without calling it.
    void ForgetOwner(CShipOwner* unit);

    using Fleet = std::map<std::uint32_t, std::unique_ptr<CShip>>;

    std::uint32_t NextShipIdLocked(CShipOwner* unit);
    bool IsPanelFreeLocked(CShipOwner* unit, std::uint32_t shipId, const CPanel* panel) const;
    CShip* CreateShipLocked(CShipOwner* unit, std::uint32_t type, CPanel* panel);
    std::unique_ptr<CShip> MakeShipLocked(CShipOwner* unit, std::uint32_t type, CPanel* panel);
    void RemoveShipsOfLocked(CShipOwner* unit);
    CPanel* PlayingPanel(const MapPos& pos) const;

    CBoard* m_board;
    CGameEdit* m_gameEdit;
    mutable std::mutex m_mutex;
    std::map<CShipOwner*, Fleet> m_ships;
    std::map<CShipOwner*, std::uint32_t> m_nextShipIds;
};

} // namespace Marevane
