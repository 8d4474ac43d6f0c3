// RIFF WAV files: 8-bit unsigned and 16-bit signed PCM, 32-bit float, mono
// or stereo, read into float samples and written back for listening.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace Marevane {
namespace SoundTool {

// Interleaved float samples at full scale -1.0..1.0.
struct Audio {
    int channels = 1;
    int sampleRate = 48000;
    std::vector<float> samples;

    int frames() const { return channels > 0 ? static_cast<int>(samples.size()) / channels : 0; }
};

// What is wrong with a WAV file, said so a person can mend it.
class WavError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Throws WavError naming the first fault; the rate must fit 1..65535.
Audio parseWav(const std::vector<unsigned char>& bytes);
Audio readWav(const std::string& path);

enum class WavSamples { Pcm16, Float32 };
std::vector<unsigned char> makeWav(const Audio& audio, WavSamples samples);
void writeWav(const std::string& path, const Audio& audio, WavSamples samples);

// Whole files; both throw std::runtime_error with the path on failure.
std::vector<unsigned char> readFile(const std::string& path);
void writeFile(const std::string& path, const std::vector<unsigned char>& bytes);

} // namespace SoundTool
} // namespace Marevane
