// The narrow pane beside a main scene (player status, ship selection, rule
// settings): the scene base holding the sides of the battle and this
// machine's side, and the view that shows it.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"

#include <QVector>

#include <cstdint>

namespace Marevane {

class CShipIcon;
class CUnit;
struct ShipProfile;

class CSideScene : public CGameScene {
    Q_OBJECT
  public:
    // The index that stands for this machine's own side.
    static constexpr std::uint32_t OwnUnitIndex = 0xFFFFFFFFu;

    explicit CSideScene(QObject* parent = nullptr);

    // Keeps the address of the caller's vector (it must outlive the scene's
    // use of it) and the own side, then builds the items.
    virtual void SetUp(const QVector<CUnit*>* pPlayerList, CUnit* pMyUnit);
    virtual void SetUp(const QVector<CUnit*>* pPlayerList);

    const QVector<CUnit*>* GetPlayerList() const { return m_playerList; }
    CUnit* GetMyUnit() const { return m_myUnit; }

    // The side at a list position, the own side for OwnUnitIndex; null for
    // any other index, so a hover or key path never fails on a stale one.
    CUnit* GetPlayer(std::uint32_t index) const;
    // The first side with that unit id, or null.
    CUnit* FindPlayer(std::uint32_t unitId) const;

  signals:
    // A ship entry was hovered or focused; null when the pointer left.
    void ItemHovered(const Marevane::CShipIcon* pShipIcon);

  public slots:
    void SetPlayerList(const QVector<Marevane::CUnit*>& pPlayerList);
    void SetMyUnit(Marevane::CUnit* pMyUnit);
    void SetSize(QSize size);
    virtual void UpdateAll() = 0;
    virtual void Update(const Marevane::ShipProfile* pShipProfile) = 0;
    void Update();
    virtual void Clear() = 0;

  protected:
    virtual void CreateItems() = 0;

  private:
    const QVector<CUnit*>* m_playerList = nullptr;
    CUnit* m_myUnit = nullptr;
};

// A pane 304 to 454 pixels wide on the side-panel colour, framed but for
// its bottom edge.
class CSideView : public CGameView {
    Q_OBJECT
  public:
    static constexpr int BaseWidth = 304;
    static constexpr int BaseHeight = 380;
    static constexpr int MaxWidth = 454;

    explicit CSideView(QGraphicsScene* pScene, QWidget* parent = nullptr);

  public slots:
    void Show() override;
    void Hide() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace Marevane
