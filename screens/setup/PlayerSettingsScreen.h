// The player settings: the player's name and how this machine takes part
// (server or client, manual, automatic or audience, the number of players
// and whether each rival is the computer or a person on the LAN).
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "screens/setup/SetupSequence.h"

#include <vector>

class QComboBox;

namespace Marevane {

class CGameEdit;
class CLineEdit;
class CNotificationBar;
class CPushButton;
class CSpinBox;
class CTextItem;
class CUnitFactory;
class CWidgetItem;

class CPlayerSettingsScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CPlayerSettingsScene(QObject* parent = nullptr);

    void SetGameEdit(CGameEdit* pGameEdit) { m_gameEdit = pGameEdit; }
    void SetUnitFactory(CUnitFactory* pUnitFactory) { m_unitFactory = pUnitFactory; }
    // Lays the rows out for the rules' game mode and resets every widget;
    // run on every visit.
    void Build();

    CLineEdit* GetNameBox() const { return m_nameBox; }
    QComboBox* GetCommandModeBox() const { return m_commandModeBox; }
    QComboBox* GetNetworkModeBox() const { return m_networkModeBox; }
    CSpinBox* GetNumberOfPlayersBox() const { return m_playersBox; }
    QComboBox* GetRivalBox(int index) const { return m_rivalBoxes.at(static_cast<std::size_t>(index)); }
    CPushButton* GetExitButton() const { return m_exitButton; }
    CPushButton* GetNextButton() const { return m_nextButton; }
    CNotificationBar* GetMessageBar() const { return m_bar; }
    // Whether the row of the widget is on the screen.
    bool IsRowShown(const QWidget* widget) const;

  signals:
    void ExitButtonPushed();
    void NextButtonPushed();
    void HelpSent(QString helpMessage);

  public slots:
    void ShowMessage(QString text);

  private slots:
    void UpdateSettings();
    void ValidateCommandMode();
    void ValidateNetworkMode();
    void ShowNumberOfPlayerBox();
    void ShowRivalsCommandModeBox();
    void SendHelpOfLabel(const Marevane::CTextItem* pTextItem, const Marevane::CWidgetItem* pWidgetItem);

  private:
    struct Row {
        CWidgetItem* item = nullptr;
        CTextItem* label = nullptr;
    };
    Row MakeRow(QWidget* widget, const QString& label, const QString& help);
    void PlaceRow(const Row& row, qreal x, qreal y);
    bool IsVersus() const;
    void Layout();

    CGameEdit* m_gameEdit = nullptr;
    CLineEdit* m_nameBox;
    QComboBox* m_commandModeBox;
    QComboBox* m_networkModeBox;
    CSpinBox* m_playersBox;
    std::vector<QComboBox*> m_rivalBoxes;
    CPushButton* m_exitButton;
    CPushButton* m_nextButton;
    CUnitFactory* m_unitFactory = nullptr;
    CNotificationBar* m_bar = nullptr;
    QGraphicsPixmapItem* m_caption = nullptr;
    Row m_nameRow;
    Row m_commandRow;
    Row m_networkRow;
    Row m_playersRow;
    std::vector<Row> m_rivalRows;
    CWidgetItem* m_exitItem = nullptr;
    CWidgetItem* m_nextItem = nullptr;
    bool m_isBuilt = false;
};

class CPlayerSettingsView : public CGameView {
    Q_OBJECT
  public:
    explicit CPlayerSettingsView(QGraphicsScene* pScene, QWidget* parent = nullptr);

  public slots:
    void Show() override;
    void Hide() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

class CPlayerSettingsSequence : public CSetupSequence {
    Q_OBJECT
  public:
    CPlayerSettingsSequence();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CPlayerSettingsScene* m_scene = nullptr;
    CGameScene* m_messageScene = nullptr;
};

} // namespace Marevane
