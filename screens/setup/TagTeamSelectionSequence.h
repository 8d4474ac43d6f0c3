// The tag team screen's flow: without network players the teams are formed
// at once; with them every player picks a partner, the server collects the
// picks, forms the teams and sends every side's profile, and each machine
// announces the teams before it goes on to fleet formation.
#pragma once

#include "screens/setup/SetupSequence.h"
#include "screens/setup/TagTeamSelectionScene.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <map>
#include <utility>
#include <vector>

class QTimer;

namespace Marevane {

class CUnit;

namespace TagTeams {

using Pair = std::pair<UnitHash, UnitHash>;

// The pairs the server forms from the picks (chooser -> chosen, 0 for no
// preference), given the choosers' host ids in unit-table order: mutual
// picks first, then players picked by exactly one chooser who had no
// preference themselves, then the rest paired in a fixed shuffle (an odd
// last one stays alone). Ids missing from the picks take no part.
std::vector<Pair> Form(const std::vector<UnitHash>& order, std::map<UnitHash, UnitHash> choices);

// The teams without network players: each side without a mate takes the
// ids two, four, ... above its own while fewer than half the sides joined.
void FormLocally(const std::vector<CUnit*>& units);

// The announcement of the teams; each team lists its members' names in
// ascending id order.
QString Announcement(const std::vector<QStringList>& teams);

} // namespace TagTeams

class CTagTeamSelectionSequence : public CSetupSequence {
    Q_OBJECT
  public:
    static constexpr MessageCode TeamsCode = 26;
    static constexpr MessageCode TeamResultCode = 58;
    static constexpr MessageCode LostCode = 124;

    enum class State { Choosing, Waiting, Announced, Failed };

    CTagTeamSelectionSequence();

    State GetState() const { return m_state; }
    const std::map<UnitHash, UnitHash>& GetChoices() const { return m_choices; }
    bool IsRequestTimerActive() const;
    bool IsLeaveTimerActive() const;

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;

  public:
    using CGameSequence::Update;

  private slots:
    void WaitForRequest();
    void SelectOnServer(Marevane::UnitHash hash);
    void SelectOnClient();

  private:
    bool IsServer() const;
    void FormLocalTeams();
    void RecordServerSides();
    void PollClients();
    void PollServer();
    bool IsEveryChoiceIn() const;
    void FormTeams();
    void Announce();
    void ShowMessage(const QString& text, int millisec);
    void StopTimers();
    void Leave();

    CTagTeamSelectionScene* m_scene = nullptr;
    CGameScene* m_messageScene = nullptr;
    QTimer* m_requestTimer;
    // The one delayed step at a time: moving on after the announcement or
    // going back after a failure.
    QTimer* m_leaveTimer;
    bool m_isLeavingBack = false;
    State m_state = State::Choosing;
    std::map<UnitHash, UnitHash> m_choices;
};

} // namespace Marevane
