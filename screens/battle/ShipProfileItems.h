// A ship's card: icon, title, hit points, fuel and weapon stock as
// current-over-maximum texts with a bar under each, and the command costs.
// The full card lists the own fleet and heads the ship status list; the
// mini card (icon, name, hit points and fuel) fills a watcher's columns.
#pragma once

#include "model/Records.h"

#include <QFont>
#include <QGraphicsRectItem>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTextOption>

#include <array>
#include <cstdint>

class QGraphicsTextItem;

namespace Marevane {

class CParameterBarItem;
class CShipIcon;

class CShipProfileItem : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    // The five texts in the order the card shows them.
    enum TextIndex { TitleText, HpText, FpText, AuxText, CostText, TextCount };

    CShipProfileItem(const ShipProfile* pShipProfile, int x, int y, QGraphicsItem* parent = nullptr);
    ~CShipProfileItem() override;

    const ShipProfile* GetProfile() const { return m_profile; }
    CShipIcon* GetIcon() const { return m_icon; }
    QGraphicsTextItem* GetText(TextIndex index) const { return m_texts[index]; }
    CParameterBarItem* GetHpBar() const { return m_bars[0]; }
    CParameterBarItem* GetFpBar() const { return m_bars[1]; }
    CParameterBarItem* GetAuxBar() const { return m_bars[2]; }

    // The texts of a profile as the card shows them.
    QStringList GetProfileTexts(const ShipProfile& profile) const;
    static QString FormatParameter(std::int64_t current, std::uint32_t maximum);
    static QString FormatCost(const ShipProfile& profile, std::uint32_t cost);
    virtual QString GetTitle(const ShipProfile& profile) const;

    // Plays the pointed sound unless a selection or pointing sound plays.
    static void PlayPointedSound();

  signals:
    void ItemDragStarted(const Marevane::CShipIcon* pShipIcon);
    void ItemDragStopped(const Marevane::CShipIcon* pShipIcon);
    void ItemInfoHovered(const Marevane::CShipIcon* pShipIcon);
    void ItemInfoLeftClicked(const Marevane::ShipProfile* pShipProfile);
    void ItemInfoLeftClicked(const Marevane::CShipIcon* pShipIcon);
    void ItemInfoRightClicked(const Marevane::ShipProfile* pShipProfile);

  public slots:
    // Points the card at a profile (the scene's live one); builds the card
    // the first time and whenever the ship type changed, refreshes it else.
    void UpdateProfile(const Marevane::ShipProfile* pShipProfile);
    // Points the card at a profile without showing it (the next refresh does).
    void KeepProfile(const Marevane::ShipProfile* pShipProfile);
    void SetSelected(bool isSelected);
    void EnableSelected();
    void DisableSelected();

  protected:
    virtual void Layout();
    // The mini card's construction runs its own layout after the base's.
    void Build();

    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

    QFont m_titleFont;
    QFont m_textFont;
    std::array<QGraphicsTextItem*, TextCount> m_texts{};
    std::array<CParameterBarItem*, 3> m_bars{};
    CShipIcon* m_icon = nullptr;

  private:
    void CreateIcon();
    void CreateTexts();
    void RefreshTexts();
    void SetTexts(const QStringList& texts);
    void UpdateFlag();
    // Grey texts and half-transparent pictures while disabled (a sinking ship).
    void ApplyEnabledLook();
    void Pointed();
    void LeftClicked();

    const ShipProfile* m_profile;
    std::uint32_t m_builtType = 0;
    QTextOption m_textOption;
};

class CShipProfileMiniItem : public CShipProfileItem {
    Q_OBJECT
  public:
    CShipProfileMiniItem(const ShipProfile* pShipProfile, int x, int y, QGraphicsItem* parent = nullptr);

    QString GetTitle(const ShipProfile& profile) const override;

  protected:
    void Layout() override;
};

} // namespace Marevane
