// The program's one window: the screens in its centre and a menu bar
// through which the user changes the system settings without leaving the
// screen. Every change is saved to the settings file at once. The window
// also installs the interface translation.
#pragma once

#include "model/Types.h"

#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTranslator>

#include <functional>
#include <utility>
#include <vector>

class QAction;
class QMenu;
class QMenuBar;

namespace Marevane {

class CGameSequence;
class CSoundControl;

class CMainWindow : public QMainWindow {
    Q_OBJECT
  public:
    // The one system configuration sequence, made on first use.
    using SequenceProvider = std::function<CGameSequence*()>;
    // Asks for a file to open: parent, caption, folder, filter; empty when cancelled.
    using FileChooser = std::function<QString(QWidget*, const QString&, const QString&, const QString&)>;

    // The sequence type of the system configuration.
    static constexpr int SystemConfigType = 13;
    // Told to the system configuration screen after a setting changed.
    static constexpr MessageCode SettingsChangedCode = 55;

    explicit CMainWindow(CSoundControl* pSound = nullptr, SequenceProvider systemConfig = SequenceProvider());
    ~CMainWindow() override;

    // Installs the translators for the Language setting and sets the menu
    // titles again.
    void LoadLanguage();
    // Runs every update callback in order: each sets its action's text and
    // check mark from the settings, the sound ones also pass the settings
    // on to the sound managers.
    void RunUpdateCallbacks();
    std::vector<std::function<void()>> GetUpdateCallbacks() const;

    void SetFileChooser(FileChooser chooser) { m_chooseFile = std::move(chooser); }
    // Where the program's own translation is looked for.
    // An action by its object name ("actionMute", "actionLanguage2", ...).
    QAction* FindAction(const QString& name) const;
    // The open quit question, if any.
    QMessageBox* GetQuitQuestion() const { return m_question; }
    // Tells the user something went wrong, without stopping the program.
    void ShowNotice(const QString& text);

  public slots:
    // Asks whether to quit; Yes closes the window, which ends the program.
    void Quit();
    void OpenAboutThis();

  protected:
    void closeEvent(QCloseEvent* event) override;

  private slots:
    void ToggleOpenGL(bool checked);
    void ToggleAnimation(bool checked);
    void ToggleMute(bool checked);
    void ToggleBgm(bool checked);
    void ToggleSe(bool checked);
    void OpenSystemConfig();
    void OpenLogFile();
    void OpenLogDirectory();
    void ChangeLanguage(QAction* pAction);

  private:
    void SetUpForm();
    void RetranslateForm();
    void CreateActions();
    QAction* AddAction(QMenu* menu, const char* name, bool isCheckable);
    void AddUpdate(QAction* action, std::function<void()> update);
    // Saves the settings and tells the system configuration screen if it shows.
    void SaveSettings();
    // The folder of the battle logs: LogPath, or the working directory.
    QString LogFolder() const;
    void AskToQuit();

    // The form.
    QMenuBar* m_menuBar = nullptr;
    QMenu* m_menuSystem = nullptr;
    QMenu* m_menuHelp = nullptr;
    QMenu* m_menuLanguage = nullptr;
    QMenu* m_menuLog = nullptr;
    QMenu* m_menuGraphics = nullptr;
    QMenu* m_menuSound = nullptr;

    std::vector<std::pair<QAction*, std::function<void()>>> m_updates;
    CSoundControl* m_sound;
    SequenceProvider m_systemConfig;
    FileChooser m_chooseFile;
    QTranslator m_translator;
    QTranslator m_qtTranslator;
    bool m_areTranslatorsInstalled = false;
    QPointer<QMessageBox> m_question;
    bool m_isQuitConfirmed = false;
};

} // namespace Marevane
