#include "screens/battle/ShipProfileItems.h"

#include "gui/Fonts.h"
#include "gui/SoundFeedback.h"
#include "gui/Style.h"
#include "model/BoardText.h"
#include "model/texts/NameTables.h"
#include "screens/battle/ParameterBarItem.h"
#include "screens/battle/ShipIcon.h"
#include "sound/SeManager.h"

#include <QCoreApplication>
#include <QDebug>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QTextDocument>

#include <algorithm>
#include <cmath>
#include <exception>

namespace Marevane {

namespace {

constexpr std::uint32_t SinkingCondition = 5;

QString Tr(const char* text)
{
    return QCoreApplication::translate("Marevane::CShipProfileItem", text);
}

QString NumberField(std::uint32_t value)
{
    return QString::fromStdWString(FormatNumberField(value));
}

std::uint32_t NotNegative(std::int64_t value)
{
    return value < 0 ? 0u : static_cast<std::uint32_t>(value);
}

} // namespace

// --- texts --------------------------------------------------------------------

QString CShipProfileItem::FormatParameter(std::int64_t current, std::uint32_t maximum)
{
    if (maximum == 0) return QStringLiteral(" - / - ");
    return NumberField(NotNegative(current)) + QStringLiteral("/") + NumberField(maximum);
}

QString CShipProfileItem::FormatCost(const ShipProfile& profile, std::uint32_t cost)
{
    if (profile.Config.Fp == 0 || cost == 0) return QStringLiteral("-");
    if (cost < 10) return QStringLiteral("0") + QString::number(cost);
    return QString::number(cost);
}

QString CShipProfileItem::GetTitle(const ShipProfile& profile) const
{
    const QString name = CGUIShipNames::GetInstance().Get(static_cast<ShipType>(profile.Type));
    if (profile.ShipId == 0) return name;
    return QString::number(profile.ShipId) + QStringLiteral(". ") + name;
}

QStringList CShipProfileItem::GetProfileTexts(const ShipProfile& profile) const
{
    const ShipConfigSet& config = profile.Config;
    const QString cost = Tr(QT_TRANSLATE_NOOP("Marevane::CShipProfileItem", "Cost")) + QStringLiteral(" ") +
                         QStringLiteral("[M]") + FormatCost(profile, config.MoveFp) + QStringLiteral("FP") +
                         QStringLiteral("(+") + QString::number(config.ExtraMoveFp) + QStringLiteral(")") +
                         QStringLiteral(" ") + QStringLiteral("[A]") + FormatCost(profile, config.AttackFp) +
                         QStringLiteral("FP") + QStringLiteral(" ") + QStringLiteral("[T]") +
                         FormatCost(profile, config.TorpedoFp) + QStringLiteral("FP");
    return {
        GetTitle(profile),
        Tr(QT_TRANSLATE_NOOP("Marevane::CShipProfileItem", "HP")) + FormatParameter(profile.Hp, config.Hp),
        Tr(QT_TRANSLATE_NOOP("Marevane::CShipProfileItem", "FP")) + FormatParameter(profile.Fp, config.Fp),
        Tr(QT_TRANSLATE_NOOP("Marevane::CShipProfileItem", "Aux")) +
            FormatParameter(profile.WeaponStock, config.WeaponStock),
        cost};
}

// --- construction -------------------------------------------------------------

CShipProfileItem::CShipProfileItem(const ShipProfile* pShipProfile, int x, int y, QGraphicsItem* parent)
    : QGraphicsRectItem(QRectF(QRect(QPoint(0, 0), QPoint(223, -1))), parent), m_titleFont(ProfileTextFont()),
      m_textFont(DigitFont()), m_profile(pShipProfile)
{
    m_titleFont.setPixelSize(13);
    m_textOption.setWrapMode(QTextOption::NoWrap);
    setPen(Qt::NoPen);
    setBrush(Qt::NoBrush);
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton | Qt::RightButton);
    setFlag(QGraphicsItem::ItemIsFocusable);
    setPos(x, y);
    if (m_profile != nullptr) {
        CreateIcon();
        CreateTexts();
        CShipProfileItem::Layout();
    }
}

CShipProfileItem::~CShipProfileItem() = default;

void CShipProfileItem::Build()
{
    if (m_profile == nullptr) return;
    CreateIcon();
    CreateTexts();
    Layout();
}

void CShipProfileItem::CreateIcon()
{
    delete m_icon;
    m_icon = nullptr;
    const ShipProfile& profile = *m_profile;
    m_builtType = profile.Type;
    try {
        m_icon = new CShipIcon(profile.Type, profile.UnitId, QPoint(0, 0));
    } catch (const std::exception& error) {
        // A ship type without a picture: the card shows its texts alone.
        qWarning() << "No picture for the ship card:" << error.what();
        return;
    }
    m_icon->setParentItem(this);
    m_icon->SetShipId(profile.ShipId);
    m_icon->CreateLabels();
    connect(m_icon, &CShipIcon::DragStarted, this, &CShipProfileItem::ItemDragStarted);
    connect(m_icon, &CShipIcon::DragStopped, this, &CShipProfileItem::ItemDragStopped);
}

void CShipProfileItem::UpdateFlag()
{
    if (m_icon == nullptr) return;
    m_icon->SetFlagship(m_profile->IsFlagship);
    m_icon->CreateFlagMark();
}

void CShipProfileItem::CreateTexts()
{
    const QStringList texts = GetProfileTexts(*m_profile);
    const int charWidth = 2 * (m_textFont.pixelSize() / 3);
    for (int i = 0; i < TextCount; ++i) {
        delete m_texts[i];
        auto* item = new QGraphicsTextItem(texts[i], this);
        item->setDefaultTextColor(TextColor);
        item->setFont(m_textFont);
        item->document()->setDefaultTextOption(m_textOption);
        item->document()->setDocumentMargin(4);
        item->setTextWidth(charWidth * texts[i].size());
        m_texts[i] = item;
    }
    m_texts[TitleText]->setFont(m_titleFont);
    m_texts[TitleText]->adjustSize();

    const int barWidth = std::max(static_cast<int>(m_texts[HpText]->boundingRect().width()),
                                  static_cast<int>(m_texts[FpText]->boundingRect().width()));
    const ShipConfigSet& config = m_profile->Config;
    const std::uint32_t current[] = {NotNegative(m_profile->Hp), m_profile->Fp,
                                     NotNegative(m_profile->WeaponStock)};
    const std::uint32_t maximum[] = {config.Hp, config.Fp, config.WeaponStock};
    const QColor colours[] = {BlueValueColor, GreenValueColor, RedValueColor};
    for (std::size_t i = 0; i < m_bars.size(); ++i) {
        delete m_bars[i];
        m_bars[i] = new CParameterBarItem(current[i], maximum[i], QRect(0, 0, barWidth, 4), this);
        m_bars[i]->SetFillColor(colours[i]);
    }
    UpdateFlag();
    setEnabled(m_profile->Condition != SinkingCondition);
    ApplyEnabledLook();
}

void CShipProfileItem::SetTexts(const QStringList& texts)
{
    for (int i = 0; i < TextCount; ++i)
        if (i != TitleText || m_texts[i]->toPlainText() != texts[i]) m_texts[i]->setPlainText(texts[i]);
}

void CShipProfileItem::RefreshTexts()
{
    QStringList texts = GetProfileTexts(*m_profile);
    // The mini card keeps its own title and no cost line.
    texts[TitleText] = m_texts[TitleText]->toPlainText();
    if (!m_texts[CostText]->isVisible()) texts[CostText] = QString();
    SetTexts(texts);
    const ShipConfigSet& config = m_profile->Config;
    m_bars[0]->Update(NotNegative(m_profile->Hp), config.Hp);
    m_bars[1]->Update(m_profile->Fp, config.Fp);
    m_bars[2]->Update(NotNegative(m_profile->WeaponStock), config.WeaponStock);
    UpdateFlag();
    setEnabled(m_profile->Condition != SinkingCondition);
    ApplyEnabledLook();
}

void CShipProfileItem::UpdateProfile(const ShipProfile* pShipProfile)
{
    if (pShipProfile == nullptr) return;
    const bool isNew =
        m_profile == nullptr || m_texts[TitleText] == nullptr || pShipProfile->Type != m_builtType;
    m_profile = pShipProfile;
    if (isNew) {
        // A first profile, or another ship type with other maxima: built anew.
        CreateIcon();
        CreateTexts();
        Layout();
    } else {
        RefreshTexts();
    }
}

void CShipProfileItem::KeepProfile(const ShipProfile* pShipProfile)
{
    if (pShipProfile != nullptr && m_profile != nullptr && pShipProfile->Type == m_builtType)
        m_profile = pShipProfile;
}

// --- layout -------------------------------------------------------------------

void CShipProfileItem::Layout()
{
    if (m_texts[TitleText] == nullptr) return;
    const QRectF icon = m_icon != nullptr ? m_icon->boundingRect() : QRectF(0, 0, 32, 32);
    QGraphicsTextItem* title = m_texts[TitleText];
    title->setPos(icon.width(), 0);
    const qreal y1 = title->y() + 2 * title->boundingRect().height() / 3 - 1;
    m_texts[HpText]->setPos(title->x(), y1);
    const qreal yb = y1 + 4 * m_texts[HpText]->boundingRect().height() / 5 - 1;
    m_bars[0]->setPos(title->x(), yb);
    const qreal fpX = m_bars[0]->x() + m_bars[0]->rect().width() + 8;
    m_texts[FpText]->setPos(fpX, y1);
    m_bars[1]->setPos(fpX, yb);
    const qreal auxX = m_bars[1]->x() + m_bars[1]->rect().width() + 8;
    m_texts[AuxText]->setPos(auxX, y1);
    m_bars[2]->setPos(auxX, yb);
    m_texts[CostText]->setPos(title->x(), yb + 2 * m_bars[0]->rect().height() / 3 - 1);
    m_texts[CostText]->adjustSize();

    if (m_icon != nullptr) {
        m_icon->setPos(0, 0);
        const int height = static_cast<int>(childrenBoundingRect().height());
        m_icon->setPos(0, (height - static_cast<int>(icon.height())) / 2);
    }
    // Whole pixels, so cards stack without gaps or overlaps.
    const QRectF children = childrenBoundingRect();
    setRect(rect().x(), rect().y(), std::ceil(children.width()) + 8, std::ceil(children.height()));
}

// --- look and input -----------------------------------------------------------

void CShipProfileItem::ApplyEnabledLook()
{
    const bool enabled = isEnabled();
    const qreal opacity = enabled ? 1.0 : 0.5;
    if (!enabled) setBrush(Qt::NoBrush);
    if (m_icon != nullptr) m_icon->setOpacity(opacity);
    for (CParameterBarItem* bar : m_bars)
        if (bar != nullptr) bar->setOpacity(opacity);
    for (QGraphicsTextItem* text : m_texts)
        if (text != nullptr) text->setDefaultTextColor(enabled ? TextColor : DisabledTextColor);
}

QVariant CShipProfileItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemEnabledHasChanged) ApplyEnabledLook();
    return QGraphicsRectItem::itemChange(change, value);
}

void CShipProfileItem::PlayPointedSound()
{
    if (Sound::CSeManager::HasInstance()) {
        const Sound::CSeManager* manager = Sound::CSeManager::GetInstance();
        if (manager->IsPlaying(Sound::SeDefaultSelected) || manager->IsPlaying(Sound::SeDefaultPointed))
            return;
    }
    PlaySoundEffect(Sound::SeDefaultPointed, true);
}

void CShipProfileItem::SetSelected(bool isSelected)
{
    if (isSelected)
        EnableSelected();
    else
        DisableSelected();
}

void CShipProfileItem::EnableSelected()
{
    PlayPointedSound();
    setBrush(HighlightColor);
}

void CShipProfileItem::DisableSelected()
{
    setBrush(Qt::NoBrush);
}

void CShipProfileItem::Pointed()
{
    PlayPointedSound();
    setBrush(HighlightColor);
    emit ItemInfoHovered(m_icon);
}

void CShipProfileItem::LeftClicked()
{
    PlaySoundEffect(Sound::SeDefaultSelected, true);
    emit ItemInfoLeftClicked(m_profile);
    emit ItemInfoLeftClicked(static_cast<const CShipIcon*>(m_icon));
}

void CShipProfileItem::focusInEvent(QFocusEvent* event)
{
    Pointed();
    QGraphicsRectItem::focusInEvent(event);
}

void CShipProfileItem::focusOutEvent(QFocusEvent* event)
{
    setBrush(Qt::NoBrush);
    QGraphicsRectItem::focusOutEvent(event);
}

void CShipProfileItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    Pointed();
    QGraphicsRectItem::hoverEnterEvent(event);
}

void CShipProfileItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    setBrush(Qt::NoBrush);
    emit ItemInfoHovered(nullptr);
    QGraphicsRectItem::hoverLeaveEvent(event);
}

void CShipProfileItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        LeftClicked();
    else if (event->button() == Qt::RightButton)
        emit ItemInfoRightClicked(m_profile);
    QGraphicsRectItem::mousePressEvent(event);
}

void CShipProfileItem::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
        const bool alt = event->modifiers().testFlag(Qt::AltModifier);
        if (!shift && !alt)
            LeftClicked();
        else if (shift != alt)
            emit ItemInfoRightClicked(m_profile);
    }
    QGraphicsRectItem::keyPressEvent(event);
}

// --- mini card ----------------------------------------------------------------

CShipProfileMiniItem::CShipProfileMiniItem(const ShipProfile* pShipProfile, int x, int y,
                                           QGraphicsItem* parent)
    : CShipProfileItem(pShipProfile, x, y, parent)
{
    Layout();
}

QString CShipProfileMiniItem::GetTitle(const ShipProfile& profile) const
{
    return CGUIShipNames::GetInstance().Get(static_cast<ShipType>(profile.Type));
}

void CShipProfileMiniItem::Layout()
{
    if (m_texts[TitleText] == nullptr || GetProfile() == nullptr) return;
    const QRectF icon = m_icon != nullptr ? m_icon->boundingRect() : QRectF(0, 0, 32, 32);
    const int iw = static_cast<int>(icon.width());
    const int ih = static_cast<int>(icon.height());
    const int iconX = 3 - iw / 16;
    if (m_icon != nullptr) m_icon->setPos(iconX, -(ih / 8));
    QGraphicsTextItem* title = m_texts[TitleText];
    title->setPlainText(GetTitle(*GetProfile()));
    title->adjustSize();
    title->setPos(iconX + 3 * (iw / 4), 0);
    const int y1 =
        static_cast<int>(title->y()) + 2 * (static_cast<int>(title->boundingRect().height()) / 3) - 2;
    m_texts[HpText]->setPos(12, y1);
    const int y2 = y1 + 4 * (static_cast<int>(m_texts[HpText]->boundingRect().height()) / 5) - 2;
    m_bars[0]->setPos(12, y2);
    const int y3 = y2 + 4 * (static_cast<int>(m_bars[0]->rect().height()) / 5) - 2;
    m_texts[FpText]->setPos(12, y3);
    const int y4 = y3 + 4 * (static_cast<int>(m_texts[FpText]->boundingRect().height()) / 5) - 2;
    m_bars[1]->setPos(12, y4);

    QFont auxFont = m_texts[AuxText]->font();
    auxFont.setPixelSize(3 * (auxFont.pixelSize() / 4));
    m_texts[AuxText]->setFont(auxFont);
    for (QGraphicsItem* hidden :
         {static_cast<QGraphicsItem*>(m_texts[AuxText]), static_cast<QGraphicsItem*>(m_bars[2]),
          static_cast<QGraphicsItem*>(m_texts[CostText])}) {
        hidden->setPos(0, 0);
        hidden->hide();
    }
    m_texts[CostText]->setPlainText(QString());
    // Hidden children still count in the bounding rect: keep them small.
    m_texts[CostText]->setTextWidth(-1);
    m_texts[AuxText]->setTextWidth(-1);
    const QRectF children = childrenBoundingRect();
    setRect(rect().x(), rect().y(), std::ceil(children.width()) + 9, std::ceil(children.height()));
}

} // namespace Marevane
