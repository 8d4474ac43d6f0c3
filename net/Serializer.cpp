#include "net/Serializer.h"

#include "model/Directions.h"
#include "model/TextUtil.h"

#include <cereal/archives/portable_binary.hpp>
#include <cereal/cereal.hpp>

#include <array>
#include <limits>
#include <map>
#include <set>
#include <sstream>
#include <type_traits>
#include <vector>

// Every record type has class version 1; MapOffset and PreparationMessage are
// registered too, though never carried.
CEREAL_CLASS_VERSION(Marevane::GameEditInfo, 1)
CEREAL_CLASS_VERSION(Marevane::ActionStatistics, 1)
CEREAL_CLASS_VERSION(Marevane::ShipStatistics, 1)
CEREAL_CLASS_VERSION(Marevane::TorpedoProfile, 1)
CEREAL_CLASS_VERSION(Marevane::MineProfile, 1)
CEREAL_CLASS_VERSION(Marevane::ShipConfigSet, 1)
CEREAL_CLASS_VERSION(Marevane::ShipProfile, 1)
CEREAL_CLASS_VERSION(Marevane::CommandInput, 1)
CEREAL_CLASS_VERSION(Marevane::ActionInfo, 1)
CEREAL_CLASS_VERSION(Marevane::UnitProfile, 1)
CEREAL_CLASS_VERSION(Marevane::MapPos, 1)
CEREAL_CLASS_VERSION(Marevane::MapOffset, 1)
CEREAL_CLASS_VERSION(Marevane::MapCoordinateInfo, 1)
CEREAL_CLASS_VERSION(Marevane::MapData, 1)
CEREAL_CLASS_VERSION(Marevane::PlayOrder, 1)
CEREAL_CLASS_VERSION(Marevane::Message, 1)
CEREAL_CLASS_VERSION(Marevane::ProgressMessage, 1)
CEREAL_CLASS_VERSION(Marevane::EntryMessage, 1)
CEREAL_CLASS_VERSION(Marevane::FleetEditMessage, 1)
CEREAL_CLASS_VERSION(Marevane::PreparationMessage, 1)
CEREAL_CLASS_VERSION(Marevane::ResultMessage, 1)

namespace Marevane {

// Every input archive of this file is one of these, so that a reader can
// check a count against what is left of the piece before it sizes anything:
// a hostile count must not make us allocate what the piece cannot hold.
class CPieceInputArchive : public cereal::PortableBinaryInputArchive {
  public:
    explicit CPieceInputArchive(std::istringstream& stream)
        : cereal::PortableBinaryInputArchive(stream), m_stream(stream)
    {
    }

    std::uint64_t BytesLeft() const
    {
        const std::streamsize left = m_stream.rdbuf()->in_avail();
        return left > 0 ? static_cast<std::uint64_t>(left) : 0;
    }

  private:
    std::istringstream& m_stream;
};

template <class T> struct IsRecord : std::false_type {
};
#define MAREVANE_RECORD(T)                                                                                   \
    template <> struct IsRecord<T> : std::true_type {                                                        \
    };
MAREVANE_RECORD(MapPos)
MAREVANE_RECORD(MapCoordinateInfo)
MAREVANE_RECORD(TorpedoProfile)
MAREVANE_RECORD(MineProfile)
MAREVANE_RECORD(MapData)
MAREVANE_RECORD(ShipConfigSet)
MAREVANE_RECORD(ShipStatistics)
MAREVANE_RECORD(ShipProfile)
MAREVANE_RECORD(ActionStatistics)
MAREVANE_RECORD(UnitProfile)
MAREVANE_RECORD(CommandInput)
MAREVANE_RECORD(PlayOrder)
MAREVANE_RECORD(ActionInfo)
MAREVANE_RECORD(GameEditInfo)
#undef MAREVANE_RECORD

// Field helpers: one function both writes and reads, so the two orders can
// never drift apart.
template <class Ar, class T>
static std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>> Item(Ar& ar, T& value);
template <class Ar> static void Item(Ar& ar, std::string& value);
template <class Ar> static void Item(Ar& ar, std::wstring& value);
template <class Ar, class T> static void Item(Ar& ar, std::vector<T>& value);
template <class Ar, class K, class V> static void Item(Ar& ar, std::map<K, V>& value);
template <class Ar, class T> static void Item(Ar& ar, std::set<T>& value);
template <class Ar, class T, std::size_t N> static void Item(Ar& ar, std::array<T, N>& value);
template <class Ar, class T> static std::enable_if_t<IsRecord<T>::value> Item(Ar& ar, T& value);

template <class Ar, class... T> static void Items(Ar& ar, T&... values)
{
    (Item(ar, values), ...);
}

template <class T> constexpr std::uint64_t MinWireSize()
{
    if constexpr (std::is_arithmetic_v<T> || std::is_enum_v<T>) {
        return sizeof(T);
    } else if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, std::wstring>) {
        return sizeof(std::uint64_t);
    } else {
        return 1;
    }
}

template <class Ar> static void WriteCount(Ar& ar, std::size_t count)
{
    ar(static_cast<std::uint64_t>(count));
}

// Reads a count of elements of at least `unit` bytes each and refuses it
// when the rest of the piece cannot hold that many.
template <class Ar> static std::uint64_t ReadCount(Ar& ar, std::uint64_t unit)
{
    std::uint64_t count = 0;
    ar(count);
    const std::uint64_t left = static_cast<CPieceInputArchive&>(ar).BytesLeft();
    if (count > left / unit) {
        constexpr std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
        const std::uint64_t wanted = count > most / unit ? most : count * unit;
        throw cereal::Exception("Failed to read " + std::to_string(wanted) +
                                " bytes from input stream! Read " + std::to_string(left));
    }
    return count;
}

template <class Ar, class T>
static std::enable_if_t<std::is_arithmetic_v<T> || std::is_enum_v<T>> Item(Ar& ar, T& value)
{
    if constexpr (std::is_same_v<T, bool>) {
        // One byte; anything but 0 reads as true rather than as a broken bool.
        std::uint8_t byte = value ? 1 : 0;
        ar(byte);
        if constexpr (Ar::is_loading::value) value = byte != 0;
    } else if constexpr (std::is_enum_v<T>) {
        auto raw = static_cast<std::underlying_type_t<T>>(value);
        ar(raw);
        if constexpr (Ar::is_loading::value) value = static_cast<T>(raw);
    } else {
        ar(value);
    }
}

template <class Ar> static void Item(Ar& ar, std::string& value)
{
    if constexpr (Ar::is_saving::value) {
        WriteCount(ar, value.size());
        ar.template saveBinary<1>(value.data(), static_cast<std::streamsize>(value.size()));
    } else {
        value.resize(ReadCount(ar, 1));
        ar.template loadBinary<1>(value.data(), static_cast<std::streamsize>(value.size()));
    }
}

// UTF-16 code units on the wire; std::wstring holds one character each.
template <class Ar> static void Item(Ar& ar, std::wstring& value)
{
    if constexpr (Ar::is_saving::value) {
        const std::u16string units = ToU16String(value);
        WriteCount(ar, units.size());
        ar.template saveBinary<2>(units.data(), static_cast<std::streamsize>(units.size() * 2));
    } else {
        std::u16string units(ReadCount(ar, 2), u'\0');
        ar.template loadBinary<2>(units.data(), static_cast<std::streamsize>(units.size() * 2));
        value = ToWString(units);
    }
}

template <class Ar, class T> static void Item(Ar& ar, std::vector<T>& value)
{
    if constexpr (Ar::is_saving::value) {
        WriteCount(ar, value.size());
        for (T& element : value) Item(ar, element);
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<T>());
        value.clear();
        // Grows with what is really read, not with the count.
        if constexpr (std::is_arithmetic_v<T>) value.reserve(count);
        for (std::uint64_t i = 0; i < count; ++i) {
            value.emplace_back();
            Item(ar, value.back());
        }
    }
}

template <class Ar, class K, class V> static void Item(Ar& ar, std::map<K, V>& value)
{
    if constexpr (Ar::is_saving::value) {
        WriteCount(ar, value.size());
        for (auto& entry : value) {
            K key = entry.first;
            Item(ar, key);
            Item(ar, entry.second);
        }
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<K>() + MinWireSize<V>());
        value.clear();
        for (std::uint64_t i = 0; i < count; ++i) {
            K key{};
            V mapped{};
            Item(ar, key);
            Item(ar, mapped);
            value.emplace(std::move(key), std::move(mapped));
        }
    }
}

template <class Ar, class T> static void Item(Ar& ar, std::set<T>& value)
{
    if constexpr (Ar::is_saving::value) {
        WriteCount(ar, value.size());
        for (T element : value) Item(ar, element);
    } else {
        const std::uint64_t count = ReadCount(ar, MinWireSize<T>());
        value.clear();
        for (std::uint64_t i = 0; i < count; ++i) {
            T element{};
            Item(ar, element);
            value.insert(std::move(element));
        }
    }
}

template <class Ar, class T, std::size_t N> static void Item(Ar& ar, std::array<T, N>& value)
{
    for (T& element : value) Item(ar, element);
}

// Through the archive, which writes or reads the type's class version the
// first time the type occurs in the piece.
template <class Ar, class T> static std::enable_if_t<IsRecord<T>::value> Item(Ar& ar, T& value)
{
    ar(value);
}

// The records, field by field in wire order. Nested versions are read and
// not checked.
template <class Ar> static void serialize(Ar& ar, MapPos& r, const std::uint32_t)
{
    Items(ar, r.x, r.y);
}

template <class Ar> static void serialize(Ar& ar, MapCoordinateInfo& r, const std::uint32_t)
{
    Items(ar, r.Positions, r.KnownPositions);
}

template <class Ar> static void serialize(Ar& ar, TorpedoProfile& r, const std::uint32_t)
{
    Items(ar, r.Number, r.UnitId, r.ShipId, r.ShipType, r.LaunchPos, r.CurrentPos, r.TargetPos, r.Direction,
          r.IsFinished);
}

template <class Ar> static void serialize(Ar& ar, MineProfile& r, const std::uint32_t)
{
    Items(ar, r.Number, r.UnitId, r.ShipId, r.ShipType, r.VictimUnitId, r.VictimShipType, r.Reserved, r.Pos,
          r.IsPlaced, r.IsExploded);
}

// Of the six trailing words only the count of special panels and the reef
// cap are carried; a reader keeps the other four at their defaults.
template <class Ar> static void serialize(Ar& ar, MapData& r, const std::uint32_t)
{
    Items(ar, r.Id, r.Size, r.CoordinateInfo, r.UnitCoordinateInfo, r.PanelTypes, r.Torpedoes, r.Mines,
          r.SpecialPanelCount, r.MaxReefs);
}

template <class Ar> static void serialize(Ar& ar, ShipConfigSet& r, const std::uint32_t)
{
    Items(ar, r.Type, r.Hp, r.Fp, r.AttackFp, r.MoveFp, r.ExtraMoveFp, r.TorpedoFp, r.RefuelFp, r.WeaponStock,
          r.Reserved, r.MoveRange, r.CanLayMine, r.CanFireTorpedo, r.CanStealth, r.CanRefuel);
}

template <class Ar> static void serialize(Ar& ar, ShipStatistics& r, const std::uint32_t)
{
    Items(ar, r.Counters);
}

template <class Ar> static void serialize(Ar& ar, ShipProfile& r, const std::uint32_t)
{
    Items(ar, r.UnitId, r.ShipId, r.Type, r.Status, r.Condition, r.LastEvent, r.PendingStatus, r.Hp, r.Fp,
          r.FpChange, r.Pos, r.WeaponStock, r.IsFlagship, r.Statistics, r.Config, r.MineHits);
}

template <class Ar> static void serialize(Ar& ar, ActionStatistics& r, const std::uint32_t)
{
    Items(ar, r.Counters, r.Time, r.Score);
}

template <class Ar> static void serialize(Ar& ar, UnitProfile& r, const std::uint32_t)
{
    Items(ar, r.Id, r.Type, r.OriginFlag, r.Name, r.Password, r.ThirdText, r.TeamMates, r.Level, r.FlagshipId,
          r.ReinforcementsLeft, r.Address, r.Port, r.IsResigned, r.IsTimedOut, r.Statistics, r.HostId);
}

template <class Ar> static void serialize(Ar& ar, CommandInput& r, const std::uint32_t)
{
    Items(ar, r.Command, r.UnitId, r.ShipId, r.ShipType, r.Direction, r.Distance, r.Target, r.Text);
}

template <class Ar> static void serialize(Ar& ar, PlayOrder& r, const std::uint32_t)
{
    Items(ar, r.Round, r.Position);
}

template <class Ar> static void serialize(Ar& ar, ActionInfo& r, const std::uint32_t)
{
    Items(ar, r.Kind, r.Command, r.UnitId, r.ShipId, r.ShipType, r.Direction, r.Distance, r.Target, r.Ships);
}

// List B goes out twice; reading it twice into one list keeps the second.
// The teams are not carried.
template <class Ar> static void serialize(Ar& ar, GameEditInfo& r, const std::uint32_t)
{
    Items(ar, r.Rule, r.Map, r.ComputerLevel, r.Mission, r.TimeLimit, r.DeadlineRounds, r.IsTeamVersus,
          r.SurfacingCycle, r.FpPercentage, r.DestroyerWeapons, r.SubmarineWeapons, r.ReserveFleetSize,
          r.IsPanelEffectEnabled, r.IsStealthEnabled, r.ThirdFlag, r.PlayerCount, r.TeamCount, r.PlayerTypes,
          r.PlayerOptions, r.PlayerOptions, r.FleetSize, r.IsReinforcementAllowed, r.RuleLists);
}

// The messages: their own version, checked before any field, then the
// header's fields without a version of their own, then the kind's fields.
static void CheckVersion(std::uint32_t version)
{
    if (version != 1) throw CIncompatibleFormatError();
}

template <class Ar> static void Header(Ar& ar, Message& r)
{
    Items(ar, r.Code, r.SecondCode, r.Sender, r.Units, r.Command, r.Time);
}

template <class Ar> static void serialize(Ar& ar, Message& r, const std::uint32_t version)
{
    CheckVersion(version);
    Header(ar, r);
}

template <class Ar> static void serialize(Ar& ar, ProgressMessage& r, const std::uint32_t version)
{
    CheckVersion(version);
    Header(ar, r);
    Items(ar, r.Order, r.Map, r.TurnOrder, r.Ships, r.Text, r.BoardText);
}

template <class Ar> static void serialize(Ar& ar, EntryMessage& r, const std::uint32_t version)
{
    CheckVersion(version);
    Header(ar, r);
    Items(ar, r.IsPlayer, r.Entry, r.Rules, r.Text);
}

template <class Ar> static void serialize(Ar& ar, FleetEditMessage& r, const std::uint32_t version)
{
    CheckVersion(version);
    Header(ar, r);
    Items(ar, r.Ships, r.FirstFlag, r.SecondFlag, r.Text);
}

template <class Ar> static void serialize(Ar& ar, ResultMessage& r, const std::uint32_t version)
{
    CheckVersion(version);
    Header(ar, r);
    Items(ar, r.Order, r.Actions);
}

class CSerializerImpl {
  public:
    virtual ~CSerializerImpl() = default;

    std::string Serialize(const Message& value) { return WriteRecord(value); }
    std::string Serialize(const ProgressMessage& value) { return WriteRecord(value); }
    std::string Serialize(const EntryMessage& value) { return WriteRecord(value); }
    std::string Serialize(const FleetEditMessage& value) { return WriteRecord(value); }
    std::string Serialize(const ResultMessage& value) { return WriteRecord(value); }
    std::string Serialize(const std::string& value) { return WriteItem(value); }
    std::string Serialize(std::uint32_t value) { return WriteItem(value); }
    std::string Serialize(std::uint64_t value) { return WriteItem(value); }

    void Deserialize(Message& value, const std::string& piece) { ReadRecord(value, piece); }
    void Deserialize(ProgressMessage& value, const std::string& piece) { ReadRecord(value, piece); }
    void Deserialize(EntryMessage& value, const std::string& piece) { ReadRecord(value, piece); }
    void Deserialize(FleetEditMessage& value, const std::string& piece) { ReadRecord(value, piece); }
    void Deserialize(ResultMessage& value, const std::string& piece) { ReadRecord(value, piece); }
    void Deserialize(std::string& value, const std::string& piece) { ReadItem(value, piece); }
    void Deserialize(std::uint32_t& value, const std::string& piece) { ReadItem(value, piece); }
    void Deserialize(std::uint64_t& value, const std::string& piece) { ReadItem(value, piece); }

  private:
    template <class Write> std::string WritePiece(Write write)
    {
        m_out.clear();
        m_out.str(std::string());
        {
            cereal::PortableBinaryOutputArchive archive(m_out);
            write(archive);
        }
        return m_out.str();
    }
    template <class T> std::string WriteRecord(const T& value)
    {
        return WritePiece([&value](cereal::PortableBinaryOutputArchive& archive) { archive(value); });
    }
    template <class T> std::string WriteItem(T value)
    {
        return WritePiece([&value](cereal::PortableBinaryOutputArchive& archive) { Item(archive, value); });
    }

    template <class Read> void ReadPiece(const std::string& piece, Read read)
    {
        m_in.clear();
        m_in.str(piece);
        CPieceInputArchive archive(m_in);
        read(static_cast<cereal::PortableBinaryInputArchive&>(archive));
    }
    template <class T> void ReadRecord(T& value, const std::string& piece)
    {
        ReadPiece(piece, [&value](cereal::PortableBinaryInputArchive& archive) { archive(value); });
    }
    template <class T> void ReadItem(T& value, const std::string& piece)
    {
        ReadPiece(piece, [&value](cereal::PortableBinaryInputArchive& archive) { Item(archive, value); });
    }

    std::ostringstream m_out;
    std::istringstream m_in;
};

CSerializer& CSerializer::GetInstance()
{
    static CSerializer instance;
    return instance;
}

CSerializer::CSerializer() : m_impl(std::make_unique<CSerializerImpl>()) {}
CSerializer::~CSerializer() = default;

#define MAREVANE_FORWARD(T)                                                                                  \
    std::string CSerializer::Serialize(T value)                                                              \
    {                                                                                                        \
        std::lock_guard<std::mutex> lock(m_mutex);                                                           \
        return m_impl->Serialize(value);                                                                     \
    }
MAREVANE_FORWARD(const Message&)
MAREVANE_FORWARD(const ProgressMessage&)
MAREVANE_FORWARD(const EntryMessage&)
MAREVANE_FORWARD(const FleetEditMessage&)
MAREVANE_FORWARD(const ResultMessage&)
MAREVANE_FORWARD(const std::string&)
MAREVANE_FORWARD(std::uint32_t)
MAREVANE_FORWARD(std::uint64_t)
#undef MAREVANE_FORWARD

#define MAREVANE_FORWARD(T)                                                                                  \
    void CSerializer::Deserialize(T& value, const std::string& piece)                                        \
    {                                                                                                        \
        std::lock_guard<std::mutex> lock(m_mutex);                                                           \
        m_impl->Deserialize(value, piece);                                                                   \
    }
MAREVANE_FORWARD(Message)
MAREVANE_FORWARD(ProgressMessage)
MAREVANE_FORWARD(EntryMessage)
MAREVANE_FORWARD(FleetEditMessage)
MAREVANE_FORWARD(ResultMessage)
MAREVANE_FORWARD(std::string)
MAREVANE_FORWARD(std::uint32_t)
MAREVANE_FORWARD(std::uint64_t)
#undef MAREVANE_FORWARD

} // namespace Marevane
