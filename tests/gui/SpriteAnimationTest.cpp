#include "gui/SpriteAnimation.h"
#include "tests/gui/QtTestSupport.h"

#include <QGraphicsPixmapItem>
#include <QImage>
#include <QPainter>
#include <QPixmap>

using namespace Marevane;
using Testing::Settle;
using Testing::WaitUntil;

namespace {

const QColor FrameColours[] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta};

// Five 10 x 8 frames of solid colours, side by side.
QPixmap FiveFrameSheet()
{
    QImage sheet(50, 8, QImage::Format_ARGB32);
    QPainter painter(&sheet);
    for (int i = 0; i < 5; ++i) painter.fillRect(i * 10, 0, 10, 8, FrameColours[i]);
    painter.end();
    return QPixmap::fromImage(sheet);
}

// The frame the item shows, as an index into the colours.
int ShownFrame(const CSpriteAnimation& sprite)
{
    const QImage shown = sprite.GetItem()->pixmap().toImage();
    if (shown.isNull()) return -1;
    for (int i = 0; i < 5; ++i) {
        if (shown.pixelColor(5, 4) == FrameColours[i]) return i;
    }
    return -2;
}

void Step(CSpriteAnimation& sprite)
{
    ASSERT_TRUE(QMetaObject::invokeMethod(&sprite, "ChangeNextFrame"));
}

class SpriteAnimationTest : public Testing::ShellTest {
  protected:
    void Count(CSpriteAnimation& sprite)
    {
        QObject::connect(&sprite, &CAnimation::Finished, [this](MessageCode code) { codes.push_back(code); });
    }
    std::vector<MessageCode> codes;
};

TEST_F(SpriteAnimationTest, FiveFramesShowInOrderThenItReportsOnce)
{
    // An interval the test never reaches: the steps are made by hand.
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 3600000, 57);
    Count(sprite);
    EXPECT_EQ(sprite.GetFrameCount(), 5);
    EXPECT_FALSE(sprite.GetItem()->isVisible());
    sprite.Start();
    ASSERT_TRUE(sprite.IsRunning());
    EXPECT_TRUE(sprite.GetItem()->isVisible());
    std::vector<int> shown{ShownFrame(sprite)};
    for (int i = 0; i < 4; ++i) {
        Step(sprite);
        shown.push_back(ShownFrame(sprite));
    }
    EXPECT_EQ(shown, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_TRUE(codes.empty());
    Step(sprite);
    EXPECT_FALSE(sprite.IsRunning());
    EXPECT_FALSE(sprite.GetItem()->isVisible());
    EXPECT_EQ(sprite.GetFrameIndex(), 0);
    Settle();
    EXPECT_EQ(codes, std::vector<MessageCode>{57});
}

TEST_F(SpriteAnimationTest, RunOnItsTimerItFinishesOnce)
{
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 60, 12);
    Count(sprite);
    int finished = 0;
    QObject::connect(&sprite, &QAbstractAnimation::finished, [&finished] { ++finished; });
    sprite.Start();
    ASSERT_TRUE(WaitUntil([&] { return !sprite.IsRunning(); }));
    Settle();
    EXPECT_EQ(codes, std::vector<MessageCode>{12});
    EXPECT_EQ(finished, 1);
}

TEST_F(SpriteAnimationTest, ALoopRunsUntilStopped)
{
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 3600000, 4);
    sprite.SetLoop(true);
    Count(sprite);
    sprite.Start();
    std::vector<int> shown;
    for (int i = 0; i < 7; ++i) {
        Step(sprite);
        shown.push_back(ShownFrame(sprite));
    }
    EXPECT_EQ(shown, (std::vector<int>{1, 2, 3, 4, 0, 1, 2}));
    EXPECT_TRUE(sprite.IsRunning());
    EXPECT_TRUE(codes.empty());
    sprite.Stop();
    Settle();
    EXPECT_EQ(codes, std::vector<MessageCode>{4});
    EXPECT_FALSE(sprite.GetItem()->isVisible());
}

TEST_F(SpriteAnimationTest, WithAnimationsOffItStopsAsItStartsAndReportsOnce)
{
    CSystemConfig::GetInstance().Animation = false;
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 33, 8);
    Count(sprite);
    sprite.Start();
    EXPECT_FALSE(sprite.IsRunning());
    EXPECT_FALSE(sprite.GetItem()->isVisible());
    Settle();
    EXPECT_EQ(codes, std::vector<MessageCode>{8});
}

TEST_F(SpriteAnimationTest, ASheetWithoutAWholeFrameIsInvalidAndReportsAtOnce)
{
    const struct {
        const char* name;
        QPixmap sheet;
        int width;
        int interval;
    } table[] = {
        {"frame wider than the sheet", FiveFrameSheet(), 60, 33},
        {"no frame width", FiveFrameSheet(), 0, 33},
        {"no interval", FiveFrameSheet(), 10, 0},
        {"no sheet", QPixmap(), 10, 33},
    };
    for (const auto& row : table) {
        CSpriteAnimation sprite(row.sheet, row.width, row.interval, 6);
        std::vector<MessageCode> reported;
        QObject::connect(&sprite, &CAnimation::Finished,
                         [&reported](MessageCode code) { reported.push_back(code); });
        EXPECT_FALSE(sprite.IsValid()) << row.name;
        sprite.Start();
        EXPECT_FALSE(sprite.IsRunning()) << row.name;
        EXPECT_EQ(reported, std::vector<MessageCode>{6}) << row.name;
    }
}

TEST_F(SpriteAnimationTest, AttachedItIsCentredOnItsTargetAndTheTargetOwnsIt)
{
    auto* target = new QGraphicsPixmapItem(QPixmap(32, 32));
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 33);
    sprite.AttachTo(target);
    EXPECT_EQ(sprite.GetItem()->parentItem(), target);
    EXPECT_EQ(sprite.GetOffset(), QPoint(11, 12)); // (32 - 10) / 2, (32 - 8) / 2
    sprite.Detach();
    EXPECT_EQ(sprite.GetItem()->parentItem(), nullptr);
    sprite.AttachTo(target);
    delete target; // takes the frame item along
}

TEST_F(SpriteAnimationTest, ACloneSharesSheetFramesLoopAndOffset)
{
    QObject owner;
    CSpriteAnimation sprite(FiveFrameSheet(), 10, 33, 0, &owner);
    sprite.SetLoop(true);
    sprite.SetOffset(QPoint(3, -2));
    CSpriteAnimation* copy = sprite.Clone();
    EXPECT_EQ(copy->parent(), &owner);
    EXPECT_TRUE(copy->IsValid());
    EXPECT_EQ(copy->GetFrameCount(), 5);
    EXPECT_EQ(copy->GetInterval(), 33);
    EXPECT_TRUE(copy->IsLoop());
    EXPECT_EQ(copy->GetOffset(), QPoint(3, -2));
    EXPECT_EQ(ShownFrame(*copy), 0);
    EXPECT_NE(copy->GetItem(), sprite.GetItem());
}

} // namespace
