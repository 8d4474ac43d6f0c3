// The screen-flow machine: the sequences as a stack of widgets on one
// stacked layout, the current one, and the changes between them, each
// behind a screen fade. A change requested during a fade waits for a fade
// of its own; targets are worked out when the change runs.
#pragma once

#include "app/GameSequence.h"
#include "model/Types.h"

#include <QObject>
#include <QPointer>
#include <QStackedLayout>
#include <QWidget>

#include <functional>
#include <vector>

namespace Marevane {

class CScreenFadeAnimation;

class CSequenceManager : public QObject {
    Q_OBJECT
  public:
    // Codes the fade reports: a new sequence, or one already on the stack.
    static constexpr MessageCode NewSequenceCode = 34;
    static constexpr MessageCode KnownSequenceCode = 35;

    // Built on first use; needs the application object.
    static CSequenceManager* GetInstance();
    // Removes and deletes every sequence and the container, while the
    // application object still exists; the next GetInstance() builds a new
    // manager. Its owner calls it; without that it runs as the application ends.
    static void Shutdown();

    // The widget holding the layout: the main window's central widget.
    QWidget* GetContainer() const;
    QStackedLayout* GetLayout() const;
    CScreenFadeAnimation* GetFade() const { return m_fade; }

    // The current sequence; while a fade shows black, the one being changed to.
    CGameSequence* GetCurrentSequence() const { return m_current; }
    // Its index on the stack, -1 when there is none.
    int GetCurrentIndex() const;
    // The index of the top sequence (the fade's overlay never counts), -1 when empty.
    int GetMaxIndex() const;
    int GetSequenceCount() const { return GetMaxIndex() + 1; }
    CGameSequence* GetSequence(int index) const;
    int IndexOf(const CGameSequence* pSequence) const;
    // The sequence just below the current one, or none.
    CGameSequence* GetPrevSequence() const;
    // Whether a screen change is under way.
    bool IsChanging() const;

    // Switches to the sequence at the index, keeping the stack. Throws
    // std::invalid_argument when no sequence is there.
    void MoveTo(int index);
    // Switches to the sequence when it is on the stack, else puts it in
    // place of the current one.
    void MoveTo(CGameSequence* pSequence);
    void MoveToFirst();
    void MoveToLast();
    void MoveToPrev();
    void MoveToNext();
    // By num places, kept within the stack.
    void MoveBy(int num);
    // Switches to the sequence at the index and drops every sequence above
    // it. Throws std::invalid_argument when no sequence is there.
    void ReturnTo(int index, const CGameSequence* pFrom = nullptr);
    // The same for a sequence on the stack; one not on it replaces the
    // current sequence after those above are dropped. Returning to the
    // sequence that is current with nothing above it does nothing, so two
    // "back" triggers in one fade go back once.
    void ReturnTo(CGameSequence* pSequence);
    void ReturnToFirst();
    void ReturnToPrev();
    void ReturnBy(int num);
    // Puts the sequence in place of the current one, which is removed.
    void ReplaceWith(CGameSequence* pSequence, const CGameSequence* pFrom = nullptr);
    // Puts the sequence on top and switches to it.
    void Add(CGameSequence* pSequence);
    void Push(CGameSequence* pSequence, const CGameSequence* pFrom = nullptr);
    // Puts the sequence at the index (one above the top at most) and
    // switches to it; another index is ignored.
    void Insert(int index, CGameSequence* pSequence);
    // pFrom above names the sequence asking: its change is dropped when,
    // by the time the change runs, another sequence is current, so a delayed
    // step of a screen being left cannot take the player on from elsewhere.
    // Removes the top sequence; when it is current, returns to the one below.
    void Pop();
    // Removes every sequence at once.
    void Clear();

  signals:
    void NewSequenceSet();
    void SequenceChanged();

  private slots:
    void UpdateIndex(Marevane::MessageCode code);

  private:
    using Resolver = std::function<int()>;

    CSequenceManager();
    ~CSequenceManager() override;

    bool IsSequenceIndex(int index) const;
    int ClampIndex(int index) const;
    void RequestMove(const Resolver& target, bool isReturn, const char* error,
                     const CGameSequence* pFrom = nullptr);
    void RequestInsert(CGameSequence* pSequence, const Resolver& index, const CGameSequence* pFrom = nullptr);
    std::function<bool()> StillCurrent(const CGameSequence* pFrom, CGameSequence* pNew = nullptr) const;
    void Remove(CGameSequence* pSequence);
    void DeleteFrom(int index);

    // The steps run on the black screen; each answers the index to show.
    int MoveStep(int target, bool isReturn);
    int InsertStep(CGameSequence* pSequence, int index);
    int ReplaceStep(CGameSequence* pSequence);
    // The manager owns a sequence from the request on; until its change
    // runs, it is kept here.
    void Hand(CGameSequence* pSequence);

    QPointer<QWidget> m_container;
    QPointer<QStackedLayout> m_layout;
    CScreenFadeAnimation* m_fade;
    QPointer<CGameSequence> m_current;
    std::vector<QPointer<CGameSequence>> m_handed;
};

} // namespace Marevane
