// The screens after a battle in the real screen flow: game control with the
// result screen's and the panes' makers, stand-in sequences for the screens
// around them (title, arcade stage, fleet formation, battle, closing
// screens), the sides in the game's own unit factory and a turn manager
// that counts its resets.
#pragma once

#include "app/GameControl.h"
#include "app/MainWindow.h"
#include "app/SequenceMakers.h"
#include "gui/Popups.h"
#include "gui/Resources.h"
#include "gui/SelectionList.h"
#include "model/ArcadeMapList.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Logger.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleResultScene.h"
#include "screens/battle/PaneMakers.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/RecordingSound.h"
#include "tests/app/TestSequence.h"
#include "tests/screens/kit/StandInTurnManager.h"

#include <QApplication>
#include <QPointer>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Marevane::Testing {

class CCountingTurnManager : public CStandInTurnManager {
  public:
    void Reset() override
    {
        ++resets;
        CStandInTurnManager::Reset();
    }
    int resets = 0;
};

class FlowTest : public AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        InitResources();
        CSystemConfig::GetInstance().OpenGL = false;
        GameScreens screens;
        screens.createTitle = [](CSoundControl*) { return new CTestSequence("title", SequenceType::Title); };
        AddBattleResultSceneMaker(screens.scenes);
        AddPaneSceneMakers(screens.scenes);
        control = std::make_unique<CGameControl>(std::move(screens), std::make_unique<CRecordingSound>(&log));
        control->Init();
        for (const int type : {SequenceType::GameOver, SequenceType::Credits})
            SetSequenceMaker(type, [type](const SequenceArgs&) -> CGameSequence* {
                return new CTestSequence(type == SequenceType::GameOver ? "game over" : "credits", type);
            });
        ASSERT_TRUE(Idle());
        turnManager.SetLogCache(&logger);
    }
    void TearDown() override
    {
        control.reset();
        ClearSequenceMakers();
        AppTest::TearDown();
    }

    CSequenceManager* Manager() const { return CSequenceManager::GetInstance(); }
    CGameSequence* Current() const { return Manager()->GetCurrentSequence(); }
    CGameEdit* Rules() const { return control->GetGameEdit(); }
    CUnitFactory* Units() const { return control->GetUnitFactory(); }
    CBattleResultScene* ResultScene() const
    {
        return qobject_cast<CBattleResultScene*>(control->GetScenePool()->GetScene(SceneSlot::BattleResult));
    }

    // The local side (won or lost this battle) and a computer rival.
    void MakeSides(bool isWon, std::uint32_t localType = UnitManual)
    {
        local = Units()->CreateLocalUnit(localType, HostServer, L"Ann", L"");
        rival = Units()->CreateComputerUnit(HostServer, L"COM", 0);
        local->GetStatistics(0)[StatVictory] = isWon ? 1 : 0;
        rival->GetStatistics(0)[StatVictory] = isWon ? 0 : 1;
        turnManager.TakeSides({local, rival});
    }

    // An arcade run at the stage, its stage screen on the stack.
    void StartArcadeStage(std::uint32_t stage)
    {
        const MapData& map = CArcadeMapList::GetInstance().Get(stage);
        Rules()->SetRule(GameModeArcade, map.Size);
        control->GetBoard()->Build(map);
        arcade = Push(new CTestSequence("arcade", SequenceType::ArcadeStage));
    }

    template <class Sequence> Sequence* Push(Sequence* sequence)
    {
        Manager()->Push(sequence);
        EXPECT_TRUE(Idle());
        return sequence;
    }

    // Fleet formation, the battle, and the battle's end on top of them.
    CBattleEndSequence* EndBattle()
    {
        formation = Push(new CTestSequence("formation", SequenceType::FleetFormation));
        battle = Push(new CTestSequence("battle", SequenceType::Battle));
        end = Push(new CBattleEndSequence(formation, &turnManager));
        QApplication::setActiveWindow(control->GetMainWindow());
        return end;
    }

    bool WaitForCurrent(const CGameSequence* sequence, int timeoutMs = 5000)
    {
        return WaitUntil([this, sequence] { return Current() == sequence && !Manager()->IsChanging(); },
                         timeoutMs) &&
               Idle();
    }
    bool WaitForType(int type, int timeoutMs = 5000)
    {
        return WaitUntil([this, type] { return Current() != nullptr && Current()->GetType() == type; },
                         timeoutMs) &&
               Idle();
    }
    bool Logged(const std::string& call) const
    {
        return std::find(log.begin(), log.end(), call) != log.end();
    }
    QString Message() const { return ResultScene()->GetMessageBar()->GetText(); }

    std::vector<std::string> log;
    std::unique_ptr<CGameControl> control;
    CLogger logger;
    CCountingTurnManager turnManager;
    CUnit* local = nullptr;
    CUnit* rival = nullptr;
    QPointer<CTestSequence> arcade;
    QPointer<CTestSequence> formation;
    QPointer<CTestSequence> battle;
    QPointer<CBattleEndSequence> end;
};

} // namespace Marevane::Testing
