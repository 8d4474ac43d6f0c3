// Plays a sprite sheet (frames side by side from the left) one frame per
// interval on a pixmap item, once or in a loop until stopped.
#pragma once

#include "gui/Animation.h"

#include <QPixmap>
#include <QPoint>
#include <QVector>

class QGraphicsPixmapItem;

namespace Marevane {

class CScheduledExecution;

class CSpriteAnimation : public CAnimation {
    Q_OBJECT
  public:
    // interval: ms of real play per frame, scaled by the screen timing factor.
    CSpriteAnimation(const QPixmap& sheet, int frameWidth, int interval, MessageCode code = 0,
                     QObject* parent = nullptr);
    ~CSpriteAnimation() override;

    // Replaces the sheet and cuts its frames again.
    void SetPixmap(const QPixmap& sheet);
    // Makes the frame item a child of the target, centred on its picture;
    // the target then owns it. Detach() takes it back.
    void AttachTo(QGraphicsPixmapItem* target);
    void Detach();
    // A new animation with the same sheet, frames, interval, loop and offset.
    CSpriteAnimation* Clone() const;

    bool IsLoop() const { return m_isLoop; }
    void SetLoop(bool isLoop) { m_isLoop = isLoop; }
    QPoint GetOffset() const { return m_offset; }
    void SetOffset(const QPoint& offset) { m_offset = offset; }
    QGraphicsPixmapItem* GetItem() const { return m_item; }
    int GetFrameWidth() const { return m_frameWidth; }
    int GetInterval() const { return m_interval; }
    int GetFrameCount() const { return m_frames.size(); }
    // The frame the next step shows.
    int GetFrameIndex() const { return m_frameIndex; }

    // Without an end of its own: it runs until the last frame or a stop.
    int duration() const override { return -1; }
    // A sheet with at least one whole frame and a positive interval.
    bool IsValid() const override;

  public slots:
    void Init() override;
    void StartImpl(Marevane::MessageCode code, QAbstractAnimation::DeletionPolicy policy) override;
    void PrepareBeforeRunning();
    void PrepareBeforeStopping();

  protected:
    void updateState(QAbstractAnimation::State newState, QAbstractAnimation::State oldState) override;
    void updateCurrentTime(int) override {}

  private slots:
    void ChangeNextFrame();

  private:
    void CutFrames();
    void CreateItem();
    int FrameHeight() const { return m_sheet.height(); }

    int m_interval;
    int m_frameWidth;
    int m_frameIndex = 0;
    bool m_isLoop = false;
    bool m_ownsItem = true;
    QPixmap m_sheet;
    QPoint m_offset;
    QGraphicsPixmapItem* m_item = nullptr;
    CScheduledExecution* m_scheduler;
    QVector<QPixmap> m_frames;
};

} // namespace Marevane
