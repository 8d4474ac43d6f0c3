// Player creation and the computer's strength: in arcade mode the player
// picks the level first; in versus modes the sides are made at once and
// the rule settings take this screen's place.
#pragma once

#include "app/GameScene.h"
#include "screens/setup/SetupSequence.h"

class QComboBox;
class QGraphicsPixmapItem;

namespace Marevane {

class CGameEdit;
class CNotificationBar;
class CPushButton;
class CUnitFactory;

class CComputerLevelScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CComputerLevelScene(QObject* parent = nullptr);

    void SetGameEdit(CGameEdit* pGameEdit) { m_gameEdit = pGameEdit; }
    void SetUnitFactory(CUnitFactory* pUnitFactory) { m_unitFactory = pUnitFactory; }
    // Lays the scene out once.
    void SetUp();
    // Gives the buttons back and the focus to the level box.
    void Reset();

    QComboBox* GetLevelBox() const { return m_levelBox; }
    CPushButton* GetPrevButton() const { return m_prevButton; }
    CPushButton* GetStartButton() const { return m_startButton; }
    CNotificationBar* GetNotificationBar() const { return m_bar; }

  signals:
    void PrevButtonPushed();
    void StartButtonPushed();

  public slots:
    void ShowMessage(QString text);
    // Stores the chosen level and makes the sides; answers whether they were made.
    bool UpdateSettings();
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  private:
    void Place(const QSize& size);

    QComboBox* m_levelBox;
    CPushButton* m_prevButton;
    CPushButton* m_startButton;
    CNotificationBar* m_bar = nullptr;
    QGraphicsPixmapItem* m_label = nullptr;
    CGameEdit* m_gameEdit = nullptr;
    CUnitFactory* m_unitFactory = nullptr;
};

class CPlayerCreationSequence : public CSetupSequence {
    Q_OBJECT
  public:
    CPlayerCreationSequence();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CComputerLevelScene* m_scene = nullptr;
};

} // namespace Marevane
