#include "app/MainWindow.h"

#include "app/GameSequence.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Fonts.h"
#include "gui/Resources.h"
#include "gui/Style.h"
#include "gui/Translations.h"
#include "model/settings/SystemConfig.h"
#include "model/texts/NameTables.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QUrl>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

constexpr char Version[] = " 0.1";
constexpr char FormContext[] = "MarevaneClass";

CSystemConfig& Settings()
{
    return CSystemConfig::GetInstance();
}

QString FormText(const char* text)
{
    return QCoreApplication::translate(FormContext, text);
}

QString ChooseFile(QWidget* parent, const QString& caption, const QString& folder, const QString& filter)
{
    return QFileDialog::getOpenFileName(parent, caption, folder, filter);
}

} // namespace

CMainWindow::CMainWindow(CSoundControl* pSound, SequenceProvider systemConfig)
    : QMainWindow(nullptr), m_sound(pSound), m_systemConfig(std::move(systemConfig)),
      m_chooseFile(ChooseFile)
{
    SetUpForm();
    CreateActions();
    setWindowTitle(QString::fromLatin1(ApplicationName));
}

CMainWindow::~CMainWindow()
{
    // The screens' container belongs to the sequence manager.
    if (centralWidget() != nullptr) takeCentralWidget();
    if (m_areTranslatorsInstalled) {
        QCoreApplication::removeTranslator(&m_translator);
        QCoreApplication::removeTranslator(&m_qtTranslator);
    }
}

void CMainWindow::SetUpForm()
{
    if (objectName().isEmpty()) setObjectName(QStringLiteral("MarevaneClass"));
    resize(720, 600);
    m_menuBar = new QMenuBar(this);
    m_menuBar->setObjectName(QStringLiteral("menuBar"));
    m_menuBar->setGeometry(QRect(0, 0, 720, 21));
    const auto addMenu = [this](const char* name) {
        auto* menu = new QMenu(m_menuBar);
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    m_menuSystem = addMenu("menuSystem");
    m_menuHelp = addMenu("menuHelp");
    m_menuLanguage = addMenu("menuLanguage");
    m_menuLog = addMenu("menuLog");
    m_menuGraphics = addMenu("menuGraphics");
    m_menuSound = addMenu("menuSound");
    setMenuBar(m_menuBar);
    for (QMenu* menu : {m_menuSystem, m_menuGraphics, m_menuSound, m_menuLog, m_menuLanguage, m_menuHelp})
        m_menuBar->addAction(menu->menuAction());
    RetranslateForm();
}

void CMainWindow::RetranslateForm()
{
    setWindowTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "Marevane")));
    m_menuSystem->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "&System")));
    m_menuHelp->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "&Help")));
    m_menuLanguage->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "&Language")));
    m_menuLog->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "L&og")));
    m_menuGraphics->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "&Graphics")));
    m_menuSound->setTitle(FormText(QT_TRANSLATE_NOOP("MarevaneClass", "So&und")));
}

QAction* CMainWindow::AddAction(QMenu* menu, const char* name, bool isCheckable)
{
    auto* action = new QAction(m_menuSystem);
    action->setObjectName(QString::fromLatin1(name));
    action->setCheckable(isCheckable);
    menu->addAction(action);
    return action;
}

void CMainWindow::AddUpdate(QAction* action, std::function<void()> update)
{
    m_updates.emplace_back(action, std::move(update));
}

void CMainWindow::CreateActions()
{
    LoadLanguage();
    m_menuBar->setFont(MenuFont());

    QAction* config = AddAction(m_menuSystem, "actionConfig", false);
    m_menuSystem->addSeparator();
    QAction* quit = AddAction(m_menuSystem, "actionQuit", false);
    QAction* openGL = AddAction(m_menuGraphics, "actionOpenGL", true);
    QAction* animation = AddAction(m_menuGraphics, "actionAnimation", true);
    QAction* mute = AddAction(m_menuSound, "actionMute", true);
    m_menuSound->addSeparator();
    QAction* bgm = AddAction(m_menuSound, "actionBgm", true);
    QAction* se = AddAction(m_menuSound, "actionSe", true);
    QAction* logFile = AddAction(m_menuLog, "actionOpenLogFile", false);
    QAction* logFolder = AddAction(m_menuLog, "actionOpenLogDirectory", false);
    std::vector<QAction*> languages;
    const CLanguageNames& names = CLanguageNames::GetInstance();
    for (Language language : names.GetKeysInOrder()) {
        const QByteArray name = "actionLanguage" + QByteArray::number(static_cast<int>(language));
        QAction* action = AddAction(m_menuLanguage, name.constData(), true);
        action->setText(QString::fromStdWString(names.Get(language)));
        action->setData(static_cast<int>(language));
        connect(action, &QAction::triggered, this, [this, action] { ChangeLanguage(action); });
        languages.push_back(action);
    }
    QAction* about = AddAction(m_menuHelp, "actionAboutMarevane", false);
    QAction* aboutQt = AddAction(m_menuHelp, "actionAboutQt", false);

    AddUpdate(config, [config] { config->setText(tr("&Config")); });
    AddUpdate(quit, [quit] { quit->setText(tr("&Quit")); });
    AddUpdate(openGL, [openGL] {
        openGL->setText(tr("Enable &OpenGL"));
        openGL->setChecked(Settings().OpenGL);
    });
    AddUpdate(animation, [animation] {
        animation->setText(tr("Enable &Animation"));
        animation->setChecked(Settings().Animation);
    });
    AddUpdate(mute, [this, mute] {
        mute->setText(tr("&Mute"));
        if (m_sound != nullptr) m_sound->SetMasterVolume(Settings().Sound);
        mute->setChecked(Settings().Sound == 0);
    });
    AddUpdate(bgm, [this, bgm] {
        bgm->setText(tr("&BGM"));
        if (m_sound != nullptr) {
            m_sound->SetBgmMute(Settings().MuteBGM);
            m_sound->SetBgmVolume(std::clamp(Settings().BGM, 0, 100));
        }
        bgm->setChecked(!Settings().MuteBGM && Settings().BGM != 0);
    });
    AddUpdate(se, [this, se] {
        se->setText(tr("S&E"));
        if (m_sound != nullptr) {
            m_sound->SetSeVolume(std::clamp(Settings().SE, 0, 100));
            m_sound->SetSeMute(Settings().MuteSE);
        }
        se->setChecked(!Settings().MuteSE && Settings().SE != 0);
    });
    AddUpdate(logFile, [logFile] { logFile->setText(tr("Open Log &File")); });
    AddUpdate(logFolder, [logFolder] { logFolder->setText(tr("Open Log &Directory")); });
    for (QAction* language : languages) {
        AddUpdate(language,
                  [language] { language->setChecked(Settings().Language == language->data().toInt()); });
    }
    AddUpdate(about, [about] { about->setText(tr("About &Marevane")); });
    AddUpdate(aboutQt, [aboutQt] { aboutQt->setText(tr("About &Qt")); });

    LoadLanguage();
    RunUpdateCallbacks();

    connect(config, &QAction::triggered, this, &CMainWindow::OpenSystemConfig);
    connect(quit, &QAction::triggered, this, &CMainWindow::Quit);
    connect(openGL, &QAction::triggered, this, &CMainWindow::ToggleOpenGL);
    connect(animation, &QAction::triggered, this, &CMainWindow::ToggleAnimation);
    connect(mute, &QAction::triggered, this, &CMainWindow::ToggleMute);
    connect(bgm, &QAction::triggered, this, &CMainWindow::ToggleBgm);
    connect(se, &QAction::triggered, this, &CMainWindow::ToggleSe);
    connect(logFile, &QAction::triggered, this, &CMainWindow::OpenLogFile);
    connect(logFolder, &QAction::triggered, this, &CMainWindow::OpenLogDirectory);
    connect(about, &QAction::triggered, this, &CMainWindow::OpenAboutThis);
    connect(aboutQt, &QAction::triggered, this, [this] { QMessageBox::aboutQt(this, QString()); });
}

void CMainWindow::RunUpdateCallbacks()
{
    for (const auto& entry : m_updates) entry.second();
}

std::vector<std::function<void()>> CMainWindow::GetUpdateCallbacks() const
{
    std::vector<std::function<void()>> callbacks;
    for (const auto& entry : m_updates) callbacks.push_back(entry.second);
    return callbacks;
}

QAction* CMainWindow::FindAction(const QString& name) const
{
    return m_menuSystem->findChild<QAction*>(name, Qt::FindDirectChildrenOnly);
}

void CMainWindow::LoadLanguage()
{
    QLocale locale = QLocale::system();
    if (Settings().Language == LanguageEnglish) locale = QLocale(QLocale::English);
    if (Settings().Language == LanguageJapanese) locale = QLocale(QLocale::Japanese);
    QLocale::setDefault(locale);
    // Installing a translator again would put it in the list twice.
    if (m_areTranslatorsInstalled) {
        QCoreApplication::removeTranslator(&m_translator);
        QCoreApplication::removeTranslator(&m_qtTranslator);
    }
    // A file that is missing leaves a translator empty: the texts stay English.
    (void)LoadProgramTranslation(m_translator, locale);
    if (!LoadQtTranslation(m_qtTranslator, locale))
        (void)m_qtTranslator.load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                                  QLibraryInfo::location(QLibraryInfo::TranslationsPath));
    QCoreApplication::installTranslator(&m_translator);
    QCoreApplication::installTranslator(&m_qtTranslator);
    m_areTranslatorsInstalled = true;
    RetranslateForm();
}

void CMainWindow::SaveSettings()
{
    if (!CIniManager::GetInstance().Save()) {
        ShowNotice(
            tr("The settings could not be saved to %1.").arg(CIniManager::GetInstance().GetFilePath()));
    }
    CGameSequence* current = CSequenceManager::GetInstance()->GetCurrentSequence();
    if (current != nullptr && current->GetType() == SystemConfigType) current->Update(SettingsChangedCode);
}

void CMainWindow::ToggleOpenGL(bool checked)
{
    // Views made from now on follow it; the fonts follow at the next start.
    Settings().OpenGL = checked;
    SaveSettings();
}

void CMainWindow::ToggleAnimation(bool checked)
{
    Settings().Animation = checked;
    SaveSettings();
}

void CMainWindow::ToggleMute(bool checked)
{
    if (m_sound != nullptr) m_sound->SetMasterMute(checked);
    Settings().Sound = checked ? 0 : 100;
    // Un-muting brings the volume of the setting back, not only the mute.
    if (!checked && m_sound != nullptr) m_sound->SetMasterVolume(Settings().Sound);
    SaveSettings();
}

void CMainWindow::ToggleBgm(bool checked)
{
    if (m_sound != nullptr) m_sound->SetBgmMute(!checked);
    Settings().MuteBGM = !checked;
    SaveSettings();
}

void CMainWindow::ToggleSe(bool checked)
{
    if (m_sound != nullptr) m_sound->SetSeMute(!checked);
    Settings().MuteSE = !checked;
    SaveSettings();
}

void CMainWindow::OpenSystemConfig()
{
    CSequenceManager* manager = CSequenceManager::GetInstance();
    if (manager->IsChanging()) return;
    const CGameSequence* current = manager->GetCurrentSequence();
    if (current != nullptr && current->GetType() == SystemConfigType) return;
    try {
        // Already on the stack below: go back to it rather than stack it twice.
        for (int i = manager->GetMaxIndex(); i >= 0; --i) {
            if (CGameSequence* sequence = manager->GetSequence(i); sequence->GetType() == SystemConfigType) {
                if (m_sound != nullptr) m_sound->PlaySe(Sound::SeWindowOpened, true);
                manager->ReturnTo(sequence);
                return;
            }
        }
        CGameSequence* sequence = m_systemConfig ? m_systemConfig() : nullptr;
        if (sequence == nullptr) return;
        if (m_sound != nullptr) m_sound->PlaySe(Sound::SeWindowOpened, true);
        manager->Push(sequence);
    } catch (const std::exception& error) {
        ShowNotice(QString::fromUtf8(error.what()));
    }
}

QString CMainWindow::LogFolder() const
{
    const QString path = QString::fromStdWString(Settings().LogPath);
    return path.isEmpty() ? QDir::currentPath() : path;
}

void CMainWindow::OpenLogFile()
{
    const QString path = m_chooseFile(this, tr("Open Log File"), LogFolder(), tr("Log Files (*.log)"));
    if (path.isEmpty()) return;
    QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void CMainWindow::OpenLogDirectory()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(LogFolder()));
}

void CMainWindow::ChangeLanguage(QAction* pAction)
{
    Settings().Language = pAction->data().toInt();
    for (QAction* action : m_menuLanguage->actions())
        action->setChecked(action->data().toInt() == Settings().Language);
    SaveSettings();
    LoadLanguage();
    RunUpdateCallbacks();
}

void CMainWindow::Quit()
{
    close();
}

void CMainWindow::closeEvent(QCloseEvent* event)
{
    if (m_isQuitConfirmed) {
        event->accept();
        return;
    }
    // However the window is closed, the user is asked first.
    event->ignore();
    AskToQuit();
}

void CMainWindow::AskToQuit()
{
    if (m_question != nullptr) {
        m_question->raise();
        return;
    }
    auto* box =
        new QMessageBox(QMessageBox::Question, tr("Quit Marevane"), tr("Do you want to quit Marevane?"),
                        QMessageBox::Yes | QMessageBox::No, this);
    box->setObjectName(QStringLiteral("quitQuestion"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_question = box;
    connect(box, &QMessageBox::finished, this, [this](int result) {
        if (result != QMessageBox::Yes) return;
        m_isQuitConfirmed = true;
        close();
    });
    box->open();
}

void CMainWindow::OpenAboutThis()
{
    auto* box = new QMessageBox(this);
    box->setObjectName(QStringLiteral("aboutBox"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowTitle(tr("About Marevane"));
    box->setIconPixmap(windowIcon().pixmap(64, 64));
    box->setText(QString::fromLatin1(ApplicationName) + QStringLiteral(" Ver") +
                 QString::fromLatin1(Version) + QStringLiteral("\n\n") +
                 tr("We use these libraries: Qt, cereal, Crypto++"));
    box->open();
}

void CMainWindow::ShowNotice(const QString& text)
{
    qWarning("%s", qUtf8Printable(text));
    auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(ApplicationName), text,
                                QMessageBox::Ok, this);
    box->setObjectName(QStringLiteral("notice"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

} // namespace Marevane
