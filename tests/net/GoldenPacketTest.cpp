// Packets of every kind in both byte orders, recorded once from the sample
// records: the bytes on the wire must never change, and a packet written by
// a big-endian sender must read as the little-endian one does.
#include "net/PacketConverter.h"

#include "tests/net/PacketForge.h"
#include "tests/net/SampleMessages.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

using namespace Marevane;
using namespace Marevane::Samples;
using namespace Marevane::Testing;

namespace {

struct GoldenCase {
    std::string Name;
    std::uint32_t Kind;
    std::function<Packet()> Encode;
    // The wire form of the sample, and of the slot a decode filled.
    std::string Wire;
    std::function<std::string(const ReceivedData&)> Slot;
};

template <class T, class Make>
GoldenCase MakeCase(std::string name, std::uint32_t kind, Make make, T ReceivedData::*slot)
{
    return {std::move(name), kind, [make] { return CPacketConverter::GetInstance().Encode(make()); },
            Samples::Wire(make()), [slot](const ReceivedData& data) { return Samples::Wire(data.*slot); }};
}

// Named in test output by its name, not by its bytes.
void PrintTo(const GoldenCase& c, std::ostream* out)
{
    *out << c.Name;
}

std::vector<GoldenCase> GoldenCases()
{
    return {
        MakeCase("message_empty", KindMessage, EmptyMessage, &ReceivedData::Plain),
        MakeCase("message", KindMessage, MakeFullMessage, &ReceivedData::Plain),
        MakeCase("progress", KindProgress, MakeFullProgress, &ReceivedData::Progress),
        MakeCase("entry", KindEntry, MakeFullEntry, &ReceivedData::Entry),
        MakeCase("fleet", KindFleetEdit, MakeFullFleet, &ReceivedData::FleetEdit),
        MakeCase("result", KindResult, MakeFullResult, &ReceivedData::Result),
    };
}

std::string GoldenPath(const GoldenCase& c, bool bigEndian)
{
    std::string file = c.Name;
    for (char& ch : file) {
        if (ch == '_') ch = '-';
    }
    return std::string(MAREVANE_NET_TEST_DATA) + "/golden/" + file + (bigEndian ? "-be" : "-le") + ".packet";
}

class GoldenPacket : public ::testing::TestWithParam<GoldenCase> {};

} // namespace

TEST_P(GoldenPacket, TheEncoderWritesTheRecordedBytes)
{
    const GoldenCase& c = GetParam();
    const Packet golden = ReadFile(GoldenPath(c, false));
    ASSERT_FALSE(golden.empty());
    const Packet packet = c.Encode();
    // Only the IV differs from one encode to the next: the frame, the IV's
    // piece around it and the whole plaintext are those recorded.
    ASSERT_EQ(packet.size(), golden.size());
    EXPECT_EQ(packet.substr(0, 18), golden.substr(0, 18));
    const OpenedPacket fresh = OpenPacket(packet);
    const OpenedPacket recorded = OpenPacket(golden);
    EXPECT_EQ(fresh.IvPiece.substr(0, 9), recorded.IvPiece.substr(0, 9));
    EXPECT_TRUE(fresh.Plaintext == recorded.Plaintext);
    // Sealed with the recorded IV, that plaintext is the recorded packet.
    const std::string iv = recorded.IvPiece.substr(9);
    EXPECT_TRUE(golden.substr(18) ==
                Seal(FixedKey, FixedIv, recorded.IvPiece) + Seal(PayloadKey, iv, fresh.Plaintext));
}

TEST_P(GoldenPacket, BothByteOrdersDecodeToTheRecord)
{
    const GoldenCase& c = GetParam();
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big endian" : "little endian");
        const Packet golden = ReadFile(GoldenPath(c, bigEndian));
        ASSERT_FALSE(golden.empty());
        EXPECT_EQ(golden[0], bigEndian ? 0 : 1);
        ReceivedData data;
        CPacketConverter::GetInstance().Decode(data, golden);
        EXPECT_EQ(data.Kind, c.Kind);
        EXPECT_EQ(data.Code, data.GetMessage().Code);
        EXPECT_TRUE(c.Slot(data) == c.Wire);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryKind, GoldenPacket, ::testing::ValuesIn(GoldenCases()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) { return info.param.Name; });
