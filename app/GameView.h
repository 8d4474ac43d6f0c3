// The base of every view, and the view of a screen's main area.
//
// A view binds itself to its scene, draws through OpenGL when the setting
// asks for it and the system can (a probe context must come up first:
// without a display, asking for the OpenGL version crashes), and can keep a
// label picture fixed in its visible area while the content scrolls.
#pragma once

#include <QGraphicsView>
#include <QPixmap>
#include <QString>

#include <memory>

namespace Marevane {

class CGameScene;

// Whether this process can give views an OpenGL viewport: a windowing
// platform, a context that comes up, and OpenGL 1.3 at least. The first
// view's viewport decides (or, asked before any view, a probe context);
// the answer "no" is told in the log once.
bool IsOpenGLAvailable();

// Makes the OpenGL viewport of the next view now, when the setting asks for
// one and OpenGL is usable: its context (with Mesa's software renderer, the
// largest single cost of the first OpenGL frame) then comes up while the
// program waits anyway, as during the first screen fade, and the next view
// takes it over. Answers whether such a viewport is ready.
bool PrepareOpenGLViewport();

class CGameView : public QGraphicsView {
    Q_OBJECT
  public:
    explicit CGameView(QGraphicsScene* pScene = nullptr, QWidget* parent = nullptr);
    ~CGameView() override;

    // A copy of the picture becomes the label; a null picture removes it.
    void SetLabel(const QPixmap& label);
    // The label from a resource path.
    void SetBackground(const QString& path);
    const QPixmap* GetLabel() const { return m_label.get(); }
    // Whether the view draws through OpenGL.
    bool IsOpenGLViewport() const;

  public slots:
    virtual void Show() = 0;
    virtual void Hide() = 0;
    // Redraws the whole scene and the view.
    virtual void Update();

  protected:
    void drawForeground(QPainter* painter, const QRectF& rect) override;
    // Minimum and base size from the scene rectangle, when there is a scene.
    void SizeToScene();
    // Tells a game scene the new size of a view that is not empty, keeping
    // the vertical scroll position.
    void AdjustSceneTo(const QSize& size);

  private:
    std::unique_ptr<QPixmap> m_label;
    int m_labelX = 0;
    int m_labelY = 0;
};

// The view of a screen's main area (title, battle map, game over, credits):
// sized to its scene, no scroll bars or frame, a near-black background.
class CMainView : public CGameView {
    Q_OBJECT
  public:
    explicit CMainView(QGraphicsScene* pScene = nullptr, QWidget* parent = nullptr);

  public slots:
    // Takes the keyboard focus and shows the view.
    void Show() override;
    void Hide() override;
    void ChangeScrollPosition(int height);

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace Marevane
