#include "screens/setup/PlayerSettingsScreen.h"

#include "app/SoundControl.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/Errors.h"
#include "model/GameEdit.h"
#include "model/Unit.h"
#include "model/UnitFactory.h"

#include <QComboBox>
#include <QGraphicsPixmapItem>
#include <QResizeEvent>

#include <algorithm>

namespace Marevane {

namespace {

constexpr MessageCode NextCode = 26;
constexpr MessageCode ExitCode = 33;
constexpr int MaxPlayers = 4;
constexpr int ColumnGap = 40;

bool HasBits(std::uint32_t value, std::uint32_t bits)
{
    return value == bits || (value & bits) == bits;
}

} // namespace

CPlayerSettingsScene::CPlayerSettingsScene(QObject* parent)
    : CGameScene(QRectF(0, 0, 715, 380), parent), m_nameBox(new CLineEdit), m_commandModeBox(new QComboBox),
      m_networkModeBox(new QComboBox), m_playersBox(new CSpinBox),
      m_exitButton(new CPushButton(tr("Exit"), Sound::SeDefaultCanceled)),
      m_nextButton(new CPushButton(tr("Next"), Sound::SeNextStep))
{
    setObjectName(QStringLiteral("PlayerSettings"));
    m_nameBox->setMaxLength(17);
    m_nameBox->setStyleSheet(LineEditStyleSheet());
    for (QComboBox* box : {m_commandModeBox, m_networkModeBox}) box->setStyleSheet(SpinBoxStyleSheet());
    m_playersBox->setStyleSheet(SpinBoxStyleSheet());
    m_playersBox->setRange(2, MaxPlayers);
    m_playersBox->setValue(2);
    for (int i = 0; i < MaxPlayers - 1; ++i) {
        auto* box = new QComboBox;
        box->setStyleSheet(SpinBoxStyleSheet());
        // A person on the LAN, or the computer, which stays the last item.
        box->addItem(tr("MAN"), static_cast<int>(UnitManual));
        box->addItem(tr("CPU"), static_cast<int>(UnitAuto));
        m_rivalBoxes.push_back(box);
    }
    for (CPushButton* button : {m_exitButton, m_nextButton}) button->SetUp();

    connect(m_exitButton, &QPushButton::clicked, this, &CPlayerSettingsScene::ExitButtonPushed);
    connect(m_nextButton, &QPushButton::clicked, this, &CPlayerSettingsScene::UpdateSettings);
    connect(m_nameBox, &QLineEdit::returnPressed, m_nextButton, &QPushButton::click);
    connect(m_networkModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CPlayerSettingsScene::ShowNumberOfPlayerBox);
    connect(m_playersBox, qOverload<int>(&QSpinBox::valueChanged), this,
            &CPlayerSettingsScene::ShowRivalsCommandModeBox);
    // The two locks hold in versus matches only; each slot checks.
    connect(m_commandModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CPlayerSettingsScene::ValidateNetworkMode);
    connect(m_networkModeBox, qOverload<int>(&QComboBox::currentIndexChanged), this,
            &CPlayerSettingsScene::ValidateCommandMode);
}

bool CPlayerSettingsScene::IsVersus() const
{
    return m_gameEdit != nullptr && m_gameEdit->HasRule(GameModeVersus);
}

CPlayerSettingsScene::Row CPlayerSettingsScene::MakeRow(QWidget* widget, const QString& label,
                                                        const QString& help)
{
    Row row;
    row.item = new CWidgetItem(widget, help);
    addItem(row.item);
    connect(row.item, &CWidgetItem::HelpSent, this, &CPlayerSettingsScene::HelpSent);
    if (!label.isEmpty()) {
        row.label = new CTextItem(label, row.item);
        CWidgetItem* item = row.item;
        connect(row.label, &CTextItem::Hovered, this,
                [this, item](const CTextItem* pTextItem) { SendHelpOfLabel(pTextItem, item); });
    }
    return row;
}

void CPlayerSettingsScene::PlaceRow(const Row& row, qreal x, qreal y)
{
    const int labelHeight = row.label != nullptr ? WholePixelSize(row.label).height() : 0;
    row.item->setPos(x, row.label != nullptr ? y + labelHeight + 9 : y + 8);
    if (row.label != nullptr) row.label->SetTopPosOf(row.item, 4);
}

void CPlayerSettingsScene::Build()
{
    if (!m_isBuilt) {
        m_isBuilt = true;
        m_caption = addPixmap(QPixmap(QStringLiteral(":/Resources/PlayerSettingsLabel.png")));
        m_nameRow = MakeRow(m_nameBox, tr("Player Name"),
                            tr("Input your player name. The length of the name is up to 17 characters."));
        m_nameRow.item->setMinimumWidth(m_nameRow.item->size().width() * 4 / 3);
        m_commandRow = MakeRow(m_commandModeBox, tr("Command Mode"),
                               tr("Select the command mode.\nManual: you input command by yourself.\nAuto: "
                                  "commands are automatically inputted.\nAudience: you watch the battle."));
        m_networkRow =
            MakeRow(m_networkModeBox, tr("Network Mode"),
                    tr("Select the network mode.\nOne player must select \"Server\", and the others "
                       "must select \"Client\".\nThe clients have to know the server's IP address.\nIf "
                       "you play offline, select \"Server\"."));
        const QString playersHelp =
            tr("Select the number of players in the battle.\n") + tr("The range of value is ") +
            QString::number(2) + QStringLiteral("-") + QString::number(4) + tr(" players.\n") +
            tr("In a single match, the default is ") + QString::number(2) + tr(" players.\n") +
            tr("In a tag match, the value is ") + QString::number(3) + tr(" or ") + QString::number(4) +
            QStringLiteral(".");
        m_playersRow = MakeRow(m_playersBox, tr("Number of Players"), playersHelp);
        const QString rivalHelp = tr("Select the type of other players.\n") +
                                  tr("MAN is human player (the network connection required).\n") +
                                  tr("CPU is AI player.");
        for (std::size_t i = 0; i < m_rivalBoxes.size(); ++i)
            m_rivalRows.push_back(MakeRow(m_rivalBoxes[i], QStringLiteral("P%1").arg(i + 2), rivalHelp));
        int buttonWidth = std::max(m_exitButton->sizeHint().width(), m_nextButton->sizeHint().width()) * 2;
        for (CPushButton* button : {m_exitButton, m_nextButton}) button->setMinimumWidth(buttonWidth);
        m_exitItem = MakeRow(m_exitButton, QString(), QString()).item;
        m_nextItem = MakeRow(m_nextButton, QString(), QString()).item;
        m_bar = new CNotificationBar;
        m_bar->SetFixedWidth();
        addItem(m_bar);
        m_bar->hide();
    }

    // Every visit starts from the same widgets; the mode decides the rest.
    const std::uint32_t mode = m_gameEdit != nullptr ? m_gameEdit->GetInfo().Rule : 0;
    const bool isVersus = IsVersus();
    const bool isWatch = HasBits(mode, GameModeWatch | GameModeVersus);
    const bool isTag = HasBits(mode, GameModeVersus | GameModeTag);
    const QSignalBlocker commandBlocker(m_commandModeBox);
    const QSignalBlocker networkBlocker(m_networkModeBox);
    const QSignalBlocker playersBlocker(m_playersBox);
    m_commandModeBox->clear();
    m_commandModeBox->addItem(tr("Manual"), static_cast<int>(UnitManual));
    m_commandModeBox->addItem(tr("Auto"), static_cast<int>(UnitAuto));
    m_commandModeBox->setEnabled(true);
    m_networkModeBox->clear();
    m_networkModeBox->addItem(tr("Server"));
    m_networkModeBox->addItem(tr("Client"));
    m_networkModeBox->setEnabled(true);
    if (isWatch) {
        m_commandModeBox->addItem(tr("Audience"), static_cast<int>(UnitWatching));
        m_commandModeBox->setCurrentIndex(m_commandModeBox->count() - 1);
        m_commandModeBox->setEnabled(false);
        m_networkModeBox->setCurrentIndex(m_networkModeBox->count() - 1);
        m_networkModeBox->setEnabled(false);
    }
    m_playersBox->setRange(isTag ? 3 : 2, MaxPlayers);
    m_playersBox->setValue(isTag ? 4 : 2);
    for (QComboBox* box : m_rivalBoxes) {
        box->setCurrentIndex(box->count() - 1);
        box->setEnabled(isVersus);
    }
    m_nextButton->setEnabled(true);
    m_exitButton->setEnabled(true);
    m_bar->Hide();
    m_networkRow.item->setVisible(isVersus);
    ShowNumberOfPlayerBox();
    Layout();
}

void CPlayerSettingsScene::Layout()
{
    const int viewWidth = GetView() != nullptr ? std::max(GetView()->width(), 720) : 720;
    m_caption->setPos(0, 12);
    qreal y = 12 + m_caption->pixmap().height() + 6;
    PlaceRow(m_nameRow, 0, y);
    y = m_nameRow.item->y() + m_nameRow.item->size().height();
    PlaceRow(m_commandRow, 0, y);
    const qreal commandTop = y;
    y = m_commandRow.item->y() + m_commandRow.item->size().height();
    if (m_networkRow.item->isVisible()) {
        PlaceRow(m_networkRow, 0, y);
        y = m_networkRow.item->y() + m_networkRow.item->size().height();
    }
    m_exitItem->setPos(0, y + 25);
    m_nextItem->setPos(m_exitItem->size().width() + 12, y + 25);

    // The players and the rivals stand right of the first column.
    qreal firstColumn = 0;
    for (const Row* row : {&m_nameRow, &m_commandRow, &m_networkRow})
        firstColumn = std::max(firstColumn, row->item->size().width());
    firstColumn = std::max(firstColumn, m_nextItem->x() + m_nextItem->size().width());
    const qreal x = firstColumn + ColumnGap;
    PlaceRow(m_playersRow, x, commandTop);
    qreal rivalY = m_playersRow.item->y() + m_playersRow.item->size().height();
    for (const Row& row : m_rivalRows) {
        PlaceRow(row, x, rivalY);
        rivalY = row.item->y() + row.item->size().height();
    }

    // Centred in the view, caption included.
    QRectF bounds;
    for (QGraphicsItem* item : items()) {
        if (item->parentItem() == nullptr && item != m_bar) bounds |= item->sceneBoundingRect();
    }
    const int shift = (viewWidth - static_cast<int>(bounds.width())) / 2 - static_cast<int>(bounds.left());
    for (QGraphicsItem* item : items()) {
        if (item->parentItem() == nullptr && item != m_bar) item->moveBy(shift, 0);
    }
    m_bar->setZValue(items().size());
    m_bar->SetWidth(2 * (viewWidth / 3));
    const int height = static_cast<int>(bounds.bottom());
    setSceneRect(0, 0, viewWidth - 5, height + 6);
    if (GetView() != nullptr) GetView()->setMinimumHeight(std::max(380, height + 7));

    // Tab in reading order: the first column, the players, then the buttons.
    std::vector<QGraphicsWidget*> order = {m_nameRow.item, m_commandRow.item};
    if (m_networkRow.item->isVisible()) order.push_back(m_networkRow.item);
    order.push_back(m_playersRow.item);
    for (const Row& row : m_rivalRows) order.push_back(row.item);
    order.push_back(m_exitItem);
    order.push_back(m_nextItem);
    for (std::size_t i = 1; i < order.size(); ++i) QGraphicsWidget::setTabOrder(order[i - 1], order[i]);
}

bool CPlayerSettingsScene::IsRowShown(const QWidget* widget) const
{
    const QGraphicsProxyWidget* proxy = widget->graphicsProxyWidget();
    return proxy != nullptr && proxy->isVisible();
}

void CPlayerSettingsScene::ShowMessage(QString text)
{
    m_bar->Show(QPoint(0, 0), text, ScreenTiming::Notice);
    // Centred once the text has sized the bar.
    m_bar->setPos(static_cast<int>(sceneRect().width() - m_bar->rect().width()) / 2,
                  static_cast<int>(sceneRect().height() - m_bar->rect().height()) / 2);
}

void CPlayerSettingsScene::UpdateSettings()
{
    if (m_unitFactory == nullptr || m_gameEdit == nullptr || !m_nextButton->isEnabled()) return;
    const std::uint32_t type = m_commandModeBox->currentData().toUInt();
    const std::uint32_t host = IsVersus() ? static_cast<std::uint32_t>(m_networkModeBox->currentIndex()) : 0;
    const std::wstring name = m_nameBox->text().toStdWString();
    // Checked before the factory changes, so a refused name keeps the screen as it was.
    try {
        m_unitFactory->ValidateUnitProfile(UnitProfile(0, type, host, name, L""), false);
    } catch (const std::exception&) {
        ShowMessage(m_nameBox->text().isEmpty()
                        ? tr("Error: Please input your Player Name!")
                        : tr("Error: the Length of your Player Name is invalid.\nPlease input it again!"));
        m_nameBox->setFocus(Qt::OtherFocusReason);
        return;
    }
    m_nextButton->setEnabled(false);
    try {
        m_unitFactory->Clear();
        CUnit* unit =
            m_unitFactory->CreateLocalUnit(type == UnitAuto ? UnitAuto : UnitManual, host, name, L"");
        unit->SetUnitType(type);
    } catch (const std::exception& error) {
        m_nextButton->setEnabled(true);
        ShowMessage(QString::fromUtf8(error.what()));
        return;
    }
    GameEditInfo& info = m_gameEdit->GetInfo();
    if (type == UnitWatching) m_gameEdit->SetRule(GameModeVersus | GameModeWatch, MapPos(5, 5));
    std::vector<std::uint32_t> types = {type};
    const int players = m_playersBox->isVisible() ? m_playersBox->value() : 2;
    for (int i = 0; i < players - 1; ++i) {
        // Outside versus matches the rivals are the computer.
        types.push_back(IsVersus() ? m_rivalBoxes[static_cast<std::size_t>(i)]->currentData().toUInt()
                                   : static_cast<std::uint32_t>(UnitAuto));
    }
    info.PlayerCount = static_cast<std::uint32_t>(types.size());
    info.PlayerTypes = types;
    info.TeamCount = static_cast<std::uint32_t>(std::count(types.begin() + 1, types.end(), UnitManual));
    emit NextButtonPushed();
}

void CPlayerSettingsScene::ValidateCommandMode()
{
    if (!IsVersus()) return;
    if (m_commandModeBox->currentData().toUInt() == UnitWatching &&
        m_networkModeBox->currentIndex() == HostServer)
        m_commandModeBox->setCurrentIndex(0);
}

void CPlayerSettingsScene::ValidateNetworkMode()
{
    if (!IsVersus()) return;
    if (m_commandModeBox->currentData().toUInt() == UnitWatching &&
        m_networkModeBox->currentIndex() == HostServer)
        m_networkModeBox->setCurrentIndex(HostClient);
}

void CPlayerSettingsScene::ShowNumberOfPlayerBox()
{
    if (m_playersRow.item == nullptr) return;
    m_playersRow.item->setVisible(m_networkModeBox->currentIndex() == HostServer && IsVersus());
    ShowRivalsCommandModeBox();
}

void CPlayerSettingsScene::ShowRivalsCommandModeBox()
{
    for (std::size_t i = 0; i < m_rivalRows.size(); ++i) {
        m_rivalRows[i].item->setVisible(m_playersRow.item->isVisible() &&
                                        static_cast<int>(i) < m_playersBox->value() - 1);
    }
}

void CPlayerSettingsScene::SendHelpOfLabel(const CTextItem* pTextItem, const CWidgetItem* pWidgetItem)
{
    if (pTextItem != nullptr && pWidgetItem != nullptr) {
        emit HelpSent(pWidgetItem->GetHelpText());
        return;
    }
    emit HelpSent(QString());
}

CPlayerSettingsView::CPlayerSettingsView(QGraphicsScene* pScene, QWidget* parent) : CGameView(pScene, parent)
{
    setBackgroundBrush(MainBackgroundColor);
    setMinimumSize(720, 380);
    setBaseSize(720, 380);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFrameShape(QFrame::NoFrame);
}

void CPlayerSettingsView::Show()
{
    show();
}

void CPlayerSettingsView::Hide()
{
    hide();
}

void CPlayerSettingsView::resizeEvent(QResizeEvent* event)
{
    AdjustSceneTo(event->size());
    CGameView::resizeEvent(event);
}

CPlayerSettingsSequence::CPlayerSettingsSequence() : CSetupSequence(SequenceType::PlayerSettings, 0x7D)
{
    setObjectName(QStringLiteral("PlayerSettingsSequence"));
}

void CPlayerSettingsSequence::Init()
{
    CUnitFactory* factory = GetUnitFactory();
    if (factory == nullptr) throw std::out_of_range("invalid unordered_map<K, T> key");
    m_scene = GetSceneSet()->Get<CPlayerSettingsScene>(SceneSlot::PlayerSettings);
    m_messageScene = GetSceneSet()->Get(SceneSlot::Message);
    if (m_scene != nullptr) {
        m_scene->SetGameEdit(GetGameEdit());
        m_scene->SetUnitFactory(factory);
        connect(m_scene, &CPlayerSettingsScene::ExitButtonPushed, this, [this] { Update(ExitCode); });
        connect(m_scene, &CPlayerSettingsScene::NextButtonPushed, this, [this] { Update(NextCode); });
        connect(m_scene, &CPlayerSettingsScene::HelpSent, this,
                [this](const QString& help) { MessagePane::Set(m_messageScene, help); });
    }
    SetInstalled();
}

void CPlayerSettingsSequence::Start()
{
    ResetLeaving();
    if (CUnitFactory* factory = GetUnitFactory()) factory->Clear();
    if (m_scene != nullptr) m_scene->Build();
    Show();
    GetScreenSound()->PlayBgm(Sound::BgmRelaxation);
}

void CPlayerSettingsSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) m_scene->GetView()->Show();
    CGameView* messageView = m_messageScene != nullptr ? m_messageScene->GetView() : nullptr;
    if (messageView != nullptr) messageView->Show();
    show();
    MessagePane::Set(m_messageScene, QString());
    if (messageView != nullptr) m_messageScene->AdjustViewPosition(messageView->size());
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->setFocus(Qt::OtherFocusReason);
        m_scene->GetNameBox()->setFocus(Qt::OtherFocusReason);
    }
}

void CPlayerSettingsSequence::Update(MessageCode code)
{
    if (code == NextCode) {
        if (!BeginLeaving()) return;
        const CUnit* unit = GetMyUnit();
        if (unit != nullptr &&
            (unit->GetUnitType() == UnitWatching || unit->GetProfile().OriginFlag == HostClient)) {
            GetGameEdit()->ResetPlayers();
            GetGameEdit()->GetInfo().TeamCount = 1;
            PushSequence(SequenceType::RuleSettings);
        } else {
            PushSequence(SequenceType::PlayerCreation);
        }
    } else if (code == ExitCode) {
        if (!BeginLeaving()) return;
        GetScreenSound()->StopBgm();
        if (CUnitFactory* factory = GetUnitFactory()) factory->Clear();
        ResetNetwork();
        CGameEdit* rules = GetGameEdit();
        rules->ResetPlayers();
        rules->GetInfo().ComputerLevel = 0;
        rules->SetRule(GameModeVersus | GameModeSingle, MapPos(5, 5));
        ReturnToIndex(0);
    }
}

} // namespace Marevane
