#include "screens/setup/SystemConfigScreen.h"

#include "app/GameView.h"
#include "app/MainWindow.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "gui/Popups.h"
#include "gui/ScreenTiming.h"
#include "gui/Style.h"
#include "gui/TextItems.h"
#include "gui/Widgets.h"
#include "model/settings/SystemConfig.h"
#include "model/texts/NameTables.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsPixmapItem>
#include <QGraphicsProxyWidget>
#include <QGraphicsView>
#include <QHBoxLayout>
#include <QTimer>

#include <algorithm>

namespace Marevane {

namespace {

constexpr MessageCode NextCode = 26;
constexpr MessageCode AppliedCode = 32;
constexpr MessageCode BackCode = 33;
constexpr MessageCode ReloadCode = 55;
constexpr int Margin = 16;
constexpr int ColumnGap = 50;

QComboBox* MakeBox(std::initializer_list<std::pair<QString, QVariant>> items)
{
    auto* box = new QComboBox;
    box->setStyleSheet(SpinBoxStyleSheet());
    for (const auto& item : items) box->addItem(item.first, item.second);
    return box;
}

// A row widget holding two widgets side by side.
QWidget* Pair(QWidget* first, QWidget* second)
{
    auto* holder = new QWidget;
    holder->setAttribute(Qt::WA_TranslucentBackground);
    auto* layout = new QHBoxLayout(holder);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addWidget(first);
    layout->addWidget(second);
    return holder;
}

void SetIndexOfData(QComboBox* box, const QVariant& data)
{
    const int index = box->findData(data);
    if (index >= 0) box->setCurrentIndex(index);
}

} // namespace

CSystemConfigScene::CSystemConfigScene(QObject* parent)
    : CGameScene(QRectF(0, 0, 718, 378), parent), m_soundBox(MakeBox({{tr("OFF"), false}, {tr("ON"), true}})),
      m_bgmBox(new CSpinBox), m_seBox(new CSpinBox), m_bgmSlider(new CSlider), m_seSlider(new CSlider),
      m_openGLBox(MakeBox({{tr("Disable"), false}, {tr("Enable"), true}})),
      m_animationBox(MakeBox({{tr("OFF"), false}, {tr("ON"), true}})), m_languageBox(MakeBox({})),
      m_browseButton(new CPushButton(QStringLiteral("..."), Sound::SeDefaultSelected)),
      m_logPathEdit(new CLineEdit), m_okButton(new CPushButton(tr("OK"), Sound::SeNextStep)),
      m_cancelButton(new CPushButton(tr("Cancel"), Sound::SeDefaultCanceled)),
      m_defaultButton(new CPushButton(tr("Default"), Sound::SeDefaultSelected)),
      m_applyButton(new CPushButton(tr("Apply"), Sound::SeDefaultSelected)),
      m_chooseDirectory([](QWidget* parent, const QString& caption, const QString& folder) {
          return QFileDialog::getExistingDirectory(
              parent, caption, folder, QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks);
      })
{
    setObjectName(QStringLiteral("SystemConfig"));
    for (const Language language : CLanguageNames::GetInstance().GetKeysInOrder()) {
        m_languageBox->addItem(QString::fromStdWString(CLanguageNames::GetInstance().Get(language)),
                               static_cast<int>(language));
    }
    for (CSpinBox* box : {m_bgmBox, m_seBox}) {
        box->setRange(0, 100);
        box->setStyleSheet(SpinBoxStyleSheet());
    }
    for (CSlider* slider : {m_bgmSlider, m_seSlider}) {
        slider->setRange(0, 100);
        slider->setMinimumWidth(100);
    }
    for (CPushButton* button : {m_browseButton, m_okButton, m_cancelButton, m_defaultButton, m_applyButton})
        button->SetUp();
    m_logPathEdit->setMinimumWidth(150);
    m_browseButton->setFixedWidth(32);

    connect(m_bgmBox, qOverload<int>(&QSpinBox::valueChanged), m_bgmSlider, &QSlider::setValue);
    connect(m_bgmSlider, &QSlider::valueChanged, m_bgmBox, &QSpinBox::setValue);
    connect(m_seBox, qOverload<int>(&QSpinBox::valueChanged), m_seSlider, &QSlider::setValue);
    connect(m_seSlider, &QSlider::valueChanged, m_seBox, &QSpinBox::setValue);
    // The mixers follow the sliders at once; Cancel puts them back.
    connect(m_bgmSlider, &QSlider::valueChanged, this, [](int volume) {
        GetScreenSound()->SetBgmMute(volume == 0);
        GetScreenSound()->SetBgmVolume(volume);
    });
    connect(m_seSlider, &QSlider::valueChanged, this, [](int volume) {
        GetScreenSound()->SetSeMute(volume == 0);
        GetScreenSound()->SetSeVolume(volume);
    });
    connect(m_seSlider, &QSlider::sliderReleased, this,
            [] { GetScreenSound()->PlaySe(Sound::SeWindowOpened, false); });
    connect(m_okButton, &QPushButton::clicked, this, &CSystemConfigScene::SendOK);
    connect(m_cancelButton, &QPushButton::clicked, this, &CSystemConfigScene::CancelProcess);
    connect(m_applyButton, &QPushButton::clicked, this, [this] { ApplySettings(); });
    connect(m_defaultButton, &QPushButton::clicked, this, &CSystemConfigScene::Init);
    connect(m_browseButton, &QPushButton::clicked, this, &CSystemConfigScene::OpenLogPathDialog);
}

void CSystemConfigScene::SetDirectoryChooser(DirectoryChooser chooser)
{
    if (chooser) m_chooseDirectory = std::move(chooser);
}

QWidget* CSystemConfigScene::GetFirstWidget() const
{
    return m_soundBox;
}

void CSystemConfigScene::AddRow(CSystemConfigCollection* pCollection, const QString& label, QWidget* widget,
                                const QString& help)
{
    CTextItem* text = pCollection->CreateTextItem(label, pCollection);
    auto* item = new CWidgetItem(widget, help, pCollection);
    // A box gets room for its longest entry; the pairs are laid out already.
    if (widget->layout() == nullptr) item->setMinimumWidth(item->size().width() * 3 / 2);
    connect(item, &CWidgetItem::HelpSent, this, &CSystemConfigScene::HelpSent);
    connect(text, &CTextItem::Hovered, this,
            [this, item](const CTextItem* pTextItem) { SendHelpOfLabel(pTextItem, item); });
    pCollection->GetLabels().append(text);
    pCollection->GetValues().append(item);
}

void CSystemConfigScene::SetUp()
{
    if (m_isSetUp) return;
    m_isSetUp = true;
    Update();
    const QString restart =
        QStringLiteral("\n\n") + tr("Please restart the program to apply the change completely.");
    const QString needsSound = tr(
        "To work this option, \"Sound\" option needs to be \"ON\" (the master volume needs to be unmuted).");
    const QString range = tr("The minimum value is 0(=Mute). The maximum value is 100.\n");
    QString logHelp =
        tr("You can change the path of the directory in which logs are saved.\nIf the textbox is "
           "empty, logs are saved in the directory of this program.");
    if (!m_logPathEdit->text().isEmpty())
        logHelp += QStringLiteral("\n\n") + tr("Current Log Path: ") + m_logPathEdit->text();

    m_first = new CSystemConfigCollection(QRectF(0, 0, 320, 10));
    m_second = new CSystemConfigCollection(QRectF(0, 0, 320, 10));
    AddRow(
        m_first, tr("Sound"), m_soundBox,
        tr("You can change the sound volume.\nWhen you select \"ON\", the sound is played. When \"OFF\", the "
           "sound is muted.\nAt \"Sound\" option, the master volume of all sounds(BGM and SE) is "
           "changed.\nIf "
           "\"Sound\" option is \"OFF\", all sounds are muted.\nAt \"BGM\" and \"SE\" option, each volume is "
           "changed."));
    AddRow(m_first, tr("BGM"), Pair(m_bgmBox, m_bgmSlider),
           tr("You can change the only BGM volume.\n") + range + tr("The default value is 80.\n") +
               needsSound);
    AddRow(m_first, tr("SE"), Pair(m_seBox, m_seSlider),
           tr("You can change the only SE volume.\n") + range + tr("The default value is 100.\n") +
               needsSound);
    AddRow(m_first, tr("Animation"), m_animationBox, tr("You can enable or disable the battle animations."));
    AddRow(
        m_second, tr("OpenGL"), m_openGLBox,
        tr("You can enable or disable the OpenGL.\nSelect \"OFF\" if a problem occurs or you want to reduce "
           "memory usage.") +
            restart);
    AddRow(m_second, tr("Language"), m_languageBox,
           tr("You can change the display language of this program.") + restart);
    AddRow(m_second, tr("Log Path"), Pair(m_logPathEdit, m_browseButton), logHelp);
    addItem(m_first);
    addItem(m_second);

    m_label = addPixmap(QPixmap(QStringLiteral(":/Resources/SystemConfigLabel.png")));

    // The button bar: one width for the four.
    m_buttonFrame = addRect(QRectF(), FramePen(), Qt::NoBrush);
    int widest = 0;
    for (CPushButton* button : {m_okButton, m_cancelButton, m_defaultButton, m_applyButton})
        widest = std::max(widest, button->sizeHint().width());
    const int common = m_defaultButton->text() == QLatin1String("Default") ? widest * 4 / 3 : widest * 10 / 9;
    for (CPushButton* button : {m_okButton, m_cancelButton, m_defaultButton, m_applyButton}) {
        button->setMinimumWidth(common);
        auto* proxy = new QGraphicsProxyWidget(m_buttonFrame);
        proxy->setWidget(button);
    }

    m_bar = new CNotificationBar;
    m_bar->setZValue(1001);
    addItem(m_bar);
    m_bar->hide();

    // Reading order for Tab.
    m_tabOrder = {m_soundBox,     m_bgmBox,       m_bgmSlider,     m_seBox,       m_seSlider,
                  m_animationBox, m_openGLBox,    m_languageBox,   m_logPathEdit, m_browseButton,
                  m_okButton,     m_cancelButton, m_defaultButton, m_applyButton};
    for (std::size_t i = 1; i < m_tabOrder.size(); ++i) {
        QGraphicsProxyWidget* before = m_tabOrder[i - 1]->window()->graphicsProxyWidget();
        QGraphicsProxyWidget* after = m_tabOrder[i]->window()->graphicsProxyWidget();
        if (before != after) {
            if (before != nullptr && after != nullptr) QGraphicsWidget::setTabOrder(before, after);
        } else {
            QWidget::setTabOrder(m_tabOrder[i - 1], m_tabOrder[i]);
        }
    }
    Layout(720);
}

void CSystemConfigScene::Layout(int viewWidth)
{
    if (!m_isSetUp) return;
    const int width = std::max(viewWidth, 720);
    const int columnWidth = (width - 2 * Margin - ColumnGap) / 2;
    const int x = Margin;
    m_label->setPos(x + 8, 39);
    const int y = 39 + m_label->pixmap().height() + 25;
    m_first->setPos(x, y);
    m_first->AdjustPosition(QSize(columnWidth, 10));
    m_second->setPos(x + columnWidth + ColumnGap, y);
    m_second->AdjustPosition(QSize(columnWidth, 10));
    const int bottom = y + static_cast<int>(std::max(m_first->rect().height(), m_second->rect().height()));

    // Buttons right-aligned in their frame, 24 below the rows.
    int right = width - Margin - 8;
    const int barTop = bottom + 16;
    int barHeight = 0;
    const QList<QGraphicsItem*> proxies = m_buttonFrame->childItems();
    for (auto it = proxies.crbegin(); it != proxies.crend(); ++it) {
        const QSize size = WholePixelSize(*it);
        right -= size.width();
        (*it)->setPos(right, barTop + 8);
        right -= 12;
        barHeight = std::max(barHeight, size.height());
    }
    m_buttonFrame->setRect(Margin, barTop, width - 2 * Margin, barHeight + 16);
    m_bar->SetFixedWidth();
    m_bar->SetWidth(2 * (width / 3));
    setSceneRect(0, 0, width - 2, std::max(378, barTop + barHeight + 16 + 4));
}

void CSystemConfigScene::AdjustViewPosition(const QSize& size)
{
    if (size.width() > 0) Layout(size.width());
}

void CSystemConfigScene::Reset()
{
    m_okButton->setEnabled(true);
    m_bar->Hide();
    m_soundBox->setFocus(Qt::OtherFocusReason);
}

void CSystemConfigScene::Init()
{
    const CSystemConfig defaults;
    m_soundBox->setCurrentIndex(1);
    m_bgmBox->setValue(defaults.MuteBGM ? 0 : defaults.BGM);
    m_seBox->setValue(defaults.MuteSE ? 0 : defaults.SE);
    SetIndexOfData(m_openGLBox, defaults.OpenGL);
    SetIndexOfData(m_animationBox, defaults.Animation);
    m_languageBox->setCurrentIndex(defaults.Language);
}

void CSystemConfigScene::Update()
{
    const CSystemConfig& settings = CSystemConfig::GetInstance();
    m_soundBox->setCurrentIndex(settings.Sound != 0 ? 1 : 0);
    m_bgmBox->setValue(settings.MuteBGM ? 0 : settings.BGM);
    m_seBox->setValue(settings.MuteSE ? 0 : settings.SE);
    SetIndexOfData(m_openGLBox, settings.OpenGL);
    SetIndexOfData(m_animationBox, settings.Animation);
    m_languageBox->setCurrentIndex(std::clamp(settings.Language, 0, m_languageBox->count() - 1));
    m_logPathEdit->setText(QString::fromStdWString(settings.LogPath));
}

QString CSystemConfigScene::CheckLogPath(const QString& path) const
{
    if (path.isEmpty()) return QString();
    const QFileInfo folder(path);
    if (!folder.exists() || !folder.isDir()) return tr("The log folder does not exist:\n%1").arg(path);
    if (!folder.isWritable()) return tr("The log folder cannot be written to:\n%1").arg(path);
    return QString();
}

bool CSystemConfigScene::ApplySettings()
{
    const QString path = m_logPathEdit->text();
    const QString problem = CheckLogPath(path);
    if (!problem.isEmpty()) {
        m_bar->Show(QPoint(0, 0), problem, ScreenTiming::FailureNotice);
        m_bar->setPos(static_cast<int>(sceneRect().width() - m_bar->rect().width()) / 2, 8);
        m_logPathEdit->setFocus(Qt::OtherFocusReason);
        return false;
    }
    CSystemConfig& settings = CSystemConfig::GetInstance();
    settings.Sound = m_soundBox->currentData().toBool() ? 100 : 0;
    settings.BGM = std::clamp(m_bgmBox->value(), 0, 100);
    settings.MuteBGM = settings.BGM == 0;
    settings.SE = std::clamp(m_seBox->value(), 0, 100);
    settings.MuteSE = settings.SE == 0;
    settings.OpenGL = m_openGLBox->currentData().toBool();
    settings.Animation = m_animationBox->currentData().toBool();
    settings.LogPath = path.toStdWString();
    settings.Language = m_languageBox->currentIndex();
    if (!CIniManager::GetInstance().Save()) qWarning("The settings file could not be written");
    emit Selected(AppliedCode);
    return true;
}

void CSystemConfigScene::SendOK()
{
    if (!m_okButton->isEnabled()) return;
    if (!ApplySettings()) return;
    m_okButton->setEnabled(false);
    emit Selected(NextCode);
}

void CSystemConfigScene::CancelProcess()
{
    // The mixers go back to the saved volumes the sliders moved.
    const CSystemConfig& settings = CSystemConfig::GetInstance();
    GetScreenSound()->SetBgmMute(settings.MuteBGM);
    GetScreenSound()->SetBgmVolume(settings.BGM);
    GetScreenSound()->SetSeMute(settings.MuteSE);
    GetScreenSound()->SetSeVolume(settings.SE);
    Update();
    emit Selected(BackCode);
}

void CSystemConfigScene::OpenLogPathDialog()
{
    const QString folder = m_chooseDirectory(nullptr, tr("Select Directory"), m_logPathEdit->text());
    if (!folder.isEmpty()) m_logPathEdit->setText(QDir::toNativeSeparators(folder));
}

void CSystemConfigScene::SendHelpOfLabel(const CTextItem* pTextItem, const CWidgetItem* pWidgetItem)
{
    if (pTextItem != nullptr && pWidgetItem != nullptr) {
        emit HelpSent(pWidgetItem->GetHelpText());
        return;
    }
    emit HelpSent(QString());
}

CSystemConfigSequence* CSystemConfigSequence::GetInstance()
{
    static QPointer<CSystemConfigSequence> instance;
    if (instance == nullptr) instance = new CSystemConfigSequence;
    return instance;
}

CSystemConfigSequence::CSystemConfigSequence() : CSetupSequence(SequenceType::SystemConfig, 0x08)
{
    setObjectName(QStringLiteral("SystemConfigSequence"));
}

void CSystemConfigSequence::Init()
{
    m_scene = GetSceneSet()->Get<CSystemConfigScene>(SceneSlot::SystemConfig);
    m_messageScene = GetSceneSet()->Get(SceneSlot::Message);
    if (m_scene != nullptr) {
        m_scene->SetUp();
        connect(m_scene, &CSystemConfigScene::Selected, this,
                static_cast<void (CGameSequence::*)(MessageCode)>(&CGameSequence::Update),
                Qt::UniqueConnection);
        connect(m_scene, &CSystemConfigScene::HelpSent, this,
                [this](const QString& help) { MessagePane::Set(m_messageScene, help); });
    }
    SetInstalled();
}

void CSystemConfigSequence::Start()
{
    ResetLeaving();
    if (m_scene != nullptr) {
        m_scene->Update();
        m_scene->Reset();
    }
    Show();
    // The track before this screen fades out first.
    QTimer::singleShot(ScreenTiming::Scaled(2000), this, [this] {
        if (!IsLeaving()) GetScreenSound()->PlayBgm(Sound::BgmRelaxation);
    });
}

void CSystemConfigSequence::Show()
{
    if (m_scene != nullptr && m_scene->GetView() != nullptr) m_scene->GetView()->Show();
    if (m_messageScene != nullptr && m_messageScene->GetView() != nullptr) m_messageScene->GetView()->Show();
    show();
    if (m_messageScene != nullptr && m_messageScene->GetView() != nullptr)
        m_messageScene->AdjustViewPosition(m_messageScene->GetView()->size());
    if (m_scene != nullptr && m_scene->GetView() != nullptr) {
        m_scene->GetView()->setFocus(Qt::OtherFocusReason);
        m_scene->GetFirstWidget()->setFocus(Qt::OtherFocusReason);
    }
}

void CSystemConfigSequence::Update(MessageCode code)
{
    switch (code) {
    case NextCode:
    case BackCode:
        if (BeginLeaving()) ReturnToPrevious();
        break;
    case AppliedCode:
        if (auto* mainWindow = qobject_cast<CMainWindow*>(window())) {
            mainWindow->LoadLanguage();
            for (const auto& callback : mainWindow->GetUpdateCallbacks()) {
                if (callback) callback();
            }
        }
        break;
    case ReloadCode:
        if (m_scene != nullptr) m_scene->Update();
        break;
    default:
        break;
    }
}

} // namespace Marevane
