// The computer side's brain as its unit sees it: the unit owns one while its
// type is Auto and calls it to place the fleet, pick the flagship and decide
// each command. The full opponent plugs in through SetComputerAIFactory; until
// it does, a plain brain that only gives commands the rules allow stands in.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace Marevane {

class CUnit;

namespace ComputerAI {

class CComputerAI {
  public:
    virtual ~CComputerAI() = default;

    // Decides one command and stores it in the owner (CUnit::SetCommandInput).
    // Runs on the computer turn's worker thread.
    virtual void Think() = 0;
    // Chooses the owner's flagship among its placed ships.
    virtual void ChooseFlagship() = 0;
    // The panel (row, column inside the ring) for the owner's next ship.
    virtual MapPos ChooseShipPosition(ShipType type) = 0;
    // A uniformly drawn free, passable panel inside the ring.
    virtual MapPos ChooseRandomShipPosition() = 0;
    // Every message code that reaches the owner.
    virtual void Update(MessageCode code) = 0;
    // Forgets everything of the last battle.
    virtual void Reset() = 0;
};

using ComputerAIFactory = std::function<std::unique_ptr<CComputerAI>(CUnit& owner)>;

// Installs the factory every new brain comes from; an empty one brings back
// the plain brain. Returns the factory it replaced.
ComputerAIFactory SetComputerAIFactory(ComputerAIFactory factory);
std::unique_ptr<CComputerAI> CreateComputerAI(CUnit& owner);

// Picks uniformly among the commands its ships may give and aims them where
// the unit's check will accept them; passes when nothing is left. After too
// many refusals in one turn it passes too, so a turn always ends.
class CPlainComputerAI : public CComputerAI {
  public:
    static constexpr std::uint32_t MaxRefusals = 30;

    explicit CPlainComputerAI(CUnit& owner);

    void Think() override;
    void ChooseFlagship() override;
    MapPos ChooseShipPosition(ShipType type) override;
    MapPos ChooseRandomShipPosition() override;
    void Update(MessageCode code) override;
    void Reset() override;

    std::uint32_t GetRefusals() const { return m_refusals.load(); }

  private:
    // Every command the owner's ships could give now, each already aimed.
    std::vector<CommandInput> CollectCandidates() const;
    void StorePass();

    CUnit& m_owner;
    std::atomic<std::uint32_t> m_refusals{0};
};

} // namespace ComputerAI
} // namespace Marevane
