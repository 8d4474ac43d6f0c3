#include "screens/battle/TimerBar.h"

#include "gui/Fonts.h"
#include "gui/ScreenTiming.h"
#include "gui/SoundFeedback.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "model/Timer.h"
#include "model/TurnManager.h"
#include "model/Unit.h"
#include "model/texts/StatisticsTexts.h"

#include <QFontMetrics>
#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QTextDocument>
#include <QTextOption>

#include <cmath>

namespace Marevane {

namespace {

constexpr int BarHeight = 27;
constexpr int FontPixels = 14;
// Countdown sounds asked for several times are played this far apart.
constexpr int CueInterval = 2000;

QFont BarFont()
{
    QFont font = TextFont();
    font.setPixelSize(FontPixels);
    return font;
}

void SetUpBar(QGraphicsRectItem* bar)
{
    bar->setPen(FramePen());
    bar->setBrush(PopupColor);
}

} // namespace

// --- timer bar -----------------------------------------------------------------

CTimerBar::CTimerBar(QGraphicsItem* parent)
    : QGraphicsRectItem(parent),
      m_label(new QGraphicsPixmapItem(QPixmap(QStringLiteral(":/Resources/BitmapTime.png")), this)),
      m_textItem(new CTextItem(QString(), this))
{
    SetUpBar(this);
    setZValue(300);
    m_tick.setInterval(ScreenTiming::Scaled(ScreenTiming::ClockTick));
    m_tick.setSingleShot(false);
    connect(&m_tick, &QTimer::timeout, this, &CTimerBar::Update);

    m_textItem->setFont(BarFont());
    const int width = QFontMetrics(BarFont()).horizontalAdvance(tr("999:99:99")) + 6;
    setRect(0, 0, width + m_label->pixmap().width() + 6, BarHeight);
    m_label->setPos(4, (BarHeight - m_label->pixmap().height()) / 2);
    m_textItem->SetDocumentMargin(0);
    m_textItem->setTextWidth(rect().width() - 3 - 6);
    QTextOption option = m_textItem->document()->defaultTextOption();
    option.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_textItem->document()->setDefaultTextOption(option);
    m_textItem->setPos(0, (BarHeight - m_textItem->boundingRect().height()) / 2);
    Update();
}

CTimerBar::~CTimerBar()
{
    m_tick.stop();
}

void CTimerBar::SetTimer(CTimer* pTimer)
{
    m_timer = pTimer;
    m_isLost = true; // nothing to report before the bar starts the count
    LaunchWorker();
    Update();
}

void CTimerBar::LaunchWorker()
{
    // The worker's tick must be callable; the bar reads the time itself.
    if (m_timer != nullptr && m_timer->HasLimit() && !m_timer->IsRunning())
        m_timer->LaunchWithCallback([] {});
}

void CTimerBar::Show()
{
    Update();
}

void CTimerBar::Update()
{
    m_text = GetTimeSpanText(m_timer, false);
    m_textItem->setPlainText(m_text);
    if (m_timer != nullptr && m_timer->IsStarted()) {
        if (!m_tick.isActive()) m_tick.start();
        PlayCue();
        if (m_timer->HasLimit() && m_timer->GetTimeLimit() <= 0) {
            m_timer->Stop();
            m_tick.stop();
            ReportLost();
        }
    } else {
        // An idle clock keeps its worker: Start counts on it.
        m_tick.stop();
        if (m_timer != nullptr && m_timer->HasLimit() && m_timer->GetTimeLimit() <= 0) ReportLost();
    }
    update();
}

void CTimerBar::PlayCue()
{
    const TimerCue cue = m_timer->GetCue();
    if (cue.Code == 0) return;
    m_timer->ClearCue();
    const auto code = static_cast<Sound::SeCode>(cue.Code);
    PlaySoundEffect(code);
    for (std::uint32_t k = 1; k < cue.Level; ++k)
        QTimer::singleShot(ScreenTiming::Scaled(static_cast<int>(k) * CueInterval), this,
                           [code] { PlaySoundEffect(code); });
}

void CTimerBar::ReportLost()
{
    if (m_isLost) return;
    m_isLost = true;
    emit TimeLost();
}

void CTimerBar::Clear()
{
    m_tick.stop();
    // The timer is the side's, which may be gone by now; its limit and
    // worker are the battle's, not the bar's.
    m_timer = nullptr;
    m_isLost = true;
    Update();
}

void CTimerBar::Start()
{
    if (m_timer == nullptr) return;
    m_isLost = false;
    LaunchWorker();
    m_timer->Start();
    m_tick.start();
}

void CTimerBar::Restart()
{
    if (m_timer == nullptr) return;
    m_isLost = false;
    LaunchWorker();
    m_timer->Restart();
    m_tick.start();
}

void CTimerBar::Stop()
{
    if (m_timer != nullptr && m_timer->IsRunning()) m_timer->Halt();
    m_tick.stop();
}

void CTimerBar::AdjustPosition()
{
    if (parentItem() == nullptr) return;
    const qreal right = std::floor(parentItem()->boundingRect().right());
    setPos(right - std::floor(rect().width()) + 1, pos().y());
}

// --- turn information bar ------------------------------------------------------

CTurnInfoBar::CTurnInfoBar(CTurnManager* pTurnManager, QGraphicsItem* parent)
    : QGraphicsRectItem(parent), m_turnManager(pTurnManager),
      m_caption(new QGraphicsPixmapItem(QPixmap(QStringLiteral(":/Resources/BitmapInfo.png")), this)),
      m_textItem(new CTextItem(QString(), this))
{
    SetUpBar(this);
    setRect(0, 0, Width, Height);
    setZValue(200);
    m_caption->setPos(4, (Height - m_caption->pixmap().height()) / 2);
    m_textItem->setFont(BarFont());
    m_textItem->SetDocumentMargin(0);
    const qreal left = m_caption->pos().x() + m_caption->pixmap().width() + 6;
    m_textItem->setPos(left, (Height - m_textItem->boundingRect().height()) / 2);
    m_textItem->setTextWidth(Width - 1 - left);
}

QString CTurnInfoBar::GetText() const
{
    return m_textItem->toPlainText();
}

void CTurnInfoBar::SetWidth(qreal width)
{
    setRect(0, 0, width, Height);
    m_textItem->setTextWidth(width - 1 - m_textItem->pos().x());
}

void CTurnInfoBar::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    painter->setRenderHint(QPainter::Antialiasing);
    QGraphicsRectItem::paint(painter, option, widget);
}

void CTurnInfoBar::Show()
{
    const CUnit* current = m_turnManager != nullptr ? m_turnManager->GetCurrentUnit() : nullptr;
    if (current == nullptr) {
        Clear();
        return;
    }
    const PlayOrder& order = m_turnManager->GetPlayOrder();
    const QString round = QString::number(order.Round);
    const QString turn = QString::number(order.Position);
    const QString roundWord = tr("Round");
    QString text;
    if (roundWord == QLatin1String("Round"))
        text = roundWord + round + QStringLiteral(" ") + tr("Turn") + turn;
    else
        text = round + roundWord + turn + tr("Turn");
    Show(text + QStringLiteral(": ") + GetPlayerName(*current));
}

void CTurnInfoBar::Show(QString message)
{
    Clear();
    m_textItem->setPlainText(message);
    show();
}

void CTurnInfoBar::Show(QPixmap messageImg)
{
    Clear();
    m_messageImage = new QGraphicsPixmapItem(messageImg, this);
    m_messageImage->setPos(m_caption->pos().x() + m_caption->pixmap().width() + 6,
                           m_caption->pixmap().height() / 2 + 2);
    show();
}

void CTurnInfoBar::Clear()
{
    m_textItem->setPlainText(QString());
    DeleteMessageImage();
}

void CTurnInfoBar::DeleteMessageImage()
{
    delete m_messageImage;
    m_messageImage = nullptr;
}

} // namespace Marevane
