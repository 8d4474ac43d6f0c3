#include "gui/HelpTexts.h"
#include "gui/SelectionList.h"
#include "gui/Translations.h"
#include "tests/gui/QtTestSupport.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTranslator>
#include <QXmlStreamReader>

#include <map>
#include <utility>

using namespace Marevane;

namespace {

struct Entry {
    QString translation;
    bool isFinished = false;
};

// (context, source) -> translation of a translation source file.
using Entries = std::map<std::pair<QString, QString>, Entry>;

Entries ReadTs(const QString& path)
{
    Entries entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return entries;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) continue;
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("source")) {
            source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            Entry entry;
            entry.isFinished = xml.attributes().value(QLatin1String("type")).isEmpty();
            entry.translation = xml.readElementText();
            entries[{context, source}] = entry;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return entries;
}

const QString Committed = QStringLiteral(MAREVANE_TRANSLATION_SOURCE);

// Every text the sources show the player, as the extraction finds them
// today, has its Japanese in the committed translation source.
TEST(Translation, EveryTextOfTheSourcesIsTranslated)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString extracted = folder.filePath(QStringLiteral("extracted.ts"));
    QProcess lupdate;
    lupdate.start(
        QStringLiteral(MAREVANE_SOURCE_DIR "/tools/i18n-update"),
        {QStringLiteral("--ts"), extracted, QStringLiteral("--lupdate"), QStringLiteral(MAREVANE_LUPDATE)});
    ASSERT_TRUE(lupdate.waitForFinished(60000));
    ASSERT_EQ(lupdate.exitCode(), 0) << lupdate.readAllStandardError().toStdString();

    const Entries found = ReadTs(extracted);
    const Entries translated = ReadTs(Committed);
    ASSERT_GT(found.size(), 150u);
    QStringList missing;
    for (const auto& [key, entry] : found) {
        const auto it = translated.find(key);
        if (it == translated.end() || !it->second.isFinished || it->second.translation.isEmpty())
            missing << key.first + QStringLiteral(": ") + key.second;
    }
    EXPECT_TRUE(missing.isEmpty())
        << "Run tools/i18n-update (or the build target i18n-update) and translate in "
        << "i18n/Marevane_ja.ts:\n"
        << missing.join(QLatin1Char('\n')).toStdString();
}

class TranslationTest : public Testing::ShellTest {
  protected:
    void TearDown() override
    {
        QCoreApplication::removeTranslator(&translator);
        Testing::ShellTest::TearDown();
    }
    QTranslator translator;
};

// The compiled-in translation answers every text as the source file has it.
TEST_F(TranslationTest, CompiledInJapaneseAnswersEveryText)
{
    ASSERT_TRUE(LoadProgramTranslation(translator, QLocale(QLocale::Japanese, QLocale::Japan)));
    QCoreApplication::installTranslator(&translator);
    const Entries entries = ReadTs(Committed);
    ASSERT_FALSE(entries.empty());
    for (const auto& [key, entry] : entries) {
        const QByteArray context = key.first.toUtf8();
        const QByteArray source = key.second.toUtf8();
        EXPECT_EQ(QCoreApplication::translate(context.constData(), source.constData()), entry.translation)
            << context.constData() << ": " << source.constData();
    }
}

TEST_F(TranslationTest, ItemsAndTablesBuiltInJapanese)
{
    ASSERT_TRUE(LoadProgramTranslation(translator, QLocale(QLocale::Japanese)));
    QCoreApplication::installTranslator(&translator);
    CConfirmationItem confirmation;
    EXPECT_EQ(confirmation.GetOkText(), QStringLiteral("はい"));
    EXPECT_EQ(confirmation.GetCancelRow()->text(), QStringLiteral("いいえ"));
    CSelectionListItem list;
    EXPECT_EQ(list.GetCancelRow()->text(), QStringLiteral("キャンセル"));
    const CCommandHelp help;
    EXPECT_TRUE(help.Get(CommandAttack).startsWith(QStringLiteral("攻撃コマンド\n")));
    EXPECT_EQ(CShipHelp().Get(ShipTypeOiler).section(QLatin1Char('\n'), 0, 0), QStringLiteral("補給艦"));
}

TEST_F(TranslationTest, QtsOwnJapaneseIsBesideTheProgram)
{
    EXPECT_TRUE(
        LoadQtTranslation(translator, QLocale(QLocale::Japanese), {QStringLiteral(MAREVANE_PROGRAM_DIR)}));
    EXPECT_FALSE(translator.isEmpty());
    QTranslator none;
    EXPECT_FALSE(LoadQtTranslation(none, QLocale(QLocale::Japanese), {QDir::currentPath()}));
}

TEST_F(TranslationTest, LanguageWithoutTranslationKeepsEnglish)
{
    EXPECT_FALSE(LoadProgramTranslation(translator, QLocale(QLocale::Swahili)));
    QCoreApplication::installTranslator(&translator);
    EXPECT_EQ(QCoreApplication::translate("CSelectionListItem", "Cancel"), "Cancel");
}

} // namespace
