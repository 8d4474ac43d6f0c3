// Turns the message records, a byte string and the two plain numbers of a
// packet's frame into portable-binary pieces and back. Every piece starts
// with its own endianness byte and carries the class version of each record
// type once, before the first object of that type.
#pragma once

#include "model/Messages.h"

#include <cstdint>
#include <memory>
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

    template <class T> std::string Serialize(const T& value)
    {
        std::string piece;
        Append(piece, value);
        return piece;
    }
    std::string Serialize(std::uint32_t kind)
    {
        std::string piece;
        Append(piece, kind);
        return piece;
    }
    std::string Serialize(std::uint64_t length)
    {
        std::string piece;
        Append(piece, length);
        return piece;
    }

    // Fills the object in place. A piece that ends early or whose counts
    // exceed its length throws cereal::Exception ("Failed to read ...");
    // the object may then be partly filled.
    template <class T> void Deserialize(T& value, const std::string& piece)
    {
        Deserialize(value, piece.data(), piece.size());
    }

    // The same, writing the piece behind what `out` holds and reading it
    // from any bytes: the packet converter builds and opens packets in place.
    void Append(std::string& out, const Message& message);
    void Append(std::string& out, const ProgressMessage& message);
    void Append(std::string& out, const EntryMessage& message);
    void Append(std::string& out, const FleetEditMessage& message);
    void Append(std::string& out, const ResultMessage& message);
    void Append(std::string& out, const std::string& bytes);
    void Append(std::string& out, std::uint32_t kind);
    void Append(std::string& out, std::uint64_t length);

    void Deserialize(Message& message, const char* data, std::size_t size);
    void Deserialize(ProgressMessage& message, const char* data, std::size_t size);
    void Deserialize(EntryMessage& message, const char* data, std::size_t size);
    void Deserialize(FleetEditMessage& message, const char* data, std::size_t size);
    void Deserialize(ResultMessage& message, const char* data, std::size_t size);
    void Deserialize(std::string& bytes, const char* data, std::size_t size);
    void Deserialize(std::uint32_t& kind, const char* data, std::size_t size);
    void Deserialize(std::uint64_t& length, const char* data, std::size_t size);

    // Reads a message piece as into a new record (what the wire does not
    // carry returns to its default) while keeping the storage that the
    // record's texts and containers already hold.
    void Refill(Message& message, const char* data, std::size_t size);
    void Refill(ProgressMessage& message, const char* data, std::size_t size);
    void Refill(EntryMessage& message, const char* data, std::size_t size);
    void Refill(FleetEditMessage& message, const char* data, std::size_t size);
    void Refill(ResultMessage& message, const char* data, std::size_t size);

  private:
    CSerializer();

    // Keeps nothing from one call to the next: calls may overlap.
    std::unique_ptr<CSerializerImpl> m_impl;
};

} // namespace Marevane
