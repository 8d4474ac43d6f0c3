// The system settings and the file they live in.
#pragma once

#include <QObject>
#include <QString>

#include <string>

namespace Marevane {

// Read by everything that plays sound, draws or writes the battle log;
// written by the system configuration screen before it saves.
class CSystemConfig {
  public:
    CSystemConfig() = default;
    virtual ~CSystemConfig() = default;

    static CSystemConfig& GetInstance();

    // Restores the values a missing file gives; the log folder is kept.
    void SetDefaults();

    int Sound = 100; // master volume, percent
    int BGM = 80;    // music volume, percent
    int SE = 100;    // sound-effect volume, percent
    bool MuteBGM = false;
    bool MuteSE = false;
    bool OpenGL = true;
    bool Animation = true;
    std::wstring LogPath; // folder of the battle logs; empty: the working directory
    int Language = 0;     // Language: 0 default, 1 English, 2 Japanese
};

// Reads and writes CSystemConfig::GetInstance() as "Marevane.ini" in the
// working directory.
class CIniManager : public QObject {
    Q_OBJECT
  public:
    static CIniManager& GetInstance();

    void Load();
    // Answers whether the file was written.
    bool Save();

    // Another file, for tests; an empty path restores the default.
    void SetFilePath(const QString& path);
    QString GetFilePath() const;

    static const char* const DefaultFileName;

  private:
    CIniManager() = default;

    QString m_filePath;
};

} // namespace Marevane
