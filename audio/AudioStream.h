// Audio streams: where a stream source reads its blocks from. Each is opened
// and read on the stream file thread only.
#pragma once

#include "audio/Allocatable.h"
#include "audio/BinaryStream.h"
#include "audio/FileFormat.h"
#include "audio/Path.h"
#include "audio/ReadStream.h"

#include <optional>

class CkCustomStream;

namespace Daz {

class AudioStream : public Allocatable {
  public:
    virtual ~AudioStream() = default;

    // Reads what the stream is and fills the sample info; false (with the
    // reason logged) when it cannot be played.
    virtual bool open() = 0;
    virtual bool isFailed() const = 0;
    // Up to `blocks` blocks into `buffer`; gives the blocks read.
    virtual int read(void* buffer, int blocks) = 0;
    virtual int getTotalBlocks() const = 0;
    virtual void setBlockPos(int block) = 0;
    virtual int getBlockPos() const = 0;

    // Valid once open.
    const SampleInfo& getSampleInfo() const { return m_info; }

  protected:
    SampleInfo m_info;
};

// A span of a file read through the engine's read streams: the whole file,
// or (offset, length) of a larger one.
class FileSpan {
  public:
    FileSpan(const char* path, int pathType, int offset, int length);

    // False, with "Stream file ... could not be opened" logged, when the file is missing.
    bool open();
    BinaryStream& get() { return *m_span; }
    const char* getPath() const { return m_path.getBuffer(); }

  private:
    Path m_given;
    int m_pathType;
    Path m_path;
    int m_offset;
    int m_length;
    std::optional<ReadStream> m_file;
    std::optional<SubStream> m_span;
};

// The engine's own stream file (.cks).
class CksAudioStream : public AudioStream {
  public:
    CksAudioStream(const char* path, int pathType, int offset, int length);

    bool open() override;
    bool isFailed() const override { return m_failed; }
    int read(void* buffer, int blocks) override;
    int getTotalBlocks() const override { return m_totalBlocks; }
    void setBlockPos(int block) override;
    int getBlockPos() const override { return m_pos; }

  private:
    FileSpan m_file;
    int m_totalBlocks = 0;
    int m_pos = 0;
    bool m_failed = false;
};

// An Ogg Vorbis file decoded by Tremor into 16-bit frames.
class VorbisAudioStream : public AudioStream {
  public:
    VorbisAudioStream(const char* path, int pathType, int offset, int length);
    ~VorbisAudioStream() override;

    bool open() override;
    bool isFailed() const override { return m_failed; }
    int read(void* buffer, int blocks) override;
    int getTotalBlocks() const override { return m_totalBlocks; }
    void setBlockPos(int block) override;
    int getBlockPos() const override;

  private:
    struct Decoder;

    FileSpan m_file;
    Decoder* m_decoder = nullptr;
    int m_totalBlocks = 0;
    bool m_failed = false;
};

// A stream the program supplies; it is deleted with this stream.
class CustomAudioStream : public AudioStream {
  public:
    explicit CustomAudioStream(CkCustomStream* stream) : m_stream(stream) {}
    ~CustomAudioStream() override;

    bool open() override;
    bool isFailed() const override;
    int read(void* buffer, int blocks) override;
    int getTotalBlocks() const override { return m_info.blocks; }
    void setBlockPos(int block) override;
    int getBlockPos() const override;

  private:
    CkCustomStream* m_stream;
    bool m_failed = false;
};

} // namespace Daz
