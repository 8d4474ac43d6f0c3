// The view of the message pane and of the screens shown like it: a
// scrolling column on the panel colour, its frame drawn only on top, with
// the message label fixed at the top of the visible area.
#pragma once

#include "app/GameView.h"

namespace Marevane {

class CMessageView : public CGameView {
    Q_OBJECT
  public:
    explicit CMessageView(QGraphicsScene* pScene = nullptr, QWidget* parent = nullptr);

    // The frame of the pane and its scroll bars.
    static QString StyleSheet();

  public slots:
    void Show() override;
    void Hide() override;
    void ChangeScrollPosition(int height);

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace Marevane
