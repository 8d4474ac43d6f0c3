// The help pane beside the battle map: the panel and ship under the
// pointer with their pictures and help texts, the help of the command being
// chosen, or any text it is given.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "model/Types.h"

#include <QFont>
#include <QPixmap>
#include <QRect>
#include <QString>

#include <vector>

class QGraphicsPixmapItem;

namespace Marevane {

class CPanelIcon;
class CShipIcon;
class CTextItem;

class CHelpScene : public CGameScene {
    Q_OBJECT
  public:
    static constexpr qreal LeftMargin = 4.0;

    explicit CHelpScene(QObject* parent = nullptr);

    const std::vector<CTextItem*>& GetTexts() const { return m_texts; }
    const std::vector<QGraphicsPixmapItem*>& GetPictures() const { return m_pictures; }
    const QRect& GetArea() const { return m_area; }

  public slots:
    void Set(const Marevane::CPanelIcon* pPanelIcon, const Marevane::CShipIcon* pShipIcon);
    void Set(const Marevane::CPanelIcon* pPanelIcon);
    void Set();
    void Set(const Marevane::CShipIcon* pShipIcon);
    void Set(Marevane::CommandCode command, QString subMessage);
    void Set(QString message);
    void Clear();
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;
    // What the icon forms show: a panel of a type (PanelBoundary or
    // below 0 for none) and a ship picture with the help of its type.
    void SetEntries(int panelType, const QPixmap& shipPicture, ShipType shipType);

  private:
    void AddEntry(const QPixmap& picture, const QString& text);
    int TextWidth(std::size_t index) const;

    QRect m_area;
    std::vector<CTextItem*> m_texts;
    std::vector<QGraphicsPixmapItem*> m_pictures;
    QFont m_font;
};

// The view of the help pane: at least 304 x 220, at most 454 wide, on the
// deep panel colour with the help label.
class CHelpView : public CGameView {
    Q_OBJECT
  public:
    explicit CHelpView(QGraphicsScene* pScene, QWidget* parent = nullptr);

  public slots:
    void Show() override;
    void Hide() override;

  protected:
    void resizeEvent(QResizeEvent* event) override;
};

} // namespace Marevane
