#include "model/ShipConfig.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Marevane {

namespace {

ShipConfigSet Row(ShipType type, std::uint32_t hp, std::uint32_t fp, std::uint32_t attackFp,
                  std::uint32_t moveFp, std::uint32_t extraMoveFp, std::uint32_t torpedoFp,
                  std::uint32_t weaponStock, bool canLayMine, bool canFireTorpedo, bool canStealth,
                  bool canRefuel)
{
    ShipConfigSet config;
    config.Type = type;
    config.Hp = hp;
    config.Fp = fp;
    config.AttackFp = attackFp;
    config.MoveFp = moveFp;
    config.ExtraMoveFp = extraMoveFp;
    config.TorpedoFp = torpedoFp;
    config.RefuelFp = 30;
    config.WeaponStock = weaponStock;
    config.Reserved = 1;
    config.MoveRange = 4;
    config.CanLayMine = canLayMine;
    config.CanFireTorpedo = canFireTorpedo;
    config.CanStealth = canStealth;
    config.CanRefuel = canRefuel;
    return config;
}

std::int32_t ToSigned(std::uint32_t value)
{
    return static_cast<std::int32_t>(
        std::min<std::uint32_t>(value, std::numeric_limits<std::int32_t>::max()));
}

} // namespace

CShipConfigMap::CShipConfigMap()
{
    Fill(
        {
            {ShipTypeBattleship,
             Row(ShipTypeBattleship, 3, 100, 10, 16, 4, 0, 0, false, false, false, false)},
            {ShipTypeDestroyer, Row(ShipTypeDestroyer, 2, 100, 12, 8, 2, 20, 2, true, true, false, false)},
            {ShipTypeSubmarine, Row(ShipTypeSubmarine, 1, 100, 16, 10, 0, 20, 3, false, true, true, false)},
            {ShipTypeOiler, Row(ShipTypeOiler, 2, 150, 50, 10, 0, 0, 0, false, false, false, true)},
        },
        Row(ShipTypeNone, 3, 100, 12, 10, 0, 20, 0, false, false, false, false));
}

const CShipConfigMap& CShipConfigMap::GetInstance()
{
    static const CShipConfigMap instance;
    return instance;
}

ShipConfigSet MakeShipConfig(ShipType type, const GameEditInfo& info)
{
    ShipConfigSet config = CShipConfigMap::GetInstance().Get(type);
    // A percentage from the network may be anything; never convert a double
    // that does not fit.
    const double fp = std::trunc(config.Fp / 100.0 * info.FpPercentage);
    config.Fp = fp >= static_cast<double>(std::numeric_limits<std::uint32_t>::max())
                    ? std::numeric_limits<std::uint32_t>::max()
                    : static_cast<std::uint32_t>(fp);
    config.CanStealth = config.CanStealth && info.IsStealthEnabled;
    if (type == ShipTypeDestroyer) config.WeaponStock = info.DestroyerWeapons;
    if (type == ShipTypeSubmarine) config.WeaponStock = info.SubmarineWeapons;
    return config;
}

ShipProfile MakeShipProfile(std::uint32_t unitId, ShipType type, const GameEditInfo& info)
{
    ShipProfile profile;
    profile.Config = MakeShipConfig(type, info);
    profile.UnitId = unitId;
    profile.ShipId = 0;
    profile.Type = type;
    profile.Status = profile.Config.CanStealth ? ShipStatusStealth : ShipStatusNormal;
    profile.Condition = 0;
    profile.LastEvent = 0;
    profile.PendingStatus = 0;
    profile.Hp = ToSigned(profile.Config.Hp);
    profile.Fp = profile.Config.Fp;
    profile.FpChange = 0;
    profile.Pos = MapPos(0, 0);
    profile.WeaponStock = ToSigned(profile.Config.WeaponStock);
    profile.IsFlagship = false;
    profile.MineHits = {MakeDefaultMineProfile(), MineProfile(), MineProfile()};
    return profile;
}

} // namespace Marevane
