// The arcade run: before each stage its number and map size, for six
// seconds or until the player goes on; after the last stage, the credits.
#pragma once

#include "app/GameScene.h"
#include "model/Records.h"
#include "model/Types.h"
#include "screens/setup/SetupSequence.h"

#include <QTimer>

namespace Marevane {

class CSimpleTextItem;

class CArcadeStageScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CArcadeStageScene(QObject* parent = nullptr);

    void ShowStage(int stage, const MapPos& size);
    QString GetTitleText() const;
    QString GetCaptionText() const;
    bool IsShowing() const { return m_timer.isActive(); }

  signals:
    void Finished();

  public slots:
    void StartShowing();
    // Stops the captions at once.
    void StopShowing();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    // Ends the captions early when they still show.
    bool Skip();

    QTimer m_timer;
    CSimpleTextItem* m_title = nullptr;
    CSimpleTextItem* m_caption = nullptr;
};

class CArcadeStageSequence : public CSetupSequence {
    Q_OBJECT
  public:
    // Asks the next entry to go on to the next stage (a stage was won).
    static constexpr MessageCode NextStageCode = 30;
    static constexpr MessageCode RunCompleteCode = 47;

    CArcadeStageSequence();

    unsigned GetStage() const { return m_stage; }

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CArcadeStageScene* m_scene = nullptr;
    unsigned m_stage = 0;
    bool m_isAdvancing = true; // the first entry shows stage 1
};

} // namespace Marevane
