// Lists of numbers about ships and sides: a ship's card followed by its
// status, panel and abilities; and rows of battle statistics for a side or
// a ship (status detail and battle result screens).
#pragma once

#include "gui/Collections.h"

#include <QStringList>

namespace Marevane {

class CShip;
class CShipProfileItem;
class CUnit;

class CShipStatusCollection : public CListCollection {
    Q_OBJECT
  public:
    explicit CShipStatusCollection(const QRectF& rect, QGraphicsItem* parent = nullptr);

    CShipProfileItem* GetHeadItem() const { return m_head; }
    // The card of the ship, then its status, panel and abilities below it.
    void SetShip(const CShip* pShip);

  public slots:
    void Clear() override;
    void AdjustPosition(QSize size) override;

  public:
    using CListCollection::AdjustPosition;

  private:
    CShipProfileItem* m_head = nullptr;
};

class CStatsListCollection : public CListCollection {
    Q_OBJECT
  public:
    explicit CStatsListCollection(const QRectF& rect, QGraphicsItem* parent = nullptr);

    QGraphicsItem* GetHeadItem() const { return m_head; }
    // A side's statistics of this battle (without the score) or of all plays.
    void SetUnitStatistics(const CUnit* pUnit, bool isAllPlay);
    void SetShipStatistics(const CShip* pShip);
    // The result screen's list: a title, the rows, the score emphasised.
    // The battle's record gets its score first.
    void SetUnit(CUnit* pUnit, bool isAllPlay);
    void CreateRows(const QStringList& labels, const QStringList& values);

  public slots:
    void Clear() override;
    void AdjustPosition(QSize size) override;

  public:
    using CListCollection::AdjustPosition;

  private:
    QGraphicsItem* m_head = nullptr;
};

} // namespace Marevane
