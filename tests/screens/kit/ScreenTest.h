// The base of the screen tests: default settings with the OpenGL setting
// of the run (off offscreen, on in the xvfb group), the compiled-in
// pictures, a recorder of every sound effect the screens ask for, and the
// screens' timing at the run's scale (MAREVANE_TIME_SCALE, 1/20 by default).
//
// The kit in one include: the battle in memory (CBattleWorld), the stand-in
// turn manager, the renders, and the item helpers of the shell's tests
// (clicks, hovers, keys, signal spies, waiting on a condition).
#pragma once

#include "gui/Resources.h"
#include "gui/ScreenTiming.h"
#include "model/settings/SystemConfig.h"
#include "tests/gui/ItemsTestSupport.h"
#include "tests/gui/QtTestSupport.h"
#include "tests/screens/kit/BattleWorld.h"
#include "tests/screens/kit/ScreenRender.h"
#include "tests/screens/kit/StandInTurnManager.h"

namespace Marevane::Testing {

// Every effect the screens play while it lives (codes and ducking).
using SoundRequests = SoundRecorder;

// Whether this program runs in the xvfb group, on a display with OpenGL.
inline bool IsOpenGLRun()
{
    return qEnvironmentVariableIntValue("MAREVANE_SCREEN_OPENGL") == 1;
}

// A delay of the timing table as the screens wait it in this run.
inline int ScaledMs(int ms)
{
    return ScreenTiming::Scaled(ms);
}

// Another timing factor for one test; the run's comes back after it.
class ScopedTimeScale {
  public:
    explicit ScopedTimeScale(double scale) { ScreenTiming::SetScale(scale); }
    ~ScopedTimeScale() { ScreenTiming::SetScale(0); }
    ScopedTimeScale(const ScopedTimeScale&) = delete;
    ScopedTimeScale& operator=(const ScopedTimeScale&) = delete;
};

class ScreenTest : public ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        InitResources();
        CSystemConfig::GetInstance().OpenGL = IsOpenGLRun();
    }
    static void SetAnimation(bool isOn) { CSystemConfig::GetInstance().Animation = isOn; }

    SoundRequests sounds;
};

} // namespace Marevane::Testing
