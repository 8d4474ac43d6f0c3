#include "screens/setup/TagTeamSelectionScene.h"

#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"
#include "model/texts/NameTables.h"
#include "model/texts/StatisticsTexts.h"
#include "net/PacketConverter.h"
#include "net/SocketTcpClient.h"
#include "net/TcpClient.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QResizeEvent>
#include <QScrollBar>

#include <algorithm>
#include <exception>

namespace Marevane {

namespace {

constexpr MessageCode ChoiceCode = 26;
constexpr MessageCode ClosedCode = 4;
constexpr int MinimumHeight = 380;
constexpr int Margin = 8;
constexpr int TextGap = 12;
// Between the lines of rows, and under the local line.
constexpr int RowGap = 16;

QString HostName(std::uint32_t host)
{
    return CGUIHostTypeNames::GetInstance().Get(static_cast<HostType>(host));
}

QString ModeName(std::uint32_t type)
{
    return CGUICommandModeNames::GetInstance().Get(static_cast<UnitType>(type));
}

CSimpleTextItem* AddText(const QString& text, QGraphicsItem* parent, qreal x, qreal y)
{
    auto* item = new CSimpleTextItem(text, parent);
    item->setPos(x, y);
    return item;
}

qreal RightOf(const QGraphicsItem* item, int gap)
{
    return item->x() + item->boundingRect().width() + gap;
}

} // namespace

// --- scene ----------------------------------------------------------------

CTagTeamSelectionScene::CTagTeamSelectionScene(QObject* parent)
    : CGameScene(QRectF(0, 0, 720, MinimumHeight), parent)
{
    setObjectName(QStringLiteral("TagTeamSelection"));
}

QWidget* CTagTeamSelectionScene::GetFirstFocus() const
{
    if (m_randomButton != nullptr && m_randomButton->isEnabled()) return m_randomButton;
    for (CConnectionListItem* row : m_rows) {
        if (row->IsSelectable()) return row->GetSelectButton();
    }
    return nullptr;
}

void CTagTeamSelectionScene::SetSelectable(bool isSelectable)
{
    if (m_randomButton != nullptr) m_randomButton->setEnabled(isSelectable);
    for (CConnectionListItem* row : m_rows) row->SetSelectable(isSelectable);
}

void CTagTeamSelectionScene::Clear()
{
    for (CConnectionListItem* row : m_rows) {
        removeItem(row);
        delete row;
    }
    m_rows.clear();
}

void CTagTeamSelectionScene::CreateItems()
{
    Clear();
    delete m_block;
    m_block = nullptr;
    m_randomButton = nullptr;
    delete m_title;
    m_title = addPixmap(QPixmap(QStringLiteral(":/Resources/TagTeamSelectionLabel.png")));
    m_title->setPos(8, 16);

    const CUnit* local = m_unitFactory != nullptr ? m_unitFactory->GetLocalUnit() : nullptr;
    const UnitProfile profile = local != nullptr ? local->GetProfile() : UnitProfile();
    m_block = new QGraphicsRectItem;
    m_block->setPen(QPen(TransparentColor));
    m_block->setBrush(QBrush(TransparentColor));
    addItem(m_block);
    CSimpleTextItem* player = AddText(tr("Player: ") + GetProfileName(profile), m_block, 8, 4);
    CSimpleTextItem* host =
        AddText(tr("Host: ") + HostName(profile.OriginFlag), m_block, RightOf(player, TextGap), 4);
    CSimpleTextItem* mode =
        AddText(tr("Command: ") + ModeName(profile.Type), m_block, RightOf(host, TextGap), 4);
    m_randomButton = new CPushButton(tr("Select at Random"), Sound::SeNextStep);
    m_randomButton->SetUp();
    auto* buttonItem = new QGraphicsProxyWidget(m_block);
    buttonItem->setWidget(m_randomButton);
    buttonItem->setPos(RightOf(mode, 4), 6);
    m_block->setRect(m_block->childrenBoundingRect().united(QRectF(0, 0, 1, 1)));
    m_block->setPos(Margin, m_title->y() + m_title->boundingRect().height() + Margin);
    connect(m_randomButton, &QPushButton::clicked, this, &CTagTeamSelectionScene::ChooseAtRandom);

    if (m_bar == nullptr) {
        m_bar = new CNotificationBar;
        addItem(m_bar);
    }
    // A message of the last visit does not carry over.
    m_bar->Hide();

    if (m_unitFactory != nullptr) {
        for (const CUnit* unit : m_unitFactory->GetUnits()) {
            if (unit != nullptr && unit != local) AddRow(*unit);
        }
    }
    ArrangeRows();
    SetSelectable(local != nullptr && local->GetUnitType() != UnitWatching);
    SetTabOrder();

    if (CGameView* view = GetView()) {
        AdjustViewPosition(view->size());
    } else {
        // Without a view the scene keeps its width and grows to its items.
        setSceneRect(0, 0, sceneRect().width(),
                     std::max<qreal>(itemsBoundingRect().bottom() + Margin, MinimumHeight));
        m_bar->SetWidth(static_cast<int>(sceneRect().width()) * 2 / 3);
    }
}

void CTagTeamSelectionScene::AddRow(const CUnit& unit)
{
    auto* row = new CConnectionListItem(m_gameEdit, &unit);
    addItem(row);
    m_rows.push_back(row);
    // An audience takes no part in a team.
    if (unit.GetUnitType() != UnitWatching) row->SetCallbackOnSelecting([this, row] { ChooseRow(row); });
}

void CTagTeamSelectionScene::ArrangeRows()
{
    const qreal top = m_block != nullptr ? m_block->sceneBoundingRect().bottom() : 0;
    ArrangeConnectionRows(m_rows, QPointF(Margin, top + RowGap), Margin, RowGap);
}

void CTagTeamSelectionScene::SetTabOrder()
{
    std::vector<QGraphicsWidget*> order;
    if (m_randomButton != nullptr) order.push_back(m_randomButton->graphicsProxyWidget());
    for (CConnectionListItem* row : m_rows) order.push_back(row->GetSelectButton()->graphicsProxyWidget());
    order.erase(std::remove(order.begin(), order.end(), nullptr), order.end());
    if (order.empty()) return;
    QGraphicsWidget::setTabOrder(nullptr, order.front());
    for (std::size_t i = 1; i < order.size(); ++i) QGraphicsWidget::setTabOrder(order[i - 1], order[i]);
}

bool CTagTeamSelectionScene::IsClient() const
{
    const CUnit* local = m_unitFactory != nullptr ? m_unitFactory->GetLocalUnit() : nullptr;
    return local != nullptr && local->GetProfile().OriginFlag == HostClient;
}

void CTagTeamSelectionScene::ChooseRow(CConnectionListItem* pRow)
{
    SetSelectable(false);
    if (!IsClient()) {
        emit ItemSelected(pRow->GetProfile()->HostId);
        return;
    }
    pRow->SetCode(ChoiceCode);
    EntryMessage message = pRow->GetEntry();
    message.Sender = *pRow->GetProfile();
    message.Entry = m_unitFactory->GetLocalUnit()->GetProfile();
    if (SendChoice(message)) {
        emit ItemSelected(0);
    } else {
        emit Canceled();
    }
}

void CTagTeamSelectionScene::ChooseAtRandom()
{
    if (m_randomButton == nullptr || !m_randomButton->isEnabled()) return;
    SetSelectable(false);
    if (!IsClient()) {
        emit ItemSelected(0);
        return;
    }
    EntryMessage message(ChoiceCode);
    message.Sender.HostId = 0;
    message.Entry = m_unitFactory->GetLocalUnit()->GetProfile();
    if (SendChoice(message)) {
        emit ItemSelected(0);
    } else {
        emit Canceled();
    }
}

bool CTagTeamSelectionScene::SendChoice(const EntryMessage& message)
{
    if (m_client == nullptr) return false;
    bool isSent = false;
    try {
        isSent = m_client->Send(CPacketConverter::GetInstance().Encode(message));
    } catch (const std::exception& error) {
        qWarning("The team choice could not be sent: %s", error.what());
    }
    if (isSent) return true;
    if (auto* client = dynamic_cast<CSocketTcpClient*>(m_client)) {
        client->Disconnect();
    } else {
        m_client->SendCode(ClosedCode);
        m_client->ClearReceivedData();
    }
    return false;
}

void CTagTeamSelectionScene::ShowMessage(QString text, int millisec)
{
    if (m_bar == nullptr) {
        m_bar = new CNotificationBar;
        addItem(m_bar);
    }
    const QRectF area = sceneRect();
    m_bar->SetWidth(static_cast<int>(area.width()) * 2 / 3);
    m_bar->Show(QPoint(0, 0), text, millisec);
    // Centred once the text has sized the bar.
    m_bar->setPos(static_cast<int>(area.width() - m_bar->rect().width()) / 2 + area.left(),
                  static_cast<int>(area.height() - m_bar->rect().height()) / 2 + area.top());
}

void CTagTeamSelectionScene::ShowMessage(QString text)
{
    ShowMessage(text, ScreenTiming::FailureNotice);
}

void CTagTeamSelectionScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0) return;
    int scrollBar = 0;
    if (CGameView* view = GetView()) scrollBar = view->verticalScrollBar()->sizeHint().width();
    qreal bottom = 0;
    for (QGraphicsItem* item : items()) {
        if (item->parentItem() == nullptr && item != m_bar && item->isVisible())
            bottom = std::max(bottom, item->sceneBoundingRect().bottom());
    }
    const QRectF area = sceneRect();
    const int width = std::max(0, size.width() - scrollBar - 10);
    setSceneRect(area.left(), area.top(), width, std::max<qreal>(bottom + Margin, MinimumHeight));
    if (m_bar != nullptr) m_bar->SetWidth(width * 2 / 3);
    update();
}

// --- view -----------------------------------------------------------------

CTagTeamSelectionView::CTagTeamSelectionView(QGraphicsScene* pScene, QWidget* parent)
    : CGameView(pScene, parent)
{
    setBackgroundBrush(MainBackgroundColor);
    setMinimumSize(720, MinimumHeight);
    setBaseSize(720, MinimumHeight);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setFrameShape(QFrame::NoFrame);
    setStyleSheet(ScrollBarStyleSheet());
}

void CTagTeamSelectionView::Show()
{
    show();
}

void CTagTeamSelectionView::Hide()
{
    hide();
}

void CTagTeamSelectionView::resizeEvent(QResizeEvent* event)
{
    AdjustSceneTo(event->size());
    CGameView::resizeEvent(event);
}

} // namespace Marevane
