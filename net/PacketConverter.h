// Turns a message record into one self-delimiting encrypted packet and back,
// and the block a receiver keeps of the last packet of each kind.
//
// A packet: the total length T and the IV-block length L (each a 9-byte
// piece), the IV block (the packet's fresh IV sealed with AES-128-GCM under a
// fixed key), then the payload (the kind and the record, sealed under the
// payload key and that IV).
#pragma once

#include "model/Messages.h"
#include "net/Serializer.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

namespace Marevane {

// Carried at the head of every payload; 4 is reserved and never produced.
enum MessageKind : std::uint32_t {
    KindMessage = 0,
    KindProgress = 1,
    KindEntry = 2,
    KindFleetEdit = 3,
    KindPreparation = 4,
    KindResult = 5,
};

// What one read of a connection reports.
constexpr MessageCode ReadNothing = 6;  // nothing has arrived yet
constexpr MessageCode ReadPartial = 7;  // part of a packet is in
constexpr MessageCode ReadComplete = 8; // a whole packet was decoded
constexpr MessageCode ReadFailed = 124; // the connection is gone

// The framed, encrypted bytes of one message.
using Packet = std::string;

// The last packet a connection received: its code, its kind, and one slot
// per kind holding the last record of that kind.
struct ReceivedData {
    MessageCode Code = 0;
    std::uint32_t Kind = KindMessage;
    Message Plain; // kind 0, 4 and every unknown kind
    ProgressMessage Progress;
    EntryMessage Entry;
    FleetEditMessage FleetEdit;
    PreparationMessage Preparation; // never filled
    ResultMessage Result;

    void Clear() { *this = ReceivedData(); }

    // Hands the code, the kind and the slot of the last packet to another
    // block, whose other slots keep what they hold.
    void MoveLastInto(ReceivedData& other)
    {
        other.Code = Code;
        other.Kind = Kind;
        switch (Kind) {
        case KindProgress:
            other.Progress = std::move(Progress);
            break;
        case KindEntry:
            other.Entry = std::move(Entry);
            break;
        case KindFleetEdit:
            other.FleetEdit = std::move(FleetEdit);
            break;
        case KindResult:
            other.Result = std::move(Result);
            break;
        default:
            other.Plain = std::move(Plain);
            break;
        }
    }

    // The slot of the last packet's kind, as its common header.
    const Message& GetMessage() const
    {
        switch (Kind) {
        case KindProgress:
            return Progress;
        case KindEntry:
            return Entry;
        case KindFleetEdit:
            return FleetEdit;
        case KindResult:
            return Result;
        default:
            return Plain;
        }
    }
};

// A packet whose sizes do not fit together or whose payload is too short.
class CReceivedDataError : public std::runtime_error {
  public:
    CReceivedDataError() : std::runtime_error("CPacketConverter::Decode(): Invalid data size.") {}
};

class CPacketConverter {
  public:
    // The bytes of each length field, and of both together.
    static constexpr std::size_t LengthFieldSize = 9;
    static constexpr std::size_t HeadSize = 2 * LengthFieldSize;

    static CPacketConverter& GetInstance();
    virtual ~CPacketConverter();

    CPacketConverter(const CPacketConverter&) = delete;
    CPacketConverter& operator=(const CPacketConverter&) = delete;

    Packet Encode(const Message& message);
    Packet Encode(const ProgressMessage& message);
    Packet Encode(const EntryMessage& message);
    Packet Encode(const FleetEditMessage& message);
    Packet Encode(const ResultMessage& message);

    // Decodes one whole packet into the slot of its kind and sets the code
    // and kind. Throws on anything it cannot trust: CReceivedDataError for
    // sizes that do not fit, the crypto library's verification failure for a
    // tampered packet, CIncompatibleFormatError, or the serializer's read
    // failure. The block is then left exactly as it was.
    void Decode(ReceivedData& data, const Packet& packet);

    // T from the first 9 bytes of a receive buffer, which must hold them.
    std::uint64_t GetPacketSize(const char* buffer);
    // T and L of a received packet; CReceivedDataError when it is too short
    // to hold them.
    std::uint64_t GetPacketSize(const Packet& packet);
    std::uint64_t GetIvBlockSize(const Packet& packet);

  private:
    CPacketConverter();

    template <class Record> Packet EncodeRecord(std::uint32_t kind, const Record& record);
    // Seals a packet whose plaintext stands behind room for the head and the
    // IV block. Keeps no state: each thread has its own cipher objects.
    Packet Seal(Packet packet);
};

} // namespace Marevane
