// What the play sequences of the host and of a network client share: the
// battle they return to, its turn manager and log, the result report and a
// network monitor wired to one Update, the battle's views, the status
// detail screen and the once-only leave after a delay.
#pragma once

#include "app/GameSequence.h"

#include <QPointer>
#include <QString>
#include <QTimer>

#include <memory>

namespace Marevane {

class CBattleSequence;
class CCommandResultReport;
class CGameMapScene;
class CLogger;
class CMessageScene;
class CNetworkMonitor;
class CPlayerStatusScene;
class CResultManager;
class CShip;
class CTurnManager;
class CUnit;
struct ShipProfile;

class CPlaySequence : public CGameSequence {
    Q_OBJECT
  public:
    // Neither is owned; the battle sequence is returned to at the end.
    CPlaySequence(CBattleSequence* pBattle, CTurnManager* pTurnManager, unsigned moduleFlags);
    ~CPlaySequence() override;

    CCommandResultReport* GetReport() const { return m_report.get(); }
    CNetworkMonitor* GetNetworkMonitor() const { return m_monitor.get(); }
    // The battle has been left, or is about to be.
    bool IsLeaving() const { return m_isLeaving; }

  public slots:
    void Start() override;
    void Show() override;
    void Hide() override;
    // Opens the status detail screen of the side (and ship), or shows them
    // on the one open.
    void OpenStatusDetail(Marevane::CUnit* pUnit, Marevane::CShip* pShip);
    // Hands the code to Dispatch while the battle is played; a failure to
    // handle one is logged, never thrown out of the slot.
    void Update(Marevane::MessageCode code) final;

  public:
    using CGameSequence::Update;

  protected:
    virtual void Dispatch(MessageCode code) = 0;
    // A code this side does not take now; none by default.
    virtual bool IsDropped(MessageCode code) const;
    // A new result report, and the map, the report, the monitor (when there
    // is one) and the side pane wired to Update and the status detail.
    void WireCodes();
    // Back to the battle sequence after the delay; once.
    void Leave(int delay);
    void StopBattleSound();
    // The connection is lost: the battle stops and is left after a while.
    void Disconnect();
    // The message pane's line after a side's result: its command, or that
    // it could not give one while still in play; otherwise the fallback.
    static QString ResultLine(MessageCode code, const CUnit* pUnit, const QString& fallback);

    CGameMapScene* GetMapScene() const;
    void UpdateMap(MessageCode code, const ShipProfile* pShipProfile = nullptr);
    CPlayerStatusScene* GetStatusScene() const;
    CMessageScene* GetMessageScene() const;

    QPointer<CBattleSequence> m_battle;
    CTurnManager* m_turnManager;
    CResultManager* m_resultManager;
    CLogger* m_logger;
    std::unique_ptr<CNetworkMonitor> m_monitor;
    std::unique_ptr<CCommandResultReport> m_report;
    bool m_isLeaving = false;

  private:
    QTimer m_leaveTimer;
};

} // namespace Marevane
