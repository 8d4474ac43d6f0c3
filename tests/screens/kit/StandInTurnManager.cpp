#include "tests/screens/kit/StandInTurnManager.h"

#include "model/Unit.h"

namespace Marevane::Testing {

CStandInTurnManager::CStandInTurnManager(QObject* parent) : QObject(parent)
{
    static const int registered = qRegisterMetaType<Marevane::MessageCode>("Marevane::MessageCode");
    (void)registered;
}

void CStandInTurnManager::Update(MessageCode code)
{
    m_codes.push_back(code);
    emit Updated(code);
}

void CStandInTurnManager::TakeSides(const std::vector<CUnit*>& sides)
{
    SetUnits(sides);
    if (!sides.empty() && sides.front() != nullptr) SetCurrentUnitById(sides.front()->GetId());
}

} // namespace Marevane::Testing
