#include "gui/Animation.h"
#include "gui/FadingAnimation.h"
#include "gui/ScreenTiming.h"
#include "tests/gui/QtTestSupport.h"

#include <QGraphicsTextItem>
#include <QPointer>

#include <memory>

using namespace Marevane;
using Testing::Settle;
using Testing::WaitUntil;

namespace {

// Fades its item out over a short run.
class COpacityDrop : public CAnimation {
  public:
    COpacityDrop(QObject* item, MessageCode code) : CAnimation(item, code) {}
    bool IsValid() const override { return GetTarget() != nullptr; }
    void Init() override
    {
        setTargetObject(GetTarget());
        setPropertyName("opacity");
        setDuration(ScreenTiming::Scaled(2000));
        setStartValue(1.0);
        setEndValue(0.0);
    }
};

// Counts what an animation reports.
struct Reports {
    explicit Reports(CAnimation* animation)
    {
        QObject::connect(animation, &CAnimation::Finished,
                         [this](MessageCode code) { codes.push_back(code); });
        QObject::connect(animation, &QAbstractAnimation::finished, [this] { ++finished; });
    }
    std::vector<MessageCode> codes;
    int finished = 0;
};

class AnimationTest : public Testing::ShellTest {
  protected:
    QGraphicsTextItem item;
};

TEST_F(AnimationTest, WithAnimationsOffStartReportsAtOnceAndNothingMoves)
{
    CSystemConfig::GetInstance().Animation = false;
    COpacityDrop animation(&item, 57);
    Reports reports(&animation);
    animation.Start();
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{57}); // before any event is handled
    EXPECT_EQ(reports.finished, 1);
    EXPECT_FALSE(animation.IsRunning());
    Settle();
    EXPECT_EQ(reports.codes.size(), 1u);
    EXPECT_DOUBLE_EQ(item.opacity(), 1.0);
}

TEST_F(AnimationTest, WithAnimationsOffStartOnceStillDeletesTheAnimation)
{
    CSystemConfig::GetInstance().Animation = false;
    QPointer<COpacityDrop> animation = new COpacityDrop(&item, 3);
    int reports = 0;
    QObject::connect(animation, &CAnimation::Finished, [&reports] { ++reports; });
    animation->StartOnce();
    EXPECT_EQ(reports, 1);
    Settle();
    EXPECT_TRUE(animation.isNull());
}

TEST_F(AnimationTest, AnAnimationWithNothingToMoveReportsAtOnce)
{
    COpacityDrop animation(nullptr, 9);
    Reports reports(&animation);
    animation.Start();
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{9});
}

TEST_F(AnimationTest, StartWhileRunningDoesNothingAndTheEndReportsOnce)
{
    COpacityDrop animation(&item, 5);
    Reports reports(&animation);
    animation.Start();
    ASSERT_TRUE(animation.IsRunning());
    animation.Start();
    animation.StartOnce();
    EXPECT_TRUE(reports.codes.empty());
    ASSERT_TRUE(WaitUntil([&] { return !reports.codes.empty(); }));
    Settle();
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{5});
    EXPECT_EQ(reports.finished, 1);
    EXPECT_DOUBLE_EQ(item.opacity(), 0.0);
}

TEST_F(AnimationTest, StoppingMidwayReportsOnce)
{
    COpacityDrop animation(&item, 7);
    Reports reports(&animation);
    animation.Start();
    animation.Stop();
    animation.Stop();
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{7});
    EXPECT_EQ(reports.finished, 1);
    Settle();
    EXPECT_EQ(reports.codes.size(), 1u);
}

TEST_F(AnimationTest, FadingAShownItemOutReachesZeroOnce)
{
    item.setOpacity(1.0);
    QPointer<CFadingAnimation> fading = new CFadingAnimation(&item);
    EXPECT_FALSE(fading->IsFadeIn());
    EXPECT_EQ(fading->GetFadeDuration(), 1500);
    fading->SetCode(21);
    Reports reports(fading);
    std::vector<double> seen;
    QObject::connect(&item, &QGraphicsObject::opacityChanged, [&] { seen.push_back(item.opacity()); });
    fading->StartOnce();
    ASSERT_TRUE(WaitUntil([&] { return !reports.codes.empty(); }));
    EXPECT_DOUBLE_EQ(item.opacity(), 0.0);
    EXPECT_EQ(std::count(seen.begin(), seen.end(), 0.0), 1);
    EXPECT_GT(seen.size(), 1u); // it went down step by step
    Settle();
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{21});
    EXPECT_TRUE(fading.isNull());
}

TEST_F(AnimationTest, FadingAHiddenItemInStartsFromZero)
{
    item.setOpacity(1.0);
    item.hide();
    CFadingAnimation fading(&item);
    EXPECT_TRUE(fading.IsFadeIn());
    fading.Start();
    EXPECT_TRUE(item.isVisible());
    EXPECT_LT(item.opacity(), 0.5);
    ASSERT_TRUE(WaitUntil([&] { return !fading.IsRunning(); }));
    EXPECT_DOUBLE_EQ(item.opacity(), 1.0);
}

TEST_F(AnimationTest, WithAnimationsOffAFadeEndsAtOnceAtItsEndOpacity)
{
    CSystemConfig::GetInstance().Animation = false;
    CFadingAnimation fading(&item);
    Reports reports(&fading);
    fading.Start();
    EXPECT_DOUBLE_EQ(item.opacity(), 0.0);
    EXPECT_EQ(reports.finished, 1);
    EXPECT_EQ(reports.codes.size(), 1u);
}

TEST_F(AnimationTest, FadingForgetsAnItemThatDied)
{
    auto doomed = std::make_unique<QGraphicsTextItem>();
    CFadingAnimation fading(doomed.get());
    doomed.reset();
    EXPECT_FALSE(fading.IsValid());
    EXPECT_EQ(fading.GetItem(), nullptr);
    Reports reports(&fading);
    fading.Start();
    EXPECT_EQ(reports.codes.size(), 1u);
}

// Records its preparation hooks.
class CRecordingEffect : public CEffectAnimation {
  public:
    explicit CRecordingEffect(QObject* item) : CEffectAnimation(57) { SetTarget(item); }
    QGraphicsItem* GetEffectItem() const override { return nullptr; }
    bool IsValid() const override { return true; }
    void Init() override
    {
        setTargetObject(GetTarget());
        setPropertyName("opacity");
        setDuration(ScreenTiming::Scaled(400));
        setEndValue(0.0);
    }
    void PrepareBeforeRunning() override { hooks.push_back("running"); }
    void PrepareBeforeStopping() override { hooks.push_back("stopping"); }
    std::vector<std::string> hooks;
};

TEST_F(AnimationTest, AnEffectPreparesOnEnteringAndLeavingTheRun)
{
    CRecordingEffect effect(&item);
    Reports reports(&effect);
    effect.Start();
    EXPECT_EQ(effect.hooks, std::vector<std::string>{"running"});
    ASSERT_TRUE(WaitUntil([&] { return !reports.codes.empty(); }));
    EXPECT_EQ(effect.hooks, (std::vector<std::string>{"running", "stopping"}));
    EXPECT_EQ(reports.codes, std::vector<MessageCode>{57});
}

} // namespace
