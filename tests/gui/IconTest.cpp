#include "gui/Icon.h"
#include "gui/FadingAnimation.h"
#include "tests/gui/QtTestSupport.h"

#include <QGraphicsScene>

using namespace Marevane;

namespace {

class IconTest : public Testing::ShellTest {};

TEST_F(IconTest, AnIconKeepsItsPatternAndShowsItsPicture)
{
    QPixmap picture(32, 32);
    picture.fill(Qt::blue);
    CIcon icon(picture);
    EXPECT_EQ(icon.GetImagePattern(), 0);
    EXPECT_EQ(icon.SetImagePattern(5), 5);
    EXPECT_EQ(icon.GetImagePattern(), 5);
    icon.ChangeImage(2); // shows nothing else by itself
    EXPECT_EQ(icon.GetPixmap().cacheKey(), picture.cacheKey());
    EXPECT_EQ(icon.GetPanel(), nullptr);
}

TEST_F(IconTest, AnIconCanBeFadedLikeAnyItem)
{
    QGraphicsScene scene;
    auto* icon = new CIcon(QPixmap(8, 8));
    scene.addItem(icon);
    CFadingAnimation fade(icon);
    fade.Start(); // a shown icon fades out
    EXPECT_TRUE(Testing::WaitUntil([icon] { return icon->opacity() == 0.0; }));
}

} // namespace
