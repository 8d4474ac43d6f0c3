// The question at the end of a turn: who is asked, how long it waits, and
// that it ends the turn once, by Return or by itself.
#include "tests/screens/command/MapInputFixture.h"

#include "model/Unit.h"

#include <QElapsedTimer>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

struct PromptCase {
    const char* name;
    std::uint32_t firstType;  // the local player's side
    std::uint32_t secondType; // the other side
    bool isSecondsTurn;
    bool isSecondOnClient;
    bool isDeathMatch;
    // What is shown: the seconds counted down, or no prompt (-1); then
    // whether the turn ends by itself and after how long (ms of play).
    int seconds;
    bool endsTurn;
    int endsAfter;
};

void PrintTo(const PromptCase& c, std::ostream* out)
{
    *out << c.name;
}

class TurnEndPromptTest : public MapInputTest, public ::testing::WithParamInterface<PromptCase> {
  protected:
    void Prepare(const PromptCase& c)
    {
        Build(3, 3);
        world->PutShip(0, ShipTypeBattleship, 1, 1);
        world->PutShip(1, ShipTypeBattleship, 3, 3);
        world->Side(0)->SetUnitType(c.firstType);
        world->Side(1)->SetUnitType(c.secondType);
        if (c.isSecondOnClient) {
            UnitProfile profile = world->Side(1)->GetProfile();
            profile.OriginFlag = HostClient;
            world->Side(1)->SetProfile(profile);
        }
        Start();
        if (c.isSecondsTurn) turns.SetCurrent(world->Side(1)->GetId());
        scene->ResetInputForBattle(c.isDeathMatch);
    }
};

TEST_P(TurnEndPromptTest, WhoIsAskedAndWhenTheTurnEnds)
{
    const PromptCase& c = GetParam();
    Prepare(c);
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    QElapsedTimer clock;
    clock.start();
    scene->ConfirmTurnEnd();

    if (c.seconds >= 0) {
        ASSERT_TRUE(scene->GetActionConfirmation()->isVisible());
        EXPECT_EQ(scene->GetActionConfirmation()->GetRows().value(0)->text(), "End Turn");
        EXPECT_EQ(Notice(),
                  QStringLiteral("Press \"End Turn\" or Enter key, then your turn ends.\n(it ends after "
                                 "%1 automatically)")
                      .arg(c.seconds));
        SaveScreenRender(*scene, QStringLiteral("command/prompt-%1").arg(c.name));
    } else {
        EXPECT_FALSE(scene->GetActionConfirmation()->isVisible());
    }
    if (!c.endsTurn) {
        QTest::qWait(ScaledMs(3000));
        EXPECT_TRUE(notified.isEmpty());
        return;
    }
    ASSERT_TRUE(WaitUntil([&] { return !notified.isEmpty(); }, ScaledMs(c.endsAfter) + 3000));
    // Qt's coarse timers may fire up to a twentieth early.
    EXPECT_GE(clock.elapsed(), ScaledMs(c.endsAfter) * 9 / 10);
    EXPECT_EQ(notified.value(0).value(0).toUInt(), 69u);
    EXPECT_FALSE(scene->GetActionConfirmation()->isVisible());
    QTest::qWait(ScaledMs(1000));
    EXPECT_EQ(notified.size(), 1);
    EXPECT_EQ(sounds.Count(Sound::SeTitleSelected), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Sides, TurnEndPromptTest,
    ::testing::Values(PromptCase{"manual", UnitManual, UnitManual, false, false, false, 10, true, 10000},
                      PromptCase{"deathmatch", UnitManual, UnitManual, false, false, true, 5, true, 5000},
                      PromptCase{"computers", UnitAuto, UnitAuto, false, false, false, 20, true, 20000},
                      PromptCase{"computer-beside-human", UnitManual, UnitAuto, true, false, false, -1, true,
                                 2000},
                      PromptCase{"client-side", UnitManual, UnitManual, true, true, false, -1, false, 0}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

using TurnEndTest = TurnEndPromptTest;

TEST_F(TurnEndTest, ReturnEndsTheTurnOnceAndAtOnce)
{
    Prepare(PromptCase{"manual", UnitManual, UnitManual, false, false, false, 10, true, 10000});
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmTurnEnd();
    Key(Qt::Key_Return);
    ASSERT_EQ(notified.size(), 1);
    EXPECT_EQ(notified.value(0).value(0).toUInt(), 69u);
    EXPECT_FALSE(scene->GetActionConfirmation()->isVisible());
    QTest::qWait(ScaledMs(10000) + ScaledMs(1000));
    EXPECT_EQ(notified.size(), 1);
}

TEST_F(TurnEndTest, ADeathMatchReplayedKeepsFiveSeconds)
{
    Prepare(PromptCase{"deathmatch", UnitManual, UnitManual, false, false, true, 5, true, 5000});
    for (int battle = 0; battle < 3; ++battle) {
        scene->ResetInputForBattle(true);
        EXPECT_EQ(scene->GetTurnEndPromptTime(), 5000);
    }
    scene->ResetInputForBattle(false);
    EXPECT_EQ(scene->GetTurnEndPromptTime(), 10000);
}

TEST_F(TurnEndTest, StoppingTheBattleCancelsAPendingPrompt)
{
    Prepare(PromptCase{"manual", UnitManual, UnitManual, false, false, false, 10, true, 10000});
    SignalSpy notified(scene.get(), &CGameScene::Notified);
    scene->ConfirmTurnEnd();
    scene->ResetInputForBattle(false);
    QTest::qWait(ScaledMs(10000) + ScaledMs(1000));
    EXPECT_TRUE(notified.isEmpty());
}

} // namespace
