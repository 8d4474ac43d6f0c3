// The effects of the map: how long each runs, that each reports its end
// once, that none runs with the Animation setting off, and that effects
// started together each show.
#include "gui/ResourcePools.h"
#include "gui/SpriteAnimation.h"
#include "model/Panel.h"
#include "screens/battle/EffectAnimations.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MoveAnimations.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/WeaponIcons.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QElapsedTimer>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

// A 5 by 5 battle seen by the audience: side 0 has a battleship at R3C3
// and a destroyer at R1C1, side 1 a submarine at R5C5 and an oiler at R3C4.
class MapAnimationTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        battleship = world.PutShip(0, ShipTypeBattleship, 3, 3);
        destroyer = world.PutShip(0, ShipTypeDestroyer, 1, 1);
        submarine = world.PutShip(1, ShipTypeSubmarine, 5, 5);
        oiler = world.PutShip(1, ShipTypeOiler, 3, 4);
        scene = std::make_unique<CGameMapScene>(&world.Board());
        scene->SetUnits(world.Sides());
        scene->SetPlayer(world.AddWatcher());
    }
    void TearDown() override
    {
        scene.reset();
        ScreenTest::TearDown();
    }

    CPanelIcon* At(std::uint32_t row, std::uint32_t column) const
    {
        return scene->GetPanelIcon(world.Panel(row, column));
    }
    CShipIcon* IconOf(CShip* ship) const { return scene->GetShipIcon(ship); }

    // Runs until the animation reports; answers the codes it reported.
    static std::vector<MessageCode> RunToEnd(CAnimation* animation, int settleMs = 0)
    {
        auto codes = std::make_shared<std::vector<MessageCode>>();
        QObject::connect(animation, &CAnimation::Finished,
                         [codes](MessageCode code) { codes->push_back(code); });
        WaitUntil([codes] { return !codes->empty(); }, 5000);
        if (settleMs > 0) QTest::qWait(settleMs);
        return *codes;
    }

    CBattleWorld world{{5, 5, 2, 0, 1, false}};
    CShip* battleship = nullptr;
    CShip* destroyer = nullptr;
    CShip* submarine = nullptr;
    CShip* oiler = nullptr;
    std::unique_ptr<CGameMapScene> scene;
};

TEST_F(MapAnimationTest, AnAttackReportsOnceWhenItsExplosionEnds)
{
    QElapsedTimer clock;
    clock.start();
    CAttackAnimation* attack = scene->AnimateAttack(At(3, 3), IconOf(battleship));
    ASSERT_NE(attack, nullptr);
    EXPECT_EQ(attack->GetVisibleTarget(), IconOf(battleship));
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeAttack});
    // Six frames, then nothing more after a while.
    const std::vector<MessageCode> codes = RunToEnd(attack, ScaledMs(600));
    EXPECT_EQ(codes, std::vector<MessageCode>{57});
    EXPECT_GE(clock.elapsed(), 5 * ScaledMs(ScreenTiming::EffectFrame));
}

TEST_F(MapAnimationTest, DamageShakesTheShipFor400msAndPutsItBack)
{
    CShipIcon* icon = IconOf(battleship);
    const QPointF at = icon->pos();
    CDamageAnimation* damage = scene->AnimateDamage(At(3, 3), icon);
    ASSERT_NE(damage, nullptr);
    EXPECT_EQ(damage->duration(), ScaledMs(400));
    EXPECT_EQ(damage->targetObject(), icon);
    EXPECT_EQ(damage->keyValueAt(0.2).toPointF(), at + QPointF(-6, 0));
    EXPECT_EQ(damage->keyValueAt(0.8).toPointF(), at + QPointF(6, 0));
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeDamage});
    EXPECT_EQ(RunToEnd(damage, ScaledMs(400)), std::vector<MessageCode>{57});
    EXPECT_EQ(icon->pos(), at);
}

TEST_F(MapAnimationTest, DamageOnAnEmptyPanelShakesNothing)
{
    CDamageAnimation* damage = scene->AnimateDamage(At(2, 2), nullptr);
    ASSERT_NE(damage, nullptr);
    EXPECT_EQ(damage->targetObject(), nullptr);
    EXPECT_EQ(damage->GetSprites().size(), 2u);
    const QPointF explosion = damage->GetSprites()[0]->GetItem()->pos();
    EXPECT_EQ(explosion, At(2, 2)->pos() + QPointF(8, -4));
    EXPECT_EQ(RunToEnd(damage), std::vector<MessageCode>{57});
}

TEST_F(MapAnimationTest, ASunkShipSinksFacingItsWayFadesAndReportsOnce)
{
    CShipIcon* icon = IconOf(battleship); // side 0 faces right
    CBattleWorld::SetStatus(battleship, ShipStatusSinking);
    CSinkingAnimation* sinking = scene->AnimateSinking(battleship);
    ASSERT_NE(sinking, nullptr);
    EXPECT_EQ(sinking->GetSinkingIcon(), icon);
    EXPECT_EQ(icon->pixmap().cacheKey(),
              CShipResourcePool::GetInstance(0).GetPixmap(ShipTypeBattleship, ImageSinkingRight).cacheKey());
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeSinking});
    EXPECT_EQ(RunToEnd(sinking, ScaledMs(300)), std::vector<MessageCode>{57});
    EXPECT_DOUBLE_EQ(icon->opacity(), 0.0);
}

TEST_F(MapAnimationTest, TwoShipsOfOneSideSinkingAtOnceBothShow)
{
    CBattleWorld::SetStatus(battleship, ShipStatusSinking);
    CBattleWorld::SetStatus(destroyer, ShipStatusSinking);
    CSinkingAnimation* first = scene->AnimateSinking(battleship);
    CSinkingAnimation* second = scene->AnimateSinking(destroyer);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(first, second);
    EXPECT_TRUE(first->IsRunning());
    EXPECT_TRUE(second->IsRunning());
    EXPECT_EQ(scene->CountRunningAnimations(), 2);
    int reports = 0;
    for (CSinkingAnimation* sinking : {first, second})
        QObject::connect(sinking, &CAnimation::Finished, [&reports] { ++reports; });
    ASSERT_TRUE(WaitUntil([&reports] { return reports == 2; }));
    Settle();
    EXPECT_EQ(scene->CountRunningAnimations(), 0);
}

TEST_F(MapAnimationTest, AShipWithoutAnIconSinksOnATemporaryOneThatLeavesNothingBehind)
{
    // A player's machine shows only its own ships.
    CGameMapScene own(&world.Board());
    own.SetUnits(world.Sides());
    own.SetPlayer(world.Side(0));
    const int items = own.items().size();
    CBattleWorld::SetStatus(oiler, ShipStatusSinking);
    CSinkingAnimation* sinking = own.AnimateSinking(oiler);
    ASSERT_NE(sinking, nullptr);
    ASSERT_NE(sinking->GetSinkingIcon(), nullptr);
    EXPECT_EQ(sinking->GetSinkingIcon()->pos(), own.GetPanelIcon(world.Panel(3, 4))->pos());
    EXPECT_GT(own.items().size(), items);
    RunToEnd(sinking);
    Settle();
    EXPECT_EQ(own.items().size(), items);
}

TEST_F(MapAnimationTest, ASurpriseHopsTheShipAndShowsTheMarkForASecond)
{
    CShipIcon* icon = IconOf(oiler);
    const QPointF at = icon->pos();
    CSurpriseAnimation* surprise = scene->AnimateSurprise(At(3, 4), icon);
    ASSERT_NE(surprise, nullptr);
    EXPECT_EQ(surprise->duration(), ScaledMs(1000));
    EXPECT_EQ(surprise->keyValueAt(0.1).toPointF(), at + QPointF(0, -6));
    ASSERT_NE(surprise->GetMark(), nullptr);
    EXPECT_TRUE(surprise->GetMark()->isVisible());
    EXPECT_EQ(surprise->GetMark()->parentItem(), icon);
    EXPECT_EQ(sounds.Codes(), std::vector<Sound::SeCode>{Sound::SeSurprise});
    EXPECT_EQ(RunToEnd(surprise), std::vector<MessageCode>{57});
}

struct MoveCase {
    const char* name;
    std::uint32_t fromRow, fromColumn, toRow, toColumn;
    int panels;
    int facing;
};

class MoveAnimationTest : public MapAnimationTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveAnimationTest, AMoveFacesItsWayTakesItsTimeAndPutsThePictureBack)
{
    const MoveCase& c = GetParam();
    CShipIcon* icon = IconOf(battleship);
    icon->setPos(At(c.fromRow, c.fromColumn)->pos());
    const qint64 before = icon->pixmap().cacheKey();
    CMoveAnimation* move = scene->AnimateMove(icon, At(c.fromRow, c.fromColumn), At(c.toRow, c.toColumn));
    ASSERT_NE(move, nullptr);
    const int moving = ScaledMs(100 * c.panels);
    EXPECT_EQ(move->duration(), moving + ScaledMs(200)) << c.name;
    EXPECT_EQ(
        CMoveAnimation::FacingOf(world.Panel(c.fromRow, c.fromColumn), world.Panel(c.toRow, c.toColumn)),
        c.facing)
        << c.name;
    EXPECT_EQ(icon->pixmap().cacheKey(),
              CShipResourcePool::GetInstance(0)
                  .GetPixmap(ShipTypeBattleship, static_cast<ImagePattern>(c.facing))
                  .cacheKey())
        << c.name;
    EXPECT_EQ(move->endValue().toPointF(), At(c.toRow, c.toColumn)->pos());
    EXPECT_EQ(RunToEnd(move), std::vector<MessageCode>{57});
    EXPECT_EQ(icon->pos(), At(c.toRow, c.toColumn)->pos()) << c.name;
    EXPECT_EQ(icon->pixmap().cacheKey(), before) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Moves, MoveAnimationTest,
    ::testing::Values(MoveCase{"stay", 3, 3, 3, 3, 0, 0}, MoveCase{"north-west", 3, 3, 2, 2, 2, 0},
                      MoveCase{"south-east", 3, 3, 4, 4, 2, 1}, MoveCase{"north", 3, 3, 1, 3, 2, 2},
                      MoveCase{"south", 3, 3, 5, 3, 2, 3}, MoveCase{"east", 3, 3, 3, 5, 2, 1},
                      MoveCase{"west", 3, 3, 3, 1, 2, 0}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return "Case" + std::to_string(info.index); });

TEST_F(MapAnimationTest, AMineFliesAPanelWidthPerStepAndLandsOnItsPanel)
{
    CShipIcon* icon = IconOf(destroyer); // R1C1
    CMineAnimation* throwOver = scene->AnimateMine(icon, At(1, 3));
    ASSERT_NE(throwOver, nullptr);
    EXPECT_EQ(throwOver->duration(), ScaledMs(400)) << "two panels of 32 pixels";
    EXPECT_EQ(throwOver->endValue().toPointF(), At(1, 3)->pos());
    // The arc rises above the line and its last steps come down onto the target.
    EXPECT_LT(throwOver->ThrowPoint(0.5).y(), At(1, 3)->pos().y());
    EXPECT_NEAR(throwOver->ThrowPoint(1.0).x(), At(1, 3)->pos().x(), 0.001);
    QPointer<CMineIcon> thrown = throwOver->GetMineIcon();
    EXPECT_TRUE(thrown->isVisible());
    EXPECT_EQ(RunToEnd(throwOver), std::vector<MessageCode>{57});
    EXPECT_TRUE(thrown->isVisible()) << "until the map's own mine takes its place";
    ASSERT_TRUE(WaitUntil([thrown] { return thrown == nullptr || !thrown->isVisible(); }));

    // A slope that is not whole (64 across, 32 down) still comes down near
    // the target, without a jump of a whole row at the end.
    CMineAnimation* slanted = scene->AnimateMine(icon, At(2, 3));
    ASSERT_NE(slanted, nullptr);
    const QPointF end = slanted->ThrowPoint(1.0);
    EXPECT_NEAR(end.x(), At(2, 3)->pos().x(), 0.001);
    EXPECT_NEAR(end.y(), At(2, 3)->pos().y(), 8);
    RunToEnd(slanted);
}

TEST_F(MapAnimationTest, AMineLaidOnTheShipsOwnPanelHopsAndDrops)
{
    CShipIcon* icon = IconOf(destroyer);
    CMineAnimation* hop = scene->AnimateMine(icon, At(1, 1));
    ASSERT_NE(hop, nullptr);
    const QPointF at = At(1, 1)->pos();
    EXPECT_EQ(hop->duration(), ScaledMs(200));
    EXPECT_EQ(hop->startValue().toPointF(), at + QPointF(0, -2));
    EXPECT_EQ(hop->keyValueAt(0.2).toPointF(), at + QPointF(0, -4));
    EXPECT_EQ(hop->endValue().toPointF(), at + QPointF(0, 8));
    RunToEnd(hop);
}

TEST_F(MapAnimationTest, WithTheAnimationSettingOffEveryEffectReportsAtOnceWithoutASound)
{
    SetAnimation(false);
    CBattleWorld::SetStatus(oiler, ShipStatusSinking);
    CShipIcon* icon = IconOf(battleship);
    const QPointF at = icon->pos();
    std::vector<CAnimation*> started;
    std::vector<MessageCode> codes;
    auto watch = [&codes](CAnimation* animation) {
        QObject::connect(animation, &CAnimation::Finished,
                         [&codes](MessageCode code) { codes.push_back(code); });
    };
    // Each is made, watched and started the way the map does it.
    auto* attack = new CAttackAnimation(57, scene.get());
    attack->SetPanelIcon(At(3, 3));
    watch(attack);
    attack->StartOnce();
    auto* damage = new CDamageAnimation(57, scene.get());
    damage->SetShipIcon(icon);
    watch(damage);
    damage->StartOnce();
    auto* sinking = new CSinkingAnimation(57, scene.get());
    sinking->SetShipIcon(IconOf(oiler));
    watch(sinking);
    sinking->StartOnce();
    auto* surprise = new CSurpriseAnimation(57, scene.get());
    surprise->SetShipIcon(icon);
    watch(surprise);
    surprise->StartOnce();
    auto* move = new CMoveAnimation(icon, At(3, 3), At(1, 3), scene.get());
    move->SetCode(57);
    watch(move);
    move->StartOnce();
    auto* mine = new CMineAnimation(scene.get());
    mine->SetShipIcon(icon);
    mine->SetTarget(At(2, 2));
    watch(mine);
    mine->StartOnce();
    auto* note = new CNoteAnimation(QStringLiteral("Reinforce"), icon, scene.get());
    note->SetCode(57);
    watch(note);
    note->StartOnce();

    EXPECT_EQ(codes, std::vector<MessageCode>(7, 57));
    EXPECT_TRUE(sounds.Codes().empty());
    EXPECT_EQ(icon->pos(), at);
    EXPECT_FALSE(mine->GetMineIcon()->isVisible());
}

TEST_F(MapAnimationTest, ANoteSpellsItsTextInCapitalsAndAnEmptyOneDoesNotRun)
{
    CNoteAnimation note(QStringLiteral("Reinforce"), IconOf(battleship));
    EXPECT_EQ(note.GetCharacters().size(), 9u);
    EXPECT_EQ(note.GetTextWidth(), 9 * 5);
    EXPECT_TRUE(note.IsValid());
    note.Start();
    EXPECT_EQ(note.duration(), ScaledMs(2000));
    EXPECT_TRUE(note.GetCharacters().front()->isVisible());
    note.Stop();

    CNoteAnimation empty(QString(), IconOf(battleship));
    EXPECT_FALSE(empty.IsValid());
}

TEST_F(MapAnimationTest, RebuildingTheMapStopsTheEffectsBeforeItsIconsGo)
{
    CBattleWorld::SetStatus(battleship, ShipStatusSinking);
    scene->AnimateSinking(battleship);
    scene->AnimateAttack(At(3, 4), IconOf(oiler));
    scene->AnimateMove(IconOf(submarine), nullptr, At(4, 4));
    ASSERT_EQ(scene->CountRunningAnimations(), 3);
    scene->Rebuild();
    EXPECT_EQ(scene->CountRunningAnimations(), 0);
    QTest::qWait(ScaledMs(2000));
    Settle();
    scene->Init();
    EXPECT_EQ(scene->GetShipIcons().size(), 4u);
}

} // namespace
