// The host's step operation without a network: what the battle screens'
// server-side turn manager does with each message code, minus the sending.
// The driver runs whole battles in memory with it.
#pragma once

#include "model/TurnManager.h"

#include <cstdint>

namespace Marevane {

struct ProgressMessage;

class CHeadlessTurnManager : public CTurnManagerOnServer {
  public:
    // Rounds between submarine surfacings.
    static constexpr std::uint32_t SurfacingPeriod = 3;

    void Update(MessageCode code) override;
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }
    void Reset() override;

    // The turn state the host would send with this code.
    ProgressMessage BuildProgressMessage(MessageCode code) const;

  private:
    void NotifyAll(MessageCode code);
    void RecordAction();
    void UpdateBoard();

    CLogger* m_logger = nullptr;
};

} // namespace Marevane
