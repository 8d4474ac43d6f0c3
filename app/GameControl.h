// The program's top-level object. It makes and owns, for the whole run, the
// objects the screens share (the main window, the rules, the map, the unit
// and ship factories, the TCP server and client, the scene pool, the
// audience manager and the sound managers), starts the screen flow with the
// title, and each time a sequence becomes current hands it the objects its
// module flags ask for and starts it.
#pragma once

#include "app/ScenePool.h"
#include "app/SoundControl.h"

#include <QObject>

#include <functional>
#include <memory>

namespace Marevane {

class CAudienceManager;
class CBoard;
class CGameEdit;
class CGameSequence;
class CMainWindow;
class CShipFactory;
class CSocketTcpClient;
class CSocketTcpServer;
class CUnitFactory;

// The screens the program is built with; a stand-in takes the place of
// any that is missing.
struct GameScreens {
    // The first screen, given the sound managers' control.
    std::function<CGameSequence*(CSoundControl*)> createTitle;
    // The one system configuration sequence, made on first use.
    std::function<CGameSequence*()> systemConfig;
    // Scenes and views by pool slot.
    SceneMakers scenes;
};

class CGameControl : public QObject {
    Q_OBJECT
  public:
    // Null sound: the game's sound managers.
    explicit CGameControl(GameScreens screens = GameScreens(),
                          std::unique_ptr<CSoundControl> sound = nullptr);
    // The screens go first, while every object they use still stands; then
    // the objects in the reverse order of their making, the sound last.
    ~CGameControl() override;

    // Installs the objects the sequence's module flags name, lays out its
    // scenes and runs its Init, once; on later entries only lays out its
    // scenes again. Throws std::runtime_error for no sequence.
    void InstallModules(CGameSequence* pSequence);

    CMainWindow* GetMainWindow() const { return m_mainWindow.get(); }
    CGameEdit* GetGameEdit() const { return m_gameEdit.get(); }
    CBoard* GetBoard() const { return m_board.get(); }
    CUnitFactory* GetUnitFactory() const { return m_unitFactory.get(); }
    CShipFactory* GetShipFactory() const { return m_shipFactory.get(); }
    CSocketTcpServer* GetTcpServer() const { return m_tcpServer.get(); }
    CSocketTcpClient* GetTcpClient() const { return m_tcpClient.get(); }
    CScenePool* GetScenePool() const { return m_scenePool.get(); }
    CAudienceManager* GetAudienceManager() const { return m_audienceManager.get(); }
    CSoundControl* GetSound() const { return m_sound.get(); }

  public slots:
    // Starts the screen flow with the title and shows the window.
    void Init();
    // Installs and starts the sequence that became current; a failure is
    // shown to the user, the program goes on.
    void Play();
    void End();

  private:
    void MakeScenesDuringFade(CGameSequence* pSequence);

    GameScreens m_screens;
    std::unique_ptr<CSoundControl> m_sound;
    std::unique_ptr<CMainWindow> m_mainWindow;
    std::unique_ptr<CGameEdit> m_gameEdit;
    std::unique_ptr<CBoard> m_board;
    std::unique_ptr<CUnitFactory> m_unitFactory;
    std::unique_ptr<CShipFactory> m_shipFactory;
    std::unique_ptr<CSocketTcpServer> m_tcpServer;
    std::unique_ptr<CSocketTcpClient> m_tcpClient;
    std::unique_ptr<CScenePool> m_scenePool;
    std::unique_ptr<CAudienceManager> m_audienceManager;
};

} // namespace Marevane
