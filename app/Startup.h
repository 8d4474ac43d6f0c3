// The program's start-up, in its order: the settings, the OpenGL
// defaults, the pixmap cache, the application object, its resources,
// fonts and icon, then the top-level objects and the event loop.
#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace Marevane {

struct StartupHooks {
    // Builds the program's top-level object once the application stands;
    // it is destroyed after the event loop, before the screens are shut down.
    std::function<std::unique_ptr<QObject>()> createControl;
};

// Before the application object: reads the settings file, sets the default
// OpenGL format and doubles the pixmap cache.
void PrepareApplication();
// After it: registers the resource bundles, adds the six fonts, builds the
// shared fonts, gives the input widgets the text font, sets the window icon.
void SetUpApplication();
// The whole start, the event loop and the shutdown; answers the loop's
// result. With MAREVANE_QUIT_AFTER_START set, the loop ends as soon as it
// has started (a start-and-exit check).
int RunApplication(int argc, char** argv, const StartupHooks& hooks = StartupHooks());

} // namespace Marevane
