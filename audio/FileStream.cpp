#include "audio/FileStream.h"

#include <climits>
#include <sys/stat.h>

namespace Daz {

namespace {

const char* const kModes[] = {"rb", "wb", "r+b", "w+b"};

} // namespace

int FileStream::getFileSize(const char* path)
{
    struct stat info;
    if (!path || stat(path, &info) != 0 || !S_ISREG(info.st_mode)) return -1;
    return info.st_size > INT_MAX ? INT_MAX : static_cast<int>(info.st_size);
}

FileStream::FileStream(const char* path, int mode)
{
    if (!path || mode < kRead || mode > kWriteRead) return;
    const bool keeps = mode == kRead || mode == kReadWrite;
    if (keeps) {
        m_size = getFileSize(path);
        // A folder opens for reading here but not elsewhere; it is no file to read.
        if (m_size < 0) return;
    }
    m_file = std::fopen(path, kModes[mode]);
}

FileStream::~FileStream()
{
    close();
}

int FileStream::read(void* buffer, int bytes)
{
    if (!m_file || bytes <= 0) return 0;
    // Switching between writing and reading on one file needs a seek between them.
    std::fseek(m_file, 0, SEEK_CUR);
    const int done = static_cast<int>(std::fread(buffer, 1, static_cast<std::size_t>(bytes), m_file));
    m_pos += done;
    return done;
}

int FileStream::write(const void* buffer, int bytes)
{
    if (!m_file || bytes <= 0) return 0;
    std::fseek(m_file, 0, SEEK_CUR);
    const int done = static_cast<int>(std::fwrite(buffer, 1, static_cast<std::size_t>(bytes), m_file));
    m_pos += done;
    if (m_pos > m_size) m_size = m_pos;
    return done;
}

void FileStream::setPos(int pos)
{
    if (!m_file) return;
    if (pos < 0) pos = 0;
    if (std::fseek(m_file, pos, SEEK_SET) == 0) m_pos = pos;
}

void FileStream::close()
{
    if (!m_file) return;
    std::fseek(m_file, 0, SEEK_END);
    const long end = std::ftell(m_file);
    if (end >= 0 && m_size > end) {
        std::fseek(m_file, m_size - 1, SEEK_SET);
        std::fputc(0, m_file);
    }
    std::fclose(m_file);
    m_file = nullptr;
}

} // namespace Daz
