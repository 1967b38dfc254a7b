#pragma once

#include <atomic>
#include <cstdint>

namespace vorlo::platform {

// The service's own output volume: one 16-bit level per channel, 0 muted and 65535 full
// (PulseAudio's 100%, where samples pass unchanged). Everything the service plays applies
// it: disc playback and WAV playback alike. Full volume is the default. Any thread may
// read or set it; a playing output picks up a change when it next refills the server,
// within a second.
class OutputVolume {
public:
    // The volume word: left channel in the low 16 bits, right in the high 16 bits.
    static std::uint32_t Word() { return word_.load(std::memory_order_relaxed); }
    static void SetWord(std::uint32_t word) { word_.store(word, std::memory_order_relaxed); }

private:
    static inline std::atomic<std::uint32_t> word_{0xFFFFFFFFu};
};

} // namespace vorlo::platform
