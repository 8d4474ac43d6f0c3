// What the tests of the game's window and screens share: a settings file of
// their own, a clean sequence manager, and pictures of what they show.
#pragma once

#include "app/SequenceManager.h"
#include "model/settings/SystemConfig.h"
#include "tests/gui/QtTestSupport.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QWidget>

namespace Marevane::Testing {

class AppTest : public ShellTest {
  protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        ASSERT_TRUE(folder.isValid());
        CIniManager::GetInstance().SetFilePath(folder.filePath(QStringLiteral("Marevane.ini")));
    }
    void TearDown() override
    {
        CSequenceManager::Shutdown();
        CIniManager::GetInstance().SetFilePath(QString());
        ShellTest::TearDown();
    }

    // A value of the settings file as it is on disk now.
    QVariant Saved(const QString& key) const
    {
        QSettings file(CIniManager::GetInstance().GetFilePath(), QSettings::IniFormat);
        return file.value(QStringLiteral("SystemConfig/") + key);
    }

    // Waits until no screen change is under way, the deferred ones included.
    static bool Idle()
    {
        CSequenceManager* manager = CSequenceManager::GetInstance();
        for (int round = 0; round < 3; ++round) {
            if (!WaitUntil([manager] { return !manager->IsChanging(); })) return false;
            Settle();
        }
        return !manager->IsChanging();
    }

    // Saves what the widget shows under the build folder; answers the picture.
    static QImage Shoot(QWidget* widget, const QString& name)
    {
        const QImage image = widget->grab().toImage();
        QDir().mkpath(QStringLiteral(MAREVANE_SHOT_DIR));
        image.save(QStringLiteral(MAREVANE_SHOT_DIR "/") + name + QStringLiteral(".png"));
        return image;
    }

    QTemporaryDir folder;
};

} // namespace Marevane::Testing
