// What the fuzzer and the corpus replay feed every input to: the packet
// decoder, with the input taken as a whole packet and, sealed under the
// program's keys, as a plaintext (so that mutations reach the records past
// the tags), and the discovery path with both packets as datagrams.
#pragma once

#include "net/PacketConverter.h"
#include "net/UdpNetwork.h"
#include "tests/net/PacketForge.h"

#include <cryptopp/aes.h>
#include <cryptopp/gcm.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace Marevane::Fuzzing {

// Seals plaintexts as Testing::Forge does, with its cipher keyed once and
// its IV block made once: the fuzzer spends its time in our code.
class CFastSealer {
  public:
    CFastSealer()
        : m_iv(16, '\x42'), m_ivBlock(Testing::Seal(Testing::FixedKey, Testing::FixedIv,
                                                    CSerializer::GetInstance().Serialize(m_iv)))
    {
        m_cipher.SetKeyWithIV(Testing::PayloadKey.data(), Testing::PayloadKey.size(),
                              Testing::CryptoBytes(m_iv), m_iv.size());
    }

    std::string Seal(const std::string& plaintext)
    {
        CSerializer& serializer = CSerializer::GetInstance();
        const std::uint64_t total = 18 + m_ivBlock.size() + plaintext.size() + 16;
        std::string packet = serializer.Serialize(total);
        serializer.Append(packet, std::uint64_t{m_ivBlock.size()});
        packet += m_ivBlock;
        const std::size_t payload = packet.size();
        packet.resize(payload + plaintext.size() + 16);
        auto* bytes = reinterpret_cast<CryptoPP::byte*>(packet.data());
        m_cipher.EncryptAndAuthenticate(bytes + payload, bytes + payload + plaintext.size(), 16,
                                        Testing::CryptoBytes(m_iv), m_iv.size(), nullptr, 0,
                                        Testing::CryptoBytes(plaintext), plaintext.size());
        return packet;
    }

  private:
    std::string m_iv;
    std::string m_ivBlock;
    CryptoPP::GCM<CryptoPP::AES>::Encryption m_cipher;
};

inline void FeedInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    CPacketConverter& converter = CPacketConverter::GetInstance();
    // One block and one discovery table for the whole run, as a connection
    // and a listener keep theirs: what an input leaves behind meets the next.
    static ReceivedData block;
    static CUdpNetwork discovery;
    static CFastSealer sealer;

    const std::string sealed = sealer.Seal(input);
    for (const std::string* packet : {&input, &sealed}) {
        try {
            converter.Decode(block, *packet);
        } catch (const std::exception&) {
            // Refusing is the decoder's right; anything else is a finding.
        }
        discovery.TakeDatagram(*packet, "127.0.0." + std::to_string(size % 40 + 1));
    }
}

} // namespace Marevane::Fuzzing
