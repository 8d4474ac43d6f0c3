// The tag team screen: the local side's line with "Select at Random" and,
// under it, one row for every other side, on which this side picks its team
// mate. A choice disables the whole screen; on a client it is first sent to
// the server.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "model/Messages.h"
#include "screens/setup/ConnectionListItem.h"

#include <QGraphicsRectItem>
#include <QObject>

#include <vector>

namespace Marevane {

class CGameEdit;
class CNotificationBar;
class CPushButton;
class CTcpClient;
class CTcpServer;
class CUnit;
class CUnitFactory;

class CTagTeamSelectionScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CTagTeamSelectionScene(QObject* parent = nullptr);

    CPushButton* GetRandomButton() const { return m_randomButton; }
    const std::vector<CConnectionListItem*>& GetRows() const { return m_rows; }
    CNotificationBar* GetMessageBar() const { return m_bar; }
    QGraphicsRectItem* GetLocalBlock() const { return m_block; }
    // The widget that takes the keyboard focus when the screen opens: the
    // random button, or none while nothing can be chosen.
    QWidget* GetFirstFocus() const;

  signals:
    // On a server the chosen row's hash (0 at random); on a client always
    // 0, once the choice has gone to the server.
    void ItemSelected(Marevane::UnitHash hash);
    // A client's choice could not be sent; its connection is closed.
    void Canceled();

  public slots:
    void SetUnitFactory(Marevane::CUnitFactory* pUnitFactory) { m_unitFactory = pUnitFactory; }
    void SetGameEdit(Marevane::CGameEdit* pGameEdit) { m_gameEdit = pGameEdit; }
    void SetTcpServer(Marevane::CTcpServer* pServer) { m_server = pServer; }
    void SetTcpClient(Marevane::CTcpClient* pClient) { m_client = pClient; }
    void SetSelectable(bool isSelectable);
    // Builds the screen anew from the unit table.
    void CreateItems();
    // Removes and deletes every row.
    void Clear();
    void ShowMessage(QString text, int millisec);
    void ShowMessage(QString text);
    void AdjustViewPosition(const QSize& size) override;

  private:
    void AddRow(const CUnit& unit);
    void ArrangeRows();
    void ChooseRow(CConnectionListItem* pRow);
    void ChooseAtRandom();
    bool IsClient() const;
    // Sends a client's choice; false (after closing the connection) when it failed.
    bool SendChoice(const EntryMessage& message);
    void SetTabOrder();

    CUnitFactory* m_unitFactory = nullptr;
    CGameEdit* m_gameEdit = nullptr;
    CTcpServer* m_server = nullptr;
    CTcpClient* m_client = nullptr;
    QGraphicsPixmapItem* m_title = nullptr;
    QGraphicsRectItem* m_block = nullptr;
    CPushButton* m_randomButton = nullptr;
    std::vector<CConnectionListItem*> m_rows;
    CNotificationBar* m_bar = nullptr;
};

// The view of the tag team screen: the width of the window, scrolling
// when the rows do not fit.
class CTagTeamSelectionView : public CGameView {
    Q_OBJECT
  public:
    explicit CTagTeamSelectionView(QGraphicsScene* pScene, QWidget* parent = nullptr);

  public slots:
    void Show() override;
    void Hide() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace Marevane
