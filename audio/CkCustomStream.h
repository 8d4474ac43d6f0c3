// A stream of 16-bit frames the program makes itself, played like a stream file.
#pragma once

class CkCustomStream {
  public:
    virtual ~CkCustomStream() = default;

    // Called once, on the engine's stream file thread, before anything else.
    virtual void init() = 0;
    virtual bool isFailed() const = 0;
    // 1 or 2.
    virtual int getChannels() const = 0;
    // 1 to 48000 frames per second.
    virtual int getSampleRate() const = 0;
    virtual int getLength() const = 0;
    // Up to `frames` interleaved frames; gives the frames written.
    virtual int read(short* buffer, int frames) = 0;
    virtual bool isAtEnd() const = 0;
    virtual void setPlayPosition(int frame) = 0;
    virtual int getPlayPosition() const = 0;
};
