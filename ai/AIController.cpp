#include "ai/AIController.h"

#include "model/ComputerBrain.h"
#include "model/Errors.h"
#include "model/Unit.h"

#include <QMetaType>
#include <QThread>

#include <cstdio>
#include <exception>

namespace Marevane {

CAIController::CAIController(CUnit* pUnit, QObject*) : QObject(nullptr), m_unit(pUnit)
{
    // The code crosses threads in a queued connection.
    qRegisterMetaType<MessageCode>("MessageCode");
    qRegisterMetaType<MessageCode>("Marevane::MessageCode");
    if (m_unit == nullptr || m_unit->GetUnitType() != UnitAuto)
        throw CUnitDataError("CAIController::CAIController(): Computer Unit data is invalid.");
}

void CAIController::Run()
{
    // A turn called off before it began has nothing to decide or report.
    if (QThread::currentThread()->isInterruptionRequested()) return;
    // No exception may leave the worker thread, and the turn must go on: a
    // decision that fails stands in with the plain brain's command.
    try {
        m_unit->DecideCommand();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "Computer decision failed: %s\n", error.what());
        try {
            ComputerAI::CPlainComputerAI(*m_unit).Think();
        } catch (...) {
        }
    } catch (...) {
        std::fprintf(stderr, "Computer decision failed\n");
    }
    if (QThread::currentThread()->isInterruptionRequested()) return;
    emit Completed(53);
}

} // namespace Marevane
