#include "audio/TextWriter.h"

#include <cstdio>

namespace Daz {

void TextWriter::write(const char* text)
{
    if (!text) return;
    for (; *text; ++text) {
        m_line[m_length++] = *text;
        // A line longer than the buffer is handed on in pieces rather than lost.
        if (*text == '\n' || m_length == kLineCapacity - 1) flush();
    }
}

void TextWriter::flush()
{
    if (m_length == 0) return;
    m_line[m_length] = '\0';
    m_length = 0;
    writeLine(m_line);
}

void DebugWriter::writeLine(const char* line)
{
    std::printf("%s", line);
}

} // namespace Daz
