#include "net/PacketConverter.h"

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/gcm.h>
#include <cryptopp/osrng.h>

#include <algorithm>
#include <utility>

namespace Marevane {

namespace {

using Key = std::array<std::uint8_t, 16>;

constexpr Key PayloadKey = {0x5a, 0x1e, 0x7c, 0x39, 0x04, 0xb8, 0xd6, 0x2f,
                            0x9e, 0x0a, 0x4c, 0x77, 0x81, 0xf3, 0xb2, 0x5d};
constexpr Key FixedKey = {0xc4, 0x7b, 0x0e, 0x92, 0xd1, 0x5a, 0x3f, 0x66,
                          0x88, 0xe2, 0x09, 0x7a, 0xb4, 0xc1, 0xd3, 0x0f};
constexpr Key FixedIv = {0x0f, 0x3a, 0x9d, 0x21, 0xb7, 0xe4, 0x58, 0x6c,
                         0x2d, 0x90, 0xa1, 0xf4, 0x7e, 0x6b, 0x3c, 0x85};

constexpr std::size_t TagSize = 16;
constexpr std::size_t IvSize = 16;
constexpr std::size_t KindPieceSize = 5;
// The IV block of every packet we write: the 25-byte piece of the IV and its tag.
constexpr std::size_t IvBlockSize = 1 + 8 + IvSize + TagSize;
constexpr std::size_t PayloadOffset = CPacketConverter::HeadSize + IvBlockSize;

CryptoPP::byte* Bytes(std::string& text)
{
    return reinterpret_cast<CryptoPP::byte*>(text.data());
}
const CryptoPP::byte* Bytes(const char* text)
{
    return reinterpret_cast<const CryptoPP::byte*>(text);
}

// Each thread keeps its own cipher objects, keyed once: a packet then costs
// a change of IV instead of a new key schedule, and threads never wait for
// each other.
struct ThreadCiphers {
    CryptoPP::GCM<CryptoPP::AES>::Encryption SealIv;
    CryptoPP::GCM<CryptoPP::AES>::Encryption SealPayload;
    CryptoPP::GCM<CryptoPP::AES>::Decryption OpenIv;
    CryptoPP::GCM<CryptoPP::AES>::Decryption OpenPayload;
    CryptoPP::AutoSeededRandomPool Pool;
    // The last IV, its piece and the last opened plaintext; their room
    // serves the next packet.
    std::string Iv;
    std::string IvPiece;
    std::string Plaintext;

    ThreadCiphers()
    {
        SealIv.SetKeyWithIV(FixedKey.data(), FixedKey.size(), FixedIv.data(), FixedIv.size());
        OpenIv.SetKeyWithIV(FixedKey.data(), FixedKey.size(), FixedIv.data(), FixedIv.size());
        SealPayload.SetKeyWithIV(PayloadKey.data(), PayloadKey.size(), FixedIv.data(), FixedIv.size());
        OpenPayload.SetKeyWithIV(PayloadKey.data(), PayloadKey.size(), FixedIv.data(), FixedIv.size());
    }
};

ThreadCiphers& Ciphers()
{
    thread_local ThreadCiphers ciphers;
    return ciphers;
}

// Opens `size` sealed bytes (ciphertext, then the tag) into `out`; the
// library's verification failure when the tag does not match.
void Open(CryptoPP::GCM<CryptoPP::AES>::Decryption& cipher, const CryptoPP::byte* iv, std::size_t ivSize,
          const char* sealed, std::size_t size, std::string& out)
{
    const std::size_t length = size - TagSize;
    out.resize(length);
    if (!cipher.DecryptAndVerify(Bytes(out), Bytes(sealed + length), TagSize, iv, ivSize, nullptr, 0,
                                 Bytes(sealed), length)) {
        throw CryptoPP::HashVerificationFilter::HashVerificationFailed();
    }
}

} // namespace

CPacketConverter& CPacketConverter::GetInstance()
{
    static CPacketConverter instance;
    return instance;
}

CPacketConverter::CPacketConverter() = default;
CPacketConverter::~CPacketConverter() = default;

Packet CPacketConverter::Encode(const Message& message)
{
    return EncodeRecord(KindMessage, message);
}
Packet CPacketConverter::Encode(const ProgressMessage& message)
{
    return EncodeRecord(KindProgress, message);
}
Packet CPacketConverter::Encode(const EntryMessage& message)
{
    return EncodeRecord(KindEntry, message);
}
Packet CPacketConverter::Encode(const FleetEditMessage& message)
{
    return EncodeRecord(KindFleetEdit, message);
}
Packet CPacketConverter::Encode(const ResultMessage& message)
{
    return EncodeRecord(KindResult, message);
}

// The plaintext is written where the payload goes and sealed in place; the
// head and the IV block are filled in front of it.
template <class Record> Packet CPacketConverter::EncodeRecord(std::uint32_t kind, const Record& record)
{
    CSerializer& serializer = CSerializer::GetInstance();
    // Room for a packet as large as the last one of this thread saves
    // growing the buffer step by step.
    thread_local std::size_t lastSize = 0;
    Packet packet;
    packet.reserve(std::max(lastSize, PayloadOffset + 1024) + TagSize);
    packet.resize(PayloadOffset);
    serializer.Append(packet, kind);
    serializer.Append(packet, record);
    lastSize = packet.size();
    return Seal(std::move(packet));
}

Packet CPacketConverter::Seal(Packet packet)
{
    CSerializer& serializer = CSerializer::GetInstance();
    ThreadCiphers& ciphers = Ciphers();
    const std::size_t plaintextSize = packet.size() - PayloadOffset;

    std::string& iv = ciphers.Iv;
    iv.resize(IvSize);
    ciphers.Pool.GenerateBlock(Bytes(iv), iv.size());
    std::string& ivPiece = ciphers.IvPiece;
    ivPiece.clear();
    serializer.Append(ivPiece, iv);

    packet.resize(packet.size() + TagSize);
    CryptoPP::byte* bytes = Bytes(packet);
    ciphers.SealIv.EncryptAndAuthenticate(bytes + HeadSize, bytes + HeadSize + ivPiece.size(), TagSize,
                                          FixedIv.data(), FixedIv.size(), nullptr, 0, Bytes(ivPiece),
                                          ivPiece.size());
    CryptoPP::byte* payload = bytes + PayloadOffset;
    ciphers.SealPayload.EncryptAndAuthenticate(payload, payload + plaintextSize, TagSize, Bytes(iv),
                                               iv.size(), nullptr, 0, payload, plaintextSize);

    std::string head;
    serializer.Append(head, static_cast<std::uint64_t>(packet.size()));
    serializer.Append(head, static_cast<std::uint64_t>(IvBlockSize));
    packet.replace(0, HeadSize, head);
    return packet;
}

std::uint64_t CPacketConverter::GetPacketSize(const char* buffer)
{
    std::uint64_t size = 0;
    CSerializer::GetInstance().Deserialize(size, buffer, LengthFieldSize);
    return size;
}

std::uint64_t CPacketConverter::GetPacketSize(const Packet& packet)
{
    if (packet.size() < LengthFieldSize) throw CReceivedDataError();
    return GetPacketSize(packet.data());
}

std::uint64_t CPacketConverter::GetIvBlockSize(const Packet& packet)
{
    if (packet.size() < HeadSize) throw CReceivedDataError();
    return GetPacketSize(packet.data() + LengthFieldSize);
}

void CPacketConverter::Decode(ReceivedData& data, const Packet& packet)
{
    // The sizes must describe exactly this buffer, with room for both tags,
    // before a byte past the head is read.
    const std::uint64_t total = GetPacketSize(packet);
    const std::uint64_t ivBlockSize = GetIvBlockSize(packet);
    if (total != packet.size() || ivBlockSize > total - HeadSize || ivBlockSize < TagSize ||
        total - HeadSize - ivBlockSize < TagSize) {
        throw CReceivedDataError();
    }

    CSerializer& serializer = CSerializer::GetInstance();
    ThreadCiphers& ciphers = Ciphers();
    std::string& ivPiece = ciphers.IvPiece;
    Open(ciphers.OpenIv, FixedIv.data(), FixedIv.size(), packet.data() + HeadSize, ivBlockSize, ivPiece);
    std::string& iv = ciphers.Iv;
    serializer.Deserialize(iv, ivPiece);
    if (iv.empty()) throw CReceivedDataError(); // GCM takes no empty IV
    std::string& plaintext = ciphers.Plaintext;
    Open(ciphers.OpenPayload, Bytes(iv.data()), iv.size(), packet.data() + HeadSize + ivBlockSize,
         total - HeadSize - ivBlockSize, plaintext);
    if (plaintext.size() < KindPieceSize) throw CReceivedDataError();

    std::uint32_t kind = 0;
    serializer.Deserialize(kind, plaintext.data(), KindPieceSize);
    const char* piece = plaintext.data() + KindPieceSize;
    const std::size_t pieceSize = plaintext.size() - KindPieceSize;

    // Into a record aside first, so that a failure leaves the block as it
    // was. The record the slot held goes aside in exchange: the next packet
    // of its kind on this thread is read into its storage.
    auto fill = [&](auto& slot) {
        thread_local std::remove_reference_t<decltype(slot)> aside;
        serializer.Refill(aside, piece, pieceSize);
        std::swap(slot, aside);
        data.Code = slot.Code;
        data.Kind = kind;
    };
    switch (kind) {
    case KindProgress:
        fill(data.Progress);
        break;
    case KindEntry:
        fill(data.Entry);
        break;
    case KindFleetEdit:
        fill(data.FleetEdit);
        break;
    case KindResult:
        fill(data.Result);
        break;
    default:
        fill(data.Plain);
        break;
    }
}

} // namespace Marevane
