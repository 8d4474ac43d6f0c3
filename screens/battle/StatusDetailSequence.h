// The status detail screen over the play sequence: one side's statistics,
// or one of its ships in detail, paged with the screen's buttons. It closes
// itself as soon as the battle moves on (a result report starts or ends, a
// time-up), so the battle never waits behind it.
#pragma once

#include "app/GameSequence.h"
#include "model/Types.h"

#include <QPointer>

namespace Marevane {

class CCommandResultReport;
class CPlayerStatusScene;
class CShip;
class CStatusDetailScene;
class CTurnManager;
class CUnit;

class CStatusDetailSequence : public CGameSequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x08;
    static constexpr MessageCode NextCode = 30;
    static constexpr MessageCode PreviousCode = 31;
    static constexpr MessageCode CloseCode = 33;

    // None of them is owned; the report may be none.
    CStatusDetailSequence(CTurnManager* pTurnManager, CCommandResultReport* pReport, const CUnit* pTargetUnit,
                          const CShip* pTargetShip = nullptr);
    ~CStatusDetailSequence() override;

    const CUnit* GetTargetUnit() const { return m_unit; }
    // None while the side's overview is shown.
    const CShip* GetTargetShip() const { return m_ship; }
    // The screen is going; codes that arrive meanwhile change nothing.
    bool IsClosing() const { return m_isClosing; }
    // Whether the code closes the screen.
    static bool IsClosingCode(MessageCode code);

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;
    void ResetData(const Marevane::CUnit* pTargetUnit, const Marevane::CShip* pTargetShip);
    void ResetData(const Marevane::CUnit* pTargetUnit);

  public:
    using CGameSequence::Update;

  private:
    // What Update does; Update keeps exceptions in.
    void Page(MessageCode code);
    void Close();

    CTurnManager* m_turnManager;
    QPointer<CCommandResultReport> m_report;
    const CUnit* m_unit;
    const CShip* m_ship;
    CStatusDetailScene* m_scene = nullptr;
    CPlayerStatusScene* m_playerStatus = nullptr;
    // The play sequence below, captured on entry: closing goes back to it
    // however many close triggers arrive during the screen change.
    QPointer<CGameSequence> m_below;
    bool m_isClosing = false;
};

} // namespace Marevane
