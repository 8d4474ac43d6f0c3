#include "app/Startup.h"

#include "gui/Fonts.h"
#include "tests/gui/QtTestSupport.h"

#include <QApplication>
#include <QDir>
#include <QFile>
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

TEST_F(StartupTest, WithOpenGLOffTheWindowsLeaveTheOpenGLDriverUnloaded)
{
    const struct {
        const char* settings; // the file's contents; none: no file
        const char* given;    // the variable as the user set it; none: unset
        const char* expected; // none: unset
    } table[] = {
        {nullptr, nullptr, nullptr},
        {"[SystemConfig]\nOpenGL=true\n", nullptr, nullptr},
        {"[SystemConfig]\nOpenGL=false\n", nullptr, "none"},
        {"[SystemConfig]\nOpenGL=false\n", "xcb_glx", "xcb_glx"},
    };
    const QByteArray before = qgetenv("QT_XCB_GL_INTEGRATION");
    const bool wasSet = qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION");
    for (const auto& row : table) {
        QFile::remove(QStringLiteral("Marevane.ini"));
        if (row.settings != nullptr) {
            QFile file(QStringLiteral("Marevane.ini"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.settings);
        }
        if (row.given != nullptr) {
            qputenv("QT_XCB_GL_INTEGRATION", row.given);
        } else {
            qunsetenv("QT_XCB_GL_INTEGRATION");
        }
        PrepareApplication();
        EXPECT_EQ(qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"), row.expected != nullptr)
            << row.settings;
        if (row.expected != nullptr) {
            EXPECT_EQ(qgetenv("QT_XCB_GL_INTEGRATION"), row.expected);
        }
    }
    QFile::remove(QStringLiteral("Marevane.ini"));
    if (wasSet) {
        qputenv("QT_XCB_GL_INTEGRATION", before);
    } else {
        qunsetenv("QT_XCB_GL_INTEGRATION");
    }
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
