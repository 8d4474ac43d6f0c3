#include "gui/SelectionList.h"

#include "gui/Fonts.h"
#include "gui/SoundFeedback.h"
#include "gui/Style.h"

#include <QCoreApplication>
#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QTextDocument>
#include <QtMath>

#include <algorithm>

namespace Marevane {

namespace {

constexpr int LeftPadding = 10;
constexpr int RowsPerColumn = 10;

bool IsReturn(int key)
{
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace

// --- CConfirmationText ----------------------------------------------------

CConfirmationText::CConfirmationText(const QString& text, QGraphicsItem* parent)
    : QGraphicsRectItem(parent), m_text(new QGraphicsTextItem(text, this))
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlag(QGraphicsItem::ItemIsFocusable, true);
    setPen(Qt::NoPen); // fully transparent, and no half pixel around the box
    setBrush(QBrush(TransparentColor));
    setCursor(Qt::PointingHandCursor);

    QFont font = TextFont();
    font.setPixelSize(13);
    m_text->setFont(font);
    m_text->setTextWidth(-1);
    m_text->document()->setDocumentMargin(2);
    m_text->setDefaultTextColor(TextColor);
    m_text->setPos(LeftPadding, 0);
    m_baseWidth = TextBoxWidth();
    setRect(0, 0, m_baseWidth, qCeil(m_text->boundingRect().height()));
}

int CConfirmationText::TextBoxWidth() const
{
    return qCeil(m_text->boundingRect().width()) + 2 * LeftPadding + 2;
}

QString CConfirmationText::text() const
{
    return m_text->toPlainText();
}

void CConfirmationText::SetText(QString text)
{
    m_text->setPlainText(text);
    // A longer text widens the box rather than run past the list.
    m_baseWidth = std::max(m_baseWidth, TextBoxWidth());
    if (m_baseWidth > rect().width()) {
        QRectF box = rect();
        box.setWidth(m_baseWidth);
        setRect(box);
    }
}

void CConfirmationText::SetFocus()
{
    m_isFocused = true;
    setFocus(Qt::OtherFocusReason);
    setBrush(QBrush(HighlightColor));
}

void CConfirmationText::ClearFocus()
{
    m_isFocused = false;
    clearFocus();
    setBrush(QBrush(TransparentColor));
}

void CConfirmationText::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    PlaySoundEffect(Sound::SeDefaultPointed, true);
    setCursor(Qt::PointingHandCursor);
    setBrush(QBrush(HighlightColor));
    QGraphicsRectItem::hoverEnterEvent(event);
}

void CConfirmationText::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    setBrush(QBrush(TransparentColor));
    QGraphicsRectItem::hoverLeaveEvent(event);
}

void CConfirmationText::focusInEvent(QFocusEvent* event)
{
    setBrush(QBrush(HighlightColor));
    QGraphicsRectItem::focusInEvent(event);
}

void CConfirmationText::focusOutEvent(QFocusEvent* event)
{
    setBrush(QBrush(TransparentColor));
    QGraphicsRectItem::focusOutEvent(event);
}

void CConfirmationText::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGraphicsRectItem::mousePressEvent(event);
        return;
    }
    event->accept();
    emit Clicked();
}

void CConfirmationText::keyPressEvent(QKeyEvent* event)
{
    if (hasFocus() && IsReturn(event->key())) {
        emit Clicked();
        // Handled here: passed on, it would reach the list, which may show
        // new rows by now and would choose a second time.
        event->accept();
        return;
    }
    QGraphicsRectItem::keyPressEvent(event); // on to the list
}

// --- CSelectionListItem ---------------------------------------------------

CSelectionListItem::CSelectionListItem() : CSelectionListItem(CallbackSets(), Callback()) {}

CSelectionListItem::CSelectionListItem(const CallbackSets& callbacks, const Callback& cancelCallback)
{
    setAcceptedMouseButtons(Qt::RightButton);
    setCacheMode(QGraphicsItem::DeviceCoordinateCache);
    setPen(PopupPen());
    setBrush(QBrush(PopupColor));
    setZValue(10000);
    m_cancel = new CConfirmationText(QCoreApplication::translate("CSelectionListItem", "Cancel"), this);
    SetUp(callbacks, cancelCallback);
}

CSelectionListItem::~CSelectionListItem()
{
    for (const QPointer<CConfirmationText>& row : qAsConst(m_retired)) delete row.data();
}

void CSelectionListItem::SetUp(const CallbackSets& callbacks, const Callback& cancelCallback)
{
    for (const auto& [text, callback] : callbacks) AddItem(text, callback);
    m_cancelCallback = cancelCallback;
    Layout();
    hide();
    connect(m_cancel, &CConfirmationText::Clicked, this, &CSelectionListItem::SelectCancel,
            Qt::UniqueConnection);
}

bool CSelectionListItem::IsCancelShown() const
{
    return !m_cancel->text().isEmpty();
}

void CSelectionListItem::Layout()
{
    const int p = static_cast<int>(pen().widthF());
    const int n = GetRowCount();
    const bool isCancelShown = IsCancelShown();
    // Base widths, so that a list shown again with shorter rows narrows.
    int width = isCancelShown ? m_cancel->GetBaseWidth() : 0;
    int height = isCancelShown ? static_cast<int>(m_cancel->rect().height()) : 0;
    for (const CConfirmationText* row : qAsConst(m_rows)) {
        width = std::max(width, row->GetBaseWidth());
        height = std::max(height, static_cast<int>(row->rect().height()));
    }
    for (CConfirmationText* row : qAsConst(m_rows)) row->setRect(0, 0, width, row->rect().height());
    m_cancel->setRect(0, 0, width, m_cancel->rect().height());

    QRectF box = rect();
    if (n < 11) {
        box.setSize(QSizeF(p + width, (p + height) * (isCancelShown ? n + 1 : n)));
    } else {
        const int columns = (n - 1) / RowsPerColumn + 1;
        box.setSize(QSizeF(columns * width + p, (p + height) * (n % RowsPerColumn == 0 ? 11 : 10)));
    }
    setRect(box);

    // Columns of ten; the cancel row under the last row.
    qreal y = p;
    for (int i = 0; i < n; ++i) {
        if (i % RowsPerColumn == 0) {
            y = p;
        } else {
            const CConfirmationText* previous = m_rows[i - 1];
            y = previous->y() + previous->rect().height() + p;
        }
        m_rows[i]->setPos((i / RowsPerColumn) * width + p, y);
    }
    if (n == 0) {
        m_cancel->setPos(p, p);
    } else {
        const CConfirmationText* last = m_rows.constLast();
        m_cancel->setPos(((n - 1) / RowsPerColumn) * width + p, last->y() + last->rect().height() + p);
    }
    update();
}

void CSelectionListItem::Show(QPointF pos)
{
    setPos(pos.toPoint());
    show();
    m_cancel->ClearFocus();
    // Whatever was lit or chosen before, the list starts at its first row.
    for (CConfirmationText* row : qAsConst(m_rows)) row->ClearFocus();
    m_currentIndex = 0;
    // Without rows the cancel row takes the keys, so Escape and Return still work.
    ItemAt(0)->SetFocus();
}

void CSelectionListItem::Show(QPointF pos, CallbackSets callbacks)
{
    Show(pos, std::move(callbacks), Callback());
}

void CSelectionListItem::Show(QPointF pos, CallbackSets itemCallbacks, Callback cancelCallback)
{
    Clear();
    SetUp(itemCallbacks, cancelCallback);
    Show(pos);
}

void CSelectionListItem::Hide()
{
    hide();
}

void CSelectionListItem::Clear()
{
    for (CConfirmationText* row : qAsConst(m_rows)) {
        disconnect(row, nullptr, this, nullptr);
        row->hide();
        row->setParentItem(nullptr);
        if (row->scene() != nullptr) row->scene()->removeItem(row);
        m_retired.append(row);
        row->deleteLater();
    }
    m_retired.removeAll(nullptr);
    m_cancelCallback = Callback();
    m_rows.clear();
    m_callbacks.clear();
    m_currentIndex = 0;
    Layout();
}

void CSelectionListItem::AddItem(QString text, Callback callback)
{
    auto* row = new CConfirmationText(text, this);
    m_rows.append(row);
    m_callbacks[row] = std::move(callback);
    connect(row, &CConfirmationText::Clicked, this, &CSelectionListItem::SelectItem, Qt::UniqueConnection);
    Layout();
}

void CSelectionListItem::SetCancelText(QString text)
{
    m_cancel->SetText(text);
    m_cancel->setVisible(!text.isEmpty());
    Layout();
}

void CSelectionListItem::SetCancelCallback(Callback cancelCallback)
{
    m_cancelCallback = std::move(cancelCallback);
}

void CSelectionListItem::SelectItem()
{
    auto* row = qobject_cast<CConfirmationText*>(sender());
    if (row == nullptr) {
        if (m_currentIndex >= GetRowCount()) {
            SelectCancel();
            return;
        }
        row = m_rows[m_currentIndex];
    }
    hide();
    // A copy: the callback may clear the list, and its own entry with it.
    const auto entry = m_callbacks.find(row);
    const Callback callback = entry != m_callbacks.end() ? entry->second : Callback();
    const QPointer<CSelectionListItem> self(this);
    if (callback) {
        callback();
    } else {
        PlaySoundEffect(Sound::SeDefaultSelected, true); // a choice without a handler
    }
    if (self) emit ItemSelected();
}

void CSelectionListItem::SelectCancel()
{
    hide();
    const Callback callback = m_cancelCallback;
    const QPointer<CSelectionListItem> self(this);
    if (callback) {
        callback();
    } else {
        PlaySoundEffect(Sound::SeDefaultCanceled, true);
    }
    if (self) emit CancelSelected();
}

CConfirmationText* CSelectionListItem::ItemAt(int index) const
{
    return index < GetRowCount() ? m_rows[index] : m_cancel;
}

void CSelectionListItem::MoveCurrent(Move move)
{
    const int n = GetRowCount();
    const bool isCancelShown = IsCancelShown();
    const int old = m_currentIndex;
    int index = old;
    if (n < 11 && move == Move::PageBack) move = Move::Previous;
    if (n < 11 && move == Move::PageForward) move = Move::Next;
    switch (move) {
    case Move::Previous:
        index = n == 0 ? 0 : old - 1;
        if (index < 0) index = n;
        if (!isCancelShown && index == n) index = n - 1;
        break;
    case Move::Next:
        index = old + 1;
        if (index > n) index = 0;
        if (!isCancelShown && index == n) index = 0;
        break;
    case Move::PageBack:
        index = old - RowsPerColumn;
        if (index < 0) index = n;
        if (!isCancelShown && index == n) index = n - 1;
        break;
    case Move::PageForward:
        index = std::min(old + RowsPerColumn, n);
        if (!isCancelShown && index == n) index = n - 1;
        break;
    }
    index = std::max(index, 0);
    m_currentIndex = index;

    if (n != 0) {
        ItemAt(old)->ClearFocus();
        if (n >= 2 || isCancelShown) PlaySoundEffect(Sound::SeDefaultPointed, true);
    }
    ItemAt(index)->SetFocus();
}

void CSelectionListItem::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Backspace) {
        SelectCancel();
    } else if (IsReturn(key)) {
        if (m_currentIndex < GetRowCount()) {
            SelectItem();
        } else if (m_cancel->IsFocused() || m_cancel->hasFocus()) {
            SelectCancel();
        }
    } else if (key == Qt::Key_Up) {
        MoveCurrent(Move::Previous);
    } else if (key == Qt::Key_Down) {
        MoveCurrent(Move::Next);
    } else if (key == Qt::Key_Left) {
        MoveCurrent(Move::PageBack);
    } else if (key == Qt::Key_Right) {
        MoveCurrent(Move::PageForward);
    } else {
        QGraphicsRectItem::keyPressEvent(event);
    }
}

void CSelectionListItem::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::RightButton) {
        QGraphicsRectItem::mousePressEvent(event);
        return;
    }
    event->accept();
    SelectCancel();
}

// --- CConfirmationItem ----------------------------------------------------

CConfirmationItem::CConfirmationItem()
    : CConfirmationItem(QCoreApplication::translate("CConfirmationItem", "Yes"),
                        QCoreApplication::translate("CConfirmationItem", "No"))
{
}

CConfirmationItem::CConfirmationItem(const QString& okText, const QString& cancelText) : m_okText(okText)
{
    SetCancelText(cancelText);
    SetUp({{okText, Callback()}}, Callback());
    connect(this, &CSelectionListItem::ItemSelected, this, &CConfirmationItem::OkSelected);
}

void CConfirmationItem::Show(QPointF pos)
{
    CSelectionListItem::Show(pos);
}

void CConfirmationItem::Show(QPointF pos, Callback okCallback)
{
    Show(pos, std::move(okCallback), Callback());
}

void CConfirmationItem::Show(QPointF pos, Callback okCallback, Callback cancelCallback)
{
    Clear();
    SetUp({{m_okText, std::move(okCallback)}}, cancelCallback);
    CSelectionListItem::Show(pos);
}

void CConfirmationItem::SelectOk()
{
    SelectItem();
}

void CConfirmationItem::SetText(QString okText, QString cancelText)
{
    m_okText = okText;
    SetCancelText(cancelText);
}

void CConfirmationItem::SetText(QString okText)
{
    SetText(okText, QString());
}

void CConfirmationItem::SetOkText(QString text)
{
    m_okText = text;
}

} // namespace Marevane
