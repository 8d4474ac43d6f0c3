#include "model/settings/SystemConfig.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Marevane;

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        path = dir.filePath("Marevane.ini");
        CIniManager::GetInstance().SetFilePath(path);
        config = CSystemConfig();
    }

    void TearDown() override
    {
        CIniManager::GetInstance().SetFilePath(QString());
        config = CSystemConfig();
    }

    // Qt keeps parsed settings files per path in the process, so every
    // file a test reads gets a path of its own.
    void UseNewFile(const QByteArray& text)
    {
        path = dir.filePath(QString("Marevane-%1.ini").arg(++files));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        CIniManager::GetInstance().SetFilePath(path);
    }

    // Values no load gives by itself.
    void Scramble()
    {
        config.Sound = config.BGM = config.SE = 42;
        config.MuteBGM = config.MuteSE = true;
        config.OpenGL = config.Animation = false;
        config.LogPath = L"/var/log/battles";
        config.Language = 9;
    }

    QTemporaryDir dir;
    QString path;
    int files = 0;
    CSystemConfig& config = CSystemConfig::GetInstance();
};

} // namespace

TEST_F(SettingsTest, DefaultFileIsInTheWorkingDirectory)
{
    CIniManager::GetInstance().SetFilePath(QString());
    EXPECT_EQ(CIniManager::GetInstance().GetFilePath(), QString("Marevane.ini"));
}

TEST_F(SettingsTest, MissingFileGivesDefaultsKeepsLogPathAndWritesNothing)
{
    Scramble();
    CIniManager::GetInstance().Load();
    EXPECT_EQ(config.Sound, 100);
    EXPECT_EQ(config.BGM, 80);
    EXPECT_EQ(config.SE, 100);
    EXPECT_FALSE(config.MuteBGM);
    EXPECT_FALSE(config.MuteSE);
    EXPECT_TRUE(config.OpenGL);
    EXPECT_TRUE(config.Animation);
    EXPECT_EQ(config.Language, 0);
    EXPECT_EQ(config.LogPath, L"/var/log/battles");
    EXPECT_FALSE(QFileInfo::exists(path));
}

TEST_F(SettingsTest, GroupWithoutKeysGivesZeros)
{
    Scramble();
    UseNewFile("[SystemConfig]\n");
    CIniManager::GetInstance().Load();
    EXPECT_EQ(config.Sound, 0);
    EXPECT_EQ(config.BGM, 0);
    EXPECT_EQ(config.SE, 0);
    EXPECT_FALSE(config.MuteBGM);
    EXPECT_FALSE(config.MuteSE);
    EXPECT_FALSE(config.OpenGL);
    EXPECT_FALSE(config.Animation);
    EXPECT_TRUE(config.LogPath.empty());
    EXPECT_EQ(config.Language, 0);
}

TEST_F(SettingsTest, VolumesAreClampedAndOtherValuesTakenAsRead)
{
    struct Case {
        const char* line;
        int CSystemConfig::*field;
        int expected;
    };
    const Case cases[] = {
        {"Sound=250", &CSystemConfig::Sound, 100}, {"BGM=-5", &CSystemConfig::BGM, 0},
        {"SE=55", &CSystemConfig::SE, 55},         {"SE=100", &CSystemConfig::SE, 100},
        {"Sound=0", &CSystemConfig::Sound, 0},     {"Language=7", &CSystemConfig::Language, 7},
        {"BGM=loud", &CSystemConfig::BGM, 0},
    };
    for (const Case& c : cases) {
        UseNewFile(QByteArray("[SystemConfig]\n") + c.line + "\n");
        CIniManager::GetInstance().Load();
        EXPECT_EQ(config.*c.field, c.expected) << c.line;
    }
}

TEST_F(SettingsTest, SaveThenLoadGivesTheSameValues)
{
    Scramble();
    config.LogPath = L"/home/\u00e9l\u00e8ve/\u65e5\u672c\u8a9e/\U0001F6A2 logs";
    config.Language = 2;
    const CSystemConfig saved = config;
    ASSERT_TRUE(CIniManager::GetInstance().Save());

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.contains("[SystemConfig]"));
    EXPECT_TRUE(text.contains("MuteBGM=true"));
    EXPECT_TRUE(text.contains("OpenGL=false"));
    for (char c : text) EXPECT_GE(c, 0) << "escaped text keeps the file ASCII";

    config = CSystemConfig();
    UseNewFile(text);
    CIniManager::GetInstance().Load();
    EXPECT_EQ(config.Sound, saved.Sound);
    EXPECT_EQ(config.BGM, saved.BGM);
    EXPECT_EQ(config.SE, saved.SE);
    EXPECT_EQ(config.MuteBGM, saved.MuteBGM);
    EXPECT_EQ(config.MuteSE, saved.MuteSE);
    EXPECT_EQ(config.OpenGL, saved.OpenGL);
    EXPECT_EQ(config.Animation, saved.Animation);
    EXPECT_EQ(config.LogPath, saved.LogPath);
    EXPECT_EQ(config.Language, saved.Language);
}

TEST_F(SettingsTest, HandWrittenUtf8TextReads)
{
    const std::wstring logPath = L"/home/\u00e9l\u00e8ve/\u65e5\u672c/\U0001F6A2";
    UseNewFile("[SystemConfig]\nLogPath=" + QString::fromStdWString(logPath).toUtf8() + "\n");
    CIniManager::GetInstance().Load();
    EXPECT_EQ(config.LogPath, logPath);
}

TEST_F(SettingsTest, EscapedTextFromOlderFilesStillReads)
{
    UseNewFile("[SystemConfig]\nLogPath=C:\\\\Logs\\\\\\x65e5\\x672c\n");
    CIniManager::GetInstance().Load();
    EXPECT_EQ(config.LogPath, L"C:\\Logs\\\u65e5\u672c");
}
