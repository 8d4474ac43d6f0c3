// A bare Qt program to hold the game's start-up against: a 720 by 600 main
// window with one menu and a graphics view showing a picture and a line of
// text, on an OpenGL viewport unless the settings file in the working folder
// turns OpenGL off. Like the game, it records the monotonic clock and its
// resident memory once the view is first painted (MAREVANE_FIRST_PAINT_FILE),
// then ends. The start-up benchmark runs it beside the game, so the two can
// be compared on any machine, whatever its load. With
// MAREVANE_REFERENCE_GAME_FORMAT set, its viewport asks for the game's
// OpenGL format (multisampled, 16 samples, a 24-bit depth buffer) instead of
// Qt's default one.
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QGLWidget>
#include <QGraphicsScene>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QLinearGradient>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QSettings>
#include <QTimer>

#include <chrono>

namespace {

long ResidentKilobytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

class CFirstPaintProbe : public QObject {
  public:
    CFirstPaintProbe(QWidget* viewport, QString path, QObject* parent)
        : QObject(parent), m_viewport(viewport), m_path(std::move(path))
    {
        viewport->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched != m_viewport || event->type() != QEvent::Paint || m_isDone) return false;
        m_isDone = true;
        QTimer::singleShot(0, this, [this] { Record(); });
        return false;
    }

  private:
    void Record()
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(QByteArray::number(static_cast<qint64>(
                           std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())) +
                       ' ' + QByteArray::number(static_cast<qint64>(ResidentKilobytes())) + '\n');
        }
        QCoreApplication::quit();
    }

    QWidget* m_viewport;
    QString m_path;
    bool m_isDone = false;
};

QPixmap Picture()
{
    QPixmap picture(720, 600);
    QPainter painter(&picture);
    QLinearGradient sea(0, 0, 0, 600);
    sea.setColorAt(0, QColor(10, 40, 110));
    sea.setColorAt(1, QColor(5, 90, 140));
    painter.fillRect(picture.rect(), sea);
    return picture;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsSet("MAREVANE_REFERENCE_GAME_FORMAT")) {
        QGLFormat format(
            QGL::DoubleBuffer | QGL::DepthBuffer | QGL::Rgba | QGL::DirectRendering | QGL::SampleBuffers, 0);
        format.setDepthBufferSize(24);
        format.setSamples(16);
        QGLFormat::setDefaultFormat(format);
    }
    QApplication application(argc, argv);
    const bool isOpenGL = QSettings(QStringLiteral("Marevane.ini"), QSettings::IniFormat)
                              .value("SystemConfig/OpenGL", true)
                              .toBool();

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Reference"));
    window.menuBar()
        ->addMenu(QStringLiteral("&System"))
        ->addAction(QStringLiteral("&Quit"), &window, &QWidget::close);
    QGraphicsScene scene(0, 0, 720, 600);
    scene.addPixmap(Picture());
    QGraphicsSimpleTextItem* text = scene.addSimpleText(QStringLiteral("Reference"));
    text->setBrush(Qt::white);
    text->setPos(320, 400);
    auto* view = new QGraphicsView(&scene);
    if (isOpenGL) {
        auto* viewport = new QGLWidget;
        if (viewport->isValid()) {
            view->setViewport(viewport);
        } else {
            delete viewport;
        }
    }
    view->setFrameShape(QFrame::NoFrame);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setMinimumSize(720, 600);
    window.setCentralWidget(view);

    const QString record = qEnvironmentVariable("MAREVANE_FIRST_PAINT_FILE");
    if (!record.isEmpty()) new CFirstPaintProbe(view->viewport(), record, &window);
    window.show();
    return QApplication::exec();
}
