#include "gui/Fonts.h"

#include "gui/Resources.h"
#include "gui/Style.h"
#include "tests/gui/QtTestSupport.h"

#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QTemporaryDir>

using namespace Marevane;

namespace {

class FontsTest : public Testing::ShellTest {
  protected:
    // The fonts as the program has them: the Japanese bold file found.
    const FontFamilies& WithJapaneseBold()
    {
        return ReloadApplicationFonts(QStringLiteral(MAREVANE_JAPANESE_BOLD_FONT));
    }

    const SharedFontSet& Build(bool isOpenGL)
    {
        CSystemConfig::GetInstance().OpenGL = isOpenGL;
        return RebuildSharedFonts();
    }
};

TEST_F(FontsTest, EachFileBringsItsFamily)
{
    const FontFamilies& families = WithJapaneseBold();
    EXPECT_EQ(families.text, "M PLUS 1");
    EXPECT_EQ(families.digits, "M PLUS 1 Code");
    EXPECT_EQ(families.japanese, "M PLUS 2");
    EXPECT_EQ(families.japaneseBold, "Noto Sans CJK JP");
    // The menus name only families the program brings, then a generic one.
    QStringList named = FontFamilyList().split(QStringLiteral(", "));
    EXPECT_EQ(named.takeLast(), "sans-serif;");
    const QStringList known = {families.text, families.japanese, families.japaneseBold};
    for (QString family : named)
        EXPECT_TRUE(known.contains(family.remove(QLatin1Char('"')))) << family.toStdString();
}

TEST_F(FontsTest, TableOfSizesHintsAndHinting)
{
    WithJapaneseBold();
    const SharedFontSet& fonts = Build(true);
    const struct {
        const char* name;
        const QFont& font;
        int pixelSize;
        bool isHinted;
    } table[] = {
        {"Text", fonts.text, 14, true},
        {"LargeText", fonts.largeText, 16, false},
        {"NameText", fonts.nameText, 16, false},
        {"MediumText", fonts.mediumText, 15, false},
        {"ProfileText", fonts.profileText, 14, true},
        {"Digit", fonts.digit, 13, true},
    };
    for (const auto& row : table) {
        EXPECT_EQ(row.font.pixelSize(), row.pixelSize) << row.name;
        EXPECT_EQ(QFontInfo(row.font).pixelSize(), row.pixelSize) << row.name;
        EXPECT_EQ(row.font.styleHint(), QFont::SansSerif) << row.name;
        EXPECT_EQ(row.font.styleStrategy(), QFont::PreferQuality) << row.name;
        EXPECT_FALSE(row.font.italic()) << row.name;
        EXPECT_EQ((row.font.resolve() & QFont::HintingPreferenceResolved) != 0, row.isHinted) << row.name;
        EXPECT_EQ(row.font.hintingPreference(), QFont::PreferDefaultHinting) << row.name;
    }
    EXPECT_EQ(fonts.menu.family(), QGuiApplication::font().family());
    EXPECT_EQ(fonts.menu.styleHint(), QFont::System);
    EXPECT_EQ(fonts.menu.styleStrategy(), QFont::PreferDefault);
    EXPECT_EQ(fonts.menu.resolve() & QFont::HintingPreferenceResolved, 0u);
    EXPECT_EQ(fonts.nameText, fonts.largeText);
}

struct FamilyRow {
    const char* name;
    const QFont SharedFontSet::*font;
    const QString FontFamilies::*family;
    int weight;
};

void ExpectFamilies(const SharedFontSet& fonts, const FontFamilies& families,
                    std::initializer_list<FamilyRow> rows)
{
    for (const FamilyRow& row : rows) {
        const QFontInfo shown(fonts.*row.font);
        EXPECT_EQ(shown.family(), families.*row.family) << row.name;
        EXPECT_EQ(shown.weight(), row.weight) << row.name;
    }
}

TEST_F(FontsTest, WithOpenGLTheTextFamilyInSemiBold)
{
    const FontFamilies& families = WithJapaneseBold();
    ExpectFamilies(Build(true), families,
                   {{"Text", &SharedFontSet::text, &FontFamilies::text, QFont::DemiBold},
                    {"LargeText", &SharedFontSet::largeText, &FontFamilies::text, QFont::DemiBold},
                    {"MediumText", &SharedFontSet::mediumText, &FontFamilies::text, QFont::DemiBold},
                    {"ProfileText", &SharedFontSet::profileText, &FontFamilies::text, QFont::DemiBold},
                    {"Digit", &SharedFontSet::digit, &FontFamilies::digits, QFont::Medium}});
}

TEST_F(FontsTest, WithoutOpenGLTheJapaneseBoldFamily)
{
    const FontFamilies& families = WithJapaneseBold();
    ExpectFamilies(Build(false), families,
                   {{"Text", &SharedFontSet::text, &FontFamilies::japaneseBold, QFont::Bold},
                    {"LargeText", &SharedFontSet::largeText, &FontFamilies::japaneseBold, QFont::Bold},
                    {"MediumText", &SharedFontSet::mediumText, &FontFamilies::japaneseBold, QFont::Bold},
                    {"ProfileText", &SharedFontSet::profileText, &FontFamilies::text, QFont::Normal},
                    {"Digit", &SharedFontSet::digit, &FontFamilies::digits, QFont::Normal}});
}

TEST_F(FontsTest, MissingJapaneseFileFallsBackToTheBoldTextFamily)
{
    const FontFamilies& families = ReloadApplicationFonts(QDir::current().filePath("no-such-font.ttc"));
    EXPECT_TRUE(families.japaneseBold.isEmpty());
    EXPECT_EQ(families.text, "M PLUS 1");
    const SharedFontSet& fonts = Build(false);
    const QFontInfo shown(fonts.text);
    EXPECT_EQ(shown.family(), families.text);
    EXPECT_EQ(shown.pixelSize(), 14);
    EXPECT_GE(shown.weight(), QFont::DemiBold);
}

TEST_F(FontsTest, RebuildKeepsHandedOutFontsValid)
{
    WithJapaneseBold();
    const QFont& text = Build(true).text;
    Build(false);
    EXPECT_EQ(&text, &TextFont());
    EXPECT_EQ(text.weight(), QFont::Bold);
}

TEST(RuntimeFileTest, ProgramFolderComesBeforeTheWorkingDirectory)
{
    QTemporaryDir program;
    QTemporaryDir working;
    ASSERT_TRUE(program.isValid() && working.isValid());
    const QString relative = QString::fromLatin1(JapaneseBoldFontFile);
    auto put = [&relative](const QTemporaryDir& folder) {
        QDir(folder.path()).mkpath(QFileInfo(relative).path());
        QFile file(folder.filePath(relative));
        return file.open(QIODevice::WriteOnly);
    };
    const QStringList folders = {program.path(), working.path()};
    EXPECT_TRUE(FindRuntimeFile(relative, folders).isEmpty());
    ASSERT_TRUE(put(working));
    EXPECT_EQ(FindRuntimeFile(relative, folders), QFileInfo(working.filePath(relative)).absoluteFilePath());
    ASSERT_TRUE(put(program));
    EXPECT_EQ(FindRuntimeFile(relative, folders), QFileInfo(program.filePath(relative)).absoluteFilePath());
    EXPECT_EQ(RuntimeFolders().value(0), QCoreApplication::applicationDirPath());
    EXPECT_EQ(RuntimeFolders().value(1), QDir::currentPath());
}

} // namespace
