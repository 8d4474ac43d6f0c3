// The base of every screen-flow step (a "sequence"): a widget on the
// sequence manager's stack with a sequence type, which picks its scenes,
// and module flags, which name the shared objects it is given before its
// first start.
#pragma once

#include "model/Types.h"

#include <QWidget>

#include <map>
#include <stdexcept>

namespace Marevane {

class CAudienceManager;
class CBoard;
class CGameEdit;
class CScenePool;
class CShipFactory;
class CTcpClient;
class CTcpServer;
class CUnit;
class CUnitFactory;

// The keys the shared objects are installed under.
enum ModuleKey : int {
    GameEditModule = 1,
    GameMapModule = 2,
    SceneSetModule = 8,
    TcpServerModule = 16,
    TcpClientModule = 32,
    UnitFactoryModule = 64,
    ShipFactoryModule = 128,
    ScenePoolModule = 256,
    AudienceManagerModule = 512,
};

// Bits of the module flags: which objects a sequence asks for.
namespace ModuleFlag {
inline constexpr unsigned GameEdit = 0x01;
inline constexpr unsigned GameMap = 0x02;
inline constexpr unsigned UnitFactory = 0x04;
inline constexpr unsigned SceneSetUp = 0x08;
inline constexpr unsigned TcpServer = 0x10;
inline constexpr unsigned TcpClient = 0x20;
inline constexpr unsigned Units = 0x40; // also the unit factory
inline constexpr unsigned ShipFactory = 0x80;
inline constexpr unsigned ScenePool = 0x100;
inline constexpr unsigned AudienceManager = 0x200;
} // namespace ModuleFlag

// The type stored under each key; only these keys can be used.
template <int Key> struct ModuleTypeOf;
template <> struct ModuleTypeOf<GameEditModule> {
    using Type = CGameEdit;
};
template <> struct ModuleTypeOf<GameMapModule> {
    using Type = CBoard;
};
template <> struct ModuleTypeOf<TcpServerModule> {
    using Type = CTcpServer;
};
template <> struct ModuleTypeOf<TcpClientModule> {
    using Type = CTcpClient;
};
template <> struct ModuleTypeOf<UnitFactoryModule> {
    using Type = CUnitFactory;
};
template <> struct ModuleTypeOf<ShipFactoryModule> {
    using Type = CShipFactory;
};
template <> struct ModuleTypeOf<ScenePoolModule> {
    using Type = CScenePool;
};
template <> struct ModuleTypeOf<AudienceManagerModule> {
    using Type = CAudienceManager;
};

class CGameSequence : public QWidget {
    Q_OBJECT
  public:
    explicit CGameSequence(int type);
    ~CGameSequence() override;

    int GetType() const { return m_type; }
    unsigned GetModuleFlags() const { return m_moduleFlags; }
    // Set by the derived Init() when it ends; a sequence is initialised once.
    bool IsInstalled() const { return m_isInstalled; }

    // Stores a shared object under its key, replacing an earlier one.
    template <int Key> void InstallModule(typename ModuleTypeOf<Key>::Type* module)
    {
        m_modules[Key] = static_cast<void*>(module);
    }
    bool HasModule(int key) const { return m_modules.count(key) != 0; }

  signals:
    void SequenceStopped();
    void Destroyed(Marevane::CGameSequence* pSequence = nullptr);

  public slots:
    // Once, after the modules are installed; ends with SetInstalled().
    virtual void Init() = 0;
    // On every entry.
    virtual void Start() = 0;
    // Codes from the sequence's scenes, animations and network.
    virtual void Update(Marevane::MessageCode code) = 0;
    void Update();
    // Hides the sequence and reports it stopped; the manager then deletes it.
    void Stop();
    virtual void Show() = 0;
    virtual void Hide() = 0;

  protected:
    // The installed object; a missing key throws std::out_of_range.
    template <int Key> typename ModuleTypeOf<Key>::Type* GetModule() const
    {
        const auto found = m_modules.find(Key);
        if (found == m_modules.end()) throw std::out_of_range("invalid unordered_map<K, T> key");
        return static_cast<typename ModuleTypeOf<Key>::Type*>(found->second);
    }
    CGameEdit* GetGameEdit() const { return GetModule<GameEditModule>(); }
    CBoard* GetGameMap() const { return GetModule<GameMapModule>(); }
    CTcpServer* GetTcpServer() const { return GetModule<TcpServerModule>(); }
    CShipFactory* GetShipFactory() const { return GetModule<ShipFactoryModule>(); }
    // The local player's side, or none when the unit factory is none.
    CUnit* GetMyUnit() const;

    void SetModuleFlags(unsigned flags) { m_moduleFlags = flags; }
    void SetInstalled() { m_isInstalled = true; }

  private:
    std::map<int, void*> m_modules;
    unsigned m_moduleFlags = 0;
    int m_type;
    bool m_isInstalled = false;
};

} // namespace Marevane
