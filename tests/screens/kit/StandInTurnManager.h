// A turn manager that plays no battle: it writes down every code the
// screens pass it, and lets a test send codes as the battle flow would.
#pragma once

#include "model/TurnManager.h"
#include "model/Types.h"

#include <QObject>

#include <vector>

namespace Marevane::Testing {

class CStandInTurnManager : public QObject, public CTurnManager {
    Q_OBJECT
  public:
    explicit CStandInTurnManager(QObject* parent = nullptr);

    // Written down, in order.
    void Update(MessageCode code) override;
    void SetLogCache(CLogger* logger) override { m_logger = logger; }
    CLogger* GetLogCache() const override { return m_logger; }

    const std::vector<MessageCode>& Codes() const { return m_codes; }
    void ClearCodes() { m_codes.clear(); }
    // The sides take part in this order; the first one plays.
    void TakeSides(const std::vector<CUnit*>& sides);
    // The side of that id plays now; an id no side has changes nothing.
    void SetCurrent(std::uint32_t unitId) { SetCurrentUnitById(unitId); }
    // Emits Sent(code), as the battle flow hands a code to the screens.
    void Send(MessageCode code) { emit Sent(code); }

  signals:
    void Sent(Marevane::MessageCode code);
    void Updated(Marevane::MessageCode code);

  private:
    std::vector<MessageCode> m_codes;
    CLogger* m_logger = nullptr;
};

} // namespace Marevane::Testing
