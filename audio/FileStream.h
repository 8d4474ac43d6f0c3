// A binary stream over a file on disk.
#pragma once

#include "audio/BinaryStream.h"

#include <cstdio>

namespace Daz {

class FileStream : public BinaryStream {
  public:
    enum Mode {
        kRead = 0,      // "rb"
        kWrite = 1,     // "wb"
        kReadWrite = 2, // "r+b"
        kWriteRead = 3, // "w+b"
    };

    // The path is UTF-8 and used as given.
    FileStream(const char* path, int mode);
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;
    ~FileStream() override;

    bool isValid() const override { return m_file != nullptr; }
    int read(void* buffer, int bytes) override;
    int write(const void* buffer, int bytes) override;
    int getSize() const override { return m_size; }
    int getPos() const override { return m_pos; }
    void setPos(int pos) override;
    void close() override;

    // The size of a regular file; -1 when the path names none.
    static int getFileSize(const char* path);

  private:
    std::FILE* m_file = nullptr;
    int m_size = 0;
    int m_pos = 0;
};

} // namespace Daz
