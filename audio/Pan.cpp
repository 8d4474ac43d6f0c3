#include "audio/Pan.h"

#include <cmath>

namespace Daz {

namespace Pan {

namespace {

constexpr float kPi = 3.14159265f;

float clampPan(float pan)
{
    if (!(pan > -1.0f)) return -1.0f;
    return pan > 1.0f ? 1.0f : pan;
}

} // namespace

void toGains(float pan, bool stereo, float gains[4])
{
    pan = clampPan(pan);
    if (!stereo) {
        const float angle = (pan + 1.0f) * kPi / 4.0f;
        gains[0] = std::cos(angle);
        gains[1] = 0.0f;
        gains[2] = 0.0f;
        gains[3] = std::sin(angle);
        return;
    }
    const float angle = pan * kPi / 2.0f;
    if (pan >= 0.0f) {
        gains[0] = std::cos(angle);
        gains[1] = 0.0f;
        gains[2] = std::sin(angle);
        gains[3] = 1.0f;
    } else {
        gains[0] = 1.0f;
        gains[1] = -std::sin(angle);
        gains[2] = 0.0f;
        gains[3] = std::cos(angle);
    }
    for (int i = 0; i < 4; ++i) gains[i] *= 0.5f;
}

float fromGains(const float gains[4], bool stereo)
{
    if (!stereo) {
        const float power = gains[0] * gains[0] + gains[3] * gains[3];
        if (power < 0.0001f) return 0.0f;
        return std::asin(std::fabs(gains[3]) / std::sqrt(power)) / (kPi / 4.0f) - 1.0f;
    }
    float sum = 0.0f;
    for (int i = 0; i < 4; ++i) sum += gains[i] * gains[i];
    if (sum < 0.0001f) return 0.0f;
    const float right = (gains[2] * gains[2] + gains[3] * gains[3]) * 0.5f / sum;
    if (right <= 0.25f) return -std::acos(std::sqrt(4.0f * right)) / (kPi / 2.0f);
    return std::asin(std::sqrt(std::fmin(4.0f * right - 1.0f, 1.0f))) / (kPi / 2.0f);
}

} // namespace Pan

} // namespace Daz
