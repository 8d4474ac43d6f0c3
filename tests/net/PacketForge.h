// Packets as a peer of another build makes them: sealed with the program's
// keys by the crypto library directly, with any plaintext and IV, and opened
// the same way.
#pragma once

#include "net/Serializer.h"

#include <cryptopp/aes.h>
#include <cryptopp/filters.h>
#include <cryptopp/gcm.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>

namespace Marevane::Testing {

using Key = std::array<std::uint8_t, 16>;

// The program's keys, as a peer of another build must know them.
inline const Key PayloadKey = {0x5a, 0x1e, 0x7c, 0x39, 0x04, 0xb8, 0xd6, 0x2f,
                               0x9e, 0x0a, 0x4c, 0x77, 0x81, 0xf3, 0xb2, 0x5d};
inline const Key FixedKey = {0xc4, 0x7b, 0x0e, 0x92, 0xd1, 0x5a, 0x3f, 0x66,
                             0x88, 0xe2, 0x09, 0x7a, 0xb4, 0xc1, 0xd3, 0x0f};
inline const std::string FixedIv("\x0f\x3a\x9d\x21\xb7\xe4\x58\x6c\x2d\x90\xa1\xf4\x7e\x6b\x3c\x85", 16);

inline const CryptoPP::byte* CryptoBytes(const std::string& text)
{
    return reinterpret_cast<const CryptoPP::byte*>(text.data());
}

inline std::string Seal(const Key& key, const std::string& iv, const std::string& plaintext)
{
    CryptoPP::GCM<CryptoPP::AES>::Encryption cipher;
    cipher.SetKeyWithIV(key.data(), key.size(), CryptoBytes(iv), iv.size());
    std::string sealed;
    CryptoPP::StringSource source(
        plaintext, true,
        new CryptoPP::AuthenticatedEncryptionFilter(cipher, new CryptoPP::StringSink(sealed), false, 16));
    return sealed;
}

inline std::string Open(const Key& key, const std::string& iv, const std::string& sealed)
{
    CryptoPP::GCM<CryptoPP::AES>::Decryption cipher;
    cipher.SetKeyWithIV(key.data(), key.size(), CryptoBytes(iv), iv.size());
    std::string plaintext;
    CryptoPP::StringSource source(sealed, true,
                                  new CryptoPP::AuthenticatedDecryptionFilter(
                                      cipher, new CryptoPP::StringSink(plaintext),
                                      CryptoPP::AuthenticatedDecryptionFilter::DEFAULT_FLAGS, 16));
    return plaintext;
}

// A packet as another sender could make it, with any plaintext and IV.
inline std::string Forge(const std::string& plaintext, const std::string& iv = std::string(16, '\x42'))
{
    CSerializer& serializer = CSerializer::GetInstance();
    const std::string ivBlock = Seal(FixedKey, FixedIv, serializer.Serialize(iv));
    const std::string payload = Seal(PayloadKey, iv.empty() ? std::string(16, '\x42') : iv, plaintext);
    const std::uint64_t total = 18 + ivBlock.size() + payload.size();
    return serializer.Serialize(total) + serializer.Serialize(std::uint64_t{ivBlock.size()}) + ivBlock +
           payload;
}

// The IV piece and the plaintext of a packet whose IV block is 41 bytes.
struct OpenedPacket {
    std::string IvPiece;
    std::string Plaintext;
};
inline OpenedPacket OpenPacket(const std::string& packet)
{
    OpenedPacket opened;
    opened.IvPiece = Open(FixedKey, FixedIv, packet.substr(18, 41));
    opened.Plaintext = Open(PayloadKey, opened.IvPiece.substr(9), packet.substr(59));
    return opened;
}

inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace Marevane::Testing
