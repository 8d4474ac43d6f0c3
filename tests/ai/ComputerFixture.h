// The small real battle of BattleFixture with the full brain plugged into
// the computer side, and helpers to reach it.
#pragma once

#include "BattleFixture.h"
#include "ai/AISharedData.h"
#include "ai/AssessmentEngine.h"
#include "ai/ComputerPlayer.h"

namespace Marevane::ComputerAI::Testing {

class ComputerFixture : public BattleFixture {
  protected:
    void SetUp() override
    {
        InstallComputerAI();
        BattleFixture::SetUp();
        // Units read the process's result log; the battle starts there.
        Log().Clear();
        Log().StartBattle(com, All());
    }

    void TearDown() override
    {
        Log().Clear();
        UninstallComputerAI();
    }

    static CResultManager& Log() { return CResultManager::GetInstance(); }

    // One turn of a side, stored in the process's result log.
    void PlayTurn(CUnit* unit, const CommandInput& input)
    {
        unit->OnMessage(51);
        unit->SetCommandInput(input);
        const MessageCode code = unit->ExecuteCommand(All());
        Log().Record(code, unit, All());
        Log().Record(52, unit, All());
    }

    CComputerPlayer& Brain() const { return dynamic_cast<CComputerPlayer&>(*com->GetBrain()); }

    CAssessmentEngine& Assessment() const
    {
        return dynamic_cast<CAssessmentEngine&>(Brain().GetEngine(L"assessment"));
    }

    CAISharedData& Shared() const { return *Brain().GetSharedData(); }

    void SetLevel(CUnit* unit, std::int32_t mode)
    {
        UnitProfile profile = unit->GetProfile();
        profile.Level = static_cast<std::uint32_t>(mode);
        unit->SetProfile(profile);
    }
};

} // namespace Marevane::ComputerAI::Testing
