// Rows of a label and a value inside a scene: the list collection for
// read-only lists (statistics, status) and the settings collection for
// rows of a label and an interactive widget with help texts.
#pragma once

#include <QGraphicsRectItem>
#include <QList>
#include <QObject>
#include <QSize>
#include <QString>

#include <vector>

namespace Marevane {

struct GameEditInfo;
class CTextItem;
class CWidgetItem;

// Labels on the left, values right-aligned on the right; a derived list
// may change the layout metrics.
class CListCollection : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    explicit CListCollection(const QRectF& rect, QGraphicsItem* parent = nullptr);

    // A row text (text font and colour, margin 0) for the caller to put
    // into a column; it lies above the values made before it.
    CTextItem* CreateTextItem(const QString& text, QGraphicsItem* parent);

    QList<QGraphicsItem*>& GetLabels() { return m_labels; }
    QList<QGraphicsItem*>& GetValues() { return m_values; }
    const QList<QGraphicsItem*>& GetLabels() const { return m_labels; }
    const QList<QGraphicsItem*>& GetValues() const { return m_values; }

    // Between one row and the next, below the last row, left of every label
    // (and right of every value), and between the two columns.
    virtual int RowSpacing() const { return 0; }
    virtual int BottomMargin() const { return 0; }
    virtual int LeftMargin() const { return 8; }
    virtual int ColumnGap() const { return 12; }

  public slots:
    void Show();
    void Hide();
    // Removes every child item from the scene, deletes it and empties both columns.
    virtual void Clear();
    // Takes the size and lays the rows out under the offset item (from the
    // top without one); the height then follows the rows.
    virtual void AdjustPosition(QSize size, QGraphicsItem* pOffsetItem);
    virtual void AdjustPosition(QSize size);
    // The same at the collection's present size.
    void AdjustToOffsetItem(QGraphicsItem* pOffsetItem = nullptr);

  protected:
    QList<QGraphicsItem*> m_labels;
    QList<QGraphicsItem*> m_values;
};

// One line holding two labelled widgets; it stands in a settings row in
// place of a widget.
class CFramedRow : public QGraphicsRectItem {
  public:
    explicit CFramedRow(QGraphicsItem* parent = nullptr);

    CTextItem* GetFirstLabel() const { return m_labels[0]; }
    CTextItem* GetSecondLabel() const { return m_labels[1]; }
    CWidgetItem* GetFirstWidgetItem() const { return m_widgets[0]; }
    CWidgetItem* GetSecondWidgetItem() const { return m_widgets[1]; }

  private:
    friend class CSettingsCollection;
    CTextItem* m_labels[2] = {nullptr, nullptr};
    CWidgetItem* m_widgets[2] = {nullptr, nullptr};
};

// A column of rows, each a label and the item of its widget, with the
// widget's help sent while the pointer is on the label or the widget.
class CSettingsCollection : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    // The owner is kept for derived collections; nothing here uses it.
    explicit CSettingsCollection(QObject* owner = nullptr, QGraphicsItem* parent = nullptr);

    QObject* GetOwner() const { return m_owner; }

    // Adds a row: the label and, with a widget, a widget item holding it
    // and its help, one z-level below zRef (z 100 without one). Answers the
    // widget item; without a widget, zRef, which then stands in the row's
    // widget place (a framed row, or nothing).
    QGraphicsItem* AddRow(const QString& text, QWidget* widget, QGraphicsItem* zRef = nullptr,
                          const QString& help = QString());
    // Two labelled widgets on one line in a frame of their own, both with
    // the help text; z as in AddRow. Give it to AddRow as zRef of a label
    // without a widget to place it in that row.
    CFramedRow* AddFramedRow(const QString& firstText, const QString& secondText, QWidget* firstWidget,
                             QWidget* secondWidget, QGraphicsItem* zRef = nullptr,
                             const QString& help = QString());

    int GetRowCount() const { return static_cast<int>(m_labels.size()); }
    CTextItem* GetLabel(int row) const { return m_labels.at(row); }
    // The item in the row's widget place, or null.
    QGraphicsItem* GetRowItem(int row) const { return m_widgets.at(row); }
    // The row's widget item, or null when the row has none.
    CWidgetItem* GetWidgetItem(int row) const;

    // The widest row: label + widget + 30; rows without a widget count not.
    int GetRequiredWidth() const;
    // Labels on the left, widgets right-aligned, 16 pixels between rows.
    void LayoutRows(int width);
    // The first four widgets as two rows of two (the button rows of a
    // screen's last collection); with fewer, the plain row layout.
    void LayoutRowsOfLast(int width);

  signals:
    void Shown();
    void Hidden();
    void HelpSent(QString helpMessage);

  public slots:
    // Write the rows into the rules; build the rows. Derived collections fill them in.
    virtual void Apply(Marevane::GameEditInfo& info);
    virtual void Build();
    void Show();
    void Hide();
    // With a label (the pointer on it) the widget item sends its help;
    // without one (the pointer gone) the empty help is sent.
    void SendHelpOfLabel(const Marevane::CTextItem* pTextItem, const Marevane::CWidgetItem* pWidgetItem);

  private:
    CWidgetItem* MakeWidgetItem(QWidget* widget, const QString& help, QGraphicsItem* parent, qreal z);
    void ConnectLabel(CTextItem* label, CWidgetItem* widgetItem);

    QObject* m_owner;
    std::vector<CTextItem*> m_labels;
    std::vector<QGraphicsItem*> m_widgets;
};

} // namespace Marevane
