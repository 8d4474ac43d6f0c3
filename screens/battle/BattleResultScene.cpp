#include "screens/battle/BattleResultScene.h"

#include "gui/Fonts.h"
#include "gui/Popups.h"
#include "gui/ScreenText.h"
#include "gui/ScreenTiming.h"
#include "gui/SelectionList.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Logger.h"
#include "model/TurnManager.h"
#include "screens/battle/StatusLists.h"

#include <QGraphicsLinearLayout>
#include <QGraphicsProxyWidget>
#include <QGraphicsWidget>
#include <QScrollBar>
#include <QTimer>

#include <algorithm>

namespace Marevane {

namespace {

constexpr int MessageBarWidth = 408;
constexpr int ColumnMaxWidth = 480;
constexpr int ToggleMessageMs = 1800;
// The cancel row hides behind the save message; it comes back after it.
constexpr int GuidanceAfterSaveMs = 2200;

} // namespace

CBattleResultScene::CBattleResultScene(int x, int y, int width, int height, QObject* parent)
    : CGameScene(QRectF(0, 0, width, height), parent), m_area(x, y, width, height),
      m_column(0, 0, width / 2 - 1, height),
      m_toggleButton(new CPushButton(tr("All Play Stats"), Sound::SeDefaultSelected)),
      m_saveLogButton(new CPushButton(tr("Save Log"), Sound::SeDefaultSelected)),
      m_replayButton(new CPushButton(tr("Replay"), Sound::SeNextStep)),
      m_exitButton(new CPushButton(tr("Exit"), Sound::SeNextStep)),
      m_nextStageButton(new CPushButton(tr("Next Stage"), Sound::SeNextStep))
{
    setObjectName(QStringLiteral("BattleResult"));
    for (CPushButton* button :
         {m_toggleButton, m_saveLogButton, m_replayButton, m_exitButton, m_nextStageButton})
        button->SetUp();
    m_saveLogButton->setEnabled(false);
    connect(m_replayButton, &QPushButton::clicked, this, &CBattleResultScene::SendReplayCode);
    connect(m_exitButton, &QPushButton::clicked, this, &CBattleResultScene::SendExitCode);
    connect(m_nextStageButton, &QPushButton::clicked, this, &CBattleResultScene::SendNextStageCode);
    connect(m_toggleButton, &QPushButton::clicked, this, &CBattleResultScene::ToggleStatistics);
    connect(m_saveLogButton, &QPushButton::clicked, this, &CBattleResultScene::SaveLog);
    // The buttons stand below the lists; a button reached with the keyboard
    // is scrolled into sight.
    connect(this, &QGraphicsScene::focusItemChanged, this,
            [this](QGraphicsItem* pItem, QGraphicsItem*, Qt::FocusReason reason) {
                const bool isKeyboard = reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason;
                if (!isKeyboard || pItem == nullptr || m_buttonBar == nullptr) return;
                if (pItem->parentItem() != m_buttonBar) return;
                if (CGameView* view = GetView()) view->ensureVisible(m_buttonBar);
            });
}

CBattleResultScene::~CBattleResultScene()
{
    // Buttons never put into the bar belong to no item.
    for (CPushButton* button :
         {m_toggleButton, m_saveLogButton, m_replayButton, m_exitButton, m_nextStageButton})
        if (button->graphicsProxyWidget() == nullptr) delete button;
}

void CBattleResultScene::SetWatchMode(bool isWatching)
{
    m_isWatching = isWatching;
    m_replayButton->setText(isWatching ? tr("Watch Again") : tr("Replay"));
    if (m_cancelItem != nullptr)
        m_cancelItem->SetText(isWatching ? tr("Cancel Watching") : tr("Cancel Replay"));
}

void CBattleResultScene::ShowStageButtons(bool isShown, bool isNextStage)
{
    m_isNextStageShown = m_isArcade && isShown && isNextStage;
    m_isReplayShown = !m_isArcade || (isShown && !isNextStage);
    LayOutButtons();
    CenterButtonBar((m_area.width() - m_buttonLayout->effectiveSizeHint(Qt::PreferredSize).width()) / 2);
}

bool CBattleResultScene::IsButtonShown(const CPushButton* button) const
{
    if (button == m_replayButton) return m_isReplayShown;
    if (button == m_nextStageButton) return m_isNextStageShown;
    return true;
}

void CBattleResultScene::LayOutButtons()
{
    if (m_buttonLayout == nullptr) CreateButtonBar();
    // Hidden buttons leave the row, so the rest stays centred.
    while (m_buttonLayout->count() > 0) m_buttonLayout->removeAt(0);
    for (CPushButton* button :
         {m_toggleButton, m_saveLogButton, m_replayButton, m_nextStageButton, m_exitButton}) {
        QGraphicsProxyWidget* proxy = button->graphicsProxyWidget();
        const bool isShown = IsButtonShown(button);
        proxy->setVisible(isShown);
        if (!isShown) continue;
        m_buttonLayout->addItem(proxy);
        m_buttonLayout->setStretchFactor(proxy, 1);
        m_buttonLayout->setAlignment(proxy, Qt::AlignCenter);
    }
}

void CBattleResultScene::CenterButtonBar(qreal x)
{
    if (m_buttonBar == nullptr) return;
    const QSizeF size = m_buttonLayout->effectiveSizeHint(Qt::PreferredSize);
    m_buttonBar->setMinimumWidth(size.width());
    m_buttonBar->resize(size);
    m_buttonLayout->activate();
    m_buttonBar->setX(static_cast<int>(x));
}

void CBattleResultScene::FocusFirstChoice()
{
    for (CPushButton* button : {m_nextStageButton, m_replayButton, m_exitButton}) {
        if (!IsButtonShown(button) || !button->isEnabled() || button->graphicsProxyWidget() == nullptr)
            continue;
        setFocusItem(button->graphicsProxyWidget(), Qt::OtherFocusReason);
        button->setFocus(Qt::OtherFocusReason);
        return;
    }
}

void CBattleResultScene::SetTurnManager(CTurnManager* pTurnManager)
{
    if (m_turnManager != nullptr) Clear();
    m_turnManager = pTurnManager;
    // Each showing starts with every choice open, the log not saved and
    // this battle's statistics.
    SetChoicesEnabled(true);
    m_isAllPlay = false;
    m_toggleButton->setText(tr("All Play Stats"));
    m_saveLogButton->setText(tr("Save Log"));
    m_saveLogButton->setEnabled(pTurnManager != nullptr);
    if (m_cancelItem != nullptr) m_cancelItem->Hide();
    if (m_messageBar != nullptr) m_messageBar->Hide();
    m_players = pTurnManager != nullptr ? pTurnManager->GetUnits() : std::vector<CUnit*>();
    Build();
}

void CBattleResultScene::SetPlayerList(QVector<CUnit*> playerList)
{
    SetPlayerList(std::vector<CUnit*>(playerList.begin(), playerList.end()));
}

void CBattleResultScene::SetPlayerList(std::vector<CUnit*> playerList)
{
    m_players = std::move(playerList);
    Build();
}

void CBattleResultScene::Clear()
{
    for (CStatsListCollection* list : m_statsLists) {
        removeItem(list);
        delete list;
    }
    m_statsLists.clear();
    for (QGraphicsItem* item :
         {static_cast<QGraphicsItem*>(m_title), static_cast<QGraphicsItem*>(m_header)}) {
        if (item == nullptr) continue;
        removeItem(item);
        delete item;
    }
    m_title = nullptr;
    m_header = nullptr;
}

int CBattleResultScene::ScrollBarWidth() const
{
    const CGameView* view = GetView();
    return view != nullptr ? view->verticalScrollBar()->sizeHint().width() : 0;
}

void CBattleResultScene::Build()
{
    Clear();
    if (!m_isNarrowedForScrollBar && GetView() != nullptr) {
        m_isNarrowedForScrollBar = true;
        const int bar = ScrollBarWidth();
        m_area.setWidth(m_area.width() - bar);
        m_column.setWidth(m_column.width() - bar / 2);
    }

    m_title = new CLogoItem(QStringLiteral(":/Resources/BattleResultLabel.png"));
    const QPixmap& picture = m_title->pixmap();
    m_title->setPos(m_area.left() + m_area.width() / 2 - picture.width() / 2, m_area.top());
    addItem(m_title);

    QString text;
    const CLogger* logger = m_turnManager != nullptr ? m_turnManager->GetLogCache() : nullptr;
    if (logger != nullptr && !m_turnManager->IsDisconnected())
        text = logger->GetImpl().GetLogText(1);
    else
        text = QStringLiteral("\n") + tr("This battle ended.");
    TraceShownText("header", text);
    m_header = new CTextItem(text);
    m_header->setZValue(static_cast<qreal>(m_players.size()) + 100);
    m_header->setFont(TextFont());
    m_header->SetDocumentMargin(0);
    m_header->setDefaultTextColor(TextColor);
    m_header->setPos(m_area.left() +
                         (m_area.width() - static_cast<int>(m_header->boundingRect().width())) / 2,
                     m_title->y() + (picture.height() / 5) * 2);
    addItem(m_header);

    const qreal top = m_header->y() + m_header->boundingRect().height() + 4;
    qreal rowTop = top;
    qreal rowBottom = top;
    for (std::size_t i = 0; i < m_players.size(); ++i) {
        auto* list = new CStatsListCollection(QRectF(m_column));
        list->SetUnit(m_players[i], m_isAllPlay);
        addItem(list);
        if (i % 2 == 1) {
            const CStatsListCollection* previous = m_statsLists.back();
            list->setPos(previous->x() + previous->rect().width(), previous->y());
        } else {
            if (i != 0) rowTop = rowBottom + 8;
            list->setPos(m_area.left(), rowTop);
        }
        rowBottom = std::max(rowBottom, list->y() + list->rect().height());
        m_statsLists << list;
    }

    LayOutButtons();
    CenterButtonBar((m_area.width() - m_buttonLayout->effectiveSizeHint(Qt::PreferredSize).width()) / 2);
    m_buttonBar->setY(rowBottom);
    m_area.setBottom(static_cast<int>(m_buttonBar->y() + m_buttonBar->size().height()) - 1);
    setSceneRect(m_area);

    if (m_messageBar == nullptr) {
        m_messageBar = new CNotificationBar;
        m_messageBar->SetFixedWidth();
        m_messageBar->SetWidth(MessageBarWidth);
        addItem(m_messageBar);
        m_messageBar->hide();
    }
    if (m_cancelItem == nullptr) {
        m_cancelItem =
            new CConfirmationItem(m_isWatching ? tr("Cancel Watching") : tr("Cancel Replay"), QString());
        m_cancelItem->setZValue(1002);
        addItem(m_cancelItem);
        m_cancelItem->hide();
    }
}

void CBattleResultScene::CreateButtonBar()
{
    m_buttonBar = new QGraphicsWidget;
    m_buttonLayout = new QGraphicsLinearLayout(Qt::Horizontal);
    m_buttonBar->setLayout(m_buttonLayout);
    addItem(m_buttonBar);
    const qreal spacing = m_buttonLayout->spacing();
    const int minimum = static_cast<int>(m_area.width() / 5 - m_area.left() - 2 * spacing);
    const int maximum = m_area.width() / 3;
    QGraphicsWidget* previous = nullptr;
    for (CPushButton* button :
         {m_toggleButton, m_saveLogButton, m_replayButton, m_nextStageButton, m_exitButton}) {
        button->setMinimumWidth(minimum);
        button->setMaximumWidth(maximum);
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        auto* proxy = new QGraphicsProxyWidget(m_buttonBar);
        proxy->setWidget(button);
        proxy->setFocusPolicy(Qt::StrongFocus);
        if (previous != nullptr) QGraphicsWidget::setTabOrder(previous, proxy);
        previous = proxy;
    }
}

void CBattleResultScene::SetChoicesEnabled(bool isEnabled)
{
    for (CPushButton* button : {m_replayButton, m_nextStageButton, m_exitButton})
        button->setEnabled(isEnabled);
}

qreal CBattleResultScene::VisibleTop() const
{
    const CGameView* view = GetView();
    return view != nullptr ? view->verticalScrollBar()->value() : 0;
}

qreal CBattleResultScene::VisibleHeight() const
{
    const CGameView* view = GetView();
    return view != nullptr ? view->viewport()->height() : sceneRect().height();
}

void CBattleResultScene::ShowMessage(QString text, int millisec)
{
    if (m_messageBar == nullptr) Build();
    m_cancelItem->hide();
    m_messageBar->Show(QPoint(0, 0), text, millisec);
    AdjustNotificationPosition();
    if (CGameView* view = GetView()) {
        if (m_scrollConnectionTarget != view) {
            connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
                    &CBattleResultScene::AdjustNotificationPosition, Qt::UniqueConnection);
            m_scrollConnectionTarget = view;
        }
    }
}

void CBattleResultScene::ShowMessage(QString text)
{
    ShowMessage(text, ScreenTiming::FailureNotice);
}

void CBattleResultScene::AdjustNotificationPosition()
{
    if (m_messageBar == nullptr) return;
    const QRectF bar = m_messageBar->rect();
    m_messageBar->setPos(m_area.left() + static_cast<int>((m_area.width() - bar.width()) / 2),
                         static_cast<int>(VisibleTop() + (VisibleHeight() - bar.height()) / 2));
    if (m_cancelItem != nullptr)
        m_cancelItem->setPos(m_area.left() +
                                 static_cast<int>((m_area.width() - m_cancelItem->rect().width()) / 2),
                             m_messageBar->y() + bar.height() + 4);
}

void CBattleResultScene::ShowGuidance(const QString& text)
{
    ShowMessage(text, 0);
    const qreal x = m_area.left() + (m_area.width() - m_cancelItem->rect().width()) / 2;
    m_cancelItem->Show(
        QPointF(static_cast<int>(x), m_messageBar->y() + m_messageBar->rect().height() + 4),
        [this] { CancelGuidance(); }, Callback());
    AdjustNotificationPosition();
}

void CBattleResultScene::ShowReplayGuidance()
{
    if (m_isWatching) return;
    ShowGuidance(tr("Request for a \"Replay\" has been sent.\nWait until all players select a \"Replay\"...\n"
                    "(A replay will be canceled, if someone rejects it.)"));
}

void CBattleResultScene::ShowRewatchGuidance()
{
    ShowGuidance(
        tr("Request for a \"Watch Again\" has been sent.\nWait until all players select a \"Replay\"...\n"
           "(Watching will be canceled, if someone rejects it.)"));
}

void CBattleResultScene::CancelGuidance()
{
    ShowMessage(m_isWatching ? tr("\"Watch Again\" has been canceled.\nNow going back the Title...")
                             : tr("\"Replay\" has been canceled.\nNow going back the Title..."),
                ScreenTiming::FailureNotice);
    SetChoicesEnabled(false);
    emit MenuSelected(ExitCode);
}

void CBattleResultScene::SendReplayCode()
{
    SetChoicesEnabled(false);
    emit MenuSelected(ReplayCode);
}

void CBattleResultScene::SendExitCode()
{
    SetChoicesEnabled(false);
    emit MenuSelected(ExitCode);
}

void CBattleResultScene::SendNextStageCode()
{
    SetChoicesEnabled(false);
    emit MenuSelected(NextStageCode);
}

void CBattleResultScene::ToggleStatistics()
{
    m_isAllPlay = !m_isAllPlay;
    m_toggleButton->setText(m_isAllPlay ? tr("Current Stats") : tr("All Play Stats"));
    Build();
    if (CGameView* view = GetView()) AdjustViewPosition(view->viewport()->size());
    ShowMessage(m_isAllPlay ? tr("Show statistics for all plays.")
                            : tr("Show statistics for current battle."),
                ToggleMessageMs);
}

void CBattleResultScene::SaveLog()
{
    CLogger* logger = m_turnManager != nullptr ? m_turnManager->GetLogCache() : nullptr;
    if (logger == nullptr) return;
    // The message hides a waiting replay's cancel row; it comes back after it.
    if (m_cancelItem != nullptr && m_cancelItem->isVisible())
        QTimer::singleShot(ScreenTiming::Scaled(GuidanceAfterSaveMs), this, [this] {
            if (m_isWatching)
                ShowRewatchGuidance();
            else
                ShowReplayGuidance();
        });
    if (!logger->GetImpl().SaveLogFile(QStringLiteral("Marevane"))) {
        QString text = tr("Saving the Log has failed.");
        const QString reason = logger->GetImpl().GetSaveError();
        if (!reason.isEmpty()) text += QStringLiteral("\n") + reason;
        ShowMessage(text, ScreenTiming::FailureNotice);
        return;
    }
    m_saveLogButton->setText(tr("Log was Saved"));
    m_saveLogButton->setEnabled(false);
    ShowMessage(tr("Saving the Log has been completed."), ScreenTiming::FailureNotice);
}

void CBattleResultScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0) return;
    const int columnWidth = std::min(size.width() / 2, ColumnMaxWidth);
    m_area.setRight(m_area.left() - 1 + size.width());
    m_column.setRight(m_column.left() - 1 + columnWidth);
    // Title and header centred; two columns wider than the view's halves
    // cannot be, so wide views centre the pair.
    const auto centred = [this, size](qreal width) {
        return m_area.left() + static_cast<int>(size.width() - width) / 2;
    };
    if (m_title != nullptr) m_title->setX(centred(m_title->pixmap().width()));
    if (m_header != nullptr) m_header->setX(centred(m_header->boundingRect().width()));

    qreal rowBottom =
        m_header != nullptr ? m_header->y() + m_header->boundingRect().height() + 4 : m_area.top();
    for (int i = 0; i < m_statsLists.size(); ++i) {
        CStatsListCollection* list = m_statsLists[i];
        list->AdjustPosition(m_column.size());
        if (i % 2 == 1) {
            const CStatsListCollection* previous = m_statsLists[i - 1];
            list->setX(previous->x() + previous->rect().width());
        } else {
            list->setX(size.width() / 2 <= ColumnMaxWidth ? m_area.left() : centred(2 * columnWidth));
        }
        rowBottom = std::max(rowBottom, list->y() + list->rect().height());
    }
    if (m_buttonBar != nullptr) {
        CenterButtonBar((size.width() - m_buttonBar->size().width() - 1) / 2);
        m_buttonBar->setY(rowBottom);
        m_area.setBottom(static_cast<int>(m_buttonBar->y() + m_buttonBar->size().height()) - 1);
    }
    setSceneRect(m_area);
    AdjustNotificationPosition();
    update();
}

// --- CBattleResultView ------------------------------------------------------

CBattleResultView::CBattleResultView(QGraphicsScene* pScene, QWidget* parent) : CMainView(pScene, parent)
{
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    verticalScrollBar()->setStyleSheet(ScrollBarStyleSheet());
    setMinimumSize(720, 600);
}

void AddBattleResultSceneMaker(SceneMakers& makers)
{
    makers[SceneSlot::BattleResult] =
        SceneMaker{[](const SceneInputs&) -> CGameScene* { return new CBattleResultScene(0, 0, 720, 600); },
                   [](CGameScene* scene) -> CGameView* { return new CBattleResultView(scene); }};
}

} // namespace Marevane
