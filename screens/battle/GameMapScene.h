// The battle map: a grid of panel icons inside an invisible boundary ring,
// with row and column labels and cell borders drawn by the layer, a legend
// of the special panels, and the ship, mine and torpedo icons on top. The
// layer and background are sized from the board; a board outside 3 to 9
// panels each way is not shown. The view tiles the sea behind it and tells
// the scene its size, and the scene centres the map in it.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "model/Types.h"
#include "screens/battle/MapSize.h"
#include "screens/battle/PanelIcon.h"
#include "sound/SoundTypes.h"

#include <QElapsedTimer>
#include <QGraphicsItem>
#include <QGraphicsRectItem>
#include <QList>
#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <vector>

class QThread;

namespace Marevane {

class CAnimation;
class CAttackAnimation;
class CBoard;
class CCommandInputManager;
class CCommandMenu;
class CConfirmationItem;
class CDamageAnimation;
class CIcon;
class CMineAnimation;
class CMineIcon;
class CMoveAnimation;
class CNotificationBar;
class CScheduledExecution;
class CSelectionListItem;
class CShip;
class CShipFactory;
class CShipIcon;
class CSinkingAnimation;
class CSurpriseAnimation;
class CTimerBar;
class CTooltip;
class CTorpedo;
class CTorpedoIcon;
class CTurnInfoBar;
class CTurnManager;
class CUnit;
struct GameEditInfo;
struct MineProfile;
struct ShipProfile;

// A ship moved onto the panel it already stands on.
class CPanelNotChangedError : public std::range_error {
  public:
    CPanelNotChangedError() : std::range_error("PanelNotChangedError") {}
};

// The area the view shows the map in; the notification bar's anchor.
class CGameMapBackground : public QGraphicsRectItem {
  public:
    using QGraphicsRectItem::QGraphicsRectItem;
};

// Row and column labels and the borders of the cells.
class CGameMapLayer : public QGraphicsItem {
  public:
    CGameMapLayer(CBoard* pMap, const QRectF& rect);

    QRectF boundingRect() const override { return m_rect; }
    void SetRect(const QRectF& rect);
    // The labels, in the order they are drawn: rows "R1".., then columns "C1"..
    QStringList GetLabels() const;
    // The top-left corner of the first inner cell.
    void SetGridOrigin(const QPoint& origin) { m_gridOrigin = origin; }
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  private:
    CBoard* m_map;
    QRectF m_rect;
    QPoint m_gridOrigin;
    QPixmap m_all;
    QPixmap m_topLeft;
    QPixmap m_topLeftRight;
    QPixmap m_topLeftBottom;
};

class CGameMapScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CGameMapScene(CBoard* pMap, QObject* parent = nullptr);
    ~CGameMapScene() override;

    // Layout of a board of that size: the layer holds the grid with its
    // ring and a row for the column labels; the background adds room on
    // each side for the legend.
    static QSize LayerSize(const MapSize& size);
    static QSize BackgroundSize(const MapSize& size);

    CBoard* GetMap() const { return m_map; }
    // Whether the board's size can be shown (3 to 9 each way).
    bool IsBoardShown() const;
    void SetTurnManager(CTurnManager* pTurnManager) { m_turnManager = pTurnManager; }
    CTurnManager* GetTurnManager() const { return m_turnManager; }
    void SetShipFactory(CShipFactory* pFactory) { m_shipFactory = pFactory; }
    // The local player (never null); a watching player sees every side.
    void SetPlayer(CUnit* pPlayer);
    CUnit* GetPlayer() const { return m_player; }
    void SetUnits(const std::vector<CUnit*>& units);
    const std::vector<CUnit*>& GetUnits() const { return m_units; }
    // True on an audience machine: no local player, or one that watches.
    bool IsAudience() const;

    // Look-ups; none gives null.
    CUnit* GetUnit(std::int64_t id) const; // -1: the local player
    static CShip* GetShip(const CUnit* pUnit, std::uint32_t shipId);
    CPanelIcon* GetPanelIcon(const CPanel* pPanel) const { return m_panelTable.value(pPanel, nullptr); }
    CPanel* GetPanelOf(const QGraphicsItem* pItem) const { return m_reverseTable.value(pItem, nullptr); }
    CShipIcon* GetShipIcon(const CShip* pShip) const;
    // The last icon of that ship id that is seen.
    CShipIcon* GetShipIcon(std::uint32_t shipId) const;

    const PanelIconTable& GetPanelTable() const { return m_panelTable; }
    // Every panel icon, rows then columns, the ring included.
    const QVector<CPanelIcon*>& GetPanelIcons() const { return m_panelIcons; }
    const std::vector<CShipIcon*>& GetShipIcons() const { return m_shipIcons; }
    const QList<CTorpedoIcon*>& GetTorpedoIcons() const { return m_torpedoIcons; }
    const QList<CMineIcon*>& GetMineIcons() const { return m_mineIcons; }
    const std::vector<QGraphicsItem*>& GetLegendItems() const { return m_legendItems; }
    CGameMapBackground* GetBackground() const { return m_background; }
    CGameMapLayer* GetLayer() const { return m_layer; }
    CNotificationBar* GetNotificationBar() const { return m_notificationBar; }
    // The top-left corner of the ring's first panel.
    QPoint GetOrigin() const { return m_origin; }

    // Mines and torpedoes on the map. A record that is not laid, or spent,
    // gets no icon (null).
    CMineIcon* AddMineIcon(MineProfile* pMine);
    CTorpedoIcon* AddTorpedoIcon(CTorpedo* pTorpedo);
    void RemoveTorpedoIcon(CTorpedoIcon* pIcon);
    // The icons of every laid mine and running torpedo of the board and sides.
    void RebuildWeaponIcons();
    // Puts the icons on their panels, spread where they share one.
    void PlaceTorpedoIcons();
    void PlaceMineIcons();
    // The shift of the k-th of count icons of that size sharing a panel;
    // lowered by a quarter when ships stand there too.
    static QPoint SpreadOffset(int k, int count, const QSize& size, bool isUnderShip);

    // Effects of results, each its own animation, deleted when it stops;
    // Finished(code) reports the end. Null when there is nothing to show it on.
    CAttackAnimation* AnimateAttack(CPanelIcon* pPanelIcon, CIcon* pTarget, MessageCode code = 57);
    CDamageAnimation* AnimateDamage(CPanelIcon* pPanelIcon, CShipIcon* pShipIcon, MessageCode code = 57);
    // The ship's own icon sinks when it is shown; otherwise an icon of the
    // ship's own is made for the effect on its panel.
    CSinkingAnimation* AnimateSinking(CShip* pShip, MessageCode code = 57);
    CSurpriseAnimation* AnimateSurprise(CPanelIcon* pPanelIcon, CShipIcon* pShipIcon, MessageCode code = 57);
    CMoveAnimation* AnimateMove(CIcon* pIcon, CPanelIcon* pFrom, CPanelIcon* pTo, MessageCode code = 57,
                                Sound::SeCode sound = Sound::SeNone);
    CMineAnimation* AnimateMine(CShipIcon* pShipIcon, CPanelIcon* pTarget, MessageCode code = 57);
    // Stops every effect without a report and lets go of the icons.
    void StopAnimations();
    int CountRunningAnimations() const;

  signals:
    void MessageSent(QString message);
    void MessageDeleted();
    void ShipDataChanged();

  public slots:
    void Init();
    void Rebuild();
    // Refused (false, nothing changes) for a size that cannot be shown.
    bool Resize(const Marevane::MapSize& size);
    void NotifyOf(QString message);
    void AdjustViewPosition(const QSize& size) override;
    void InitShipData();
    void UpdateShipData();
    void UpdatePanelData();
    void BuildShipIcons();

    // Turn notices and results
  public:
    // What happens after a computer side's command was refused this often
    // in a row: it passes.
    static constexpr int ComputerFailureLimit = 3;

    CTurnInfoBar* GetTurnInfoBar() const { return m_turnInfoBar; }
    CTimerBar* GetTimerBar() const { return m_timerBar; }
    // The running computer turn's thread, or null.
    QThread* GetComputerThread() const;
    bool IsComputerTurnRunning() const;
    bool HasPendingStep() const { return static_cast<bool>(m_pendingStep); }
    bool IsSurpriseShown() const { return m_isSurpriseShown; }

  public slots:
    // The display of one step of the battle: notices, timers, the computer's
    // turn and the animations of results (the profile: the ship of a result line).
    void Update(Marevane::MessageCode code, const Marevane::ShipProfile* pShipProfile);
    void Update(Marevane::MessageCode code);

  private slots:
    void CountTorpedoAnimationFinished();

  private:
    void ShowBattleStart(MessageCode code);
    void ShowTurnStart();
    void ShowTurnEnd();
    void ShowSuccess(const ShipProfile* pShipProfile);
    void ShowFollowUp();
    void ShowShipResult(const ShipProfile& profile);
    void ShowFailure(MessageCode code);
    void ShowShipDataChanges(MessageCode code);
    void StartComputerTurn();
    void StopComputerTurn();
    void FinishComputerTurn(std::uint64_t turn, MessageCode code);
    // What stopping the operation does for a turn: the computer stops
    // thinking and the clock stops.
    void StopTurnClock();
    void PruneTorpedoIcons();
    // The seams to command input and fleet placement.
    void BeginCommandInput();
    void StopOperationForTurn();
    void ConfirmBattleStartForTurn();
    void ConfirmTurnEndForTurn();
    CShipIcon* VisibleShipIconOn(const CPanel* pPanel) const;
    void AdvanceTorpedoes();
    void UpdateMineIcons();
    void ShowNote(const QString& text, CIcon* pIcon);
    void ShowFuelNote(CShipIcon* pIcon, const ShipProfile& profile);
    void ShowAllFuelNotes();
    bool IsHostPlayer() const;
    bool IsShownToThisMachine(const CUnit* pUnit) const;

    CTurnInfoBar* m_turnInfoBar = nullptr;
    CTimerBar* m_timerBar = nullptr;
    // Run once by the next follow-up step (57); per battle.
    std::function<void()> m_pendingStep;
    bool m_isSurpriseShown = false;
    QPointer<QThread> m_computerThread;
    // The number of the current computer turn (0: none runs); a completion
    // of any other is stale.
    std::uint64_t m_computerTurn = 0;
    std::uint64_t m_computerTurnCount = 0;
    // Effects report their end to Update once a battle has started.
    bool m_isReportingEffects = false;
    int m_computerFailures = 0;
    int m_torpedoMoves = 0;
    int m_torpedoMovesFinished = 0;
    QTimer* m_nextTurnTimer = nullptr;

  private:
    bool DeferDuringDrag(void (CGameMapScene::*step)());
    void EndDrag();
    void BuildItems();
    void BuildPanelIcons();
    void BuildLegend();
    void ClearIcons();
    void PlaceShipIcons();
    void RecomputeOrigin();
    bool IsVisibleTo(const CUnit* pUnit) const;
    template <class Animation> Animation* Track(Animation* animation);
    void PlaceSpread(const QList<CIcon*>& icons);

    CBoard* m_map;
    CNotificationBar* m_notificationBar = nullptr;
    CTooltip* m_tooltip = nullptr;
    CGameMapBackground* m_background = nullptr;
    CGameMapLayer* m_layer = nullptr;
    PanelIconTable m_panelTable;
    QHash<const QGraphicsItem*, CPanel*> m_reverseTable;
    QVector<CPanelIcon*> m_panelIcons;
    std::vector<CShipIcon*> m_shipIcons;
    QList<CTorpedoIcon*> m_torpedoIcons;
    QList<CMineIcon*> m_mineIcons;
    std::vector<QGraphicsItem*> m_legendItems;
    std::vector<CUnit*> m_units;
    CUnit* m_player = nullptr;
    CTurnManager* m_turnManager = nullptr;
    CShipFactory* m_shipFactory = nullptr;
    QList<QPointer<CAnimation>> m_animations;
    const CShipIcon* m_dragSource = nullptr;
    std::vector<void (CGameMapScene::*)()> m_afterDrag;
    QPoint m_origin;

    // Fleet placement
  public:
    // The rules that set how many ships the local side places; without
    // them no limit is checked.
    void SetPlacementRules(const GameEditInfo* pRules) { m_placementRules = pRules; }
    // Panel icons a ship may go to, while a placement is pending.
    const QHash<CPanelIcon*, const CShipIcon*>& GetPositionablePanels() const { return m_positionablePanels; }
    bool IsPlacementPending() const { return !m_positionablePanels.isEmpty(); }
    // Puts a new ship of the type (ship id 0 or unknown to the side) on the
    // panel, or moves the side's ship there. A refusal shows its notice and
    // changes nothing; answers whether the fleet changed.
    bool PlaceShip(CUnit* pUnit, std::uint32_t shipId, std::uint32_t shipType, CPanel* pPanel);
    // Throws CPanelNotChangedError, CPanelRangeError or CPanelOnOtherShipError.
    void MoveShip(CUnit* pUnit, CShip* pShip, CPanel* pPanel);
    // A click on a panel while a placement is pending: a new ship of the
    // type being placed goes there. False when no placement is pending.
    bool PlaceByClick(CPanelIcon* pPanelIcon);
    CSelectionListItem* GetSelectionList();
    CConfirmationItem* GetInputConfirmation();
    CConfirmationItem* GetActionConfirmation();
    // The panel icon the prompts stand beside: the middle column of the last row.
    CPanelIcon* GetPromptPanelIcon() const;

  public slots:
    void ChangeToPositionable(const Marevane::CShipIcon* pShipIcon);
    void ConfirmBattleStart();
    void ConfirmFlagship();
    void ConfirmRequest();
    void ConfirmRequest(QString message);

  protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent* event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent* event) override;
    void dropEvent(QGraphicsSceneDragDropEvent* event) override;

  private:
    bool IsAcceptedDrag(const QGraphicsSceneDragDropEvent* event) const;
    QString OutOfRangeText() const;
    // x + width + width / 4 + extra, y + 1 of the prompt panel, kept inside the view.
    QPointF PromptPosition(qreal itemWidth, int extra) const;
    void FocusView();
    void EndPlacement();

    const GameEditInfo* m_placementRules = nullptr;
    QHash<CPanelIcon*, const CShipIcon*> m_positionablePanels;
    // What the pending placement puts down.
    std::uint32_t m_placingType = 0;
    std::uint32_t m_placingUnitId = 0;
    QPointer<CSelectionListItem> m_selectionList;
    QPointer<CConfirmationItem> m_inputConfirmation;
    QPointer<CConfirmationItem> m_actionConfirmation;
    // End of fleet placement

    // Command input
  public:
    // The prompt's time before a turn ends by itself, for one battle:
    // shorter in a death match. Also forgets the last battle's input.
    static int TurnEndPromptTime(bool isDeathMatch);
    void ResetInputForBattle(bool isDeathMatch);
    int GetTurnEndPromptTime() const { return m_turnEndPromptTime; }
    CCommandInputManager* GetInputManager() const { return m_input; }
    CCommandMenu* GetCommandMenu() const { return m_commandMenu; }
    CTooltip* GetTooltip() const { return m_tooltip; }
    // Panels the pending command may target, with their fuel cost.
    const QHash<CPanelIcon*, uint>& GetSelectablePanels() const { return m_selectablePanels; }
    const QList<CPanelIcon*>& GetSelectedPanels() const { return m_selectedPanels; }
    CPanel* GetPointedPanel() const { return m_pointedPanel; }
    // Whether this machine only watches: its side watches, or no side is
    // played by hand here or from a client.
    bool IsOnlyWatching() const;

  signals:
    void PanelHovered(const Marevane::CPanelIcon* pPanelIcon, const Marevane::CShipIcon* pShipIcon);
    void CommandMenuOpened(Marevane::CUnit* pPlayer, const Marevane::CShip* pShip);
    void CommandMenuClosed();
    void CommandMenuHovered(Marevane::CommandCode command, QString message);

  public slots:
    void OpenCommandMenu(const Marevane::ShipProfile* pProfile);
    void OpenCommandMenu(Marevane::CPanelIcon* pPanelIcon);
    // Marks the panels the command may reach. A failure is shown as a
    // notice; ShowCommandableOrThrow reports it to its caller instead.
    void ShowCommandable(Marevane::CommandCode code, Marevane::CShip* pShip);
    void ShowCommandableOrThrow(Marevane::CommandCode code, Marevane::CShip* pShip);
    void AddSelectablePanel(Marevane::CPanelIcon* pPanelIcon, uint fuelCost);
    void ClearSelectablePanels();
    void AddSelectedPanel(Marevane::CPanelIcon* pPanelIcon);
    void ClearSelectedPanels();
    void SetPointedPanel(Marevane::CPanelIcon* pPanelIcon);
    void SetPointedPanel(Marevane::CPanel* pPanel);
    void ShowHelp(Marevane::CPanelIcon* pPanelIcon);
    void ShowTooltip(Marevane::CPanelIcon* pPanelIcon);
    void ShowFuelChange(Marevane::CShipIcon* pShipIcon, const Marevane::ShipProfile* pProfile);
    void ShowAllFuelChange();
    void ConfirmInput(Marevane::CPanelIcon* pPanelIcon);
    void CancelInput();
    void CompleteInput();
    void StopOperation();
    void ConfirmTurnEnd();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent* event) override;
    void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    void CreateInputObjects();
    void DestroyInputObjects();
    void BuildInputItems();
    void ConnectPanelIconInput(CPanelIcon* pPanelIcon);
    void MarkDirectionalPanels(CommandCode code, CShip* pShip, CUnit* pSide);
    void MarkWholeMapPanels(CommandCode code, CShip* pShip, CUnit* pSide);
    void ClearSelectableAndSelected();
    bool IsPopupVisible() const;
    bool IsOverPopup(const QPointF& scenePos) const;
    QPointF BesidePanel(const CPanelIcon* pPanelIcon) const;
    void Notice(const QString& text, int millisec);
    static QString CostText(uint cost);
    CUnit* CurrentUnit() const;
    void CancelTurnEndPrompt();
    int TurnEndSecondsLeft() const;
    void RefreshTurnEndPrompt();
    void EndTurnPrompt();
    void RelayTimeLost();

    CCommandInputManager* m_input = nullptr;
    CCommandMenu* m_commandMenu = nullptr;
    CScheduledExecution* m_turnEndExecution = nullptr;
    QHash<CPanelIcon*, uint> m_selectablePanels;
    QList<CPanelIcon*> m_selectedPanels;
    CPanel* m_pointedPanel = nullptr;
    QPointF m_turnEndPromptPos;
    QElapsedTimer m_turnEndClock;
    int m_turnEndPromptLeft = 0;
    bool m_isCancellingEmptyChoice = false;
    int m_turnEndPromptTime = 10000;
};

class CGameMapView : public CMainView {
    Q_OBJECT
  public:
    explicit CGameMapView(CGameMapScene* pScene, QWidget* parent = nullptr);

  signals:
    void NotifyOfResize(const QSize& size);

  protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPointer<CGameMapScene> m_scene;
    QPixmap m_sea;
};

} // namespace Marevane
