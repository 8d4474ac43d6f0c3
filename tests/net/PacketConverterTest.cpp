#include "net/PacketConverter.h"

#include "tests/net/PacketForge.h"
#include "tests/net/SampleMessages.h"

#include <cereal/details/helpers.hpp>
#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/gcm.h>
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <random>
#include <thread>
#include <vector>

using namespace Marevane;
using namespace Marevane::Samples;
using namespace Marevane::Testing;

namespace {

CPacketConverter& Converter()
{
    return CPacketConverter::GetInstance();
}

CSerializer& Serializer()
{
    return CSerializer::GetInstance();
}

std::string KindPiece(std::uint32_t kind)
{
    return Serializer().Serialize(kind);
}

// A block that already holds a packet of each of two kinds.
ReceivedData FilledBlock()
{
    ReceivedData data;
    Converter().Decode(data, Converter().Encode(MakeFullEntry()));
    Converter().Decode(data, Converter().Encode(MakeFullMessage()));
    return data;
}

void ExpectUnchanged(const ReceivedData& data)
{
    EXPECT_EQ(data.Code, 53u);
    EXPECT_EQ(data.Kind, KindMessage);
    EXPECT_TRUE(Wire(data.Plain) == Wire(MakeFullMessage()));
    EXPECT_TRUE(Wire(data.Entry) == Wire(MakeFullEntry()));
}

struct KindCase {
    const char* name;
    std::uint32_t kind;
    std::function<Packet()> encode;
    std::string wire;
    std::function<std::string(const ReceivedData&)> slot;
};

std::vector<KindCase> KindCases()
{
    return {
        {"Message", KindMessage, [] { return Converter().Encode(MakeFullMessage()); },
         Wire(MakeFullMessage()), [](const ReceivedData& d) { return Wire(d.Plain); }},
        {"ProgressMessage", KindProgress, [] { return Converter().Encode(MakeFullProgress()); },
         Wire(MakeFullProgress()), [](const ReceivedData& d) { return Wire(d.Progress); }},
        {"EntryMessage", KindEntry, [] { return Converter().Encode(MakeFullEntry()); }, Wire(MakeFullEntry()),
         [](const ReceivedData& d) { return Wire(d.Entry); }},
        {"FleetEditMessage", KindFleetEdit, [] { return Converter().Encode(MakeFullFleet()); },
         Wire(MakeFullFleet()), [](const ReceivedData& d) { return Wire(d.FleetEdit); }},
        {"ResultMessage", KindResult, [] { return Converter().Encode(MakeFullResult()); },
         Wire(MakeFullResult()), [](const ReceivedData& d) { return Wire(d.Result); }},
    };
}

} // namespace

TEST(PacketConverter, EveryPacketIsFramedAndOpensWithTheProgramsKeys)
{
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(c.name);
        const Packet packet = c.encode();
        ASSERT_GT(packet.size(), 59u);
        EXPECT_EQ(packet[0], 1);
        EXPECT_EQ(packet[9], 1);
        EXPECT_EQ(ReadU64(packet, 1), packet.size());
        EXPECT_EQ(Converter().GetPacketSize(packet), packet.size());
        EXPECT_EQ(Converter().GetPacketSize(packet.data()), packet.size());
        EXPECT_EQ(Converter().GetIvBlockSize(packet), 41u);

        const std::string ivPiece = Open(FixedKey, FixedIv, packet.substr(18, 41));
        ASSERT_EQ(ivPiece.size(), 25u);
        EXPECT_EQ(ivPiece.substr(0, 9), std::string("\x01\x10\0\0\0\0\0\0\0", 9));
        const std::string plaintext = Open(PayloadKey, ivPiece.substr(9), packet.substr(59));
        EXPECT_TRUE(plaintext == KindPiece(c.kind) + c.wire);
    }
    Message empty = EmptyMessage();
    EXPECT_EQ(Converter().Encode(empty).size(), 721u);
}

TEST(PacketConverter, EveryKindDecodesIntoItsOwnSlotOnly)
{
    for (const KindCase& c : KindCases()) {
        SCOPED_TRACE(c.name);
        ReceivedData data;
        data.Plain = MakeMessage(99);
        Converter().Decode(data, c.encode());
        EXPECT_EQ(data.Kind, c.kind);
        EXPECT_EQ(data.Code, data.GetMessage().Code);
        EXPECT_TRUE(c.slot(data) == c.wire);
        if (c.kind != KindMessage) {
            EXPECT_EQ(data.Plain.Code, 99u);
        }
    }
}

TEST(PacketConverter, EachEncodeDrawsAFreshIv)
{
    const Packet first = Converter().Encode(MakeFullFleet());
    const Packet second = Converter().Encode(MakeFullFleet());
    ASSERT_EQ(first.size(), second.size());
    EXPECT_EQ(first.substr(0, 18), second.substr(0, 18));
    EXPECT_NE(first.substr(18, 41), second.substr(18, 41));
    EXPECT_NE(first.substr(59), second.substr(59));
    ReceivedData a;
    ReceivedData b;
    Converter().Decode(a, first);
    Converter().Decode(b, second);
    EXPECT_TRUE(Wire(a.FleetEdit) == Wire(b.FleetEdit));
}

TEST(PacketConverter, UnknownAndReservedKindsReadAsAPlainMessage)
{
    for (std::uint32_t kind : {4u, 6u, 0xFFFFFFFFu}) {
        ReceivedData data = FilledBlock();
        Converter().Decode(data, Forge(KindPiece(kind) + Wire(MakeMessage(41))));
        EXPECT_EQ(data.Kind, kind);
        EXPECT_EQ(data.Code, 41u);
        EXPECT_EQ(data.Plain.Code, 41u);
        EXPECT_EQ(&data.GetMessage(), &data.Plain);
        EXPECT_TRUE(Wire(data.Entry) == Wire(MakeFullEntry()));
    }
}

TEST(PacketConverter, AnIvOfAnyLengthButNoneIsTaken)
{
    ReceivedData data;
    for (std::size_t length : {1u, 12u, 32u}) {
        Converter().Decode(data,
                           Forge(KindPiece(KindMessage) + Wire(MakeMessage(7)), std::string(length, 'v')));
        EXPECT_EQ(data.Code, 7u);
    }
    data = FilledBlock();
    EXPECT_THROW(Converter().Decode(data, Forge(KindPiece(KindMessage) + Wire(MakeMessage(7)), "")),
                 CReceivedDataError);
    ExpectUnchanged(data);
}

TEST(PacketConverter, AFlippedBitAnywhereFailsAndChangesNothing)
{
    const Packet packet = Converter().Encode(EmptyMessage());
    ReceivedData data = FilledBlock();
    for (std::size_t i = 0; i < packet.size(); ++i) {
        for (int bit = 0; bit < 8; ++bit) {
            Packet flipped = packet;
            flipped[i] = static_cast<char>(flipped[i] ^ (1 << bit));
            if (i < 18) {
                // A length that no longer fits, or an IV block cut differently.
                EXPECT_THROW(Converter().Decode(data, flipped), std::exception) << i << ":" << bit;
            } else {
                EXPECT_THROW(Converter().Decode(data, flipped),
                             CryptoPP::HashVerificationFilter::HashVerificationFailed)
                    << i << ":" << bit;
            }
        }
    }
    ExpectUnchanged(data);
}

TEST(PacketConverter, PartOfAPacketTellsItsWholeSizeAndDoesNotDecode)
{
    const Packet packet = Converter().Encode(MakeFullResult());
    ReceivedData data = FilledBlock();
    for (std::size_t size = 0; size < packet.size(); ++size) {
        const Packet part = packet.substr(0, size);
        // What a reader holds of the packet so far: it knows how much to wait for.
        if (size >= 9) {
            EXPECT_EQ(Converter().GetPacketSize(part.data()), packet.size());
        }
        EXPECT_THROW(Converter().Decode(data, part), CReceivedDataError) << size;
    }
    EXPECT_THROW(Converter().Decode(data, packet + '\0'), CReceivedDataError);
    EXPECT_THROW(Converter().Decode(data, packet + packet), CReceivedDataError);
    ExpectUnchanged(data);
    try {
        Converter().Decode(data, packet.substr(0, 20));
    } catch (const CReceivedDataError& error) {
        EXPECT_STREQ(error.what(), "CPacketConverter::Decode(): Invalid data size.");
    }
}

TEST(PacketConverter, SizesThatDoNotFitThePacketAreRefused)
{
    const Packet packet = Converter().Encode(MakeMessage(3));
    struct Case {
        const char* name;
        std::uint64_t total;
        std::uint64_t ivBlock;
    };
    const std::uint64_t size = packet.size();
    const Case cases[] = {
        {"huge total", ~0ull, 41},
        {"huge iv block", size, ~0ull},
        {"iv block past the end", size, size},
        {"no room for a tag", size, size - 18 - 15},
        {"iv block without a tag", size, 15},
        {"no iv block", size, 0},
    };
    ReceivedData data = FilledBlock();
    for (const Case& c : cases) {
        Packet forged = packet;
        WriteU64(forged, 1, c.total);
        WriteU64(forged, 10, c.ivBlock);
        EXPECT_THROW(Converter().Decode(data, forged), CReceivedDataError) << c.name;
    }
    ExpectUnchanged(data);
}

TEST(PacketConverter, PayloadsThatCannotHoldARecordFailCleanly)
{
    ReceivedData data = FilledBlock();
    for (std::size_t size = 0; size < 5; ++size) {
        EXPECT_THROW(Converter().Decode(data, Forge(KindPiece(KindEntry).substr(0, size))),
                     CReceivedDataError)
            << size;
    }
    // Sealed with the right keys, yet not a record we can read.
    std::string version2 = Wire(MakeFullEntry());
    WriteU32(version2, 1, 2);
    EXPECT_THROW(Converter().Decode(data, Forge(KindPiece(KindEntry) + version2)), CIncompatibleFormatError);
    EntryMessage empty;
    empty.Sender.Address.clear();
    std::string hostile = Wire(empty);
    WriteU64(hostile, 577, ~0ull); // the unit count
    EXPECT_THROW(Converter().Decode(data, Forge(KindPiece(KindEntry) + hostile)), cereal::Exception);
    const std::string whole = Wire(MakeFullEntry());
    EXPECT_THROW(Converter().Decode(data, Forge(KindPiece(KindEntry) + whole.substr(0, whole.size() / 2))),
                 cereal::Exception);
    ExpectUnchanged(data);
}

TEST(PacketConverter, GarbageNeverCrashes)
{
    std::mt19937 random(20261210);
    const Packet real = Converter().Encode(MakeFullMessage());
    ReceivedData data = FilledBlock();
    for (int round = 0; round < 400; ++round) {
        std::string garbage(random() % 200, '\0');
        for (char& c : garbage) c = static_cast<char>(random());
        if (round % 2 == 1) {
            // Random bytes behind a real head, or a real packet with its tail torn up.
            garbage = round % 4 == 1 ? real.substr(0, 18) + garbage : real.substr(0, 60) + garbage;
            WriteU64(garbage, 1, garbage.size());
        }
        EXPECT_ANY_THROW(Converter().Decode(data, garbage)) << round;
    }
    ExpectUnchanged(data);
}

TEST(PacketConverter, ThreadsMayEncodeAndDecodeAtOnce)
{
    std::vector<std::thread> threads;
    std::vector<int> good(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &good] {
            for (int i = 0; i < 50; ++i) {
                ReceivedData data;
                Converter().Decode(data,
                                   Converter().Encode(MakeMessage(static_cast<MessageCode>(t * 100 + i))));
                if (data.Code == static_cast<MessageCode>(t * 100 + i)) ++good[t];
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(good, std::vector<int>(4, 50));
}

TEST(PacketConverter, LengthFieldsFlaggedBigEndianAreReadThatWay)
{
    const Packet packet = Converter().Encode(MakeFullResult());
    Packet flagged = packet;
    for (std::size_t field : {0u, 9u}) {
        const std::uint64_t value = ReadU64(packet, field + 1);
        flagged[field] = 0;
        for (int i = 0; i < 8; ++i) flagged[field + 1 + i] = static_cast<char>(value >> (8 * (7 - i)));
    }
    EXPECT_EQ(Converter().GetPacketSize(flagged.data()), packet.size());
    EXPECT_EQ(Converter().GetIvBlockSize(flagged), 41u);
    ReceivedData data;
    Converter().Decode(data, flagged);
    EXPECT_EQ(data.Kind, KindResult);
    EXPECT_TRUE(Wire(data.Result) == Wire(MakeFullResult()));
}

TEST(PacketConverter, ASlotReadOverAndOverHoldsOnlyTheLastRecord)
{
    // A slot keeps its storage from one packet to the next: what the last
    // packet carried is all it holds, and what the wire does not carry is
    // back at its default.
    ReceivedData data;
    data.Entry.Rules.Teams = {{0, 1}};
    data.Entry.Rules.Map.StageCode = 7;
    data.FleetEdit.Value = 99;
    ProgressMessage bigger = MakeFullProgress();
    bigger.Ships[3] = {MakeShip(3, 1), MakeShip(3, 2), MakeShip(3, 3)};
    bigger.Map.PanelTypes[MapPos(6, 6)] = PanelShallow;
    bigger.Units.push_back(MakeUnit(7, L"seventh"));
    ProgressMessage smaller = MakeFullProgress();
    smaller.Ships.erase(0);
    smaller.Map.CoordinateInfo.Positions.clear();
    smaller.Units.resize(1);
    smaller.BoardText = L"b";
    for (const ProgressMessage* state : {&bigger, &smaller, &bigger, &smaller}) {
        Converter().Decode(data, Converter().Encode(*state));
        EXPECT_TRUE(Wire(data.Progress) == Wire(*state));
    }
    Converter().Decode(data, Converter().Encode(MakeFullEntry()));
    EXPECT_TRUE(data.Entry.Rules.Teams.empty());
    EXPECT_EQ(data.Entry.Rules.Map.StageCode, 0u);
    Converter().Decode(data, Converter().Encode(MakeFullFleet()));
    EXPECT_EQ(data.FleetEdit.Value, 0u);
    EXPECT_TRUE(Wire(data.Entry) == Wire(MakeFullEntry()));
}
