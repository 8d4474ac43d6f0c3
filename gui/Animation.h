// Every timed visual effect is an animation that reports a message code
// when it finishes. With the Animation setting off nothing moves and the
// code comes at once, so the screen flow never waits on a hidden motion.
#pragma once

#include "model/Types.h"

#include <QPointer>
#include <QPropertyAnimation>

class QGraphicsItem;

namespace Marevane {

class CAnimation : public QPropertyAnimation {
    Q_OBJECT
  public:
    explicit CAnimation(QObject* target = nullptr, MessageCode code = 0, QObject* parent = nullptr);
    ~CAnimation() override;

    // The Animation setting of the system configuration.
    static bool IsAnimationEnabled();

    MessageCode GetCode() const { return m_code; }
    void SetCode(MessageCode code) { m_code = code; }
    QObject* GetTarget() const { return m_target; }

    virtual bool IsValid() const = 0;
    virtual bool IsRunning() const;

  signals:
    // Once for every run that ends, whether it ran or was skipped.
    void Finished(Marevane::MessageCode code);

  public slots:
    // StartImpl with the stored code, keeping or deleting the animation when it stops.
    void Start();
    void StartOnce();
    void Stop();
    void SendCode();
    virtual void Init() = 0;
    // Runs the animation unless it is running already; with the setting
    // off, or when it has nothing to show, it finishes at once instead
    // (and a once-only animation is deleted later).
    virtual void StartImpl(Marevane::MessageCode code, QAbstractAnimation::DeletionPolicy policy);
    // Stops a running animation; it reports its code once.
    virtual void StopImpl(Marevane::MessageCode code);

  protected:
    void SetTarget(QObject* target) { m_target = target; }
    // Reports a run that does not move: finished() and Finished(code) once.
    void FinishAtOnce(QAbstractAnimation::DeletionPolicy policy);
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;

  private:
    QPointer<QObject> m_target; // may die first
    MessageCode m_code = 0;
    int m_reports = 0; // codes sent so far, to report a stop exactly once
};

// The base of the battle effects: each names the item it plays on and
// prepares itself on entering and leaving the running state.
class CEffectAnimation : public CAnimation {
    Q_OBJECT
  public:
    explicit CEffectAnimation(MessageCode code = 0, QObject* parent = nullptr);

    virtual QGraphicsItem* GetEffectItem() const = 0;

  public slots:
    virtual void PrepareBeforeRunning();
    virtual void PrepareBeforeStopping();

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;
};

} // namespace Marevane
