// Binary streams: every file and memory block the engine reads or writes.
// Typed values travel in the machine's byte order unless a SwapStream turns them.
#pragma once

#include "audio/Memory.h"

#include <cstdint>

namespace Daz {

class BinaryStream {
  public:
    virtual ~BinaryStream() = default;
    virtual bool isValid() const = 0;
    // Both give the number of bytes moved; 0 on an invalid stream.
    virtual int read(void* buffer, int bytes) = 0;
    virtual int write(const void* buffer, int bytes) = 0;
    // -1 when the size is unknown.
    virtual int getSize() const = 0;
    virtual int getPos() const = 0;
    virtual void setPos(int pos) = 0;
    virtual void close() = 0;

    // Each is true when the whole value was moved; a short read leaves the value 0.
    virtual bool readInt64(std::int64_t& value) { return readRaw(value); }
    virtual bool readFloat(float& value) { return readRaw(value); }
    virtual bool readUint64(std::uint64_t& value) { return readRaw(value); }
    virtual bool readDouble(double& value) { return readRaw(value); }
    virtual bool readInt32(std::int32_t& value) { return readRaw(value); }
    virtual bool readUint32(std::uint32_t& value) { return readRaw(value); }
    virtual bool readInt16(std::int16_t& value) { return readRaw(value); }
    virtual bool readUint16(std::uint16_t& value) { return readRaw(value); }
    virtual bool readInt8(std::int8_t& value) { return readRaw(value); }
    virtual bool readUint8(std::uint8_t& value) { return readRaw(value); }

    virtual bool writeInt64(std::int64_t value) { return writeRaw(value); }
    virtual bool writeFloat(float value) { return writeRaw(value); }
    virtual bool writeUint64(std::uint64_t value) { return writeRaw(value); }
    virtual bool writeDouble(double value) { return writeRaw(value); }
    virtual bool writeInt32(std::int32_t value) { return writeRaw(value); }
    virtual bool writeUint32(std::uint32_t value) { return writeRaw(value); }
    virtual bool writeInt16(std::int16_t value) { return writeRaw(value); }
    virtual bool writeUint16(std::uint16_t value) { return writeRaw(value); }
    virtual bool writeInt8(std::int8_t value) { return writeRaw(value); }
    virtual bool writeUint8(std::uint8_t value) { return writeRaw(value); }

  protected:
    template <typename T> bool readRaw(T& value)
    {
        value = T();
        T read_ = T();
        if (read(&read_, sizeof(T)) != static_cast<int>(sizeof(T))) return false;
        value = read_;
        return true;
    }
    template <typename T> bool writeRaw(T value)
    {
        return write(&value, sizeof(T)) == static_cast<int>(sizeof(T));
    }
};

// A memory block of a size (bytes held) and a capacity (bytes it may grow to).
class BufferStream : public BinaryStream {
  public:
    BufferStream(void* buffer, int size, int capacity);
    // Read only: writes move nothing.
    BufferStream(const void* buffer, int size);

    bool isValid() const override { return m_buffer != nullptr; }
    int read(void* buffer, int bytes) override;
    int write(const void* buffer, int bytes) override;
    int getSize() const override { return m_size; }
    int getPos() const override { return m_pos; }
    // Clamped to the bytes held, so no read or write starts outside the block.
    void setPos(int pos) override;
    void close() override {}

  private:
    unsigned char* m_buffer;
    int m_size;
    int m_capacity;
    int m_pos = 0;
    bool m_readOnly;
};

enum ByteOrder {
    kBigEndian = 0,
    kLittleEndian = 1,
};

// Another stream (not owned) whose typed values are in the given byte order.
class SwapStream : public BinaryStream {
  public:
    SwapStream(BinaryStream& stream, int byteOrder);

    bool isValid() const override { return m_stream.isValid(); }
    int read(void* buffer, int bytes) override { return m_stream.read(buffer, bytes); }
    int write(const void* buffer, int bytes) override { return m_stream.write(buffer, bytes); }
    int getSize() const override { return m_stream.getSize(); }
    int getPos() const override { return m_stream.getPos(); }
    void setPos(int pos) override { m_stream.setPos(pos); }
    void close() override { m_stream.close(); }

    bool readInt64(std::int64_t& value) override { return readSwapped(value); }
    bool readFloat(float& value) override { return readSwapped(value); }
    bool readUint64(std::uint64_t& value) override { return readSwapped(value); }
    bool readDouble(double& value) override { return readSwapped(value); }
    bool readInt32(std::int32_t& value) override { return readSwapped(value); }
    bool readUint32(std::uint32_t& value) override { return readSwapped(value); }
    bool readInt16(std::int16_t& value) override { return readSwapped(value); }
    bool readUint16(std::uint16_t& value) override { return readSwapped(value); }

    bool writeInt64(std::int64_t value) override { return writeSwapped(value); }
    bool writeFloat(float value) override { return writeSwapped(value); }
    bool writeUint64(std::uint64_t value) override { return writeSwapped(value); }
    bool writeDouble(double value) override { return writeSwapped(value); }
    bool writeInt32(std::int32_t value) override { return writeSwapped(value); }
    bool writeUint32(std::uint32_t value) override { return writeSwapped(value); }
    bool writeInt16(std::int16_t value) override { return writeSwapped(value); }
    bool writeUint16(std::uint16_t value) override { return writeSwapped(value); }

  private:
    template <typename T> bool readSwapped(T& value);
    template <typename T> bool writeSwapped(T value);

    BinaryStream& m_stream;
    bool m_swap;
};

template <typename T> inline bool SwapStream::readSwapped(T& value)
{
    const bool ok = m_stream.read(&value, sizeof(T)) == static_cast<int>(sizeof(T));
    if (!ok) {
        value = T();
        return false;
    }
    if (m_swap) value = reverseBytes(value);
    return true;
}

template <typename T> inline bool SwapStream::writeSwapped(T value)
{
    if (m_swap) value = reverseBytes(value);
    return m_stream.write(&value, sizeof(T)) == static_cast<int>(sizeof(T));
}

// A span (offset, length) of another stream (not owned); positions are the span's own.
class SubStream : public BinaryStream {
  public:
    SubStream(BinaryStream& stream, int offset, int length);

    bool isValid() const override { return m_valid; }
    int read(void* buffer, int bytes) override;
    // Writes stay inside the span too, so the data around it is left alone.
    int write(const void* buffer, int bytes) override;
    int getSize() const override { return m_length; }
    int getPos() const override { return m_pos; }
    void setPos(int pos) override;
    void close() override {}

  private:
    int clampToSpan(int bytes) const;

    BinaryStream& m_stream;
    int m_offset;
    int m_length;
    int m_pos = 0;
    bool m_valid;
};

} // namespace Daz
