#include "audio/String.h"

#include "audio/Log.h"
#include "audio/Memory.h"

#include <cstring>
#include <strings.h>

namespace Daz {

String::String(char* buffer, int capacity) : m_buffer(buffer), m_capacity(capacity), m_fixed(true)
{
    if (m_capacity > 0) m_buffer[0] = '\0';
}

String::~String()
{
    if (!m_fixed) Memory::free(m_buffer);
}

int String::reserve(int length)
{
    if (length + 1 <= m_capacity) return length;
    if (m_fixed) {
        Log::error("string buffer too small for requested capacity!");
        return m_capacity > 0 ? m_capacity - 1 : 0;
    }
    char* grown = static_cast<char*>(Memory::alloc(static_cast<std::size_t>(length) + 1));
    if (!grown) return m_capacity > 0 ? m_capacity - 1 : 0;
    std::memcpy(grown, getBuffer(), static_cast<std::size_t>(m_length) + 1);
    Memory::free(m_buffer);
    m_buffer = grown;
    m_capacity = length + 1;
    return length;
}

void String::set(const char* text)
{
    m_length = 0;
    if (m_buffer) m_buffer[0] = '\0';
    append(text);
}

void String::append(const char* text)
{
    if (!text || !*text) return;
    const int added = static_cast<int>(std::strlen(text));
    // The text may lie inside this one's own buffer, which growing would move.
    const bool inside = m_buffer && text >= m_buffer && text < m_buffer + m_capacity;
    const long offset = inside ? text - m_buffer : 0;
    const int length = reserve(m_length + added);
    if (inside) text = m_buffer + offset;
    if (length <= m_length) return;
    std::memmove(m_buffer + m_length, text, static_cast<std::size_t>(length - m_length));
    m_length = length;
    m_buffer[m_length] = '\0';
}

void String::append(char c)
{
    const char text[2] = {c, '\0'};
    append(text);
}

void String::setLength(int length)
{
    if (length < 0) length = 0;
    if (length >= m_length) return;
    m_length = length;
    m_buffer[m_length] = '\0';
}

void String::erase(int start, int count)
{
    if (start < 0 || start >= m_length || count <= 0) return;
    if (count > m_length - start) count = m_length - start;
    std::memmove(m_buffer + start, m_buffer + start + count,
                 static_cast<std::size_t>(m_length - start - count) + 1);
    m_length -= count;
}

void String::replace(char from, char to)
{
    for (int i = 0; i < m_length; ++i) {
        if (m_buffer[i] == from) m_buffer[i] = to;
    }
}

void String::replace(const char* from, const char* to)
{
    const int fromLength = static_cast<int>(std::strlen(from));
    const int toLength = static_cast<int>(std::strlen(to));
    if (fromLength == 0) return;
    // Only shrinking or equal replacements are needed; they work in place.
    if (toLength > fromLength) return;
    int at = find(from);
    while (at >= 0) {
        std::memcpy(m_buffer + at, to, static_cast<std::size_t>(toLength));
        erase(at + toLength, fromLength - toLength);
        at = find(from, at);
    }
}

int String::find(const char* text, int start) const
{
    if (start < 0 || start > m_length) return -1;
    const char* found = std::strstr(getBuffer() + start, text);
    return found ? static_cast<int>(found - getBuffer()) : -1;
}

int String::findLast(char c) const
{
    for (int i = m_length - 1; i >= 0; --i) {
        if (m_buffer[i] == c) return i;
    }
    return -1;
}

bool String::equals(const char* text) const
{
    return std::strcmp(getBuffer(), text ? text : "") == 0;
}

bool String::startsWith(const char* text) const
{
    const std::size_t n = std::strlen(text);
    return std::strncmp(getBuffer(), text, n) == 0;
}

bool String::endsWith(const char* text, bool caseSensitive) const
{
    const int n = static_cast<int>(std::strlen(text));
    if (n > m_length) return false;
    const char* tail = getBuffer() + m_length - n;
    return caseSensitive ? std::strncmp(tail, text, static_cast<std::size_t>(n)) == 0
                         : strncasecmp(tail, text, static_cast<std::size_t>(n)) == 0;
}

} // namespace Daz
