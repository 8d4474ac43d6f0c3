// The rule settings: the basic rules, the advanced rules on demand, and
// the row of buttons under them, beside the preview of the map.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "gui/Collections.h"
#include "screens/setup/SetupSequence.h"

class QComboBox;

namespace Marevane {

class CGameEdit;
class CPushButton;
class CSpinBox;

// The default round limit of a map of that size.
std::uint32_t DefaultRoundLimit(int rows, int columns);

class CRuleSettingsCollection : public CSettingsCollection {
    Q_OBJECT
  public:
    // The missions offered, in order, before the mode filters.
    static const std::vector<MissionType>& Missions();

    explicit CRuleSettingsCollection(CGameEdit* pGameEdit, QGraphicsItem* parent = nullptr);
    ~CRuleSettingsCollection() override;

    // The map preview follows the size boxes.
    void ConnectMapScene(QObject* pMapScene);

    QComboBox* GetLevelBox() const { return m_levelBox; }
    QComboBox* GetMissionBox() const { return m_missionBox; }
    CSpinBox* GetRowBox() const { return m_rowBox; }
    CSpinBox* GetColumnBox() const { return m_columnBox; }
    CSpinBox* GetTimeLimitBox() const { return m_timeLimitBox; }
    CSpinBox* GetRoundLimitBox() const { return m_roundLimitBox; }
    QComboBox* GetAudienceBox() const { return m_audienceBox; }

  signals:
    void MapSizeChanged(int row, int col);

  public slots:
    void Apply(Marevane::GameEditInfo& info) override;
    void Build() override;

  private:
    CGameEdit* m_gameEdit;
    QComboBox* m_levelBox;
    QComboBox* m_missionBox;
    CSpinBox* m_rowBox;
    CSpinBox* m_columnBox;
    CSpinBox* m_timeLimitBox;
    CSpinBox* m_roundLimitBox;
    QComboBox* m_audienceBox;
};

class CAdvancedRuleSettingsCollection : public CSettingsCollection {
    Q_OBJECT
  public:
    explicit CAdvancedRuleSettingsCollection(CGameEdit* pGameEdit, QGraphicsItem* parent = nullptr);
    ~CAdvancedRuleSettingsCollection() override;

    QComboBox* GetPanelEffectBox() const { return m_panelEffectBox; }
    QComboBox* GetStealthModeBox() const { return m_stealthModeBox; }
    CSpinBox* GetSurfacingCycleBox() const { return m_surfacingCycleBox; }
    CSpinBox* GetFleetSizeBox() const { return m_fleetSizeBox; }
    CSpinBox* GetReserveFleetSizeBox() const { return m_reserveFleetSizeBox; }
    CSpinBox* GetFuelPointBox() const { return m_fuelPointBox; }
    CSpinBox* GetDestroyerWeaponBox() const { return m_destroyerWeaponBox; }
    CSpinBox* GetSubmarineWeaponBox() const { return m_submarineWeaponBox; }
    CSpinBox* GetLogPageBox() const { return m_logPageBox; }

  public slots:
    void Apply(Marevane::GameEditInfo& info) override;
    void Build() override;
    // The widgets from the rules.
    void ChangeToCurrentValue();
    // The advanced rules back to their defaults.
    void ChangeToDefaultValue();
    void RestrictSizeRange();
    void ValidateSizeRange(int row, int col);

  private slots:
    void CheckValue();

  private:
    CGameEdit* m_gameEdit;
    QComboBox* m_panelEffectBox;
    QComboBox* m_stealthModeBox;
    CSpinBox* m_surfacingCycleBox;
    CSpinBox* m_fleetSizeBox;
    CSpinBox* m_reserveFleetSizeBox;
    CSpinBox* m_fuelPointBox;
    CSpinBox* m_destroyerWeaponBox;
    CSpinBox* m_submarineWeaponBox;
    CSpinBox* m_logPageBox;
};

class CSettingsButtonCollection : public CSettingsCollection {
    Q_OBJECT
  public:
    explicit CSettingsButtonCollection(CGameEdit* pGameEdit, QGraphicsItem* parent = nullptr);

    CPushButton* GetDefaultButton() const { return m_defaultButton; }
    CPushButton* GetAdvancedButton() const { return m_advancedButton; }
    CPushButton* GetNextButton() const { return m_nextButton; }
    CPushButton* GetPrevButton() const { return m_prevButton; }

  signals:
    void DefaultButtonClicked();
    void NextSequenceButtonClicked();
    void AdvSettingButtonClicked();
    void PreviousSequenceButtonClicked();

  public slots:
    void Apply(Marevane::GameEditInfo& info) override;
    void Build() override;

  private slots:
    void SwitchButton();

  private:
    CGameEdit* m_gameEdit;
    CPushButton* m_defaultButton;
    CPushButton* m_advancedButton;
    CPushButton* m_nextButton;
    CPushButton* m_prevButton;
};

class CRuleSettingsScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CRuleSettingsScene(CGameEdit* pGameEdit, QObject* parent = nullptr);

    CRuleSettingsCollection* GetBasic() const { return m_basic; }
    CAdvancedRuleSettingsCollection* GetAdvanced() const { return m_advanced; }
    CSettingsButtonCollection* GetButtons() const { return m_buttons; }

  signals:
    void Selected(Marevane::MessageCode code);
    void Hovered(QString helpMessage);
    // The collections were made anew (the map preview connects again).
    void Rebuilt();

  public slots:
    void UpdateAll();
    // The collections anew from the rules, the advanced ones closed.
    void Clear();

  private slots:
    void SendNextCode();
    void SendPreviousCode();
    void AdjustLocation();
    void OpenAdvancedSettings();

  private:
    CGameEdit* m_gameEdit;
    CRuleSettingsCollection* m_basic = nullptr;
    CAdvancedRuleSettingsCollection* m_advanced = nullptr;
    CSettingsButtonCollection* m_buttons = nullptr;
};

// The side pane that shows the rule settings.
class CRuleSettingsView : public CGameView {
    Q_OBJECT
  public:
    explicit CRuleSettingsView(QGraphicsScene* pScene, QWidget* parent = nullptr);

  public slots:
    void Show() override;
    void Hide() override;
};

class CRuleSettingsSequence : public CSetupSequence {
    Q_OBJECT
  public:
    static constexpr MessageCode NextCode = 26;
    static constexpr MessageCode PrevCode = 27;

    CRuleSettingsSequence();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private slots:
    void ShowHelpMessage(QString message);

  private:
    CRuleSettingsScene* m_scene = nullptr;
    CGameScene* m_mapScene = nullptr;
    CGameScene* m_messageScene = nullptr;
};

} // namespace Marevane
