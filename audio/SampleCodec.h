// The four sample encodings of bank and stream data, to and from float
// samples (full scale -1.0..1.0), interleaved by channel.
#pragma once

#include "audio/FileFormat.h"

namespace Daz {

namespace SampleCodec {

// The sample info of a sound of the given frames in an encoding; the frames
// are rounded up to whole blocks. Volume, pan and loop keep their defaults.
SampleInfo makeInfo(int format, int channels, int sampleRate, int frames);
// Whether blocks of this info can be decoded at all.
bool isDecodable(const SampleInfo& info);

// `blocks` blocks of data into float frames; gives the frames written, 0 for
// an info that cannot be decoded.
int decode(const SampleInfo& info, const void* data, int blocks, float* out);

// Float frames (clamped to full scale) into the blocks of an info made by
// makeInfo; `data` holds info.getDataBytes() bytes. Frames missing from the
// last block are silence.
bool encode(const SampleInfo& info, const float* in, int frames, void* data);

} // namespace SampleCodec

} // namespace Daz
