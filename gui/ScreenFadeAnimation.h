// The change of screen: a black overlay over the stacked layout fades in,
// the queued steps run while the screen is black, and after a pause the
// overlay fades out and the layout shows the index the steps answered.
// Runs whatever the Animation setting says. GUI thread only.
#pragma once

#include "gui/Animation.h"

#include <QPointer>
#include <QStackedLayout>
#include <QWidget>

#include <deque>
#include <functional>

class QGraphicsOpacityEffect;

namespace Marevane {

class CScreenFadeAnimation : public CAnimation {
    Q_OBJECT
  public:
    // A step run on the black screen; answers the layout index to show.
    using Task = std::function<int()>;
    // Asked when a waiting request's turn comes; false drops the request.
    using Guard = std::function<bool()>;

    explicit CScreenFadeAnimation(QStackedLayout* layout, QObject* parent = nullptr);
    ~CScreenFadeAnimation() override;

    // Queues a step for the black screen; the caller starts the fade. During
    // a fade, outside its own steps, the step waits and gets a fade of its
    // own afterwards, started with the code stored then.
    CScreenFadeAnimation* AddTask(Task task);
    // Queues a step and starts a fade that reports `code`. A request made
    // during a fade, outside its steps, waits for a fade of its own after
    // the current one, reported with its own code; requests keep their
    // order. A request made by a step joins that step's pass.
    void Request(Task task, MessageCode code, Guard guard = Guard());

    bool IsValid() const override;
    // From the start of the fade out until the waiting requests are handed on.
    bool IsRunning() const override;
    // While the steps run (and while the overlay is put in place).
    bool IsRunningSteps() const { return m_isStarting || m_isRunningMidTasks; }
    // The index the last step answered, shown when the fade ends.
    int GetTargetIndex() const { return m_targetIndex; }
    QWidget* GetOverlay() const { return m_overlay; }
    double GetOverlayOpacity() const;

  public slots:
    void Init() override;
    void StartImpl(Marevane::MessageCode code, QAbstractAnimation::DeletionPolicy policy) override;

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private slots:
    void FadeIn();
    void RunEndTasks();

  private:
    void SizeOverlay();
    void PutOverlay();
    void TakeOverlay();
    void RunMidTasks();

    QPointer<QStackedLayout> m_layout;
    QPointer<QWidget> m_overlay;
    QGraphicsOpacityEffect* m_effect = nullptr; // owned by the overlay
    int m_targetIndex = -1;
    bool m_isFadingOut = true;
    bool m_isRunning = false;
    bool m_isStarting = false;
    bool m_isRunningMidTasks = false;
    bool m_isClosing = false;
    std::deque<Task> m_midTasks;
    std::deque<Task> m_endTasks;
};

} // namespace Marevane
