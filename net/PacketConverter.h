// Turns a message record into one packet and back, and the block a receiver
// keeps of the last packet of each kind.
//
// Until the encrypted wire format exists a packet carries the record itself.
// Callers only pass packets from Encode to a sender, and receivers only hand
// them to Decode, so the framed byte string can take the place of the
// variant without touching them.
#pragma once

#include "net/Messages.h"

#include <cstdint>
#include <variant>

namespace Marevane {

// Carried at the head of every packet; 4 is reserved and never produced.
enum MessageKind : std::uint32_t {
    KindMessage = 0,
    KindProgress = 1,
    KindEntry = 2,
    KindFleetEdit = 3,
    KindResult = 5,
};

// What one read of a connection reports.
constexpr MessageCode ReadNothing = 6;  // nothing has arrived yet
constexpr MessageCode ReadPartial = 7;  // part of a packet is in
constexpr MessageCode ReadComplete = 8; // a whole packet was decoded
constexpr MessageCode ReadFailed = 124; // the connection is gone

using Packet = std::variant<Message, ProgressMessage, EntryMessage, FleetEditMessage, ResultMessage>;

// The last packet a connection received: its code, its kind, and one slot
// per kind holding the last record of that kind.
struct ReceivedData {
    MessageCode Code = 0;
    std::uint32_t Kind = KindMessage;
    Message Plain;
    ProgressMessage Progress;
    EntryMessage Entry;
    FleetEditMessage FleetEdit;
    ResultMessage Result;

    void Clear() { *this = ReceivedData(); }

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

class CPacketConverter {
  public:
    static CPacketConverter& GetInstance()
    {
        static CPacketConverter instance;
        return instance;
    }

    virtual ~CPacketConverter() = default;

    Packet Encode(const Message& message) const { return Packet(std::in_place_type<Message>, message); }
    Packet Encode(const ProgressMessage& message) const
    {
        return Packet(std::in_place_type<ProgressMessage>, message);
    }
    Packet Encode(const EntryMessage& message) const
    {
        return Packet(std::in_place_type<EntryMessage>, message);
    }
    Packet Encode(const FleetEditMessage& message) const
    {
        return Packet(std::in_place_type<FleetEditMessage>, message);
    }
    Packet Encode(const ResultMessage& message) const
    {
        return Packet(std::in_place_type<ResultMessage>, message);
    }

    // Fills the slot of the packet's kind; the other slots keep what they had.
    void Decode(ReceivedData& data, const Packet& packet) const
    {
        std::visit([&data](const auto& record) { Store(data, record); }, packet);
    }

  private:
    CPacketConverter() = default;

    static void Store(ReceivedData& data, const Message& record)
    {
        data.Plain = record;
        Stamp(data, record, KindMessage);
    }
    static void Store(ReceivedData& data, const ProgressMessage& record)
    {
        data.Progress = record;
        Stamp(data, record, KindProgress);
    }
    static void Store(ReceivedData& data, const EntryMessage& record)
    {
        data.Entry = record;
        Stamp(data, record, KindEntry);
    }
    static void Store(ReceivedData& data, const FleetEditMessage& record)
    {
        data.FleetEdit = record;
        Stamp(data, record, KindFleetEdit);
    }
    static void Store(ReceivedData& data, const ResultMessage& record)
    {
        data.Result = record;
        Stamp(data, record, KindResult);
    }
    static void Stamp(ReceivedData& data, const Message& record, std::uint32_t kind)
    {
        data.Code = record.Code;
        data.Kind = kind;
    }
};

} // namespace Marevane
