#include "screens/battle/StatusDetailScene.h"

#include "app/GameView.h"
#include "gui/Fonts.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Ship.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/StatisticsTexts.h"
#include "screens/battle/StatusLists.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsSimpleTextItem>
#include <QScrollBar>

#include <algorithm>

namespace Marevane {

namespace {

constexpr int SceneWidth = 416;
constexpr int SceneHeight = 600;

} // namespace

// --- CStatusCaptionBar --------------------------------------------------------

CStatusCaptionBar::CStatusCaptionBar(const CTurnManager* pTurnManager, qreal width, QGraphicsItem* parent)
    : QGraphicsRectItem(0, 0, width, Height, parent), m_turnManager(pTurnManager),
      m_caption(new QGraphicsSimpleTextItem(this)), m_time(new QGraphicsSimpleTextItem(this))
{
    setPen(FramePen());
    setBrush(DeepPanelColor);
    setZValue(200);
    QFont font = TextFont();
    font.setPixelSize(14);
    for (QGraphicsSimpleTextItem* text : {m_caption, m_time}) {
        text->setFont(font);
        text->setBrush(TextColor);
    }
    m_tick.setInterval(ScreenTiming::Scaled(ScreenTiming::ClockTick));
    connect(&m_tick, &QTimer::timeout, this, &CStatusCaptionBar::Refresh);
    m_tick.start();
    Refresh();
}

void CStatusCaptionBar::SetCaption(const QString& caption)
{
    m_caption->setText(caption);
    m_caption->setPos(6, (Height - m_caption->boundingRect().height()) / 2);
}

QString CStatusCaptionBar::GetCaption() const
{
    return m_caption->text();
}

QString CStatusCaptionBar::GetTimeText() const
{
    return m_time->text();
}

void CStatusCaptionBar::SetWidth(qreal width)
{
    setRect(0, 0, width, Height);
    Refresh();
}

void CStatusCaptionBar::Refresh()
{
    const CUnit* unit = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    m_time->setText(GetTimeSpanText(unit != nullptr ? &unit->GetTimer() : nullptr, false));
    const QRectF text = m_time->boundingRect();
    m_time->setPos(rect().width() - text.width() - 8, (Height - text.height()) / 2);
}

// --- CStatusDetailScene -------------------------------------------------------

CStatusDetailScene::CStatusDetailScene(QObject* parent)
    : CGameScene(QRectF(0, 0, SceneWidth, SceneHeight), parent),
      m_contentRect(QPoint(0, 0), QPoint(SceneWidth - 1, SceneHeight - 1))
{
}

CStatusDetailScene::~CStatusDetailScene()
{
    for (CPushButton* button : {m_prevButton, m_nextButton, m_closeButton, m_toggleButton})
        if (button != nullptr && button->graphicsProxyWidget() == nullptr) delete button;
}

void CStatusDetailScene::SetTurnManager(const CTurnManager* pTurnManager)
{
    m_turnManager = pTurnManager;
}

CTextItem* CStatusDetailScene::CreateTextItem(const QString& text)
{
    auto* item = new CTextItem(text);
    item->setDefaultTextColor(TextColor);
    item->setFont(TextFont());
    item->setZValue(100);
    item->SetDocumentMargin(0);
    return item;
}

QSize CStatusDetailScene::ViewSize() const
{
    if (CGameView* view = GetView()) return view->viewport()->size();
    return QSize(SceneWidth, SceneHeight);
}

int CStatusDetailScene::ScrollBarWidth() const
{
    CGameView* view = GetView();
    return view != nullptr && view->verticalScrollBar()->isVisible() ? view->verticalScrollBar()->width() : 0;
}

void CStatusDetailScene::Clear()
{
    // Buttons not yet placed belong to no item.
    for (CPushButton* button : {m_prevButton, m_nextButton, m_closeButton, m_toggleButton})
        if (button != nullptr && button->graphicsProxyWidget() == nullptr) delete button;
    clear();

    m_toggleButton =
        new CPushButton(m_isAllPlay ? tr("Current Stats") : tr("All Play Stats"), Sound::SeDefaultSelected);
    m_closeButton = new CPushButton(tr("Close"), Sound::SeDefaultCanceled);
    m_nextButton = new CPushButton(QStringLiteral(">"), Sound::SeDefaultSelected);
    m_prevButton = new CPushButton(QStringLiteral("<"), Sound::SeDefaultSelected);
    for (CPushButton* button : {m_toggleButton, m_closeButton, m_nextButton, m_prevButton}) button->SetUp();
    m_prevButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    m_nextButton->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Period));

    connect(m_prevButton, &QPushButton::clicked, this, [this] { emit MenuSelected(PreviousCode); });
    connect(m_nextButton, &QPushButton::clicked, this, [this] { emit MenuSelected(NextCode); });
    connect(m_closeButton, &QPushButton::clicked, this, [this] { emit MenuSelected(CloseCode); });
    connect(m_toggleButton, &QPushButton::clicked, this, [this] {
        m_isAllPlay = !m_isAllPlay;
        emit MenuSelected(PreviousCode);
    });

    m_buttonBar = nullptr;
    m_playerLabel = nullptr;
    m_nameItem = nullptr;
    m_shipStatusList = nullptr;
    m_statsList = nullptr;
    m_captionBar = nullptr;
}

void CStatusDetailScene::CreateHeader(bool isShip)
{
    const QSize view = ViewSize();
    m_captionBar = new CStatusCaptionBar(m_turnManager, view.width());
    m_captionBar->SetCaption(isShip ? tr("Ship Status") : tr("Player Status"));
    addItem(m_captionBar);
    QGraphicsPixmapItem* label = addPixmap(QPixmap(QStringLiteral(":/Resources/StatusDetailLabel.png")));
    label->setPos(0, CStatusCaptionBar::Height);
    // The content starts below the label picture.
    const int top =
        std::max(CStatusCaptionBar::Height + 17, static_cast<int>(label->y()) + label->pixmap().height() + 4);
    m_contentRect = QRect(QPoint(8, top), QPoint(view.width() - ScrollBarWidth() - 1, view.height() - 5));
}

void CStatusDetailScene::CreateNameLine(const CUnit* pUnit)
{
    m_playerLabel = CreateTextItem(tr("Player: "));
    m_playerLabel->setFont(NameTextFont());
    m_playerLabel->setPos(8, m_contentRect.top());
    addItem(m_playerLabel);
    m_nameItem = CreateTextItem(pUnit != nullptr ? GetPlayerName(*pUnit) : QString());
    m_nameItem->setFont(NameTextFont());
    m_nameItem->setParentItem(m_playerLabel);
    m_nameItem->setPos(m_playerLabel->boundingRect().width(), 0);
}

void CStatusDetailScene::CreateButtonBar()
{
    m_buttonBar = new QGraphicsRectItem;
    m_buttonBar->setPen(Qt::NoPen);
    addItem(m_buttonBar);
    auto embed = [this](CPushButton* button, int minimumWidth) {
        button->setMinimumWidth(minimumWidth);
        auto* proxy = new QGraphicsProxyWidget(m_buttonBar);
        proxy->setWidget(button);
        return proxy;
    };
    QGraphicsProxyWidget* prev = embed(m_prevButton, m_prevButton->sizeHint().width() * 3 / 2);
    prev->setPos(0, 0);
    QGraphicsProxyWidget* next = embed(m_nextButton, m_nextButton->sizeHint().width() * 3 / 2);
    next->setPos(prev->x() + prev->size().width() + 8, 0);
    QGraphicsProxyWidget* close = embed(m_closeButton, 3 * (m_closeButton->sizeHint().width() / 2));
    close->setPos(next->x() + next->size().width() + 8, 0);
    QGraphicsProxyWidget* toggle = embed(m_toggleButton, m_toggleButton->sizeHint().width() / 3 * 4);
    toggle->setPos(close->x() + close->size().width() - toggle->size().width(),
                   close->y() + close->size().height() + 4);
    m_buttonBar->setRect(m_buttonBar->childrenBoundingRect());
    m_buttonBar->setPos(m_contentRect.width() - m_buttonBar->rect().width(),
                        m_playerLabel != nullptr ? m_playerLabel->y() : m_contentRect.top());
}

void CStatusDetailScene::FitName()
{
    if (m_nameItem == nullptr || m_buttonBar == nullptr || m_playerLabel == nullptr) return;
    const qreal width =
        m_contentRect.width() - m_buttonBar->rect().width() - m_playerLabel->boundingRect().width() - 8;
    m_nameItem->setTextWidth(std::max<qreal>(width, 1));
}

qreal CStatusDetailScene::ShownBottom() const
{
    return itemsBoundingRect().bottom();
}

void CStatusDetailScene::CreateItems(const CUnit* pUnit)
{
    Clear();
    CreateHeader(false);
    CreateNameLine(pUnit);
    CreateButtonBar();
    m_prevButton->setEnabled(false);
    FitName();

    m_statsList = new CStatsListCollection(QRectF(m_contentRect));
    m_statsList->SetUnitStatistics(pUnit, m_isAllPlay);
    m_statsList->setPos(m_contentRect.left(), ShownBottom());
    addItem(m_statsList);
    m_contentRect.setBottom(static_cast<int>(m_statsList->y() + m_statsList->rect().height()));
    setSceneRect(0, 0, m_contentRect.width(), m_contentRect.bottom() + 8);
}

void CStatusDetailScene::CreateItems(const CUnit* pUnit, const CShip* pShip)
{
    Clear();
    CreateHeader(true);
    CreateNameLine(pUnit);
    CreateButtonBar();
    const bool hasNext = pUnit != nullptr && pShip != nullptr && pUnit->HasShip(pShip->GetShipId() + 1);
    m_nextButton->setEnabled(hasNext);
    m_toggleButton->hide();
    FitName();

    m_shipStatusList = new CShipStatusCollection(QRectF(m_contentRect));
    m_shipStatusList->SetShip(pShip);
    m_shipStatusList->setPos(m_contentRect.left(), ShownBottom() - 30);
    addItem(m_shipStatusList);

    m_statsList = new CStatsListCollection(QRectF(m_contentRect));
    m_statsList->SetShipStatistics(pShip);
    m_statsList->setPos(m_contentRect.left(), m_shipStatusList->y() + m_shipStatusList->rect().height() + 16);
    addItem(m_statsList);
    m_contentRect.setBottom(static_cast<int>(m_statsList->y() + m_statsList->rect().height()));
    setSceneRect(0, 0, m_contentRect.width(), m_contentRect.bottom());
}

void CStatusDetailScene::SetControlEnabled(bool isEnabled)
{
    if (m_buttonBar != nullptr) m_buttonBar->setEnabled(isEnabled);
    blockSignals(!isEnabled);
}

void CStatusDetailScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0) return;
    if (m_captionBar != nullptr) m_captionBar->SetWidth(size.width());
    m_contentRect.setRight(size.width() - ScrollBarWidth() - 1);
    setSceneRect(0, 0, m_contentRect.width(), m_contentRect.bottom() + 9);
    if (m_buttonBar != nullptr) m_buttonBar->setX(m_contentRect.width() - m_buttonBar->rect().width());
    FitName();
    const QSize content(m_contentRect.width(), m_contentRect.height());
    if (m_shipStatusList != nullptr) {
        if (m_playerLabel != nullptr)
            m_shipStatusList->setY(m_playerLabel->y() + m_playerLabel->boundingRect().height());
        m_shipStatusList->AdjustPosition(content);
        if (m_statsList != nullptr)
            m_statsList->setY(m_shipStatusList->y() + m_shipStatusList->rect().height() + 16);
    }
    if (m_statsList != nullptr) m_statsList->AdjustPosition(content);
    update();
}

} // namespace Marevane
