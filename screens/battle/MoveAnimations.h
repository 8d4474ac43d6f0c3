// A ship or torpedo sliding from panel to panel, facing where it goes, and
// a mine thrown along an arc from the laying ship to its panel. Both report
// their end once through Finished(code), at once with the Animation
// setting off.
#pragma once

#include "gui/Animation.h"
#include "model/Records.h"
#include "screens/battle/WeaponIcons.h"
#include "sound/SoundTypes.h"

#include <QPixmap>
#include <QPointer>

#include <functional>
#include <memory>

namespace Marevane {

class CIcon;
class CMineIcon;
class CPanelIcon;
class CShipIcon;

class CMoveAnimation : public CAnimation {
    Q_OBJECT
  public:
    // The map's shared move: code 57, set up before each start.
    explicit CMoveAnimation(QObject* parent = nullptr);
    // A move of its own (a torpedo's), code 0; set up at once when the icon
    // and the destination are given. pFrom null: from where the icon is.
    CMoveAnimation(CIcon* pIcon, CPanelIcon* pFrom, CPanelIcon* pTo, QObject* parent = nullptr);
    ~CMoveAnimation() override;

    void SetIcon(CIcon* pIcon) { m_icon = pIcon; }
    void SetFrom(CPanelIcon* pFrom) { m_from = pFrom; }
    void SetTo(CPanelIcon* pTo) { m_to = pTo; }
    void SetSound(Sound::SeCode sound) { m_sound = sound; }
    CIcon* GetIcon() const { return m_icon; }
    // The facing shown while moving, from the direction of travel.
    static int FacingOf(const CPanel* from, const CPanel* to);
    // Panels from one to the other, rows and columns added.
    static int DistanceOf(const CPanel* from, const CPanel* to);
    // Lets go of the icon without a report.
    void Release();

    bool IsValid() const override;

  public slots:
    void Init() override;

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private:
    QPointer<CIcon> m_icon;
    QPointer<CPanelIcon> m_from;
    QPointer<CPanelIcon> m_to;
    Sound::SeCode m_sound = Sound::SeNone;
    std::function<void()> m_endAction;
};

class CMineAnimation : public CAnimation {
    Q_OBJECT
  public:
    explicit CMineAnimation(QObject* parent = nullptr);
    ~CMineAnimation() override;

    void SetShipIcon(CShipIcon* pShipIcon) { m_shipIcon = pShipIcon; }
    void SetTarget(CPanelIcon* pTarget) { m_target = pTarget; }
    CMineIcon* GetMineIcon() const { return m_mineIcon; }
    // The point of the throw at u (0 at the ship, 1 at the target).
    QPointF ThrowPoint(double u) const;
    void Release();

    bool IsValid() const override;

  public slots:
    void Init() override;

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private:
    QPointer<CShipIcon> m_shipIcon;
    QPointer<CPanelIcon> m_target;
    MineProfile m_mine;
    // Goes with its scene when that goes first.
    QPointer<CMineIcon> m_mineIcon;
    QPointF m_from;
    QPointF m_to;
};

} // namespace Marevane
