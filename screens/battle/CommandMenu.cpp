#include "screens/battle/CommandMenu.h"

#include "gui/Fonts.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "model/Ship.h"
#include "model/Unit.h"
#include "model/texts/NameTables.h"
#include "sound/SeManager.h"

#include <QAction>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

namespace Marevane {

namespace {

// Sound keys of the entries without a command of their own.
constexpr int AuxiliaryKey = 10;
constexpr int CloseKey = 100;
constexpr int ReinforceEntryKey = 49;
constexpr int ReinforceActionKey = 50;

bool IsSelectedSoundPlaying()
{
    return Sound::CSeManager::HasInstance() &&
           Sound::CSeManager::GetInstance()->IsPlaying(Sound::SeDefaultSelected);
}

QString StyleSheet()
{
    const FontFamilies& families = ApplicationFontFamilies();
    QStringList names;
    for (const QString& family : {families.japanese, families.text})
        if (!family.isEmpty()) names << QLatin1Char('"') + family + QLatin1Char('"');
    names << QStringLiteral("sans-serif");
    return QStringLiteral("QMenu { background: rgba(35, 70, 150, 165); border: 1px solid rgb(35, 35, 85);"
                          " color: rgb(235, 235, 235); font-family: %1; font-size: 12px; }"
                          " QMenu::item { background: transparent; }"
                          " QMenu::item:selected { background: rgba(235, 235, 235, 45); }"
                          " QMenu::item:disabled { color: rgb(180, 180, 180); }")
        .arg(names.join(QStringLiteral(", ")));
}

} // namespace

CCommandMenu::CCommandMenu(QWidget* parent) : QMenu(parent)
{
    SetLook(this);
    connect(this, &QMenu::aboutToHide, this, [this] {
        emit MenuClosed();
        // The selection's own sound stands for the closing. A check left over
        // from an earlier showing must not read this showing's choice.
        const unsigned showing = m_showing;
        QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::MenuCloseSound), this, [this, showing] {
            if (showing != m_showing) return;
            if (!IsSelectedSoundPlaying() && !m_wasChosen) PlaySoundEffect(Sound::SeDefaultCanceled, true);
            m_wasChosen = false;
        });
    });
}

void CCommandMenu::SetLook(QMenu* pMenu)
{
    pMenu->setWindowFlags(pMenu->windowFlags() | Qt::FramelessWindowHint);
    pMenu->setAttribute(Qt::WA_TranslucentBackground);
    pMenu->setStyleSheet(StyleSheet());
}

QAction* CCommandMenu::GetAuxiliaryEntry() const
{
    return m_auxiliaryMenu != nullptr ? m_auxiliaryMenu->menuAction() : nullptr;
}

QAction* CCommandMenu::GetReinforceEntry() const
{
    return m_reinforceMenu != nullptr ? m_reinforceMenu->menuAction() : nullptr;
}

void CCommandMenu::Build(CUnit* pUnit)
{
    // The old entries may be the ones whose signal got us here: they go
    // once control is back in the event loop.
    clear();
    if (m_entries != nullptr) m_entries->deleteLater();
    for (QMenu* menu : {m_auxiliaryMenu, m_reinforceMenu})
        if (menu != nullptr) menu->deleteLater();
    m_reinforceActions.clear();
    m_ship = nullptr;
    m_panel = nullptr;
    m_unit = pUnit;
    m_entries = new QObject(this);
    SetUpEntries();
}

void CCommandMenu::SetUpEntries()
{
    auto make = [this](const QString& text, CommandCode code, void (CCommandMenu::*slot)()) {
        auto* action = new QAction(text, m_entries);
        if (code != CommandNone) action->setData(static_cast<uint>(code));
        connect(action, &QAction::triggered, this, slot);
        connect(action, &QAction::hovered, this, &CCommandMenu::HoverCommand);
        return action;
    };
    m_attack = make(tr("&Attack"), CommandAttack, &CCommandMenu::SelectAttackCommand);
    m_move = make(tr("&Move"), CommandMove, &CCommandMenu::SelectMoveCommand);
    m_torpedo = make(tr("&Torpedo"), CommandTorpedo, &CCommandMenu::SelectTorpedoCommand);
    m_mine = make(tr("M&ine"), CommandMine, &CCommandMenu::SelectMineCommand);
    m_changeFlagship =
        make(tr("Change F&lagship"), CommandChangeFlagship, &CCommandMenu::SelectLeaderChangeCommand);
    m_resign = make(tr("&Resign"), CommandResign, &CCommandMenu::SelectResignCommand);
    m_pass = make(tr("&Pass"), CommandPass, &CCommandMenu::SelectPassCommand);
    m_close = make(tr("&Close"), CommandNone, &CCommandMenu::Close);
    if (m_unit != nullptr) {
        for (const auto& entry : m_unit->GetShips()) {
            const QString name =
                CGUIShipNames::GetInstance().Get(static_cast<ShipType>(entry.second->GetType()));
            QAction* action = make(QStringLiteral("&%1. %2").arg(entry.first).arg(name), CommandNone,
                                   &CCommandMenu::SelectReinforceCommand);
            action->setData(static_cast<uint>(entry.first));
            m_reinforceActions.append(action);
        }
    }

    addAction(m_move);
    addAction(m_attack);
    m_auxiliaryMenu = addMenu(tr("Au&xiliary"));
    SetLook(m_auxiliaryMenu);
    m_auxiliaryMenu->addAction(m_torpedo);
    m_auxiliaryMenu->addAction(m_mine);
    addAction(m_pass);
    m_separatorA = addSeparator();
    m_reinforceMenu = addMenu(tr("Rein&force"));
    SetLook(m_reinforceMenu);
    m_reinforceMenu->addActions(m_reinforceActions);
    addAction(m_changeFlagship);
    addAction(m_resign);
    m_separatorB = addSeparator();
    addAction(m_close);
    for (QMenu* menu : {m_auxiliaryMenu, m_reinforceMenu})
        connect(menu->menuAction(), &QAction::hovered, this, &CCommandMenu::HoverCommand);
}

void CCommandMenu::Open(QPoint pos, CShip* pShip)
{
    if (m_unit == nullptr || m_attack == nullptr) return;
    m_ship = pShip;
    if (pShip != nullptr) m_panel = pShip->GetCurrentPanel();
    const bool canAct = m_unit->CanAct();
    const bool hasFlagship = m_unit->HasFlagship();

    m_pass->setVisible(!canAct);
    m_pass->setEnabled(!canAct);
    m_changeFlagship->setVisible(hasFlagship);
    const bool hasShipCommands = pShip != nullptr && canAct;
    for (QAction* action : {m_attack, m_move, m_torpedo, m_mine}) action->setVisible(hasShipCommands);
    GetAuxiliaryEntry()->setVisible(hasShipCommands);
    if (!hasShipCommands) {
        m_separatorA->setVisible(m_pass->isVisible());
        m_auxiliaryMenu->setEnabled(false);
        m_changeFlagship->setVisible(false);
    } else {
        m_separatorA->setVisible(true);
        const ShipConfigSet& config = pShip->GetConfig();
        const ShipProfile& profile = pShip->GetProfile();
        const bool isSinking = pShip->IsSinking();
        const bool isShort =
            profile.Status == ShipStatusFuelShortage || profile.Condition == ShipStatusFuelShortage;
        m_attack->setEnabled(!isSinking && !(isShort && config.AttackFp != 0) &&
                             pShip->CanExecuteCommand(CommandAttack));
        m_move->setEnabled(!isSinking && !isShort && config.MoveFp != 0 &&
                           !(config.Fp != 0 && profile.Fp < config.MoveFp) && pShip->GetMoveRange() != 0);
        m_torpedo->setEnabled(!isSinking && !(isShort && config.TorpedoFp != 0) && pShip->CanFireTorpedo());
        m_mine->setEnabled(!isSinking && pShip->CanLayMine());
        m_auxiliaryMenu->setEnabled(config.WeaponStock != 0);
        const std::uint32_t shipId = pShip->GetShipId();
        m_changeFlagship->setVisible(hasFlagship && m_unit->IsFlagship(shipId));
        m_changeFlagship->setEnabled(m_unit->HasShip(shipId) &&
                                     m_unit->CanShipExecuteCommand(shipId, CommandChangeFlagship));
    }

    int enabledCount = 0;
    for (QAction* action : m_reinforceActions) {
        const std::uint32_t shipId = action->data().toUInt();
        // A ship that left the side is no longer offered.
        if (!m_unit->HasShip(shipId)) {
            action->setVisible(false);
            action->setEnabled(false);
            continue;
        }
        const bool isEnabled = m_unit->CanShipExecuteCommand(shipId, CommandReinforce);
        action->setEnabled(isEnabled);
        action->setVisible(m_unit->GetShip(shipId)->IsSinking());
        if (isEnabled) ++enabledCount;
    }
    m_reinforceMenu->setEnabled(m_unit->GetReinforcementsLeft() != 0 && enabledCount > 0);
    m_wasChosen = false;
    ++m_showing;
    popup(pos);
}

void CCommandMenu::Open(QPoint pos, CPanel* pPanel)
{
    m_panel = pPanel;
    Open(pos, static_cast<CShip*>(nullptr));
    m_panel = pPanel;
}

void CCommandMenu::Close()
{
    hide();
}

void CCommandMenu::Select(CommandCode code, CShip* pShip)
{
    m_wasChosen = true;
    PlaySoundEffect(Sound::SeDefaultSelected, true);
    emit MenuSelected(code, pShip);
}

void CCommandMenu::SelectAttackCommand()
{
    Select(CommandAttack, m_ship);
}

void CCommandMenu::SelectMoveCommand()
{
    Select(CommandMove, m_ship);
}

void CCommandMenu::SelectMineCommand()
{
    Select(CommandMine, m_ship);
}

void CCommandMenu::SelectTorpedoCommand()
{
    Select(CommandTorpedo, m_ship);
}

void CCommandMenu::SelectReinforceCommand()
{
    const auto* action = qobject_cast<const QAction*>(sender());
    if (action == nullptr || m_unit == nullptr) return;
    const std::uint32_t shipId = action->data().toUInt();
    // The ship may have left the side since the menu opened.
    if (!m_unit->HasShip(shipId)) return;
    Select(CommandReinforce, m_unit->GetShip(shipId));
}

void CCommandMenu::SelectLeaderChangeCommand()
{
    Select(CommandChangeFlagship, m_ship);
}

void CCommandMenu::SelectResignCommand()
{
    Select(CommandResign, nullptr);
}

void CCommandMenu::SelectPassCommand()
{
    Select(CommandPass, nullptr);
}

void CCommandMenu::HoverCommand()
{
    Hover(qobject_cast<const QAction*>(sender()));
}

void CCommandMenu::Hover(const QAction* pAction)
{
    CommandCode code = CommandNone;
    QString subMessage;
    int key = 0;
    if (pAction == nullptr || pAction->isSeparator()) {
        // nothing to tell
    } else if (pAction == GetAuxiliaryEntry()) {
        subMessage = tr("Auxiliary Weapon Menu") + QLatin1Char('\n') +
                     tr("Select an auxiliary weapon, with uses limited by the number.");
        key = AuxiliaryKey;
    } else if (pAction == m_close) {
        subMessage = tr("Close the Command Menu.");
        key = CloseKey;
    } else if (pAction == GetReinforceEntry()) {
        code = CommandReinforce;
        key = ReinforceEntryKey;
    } else if (m_reinforceActions.contains(const_cast<QAction*>(pAction))) {
        code = CommandReinforce;
        key = ReinforceActionKey + m_reinforceActions.indexOf(const_cast<QAction*>(pAction));
    } else {
        code = static_cast<CommandCode>(pAction->data().toUInt());
        key = static_cast<int>(code);
    }
    if (key != 0 && key != m_hoverKey) {
        m_hoverKey = key;
        PlaySoundEffect(Sound::SeDefaultPointed, true);
    }
    emit CommandHovered(code, subMessage);
}

void CCommandMenu::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Backspace) {
        PlaySoundEffect(Sound::SeDefaultCanceled, true);
        // The closing sound is this one.
        m_wasChosen = true;
        hide();
        return;
    }
    QMenu::keyPressEvent(event);
}

void CCommandMenu::leaveEvent(QEvent* event)
{
    Hover(nullptr);
    QMenu::leaveEvent(event);
}

void CCommandMenu::mouseMoveEvent(QMouseEvent* event)
{
    Hover(actionAt(event->pos()));
    QMenu::mouseMoveEvent(event);
}

} // namespace Marevane
