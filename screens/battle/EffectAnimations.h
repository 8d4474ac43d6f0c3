// The effects of results on the battle map: an attack on a panel, damage
// with a shaking ship, a sinking ship, the surprise mark when a hidden ship
// is met, and a floating note of bitmap characters. Each reports its end
// once through Finished(code); with the Animation setting off it reports at
// once, without motion or sound. Release() stops an effect without a report
// and lets go of every icon, so the map can delete its icons safely. The
// explosions are items of the effects themselves, shown in the icons'
// scene: an effect must go before its scene does.
#pragma once

#include "gui/Animation.h"

#include <QGraphicsPixmapItem>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <vector>

namespace Marevane {

class CFadingAnimation;
class CIcon;
class CPanelIcon;
class CShipIcon;
class CSpriteAnimation;

// A plain picture that animations can move.
class CMarkItem : public QObject, public QGraphicsPixmapItem {
    Q_OBJECT
    Q_PROPERTY(QPointF pos READ pos WRITE setPos)
  public:
    explicit CMarkItem(const QPixmap& pixmap, QGraphicsItem* parent = nullptr);
};

// What the effects on a panel or a ship share: the icons they play on, and
// effects that run until their last sprite is done.
class CBattleEffect : public CEffectAnimation {
    Q_OBJECT
  public:
    explicit CBattleEffect(MessageCode code = 0, QObject* parent = nullptr);
    ~CBattleEffect() override;

    void SetShipIcon(CShipIcon* pShipIcon) { m_shipIcon = pShipIcon; }
    void SetPanelIcon(CPanelIcon* pPanelIcon) { m_panelIcon = pPanelIcon; }
    CShipIcon* GetShipIcon() const { return m_shipIcon; }
    CPanelIcon* GetPanelIcon() const { return m_panelIcon; }
    QGraphicsItem* GetEffectItem() const override;
    const std::vector<CSpriteAnimation*>& GetSprites() const { return m_sprites; }

    // Stops without a report and lets go of the icons and the sprites' items.
    virtual void Release();

  protected:
    // count sprites of the sheet, 32-pixel frames, one per frame time.
    void MakeSprites(const QString& sheet, int count);
    // The sprites are shown centred on the icon, above it in its scene.
    // They stay the effect's own items: an icon may go while they play.
    void AttachSprites(const QGraphicsPixmapItem* target);
    // Starts the sprites, the first at once and each next after the stagger.
    void StartSprites();
    void StopSprites();
    void DetachSprites();
    // A running effect without an end of its own, stopped by its sprites.
    void RunUntilStopped();
    void updateCurrentTime(int time) override;

    QPointer<CShipIcon> m_shipIcon;
    QPointer<CPanelIcon> m_panelIcon;
    std::vector<CSpriteAnimation*> m_sprites;

  private:
    bool m_isEndless = false;
};

class CAttackAnimation : public CBattleEffect {
    Q_OBJECT
  public:
    explicit CAttackAnimation(MessageCode code = 0, QObject* parent = nullptr);

    // Kept only when the icon is seen: the effect then moves with it.
    void SetTarget(CIcon* pIcon);
    CIcon* GetVisibleTarget() const;

    bool IsValid() const override;
    int duration() const override { return -1; }

  public slots:
    void Init() override;
    void PrepareBeforeRunning() override;
    void PrepareBeforeStopping() override;

  private:
    QPointer<CIcon> m_visibleTarget;
};

class CDamageAnimation : public CBattleEffect {
    Q_OBJECT
  public:
    explicit CDamageAnimation(MessageCode code = 0, QObject* parent = nullptr);

    bool IsValid() const override;

  public slots:
    void Init() override;
    void PrepareBeforeRunning() override;
};

class CSinkingAnimation : public CBattleEffect {
    Q_OBJECT
  public:
    explicit CSinkingAnimation(MessageCode code = 0, QObject* parent = nullptr);
    ~CSinkingAnimation() override;

    void SetVisibleTarget(CIcon* pIcon) { m_visibleTarget = pIcon; }
    // An icon of its own, shown on the panel icon and deleted at the end.
    void SetTemporaryIcon(CShipIcon* pIcon);
    CIcon* GetSinkingIcon() const { return m_icon; }
    CFadingAnimation* GetFading() const { return m_fading; }

    bool IsValid() const override;
    int duration() const override { return -1; }
    void Release() override;

  public slots:
    void Init() override;
    void PrepareBeforeRunning() override;
    void PrepareBeforeStopping() override;
    void FadeOutIcon();

  private:
    void DeleteTemporaryData();

    CFadingAnimation* m_fading;
    QPointer<CIcon> m_visibleTarget;
    QPointer<CIcon> m_icon; // the icon that sinks in this run
    QPointer<CShipIcon> m_temporaryIcon;
    qreal m_restingZ = 0;
};

class CSurpriseAnimation : public CAnimation {
    Q_OBJECT
  public:
    explicit CSurpriseAnimation(MessageCode code = 0, QObject* parent = nullptr);
    ~CSurpriseAnimation() override;

    void SetShipIcon(CShipIcon* pShipIcon) { m_shipIcon = pShipIcon; }
    void SetPanelIcon(CPanelIcon* pPanelIcon) { m_panelIcon = pPanelIcon; }
    CMarkItem* GetMark() const { return m_mark; }
    void Release();

    bool IsValid() const override;

  public slots:
    void Init() override;

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private:
    void MakeMark();

    QPointer<CMarkItem> m_mark;
    QPointer<CShipIcon> m_shipIcon;
    QPointer<CPanelIcon> m_panelIcon;
};

class CNoteAnimation : public CAnimation {
    Q_OBJECT
  public:
    CNoteAnimation(const QString& text, CIcon* pTarget, QObject* parent = nullptr);
    ~CNoteAnimation() override;

    const std::vector<CMarkItem*>& GetCharacters() const { return m_characters; }
    int GetTextWidth() const { return m_textWidth; }
    int GetTextHeight() const { return m_textHeight; }

    bool IsValid() const override;

  public slots:
    void Init() override;

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private:
    void BuildText(const QString& text);
    void DeleteText();

    QPointer<CIcon> m_target;
    QString m_text;
    std::vector<CMarkItem*> m_characters;
    QPointer<CMarkItem> m_first;
    int m_textWidth = 0;
    int m_textHeight = 0;
};

} // namespace Marevane
