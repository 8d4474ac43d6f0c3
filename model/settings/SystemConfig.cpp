#include "model/settings/SystemConfig.h"

#include <QFileInfo>
#include <QSettings>

#include <algorithm>

namespace Marevane {

namespace {
const char* const Group = "SystemConfig";

int Percent(const QVariant& value)
{
    return std::clamp(value.toInt(), 0, 100);
}

// Reading takes UTF-8 text as well as escaped characters. Writing keeps
// the escapes: Qt's ini writer drops characters outside the BMP when it
// encodes, and escaped text is plain ASCII, so valid UTF-8 either way.
void ReadUtf8(QSettings& settings)
{
    settings.setIniCodec("UTF-8");
}
} // namespace

const char* const CIniManager::DefaultFileName = "Marevane.ini";

CSystemConfig& CSystemConfig::GetInstance()
{
    static CSystemConfig config;
    return config;
}

void CSystemConfig::SetDefaults()
{
    Sound = 100;
    BGM = 80;
    SE = 100;
    MuteBGM = false;
    MuteSE = false;
    OpenGL = true;
    Animation = true;
    Language = 0;
}

CIniManager& CIniManager::GetInstance()
{
    static CIniManager manager;
    return manager;
}

void CIniManager::SetFilePath(const QString& path)
{
    m_filePath = path;
}

QString CIniManager::GetFilePath() const
{
    return m_filePath.isEmpty() ? QString::fromLatin1(DefaultFileName) : m_filePath;
}

void CIniManager::Load()
{
    CSystemConfig& config = CSystemConfig::GetInstance();
    const QString path = GetFilePath();
    // Opening settings on a missing file would not create it, but checking
    // first keeps the defaults apart from a file whose keys are missing.
    if (!QFileInfo::exists(path)) {
        config.SetDefaults();
        return;
    }
    QSettings settings(path, QSettings::IniFormat);
    ReadUtf8(settings);
    settings.beginGroup(Group);
    config.Sound = Percent(settings.value("Sound"));
    config.BGM = Percent(settings.value("BGM"));
    config.SE = Percent(settings.value("SE"));
    config.MuteBGM = settings.value("MuteBGM").toBool();
    config.MuteSE = settings.value("MuteSE").toBool();
    config.OpenGL = settings.value("OpenGL").toBool();
    config.Animation = settings.value("Animation").toBool();
    config.LogPath = settings.value("LogPath").toString().toStdWString();
    config.Language = settings.value("Language").toInt();
    settings.endGroup();
}

bool CIniManager::Save()
{
    const CSystemConfig& config = CSystemConfig::GetInstance();
    QSettings settings(GetFilePath(), QSettings::IniFormat);
    settings.beginGroup(Group);
    settings.setValue("Sound", config.Sound);
    settings.setValue("BGM", config.BGM);
    settings.setValue("SE", config.SE);
    settings.setValue("MuteBGM", config.MuteBGM);
    settings.setValue("MuteSE", config.MuteSE);
    settings.setValue("OpenGL", config.OpenGL);
    settings.setValue("Animation", config.Animation);
    settings.setValue("LogPath", QString::fromStdWString(config.LogPath));
    settings.setValue("Language", config.Language);
    settings.endGroup();
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace Marevane
