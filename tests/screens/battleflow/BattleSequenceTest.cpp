// The battle sequence: what it makes and wires before a battle, the music
// it keeps for the map, and whether an entry plays the battle or ends it.
#include "tests/screens/battleflow/BattleFlowFixture.h"

#include "model/Logger.h"
#include "model/MessageCodes.h"
#include "screens/battle/BattleEndSequence.h"
#include "screens/battle/BattleSequence.h"
#include "screens/battle/BattleSequenceOnServer.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "session/GUITurnManager.h"

namespace Marevane::Testing {
namespace {

using BattleSequenceTest = BattleFlowTest;

TEST_F(BattleSequenceTest, FirstEntryWiresTheBattleAndPushesThePlayOnTheHost)
{
    PrepareBattle();
    auto* battle = qobject_cast<CBattleSequence*>(PushBattle());
    ASSERT_NE(battle, nullptr);
    ASSERT_TRUE(WaitFor<CBattleSequenceOnServer>());

    auto* manager = dynamic_cast<CGUITurnManagerOnServer*>(battle->GetTurnManager());
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->GetUnits(), Units()->GetUnits());
    EXPECT_EQ(manager->GetLogCache(), battle->GetLogger());
    EXPECT_TRUE(player->GetTimer().AreCuesEnabled());

    auto* map = SceneOf<CGameMapScene>(SceneSlot::GameMap);
    auto* status = SceneOf<CPlayerStatusScene>(SceneSlot::PlayerStatus);
    auto* messages = SceneOf<CMessageScene>(SceneSlot::Message);
    ASSERT_NE(map, nullptr);
    ASSERT_NE(status, nullptr);
    ASSERT_NE(messages, nullptr);
    EXPECT_EQ(map->GetTurnManager(), manager);
    EXPECT_EQ(map->GetUnits(), Units()->GetUnits());
    EXPECT_EQ(status->GetPlayerList(), &battle->GetPlayerList());
    EXPECT_EQ(status->GetMyUnit(), player);
    EXPECT_EQ(status->FindCards(player)->size(), 3u);
    EXPECT_EQ(messages->GetLogger(), &battle->GetLogger()->GetImpl());

    // The music is chosen from the battle group and kept on the map, but
    // waits for the start.
    const std::uint32_t music = control->GetBoard()->GetMusicCode();
    EXPECT_TRUE(music == Sound::BgmTheme || music == Sound::BgmBattlefrontSamba) << music;
    EXPECT_TRUE(Logged("ChooseBgm " + std::to_string(music)));
    EXPECT_FALSE(Logged("PlayBgm " + std::to_string(music)));
    EXPECT_FALSE(Logged("LoadSe 0"));
    EXPECT_EQ(manager->GetPlayOrder().Round, 0u);
}

TEST_F(BattleSequenceTest, TheLocalConfirmationStartsTheFirstTurnWithTheBattleSoundsOnce)
{
    PrepareBattle();
    auto* battle = qobject_cast<CBattleSequence*>(PushBattle());
    ASSERT_TRUE(WaitFor<CBattleSequenceOnServer>());
    auto* play = qobject_cast<CBattleSequenceOnServer*>(Current());
    auto* map = SceneOf<CGameMapScene>(SceneSlot::GameMap);

    emit map->Notified(StartConfirmed);
    emit map->Notified(StartConfirmed);
    EXPECT_TRUE(play->IsBattleStarted());
    EXPECT_EQ(CountLogged("LoadSe 0"), 1);
    EXPECT_EQ(CountLogged("PlayBgm " + std::to_string(control->GetBoard()->GetMusicCode())), 1);
    const PlayOrder order = battle->GetTurnManager()->GetPlayOrder();
    EXPECT_EQ(order.Round, 1u);
    EXPECT_EQ(order.Position, 1u);
    EXPECT_NE(battle->GetTurnManager()->GetCurrentUnit(), nullptr);
}

TEST_F(BattleSequenceTest, MusicIsKeptForTheMapAndADeathMatchPlaysItsOwn)
{
    struct Case {
        std::uint32_t rule;
        std::uint32_t stored;
        std::uint32_t expected; // 0: one of the battle group
    };
    const Case cases[] = {
        {GameModeVersus | GameModeSingle, 5, 5},
        {GameModeVersus | GameModeDeathMatch, 0, 7},
        {GameModeVersus | GameModeDeathMatch, 1, 1},
        {GameModeVersus | GameModeSingle, 0, 0},
    };
    PrepareBattle();
    for (const Case& c : cases) {
        log.clear();
        Rules()->GetInfo().Rule = c.rule;
        control->GetBoard()->SetMusicCode(c.stored);
        CBattleSequence battle;
        control->InstallModules(&battle);
        const std::uint32_t music = control->GetBoard()->GetMusicCode();
        if (c.expected != 0) {
            EXPECT_EQ(music, c.expected) << c.rule << " " << c.stored;
            EXPECT_FALSE(Logged("ChooseBgm " + std::to_string(music)));
        } else {
            EXPECT_TRUE(music == Sound::BgmTheme || music == Sound::BgmBattlefrontSamba) << music;
        }
    }
}

TEST_F(BattleSequenceTest, ADisconnectionLeavesOnceAndTheBattleSequenceThenEndsTheBattle)
{
    PrepareBattle();
    auto* battle = qobject_cast<CBattleSequence*>(PushBattle());
    ASSERT_TRUE(WaitFor<CBattleSequenceOnServer>());
    auto* play = qobject_cast<CBattleSequenceOnServer*>(Current());
    emit SceneOf<CGameMapScene>(SceneSlot::GameMap)->Notified(StartConfirmed);

    play->Update(InvalidDisconnection);
    play->Update(InvalidDisconnection);
    EXPECT_TRUE(play->IsLeaving());
    EXPECT_EQ(CountLogged("StopBgm"), 1);
    EXPECT_EQ(CountLogged("UnloadSe 0"), 1);
    EXPECT_TRUE(battle->GetTurnManager()->IsDisconnected());

    // The battle sequence comes back after the delay and hands the battle
    // to its end, which returns to the screen below the battle.
    ASSERT_TRUE(WaitFor<CBattleEndSequence>(ScaledMs(3500) + 5000));
    auto* end = qobject_cast<CBattleEndSequence*>(Current());
    EXPECT_EQ(end->GetReturnSequence(), below);
    EXPECT_EQ(end->GetTurnManager(), battle->GetTurnManager());
    EXPECT_EQ(Manager()->IndexOf(battle), Manager()->GetCurrentIndex() - 1);
    // One play sequence was made; it went when the battle sequence came back.
    for (int i = 0; i <= Manager()->GetMaxIndex(); ++i)
        EXPECT_EQ(qobject_cast<CBattleSequenceOnServer*>(Manager()->GetSequence(i)), nullptr);
}

TEST_F(BattleSequenceTest, ABattleDecidedBeforeItsEntryGoesStraightToItsEnd)
{
    PrepareBattle();
    CBattleSequence battle;
    control->InstallModules(&battle);
    battle.GetTurnManager()->Update(InvalidDisconnection);
    EXPECT_FALSE(battle.IsBattleUndecided());
    const int before = Manager()->GetMaxIndex();
    battle.Start();
    ASSERT_TRUE(WaitFor<CBattleEndSequence>());
    EXPECT_EQ(Manager()->GetMaxIndex(), before + 1);
}

} // namespace
} // namespace Marevane::Testing
