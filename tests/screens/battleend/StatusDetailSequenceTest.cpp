// The status detail screen over the battle: paging through a side's ships,
// and closing itself as soon as the battle moves on, once however many
// close triggers arrive within one screen change.
#include "screens/battle/StatusDetailSequence.h"
#include "model/ResultManager.h"
#include "model/Ship.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/StatusDetailScene.h"
#include "tests/screens/battleend/FlowFixture.h"
#include "tests/screens/kit/BattleWorld.h"

#include "gui/Widgets.h"

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class StatusDetailSequenceTest : public FlowTest {
  protected:
    void SetUp() override
    {
        FlowTest::SetUp();
        CBattleWorld::Options options;
        options.shipsPerSide = 3;
        world = std::make_unique<CBattleWorld>(options);
        turnManager.TakeSides(world->Sides());
        play = Push(new CTestSequence("play", SequenceType::Battle, 0x08));
    }

    CStatusDetailSequence* Open(const CShip* ship = nullptr)
    {
        detail = Push(new CStatusDetailSequence(&turnManager, &report, world->Side(0), ship));
        return detail;
    }
    CStatusDetailScene* Scene() const
    {
        return qobject_cast<CStatusDetailScene*>(control->GetScenePool()->GetScene(SceneSlot::StatusDetail));
    }
    std::uint32_t ShownShip() const
    {
        return detail->GetTargetShip() != nullptr ? detail->GetTargetShip()->GetShipId() : 0;
    }

    std::unique_ptr<CBattleWorld> world;
    CResultManager results;
    CCommandResultReport report{&results, &logger};
    QPointer<CTestSequence> play;
    QPointer<CStatusDetailSequence> detail;
};

TEST_F(StatusDetailSequenceTest, PagingWalksTheShipsAndBackToTheSide)
{
    const struct {
        std::uint32_t from; // 0: the side's overview
        MessageCode code;
        std::uint32_t to;
    } cases[] = {
        {0, 30, 1},             // next from the overview: the first ship
        {1, 30, 2}, {3, 30, 3}, // past the last ship: unchanged
        {1, 31, 0},             // back from the first ship: the overview
        {2, 31, 1}, {0, 31, 0}, // the overview stays (the toggle refreshes it)
    };
    Open();
    for (const auto& row : cases) {
        detail->ResetData(world->Side(0), row.from != 0 ? world->Ship(0, row.from) : nullptr);
        detail->Update(row.code);
        EXPECT_EQ(ShownShip(), row.to) << row.from << " " << row.code;
        EXPECT_EQ(Scene()->GetShipStatusList() != nullptr, row.to != 0) << row.from << " " << row.code;
    }
    EXPECT_EQ(Current(), detail);
}

TEST_F(StatusDetailSequenceTest, TheScreensButtonsPageAndTheToggleShowsAllPlays)
{
    Open();
    Scene()->GetNextButton()->click();
    EXPECT_EQ(ShownShip(), 1u);
    Scene()->GetPrevButton()->click();
    EXPECT_EQ(ShownShip(), 0u);
    Scene()->GetToggleButton()->click();
    EXPECT_TRUE(Scene()->IsAllPlay());
    EXPECT_EQ(Scene()->GetToggleButton()->text(), QStringLiteral("Current Stats"));
    EXPECT_EQ(Current(), detail);
}

TEST_F(StatusDetailSequenceTest, EveryBattleEventClosesTheScreen)
{
    for (const MessageCode code : {10u, 33u, 47u, 67u, 87u, 89u, 124u}) {
        Open(world->Ship(0, 2));
        ASSERT_EQ(Current(), detail);
        detail->Update(code);
        ASSERT_TRUE(WaitForCurrent(play)) << code;
        EXPECT_TRUE(detail.isNull()) << code;
    }
    for (const MessageCode code : {26u, 45u, 51u, 53u})
        EXPECT_FALSE(CStatusDetailSequence::IsClosingCode(code));
}

TEST_F(StatusDetailSequenceTest, TheReportStartingOrEndingClosesItOnceWithTheCloseButtonToo)
{
    Open();
    // A result report starts, the player clicks Close, and a card is picked,
    // all before the screen has changed: one return to the battle.
    emit report.Started(87);
    Scene()->GetCloseButton()->click();
    auto* status =
        qobject_cast<CPlayerStatusScene*>(control->GetScenePool()->GetScene(SceneSlot::PlayerStatus));
    ASSERT_NE(status, nullptr);
    emit status->ShipProfileSelected(&world->Ship(0, 1)->GetProfile());
    emit report.Stopped(67);
    ASSERT_TRUE(WaitForCurrent(play));
    EXPECT_EQ(Manager()->GetSequenceCount(), 2); // the title and the battle
    EXPECT_TRUE(detail.isNull());

    // Opened again, the screen takes its buttons back.
    Open();
    EXPECT_TRUE(Scene()->GetButtonBar()->isEnabled());
    emit report.Stopped(67);
    ASSERT_TRUE(WaitForCurrent(play));
}

TEST_F(StatusDetailSequenceTest, PickingACardWhileItIsOpenClosesIt)
{
    Open(world->Ship(0, 1));
    auto* status =
        qobject_cast<CPlayerStatusScene*>(control->GetScenePool()->GetScene(SceneSlot::PlayerStatus));
    ASSERT_NE(status, nullptr);
    emit status->ShipProfileSelected(&world->Ship(0, 3)->GetProfile());
    EXPECT_EQ(Current(), detail); // queued: after this turn of the loop
    ASSERT_TRUE(WaitForCurrent(play));
}

} // namespace
