#include "app/Startup.h"

#include "app/SequenceManager.h"
#include "gui/Fonts.h"
#include "gui/Resources.h"
#include "model/settings/SystemConfig.h"

#include <QApplication>
#include <QGLFormat>
#include <QIcon>
#include <QPixmapCache>
#include <QTimer>

namespace Marevane {

namespace {

// Shuts the screens down however the run ends, while the application lives.
struct ScreensShutdown {
    ~ScreensShutdown() { CSequenceManager::Shutdown(); }
};

} // namespace

void PrepareApplication()
{
    CIniManager::GetInstance().Load();
    // Every top-level window on X11 would otherwise load the OpenGL driver
    // (with Mesa's software one, tens of megabytes and a good part of the
    // start-up) only to pick its visual. Without OpenGL the program needs
    // none of it; the setting turned on takes effect at the next start.
    if (!CSystemConfig::GetInstance().OpenGL && !qEnvironmentVariableIsSet("QT_XCB_GL_INTEGRATION"))
        qputenv("QT_XCB_GL_INTEGRATION", "none");
    QGLFormat format(
        QGL::DoubleBuffer | QGL::DepthBuffer | QGL::Rgba | QGL::DirectRendering | QGL::SampleBuffers, 0);
    format.setDepthBufferSize(24);
    format.setSamples(16);
    QGLFormat::setDefaultFormat(format);
    QPixmapCache::setCacheLimit(2 * QPixmapCache::cacheLimit());
}

void SetUpApplication()
{
    InitResources();
    ApplicationFontFamilies();
    const QFont& text = RebuildSharedFonts().text;
    for (const char* className : {"Marevane::CPushButton", "QAbstractSpinBox", "QComboBox", "QLineEdit"}) {
        QApplication::setFont(text, className);
    }
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/Resources/ApplicationIcon.ico")));
}

int RunApplication(int argc, char** argv, const StartupHooks& hooks)
{
    PrepareApplication();
    QApplication application(argc, argv);
    SetUpApplication();
    int result = 0;
    {
        ScreensShutdown shutdown;
        std::unique_ptr<QObject> control;
        if (hooks.createControl) control = hooks.createControl();
        if (qEnvironmentVariableIsSet("MAREVANE_QUIT_AFTER_START")) {
            QTimer::singleShot(0, &application, &QCoreApplication::quit);
        }
        result = QApplication::exec();
    }
    return result;
}

} // namespace Marevane
