// The history of one battle: one result record per turn, the record of the
// turn under way and, once the battle is over, the end record.
#pragma once

#include "model/Records.h"

#include <cstdint>

namespace Marevane {

class CResultManager {
public:
    // The process-wide manager; units and turn managers keep the reference.
    static CResultManager& GetInstance();

    CResultManager() = default;
    CResultManager(const CResultManager&) = delete;
    CResultManager& operator=(const CResultManager&) = delete;
    virtual ~CResultManager() = default;

    // Where the battle stands: the play order of the record being built.
    const PlayOrder& GetPlayOrder() const { return m_order; }
    std::uint32_t GetCurrentRound() const { return m_order.Round; }
    void SetPlayOrder(const PlayOrder& order) { m_order = order; }

private:
    PlayOrder m_order;
};

} // namespace Marevane
