// Stand-ins for the screens that come later: a scene per pool slot that
// names the screen that will stand there, at the screen's size and in the
// kind of view it will have; a title screen that shows the title picture,
// plays the theme and lets the user quit; and a system configuration
// sequence the main window can open. The screens replace them by giving
// the pool and game control makers of their own.
#pragma once

#include "app/GameSequence.h"
#include "app/GameView.h"
#include "app/ScenePool.h"

#include <QColor>
#include <QPointer>

class QGraphicsSimpleTextItem;

namespace Marevane {

class CSoundControl;

// The maker of the stand-in scene and view of a slot.
SceneMaker StandInSceneMaker(SceneSlot slot);

namespace StandIn {

// Message codes of the stand-ins: leave the screen, quit the program.
inline constexpr MessageCode BackCode = 33;
inline constexpr MessageCode ExitCode = 29;
inline constexpr MessageCode ReloadSettingsCode = 55;

// A scene that says which screen will stand here. Escape or Backspace
// reports the code given (back, or quit on the title).
class CPlaceholderScene : public CGameScene {
    Q_OBJECT
  public:
    CPlaceholderScene(const QString& name, const QRectF& rect, MessageCode escapeCode = BackCode,
                      QObject* parent = nullptr);

    QString GetName() const { return m_name; }

  public slots:
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  protected:
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString m_name;
    MessageCode m_escapeCode;
    QGraphicsSimpleTextItem* m_caption;
    QGraphicsSimpleTextItem* m_hint;
};

// The title picture with the logo.
class CTitleScene : public CPlaceholderScene {
    Q_OBJECT
  public:
    explicit CTitleScene(QObject* parent = nullptr);
};

// The view of a side or help pane: its colour, frame and label.
class CPanelView : public CGameView {
    Q_OBJECT
  public:
    CPanelView(QGraphicsScene* pScene, const QColor& colour, const QString& label);

  public slots:
    void Show() override;
    void Hide() override;
};

// What the stand-in sequences share: showing their scenes' views with the
// focus on the first, and leaving on Escape.
class CStandInSequence : public CGameSequence {
    Q_OBJECT
  public:
    CStandInSequence(int type, unsigned flags);

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;
    void Hide() override;

  public:
    using CGameSequence::Update;
};

// The first screen: the title picture and theme; Escape asks to quit.
class CTitleSequence : public CStandInSequence {
    Q_OBJECT
  public:
    explicit CTitleSequence(CSoundControl* pSound = nullptr);

  public slots:
    void Start() override;
    void Update(Marevane::MessageCode code) override;

  public:
    using CGameSequence::Update;

  private:
    CSoundControl* m_sound;
};

// The one system configuration sequence while it lives.
class CSystemConfigSequence : public CStandInSequence {
    Q_OBJECT
  public:
    static CSystemConfigSequence* GetInstance();

    // How often the settings were reported changed.
    int GetReloadCount() const { return m_reloads; }

  public slots:
    void Update(Marevane::MessageCode code) override;

  public:
    using CGameSequence::Update;

  private:
    CSystemConfigSequence();

    int m_reloads = 0;
};

} // namespace StandIn
} // namespace Marevane
