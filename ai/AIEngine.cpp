#include "ai/AIEngine.h"

#include "model/ResultManager.h"
#include "model/Unit.h"

#include <algorithm>

namespace Marevane::ComputerAI {

CAIEngine::CAIEngine(CUnit* unit, CBoard* board, CResultManager* results)
    : m_unit(unit), m_board(board), m_results(results)
{
}

CAIEngine::~CAIEngine() = default;

std::vector<const ResultMessage*> CAIEngine::GetLog() const
{
    std::vector<const ResultMessage*> records;
    if (m_unit == nullptr || m_results == nullptr) return records;
    const std::int32_t wanted = m_unit->GetLevel() + 20;
    if (wanted <= 0) return records;
    const unsigned k = std::min(static_cast<unsigned>(wanted), m_results->GetLogCount());
    records.reserve(k);
    for (unsigned i = k; i >= 1; --i) records.push_back(&m_results->GetLog(i));
    return records;
}

} // namespace Marevane::ComputerAI
