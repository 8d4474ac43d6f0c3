#include "app/Startup.h"

#include "gui/Fonts.h"
#include "tests/gui/QtTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QGLFormat>
#include <QIcon>
#include <QPixmapCache>
#include <QProcess>
#include <QTemporaryDir>

using namespace Marevane;

namespace {

class StartupTest : public Testing::ShellTest {};

TEST_F(StartupTest, TheProgramStartsAndExitsInAnEmptyFolderWritingNothing)
{
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QProcess program;
    program.setWorkingDirectory(folder.path());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("MAREVANE_QUIT_AFTER_START", "1");
    // In a sanitizer build the platform plugin's own leaks are passed over;
    // their stacks must reach the plugin to be recognised.
    if (!environment.contains("LSAN_OPTIONS")) {
        environment.insert("LSAN_OPTIONS", QStringLiteral("suppressions=%1").arg(MAREVANE_LEAK_SUPPRESSIONS));
    }
    if (!environment.contains("ASAN_OPTIONS")) environment.insert("ASAN_OPTIONS", "fast_unwind_on_malloc=0");
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(MAREVANE_PROGRAM), QStringList());
    ASSERT_TRUE(program.waitForFinished(60000));
    const QString errors = QString::fromLocal8Bit(program.readAllStandardError());
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit) << errors.toStdString();
    EXPECT_EQ(program.exitCode(), 0) << errors.toStdString();
    EXPECT_FALSE(errors.contains("AddressSanitizer")) << errors.toStdString();
    EXPECT_FALSE(errors.contains("runtime error")) << errors.toStdString();
    EXPECT_TRUE(
        QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).isEmpty());
}

TEST_F(StartupTest, BeforeTheApplicationTheDefaultsAreSet)
{
    CSystemConfig::GetInstance().Animation = false; // the missing file brings the defaults back
    const int cache = QPixmapCache::cacheLimit();
    PrepareApplication();
    EXPECT_TRUE(CSystemConfig::GetInstance().Animation);
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("Marevane.ini")));
    EXPECT_EQ(QPixmapCache::cacheLimit(), 2 * cache);
    const QGLFormat format = QGLFormat::defaultFormat();
    EXPECT_EQ(format.depthBufferSize(), 24);
    EXPECT_EQ(format.samples(), 16);
    EXPECT_TRUE(format.doubleBuffer());
    EXPECT_TRUE(format.depth());
    EXPECT_TRUE(format.rgba());
    EXPECT_TRUE(format.directRendering());
    EXPECT_TRUE(format.sampleBuffers());
    EXPECT_EQ(format.plane(), 0);
}

TEST_F(StartupTest, TheInputWidgetsGetTheTextFontAndTheWindowItsIcon)
{
    SetUpApplication();
    for (const char* className : {"Marevane::CPushButton", "QAbstractSpinBox", "QComboBox", "QLineEdit"}) {
        EXPECT_EQ(QApplication::font(className), TextFont()) << className;
    }
    EXPECT_FALSE(QApplication::windowIcon().isNull());
    EXPECT_FALSE(ApplicationFontFamilies().text.isEmpty());
}

} // namespace
