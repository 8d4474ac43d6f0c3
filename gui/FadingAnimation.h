// Fades a graphics item in or out through its opacity.
#pragma once

#include "gui/Animation.h"

#include <QGraphicsItem>

#include <type_traits>

namespace Marevane {

class CFadingAnimation : public CAnimation {
    Q_OBJECT
  public:
    explicit CFadingAnimation(QObject* parent = nullptr);
    // Item: an object that is also a graphics item with an "opacity"
    // property. A shown item fades out, a hidden one fades in.
    template <class Item>
    explicit CFadingAnimation(Item* item, QObject* parent = nullptr)
        : CFadingAnimation(static_cast<QObject*>(item), static_cast<QGraphicsItem*>(item), parent)
    {
        static_assert(std::is_base_of_v<QObject, Item> && std::is_base_of_v<QGraphicsItem, Item>);
    }

    template <class Item> void SetItem(Item* item)
    {
        static_assert(std::is_base_of_v<QObject, Item> && std::is_base_of_v<QGraphicsItem, Item>);
        SetItem(static_cast<QObject*>(item), static_cast<QGraphicsItem*>(item));
    }
    void ClearItem() { SetItem(nullptr, nullptr); }
    QGraphicsItem* GetItem() const;

    // In ms of real play; the run is scaled by the screen timing factor.
    int GetFadeDuration() const { return m_duration; }
    void SetFadeDuration(int ms) { m_duration = ms; }
    bool IsFadeIn() const { return m_isFadeIn; }
    void SetFadeIn(bool isFadeIn) { m_isFadeIn = isFadeIn; }

    bool IsValid() const override;

  public slots:
    void Init() override;
    // Starts the fade; with the Animation setting off the item takes its
    // end opacity at once.
    void StartImpl(Marevane::MessageCode code, QAbstractAnimation::DeletionPolicy policy) override;

  private:
    CFadingAnimation(QObject* object, QGraphicsItem* item, QObject* parent);
    void SetItem(QObject* object, QGraphicsItem* item);

    QGraphicsItem* m_item = nullptr;
    int m_duration;
    bool m_isFadeIn = true;
};

} // namespace Marevane
