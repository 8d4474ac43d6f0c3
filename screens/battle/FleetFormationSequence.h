// The screen on which each human player chooses and places the fleet before
// a battle. On the host (or offline) it then has the rivals' fleets made
// (computer sides) or received (network players); on a network client it
// sends the fleet to the host and waits for the battle data. When every
// fleet is ready it starts the battle sequence.
#pragma once

#include "app/GameSequence.h"

#include <QTimer>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

namespace Marevane {

class CGameMapScene;
class CHelpScene;
class CMessageScene;
class CPlayerEdit;
class CShipSelectionScene;
class CTcpClient;
class CUnitFactory;

class CFleetFormationSequence : public CGameSequence {
    Q_OBJECT
  public:
    static constexpr unsigned Modules = 0x2FF;

    CFleetFormationSequence();
    ~CFleetFormationSequence() override;

    // The fleet was confirmed in this visit; a second confirmation is ignored.
    bool IsConfirmed() const { return m_isConfirmed; }
    // A screen change has been asked for in this visit.
    bool IsLeaving() const { return m_isLeaving; }
    // Whether a delayed step (a pause before the next step) is waiting.
    bool HasPendingStep() const { return m_stepTimer.isActive(); }
    const QTimer& GetPollTimer() const { return m_pollTimer; }
    std::size_t CountEdits() const { return m_edits.size(); }
    // The fleet size of the local side (the ships the player places).
    std::uint32_t GetFleetLimit() const;

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;

    void PrintResetMessage();
    void RunEditTaskAsServer();
    void WaitForRivalData();
    void WaitUntilDataLoaded();
    void SendFleetDataToServer();
    void CancelProcess();

  private:
    bool IsClient() const;
    bool IsWatching() const;
    CTcpClient* GetTcpClient() const;
    CUnitFactory* GetUnitFactory() const;
    void AddMessage(const QString& text);
    // Runs the step after the pause; a newer step, or leaving, drops it.
    void After(int ms, std::function<void()> step);
    void StopSteps();
    // Goes back to the screen below this one, once per visit.
    void ReturnToPrevious();
    void ConnectScenes();

    QTimer m_pollTimer;
    QTimer m_stepTimer;
    std::function<void()> m_step;
    std::vector<std::unique_ptr<CPlayerEdit>> m_edits;
    // The sides the ship list shows (it keeps this vector's address).
    QVector<CUnit*> m_playerList;
    CGameMapScene* m_map = nullptr;
    CShipSelectionScene* m_shipSelection = nullptr;
    CMessageScene* m_messages = nullptr;
    CHelpScene* m_help = nullptr;
    bool m_isConfirmed = false;
    bool m_isLeaving = false;
};

// Puts fleet formation into the table of sequences by type.
void RegisterFleetFormationSequence();

} // namespace Marevane
