// One side of a LAN game as a framed block of texts (player, host, command
// mode, address and port, and for another machine's side whether its rules
// match) with a Select button that runs the row's callback. The connection
// screen lists entries with it, the tag team screen the other sides.
#pragma once

#include "model/Messages.h"

#include <QGraphicsRectItem>
#include <QMetaType>
#include <QObject>
#include <QPointF>

#include <cstdint>
#include <functional>
#include <vector>

class QGraphicsProxyWidget;

namespace Marevane {

class CGameEdit;
class CPushButton;
class CSimpleTextItem;
class CUnit;

// The host id of a side's profile; it keys the rows.
using UnitHash = std::uint64_t;

class CConnectionListItem : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    // The local side's row: no rule line, no Select button.
    CConnectionListItem(CGameEdit* pGameEdit, const UnitProfile* pProfile);
    // Another side's row, from its entry or announcement.
    CConnectionListItem(CGameEdit* pGameEdit, const EntryMessage& entry);
    // A row for a unit of the unit factory.
    CConnectionListItem(CGameEdit* pGameEdit, const CUnit* pUnit);

    EntryMessage& GetEntry() { return m_entry; }
    const EntryMessage& GetEntry() const { return m_entry; }
    const UnitProfile* GetProfile() const { return &m_profile; }
    const GameEditInfo* GetRivalRules() const { return m_rivalRules; }
    CPushButton* GetSelectButton() const { return m_selectButton; }
    const std::vector<CSimpleTextItem*>& GetTexts() const { return m_texts; }
    bool IsSelectable() const;

  signals:
    void Hovered(const Marevane::GameEditInfo* pRivalConfig);
    void DataSent();
    void DataUnsent();

  public slots:
    void SetCode(Marevane::MessageCode code);
    void SetCode(Marevane::MessageCode code, Marevane::MessageCode detail);
    void SetSelectable(bool isSelectable);
    void SetCallbackOnSelecting(std::function<void()> callback);

  protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

  private slots:
    void Select();

  private:
    void Init();
    void CreateItems();
    CSimpleTextItem* AddText(const QString& text);
    QRectF TextArea() const;

    CGameEdit* m_gameEdit;
    EntryMessage m_entry;
    // A copy, so that a row outlives the unit or message it was made from.
    UnitProfile m_profile;
    GameEditInfo m_rivalCopy;
    const GameEditInfo* m_rivalRules = nullptr;
    CPushButton* m_selectButton = nullptr;
    QGraphicsProxyWidget* m_selectItem = nullptr;
    std::vector<CSimpleTextItem*> m_texts;
    std::function<void()> m_callback;
};

// Lays rows out two to a line in their order: the first of a line at the
// origin's x, the second beside it after the column gap; each line starts
// the line gap below the taller row of the line before.
void ArrangeConnectionRows(const std::vector<CConnectionListItem*>& rows, QPointF origin, qreal columnGap,
                           qreal lineGap);

} // namespace Marevane

Q_DECLARE_METATYPE(const Marevane::GameEditInfo*)
