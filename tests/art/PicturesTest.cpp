#include <QDirIterator>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTransform>
#include <gtest/gtest.h>
#include <vector>

// The resource macro declares a global function, so it is called outside any namespace.
static void initPictures()
{
    Q_INIT_RESOURCE(marevane_images);
}

namespace {

struct Expected {
    QString path;
    QSize size;
};

const QStringList kShipWords{"Battleship", "Destroyer", "Submarine", "Oiler"};
const QStringList kShipVariants{"", "Right", "Up", "Down", "Sinking", "SinkingRight"};

QString shipPath(const QString& word, const QString& variant, int side)
{
    return QString(":/Resources/%1%2%3P.png").arg(word, variant).arg(side);
}

// Every picture the game loads, with its size.
std::vector<Expected> expectedPictures()
{
    std::vector<Expected> out;
    auto add = [&](const QString& path, int w, int h) { out.push_back({path, QSize(w, h)}); };
    for (int side = 1; side <= 4; ++side)
        for (const QString& word : kShipWords)
            for (const QString& variant : kShipVariants) add(shipPath(word, variant, side), 32, 32);
    for (const char* v : {"", "Right", "Up", "Down"})
        add(QString(":/Resources/SubmarineSurfacing%1.png").arg(v), 32, 32);
    for (int side = 1; side <= 4; ++side) add(QString(":/Resources/FlagIcon%1P.png").arg(side), 6, 7);

    for (const char* panel : {"Sea", "Reef", "Shallow", "Fog", "HighWave"}) {
        add(QString(":/Resources/%1Panel.png").arg(panel), 32, 32);
        add(QString(":/Resources/%1Panel16x16.png").arg(panel), 16, 16);
    }
    add(":/Resources/Compass.png", 48, 48);
    for (const char* b : {"all", "top-left", "top-left-right", "top-left-bottom"})
        add(QString(":/Resources/PanelBorder-%1.png").arg(b), 32, 32);

    for (const char* w : {"Torpedo", "TorpedoRight", "TorpedoUp", "TorpedoDown", "Mine"})
        add(QString(":/Resources/%1.png").arg(w), 32, 32);
    add(":/Resources/AttackEffect.png", 192, 32);
    add(":/Resources/DamageEffect.png", 160, 32);
    add(":/Resources/SinkingEffect.png", 192, 32);
    add(":/Resources/SurpriseMark.png", 8, 9);

    for (char c = '0'; c <= '9'; ++c) add(QString(":/Resources/BitmapNumber%1.png").arg(c), 5, 7);
    for (char c = 'A'; c <= 'Z'; ++c)
        add(QString(":/Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c), 5, 7);
    for (const char* c : {"+", "-", "ExclamationMark", "QuestionMark"})
        add(QString(":/Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c), 5, 7);

    for (const char* a : {"up-arrow", "down-arrow", "up-arrow-disabled", "down-arrow-disabled"})
        add(QString(":/Resources/%1.png").arg(a), 7, 3);
    for (const char* a : {"up", "down", "left", "right"})
        add(QString(":/Resources/scroll-%1-arrow.png").arg(a), 7, 7);

    for (const char* b : {"Start", "ArcadeMode", "VersusMode", "WatchMode", "SystemConfig", "SingleMatch",
                          "TagMatch", "DeathMatch", "Back"})
        add(QString(":/Resources/%1Button.png").arg(b), 240, 40);

    const std::vector<std::pair<const char*, int>> captions{
        {"ListOfShips", 136},       {"SelectLevel", 128},       {"SystemConfig", 144},
        {"PlayerSettings", 152},    {"NetworkConnection", 184}, {"ConnectionList", 160},
        {"TagTeamSelection", 184},  {"StatusDetail", 144},      {"FormationOfFleet", 176},
        {"BattleRuleSettings", 192}};
    for (const auto& [name, width] : captions) add(QString(":/Resources/%1Label.png").arg(name), width, 22);
    add(":/Resources/BattleResultLabel.png", 480, 96);
    for (const char* l : {"Reef", "Shallow", "Fog", "HighWave"})
        add(QString(":/Resources/%1Label.png").arg(l), 64, 16);
    add(":/Resources/BitmapInfo.png", 23, 7);
    add(":/Resources/BitmapTime.png", 23, 7);
    add(":/Resources/MessageLabel.png", 53, 11);
    add(":/Resources/HelpLabel.png", 35, 11);
    add(":/Resources/PlayerStatusLabel.png", 89, 11);
    add(":/Resources/SelectShipsLabel.png", 83, 11);
    add(":/Resources/SettingsMenuLabel.png", 89, 11);

    add(":/Resources/TitleBackground.png", 720, 600);
    add(":/Resources/TitleLogo.png", 600, 300);
    add(":/Resources/GameOverLogo.png", 480, 120);
    add(":/Resources/TheEndLogo.png", 480, 120);
    for (const char* page : {"01-Director", "02-Composer", "03-Graphics", "04-UI", "05-Battle",
                             "06-Programmer", "07-Tester", "08-LeadDebugger"})
        add(QString(":/Resources/%1CreditsLogo.png").arg(page), 480, 160);
    add(":/Resources/EndingSecretMessageLogo.png", 560, 48);
    add(":/Resources/ApplicationIcon.ico", 256, 256);
    return out;
}

class Pictures : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { initPictures(); }
    static QImage load(const QString& path) { return QImage(path).convertToFormat(QImage::Format_ARGB32); }
};

TEST_F(Pictures, EveryPathLoadsWithItsSize)
{
    const auto table = expectedPictures();
    EXPECT_EQ(table.size(), 221u);
    for (const Expected& e : table) {
        SCOPED_TRACE(e.path.toStdString());
        const QImage image(e.path);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), e.size);
        EXPECT_TRUE(image.hasAlphaChannel() || e.path.endsWith("TitleBackground.png"));
    }
}

TEST_F(Pictures, BundleHoldsNothingElse)
{
    QSet<QString> expected;
    for (const Expected& e : expectedPictures()) expected.insert(e.path);
    QSet<QString> found;
    QDirIterator it(":/Resources", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) found.insert(it.next());
    EXPECT_EQ(found, expected);
}

TEST_F(Pictures, WindowIconHoldsEverySizeFromSmallToLarge)
{
    QImageReader reader(":/Resources/ApplicationIcon.ico");
    std::vector<int> sizes;
    for (int i = 0; i < reader.imageCount(); ++i) {
        ASSERT_TRUE(reader.jumpToImage(i));
        const QImage image = reader.read();
        ASSERT_FALSE(image.isNull()) << i;
        EXPECT_EQ(image.width(), image.height());
        EXPECT_GT(image.pixelColor(image.width() / 2, image.height() / 2).alpha(), 200);
        sizes.push_back(image.width());
    }
    EXPECT_EQ(sizes, (std::vector<int>{256, 128, 64, 48, 32, 24, 16}));
}

// The right, up and down poses are the left-facing picture mirrored and turned, so they stay consistent.
TEST_F(Pictures, PosesAreMirrorsAndQuarterTurnsOfTheLeftFacingPicture)
{
    std::vector<QString> bases;
    for (int side = 1; side <= 4; ++side)
        for (const QString& word : kShipWords)
            bases.push_back(QString(":/Resources/%1%2P").arg(word).arg(side));
    for (const QString& base : bases) {
        SCOPED_TRACE(base.toStdString());
        const QString prefix = base.left(base.size() - 2);
        const QString suffix = base.right(2) + ".png";
        const QImage left = load(prefix + suffix);
        EXPECT_EQ(load(prefix + "Right" + suffix), left.mirrored(true, false));
        EXPECT_EQ(load(prefix + "Up" + suffix), left.transformed(QTransform().rotate(90)));
        EXPECT_EQ(load(prefix + "Down" + suffix), left.transformed(QTransform().rotate(-90)));
        EXPECT_EQ(load(prefix + "SinkingRight" + suffix),
                  load(prefix + "Sinking" + suffix).mirrored(true, false));
        EXPECT_NE(load(prefix + "Sinking" + suffix), left);
    }
    const QImage torpedo = load(":/Resources/Torpedo.png");
    EXPECT_EQ(load(":/Resources/TorpedoRight.png"), torpedo.mirrored(true, false));
    EXPECT_EQ(load(":/Resources/TorpedoUp.png"), torpedo.transformed(QTransform().rotate(90)));
    EXPECT_EQ(load(":/Resources/TorpedoDown.png"), torpedo.transformed(QTransform().rotate(-90)));
    const QImage surfacing = load(":/Resources/SubmarineSurfacing.png");
    EXPECT_EQ(load(":/Resources/SubmarineSurfacingRight.png"), surfacing.mirrored(true, false));
    EXPECT_EQ(load(":/Resources/SubmarineSurfacingUp.png"), surfacing.transformed(QTransform().rotate(90)));
}

// Bow to the left: the surface ships' hulls taper to the bow, so the columns next to the left end hold
// fewer dots than those next to the right end. (A submarine's round bow and tapered stern say nothing.)
TEST_F(Pictures, ShipsFaceLeft)
{
    for (const QString word : {"Battleship", "Destroyer", "Oiler"}) {
        SCOPED_TRACE(word.toStdString());
        const QImage ship = load(shipPath(word, "", 1));
        int leftmost = 32, rightmost = -1;
        for (int x = 0; x < 32; ++x)
            for (int y = 0; y < 32; ++y)
                if (ship.pixelColor(x, y).alpha() > 128) {
                    leftmost = std::min(leftmost, x);
                    rightmost = std::max(rightmost, x);
                }
        auto opaqueIn = [&](int x) {
            int n = 0;
            for (int y = 0; y < 32; ++y) n += ship.pixelColor(x, y).alpha() > 128;
            return n;
        };
        EXPECT_LT(opaqueIn(leftmost + 1), opaqueIn(rightmost - 1));
    }
}

TEST_F(Pictures, PicturesThatMustDifferDoDiffer)
{
    std::vector<std::vector<QString>> groups;
    for (int side = 1; side <= 4; ++side) {
        std::vector<QString> types;
        for (const QString& word : kShipWords) types.push_back(shipPath(word, "", side));
        groups.push_back(types);
    }
    for (const QString& word : kShipWords) {
        std::vector<QString> sides;
        for (int side = 1; side <= 4; ++side) sides.push_back(shipPath(word, "", side));
        groups.push_back(sides);
    }
    std::vector<QString> glyphs;
    for (char c = '0'; c <= '9'; ++c) glyphs.push_back(QString(":/Resources/BitmapNumber%1.png").arg(c));
    for (char c = 'A'; c <= 'Z'; ++c)
        glyphs.push_back(QString(":/Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c));
    for (const char* c : {"+", "-", "ExclamationMark", "QuestionMark"})
        glyphs.push_back(QString(":/Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c));
    groups.push_back(glyphs);
    std::vector<QString> panels;
    for (const char* panel : {"Sea", "Reef", "Shallow", "Fog", "HighWave"})
        panels.push_back(QString(":/Resources/%1Panel.png").arg(panel));
    groups.push_back(panels);
    std::vector<QString> flags;
    for (int side = 1; side <= 4; ++side) flags.push_back(QString(":/Resources/FlagIcon%1P.png").arg(side));
    groups.push_back(flags);

    for (const auto& group : groups)
        for (size_t i = 0; i < group.size(); ++i)
            for (size_t j = i + 1; j < group.size(); ++j)
                EXPECT_NE(load(group[i]), load(group[j]))
                    << group[i].toStdString() << " = " << group[j].toStdString();
}

// Dot-matrix characters are one colour on a clear ground, crisp: no half-covered dots.
TEST_F(Pictures, BitmapCharactersAreCrisp)
{
    for (char c = 'A'; c <= 'Z'; ++c) {
        const QImage glyph = load(QString(":/Resources/BitmapCharacters/BitmapCharacter%1.png").arg(c));
        int lit = 0;
        for (int y = 0; y < glyph.height(); ++y)
            for (int x = 0; x < glyph.width(); ++x) {
                const int alpha = glyph.pixelColor(x, y).alpha();
                EXPECT_TRUE(alpha == 0 || alpha == 255) << c;
                lit += alpha == 255;
            }
        EXPECT_GT(lit, 6) << c;
    }
}

// An effect sheet is frames of its height side by side; each frame shows something and differs from the next.
TEST_F(Pictures, EffectSheetsMoveFrameByFrame)
{
    const std::vector<std::pair<QString, int>> sheets{{":/Resources/AttackEffect.png", 6},
                                                      {":/Resources/DamageEffect.png", 5},
                                                      {":/Resources/SinkingEffect.png", 6}};
    for (const auto& [path, frames] : sheets) {
        SCOPED_TRACE(path.toStdString());
        const QImage sheet = load(path);
        const int side = sheet.height();
        ASSERT_EQ(sheet.width() / side, frames);
        QImage previous;
        for (int i = 0; i < frames; ++i) {
            const QImage frame = sheet.copy(i * side, 0, side, side);
            int visible = 0;
            for (int y = 0; y < side; ++y)
                for (int x = 0; x < side; ++x) visible += frame.pixelColor(x, y).alpha() > 40;
            EXPECT_GT(visible, 20) << "frame " << i;
            if (i > 0) {
                EXPECT_NE(frame, previous) << "frame " << i;
            }
            previous = frame;
        }
    }
}

// The sea picture tiles the whole map background: nothing may cross its edges.
TEST_F(Pictures, SeaTilesWithoutSeams)
{
    const QImage sea = load(":/Resources/SeaPanel.png");
    const QColor ground = sea.pixelColor(0, 0);
    for (int i = 0; i < 32; ++i) {
        EXPECT_EQ(sea.pixelColor(i, 0), ground) << i;
        EXPECT_EQ(sea.pixelColor(i, 31), ground) << i;
        EXPECT_EQ(sea.pixelColor(0, i), ground) << i;
        EXPECT_EQ(sea.pixelColor(31, i), ground) << i;
    }
}

} // namespace
