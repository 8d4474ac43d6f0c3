// The ship cards and their bars: texts per ship type, damaged, sinking and
// fuel-less ships, refreshes, and the input a card answers.
#include "screens/battle/ParameterBarItem.h"
#include "screens/battle/ShipIcon.h"
#include "screens/battle/ShipProfileItems.h"
#include "tests/screens/panes/PanesFixture.h"

#include "gui/Style.h"

#include <QGraphicsTextItem>

using namespace Marevane;
using namespace Marevane::Testing;

namespace {

class ShipCardTest : public PanesTest {
  protected:
    void SetUp() override
    {
        PanesTest::SetUp();
        MakeSides(2);
        Activate(scene);
    }
    static QString Text(const CShipProfileItem& card, CShipProfileItem::TextIndex index)
    {
        return card.GetText(index)->toPlainText();
    }
    QGraphicsScene scene;
};

struct CardCase {
    ShipType type;
    std::uint32_t shipId;
    const char* title;
    const char* hp;
    const char* aux;
    const char* cost;
};

const CardCase CardCases[] = {
    {ShipTypeBattleship, 1, "1. Battleship", "HP 3 / 3 ", "Aux - / - ", "Cost [M]16FP(+4) [A]10FP [T]-FP"},
    {ShipTypeDestroyer, 2, "2. Destroyer", "HP 2 / 2 ", "Aux 2 / 2 ", "Cost [M]08FP(+2) [A]12FP [T]20FP"},
    {ShipTypeSubmarine, 3, "3. Submarine", "HP 1 / 1 ", "Aux 3 / 3 ", "Cost [M]10FP(+0) [A]16FP [T]20FP"},
    {ShipTypeOiler, 4, "4. Oiler", "HP 2 / 2 ", "Aux - / - ", "Cost [M]10FP(+0) [A]50FP [T]-FP"},
};

TEST_F(ShipCardTest, FullCardOfEachShipTypeShowsItsTextsAndBars)
{
    for (const CardCase& expected : CardCases) {
        SCOPED_TRACE(expected.title);
        const ShipProfile& profile = Profile(0, expected.shipId);
        ASSERT_EQ(profile.Type, expected.type);
        CShipProfileItem card(&profile, 0, 0);
        EXPECT_EQ(Text(card, CShipProfileItem::TitleText), QString::fromLatin1(expected.title));
        EXPECT_EQ(Text(card, CShipProfileItem::HpText), QString::fromLatin1(expected.hp));
        EXPECT_EQ(Text(card, CShipProfileItem::FpText),
                  QStringLiteral("FP") + CShipProfileItem::FormatParameter(profile.Fp, profile.Config.Fp));
        EXPECT_EQ(Text(card, CShipProfileItem::AuxText), QString::fromLatin1(expected.aux));
        EXPECT_EQ(Text(card, CShipProfileItem::CostText), QString::fromLatin1(expected.cost));
        EXPECT_EQ(card.GetHpBar()->GetMaximum(), profile.Config.Hp);
        EXPECT_EQ(card.GetHpBar()->GetFillWidth(), static_cast<int>(card.GetHpBar()->rect().width()));
        EXPECT_EQ(card.GetAuxBar()->GetFillWidth(),
                  expected.type == ShipTypeDestroyer || expected.type == ShipTypeSubmarine
                      ? static_cast<int>(card.GetAuxBar()->rect().width())
                      : 0);
        EXPECT_TRUE(card.isEnabled());
        // The icon shows the ship's number.
        ASSERT_NE(card.GetIcon(), nullptr);
        EXPECT_EQ(card.GetIcon()->GetShipId(), expected.shipId);
        EXPECT_EQ(card.GetIcon()->GetIdDigits().size(), 1);
        // Texts, bars and icon lie inside the card.
        EXPECT_TRUE(card.rect().contains(card.childrenBoundingRect().adjusted(0, 0, -1, 0)));
    }
}

TEST(ShipCardTexts, ParametersAndCostsAreFormatted)
{
    struct Case {
        std::int64_t current;
        std::uint32_t maximum;
        const char* text;
    };
    const Case cases[] = {{5, 10, " 5 / 10"}, {0, 0, " - / - "},  {123, 200, "123/200"},
                          {7, 9, " 7 / 9 "},  {-2, 3, " 0 / 3 "}, {10, 100, " 10/100"}};
    for (const Case& c : cases)
        EXPECT_EQ(CShipProfileItem::FormatParameter(c.current, c.maximum), QString::fromLatin1(c.text))
            << c.current << "/" << c.maximum;

    ShipProfile profile;
    profile.Config.Fp = 100;
    EXPECT_EQ(CShipProfileItem::FormatCost(profile, 0), QStringLiteral("-"));
    EXPECT_EQ(CShipProfileItem::FormatCost(profile, 4), QStringLiteral("04"));
    EXPECT_EQ(CShipProfileItem::FormatCost(profile, 16), QStringLiteral("16"));
    profile.Config.Fp = 0; // fuel not in use: no cost at all
    EXPECT_EQ(CShipProfileItem::FormatCost(profile, 16), QStringLiteral("-"));
}

TEST_F(ShipCardTest, ShipWithoutFuelShowsNoCostsAndAnEmptyFuelBar)
{
    ShipProfile profile = Profile(0, 2);
    profile.Config.Fp = 0;
    profile.Fp = 0;
    CShipProfileItem card(&profile, 0, 0);
    EXPECT_EQ(Text(card, CShipProfileItem::FpText), QStringLiteral("FP - / - "));
    EXPECT_EQ(Text(card, CShipProfileItem::CostText), QStringLiteral("Cost [M]-FP(+2) [A]-FP [T]-FP"));
    EXPECT_EQ(card.GetFpBar()->GetFillWidth(), 0);
    EXPECT_EQ(card.GetFpBar()->brush().style(), Qt::NoBrush); // only its frame
}

TEST_F(ShipCardTest, DamagedShipRefreshesAndSinkingShipTurnsGrey)
{
    ShipProfile& profile = Profile(0, 1);
    CShipProfileItem card(&profile, 0, 0);
    QGraphicsTextItem* hpText = card.GetText(CShipProfileItem::HpText);
    CParameterBarItem* hpBar = card.GetHpBar();

    profile.Hp = 1;
    card.UpdateProfile(&profile);
    EXPECT_EQ(card.GetText(CShipProfileItem::HpText), hpText); // refreshed in place
    EXPECT_EQ(card.GetHpBar(), hpBar);
    EXPECT_EQ(hpText->toPlainText(), QStringLiteral("HP 1 / 3 "));
    EXPECT_EQ(hpBar->GetFillWidth(), static_cast<int>(hpBar->rect().width() / 3));
    EXPECT_TRUE(card.isEnabled());

    profile.Hp = 0;
    profile.Condition = 5; // sinking
    card.UpdateProfile(&profile);
    EXPECT_FALSE(card.isEnabled());
    EXPECT_EQ(hpText->defaultTextColor(), DisabledTextColor);
    EXPECT_DOUBLE_EQ(card.GetIcon()->opacity(), 0.5);
    EXPECT_DOUBLE_EQ(hpBar->opacity(), 0.5);
    EXPECT_EQ(card.brush().style(), Qt::NoBrush);

    profile.Condition = 1;
    card.UpdateProfile(&profile);
    EXPECT_TRUE(card.isEnabled());
    EXPECT_EQ(hpText->defaultTextColor(), TextColor);
}

TEST_F(ShipCardTest, CardReusedForAnotherTypeTakesThatTypesMaxima)
{
    CShipProfileItem card(&Profile(0, 1), 0, 0); // a battleship: 3 HP, no weapons
    ShipProfile& submarine = Profile(0, 3);
    submarine.Hp = 1;
    card.UpdateProfile(&submarine);
    EXPECT_EQ(card.GetAuxBar()->GetMaximum(), 3u);
    EXPECT_EQ(card.GetHpBar()->GetMaximum(), 1u);
    EXPECT_EQ(card.GetIcon()->GetShipType(), ShipTypeSubmarine);
    EXPECT_EQ(Text(card, CShipProfileItem::TitleText), QStringLiteral("3. Submarine"));
}

TEST_F(ShipCardTest, MiniCardShowsNameHitPointsAndFuelOnly)
{
    CShipProfileMiniItem card(&Profile(1, 2), 0, 0);
    EXPECT_EQ(Text(card, CShipProfileItem::TitleText), QStringLiteral("Destroyer"));
    EXPECT_TRUE(card.GetText(CShipProfileItem::HpText)->isVisible());
    EXPECT_TRUE(card.GetText(CShipProfileItem::FpText)->isVisible());
    EXPECT_FALSE(card.GetText(CShipProfileItem::AuxText)->isVisible());
    EXPECT_FALSE(card.GetText(CShipProfileItem::CostText)->isVisible());
    EXPECT_FALSE(card.GetAuxBar()->isVisible());
    EXPECT_LT(card.rect().width(), CShipProfileItem(&Profile(1, 2), 0, 0).rect().width());

    Profile(1, 2).Hp = 1;
    card.UpdateProfile(&Profile(1, 2));
    EXPECT_EQ(Text(card, CShipProfileItem::TitleText), QStringLiteral("Destroyer"));
    EXPECT_EQ(Text(card, CShipProfileItem::CostText), QString());
}

TEST_F(ShipCardTest, CardAnswersPressesAndKeys)
{
    SoundRecorder sounds;
    auto* card = new CShipProfileItem(&Profile(0, 2), 0, 0);
    scene.addItem(card);
    SignalSpy leftProfile(card, qOverload<const ShipProfile*>(&CShipProfileItem::ItemInfoLeftClicked));
    SignalSpy leftIcon(card, qOverload<const CShipIcon*>(&CShipProfileItem::ItemInfoLeftClicked));
    SignalSpy right(card, &CShipProfileItem::ItemInfoRightClicked);

    Click(scene, card->sceneBoundingRect().center(), Qt::LeftButton);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultSelected), 1);
    EXPECT_EQ(leftProfile.size(), 1);
    EXPECT_EQ(leftIcon.size(), 1);
    Click(scene, card->sceneBoundingRect().center(), Qt::RightButton);
    EXPECT_EQ(right.size(), 1);

    struct KeyCase {
        Qt::KeyboardModifiers modifiers;
        int left;
        int right;
    };
    const KeyCase keys[] = {{Qt::NoModifier, 1, 0},
                            {Qt::ShiftModifier, 0, 1},
                            {Qt::AltModifier, 0, 1},
                            {Qt::ShiftModifier | Qt::AltModifier, 0, 0}};
    card->setFocus();
    for (const KeyCase& key : keys) {
        leftProfile.clear();
        right.clear();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, key.modifiers);
        QCoreApplication::sendEvent(&scene, &press);
        EXPECT_EQ(leftProfile.size(), key.left) << key.modifiers;
        EXPECT_EQ(right.size(), key.right) << key.modifiers;
    }
    EXPECT_TRUE(sounds.AllDucked());
}

TEST_F(ShipCardTest, HoverHighlightsAndReportsTheIcon)
{
    SoundRecorder sounds;
    auto* card = new CShipProfileItem(&Profile(0, 1), 0, 0);
    scene.addItem(card);
    SignalSpy hovered(card, &CShipProfileItem::ItemInfoHovered);
    Hover(card, true);
    EXPECT_EQ(card->brush().color(), HighlightColor);
    EXPECT_EQ(sounds.Count(Sound::SeDefaultPointed), 1);
    Hover(card, false);
    EXPECT_EQ(card->brush().style(), Qt::NoBrush);
    ASSERT_EQ(hovered.size(), 2);
    EXPECT_EQ(hovered[0][0].value<const CShipIcon*>(), card->GetIcon());
    EXPECT_EQ(hovered[1][0].value<const CShipIcon*>(), nullptr);
}

TEST(ParameterBar, FillFollowsTheValueAndNeverFails)
{
    struct Case {
        std::uint32_t current;
        std::uint32_t maximum;
        int fill;
        bool track;
    };
    const Case cases[] = {
        {0, 0, 0, false}, {1, 3, 13, true}, {3, 3, 40, true}, {0, 5, 0, true}, {4, 3, 40, true}};
    for (const Case& c : cases) {
        CParameterBarItem bar(c.current, c.maximum, QRect(0, 0, 40, 4));
        EXPECT_EQ(bar.GetFillWidth(), c.fill) << c.current << "/" << c.maximum;
        EXPECT_EQ(bar.brush().style() != Qt::NoBrush, c.track) << c.current << "/" << c.maximum;
    }
    CParameterBarItem bar(1, 3, QRect(0, 0, 40, 4));
    bar.Update(9, 3); // more than the maximum: full, not an error
    EXPECT_EQ(bar.GetFillWidth(), 40);
}

} // namespace
