#include "net/PacketConverter.h"

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/gcm.h>
#include <cryptopp/osrng.h>

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

constexpr int TagSize = 16;
constexpr std::size_t KindPieceSize = 5;

const CryptoPP::byte* Bytes(const std::string& text)
{
    return reinterpret_cast<const CryptoPP::byte*>(text.data());
}

} // namespace

struct CPacketConverter::Ciphers {
    CryptoPP::GCM<CryptoPP::AES>::Encryption Encryptor;
    CryptoPP::GCM<CryptoPP::AES>::Decryption Decryptor;
    CryptoPP::AutoSeededRandomPool Pool;

    // Ciphertext followed by the tag.
    std::string Seal(const Key& key, const CryptoPP::byte* iv, std::size_t ivSize,
                     const std::string& plaintext)
    {
        Encryptor.SetKeyWithIV(key.data(), key.size(), iv, ivSize);
        std::string sealed;
        CryptoPP::StringSource source(plaintext, true,
                                      new CryptoPP::AuthenticatedEncryptionFilter(
                                          Encryptor, new CryptoPP::StringSink(sealed), false, TagSize));
        return sealed;
    }

    // Throws the library's verification failure when the tag does not match.
    std::string Open(const Key& key, const CryptoPP::byte* iv, std::size_t ivSize, const std::string& sealed)
    {
        Decryptor.SetKeyWithIV(key.data(), key.size(), iv, ivSize);
        std::string plaintext;
        CryptoPP::StringSource source(sealed, true,
                                      new CryptoPP::AuthenticatedDecryptionFilter(
                                          Decryptor, new CryptoPP::StringSink(plaintext),
                                          CryptoPP::AuthenticatedDecryptionFilter::DEFAULT_FLAGS, TagSize));
        return plaintext;
    }
};

CPacketConverter& CPacketConverter::GetInstance()
{
    static CPacketConverter instance;
    return instance;
}

CPacketConverter::CPacketConverter() : m_ciphers(std::make_unique<Ciphers>()), m_payloadKey(PayloadKey)
{
    m_ciphers->Pool.GenerateBlock(m_iv.data(), m_iv.size());
}

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

template <class Record> Packet CPacketConverter::EncodeRecord(std::uint32_t kind, const Record& record)
{
    CSerializer& serializer = CSerializer::GetInstance();
    return Seal(serializer.Serialize(kind) + serializer.Serialize(record));
}

Packet CPacketConverter::Seal(const std::string& plaintext)
{
    CSerializer& serializer = CSerializer::GetInstance();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ciphers->Pool.GenerateBlock(m_iv.data(), m_iv.size());
    const std::string ivPiece = serializer.Serialize(std::string(m_iv.begin(), m_iv.end()));
    const std::string ivBlock = m_ciphers->Seal(FixedKey, FixedIv.data(), FixedIv.size(), ivPiece);
    const std::string payload = m_ciphers->Seal(m_payloadKey, m_iv.data(), m_iv.size(), plaintext);
    const auto ivBlockSize = static_cast<std::uint64_t>(ivBlock.size());
    const auto total = static_cast<std::uint64_t>(payload.size() + ivBlock.size() + HeadSize);
    return serializer.Serialize(total) + serializer.Serialize(ivBlockSize) + ivBlock + payload;
}

std::uint64_t CPacketConverter::GetPacketSize(const char* buffer)
{
    std::uint64_t size = 0;
    CSerializer::GetInstance().Deserialize(size, std::string(buffer, LengthFieldSize));
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
    std::string plaintext;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        const std::string ivPiece =
            m_ciphers->Open(FixedKey, FixedIv.data(), FixedIv.size(), packet.substr(HeadSize, ivBlockSize));
        std::string iv;
        serializer.Deserialize(iv, ivPiece);
        if (iv.empty()) throw CReceivedDataError(); // GCM takes no empty IV
        plaintext =
            m_ciphers->Open(m_payloadKey, Bytes(iv), iv.size(), packet.substr(HeadSize + ivBlockSize));
    }
    if (plaintext.size() < KindPieceSize) throw CReceivedDataError();

    std::uint32_t kind = 0;
    serializer.Deserialize(kind, plaintext.substr(0, KindPieceSize));
    const std::string piece = plaintext.substr(KindPieceSize);

    // Into a fresh record first, so that a failure leaves the block as it was.
    auto fill = [&](auto& slot) {
        std::remove_reference_t<decltype(slot)> record;
        serializer.Deserialize(record, piece);
        slot = std::move(record);
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
