// The stream the engine reads a (path, path type) through: the program's
// custom file when its handler takes the path, else the file on disk.
#pragma once

#include "audio/BinaryStream.h"
#include "audio/CkCustomFile.h"
#include "audio/FileStream.h"
#include "audio/Path.h"

#include <cstddef>

namespace Daz {

// A program file, owned: it is deleted on close. Writing moves nothing.
class CustomStream : public BinaryStream {
  public:
    explicit CustomStream(CkCustomFile* file) : m_file(file) {}
    CustomStream(const CustomStream&) = delete;
    CustomStream& operator=(const CustomStream&) = delete;
    ~CustomStream() override { close(); }

    bool isValid() const override { return m_file && m_file->isValid(); }
    int read(void* buffer, int bytes) override;
    int write(const void*, int) override { return 0; }
    int getSize() const override { return m_file ? m_file->getSize() : -1; }
    int getPos() const override { return m_file ? m_file->getPos() : 0; }
    void setPos(int pos) override;
    void close() override;

  private:
    CkCustomFile* m_file;
};

class ReadStream : public BinaryStream {
  public:
    ReadStream(const char* path, int pathType);
    ReadStream(const ReadStream&) = delete;
    ReadStream& operator=(const ReadStream&) = delete;
    ~ReadStream() override;

    bool isValid() const override { return m_stream->isValid(); }
    int read(void* buffer, int bytes) override { return m_stream->read(buffer, bytes); }
    int write(const void* buffer, int bytes) override { return m_stream->write(buffer, bytes); }
    int getSize() const override { return m_stream->getSize(); }
    int getPos() const override { return m_stream->getPos(); }
    void setPos(int pos) override { m_stream->setPos(pos); }
    void close() override { m_stream->close(); }

    const Path& getPath() const { return m_path; }

  private:
    static constexpr std::size_t kStorage = sizeof(FileStream) > sizeof(CustomStream) ? sizeof(FileStream)
                                                                                      : sizeof(CustomStream);

    Path m_path;
    // The stream read through lives inside this one: no allocation per file.
    alignas(alignof(std::max_align_t)) unsigned char m_storage[kStorage];
    BinaryStream* m_stream;
};

// The handler the read streams ask first; null reads the disk only.
void setCustomFileHandler(CkCustomFileFunc func, void* data);

// The size of a (path, path type), -1 when there is no such file.
int getFileSize(const char* path, int pathType);
bool fileExists(const char* path, int pathType);

} // namespace Daz
