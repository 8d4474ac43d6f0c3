// The widgets the scenes place through proxies, in the shared look, the
// proxy that carries a widget's help text, and a picture item for logos.
#pragma once

#include "sound/SoundTypes.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsProxyWidget>
#include <QLineEdit>
#include <QObject>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>

namespace Marevane {

// Sends its help text while the pointer is on it, and the empty text when
// the pointer leaves.
class CWidgetItem : public QGraphicsProxyWidget {
    Q_OBJECT
  public:
    explicit CWidgetItem(QGraphicsItem* parent = nullptr);
    // Takes the widget (the item then owns it) and its help text.
    CWidgetItem(QWidget* widget, const QString& helpText, QGraphicsItem* parent = nullptr);

    const QString& GetHelpText() const { return m_helpText; }
    void SetHelpText(const QString& helpText) { m_helpText = helpText; }

  signals:
    void HelpSent(QString helpMessage);

  public slots:
    void SendHelp();
    void ClearHelp();

  protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;

  private:
    QString m_helpText;
};

// One picture from a resource path; it fades through its opacity.
class CLogoItem : public QObject, public QGraphicsPixmapItem {
    Q_OBJECT
    Q_PROPERTY(qreal opacity READ opacity WRITE setOpacity)
  public:
    explicit CLogoItem(const QString& path, QGraphicsItem* parent = nullptr);

    // Centres the picture in an area of that size starting at offset
    // (integer halves).
    void CenterIn(QSize size, QPoint offset = QPoint());
};

// The input method's window opens just below the field.
class CLineEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit CLineEdit(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};

// A flat button that plays its sound effect, lowering the music, on every
// click (0 plays none).
class CPushButton : public QPushButton {
    Q_OBJECT
  public:
    explicit CPushButton(Sound::SeCode seCode = Sound::SeNone, QWidget* parent = nullptr);
    CPushButton(const QString& text, Sound::SeCode seCode = Sound::SeNone, QWidget* parent = nullptr);

    Sound::SeCode GetSeCode() const { return m_seCode; }
    void SetSeCode(Sound::SeCode seCode) { m_seCode = seCode; }

    // Text font at 13 pixels, flat, the shared button style sheet.
    void SetUp();

  private slots:
    void PlaySound();

  private:
    Sound::SeCode m_seCode;
};

class CSlider : public QSlider {
    Q_OBJECT
  public:
    explicit CSlider(QWidget* parent = nullptr);
};

// The input method's window opens just below the box.
class CSpinBox : public QSpinBox {
    Q_OBJECT
  public:
    explicit CSpinBox(QWidget* parent = nullptr);

    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;
};

} // namespace Marevane
