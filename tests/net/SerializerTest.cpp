#include "net/Serializer.h"

#include "model/TextUtil.h"
#include "tests/net/SampleMessages.h"

#include <cereal/details/helpers.hpp>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>
#include <map>
#include <set>

using namespace Marevane;
using namespace Marevane::Samples;

namespace {

CSerializer& Serializer()
{
    return CSerializer::GetInstance();
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        if (!text.empty()) text += ' ';
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// Writes a piece by hand in either byte order, as the layout says it is.
class PieceBuilder {
  public:
    explicit PieceBuilder(bool bigEndian) : m_bigEndian(bigEndian) { m_bytes.push_back(bigEndian ? 0 : 1); }

    PieceBuilder& Number(std::uint64_t value, int width)
    {
        for (int i = 0; i < width; ++i) {
            const int shift = 8 * (m_bigEndian ? width - 1 - i : i);
            m_bytes.push_back(static_cast<char>(value >> shift));
        }
        return *this;
    }
    PieceBuilder& U8(bool value) { return Number(value ? 1 : 0, 1); }
    PieceBuilder& U16(std::uint16_t value) { return Number(value, 2); }
    PieceBuilder& U32(std::uint32_t value) { return Number(value, 4); }
    PieceBuilder& U64(std::uint64_t value) { return Number(value, 8); }
    PieceBuilder& Real(double value)
    {
        std::uint64_t bits = 0;
        std::memcpy(&bits, &value, sizeof bits);
        return U64(bits);
    }
    PieceBuilder& Text(const std::wstring& text)
    {
        const std::u16string units = ToU16String(text);
        U64(units.size());
        for (char16_t unit : units) U16(unit);
        return *this;
    }
    PieceBuilder& Bytes(const std::string& bytes)
    {
        U64(bytes.size());
        m_bytes += bytes;
        return *this;
    }
    const std::string& Get() const { return m_bytes; }

  private:
    bool m_bigEndian;
    std::string m_bytes;
};

void BuildUnit(PieceBuilder& b, const UnitProfile& unit, bool first)
{
    if (first) b.U32(1);
    b.U32(unit.Id)
        .U32(unit.Type)
        .U32(unit.OriginFlag)
        .Text(unit.Name)
        .Text(unit.Password)
        .Text(unit.ThirdText);
    b.U64(unit.TeamMates.size());
    for (std::uint64_t mate : unit.TeamMates) b.U64(mate);
    b.U32(unit.Level).U32(unit.FlagshipId).U32(unit.ReinforcementsLeft).Bytes(unit.Address).U16(unit.Port);
    b.U8(unit.IsResigned).U8(unit.IsTimedOut);
    for (std::size_t k = 0; k < unit.Statistics.size(); ++k) {
        if (first && k == 0) b.U32(1);
        for (std::uint32_t counter : unit.Statistics[k].Counters) b.U32(counter);
        b.U64(unit.Statistics[k].Time).Real(unit.Statistics[k].Score);
    }
    b.U64(unit.HostId);
}

std::string BuildMessage(const Message& message, bool bigEndian)
{
    PieceBuilder b(bigEndian);
    b.U32(1).U32(message.Code).U32(message.SecondCode);
    BuildUnit(b, message.Sender, true);
    b.U64(message.Units.size());
    for (const UnitProfile& unit : message.Units) BuildUnit(b, unit, false);
    const CommandInput& c = message.Command;
    b.U32(1).U32(c.Command).U32(c.UnitId).U32(c.ShipId).U32(c.ShipType).U32(c.Direction).U32(c.Distance);
    b.U32(1).U32(c.Target.x).U32(c.Target.y).Text(c.Text);
    b.U64(message.Time);
    return b.Get();
}

template <class T> T RoundTrip(const T& record, T target = T())
{
    Serializer().Deserialize(target, Serializer().Serialize(record));
    return target;
}

void ExpectReadFailure(const std::function<void()>& read)
{
    try {
        read();
        ADD_FAILURE() << "no failure";
    } catch (const cereal::Exception& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Failed to read ", 0), 0u) << error.what();
    }
}

} // namespace

TEST(Serializer, SmallPiecesHaveTheirWorkedBytes)
{
    struct Case {
        const char* name;
        std::string piece;
        const char* hex;
    };
    const Case cases[] = {
        {"kind 0", Serializer().Serialize(std::uint32_t{0}), "01 00 00 00 00"},
        {"kind 1", Serializer().Serialize(std::uint32_t{1}), "01 01 00 00 00"},
        {"length 0", Serializer().Serialize(std::uint64_t{0}), "01 00 00 00 00 00 00 00 00"},
        {"length 41", Serializer().Serialize(std::uint64_t{41}), "01 29 00 00 00 00 00 00 00"},
        {"empty string", Serializer().Serialize(std::string()), "01 00 00 00 00 00 00 00 00"},
        {"16 bytes", Serializer().Serialize(std::string("0123456789abcdef")),
         "01 10 00 00 00 00 00 00 00 30 31 32 33 34 35 36 37 38 39 61 62 63 64 65 66"},
        {"length 2^40+2", Serializer().Serialize(std::uint64_t{(1ull << 40) + 2}),
         "01 02 00 00 00 00 01 00 00"},
    };
    for (const Case& c : cases) EXPECT_EQ(Hex(c.piece), c.hex) << c.name;
}

TEST(Serializer, DefaultMessageIs641BytesOfZerosBesideTheFlagAndFiveVersions)
{
    const std::string piece = Serializer().Serialize(EmptyMessage());
    ASSERT_EQ(piece.size(), 641u);
    // Message, UnitProfile, ActionStatistics, CommandInput, MapPos.
    const std::set<std::size_t> versions = {1, 13, 85, 585, 613};
    for (std::size_t i = 0; i < piece.size(); ++i) {
        const int expected = i == 0 || versions.count(i) ? 1 : 0;
        EXPECT_EQ(static_cast<unsigned char>(piece[i]), expected) << "byte " << i;
    }
}

TEST(Serializer, AFurtherUnitAddsItsFieldsWithoutVersionWords)
{
    Message message = EmptyMessage();
    const std::size_t alone = Serializer().Serialize(message).size();
    message.Units.emplace_back();
    message.Units.back().Address.clear();
    EXPECT_EQ(Serializer().Serialize(message).size() - alone, 556u); // 76 + 4 x 120
}

TEST(Serializer, MessagePieceFollowsTheLayoutInEitherByteOrder)
{
    const Message message = MakeFullMessage();
    EXPECT_EQ(Hex(Serializer().Serialize(message)), Hex(BuildMessage(message, false)));

    for (bool bigEndian : {false, true}) {
        Message read;
        Serializer().Deserialize(read, BuildMessage(message, bigEndian));
        EXPECT_EQ(Wire(read), Wire(message)) << (bigEndian ? "big" : "little") << " endian";
        EXPECT_EQ(read.Sender.Name, message.Sender.Name);
        EXPECT_EQ(read.Sender.Statistics[3].Score, -10.0);
        EXPECT_EQ(read.Command.Text, message.Command.Text);
    }
}

TEST(Serializer, PlainNumbersAndStringsReadBackFromEitherByteOrder)
{
    std::uint32_t kind = 0;
    Serializer().Deserialize(kind, std::string("\x00\x00\x00\x00\x05", 5));
    EXPECT_EQ(kind, 5u);
    std::uint64_t length = 0;
    Serializer().Deserialize(length, PieceBuilder(true).U64(0x0102030405060708ull).Get());
    EXPECT_EQ(length, 0x0102030405060708ull);
    std::string bytes;
    Serializer().Deserialize(bytes, PieceBuilder(true).Bytes("IV-bytes").Get());
    EXPECT_EQ(bytes, "IV-bytes");
    Serializer().Deserialize(bytes, Serializer().Serialize(std::string("\0\xff", 2)));
    EXPECT_EQ(bytes, std::string("\0\xff", 2));
}

TEST(Serializer, WideTextsGoAsUtf16CodeUnits)
{
    Message message = EmptyMessage();
    message.Sender.Name = L"Seventeen letters";
    message.Sender.Password = L"\U0001F600";
    const std::string piece = Serializer().Serialize(message);
    EXPECT_EQ(ReadU64(piece, 29), 17u);
    EXPECT_EQ(piece.substr(37, 4), std::string("S\0e\0", 4));
    // The password follows the 34 bytes of the name: one pair of surrogates.
    EXPECT_EQ(ReadU64(piece, 71), 2u);
    EXPECT_EQ(Hex(piece.substr(79, 4)), "3d d8 00 de");
    EXPECT_EQ(RoundTrip(message).Sender.Password, L"\U0001F600");
}

TEST(Serializer, EachRecordTypeBringsItsVersionOncePerPiece)
{
    FleetEditMessage fleet;
    fleet.Sender.Address.clear();
    const std::string empty = Serializer().Serialize(fleet);
    // No ShipProfile version for an empty vector: header, count, two flags, text.
    EXPECT_EQ(empty.size(), 641u + 8 + 2 + 8);

    fleet.Ships.push_back(MakeShip(1, 1));
    const std::size_t one = Serializer().Serialize(fleet).size();
    fleet.Ships.push_back(MakeShip(1, 2));
    const std::size_t two = Serializer().Serialize(fleet).size();
    // A ship: 7 + 3 words, position, stock, flag, 17 counters, 11 words and 4
    // flags, three mines of 7 words, a position and 2 flags.
    const std::size_t ship = 40 + 8 + 4 + 1 + 68 + 48 + 3 * 38;
    EXPECT_EQ(two - one, ship);
    // The first also carries the versions of ShipProfile, ShipStatistics,
    // ShipConfigSet and MineProfile (MapPos came with the command).
    EXPECT_EQ(one - empty.size(), ship + 16);

    // A type whose only earlier vector was empty still gets its version at
    // its first object: no mines on the map, then the ships' own mines.
    ProgressMessage progress = MakeFullProgress();
    progress.Map.Mines.clear();
    EXPECT_EQ(Wire(RoundTrip(progress)), Wire(progress));
}

TEST(Serializer, TurnStateOfDefaultsHasItsFixedSize)
{
    ProgressMessage progress;
    progress.Sender.Address.clear();
    // Header, order with version, map with the versions of MapData and
    // MapCoordinateInfo and 68 bytes of fields, turn order, ships, two texts.
    EXPECT_EQ(Serializer().Serialize(progress).size(), 641u + 12 + 8 + 68 + 8 + 8 + 16);

    ResultMessage result;
    result.Sender.Address.clear();
    EXPECT_EQ(Serializer().Serialize(result).size(), 641u + 12 + 8);
}

TEST(Serializer, ListBIsWrittenTwiceAndTheSecondCopyIsRead)
{
    EntryMessage entry = MakeFullEntry();
    const std::string three = Serializer().Serialize(entry);
    entry.Rules.PlayerOptions.clear();
    EXPECT_EQ(three.size() - Serializer().Serialize(entry).size(), 2u * 4 * 3);

    const std::string list = PieceBuilder(false).U64(3).U32(7).U32(8).U32(9).Get().substr(1);
    const std::size_t at = three.find(list + list);
    ASSERT_NE(at, std::string::npos);
    std::string edited = three;
    WriteU32(edited, at + list.size() + 8, 70);
    EntryMessage read;
    Serializer().Deserialize(read, edited);
    EXPECT_EQ(read.Rules.PlayerOptions, (std::vector<std::uint32_t>{70, 8, 9}));
}

TEST(Serializer, EveryKindRoundTripsOverARecordThatHeldOtherData)
{
    Message stalePlain = MakeFullResult();
    stalePlain.Units.resize(5);
    EXPECT_EQ(Wire(RoundTrip(MakeFullMessage(), stalePlain)), Wire(MakeFullMessage()));
    ProgressMessage stale = MakeFullProgress();
    stale.Map.CoordinateInfo.Positions.insert(MapPos(8, 8));
    stale.Ships[9] = {MakeShip(9, 9)};
    stale.TurnOrder.push_back(9);
    const ProgressMessage progress = RoundTrip(MakeFullProgress(), stale);
    EXPECT_EQ(Wire(progress), Wire(MakeFullProgress()));
    EXPECT_EQ(progress.Ships.size(), 3u);
    EXPECT_TRUE(progress.Ships.at(2).empty());
    EXPECT_EQ(progress.Ships.at(0).at(1).MineHits[2].Pos, MapPos(22, 23));
    EXPECT_EQ(progress.Map.PanelTypes.at(MapPos(4, 4)), PanelFog);
    EXPECT_EQ(progress.BoardText, MakeFullProgress().BoardText);

    const EntryMessage entry = RoundTrip(MakeFullEntry(), MakeFullEntry());
    EXPECT_EQ(Wire(entry), Wire(MakeFullEntry()));
    EXPECT_EQ(entry.Entry.Name, L"Entrant \U0001F3F4");
    EXPECT_EQ(entry.Rules.RuleLists[2], (std::set<std::uint32_t>{0xFFFFFFFFu}));

    EXPECT_EQ(Wire(RoundTrip(MakeFullFleet(), MakeFullFleet())), Wire(MakeFullFleet()));
    const ResultMessage result = RoundTrip(MakeFullResult(), MakeFullResult());
    EXPECT_EQ(Wire(result), Wire(MakeFullResult()));
    EXPECT_EQ(result.Actions.size(), 3u);
    ASSERT_NE(result.Actions[0].FindShipProfile(0, 3), nullptr);
}

TEST(Serializer, FieldsThatAreNotCarriedArriveAtTheirDefaults)
{
    EntryMessage entry = MakeFullEntry();
    entry.Rules.Teams = {{0, 1}, {2, 3}};
    entry.Rules.Map.MaxShallows = 3;
    entry.Rules.Map.MaxFogs = 4;
    entry.Rules.Map.MaxHighWaves = 5;
    entry.Rules.Map.StageCode = 7;
    const EntryMessage read = RoundTrip(entry);
    EXPECT_TRUE(read.Rules.Teams.empty());
    EXPECT_EQ(read.Rules.Map.SpecialPanelCount, 6);
    EXPECT_EQ(read.Rules.Map.MaxReefs, 2);
    EXPECT_EQ(read.Rules.Map.MaxShallows, -1);
    EXPECT_EQ(read.Rules.Map.MaxFogs, -1);
    EXPECT_EQ(read.Rules.Map.MaxHighWaves, -1);
    EXPECT_EQ(read.Rules.Map.StageCode, 0u);

    FleetEditMessage fleet = MakeFullFleet();
    fleet.Value = 99;
    EXPECT_EQ(RoundTrip(fleet).Value, 0u);
}

TEST(Serializer, OnlyTheMessagesOwnVersionMustBeOne)
{
    struct Case {
        const char* name;
        std::string piece;
        std::function<void(const std::string&)> read;
    };
    auto reader = [](auto record) {
        return [record](const std::string& piece) mutable { Serializer().Deserialize(record, piece); };
    };
    const Case cases[] = {
        {"Message", Wire(MakeFullMessage()), reader(Message())},
        {"ProgressMessage", Wire(MakeFullProgress()), reader(ProgressMessage())},
        {"EntryMessage", Wire(MakeFullEntry()), reader(EntryMessage())},
        {"FleetEditMessage", Wire(MakeFullFleet()), reader(FleetEditMessage())},
        {"ResultMessage", Wire(MakeFullResult()), reader(ResultMessage())},
    };
    for (const Case& c : cases) {
        std::string piece = c.piece;
        WriteU32(piece, 1, 2);
        EXPECT_THROW(c.read(piece), CIncompatibleFormatError) << c.name;
        try {
            c.read(piece);
        } catch (const CIncompatibleFormatError& error) {
            EXPECT_STREQ(error.what(), "IncompatibleFormatError");
        }
        piece = c.piece;
        WriteU32(piece, 13, 2); // the sender's UnitProfile version
        EXPECT_NO_THROW(c.read(piece)) << c.name;
    }
    Message read;
    std::string piece = Wire(MakeFullMessage());
    WriteU32(piece, 13, 2);
    Serializer().Deserialize(read, piece);
    EXPECT_EQ(Wire(read), Wire(MakeFullMessage()));
}

TEST(Serializer, EveryCutPieceFailsToRead)
{
    auto check = [](auto whole) {
        const std::string piece = Wire(whole);
        for (std::size_t size = 0; size < piece.size(); ++size) {
            SCOPED_TRACE(size);
            ExpectReadFailure([&] {
                decltype(whole) read;
                Serializer().Deserialize(read, piece.substr(0, size));
            });
        }
    };
    check(MakeFullProgress());
    check(MakeFullEntry());
    check(MakeFullResult());
    std::uint64_t length = 0;
    ExpectReadFailure([&] { Serializer().Deserialize(length, std::string("\x01\x29\x00", 3)); });
    std::string bytes;
    ExpectReadFailure([&] { Serializer().Deserialize(bytes, std::string()); });
}

TEST(Serializer, CountsBeyondThePieceAreRefusedBeforeAnythingIsSized)
{
    const std::string piece = Serializer().Serialize(EmptyMessage());
    struct Field {
        const char* name;
        std::size_t offset;
    };
    const Field fields[] = {{"name", 29},    {"password", 37}, {"third text", 45},   {"team mates", 53},
                            {"address", 73}, {"units", 577},   {"command text", 625}};
    for (const Field& field : fields) {
        const std::uint64_t left = piece.size() - field.offset - 8;
        for (std::uint64_t count : {std::numeric_limits<std::uint64_t>::max(), std::uint64_t{1} << 62,
                                    std::uint64_t{1} << 32, left + 1}) {
            SCOPED_TRACE(std::string(field.name) + " " + std::to_string(count));
            std::string hostile = piece;
            WriteU64(hostile, field.offset, count);
            ExpectReadFailure([&] {
                Message read;
                Serializer().Deserialize(read, hostile);
            });
        }
    }
    // Two bytes per code unit: a text that would need one byte more than is
    // left is refused as well.
    std::string text = piece;
    WriteU64(text, 625, 5);
    ExpectReadFailure([&] {
        Message read;
        Serializer().Deserialize(read, text);
    });

    std::string bytes;
    ExpectReadFailure([&] { Serializer().Deserialize(bytes, PieceBuilder(false).U64(~0ull).Get()); });
    // A failure leaves nothing behind for the next call.
    Message read;
    Serializer().Deserialize(read, piece);
    EXPECT_EQ(Wire(read), piece);
}

namespace {

// Every carried number of a record gets a value of its own, so that two
// fields that changed places show up in the bytes.
class Distinct {
  public:
    std::uint32_t Next() { return m_next += 0x01010101u; }
    bool Flag() { return (++m_flags * 0x9E3779B9u) >> 31 != 0; }
    MapPos Pos() { return MapPos(Next(), Next()); }
    MineProfile Mine()
    {
        MineProfile m;
        m.Number = Next();
        m.UnitId = Next();
        m.ShipId = Next();
        m.ShipType = Next();
        m.VictimUnitId = Next();
        m.VictimShipType = Next();
        m.Reserved = Next();
        m.Pos = Pos();
        m.IsPlaced = Flag();
        m.IsExploded = !m.IsPlaced;
        return m;
    }
    TorpedoProfile Torpedo()
    {
        TorpedoProfile t;
        t.Number = Next();
        t.UnitId = Next();
        t.ShipId = Next();
        t.ShipType = Next();
        t.LaunchPos = Pos();
        t.CurrentPos = Pos();
        t.TargetPos = Pos();
        t.Direction = Next();
        t.IsFinished = Flag();
        return t;
    }
    ShipProfile Ship()
    {
        ShipProfile s;
        s.UnitId = Next();
        s.ShipId = Next();
        s.Type = Next();
        s.Status = Next();
        s.Condition = Next();
        s.LastEvent = Next();
        s.PendingStatus = Next();
        s.Hp = -static_cast<std::int32_t>(Next() >> 4);
        s.Fp = Next();
        s.FpChange = -static_cast<std::int32_t>(Next() >> 4);
        s.Pos = Pos();
        s.WeaponStock = static_cast<std::int32_t>(Next() >> 4);
        s.IsFlagship = Flag();
        for (std::uint32_t& counter : s.Statistics.Counters) counter = Next();
        ShipConfigSet& c = s.Config;
        for (std::uint32_t* word : {&c.Type, &c.Hp, &c.Fp, &c.AttackFp, &c.MoveFp, &c.ExtraMoveFp,
                                    &c.TorpedoFp, &c.RefuelFp, &c.WeaponStock, &c.Reserved, &c.MoveRange}) {
            *word = Next();
        }
        for (bool* flag : {&c.CanLayMine, &c.CanFireTorpedo, &c.CanStealth, &c.CanRefuel}) *flag = Flag();
        for (MineProfile& mine : s.MineHits) mine = Mine();
        return s;
    }
    MapCoordinateInfo Coordinates()
    {
        MapCoordinateInfo info;
        info.Positions = {Pos(), Pos()};
        info.KnownPositions = {Pos()};
        return info;
    }
    MapData Map(bool withMines)
    {
        MapData m;
        m.Id = Next();
        m.Size = Pos();
        m.CoordinateInfo = Coordinates();
        m.UnitCoordinateInfo[Next()] = Coordinates();
        m.UnitCoordinateInfo[Next()] = MapCoordinateInfo();
        m.PanelTypes[Pos()] = static_cast<PanelType>(Next());
        m.PanelTypes[Pos()] = static_cast<PanelType>(Next());
        m.Torpedoes = {Torpedo(), Torpedo()};
        if (withMines) m.Mines = {Mine(), Mine()};
        m.SpecialPanelCount = static_cast<std::int32_t>(Next());
        m.MaxReefs = static_cast<std::int32_t>(Next());
        return m;
    }
    ActionInfo Action()
    {
        ActionInfo a;
        for (std::uint32_t* word :
             {&a.Kind, &a.Command, &a.UnitId, &a.ShipId, &a.ShipType, &a.Direction, &a.Distance}) {
            *word = Next();
        }
        a.Target = Pos();
        a.Ships[Next()] = {Ship(), Ship()};
        a.Ships[Next()] = {};
        return a;
    }
    GameEditInfo Rules()
    {
        GameEditInfo r;
        r.Rule = Next();
        r.Map = Map(true);
        r.ComputerLevel = -static_cast<std::int32_t>(Next() >> 4);
        r.Mission = Next();
        r.TimeLimit = Next();
        r.DeadlineRounds = Next();
        r.IsTeamVersus = Flag();
        r.SurfacingCycle = Next();
        r.FpPercentage = Next();
        r.DestroyerWeapons = Next();
        r.SubmarineWeapons = Next();
        r.ReserveFleetSize = Next();
        r.IsPanelEffectEnabled = Flag();
        r.IsStealthEnabled = !r.IsPanelEffectEnabled;
        r.ThirdFlag = Flag();
        r.PlayerCount = Next();
        r.TeamCount = Next();
        r.PlayerTypes = {Next(), Next()};
        r.PlayerOptions = {Next(), Next(), Next()};
        r.FleetSize = Next();
        r.IsReinforcementAllowed = Next();
        r.RuleLists = {std::set<std::uint32_t>{Next()}, std::set<std::uint32_t>{},
                       std::set<std::uint32_t>{Next(), Next()}};
        return r;
    }

  private:
    std::uint32_t m_next = 0x00102030u;
    std::uint32_t m_flags = 0;
};

// The pieces of the four larger kinds as the record tables lay them out:
// each record type brings its version word the first time it occurs.
class Layout {
  public:
    explicit Layout(bool bigEndian) : b(bigEndian) {}

    std::string Progress(const ProgressMessage& m)
    {
        Header(m, "ProgressMessage");
        Order(m.Order);
        Map(m.Map);
        b.U64(m.TurnOrder.size());
        for (std::uint32_t id : m.TurnOrder) b.U32(id);
        ShipTable(m.Ships);
        b.Text(m.Text).Text(m.BoardText);
        return b.Get();
    }
    std::string Entry(const EntryMessage& m)
    {
        Header(m, "EntryMessage");
        b.U8(m.IsPlayer);
        Unit(m.Entry);
        Rules(m.Rules);
        b.Text(m.Text);
        return b.Get();
    }
    std::string Fleet(const FleetEditMessage& m)
    {
        Header(m, "FleetEditMessage");
        Ships(m.Ships);
        b.U8(m.FirstFlag).U8(m.SecondFlag).Text(m.Text);
        return b.Get();
    }
    std::string Result(const ResultMessage& m)
    {
        Header(m, "ResultMessage");
        Order(m.Order);
        b.U64(m.Actions.size());
        for (const ActionInfo& a : m.Actions) {
            Version("ActionInfo");
            b.U32(a.Kind).U32(a.Command).U32(a.UnitId).U32(a.ShipId).U32(a.ShipType).U32(a.Direction);
            b.U32(a.Distance);
            Pos(a.Target);
            ShipTable(a.Ships);
        }
        return b.Get();
    }

  private:
    void Version(const char* type)
    {
        if (m_seen.insert(type).second) b.U32(1);
    }
    void Header(const Message& m, const char* kind)
    {
        Version(kind);
        b.U32(m.Code).U32(m.SecondCode);
        Unit(m.Sender);
        b.U64(m.Units.size());
        for (const UnitProfile& unit : m.Units) Unit(unit);
        const CommandInput& c = m.Command;
        Version("CommandInput");
        b.U32(c.Command).U32(c.UnitId).U32(c.ShipId).U32(c.ShipType).U32(c.Direction).U32(c.Distance);
        Pos(c.Target);
        b.Text(c.Text).U64(m.Time);
    }
    void Unit(const UnitProfile& u)
    {
        Version("UnitProfile");
        b.U32(u.Id).U32(u.Type).U32(u.OriginFlag).Text(u.Name).Text(u.Password).Text(u.ThirdText);
        b.U64(u.TeamMates.size());
        for (std::uint64_t mate : u.TeamMates) b.U64(mate);
        b.U32(u.Level).U32(u.FlagshipId).U32(u.ReinforcementsLeft).Bytes(u.Address).U16(u.Port);
        b.U8(u.IsResigned).U8(u.IsTimedOut);
        for (const ActionStatistics& s : u.Statistics) {
            Version("ActionStatistics");
            for (std::uint32_t counter : s.Counters) b.U32(counter);
            b.U64(s.Time).Real(s.Score);
        }
        b.U64(u.HostId);
    }
    void Pos(const MapPos& p)
    {
        Version("MapPos");
        b.U32(p.x).U32(p.y);
    }
    void Order(const PlayOrder& o)
    {
        Version("PlayOrder");
        b.U32(o.Round).U32(o.Position);
    }
    void PosSet(const std::set<MapPos>& set)
    {
        b.U64(set.size());
        for (const MapPos& p : set) Pos(p);
    }
    void Coordinates(const MapCoordinateInfo& info)
    {
        Version("MapCoordinateInfo");
        PosSet(info.Positions);
        PosSet(info.KnownPositions);
    }
    void Mine(const MineProfile& m)
    {
        Version("MineProfile");
        b.U32(m.Number).U32(m.UnitId).U32(m.ShipId).U32(m.ShipType).U32(m.VictimUnitId).U32(m.VictimShipType);
        b.U32(m.Reserved);
        Pos(m.Pos);
        b.U8(m.IsPlaced).U8(m.IsExploded);
    }
    void Map(const MapData& m)
    {
        Version("MapData");
        b.U32(m.Id);
        Pos(m.Size);
        Coordinates(m.CoordinateInfo);
        b.U64(m.UnitCoordinateInfo.size());
        for (const auto& entry : m.UnitCoordinateInfo) {
            b.U32(entry.first);
            Coordinates(entry.second);
        }
        b.U64(m.PanelTypes.size());
        for (const auto& entry : m.PanelTypes) {
            Pos(entry.first);
            b.U32(entry.second);
        }
        b.U64(m.Torpedoes.size());
        for (const TorpedoProfile& t : m.Torpedoes) {
            Version("TorpedoProfile");
            b.U32(t.Number).U32(t.UnitId).U32(t.ShipId).U32(t.ShipType);
            Pos(t.LaunchPos);
            Pos(t.CurrentPos);
            Pos(t.TargetPos);
            b.U32(t.Direction).U8(t.IsFinished);
        }
        b.U64(m.Mines.size());
        for (const MineProfile& mine : m.Mines) Mine(mine);
        // The first two of the trailing words.
        b.U32(static_cast<std::uint32_t>(m.SpecialPanelCount)).U32(static_cast<std::uint32_t>(m.MaxReefs));
    }
    void Ship(const ShipProfile& s)
    {
        Version("ShipProfile");
        b.U32(s.UnitId).U32(s.ShipId).U32(s.Type).U32(s.Status).U32(s.Condition).U32(s.LastEvent);
        b.U32(s.PendingStatus).U32(static_cast<std::uint32_t>(s.Hp)).U32(s.Fp);
        b.U32(static_cast<std::uint32_t>(s.FpChange));
        Pos(s.Pos);
        b.U32(static_cast<std::uint32_t>(s.WeaponStock)).U8(s.IsFlagship);
        Version("ShipStatistics");
        for (std::uint32_t counter : s.Statistics.Counters) b.U32(counter);
        const ShipConfigSet& c = s.Config;
        Version("ShipConfigSet");
        b.U32(c.Type).U32(c.Hp).U32(c.Fp).U32(c.AttackFp).U32(c.MoveFp).U32(c.ExtraMoveFp).U32(c.TorpedoFp);
        b.U32(c.RefuelFp).U32(c.WeaponStock).U32(c.Reserved).U32(c.MoveRange);
        b.U8(c.CanLayMine).U8(c.CanFireTorpedo).U8(c.CanStealth).U8(c.CanRefuel);
        for (const MineProfile& mine : s.MineHits) Mine(mine);
    }
    void Ships(const std::vector<ShipProfile>& ships)
    {
        b.U64(ships.size());
        for (const ShipProfile& s : ships) Ship(s);
    }
    void ShipTable(const std::map<std::uint32_t, std::vector<ShipProfile>>& table)
    {
        b.U64(table.size());
        for (const auto& entry : table) {
            b.U32(entry.first);
            Ships(entry.second);
        }
    }
    void Rules(const GameEditInfo& r)
    {
        Version("GameEditInfo");
        b.U32(r.Rule);
        Map(r.Map);
        b.U32(static_cast<std::uint32_t>(r.ComputerLevel))
            .U32(r.Mission)
            .U32(r.TimeLimit)
            .U32(r.DeadlineRounds);
        b.U8(r.IsTeamVersus);
        b.U32(r.SurfacingCycle).U32(r.FpPercentage).U32(r.DestroyerWeapons).U32(r.SubmarineWeapons);
        b.U32(r.ReserveFleetSize);
        b.U8(r.IsPanelEffectEnabled).U8(r.IsStealthEnabled).U8(r.ThirdFlag);
        b.U32(r.PlayerCount).U32(r.TeamCount);
        for (const std::vector<std::uint32_t>* list : {&r.PlayerTypes, &r.PlayerOptions, &r.PlayerOptions}) {
            b.U64(list->size());
            for (std::uint32_t value : *list) b.U32(value);
        }
        b.U32(r.FleetSize).U32(r.IsReinforcementAllowed);
        for (const std::set<std::uint32_t>& set : r.RuleLists) {
            b.U64(set.size());
            for (std::uint32_t value : set) b.U32(value);
        }
    }

    PieceBuilder b;
    std::set<std::string> m_seen;
};

template <class T> void ExpectLayout(const T& record, std::string (Layout::*build)(const T&))
{
    EXPECT_EQ(Hex(Serializer().Serialize(record)), Hex((Layout(false).*build)(record)));
    for (bool bigEndian : {false, true}) {
        T read;
        Serializer().Deserialize(read, (Layout(bigEndian).*build)(record));
        EXPECT_EQ(Hex(Wire(read)), Hex(Wire(record))) << (bigEndian ? "big" : "little") << " endian";
    }
}

} // namespace

TEST(Serializer, EveryNestedRecordFollowsItsTableInEitherByteOrder)
{
    Distinct d;
    {
        SCOPED_TRACE("turn state: the map's mines come before any ship");
        ProgressMessage m;
        FillHeader(m, 35);
        m.Order = {d.Next(), d.Next()};
        m.Map = d.Map(true);
        m.TurnOrder = {d.Next(), d.Next()};
        m.Ships[1] = {};
        m.Ships[2] = {d.Ship(), d.Ship()};
        m.Text = L"text";
        m.BoardText = L"board \U0001F6A2";
        ExpectLayout(m, &Layout::Progress);
        SCOPED_TRACE("no mines on the map: the first ship brings the mine version");
        m.Map.Mines.clear();
        ExpectLayout(m, &Layout::Progress);
    }
    {
        SCOPED_TRACE("entry");
        EntryMessage m(14);
        FillHeader(m, 14);
        m.IsPlayer = true;
        m.Entry = MakeUnit(7, L"Entrant");
        m.Rules = d.Rules();
        m.Text = L"hi";
        ExpectLayout(m, &Layout::Entry);
    }
    {
        SCOPED_TRACE("fleet");
        FleetEditMessage m;
        FillHeader(m, FleetEditMessage::FleetCode);
        m.Ships = {d.Ship(), d.Ship(), d.Ship()};
        m.FirstFlag = false;
        m.SecondFlag = true;
        m.Text = L"fleet";
        ExpectLayout(m, &Layout::Fleet);
    }
    {
        SCOPED_TRACE("result");
        ResultMessage m;
        FillHeader(m, 36);
        m.Order = {d.Next(), d.Next()};
        m.Actions = {d.Action(), ActionInfo(), d.Action()};
        ExpectLayout(m, &Layout::Result);
    }
}

TEST(Serializer, AHugeNumberAnywhereInAPieceFailsCleanly)
{
    // Wherever it lands, it may be a count of any container of the kinds:
    // the read either succeeds or fails with the read failure, never with an
    // allocation the piece cannot back.
    auto check = [](auto whole) {
        const std::string piece = Wire(whole);
        for (std::size_t at = 1; at + 8 <= piece.size(); ++at) {
            for (std::uint64_t count : {~0ull, 1ull << 32}) {
                std::string hostile = piece;
                WriteU64(hostile, at, count);
                decltype(whole) read;
                try {
                    Serializer().Deserialize(read, hostile);
                } catch (const cereal::Exception&) {
                } catch (const CIncompatibleFormatError&) {
                }
            }
        }
    };
    check(MakeFullProgress());
    check(MakeFullEntry());
    check(MakeFullResult());
}

TEST(Serializer, EntriesOutOfOrderOrRepeatedReadAsIntoANewRecord)
{
    // Another writer may send set and map entries in any order and twice;
    // a record read over must end up as a new one would: each key once,
    // its first value kept.
    ProgressMessage written = MakeFullProgress();
    written.Sender.TeamMates = {0x1111111111111111ull, 0x2222222222222222ull, 0x3333333333333333ull};
    written.Map.PanelTypes = {
        {MapPos(0x71, 0x72), PanelReef}, {MapPos(0x73, 0x74), PanelFog}, {MapPos(0x75, 0x76), PanelShallow}};
    std::string piece = Wire(written);
    auto at = [&piece](const std::string& bytes) {
        const std::size_t found = piece.find(bytes);
        EXPECT_NE(found, std::string::npos);
        return found;
    };
    // Team mates 3, 3, 1; panels (0x75, 0x76), (0x75, 0x76) as fog, (0x71, 0x72).
    const std::size_t mates = at(std::string(8, '\x11'));
    WriteU64(piece, mates, 0x3333333333333333ull);
    WriteU64(piece, mates + 8, 0x3333333333333333ull);
    WriteU64(piece, mates + 16, 0x1111111111111111ull);
    const std::size_t panels = at(std::string("\x71\0\0\0\x72\0\0\0", 8));
    WriteU32(piece, panels, 0x75);
    WriteU32(piece, panels + 4, 0x76);
    WriteU32(piece, panels + 8, PanelShallow);
    WriteU32(piece, panels + 12, 0x75);
    WriteU32(piece, panels + 16, 0x76);
    WriteU32(piece, panels + 20, PanelFog);
    WriteU32(piece, panels + 24, 0x71);
    WriteU32(piece, panels + 28, 0x72);
    WriteU32(piece, panels + 32, PanelReef);

    ProgressMessage fresh;
    Serializer().Deserialize(fresh, piece);
    EXPECT_EQ(fresh.Sender.TeamMates,
              (std::set<std::uint64_t>{0x1111111111111111ull, 0x3333333333333333ull}));
    EXPECT_EQ(fresh.Map.PanelTypes, (std::map<MapPos, PanelType>{{MapPos(0x71, 0x72), PanelReef},
                                                                 {MapPos(0x75, 0x76), PanelShallow}}));
    for (const std::string& before : {Wire(MakeFullProgress()), Wire(written)}) {
        ProgressMessage reused;
        Serializer().Deserialize(reused, before);
        Serializer().Refill(reused, piece.data(), piece.size());
        EXPECT_EQ(Wire(reused), Wire(fresh));
    }
}
