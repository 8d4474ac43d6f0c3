// The pop-up menu from which a player picks the command for one ship of the
// side whose turn it is. It is built for the side before each opening and
// opened with popup(): the choice comes back through MenuSelected, so no
// nested event loop holds the map while a turn may end.
#pragma once

#include "model/Types.h"

#include <QList>
#include <QMenu>
#include <QPoint>
#include <QString>

class QAction;

namespace Marevane {

class CPanel;
class CShip;
class CUnit;

class CCommandMenu : public QMenu {
    Q_OBJECT
  public:
    explicit CCommandMenu(QWidget* parent = nullptr);

    // Rebuilds the entries for the side; the ship and panel are forgotten.
    void Build(CUnit* pUnit);
    CUnit* GetUnit() const { return m_unit; }
    CShip* GetShip() const { return m_ship; }
    CPanel* GetPanel() const { return m_panel; }

    QAction* GetAttackAction() const { return m_attack; }
    QAction* GetMoveAction() const { return m_move; }
    QAction* GetMineAction() const { return m_mine; }
    QAction* GetTorpedoAction() const { return m_torpedo; }
    QAction* GetChangeFlagshipAction() const { return m_changeFlagship; }
    QAction* GetResignAction() const { return m_resign; }
    QAction* GetCloseAction() const { return m_close; }
    QAction* GetPassAction() const { return m_pass; }
    QAction* GetAuxiliaryEntry() const;
    QAction* GetReinforceEntry() const;
    QMenu* GetAuxiliaryMenu() const { return m_auxiliaryMenu; }
    QMenu* GetReinforceMenu() const { return m_reinforceMenu; }
    const QList<QAction*>& GetReinforceActions() const { return m_reinforceActions; }
    // The sound key of the last hovered entry; forgotten at each battle.
    int GetHoverKey() const { return m_hoverKey; }
    void ResetHoverKey() { m_hoverKey = 0; }

  signals:
    void MenuClosed();
    void MenuSelected(Marevane::CommandCode code, Marevane::CShip* pShip);
    void CommandHovered(Marevane::CommandCode code, QString subMessage);

  public slots:
    void Open(QPoint pos, Marevane::CShip* pShip);
    void Open(QPoint pos, Marevane::CPanel* pPanel);
    void Close();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

  private slots:
    void SelectAttackCommand();
    void SelectMoveCommand();
    void SelectMineCommand();
    void SelectTorpedoCommand();
    void SelectReinforceCommand();
    void SelectLeaderChangeCommand();
    void SelectResignCommand();
    void SelectPassCommand();
    void HoverCommand();

  private:
    void Select(CommandCode code, CShip* pShip);
    void Hover(const QAction* pAction);
    void SetUpEntries();
    static void SetLook(QMenu* pMenu);

    CUnit* m_unit = nullptr;
    CShip* m_ship = nullptr;
    CPanel* m_panel = nullptr;
    QAction* m_attack = nullptr;
    QAction* m_move = nullptr;
    QAction* m_mine = nullptr;
    QAction* m_torpedo = nullptr;
    QAction* m_changeFlagship = nullptr;
    QAction* m_resign = nullptr;
    QAction* m_close = nullptr;
    QAction* m_pass = nullptr;
    QAction* m_separatorA = nullptr;
    QAction* m_separatorB = nullptr;
    QList<QAction*> m_reinforceActions;
    QMenu* m_auxiliaryMenu = nullptr;
    QMenu* m_reinforceMenu = nullptr;
    // Owns the entries of one build.
    QObject* m_entries = nullptr;
    int m_hoverKey = 0;
    // A choice (or Escape) was made in this opening: its sound stands.
    bool m_wasChosen = false;
    unsigned m_showing = 0;
};

} // namespace Marevane
