#include "screens/setup/RuleSettingsScreen.h"

#include "ai/ModeTables.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/NameTables.h"

#include <QComboBox>
#include <QScrollBar>

#include <algorithm>

namespace Marevane {

namespace {

constexpr std::uint32_t TagMatch = GameModeVersus | GameModeTag;
constexpr std::uint32_t DeathMatch = GameModeVersus | GameModeDeathMatch;
constexpr MissionType RescueKinds = 0x50000008;
constexpr int Gap = 11;
constexpr int Inset = 16;

bool HasBits(std::uint32_t value, std::uint32_t bits)
{
    return value == bits || (value & bits) == bits;
}

QString Number(long long value)
{
    return QString::number(value);
}

QString MissionName(MissionType mission)
{
    return CGUIMissionNames::GetInstance().GetName(mission);
}

QString ModeName(ComputerAI::Mode mode)
{
    return QString::fromStdWString(ComputerAI::CModeNames::GetInstance().Get(mode));
}

CSpinBox* MakeSpinBox(int minimum, int maximum)
{
    auto* box = new CSpinBox;
    box->setStyleSheet(SpinBoxStyleSheet());
    box->setRange(minimum, maximum);
    return box;
}

QComboBox* MakeOnOffBox(const QString& on, const QString& off)
{
    auto* box = new QComboBox;
    box->setStyleSheet(SpinBoxStyleSheet());
    box->addItem(on, true);
    box->addItem(off, false);
    return box;
}

// A value of 1 to 29 fuel points is not kept: it means unlimited.
int CorrectedFuel(int value)
{
    return value < 30 ? 0 : value;
}

// The advanced rules as a fresh set of rules has them.
void ResetAdvancedSettings(CGameEdit& rules)
{
    GameEditInfo& info = rules.GetInfo();
    info.IsPanelEffectEnabled = true;
    info.IsStealthEnabled = true;
    info.ThirdFlag = false;
    info.SurfacingCycle = 3;
    info.FpPercentage = 100;
    info.DestroyerWeapons = 2;
    info.SubmarineWeapons = 3;
    info.ReserveFleetSize = 1; // the log pages
    if ((info.Rule & GameModeArcade) != 0 && info.ComputerLevel < 0)
        info.ReserveFleetSize = info.ComputerLevel == ComputerAI::ModeEasy ? 4 : 6;
    rules.UpdateDerivedSettings();
}

} // namespace

std::uint32_t DefaultRoundLimit(int rows, int columns)
{
    int extra = rows + columns - 10;
    if (extra > 0) extra = 3 * extra / 2;
    return static_cast<std::uint32_t>(std::max(0, extra + 15));
}

// --- basic rules ----------------------------------------------------------

const std::vector<MissionType>& CRuleSettingsCollection::Missions()
{
    static const std::vector<MissionType> missions = {
        0x10000001, 0x10000002, 0x10000004, 0x50000011, 0x50000012, 0x50000014, 0x50000015, 0x70000030,
        0x50000009, 0x5000000A, 0x5000000C, 0x50000019, 0x5000001A, 0x5000001C, 0x5000001D, 0x70000038};
    return missions;
}

CRuleSettingsCollection::CRuleSettingsCollection(CGameEdit* pGameEdit, QGraphicsItem* parent)
    : CSettingsCollection(nullptr, parent), m_gameEdit(pGameEdit), m_levelBox(new QComboBox),
      m_missionBox(new QComboBox), m_rowBox(MakeSpinBox(3, 9)), m_columnBox(MakeSpinBox(3, 9)),
      m_timeLimitBox(MakeSpinBox(0, 600)), m_roundLimitBox(MakeSpinBox(1, 999)),
      m_audienceBox(MakeOnOffBox(tr("ON"), tr("OFF")))
{
    const GameEditInfo fallback;
    const GameEditInfo& info = m_gameEdit != nullptr ? m_gameEdit->GetInfo() : fallback;
    for (QComboBox* box : {m_levelBox, m_missionBox}) box->setStyleSheet(SpinBoxStyleSheet());

    const auto& modes = ComputerAI::CModeMap::GetInstance();
    for (unsigned level : modes.GetKeysInOrder()) {
        m_levelBox->addItem(ModeName(modes.Get(level)));
        if (modes.Get(level) == info.ComputerLevel) m_levelBox->setCurrentIndex(m_levelBox->count() - 1);
    }

    const bool isTag = HasBits(info.Rule, TagMatch);
    for (MissionType mission : Missions()) {
        if (HasBits(mission, RescueKinds) && !isTag) continue;
        if (HasBits(mission, MissionPullout) && info.TeamCount != 0) continue;
        m_missionBox->addItem(MissionName(mission), static_cast<uint>(mission));
    }
    m_missionBox->setMaxVisibleItems(16);
    m_missionBox->setCurrentIndex(std::max(0, m_missionBox->findData(static_cast<uint>(info.Mission))));

    m_rowBox->setValue(static_cast<int>(info.Map.Size.x));
    m_columnBox->setValue(static_cast<int>(info.Map.Size.y));
    m_timeLimitBox->setSpecialValueText(tr("Unlimited"));
    m_timeLimitBox->setValue(static_cast<int>(info.TimeLimit / 60000));
    m_roundLimitBox->setValue(static_cast<int>(info.DeadlineRounds));
    m_roundLimitBox->setEnabled(HasBits(info.Mission, MissionDeadline));
    m_audienceBox->setCurrentIndex(info.TeamCount != 0 ? 0 : 1);
    Build();
    m_timeLimitBox->setStyleSheet(SpinBoxStyleSheet());

    connect(m_rowBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int row) { emit MapSizeChanged(row, m_columnBox->value()); });
    connect(m_columnBox, qOverload<int>(&QSpinBox::valueChanged), this,
            [this](int column) { emit MapSizeChanged(m_rowBox->value(), column); });
    connect(this, &CRuleSettingsCollection::MapSizeChanged, this, [this](int row, int column) {
        m_roundLimitBox->setValue(
            static_cast<int>(m_gameEdit != nullptr ? DefaultRoundLimit(row, column) : 15));
    });
    connect(m_missionBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this] {
        m_roundLimitBox->setEnabled(HasBits(m_missionBox->currentData().toUInt(), MissionDeadline));
    });
}

CRuleSettingsCollection::~CRuleSettingsCollection() = default;

void CRuleSettingsCollection::Build()
{
    const GameEditInfo fallback;
    const GameEditInfo& info = m_gameEdit != nullptr ? m_gameEdit->GetInfo() : fallback;
    if (HasBits(info.Rule, DeathMatch)) {
        m_levelBox->setEnabled(false);
        m_timeLimitBox->setEnabled(false);
    }
    // Composed for this game's mode: the mission list depends on it.
    const QString levelHelp = tr("You can select the strength of a computer player.\n") +
                              QStringLiteral("\"") + ModeName(ComputerAI::ModeVeryEasy) +
                              tr("\" is weakest.\n") + QStringLiteral("\"") +
                              ModeName(ComputerAI::ModeExtreme) + tr("\" is strongest.\n") +
                              tr("The default is \"") + ModeName(ComputerAI::ModeNormal) + tr("\".");
    const bool isTag = HasBits(info.Rule, TagMatch);
    QString missionHelp = tr("Select the condition to decide winner(s) or loser(s).\n") +
                          MissionName(0x10000001) + tr(": To be superior your rival(s) (*default).\n") +
                          MissionName(0x10000002) + tr(": To wipe out your rival(s).\n") +
                          MissionName(0x10000004) + tr(": To defeat the flagship of your rival(s).");
    if (info.TeamCount == 0 && !isTag) {
        missionHelp += QStringLiteral("\n") + MissionName(MissionPullout) +
                       tr(": To survive until the limit of rounds (only VS Computer Mode).");
    }
    if (isTag) {
        missionHelp +=
            QStringLiteral("\n") + MissionName(RescueKinds) +
            tr(": To save the fleet of your friendly army so as not to be wiped out (only Tag Match "
               "Mode).");
    }
    missionHelp += tr("\nBelow are Round Limit Missions:\n") + MissionName(0x50000011) + QStringLiteral("(") +
                   MissionName(0x10000001) + QStringLiteral("), ") + MissionName(0x50000012) +
                   QStringLiteral("(") + MissionName(0x10000002) + QStringLiteral("), \n") +
                   MissionName(0x50000014) + QStringLiteral("(") + MissionName(0x10000004) +
                   QStringLiteral("), \n") + MissionName(0x50000015) + QStringLiteral("(") +
                   MissionName(0x10000004) + tr(" or ") + MissionName(0x10000001) + QStringLiteral(").");
    const QString mapHelp = tr("You can change the size of the battle map.\n") +
                            tr("The row of it can be selected from ") + Number(3) + tr(" panels to ") +
                            Number(9) + tr(" panels.\n") + tr("The column of it can be also selected from ") +
                            Number(3) + tr(" panels to ") + Number(9) + tr(" panels.\n") +
                            tr("The default is Row=") + Number(5) + tr(" x Column=") + Number(5) +
                            tr(" size.");
    const QString timeHelp =
        tr("The limit of time (time control).\nYou can change the amount of time given to each player to "
           "think "
           "from 1 minute to 600 minutes.\nThe value 0 is \"Unlimited\", which means no limit for time to "
           "think.\n") +
        tr("The default is ") + Number(20) + tr(" minutes.");
    const QString roundHelp =
        tr("The limit of rounds.\nRounds of a play are limited in certain missions.\nThe "
           "range of values is ") +
        Number(1) + QStringLiteral("-") + Number(999) + QStringLiteral(".\n") + tr("The default is ") +
        Number(15) + tr(" rounds when the the battle map is a default size.");
    const QString audienceHelp =
        tr("You can select whether it allows audience to watch the play.\n") +
        tr("The default of the Arcade/Versus-Computer Mode is \"OFF\". Of the Versus-Network Mode, "
           "\"ON\".\n") +
        tr("Select \"OFF\" if you want to prevent cheating on the Versus-Network Mode.");

    QGraphicsItem* row = AddRow(tr("Computer Level"), m_levelBox, nullptr, levelHelp);
    row = AddRow(tr("Mission"), m_missionBox, row, missionHelp);
    CFramedRow* frame = AddFramedRow(tr("Row"), tr("Col"), m_rowBox, m_columnBox, row, mapHelp);
    row = AddRow(tr("Map Size"), nullptr, frame, mapHelp);
    // The label of the framed row shows its help too.
    const int mapRow = GetRowCount() - 1;
    connect(GetLabel(mapRow), &CTextItem::Hovered, this, [this, frame](const CTextItem* pTextItem) {
        SendHelpOfLabel(pTextItem, frame->GetFirstWidgetItem());
    });
    row = AddRow(tr("Time Limit"), m_timeLimitBox, row, timeHelp);
    if (auto* item = dynamic_cast<CWidgetItem*>(row)) item->setMinimumWidth(item->size().width() / 10 * 11);
    row = AddRow(tr("Round Limit"), m_roundLimitBox, row, roundHelp);
    AddRow(tr("Permission For Audience"), m_audienceBox, row, audienceHelp);
}

void CRuleSettingsCollection::ConnectMapScene(QObject* pMapScene)
{
    if (pMapScene == nullptr || pMapScene->metaObject()->indexOfSlot("Resize()") < 0) return;
    connect(m_rowBox, SIGNAL(valueChanged(int)), pMapScene, SLOT(Resize()));
    connect(m_columnBox, SIGNAL(valueChanged(int)), pMapScene, SLOT(Resize()));
}

void CRuleSettingsCollection::Apply(GameEditInfo& info)
{
    if (!HasBits(info.Rule, DeathMatch)) {
        const auto level = static_cast<unsigned>(std::max(0, m_levelBox->currentIndex()));
        info.ComputerLevel = ComputerAI::CModeMap::GetInstance().Get(level);
        info.TimeLimit = static_cast<std::uint32_t>(m_timeLimitBox->value()) * 60000u;
    }
    info.Mission = m_missionBox->currentData().toUInt();
    info.Map.Size = MapPos(static_cast<std::uint32_t>(m_rowBox->value()),
                           static_cast<std::uint32_t>(m_columnBox->value()));
    info.DeadlineRounds = static_cast<std::uint32_t>(m_roundLimitBox->value());
    info.IsTeamVersus = m_audienceBox->currentData().toBool();
    if (HasBits(info.Mission, MissionPullout) && info.PlayerCount >= 3) {
        // Player 0 stands alone against all the others.
        std::set<std::uint32_t> others;
        for (std::uint32_t id = 1; id < info.PlayerCount; ++id) others.insert(id);
        info.Teams = {others};
    }
}

// --- advanced rules -------------------------------------------------------

CAdvancedRuleSettingsCollection::CAdvancedRuleSettingsCollection(CGameEdit* pGameEdit, QGraphicsItem* parent)
    : CSettingsCollection(nullptr, parent), m_gameEdit(pGameEdit),
      m_panelEffectBox(MakeOnOffBox(tr("ON"), tr("OFF"))),
      m_stealthModeBox(MakeOnOffBox(tr("ON"), tr("OFF"))), m_surfacingCycleBox(MakeSpinBox(0, 100)),
      m_fleetSizeBox(MakeSpinBox(1, 20)), m_reserveFleetSizeBox(MakeSpinBox(0, 5)),
      m_fuelPointBox(MakeSpinBox(0, 999)), m_destroyerWeaponBox(MakeSpinBox(0, 100)),
      m_submarineWeaponBox(MakeSpinBox(0, 100)), m_logPageBox(MakeSpinBox(1, 999))
{
    m_fuelPointBox->setSpecialValueText(tr("Unlimited"));
    Build();
    connect(m_fuelPointBox, &QAbstractSpinBox::editingFinished, this,
            &CAdvancedRuleSettingsCollection::CheckValue);
    connect(this, &CSettingsCollection::Shown, this, &CAdvancedRuleSettingsCollection::RestrictSizeRange);
}

CAdvancedRuleSettingsCollection::~CAdvancedRuleSettingsCollection() = default;

void CAdvancedRuleSettingsCollection::Build()
{
    const QString range = tr("You can set a value in the range of ") + Number(0) + QStringLiteral("-") +
                          Number(100) + QStringLiteral(".\n");
    QGraphicsItem* row =
        AddRow(tr("Panel Effect"), m_panelEffectBox, nullptr,
               tr("You can select whether the Panel Effect System is enabled.\nWhen \"ON\", this system is "
                  "enabled. Some panels chosen at random may have effect on ships.\nThe default is \"ON\"."));
    row = AddRow(
        tr("Stealth Mode"), m_stealthModeBox, row,
        tr("You can select whether the Stealth Mode is enabled.\nWhen \"ON\", submarines that is diving "
           "and ships on the Fog panel can hide their own Splash Information from the other "
           "player.\nThe default is \"ON\"."));
    row = AddRow(tr("Surfacing Cycle"), m_surfacingCycleBox, row,
                 tr("The cycle of submarine's surfacing.\nYou can set the cycle of the rounds, at which "
                    "submarines will surface.\nThe range of value is ") +
                     Number(0) + QStringLiteral("-") + Number(100) +
                     tr(", the minimum value 0 means that submarines never surface.\n") +
                     tr("The default is ") + Number(3) + QStringLiteral("."));
    row = AddRow(
        tr("Fleet Size"), m_fleetSizeBox, row,
        tr("The number of the ships which players can command.\nYou can set a value in the range of ") +
            Number(1) + QStringLiteral("-") + Number(20) +
            tr(", but cannot set the bigger value than total panels of the battle map.\n") +
            tr("The default is ") + Number(3) + QStringLiteral("-") + Number(5) +
            tr(" (depends on the size of the battle map)."));
    row = AddRow(
        tr("Reserve Fleet Size"), m_reserveFleetSizeBox, row,
        tr("The number of the ships which players can reinforce.\nYou can set a value in the range of ") +
            Number(0) + QStringLiteral("-") + Number(5) + QStringLiteral(".\n") + tr("The default is ") +
            Number(1) + QStringLiteral("."));
    row = AddRow(
        tr("Fuel Point"), m_fuelPointBox, row,
        tr("The Fuel Point (FP) of ships.\nYou can set a value in the range of ") + Number(30) +
            QStringLiteral("-") + Number(999) + tr(" or ") + Number(0) + QStringLiteral(".\n") +
            tr("The value ") + Number(0) +
            tr(" is \"Unlimited\", which means no limit for the count of normal actions (Move/Attack).\n") +
            tr("The default is about ") + Number(100) + QStringLiteral("FP") +
            tr(" (depends on the size of the battle map)."));
    if (auto* item = dynamic_cast<CWidgetItem*>(row)) item->setMinimumWidth(item->size().width() / 10 * 11);
    row = AddRow(tr("Destroyer Aux Weapon"), m_destroyerWeaponBox, row,
                 tr("The number of the auxiliary weapons (torpedoes and mines) that destroyers can use.\n") +
                     range + tr("The default is ") + Number(2) + QStringLiteral("."));
    row = AddRow(tr("Submarine Aux Weapon"), m_submarineWeaponBox, row,
                 tr("The number of the auxiliary weapons (torpedoes and mines) that submarines can use.\n") +
                     range + tr("The default is ") + Number(3) + QStringLiteral("."));
    AddRow(tr("Log Page"), m_logPageBox, row,
           tr("The page of the battle log which players can browse.\n") + tr("The default is ") + Number(1) +
               QStringLiteral("."));
    ChangeToCurrentValue();
}

void CAdvancedRuleSettingsCollection::ChangeToCurrentValue()
{
    if (m_gameEdit == nullptr) return;
    const GameEditInfo& info = m_gameEdit->GetInfo();
    m_panelEffectBox->setCurrentIndex(info.IsPanelEffectEnabled ? 0 : 1);
    m_stealthModeBox->setCurrentIndex(info.IsStealthEnabled ? 0 : 1);
    m_surfacingCycleBox->setValue(static_cast<int>(info.SurfacingCycle));
    RestrictSizeRange();
    m_fleetSizeBox->setValue(static_cast<int>(info.FleetSize));
    m_reserveFleetSizeBox->setValue(static_cast<int>(info.IsReinforcementAllowed));
    m_fuelPointBox->setValue(CorrectedFuel(static_cast<int>(info.FpPercentage)));
    m_destroyerWeaponBox->setValue(static_cast<int>(info.DestroyerWeapons));
    m_submarineWeaponBox->setValue(static_cast<int>(info.SubmarineWeapons));
    m_logPageBox->setValue(static_cast<int>(info.ReserveFleetSize));
}

void CAdvancedRuleSettingsCollection::ChangeToDefaultValue()
{
    if (m_gameEdit == nullptr) return;
    ResetAdvancedSettings(*m_gameEdit);
    ChangeToCurrentValue();
}

void CAdvancedRuleSettingsCollection::RestrictSizeRange()
{
    if (m_gameEdit == nullptr) return;
    const MapPos& size = m_gameEdit->GetInfo().Map.Size;
    ValidateSizeRange(static_cast<int>(size.x), static_cast<int>(size.y));
}

void CAdvancedRuleSettingsCollection::ValidateSizeRange(int row, int col)
{
    m_fleetSizeBox->setMaximum(std::min(20, row * col));
}

void CAdvancedRuleSettingsCollection::CheckValue()
{
    m_fuelPointBox->setValue(CorrectedFuel(m_fuelPointBox->value()));
}

void CAdvancedRuleSettingsCollection::Apply(GameEditInfo& info)
{
    info.IsPanelEffectEnabled = m_panelEffectBox->currentData().toBool();
    info.IsStealthEnabled = m_stealthModeBox->currentData().toBool();
    if (info.Map.Id == 0) {
        MapData& map = info.Map;
        map.SpecialPanelCount = info.IsPanelEffectEnabled ? -1 : 0;
        map.MaxReefs = -1;
        map.MaxShallows = -1;
        map.MaxFogs = info.IsStealthEnabled ? -1 : 0;
        map.MaxHighWaves = -1;
        map.StageCode = 0;
    }
    info.SurfacingCycle = static_cast<std::uint32_t>(m_surfacingCycleBox->value());
    info.FleetSize = static_cast<std::uint32_t>(m_fleetSizeBox->value());
    info.IsReinforcementAllowed = static_cast<std::uint32_t>(m_reserveFleetSizeBox->value());
    info.FpPercentage = static_cast<std::uint32_t>(CorrectedFuel(m_fuelPointBox->value()));
    info.DestroyerWeapons = static_cast<std::uint32_t>(m_destroyerWeaponBox->value());
    info.SubmarineWeapons = static_cast<std::uint32_t>(m_submarineWeaponBox->value());
    info.ReserveFleetSize = static_cast<std::uint32_t>(m_logPageBox->value());
}

// --- buttons --------------------------------------------------------------

CSettingsButtonCollection::CSettingsButtonCollection(CGameEdit* pGameEdit, QGraphicsItem* parent)
    : CSettingsCollection(nullptr, parent), m_gameEdit(pGameEdit),
      m_defaultButton(new CPushButton(tr("Default"), Sound::SeDefaultSelected)),
      m_advancedButton(new CPushButton(tr("Advanced Settings"), Sound::SeDefaultSelected)),
      m_nextButton(new CPushButton(tr("Next"), Sound::SeNextStep)),
      m_prevButton(new CPushButton(tr("Prev"), Sound::SeDefaultCanceled))
{
    for (CPushButton* button : {m_defaultButton, m_advancedButton, m_nextButton, m_prevButton})
        button->SetUp();
    Build();
    connect(m_defaultButton, &QPushButton::clicked, this, &CSettingsButtonCollection::DefaultButtonClicked);
    connect(m_advancedButton, &QPushButton::clicked, this,
            &CSettingsButtonCollection::AdvSettingButtonClicked);
    connect(m_nextButton, &QPushButton::clicked, this, &CSettingsButtonCollection::NextSequenceButtonClicked);
    connect(m_prevButton, &QPushButton::clicked, this,
            &CSettingsButtonCollection::PreviousSequenceButtonClicked);
    connect(m_advancedButton, &QPushButton::clicked, this, &CSettingsButtonCollection::SwitchButton);
    connect(m_defaultButton, &QPushButton::clicked, this, &CSettingsButtonCollection::SwitchButton);
}

void CSettingsButtonCollection::Apply(GameEditInfo&) {}

void CSettingsButtonCollection::Build()
{
    std::vector<CWidgetItem*> group;
    QGraphicsItem* row = AddRow(QString(), m_advancedButton, nullptr, QString());
    auto* advanced = dynamic_cast<CWidgetItem*>(row);
    if (m_advancedButton->text() == QLatin1String("Advanced Settings"))
        advanced->setMinimumWidth(advanced->size().width() + 10);
    else
        group.push_back(advanced);
    for (CPushButton* button : {m_defaultButton, m_prevButton, m_nextButton}) {
        row = AddRow(QString(), button, row, QString());
        auto* item = dynamic_cast<CWidgetItem*>(row);
        item->setMinimumWidth(item->size().width() * 1.5);
        group.push_back(item);
    }
    qreal widest = 0;
    for (CWidgetItem* item : group) widest = std::max(widest, item->size().width());
    for (CWidgetItem* item : group) {
        item->setMinimumWidth(static_cast<int>(widest));
        item->resize(static_cast<int>(widest), item->size().height());
    }
    m_defaultButton->graphicsProxyWidget()->hide();
}

void CSettingsButtonCollection::SwitchButton()
{
    QGraphicsProxyWidget* advanced = m_advancedButton->graphicsProxyWidget();
    QGraphicsProxyWidget* defaults = m_defaultButton->graphicsProxyWidget();
    if (!advanced->isVisible()) {
        defaults->hide();
        advanced->show();
        m_advancedButton->setFocus(Qt::OtherFocusReason);
    } else {
        defaults->show();
        advanced->hide();
        m_defaultButton->setFocus(Qt::OtherFocusReason);
    }
}

// --- scene ----------------------------------------------------------------

CRuleSettingsScene::CRuleSettingsScene(CGameEdit* pGameEdit, QObject* parent)
    : CGameScene(QRectF(0, 0, 302, 598), parent), m_gameEdit(pGameEdit)
{
    setObjectName(QStringLiteral("RuleSettings"));
    if (m_gameEdit != nullptr) {
        const std::uint32_t networkPlayers = m_gameEdit->GetInfo().TeamCount;
        m_gameEdit->SetRule(m_gameEdit->GetInfo().Rule, MapPos(5, 5));
        m_gameEdit->GetInfo().TeamCount = networkPlayers;
    }
    Clear();
}

void CRuleSettingsScene::Clear()
{
    delete m_basic;
    delete m_advanced;
    delete m_buttons;
    m_basic = new CRuleSettingsCollection(m_gameEdit);
    m_advanced = new CAdvancedRuleSettingsCollection(m_gameEdit);
    m_buttons = new CSettingsButtonCollection(m_gameEdit);
    addItem(m_basic);
    addItem(m_advanced);
    addItem(m_buttons);
    m_basic->setZValue(2);
    m_advanced->setZValue(1);
    m_buttons->setZValue(0);
    m_advanced->Hide();

    connect(m_basic, &CRuleSettingsCollection::MapSizeChanged, m_advanced,
            &CAdvancedRuleSettingsCollection::ValidateSizeRange);
    connect(m_buttons, &CSettingsButtonCollection::AdvSettingButtonClicked, this,
            &CRuleSettingsScene::OpenAdvancedSettings, Qt::DirectConnection);
    connect(m_buttons, &CSettingsButtonCollection::AdvSettingButtonClicked, this,
            &CRuleSettingsScene::AdjustLocation);
    connect(m_buttons, &CSettingsButtonCollection::PreviousSequenceButtonClicked, this,
            &CRuleSettingsScene::SendPreviousCode);
    connect(m_buttons, &CSettingsButtonCollection::NextSequenceButtonClicked, this,
            &CRuleSettingsScene::SendNextCode);
    connect(m_buttons, &CSettingsButtonCollection::DefaultButtonClicked, m_advanced,
            &CAdvancedRuleSettingsCollection::Hide);
    connect(m_buttons, &CSettingsButtonCollection::DefaultButtonClicked, m_advanced,
            &CAdvancedRuleSettingsCollection::ChangeToDefaultValue);
    connect(m_buttons, &CSettingsButtonCollection::DefaultButtonClicked, this,
            &CRuleSettingsScene::AdjustLocation);
    connect(m_basic, &CSettingsCollection::HelpSent, this, &CRuleSettingsScene::Hovered);
    connect(m_advanced, &CSettingsCollection::HelpSent, this, &CRuleSettingsScene::Hovered);

    // Tab in reading order: basic rows, advanced rows, then the buttons; the
    // chain starts at the first row (the scene keeps its start from earlier rows).
    std::vector<QWidget*> order;
    for (const CSettingsCollection* collection :
         {static_cast<CSettingsCollection*>(m_basic), static_cast<CSettingsCollection*>(m_advanced)}) {
        for (int row = 0; row < collection->GetRowCount(); ++row) {
            if (CWidgetItem* item = collection->GetWidgetItem(row)) order.push_back(item->widget());
            if (auto* frame = dynamic_cast<CFramedRow*>(collection->GetRowItem(row))) {
                order.push_back(frame->GetFirstWidgetItem()->widget());
                order.push_back(frame->GetSecondWidgetItem()->widget());
            }
        }
    }
    for (QWidget* button : {static_cast<QWidget*>(m_buttons->GetAdvancedButton()),
                            static_cast<QWidget*>(m_buttons->GetDefaultButton()),
                            static_cast<QWidget*>(m_buttons->GetPrevButton()),
                            static_cast<QWidget*>(m_buttons->GetNextButton())})
        order.push_back(button);
    QGraphicsWidget::setTabOrder(nullptr, order.front()->graphicsProxyWidget());
    for (std::size_t i = 1; i < order.size(); ++i) {
        QGraphicsProxyWidget* before = order[i - 1]->graphicsProxyWidget();
        QGraphicsProxyWidget* after = order[i]->graphicsProxyWidget();
        if (before != nullptr && after != nullptr) QGraphicsWidget::setTabOrder(before, after);
    }
    AdjustLocation();
    emit Rebuilt();
}

void CRuleSettingsScene::OpenAdvancedSettings()
{
    if (m_gameEdit == nullptr) return;
    GameEditInfo info = m_gameEdit->GetInfo();
    m_basic->Apply(info);
    m_gameEdit->GetInfo() = info;
    m_advanced->Show();
    m_advanced->ChangeToCurrentValue();
}

void CRuleSettingsScene::UpdateAll()
{
    if (m_gameEdit == nullptr) return;
    GameEditInfo info = m_gameEdit->GetInfo();
    m_basic->Apply(info);
    if (m_advanced->isVisible()) {
        m_advanced->Apply(info);
        m_gameEdit->GetInfo() = info;
        return;
    }
    m_gameEdit->GetInfo() = info;
    m_gameEdit->UpdateDerivedSettings();
}

void CRuleSettingsScene::SendNextCode()
{
    if (!m_buttons->GetNextButton()->isEnabled()) return;
    m_buttons->GetNextButton()->setEnabled(false);
    UpdateAll();
    emit Selected(CRuleSettingsSequence::NextCode);
}

void CRuleSettingsScene::SendPreviousCode()
{
    emit Selected(CRuleSettingsSequence::PrevCode);
}

void CRuleSettingsScene::AdjustLocation()
{
    const int width =
        std::max({m_basic->GetRequiredWidth(), m_advanced->GetRequiredWidth(), m_buttons->GetRequiredWidth(),
                  static_cast<int>(sceneRect().width()) - 2 * Inset});
    m_basic->LayoutRows(width);
    m_advanced->LayoutRows(width);
    m_buttons->LayoutRowsOfLast(width);
    m_basic->setPos(Inset, Inset);
    qreal y = m_basic->y() + m_basic->rect().height() + Gap;
    if (m_advanced->isVisible()) {
        m_advanced->setPos(Inset, y);
        y = m_advanced->y() + m_advanced->rect().height() + Gap;
    }
    m_buttons->setPos(Inset, y);
    setSceneRect(0, 0, std::max(sceneRect().width(), static_cast<qreal>(width + 2 * Inset)),
                 m_buttons->y() + m_buttons->rect().height() + Gap);
}

CRuleSettingsView::CRuleSettingsView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    setMinimumSize(304, 380);
    setBaseSize(304, 600);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(PanelColor);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(FrameStyleSheet() + ScrollBarStyleSheet());
    SetBackground(QStringLiteral(":/Resources/SettingsMenuLabel.png"));
    // A wide mission name widens the pane rather than hiding its label.
    if (pScene != nullptr) {
        connect(pScene, &QGraphicsScene::sceneRectChanged, this, [this](const QRectF& rect) {
            setMinimumWidth(std::max(304, static_cast<int>(rect.width()) + 2));
        });
    }
}

void CRuleSettingsView::Show()
{
    show();
}

void CRuleSettingsView::Hide()
{
    hide();
}

// --- sequence -------------------------------------------------------------

CRuleSettingsSequence::CRuleSettingsSequence() : CSetupSequence(SequenceType::RuleSettings, 0xDF)
{
    setObjectName(QStringLiteral("RuleSettingsSequence"));
}

void CRuleSettingsSequence::Init()
{
    GetGameEdit();
    GetGameMap();
    const SceneSet* scenes = GetSceneSet();
    m_mapScene = scenes->Get(SceneSlot::GameMap);
    m_scene = scenes->Get<CRuleSettingsScene>(SceneSlot::RuleSettings);
    m_messageScene = scenes->Get(SceneSlot::Message);
    if (m_scene != nullptr) {
        m_scene->GetBasic()->ConnectMapScene(m_mapScene);
        connect(m_scene, &CRuleSettingsScene::Rebuilt, this,
                [this] { m_scene->GetBasic()->ConnectMapScene(m_mapScene); });
        connect(m_scene, &CRuleSettingsScene::Selected, this,
                static_cast<void (CGameSequence::*)(MessageCode)>(&CGameSequence::Update),
                Qt::UniqueConnection);
        connect(m_scene, &CRuleSettingsScene::Hovered, this, &CRuleSettingsSequence::ShowHelpMessage,
                Qt::UniqueConnection);
    }
    SetInstalled();
}

void CRuleSettingsSequence::Start()
{
    ResetLeaving();
    const CUnit* unit = GetMyUnit();
    if (unit != nullptr && unit->GetUnitType() == UnitWatching) {
        Update(NextCode);
        return;
    }
    // The widgets anew from the rules of this game.
    if (m_scene != nullptr) m_scene->Clear();
    Show();
    GetScreenSound()->PlayBgm(Sound::BgmRelaxation);
    ShowHelpMessage(QString());
}

void CRuleSettingsSequence::Show()
{
    for (CGameScene* scene : {m_mapScene, static_cast<CGameScene*>(m_scene), m_messageScene}) {
        if (scene != nullptr && scene->GetView() != nullptr) scene->GetView()->Show();
    }
    show();
    for (CGameScene* scene : {m_mapScene, m_messageScene}) {
        if (scene != nullptr && scene->GetView() != nullptr)
            scene->AdjustViewPosition(scene->GetView()->size());
    }
    if (m_messageScene != nullptr && m_messageScene->GetView() != nullptr)
        m_messageScene->GetView()->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->setFocus(Qt::OtherFocusReason);
        m_scene->GetBasic()->GetLevelBox()->setFocus(Qt::OtherFocusReason);
    }
}

void CRuleSettingsSequence::ShowHelpMessage(QString message)
{
    MessagePane::Show(m_messageScene,
                      message.isEmpty() ? tr("Set up the Battle Rules, if you change them.") : message);
}

void CRuleSettingsSequence::Update(MessageCode code)
{
    CGameEdit* rules = GetGameEdit();
    if (code == NextCode) {
        if (!BeginLeaving()) return;
        const GameEditInfo& info = rules->GetInfo();
        GetGameMap()->Build(info.Map);
        const CUnit* unit = GetMyUnit();
        if (info.TeamCount != 0 || (unit != nullptr && unit->GetProfile().OriginFlag == HostClient)) {
            CGameSequence* previous = CSequenceManager::GetInstance()->GetPrevSequence();
            SequenceArgs args;
            args.pPrevious = previous != nullptr && previous->GetType() == SequenceType::PlayerSettings
                                 ? previous
                                 : nullptr;
            args.pCaller = this;
            PushSequence(SequenceType::NetworkConnection, args);
        } else if (rules->HasRule(TagMatch)) {
            PushSequence(SequenceType::TagTeamSelection);
        } else {
            CUnitFactory* factory = GetUnitFactory();
            if (factory != nullptr && rules->HasMission(MissionPullout) && info.PlayerCount > 2) {
                const std::vector<CUnit*> units = factory->GetUnits();
                for (const std::set<std::uint32_t>& team : info.Teams) {
                    for (CUnit* a : units) {
                        for (CUnit* b : units) {
                            if (a != b && team.count(a->GetProfile().Id) != 0 &&
                                team.count(b->GetProfile().Id) != 0)
                                a->JoinTeam(*b);
                        }
                    }
                }
            }
            PushSequence(SequenceType::FleetFormation);
        }
    } else if (code == PrevCode) {
        if (!BeginLeaving()) return;
        rules->SetRule(rules->GetInfo().Rule, MapPos(5, 5));
        GetGameMap()->Resize(rules->GetInfo().Map.Size.x, rules->GetInfo().Map.Size.y);
        ReturnToPrevious();
    }
}

} // namespace Marevane
