// The rule settings of the coming or running battle. The set-up screens edit
// them, the host sends them to clients, and the model reads them to build the
// board and the ships.
#pragma once

#include "model/Records.h"
#include "model/Types.h"

#include <cstdint>

namespace Marevane {

// Mission codes the rules derive settings from.
constexpr MissionType MissionDeadline = 0x50000010;
constexpr MissionType MissionPullout = 0x70000030;

class CGameEdit {
  public:
    CGameEdit();
    virtual ~CGameEdit() = default;

    // Rule equals bits, or holds every one of them.
    bool HasRule(std::uint32_t bits) const;
    // Mission equals code, or holds every bit of it.
    bool HasMission(MissionType code) const;

    void ResetPlayers();

    // A fresh set of rules for the mode and map size (rows, columns).
    void SetRule(std::uint32_t rule, const MapPos& size);
    // Recomputes what follows from the size, the player count and the mission.
    void UpdateDerivedSettings();

    // Whether a received record has the rules a battle depends on; callers
    // answer a mismatch with message code 24.
    bool IsSameRule(const GameEditInfo& other) const;

    GameEditInfo& GetInfo() { return m_info; }
    const GameEditInfo& GetInfo() const { return m_info; }

  private:
    GameEditInfo m_info;
};

} // namespace Marevane
