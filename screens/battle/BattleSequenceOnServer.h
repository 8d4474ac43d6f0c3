// The play sequence of a battle on the machine that runs the rules: the
// host of a network battle and every battle without network. It is the
// hub of the battle's codes: the map scene, the result report and the
// network monitor report to its Update, which hands them to the turn
// manager, lets the current side carry out its command, shows the result
// lines and decides when the battle is left.
#pragma once

#include "app/GameSequence.h"

#include <QPointer>
#include <QTimer>

#include <memory>
#include <set>

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

class CBattleSequenceOnServer : public CGameSequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x1B;

    // Neither is owned; the battle sequence is returned to at the end.
    CBattleSequenceOnServer(CBattleSequence* pBattle, CTurnManager* pTurnManager);
    ~CBattleSequenceOnServer() override;

    CCommandResultReport* GetReport() const { return m_report.get(); }
    CNetworkMonitor* GetNetworkMonitor() const { return m_monitor.get(); }
    // The battle has been left, or is about to be.
    bool IsLeaving() const { return m_isLeaving; }
    // The first turn has been started.
    bool IsBattleStarted() const { return m_isBattleStarted; }

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;
    // Opens the status detail screen of the side (and ship), or shows them
    // on the one open.
    void OpenStatusDetail(Marevane::CUnit* pUnit, Marevane::CShip* pShip);
    // Starts the first turn once every player confirmed the start.
    void WaitForBattleStart();

  public:
    using CGameSequence::Update;

  private:
    void Dispatch(MessageCode code);
    void ShowResult(MessageCode code);
    void StartTurn();
    void SendCommand();
    void FinishReport();
    void ConfirmStart();
    void Disconnect();
    void StopBattleSound();
    // Back to the battle sequence after the delay; once.
    void Leave(int delay);
    // The result of the current side's command, carried out now.
    MessageCode ExecuteCommand();

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
    // The clients that confirmed the start of this battle.
    std::set<const CUnit*> m_confirmed;
    QTimer m_leaveTimer;
    bool m_isLeaving = false;
    bool m_isBattleStarted = false;
};

} // namespace Marevane
