// The screen-flow step that owns one battle: its turn manager and battle
// log, the battle's music and the wiring of the battle scenes. It is
// entered once before the battle, when it pushes the play sequence of this
// machine, and once after it, when it pushes the battle end.
#pragma once

#include "app/GameSequence.h"

#include <QVector>

#include <memory>

namespace Marevane {

class CGameMapScene;
class CLogger;
class CResultManager;
class CTurnManager;
class CUnit;

class CBattleSequence : public CGameSequence {
    Q_OBJECT
  public:
    static constexpr unsigned Flags = 0x2FB;
    // Push the play sequence; push the battle end.
    static constexpr MessageCode PlayCode = 43;
    static constexpr MessageCode EndCode = 47;

    CBattleSequence();
    // The turn manager goes before the log it points at.
    ~CBattleSequence() override;

    CTurnManager* GetTurnManager() const { return m_turnManager.get(); }
    CLogger* GetLogger() const { return m_logger.get(); }
    // The sides as the side panes read them; lives as long as the sequence.
    const QVector<CUnit*>& GetPlayerList() const { return m_playerList; }
    // Neither ended, decided nor broken off.
    bool IsBattleUndecided() const;

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;

  public:
    using CGameSequence::Update;

  protected:
    // The play sequence of a network client; none when the battle cannot
    // be played here, and then it goes to its end.
    virtual CGameSequence* CreateClientPlaySequence();

  private:
    void ChooseMusic();
    void SetUpScenes();
    void PushPlaySequence();
    void PushEndSequence();

    CResultManager* m_resultManager;
    std::unique_ptr<CLogger> m_logger;
    std::unique_ptr<CTurnManager> m_turnManager;
    QVector<CUnit*> m_playerList;
    // A battle is handed on once per entry, however often it is asked to.
    bool m_isHandedOn = false;
};

// Whether this machine plays as a network client.
bool IsNetworkClient(const CUnit* pUnit);
// The rules' game mode holds both bits of a death match.
bool IsDeathMatch(std::uint32_t rule);

} // namespace Marevane
