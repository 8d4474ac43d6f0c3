#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/PacketConverter.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "screens/setup/TagTeamSelectionSequence.h"
#include "tests/screens/kit/ScreenRender.h"
#include "tests/screens/kit/ScreenTest.h"
#include "tests/screens/setup/ScreensTestSupport.h"
#include <QSignalSpy>

#include <unistd.h>

#include <stdexcept>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

using State = CTagTeamSelectionSequence::State;

// --- the teams as the server and an offline game form them -----------------

TEST(TagTeamFormingTest, MutualPicksPairFirstThenSinglePicksThenTheFixedShuffle)
{
    const std::vector<UnitHash> four = {11, 12, 13, 14};
    const struct {
        const char* name;
        std::vector<UnitHash> order;
        std::map<UnitHash, UnitHash> choices;
        std::vector<TagTeams::Pair> pairs;
    } table[] = {
        // 11 and 13 chose each other; 12's pick of 11 is lost, 12 and 14 go to the shuffle.
        {"mutual", four, {{11, 13}, {12, 11}, {13, 11}, {14, 0}}, {{11, 13}, {14, 12}}},
        // 14 had no preference and only 12 picked it.
        {"one-sided", four, {{11, 0}, {12, 14}, {13, 0}, {14, 0}}, {{14, 12}, {13, 11}}},
        // Both 11 and 12 picked 13, who had no preference: nobody is given it, all four are shuffled.
        {"picked twice", four, {{11, 13}, {12, 13}, {13, 0}, {14, 0}}, {{12, 13}, {14, 11}}},
        // A pick of someone who is not choosing (an audience) counts for nothing.
        {"unknown pick", {11, 12, 13}, {{11, 99}, {12, 0}, {13, 0}}, {{12, 11}}},
        {"alone", {11}, {{11, 0}}, {}},
    };
    for (const auto& row : table) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TagTeams::Form(row.order, row.choices), row.pairs);
        // The shuffle's seed is fixed: the same input pairs the same way every time.
        EXPECT_EQ(TagTeams::Form(row.order, row.choices), TagTeams::Form(row.order, row.choices));
    }
}

TEST(TagTeamFormingTest, TheAnnouncementPutsTwoNamesToALineUnlessTheyAreLong)
{
    const QString text =
        TagTeams::Announcement({{"Ann", "Bob"}, {"Seventeen-Letters", "Thirteen-Long"}, {"Solo"}});
    EXPECT_TRUE(text.startsWith("All tag teams were formed. the members of each team are as follows:\n"));
    EXPECT_TRUE(text.contains("\n    Team 1:\n        Ann    Bob    "));
    // 17 + 13 letters make 30: the second name goes below the first.
    EXPECT_TRUE(text.contains("\n    Team 2:\n        Seventeen-Letters    \n        Thirteen-Long    "));
    EXPECT_TRUE(text.contains("\n    Team 3:\n        Solo    "));
    EXPECT_TRUE(text.endsWith("\n\nIt goes on next step...."));
}

// --- the screen in the real screen flow ----------------------------------------

// Listens on 127.0.0.1 on a free port of a range that differs between
// processes, so test programs running side by side do not meet.
std::uint16_t ListenOnLoopback(CSocketTcpServer& server)
{
    server.SetListenAddress("127.0.0.1");
    const unsigned base = 21000 + (static_cast<unsigned>(getpid()) * 397u) % 28000u;
    for (unsigned i = 0; i < 200; ++i) {
        const auto port = static_cast<std::uint16_t>(base + i * 11);
        server.SetPort(port);
        try {
            server.Listen();
            return port;
        } catch (const std::runtime_error&) {
        }
    }
    throw std::runtime_error("no free loopback port");
}

Packet Encode(const EntryMessage& message)
{
    return CPacketConverter::GetInstance().Encode(message);
}

class TagTeamTest : public ScreensTest {
  protected:
    CUnitFactory* Units() const { return control->GetUnitFactory(); }

    // A tag match of four with that many players on the network.
    void TagMatch(std::uint32_t networkPlayers)
    {
        Rules()->SetRule(GameModeVersus | GameModeTag, MapPos(5, 5));
        Rules()->GetInfo().PlayerCount = 4;
        Rules()->GetInfo().TeamCount = networkPlayers;
    }
    CUnit* Local(const wchar_t* name, std::uint32_t host, std::uint32_t type = UnitManual)
    {
        CUnit* unit = Units()->CreateLocalUnit(type, host, name, L"");
        return unit;
    }
    CUnit* Side(const wchar_t* name, std::uint32_t type, std::uint32_t host, UnitHash hash)
    {
        UnitProfile profile(Units()->GetNextUnitNumber(), type, host, name, L"");
        profile.HostId = hash;
        return Units()->CreateUnit(profile);
    }
    CTagTeamSelectionSequence* Open()
    {
        Manager()->Push(CreateSequence(SequenceType::TagTeamSelection));
        EXPECT_TRUE(WaitForType(SequenceType::TagTeamSelection));
        return qobject_cast<CTagTeamSelectionSequence*>(Current());
    }
    CTagTeamSelectionScene* Scene() const
    {
        return SceneOf<CTagTeamSelectionScene>(SceneSlot::TagTeamSelection);
    }
    CConnectionListItem* RowOf(const CUnit* unit) const
    {
        for (CConnectionListItem* row : Scene()->GetRows()) {
            if (row->GetProfile()->HostId == unit->GetHostId()) return row;
        }
        return nullptr;
    }
    QString Bar() const { return Scene()->GetMessageBar()->GetText(); }
    // Tabs from the random button to the row's Select button and presses it.
    void ChooseByKeyboard(const CUnit* unit)
    {
        ASSERT_TRUE(Scene()->GetRandomButton()->hasFocus());
        const auto& rows = Scene()->GetRows();
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (!rows[i]->GetSelectButton()->isEnabled()) continue;
            Key(Qt::Key_Tab);
            if (rows[i]->GetProfile()->HostId == unit->GetHostId()) break;
        }
        ASSERT_TRUE(RowOf(unit)->GetSelectButton()->hasFocus());
        Key(Qt::Key_Space);
    }

    // A scripted peer: a client of the game's server, or a server the
    // game's client joins.
    void JoinGameServer(CSocketTcpClient& peer, const UnitProfile& profile)
    {
        CSocketTcpServer* server = control->GetTcpServer();
        const std::uint16_t port = ListenOnLoopback(*server);
        peer.SetAddress("127.0.0.1");
        peer.SetPort(port);
        ASSERT_TRUE(peer.Connect());
        ASSERT_TRUE(WaitUntil([&] {
            server->Accept();
            return peer.Receive() == ReadComplete;
        }));
        ASSERT_EQ(peer.GetReceivedData().Code, 1u);
        EntryMessage entry(14);
        entry.IsPlayer = true;
        entry.Entry = profile;
        ASSERT_TRUE(peer.Send(Encode(entry)));
        ASSERT_TRUE(WaitUntil([&] { return server->ReceiveEntry() == 14u; }));
        EntryMessage answer = server->GetWaitingEntryMessage();
        ASSERT_TRUE(server->AcceptEntry(answer));
        server->ConfirmEntry(profile.HostId);
        ASSERT_TRUE(WaitUntil([&] { return peer.Receive() == ReadComplete; }));
        ASSERT_EQ(peer.GetReceivedData().Code, 15u);
    }
    // The last packet the peer received, waiting for it.
    static bool PeerReceives(CSocketTcpClient& peer)
    {
        return WaitUntil([&] { return peer.Receive() == ReadComplete; });
    }
};

TEST_F(TagTeamTest, OfflineTheTeamsAreFormedAtOnceAndAnnouncedBeforeFleetFormation)
{
    const ScopedTimeScale slower(0.2);
    const struct {
        int units;
        std::vector<std::pair<int, int>> mates;
        int alone;
    } table[] = {{4, {{0, 2}, {1, 3}}, -1}, {3, {{0, 2}}, 1}};
    for (const auto& row : table) {
        SCOPED_TRACE(row.units);
        TagMatch(0);
        Local(L"Player", HostServer);
        for (int i = 1; i < row.units; ++i)
            Side(i == 1 ? L"CPU-1" : i == 2 ? L"CPU-2" : L"CPU-3", UnitAuto, HostServer, 0);
        CTagTeamSelectionSequence* sequence = Open();
        ASSERT_NE(sequence, nullptr);
        EXPECT_EQ(sequence->GetState(), State::Announced);
        EXPECT_FALSE(Scene()->GetRandomButton()->isEnabled());
        for (CConnectionListItem* mate : Scene()->GetRows()) EXPECT_FALSE(mate->IsSelectable());
        for (const auto& pair : row.mates)
            EXPECT_TRUE(Units()->GetUnit(pair.first)->IsTeamMate(*Units()->GetUnit(pair.second)));
        if (row.alone >= 0) {
            EXPECT_FALSE(Units()->GetUnit(row.alone)->HasTeamMates());
        }
        EXPECT_TRUE(Bar().contains("Team 1:\n        Player    CPU-2    ")) << Bar().toStdString();
        EXPECT_TRUE(sequence->IsLeaveTimerActive());
        ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
        Manager()->ReturnTo(0);
        ASSERT_TRUE(WaitForType(SequenceType::Title));
        Units()->Clear();
    }
}

TEST_F(TagTeamTest, LeavingTheScreenCancelsTheMoveToFleetFormation)
{
    // The announcement long enough to be there when the test looks, on a busy machine.
    const ScopedTimeScale slower(0.2);
    TagMatch(0);
    Local(L"Player", HostServer);
    Side(L"CPU-1", UnitAuto, HostServer, 0);
    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    ASSERT_EQ(sequence->GetState(), State::Announced);
    Manager()->ReturnTo(0);
    ASSERT_TRUE(WaitForType(SequenceType::Title));
    QTest::qWait(ScreenTiming::Scaled(ScreenTiming::LongMessage) * 2);
    EXPECT_EQ(Current()->GetType(), SequenceType::Title);
}

TEST_F(TagTeamTest, TheSceneShowsTheLocalLineAndARowForEveryOtherSide)
{
    TagMatch(1);
    Local(L"Host", HostServer);
    UnitProfile guestProfile(0, UnitManual, HostClient, L"Guest", L"");
    guestProfile.HostId = 0x1001;
    CSocketTcpClient guest;
    JoinGameServer(guest, guestProfile);
    guestProfile.Id = Units()->GetNextUnitNumber();
    const CUnit* guestUnit = Units()->CreateUnit(guestProfile);
    Side(L"CPU-1", UnitAuto, HostServer, 0);
    Side(L"CPU-2", UnitAuto, HostServer, 0);
    CUnit* viewer = Side(L"Viewer", UnitWatching, HostClient, 0x1002);
    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    EXPECT_EQ(sequence->GetState(), State::Choosing);
    ASSERT_EQ(Scene()->GetRows().size(), 4u);
    EXPECT_TRUE(Scene()->GetRandomButton()->isEnabled());
    EXPECT_TRUE(Scene()->GetRandomButton()->hasFocus());
    // A row reads as on the connection screen, but a unit has no rules to compare.
    QStringList texts;
    for (const CSimpleTextItem* text : RowOf(guestUnit)->GetTexts()) texts << text->text();
    EXPECT_TRUE(texts.join(' ').startsWith("Player:  Guest Host:  Client Command:  Manual IP Address: "))
        << texts.join(' ').toStdString();
    EXPECT_FALSE(texts.join(' ').contains("Rule Condition"));
    EXPECT_TRUE(RowOf(guestUnit)->IsSelectable());
    // An audience is listed but cannot be chosen.
    EXPECT_FALSE(RowOf(viewer)->IsSelectable());
    EXPECT_FALSE(RowOf(viewer)->GetSelectButton()->isVisible());
    // Two rows to a line, the second beside the first.
    const auto& rows = Scene()->GetRows();
    EXPECT_EQ(rows[0]->y(), rows[1]->y());
    EXPECT_GT(rows[1]->x(), rows[0]->x() + rows[0]->rect().width());
    EXPECT_GT(rows[2]->y(), rows[0]->y() + rows[0]->rect().height());
    EXPECT_EQ(rows[2]->x(), rows[0]->x());
    EXPECT_GT(rows[0]->y(), Scene()->GetLocalBlock()->sceneBoundingRect().bottom());
    EXPECT_FALSE(
        SaveScreenRender(*control->GetMainWindow(), QStringLiteral("tagteam/server-choosing")).isEmpty());
}

TEST_F(TagTeamTest, AWatchingSideCanChooseNothingAndALoneSideSeesNoRows)
{
    TagMatch(1);
    Local(L"Viewer", HostClient, UnitWatching);
    Side(L"Host", UnitManual, HostServer, 0x2001);
    Side(L"Guest", UnitManual, HostClient, 0x2002);
    CTagTeamSelectionScene scene;
    scene.SetUnitFactory(Units());
    scene.SetGameEdit(Rules());
    scene.CreateItems();
    EXPECT_EQ(scene.GetRows().size(), 2u);
    EXPECT_FALSE(scene.GetRandomButton()->isEnabled());
    for (CConnectionListItem* row : scene.GetRows()) EXPECT_FALSE(row->IsSelectable());
    EXPECT_EQ(scene.GetFirstFocus(), nullptr);

    // Made again for a game where this is the only side.
    Units()->Clear();
    Local(L"Host", HostServer);
    scene.CreateItems();
    EXPECT_TRUE(scene.GetRows().empty());
    EXPECT_TRUE(scene.GetRandomButton()->isEnabled());
    EXPECT_EQ(scene.GetFirstFocus(), scene.GetRandomButton());
}

TEST_F(TagTeamTest, AsServerTheChoicesComeInTheTeamsGoToEveryClientAndFleetFormationFollows)
{
    TagMatch(1);
    CUnit* host = Local(L"Host", HostServer);
    UnitProfile guestProfile(0, UnitManual, HostClient, L"Guest", L"");
    guestProfile.HostId = 0x3001;
    CSocketTcpClient guest;
    JoinGameServer(guest, guestProfile);
    guestProfile.Id = Units()->GetNextUnitNumber();
    CUnit* guestUnit = Units()->CreateUnit(guestProfile);
    CUnit* cpu1 = Side(L"CPU-1", UnitAuto, HostServer, 0);
    CUnit* cpu2 = Side(L"CPU-2", UnitAuto, HostServer, 0);
    Side(L"Viewer", UnitWatching, HostClient, 0x3002);

    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    ChooseByKeyboard(guestUnit);
    EXPECT_EQ(sequence->GetState(), State::Waiting);
    EXPECT_FALSE(Scene()->GetRandomButton()->isEnabled());
    EXPECT_FALSE(RowOf(cpu1)->IsSelectable());
    EXPECT_EQ(Bar(), "Now waiting for the request from clients...");
    // The host's pick and its computer sides' "no preference"; the audience never chooses.
    const std::map<UnitHash, UnitHash> expected = {
        {host->GetHostId(), 0x3001}, {cpu1->GetHostId(), 0}, {cpu2->GetHostId(), 0}};
    EXPECT_EQ(sequence->GetChoices(), expected);

    // The guest picks the host back.
    EntryMessage choice(26);
    choice.Sender = host->GetProfile();
    choice.Entry = guestProfile;
    ASSERT_TRUE(guest.Send(Encode(choice)));
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetState() == State::Announced; }));
    EXPECT_TRUE(host->IsTeamMate(*guestUnit));
    EXPECT_TRUE(cpu1->IsTeamMate(*cpu2));
    EXPECT_TRUE(Bar().contains("Team 1:\n        Host    Guest    ")) << Bar().toStdString();
    EXPECT_FALSE(
        SaveScreenRender(*control->GetMainWindow(), QStringLiteral("tagteam/server-announced")).isEmpty());

    ASSERT_TRUE(PeerReceives(guest));
    EXPECT_EQ(guest.GetReceivedData().Code, 26u);
    const std::vector<UnitProfile>& units = guest.GetReceivedMessage().Units;
    ASSERT_EQ(units.size(), 5u);
    std::size_t teamed = 0;
    for (const UnitProfile& profile : units) {
        if (profile.HostId == 0x3001) {
            EXPECT_EQ(profile.TeamMates, std::set<std::uint64_t>{host->GetHostId()});
        }
        if (!profile.TeamMates.empty()) ++teamed;
    }
    EXPECT_EQ(teamed, 4u);
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
}

TEST_F(TagTeamTest, AsServerAChoiceThatArrivesBeforeTheHostsIsKept)
{
    TagMatch(1);
    CUnit* host = Local(L"Host", HostServer);
    UnitProfile guestProfile(0, UnitManual, HostClient, L"Guest", L"");
    guestProfile.HostId = 0x7001;
    CSocketTcpClient guest;
    JoinGameServer(guest, guestProfile);
    guestProfile.Id = Units()->GetNextUnitNumber();
    CUnit* guestUnit = Units()->CreateUnit(guestProfile);
    CUnit* cpu1 = Side(L"CPU-1", UnitAuto, HostServer, 0);
    CUnit* cpu2 = Side(L"CPU-2", UnitAuto, HostServer, 0);

    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    // The guest leaves its mate to chance before the host has chosen.
    EntryMessage choice(26);
    choice.Sender.HostId = 0;
    choice.Entry = guestProfile;
    ASSERT_TRUE(guest.Send(Encode(choice)));
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetChoices().count(0x7001) != 0; }));
    EXPECT_EQ(sequence->GetState(), State::Choosing);
    // Only the host picked the guest, who had no preference: they team up.
    ChooseByKeyboard(guestUnit);
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetState() == State::Announced; }));
    EXPECT_TRUE(host->IsTeamMate(*guestUnit));
    EXPECT_TRUE(cpu1->IsTeamMate(*cpu2));
    ASSERT_TRUE(PeerReceives(guest));
    EXPECT_EQ(guest.GetReceivedData().Code, 26u);
}

TEST_F(TagTeamTest, AsServerAClientLeavingMidSelectionEndsTheScreenInsteadOfWaiting)
{
    TagMatch(1);
    Local(L"Host", HostServer);
    UnitProfile guestProfile(0, UnitManual, HostClient, L"Guest", L"");
    guestProfile.HostId = 0x4001;
    CSocketTcpClient guest;
    JoinGameServer(guest, guestProfile);
    guestProfile.Id = Units()->GetNextUnitNumber();
    CUnit* guestUnit = Units()->CreateUnit(guestProfile);
    Side(L"CPU-1", UnitAuto, HostServer, 0);
    Side(L"Viewer", UnitWatching, HostClient, 0x4002);

    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    // Noticed before the host has chosen too.
    EXPECT_EQ(sequence->GetState(), State::Choosing);
    ASSERT_NE(RowOf(guestUnit), nullptr);
    guest.Disconnect();
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetState() == State::Failed; }));
    EXPECT_EQ(Bar(), "Network is disconnected unexpectedly.\nIt goes back to previous process....");
    EXPECT_FALSE(Scene()->GetRandomButton()->isEnabled());
    EXPECT_FALSE(sequence->IsRequestTimerActive());
    EXPECT_FALSE(control->GetTcpServer()->IsListening());
    EXPECT_EQ(Units()->CountUnits(), 3u); // the audience is gone
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

TEST_F(TagTeamTest, AsClientTheChoiceGoesToTheServerAndItsTeamsAreTakenOver)
{
    TagMatch(1);
    CSocketTcpServer scriptedHost;
    const std::uint16_t port = ListenOnLoopback(scriptedHost);
    CUnit* guest = Local(L"Guest", HostClient);
    guest->SetHostId(0x5002);
    CUnit* host = Side(L"Host", UnitManual, HostServer, 0x5001);
    Side(L"CPU-1", UnitAuto, HostServer, 0x5003);
    Side(L"CPU-2", UnitAuto, HostServer, 0x5004);

    CSocketTcpClient* client = control->GetTcpClient();
    client->SetAddress("127.0.0.1");
    client->SetPort(port);
    ASSERT_TRUE(client->Connect());
    ASSERT_TRUE(WaitUntil([&] {
        scriptedHost.Accept();
        return client->Receive() == ReadComplete;
    }));
    EntryMessage entry(14);
    entry.IsPlayer = true;
    entry.Entry = guest->GetProfile();
    ASSERT_TRUE(client->Send(Encode(entry)));
    ASSERT_TRUE(WaitUntil([&] { return scriptedHost.ReceiveEntry() == 14u; }));
    EntryMessage answer = scriptedHost.GetWaitingEntryMessage();
    ASSERT_TRUE(scriptedHost.AcceptEntry(answer));
    scriptedHost.ConfirmEntry(0x5002);
    client->ClearReceivedData();

    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    ChooseByKeyboard(host);
    EXPECT_EQ(sequence->GetState(), State::Waiting);
    EXPECT_EQ(Bar(), "Now waiting for the response from the server...");
    ASSERT_TRUE(WaitUntil([&] { return scriptedHost.ReceiveFrom(0x5002) == ReadComplete; }));
    const EntryMessage sent = scriptedHost.GetEntryMessage(0x5002);
    EXPECT_EQ(sent.Code, 26u);
    EXPECT_EQ(sent.Sender.HostId, 0x5001u);
    EXPECT_EQ(sent.Sender.Name, L"Host");
    EXPECT_EQ(sent.Entry.HostId, 0x5002u);

    // The host's teams: the guest with CPU-2, the host with CPU-1.
    std::vector<UnitProfile> profiles;
    Units()->GetUnitProfiles(profiles);
    for (UnitProfile& profile : profiles) {
        profile.TeamMates.clear();
        if (profile.HostId == 0x5002) profile.TeamMates = {0x5004};
        if (profile.HostId == 0x5004) profile.TeamMates = {0x5002};
        if (profile.HostId == 0x5001) profile.TeamMates = {0x5003};
        if (profile.HostId == 0x5003) profile.TeamMates = {0x5001};
    }
    // A result that leaves this side out is no answer; the screen keeps waiting.
    EntryMessage teams(26);
    ASSERT_TRUE(scriptedHost.SendEntryMessageToId(0x5002, teams));
    QTest::qWait(ScreenTiming::Scaled(ScreenTiming::FastPoll) * 4);
    EXPECT_EQ(sequence->GetState(), State::Waiting);
    EXPECT_EQ(Units()->CountUnits(), 4u);
    teams.Units = profiles;
    ASSERT_TRUE(scriptedHost.SendEntryMessageToId(0x5002, teams));
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetState() == State::Announced; }));
    EXPECT_EQ(Units()->GetLocalUnit()->GetProfile().TeamMates, std::set<std::uint64_t>{0x5004});
    EXPECT_TRUE(Bar().contains("Team 2:\n        Host    CPU-1    ")) << Bar().toStdString();
    ASSERT_TRUE(WaitForType(SequenceType::FleetFormation));
    client->Disconnect();
}

TEST_F(TagTeamTest, AsClientAChoiceThatCannotBeSentIsCanceledAndALostServerGoesBack)
{
    TagMatch(1);
    Local(L"Guest", HostClient);
    Side(L"Host", UnitManual, HostServer, 0x6001);
    CTagTeamSelectionScene scene;
    scene.SetUnitFactory(Units());
    scene.SetTcpClient(control->GetTcpClient());
    scene.CreateItems();
    int chosen = 0;
    QObject::connect(&scene, &CTagTeamSelectionScene::ItemSelected, [&chosen] { ++chosen; });
    QSignalSpy canceled(&scene, &CTagTeamSelectionScene::Canceled);
    // Never connected: the send fails.
    scene.GetRandomButton()->click();
    EXPECT_EQ(canceled.count(), 1);
    EXPECT_EQ(chosen, 0);
    EXPECT_FALSE(scene.GetRandomButton()->isEnabled());
    EXPECT_FALSE(scene.GetRows().front()->IsSelectable());

    // The screen notices the missing server before anything is chosen.
    CTagTeamSelectionSequence* sequence = Open();
    ASSERT_NE(sequence, nullptr);
    ASSERT_TRUE(WaitUntil([&] { return sequence->GetState() == State::Failed; }));
    ASSERT_TRUE(WaitForType(SequenceType::Title));
}

} // namespace
