// The connection screen without a peer: its button states, the port check,
// the rows and their layout, and what the keyboard reaches first.
#include "tests/screens/network/NetworkTestSupport.h"

#include "gui/SelectionList.h"

#include <QSignalSpy>

namespace Marevane::Testing {
namespace {

using NetworkSceneTest = NetworkScreenTest;

EntryMessage Announcement(const std::wstring& name, std::uint64_t hostId, std::uint32_t type = UnitManual,
                          std::uint16_t port = 0)
{
    EntryMessage entry(5);
    entry.Sender = UnitProfile(0, type, HostServer, name, L"");
    entry.Sender.HostId = hostId;
    entry.Sender.Port = port;
    return entry;
}

struct StateCase {
    ConnectButtonState state;
    const char* text;
    bool connectEnabled;
    Sound::SeCode sound;
    bool backEnabled;
};

TEST_F(NetworkSceneTest, EachStateSetsTheButtonsOfAClient)
{
    Open(HostClient);
    const StateCase cases[] = {
        {ConnectState, "Connect", true, Sound::SeDefaultSelected, true},
        {DisconnectState, "Disconnect", true, Sound::SeDefaultCanceled, false},
        {ReconnectState, "Reconnect", true, Sound::SeDefaultSelected, true},
        {DetectState, "Detect", true, Sound::SeDefaultSelected, true},
        {RefreshState, "Refresh", true, Sound::SeDefaultSelected, true},
        {CompleteState, "Complete", false, Sound::SeDefaultSelected, false},
        {CancelState, "Cancel", true, Sound::SeDefaultCanceled, false},
    };
    for (const StateCase& c : cases) {
        SCOPED_TRACE(c.text);
        scene->ChangeConnectionState(c.state);
        EXPECT_EQ(scene->GetConnectButton()->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(scene->GetConnectButton()->isEnabled(), c.connectEnabled);
        EXPECT_EQ(scene->GetConnectButton()->GetSeCode(), c.sound);
        EXPECT_EQ(scene->GetDetectButton()->isEnabled(), c.state == ConnectState);
        EXPECT_EQ(scene->GetPlayerSettingsButton()->isEnabled(), c.backEnabled);
        EXPECT_EQ(scene->GetRuleSettingsButton()->isEnabled(), c.backEnabled);
    }
    EXPECT_THROW(scene->GetStateText(static_cast<ConnectButtonState>(7)), std::out_of_range);
}

TEST_F(NetworkSceneTest, AServerNeverDetectsNorTypesAnAddress)
{
    Open(HostServer);
    for (ConnectButtonState state : {ConnectState, DisconnectState, CancelState, CompleteState}) {
        scene->ChangeConnectionState(state);
        EXPECT_FALSE(scene->GetDetectButton()->isEnabled());
        EXPECT_FALSE(scene->GetAddressBox()->isEnabled());
    }
}

TEST_F(NetworkSceneTest, AWatcherCannotGoBackToTheRules)
{
    Open(HostClient, UnitWatching);
    EXPECT_TRUE(scene->GetPlayerSettingsButton()->isEnabled());
    EXPECT_FALSE(scene->GetRuleSettingsButton()->isEnabled());
}

TEST_F(NetworkSceneTest, WellKnownPortsFallBackToTheDefault)
{
    Open(HostClient);
    CSpinBox* box = scene->GetPortBox();
    for (int value : {1023, 1}) {
        box->setValue(value);
        emit box->editingFinished();
        EXPECT_EQ(box->value(), 0) << value;
        EXPECT_TRUE(
            scene->GetMessageBar()->GetText().startsWith(QStringLiteral("Server Port Number is invalid.")));
        EXPECT_EQ(box->text(), QStringLiteral("Default"));
    }
    for (int value : {0, 1024, 65535}) {
        box->setValue(value);
        emit box->editingFinished();
        EXPECT_EQ(box->value(), value);
    }
    // Detection takes the default for any port below 1024, unchecked or not.
    box->setValue(500);
    scene->GetDetectButton()->click();
    EXPECT_EQ(sequence->GetUdp()->GetPort(), 0);
    box->setValue(port);
}

TEST_F(NetworkSceneTest, AClientWithoutAnAddressIsToldSoAndDoesNotConnect)
{
    Open(HostClient);
    QSignalSpy connects(scene, &CNetworkConnectionScene::ConnectPushed);
    scene->GetAddressBox()->clear();
    scene->GetConnectButton()->click();
    EXPECT_EQ(connects.count(), 0);
    EXPECT_EQ(scene->GetState(), ConnectState);
    EXPECT_EQ(scene->GetMessageBar()->GetText(),
              QStringLiteral("IP Address is empty.\nPlease input valid address."));
}

TEST_F(NetworkSceneTest, RowsKeepTheirOrderInTwoColumnsAndIgnoreRepeats)
{
    Open(HostServer);
    scene->Add(Announcement(L"Carol", 30));
    scene->Add(Announcement(L"Alice", 10));
    scene->Add(Announcement(L"Bob", 20));
    scene->Add(Announcement(L"Alice again", 10));
    const auto& rows = scene->GetRows();
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].first, 30U);
    EXPECT_EQ(rows[1].first, 10U);
    EXPECT_EQ(rows[2].first, 20U);
    const CConnectionListItem* first = rows[0].second;
    const CConnectionListItem* second = rows[1].second;
    const CConnectionListItem* third = rows[2].second;
    EXPECT_TRUE(RowText(*second).contains(QStringLiteral("Alice")));
    EXPECT_FALSE(RowText(*second).contains(QStringLiteral("again")));
    EXPECT_DOUBLE_EQ(second->y(), first->y());
    EXPECT_DOUBLE_EQ(second->x(), first->x() + first->rect().width() + 4);
    EXPECT_DOUBLE_EQ(third->x(), first->x());
    EXPECT_GT(third->y(), first->y() + first->rect().height());
    // The list starts under the connection panel, below the local row.
    EXPECT_GT(first->y(), scene->GetLocalRow()->y() + scene->GetLocalRow()->rect().height());

    scene->Remove(10);
    scene->Remove(12345); // not listed: nothing happens
    ASSERT_EQ(rows.size(), 2U);
    EXPECT_DOUBLE_EQ(rows[1].second->y(), rows[0].second->y());
}

TEST_F(NetworkSceneTest, AServerSelectsPlayersButNotWatchers)
{
    Open(HostServer);
    scene->Add(Announcement(L"Player", 41));
    scene->Add(Announcement(L"Watcher", 42, UnitWatching));
    CConnectionListItem* player = scene->FindRow(41);
    CConnectionListItem* watcher = scene->FindRow(42);
    EXPECT_TRUE(player->IsSelectable());
    EXPECT_FALSE(watcher->GetSelectButton()->isEnabled());
    EXPECT_FALSE(watcher->IsSelectable());

    QSignalSpy selected(scene, &CNetworkConnectionScene::ItemSelected);
    player->GetSelectButton()->click();
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<UnitHash>(), 41U);
    EXPECT_EQ(player->GetEntry().Code, 16U);
    EXPECT_FALSE(player->IsSelectable());
    EXPECT_EQ(scene->GetState(), CancelState);
}

TEST_F(NetworkSceneTest, CancelFallsBackToDisconnectWithRowsAndToConnectWithout)
{
    Open(HostServer);
    QSignalSpy cancels(scene, &CNetworkConnectionScene::CancelPushed);
    scene->ChangeConnectionState(CancelState);
    scene->GetConnectButton()->click();
    EXPECT_EQ(scene->GetState(), ConnectState);
    scene->Add(Announcement(L"Player", 41));
    scene->ChangeConnectionState(CancelState);
    scene->GetConnectButton()->click();
    EXPECT_EQ(scene->GetState(), DisconnectState);
    EXPECT_EQ(cancels.count(), 2);
}

TEST_F(NetworkSceneTest, RowsShowTheSideAndWhetherItsRulesMatch)
{
    Open(HostClient);
    EXPECT_EQ(RowText(*scene->GetLocalRow()),
              QStringLiteral("Player:  Guest Host:  Client Command:  Manual "
                             "IP Address:  ") +
                  QString::fromStdString(scene->GetLocalRow()->GetProfile()->Address) +
                  QStringLiteral(" Port:  Default"));
    EntryMessage same = Announcement(L"Same", 51, UnitManual, 20000);
    same.Rules = Rules()->GetInfo();
    EntryMessage other = Announcement(L"Other", 52);
    other.Rules = Rules()->GetInfo();
    other.Rules.Map.Size = MapPos(9, 9);
    scene->Add(same);
    scene->Add(other);
    EXPECT_TRUE(RowText(*scene->FindRow(51)).endsWith(QStringLiteral("Port:  20000 Rule Condition:  Match")));
    EXPECT_TRUE(RowText(*scene->FindRow(52)).endsWith(QStringLiteral("Rule Condition:  Mismatch")));
    CConnectionListItem fromUnit(Rules(), control->GetUnitFactory()->GetLocalUnit());
    EXPECT_FALSE(RowText(fromUnit).contains(QStringLiteral("Rule Condition")));
}

TEST_F(NetworkSceneTest, SelectingRunsTheCallbackOnceAndGreysTheRow)
{
    Open(HostServer);
    CConnectionListItem row(Rules(), Announcement(L"Row", 61));
    scene->addItem(&row);
    int calls = 0;
    row.SetCallbackOnSelecting([&calls] { ++calls; });
    EXPECT_TRUE(row.IsSelectable());
    QSignalSpy hovered(&row, &CConnectionListItem::Hovered);
    Hover(&row, true);
    ASSERT_EQ(hovered.count(), 1);
    EXPECT_NE(hovered.at(0).at(0).value<const GameEditInfo*>(), nullptr);

    row.GetSelectButton()->click();
    row.GetSelectButton()->click();
    EXPECT_EQ(calls, 1);
    for (const CSimpleTextItem* text : row.GetTexts())
        EXPECT_EQ(text->brush().color(), QColor(180, 180, 180));
    // A row that cannot be selected does not light up; leaving still tells.
    Hover(&row, true);
    EXPECT_EQ(hovered.count(), 1);
    Hover(&row, false);
    ASSERT_EQ(hovered.count(), 2);
    EXPECT_EQ(hovered.at(1).at(0).value<const GameEditInfo*>(), nullptr);
    scene->removeItem(&row);
}

TEST_F(NetworkSceneTest, TheKeyboardStartsAtTheFieldTheSideNeeds)
{
    Open(HostClient);
    EXPECT_TRUE(scene->GetAddressBox()->hasFocus());
    scene->GetAddressBox()->setText(QStringLiteral("127.0.0.1"));
    // Return in the address field connects.
    QSignalSpy connects(scene, &CNetworkConnectionScene::ConnectPushed);
    Key(Qt::Key_Return);
    EXPECT_EQ(connects.count(), 1);
}

TEST_F(NetworkSceneTest, TabGoesFromTheAddressToTheWayBackAndTheRowsAndEachShowsItsFocus)
{
    Open(HostClient);
    scene->Add(Announcement(L"Found", 91));
    const std::vector<QWidget*> order = {scene->GetPortBox(),
                                         scene->GetConnectButton(),
                                         scene->GetDetectButton(),
                                         scene->GetPlayerSettingsButton(),
                                         scene->GetRuleSettingsButton(),
                                         scene->FindRow(91)->GetSelectButton()};
    // Each stop shows that it has the focus: it looks other than before.
    std::vector<QImage> unfocused;
    for (QWidget* widget : order) unfocused.push_back(widget->grab().toImage());
    for (std::size_t i = 0; i < order.size(); ++i) {
        Key(Qt::Key_Tab);
        EXPECT_TRUE(order[i]->hasFocus()) << i;
        EXPECT_NE(order[i]->grab().toImage(), unfocused[i]) << i;
    }
}

TEST_F(NetworkSceneTest, TheKeysTheCancelItemHadGoToTheFirstRowToSelectWhenItHides)
{
    Open(HostServer);
    scene->ChangeConnectionState(DisconnectState);
    scene->ShowConnectionMessage(QStringLiteral("Waiting"), 0);
    ASSERT_TRUE(scene->GetCancelItem()->isVisible());
    ASSERT_NE(scene->focusItem(), nullptr);
    EXPECT_FALSE(scene->GetConnectButton()->hasFocus());
    scene->Add(Announcement(L"Watcher", 42, UnitWatching));
    scene->Add(Announcement(L"Player", 41));
    scene->ShowMessage(QStringLiteral("Entered"), 0);
    EXPECT_FALSE(scene->GetCancelItem()->isVisible());
    EXPECT_TRUE(scene->FindRow(41)->GetSelectButton()->hasFocus());
    QSignalSpy selected(scene, &CNetworkConnectionScene::ItemSelected);
    Key(Qt::Key_Space);
    ASSERT_EQ(selected.count(), 1);
    EXPECT_EQ(selected.at(0).at(0).value<UnitHash>(), 41U);
}

TEST_F(NetworkSceneTest, WithoutARowToSelectTheKeysTheCancelItemHadGoBackToTheConnectionButton)
{
    Open(HostServer);
    scene->ChangeConnectionState(DisconnectState);
    scene->ShowConnectionMessage(QStringLiteral("Waiting"), 0);
    EXPECT_FALSE(scene->GetConnectButton()->hasFocus());
    scene->ShowMessage(QStringLiteral("Gone"), 0);
    EXPECT_TRUE(scene->GetConnectButton()->hasFocus());
}

TEST_F(NetworkSceneTest, AServerStartsAtTheConnectButton)
{
    Open(HostServer);
    EXPECT_TRUE(scene->GetConnectButton()->hasFocus());
    QSignalSpy connects(scene, &CNetworkConnectionScene::ConnectPushed);
    Key(Qt::Key_Return);
    EXPECT_EQ(connects.count(), 1);
}

} // namespace
} // namespace Marevane::Testing
