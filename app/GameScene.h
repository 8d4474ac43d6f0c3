// The base of every scene: it knows the view that shows it, reports what
// happens on it to its sequence with a message code, and places its items
// again when its view changes size.
#pragma once

#include "model/Types.h"

#include <QGraphicsScene>
#include <QPointer>
#include <QSize>

namespace Marevane {

class CGameView;

class CGameScene : public QGraphicsScene {
    Q_OBJECT
  public:
    explicit CGameScene(QObject* parent = nullptr);
    explicit CGameScene(const QRectF& rect, QObject* parent = nullptr);
    ~CGameScene() override;

    // The view the scene pool lays out for this scene: the view built on
    // it, none until one is. A scene shown by a view of its own choosing
    // reports that one.
    virtual CGameView* GetView() const;
    // Called by the view built on the scene.
    void SetView(CGameView* pView);

  signals:
    // A request or an event for the sequence that shows the scene.
    void Notified(Marevane::MessageCode code);

  public slots:
    // Places the items for a view of this size; nothing by default.
    virtual void AdjustViewPosition(const QSize& size);
    // The same for the view's present size.
    void AdjustViewPosition();

  private:
    QPointer<CGameView> m_view;
};

} // namespace Marevane
