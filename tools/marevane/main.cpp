// The game: the main window with the screen flow, started with the title.
//
// MAREVANE_FIRST_PAINT_FILE=<path> makes the program write, once the title
// has been painted for the first time, the monotonic clock in nanoseconds
// and its resident memory in kB to that file; then the same once the title is
// first painted with the fade's black no longer whole over it (the first
// frame it can be seen in), and end. The start-up benchmark reads it.
#include "app/GameControl.h"
#include "app/GameView.h"
#include "app/SequenceManager.h"
#include "app/Startup.h"
#include "gui/ScreenFadeAnimation.h"
#include "screens/battle/BattleScreens.h"
#include "screens/setup/SetupScreens.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <exception>
#include <utility>

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

// Waits for the first paints of the title's view, then records them.
class CFirstPaintProbe : public QObject {
  public:
    CFirstPaintProbe(Marevane::CGameControl* control, QString path)
        : QObject(control), m_control(control), m_path(std::move(path))
    {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Paint || m_isShown) return false;
        const Marevane::CGameView* title = m_control->GetScenePool()->GetView(Marevane::SceneSlot::Title);
        if (title == nullptr || watched != title->viewport()) return false;
        const bool isFirst = !m_isPainted;
        m_isPainted = true;
        m_isShown = !IsBehindBlack();
        // Recorded once the paint in progress is done.
        if (isFirst || m_isShown) {
            QTimer::singleShot(0, this, [this, isFirst, isShown = m_isShown] { Record(isFirst, isShown); });
        }
        return false;
    }

  private:
    static bool IsBehindBlack()
    {
        const Marevane::CScreenFadeAnimation* fade = Marevane::CSequenceManager::GetInstance()->GetFade();
        return fade != nullptr && fade->IsRunning() && fade->GetOverlayOpacity() >= 1.0;
    }

    void Record(bool isFirst, bool isShown)
    {
        const auto now = std::chrono::steady_clock::now().time_since_epoch();
        const QByteArray stamp = QByteArray::number(static_cast<qint64>(
                                     std::chrono::duration_cast<std::chrono::nanoseconds>(now).count())) +
                                 ' ' + QByteArray::number(static_cast<qint64>(ResidentKilobytes()));
        if (isFirst) m_painted = stamp;
        if (!isShown) return;
        QFile file(m_path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(m_painted + ' ' + stamp + '\n');
        qApp->removeEventFilter(this);
        m_control->End();
    }

    Marevane::CGameControl* m_control;
    QString m_path;
    QByteArray m_painted;
    bool m_isPainted = false;
    bool m_isShown = false;
};

std::unique_ptr<QObject> CreateControl()
{
    Marevane::GameScreens screens = Marevane::Setup::MakeScreens();
    Marevane::Battle::AddScreens(screens);
    auto control = std::make_unique<Marevane::CGameControl>(std::move(screens));
    const QString probe = qEnvironmentVariable("MAREVANE_FIRST_PAINT_FILE");
    if (!probe.isEmpty()) new CFirstPaintProbe(control.get(), probe);
    control->Init();
    return control;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        Marevane::StartupHooks hooks;
        hooks.createControl = CreateControl;
        return Marevane::RunApplication(argc, argv, hooks);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
