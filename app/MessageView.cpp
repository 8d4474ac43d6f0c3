#include "app/MessageView.h"

#include "gui/Style.h"

#include <QResizeEvent>
#include <QScrollBar>

namespace Marevane {

CMessageView::CMessageView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    SizeToScene();
    // The message scene keeps its page control at the bottom of what is seen.
    if (pScene != nullptr && pScene->metaObject()->indexOfSlot("AdjustControlHeight(int)") >= 0) {
        connect(verticalScrollBar(), SIGNAL(valueChanged(int)), pScene, SLOT(AdjustControlHeight(int)));
    }
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setBackgroundBrush(QBrush(PanelColor));
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setStyleSheet(StyleSheet());
    SetBackground(QStringLiteral(":/Resources/MessageLabel.png"));
}

QString CMessageView::StyleSheet()
{
    return FrameStyleSheet() + ScrollBarStyleSheet() +
           QStringLiteral("QFrame {\tborder-style: solid none none none;}");
}

void CMessageView::Show()
{
    show();
}

void CMessageView::Hide()
{
    hide();
}

void CMessageView::ChangeScrollPosition(int height)
{
    verticalScrollBar()->setValue(height);
}

void CMessageView::resizeEvent(QResizeEvent* event)
{
    AdjustSceneTo(event->size());
    CGameView::resizeEvent(event);
}

} // namespace Marevane
