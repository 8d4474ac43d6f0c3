// The closing screens: the game over logo, and the credits that close an
// arcade run (eight pages, then the end picture); both then tear the game
// down and return to the title.
#pragma once

#include "app/GameScene.h"
#include "screens/setup/SetupSequence.h"

#include <QList>
#include <QTimer>

namespace Marevane {

class CLogoItem;

class CGameOverScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CGameOverScene(QObject* parent = nullptr);

    CLogoItem* GetLogo() const { return m_logo; }
    bool IsWaiting() const { return m_timer.isActive(); }
    QTimer* GetTimer() { return &m_timer; }

    // Lays the scene out and brings it back to its first step; run once
    // per sequence.
    virtual void SetUp();
    virtual void ShowNext();

  signals:
    // Once per showing.
    void Finished();

  public slots:
    void AdjustViewPosition(const QSize& size) override;
    void StartShowing();

  public:
    using CGameScene::AdjustViewPosition;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;
    // The view's size, at least 720 by 600.
    QSize ViewSize() const;
    // Fades the item in or out; the animation is deleted when it stops.
    class CFadingAnimation* Fade(CLogoItem* item, bool isFadeIn);
    void SetLogo(CLogoItem* logo) { m_logo = logo; }
    void Finish();
    void ResetFinished() { m_isFinished = false; }

  protected slots:
    virtual void OnTimeout();

  private:
    bool Skip();

    CLogoItem* m_logo = nullptr;
    QTimer m_timer;
    bool m_isFinished = false;
};

class CCreditsScene : public CGameOverScene {
    Q_OBJECT
  public:
    explicit CCreditsScene(QObject* parent = nullptr);

    void SetUp() override;
    void ShowNext() override;

    void SetSecretMessageShown(bool isShown) { m_isSecretMessageShown = isShown; }
    const QList<QList<CLogoItem*>>& GetPages() const { return m_pages; }
    unsigned GetCurrentPage() const { return m_currentPage; }
    bool IsAtEnd() const { return m_isAtEnd; }
    CLogoItem* GetSecretMessage() const { return m_secret; }

  public slots:
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  protected slots:
    void OnTimeout() override;

  private:
    QList<QList<CLogoItem*>> m_pages;
    unsigned m_currentPage = 0;
    bool m_isPageShown = false;
    bool m_isSecretMessageShown = false;
    bool m_isAtEnd = false;
    CLogoItem* m_secret = nullptr;
};

class CGameOverSequence : public CSetupSequence {
    Q_OBJECT
  public:
    // SequenceType::GameOver or SequenceType::Credits.
    explicit CGameOverSequence(int type);

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CGameOverScene* m_scene = nullptr;
};

} // namespace Marevane
