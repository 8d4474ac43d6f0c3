// What runs in place of an engine whose real pass is not in this build: the
// computer still decides every command, with the plain brain's choice.
#pragma once

#include "ai/AIEngine.h"
#include "model/ComputerBrain.h"

namespace Marevane::ComputerAI {

// Learns nothing; the virtual game keeps the picture its build gave it.
class CStandInInference : public CAIEngine {
  public:
    using CAIEngine::CAIEngine;
    void Run() override {}
};

// Stores the plain brain's command, which the unit's check accepts.
class CStandInDecision : public CAIEngine {
  public:
    CStandInDecision(CUnit* unit, CBoard* board, CResultManager* results, CPlainComputerAI& plain)
        : CAIEngine(unit, board, results), m_plain(plain)
    {
    }
    void Run() override { m_plain.Think(); }

  private:
    CPlainComputerAI& m_plain;
};

} // namespace Marevane::ComputerAI
