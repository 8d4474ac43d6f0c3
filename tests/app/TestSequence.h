// A sequence that records what is done to it.
#pragma once

#include "app/GameSequence.h"

#include <string>
#include <vector>

namespace Marevane::Testing {

class CTestSequence : public CGameSequence {
  public:
    explicit CTestSequence(const std::string& name = std::string(), int type = 0, unsigned flags = 0)
        : CGameSequence(type)
    {
        setObjectName(QString::fromStdString(name));
        SetModuleFlags(flags);
        connect(this, &CGameSequence::SequenceStopped, [this] { ++stops; });
    }

    void Init() override
    {
        ++inits;
        SetInstalled();
    }
    void Start() override { ++starts; }
    using CGameSequence::Update;
    void Update(MessageCode code) override { updates.push_back(code); }
    void Show() override {}
    void Hide() override {}

    std::string Name() const { return objectName().toStdString(); }

    using CGameSequence::GetGameEdit;
    using CGameSequence::GetGameMap;
    using CGameSequence::GetModule;
    using CGameSequence::GetMyUnit;
    using CGameSequence::GetShipFactory;
    using CGameSequence::GetTcpServer;

    int inits = 0;
    int starts = 0;
    int stops = 0;
    std::vector<MessageCode> updates;
};

} // namespace Marevane::Testing
