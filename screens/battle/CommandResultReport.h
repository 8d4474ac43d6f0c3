// Paces the display of one action's results: one line of the battle log
// every two seconds (scaled), each refreshing the ship's card, letting the
// map play the matching animation and adding the line to the message pane.
// When every line is out it reports 67 (result report finished).
#pragma once

#include "app/SceneSet.h"
#include "model/Types.h"

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <functional>

namespace Marevane {

class CLogger;
class CResultManager;
struct ShipProfile;

class CCommandResultReport : public QObject {
    Q_OBJECT
  public:
    static constexpr MessageCode FinishedCode = 67;
    static constexpr MessageCode RefreshCode = 56;
    static constexpr MessageCode BattleStartCode = 45;

    // How the map shows one line: the action's result code on the first
    // line, 56 on the others. Without one, the battle map scene of the UI
    // component shows it (CGameMapScene::Update).
    using MapUpdater = std::function<void(MessageCode code, const ShipProfile* pShipProfile)>;

    CCommandResultReport(CResultManager* pResultManager, CLogger* pLogger, QObject* parent = nullptr);
    ~CCommandResultReport() override;

    void SetMapUpdater(MapUpdater updater) { m_mapUpdater = std::move(updater); }
    bool IsRunning() const { return m_timer.isActive(); }
    // Between two lines, in ms.
    int GetInterval() const { return m_timer.interval(); }
    // The line printed next.
    std::size_t GetLineIndex() const { return m_lineIndex; }

  signals:
    void Started(Marevane::MessageCode code);
    void Started();
    void Stopped(Marevane::MessageCode code);
    void Stopped();
    void MessagePrinted(Marevane::MessageCode code);
    void MessagePrinted();

  public slots:
    void Start(Marevane::MessageCode code);
    void Start();
    void Stop(Marevane::MessageCode code);
    void Stop();
    void SetUIComponent(Marevane::UIComponent* pComponent);
    // A new battle (code 45): no report carries over into it.
    void Reset();

  private slots:
    void Print();

  private:
    void PrintLine();
    MessageCode LatestResultCode() const;

    UIComponent* m_component = nullptr;
    CResultManager* m_resultManager;
    CLogger* m_logger;
    MapUpdater m_mapUpdater;
    QTimer m_timer;
    std::size_t m_lineIndex = 0;
};

} // namespace Marevane
