// The status detail screen of a side or of one ship: a caption bar with the
// think time of the side to move, the side's name, four buttons (previous,
// next, close and the statistics toggle) and the side's statistics or the
// ship's status and statistics.
#pragma once

#include "app/GameScene.h"
#include "model/Types.h"

#include <QGraphicsRectItem>
#include <QRect>
#include <QTimer>

namespace Marevane {

class CPushButton;
class CShip;
class CShipStatusCollection;
class CStatsListCollection;
class CTextItem;
class CTurnManager;
class CUnit;

// The caption bar of the screen: the caption on the left and the remaining
// think time of the side to move on the right. It only reads the side's
// timer; starting and stopping it is the battle map's business.
class CStatusCaptionBar : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    static constexpr int Height = 27;

    CStatusCaptionBar(const CTurnManager* pTurnManager, qreal width, QGraphicsItem* parent = nullptr);

    void SetCaption(const QString& caption);
    QString GetCaption() const;
    QString GetTimeText() const;
    void SetWidth(qreal width);

  public slots:
    // Reads the time of the side whose turn it is.
    void Refresh();

  private:
    const CTurnManager* m_turnManager;
    QGraphicsSimpleTextItem* m_caption;
    QGraphicsSimpleTextItem* m_time;
    QTimer m_tick;
};

class CStatusDetailScene : public CGameScene {
    Q_OBJECT
  public:
    static constexpr MessageCode NextCode = 30;
    static constexpr MessageCode PreviousCode = 31;
    static constexpr MessageCode CloseCode = 33;

    explicit CStatusDetailScene(QObject* parent = nullptr);
    ~CStatusDetailScene() override;

    bool IsAllPlay() const { return m_isAllPlay; }
    const QRect& GetContentRect() const { return m_contentRect; }
    CPushButton* GetPrevButton() const { return m_prevButton; }
    CPushButton* GetNextButton() const { return m_nextButton; }
    CPushButton* GetCloseButton() const { return m_closeButton; }
    CPushButton* GetToggleButton() const { return m_toggleButton; }
    QGraphicsRectItem* GetButtonBar() const { return m_buttonBar; }
    CTextItem* GetNameItem() const { return m_nameItem; }
    CShipStatusCollection* GetShipStatusList() const { return m_shipStatusList; }
    CStatsListCollection* GetStatsList() const { return m_statsList; }
    CStatusCaptionBar* GetCaptionBar() const { return m_captionBar; }

  signals:
    void MenuSelected(Marevane::MessageCode code);

  public slots:
    void SetTurnManager(const Marevane::CTurnManager* pTurnManager);
    void CreateItems(const Marevane::CUnit* pUnit);
    void CreateItems(const Marevane::CUnit* pUnit, const Marevane::CShip* pShip);
    void Clear();
    void SetControlEnabled(bool isEnabled);
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  private:
    void CreateHeader(bool isShip);
    void CreateNameLine(const CUnit* pUnit);
    void CreateButtonBar();
    CTextItem* CreateTextItem(const QString& text);
    QSize ViewSize() const;
    int ScrollBarWidth() const;
    void FitName();
    qreal ShownBottom() const;

    QRect m_contentRect;
    QGraphicsRectItem* m_buttonBar = nullptr;
    CTextItem* m_playerLabel = nullptr;
    CTextItem* m_nameItem = nullptr;
    CShipStatusCollection* m_shipStatusList = nullptr;
    CStatsListCollection* m_statsList = nullptr;
    CStatusCaptionBar* m_captionBar = nullptr;
    const CTurnManager* m_turnManager = nullptr;
    CPushButton* m_prevButton = nullptr;
    CPushButton* m_nextButton = nullptr;
    CPushButton* m_closeButton = nullptr;
    CPushButton* m_toggleButton = nullptr;
    bool m_isAllPlay = false;
};

} // namespace Marevane
