#include "tools/console/Utf8Input.h"

#include "tools/console/ConsoleInput.h"

#include <cstdint>

namespace Marevane {

std::size_t DecodeUtf8(const std::string& bytes, bool final, std::wstring& out)
{
    const std::size_t size = bytes.size();
    std::size_t i = 0;
    while (i < size) {
        const auto lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            out += static_cast<wchar_t>(lead);
            ++i;
            continue;
        }
        // The range of the first continuation byte shuts out overlong forms,
        // surrogates and code points beyond U+10FFFF.
        std::size_t need = 0;
        std::uint32_t code = 0;
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            need = 1;
            code = lead & 0x1Fu;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            need = 2;
            code = lead & 0x0Fu;
            if (lead == 0xE0) low = 0xA0;
            if (lead == 0xED) high = 0x9F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            need = 3;
            code = lead & 0x07u;
            if (lead == 0xF0) low = 0x90;
            if (lead == 0xF4) high = 0x8F;
        } else {
            out += BadInputMark;
            ++i;
            continue;
        }
        std::size_t next = i + 1;
        std::size_t got = 0;
        while (got < need && next < size) {
            const auto byte = static_cast<unsigned char>(bytes[next]);
            if (byte < low || byte > high) break;
            code = (code << 6) | (byte & 0x3Fu);
            low = 0x80;
            high = 0xBF;
            ++next;
            ++got;
        }
        if (got == need) {
            out += static_cast<wchar_t>(code);
        } else if (next == size && !final) {
            return i; // the rest of the sequence may still come
        } else {
            out += BadInputMark;
        }
        i = next;
    }
    return size;
}

CUtf8InputBuffer::int_type CUtf8InputBuffer::underflow()
{
    while (gptr() == egptr()) {
        if (m_ended) return traits_type::eof();
        char bytes[4096];
        const std::size_t got = m_source(bytes, sizeof bytes);
        m_ended = got == 0;
        m_pending.append(bytes, got);
        m_decoded.clear();
        m_pending.erase(0, DecodeUtf8(m_pending, m_ended, m_decoded));
        wchar_t* begin = m_decoded.data();
        setg(begin, begin, begin + m_decoded.size());
    }
    return traits_type::to_int_type(*gptr());
}

} // namespace Marevane
