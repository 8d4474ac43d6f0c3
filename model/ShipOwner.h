// What the ship factory needs of the side that owns a fleet. Units implement
// it; the factory keys its tables by the owner.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <set>

namespace Marevane {

class CShip;
class CShipFactory;

class CShipOwner {
  public:
    CShipOwner() = default;
    CShipOwner(const CShipOwner&) = delete;
    CShipOwner& operator=(const CShipOwner&) = delete;
    // A side may be deleted while a factory still holds its fleet (a unit
    // factory clearing its table): the factories drop that fleet first, so
    // no table keeps a dangling owner that a later Clear would call.
    virtual ~CShipOwner();

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

  private:
    friend class CShipFactory;
    void AttachFactory(CShipFactory* factory);
    void DetachFactory(CShipFactory* factory);

    std::mutex m_factoryMutex;
    std::set<CShipFactory*> m_factories;
};

} // namespace Marevane
