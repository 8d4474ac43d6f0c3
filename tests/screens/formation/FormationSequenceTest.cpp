// The fleet formation screen in the screen flow: offline against the
// computer, on a network client with an in-memory host, and as a watcher.
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "gui/SelectionList.h"
#include "gui/Widgets.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Panel.h"
#include "model/Random.h"
#include "model/Ship.h"
#include "model/ShipFactory.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/PacketConverter.h"
#include "screens/battle/FleetFormationSequence.h"
#include "screens/battle/GameMapScene.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PaneMakers.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"
#include "screens/battle/ShipSelectionScene.h"
#include "tests/app/TestSequence.h"
#include "tests/net/InMemoryTransport.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QPointer>

#include <memory>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

constexpr std::uint64_t ClientHostId = 0x5150;

class FormationTest : public ScreenTest {
  protected:
    void SetUp() override
    {
        ScreenTest::SetUp();
        SeedRandom(5);
        board.Resize(5, 5);
        rules.GetInfo().Map.Size = MapPos(5, 5);
        rules.GetInfo().FleetSize = 3;
        SceneMakers makers;
        AddPaneSceneMakers(makers);
        makers[SceneSlot::GameMap] = SceneMaker{
            [](const SceneInputs& inputs) -> CGameScene* { return new CGameMapScene(inputs.pBoard); },
            [](CGameScene* scene) -> CGameView* {
                return new CGameMapView(static_cast<CGameMapScene*>(scene));
            }};
        pool = std::make_unique<CScenePool>(&board, &rules, makers);
        SetSequenceMaker(SequenceType::Battle, [this](const SequenceArgs&) -> CGameSequence* {
            ++battles;
            return new CTestSequence("battle", SequenceType::Battle);
        });
        Manager()->GetContainer()->resize(1000, 640);
        Manager()->GetContainer()->show();
    }
    void TearDown() override
    {
        ClearSequenceMakers();
        CSequenceManager::Shutdown();
        pool.reset();
        ScreenTest::TearDown();
    }

    static CSequenceManager* Manager() { return CSequenceManager::GetInstance(); }
    static bool Idle()
    {
        return WaitUntil([] { return !Manager()->IsChanging(); });
    }

    // The rules screen below, then fleet formation on top, started.
    void Open(CTcpClient* client = nullptr)
    {
        below = new CTestSequence("rules", SequenceType::RuleSettings);
        Manager()->Push(below);
        ASSERT_TRUE(Idle());
        formation = new CFleetFormationSequence;
        formation->InstallModule<GameEditModule>(&rules);
        formation->InstallModule<GameMapModule>(&board);
        formation->InstallModule<UnitFactoryModule>(&units);
        formation->InstallModule<ShipFactoryModule>(&ships);
        if (client != nullptr) formation->InstallModule<TcpClientModule>(client);
        Manager()->Push(formation);
        ASSERT_TRUE(Idle());
        pool->SetUp(formation);
        formation->Init();
        formation->Start();
        map = qobject_cast<CGameMapScene*>(pool->GetScene(SceneSlot::GameMap));
        list = qobject_cast<CShipSelectionScene*>(pool->GetScene(SceneSlot::ShipSelection));
        messages = qobject_cast<CMessageScene*>(pool->GetScene(SceneSlot::Message));
        ASSERT_NE(map, nullptr);
        ASSERT_NE(list, nullptr);
        ASSERT_NE(messages, nullptr);
        Activate(*map);
        Activate(*list);
    }
    void MakeSides(std::uint32_t ownOrigin = 0)
    {
        me = units.CreateLocalUnit(UnitManual, ownOrigin, L"Ann", L"");
        if (ownOrigin == 0) rival = units.CreateComputerUnit(0, L"COM", 0);
    }

    QString Messages() const { return messages->GetShownTexts().join(QStringLiteral("\n")); }
    // Lines of several parts are added one by one.
    bool Shows(const QString& text) const
    {
        return WaitUntil([&] { return Messages().contains(text); }, 2000);
    }
    CPanelIcon* IconAt(std::uint32_t row, std::uint32_t column) const
    {
        return map->GetPanelIcon(board.GetPanel(row, column));
    }
    // The focused card chosen with Return, then the panel reached with the
    // arrow keys on the map and Return.
    void PlaceFocusedCard(std::uint32_t row, std::uint32_t column)
    {
        PressKey(*list, Qt::Key_Return);
        ASSERT_TRUE(map->IsPlacementPending());
        // The first arrow points at the first panel.
        if (map->GetPointedPanel() == nullptr) PressKey(*map, Qt::Key_Right);
        const MapPos at = map->GetPointedPanel()->GetPos();
        for (std::uint32_t r = at.x; r < row; ++r) PressKey(*map, Qt::Key_Down);
        for (std::uint32_t r = at.x; r > row; --r) PressKey(*map, Qt::Key_Up);
        for (std::uint32_t c = at.y; c < column; ++c) PressKey(*map, Qt::Key_Right);
        for (std::uint32_t c = at.y; c > column; --c) PressKey(*map, Qt::Key_Left);
        ASSERT_EQ(map->GetPointedPanel(), board.GetPanel(row, column));
        PressKey(*map, Qt::Key_Return);
        ASSERT_FALSE(map->IsPlacementPending());
    }
    // A card's drag as the map receives it.
    void DropCard(ShipType type, std::uint32_t row, std::uint32_t column)
    {
        std::unique_ptr<QMimeData> data(CShipIcon::MakeDragData(type, me->GetId(), 0));
        const CPanelIcon* icon = IconAt(row, column);
        QGraphicsSceneDragDropEvent drop(QEvent::GraphicsSceneDrop);
        drop.setScenePos(icon->mapToScene(QRectF(icon->GetRect()).center()));
        drop.setMimeData(data.get());
        drop.setSource(map->GetView());
        QCoreApplication::sendEvent(map, &drop);
    }
    // Three ships by keyboard and drop, then OK and "Yes" by Return.
    void FormAndConfirm()
    {
        PlaceFocusedCard(2, 2);
        PressKey(*list, Qt::Key_Down);
        PlaceFocusedCard(3, 3);
        DropCard(ShipTypeSubmarine, 4, 4);
        ASSERT_EQ(me->ShipCount(), 3u);
        ASSERT_TRUE(list->GetOkButton()->isEnabled());
        PressKey(*list, Qt::Key_Return);
        ASSERT_TRUE(map->GetInputConfirmation()->isVisible());
        PressKey(*map, Qt::Key_Return);
    }

    CBoard board;
    CGameEdit rules;
    CShipFactory ships{&board, &rules};
    CUnitFactory units{&board, &rules};
    std::unique_ptr<CScenePool> pool;
    CUnit* me = nullptr;
    CUnit* rival = nullptr;
    CTestSequence* below = nullptr;
    QPointer<CFleetFormationSequence> formation;
    CGameMapScene* map = nullptr;
    CShipSelectionScene* list = nullptr;
    CMessageScene* messages = nullptr;
    int battles = 0;
};

TEST_F(FormationTest, OfflineAgainstTheComputer)
{
    MakeSides();
    Open();
    EXPECT_TRUE(Shows("Select 3 ships you operate. "));
    EXPECT_TRUE(list->GetCard(ShipTypeBattleship)->hasFocus());
    FormAndConfirm();
    EXPECT_TRUE(formation->IsConfirmed());
    EXPECT_TRUE(Shows("Selecting your ships has been finished."));
    EXPECT_TRUE(Shows("Now creating rival's data of fleet..."));
    EXPECT_TRUE(Shows("As No.3 ship, the Submarine has been placed at R4C4."));
    // A second confirmation changes nothing.
    formation->Update(26);
    ASSERT_TRUE(WaitUntil([this] { return battles > 0; }));
    ASSERT_TRUE(Idle());
    Settle();
    EXPECT_EQ(battles, 1);
    EXPECT_EQ(rival->ShipCount(), 3u);
    EXPECT_EQ(formation->CountEdits(), 0u);
    EXPECT_EQ(Manager()->GetCurrentSequence()->GetType(), SequenceType::Battle);
    EXPECT_TRUE(list->signalsBlocked());
}

TEST_F(FormationTest, FlagshipMissionAsksForTheFlagship)
{
    rules.GetInfo().Mission = 0x10000004;
    MakeSides();
    Open();
    PlaceFocusedCard(1, 1);
    PlaceFocusedCard(1, 2);
    PlaceFocusedCard(1, 3);
    PressKey(*list, Qt::Key_Return);
    ASSERT_TRUE(map->GetSelectionList()->isVisible());
    PressKey(*map, Qt::Key_Down);
    PressKey(*map, Qt::Key_Return);
    EXPECT_EQ(me->GetFlagship(), me->GetShip(2));
    // "No" drops the flagship, and the ship list offers OK again.
    PressKey(*map, Qt::Key_Escape);
    EXPECT_FALSE(me->HasFlagship());
    EXPECT_TRUE(list->GetOkButton()->isEnabled());
    EXPECT_FALSE(formation->IsConfirmed());
}

TEST_F(FormationTest, BackTwiceGoesBackOnceAndDropsTheDelayedStep)
{
    MakeSides();
    Open();
    FormAndConfirm();
    ASSERT_TRUE(formation->HasPendingStep());
    formation->Update(33);
    formation->Update(33);
    EXPECT_FALSE(formation->HasPendingStep());
    ASSERT_TRUE(Idle());
    Settle();
    EXPECT_EQ(Manager()->GetCurrentSequence(), below);
    EXPECT_EQ(Manager()->GetSequenceCount(), 1);
    EXPECT_TRUE(formation.isNull());
    // The cancelled step never makes the rival's fleet or starts the battle.
    QTest::qWait(ScaledMs(3000));
    EXPECT_EQ(battles, 0);
    EXPECT_EQ(rival->ShipCount(), 0u);
    EXPECT_EQ(me->ShipCount(), 0u);
}

class ClientFormationTest : public FormationTest {
  protected:
    void SetUp() override
    {
        FormationTest::SetUp();
        MakeSides(1);
        me->SetHostId(ClientHostId);
        server.Attach(client, ClientHostId);
        Open(&client);
    }
    void FromHost(MessageCode code)
    {
        server.SendToAll(CPacketConverter::GetInstance().Encode(MakeMessage(code)));
    }

    CInMemoryTcpServer server;
    CInMemoryTcpClient client;
};

TEST_F(ClientFormationTest, SendsTheFleetAndStartsWhenTheHostDoes)
{
    FormAndConfirm();
    ASSERT_EQ(server.ReceiveFrom(ClientHostId), ReadComplete);
    const FleetEditMessage fleet = server.GetFleetEditMessage(ClientHostId);
    ASSERT_EQ(fleet.Ships.size(), 3u);
    for (std::uint32_t k = 0; k < 3; ++k) EXPECT_EQ(fleet.Ships[k].ShipId, k + 1);
    EXPECT_EQ(fleet.Ships[2].Type, ShipTypeSubmarine);
    EXPECT_EQ(fleet.Sender.Name, L"Ann");
    EXPECT_TRUE(Shows("Now loading battle data from the server."));
    FromHost(45);
    ASSERT_TRUE(WaitUntil([this] { return battles > 0; }));
    EXPECT_EQ(battles, 1);
}

TEST_F(ClientFormationTest, RejectedFleetIsChosenAgain)
{
    FormAndConfirm();
    FromHost(62);
    ASSERT_TRUE(WaitUntil([this] { return me->ShipCount() == 0; }));
    EXPECT_TRUE(Shows("Retry selecting your ships again."));
    EXPECT_FALSE(formation->IsConfirmed());
    EXPECT_FALSE(list->GetOkButton()->isEnabled());
    EXPECT_TRUE(list->GetCard(ShipTypeBattleship)->isEnabled());
}

// The host cancelling (64) or closing (4) ends the wait for its data.
class ClientFormationEndTest : public ClientFormationTest, public testing::WithParamInterface<MessageCode> {};

TEST_P(ClientFormationEndTest, TheHostEndingTheWaitGoesBackAfterItsNotice)
{
    FormAndConfirm();
    FromHost(GetParam());
    ASSERT_TRUE(WaitUntil([this] { return formation.isNull(); }));
    ASSERT_TRUE(Idle());
    EXPECT_EQ(Manager()->GetCurrentSequence(), below);
    EXPECT_EQ(battles, 0);
    // The client told the host it leaves.
    EXPECT_EQ(server.ReceiveFrom(ClientHostId), ReadComplete);
}

INSTANTIATE_TEST_SUITE_P(CancelOrClose, ClientFormationEndTest,
                         testing::Values(MessageCode(64), MessageCode(4)));

TEST_F(FormationTest, WatcherSendsNothingAndWaitsForTheHost)
{
    CInMemoryTcpServer server;
    CInMemoryTcpClient client;
    me = units.CreateLocalUnit(UnitWatching, 1, L"Eve", L"");
    me->SetHostId(ClientHostId);
    server.Attach(client, ClientHostId);
    Open(&client);
    EXPECT_TRUE(Shows("You are now audience."));
    EXPECT_TRUE(formation->IsConfirmed());
    EXPECT_EQ(client.CountSent(), 0u);
    server.SendToAll(CPacketConverter::GetInstance().Encode(MakeMessage(58)));
    ASSERT_TRUE(WaitUntil([this] { return battles > 0; }));
    EXPECT_EQ(client.CountSent(), 0u);
}

TEST_F(FormationTest, RenderedScreen)
{
    MakeSides();
    Open();
    PlaceFocusedCard(2, 2);
    PressKey(*list, Qt::Key_Down);
    PlaceFocusedCard(3, 4);
    ASSERT_TRUE(Shows("As No.2 ship, the Destroyer has been placed at R3C4."));
    EXPECT_FALSE(
        SaveScreenRender(*Manager()->GetContainer(), QStringLiteral("formation/fleet-formation")).isEmpty());
}

} // namespace

namespace {

TEST(FleetFormationMaker, ReplacesTheStandIn)
{
    ClearSequenceMakers();
    RegisterFleetFormationSequence();
    std::unique_ptr<CGameSequence> sequence(CreateSequence(SequenceType::FleetFormation));
    auto* formation = qobject_cast<CFleetFormationSequence*>(sequence.get());
    ASSERT_NE(formation, nullptr);
    EXPECT_EQ(formation->GetModuleFlags(), 0x2FFu);
    ClearSequenceMakers();
}

} // namespace
