// The side pane during a battle. A player sees the own name and a full card
// per ship; a watcher sees one column per side, its name and a mini card
// per ship. The cards follow the ships' live profiles, the ship the command
// menu is open for is highlighted, the arrow keys walk through the cards,
// and clicks ask for a status detail screen.
#pragma once

#include "screens/battle/SideScene.h"

#include <QGraphicsRectItem>
#include <QGraphicsTextItem>

#include <cstdint>
#include <map>

namespace Marevane {

class CShip;
class CShipProfileItem;

// A side's name that can be clicked, hovered and focused.
class CPlayerNameItem : public QGraphicsTextItem {
    Q_OBJECT
  public:
    explicit CPlayerNameItem(CUnit* pPlayer, QGraphicsItem* parent = nullptr);

    CUnit* GetPlayer() const { return m_player; }
    void SetWidth(qreal width);
    bool IsHighlighted() const { return m_highlight->brush().style() != Qt::NoBrush; }

  signals:
    void Clicked(Marevane::CUnit* pPlayer);
    void Hovered(Marevane::CUnit* pPlayer);

  protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    void SetHighlight(bool isOn);

    CUnit* m_player;
    QGraphicsRectItem* m_highlight;
};

class CPlayerStatusScene : public CSideScene {
    Q_OBJECT
  public:
    using CardTable = std::map<std::uint32_t, CShipProfileItem*>;

    explicit CPlayerStatusScene(QObject* parent = nullptr);

    // Watching: no own side, or an own side that only watches.
    bool IsWatching() const;
    // The card of a side's ship, or null.
    CShipProfileItem* FindCard(const CUnit* pUnit, std::uint32_t shipId) const;
    int CountUnits() const { return static_cast<int>(m_items.size()); }
    const CardTable* FindCards(const CUnit* pUnit) const;
    CPlayerNameItem* FindNameItem(const CUnit* pUnit) const;
    CUnit* GetFocusedUnit() const { return m_focusedUnit; }
    std::uint32_t GetFocusedShipId() const { return m_focusedShipId; }

  signals:
    void ShipProfileSelected(const Marevane::ShipProfile* pShipProfile);
    void PlayerDataSent(Marevane::CUnit* pUnit, Marevane::CShip* pShip);

  public slots:
    void UpdateAll() override;
    void Update(const Marevane::ShipProfile* pShipProfile) override;
    void Clear() override;
    void SetShipSelected(Marevane::CUnit* pUnit, const Marevane::CShip* pShip);
    void ClearFocus();

  public:
    using CSideScene::Update;

  protected slots:
    void SendPlayerData(Marevane::CUnit* pPlayer);
    void SendShipData(const Marevane::ShipProfile* pShipProfile);

  private slots:
    void FocusShipData(const Marevane::CShipIcon* pShipIcon);

  protected:
    void CreateItems() override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void CreateAudienceItems();
    void AddCard(CUnit* pUnit, std::uint32_t shipId, CShipProfileItem* card);
    CPlayerNameItem* AddNameItem(CUnit* pUnit);
    bool IsUpToDate() const;
    void FocusPreviousShip();
    void FocusNextShip();
    void FocusFirstShip();
    void FocusPlayer(std::uint32_t index);
    // Gives the keyboard focus to the first enabled card of the unit among
    // the ship ids, in the order given; answers whether one took it.
    template <class Ids> bool FocusFirstEnabled(CUnit* pUnit, const Ids& ids);
    void Highlight();

    std::map<const CUnit*, CardTable> m_items;
    std::map<const CUnit*, CPlayerNameItem*> m_names;
    CUnit* m_focusedUnit = nullptr;
    std::uint32_t m_focusedShipId = 0;
};

} // namespace Marevane
