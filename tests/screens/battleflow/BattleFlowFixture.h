// The battle screens in the real screen flow: game control with the set-up
// and battle screens, a sound control that writes down the calls, and two
// sides (the player and the computer) with fleets on a 5 by 5 map.
#pragma once

#include "app/GameControl.h"
#include "app/MainWindow.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/StandInScreens.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/ShipFactory.h"
#include "model/Timer.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "screens/battle/BattleScreens.h"
#include "screens/setup/SetupScreens.h"
#include "tests/app/RecordingSound.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Marevane::Testing {

class BattleFlowTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        CIniManager::GetInstance().SetFilePath(folder.filePath(QStringLiteral("Marevane.ini")));
        GameScreens screens = Setup::MakeScreens();
        Battle::AddScreens(screens);
        control = std::make_unique<CGameControl>(std::move(screens), std::make_unique<CRecordingSound>(&log));
        control->Init();
        QApplication::setActiveWindow(control->GetMainWindow());
        ASSERT_TRUE(Idle());
    }
    void TearDown() override
    {
        control.reset();
        ClearSequenceMakers();
        CSequenceManager::Shutdown();
        CIniManager::GetInstance().SetFilePath(QString());
        ScreenTest::TearDown();
    }

    static CSequenceManager* Manager() { return CSequenceManager::GetInstance(); }
    static CGameSequence* Current() { return Manager()->GetCurrentSequence(); }
    CGameEdit* Rules() const { return control->GetGameEdit(); }
    CUnitFactory* Units() const { return control->GetUnitFactory(); }
    template <class Scene> Scene* SceneOf(SceneSlot slot) const
    {
        return qobject_cast<Scene*>(control->GetScenePool()->GetScene(slot));
    }

    static bool Idle()
    {
        for (int round = 0; round < 3; ++round) {
            if (!WaitUntil([] { return !Manager()->IsChanging(); })) return false;
            Settle();
        }
        return !Manager()->IsChanging();
    }
    template <class Sequence> bool WaitFor(int timeoutMs = 5000)
    {
        return WaitUntil([] { return qobject_cast<Sequence*>(Current()) != nullptr; }, timeoutMs) && Idle();
    }

    // A single match of the player against the computer on a 5 by 5 map,
    // each side with a battleship, a destroyer and a submarine.
    void PrepareBattle(std::uint32_t rule = GameModeVersus | GameModeSingle)
    {
        Rules()->SetRule(rule, MapPos(5, 5));
        control->GetBoard()->Build(Rules()->GetInfo().Map);
        player = Units()->CreateLocalUnit(UnitManual, HostServer, L"Alice", L"");
        computer = Units()->CreateComputerUnit(HostServer, L"Bob", 0);
        CShipFactory* ships = control->GetShipFactory();
        std::vector<CPanel*> sea;
        for (CSeaPanel& panel : control->GetBoard()->GetSeaPanels())
            if (panel.IsPassable() && panel.GetType() == PanelSea) sea.push_back(&panel);
        ASSERT_GE(sea.size(), 6u);
        for (std::uint32_t type = 1; type <= 3; ++type) {
            ships->CreateShip(player, type, sea[type - 1]);
            ships->CreateShip(computer, type, sea[sea.size() - type]);
        }
        log.clear();
    }

    // The screen a battle sits on (the fleet formation's place), then the
    // battle sequence over it; waits for its play sequence.
    CGameSequence* PushBattle()
    {
        below = new StandIn::CStandInSequence(SequenceType::FleetFormation, ModuleFlag::SceneSetUp);
        Manager()->Push(below);
        Idle();
        CGameSequence* battle = CreateSequence(SequenceType::Battle);
        Manager()->Push(battle);
        return battle;
    }

    int CountLogged(const std::string& call) const
    {
        return static_cast<int>(std::count(log.begin(), log.end(), call));
    }
    bool Logged(const std::string& call) const { return CountLogged(call) > 0; }

    QTemporaryDir folder;
    std::vector<std::string> log;
    std::unique_ptr<CGameControl> control;
    CUnit* player = nullptr;
    CUnit* computer = nullptr;
    CGameSequence* below = nullptr;
};

} // namespace Marevane::Testing
