// Turns the message records, a byte string and the two plain numbers of a
// packet's frame into portable-binary pieces and back. Every piece starts
// with its own endianness byte and carries the class version of each record
// type once, before the first object of that type.
#pragma once

#include "model/Messages.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>

namespace Marevane {

// Kind 4 of the packet head. It has a class version but is never carried.
struct PreparationMessage : ProgressMessage {};

// A message piece whose own class version is not ours.
class CIncompatibleFormatError : public std::runtime_error {
  public:
    CIncompatibleFormatError() : std::runtime_error("IncompatibleFormatError") {}
};

class CSerializerImpl;

class CSerializer {
  public:
    static CSerializer& GetInstance();
    virtual ~CSerializer();

    CSerializer(const CSerializer&) = delete;
    CSerializer& operator=(const CSerializer&) = delete;

    std::string Serialize(const Message& message);
    std::string Serialize(const ProgressMessage& message);
    std::string Serialize(const EntryMessage& message);
    std::string Serialize(const FleetEditMessage& message);
    std::string Serialize(const ResultMessage& message);
    std::string Serialize(const std::string& bytes);
    std::string Serialize(std::uint32_t kind);
    std::string Serialize(std::uint64_t length);

    // Fills the object in place. A piece that ends early or whose counts
    // exceed its length throws cereal::Exception ("Failed to read ...");
    // the object may then be partly filled.
    void Deserialize(Message& message, const std::string& piece);
    void Deserialize(ProgressMessage& message, const std::string& piece);
    void Deserialize(EntryMessage& message, const std::string& piece);
    void Deserialize(FleetEditMessage& message, const std::string& piece);
    void Deserialize(ResultMessage& message, const std::string& piece);
    void Deserialize(std::string& bytes, const std::string& piece);
    void Deserialize(std::uint32_t& kind, const std::string& piece);
    void Deserialize(std::uint64_t& length, const std::string& piece);

  private:
    CSerializer();

    // The streams are shared by every call; the lock keeps calls from other
    // threads (set-up tasks, transports) from overlapping.
    std::mutex m_mutex;
    std::unique_ptr<CSerializerImpl> m_impl;
};

} // namespace Marevane
