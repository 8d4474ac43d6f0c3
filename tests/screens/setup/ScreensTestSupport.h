// The set-up screens in the real screen flow: game control with this
// library's screens, a sound control that writes down the calls, keys sent
// to what has the focus, and pictures of the window.
#pragma once

#include "app/GameControl.h"
#include "app/GameView.h"
#include "app/MainWindow.h"
#include "app/SequenceMakers.h"
#include "gui/SoundFeedback.h"
#include "model/GameEdit.h"
#include "screens/setup/SetupScreens.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/RecordingSound.h"

#include <QApplication>
#include <QtTest/qtestkeyboard.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace Marevane::Testing {

class ScreensTest : public AppTest {
  protected:
    void SetUp() override
    {
        AppTest::SetUp();
        // The items' clicks and cursor moves are written down beside the music.
        previousPlayer = SetSoundEffectPlayer([this](Sound::SeCode code, bool) {
            log.push_back("PlaySe " + std::to_string(static_cast<int>(code)));
        });
        control =
            std::make_unique<CGameControl>(Setup::MakeScreens(), std::make_unique<CRecordingSound>(&log));
        control->Init();
        QApplication::setActiveWindow(control->GetMainWindow());
        ASSERT_TRUE(Idle());
    }
    void TearDown() override
    {
        control.reset();
        SetSoundEffectPlayer(previousPlayer);
        ClearSequenceMakers();
        AppTest::TearDown();
    }

    CSequenceManager* Manager() const { return CSequenceManager::GetInstance(); }
    CGameSequence* Current() const { return Manager()->GetCurrentSequence(); }
    CGameEdit* Rules() const { return control->GetGameEdit(); }
    template <class Scene> Scene* SceneOf(SceneSlot slot) const
    {
        return qobject_cast<Scene*>(control->GetScenePool()->GetScene(slot));
    }

    // Waits until the current sequence has that type and the change is over.
    bool WaitForType(int type, int timeoutMs = 5000)
    {
        return WaitUntil([this, type] { return Current() != nullptr && Current()->GetType() == type; },
                         timeoutMs) &&
               Idle();
    }

    // A key to whatever has the focus in the window.
    static void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
        Settle();
    }
    static void Type(const QString& text)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr);
        QTest::keyClicks(target, text);
    }

    QImage ShootWindow(const QString& name) { return Shoot(control->GetMainWindow(), name); }

    bool Logged(const std::string& call) const
    {
        return std::find(log.begin(), log.end(), call) != log.end();
    }

    std::vector<std::string> log;
    std::unique_ptr<CGameControl> control;
    SoundEffectPlayer previousPlayer;
};

} // namespace Marevane::Testing
