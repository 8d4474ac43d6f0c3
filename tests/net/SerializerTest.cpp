#include "net/Serializer.h"

#include "model/TextUtil.h"
#include "tests/net/SampleMessages.h"

#include <cereal/details/helpers.hpp>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <limits>

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
