// The LAN connection screen: the local side's row, the server address and
// port with the connection and Detect buttons, the list of the other sides
// that announced themselves or entered, and the message bars. The network
// work itself is the sequence's; the scene only sends what a row's
// selection asks for.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "model/Messages.h"
#include "screens/setup/ConnectionListItem.h"
#include "screens/setup/PlayerSettingsScreen.h"

#include <QGraphicsRectItem>
#include <QObject>

#include <cstdint>
#include <functional>
#include <set>
#include <unordered_map>
#include <utility>
#include <vector>

class QGraphicsProxyWidget;

namespace Marevane {

class CConfirmationItem;
class CGameEdit;
class CLineEdit;
class CNotificationBar;
class CPushButton;
class CSimpleTextItem;
class CSocketTcpClient;
class CSocketTcpServer;
class CSpinBox;
class CUdpNetwork;
class CUnit;
class CUnitFactory;

enum ConnectButtonState : std::uint32_t {
    ConnectState = 0,
    DisconnectState = 1,
    ReconnectState = 2,
    DetectState = 3,
    RefreshState = 4,
    CompleteState = 5,
    CancelState = 6,
};

// Whether a client's connection is open and its peer has not gone.
bool IsClientAlive(const CSocketTcpClient* pClient);

class CNetworkConnectionScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CNetworkConnectionScene(QObject* parent = nullptr);
    ~CNetworkConnectionScene() override;

    ConnectButtonState GetState() const { return m_state; }
    // The text of a state; a state outside the table throws std::out_of_range.
    QString GetStateText(ConnectButtonState state) const;
    // The other sides' rows in the order they were added.
    const std::vector<std::pair<UnitHash, CConnectionListItem*>>& GetRows() const { return m_rows; }
    CConnectionListItem* FindRow(UnitHash hash) const;
    CConnectionListItem* GetLocalRow() const { return m_localRow; }
    int CountEnabledItems() const;
    const UnitProfile* FindUnitProfile(UnitHash hash) const;

    CLineEdit* GetAddressBox() const { return m_addressBox; }
    CSpinBox* GetPortBox() const { return m_portBox; }
    CPushButton* GetConnectButton() const { return m_connectButton; }
    CPushButton* GetDetectButton() const { return m_detectButton; }
    CPushButton* GetPlayerSettingsButton() const { return m_playerSettingsButton; }
    CPushButton* GetRuleSettingsButton() const { return m_ruleSettingsButton; }
    CNotificationBar* GetMessageBar() const { return m_messageBar; }
    CNotificationBar* GetSubMessageBar() const { return m_subMessageBar; }
    CConfirmationItem* GetCancelItem() const { return m_cancelItem; }
    // Gives the keyboard to the first widget a user of this side needs.
    void FocusFirstWidget();

  signals:
    void ItemHovered(const Marevane::GameEditInfo* pRivalConfig);
    void ItemSelected(Marevane::UnitHash hash);
    void MenuSelected(Marevane::MessageCode code);
    void RefreshPushed();
    void RuleSettingsPushed();
    void PlayerSettingsPushed();
    void ConnectPushed();
    void DisconnectPushed();
    void DetectPushed();
    void CancelPushed();
    // A connected client's request could not be sent; the text says why.
    void ConnectionFailed(QString message);

  public slots:
    void SetUnitFactory(Marevane::CUnitFactory* pUnitFactory) { m_unitFactory = pUnitFactory; }
    void SetGameEdit(Marevane::CGameEdit* pGameEdit) { m_gameEdit = pGameEdit; }
    void SetTcpServer(Marevane::CSocketTcpServer* pServer) { m_server = pServer; }
    void SetTcpClient(Marevane::CSocketTcpClient* pClient) { m_client = pClient; }
    void SetUdp(Marevane::CUdpNetwork* pUdp) { m_udp = pUdp; }
    void SetSelectable(bool isSelectable);
    void SetUpClientPlayers(std::vector<Marevane::UnitHash> hashList);
    // Each hash in the order the rows were added.
    void SetUpAudience(std::set<Marevane::UnitHash> hashSet);
    void CreateItems();
    void Clear();
    void Add(Marevane::EntryMessage entry);
    // A hash without a row changes nothing.
    void Remove(Marevane::UnitHash hash);
    void ShowMessage(QString text, int millisec, bool isCancelVisible);
    void ShowMessage(QString text, int millisec);
    void ShowMessage(QString text);
    void ShowConnectionMessage(QString text, int millisec);
    void ShowConnectionMessage(QString text);
    void ShowSubMessage(QString text, int millisec);
    void ShowSubMessage(QString text);
    void AdjustViewPosition(const QSize& size) override;
    void ChangeConnectionState(Marevane::ConnectButtonState state);

  private slots:
    void ValidateServerPortNum();
    void PushConnectButton();
    void PushDetectButton();
    void SelectCancel();

  private:
    void BuildOnce();
    void MakeLocalRow();
    void ArrangeRows();
    void SetButtons(ConnectButtonState state);
    bool IsClient() const;
    bool IsWatching() const;
    qreal ItemsBottom() const;
    void ResizeBars();
    // Hides the Cancel item; the keys it had go to the first row to select,
    // else to the first widget the side needs.
    void HideCancelItem();

    CUnitFactory* m_unitFactory = nullptr;
    CGameEdit* m_gameEdit = nullptr;
    CSocketTcpServer* m_server = nullptr;
    CSocketTcpClient* m_client = nullptr;
    CUdpNetwork* m_udp = nullptr;

    std::vector<std::pair<UnitHash, CConnectionListItem*>> m_rows;
    CConnectionListItem* m_localRow = nullptr;
    ConnectButtonState m_state = ConnectState;
    std::unordered_map<std::uint32_t, QString> m_stateTexts;

    CLineEdit* m_addressBox;
    CSpinBox* m_portBox;
    CPushButton* m_connectButton;
    CPushButton* m_detectButton;
    CPushButton* m_playerSettingsButton;
    CPushButton* m_ruleSettingsButton;
    QGraphicsProxyWidget* m_addressItem = nullptr;
    QGraphicsProxyWidget* m_portItem = nullptr;
    QGraphicsProxyWidget* m_connectItem = nullptr;
    QGraphicsProxyWidget* m_detectItem = nullptr;
    QGraphicsProxyWidget* m_playerSettingsItem = nullptr;
    QGraphicsProxyWidget* m_ruleSettingsItem = nullptr;
    CNotificationBar* m_messageBar = nullptr;
    CNotificationBar* m_subMessageBar = nullptr;
    CConfirmationItem* m_cancelItem = nullptr;
    QGraphicsPixmapItem* m_title = nullptr;
    QGraphicsRectItem* m_navigationFrame = nullptr;
    QGraphicsRectItem* m_panelFrame = nullptr;
    bool m_isBuilt = false;
};

// The settings screens' view, scrolling when the rows outgrow it.
class CNetworkConnectionView : public CPlayerSettingsView {
    Q_OBJECT
  public:
    explicit CNetworkConnectionView(QGraphicsScene* pScene, QWidget* parent = nullptr);
};

} // namespace Marevane
