// The menus that pop up inside a scene: a column of clickable rows with a
// cancel row, driven by mouse and keyboard, that runs the callback of the
// row chosen. Rows come in columns of ten; Up and Down move by one, Left and
// Right by a column, both wrapping; Return chooses, Escape or Backspace and
// a right click cancel. The yes/no questions are lists of one row.
#pragma once

#include <QGraphicsRectItem>
#include <QList>
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QString>

#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

class QGraphicsTextItem;

namespace Marevane {

using Callback = std::function<void()>;
using CallbackSets = std::vector<std::pair<QString, Callback>>;

// One row: a text in a box that lights up under the pointer or with the
// keyboard focus. A left click, or Return while it has the focus, clicks it.
class CConfirmationText : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    CConfirmationText(const QString& text, QGraphicsItem* parent = nullptr);

    QString text() const;
    bool IsFocused() const { return m_isFocused; }
    // The width the row asks of a layout: its width at construction, or
    // more when a later text needs it.
    int GetBaseWidth() const { return m_baseWidth; }

  signals:
    void Clicked();

  public slots:
    // Replaces the text; the box keeps its size, or widens when the text no
    // longer fits in it.
    void SetText(QString text);
    void SetFocus();
    void ClearFocus();

  protected:
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    // The box's width for the text: 10 pixels before it, 12 after.
    int TextBoxWidth() const;

    QGraphicsTextItem* m_text;
    int m_baseWidth;
    bool m_isFocused = false;
};

class CSelectionListItem : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    CSelectionListItem();
    CSelectionListItem(const CallbackSets& callbacks, const Callback& cancelCallback);
    ~CSelectionListItem() override;

    // 0..row count; the row count stands for the cancel row.
    int GetCurrentIndex() const { return m_currentIndex; }
    int GetRowCount() const { return static_cast<int>(m_rows.size()); }
    const QList<CConfirmationText*>& GetRows() const { return m_rows; }
    CConfirmationText* GetCancelRow() const { return m_cancel; }

  signals:
    void ItemSelected();
    void CancelSelected();

  public slots:
    // Shows the list at pos (whole pixels) with the focus on the first row.
    void Show(QPointF pos);
    // The list again with these rows, then shown.
    void Show(QPointF pos, CallbackSets callbacks);
    void Show(QPointF pos, CallbackSets itemCallbacks, Callback cancelCallback);
    void Hide();
    // Drops every row and the cancel callback; the cancel row stays. Rows
    // leave the scene at once and are deleted later, so a row's own
    // callback may rebuild the list.
    void Clear();
    void AddItem(QString text, Callback callback);
    // An empty text hides the cancel row.
    void SetCancelText(QString text);
    void SetCancelCallback(Callback cancelCallback);
    // The row that was clicked, or the current one from the keyboard.
    void SelectItem();
    void SelectCancel();

  protected:
    void SetUp(const CallbackSets& callbacks, const Callback& cancelCallback);
    void Layout();

    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    enum class Move { Previous, Next, PageBack, PageForward };

    bool IsCancelShown() const;
    void MoveCurrent(Move move);
    // The row at the index, or the cancel row past the last row.
    CConfirmationText* ItemAt(int index) const;

    QList<CConfirmationText*> m_rows;
    std::unordered_map<const CConfirmationText*, Callback> m_callbacks;
    CConfirmationText* m_cancel;
    Callback m_cancelCallback;
    int m_currentIndex = 0;
    // Rows cleared but not deleted yet; the list deletes what is left.
    QList<QPointer<CConfirmationText>> m_retired;
};

// A question: one ok row and a cancel row ("Yes" and "No" unless given).
class CConfirmationItem : public CSelectionListItem {
    Q_OBJECT
  public:
    CConfirmationItem();
    // An empty cancel text shows the ok row alone.
    CConfirmationItem(const QString& okText, const QString& cancelText);

    const QString& GetOkText() const { return m_okText; }

  signals:
    void OkSelected();

  public slots:
    void Show(QPointF pos);
    void Show(QPointF pos, Callback okCallback);
    void Show(QPointF pos, Callback okCallback, Callback cancelCallback);
    void SelectOk();
    // The ok text (used from the next Show with callbacks) and the cancel
    // row's text; without a cancel text the cancel row is hidden.
    void SetText(QString okText, QString cancelText);
    void SetText(QString okText);
    void SetOkText(QString text);

  private:
    QString m_okText;
};

} // namespace Marevane
