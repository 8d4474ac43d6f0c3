// The one place that knows which class serves each engine name.
#include "ai/AssessmentEngine.h"
#include "ai/ComputerPlayer.h"
#include "ai/DecisionEngine.h"
#include "ai/InferenceEngine.h"
#include "ai/StandInEngines.h"
#include "model/Unit.h"

namespace Marevane::ComputerAI {

std::unique_ptr<CAIEngine> CreateEngine(const std::wstring& name, CComputerPlayer& brain)
{
    CUnit& unit = brain.GetOwner();
    CBoard* board = unit.GetBoard();
    CResultManager* results = &unit.GetResultManager();
    if (name == L"inference") return std::make_unique<CInferenceEngine>(&unit, board, results);
    if (name == L"assessment") return std::make_unique<CAssessmentEngine>(&unit, board, results);
    if (name == L"decision") return std::make_unique<CDecisionEngine>(&unit, board, results);
    return nullptr;
}

} // namespace Marevane::ComputerAI
