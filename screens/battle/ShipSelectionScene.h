// The ship list beside the map while a fleet is formed: one card per ship
// type, dragged onto the map or chosen by click or Return, and the buttons
// "OK" (the fleet is complete), "Reset" (take every ship back) and "Prev".
// It decides which types may still be chosen: none once the fleet is full,
// and no oiler as the first ship.
#pragma once

#include "model/Records.h"
#include "model/Types.h"
#include "screens/battle/SideScene.h"

#include <QGraphicsProxyWidget>

#include <array>
#include <cstdint>
#include <map>
#include <vector>

class QGraphicsPixmapItem;

namespace Marevane {

class CPushButton;
class CShipProfileItem;

class CShipSelectionScene : public CSideScene {
    Q_OBJECT
  public:
    // The ship types in the order of the list.
    static constexpr std::array<ShipType, 4> ShipTypes = {ShipTypeBattleship, ShipTypeDestroyer,
                                                          ShipTypeSubmarine, ShipTypeOiler};

    explicit CShipSelectionScene(const GameEditInfo* pRules, QObject* parent = nullptr);
    ~CShipSelectionScene() override;

    // The fleet limit of the own side, and how many ships it has placed.
    std::uint32_t GetFleetLimit() const;
    std::uint32_t GetPlacedCount() const;

    CShipProfileItem* GetCard(ShipType type) const;
    ShipType GetFocusedType() const { return m_focusedType; }
    CPushButton* GetOkButton() const { return m_ok; }
    CPushButton* GetResetButton() const { return m_reset; }
    CPushButton* GetPrevButton() const { return m_prev; }

  signals:
    void OkButtonPushed();
    void ResetButtonPushed();
    void PrevButtonPushed(Marevane::MessageCode code);
    void ShipProfileSelected(const Marevane::CShipIcon* pShipIcon);
    void ShipDragStarted(const Marevane::CShipIcon* pShipIcon);
    void ShipDragStopped(const Marevane::CShipIcon* pShipIcon);

  public slots:
    void UpdateAll() override;
    void Update(const Marevane::ShipProfile* pShipProfile) override;
    void Clear() override;
    void SetSelectable(bool isEnabled);
    void SetButtonEnabled(bool isEnabled);

  public:
    using CSideScene::Update;

  protected:
    void CreateItems() override;
    void keyPressEvent(QKeyEvent* event) override;
    // Tab walks the enabled cards, then the enabled buttons.
    bool event(QEvent* event) override;

  private:
    void BuildButtons();
    bool IsPlayer() const;
    bool IsCardEnabled(ShipType type) const;
    void FocusCard(ShipType type);
    void FocusNextPrevious(bool next);
    // Moves the focus from the focused card to the next (or previous) enabled one.
    void MoveCardFocus(bool next);
    void FocusButton(CPushButton* pButton);
    // The button with the keyboard focus, or null.
    CPushButton* FocusedButton() const;

    const GameEditInfo* m_rules;
    CPushButton* m_ok = nullptr;
    CPushButton* m_reset = nullptr;
    CPushButton* m_prev = nullptr;
    QGraphicsProxyWidget* m_buttonsProxy = nullptr; // OK and Reset
    QGraphicsProxyWidget* m_prevProxy = nullptr;
    QGraphicsPixmapItem* m_label = nullptr;
    // The profile each card shows until the owner gives it a live one.
    std::map<ShipType, ShipProfile> m_profiles;
    std::map<ShipType, CShipProfileItem*> m_cards;
    ShipType m_focusedType = ShipTypeNone;
};

} // namespace Marevane
