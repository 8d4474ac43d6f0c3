// The game: the shell starts and shows the screen container in a plain
// window until the main window and the title screen take its place.
#include "app/SequenceManager.h"
#include "app/Startup.h"
#include "gui/Style.h"

#include <QVBoxLayout>
#include <QWidget>

#include <cstdio>
#include <exception>

namespace {

std::unique_ptr<QObject> CreateWindow()
{
    auto window = std::make_unique<QWidget>();
    window->setWindowTitle(QString::fromLatin1(Marevane::ApplicationName));
    window->setMinimumSize(720, 600);
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Marevane::CSequenceManager::GetInstance()->GetContainer());
    window->show();
    return window;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        Marevane::StartupHooks hooks;
        hooks.createControl = CreateWindow;
        return Marevane::RunApplication(argc, argv, hooks);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
}
