#include "screens/battle/HelpScene.h"

#include "gui/Fonts.h"
#include "gui/HelpTexts.h"
#include "gui/ResourcePools.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "model/Panel.h"
#include "screens/battle/PanelIcon.h"
#include "screens/battle/ShipIcon.h"

#include <QGraphicsPixmapItem>
#include <QResizeEvent>

#include <algorithm>

namespace Marevane {

CHelpScene::CHelpScene(QObject* parent)
    : CGameScene(QRectF(0, 0, 300, 216), parent), m_area(QPoint(0, 0), QPoint(299, 215)), m_font(TextFont())
{
    m_font.setPixelSize(14);
}

int CHelpScene::TextWidth(std::size_t index) const
{
    const QGraphicsPixmapItem* picture = index < m_pictures.size() ? m_pictures[index] : nullptr;
    // The text starts right of its picture and keeps the left margin's
    // twice on its right, so no word touches the frame.
    const qreal pictureWidth = picture != nullptr ? picture->pixmap().width() : 0;
    return std::max(1, static_cast<int>(m_area.width() - 8 - pictureWidth - 2 * LeftMargin));
}

void CHelpScene::AddEntry(const QPixmap& picture, const QString& text)
{
    qreal y = 12;
    if (!m_texts.empty()) {
        const CTextItem* previous = m_texts.back();
        y = previous->y() + previous->boundingRect().height() + 16;
    }
    QGraphicsPixmapItem* pictureItem = nullptr;
    if (!picture.isNull()) {
        pictureItem = addPixmap(picture);
        pictureItem->setPos(LeftMargin, y + 4);
    }
    auto* item = new CTextItem(text);
    item->setFont(m_font);
    item->setDefaultTextColor(TextColor);
    item->SetDocumentMargin(0);
    item->setPos(pictureItem != nullptr ? picture.width() + 8 : 8, y);
    addItem(item);
    m_texts.push_back(item);
    m_pictures.push_back(pictureItem);
    item->setTextWidth(TextWidth(m_texts.size() - 1));
}

void CHelpScene::SetEntries(int panelType, const QPixmap& shipPicture, ShipType shipType)
{
    Clear();
    if (panelType >= 0 && panelType != PanelBoundary) {
        const auto type = static_cast<PanelType>(panelType);
        AddEntry(CPanelResourcePool::GetInstance().Get(type), CPanelHelp::GetInstance().Get(type));
    }
    if (shipType != ShipTypeNone) AddEntry(shipPicture, CShipHelp::GetInstance().Get(shipType));
}

void CHelpScene::Set(const CPanelIcon* pPanelIcon, const CShipIcon* pShipIcon)
{
    int panelType = -1;
    if (pPanelIcon != nullptr) {
        const CPanel* panel = pPanelIcon->GetPanel();
        const bool isShown = pPanelIcon->IsKnown() || pPanelIcon->IsAlwaysShown();
        panelType = static_cast<int>(isShown && panel != nullptr ? panel->GetType() : PanelUnknown);
    }
    QPixmap shipPicture;
    ShipType shipType = ShipTypeNone;
    if (pShipIcon != nullptr) {
        shipPicture = pShipIcon->GetPixmap();
        shipType = static_cast<ShipType>(pShipIcon->GetShipType());
    }
    SetEntries(panelType, shipPicture, shipType);
}

void CHelpScene::Set(const CPanelIcon* pPanelIcon)
{
    Set(pPanelIcon, nullptr);
}

void CHelpScene::Set()
{
    Set(static_cast<const CPanelIcon*>(nullptr), nullptr);
}

void CHelpScene::Set(const CShipIcon* pShipIcon)
{
    Set(nullptr, pShipIcon);
}

void CHelpScene::Set(CommandCode command, QString subMessage)
{
    if (command == CommandNone) {
        if (subMessage.isEmpty())
            Clear();
        else
            Set(subMessage);
        return;
    }
    Set(CCommandHelp::GetInstance().Get(command));
}

void CHelpScene::Set(QString message)
{
    Clear();
    AddEntry(QPixmap(), message);
}

void CHelpScene::Clear()
{
    m_texts.clear();
    m_pictures.clear();
    clear();
}

void CHelpScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() < 1) return;
    m_area.setRight(m_area.left() + size.width() - 1);
    setSceneRect(0, 0, m_area.right() - m_area.left(), m_area.bottom() - m_area.top());
    for (std::size_t i = 0; i < m_texts.size(); ++i) m_texts[i]->setTextWidth(TextWidth(i));
    update();
}

// --- CHelpView ------------------------------------------------------------------

CHelpView::CHelpView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    setMinimumSize(304, 220);
    setMaximumWidth(454);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(QBrush(DeepPanelColor));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(FrameStyleSheet());
    SetBackground(QStringLiteral(":/Resources/HelpLabel.png"));
}

void CHelpView::Show()
{
    show();
}

void CHelpView::Hide()
{
    hide();
}

void CHelpView::resizeEvent(QResizeEvent* event)
{
    const QSize size = event->size();
    if (size.width() > 0 && size.height() > 0)
        if (auto* help = qobject_cast<CHelpScene*>(scene())) help->AdjustViewPosition(size);
    CGameView::resizeEvent(event);
}

} // namespace Marevane
