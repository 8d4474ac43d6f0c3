#include "audio/BinaryStream.h"

#include "audio/Memory.h"

#include <cstring>

namespace Daz {

BufferStream::BufferStream(void* buffer, int size, int capacity)
    : m_buffer(static_cast<unsigned char*>(buffer)), m_size(size < 0 ? 0 : size),
      m_capacity(capacity < m_size ? m_size : capacity), m_readOnly(false)
{
}

BufferStream::BufferStream(const void* buffer, int size)
    : m_buffer(static_cast<unsigned char*>(const_cast<void*>(buffer))), m_size(size < 0 ? 0 : size),
      m_capacity(m_size), m_readOnly(true)
{
}

int BufferStream::read(void* buffer, int bytes)
{
    if (!m_buffer || bytes <= 0) return 0;
    const int count = bytes < m_size - m_pos ? bytes : m_size - m_pos;
    std::memcpy(buffer, m_buffer + m_pos, static_cast<std::size_t>(count));
    m_pos += count;
    return count;
}

int BufferStream::write(const void* buffer, int bytes)
{
    if (!m_buffer || m_readOnly || bytes <= 0) return 0;
    const int count = bytes < m_capacity - m_pos ? bytes : m_capacity - m_pos;
    std::memcpy(m_buffer + m_pos, buffer, static_cast<std::size_t>(count));
    m_pos += count;
    if (m_pos > m_size) m_size = m_pos;
    return count;
}

void BufferStream::setPos(int pos)
{
    m_pos = pos < 0 ? 0 : pos > m_size ? m_size : pos;
}

namespace {

bool machineIsLittleEndian()
{
    const std::uint16_t probe = 1;
    unsigned char first;
    std::memcpy(&first, &probe, 1);
    return first == 1;
}

} // namespace

SwapStream::SwapStream(BinaryStream& stream, int byteOrder)
    : m_stream(stream), m_swap((byteOrder == kLittleEndian) != machineIsLittleEndian())
{
}

SubStream::SubStream(BinaryStream& stream, int offset, int length)
    : m_stream(stream), m_offset(offset), m_length(length),
      m_valid(stream.isValid() && offset >= 0 && length >= 0 && stream.getSize() >= 0 &&
              static_cast<long long>(stream.getSize()) >= static_cast<long long>(offset) + length)
{
    if (m_valid) m_stream.setPos(m_offset);
}

int SubStream::clampToSpan(int bytes) const
{
    if (!m_valid || bytes <= 0) return 0;
    return bytes < m_length - m_pos ? bytes : m_length - m_pos;
}

int SubStream::read(void* buffer, int bytes)
{
    const int count = clampToSpan(bytes);
    if (count == 0) return 0;
    if (m_stream.getPos() != m_offset + m_pos) m_stream.setPos(m_offset + m_pos);
    const int done = m_stream.read(buffer, count);
    m_pos += done;
    return done;
}

int SubStream::write(const void* buffer, int bytes)
{
    const int count = clampToSpan(bytes);
    if (count == 0) return 0;
    if (m_stream.getPos() != m_offset + m_pos) m_stream.setPos(m_offset + m_pos);
    const int done = m_stream.write(buffer, count);
    m_pos += done;
    return done;
}

void SubStream::setPos(int pos)
{
    m_pos = pos < 0 ? 0 : pos > m_length ? m_length : pos;
    if (m_valid) m_stream.setPos(m_offset + m_pos);
}

} // namespace Daz
