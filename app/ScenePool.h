// Owns every scene and the view that shows it. A scene is made the first
// time a sequence type needs it, its view laid into that sequence's grid,
// and the sequence is handed the record of its scenes; a scene goes when
// the last sequence that used it is gone, so scenes carry over from one
// screen to the next (the fleet formation's map is the battle's).
//
// Each slot has a maker: the screens give theirs; a slot without one gets a
// stand-in scene of the right size that names the screen to come.
#pragma once

#include "app/SceneSet.h"

#include <QObject>
#include <QPointer>
#include <QRect>

#include <array>
#include <functional>
#include <map>
#include <vector>

namespace Marevane {

class CBoard;
class CGameEdit;
class CGameSequence;
class CGameView;

// What a scene may be made with.
struct SceneInputs {
    CBoard* pBoard = nullptr;
    CGameEdit* pGameEdit = nullptr;
    QRect rect; // the message scene's area
};

struct SceneMaker {
    std::function<CGameScene*(const SceneInputs&)> createScene;
    // Built on the new scene at once; the pool owns it.
    std::function<CGameView*(CGameScene*)> createView;
};
using SceneMakers = std::map<SceneSlot, SceneMaker>;

class CScenePool : public QObject {
    Q_OBJECT
  public:
    // One cell of a sequence's grid.
    struct Cell {
        SceneSlot slot;
        int row;
        int column;
        bool isAllRows; // spans every row of the grid
    };

    CScenePool(CBoard* pBoard, CGameEdit* pGameEdit, SceneMakers makers = {}, QObject* parent = nullptr);
    ~CScenePool() override;

    // The grid of a sequence type, empty outside 0 to 13.
    static std::vector<Cell> GridOf(int type);

    // Makes the missing scenes of a sequence type.
    void CreateScenes(int type);
    // Lays the sequence's scenes into its grid, registers it as a user of
    // each, and installs the record of its scenes. A scene that cannot be
    // made throws std::out_of_range.
    void SetUp(CGameSequence* pSequence);

    CGameScene* GetScene(SceneSlot slot) const;
    CGameView* GetView(SceneSlot slot) const;
    // How many sequences use the scene of the slot.
    int CountUsers(SceneSlot slot) const;
    bool IsLaidOut(const CGameSequence* pSequence) const;

  public slots:
    // Forgets the sequence; a scene it was the last user of is deleted
    // with its view.
    void Remove(Marevane::CGameSequence* pSequence);
    void Remove();

  private:
    struct Slot {
        QPointer<CGameScene> scene;
        QPointer<CGameView> view;
        std::vector<const CGameSequence*> users;
    };

    void Create(SceneSlot slot, const QRect& rect = QRect());
    // Makes the message scene under the view of that slot, or in the area.
    void CreateMessage(SceneSlot above);
    void SetLabel(SceneSlot slot, const QString& path);
    void Free(Slot& slot);
    Slot& At(SceneSlot slot) { return m_slots[static_cast<std::size_t>(slot)]; }
    const Slot& At(SceneSlot slot) const { return m_slots[static_cast<std::size_t>(slot)]; }
    // The view laid out for the scene of the slot (a scene may name its own).
    CGameView* LaidOutView(SceneSlot slot) const;

    CBoard* m_board;
    CGameEdit* m_gameEdit;
    SceneMakers m_makers;
    std::array<Slot, SceneSlotCount> m_slots;
    std::vector<const CGameSequence*> m_sequences;
};

} // namespace Marevane
