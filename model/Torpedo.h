// A torpedo runs from its ship towards a target panel, one panel after every
// action, and explodes like an attack of its ship where it stops: on the
// target, a reef or a live mine.
#pragma once

#include "model/Records.h"

#include <functional>
#include <vector>

namespace Marevane {

class CPanel;
class CShip;

class CTorpedo {
  public:
    // Throws CPanelRangeError when a panel is missing or on the boundary
    // ring, or when the target is the ship's own panel.
    CTorpedo(CShip* ship, CPanel* launchPanel, CPanel* targetPanel);
    // Rebuilds a torpedo received from the host; every position must lie in
    // the playing area (CPanelRangeError otherwise).
    CTorpedo(CShip* ship, const TorpedoProfile& profile);
    virtual ~CTorpedo() = default;

    CTorpedo(const CTorpedo&) = delete;
    CTorpedo& operator=(const CTorpedo&) = delete;

    // The ships the explosion can reach.
    void Launch(std::vector<CShip*> ships) { m_ships = std::move(ships); }
    void Step();
    // True when it exploded now, false when it had finished before.
    bool Explode();
    // Takes over a profile received from the host.
    void Update(const TorpedoProfile& profile);

    const TorpedoProfile& GetProfile() const { return m_profile; }
    const ActionInfo& GetResult() const { return m_result; }
    bool IsFinished() const { return m_profile.IsFinished; }
    CShip* GetShip() const { return m_ship; }
    // The launch panel until the first step.
    CPanel* GetCurrentPanel() const;
    CPanel* GetLaunchPanel() const { return m_launchPanel; }
    CPanel* GetTargetPanel() const { return m_targetPanel; }
    const std::vector<CShip*>& GetShips() const { return m_ships; }
    // Whether it stands where it has to explode: its target, a reef, or a
    // panel with a live mine.
    bool IsAtEnd() const;

    // Settles a tie between the two axes: true goes north or south. Tests
    // force it; by default a fair draw of the shared random engine.
    using Coin = std::function<bool()>;
    void SetCoin(Coin coin) { m_coin = std::move(coin); }

  private:
    CShip* m_ship;
    std::vector<CShip*> m_ships;
    CPanel* m_currentPanel = nullptr;
    CPanel* m_launchPanel = nullptr;
    CPanel* m_targetPanel = nullptr;
    TorpedoProfile m_profile;
    ActionInfo m_result;
    Coin m_coin;
};

} // namespace Marevane
