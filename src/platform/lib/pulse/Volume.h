#pragma once

#include <pulse/volume.h>

#include <cstdint>

namespace vorlo::platform::pulse {

// A channel's level at full volume in a volume word.
inline constexpr std::uint16_t kFullLevel = 0xFFFF;

// A volume word (left channel in the low 16 bits, right in the high 16 bits) as a stereo
// stream volume: each channel's 16-bit level onto the samples' own scale, linearly. Full
// is exactly 100%, where the server passes the samples through untouched.
inline pa_cvolume StereoVolume(std::uint32_t word)
{
    const auto level = [](std::uint16_t value) -> pa_volume_t {
        if (value == kFullLevel)
            return PA_VOLUME_NORM;
        return pa_sw_volume_from_linear(static_cast<double>(value) / kFullLevel);
    };
    pa_cvolume volume;
    pa_cvolume_init(&volume);
    volume.channels = 2;
    volume.values[0] = level(static_cast<std::uint16_t>(word & 0xFFFF));
    volume.values[1] = level(static_cast<std::uint16_t>(word >> 16));
    return volume;
}

} // namespace vorlo::platform::pulse
