// The system configuration screen: sound, music and effect volumes,
// animations, OpenGL, language and the battle-log folder, saved to the
// settings file.
#pragma once

#include "app/GameScene.h"
#include "gui/Collections.h"
#include "screens/setup/SetupSequence.h"

#include <QPointer>

#include <functional>

class QComboBox;
class QGraphicsRectItem;
class QWidget;

namespace Marevane {

class CLineEdit;
class CNotificationBar;
class CPushButton;
class CSlider;
class CSpinBox;
class CTextItem;
class CWidgetItem;

// A column of setting rows with more room between them.
class CSystemConfigCollection : public CListCollection {
    Q_OBJECT
  public:
    using CListCollection::CListCollection;
    int RowSpacing() const override { return 24; }
};

class CSystemConfigScene : public CGameScene {
    Q_OBJECT
  public:
    // Asks for a folder: parent, caption, folder now; empty when cancelled.
    using DirectoryChooser = std::function<QString(QWidget*, const QString&, const QString&)>;

    explicit CSystemConfigScene(QObject* parent = nullptr);

    void SetUp();
    void SetDirectoryChooser(DirectoryChooser chooser);

    QComboBox* GetSoundBox() const { return m_soundBox; }
    CSpinBox* GetBgmBox() const { return m_bgmBox; }
    CSpinBox* GetSeBox() const { return m_seBox; }
    CSlider* GetBgmSlider() const { return m_bgmSlider; }
    CSlider* GetSeSlider() const { return m_seSlider; }
    QComboBox* GetOpenGLBox() const { return m_openGLBox; }
    QComboBox* GetAnimationBox() const { return m_animationBox; }
    QComboBox* GetLanguageBox() const { return m_languageBox; }
    CLineEdit* GetLogPathEdit() const { return m_logPathEdit; }
    CPushButton* GetOkButton() const { return m_okButton; }
    CPushButton* GetCancelButton() const { return m_cancelButton; }
    CPushButton* GetDefaultButton() const { return m_defaultButton; }
    CPushButton* GetApplyButton() const { return m_applyButton; }
    CPushButton* GetBrowseButton() const { return m_browseButton; }
    CNotificationBar* GetNotificationBar() const { return m_bar; }
    const CSystemConfigCollection* GetFirstCollection() const { return m_first; }
    const CSystemConfigCollection* GetSecondCollection() const { return m_second; }
    // The widget that takes the focus when the screen opens.
    QWidget* GetFirstWidget() const;

  signals:
    void Selected(Marevane::MessageCode code);
    void HelpSent(QString helpMessage);

  public slots:
    // "Default": the default settings into the widgets only.
    void Init();
    // The widgets from the settings.
    void Update();
    void AdjustViewPosition(const QSize& size) override;
    // Gives the forward buttons back and the focus to the first row.
    void Reset();

  public:
    using CGameScene::AdjustViewPosition;

  private slots:
    // Answers whether the settings were saved.
    bool ApplySettings();
    void SendOK();
    void CancelProcess();
    void OpenLogPathDialog();
    void SendHelpOfLabel(const Marevane::CTextItem* pTextItem, const Marevane::CWidgetItem* pWidgetItem);

  private:
    void AddRow(CSystemConfigCollection* pCollection, const QString& label, QWidget* widget,
                const QString& help);
    void Layout(int width);
    // Why the log folder cannot take logs; empty when it can.
    QString CheckLogPath(const QString& path) const;

    QComboBox* m_soundBox;
    CSpinBox* m_bgmBox;
    CSpinBox* m_seBox;
    CSlider* m_bgmSlider;
    CSlider* m_seSlider;
    QComboBox* m_openGLBox;
    QComboBox* m_animationBox;
    QComboBox* m_languageBox;
    CPushButton* m_browseButton;
    CLineEdit* m_logPathEdit;
    CPushButton* m_okButton;
    CPushButton* m_cancelButton;
    CPushButton* m_defaultButton;
    CPushButton* m_applyButton;
    QGraphicsRectItem* m_buttonFrame = nullptr;
    QGraphicsPixmapItem* m_label = nullptr;
    CSystemConfigCollection* m_first = nullptr;
    CSystemConfigCollection* m_second = nullptr;
    CNotificationBar* m_bar = nullptr;
    std::vector<QWidget*> m_tabOrder;
    DirectoryChooser m_chooseDirectory;
    bool m_isSetUp = false;
};

// One instance while it lives; the title and the main window open it.
class CSystemConfigSequence : public CSetupSequence {
    Q_OBJECT
  public:
    static CSystemConfigSequence* GetInstance();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CSystemConfigSequence();

    CSystemConfigScene* m_scene = nullptr;
    CGameScene* m_messageScene = nullptr;
};

} // namespace Marevane
