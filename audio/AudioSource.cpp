#include "audio/AudioSource.h"

#include <cmath>

namespace Daz {

namespace {

int toBlock(int frame, int blockFrames)
{
    return static_cast<int>(std::lround(static_cast<double>(frame) / blockFrames));
}

int clampInt(int value, int low, int high)
{
    return value < low ? low : value > high ? high : value;
}

} // namespace

LoopBlocks::LoopBlocks(const SampleInfo& info, int blocks, int startFrame, int endFrame)
{
    if (blocks <= 0 || info.blockFrames == 0) return;
    start = clampInt(toBlock(startFrame, info.blockFrames), 0, blocks - 1);
    end = endFrame < 0 ? blocks : clampInt(toBlock(endFrame, info.blockFrames), 1, blocks);
    if (end < start + 1) end = start + 1;
}

} // namespace Daz
