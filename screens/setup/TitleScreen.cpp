#include "screens/setup/TitleScreen.h"

#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/SoundFeedback.h"
#include "gui/Style.h"
#include "model/GameEdit.h"
#include "screens/setup/SystemConfigScreen.h"

#include <QCursor>
#include <QGraphicsPixmapItem>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace Marevane {

namespace {

constexpr QColor MenuHighlight{30, 30, 145, 105};
constexpr std::uint32_t SystemConfigMode = 0x100;
constexpr MessageCode NextCode = 26;
constexpr MessageCode SystemConfigCode = 13;

} // namespace

CTitleMenu::CTitleMenu(const QString& picture, std::uint32_t mode, QGraphicsItem* parent)
    : QGraphicsRectItem(parent), m_mode(mode)
{
    SetUp(picture);
}

CTitleMenu::CTitleMenu(const QString& picture, CTitleMenuList* pMenuList, QGraphicsItem* parent)
    : QGraphicsRectItem(parent), m_menuList(pMenuList)
{
    SetUp(picture);
}

void CTitleMenu::SetUp(const QString& picture)
{
    m_picture = new QGraphicsPixmapItem(QPixmap(picture), this);
    m_picture->setPos(0, 0);
    setRect(0, 0, m_picture->pixmap().width(), m_picture->pixmap().height());
    setPen(Qt::NoPen);
    setBrush(Qt::transparent);
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    setFlag(QGraphicsItem::ItemIsFocusable);
}

void CTitleMenu::SetMode(std::uint32_t mode)
{
    m_mode = mode;
    m_menuList = nullptr;
}

void CTitleMenu::SetMenuList(CTitleMenuList* pMenuList)
{
    m_menuList = pMenuList;
    m_mode = 0;
}

void CTitleMenu::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget* widget)
{
    painter->setOpacity(isEnabled() ? 1.0 : 0.6);
    QGraphicsRectItem::paint(painter, option, widget);
}

void CTitleMenu::focusInEvent(QFocusEvent* event)
{
    PlaySoundEffect(Sound::SeDefaultPointed, true);
    setBrush(MenuHighlight);
    QGraphicsRectItem::focusInEvent(event);
}

void CTitleMenu::focusOutEvent(QFocusEvent* event)
{
    setBrush(Qt::transparent);
    QGraphicsRectItem::focusOutEvent(event);
}

void CTitleMenu::hoverEnterEvent(QGraphicsSceneHoverEvent* event)
{
    PlaySoundEffect(Sound::SeDefaultPointed, true);
    setCursor(Qt::PointingHandCursor);
    setBrush(MenuHighlight);
    QGraphicsRectItem::hoverEnterEvent(event);
}

void CTitleMenu::hoverLeaveEvent(QGraphicsSceneHoverEvent* event)
{
    setBrush(Qt::transparent);
    QGraphicsRectItem::hoverLeaveEvent(event);
}

void CTitleMenu::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        Activate();
        return;
    }
    QGraphicsRectItem::keyPressEvent(event);
}

void CTitleMenu::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QGraphicsRectItem::mousePressEvent(event);
        return;
    }
    event->accept();
    Activate();
}

void CTitleMenu::Activate()
{
    if (m_menuList != nullptr) {
        PlaySoundEffect(Sound::SeTitleSubSelected, true);
        emit SubMenuClicked(m_menuList);
    } else if (m_mode != 0) {
        PlaySoundEffect(Sound::SeTitleSelected, true);
        emit Clicked(m_mode);
    } else {
        emit SubMenuClicked(nullptr);
    }
}

CTitleMenuList::CTitleMenuList(QGraphicsItem* parent) : QGraphicsRectItem(parent)
{
    static const int registered = qRegisterMetaType<std::uint32_t>("std::uint32_t");
    (void)registered;
    setPen(Qt::NoPen);
}

void CTitleMenuList::SetMenu(const QList<CTitleMenu*>& items)
{
    for (CTitleMenu* item : items) {
        item->setParentItem(this);
        if (item->GetMenuList() != nullptr) item->GetMenuList()->SetParentList(this);
    }
    m_items = items;
    Arrange();
}

void CTitleMenuList::AddBackButton()
{
    m_items.append(new CTitleMenu(QStringLiteral(":/Resources/BackButton.png"), 0u, this));
    Arrange();
}

void CTitleMenuList::Arrange()
{
    int width = 0;
    for (CTitleMenu* item : m_items) width = std::max(width, static_cast<int>(item->rect().width()));
    int y = 0;
    for (CTitleMenu* item : m_items) {
        connect(item, &CTitleMenu::Clicked, this, &CTitleMenuList::Clicked, Qt::UniqueConnection);
        connect(item, &CTitleMenu::SubMenuClicked, this, &CTitleMenuList::SubMenuClicked,
                Qt::UniqueConnection);
        const int itemWidth = static_cast<int>(item->rect().width());
        item->setPos(width / 2 - itemWidth / 2, y);
        y += static_cast<int>(item->rect().height()) + 10;
    }
    setRect(0, 0, width, y);
    setPen(Qt::NoPen);
}

void CTitleMenuList::FocusAt(int index)
{
    m_items.at(index)->setFocus(Qt::OtherFocusReason);
}

void CTitleMenuList::FocusFirst()
{
    if (m_items.isEmpty()) return;
    m_currentIndex = 0;
    FocusAt(0);
    if (m_items.first()->isEnabled()) return;
    for (int i = 0; i < m_items.size(); ++i) {
        if (m_items.at(i)->isEnabled()) {
            m_currentIndex = i;
            FocusAt(i);
            return;
        }
    }
    m_currentIndex = static_cast<int>(m_items.size());
}

void CTitleMenuList::FocusNext()
{
    const int count = static_cast<int>(m_items.size());
    if (count == 0) return;
    for (int step = 0; step < count; ++step) {
        m_currentIndex = m_currentIndex + 1 >= count || m_currentIndex < 0 ? 0 : m_currentIndex + 1;
        if (m_currentIndex == 0 && step > 0) break;
        FocusAt(m_currentIndex);
        if (m_items.at(m_currentIndex)->isEnabled()) return;
    }
    FocusFirst();
}

void CTitleMenuList::FocusPrev()
{
    const int count = static_cast<int>(m_items.size());
    if (count == 0) return;
    for (int step = 0; step < count; ++step) {
        m_currentIndex = m_currentIndex <= 0 || m_currentIndex > count ? count - 1 : m_currentIndex - 1;
        FocusAt(m_currentIndex);
        if (m_items.at(m_currentIndex)->isEnabled()) return;
    }
    if (QGraphicsScene* owner = scene()) owner->setFocusItem(nullptr);
}

CTitleScene::CTitleScene(CGameEdit* pGameEdit, QObject* parent)
    : CGameScene(QRectF(0, 0, 720, 600), parent), m_gameEdit(pGameEdit)
{
    setObjectName(QStringLiteral("Title"));
    BuildMenu();
    m_logo = addPixmap(QPixmap(QStringLiteral(":/Resources/TitleLogo.png")));
    for (CTitleMenuList* list :
         {m_topList, m_modeList, m_versusList, m_deathMatchList, m_deathMatchModeList}) {
        addItem(list);
        list->hide();
        connect(list, &CTitleMenuList::Clicked, this, &CTitleScene::SetGameMode);
        connect(list, &CTitleMenuList::SubMenuClicked, this, &CTitleScene::ChangeMenu);
    }
    m_current = m_topList;
    m_topList->show();
    Place(QSize(720, 600));
}

void CTitleScene::BuildMenu()
{
    const auto button = [](const char* name, std::uint32_t mode) {
        return new CTitleMenu(QStringLiteral(":/Resources/") + QLatin1String(name), mode);
    };
    const auto opener = [](const char* name, CTitleMenuList* list) {
        return new CTitleMenu(QStringLiteral(":/Resources/") + QLatin1String(name), list);
    };
    m_deathMatchModeList = new CTitleMenuList;
    m_deathMatchModeList->SetMenu(
        {button("SingleMatchButton.png", 0x4C), button("TagMatchButton.png", 0x54)});
    m_deathMatchModeList->AddBackButton();

    m_deathMatchList = new CTitleMenuList;
    m_deathMatchList->SetMenu({opener("DeathMatchButton.png", m_deathMatchModeList)});
    m_deathMatchList->AddBackButton();

    m_versusList = new CTitleMenuList;
    m_versusList->SetMenu({button("SingleMatchButton.png", 0x0C), button("TagMatchButton.png", 0x14)});
    m_versusList->AddBackButton();

    m_modeList = new CTitleMenuList;
    m_modeList->SetMenu({button("ArcadeModeButton.png", 0x01), opener("VersusModeButton.png", m_versusList),
                         button("WatchModeButton.png", 0x84),
                         button("SystemConfigButton.png", SystemConfigMode)});

    m_topList = new CTitleMenuList;
    m_topList->SetMenu({opener("StartButton.png", m_modeList)});
    // Reached only by its key combination, from the top list.
    m_deathMatchList->SetParentList(m_topList);
}

void CTitleScene::ChangeMenu(CTitleMenuList* pMenuList)
{
    CTitleMenuList* target = pMenuList != nullptr ? pMenuList : m_current;
    if (target == nullptr) return;
    if (!target->isVisible()) {
        m_current->hide();
        m_current = target;
        target->show();
        target->FocusFirst();
        return;
    }
    CTitleMenuList* parent = target->GetParentList();
    if (parent == nullptr) return;
    m_current = parent;
    target->hide();
    parent->show();
    FocusAtIndex(parent);
    PlaySoundEffect(Sound::SeDefaultCanceled, true);
}

void CTitleScene::FocusAtIndex(CTitleMenuList* pList)
{
    const auto& items = pList->GetItems();
    int index = pList->GetCurrentIndex();
    if (index < 0 || index >= items.size()) index = 0;
    if (!items.isEmpty()) items.at(index)->setFocus(Qt::OtherFocusReason);
}

void CTitleScene::SetGameMode(std::uint32_t mode)
{
    if (mode == SystemConfigMode) {
        emit MenuSelected(SystemConfigCode);
        return;
    }
    if (mode == 0) return;
    if (m_gameEdit != nullptr) m_gameEdit->SetRule(mode, MapPos(5, 5));
    emit MenuSelected(NextCode);
}

void CTitleScene::AdjustPosition()
{
    if (GetView() != nullptr) Place(GetView()->size());
}

void CTitleScene::AdjustViewPosition(const QSize& size)
{
    Place(size);
}

void CTitleScene::Place(const QSize& size)
{
    const int w = size.width();
    const int h = size.height();
    if (w <= 0 || h <= 0) return;
    m_logo->setPos(w / 2 - m_logo->pixmap().width() / 2, 0);
    const struct {
        CTitleMenuList* list;
        int twentieths;
    } rows[] = {{m_topList, 15},
                {m_modeList, 12},
                {m_versusList, 13},
                {m_deathMatchList, 14},
                {m_deathMatchModeList, 13}};
    for (const auto& row : rows) {
        row.list->setPos(w / 2 - static_cast<int>(row.list->rect().width()) / 2, (h / 20) * row.twentieths);
    }
}

void CTitleScene::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers chord = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
    if (key == Qt::Key_Escape || key == Qt::Key_Backspace) {
        event->accept();
        ChangeMenu(m_current);
    } else if (key == Qt::Key_Up) {
        event->accept();
        m_current->FocusPrev();
    } else if (key == Qt::Key_Down) {
        event->accept();
        m_current->FocusNext();
    } else if (key == Qt::Key_D && (event->modifiers() & chord) == chord) {
        event->accept();
        if (!m_deathMatchList->isVisible()) ChangeMenu(m_deathMatchList);
    } else {
        const bool isReturn = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (isReturn && m_current != m_topList && focusItem() == nullptr) {
            // Back from a game no button has the focus: the first Return
            // shows where the keys were left, and a stray one chooses nothing.
            event->accept();
            FocusAtIndex(m_current);
            return;
        }
        if (isReturn && m_current == m_topList) m_topList->FocusFirst();
        CGameScene::keyPressEvent(event);
    }
}

void CTitleScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if (event->button() == Qt::RightButton) {
        event->accept();
        ChangeMenu(m_current);
        return;
    }
    CGameScene::mousePressEvent(event);
}

CTitleView::CTitleView(CTitleScene* pScene, QWidget* parent)
    : CMainView(pScene, parent), m_background(QStringLiteral(":/Resources/TitleBackground.png"))
{
    setMinimumSize(720, 600);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
    setSceneRect(0, 0, 720, 600);
    pScene->AdjustPosition();
    connect(this, &CTitleView::NotifyOfResize, pScene, &CTitleScene::AdjustPosition);
}

QRect CTitleView::BackgroundRect(const QSize& exposed, const QSize& picture)
{
    const int w = exposed.width();
    const int h = exposed.height();
    const int pw = picture.width();
    const int ph = picture.height();
    if (pw <= 0 || ph <= 0) return QRect();
    const double sx = static_cast<double>(w) / pw;
    const double sy = static_cast<double>(h) / ph;
    const int ox = pw > w ? (w - pw) / 2 : 0;
    const int oy = ph > h ? (h - ph) / 2 : 0;
    if (sx > 1.0 || sy > 1.0) {
        return QRect(QPoint(ox, oy),
                     picture.scaled(QSize(static_cast<int>(pw * sx), static_cast<int>(ph * sy)),
                                    Qt::KeepAspectRatioByExpanding));
    }
    if (sx >= 0.98 && sy >= 0.98) return QRect(QPoint(ox, oy), picture);
    const double s = std::max(sx, sy);
    const double x = pw * s > w ? (w - pw * s) * 0.5 : 0;
    const double y = ph * s > h ? (h - ph * s) * 0.5 : 0;
    return QRect(QPoint(static_cast<int>(x), static_cast<int>(y)),
                 picture.scaled(exposed, Qt::KeepAspectRatioByExpanding));
}

void CTitleView::drawBackground(QPainter* painter, const QRectF& rect)
{
    painter->fillRect(rect, MainBackgroundColor);
    if (m_background.isNull()) return;
    const QRect target = BackgroundRect(rect.size().toSize(), m_background.size());
    painter->drawPixmap(target.translated(rect.topLeft().toPoint()), m_background);
}

void CTitleView::resizeEvent(QResizeEvent* event)
{
    setSceneRect(QRectF(sceneRect().topLeft(), QSizeF(event->size())));
    if (event->oldSize().width() >= 1 && event->oldSize().height() >= 1) emit NotifyOfResize();
    CMainView::resizeEvent(event);
}

CTitleSequence::CTitleSequence() : CSetupSequence(SequenceType::Title, 0x09)
{
    setObjectName(QStringLiteral("TitleSequence"));
}

void CTitleSequence::Init()
{
    GetGameEdit();
    m_scene = GetSceneSet()->Get<CTitleScene>(SceneSlot::Title);
    if (m_scene != nullptr)
        connect(m_scene, &CTitleScene::MenuSelected, this,
                static_cast<void (CGameSequence::*)(MessageCode)>(&CGameSequence::Update),
                Qt::UniqueConnection);
    SetInstalled();
}

void CTitleSequence::Start()
{
    ResetLeaving();
    Show();
    GetScreenSound()->PlayBgm(Sound::BgmTheme);
}

void CTitleSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) m_scene->GetView()->Show();
    show();
}

void CTitleSequence::Update(MessageCode code)
{
    if (code != NextCode && code != SystemConfigCode) return;
    if (!BeginLeaving()) return;
    GetScreenSound()->StopBgm();
    if (code == NextCode) {
        PushSequence(SequenceType::PlayerSettings);
        return;
    }
    GetScreenSound()->PlayBgm(Sound::BgmRelaxation);
    PushSequence(CSystemConfigSequence::GetInstance());
}

} // namespace Marevane
