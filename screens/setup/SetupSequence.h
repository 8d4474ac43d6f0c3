// What the set-up and closing sequences share: leaving a screen once per
// visit (a second "Next" or "Back" before the screen has changed does
// nothing), screen changes that report a failure instead of throwing out of
// a slot, and the message pane's lines.
#pragma once

#include "app/GameSequence.h"
#include "app/SequenceMakers.h"

#include <QString>

namespace Marevane {

class CGameScene;

class CSetupSequence : public CGameSequence {
    Q_OBJECT
  public:
    CSetupSequence(int type, unsigned flags);

    bool IsLeaving() const { return m_isLeaving; }

  public slots:
    void Hide() override;

  protected:
    // True the first time in a visit; Start() of every sequence calls ResetLeaving().
    bool BeginLeaving();
    void ResetLeaving() { m_isLeaving = false; }

    // The screen changes; each hands the sequence to the manager or drops it.
    void PushSequence(CGameSequence* pSequence);
    void PushSequence(int type, const SequenceArgs& args = SequenceArgs());
    void ReplaceWithSequence(CGameSequence* pSequence);
    void ReturnToIndex(int index);
    void ReturnToPrevious();

    // Closes every connection of the TCP server and the client, when installed.
    void ResetNetwork();

    // The unit factory, when installed.
    class CUnitFactory* GetUnitFactory() const;

  private:
    bool m_isLeaving = false;
};

// The message pane of a screen, when the scene there is the message scene.
namespace MessagePane {
// Replaces its lines by the text.
void Set(CGameScene* pScene, const QString& text);
// Empties it, then adds one line without scrolling.
void Show(CGameScene* pScene, const QString& text);
} // namespace MessagePane

} // namespace Marevane
