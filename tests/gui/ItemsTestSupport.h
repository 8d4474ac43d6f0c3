// What the item tests share: a recorder in place of the sound-effect
// player, input sent straight into a scene, and renders of a scene saved
// as pictures under the build folder.
#pragma once

#include "gui/SoundFeedback.h"
#include "tests/gui/QtTestSupport.h"

#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QImage>
#include <QKeyEvent>
#include <QList>
#include <QVariant>

#include <type_traits>
#include <vector>

namespace Marevane::Testing {

// Records every effect the items play while it lives.
class SoundRecorder {
  public:
    SoundRecorder()
    {
        m_previous = SetSoundEffectPlayer([this](Sound::SeCode code, bool applyDucking) {
            m_played.push_back({code, applyDucking});
        });
    }
    ~SoundRecorder() { SetSoundEffectPlayer(std::move(m_previous)); }
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    std::vector<Sound::SeCode> Codes() const
    {
        std::vector<Sound::SeCode> codes;
        for (const auto& play : m_played) codes.push_back(play.code);
        return codes;
    }
    int Count(Sound::SeCode code) const
    {
        int count = 0;
        for (const auto& play : m_played) count += play.code == code ? 1 : 0;
        return count;
    }
    bool AllDucked() const
    {
        for (const auto& play : m_played)
            if (!play.applyDucking) return false;
        return true;
    }
    void Reset() { m_played.clear(); }

  private:
    struct Play {
        Sound::SeCode code;
        bool applyDucking;
    };
    std::vector<Play> m_played;
    SoundEffectPlayer m_previous;
};

// The arguments of every emission of one signal while it lives.
class SignalSpy : public QList<QList<QVariant>> {
  public:
    template <typename Object, typename Class, typename... Args>
    SignalSpy(Object* sender, void (Class::*signal)(Args...))
    {
        m_connection = QObject::connect(sender, signal, [this](Args... args) {
            append(QList<QVariant>{QVariant::fromValue(std::decay_t<Args>(args))...});
        });
    }
    ~SignalSpy() { QObject::disconnect(m_connection); }
    SignalSpy(const SignalSpy&) = delete;
    SignalSpy& operator=(const SignalSpy&) = delete;

  private:
    QMetaObject::Connection m_connection;
};

// A scene without a view takes keyboard focus once it is active.
inline void Activate(QGraphicsScene& scene)
{
    QEvent activate(QEvent::WindowActivate);
    QCoreApplication::sendEvent(&scene, &activate);
}

inline void PressKey(QGraphicsScene& scene, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&scene, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(&scene, &release);
}

// A press and a release at a scene point, found by the scene as a click would be.
inline void Click(QGraphicsScene& scene, const QPointF& at, Qt::MouseButton button = Qt::LeftButton)
{
    for (QEvent::Type type : {QEvent::GraphicsSceneMousePress, QEvent::GraphicsSceneMouseRelease}) {
        QGraphicsSceneMouseEvent event(type);
        event.setScenePos(at);
        event.setScreenPos(at.toPoint());
        event.setButtonDownScenePos(button, at);
        event.setButtonDownScreenPos(button, at.toPoint());
        event.setButton(button);
        event.setButtons(type == QEvent::GraphicsSceneMousePress ? button : Qt::NoButton);
        QCoreApplication::sendEvent(&scene, &event);
    }
}

inline void ClickItem(QGraphicsScene& scene, const QGraphicsItem* item,
                      Qt::MouseButton button = Qt::LeftButton)
{
    Click(scene, item->sceneBoundingRect().center(), button);
}

// The pointer entering or leaving the item.
inline void Hover(QGraphicsItem* item, bool isEntering)
{
    QGraphicsSceneHoverEvent event(isEntering ? QEvent::GraphicsSceneHoverEnter
                                              : QEvent::GraphicsSceneHoverLeave);
    event.setScenePos(item->sceneBoundingRect().center());
    event.setPos(item->boundingRect().center());
    item->scene()->sendEvent(item, &event);
}

// The scene's items over the main background, as a player sees them.
QImage RenderScene(QGraphicsScene& scene, const QRectF& area);
// Saves the picture under the build folder's renders; answers the path.
QString SaveRender(const QImage& picture, const QString& name);

} // namespace Marevane::Testing
