// The title screen: the logo over the background picture and a tree of
// picture buttons from which the player picks a game mode.
#pragma once

#include "app/GameScene.h"
#include "app/GameView.h"
#include "screens/setup/SetupSequence.h"

#include <QGraphicsRectItem>
#include <QList>
#include <QObject>
#include <QPixmap>

class QGraphicsPixmapItem;

namespace Marevane {

class CGameEdit;
class CTitleMenuList;

// One picture button: it opens a list, chooses a mode, or (neither) goes back.
class CTitleMenu : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    CTitleMenu(const QString& picture, std::uint32_t mode, QGraphicsItem* parent = nullptr);
    CTitleMenu(const QString& picture, CTitleMenuList* pMenuList, QGraphicsItem* parent = nullptr);

    std::uint32_t GetMode() const { return m_mode; }
    CTitleMenuList* GetMenuList() const { return m_menuList; }

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget) override;

  signals:
    void Clicked(std::uint32_t mode);
    void SubMenuClicked(Marevane::CTitleMenuList* pMenuList);

  public slots:
    void SetMode(std::uint32_t mode);
    void SetMenuList(Marevane::CTitleMenuList* pMenuList);
    // What a click or Return does.
    void Activate();

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent* event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private:
    void SetUp(const QString& picture);

    CTitleMenuList* m_menuList = nullptr;
    std::uint32_t m_mode = 0;
    QGraphicsPixmapItem* m_picture = nullptr;
};

// One column of buttons.
class CTitleMenuList : public QObject, public QGraphicsRectItem {
    Q_OBJECT
  public:
    explicit CTitleMenuList(QGraphicsItem* parent = nullptr);

    void SetMenu(const QList<CTitleMenu*>& items);
    void AddBackButton();
    void Arrange();

    const QList<CTitleMenu*>& GetItems() const { return m_items; }
    CTitleMenuList* GetParentList() const { return m_parentList; }
    void SetParentList(CTitleMenuList* pList) { m_parentList = pList; }
    int GetCurrentIndex() const { return m_currentIndex; }

    void FocusFirst();
    void FocusNext();
    void FocusPrev();

  signals:
    void Clicked(std::uint32_t mode);
    void SubMenuClicked(Marevane::CTitleMenuList* pMenuList);

  private:
    void FocusAt(int index);

    QList<CTitleMenu*> m_items;
    CTitleMenuList* m_parentList = nullptr;
    int m_currentIndex = 0;
};

class CTitleScene : public CGameScene {
    Q_OBJECT
  public:
    explicit CTitleScene(CGameEdit* pGameEdit, QObject* parent = nullptr);

    CTitleMenuList* GetCurrentList() const { return m_current; }
    CTitleMenuList* GetTopList() const { return m_topList; }
    CTitleMenuList* GetModeList() const { return m_modeList; }
    CTitleMenuList* GetVersusList() const { return m_versusList; }
    CTitleMenuList* GetDeathMatchList() const { return m_deathMatchList; }
    CTitleMenuList* GetDeathMatchModeList() const { return m_deathMatchModeList; }

  signals:
    void MenuSelected(Marevane::MessageCode code);

  public slots:
    void SetGameEdit(Marevane::CGameEdit* pGameEdit) { m_gameEdit = pGameEdit; }
    void ChangeMenu(Marevane::CTitleMenuList* pMenuList);
    void AdjustPosition();
    void AdjustViewPosition(const QSize& size) override;

  public:
    using CGameScene::AdjustViewPosition;

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

  private slots:
    void SetGameMode(std::uint32_t mode);

  private:
    void BuildMenu();
    void Place(const QSize& size);
    // The list's button at its current index (0 when outside) takes the focus.
    static void FocusAtIndex(CTitleMenuList* pList);

    CGameEdit* m_gameEdit;
    QGraphicsPixmapItem* m_logo = nullptr;
    CTitleMenuList* m_topList = nullptr;
    CTitleMenuList* m_modeList = nullptr;
    CTitleMenuList* m_versusList = nullptr;
    CTitleMenuList* m_deathMatchList = nullptr;
    CTitleMenuList* m_deathMatchModeList = nullptr;
    CTitleMenuList* m_current = nullptr;
};

// Paints the background picture to fill the view.
class CTitleView : public CMainView {
    Q_OBJECT
  public:
    explicit CTitleView(CTitleScene* pScene, QWidget* parent = nullptr);

    // Where the picture of that size is drawn for an exposed area of that
    // size, and at which size.
    static QRect BackgroundRect(const QSize& exposed, const QSize& picture);

  signals:
    void NotifyOfResize();

  protected:
    void drawBackground(QPainter* painter, const QRectF& rect) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    QPixmap m_background;
};

class CTitleSequence : public CSetupSequence {
    Q_OBJECT
  public:
    CTitleSequence();

  public slots:
    void Init() override;
    void Start() override;
    void Update(Marevane::MessageCode code) override;
    void Show() override;

  public:
    using CGameSequence::Update;

  private:
    CTitleScene* m_scene = nullptr;
};

} // namespace Marevane
