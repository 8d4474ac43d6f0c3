#include "sound/SoundTables.h"

#include <utility>

namespace Marevane {
namespace Sound {

namespace {

const char* const BgmFolder = "Resources/Sound/BGM/";

struct TrackRow {
    BgmCode code;
    const char* file;
    const char* title;
    LoopPos loop;
};

// Files 004 and 010 do not exist; codes 2 and 4 share one file.
const TrackRow Tracks[] = {
    {BgmNone, "000_None.ogg", "No Music", {0, -1}},
    {BgmTheme, "001_Theme.cks", "Marevane Theme", {2646000, -1}},
    {BgmRelaxation, "002_Relaxation.cks", "Relaxation", {0, -1}},
    {BgmSubmarine, "003_Submarine.cks", "Submarine", {814130, -1}},
    {BgmRelaxationAgain, "002_Relaxation.cks", "Relaxation", {0, -1}},
    {BgmBattlefrontSamba, "005_BattlefrontSamba.cks", "Battlefront Samba", {0, -1}},
    {BgmMissingSea, "006_MissingSea.cks", "Missing Sea", {0, -1}},
    {BgmDeathMatch, "007_DeathMatch.cks", "Death Match", {680375, 6123594}},
    {BgmBlueAnthem, "008_BlueAnthem.cks", "Blue Anthem", {900654, -1}},
    {BgmSymphonyFinale,
     "009_TessavorSymphonyNo.7Finale.cks",
     "Tessavor Symphony No.7 in D-minor, Op.70 - Finale: Allegro",
     {0, -1}},
    {BgmWin, "011_Win.cks", "Win", {0, -1}},
    {BgmLoss, "012_Loss.cks", "Loss", {0, -1}},
};

struct EffectRow {
    SeCode code;
    SeType type;
    const char* cue;
    const char* title;
    DuckingParam ducking;
};

const EffectRow Effects[] = {
    {SeNone, SeTypeSystem, "None", "No Effect", {-1, 0.8f}},
    {SeDefaultSelected, SeTypeSystem, "SystemDefaultSelected", "Default Selected SE", {-1, 0.8f}},
    {SeDefaultPointed, SeTypeSystem, "SystemDefaultPointed", "Default Pointed SE", {-1, 0.8f}},
    {SeDefaultCanceled, SeTypeSystem, "SystemDefaultCanceled", "Default Canceled SE", {-1, 0.8f}},
    {SeTitleSelected, SeTypeSystem, "SystemTitleSelected", "Title Menu Selected SE", {-1, 0.8f}},
    {SeTitleSubSelected, SeTypeSystem, "SystemTitleSubSelected", "Title SubMenu Selected SE", {-1, 0.8f}},
    {SeNextStep, SeTypeSystem, "SystemNextStep", "Next Step SE", {-1, 0.8f}},
    {SeWindowOpened, SeTypeSystem, "SystemWindowOpened", "Window Opened SE", {-1, 0.8f}},
    {SeTimer, SeTypeSystem, "SystemTimer", "Timer SE", {-1, 0.8f}},
    {SeAlarmTimer, SeTypeSystem, "SystemAlarmTimer", "Alarm Timer SE", {-1, 0.8f}},
    {SeAttack, SeTypeBattle, "AttackSound", "Attack SE", {680, 0.8f}},
    {SeDamage, SeTypeBattle, "DamageSound", "Damage SE", {1352, 0.8f}},
    {SeSinking, SeTypeBattle, "SinkingSound", "Sinking SE", {2752, 0.8f}},
    {SeTorpedo, SeTypeBattle, "TorpedoSound", "Firing Torpedo SE", {872, 0.8f}},
    {SeSurprise, SeTypeBattle, "SurpriseSound", "Surprise SE", {-1, 0.8f}},
    {SeWhistle, SeTypeBattle, "WhistleSound", "Whistle SE", {-1, 0.8f}},
};

// One pair per row of a fixed list, in the list's order.
template <typename K, typename V, typename Row, std::size_t N, typename Pick>
std::vector<std::pair<K, V>> Column(const Row (&rows)[N], Pick pick)
{
    std::vector<std::pair<K, V>> pairs;
    pairs.reserve(N);
    for (const Row& row : rows) pairs.emplace_back(row.code, pick(row));
    return pairs;
}

} // namespace

CBgmFilePaths::CBgmFilePaths()
{
    Fill(Column<BgmCode, std::string>(Tracks,
                                      [](const TrackRow& row) { return BgmFolder + std::string(row.file); }),
         std::string());
}

const CBgmFilePaths& CBgmFilePaths::GetInstance()
{
    static const CBgmFilePaths instance;
    return instance;
}

CBgmNames::CBgmNames()
{
    auto pairs =
        Column<BgmCode, std::string>(Tracks, [](const TrackRow& row) { return std::string(row.title); });
    // The title list names the finale twice; the table keeps the first.
    pairs.emplace_back(BgmSymphonyFinale, Tracks[BgmSymphonyFinale].title);
    Fill(std::move(pairs), "Undefined");
}

const CBgmNames& CBgmNames::GetInstance()
{
    static const CBgmNames instance;
    return instance;
}

CBgmGroupMap::CBgmGroupMap()
{
    Fill({{BgmTypeTitle, {BgmTheme}},
          {BgmTypeBattle, {BgmTheme, BgmBattlefrontSamba}},
          {BgmTypeQuiet, {BgmRelaxation, BgmSubmarine}},
          {BgmTypeResult, {BgmWin, BgmLoss}},
          {BgmTypeRelaxation, {BgmRelaxation}},
          {BgmTypeCredits, {BgmSymphonyFinale}}},
         {});
}

const CBgmGroupMap& CBgmGroupMap::GetInstance()
{
    static const CBgmGroupMap instance;
    return instance;
}

CBgmLoopSettings::CBgmLoopSettings()
{
    Fill(Column<BgmCode, LoopPos>(Tracks, [](const TrackRow& row) { return row.loop; }), LoopPos{});
}

const CBgmLoopSettings& CBgmLoopSettings::GetInstance()
{
    static const CBgmLoopSettings instance;
    return instance;
}

CBankProfiles::CBankProfiles()
{
    Fill(Column<SeCode, SeProperty>(Effects,
                                    [](const EffectRow& row) {
                                        return SeProperty{row.type, row.cue};
                                    }),
         SeProperty{SeTypeBattle, std::string()});
}

const CBankProfiles& CBankProfiles::GetInstance()
{
    static const CBankProfiles instance;
    return instance;
}

CSeNames::CSeNames()
{
    Fill(Column<SeCode, std::string>(Effects, [](const EffectRow& row) { return std::string(row.title); }),
         "Undefined");
}

const CSeNames& CSeNames::GetInstance()
{
    static const CSeNames instance;
    return instance;
}

CSeGroupMap::CSeGroupMap()
{
    // Each bank's list follows the profiles' order; the banks themselves
    // come in the order their first effect appears.
    std::vector<std::pair<SeType, std::vector<SeCode>>> groups;
    const CBankProfiles& profiles = CBankProfiles::GetInstance();
    for (SeCode code : profiles.GetKeysInOrder()) {
        const SeType type = profiles.Get(code).type;
        auto it = groups.begin();
        while (it != groups.end() && it->first != type) ++it;
        if (it == groups.end()) it = groups.insert(groups.end(), {type, {}});
        it->second.push_back(code);
    }
    Fill(std::move(groups), {});
}

const CSeGroupMap& CSeGroupMap::GetInstance()
{
    static const CSeGroupMap instance;
    return instance;
}

CSeFilePaths::CSeFilePaths()
{
    Fill({{SeTypeBattle, "Resources/Sound/SE/Battle.ckb"}, {SeTypeSystem, "Resources/Sound/SE/System.ckb"}},
         std::string());
}

const CSeFilePaths& CSeFilePaths::GetInstance()
{
    static const CSeFilePaths instance;
    return instance;
}

CSeLoopSettings::CSeLoopSettings()
{
    // Every effect loops over its whole length.
    Fill(Column<SeCode, LoopPos>(Effects, [](const EffectRow&) { return LoopPos{0, -1}; }), LoopPos{});
}

const CSeLoopSettings& CSeLoopSettings::GetInstance()
{
    static const CSeLoopSettings instance;
    return instance;
}

CSeDuckingSettings::CSeDuckingSettings()
{
    Fill(Column<SeCode, DuckingParam>(Effects, [](const EffectRow& row) { return row.ducking; }),
         DuckingParam{});
}

const CSeDuckingSettings& CSeDuckingSettings::GetInstance()
{
    static const CSeDuckingSettings instance;
    return instance;
}

} // namespace Sound
} // namespace Marevane
