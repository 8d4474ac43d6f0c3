#include "gui/Widgets.h"
#include "gui/Style.h"
#include "tests/gui/ItemsTestSupport.h"

#include <QGraphicsScene>
#include <QMouseEvent>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

// The cursor's rectangle, which the field keeps to itself.
class CLineEditWithCursor : public CLineEdit {
  public:
    using CLineEdit::cursorRect;
};

class WidgetsTest : public ShellTest {
  protected:
    SoundRecorder sounds;
};

TEST_F(WidgetsTest, ButtonPlaysItsEffectWithDuckingOnEveryClick)
{
    CPushButton button(QStringLiteral("Next"), Sound::SeWindowOpened);
    button.resize(80, 30);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, QPointF(40, 15), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&button, &event);
    }
    button.click();
    EXPECT_EQ(sounds.Codes(), (std::vector<Sound::SeCode>{Sound::SeWindowOpened, Sound::SeWindowOpened}));
    EXPECT_TRUE(sounds.AllDucked());
    button.SetSeCode(Sound::SeNextStep);
    button.SetUp(); // again, as screens do: still one sound per click
    button.click();
    EXPECT_EQ(sounds.Codes().back(), Sound::SeNextStep);
    EXPECT_EQ(sounds.Codes().size(), 3u);
}

TEST_F(WidgetsTest, ButtonWithoutEffectIsSilent)
{
    CPushButton button;
    button.click();
    EXPECT_TRUE(sounds.Codes().empty());
    EXPECT_TRUE(button.isFlat());
    EXPECT_EQ(button.font().pixelSize(), 13);
    EXPECT_EQ(button.styleSheet(), ButtonStyleSheet());
}

TEST_F(WidgetsTest, WidgetItemSendsItsHelpWhilePointedAt)
{
    QGraphicsScene scene;
    auto* item = new CWidgetItem(new CLineEdit(), QStringLiteral("Type your name"));
    scene.addItem(item);
    SignalSpy help(item, &CWidgetItem::HelpSent);
    Hover(item, true);
    Hover(item, false);
    item->SendHelp();
    item->ClearHelp();
    ASSERT_EQ(help.count(), 4);
    EXPECT_EQ(help[0][0].toString(), "Type your name");
    EXPECT_EQ(help[1][0].toString(), "");
    EXPECT_EQ(help[2][0].toString(), "Type your name");
    EXPECT_EQ(help[3][0].toString(), "");
}

TEST_F(WidgetsTest, InputMethodWindowsOpenBelowTheFields)
{
    CLineEditWithCursor edit;
    edit.setText(QStringLiteral("Alice"));
    edit.resize(160, 26);
    const QRect cursor = edit.cursorRect();
    const QRect below = edit.inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_EQ(below.left(), std::max(cursor.left(), 1));
    EXPECT_EQ(below.right(), cursor.right());
    EXPECT_EQ(below.top(), 26);
    EXPECT_EQ(below.height(), cursor.height());
    EXPECT_TRUE(edit.testAttribute(Qt::WA_InputMethodEnabled));
    EXPECT_TRUE(edit.windowFlags() & Qt::BypassGraphicsProxyWidget);

    CSpinBox spin;
    spin.resize(70, 24);
    EXPECT_EQ(spin.inputMethodQuery(Qt::ImCursorRectangle).toRect(), QRect(QPoint(1, 24), QPoint(1, 47)));
    EXPECT_TRUE(spin.windowFlags() & Qt::BypassGraphicsProxyWidget);
    EXPECT_EQ(spin.styleSheet(), SpinBoxStyleSheet());
    // Other queries are the widgets' own.
    EXPECT_EQ(spin.inputMethodQuery(Qt::ImEnabled), spin.QSpinBox::inputMethodQuery(Qt::ImEnabled));
}

TEST_F(WidgetsTest, SliderIsHorizontalAndTallEnoughForItsHandle)
{
    CSlider slider;
    EXPECT_EQ(slider.orientation(), Qt::Horizontal);
    EXPECT_EQ(slider.minimumHeight(), 24);
    EXPECT_TRUE(slider.testAttribute(Qt::WA_TranslucentBackground));
    EXPECT_TRUE(slider.windowFlags() & Qt::BypassGraphicsProxyWidget);
    EXPECT_EQ(slider.styleSheet(), SliderStyleSheet());
}

} // namespace
