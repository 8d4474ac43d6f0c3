// What the ship factory needs of the side that owns a fleet. Units implement
// it; the factory keys its tables by the owner.
#pragma once

#include <cstddef>
#include <cstdint>

namespace Marevane {

class CShip;

class CShipOwner {
  public:
    virtual ~CShipOwner() = default;

    virtual std::uint32_t GetUnitId() const = 0;
    // Records the ship under its id (insert or replace); the owner keeps a
    // pointer, the factory keeps the ship.
    virtual void AddShip(std::uint32_t shipId, CShip* ship) = 0;
    virtual void RemoveAllShips() = 0;
    virtual std::size_t ShipCount() const = 0;
    // Room for a fleet of this size; the table still grows past it.
    virtual void ReserveShips(std::size_t count) = 0;
    // The number of reinforcements the side may still make.
    virtual void SetReinforcementsLeft(std::uint32_t count) = 0;
    // 0 or an unknown id clears the flagship.
    virtual void SetFlagship(std::uint32_t shipId) = 0;
};

} // namespace Marevane
