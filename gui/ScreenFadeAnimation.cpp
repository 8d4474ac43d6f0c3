#include "gui/ScreenFadeAnimation.h"

#include "gui/ScreenTiming.h"

#include <QGraphicsOpacityEffect>
#include <QPalette>
#include <QTimer>
#include <QWidget>
#include <QtGlobal>

#include <exception>

namespace Marevane {

namespace {

// A step must not take the fade down with it.
int RunQuietly(const CScreenFadeAnimation::Task& task, int fallback)
{
    try {
        return task();
    } catch (const std::exception& error) {
        qWarning("A screen change failed: %s", error.what());
    } catch (...) {
        qWarning("A screen change failed");
    }
    return fallback;
}

} // namespace

CScreenFadeAnimation::CScreenFadeAnimation(QStackedLayout* layout, QObject* parent)
    : CAnimation(nullptr, 0, parent), m_layout(layout), m_overlay(new QWidget)
{
    m_overlay->setAutoFillBackground(true);
    QPalette palette = m_overlay->palette();
    palette.setColor(QPalette::Window, Qt::black);
    m_overlay->setPalette(palette);
    m_effect = new QGraphicsOpacityEffect(m_overlay);
    m_effect->setOpacity(0.0);
    m_overlay->setGraphicsEffect(m_effect);
    SetTarget(m_effect);
    SizeOverlay();
    if (IsValid()) Init();
}

CScreenFadeAnimation::~CScreenFadeAnimation()
{
    m_isClosing = true;
    m_midTasks.clear();
    m_endTasks.clear();
    TakeOverlay();
    delete m_overlay.data();
}

bool CScreenFadeAnimation::IsValid() const
{
    return m_layout != nullptr && m_overlay != nullptr && !m_midTasks.empty();
}

bool CScreenFadeAnimation::IsRunning() const
{
    return m_isRunning;
}

double CScreenFadeAnimation::GetOverlayOpacity() const
{
    return m_overlay != nullptr ? m_effect->opacity() : 0.0;
}

CScreenFadeAnimation* CScreenFadeAnimation::AddTask(Task task)
{
    if (m_isRunning && !IsRunningSteps()) {
        m_endTasks.push_back([this, task] {
            AddTask(task);
            StartImpl(GetCode(), QAbstractAnimation::KeepWhenStopped);
            return m_targetIndex;
        });
    } else {
        m_midTasks.push_back(std::move(task));
    }
    return this;
}

void CScreenFadeAnimation::Request(Task task, MessageCode code, Guard guard)
{
    if (m_isClosing || (guard && !guard())) return;
    if (m_isRunning && !IsRunningSteps()) {
        m_endTasks.push_back([this, task, code, guard] {
            Request(task, code, guard);
            return m_targetIndex;
        });
        return;
    }
    m_midTasks.push_back(std::move(task));
    if (!m_isRunning) {
        SetCode(code);
        StartImpl(code, QAbstractAnimation::KeepWhenStopped);
    }
}

void CScreenFadeAnimation::Init()
{
    if (m_overlay == nullptr) return;
    setTargetObject(m_effect);
    setPropertyName("opacity");
    setDuration(ScreenTiming::Scaled(ScreenTiming::FadeOut));
    setEasingCurve(QEasingCurve::Linear);
    if (m_isFadingOut) {
        setStartValue(m_effect->opacity());
        setEndValue(1.0);
    }
}

void CScreenFadeAnimation::StartImpl(MessageCode, QAbstractAnimation::DeletionPolicy policy)
{
    if (m_isRunning || m_isClosing) return;
    if (!IsValid()) {
        FinishAtOnce(policy);
        return;
    }
    Init();
    start(policy);
}

void CScreenFadeAnimation::SizeOverlay()
{
    if (m_layout == nullptr || m_overlay == nullptr || m_layout->count() == 0) return;
    QWidget* current = m_layout->currentWidget();
    if (current == nullptr || current == m_overlay) return;
    const QSize size = current->size();
    m_overlay->setMinimumSize(qRound(size.width() / 2.0), qRound(size.height() / 2.0));
}

void CScreenFadeAnimation::PutOverlay()
{
    SizeOverlay();
    m_layout->addWidget(m_overlay);
    m_layout->setCurrentWidget(m_overlay);
}

void CScreenFadeAnimation::TakeOverlay()
{
    if (m_overlay == nullptr) return;
    if (m_layout != nullptr && m_layout->indexOf(m_overlay) >= 0) m_layout->removeWidget(m_overlay);
    m_overlay->hide();
    // Back to no parent, so the layout's widget does not take it along.
    m_overlay->setParent(nullptr);
}

void CScreenFadeAnimation::RunMidTasks()
{
    m_isRunningMidTasks = true;
    // A step may queue further steps; they run in this pass.
    while (!m_midTasks.empty()) {
        Task task = std::move(m_midTasks.front());
        m_midTasks.pop_front();
        m_targetIndex = RunQuietly(task, m_targetIndex);
    }
    m_isRunningMidTasks = false;
}

void CScreenFadeAnimation::updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState)
{
    CAnimation::updateState(newState, oldState);
    if (m_isClosing || m_layout == nullptr || m_overlay == nullptr) return;
    if (newState == QAbstractAnimation::Running && oldState == QAbstractAnimation::Stopped) {
        if (!m_isFadingOut) return;
        m_isRunning = true;
        m_isStarting = true;
        PutOverlay();
        m_isStarting = false;
    } else if (newState == QAbstractAnimation::Stopped && oldState == QAbstractAnimation::Running) {
        if (m_isFadingOut) {
            RunMidTasks();
            m_isFadingOut = false;
            QTimer::singleShot(ScreenTiming::Scaled(ScreenTiming::BlackPause), this,
                               &CScreenFadeAnimation::FadeIn);
        } else {
            m_isFadingOut = true;
            // The target becomes current before the overlay leaves, so the
            // layout does not show the top widget on the way.
            QWidget* target = m_layout->widget(m_targetIndex);
            if (target != nullptr && target != m_overlay) m_layout->setCurrentWidget(target);
            TakeOverlay();
            // The waiting requests go on after this stop has been reported.
            QTimer::singleShot(0, this, &CScreenFadeAnimation::RunEndTasks);
        }
    }
}

void CScreenFadeAnimation::FadeIn()
{
    if (m_isClosing || !m_isRunning || m_isFadingOut) return;
    setDuration(ScreenTiming::Scaled(ScreenTiming::FadeIn));
    setStartValue(1.0);
    setEndValue(0.0);
    start(QAbstractAnimation::KeepWhenStopped);
}

void CScreenFadeAnimation::RunEndTasks()
{
    if (m_isClosing) return;
    m_isRunning = false;
    // Taken as they stand: a request that finds a new fade started waits
    // again, for the end of that one.
    std::deque<Task> tasks;
    tasks.swap(m_endTasks);
    for (const Task& task : tasks) RunQuietly(task, m_targetIndex);
}

} // namespace Marevane
