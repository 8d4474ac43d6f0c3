#include "gui/ScreenFadeAnimation.h"
#include "tests/gui/QtTestSupport.h"

#include <QImage>
#include <QPalette>
#include <QPixmap>
#include <QStackedLayout>
#include <QWidget>

#include <stdexcept>
#include <string>

using namespace Marevane;
using Testing::Settle;
using Testing::WaitUntil;

namespace {

class ScreenFadeTest : public Testing::ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        layout = new QStackedLayout(&container);
        layout->setStackingMode(QStackedLayout::StackAll);
        for (int i = 0; i < 3; ++i) layout->addWidget(new QWidget);
        layout->setCurrentIndex(0);
        container.resize(720, 600);
        fade = std::make_unique<CScreenFadeAnimation>(layout);
        QObject::connect(fade.get(), &CAnimation::Finished, [this](MessageCode code) {
            log.push_back("finished " + std::to_string(code) + " showing " +
                          std::to_string(layout->currentIndex()));
        });
    }
    void TearDown() override
    {
        fade.reset();
        ShellTest::TearDown();
    }

    // A step that logs itself and answers the index to show.
    CScreenFadeAnimation::Task Step(const std::string& name, int index)
    {
        return [this, name, index] {
            log.push_back(name);
            return index;
        };
    }

    bool WaitForIdle()
    {
        return WaitUntil([this] { return !fade->IsRunning(); });
    }

    QWidget container;
    QStackedLayout* layout = nullptr;
    std::unique_ptr<CScreenFadeAnimation> fade;
    std::vector<std::string> log;
};

TEST_F(ScreenFadeTest, StepsRunOnTheBlackScreenAndTheirIndexShowsAfter)
{
    for (const bool isAnimated : {true, false}) {
        // The screen change does not depend on the Animation setting.
        CSystemConfig::GetInstance().Animation = isAnimated;
        log.clear();
        double opacity = -1.0;
        QWidget* shown = nullptr;
        const int target = isAnimated ? 2 : 1;
        fade->Request(
            [&] {
                opacity = fade->GetOverlayOpacity();
                shown = layout->currentWidget();
                return target;
            },
            34);
        EXPECT_TRUE(fade->IsRunning());
        EXPECT_EQ(layout->currentWidget(), fade->GetOverlay());
        EXPECT_EQ(layout->count(), 4);
        ASSERT_TRUE(WaitForIdle());
        EXPECT_GE(opacity, 0.99);
        EXPECT_EQ(shown, fade->GetOverlay());
        EXPECT_EQ(layout->currentIndex(), target);
        EXPECT_EQ(layout->count(), 3);
        EXPECT_EQ(fade->GetOverlay()->parent(), nullptr);
        EXPECT_EQ(log, (std::vector<std::string>{"finished 34 showing 3",
                                                 "finished 34 showing " + std::to_string(target)}));
    }
}

TEST_F(ScreenFadeTest, TheScreenIsBlackWhileTheStepsRunAndShowsTheTargetAfter)
{
    const QColor colours[] = {Qt::red, Qt::green, Qt::blue};
    for (int i = 0; i < 3; ++i) {
        QWidget* page = layout->widget(i);
        page->setAutoFillBackground(true);
        QPalette palette = page->palette();
        palette.setColor(QPalette::Window, colours[i]);
        page->setPalette(palette);
    }
    container.show();
    auto centre = [this] { return container.grab().toImage().pixelColor(360, 300); };
    ASSERT_EQ(centre(), QColor(Qt::red));
    QColor duringSteps;
    fade->Request(
        [&] {
            duringSteps = centre();
            return 2;
        },
        34);
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(duringSteps, QColor(Qt::black));
    EXPECT_EQ(centre(), QColor(Qt::blue));
}

TEST_F(ScreenFadeTest, TwoRequestsGiveTwoFadesInOrderEachWithItsCode)
{
    fade->Request(Step("first", 1), 34);
    fade->Request(Step("second", 2), 35);
    ASSERT_TRUE(WaitForIdle());
    Settle();
    EXPECT_EQ(log, (std::vector<std::string>{"first", "finished 34 showing 3", "finished 34 showing 1",
                                             "second", "finished 35 showing 3", "finished 35 showing 2"}));
}

TEST_F(ScreenFadeTest, ThreeRequestsDuringAFadeEachWaitForAFadeOfTheirOwn)
{
    fade->Request(Step("first", 1), 34);
    fade->Request(Step("second", 2), 35);
    fade->Request(Step("third", 0), 36);
    ASSERT_TRUE(WaitForIdle());
    ASSERT_TRUE(WaitUntil([this] { return log.size() == 9; }));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(log, (std::vector<std::string>{"first", "finished 34 showing 3", "finished 34 showing 1",
                                             "second", "finished 35 showing 3", "finished 35 showing 2",
                                             "third", "finished 36 showing 3", "finished 36 showing 0"}));
}

TEST_F(ScreenFadeTest, ARequestMadeByAStepJoinsItsPass)
{
    fade->Request(
        [this] {
            log.push_back("first");
            fade->Request(Step("joined", 2), 35);
            return 1;
        },
        34);
    ASSERT_TRUE(WaitForIdle());
    Settle();
    EXPECT_EQ(
        log, (std::vector<std::string>{"first", "joined", "finished 34 showing 3", "finished 34 showing 2"}));
}

TEST_F(ScreenFadeTest, AWaitingRequestWhoseGuardSaysNoIsDropped)
{
    bool isWanted = true;
    fade->Request(Step("first", 1), 34);
    fade->Request(Step("second", 2), 35, [&isWanted] { return isWanted; });
    isWanted = false;
    ASSERT_TRUE(WaitForIdle());
    Settle();
    EXPECT_FALSE(fade->IsRunning());
    EXPECT_EQ(log, (std::vector<std::string>{"first", "finished 34 showing 3", "finished 34 showing 1"}));
}

TEST_F(ScreenFadeTest, AFailingStepDoesNotStopTheFade)
{
    fade->Request([]() -> int { throw std::runtime_error("broken screen"); }, 34);
    fade->Request(Step("after", 2), 35);
    ASSERT_TRUE(WaitUntil([this] { return log.size() == 5; }));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(layout->currentIndex(), 2);
    EXPECT_EQ(log[2], "after");
}

TEST_F(ScreenFadeTest, AddTaskDuringAFadeWaitsAndStartsWithTheStoredCode)
{
    fade->SetCode(34);
    fade->AddTask(Step("first", 1));
    fade->Start();
    fade->AddTask(Step("second", 2));
    ASSERT_TRUE(WaitUntil([this] { return log.size() == 6; }));
    ASSERT_TRUE(WaitForIdle());
    EXPECT_EQ(log[3], "second");
    EXPECT_EQ(layout->currentIndex(), 2);
}

TEST_F(ScreenFadeTest, WithoutStepsNothingFades)
{
    fade->SetCode(34);
    fade->Start();
    EXPECT_FALSE(fade->IsRunning());
    EXPECT_EQ(layout->count(), 3);
    EXPECT_EQ(log, (std::vector<std::string>{"finished 34 showing 0"}));
}

} // namespace
