#include "screens/battle/MessageScene.h"

#include "app/GameView.h"
#include "gui/Fonts.h"
#include "gui/ScreenText.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Logger.h"

#include <QGraphicsProxyWidget>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>

namespace Marevane {

namespace {

QVector<QString> ToQStrings(const std::vector<std::wstring>& texts)
{
    QVector<QString> list;
    list.reserve(static_cast<int>(texts.size()));
    for (const std::wstring& text : texts) list << QString::fromStdWString(text);
    return list;
}

} // namespace

CMessageScene::CMessageScene(int x, int y, const QSize& size, QObject* parent)
    : CGameScene(QRectF(0, 0, size.width(), size.height() - 4), parent),
      m_area(x, y, size.width(), size.height())
{
    m_lineTimer.setSingleShot(false);
    connect(&m_lineTimer, &QTimer::timeout, this, &CMessageScene::AddListImpl);
    BuildPageControl();
    BuildNextMarker();
    Layout();
    EnablePageControl();
}

CMessageScene::~CMessageScene()
{
    m_lineTimer.stop();
    // Lines not yet shown belong to no scene.
    for (CTextItem* line : m_lines)
        if (line->scene() == nullptr) delete line;
}

void CMessageScene::SetLogger(CLoggerImpl* pLogger)
{
    m_logger = pLogger;
    EnablePageControl();
}

QStringList CMessageScene::GetShownTexts() const
{
    QStringList texts;
    for (int i = 0; i < m_shownLines && i < static_cast<int>(m_lines.size()); ++i)
        texts << m_lines[static_cast<std::size_t>(i)]->toPlainText();
    return texts;
}

// --- adding -------------------------------------------------------------------

void CMessageScene::Add(QString message, bool isAutoScroll)
{
    if (message.contains(QLatin1Char('\n'))) {
        AddList(message.split(QLatin1Char('\n')).toVector(), isAutoScroll, SplitLineInterval);
        return;
    }
    m_isAutoScroll = isAutoScroll;
    m_lines.push_back(MakeLine(message));
    Record(message);
    if (m_lineTimer.isActive()) return; // waits for its tick
    ShowLine(static_cast<int>(m_lines.size()) - 1);
    m_shownLines = static_cast<int>(m_lines.size());
    Layout();
    if (m_isAutoScroll) ScrollToEnd();
    m_isAutoScroll = false;
    ReleaseFocus();
}

void CMessageScene::Add(QString message)
{
    Add(std::move(message), true);
}

void CMessageScene::Add(std::wstring message, bool isAutoScroll)
{
    Add(QString::fromStdWString(message), isAutoScroll);
}

void CMessageScene::Add(std::wstring message)
{
    Add(QString::fromStdWString(message), true);
}

void CMessageScene::Add(QVector<QString> messageList, int interval)
{
    AddList(messageList, true, interval);
}

void CMessageScene::Add(QVector<QString> messageList)
{
    AddList(messageList, true, ListInterval);
}

void CMessageScene::Add(std::vector<std::wstring> messageList, int interval)
{
    AddList(ToQStrings(messageList), true, interval);
}

void CMessageScene::Add(std::vector<std::wstring> messageList)
{
    AddList(ToQStrings(messageList), true, ListInterval);
}

void CMessageScene::Set(QString message)
{
    Clear();
    Add(std::move(message), false);
}

void CMessageScene::Set(std::wstring message)
{
    Set(QString::fromStdWString(message));
}

void CMessageScene::AddList(const QVector<QString>& messageList, bool isAutoScroll, int interval)
{
    m_isAutoScroll = isAutoScroll;
    for (const QString& text : messageList) {
        m_lines.push_back(MakeLine(text));
        Record(text);
    }
    if (!m_lineTimer.isActive()) {
        AddListImpl();
        m_lineTimer.start(ScreenTiming::Scaled(std::max(interval, 1)));
    }
}

void CMessageScene::AddListImpl()
{
    const int count = static_cast<int>(m_lines.size());
    if (m_shownLines < count) {
        ShowLine(m_shownLines);
        ++m_shownLines;
        Layout();
        ScrollToEnd();
        return;
    }
    m_lineTimer.stop();
    m_shownLines = count;
    Layout();
    ScrollToEnd();
    m_isAutoScroll = false;
    ReleaseFocus();
}

CTextItem* CMessageScene::MakeLine(const QString& text)
{
    auto* line = new CTextItem(text);
    line->setDefaultTextColor(TextColor);
    line->SetDocumentMargin(0);
    line->setTextWidth(std::max(m_area.width() - 12, 1));
    line->setZValue(static_cast<qreal>(m_lines.size()) + 100);
    return line;
}

void CMessageScene::ShowLine(int index)
{
    CTextItem* line = m_lines[static_cast<std::size_t>(index)];
    PlaceLine(line, index);
    if (index == 0) addItem(line);
}

void CMessageScene::PlaceLine(CTextItem* line, int index)
{
    if (index == 0) {
        line->setPos(8, 12);
        return;
    }
    CTextItem* previous = m_lines[static_cast<std::size_t>(index - 1)];
    line->setParentItem(previous);
    line->setPos(0, previous->boundingRect().height());
}

void CMessageScene::Record(const QString& text)
{
    TraceShownText("message", text);
    if (m_isLogging && m_logger != nullptr) m_logger->GetCache().Add(nullptr, text);
}

void CMessageScene::Clear()
{
    m_lineTimer.stop();
    if (!m_lines.empty()) {
        CTextItem* first = m_lines.front();
        if (first->scene() != nullptr) removeItem(first);
        // The shown lines go with the first; the waiting ones are loose.
        for (std::size_t i = static_cast<std::size_t>(std::max(m_shownLines, 1)); i < m_lines.size(); ++i)
            if (m_lines[i]->parentItem() == nullptr) delete m_lines[i];
        delete first;
    }
    m_lines.clear();
    m_shownLines = 0;
    m_isAutoScroll = false;
    Layout();
}

// --- layout -------------------------------------------------------------------

int CMessageScene::ViewportHeight() const
{
    CGameView* view = GetView();
    return view != nullptr ? view->viewport()->height() : VisibleHeight();
}

void CMessageScene::Layout()
{
    const int controlHeight = static_cast<int>(m_pageControl->rect().height());
    const int width = m_area.width() - 1;
    if (m_shownLines == 0 || m_lines.empty()) {
        setSceneRect(0, 0, width, VisibleHeight() - 1);
        m_pageControl->setY(VisibleHeight() - 4 - controlHeight);
        return;
    }
    qreal content = m_lines.front()->y() + 2;
    for (int i = 0; i < m_shownLines; ++i)
        content += m_lines[static_cast<std::size_t>(i)]->boundingRect().height();
    // Scrolling starts only once the lines and the control no longer fit.
    if (content + controlHeight > VisibleHeight())
        setSceneRect(0, 0, width, static_cast<int>(content) + 4 - 1 + controlHeight);
    else
        setSceneRect(0, 0, width, VisibleHeight() - 1);
    AdjustControlHeight();
}

void CMessageScene::ScrollToEnd()
{
    if (CGameView* view = GetView())
        view->verticalScrollBar()->setValue(static_cast<int>(sceneRect().height()));
    AdjustControlHeight();
}

void CMessageScene::ReleaseFocus()
{
    if (CGameView* view = GetView()) view->clearFocus();
}

void CMessageScene::AdjustControlHeight()
{
    CGameView* view = GetView();
    const int scroll = view != nullptr ? view->verticalScrollBar()->value() : 0;
    AdjustControlHeight(scroll);
}

void CMessageScene::AdjustControlHeight(int scrollValue)
{
    const int controlHeight = static_cast<int>(m_pageControl->rect().height());
    int y = scrollValue + ViewportHeight() - controlHeight - 4;
    y = std::min(y, static_cast<int>(sceneRect().height()) - controlHeight - 4);
    m_pageControl->setY(std::max(y, 0));
    m_pageControl->setZValue((static_cast<qreal>(m_lines.size()) + 10) * 10);
}

void CMessageScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() <= 0) return;
    m_area.setWidth(size.width());
    if (size.height() > 0) m_area.setHeight(size.height());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        m_lines[i]->setTextWidth(std::max(m_area.width() - 11, 1));
        if (static_cast<int>(i) < m_shownLines) PlaceLine(m_lines[i], static_cast<int>(i));
    }
    Layout();
    m_pageControl->setX(m_area.width() - 12 - m_pageControl->rect().width());
}

// --- page control -------------------------------------------------------------

void CMessageScene::BuildPageControl()
{
    m_pageControl = new QGraphicsRectItem;
    m_pageControl->setPen(Qt::NoPen);
    auto makeButton = [this](const QString& text, const QKeySequence& key) {
        auto* button = new CPushButton(text, Sound::SeDefaultSelected);
        button->SetUp();
        button->setShortcut(key);
        button->setFocusPolicy(Qt::NoFocus);
        return button;
    };
    m_prevButton = makeButton(QStringLiteral("<"), QKeySequence(Qt::CTRL | Qt::Key_Left));
    m_nextButton = makeButton(QStringLiteral(">"), QKeySequence(Qt::CTRL | Qt::Key_Right));
    m_latestButton = makeButton(tr("Latest"), QKeySequence(Qt::CTRL | Qt::Key_Down));
    m_prevButton->setMinimumWidth(m_prevButton->sizeHint().width() * 3 / 2);
    m_nextButton->setMinimumWidth(m_nextButton->sizeHint().width());
    m_latestButton->setMinimumWidth(m_latestButton->sizeHint().width() * 4 / 3);

    qreal x = 0;
    for (CPushButton* button : {m_prevButton, m_nextButton, m_latestButton}) {
        auto* proxy = new QGraphicsProxyWidget(m_pageControl);
        proxy->setWidget(button);
        proxy->setPos(x, 0);
        x += proxy->size().width() + 4;
    }
    m_pageControl->setRect(m_pageControl->childrenBoundingRect());
    addItem(m_pageControl);
    m_pageControl->setX(m_area.width() - 12 - m_pageControl->rect().width());

    connect(m_prevButton, &QPushButton::clicked, this, &CMessageScene::ShowPrevLog);
    connect(m_nextButton, &QPushButton::clicked, this, &CMessageScene::ShowNextLog);
    connect(m_latestButton, &QPushButton::clicked, this, &CMessageScene::ShowLatestLog);
}

void CMessageScene::BuildNextMarker()
{
    m_nextMarker = new QGraphicsPolygonItem(QPolygonF({QPointF(0, 0), QPointF(8, 0), QPointF(4, 8)}));
    m_nextMarker->setBrush(TextColor);
    m_nextMarker->setPen(QPen(DarkTextColor));
    m_nextMarker->setZValue(10000);
    m_nextMarker->hide();
    addItem(m_nextMarker);
}

void CMessageScene::ShowLog(int page)
{
    if (m_logger != nullptr) {
        m_currentPage = page;
        Clear();
        Add(m_logger->GetLogText(static_cast<unsigned>(std::max(page, 0))), false);
    }
    EnablePageControl();
}

void CMessageScene::ShowLog()
{
    ShowLog(m_currentPage);
}

void CMessageScene::ShowPrevLog()
{
    if (m_currentPage > 1) --m_currentPage;
    ShowLog(m_currentPage);
}

void CMessageScene::ShowNextLog()
{
    if (m_currentPage < m_pageLimit) ++m_currentPage;
    ShowLog(m_currentPage);
}

void CMessageScene::ShowLatestLog()
{
    m_currentPage = 1;
    ShowLog(m_currentPage);
}

void CMessageScene::EnablePageControl()
{
    const bool hasLogger = m_logger != nullptr;
    const int entries = hasLogger ? static_cast<int>(m_logger->GetLogCount()) : 0;
    m_prevButton->setEnabled(hasLogger && m_currentPage > 1);
    m_nextButton->setEnabled(hasLogger && m_currentPage < entries &&
                             (m_currentPage < m_pageLimit || m_pageLimit == 0));
    m_latestButton->setEnabled(hasLogger && entries >= 1);
}

void CMessageScene::DisablePageControl()
{
    for (CPushButton* button : {m_prevButton, m_nextButton, m_latestButton}) button->setEnabled(false);
}

void CMessageScene::ShowPageControl()
{
    m_pageControl->show();
}

void CMessageScene::HidePageControl()
{
    m_pageControl->hide();
}

// --- reading mode -------------------------------------------------------------

void CMessageScene::Read(QVector<QString> text)
{
    for (const QString& piece : text) m_readingQueue.push_back(piece);
    ReadNext();
}

void CMessageScene::ReadNext()
{
    if (m_readingQueue.empty()) {
        m_nextMarker->hide();
        return;
    }
    Clear();
    Add(m_readingQueue.front(), false);
    m_readingQueue.pop_front();
    if (m_readingQueue.empty()) {
        m_nextMarker->hide();
        return;
    }
    // The marker stands at the end of the text, at the pane's right.
    m_nextMarker->setPos(m_area.width() - 24, std::max(12.0, sceneRect().height() - 24));
    m_nextMarker->show();
    if (CGameView* view = GetView()) view->setFocus();
}

void CMessageScene::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && m_nextMarker->isVisible())
        ReadNext();
    CGameScene::keyPressEvent(event);
}

void CMessageScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && m_nextMarker->isVisible()) ReadNext();
    CGameScene::mousePressEvent(event);
}

} // namespace Marevane
