// A laid mine and a torpedo on its way, shown on the panel icons of their
// panels. A mine shows its owner's mark ("1P") over it and is drawn a
// little faded; a torpedo is drawn at 0.6.
#pragma once

#include "gui/Icon.h"
#include "screens/battle/PanelIcon.h"

#include <QList>
#include <QPixmap>

#include <cstdint>
#include <memory>

namespace Marevane {

class CTorpedo;
struct MineProfile;

class CMineIcon : public CIcon {
    Q_OBJECT
  public:
    // Null for a record that is missing, not laid or spent: those are not
    // shown, and the map skips them.
    static std::unique_ptr<CMineIcon> Create(MineProfile* pMine, const PanelIconTable& table);
    // The mine of an animation: a record of its own, laid nowhere.
    explicit CMineIcon(MineProfile* pMine);
    ~CMineIcon() override;

    MineProfile* GetMine() const { return m_mine; }
    CPanelIcon* GetPanelIcon() const { return m_panelIcon; }
    std::uint32_t GetOwnerId() const { return m_ownerId; }
    double GetDrawOpacity() const { return m_drawOpacity; }
    // The owner's mark, one picture per character.
    const QList<QPixmap>& GetOwnerMark() const { return m_ownerMark; }

    // Finds the panel icon of the mine's position and lies on it.
    void FindPanelIcon(const PanelIconTable& table);
    void PlaceOn(CPanelIcon* pPanelIcon);
    // A spent mine is no longer seen; it stays in the scene.
    void UpdateLook();

    QRectF boundingRect() const override;

  public slots:
    QPixmap GetPixmap() const override { return m_picture; }
    Marevane::CPanel* GetPanel() const override;
    void ChangeImage(int pattern) override;
    int SetImagePattern(int pattern) override { return CIcon::SetImagePattern(pattern); }

  protected:
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    void CreateOwnerMark();

    QPixmap m_picture;
    QList<QPixmap> m_ownerMark;
    MineProfile* m_mine;
    CPanelIcon* m_panelIcon = nullptr;
    std::uint32_t m_ownerId;
    std::uint32_t m_secondId;
    double m_drawOpacity;
};

class CTorpedoIcon : public CIcon {
    Q_OBJECT
  public:
    // A torpedo whose panel has no icon in the table stays unplaced.
    CTorpedoIcon(CTorpedo* pTorpedo, const PanelIconTable& table);
    ~CTorpedoIcon() override;

    CTorpedo* GetTorpedo() const { return m_torpedo; }
    CPanelIcon* GetPanelIcon() const { return m_panelIcon; }
    // Stands on the icon of the torpedo's present panel, when there is one.
    void MoveToPanel();

    QRectF boundingRect() const override;

  public slots:
    QPixmap GetPixmap() const override { return m_picture; }
    Marevane::CPanel* GetPanel() const override;
    void ChangeImage(int pattern) override;
    int SetImagePattern(int pattern) override { return CIcon::SetImagePattern(pattern); }

  private:
    QPixmap m_picture;
    CTorpedo* m_torpedo;
    CPanelIcon* m_panelIcon = nullptr;
    const PanelIconTable* m_table;
};

} // namespace Marevane
