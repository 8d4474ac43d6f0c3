// What a source node reads a playing sound from: its audio source (where the
// encoded blocks come from, with their looping) and its decoder (blocks into
// pipeline samples). Bank and stream sounds supply their own kinds of both.
#pragma once

#include "audio/FileFormat.h"
#include "audio/Kernels.h"

namespace Daz {

class AudioSource {
  public:
    virtual ~AudioSource() = default;

    // The audio's channel count and sample rate; valid once the source is ready.
    virtual const SampleInfo& getSampleInfo() const = 0;
    virtual bool isReady() const = 0;
    virtual bool isFailed() const = 0;

    // -1 loops until released, 0 plays once, n repeats the loop n more times.
    virtual void setLoopCount(int count) = 0;
    // Plays on past the loop end to the end of the sound.
    virtual void releaseLoop() = 0;
    // In frames; an end of -1 is the end of the sound.
    virtual void setLoop(int startFrame, int endFrame) = 0;
    // Back to the start after a stop: loops done and the release cleared.
    virtual void reset() = 0;
    // True once every frame has been handed out and no loop is left.
    virtual bool isAtEnd() const = 0;

    // Up to `blocks` blocks of encoded data into `buffer`, following the
    // loop; gives the blocks read.
    virtual int read(void* buffer, int blocks) = 0;
    // The block the next read starts at: a seek, and where playing stands.
    virtual void setBlockPos(int block) = 0;
    virtual int getBlockPos() const = 0;
    // The loops played so far; may be read on the program's thread while the source plays.
    virtual int getCurrentLoop() const = 0;
};

// The loop of a source in blocks: the frames rounded half away from zero to
// blocks, the start within the data, the end (the data's end for -1) after it.
struct LoopBlocks {
    int start = 0;
    int end = 0;

    LoopBlocks(const SampleInfo& info, int blocks, int startFrame, int endFrame);
    // Where a play position loops back from: the loop end, or the end of the
    // data for a position already past the loop end.
    int wrapPoint(int pos, int blocks) const { return pos <= end ? end : blocks; }
};

class Decoder {
  public:
    virtual ~Decoder() = default;

    // Up to `frames` frames into `out`, interleaved, in the pipeline's samples;
    // gives the frames written. `out` has room for the raw blocks of those frames.
    virtual int decode(float* out, int frames) = 0;
    virtual int decode(Fixed* out, int frames) = 0;
    // The source is at its end and no decoded frame is left over.
    virtual bool isAtEnd() const = 0;
    virtual void setFramePos(int frame) = 0;
    virtual int getFramePos() const = 0;
    virtual int getFrames() const = 0;
};

// The decoder of the source's format, from the engine allocator; null for a
// format no decoder reads or when memory runs out.
Decoder* createDecoder(AudioSource* source);

} // namespace Daz
