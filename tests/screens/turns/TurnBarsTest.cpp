// The caption bars: the timer bar follows a side's clock, plays its
// countdown sounds and reports a lost time once; the turn bar names round,
// turn and side.
#include "gui/ResourcePools.h"
#include "gui/Translations.h"
#include "model/Timer.h"
#include "model/TurnManager.h"
#include "screens/battle/TimerBar.h"
#include "tests/screens/turns/TurnsFixture.h"

#include <QGraphicsScene>
#include <QLocale>
#include <QTranslator>

#include <atomic>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

// A clock the test moves; the timer's worker still waits in real time, briefly.
class CHandClock : public CTimerClock {
  public:
    TimePoint Now() override { return m_start + std::chrono::milliseconds(m_offset.load()); }
    bool WaitFor(std::unique_lock<std::mutex>& lock, std::condition_variable& wake, std::chrono::milliseconds,
                 const std::function<bool()>& done) override
    {
        return wake.wait_for(lock, std::chrono::milliseconds(1), done);
    }
    void Advance(std::int64_t ms) { m_offset += ms; }

  private:
    const TimePoint m_start = std::chrono::steady_clock::now();
    std::atomic<std::int64_t> m_offset{0};
};

class TimerBarTest : public ScreenTest {
  protected:
    // A clock that outlives the bar: the bar may still tick while the test ends.
    CTimer& MakeTimer(std::int64_t limitMs)
    {
        m_timer = std::make_unique<CTimer>(limitMs, clock);
        return *m_timer;
    }

    std::shared_ptr<CHandClock> clock = std::make_shared<CHandClock>();
    std::unique_ptr<CTimer> m_timer;
    QGraphicsScene scene;
    CTimerBar* bar = new CTimerBar;
    void SetUp() override
    {
        ScreenTest::SetUp();
        scene.addItem(bar);
    }
};

TEST_F(TimerBarTest, ALimitedClockCountsDownAndIsLostOnce)
{
    CTimer& timer = MakeTimer(5000);
    SignalSpy lost(bar, &CTimerBar::TimeLost);
    bar->SetTimer(&timer);
    EXPECT_TRUE(timer.IsRunning()); // the worker runs, with a tick that does nothing
    EXPECT_EQ(bar->GetText(), QString("0:00:05"));
    bar->Start();
    EXPECT_TRUE(bar->IsTicking());

    clock->Advance(2000);
    ASSERT_TRUE(WaitUntil([&] { return bar->GetText() == QString("0:00:03"); }, 2000))
        << bar->GetText().toStdString();
    EXPECT_EQ(lost.count(), 0);

    clock->Advance(4000);
    ASSERT_TRUE(WaitUntil([&] { return lost.count() > 0; }, 2000));
    QTest::qWait(ScaledMs(3000));
    bar->Show();
    EXPECT_EQ(lost.count(), 1);
    EXPECT_FALSE(bar->IsTicking());
    EXPECT_EQ(bar->GetText(), QString("0:00:00"));
}

TEST_F(TimerBarTest, AnExpiredClockIsReportedOnlyOnceTheBarCountsIt)
{
    CTimer& timer = MakeTimer(5000);
    timer.SetTimeLimit(0);
    SignalSpy lost(bar, &CTimerBar::TimeLost);
    bar->SetTimer(&timer);
    bar->Show();
    QTest::qWait(ScaledMs(2000));
    EXPECT_EQ(lost.count(), 0);
    bar->Start();
    clock->Advance(100);
    ASSERT_TRUE(WaitUntil([&] { return lost.count() == 1; }, 2000));
}

TEST_F(TimerBarTest, AClockWithoutLimitShowsDashesAndIsNeverLost)
{
    CTimer& timer = MakeTimer(0);
    SignalSpy lost(bar, &CTimerBar::TimeLost);
    bar->SetTimer(&timer);
    bar->Start();
    clock->Advance(100000);
    QTest::qWait(ScaledMs(3000));
    bar->Show();
    EXPECT_EQ(bar->GetText(), QString("- : - : - "));
    EXPECT_EQ(lost.count(), 0);
    EXPECT_FALSE(timer.HasLimit());
}

TEST_F(TimerBarTest, ACountdownSoundPlaysAsOftenAsTheClockAsks)
{
    CTimer& timer = MakeTimer(20000);
    timer.EnableCues(true);
    bar->SetTimer(&timer);
    bar->Start();
    // From 20 s to 14 s passes the 15 s mark: the alarm of level 3.
    clock->Advance(6000);
    ASSERT_TRUE(WaitUntil([&] { return sounds.Count(Sound::SeAlarmTimer) == 3; }, 3000))
        << sounds.Count(Sound::SeAlarmTimer);
    EXPECT_EQ(timer.GetCue().Code, 0u); // taken
    QTest::qWait(ScaledMs(5000));
    EXPECT_EQ(sounds.Count(Sound::SeAlarmTimer), 3);
    EXPECT_TRUE(sounds.AllDucked());
}

TEST_F(TimerBarTest, ClearLetsGoOfTheClockAndLeavesItsLimit)
{
    CTimer& timer = MakeTimer(30000);
    bar->SetTimer(&timer);
    bar->Start();
    bar->Clear();
    EXPECT_EQ(bar->GetTimer(), nullptr);
    EXPECT_EQ(timer.GetInitialLimit(), 30000);
    EXPECT_FALSE(bar->IsTicking());
    EXPECT_EQ(bar->GetText(), QString("- : - : - "));
}

TEST_F(TimerBarTest, TheBarStandsAtTheRightEdgeOfItsParent)
{
    auto* parent = new QGraphicsRectItem(0, 0, 500, 27);
    scene.addItem(parent);
    auto* child = new CTimerBar(parent);
    child->AdjustPosition();
    EXPECT_EQ(child->pos().x() + child->rect().width() - 1, 500);
    EXPECT_EQ(child->zValue(), 300);
}

class TurnInfoBarTest : public TurnsTest {};

TEST_F(TurnInfoBarTest, TheBarNamesRoundTurnAndSide)
{
    CTurnInfoBar* bar = scene->GetTurnInfoBar();
    bar->SetTurnManager(&turns);
    turns.SetPlayOrder(PlayOrder{2, 1});
    bar->Show();
    EXPECT_EQ(bar->GetText(), QString("Round2 Turn1: Ann"));

    turns.SetCurrent(Bea()->GetId());
    turns.SetPlayOrder(PlayOrder{12, 2});
    bar->Show();
    EXPECT_EQ(bar->GetText(), QString("Round12 Turn2: Bea"));

    bar->Show(QPixmap(":/Resources/BitmapTime.png"));
    EXPECT_TRUE(bar->GetText().isEmpty());
    ASSERT_NE(bar->GetMessageImage(), nullptr);
    bar->Show(QString("Fleet"));
    EXPECT_EQ(bar->GetMessageImage(), nullptr);
    EXPECT_EQ(bar->GetText(), QString("Fleet"));

    bar->SetTurnManager(nullptr);
    bar->Show();
    EXPECT_TRUE(bar->GetText().isEmpty());
}

TEST_F(TurnInfoBarTest, InJapaneseTheNumbersComeBeforeTheWords)
{
    QTranslator japanese;
    ASSERT_TRUE(LoadProgramTranslation(japanese, QLocale(QLocale::Japanese, QLocale::Japan)));
    QCoreApplication::installTranslator(&japanese);
    CTurnInfoBar* bar = scene->GetTurnInfoBar();
    bar->SetTurnManager(&turns);
    turns.SetPlayOrder(PlayOrder{3, 2});
    bar->Show();
    QCoreApplication::removeTranslator(&japanese);
    EXPECT_EQ(bar->GetText(), QString::fromUtf8("3ラウンド2ターン目: Ann"));
}

TEST_F(TurnInfoBarTest, TheMapKeepsTheCaptionAcrossARebuild)
{
    scene->GetTurnInfoBar()->Show(QString("Fleet Formation"));
    scene->Rebuild();
    EXPECT_EQ(scene->GetTurnInfoBar()->GetText(), QString("Fleet Formation"));
    EXPECT_EQ(scene->GetTimerBar()->parentItem(), scene->GetTurnInfoBar());
    // The map area begins below the bars.
    EXPECT_EQ(scene->GetBackground()->rect().top(), CTurnInfoBar::Height);
}

} // namespace
