// Runs one computer side's thinking for one command off the GUI thread. The
// battle screen makes one controller and one QThread per decision, moves the
// controller there and starts Run with the thread; Completed(53) then goes
// back to the GUI thread over a queued connection. A thread asked to stop
// (QThread::requestInterruption) ends its decision early and reports nothing.
#pragma once

#include "model/Types.h"

#include <QObject>

namespace Marevane {

class CUnit;

class CAIController : public QObject {
    Q_OBJECT

  public:
    // Throws CUnitDataError unless the unit is a computer side. The object
    // stays without a parent so that it can move to the worker thread; the
    // second argument is not used.
    CAIController(CUnit* pUnit, QObject* parent = nullptr);

    CUnit* GetUnit() const { return m_unit; }

  public slots:
    // Lets the unit decide its command, then emits Completed(53) once.
    void Run();

  signals:
    void Completed(Marevane::MessageCode code);

  private:
    CUnit* m_unit;
};

} // namespace Marevane
