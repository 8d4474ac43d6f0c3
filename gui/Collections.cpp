#include "gui/Collections.h"

#include "gui/TextItems.h"
#include "gui/Widgets.h"

#include <QPointer>

#include <algorithm>

namespace Marevane {

// --- CListCollection ------------------------------------------------------

CListCollection::CListCollection(const QRectF& rect, QGraphicsItem* parent)
    : QGraphicsRectItem(0, 0, rect.width(), rect.height(), parent)
{
    setPen(Qt::NoPen);
}

CTextItem* CListCollection::CreateTextItem(const QString& text, QGraphicsItem* parent)
{
    auto* item = new CTextItem(text, parent);
    item->setZValue(100 + m_values.size());
    return item;
}

void CListCollection::Show()
{
    show();
}

void CListCollection::Hide()
{
    hide();
}

void CListCollection::Clear()
{
    const QList<QGraphicsItem*> children = childItems();
    for (QGraphicsItem* child : children) delete child; // leaves the scene with it
    m_labels.clear();
    m_values.clear();
}

void CListCollection::AdjustPosition(QSize size)
{
    AdjustPosition(size, nullptr);
}

void CListCollection::AdjustToOffsetItem(QGraphicsItem* pOffsetItem)
{
    AdjustPosition(rect().size().toSize(), pOffsetItem);
}

void CListCollection::AdjustPosition(QSize size, QGraphicsItem* pOffsetItem)
{
    const int width = size.width();
    setRect(rect().x(), rect().y(), width, size.height());

    // The value column: the widest value, at most two thirds of the width.
    int limit = width * 2 / 3;
    int valueColumn = 0;
    for (QGraphicsItem* value : qAsConst(m_values)) {
        if (WholePixelSize(value).width() > limit) {
            if (auto* text = dynamic_cast<QGraphicsTextItem*>(value)) {
                text->setTextWidth(-1);
                if (WholePixelSize(text).width() > limit) text->setTextWidth(limit);
            } else if (auto* box = dynamic_cast<QGraphicsRectItem*>(value)) {
                QRectF fitted = box->rect();
                fitted.setWidth(limit);
                box->setRect(fitted);
            } else {
                limit = WholePixelSize(value).width();
            }
        }
        valueColumn = std::max(valueColumn, WholePixelSize(value).width());
    }
    valueColumn = std::min(valueColumn, limit);

    const int labelColumn = std::max(width - valueColumn - ColumnGap(), 1);
    for (QGraphicsItem* label : qAsConst(m_labels)) {
        if (auto* text = dynamic_cast<QGraphicsTextItem*>(label)) {
            text->setTextWidth(labelColumn);
        } else if (auto* box = dynamic_cast<QGraphicsRectItem*>(label)) {
            QRectF fitted = box->rect();
            fitted.setWidth(labelColumn);
            box->setRect(fitted);
        }
    }

    // Rows from under the offset item; each value bottom-aligned with a
    // taller label; upper rows lie over lower ones.
    qreal bottom = 0;
    if (pOffsetItem != nullptr) bottom = pOffsetItem->y() + WholePixelSize(pOffsetItem).height();
    qreal top = pOffsetItem != nullptr ? bottom + RowSpacing() : 0;
    const int labelCount = m_labels.size();
    const int valueCount = m_values.size();
    const int rows = std::max(labelCount, valueCount);
    for (int i = 0; i < rows; ++i) {
        QGraphicsItem* label = i < labelCount ? m_labels[i] : nullptr;
        QGraphicsItem* value = i < valueCount ? m_values[i] : nullptr;
        const int labelHeight = label != nullptr ? WholePixelSize(label).height() : 0;
        const int valueHeight = value != nullptr ? WholePixelSize(value).height() : 0;
        if (label != nullptr) {
            label->setPos(LeftMargin(), top);
            label->setZValue(labelCount - i);
        }
        if (value != nullptr) {
            const qreal shift = labelHeight > valueHeight ? labelHeight - valueHeight : 0;
            value->setPos(width - WholePixelSize(value).width() - LeftMargin(), top + shift);
            value->setZValue(valueCount - i);
        }
        bottom = top + std::max(labelHeight, valueHeight);
        top = bottom + RowSpacing();
    }
    setRect(rect().x(), rect().y(), width, bottom + BottomMargin());
}

// --- CFramedRow -----------------------------------------------------------

CFramedRow::CFramedRow(QGraphicsItem* parent) : QGraphicsRectItem(parent)
{
    setPen(Qt::NoPen);
}

// --- CSettingsCollection --------------------------------------------------

CSettingsCollection::CSettingsCollection(QObject* owner, QGraphicsItem* parent)
    : QGraphicsRectItem(parent), m_owner(owner)
{
    setPen(Qt::NoPen);
}

CWidgetItem* CSettingsCollection::MakeWidgetItem(QWidget* widget, const QString& help, QGraphicsItem* parent,
                                                 qreal z)
{
    auto* item = new CWidgetItem(widget, help, parent);
    item->setZValue(z);
    connect(item, &CWidgetItem::HelpSent, this, &CSettingsCollection::HelpSent);
    return item;
}

void CSettingsCollection::ConnectLabel(CTextItem* label, CWidgetItem* widgetItem)
{
    const QPointer<CWidgetItem> item(widgetItem);
    connect(label, &CTextItem::Hovered, this,
            [this, item](const CTextItem* pTextItem) { SendHelpOfLabel(pTextItem, item.data()); });
}

QGraphicsItem* CSettingsCollection::AddRow(const QString& text, QWidget* widget, QGraphicsItem* zRef,
                                           const QString& help)
{
    auto* label = new CTextItem(text, this);
    label->setZValue(-1);
    m_labels.push_back(label);
    if (widget == nullptr) {
        // An item another row already holds is not laid out twice.
        const bool isTaken = std::find(m_widgets.begin(), m_widgets.end(), zRef) != m_widgets.end();
        m_widgets.push_back(isTaken ? nullptr : zRef);
        return zRef;
    }
    CWidgetItem* item = MakeWidgetItem(widget, help, this, zRef != nullptr ? zRef->zValue() - 1 : 100);
    m_widgets.push_back(item);
    ConnectLabel(label, item);
    return item;
}

CFramedRow* CSettingsCollection::AddFramedRow(const QString& firstText, const QString& secondText,
                                              QWidget* firstWidget, QWidget* secondWidget,
                                              QGraphicsItem* zRef, const QString& help)
{
    const qreal z = zRef != nullptr ? zRef->zValue() - 1 : 100;
    auto* frame = new CFramedRow(this);
    frame->setZValue(z);
    const QString texts[] = {firstText, secondText};
    QWidget* widgets[] = {firstWidget, secondWidget};
    qreal x = 8;
    for (int i = 0; i < 2; ++i) {
        auto* label = new CTextItem(texts[i], frame);
        label->setPos(x, 0);
        x += WholePixelSize(label).width() + 4;
        CWidgetItem* item = MakeWidgetItem(widgets[i], help, frame, z);
        item->setPos(x, 0);
        x += WholePixelSize(item).width() + 8;
        ConnectLabel(label, item);
        frame->m_labels[i] = label;
        frame->m_widgets[i] = item;
    }
    const QRectF children = frame->childrenBoundingRect();
    frame->setRect(0, 0, children.right(), children.bottom());
    return frame;
}

CWidgetItem* CSettingsCollection::GetWidgetItem(int row) const
{
    return dynamic_cast<CWidgetItem*>(m_widgets.at(row));
}

int CSettingsCollection::GetRequiredWidth() const
{
    int required = 0;
    for (std::size_t row = 0; row < m_labels.size(); ++row) {
        if (m_widgets[row] == nullptr) continue;
        required = std::max(required, WholePixelSize(m_labels[row]).width() +
                                          WholePixelSize(m_widgets[row]).width() + 30);
    }
    return required;
}

void CSettingsCollection::LayoutRows(int width)
{
    qreal y = 0;
    qreal bottom = 0;
    for (std::size_t row = 0; row < m_labels.size(); ++row) {
        CTextItem* label = m_labels[row];
        QGraphicsItem* item = m_widgets[row];
        label->setPos(0, y);
        bottom = y + WholePixelSize(label).height();
        if (item != nullptr) {
            item->setPos(width - WholePixelSize(item).width(), y);
            bottom = y + WholePixelSize(item).height();
        }
        y = label->y() + WholePixelSize(label).height() + 16;
    }
    setRect(rect().x(), rect().y(), width, bottom);
}

void CSettingsCollection::LayoutRowsOfLast(int width)
{
    std::vector<QGraphicsItem*> items;
    for (QGraphicsItem* item : m_widgets) {
        if (item != nullptr) items.push_back(item);
    }
    if (items.size() < 4) {
        LayoutRows(width);
        return;
    }
    const auto rightAligned = [width](QGraphicsItem* item, qreal y) {
        item->setPos(width - WholePixelSize(item).width(), y);
    };
    rightAligned(items[0], 0);
    rightAligned(items[1], 0);
    const qreal y = items[1]->y() + WholePixelSize(items[1]).height() + 15;
    items[2]->setPos(0, y);
    rightAligned(items[3], y);
    setRect(rect().x(), rect().y(), width, y + WholePixelSize(items[3]).height());
}

void CSettingsCollection::Apply(GameEditInfo& /*info*/) {}

void CSettingsCollection::Build() {}

void CSettingsCollection::Show()
{
    show();
    emit Shown();
}

void CSettingsCollection::Hide()
{
    hide();
    emit Hidden();
}

void CSettingsCollection::SendHelpOfLabel(const CTextItem* pTextItem, const CWidgetItem* pWidgetItem)
{
    if (pTextItem == nullptr) {
        emit HelpSent(QString());
    } else if (pWidgetItem != nullptr) {
        // Its help goes out through its own signal, which this collection forwards.
        const_cast<CWidgetItem*>(pWidgetItem)->SendHelp();
    }
}

} // namespace Marevane
