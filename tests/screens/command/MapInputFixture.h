// A battle map ready for a player's command: the scene in its view, the
// stand-in turn manager with the first side to play, and that side as the
// local player, whose input waits for a panel.
#pragma once

#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "model/Panel.h"
#include "screens/battle/CommandInputManager.h"
#include "screens/battle/CommandMenu.h"
#include "screens/battle/GameMapScene.h"
#include "tests/screens/kit/ScreenTest.h"

#include <QAction>
#include <QKeyEvent>

#include <map>
#include <memory>
#include <string>

namespace Marevane::Testing {

// Panels as "R<row>C<column>" with their cost, in a stable order.
using PanelCosts = std::map<std::string, uint>;

class MapInputTest : public ScreenTest {
  protected:
    // A board with the sides and no ships; tests place what they need.
    void Build(std::uint32_t rows, std::uint32_t columns, std::uint32_t sides = 2)
    {
        world = std::make_unique<CBattleWorld>(CBattleWorld::Options{rows, columns, sides, 0, 1, false});
        scene = std::make_unique<CGameMapScene>(&world->Board());
        view = std::make_unique<CGameMapView>(scene.get());
        view->resize(800, 600);
    }
    // Call once the ships stand: the sides go to the map and the turn
    // manager, the first side plays and its input waits for a panel.
    void Start()
    {
        scene->SetUnits(world->Sides());
        scene->SetPlayer(world->Side(0));
        turns.TakeSides(world->Sides());
        scene->SetTurnManager(&turns);
        scene->UpdatePanelData();
        scene->GetInputManager()->SetEnabled(true);
    }
    void TearDown() override
    {
        if (scene) scene->GetCommandMenu()->hide();
        view.reset();
        scene.reset();
        world.reset();
        ScreenTest::TearDown();
    }

    CPanelIcon* Icon(std::uint32_t row, std::uint32_t column) const
    {
        return scene->GetPanelIcon(world->Panel(row, column));
    }
    // Lets the side see the panel's own type.
    void Know(std::uint32_t row, std::uint32_t column, std::size_t side = 0)
    {
        world->Panel(row, column)->AddKnownUnit(world->Side(side)->GetId());
        scene->UpdatePanelData();
    }
    PanelCosts Selectable() const
    {
        PanelCosts costs;
        const auto& table = scene->GetSelectablePanels();
        for (auto it = table.cbegin(); it != table.cend(); ++it) {
            const CPanel* panel = it.key()->GetPanel();
            costs["R" + std::to_string(panel->GetX()) + "C" + std::to_string(panel->GetY())] = it.value();
        }
        return costs;
    }
    unsigned State() const { return scene->GetInputManager()->GetState(); }
    QString Notice() const { return scene->GetNotificationBar()->GetText(); }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QCoreApplication::sendEvent(scene.get(), &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QCoreApplication::sendEvent(scene.get(), &release);
    }
    // A key on the open command menu, as the player would press it there.
    void MenuKey(int key, const QString& text = QString())
    {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QCoreApplication::sendEvent(scene->GetCommandMenu(), &press);
    }

    std::unique_ptr<CBattleWorld> world;
    std::unique_ptr<CGameMapScene> scene;
    std::unique_ptr<CGameMapView> view;
    CStandInTurnManager turns;
};

} // namespace Marevane::Testing
