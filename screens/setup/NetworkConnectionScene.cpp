#include "screens/setup/NetworkConnectionScene.h"

#include "gui/Popups.h"
#include "gui/SelectionList.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "net/PacketConverter.h"
#include "net/PosixSocket.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"
#include "net/UdpNetwork.h"

#include <QGraphicsLineItem>
#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QPen>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

constexpr int MinSceneHeight = 380;
constexpr int SceneWidth = 720;
constexpr int Gap = 8;
constexpr int RowGap = 4;

QGraphicsProxyWidget* AddWidget(QGraphicsItem* parent, QWidget* widget)
{
    auto* item = new QGraphicsProxyWidget(parent);
    item->setWidget(widget);
    return item;
}

} // namespace

bool IsClientAlive(const CSocketTcpClient* pClient)
{
    return pClient != nullptr && pClient->IsAlive();
}

// ---------------------------------------------------------------------------
// Scene

CNetworkConnectionScene::CNetworkConnectionScene(QObject* parent)
    : CGameScene(QRectF(0, 0, SceneWidth, MinSceneHeight), parent), m_addressBox(new CLineEdit),
      m_portBox(new CSpinBox), m_connectButton(new CPushButton(Sound::SeDefaultSelected)),
      m_detectButton(new CPushButton(Sound::SeDefaultSelected)),
      m_playerSettingsButton(new CPushButton(tr("To Player Settings"), Sound::SeDefaultCanceled)),
      m_ruleSettingsButton(new CPushButton(tr("To Rule Settings"), Sound::SeDefaultCanceled))
{
    setObjectName(QStringLiteral("NetworkConnection"));
    qRegisterMetaType<UnitHash>("Marevane::UnitHash");
    qRegisterMetaType<const GameEditInfo*>("const Marevane::GameEditInfo*");
    m_stateTexts = {{ConnectState, tr("Connect")},     {DisconnectState, tr("Disconnect")},
                    {ReconnectState, tr("Reconnect")}, {DetectState, tr("Detect")},
                    {RefreshState, tr("Refresh")},     {CompleteState, tr("Complete")},
                    {CancelState, tr("Cancel")}};
    m_connectButton->setText(GetStateText(ConnectState));
    m_detectButton->setText(GetStateText(DetectState));
    m_addressBox->setStyleSheet(LineEditStyleSheet());
    m_addressBox->setAutoFillBackground(true);
    m_portBox->setStyleSheet(SpinBoxStyleSheet());
    m_portBox->setRange(0, 65535);
    m_portBox->setSpecialValueText(tr("Default"));
    for (CPushButton* button :
         {m_connectButton, m_detectButton, m_playerSettingsButton, m_ruleSettingsButton})
        button->setAutoDefault(true);

    connect(m_playerSettingsButton, &QPushButton::clicked, this,
            &CNetworkConnectionScene::PlayerSettingsPushed);
    connect(m_ruleSettingsButton, &QPushButton::clicked, this, &CNetworkConnectionScene::RuleSettingsPushed);
    connect(m_connectButton, &QPushButton::clicked, this, &CNetworkConnectionScene::PushConnectButton);
    connect(m_detectButton, &QPushButton::clicked, this, &CNetworkConnectionScene::PushDetectButton);
    connect(m_portBox, &QSpinBox::editingFinished, this, &CNetworkConnectionScene::ValidateServerPortNum);
    connect(m_addressBox, &QLineEdit::returnPressed, m_connectButton, &QPushButton::click);
}

CNetworkConnectionScene::~CNetworkConnectionScene()
{
    // Rows first: their hover signals must not reach a half-destroyed scene.
    for (auto& row : m_rows) delete row.second;
    m_rows.clear();
    // The widgets belong to their proxies once the screen has been built.
    if (!m_isBuilt) {
        for (QWidget* widget :
             std::initializer_list<QWidget*>{m_addressBox, m_portBox, m_connectButton, m_detectButton,
                                             m_playerSettingsButton, m_ruleSettingsButton})
            delete widget;
    }
}

QString CNetworkConnectionScene::GetStateText(ConnectButtonState state) const
{
    auto it = m_stateTexts.find(state);
    if (it == m_stateTexts.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
    return it->second;
}

bool CNetworkConnectionScene::IsClient() const
{
    const CUnit* unit = m_unitFactory != nullptr ? m_unitFactory->GetLocalUnit() : nullptr;
    return unit != nullptr && unit->GetProfile().OriginFlag == HostClient;
}

bool CNetworkConnectionScene::IsWatching() const
{
    const CUnit* unit = m_unitFactory != nullptr ? m_unitFactory->GetLocalUnit() : nullptr;
    return unit == nullptr || unit->GetUnitType() == UnitWatching;
}

void CNetworkConnectionScene::BuildOnce()
{
    if (m_isBuilt) return;
    m_isBuilt = true;
    m_title = addPixmap(QPixmap(QStringLiteral(":/Resources/NetworkConnectionLabel.png")));
    m_title->setPos(8, 16);

    m_panelFrame = addRect(QRectF(), QPen(Qt::transparent));
    auto* addressLabel = new CSimpleTextItem(tr("Server Address:"), m_panelFrame);
    auto* portLabel = new CSimpleTextItem(tr("Port:"), m_panelFrame);
    // The connection button is as wide as its widest text.
    int buttonWidth = 0;
    for (const auto& text : m_stateTexts) {
        buttonWidth = std::max(buttonWidth, m_connectButton->fontMetrics().horizontalAdvance(text.second));
    }
    m_connectButton->setMinimumWidth(buttonWidth + 24);
    m_detectButton->setMinimumWidth(m_detectButton->sizeHint().width());
    // Half as wide again as they would be, as far as the line holds them.
    const int fixed =
        static_cast<int>(addressLabel->boundingRect().width() + portLabel->boundingRect().width()) +
        m_connectButton->minimumWidth() + m_detectButton->minimumWidth() + 5 * Gap;
    const int room = SceneWidth - 16 - 32 - fixed;
    const int portWidth = std::min(m_portBox->sizeHint().width() * 3 / 2, room / 3);
    m_portBox->setMinimumWidth(portWidth);
    m_portBox->setMaximumWidth(portWidth);
    const int addressWidth = std::min(m_addressBox->sizeHint().width() * 3 / 2, room - portWidth);
    m_addressBox->setMinimumWidth(addressWidth);
    m_addressBox->setMaximumWidth(addressWidth);
    m_addressItem = AddWidget(m_panelFrame, m_addressBox);
    m_portItem = AddWidget(m_panelFrame, m_portBox);
    m_connectItem = AddWidget(m_panelFrame, m_connectButton);
    m_detectItem = AddWidget(m_panelFrame, m_detectButton);
    // One line, vertically centred on the widgets.
    const qreal lineHeight = std::max(m_addressItem->size().height(), m_connectItem->size().height());
    qreal x = 0;
    auto place = [&](QGraphicsItem* item, qreal height) {
        item->setPos(x, (lineHeight - height) / 2);
        x += item->boundingRect().width() + Gap;
    };
    place(addressLabel, addressLabel->boundingRect().height());
    place(m_addressItem, m_addressItem->size().height());
    place(portLabel, portLabel->boundingRect().height());
    place(m_portItem, m_portItem->size().height());
    place(m_connectItem, m_connectItem->size().height());
    place(m_detectItem, m_detectItem->size().height());
    auto* separator = new QGraphicsLineItem(0, lineHeight + 16, x - Gap, lineHeight + 16, m_panelFrame);
    separator->setPen(QPen(DeepPanelColor, 1, Qt::SolidLine));
    auto* listLabel =
        new QGraphicsPixmapItem(QPixmap(QStringLiteral(":/Resources/ConnectionListLabel.png")), m_panelFrame);
    listLabel->setPos(0, lineHeight + 16 + Gap);
    m_panelFrame->setRect(QRectF(QPointF(0, 0), m_panelFrame->childrenBoundingRect().bottomRight()));

    // After the panel: the scene's tab chain starts at its first widget.
    m_navigationFrame = addRect(QRectF(), QPen(Qt::transparent));
    for (CPushButton* button : {m_playerSettingsButton, m_ruleSettingsButton})
        button->setMinimumWidth(button->sizeHint().width() / 3 * 4);
    m_playerSettingsItem = AddWidget(m_navigationFrame, m_playerSettingsButton);
    m_ruleSettingsItem = AddWidget(m_navigationFrame, m_ruleSettingsButton);
    m_ruleSettingsItem->setPos(m_playerSettingsItem->size().width() + Gap, 0);
    m_navigationFrame->setRect(
        QRectF(QPointF(0, 0), m_navigationFrame->childrenBoundingRect().bottomRight()));

    m_messageBar = new CNotificationBar;
    m_subMessageBar = new CNotificationBar;
    addItem(m_messageBar);
    addItem(m_subMessageBar);
    m_messageBar->hide();
    m_subMessageBar->hide();
    connect(this, &CNetworkConnectionScene::DisconnectPushed, m_messageBar, [this] { m_messageBar->Hide(); });
    connect(this, &CNetworkConnectionScene::DisconnectPushed, m_subMessageBar,
            [this] { m_subMessageBar->Hide(); });
    m_cancelItem = new CConfirmationItem(tr("Cancel"), QString());
    addItem(m_cancelItem);
    m_cancelItem->setZValue(1001);
    m_cancelItem->hide();
    connect(m_cancelItem, &CConfirmationItem::OkSelected, this, &CNetworkConnectionScene::SelectCancel);
    connect(this, &CNetworkConnectionScene::DisconnectPushed, m_cancelItem, [this] { HideCancelItem(); });

    // Keyboard order: address, port, connect, detect, then the way back.
    QGraphicsWidget::setTabOrder(m_addressItem, m_portItem);
    QGraphicsWidget::setTabOrder(m_portItem, m_connectItem);
    QGraphicsWidget::setTabOrder(m_connectItem, m_detectItem);
    QGraphicsWidget::setTabOrder(m_detectItem, m_playerSettingsItem);
    QGraphicsWidget::setTabOrder(m_playerSettingsItem, m_ruleSettingsItem);
}

void CNetworkConnectionScene::MakeLocalRow()
{
    delete m_localRow;
    m_localRow = nullptr;
    const CUnit* unit = m_unitFactory != nullptr ? m_unitFactory->GetLocalUnit() : nullptr;
    UnitProfile profile;
    if (unit != nullptr) profile = unit->GetProfile();
    m_localRow = new CConnectionListItem(m_gameEdit, &profile);
    addItem(m_localRow);
    connect(m_localRow, &CConnectionListItem::Hovered, this, &CNetworkConnectionScene::ItemHovered);
}

void CNetworkConnectionScene::CreateItems()
{
    BuildOnce();
    Clear();
    m_messageBar->Hide();
    m_subMessageBar->Hide();
    m_cancelItem->hide();

    const qreal right = sceneRect().right();
    m_navigationFrame->setPos(right - 32 - m_navigationFrame->rect().width(),
                              m_title->y() + m_title->boundingRect().height() + 1);
    MakeLocalRow();
    m_localRow->setPos(8, m_navigationFrame->y() + m_navigationFrame->rect().height() + RowGap);
    m_panelFrame->setPos(8, m_localRow->y() + m_localRow->rect().height() + Gap);

    const bool isClient = IsClient();
    m_addressBox->setEnabled(isClient);
    if (isClient && m_client != nullptr) {
        m_addressBox->setText(QString::fromStdString(m_client->GetAddress()));
        m_portBox->setValue(m_client->GetPort());
    } else {
        m_addressBox->clear();
        m_portBox->setValue(m_server != nullptr ? m_server->GetPort() : 0);
    }

    if (views().size() > 0) {
        setSceneRect(0, 0, sceneRect().width(), std::max<qreal>(ItemsBottom() + 8, MinSceneHeight));
        ResizeBars();
    }
    const bool changed = m_state != ConnectState;
    m_state = ConnectState;
    SetButtons(ConnectState);
    if (changed) emit ItemHovered(nullptr);
}

void CNetworkConnectionScene::FocusFirstWidget()
{
    QWidget* target = m_addressBox->isEnabled()      ? static_cast<QWidget*>(m_addressBox)
                      : m_connectButton->isEnabled() ? static_cast<QWidget*>(m_connectButton)
                                                     : static_cast<QWidget*>(m_playerSettingsButton);
    QGraphicsProxyWidget* item = target == m_addressBox      ? m_addressItem
                                 : target == m_connectButton ? m_connectItem
                                                             : m_playerSettingsItem;
    if (item != nullptr) setFocusItem(item, Qt::OtherFocusReason);
    target->setFocus(Qt::OtherFocusReason);
}

void CNetworkConnectionScene::HideCancelItem()
{
    // The Cancel item takes the keys while it shows; hidden, it would leave
    // the scene without a focus item and Tab would wander off the screen.
    const QGraphicsItem* focused = focusItem();
    const bool hadKeys =
        focused != nullptr && (focused == m_cancelItem || m_cancelItem->isAncestorOf(focused));
    m_cancelItem->hide();
    if (!hadKeys && focusItem() != nullptr) return;
    for (const auto& row : m_rows) {
        CPushButton* button = row.second->GetSelectButton();
        if (!row.second->IsSelectable() || button->graphicsProxyWidget() == nullptr) continue;
        setFocusItem(button->graphicsProxyWidget(), Qt::OtherFocusReason);
        button->setFocus(Qt::OtherFocusReason);
        return;
    }
    FocusFirstWidget();
}

qreal CNetworkConnectionScene::ItemsBottom() const
{
    qreal bottom = 0;
    for (const QGraphicsItem* item : items()) {
        if (item->parentItem() != nullptr || !item->isVisible()) continue;
        if (item == m_messageBar || item == m_subMessageBar || item == m_cancelItem) continue;
        bottom = std::max(bottom, item->sceneBoundingRect().bottom());
    }
    return bottom;
}

void CNetworkConnectionScene::ResizeBars()
{
    const int width = static_cast<int>(sceneRect().width()) * 2 / 3;
    m_messageBar->SetWidth(width);
    m_subMessageBar->SetWidth(width);
}

void CNetworkConnectionScene::SetButtons(ConnectButtonState state)
{
    m_connectButton->setText(GetStateText(state));
    m_connectButton->setEnabled(state != CompleteState);
    m_connectButton->SetSeCode(state == DisconnectState || state == CancelState ? Sound::SeDefaultCanceled
                                                                                : Sound::SeDefaultSelected);
    m_detectButton->setEnabled(IsClient() && state == ConnectState);
    const bool canGoBack = state != DisconnectState && state != CompleteState && state != CancelState;
    m_playerSettingsButton->setEnabled(canGoBack);
    m_ruleSettingsButton->setEnabled(canGoBack && !IsWatching());
    m_addressBox->setEnabled(IsClient() && state == ConnectState);
    m_portBox->setEnabled(state == ConnectState);
}

void CNetworkConnectionScene::ChangeConnectionState(ConnectButtonState state)
{
    // Only the table's states: anything else keeps the screen as it is.
    if (m_stateTexts.count(state) == 0) return;
    const bool changed = m_state != state;
    m_state = state;
    SetButtons(state);
    if (changed) emit ItemHovered(nullptr);
}

void CNetworkConnectionScene::PushConnectButton()
{
    if (m_state == DisconnectState) {
        m_state = ConnectState;
        SetButtons(ConnectState);
        emit ItemHovered(nullptr);
        emit DisconnectPushed();
        return;
    }
    if (m_state == CancelState) {
        ChangeConnectionState(m_rows.empty() ? ConnectState : DisconnectState);
        emit CancelPushed();
        return;
    }
    const auto port = static_cast<std::uint16_t>(m_portBox->value());
    if (IsClient()) {
        if (m_addressBox->text().trimmed().isEmpty()) {
            ShowMessage(tr("IP Address is empty.\nPlease input valid address."), 3000, false);
            return;
        }
        if (m_client != nullptr) {
            m_client->SetAddress(m_addressBox->text().trimmed().toStdString());
            m_client->SetPort(port);
        }
    } else if (m_server != nullptr) {
        m_server->SetPort(port);
    }
    if (m_udp != nullptr) m_udp->SetPort(port);
    ChangeConnectionState(DisconnectState);
    emit ConnectPushed();
}

void CNetworkConnectionScene::PushDetectButton()
{
    if (!m_rows.empty()) Clear();
    if (m_udp != nullptr) m_udp->SetPort(StoredPort(static_cast<std::uint16_t>(m_portBox->value())));
    emit DetectPushed();
}

void CNetworkConnectionScene::SelectCancel()
{
    HideCancelItem();
    if (m_state == CancelState)
        emit CancelPushed();
    else
        emit DisconnectPushed();
}

void CNetworkConnectionScene::ValidateServerPortNum()
{
    const int value = m_portBox->value();
    if (value >= 1 && value <= 1023) {
        m_portBox->setValue(0);
        ShowMessage(
            tr("Server Port Number is invalid.\nIt is not permitted to select Wellknown Ports. Please "
               "select the other Port."),
            3000, false);
    }
}

void CNetworkConnectionScene::Clear()
{
    // Later: a row's own selection may be what empties the list.
    for (auto& row : m_rows) {
        removeItem(row.second);
        row.second->deleteLater();
    }
    m_rows.clear();
}

CConnectionListItem* CNetworkConnectionScene::FindRow(UnitHash hash) const
{
    for (const auto& row : m_rows) {
        if (row.first == hash) return row.second;
    }
    return nullptr;
}

int CNetworkConnectionScene::CountEnabledItems() const
{
    return static_cast<int>(
        std::count_if(m_rows.begin(), m_rows.end(), [](const auto& row) { return row.second->isEnabled(); }));
}

const UnitProfile* CNetworkConnectionScene::FindUnitProfile(UnitHash hash) const
{
    const CConnectionListItem* row = FindRow(hash);
    return row != nullptr ? row->GetProfile() : nullptr;
}

void CNetworkConnectionScene::SetSelectable(bool isSelectable)
{
    for (auto& row : m_rows) row.second->SetSelectable(isSelectable);
}

void CNetworkConnectionScene::Add(EntryMessage entry)
{
    const UnitHash hash = entry.Sender.HostId;
    if (FindRow(hash) != nullptr) return;
    auto* row = new CConnectionListItem(m_gameEdit, entry);
    addItem(row);
    m_rows.emplace_back(hash, row);
    connect(row, &CConnectionListItem::Hovered, this, &CNetworkConnectionScene::ItemHovered);

    if (IsClient()) {
        if (IsClientAlive(m_client)) {
            row->SetCallbackOnSelecting([this, row] {
                row->SetCode(26);
                if (m_client != nullptr &&
                    m_client->Send(CPacketConverter::GetInstance().Encode(row->GetEntry()))) {
                    emit ItemSelected(0);
                } else {
                    emit ConnectionFailed(tr("The request for battle has not been sent.\nNetwork may be "
                                             "disconnected unexpectedly.\nPlease retry to connect."));
                }
            });
        } else {
            row->SetCallbackOnSelecting([this, row, hash] {
                row->SetCode(26);
                const UnitProfile& profile = *row->GetProfile();
                m_addressBox->setText(QString::fromStdString(profile.Address));
                m_portBox->setValue(profile.Port);
                if (m_client != nullptr) {
                    m_client->SetPort(StoredPort(profile.Port));
                    m_client->SetAddress(profile.Address);
                }
                emit ItemSelected(hash);
            });
        }
    } else {
        if (entry.Sender.Type != UnitWatching) {
            row->SetCallbackOnSelecting([this, row, hash] {
                row->SetCode(16);
                emit ItemSelected(hash);
            });
        } else {
            row->SetSelectable(false);
        }
    }
    ArrangeRows();
    if (GetView() != nullptr) AdjustViewPosition(GetView()->size());
}

void CNetworkConnectionScene::Remove(UnitHash hash)
{
    auto it =
        std::find_if(m_rows.begin(), m_rows.end(), [hash](const auto& row) { return row.first == hash; });
    if (it == m_rows.end()) return;
    CConnectionListItem* row = it->second;
    m_rows.erase(it);
    removeItem(row);
    row->deleteLater();
    ArrangeRows();
    if (GetView() != nullptr) AdjustViewPosition(GetView()->size());
}

void CNetworkConnectionScene::ArrangeRows()
{
    if (m_panelFrame == nullptr) return;
    std::vector<CConnectionListItem*> rows;
    rows.reserve(m_rows.size());
    for (const auto& row : m_rows) rows.push_back(row.second);
    ArrangeConnectionRows(
        rows, QPointF(m_panelFrame->x() + 4, m_panelFrame->y() + m_panelFrame->rect().height() + RowGap),
        RowGap, RowGap);
}

void CNetworkConnectionScene::SetUpClientPlayers(std::vector<UnitHash> hashList)
{
    if (m_unitFactory == nullptr) return;
    auto next = hashList.begin();
    const CUnit* local = m_unitFactory->GetLocalUnit();
    for (CUnit* unit : m_unitFactory->GetUnits()) {
        if (next == hashList.end()) break;
        if (unit == local || unit->GetUnitType() != UnitManual) continue;
        const UnitProfile* profile = FindUnitProfile(*next++);
        if (profile == nullptr) continue;
        UnitProfile copy = *profile;
        // The rival's place keeps its number in this battle.
        copy.Id = unit->GetProfile().Id;
        m_unitFactory->UpdateUnitProfile(copy);
    }
}

void CNetworkConnectionScene::SetUpAudience(std::set<UnitHash> hashSet)
{
    if (m_unitFactory == nullptr || m_gameEdit == nullptr || m_server == nullptr) return;
    const bool permitted = m_gameEdit->GetInfo().IsTeamVersus;
    for (const auto& entry : std::vector<std::pair<UnitHash, CConnectionListItem*>>(m_rows)) {
        if (hashSet.count(entry.first) == 0) continue;
        CConnectionListItem* row = entry.second;
        if (permitted)
            row->SetCode(18, 19);
        else
            row->SetCode(17, 22);
        const UnitProfile& profile = *row->GetProfile();
        const bool isLocal =
            profile.Address == "127.0.0.1" || profile.Address == CSocketTcpServer::GetLocalAddress();
        const Socket socket = m_server->FindSocket(entry.first);
        if (permitted && !isLocal) {
            CUnit* unit = nullptr;
            try {
                UnitProfile watcher = profile;
                watcher.Id = m_unitFactory->GetNextUnitNumber();
                watcher.Type = UnitWatching;
                unit = m_unitFactory->CreateUnit(watcher);
                unit->SetUnitType(UnitWatching);
            } catch (const std::exception& error) {
                qWarning("An audience member could not be added: %s", error.what());
            }
            const bool sent = unit != nullptr && m_server->SendEntryMessage(socket, row->GetEntry());
            if (!sent) {
                m_server->Disconnect(socket);
                if (unit != nullptr) m_unitFactory->RemoveUnit(unit);
            } else {
                m_server->ConfirmEntry(entry.first);
            }
        } else {
            if (isLocal) row->SetCode(17, 21);
            if (socket != InvalidSocket) m_server->SendEntryMessage(socket, row->GetEntry());
            m_server->Disconnect(socket);
        }
    }
}

void CNetworkConnectionScene::ShowMessage(QString text, int millisec, bool isCancelVisible)
{
    const QRectF area = sceneRect();
    m_messageBar->Show(text, millisec);
    const QRectF bar = m_messageBar->rect();
    m_messageBar->setPos(static_cast<int>(area.width() - bar.width()) / 2 + area.left(),
                         static_cast<int>(area.top() + area.height() / 2));
    if (isCancelVisible) {
        if (!m_cancelItem->isVisible()) m_cancelItem->Show(QPointF(0, 0));
        const QRectF cancel = m_cancelItem->boundingRect();
        m_cancelItem->setPos(m_messageBar->x() + (bar.width() - cancel.width()) / 2,
                             m_messageBar->y() + bar.height() + 16);
    } else {
        HideCancelItem();
    }
}

void CNetworkConnectionScene::ShowMessage(QString text, int millisec)
{
    ShowMessage(std::move(text), millisec, false);
}

void CNetworkConnectionScene::ShowMessage(QString text)
{
    ShowMessage(std::move(text), 3000, false);
}

void CNetworkConnectionScene::ShowConnectionMessage(QString text, int millisec)
{
    ShowMessage(std::move(text), millisec, true);
}

void CNetworkConnectionScene::ShowConnectionMessage(QString text)
{
    ShowMessage(std::move(text), 3000, true);
}

void CNetworkConnectionScene::ShowSubMessage(QString text, int millisec)
{
    if (!m_messageBar->isVisible()) {
        m_subMessageBar->Hide();
        return;
    }
    m_subMessageBar->Show(text, millisec);
    const qreal below = m_cancelItem->isVisible() ? m_cancelItem->y() + m_cancelItem->boundingRect().height()
                                                  : m_messageBar->y() + m_messageBar->rect().height();
    m_subMessageBar->setPos(m_messageBar->x(), below + 16);
}

void CNetworkConnectionScene::ShowSubMessage(QString text)
{
    ShowSubMessage(std::move(text), 3000);
}

void CNetworkConnectionScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0) return;
    int scrollWidth = 0;
    if (GetView() != nullptr) scrollWidth = GetView()->verticalScrollBar()->sizeHint().width();
    const QRectF area = sceneRect();
    setSceneRect(area.left(), area.top(), std::max(SceneWidth, size.width() - scrollWidth - 10),
                 std::max<qreal>(ItemsBottom() + 8, MinSceneHeight));
    if (m_navigationFrame != nullptr)
        m_navigationFrame->setX(sceneRect().right() - 32 - m_navigationFrame->rect().width());
    if (m_messageBar != nullptr) ResizeBars();
    update();
}

// ---------------------------------------------------------------------------
// View

CNetworkConnectionView::CNetworkConnectionView(QGraphicsScene* pScene, QWidget* parent)
    : CPlayerSettingsView(pScene, parent)
{
    // Many rows scroll.
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
}

} // namespace Marevane
