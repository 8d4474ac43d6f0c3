// The message pane under the battle map and on the set-up screens: a
// growing column of lines, a page control that browses the saved battle
// logs, and a reading mode that shows queued texts one at a time.
#pragma once

#include "app/GameScene.h"

#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QRect>
#include <QString>
#include <QTimer>
#include <QVector>

#include <deque>
#include <string>
#include <vector>

class QGraphicsProxyWidget;

namespace Marevane {

class CLoggerImpl;
class CPushButton;
class CTextItem;

class CMessageScene : public CGameScene {
    Q_OBJECT
  public:
    // Intervals of the timed adds, in ms of real play (scaled like every delay).
    static constexpr int SplitLineInterval = 25;
    static constexpr int ListInterval = 50;

    CMessageScene(int x, int y, const QSize& size, QObject* parent = nullptr);
    ~CMessageScene() override;

    // The battle logger whose entries the page control browses; none when
    // the pane has no log (set-up screens).
    void SetLogger(CLoggerImpl* pLogger);
    CLoggerImpl* GetLogger() const { return m_logger; }
    // Lines added while logging are also kept by the logger.
    void SetLogging(bool isLogging) { m_isLogging = isLogging; }
    void SetPageLimit(int limit) { m_pageLimit = limit; }

    const QRect& GetArea() const { return m_area; }
    const std::vector<CTextItem*>& GetLines() const { return m_lines; }
    // The texts of the lines in the scene, in order.
    QStringList GetShownTexts() const;
    int GetShownLineCount() const { return m_shownLines; }
    int GetCurrentPage() const { return m_currentPage; }
    bool IsAdding() const { return m_lineTimer.isActive(); }
    bool IsNextMarkerShown() const { return m_nextMarker->isVisible(); }
    int GetQueuedCount() const { return static_cast<int>(m_readingQueue.size()); }
    CPushButton* GetPrevButton() const { return m_prevButton; }
    CPushButton* GetNextButton() const { return m_nextButton; }
    CPushButton* GetLatestButton() const { return m_latestButton; }
    QGraphicsRectItem* GetPageControl() const { return m_pageControl; }

  public slots:
    void Add(QString message, bool isAutoScroll);
    void Add(QString message);
    void Add(std::wstring message, bool isAutoScroll);
    void Add(std::wstring message);
    void Add(QVector<QString> messageList, int interval);
    void Add(QVector<QString> messageList);
    void Add(std::vector<std::wstring> messageList, int interval);
    void Add(std::vector<std::wstring> messageList);
    void Set(QString message);
    void Set(std::wstring message);
    void Read(QVector<QString> text);
    void ShowLog(int page);
    void ShowLog();
    void ShowPrevLog();
    void ShowNextLog();
    void ShowLatestLog();
    void Clear();
    void EnablePageControl();
    void DisablePageControl();
    void ShowPageControl();
    void HidePageControl();
    void AdjustViewPosition(const QSize& size) override;
    void AdjustControlHeight();
    // The view's scroll bar moved.
    void AdjustControlHeight(int scrollValue);

  public:
    using CGameScene::AdjustViewPosition;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private slots:
    void AddListImpl();
    void ReadNext();

  private:
    void AddList(const QVector<QString>& messageList, bool isAutoScroll, int interval);
    CTextItem* MakeLine(const QString& text);
    // Chains a line under the one before it (the first at 8, 12).
    void PlaceLine(CTextItem* line, int index);
    void Record(const QString& text);
    void ShowLine(int index);
    void Layout();
    void ScrollToEnd();
    void ReleaseFocus();
    void BuildPageControl();
    void BuildNextMarker();
    int VisibleHeight() const { return m_area.height() - 3; }
    int ViewportHeight() const;

    QRect m_area;
    CLoggerImpl* m_logger = nullptr;
    std::vector<CTextItem*> m_lines;
    std::deque<QString> m_readingQueue;
    QGraphicsPolygonItem* m_nextMarker = nullptr;
    QGraphicsRectItem* m_pageControl = nullptr;
    CPushButton* m_prevButton = nullptr;
    CPushButton* m_nextButton = nullptr;
    CPushButton* m_latestButton = nullptr;
    QTimer m_lineTimer;
    int m_shownLines = 0;
    int m_currentPage = 1;
    int m_pageLimit = 1;
    bool m_isLogging = false;
    bool m_isAutoScroll = false;
};

} // namespace Marevane
