#include "screens/setup/GameOverScreen.h"

#include "app/GameView.h"
#include "app/SoundControl.h"
#include "gui/FadingAnimation.h"
#include "gui/ScreenTiming.h"
#include "gui/Widgets.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/ShipFactory.h"
#include "model/UnitFactory.h"

#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>

namespace Marevane {

namespace {

constexpr MessageCode ExitCode = 29;
constexpr int GameOverWait = 11000;
constexpr int PageWait = 5100;
constexpr int EndWait = 10000;
const QPoint PageOffset(0, 20);

} // namespace

CGameOverScene::CGameOverScene(QObject* parent) : CGameScene(QRectF(0, 0, 716, 600), parent)
{
    setObjectName(QStringLiteral("GameOver"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &CGameOverScene::OnTimeout);
}

QSize CGameOverScene::ViewSize() const
{
    if (GetView() == nullptr) return QSize(720, 600);
    GetView()->setMinimumWidth(720);
    return GetView()->size().expandedTo(QSize(720, 600));
}

void CGameOverScene::SetUp()
{
    m_timer.stop();
    m_timer.setInterval(ScreenTiming::Scaled(GameOverWait));
    m_isFinished = false;
    const QSize size = ViewSize();
    if (m_logo == nullptr) {
        m_logo = new CLogoItem(QStringLiteral(":/Resources/GameOverLogo.png"));
        addItem(m_logo);
    }
    if (GetView() != nullptr)
        GetView()->setMinimumHeight(std::max(600, static_cast<int>(itemsBoundingRect().height())));
    setSceneRect(0, 0, size.width() - 4, std::max(600, static_cast<int>(itemsBoundingRect().height())));
    m_logo->CenterIn(size);
    m_logo->hide();
    m_logo->setOpacity(1.0);
}

void CGameOverScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() < 1 || m_logo == nullptr) return;
    m_logo->CenterIn(size);
}

CFadingAnimation* CGameOverScene::Fade(CLogoItem* item, bool isFadeIn)
{
    auto* fade = new CFadingAnimation(item, this);
    fade->SetFadeIn(isFadeIn);
    return fade;
}

void CGameOverScene::ShowNext()
{
    Fade(m_logo, true)->StartOnce();
}

void CGameOverScene::StartShowing()
{
    AdjustViewPosition(ViewSize());
    m_timer.start();
    ShowNext();
    if (GetView() != nullptr) {
        GetView()->Show();
        GetView()->setFocus(Qt::OtherFocusReason);
    }
}

void CGameOverScene::OnTimeout()
{
    Finish();
}

void CGameOverScene::Finish()
{
    if (m_isFinished) return;
    m_isFinished = true;
    m_timer.stop();
    emit Finished();
}

bool CGameOverScene::Skip()
{
    if (!m_timer.isActive()) return false;
    m_timer.stop();
    Finish();
    return true;
}

void CGameOverScene::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) && Skip()) {
        event->accept();
        return;
    }
    CGameScene::keyPressEvent(event);
}

void CGameOverScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    if ((event->button() == Qt::LeftButton || event->button() == Qt::RightButton) && Skip()) {
        event->accept();
        return;
    }
    CGameScene::mousePressEvent(event);
}

CCreditsScene::CCreditsScene(QObject* parent) : CGameOverScene(parent)
{
    setObjectName(QStringLiteral("Credits"));
}

void CCreditsScene::SetUp()
{
    GetTimer()->stop();
    GetTimer()->setInterval(ScreenTiming::Scaled(PageWait));
    ResetFinished();
    const QSize size = ViewSize();
    if (GetLogo() == nullptr) {
        SetLogo(new CLogoItem(QStringLiteral(":/Resources/TheEndLogo.png")));
        addItem(GetLogo());
        static const char* const pages[] = {"01-DirectorCreditsLogo.png", "02-ComposerCreditsLogo.png",
                                            "03-GraphicsCreditsLogo.png", "04-UICreditsLogo.png",
                                            "05-BattleCreditsLogo.png",   "06-ProgrammerCreditsLogo.png",
                                            "07-TesterCreditsLogo.png",   "08-LeadDebuggerCreditsLogo.png"};
        for (const char* page : pages) {
            auto* item = new CLogoItem(QStringLiteral(":/Resources/") + QLatin1String(page));
            addItem(item);
            m_pages.append({item});
        }
    }
    // Every roll starts at its first page.
    if (m_secret != nullptr) {
        delete m_secret;
        m_secret = nullptr;
    }
    m_currentPage = 0;
    m_isPageShown = false;
    m_isAtEnd = false;
    setSceneRect(0, 0, size.width() - 4, std::max(600, size.height()));
    GetLogo()->CenterIn(size);
    GetLogo()->hide();
    GetLogo()->setOpacity(1.0);
    for (const auto& page : m_pages) {
        for (CLogoItem* item : page) {
            item->CenterIn(size, PageOffset);
            item->hide();
            item->setOpacity(1.0);
        }
    }
}

void CCreditsScene::AdjustViewPosition(const QSize& size)
{
    CGameOverScene::AdjustViewPosition(size);
    if (size.width() < 1) return;
    for (const auto& page : m_pages) {
        for (CLogoItem* item : page) item->CenterIn(size, PageOffset);
    }
}

void CCreditsScene::OnTimeout()
{
    if (m_isAtEnd) {
        Finish();
        return;
    }
    ShowNext();
}

void CCreditsScene::ShowNext()
{
    if (m_isAtEnd) return;
    if (m_isPageShown) {
        const QList<CLogoItem*>& page = m_pages.at(static_cast<int>(m_currentPage));
        ++m_currentPage;
        m_isPageShown = false;
        for (int i = 0; i < page.size(); ++i) {
            CFadingAnimation* fade = Fade(page.at(i), false);
            if (i == page.size() - 1)
                connect(fade, &QAbstractAnimation::finished, this, &CCreditsScene::ShowNext);
            fade->StartOnce();
        }
        return;
    }
    if (m_currentPage < static_cast<unsigned>(m_pages.size())) {
        const QList<CLogoItem*>& page = m_pages.at(static_cast<int>(m_currentPage));
        m_isPageShown = true;
        for (int i = 0; i < page.size(); ++i) {
            CFadingAnimation* fade = Fade(page.at(i), true);
            if (i == page.size() - 1) {
                // The wait starts once the page is fully shown.
                GetTimer()->stop();
                GetTimer()->setInterval(ScreenTiming::Scaled(PageWait));
                connect(fade, &QAbstractAnimation::finished, GetTimer(), qOverload<>(&QTimer::start));
            }
            fade->StartOnce();
        }
        return;
    }
    // The end picture, then Finished once.
    m_isAtEnd = true;
    CFadingAnimation* fade = Fade(GetLogo(), true);
    if (m_isSecretMessageShown) {
        m_secret = new CLogoItem(QStringLiteral(":/Resources/EndingSecretMessageLogo.png"));
        addItem(m_secret);
        const QSize size = ViewSize();
        m_secret->setPos((size.width() - m_secret->pixmap().width()) / 2,
                         size.height() - size.height() / 8 - m_secret->pixmap().height());
        m_secret->hide();
        Fade(m_secret, true)->StartOnce();
    }
    GetTimer()->stop();
    GetTimer()->setInterval(ScreenTiming::Scaled(fade->GetFadeDuration() + EndWait));
    fade->StartOnce();
    GetTimer()->start();
}

CGameOverSequence::CGameOverSequence(int type) : CSetupSequence(type, 0xFB)
{
    setObjectName(type == SequenceType::GameOver ? QStringLiteral("GameOverSequence")
                                                 : QStringLiteral("CreditsSequence"));
}

void CGameOverSequence::Init()
{
    if (GetUnitFactory() == nullptr) throw std::out_of_range("invalid unordered_map<K, T> key");
    const SceneSet* scenes = GetSceneSet();
    if (GetType() == SequenceType::GameOver) {
        m_scene = scenes->Get<CGameOverScene>(SceneSlot::GameOver);
    } else if (auto* credits = scenes->Get<CCreditsScene>(SceneSlot::Credits)) {
        credits->SetSecretMessageShown(GetGameEdit()->GetInfo().ComputerLevel >= ComputerAI::ModeExtreme);
        m_scene = credits;
    }
    if (m_scene != nullptr) {
        m_scene->SetUp();
        connect(m_scene, &CGameOverScene::Finished, this, [this] { Update(ExitCode); });
    }
    SetInstalled();
}

void CGameOverSequence::Start()
{
    ResetLeaving();
    if (GetType() != SequenceType::GameOver) GetScreenSound()->PlayBgm(Sound::BgmSymphonyFinale);
    Show();
}

void CGameOverSequence::Show()
{
    if (m_scene != nullptr) m_scene->StartShowing();
    show();
}

void CGameOverSequence::Update(MessageCode code)
{
    if (code != ExitCode || !BeginLeaving()) return;
    if (m_scene != nullptr) m_scene->GetTimer()->stop();
    if (GetType() != SequenceType::GameOver) GetScreenSound()->StopBgm();
    ResetNetwork();
    CGameEdit* rules = GetGameEdit();
    rules->SetRule(rules->GetInfo().Rule, MapPos(5, 5));
    CBoard* board = GetGameMap();
    board->ResetPanels();
    board->Resize(rules->GetInfo().Map.Size.x, rules->GetInfo().Map.Size.y);
    GetShipFactory()->Clear();
    GetUnitFactory()->Clear();
    ReturnToIndex(0);
}

} // namespace Marevane
