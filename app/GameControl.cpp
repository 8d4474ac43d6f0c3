#include "app/GameControl.h"

#include "app/GameSequence.h"
#include "app/GameView.h"
#include "app/MainWindow.h"
#include "app/SequenceMakers.h"
#include "app/SequenceManager.h"
#include "app/SoundControl.h"
#include "app/StandInScreens.h"
#include "gui/ScreenFadeAnimation.h"
#include "model/Board.h"
#include "model/GameEdit.h"
#include "model/ShipFactory.h"
#include "model/UnitFactory.h"
#include "net/AudienceManager.h"
#include "net/SocketTcpClient.h"
#include "net/SocketTcpServer.h"

#include <QCoreApplication>

#include <exception>
#include <memory>
#include <stdexcept>

namespace Marevane {

namespace {

GameScreens WithStandIns(GameScreens screens)
{
    if (!screens.createTitle) {
        screens.createTitle = [](CSoundControl* sound) { return new StandIn::CTitleSequence(sound); };
    }
    if (!screens.systemConfig)
        screens.systemConfig = [] { return StandIn::CSystemConfigSequence::GetInstance(); };
    return screens;
}

} // namespace

CGameControl::CGameControl(GameScreens screens, std::unique_ptr<CSoundControl> sound)
    : m_screens(WithStandIns(std::move(screens))), m_sound(sound ? std::move(sound) : CreateSoundControl())
{
    // The main window passes the stored volumes on at once, so the sound
    // managers come first.
    m_sound->Start();
    SetScreenSound(m_sound.get());
    m_mainWindow = std::make_unique<CMainWindow>(m_sound.get(), m_screens.systemConfig);
    m_gameEdit = std::make_unique<CGameEdit>();
    m_board = std::make_unique<CBoard>();
    m_unitFactory = std::make_unique<CUnitFactory>(m_board.get(), m_gameEdit.get());
    m_shipFactory = std::make_unique<CShipFactory>(m_board.get(), m_gameEdit.get());
    m_tcpServer = std::make_unique<CSocketTcpServer>();
    m_tcpClient = std::make_unique<CSocketTcpClient>();
    m_scenePool = std::make_unique<CScenePool>(m_board.get(), m_gameEdit.get(), m_screens.scenes);
    m_audienceManager = std::make_unique<CAudienceManager>();
    m_audienceManager->SetRules(m_gameEdit.get());
    m_audienceManager->SetUnitFactory(m_unitFactory.get());
    m_audienceManager->SetServer(m_tcpServer.get());
}

CGameControl::~CGameControl()
{
    // The sequences reach the objects below and their scenes live in the
    // pool: they go first, while the application object stands.
    CSequenceManager::Shutdown();
    m_audienceManager.reset();
    m_scenePool.reset();
    m_tcpClient.reset();
    m_tcpServer.reset();
    m_shipFactory.reset();
    m_unitFactory.reset();
    m_board.reset();
    m_gameEdit.reset();
    m_mainWindow.reset();
    if (GetScreenSound() == m_sound.get()) SetScreenSound(nullptr);
    m_sound->Stop();
    m_sound.reset();
}

void CGameControl::Init()
{
    CSequenceManager* manager = CSequenceManager::GetInstance();
    connect(manager, &CSequenceManager::NewSequenceSet, this, &CGameControl::Play, Qt::UniqueConnection);
    connect(manager, &CSequenceManager::SequenceChanged, this, &CGameControl::Play, Qt::UniqueConnection);
    m_mainWindow->setCentralWidget(manager->GetContainer());
    try {
        manager->ReturnTo(m_screens.createTitle(m_sound.get()));
    } catch (const std::exception& error) {
        m_mainWindow->ShowNotice(QString::fromUtf8(error.what()));
    }
    m_mainWindow->show();
    m_sound->LoadSe(Sound::SeTypeSystem);
    // The title is made once the first fade has gone to black; its viewport
    // is made meanwhile, once the fade's clock runs (made before, it would
    // only hold the fade back).
    if (CScreenFadeAnimation* fade = manager->GetFade()) {
        auto connection = std::make_shared<QMetaObject::Connection>();
        *connection = connect(fade, &QVariantAnimation::valueChanged, this, [fade, connection] {
            if (fade->currentTime() <= 0) return;
            disconnect(*connection);
            PrepareOpenGLViewport();
        });
    }
}

void CGameControl::Play()
{
    CGameSequence* sequence = CSequenceManager::GetInstance()->GetCurrentSequence();
    if (sequence == nullptr) {
        qWarning("A screen change left no sequence to start");
        return;
    }
    try {
        InstallModules(sequence);
        sequence->Start();
    } catch (const std::exception& error) {
        m_mainWindow->ShowNotice(
            tr("The screen could not be started: %1").arg(QString::fromUtf8(error.what())));
    }
}

void CGameControl::InstallModules(CGameSequence* pSequence)
{
    if (pSequence == nullptr)
        throw std::runtime_error("InstallModules(CGameSequence*): CGameSequence* is null.");
    const unsigned flags = pSequence->GetModuleFlags();
    if (pSequence->IsInstalled()) {
        // The scenes are laid out anew on every entry.
        if ((flags & ModuleFlag::SceneSetUp) != 0) m_scenePool->SetUp(pSequence);
        return;
    }
    const auto install = [pSequence, flags](unsigned flag, auto module, auto store) {
        if ((flags & flag) != 0 && module != nullptr) store(pSequence, module);
    };
    install(ModuleFlag::GameEdit, m_gameEdit.get(),
            [](CGameSequence* s, CGameEdit* m) { s->InstallModule<GameEditModule>(m); });
    install(ModuleFlag::GameMap, m_board.get(),
            [](CGameSequence* s, CBoard* m) { s->InstallModule<GameMapModule>(m); });
    install(ModuleFlag::UnitFactory, m_unitFactory.get(),
            [](CGameSequence* s, CUnitFactory* m) { s->InstallModule<UnitFactoryModule>(m); });
    install(ModuleFlag::TcpServer, m_tcpServer.get(),
            [](CGameSequence* s, CTcpServer* m) { s->InstallModule<TcpServerModule>(m); });
    install(ModuleFlag::TcpClient, m_tcpClient.get(),
            [](CGameSequence* s, CTcpClient* m) { s->InstallModule<TcpClientModule>(m); });
    install(ModuleFlag::Units, m_unitFactory.get(),
            [](CGameSequence* s, CUnitFactory* m) { s->InstallModule<UnitFactoryModule>(m); });
    install(ModuleFlag::ShipFactory, m_shipFactory.get(),
            [](CGameSequence* s, CShipFactory* m) { s->InstallModule<ShipFactoryModule>(m); });
    install(ModuleFlag::ScenePool, m_scenePool.get(),
            [](CGameSequence* s, CScenePool* m) { s->InstallModule<ScenePoolModule>(m); });
    install(ModuleFlag::AudienceManager, m_audienceManager.get(),
            [](CGameSequence* s, CAudienceManager* m) { s->InstallModule<AudienceManagerModule>(m); });
    if ((flags & ModuleFlag::SceneSetUp) != 0) m_scenePool->SetUp(pSequence);
    pSequence->Init();
}

void CGameControl::End()
{
    QCoreApplication::quit();
}

} // namespace Marevane
