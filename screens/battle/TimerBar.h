// The two caption bars of the battle map: the timer bar counts down the
// think time of the side to move, plays the timer's countdown sounds and
// reports when the time runs out; the turn information bar names the round,
// the turn and the side to move, or shows a picture caption.
#pragma once

#include <QGraphicsRectItem>
#include <QObject>
#include <QPixmap>
#include <QString>
#include <QTimer>

namespace Marevane {

class CTimer;
class CTurnManager;
class CTextItem;

class CTimerBar : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    explicit CTimerBar(QGraphicsItem* parent = nullptr);
    ~CTimerBar() override;

    // The timer the bar follows (none: the bar shows no limit). A limited
    // timer whose worker is idle gets its worker launched.
    void SetTimer(CTimer* pTimer);
    CTimer* GetTimer() const { return m_timer; }
    QString GetText() const { return m_text; }
    bool IsTicking() const { return m_tick.isActive(); }

  signals:
    void TimeLost();

  public slots:
    void Show();
    void Update();
    // Lets go of the timer and shows no limit.
    void Clear();
    void Start();
    void Restart();
    void Stop();
    // Right edge on the parent's right edge.
    void AdjustPosition();

  private:
    void LaunchWorker();
    void PlayCue();
    void ReportLost();

    CTimer* m_timer = nullptr;
    QTimer m_tick;
    QGraphicsPixmapItem* m_label;
    CTextItem* m_textItem;
    QString m_text;
    // One report per count the bar started (Start, Restart).
    bool m_isLost = true;
};

class CTurnInfoBar : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    static constexpr int Width = 416;
    static constexpr int Height = 27;

    explicit CTurnInfoBar(CTurnManager* pTurnManager = nullptr, QGraphicsItem* parent = nullptr);

    void SetTurnManager(CTurnManager* pTurnManager) { m_turnManager = pTurnManager; }
    CTurnManager* GetTurnManager() const { return m_turnManager; }
    QString GetText() const;
    const QGraphicsPixmapItem* GetMessageImage() const { return m_messageImage; }
    // The bar and its text take the width.
    void SetWidth(qreal width);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  public slots:
    // Round, turn and the name of the side to move; empty without them.
    void Show();
    void Show(QString message);
    void Show(QPixmap messageImg);
    void Clear();

  private:
    void DeleteMessageImage();

    CTurnManager* m_turnManager;
    QGraphicsPixmapItem* m_caption;
    QGraphicsPixmapItem* m_messageImage = nullptr;
    CTextItem* m_textItem;
};

} // namespace Marevane
