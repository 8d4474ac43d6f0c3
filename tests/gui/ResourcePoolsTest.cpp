#include "gui/ResourcePools.h"
#include "gui/Resources.h"
#include "tests/gui/QtTestSupport.h"

#include <QImage>

#include <stdexcept>

using namespace Marevane;

namespace {

// Pictures are compared by their pixels, against the file itself.
QImage File(const char* name)
{
    InitResources();
    return QImage(QStringLiteral(":/Resources/") + QLatin1String(name))
        .convertToFormat(QImage::Format_ARGB32);
}

QImage Pixels(const QPixmap& pixmap)
{
    return pixmap.toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(ShipPool, SideIndexIsTheLowTwoBits)
{
    const struct {
        std::uint32_t side;
        const char* file;
    } cases[] = {{0, "Battleship1P.png"},
                 {3, "Battleship4P.png"},
                 {5, "Battleship2P.png"},
                 {0xFFFFFFFEu, "Battleship3P.png"}};
    for (const auto& row : cases) {
        const CShipResourcePool& pool = CShipResourcePool::GetInstance(row.side);
        EXPECT_EQ(&pool, &CShipResourcePool::GetInstance(row.side & 3u));
        EXPECT_EQ(Pixels(pool.GetPixmap(ShipTypeBattleship, ImageLeft)), File(row.file)) << row.file;
    }
    EXPECT_NE(&CShipResourcePool::GetInstance(0), &CShipResourcePool::GetInstance(1));
}

TEST(ShipPool, PatternsAndTheirFiles)
{
    const CShipResourcePool& pool = CShipResourcePool::GetInstance(2);
    const struct {
        ShipType type;
        ImagePattern pattern;
        const char* file;
    } cases[] = {
        {ShipTypeDestroyer, ImageRight, "DestroyerRight3P.png"},
        {ShipTypeOiler, ImageUp, "OilerUp3P.png"},
        {ShipTypeBattleship, ImageDown, "BattleshipDown3P.png"},
        {ShipTypeSubmarine, ImageSinkingRight, "SubmarineSinkingRight3P.png"},
        {ShipTypeDestroyer, ImageSinkingUp, "DestroyerSinking3P.png"},
        {ShipTypeDestroyer, ImageSinkingDown, "DestroyerSinking3P.png"},
        {ShipTypeSubmarine, ImageSurfacingLeft, "SubmarineSurfacing.png"},
        {ShipTypeSubmarine, ImageSurfacingDown, "SubmarineSurfacingDown.png"},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Pixels(pool.GetPixmap(row.type, row.pattern)), File(row.file)) << row.file;
        EXPECT_EQ(pool.FindPixmap(row.type, row.pattern).cacheKey(),
                  pool.GetPixmap(row.type, row.pattern).cacheKey());
    }
    // Sinking up and down share the one sinking picture.
    EXPECT_EQ(pool.GetPixmap(ShipTypeDestroyer, ImageSinkingDown).cacheKey(),
              pool.GetPixmap(ShipTypeDestroyer, ImageSinkingLeft).cacheKey());
    // Surfacing pictures are the same for every side.
    EXPECT_EQ(pool.GetPixmap(ShipTypeSubmarine, ImageSurfacingUp).toImage(),
              CShipResourcePool::GetInstance(0).GetPixmap(ShipTypeSubmarine, ImageSurfacingUp).toImage());
}

TEST(ShipPool, MissingPatternThrowsAndTheLookupForPaintingDoesNot)
{
    const CShipResourcePool& pool = CShipResourcePool::GetInstance(0);
    const struct {
        ShipType type;
        ImagePattern pattern;
    } missing[] = {{ShipTypeBattleship, ImageSurfacingLeft},
                   {ShipTypeOiler, ImageSurfacingDown},
                   {ShipTypeNone, ImageLeft},
                   {ShipTypeSubmarine, static_cast<ImagePattern>(12)}};
    for (const auto& row : missing) {
        try {
            pool.GetPixmap(row.type, row.pattern);
            ADD_FAILURE() << "no exception for " << row.type << "/" << row.pattern;
        } catch (const std::out_of_range& error) {
            EXPECT_STREQ(error.what(), "invalid unordered_map<K, T> key");
        }
        EXPECT_TRUE(pool.FindPixmap(row.type, row.pattern).isNull());
    }
    EXPECT_TRUE(pool.Get(ShipTypeNone).empty());
}

TEST(ShipPool, FlagIsTheSidesOwnAndGivesTheIconSize)
{
    for (std::uint32_t side = 0; side < 4; ++side) {
        const CShipResourcePool& pool = CShipResourcePool::GetInstance(side);
        const QByteArray file = "FlagIcon" + QByteArray::number(side + 1) + "P.png";
        EXPECT_EQ(Pixels(pool.GetFlagPixmap()), File(file.constData())) << file.constData();
        EXPECT_EQ(pool.GetIconSize(), QSize(6, 7));
    }
}

TEST(PanelPool, BoardPicturesSmallPicturesAndDefaults)
{
    const CPanelResourcePool& pool = CPanelResourcePool::GetInstance();
    const QImage sea = File("SeaPanel.png");
    for (PanelType type : {PanelUnknown, PanelBoundary, PanelSea, static_cast<PanelType>(99)})
        EXPECT_EQ(Pixels(pool.Get(type)), sea) << type;
    const struct {
        PanelType type;
        const char* board;
        const char* small;
    } cases[] = {{PanelReef, "ReefPanel.png", "ReefPanel16x16.png"},
                 {PanelShallow, "ShallowPanel.png", "ShallowPanel16x16.png"},
                 {PanelFog, "FogPanel.png", "FogPanel16x16.png"},
                 {PanelHighWave, "HighWavePanel.png", "HighWavePanel16x16.png"},
                 {PanelSea, "SeaPanel.png", "SeaPanel16x16.png"}};
    for (const auto& row : cases) {
        EXPECT_EQ(Pixels(pool.Get(row.type)), File(row.board)) << row.board;
        EXPECT_EQ(Pixels(pool.GetSmallPixmap(row.type)), File(row.small)) << row.small;
    }
    EXPECT_TRUE(pool.GetSmallPixmap(PanelUnknown).isNull());
    EXPECT_TRUE(pool.GetSmallPixmap(PanelBoundary).isNull());
    EXPECT_EQ(Pixels(pool.GetCompassPixmap()), File("Compass.png"));
    EXPECT_EQ(pool.GetPanelSize(), QSize(32, 32));
    // The sea is decoded once and shared.
    EXPECT_EQ(pool.Get(PanelUnknown).cacheKey(), pool.Get(PanelSea).cacheKey());
}

TEST(WeaponPool, TorpedoInFourDirectionsOneMinePicture)
{
    const CWeaponResourcePool& pool = CWeaponResourcePool::GetInstance();
    const struct {
        ImagePattern pattern;
        const char* torpedo;
    } cases[] = {{ImageLeft, "Torpedo.png"},
                 {ImageRight, "TorpedoRight.png"},
                 {ImageUp, "TorpedoUp.png"},
                 {ImageDown, "TorpedoDown.png"}};
    for (const auto& row : cases) {
        EXPECT_EQ(Pixels(pool.GetPixmap(CommandTorpedo, row.pattern)), File(row.torpedo)) << row.torpedo;
        EXPECT_EQ(Pixels(pool.GetPixmap(CommandMine, row.pattern)), File("Mine.png"));
    }
    EXPECT_THROW(pool.GetPixmap(CommandTorpedo, ImageSinkingLeft), std::out_of_range);
    EXPECT_THROW(pool.GetPixmap(CommandAttack, ImageLeft), std::out_of_range);
    EXPECT_TRUE(pool.FindPixmap(CommandAttack, ImageLeft).isNull());
}

TEST(CharacterPool, FortyCharactersAndNullForTheRest)
{
    const CBitmapCharacterResourcePool& pool = CBitmapCharacterResourcePool::GetInstance();
    EXPECT_EQ(pool.GetKeysInOrder().size(), 40u);
    const struct {
        const wchar_t* key;
        const char* file;
    } cases[] = {{L"0", "BitmapNumber0.png"},
                 {L"7", "BitmapNumber7.png"},
                 {L"A", "BitmapCharacters/BitmapCharacterA.png"},
                 {L"Z", "BitmapCharacters/BitmapCharacterZ.png"},
                 {L"+", "BitmapCharacters/BitmapCharacter+.png"},
                 {L"-", "BitmapCharacters/BitmapCharacter-.png"},
                 {L"!", "BitmapCharacters/BitmapCharacterExclamationMark.png"},
                 {L"?", "BitmapCharacters/BitmapCharacterQuestionMark.png"}};
    for (const auto& row : cases) {
        const QPixmap picture = pool.Get(row.key);
        EXPECT_EQ(picture.size(), QSize(5, 7)) << row.file;
        EXPECT_EQ(Pixels(picture), File(row.file)) << row.file;
    }
    for (const wchar_t* key : {L"a", L" ", L"", L"AB", L"#"}) EXPECT_TRUE(pool.Get(key).isNull());
}

} // namespace
