// Bank (.ckb) and stream (.cks) files made from float audio through the
// engine's writers, and a readable description of any such file.
#pragma once

#include "WavFile.h"

#include "audio/FileFormat.h"

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace Marevane {
namespace SoundTool {

// A request the files cannot hold: a bad name, format, loop or sound.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// "pcm16", "pcm8", "float" or "adpcm" to the sample-info format; throws UsageError.
int parseFormat(const std::string& name);
const char* formatName(int format);

struct Loop {
    std::int32_t start = 0;
    std::int32_t end = -1;
    std::int16_t count = 0;
};

// The sample info and data of one sound in a format, with its loop.
struct Encoded {
    Daz::SampleInfo info;
    std::vector<unsigned char> data;
};
Encoded encode(const Audio& audio, int format, const Loop& loop = Loop());

struct Cue {
    std::string name;
    Audio audio;
};

// Cue names must be 1..31 characters and unique, the bank name at most 31.
std::vector<unsigned char> makeBank(const std::string& bankName, const std::vector<Cue>& cues, int format);
std::vector<unsigned char> makeStream(const Audio& audio, int format, const Loop& loop);

// The header, the bank's entries or the stream's sample info, one item a
// line. `ok` is cleared when the file is no bank or stream the engine can play.
std::string describe(const std::vector<unsigned char>& bytes, bool& ok);

} // namespace SoundTool
} // namespace Marevane
