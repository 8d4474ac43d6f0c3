#include "gui/Widgets.h"

#include "gui/SoundFeedback.h"
#include "gui/Style.h"

#include <QFont>
#include <QPixmap>

#include <algorithm>

namespace Marevane {

// --- CWidgetItem ----------------------------------------------------------

CWidgetItem::CWidgetItem(QGraphicsItem* parent) : QGraphicsProxyWidget(parent)
{
    setAcceptHoverEvents(true);
}

CWidgetItem::CWidgetItem(QWidget* widget, const QString& helpText, QGraphicsItem* parent)
    : QGraphicsProxyWidget(parent), m_helpText(helpText)
{
    setAcceptHoverEvents(true);
    setWidget(widget);
}

void CWidgetItem::SendHelp()
{
    emit HelpSent(m_helpText);
}

void CWidgetItem::ClearHelp()
{
    emit HelpSent(QString());
}

void CWidgetItem::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    SendHelp();
    QGraphicsProxyWidget::hoverEnterEvent(event);
}

void CWidgetItem::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    ClearHelp();
    QGraphicsProxyWidget::hoverLeaveEvent(event);
}

// --- CLogoItem ------------------------------------------------------------

CLogoItem::CLogoItem(const QString& path, QGraphicsItem* parent) : QGraphicsPixmapItem(QPixmap(path), parent)
{
}

void CLogoItem::CenterIn(QSize size, QPoint offset)
{
    const QSize picture = pixmap().size();
    setPos(offset.x() + (size.width() - picture.width()) / 2,
           offset.y() + (size.height() - picture.height()) / 2);
}

// --- CLineEdit ------------------------------------------------------------

CLineEdit::CLineEdit(QWidget* parent) : QLineEdit(parent)
{
    setAttribute(Qt::WA_InputMethodEnabled, true);
    setWindowFlags(windowFlags() | Qt::BypassGraphicsProxyWidget);
    setStyleSheet(LineEditStyleSheet());
}

QVariant CLineEdit::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImCursorRectangle) return QLineEdit::inputMethodQuery(query);
    const QRect cursor = cursorRect();
    QRect below;
    below.setLeft(std::max(cursor.left(), 1));
    below.setRight(cursor.right());
    below.setTop(height());
    below.setHeight(cursor.height());
    return below;
}

// --- CPushButton ----------------------------------------------------------

CPushButton::CPushButton(Sound::SeCode seCode, QWidget* parent) : CPushButton(QString(), seCode, parent) {}

CPushButton::CPushButton(const QString& text, Sound::SeCode seCode, QWidget* parent)
    : QPushButton(text, parent), m_seCode(seCode)
{
    SetUp();
    connect(this, &QPushButton::clicked, this, &CPushButton::PlaySound);
}

void CPushButton::SetUp()
{
    QFont font;
    font.setPixelSize(13);
    setFont(font);
    setFlat(true);
    setStyleSheet(ButtonStyleSheet());
}

void CPushButton::PlaySound()
{
    PlaySoundEffect(m_seCode, true);
}

// --- CSlider --------------------------------------------------------------

CSlider::CSlider(QWidget* parent) : QSlider(Qt::Horizontal, parent)
{
    setAttribute(Qt::WA_TranslucentBackground, true);
    setWindowFlags(windowFlags() | Qt::BypassGraphicsProxyWidget);
    setStyleSheet(SliderStyleSheet());
    setMinimumHeight(24);
}

// --- CSpinBox -------------------------------------------------------------

CSpinBox::CSpinBox(QWidget* parent) : QSpinBox(parent)
{
    setWindowFlags(windowFlags() | Qt::BypassGraphicsProxyWidget);
    setStyleSheet(SpinBoxStyleSheet());
}

QVariant CSpinBox::inputMethodQuery(Qt::InputMethodQuery query) const
{
    if (query != Qt::ImCursorRectangle) return QSpinBox::inputMethodQuery(query);
    QRect below;
    below.setLeft(1);
    below.setRight(1);
    below.setTop(height());
    below.setBottom(2 * height() - 1);
    return below;
}

} // namespace Marevane
