// The display of results on the map: each command's effect on the first
// line of a report, each later line's effect on its ship, mines going off
// one after another, and renders of a turn start and of the effects.
#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "model/MessageCodes.h"
#include "model/Panel.h"
#include "model/Ship.h"
#include "model/Unit.h"
#include "screens/battle/EffectAnimations.h"
#include "screens/battle/MoveAnimations.h"
#include "screens/battle/TimerBar.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/turns/TurnsFixture.h"

#include <QChildEvent>
#include <QElapsedTimer>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>

#include <cstring>
#include <set>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

constexpr MessageCode FollowUp = 57;

class ResultDisplayTest : public TurnsTest {
  protected:
    void SetUp() override
    {
        TurnsTest::SetUp();
        SetAnimation(true);
        scene->Update(BattleStarts);
    }

    template <class Effect> QList<Effect*> Effects() const { return scene->findChildren<Effect*>(); }
    // Waits until every effect of the map has ended.
    bool Settle() const
    {
        return WaitUntil([this] { return scene->CountRunningAnimations() == 0; }, 5000);
    }
    // Waits for a floating note of that many characters.
    bool NoteShows(std::size_t characters) const
    {
        return WaitUntil(
            [&] {
                for (CNoteAnimation* note : Effects<CNoteAnimation>())
                    if (note->GetCharacters().size() == characters) return true;
                return false;
            },
            3000);
    }
    static QString FuelNote(std::int32_t change)
    {
        return (change > 0 ? "+" : "") + QString::number(change) + "FP";
    }
};

// Calls back for every child object given to the watched one.
class CChildWatch : public QObject {
  public:
    CChildWatch(QObject* watched, std::function<void(QObject*)> added) : m_added(std::move(added))
    {
        watched->installEventFilter(this);
    }
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) m_added(static_cast<QChildEvent*>(event)->child());
        return false;
    }

  private:
    std::function<void(QObject*)> m_added;
};

TEST_F(ResultDisplayTest, AnAttackPlaysOnTheTargetPanel)
{
    Command(Ann(), CommandAttack, battleship, DirectionEast);
    scene->Update(CommandSuccess, &battleship->GetProfile());
    const QList<CAttackAnimation*> attacks = Effects<CAttackAnimation>();
    ASSERT_EQ(attacks.size(), 1);
    EXPECT_EQ(attacks.front()->GetPanelIcon(), At(3, 4));
    // The rival's destroyer there is not seen from this machine.
    EXPECT_EQ(attacks.front()->GetVisibleTarget(), nullptr);
    EXPECT_TRUE(Settle());
}

TEST_F(ResultDisplayTest, AMoveCarriesTheShipAndNotesItsFuel)
{
    ASSERT_EQ(battleship->Move(DirectionNorth, 1), CommandSuccess);
    // The report's line of the move.
    ShipProfile line = battleship->GetProfile();
    line.FpChange = -4;
    const std::int32_t change = line.FpChange;
    Command(Ann(), CommandMove, battleship, DirectionNorth);
    scene->Update(CommandSuccess, &line);
    ASSERT_EQ(Effects<CMoveAnimation>().size(), 1);
    EXPECT_TRUE(scene->HasPendingStep());

    EXPECT_TRUE(NoteShows(static_cast<std::size_t>(FuelNote(change).size())))
        << FuelNote(change).toStdString();
    EXPECT_FALSE(scene->HasPendingStep());
    EXPECT_TRUE(Settle());
    EXPECT_EQ(scene->GetShipIcon(battleship)->pos(), At(2, 3)->pos());
}

TEST_F(ResultDisplayTest, ATorpedoIsSeenOnlyByItsSide)
{
    CTorpedo* theirs = world.FireTorpedo(enemySubmarine, world.Panel(1, 5));
    ASSERT_NE(theirs, nullptr);
    turns.SetCurrent(Bea()->GetId());
    Command(Bea(), CommandTorpedo, enemySubmarine, 0, MapPos(1, 5));
    scene->Update(CommandSuccess, &enemySubmarine->GetProfile());
    ASSERT_EQ(scene->GetTorpedoIcons().size(), 1);
    EXPECT_FALSE(scene->GetTorpedoIcons().front()->isVisible());

    CTorpedo* ours = world.FireTorpedo(submarine, world.Panel(1, 4));
    ASSERT_NE(ours, nullptr);
    turns.SetCurrent(Ann()->GetId());
    Command(Ann(), CommandTorpedo, submarine, 0, MapPos(1, 4));
    scene->Update(CommandSuccess, &submarine->GetProfile());
    ASSERT_EQ(scene->GetTorpedoIcons().size(), 2);
    EXPECT_TRUE(scene->GetTorpedoIcons().back()->isVisible());
    EXPECT_EQ(scene->GetTorpedoIcons().back()->GetTorpedo(), ours);
}

struct NoteCase {
    const char* name;
    std::uint32_t command;
    const char* note;
};

void PrintTo(const NoteCase& c, std::ostream* os)
{
    *os << c.name;
}

class CommandNoteTable : public ResultDisplayTest, public ::testing::WithParamInterface<NoteCase> {};

TEST_P(CommandNoteTable, TheNoteFloatsOverTheShipAfterTheFollowUp)
{
    const NoteCase& c = GetParam();
    // Reinforcing names the ship; a change of flagship names the new flagship's panel.
    Command(Ann(), c.command, submarine, 0, submarine->GetCurrentPanel()->GetPos());
    if (c.command == CommandChangeFlagship)
        Command(Ann(), c.command, battleship, 0, submarine->GetCurrentPanel()->GetPos());
    scene->Update(CommandSuccess, &submarine->GetProfile());
    EXPECT_FALSE(scene->HasPendingStep()); // run by the follow-up at once
    ASSERT_TRUE(NoteShows(std::strlen(c.note)));
    // Over the submarine, the new flagship or the reinforcement.
    const QPointF ship = scene->GetShipIcon(submarine)->scenePos();
    for (CNoteAnimation* note : Effects<CNoteAnimation>()) {
        if (note->GetCharacters().size() != std::strlen(c.note)) continue;
        const QPointF at = note->GetCharacters().front()->scenePos();
        EXPECT_LT((at - ship).manhattanLength(), 80) << at.x() << "," << at.y();
    }
    EXPECT_TRUE(Settle());
}

INSTANTIATE_TEST_SUITE_P(Commands, CommandNoteTable,
                         ::testing::Values(NoteCase{"Reinforce", CommandReinforce, "REINFORCE"},
                                           NoteCase{"ChangeFlagship", CommandChangeFlagship, "FLAGSHIP"}),
                         [](const ::testing::TestParamInfo<NoteCase>& info) {
                             return std::string(info.param.name);
                         });

TEST_F(ResultDisplayTest, ARivalSunkOutOfSightSinksWithAnIconOfItsType)
{
    ShipProfile line = destroyer->GetProfile();
    line.LastEvent = 3;
    const std::size_t icons = scene->GetShipIcons().size();
    scene->Update(RefreshDisplay, &line);
    const QList<CSinkingAnimation*> sinking = Effects<CSinkingAnimation>();
    ASSERT_EQ(sinking.size(), 1);
    auto* icon = qobject_cast<CShipIcon*>(sinking.front()->GetSinkingIcon());
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->GetShipType(), static_cast<std::uint32_t>(ShipTypeDestroyer));
    EXPECT_EQ(scene->GetShipIcons().size(), icons); // the icon is the effect's own
    EXPECT_TRUE(Settle());
}

TEST_F(ResultDisplayTest, ASubmarineBlinksThroughItsSurfacingSteps)
{
    CShipIcon* icon = scene->GetShipIcon(submarine);
    ShipProfile line = submarine->GetProfile();
    line.PendingStatus = 2;
    scene->Update(RefreshDisplay, &line);
    EXPECT_EQ(icon->opacity(), 1.0);
    EXPECT_EQ(icon->pixmap().cacheKey(), icon->GetNormalPixmap().cacheKey());
    line.PendingStatus = 1;
    scene->Update(RefreshDisplay, &line);
    EXPECT_EQ(icon->opacity(), 0.5);
    EXPECT_EQ(scene->CountRunningAnimations(), 0);
}

struct LineCase {
    const char* name;
    std::uint32_t lastEvent;
    bool mineHit;
    int damages;   // damage effects started
    int surprises; // surprise effects started
};

void PrintTo(const LineCase& c, std::ostream* os)
{
    *os << c.name;
}

class ResultLineTable : public ResultDisplayTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(ResultLineTable, TheLineShowsItsEffectOnTheShip)
{
    const LineCase& c = GetParam();
    ShipProfile line = battleship->GetProfile();
    line.LastEvent = c.lastEvent;
    line.FpChange = -3;
    if (c.mineHit) {
        line.MineHits[0].IsPlaced = true;
        line.MineHits[0].IsExploded = true;
    }
    scene->Update(RefreshDisplay, &line);
    EXPECT_EQ(Effects<CDamageAnimation>().size(), c.damages);
    EXPECT_EQ(Effects<CSurpriseAnimation>().size(), c.surprises);
    for (CDamageAnimation* damage : Effects<CDamageAnimation>())
        EXPECT_EQ(damage->GetShipIcon(), scene->GetShipIcon(battleship));
    // A mine met by surprise also notes the fuel it cost.
    EXPECT_EQ(Effects<CNoteAnimation>().size(), c.mineHit ? 1 : 0);
    EXPECT_TRUE(Settle());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ResultLineTable,
    ::testing::Values(LineCase{"Damage", 2, false, 1, 0}, LineCase{"NearMiss", 4, false, 0, 1},
                      LineCase{"ReefStop", 5, false, 0, 1}, LineCase{"Missed", 1, false, 0, 0},
                      LineCase{"MineMetBySurprise", 0, true, 1, 0}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

TEST_F(ResultDisplayTest, ASurpriseIsShownOnceForTheLinesOfOneReefStop)
{
    ShipProfile line = battleship->GetProfile();
    line.LastEvent = 5;
    line.MineHits[0].IsPlaced = true;
    line.MineHits[0].IsExploded = true;
    scene->Update(RefreshDisplay, &line);
    EXPECT_TRUE(scene->IsSurpriseShown());
    EXPECT_EQ(Effects<CDamageAnimation>().size(), 1);
    EXPECT_TRUE(Settle());
    // The next line of the same stop only shows the hop.
    scene->Update(RefreshDisplay, &line);
    EXPECT_EQ(Effects<CDamageAnimation>().size(), 0);
    EXPECT_EQ(Effects<CSurpriseAnimation>().size(), 1);
    EXPECT_FALSE(scene->IsSurpriseShown());
    EXPECT_TRUE(Settle());
    // A new battle forgets it.
    scene->Update(RefreshDisplay, &line);
    EXPECT_TRUE(scene->IsSurpriseShown());
    scene->Update(BattleStarts);
    EXPECT_FALSE(scene->IsSurpriseShown());
}

TEST_F(ResultDisplayTest, MinesGoOffOneAfterAnother)
{
    ScopedTimeScale fifth(0.2);
    CShip* second = world.PutShip(1, ShipTypeDestroyer, 1, 5);
    MineProfile* mines[] = {world.LayMine(destroyer, world.Panel(2, 4)),
                            world.LayMine(second, world.Panel(2, 5)),
                            world.LayMine(destroyer, world.Panel(4, 4))};
    for (MineProfile* mine : mines) ASSERT_NE(mine, nullptr);
    scene->RebuildWeaponIcons();
    ASSERT_EQ(scene->GetMineIcons().size(), 3);
    for (MineProfile* mine : mines) mine->IsExploded = true;

    // Each explosion as it starts: its panel and when. Short effects can end
    // between two polls, so they are caught as they are made, not sampled.
    auto made = std::make_shared<std::vector<std::pair<CPanelIcon*, qint64>>>();
    auto& seen = *made;
    QElapsedTimer clock;
    CChildWatch watch(scene.get(), [&clock, made](QObject* child) {
        const qint64 at = clock.elapsed();
        QPointer<QObject> guard(child);
        QTimer::singleShot(0, child, [made, guard, at] {
            if (auto* attack = qobject_cast<CAttackAnimation*>(guard.data()))
                made->emplace_back(attack->GetPanelIcon(), at);
        });
    });
    clock.start();
    scene->Update(FollowUp);
    EXPECT_TRUE(scene->GetMineIcons().isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return seen.size() == 3; }, 3000)) << seen.size();
    const std::vector<CPanelIcon*> order{seen[0].first, seen[1].first, seen[2].first};
    EXPECT_EQ(order, (std::vector<CPanelIcon*>{At(2, 4), At(2, 5), At(4, 4)}));
    EXPECT_GE(seen[1].second, ScaledMs(300));
    EXPECT_GE(seen[2].second, ScaledMs(600));
    EXPECT_LT(seen[0].second, ScaledMs(300));
    EXPECT_TRUE(Settle());
}

TEST_F(ResultDisplayTest, RendersOfATurnStartAndItsEffects)
{
    ScopedTimeScale half(0.5);
    CGameMapView view(scene.get());
    view.resize(CGameMapScene::BackgroundSize({5, 5}).expandedTo(QSize(416, 380)) +
                QSize(0, CTurnInfoBar::Height));
    view.show();
    QTest::qWait(50);
    // The player confirmed the start.
    scene->GetActionConfirmation()->hide();
    Ann()->GetTimer().Reset(90000);
    scene->Update(TurnStarts);
    QTest::qWait(50);
    EXPECT_FALSE(SaveScreenRender(view, "turns/turn-start").isEmpty());

    Command(Ann(), CommandAttack, battleship, DirectionEast);
    scene->Update(CommandSuccess, &battleship->GetProfile());
    QTest::qWait(100);
    EXPECT_FALSE(SaveScreenRender(view, "turns/attack").isEmpty());
    ASSERT_TRUE(Settle());

    ShipProfile line = battleship->GetProfile();
    line.LastEvent = 2;
    scene->Update(RefreshDisplay, &line);
    QTest::qWait(120);
    EXPECT_FALSE(SaveScreenRender(view, "turns/damage").isEmpty());
    ASSERT_TRUE(Settle());

    ShipProfile sunk = destroyer->GetProfile();
    sunk.LastEvent = 3;
    scene->Update(RefreshDisplay, &sunk);
    QTest::qWait(200);
    EXPECT_FALSE(SaveScreenRender(view, "turns/sinking").isEmpty());
    ASSERT_TRUE(Settle());
    scene->Update(TurnEnds);
    EXPECT_FALSE(SaveScreenRender(view, "turns/turn-end").isEmpty());
}

} // namespace
