#include "screens/setup/PlayerCreationScreen.h"

#include "ai/ModeTables.h"
#include "app/GameView.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/GameEdit.h"
#include "model/UnitFactory.h"
#include "screens/setup/ArcadeStageScreen.h"

#include <QComboBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsProxyWidget>

#include <algorithm>

namespace Marevane {

namespace {

constexpr MessageCode NextCode = 26;
constexpr MessageCode BackCode = 33;

} // namespace

CComputerLevelScene::CComputerLevelScene(QObject* parent)
    : CGameScene(QRectF(0, 0, 716, 600), parent), m_levelBox(new QComboBox),
      m_prevButton(new CPushButton(tr("Prev"), Sound::SeDefaultCanceled)),
      m_startButton(new CPushButton(tr("Start"), Sound::SeNextStep))
{
    setObjectName(QStringLiteral("ComputerLevel"));
    m_levelBox->setStyleSheet(SpinBoxStyleSheet());
    const auto& modes = ComputerAI::CModeMap::GetInstance();
    for (unsigned level : modes.GetKeysInOrder()) {
        const ComputerAI::Mode mode = modes.Get(level);
        m_levelBox->addItem(QString::fromStdWString(ComputerAI::CModeNames::GetInstance().Get(mode)),
                            static_cast<int>(mode));
    }
    m_levelBox->setCurrentIndex(std::max(0, m_levelBox->findData(static_cast<int>(ComputerAI::ModeNormal))));
    for (CPushButton* button : {m_prevButton, m_startButton}) button->SetUp();
    connect(m_prevButton, &QPushButton::clicked, this, &CComputerLevelScene::PrevButtonPushed);
    connect(m_startButton, &QPushButton::clicked, this, [this] {
        if (m_startButton->isEnabled()) UpdateSettings();
    });
}

void CComputerLevelScene::SetUp()
{
    if (m_label != nullptr) return;
    m_label = addPixmap(QPixmap(QStringLiteral(":/Resources/SelectLevelLabel.png")));
    const int labelHeight = m_label->pixmap().height();
    auto* box = new QGraphicsProxyWidget(m_label);
    box->setWidget(m_levelBox);
    box->setPos(0, labelHeight + 8);
    const int width = std::max(m_prevButton->sizeHint().width(), m_startButton->sizeHint().width()) * 2;
    const qreal buttonY = box->y() + labelHeight + 16;
    qreal x = 0;
    for (CPushButton* button : {m_prevButton, m_startButton}) {
        button->setMinimumWidth(width);
        auto* proxy = new QGraphicsProxyWidget(m_label);
        proxy->setWidget(button);
        proxy->setPos(x, buttonY);
        x += 12 + width;
    }
    QGraphicsWidget::setTabOrder(box, m_prevButton->graphicsProxyWidget());
    QGraphicsWidget::setTabOrder(m_prevButton->graphicsProxyWidget(), m_startButton->graphicsProxyWidget());
    m_bar = new CNotificationBar;
    m_bar->SetFixedWidth();
    addItem(m_bar);
    m_bar->hide();
    Place(GetView() != nullptr ? GetView()->size() : QSize(720, 600));
}

void CComputerLevelScene::Place(const QSize& size)
{
    if (m_label == nullptr || size.width() <= 0) return;
    const int width = std::max(size.width(), 720);
    const int height = std::max(size.height(), 600);
    const QRectF bounds = m_label->mapRectToScene(m_label->childrenBoundingRect() | m_label->boundingRect());
    m_label->setPos((width - static_cast<int>(bounds.width())) / 2,
                    (height - static_cast<int>(bounds.height())) / 2);
    m_bar->SetWidth(2 * (width / 3));
    m_bar->setZValue(10);
    setSceneRect(0, 0, width - 4, height);
}

void CComputerLevelScene::AdjustViewPosition(const QSize& size)
{
    Place(size);
}

void CComputerLevelScene::Reset()
{
    m_startButton->setEnabled(true);
    m_prevButton->setEnabled(true);
    m_levelBox->setFocus(Qt::OtherFocusReason);
}

void CComputerLevelScene::ShowMessage(QString text)
{
    m_bar->Show(QPoint(0, 0), text, ScreenTiming::Notice);
    m_bar->setPos(static_cast<int>(sceneRect().width() - m_bar->rect().width()) / 2,
                  static_cast<int>(sceneRect().height() - m_bar->rect().height()) / 2);
}

bool CComputerLevelScene::UpdateSettings()
{
    if (m_gameEdit == nullptr || m_unitFactory == nullptr) return false;
    m_startButton->setEnabled(false);
    try {
        const auto level = static_cast<unsigned>(std::max(0, m_levelBox->currentIndex()));
        m_gameEdit->GetInfo().ComputerLevel = ComputerAI::CModeMap::GetInstance().Get(level);
        m_unitFactory->CreateDefaultUnits(m_gameEdit->GetInfo().PlayerTypes);
    } catch (const std::exception& error) {
        m_startButton->setEnabled(true);
        ShowMessage(tr("The players could not be created: %1").arg(QString::fromUtf8(error.what())));
        return false;
    }
    emit StartButtonPushed();
    return true;
}

CPlayerCreationSequence::CPlayerCreationSequence() : CSetupSequence(SequenceType::PlayerCreation, 0x4D)
{
    setObjectName(QStringLiteral("PlayerCreationSequence"));
}

void CPlayerCreationSequence::Init()
{
    CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr) throw std::out_of_range("invalid unordered_map<K, T> key");
    m_scene = GetSceneSet()->Get<CComputerLevelScene>(SceneSlot::ComputerLevel);
    if (m_scene != nullptr) {
        m_scene->SetGameEdit(GetGameEdit());
        m_scene->SetUnitFactory(factory);
        m_scene->SetUp();
        connect(m_scene, &CComputerLevelScene::PrevButtonPushed, this, [this] { Update(BackCode); });
        connect(m_scene, &CComputerLevelScene::StartButtonPushed, this, [this] { Update(NextCode); });
    }
    SetInstalled();
}

void CPlayerCreationSequence::Start()
{
    ResetLeaving();
    if (m_scene == nullptr) return;
    m_scene->Reset();
    if (GetGameEdit()->HasRule(GameModeVersus)) {
        // Made at once; a failure shows the level screen with the reason.
        if (!m_scene->UpdateSettings()) Show();
        return;
    }
    Show();
}

void CPlayerCreationSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->Show();
        m_scene->AdjustViewPosition(m_scene->GetView()->size());
    }
    show();
    if (m_scene != nullptr) m_scene->Reset();
}

void CPlayerCreationSequence::Update(MessageCode code)
{
    CGameEdit* rules = GetGameEdit();
    if (code == NextCode) {
        if (rules->GetInfo().Rule == GameModeArcade) {
            if (BeginLeaving()) PushSequence(new CArcadeStageSequence);
        } else if (rules->HasRule(GameModeVersus)) {
            if (BeginLeaving()) ReplaceWithSequence(CreateSequence(SequenceType::RuleSettings));
        }
    } else if (code == BackCode) {
        if (!BeginLeaving()) return;
        const std::uint32_t mode = rules->GetInfo().Rule;
        if (CUnitFactory* factory = GetUnitFactory()) factory->Clear();
        rules->SetRule(mode, MapPos(5, 5));
        ReturnToPrevious();
    }
}

} // namespace Marevane
