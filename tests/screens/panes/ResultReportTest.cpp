// The command result report: one line every two seconds (scaled) to the
// status pane, the map and the message pane, then 67; each report and each
// battle starts at its first line.
#include "gui/ScreenTiming.h"
#include "screens/battle/CommandResultReport.h"
#include "screens/battle/MessageScene.h"
#include "screens/battle/PlayerStatusScene.h"
#include "screens/battle/ShipProfileItems.h"
#include "tests/screens/panes/LoggedBattle.h"

#include <QGraphicsTextItem>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class ResultReportTest : public LoggedBattleTest {
  protected:
    void SetUp() override
    {
        LoggedBattleTest::SetUp();
        StartBattle(2);
        status.SetUp(&players, players[0]);
        component.pPlayerStatusScene = &status;
        component.pMessageScene = &messages;
        report.SetUIComponent(&component);
        report.SetMapUpdater([this](MessageCode code, const ShipProfile* profile) {
            mapCalls.push_back({code, profile != nullptr ? profile->ShipId : 0});
        });
    }

    void AddLines(int count)
    {
        for (int i = 0; i < count; ++i) {
            shown[i] = Profile(0, static_cast<std::uint32_t>(i + 1));
            shown[i].Hp = 0;
            logger->GetCache().Add(&shown[i], QStringLiteral("line %1").arg(i + 1));
        }
    }

    bool RunToEnd(SignalSpy& stopped)
    {
        return WaitUntil([&] { return !stopped.isEmpty(); });
    }

    struct MapCall {
        MessageCode code;
        std::uint32_t shipId;
        bool operator==(const MapCall& other) const { return code == other.code && shipId == other.shipId; }
    };

    ShipProfile shown[4];
    CPlayerStatusScene status;
    CMessageScene messages{0, 0, QSize(720, 140)};
    UIComponent component;
    CCommandResultReport report{&results, &logger};
    std::vector<MapCall> mapCalls;
};

TEST_F(ResultReportTest, EveryLineDrivesMapPaneAndMessagesThenTheReportEnds)
{
    const MessageCode result = Move(0, true);
    logger->GetCache().Clear();
    AddLines(3);
    SignalSpy stopped(&report, qOverload<MessageCode>(&CCommandResultReport::Stopped));
    SignalSpy printed(&report, qOverload<MessageCode>(&CCommandResultReport::MessagePrinted));

    report.Start(result);
    EXPECT_EQ(report.GetInterval(), ScreenTiming::Scaled(ScreenTiming::Notice));
    EXPECT_TRUE(mapCalls.empty()); // the first line comes a tick later
    ASSERT_TRUE(RunToEnd(stopped));

    EXPECT_EQ(stopped[0][0].toUInt(), 67u);
    EXPECT_EQ(printed.size(), 3);
    EXPECT_EQ(mapCalls, (std::vector<MapCall>{{result, 1}, {56, 2}, {56, 3}}));
    EXPECT_EQ(messages.GetShownTexts(),
              (QStringList{QStringLiteral("line 1"), QStringLiteral("line 2"), QStringLiteral("line 3")}));
    for (std::uint32_t id = 1; id <= 3; ++id) {
        const CShipProfileItem* card = status.FindCard(players[0], id);
        EXPECT_EQ(card->GetText(CShipProfileItem::HpText)->toPlainText().left(5), QStringLiteral("HP 0 "));
        EXPECT_EQ(card->GetProfile(), &Profile(0, id)); // never the log's copy
    }
    EXPECT_FALSE(report.IsRunning());
}

TEST_F(ResultReportTest, EmptyLogEndsAfterOneTick)
{
    logger->GetCache().Clear();
    SignalSpy stopped(&report, qOverload<MessageCode>(&CCommandResultReport::Stopped));
    report.Start(87);
    ASSERT_TRUE(RunToEnd(stopped));
    EXPECT_EQ(stopped[0][0].toUInt(), 67u);
    EXPECT_TRUE(mapCalls.empty());
}

TEST_F(ResultReportTest, ReportStoppedMidwayLeavesTheNextOneAtItsFirstLine)
{
    AddLines(3);
    SignalSpy printed(&report, qOverload<MessageCode>(&CCommandResultReport::MessagePrinted));
    report.Start(87);
    ASSERT_TRUE(WaitUntil([&] { return printed.size() == 1; }));
    report.Stop(124);
    EXPECT_EQ(report.GetLineIndex(), 0u);

    // A second report (another instance as on the next screen) starts over.
    CCommandResultReport next(&results, &logger);
    next.SetUIComponent(&component);
    std::vector<const ShipProfile*> seen;
    next.SetMapUpdater([&](MessageCode, const ShipProfile* profile) { seen.push_back(profile); });
    SignalSpy stopped(&next, qOverload<MessageCode>(&CCommandResultReport::Stopped));
    next.Start(87);
    ASSERT_TRUE(RunToEnd(stopped));
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen.front()->ShipId, 1u);
}

TEST_F(ResultReportTest, NewBattleStartsTheReportAtItsFirstLine)
{
    AddLines(3);
    SignalSpy printed(&report, qOverload<MessageCode>(&CCommandResultReport::MessagePrinted));
    report.Start(87);
    ASSERT_TRUE(WaitUntil([&] { return printed.size() == 2; }));
    // The battle broke off; the next one begins (code 45).
    report.Reset();
    EXPECT_FALSE(report.IsRunning());
    mapCalls.clear();
    SignalSpy stopped(&report, qOverload<MessageCode>(&CCommandResultReport::Stopped));
    report.Start(87);
    ASSERT_TRUE(RunToEnd(stopped));
    ASSERT_EQ(mapCalls.size(), 3u);
    EXPECT_EQ(mapCalls.front().shipId, 1u);
}

TEST_F(ResultReportTest, ReportWithoutScenesOrMapStillEnds)
{
    AddLines(2);
    CCommandResultReport bare(nullptr, &logger);
    SignalSpy stopped(&bare, qOverload<MessageCode>(&CCommandResultReport::Stopped));
    bare.Start(87);
    ASSERT_TRUE(RunToEnd(stopped));
    EXPECT_EQ(stopped[0][0].toUInt(), 67u);
}

} // namespace
