// A battle on the map as a player's machine sees it: Ann (side 0, this
// machine, on the host) against Bea (side 1) on a 5 by 5 board, a stand-in
// turn manager whose current side and round the test sets, and a computer
// brain that thinks until it is told to stop or has thought long enough.
#pragma once

#include "gui/Popups.h"
#include "model/ComputerBrain.h"
#include "model/Records.h"
#include "model/Timer.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/ShipIcon.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

namespace Marevane::Testing {

class CTurnsManager : public CStandInTurnManager {
  public:
    using CTurnManager::SetPlayOrder;
};

// Decides to pass after thinking; stops early when the thread is asked to.
class CSlowBrain : public ComputerAI::CComputerAI {
  public:
    explicit CSlowBrain(CUnit& owner) : m_owner(owner) {}
    static inline std::atomic<int> ThinkMs{0};
    static inline std::atomic<int> Decisions{0};

    void Think() override
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ThinkMs.load());
        while (std::chrono::steady_clock::now() < end && !QThread::currentThread()->isInterruptionRequested())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        CommandInput pass;
        pass.Command = CommandPass;
        m_owner.SetCommandInput(pass);
        ++Decisions;
    }
    void ChooseFlagship() override {}
    MapPos ChooseShipPosition(ShipType) override { return MapPos(); }
    MapPos ChooseRandomShipPosition() override { return MapPos(); }
    void Update(MessageCode) override {}
    void Reset() override {}

  private:
    CUnit& m_owner;
};

class TurnsTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        CSlowBrain::ThinkMs = 0;
        CSlowBrain::Decisions = 0;
        m_previousBrains = ComputerAI::SetComputerAIFactory(
            [](CUnit& owner) { return std::make_unique<CSlowBrain>(owner); });
        battleship = world.PutShip(0, ShipTypeBattleship, 3, 3);
        submarine = world.PutShip(0, ShipTypeSubmarine, 1, 1);
        destroyer = world.PutShip(1, ShipTypeDestroyer, 3, 4);
        enemySubmarine = world.PutShip(1, ShipTypeSubmarine, 5, 5);
        turns.TakeSides(world.Sides());
        turns.SetPlayOrder(PlayOrder{1, 1});
        scene = std::make_unique<CGameMapScene>(&world.Board());
        scene->SetUnits(world.Sides());
        scene->SetPlayer(Ann());
        scene->SetTurnManager(&turns);
        notified = std::make_unique<SignalSpy>(scene.get(), &CGameScene::Notified);
    }
    void TearDown() override
    {
        notified.reset();
        scene.reset();
        ComputerAI::SetComputerAIFactory(m_previousBrains);
        ScreenTest::TearDown();
    }

    CUnit* Ann() const { return world.Side(0); }
    CUnit* Bea() const { return world.Side(1); }
    CPanelIcon* At(std::uint32_t row, std::uint32_t column) const
    {
        return scene->GetPanelIcon(world.Panel(row, column));
    }
    // The codes the scene reported, in order.
    std::vector<MessageCode> Reported() const
    {
        std::vector<MessageCode> codes;
        for (const QList<QVariant>& call : *notified) codes.push_back(call.at(0).value<MessageCode>());
        return codes;
    }
    int CountReported(MessageCode code) const
    {
        int count = 0;
        for (MessageCode reported : Reported()) count += reported == code ? 1 : 0;
        return count;
    }
    QString Notice() const { return scene->GetNotificationBar()->GetText(); }
    // A side whose turn the computer plays on this machine.
    void MakeComputer(CUnit* side) { side->SetUnitType(UnitAuto); }
    void Command(CUnit* side, std::uint32_t command, CShip* ship, std::uint32_t direction = 0,
                 const MapPos& target = MapPos())
    {
        CommandInput input;
        input.Command = command;
        input.ShipId = ship != nullptr ? ship->GetShipId() : 0;
        input.Direction = direction;
        input.Target = target;
        side->SetCommandInput(input);
    }

    CBattleWorld world{{5, 5, 2, 0, 1, false}};
    CTurnsManager turns;
    std::unique_ptr<CGameMapScene> scene;
    std::unique_ptr<SignalSpy> notified;
    CShip* battleship = nullptr;
    CShip* submarine = nullptr;
    CShip* destroyer = nullptr;
    CShip* enemySubmarine = nullptr;

  private:
    ComputerAI::ComputerAIFactory m_previousBrains;
};

} // namespace Marevane::Testing
