// The screen shown when a battle has ended: the title picture, the last
// lines of the battle log, one statistics list per side in two columns and
// a row of buttons (the statistics toggle, "Save Log", "Replay" or "Watch
// Again", "Next Stage" in an arcade run, and "Exit"). The choice goes to the
// battle end sequence as a message code; while a replay waits for the other
// players a guidance message with a cancel row is shown.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "app/ScenePool.h"
#include "model/Types.h"

#include <QPointer>
#include <QRect>
#include <QVector>

#include <vector>

class QGraphicsLinearLayout;
class QGraphicsProxyWidget;
class QGraphicsWidget;

namespace Marevane {

class CConfirmationItem;
class CLogoItem;
class CNotificationBar;
class CPushButton;
class CStatsListCollection;
class CTextItem;
class CTurnManager;
class CUnit;

class CBattleResultScene : public CGameScene {
    Q_OBJECT
  public:
    static constexpr MessageCode ReplayCode = 28;
    static constexpr MessageCode ExitCode = 29;
    static constexpr MessageCode NextStageCode = 30;

    CBattleResultScene(int x, int y, int width, int height, QObject* parent = nullptr);
    ~CBattleResultScene() override;

    void SetArcadeMode(bool isArcade) { m_isArcade = isArcade; }
    bool IsArcadeMode() const { return m_isArcade; }
    bool IsWatchMode() const { return m_isWatching; }
    bool IsAllPlayShown() const { return m_isAllPlay; }
    bool IsReplayShown() const { return m_isReplayShown; }
    bool IsNextStageShown() const { return m_isNextStageShown; }
    CTurnManager* GetTurnManager() const { return m_turnManager; }

    // Stores the flag; the replay button and the cancel row follow it.
    void SetWatchMode(bool isWatching);
    // isShown: a next stage exists; isNextStage: it may be played now (won
    // and not watching). Outside arcade mode only "Replay" shows.
    void ShowStageButtons(bool isShown, bool isNextStage);
    // The focus to the first choice the player can make: Next Stage, else
    // Replay, else Exit.
    void FocusFirstChoice();

    const QRect& GetArea() const { return m_area; }
    const QRect& GetColumn() const { return m_column; }
    const QVector<CStatsListCollection*>& GetStatsLists() const { return m_statsLists; }
    CTextItem* GetHeader() const { return m_header; }
    CLogoItem* GetTitle() const { return m_title; }
    QGraphicsWidget* GetButtonBar() const { return m_buttonBar; }
    CNotificationBar* GetMessageBar() const { return m_messageBar; }
    CConfirmationItem* GetCancelItem() const { return m_cancelItem; }
    CPushButton* GetToggleButton() const { return m_toggleButton; }
    CPushButton* GetSaveLogButton() const { return m_saveLogButton; }
    CPushButton* GetReplayButton() const { return m_replayButton; }
    CPushButton* GetExitButton() const { return m_exitButton; }
    CPushButton* GetNextStageButton() const { return m_nextStageButton; }

  signals:
    void MenuSelected(Marevane::MessageCode code);

  public slots:
    // A new battle's result: the choice buttons enabled again, "Save Log"
    // back to its first state (enabled with a turn manager), the lists rebuilt.
    void SetTurnManager(Marevane::CTurnManager* pTurnManager);
    void SetPlayerList(QVector<Marevane::CUnit*> playerList);
    void SetPlayerList(std::vector<Marevane::CUnit*> playerList);
    void ShowMessage(QString text, int millisec);
    void ShowMessage(QString text);
    void ShowReplayGuidance();
    void ShowRewatchGuidance();
    void Clear();
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  private slots:
    void AdjustNotificationPosition();
    void SendReplayCode();
    void SendExitCode();
    void SendNextStageCode();
    void ToggleStatistics();
    void SaveLog();

  private:
    void Build();
    void CreateButtonBar();
    void CenterButtonBar(qreal x);
    void LayOutButtons();
    bool IsButtonShown(const CPushButton* button) const;
    void SetChoicesEnabled(bool isEnabled);
    void ShowGuidance(const QString& text);
    void CancelGuidance();
    int ScrollBarWidth() const;
    // The top of the visible part of the view, and its height.
    qreal VisibleTop() const;
    qreal VisibleHeight() const;

    bool m_isAllPlay = false;
    bool m_isArcade = false;
    bool m_isWatching = false;
    bool m_isNarrowedForScrollBar = false;
    bool m_isReplayShown = true;
    bool m_isNextStageShown = false;
    QRect m_area;
    QRect m_column;
    std::vector<CUnit*> m_players;
    QVector<CStatsListCollection*> m_statsLists;
    CLogoItem* m_title = nullptr;
    CTextItem* m_header = nullptr;
    QGraphicsWidget* m_buttonBar = nullptr;
    QGraphicsLinearLayout* m_buttonLayout = nullptr;
    CNotificationBar* m_messageBar = nullptr;
    CConfirmationItem* m_cancelItem = nullptr;
    CPushButton* m_toggleButton;
    CPushButton* m_saveLogButton;
    CPushButton* m_replayButton;
    CPushButton* m_exitButton;
    CPushButton* m_nextStageButton;
    CTurnManager* m_turnManager = nullptr;
    QPointer<QObject> m_scrollConnectionTarget;
};

// The result screen's view: the main background, a vertical scroll bar
// when the lists are taller than the window.
class CBattleResultView : public CMainView {
    Q_OBJECT
  public:
    explicit CBattleResultView(QGraphicsScene* pScene = nullptr, QWidget* parent = nullptr);
};

// Puts the result screen's maker into the pool's table (scene area 0, 0,
// 720, 600), in place of any there.
void AddBattleResultSceneMaker(SceneMakers& makers);

} // namespace Marevane
