#include "screens/battle/EffectAnimations.h"

#include "gui/FadingAnimation.h"
#include "gui/ResourcePools.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "gui/SpriteAnimation.h"
#include "screens/battle/PanelIcon.h"
#include "screens/battle/ShipIcon.h"

#include <QGraphicsScene>
#include <QTimer>

namespace Marevane {

namespace {

constexpr int FrameSize = 32;
// Above every icon, below the pop-ups.
constexpr qreal EffectZ = 900;

QPixmap Character(QChar c)
{
    return CBitmapCharacterResourcePool::GetInstance().Get(
        std::wstring(1, static_cast<wchar_t>(c.unicode())));
}

// The whole-pixel position of an item.
QPointF WholePos(const QGraphicsItem* item)
{
    return QPointF(item->pos().toPoint());
}

} // namespace

CMarkItem::CMarkItem(const QPixmap& pixmap, QGraphicsItem* parent) : QGraphicsPixmapItem(pixmap, parent) {}

// --- shared ------------------------------------------------------------------

CBattleEffect::CBattleEffect(MessageCode code, QObject* parent) : CEffectAnimation(code, parent) {}

CBattleEffect::~CBattleEffect()
{
    for (CSpriteAnimation* sprite : m_sprites) sprite->blockSignals(true);
    StopSprites();
    DetachSprites();
}

QGraphicsItem* CBattleEffect::GetEffectItem() const
{
    return m_sprites.empty() ? nullptr : m_sprites.front()->GetItem();
}

void CBattleEffect::MakeSprites(const QString& sheet, int count)
{
    const QPixmap picture(sheet);
    for (int i = 0; i < count; ++i) {
        auto* sprite = new CSpriteAnimation(picture, FrameSize, ScreenTiming::EffectFrame, 0, this);
        sprite->SetLoop(false);
        m_sprites.push_back(sprite);
    }
}

void CBattleEffect::AttachSprites(const QGraphicsPixmapItem* target)
{
    if (target == nullptr) return;
    const QSize size = target->pixmap().size();
    const QPoint at = target->scenePos().toPoint();
    for (CSpriteAnimation* sprite : m_sprites) {
        QGraphicsPixmapItem* item = sprite->GetItem();
        if (item->scene() != target->scene()) {
            if (item->scene() != nullptr) item->scene()->removeItem(item);
            if (target->scene() != nullptr) target->scene()->addItem(item);
        }
        item->setZValue(EffectZ);
        sprite->SetOffset(at + QPoint((size.width() - FrameSize) / 2, (size.height() - FrameSize) / 2));
        item->setPos(sprite->GetOffset());
    }
}

void CBattleEffect::DetachSprites()
{
    for (CSpriteAnimation* sprite : m_sprites) {
        QGraphicsPixmapItem* item = sprite->GetItem();
        if (item != nullptr && item->scene() != nullptr) item->scene()->removeItem(item);
    }
}

void CBattleEffect::StartSprites()
{
    const int stagger = ScreenTiming::Scaled(ScreenTiming::EffectStagger);
    for (std::size_t i = 0; i < m_sprites.size(); ++i) {
        CSpriteAnimation* sprite = m_sprites[i];
        if (i == 0) {
            sprite->Start();
        } else {
            QTimer::singleShot(stagger * static_cast<int>(i), sprite, [this, sprite] {
                if (IsRunning()) sprite->Start();
            });
        }
    }
}

void CBattleEffect::StopSprites()
{
    for (CSpriteAnimation* sprite : m_sprites)
        if (sprite->IsRunning()) sprite->Stop();
}

void CBattleEffect::RunUntilStopped()
{
    m_isEndless = true;
}

void CBattleEffect::updateCurrentTime(int time)
{
    if (m_isEndless || targetObject() == nullptr) return;
    CEffectAnimation::updateCurrentTime(time);
}

void CBattleEffect::Release()
{
    const bool wasRunning = IsRunning();
    blockSignals(true);
    if (wasRunning) stop();
    StopSprites();
    blockSignals(false);
    DetachSprites();
    m_shipIcon = nullptr;
    m_panelIcon = nullptr;
    setTargetObject(nullptr);
}

// --- attack ------------------------------------------------------------------

CAttackAnimation::CAttackAnimation(MessageCode code, QObject* parent) : CBattleEffect(code, parent)
{
    MakeSprites(QStringLiteral(":/Resources/AttackEffect.png"), 1);
    RunUntilStopped();
    // The effect ends with its sprite: one report, at the sprite's end.
    connect(m_sprites.front(), &CAnimation::Finished, this, [this] {
        if (IsRunning()) Stop();
    });
}

void CAttackAnimation::SetTarget(CIcon* pIcon)
{
    m_visibleTarget = (pIcon != nullptr && pIcon->isVisible() && pIcon->opacity() > 0) ? pIcon : nullptr;
}

CIcon* CAttackAnimation::GetVisibleTarget() const
{
    return m_visibleTarget;
}

bool CAttackAnimation::IsValid() const
{
    return !m_sprites.empty() && m_sprites.front()->IsValid() && (m_visibleTarget || m_panelIcon);
}

void CAttackAnimation::Init()
{
    CSpriteAnimation* sprite = m_sprites.front();
    if (m_visibleTarget != nullptr) {
        AttachSprites(m_visibleTarget);
        // Shown on the panel, where the target is going.
        if (m_panelIcon != nullptr && m_panelIcon->pos() != m_visibleTarget->pos()) {
            sprite->SetOffset(sprite->GetOffset() + (m_panelIcon->pos() - m_visibleTarget->pos()).toPoint());
        }
    } else {
        AttachSprites(m_panelIcon);
    }
    sprite->SetLoop(false);
}

void CAttackAnimation::PrepareBeforeRunning()
{
    Init();
    StartSprites();
    PlaySoundEffect(Sound::SeAttack, true);
}

void CAttackAnimation::PrepareBeforeStopping()
{
    StopSprites();
}

// --- damage ------------------------------------------------------------------

CDamageAnimation::CDamageAnimation(MessageCode code, QObject* parent) : CBattleEffect(code, parent)
{
    MakeSprites(QStringLiteral(":/Resources/DamageEffect.png"), 2);
}

bool CDamageAnimation::IsValid() const
{
    return m_shipIcon != nullptr || m_panelIcon != nullptr;
}

void CDamageAnimation::Init()
{
    setDuration(ScreenTiming::Scaled(ScreenTiming::DamageShake));
    setKeyValues({});
    QSize size;
    if (m_shipIcon != nullptr && m_shipIcon->isVisible() && m_shipIcon->opacity() > 0) {
        const QPointF at = WholePos(m_shipIcon);
        setTargetObject(m_shipIcon);
        setPropertyName("pos");
        setStartValue(at);
        setKeyValueAt(0.2, at + QPointF(-6, 0));
        setKeyValueAt(0.4, at + QPointF(6, 0));
        setKeyValueAt(0.6, at + QPointF(-6, 0));
        setKeyValueAt(0.8, at + QPointF(6, 0));
        setEndValue(at);
        AttachSprites(m_shipIcon);
        size = m_shipIcon->GetNormalPixmap().size();
    } else {
        // Nothing to shake: the explosions show on the panel.
        setTargetObject(nullptr);
        setStartValue(QPointF());
        setEndValue(QPointF());
        AttachSprites(m_panelIcon);
        if (m_panelIcon != nullptr) size = m_panelIcon->GetPixmap().size();
    }
    if (m_sprites.size() == 2) {
        const QPoint shift(size.width() / 4, size.height() / 8);
        m_sprites[0]->SetOffset(m_sprites[0]->GetOffset() + QPoint(shift.x(), -shift.y()));
        m_sprites[1]->SetOffset(m_sprites[1]->GetOffset() + QPoint(-shift.x(), shift.y()));
    }
}

void CDamageAnimation::PrepareBeforeRunning()
{
    StartSprites();
    PlaySoundEffect(Sound::SeDamage, true);
}

// --- sinking -----------------------------------------------------------------

CSinkingAnimation::CSinkingAnimation(MessageCode code, QObject* parent)
    : CBattleEffect(code, parent), m_fading(new CFadingAnimation(static_cast<QObject*>(this)))
{
    MakeSprites(QStringLiteral(":/Resources/SinkingEffect.png"), 3);
    RunUntilStopped();
    m_fading->SetFadeDuration(ScreenTiming::SinkingFade);
    m_fading->SetFadeIn(false);
    connect(m_sprites.back(), &CAnimation::Finished, this, [this] {
        if (IsRunning()) FadeOutIcon();
    });
    connect(m_fading, &CAnimation::Finished, this, [this] {
        if (IsRunning()) Stop();
    });
}

CSinkingAnimation::~CSinkingAnimation()
{
    DeleteTemporaryData();
}

void CSinkingAnimation::SetTemporaryIcon(CShipIcon* pIcon)
{
    DeleteTemporaryData();
    m_temporaryIcon = pIcon;
}

bool CSinkingAnimation::IsValid() const
{
    return m_shipIcon != nullptr || m_visibleTarget != nullptr || m_temporaryIcon != nullptr;
}

void CSinkingAnimation::Init()
{
    CIcon* icon = m_visibleTarget;
    if (icon == nullptr && m_shipIcon != nullptr) {
        icon = m_shipIcon;
        m_restingZ = icon->zValue();
        icon->setZValue((icon->zValue() + 1) * 4 * 10);
    } else if (icon == nullptr && m_temporaryIcon != nullptr) {
        icon = m_temporaryIcon;
        if (m_panelIcon != nullptr && m_panelIcon->scene() != nullptr) {
            if (icon->scene() == nullptr) m_panelIcon->scene()->addItem(icon);
            icon->setPos(m_panelIcon->pos());
            icon->setZValue((m_panelIcon->zValue() + 1) * 4 * 10);
        }
    }
    m_icon = icon;
    if (icon == nullptr) return;
    m_visibleTarget = icon;
    const bool wasVisible = icon->isVisible();
    icon->ChangeImage(icon->GetImagePattern() % 4 == ImageRight ? ImageSinkingRight : ImageSinkingLeft);
    icon->setOpacity(1.0);
    AttachSprites(icon);
    m_fading->SetItem(icon);
    m_fading->SetFadeIn(!wasVisible);
    const QSize size = icon->pixmap().size();
    const int w4 = size.width() / 4;
    const int h8 = size.height() / 8;
    const QPoint shifts[] = {QPoint(-w4, -h8), QPoint(w4, 0), QPoint(0, h8)};
    for (std::size_t i = 0; i < m_sprites.size() && i < 3; ++i)
        m_sprites[i]->SetOffset(m_sprites[i]->GetOffset() + shifts[i]);
}

void CSinkingAnimation::PrepareBeforeRunning()
{
    Init();
    StartSprites();
    PlaySoundEffect(Sound::SeSinking, true);
}

void CSinkingAnimation::FadeOutIcon()
{
    QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::SinkingRest), this, [this] {
        if (IsRunning()) m_fading->Start();
    });
}

void CSinkingAnimation::PrepareBeforeStopping()
{
    StopSprites();
    if (m_fading->IsRunning()) {
        m_fading->blockSignals(true);
        m_fading->stop();
        m_fading->blockSignals(false);
    }
    if (m_icon != nullptr) {
        m_icon->setOpacity(0.0);
        m_icon->setPixmap(m_icon->GetPixmap());
        m_icon->setZValue(m_restingZ);
        m_icon->update();
    }
    DeleteTemporaryData();
}

void CSinkingAnimation::DeleteTemporaryData()
{
    if (m_temporaryIcon == nullptr) return;
    DetachSprites();
    m_fading->ClearItem();
    if (QGraphicsScene* scene = m_temporaryIcon->scene()) scene->removeItem(m_temporaryIcon);
    delete m_temporaryIcon.data();
    m_temporaryIcon = nullptr;
}

void CSinkingAnimation::Release()
{
    CBattleEffect::Release();
    m_fading->ClearItem();
    m_visibleTarget = nullptr;
    m_icon = nullptr;
    DeleteTemporaryData();
}

// --- surprise ----------------------------------------------------------------

CSurpriseAnimation::CSurpriseAnimation(MessageCode code, QObject* parent) : CAnimation(nullptr, code, parent)
{
    MakeMark();
}

void CSurpriseAnimation::MakeMark()
{
    m_mark = new CMarkItem(QPixmap(QStringLiteral(":/Resources/SurpriseMark.png")));
    m_mark->hide();
}

CSurpriseAnimation::~CSurpriseAnimation()
{
    Release();
    // A mark no icon took is the animation's own.
    if (m_mark != nullptr && m_mark->parentItem() == nullptr) delete m_mark.data();
}

bool CSurpriseAnimation::IsValid() const
{
    return m_shipIcon != nullptr || m_panelIcon != nullptr;
}

void CSurpriseAnimation::Init()
{
    setDuration(ScreenTiming::Scaled(ScreenTiming::SurpriseHop));
    // The mark goes with the icon it was shown on.
    if (m_mark == nullptr) MakeMark();
    setKeyValues({});
    const int markWidth = m_mark->pixmap().width();
    if (m_shipIcon != nullptr) {
        const QPointF at = WholePos(m_shipIcon);
        setTargetObject(m_shipIcon);
        setPropertyName("pos");
        setStartValue(at);
        setKeyValueAt(0.1, at + QPointF(0, -6));
        setKeyValueAt(0.2, at);
        setEndValue(at);
        m_mark->setParentItem(m_shipIcon);
        m_mark->setPos(m_shipIcon->GetNormalPixmap().width() / 2 - markWidth / 2, 0);
    } else {
        m_mark->setParentItem(m_panelIcon);
        const QPointF start(m_panelIcon->GetPixmap().width() / 2 - markWidth / 2,
                            m_mark->pixmap().height() + 1);
        m_mark->setPos(start);
        setTargetObject(m_mark);
        setPropertyName("pos");
        setStartValue(start);
        setKeyValueAt(0.2, QPointF(start.x(), 2));
        setEndValue(QPointF(start.x(), 2));
    }
    m_mark->setZValue(1);
}

void CSurpriseAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (newState == QAbstractAnimation::Running) {
        if (!IsAnimationEnabled()) {
            StopImpl(GetCode());
            return;
        }
        PlaySoundEffect(Sound::SeSurprise, true);
        if (m_mark != nullptr) m_mark->show();
    } else if (m_mark != nullptr) {
        m_mark->hide();
    }
}

void CSurpriseAnimation::Release()
{
    blockSignals(true);
    stop();
    blockSignals(false);
    setTargetObject(nullptr);
    // The mark leaves the icon, which may go now.
    if (m_mark != nullptr && m_mark->parentItem() != nullptr) {
        if (QGraphicsScene* scene = m_mark->scene()) scene->removeItem(m_mark);
        m_mark->setParentItem(nullptr);
    }
    m_shipIcon = nullptr;
    m_panelIcon = nullptr;
}

// --- note --------------------------------------------------------------------

CNoteAnimation::CNoteAnimation(const QString& text, CIcon* pTarget, QObject* parent)
    : CAnimation(nullptr, 0, parent), m_target(pTarget), m_text(text)
{
    BuildText(text);
}

CNoteAnimation::~CNoteAnimation()
{
    // A note not on an icon is the animation's own.
    if (m_first != nullptr && m_first->parentItem() == nullptr) DeleteText();
}

void CNoteAnimation::DeleteText()
{
    if (m_first != nullptr) {
        if (QGraphicsScene* scene = m_first->scene()) scene->removeItem(m_first);
        delete m_first.data();
    }
    m_characters.clear();
}

void CNoteAnimation::BuildText(const QString& text)
{
    DeleteText();
    m_textWidth = 0;
    m_textHeight = 0;
    CMarkItem* previous = nullptr;
    for (const QChar c : text.toUpper()) {
        auto* item = new CMarkItem(Character(c), previous);
        if (previous != nullptr) item->setPos(previous->pixmap().width(), 0);
        item->hide();
        m_characters.push_back(item);
        m_textWidth += item->pixmap().width();
        m_textHeight = std::max(m_textHeight, item->pixmap().height());
        previous = item;
    }
    m_first = m_characters.empty() ? nullptr : m_characters.front();
    if (m_first != nullptr) {
        connect(m_first, &QObject::destroyed, this, [this] { m_characters.clear(); });
    }
}

bool CNoteAnimation::IsValid() const
{
    return m_target != nullptr && !m_text.isEmpty() && m_first != nullptr;
}

void CNoteAnimation::Init()
{
    setDuration(ScreenTiming::Scaled(ScreenTiming::NoteFloat));
    setKeyValues({});
    m_first->setParentItem(m_target);
    const int x = (m_target->GetPixmap().width() - m_textWidth) / 2;
    m_first->setPos(x, m_textHeight);
    setTargetObject(m_first);
    setPropertyName("pos");
    setStartValue(QPointF(x, m_textHeight));
    setKeyValueAt(0.1, QPointF(x, 0));
    setEndValue(QPointF(x, 0));
}

void CNoteAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (newState == QAbstractAnimation::Running) {
        if (!IsAnimationEnabled()) {
            StopImpl(GetCode());
            return;
        }
        for (CMarkItem* item : m_characters) item->show();
    } else if (newState == QAbstractAnimation::Stopped) {
        for (CMarkItem* item : m_characters) item->hide();
    }
}

} // namespace Marevane
